#include "velmorutils/platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>

namespace zel_platform {

namespace {

// Seconds from 1601-01-01 to 1970-01-01, and file-time ticks per second.
constexpr std::int64_t kEpochDifference = 11644473600LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;

FILETIME toFileTime(const struct timespec& ts) {
    const std::int64_t ticks =
        (static_cast<std::int64_t>(ts.tv_sec) + kEpochDifference) * kTicksPerSecond +
        ts.tv_nsec / 100;
    return fileTimeFromTicks(ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks));
}

bool isEmpty(const char* path) {
    return path == nullptr || *path == '\0';
}

bool isReadOnlyMode(mode_t mode) {
    return (mode & S_IWUSR) == 0;
}

// Where a file was born, when the file system keeps it; otherwise its last modification.
struct timespec creationTime(const char* native, const struct stat& st, bool followLinks) {
#if defined(STATX_BTIME)
    struct statx sx {};
    const int flags = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
    if (statx(AT_FDCWD, native, flags, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME)) {
        struct timespec ts {};
        ts.tv_sec = sx.stx_btime.tv_sec;
        ts.tv_nsec = sx.stx_btime.tv_nsec;
        return ts;
    }
#else
    (void)native;
    (void)followLinks;
#endif
    return st.st_mtim;
}

std::uint32_t attributesOf(const struct stat& st, const char* name) {
    std::uint32_t attributes = 0;
    if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (isReadOnlyMode(st.st_mode)) attributes |= FILE_ATTRIBUTE_READONLY;
    if (name && name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

// A search record for the entry at `native`, described as `name`.
bool describe(const std::string& native, const char* name, bool followLinks,
              WIN32_FIND_DATAA& found) {
    struct stat st {};
    const int rc = followLinks ? stat(native.c_str(), &st) : lstat(native.c_str(), &st);
    if (rc != 0) return false;
    bool isLink = S_ISLNK(st.st_mode);
    if (isLink) {
        // Size and times of what the link points at, but never the folder bit.
        struct stat target {};
        if (stat(native.c_str(), &target) == 0 && !S_ISDIR(target.st_mode)) st = target;
    }
    std::memset(&found, 0, sizeof found);
    found.dwFileAttributes = attributesOf(st, name);
    if (isLink) found.dwFileAttributes &= ~FILE_ATTRIBUTE_DIRECTORY;
    if (found.dwFileAttributes == 0) found.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    found.ftCreationTime = toFileTime(creationTime(native.c_str(), st, followLinks));
    found.ftLastAccessTime = toFileTime(st.st_atim);
    found.ftLastWriteTime = toFileTime(st.st_mtim);
    if (!S_ISDIR(st.st_mode)) {
        const auto size = static_cast<std::uint64_t>(st.st_size);
        found.nFileSizeHigh = static_cast<std::uint32_t>(size >> 32);
        found.nFileSizeLow = static_cast<std::uint32_t>(size);
    }
    const std::size_t length = std::min(std::strlen(name), std::size_t(kMaxPath - 1));
    std::memcpy(found.cFileName, name, length);
    found.cFileName[length] = '\0';
    return true;
}

bool hasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

bool lessIgnoringCase(const WIN32_FIND_DATAA& a, const WIN32_FIND_DATAA& b) {
    const int order = strcasecmp(a.cFileName, b.cFileName);
    return order != 0 ? order < 0 : std::strcmp(a.cFileName, b.cFileName) < 0;
}

char foldCase(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// A dot that only wildcards follow may also match the end of a name without a dot.
bool isOptionalDot(const std::string& pattern, std::size_t j) {
    return pattern[j] == '.' && pattern.find_first_not_of("*?", j + 1) == std::string::npos;
}

// An open file (not a folder) for reading; -1 when it cannot be opened.
int openForReading(const char* path, struct stat& st) {
    if (isEmpty(path)) return -1;
    const int fd = open(toNativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool copyContents(int from, int to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = read(from, buffer.data(), buffer.size());
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (!writeAll(to, buffer.data(), static_cast<std::size_t>(got))) return false;
    }
}

std::string folderOf(const std::string& native) {
    const std::size_t slash = native.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return native.substr(0, slash);
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string readFirstLine(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

std::string toNativePath(const char* path) {
    std::string native = path ? path : "";
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

std::string toAppPath(const std::string& nativePath) {
    std::string path = nativePath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool PathFileExists(const char* path) {
    if (isEmpty(path)) return false;
    struct stat st {};
    return stat(toNativePath(path).c_str(), &st) == 0;
}

std::uint32_t GetFileAttributes(const char* path) {
    if (isEmpty(path)) return INVALID_FILE_ATTRIBUTES;
    const std::string native = toNativePath(path);
    struct stat st {};
    if (stat(native.c_str(), &st) != 0) return INVALID_FILE_ATTRIBUTES;
    const std::size_t slash = withoutTrailingSlashes(native).rfind('/');
    const std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
    return attributesOf(st, name.c_str());
}

bool SetFileAttributes(const char* path, std::uint32_t attributes) {
    if (isEmpty(path)) return false;
    const std::string native = toNativePath(path);
    struct stat st {};
    if (stat(native.c_str(), &st) != 0) return false;
    const mode_t mode = st.st_mode & 07777;
    const mode_t wanted = (attributes & FILE_ATTRIBUTE_READONLY)
                              ? (mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH))
                              : (mode | S_IWUSR);
    if (wanted == mode) return true;
    return chmod(native.c_str(), wanted) == 0;
}

bool CreateDirectory(const char* path) {
    if (isEmpty(path)) return false;
    return mkdir(toNativePath(path).c_str(), 0777) == 0;
}

bool RemoveDirectory(const char* path) {
    if (isEmpty(path)) return false;
    return rmdir(toNativePath(path).c_str()) == 0;
}

bool DeleteFile(const char* path) {
    if (isEmpty(path)) return false;
    const std::string native = toNativePath(path);
    struct stat st {};
    if (lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    if (!S_ISLNK(st.st_mode) && isReadOnlyMode(st.st_mode)) return false;
    return unlink(native.c_str()) == 0;
}

bool CopyFile(const char* from, const char* to, bool failIfExists) {
    if (isEmpty(to)) return false;
    struct stat source {};
    const int in = openForReading(from, source);
    if (in < 0) return false;
    const std::string target = toNativePath(to);
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0) {
        const bool sameFile = existing.st_dev == source.st_dev && existing.st_ino == source.st_ino;
        if (failIfExists || sameFile || S_ISDIR(existing.st_mode) ||
            isReadOnlyMode(existing.st_mode)) {
            close(in);
            return false;
        }
    }
    std::string temporary = folderOf(target) + "/.vmcopy-XXXXXX";
    const int out = mkostemp(temporary.data(), O_CLOEXEC);
    if (out < 0) {
        close(in);
        return false;
    }
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    bool ok = copyContents(in, out);
    ok = ok && fchmod(out, source.st_mode & 07777) == 0;
    ok = ok && futimens(out, times) == 0;
    ok = close(out) == 0 && ok;
    close(in);
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
}

bool GetFileTimes(const char* path, FILETIME* created, FILETIME* accessed, FILETIME* written) {
    struct stat st {};
    const int fd = openForReading(path, st);
    if (fd < 0) return false;
    if (created) *created = toFileTime(creationTime(toNativePath(path).c_str(), st, true));
    if (accessed) *accessed = toFileTime(st.st_atim);
    if (written) *written = toFileTime(st.st_mtim);
    close(fd);
    return true;
}

bool GetFileSize(const char* path, std::uint64_t& size) {
    struct stat st {};
    const int fd = openForReading(path, st);
    if (fd < 0) return false;
    size = static_cast<std::uint64_t>(st.st_size);
    close(fd);
    return true;
}

FILETIME GetSystemTimeAsFileTime() {
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return toFileTime(now);
}

bool FileTimeToLocalTime(const FILETIME& t, TLocalTime& local) {
    const std::uint64_t ticks = fileTimeTicks(t);
    if (ticks > static_cast<std::uint64_t>(INT64_MAX)) return false;
    const auto seconds =
        static_cast<std::int64_t>(ticks / static_cast<std::uint64_t>(kTicksPerSecond)) -
        kEpochDifference;
    const auto when = static_cast<time_t>(seconds);
    struct tm parts {};
    if (localtime_r(&when, &parts) == nullptr) return false;
    local = TLocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                       parts.tm_hour,        parts.tm_min,     parts.tm_sec};
    return true;
}

std::string GetTempPath() {
    const char* tmpdir = getenv("TMPDIR");
    std::string path = (tmpdir && *tmpdir) ? tmpdir : "/tmp";
    path = toAppPath(path);
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

std::string GetExecutableDir() {
    char buffer[PATH_MAX + 1];
    const ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
    if (length <= 0) return toAppPath(".");
    return toAppPath(folderOf(std::string(buffer, static_cast<std::size_t>(length))));
}

std::string GetDocumentsDir() {
    const char* documents = getenv("XDG_DOCUMENTS_DIR");
    if (documents && *documents) return toAppPath(withoutTrailingSlashes(documents));
    const char* home = getenv("HOME");
    const std::string base = (home && *home) ? withoutTrailingSlashes(home) : std::string();
    return toAppPath((base == "/" ? std::string() : base) + "/Documents");
}

bool MatchesWildcard(const char* name, const char* pattern) {
    if (!name || !pattern) return false;
    const std::string text = name;
    // "*.*" has always meant every name, with or without a dot.
    const std::string wild = std::strcmp(pattern, "*.*") == 0 ? std::string("*") : pattern;
    const std::size_t n = text.size();
    const std::size_t m = wild.size();
    const std::size_t lastDot = text.rfind('.');
    // matches[i][j]: text from i on is matched by the pattern from j on.
    std::vector<std::vector<char>> matches(n + 2, std::vector<char>(m + 1, 0));
    matches[n][m] = 1;
    for (std::size_t j = m; j-- > 0;) {
        for (std::size_t i = n + 1; i-- > 0;) {
            if (i > n) continue;
            const char p = wild[j];
            const bool atEnd = i == n;
            bool ok = false;
            if (p == '*') {
                // A star before a dot never swallows the name's last dot.
                const bool keepsDot = j + 1 < m && wild[j + 1] == '.' && i == lastDot;
                ok = matches[i][j + 1] || (!atEnd && !keepsDot && matches[i + 1][j]);
            } else if (p == '?') {
                // At a dot or the end of the name a question mark matches nothing.
                ok = (atEnd || text[i] == '.') ? matches[i][j + 1] : matches[i + 1][j + 1];
            } else if (isOptionalDot(wild, j) && atEnd) {
                ok = matches[i][j + 1];
            } else {
                ok = !atEnd && foldCase(text[i]) == foldCase(p) && matches[i + 1][j + 1];
            }
            matches[i][j] = ok ? 1 : 0;
        }
    }
    return matches[0][0] != 0;
}

bool IsOnRemovableMedia(const char* path) {
    if (isEmpty(path)) return false;
    struct stat st {};
    if (stat(toNativePath(path).c_str(), &st) != 0) return false;
    const std::string device = "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" +
                               std::to_string(minor(st.st_dev));
    // A partition keeps the flag on its parent disk.
    struct stat probe {};
    const bool partition = stat((device + "/partition").c_str(), &probe) == 0;
    const std::string flag = device + (partition ? "/../removable" : "/removable");
    return readFirstLine(flag) == "1";
}

CFindFile::CFindFile() : m_next(0) {}

CFindFile::~CFindFile() = default;

bool CFindFile::FindFirst(const char* pattern, WIN32_FIND_DATAA& found) {
    m_entries.clear();
    m_next = 0;
    if (isEmpty(pattern)) return false;
    const std::string native = toNativePath(pattern);
    const std::size_t slash = native.rfind('/');
    const std::string last = slash == std::string::npos ? native : native.substr(slash + 1);
    if (last.empty()) return false;

    if (!hasWildcard(last)) {
        WIN32_FIND_DATAA entry;
        if (!describe(native, last.c_str(), true, entry)) return false;
        m_entries.push_back(entry);
        return FindNext(found);
    }

    const std::string folder = slash == std::string::npos ? "./" : native.substr(0, slash + 1);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    std::vector<WIN32_FIND_DATAA> dots;
    while (const struct dirent* item = readdir(dir)) {
        const char* name = item->d_name;
        if (!MatchesWildcard(name, last.c_str())) continue;
        WIN32_FIND_DATAA entry;
        if (!describe(folder + name, name, false, entry)) continue;
        const bool isDots = std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
        (isDots ? dots : m_entries).push_back(entry);
    }
    closedir(dir);
    std::sort(dots.begin(), dots.end(), lessIgnoringCase);
    std::sort(m_entries.begin(), m_entries.end(), lessIgnoringCase);
    m_entries.insert(m_entries.begin(), dots.begin(), dots.end());
    return FindNext(found);
}

bool CFindFile::FindNext(WIN32_FIND_DATAA& found) {
    if (m_next >= m_entries.size()) return false;
    found = m_entries[m_next++];
    return true;
}

}  // namespace zel_platform
