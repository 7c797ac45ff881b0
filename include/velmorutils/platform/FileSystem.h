#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "velmorutils/platform/Export.h"
#include "velmorutils/platform/Win32FindData.h"

// The library's file-system layer. Paths come in the application's form, "\" separated (a "/"
// is accepted too), and are turned into POSIX paths only here, where the operating system is
// called. Results follow the platform the library was written for: failures are reported by
// the return value, never by an exception.
namespace zel_platform {

// The POSIX spelling of a path: every "\" becomes "/".
VELMORUTILS_API std::string toNativePath(const char* path);

// The application's spelling of a POSIX path: every "/" becomes "\".
VELMORUTILS_API std::string toAppPath(const std::string& nativePath);

// True for any existing file or folder.
VELMORUTILS_API bool PathFileExists(const char* path);

// The attribute bits of a file or folder, INVALID_FILE_ATTRIBUTES when it does not exist.
VELMORUTILS_API std::uint32_t GetFileAttributes(const char* path);

// Sets the attribute bits. Read-only maps to the write permission bits. Hidden has no meaning
// on POSIX (a hidden name begins with a dot, and renaming would move the path callers hold), so
// it is accepted and has no effect; so are temporary and the others.
VELMORUTILS_API bool SetFileAttributes(const char* path, std::uint32_t attributes);

// Creates one folder; fails when it exists already or its parent is missing.
VELMORUTILS_API bool CreateDirectory(const char* path);

// Removes an empty folder.
VELMORUTILS_API bool RemoveDirectory(const char* path);

// Deletes a file. As on the original platform a read-only file is refused.
VELMORUTILS_API bool DeleteFile(const char* path);

// Copies a file with its permissions and times. The copy is written beside the target and
// renamed over it at the end, so a failing copy never destroys an existing target. Fails for
// folders, for a read-only target, for a file copied onto itself and, when failIfExists is set,
// for an existing target.
VELMORUTILS_API bool CopyFile(const char* from, const char* to, bool failIfExists);

// Opens an existing file (not a folder) for reading and reads its times; any output may be null.
VELMORUTILS_API bool GetFileTimes(const char* path, FILETIME* created, FILETIME* accessed,
                                  FILETIME* written);

// Opens an existing file (not a folder) for reading and reads its size in bytes.
VELMORUTILS_API bool GetFileSize(const char* path, std::uint64_t& size);

// The current UTC time as a file time.
VELMORUTILS_API FILETIME GetSystemTimeAsFileTime();

// A file time as 64-bit ticks, and back.
inline std::uint64_t fileTimeTicks(const FILETIME& t) {
    return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
}
inline FILETIME fileTimeFromTicks(std::uint64_t ticks) {
    return FILETIME{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

// A file time taken apart in local time.
struct TLocalTime {
    int year;
    int month;  // 1 to 12
    int day;    // 1 to 31
    int hour;   // 0 to 23
    int minute;
    int second;
};

// False for times the platform cannot convert (the top bit set, or a year the C library
// cannot represent).
VELMORUTILS_API bool FileTimeToLocalTime(const FILETIME& t, TLocalTime& local);

// The temporary folder: TMPDIR when set, otherwise /tmp, in the application's form ending in
// "\". Its existence is not checked.
VELMORUTILS_API std::string GetTempPath();

// The folder of the running executable, in the application's form without a trailing "\".
VELMORUTILS_API std::string GetExecutableDir();

// The user's documents folder: XDG_DOCUMENTS_DIR when set, otherwise "Documents" in the home
// folder, in the application's form without a trailing "\".
VELMORUTILS_API std::string GetDocumentsDir();

// The original platform's wildcard match of one name: "*" any run ("*." never swallows the
// name's last dot), "?" one character (none at a dot or at the end of the name), a final ".*"
// or "." also matching a name without a dot, "*.*" everything. Letters match regardless of
// case, as they did there.
VELMORUTILS_API bool MatchesWildcard(const char* name, const char* pattern);

// True when the folder lies on a block device that the system reports as removable.
VELMORUTILS_API bool IsOnRemovableMedia(const char* path);

// A folder search in the manner of the original platform. A last path component with "*" or
// "?" lists the folder: "." and ".." first (when they match), then the matching entries sorted
// by name regardless of case, as the original file system returned them. A last component
// without wildcards finds that one entry; an empty one (a pattern ending in a separator) finds
// nothing, as on the original platform. Listed entries are described as they are, without
// following symbolic links, so that walks over the result never leave the folder tree; a link
// is never reported as a folder.
class VELMORUTILS_API CFindFile {
public:
    CFindFile();
    ~CFindFile();
    CFindFile(const CFindFile&) = delete;
    CFindFile& operator=(const CFindFile&) = delete;

    // The first entry; false when nothing was found or the folder cannot be read.
    bool FindFirst(const char* pattern, WIN32_FIND_DATAA& found);
    // The next entry; false at the end.
    bool FindNext(WIN32_FIND_DATAA& found);

private:
    std::vector<WIN32_FIND_DATAA> m_entries;
    std::size_t m_next;
};

}  // namespace zel_platform
