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

// Writes text as the whole new contents of a file (the library's CAtomicFileWriter): on any
// failure the previous file stays byte for byte, and the message names the file.
bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error);

// Flushes a stream and says whether everything written to it arrived (a full disk or a closed
// pipe make this false); the message names what was being written.
bool finishStream(std::FILE* out, const char* what, std::string& error);

}  // namespace road
