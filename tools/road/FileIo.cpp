#include "FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace road {
namespace {

std::string systemError(const std::string& path, const char* doing) {
    return path + ": cannot " + doing + ": " + std::strerror(errno);
}

int lineOf(const std::string& text, size_t pos) {
    int line = 1;
    for (size_t i = 0; i < pos; ++i)
        line += text[i] == '\n';
    return line;
}

}  // namespace

bool checkText(const std::string& path, std::string& text, std::string& error) {
    const bool utf16 = text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') ||
                                            (text[0] == '\xFE' && text[1] == '\xFF'));
    if (utf16) {
        error = path + ": line 1: UTF-16 text; save the file as UTF-8 or plain ASCII";
        return false;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    const size_t zero = text.find('\0');
    if (zero != std::string::npos) {
        error = path + ": line " + std::to_string(lineOf(text, zero)) +
                ": a zero byte; the file is not plain text (UTF-16 or binary?)";
        return false;
    }
    return true;
}

ReadFailure readTextFile(const std::string& path, std::string& text, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return error = systemError(path, "open"), ReadFailure::Io;
    if (S_ISDIR(st.st_mode)) return error = path + ": is a directory, not a file", ReadFailure::Io;
    std::ifstream in(path, std::ios::binary);
    if (!in) return error = systemError(path, "open"), ReadFailure::Io;
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) return error = systemError(path, "read"), ReadFailure::Io;
    text = all.str();
    return checkText(path, text, error) ? ReadFailure::None : ReadFailure::Content;
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {}

AtomicFile::~AtomicFile() {
    if (file_ == nullptr) return;
    std::fclose(file_);
    ::unlink(temp_.c_str());
}

bool AtomicFile::open(std::string& error) {
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return error = path_ + ": is a directory, not a file", false;
    // The temporary file sits beside the target so that the rename stays on one file system.
    temp_ = path_ + ".tmpXXXXXX";
    const int fd = ::mkstemp(temp_.data());
    if (fd < 0) return error = systemError(path_, "create a temporary file beside"), false;
    // The new file gets the old file's permissions, or the usual ones for a new file.
    mode_t mode = 0666;
    if (::stat(path_.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd, mode);
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        ::close(fd);
        ::unlink(temp_.c_str());
        return error = systemError(path_, "open"), false;
    }
    return true;
}

bool AtomicFile::commit(std::string& error) {
    if (file_ == nullptr) return error = path_ + ": not open", false;
    const bool written =
        std::fflush(file_) == 0 && !std::ferror(file_) && ::fsync(fileno(file_)) == 0;
    const int savedErrno = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed) {
        errno = written ? errno : savedErrno;
        error = systemError(path_, "write") + "; the previous file is unchanged";
        ::unlink(temp_.c_str());
        return false;
    }
    if (::rename(temp_.c_str(), path_.c_str()) != 0) {
        error = systemError(path_, "replace") + "; the previous file is unchanged";
        ::unlink(temp_.c_str());
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error) {
    AtomicFile file(path);
    if (!file.open(error)) return false;
    std::fwrite(text.data(), 1, text.size(), file.stream());
    return file.commit(error);
}

bool finishStream(std::FILE* out, const char* what, std::string& error) {
    errno = 0;
    if (std::fflush(out) == 0 && !std::ferror(out)) return true;
    error = std::string("cannot write ") + what + ": " +
            (errno != 0 ? std::strerror(errno) : "write error");
    return false;
}

}  // namespace road
