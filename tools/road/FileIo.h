#pragma once

#include <cstdio>
#include <string>

namespace road {

// Why a file could not be used: the file system refused (exit code 3), or its bytes are not
// text the tool reads (a zero byte, UTF-16), which is the content's fault (exit code 1).
enum class ReadFailure { None, Io, Content };

// Reads a whole text file. A UTF-8 byte-order mark is dropped; UTF-16 text or a zero byte
// anywhere is refused with the line it is on, since such a file would otherwise read as
// points at 0,0. A directory is reported as a directory. The message names the file.
ReadFailure readTextFile(const std::string& path, std::string& text, std::string& error);

// The same checks on text already in memory (the file name is only used in messages).
bool checkText(const std::string& path, std::string& text, std::string& error);

// A file written whole or not at all: the text goes to a temporary file beside the target,
// which is flushed, synced and renamed over the target only by commit(). Until then, and
// after any failure, the previous file stays byte for byte as it was; the destructor removes
// an uncommitted temporary file.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False with a message when the temporary file cannot be created.
    bool open(std::string& error);
    std::FILE* stream() const { return file_; }
    // Flushes, syncs and renames; false with a message naming the target when any write failed.
    bool commit(std::string& error);

private:
    std::string path_;
    std::string temp_;
    std::FILE* file_ = nullptr;
};

// Writes text to a file through AtomicFile.
bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error);

// Flushes a stream and says whether everything written to it arrived (a full disk or a closed
// pipe make this false); the message names what was being written.
bool finishStream(std::FILE* out, const char* what, std::string& error);

}  // namespace road
