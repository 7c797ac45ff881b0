#pragma once

#include <cstdint>

// The file-system records of the library's interface, kept in the layout of the platform the
// application was written for and filled from the operating system by the platform layer.

// A file time: 100-nanosecond units since 1601-01-01 00:00 UTC, split into two 32-bit halves.
struct FILETIME {
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};

// Room for a path or a name, terminator included.
namespace zel_platform {
inline constexpr int kMaxPath = 260;
}

// File attribute bits. Only the directory and read-only bits have a counterpart on POSIX;
// hidden is reported for names that begin with a dot, temporary is never reported.
inline constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x00000001u;
inline constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x00000002u;
inline constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x00000010u;
inline constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x00000080u;
inline constexpr std::uint32_t FILE_ATTRIBUTE_TEMPORARY = 0x00000100u;
inline constexpr std::uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

// One entry found by a folder search.
struct WIN32_FIND_DATAA {
    std::uint32_t dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    std::uint32_t nFileSizeHigh;
    std::uint32_t nFileSizeLow;
    std::uint32_t dwReserved0;
    std::uint32_t dwReserved1;
    char cFileName[zel_platform::kMaxPath];
    char cAlternateFileName[14];
};
