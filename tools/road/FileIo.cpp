#include "FileIo.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include <velmorutils/utils/AtomicFileWriter.h>

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

bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error) {
    return WriteFileWhole(path.c_str(), text.data(), text.size(), &error);
}

bool finishStream(std::FILE* out, const char* what, std::string& error) {
    errno = 0;
    if (std::fflush(out) == 0 && !std::ferror(out)) return true;
    error = std::string("cannot write ") + what + ": " +
            (errno != 0 ? std::strerror(errno) : "write error");
    return false;
}

}  // namespace road
