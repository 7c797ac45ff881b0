#include "FileIo.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include <velmorutils/formats/PlainText.h>
#include <velmorutils/utils/AtomicFileWriter.h>

namespace road {
namespace {

std::string systemError(const std::string& path, const char* doing) {
    return path + ": cannot " + doing + ": " + std::strerror(errno);
}

}  // namespace

bool checkText(const std::string& path, std::string& text, std::string& error) {
    int line = 0;
    zel_formats::Verdict v = zel_formats::checkPlainText(text, 1, line);
    if (v && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    if (!v) error = path + ": line " + std::to_string(line) + ": " + v.message;
    return v.ok;
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
