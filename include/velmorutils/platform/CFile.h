#pragma once

#include <cstdint>
#include <cstdio>

#include "velmorutils/platform/Export.h"

// A binary file opened by path, read and written in bytes, with a position that can be moved
// relative to the start, the current place or the end. Paths are written "\" separated.
// Failures are reported by the results (false, 0 bytes, -1), never by an exception.
class VELMORUTILS_API CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,      // create, or truncate an existing file...
        modeNoTruncate = 0x2000,  // ...unless this is given too
        typeBinary = 0x8000,      // the only kind there is; accepted for callers that say so
    };
    enum SeekPosition : unsigned { begin = 0, current = 1, end = 2 };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    bool Open(const char* path, unsigned flags);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }

    // Number of bytes read, 0 at the end of the file or when nothing is open.
    unsigned Read(void* buffer, unsigned count);
    // Number of bytes written.
    unsigned Write(const void* buffer, unsigned count);
    // The new position from the start, or -1 when the move is refused (before the start, or
    // nothing open); a refused move leaves the position where it was.
    std::int64_t Seek(std::int64_t offset, unsigned from);
    void SeekToBegin() { Seek(0, begin); }
    std::int64_t SeekToEnd() { return Seek(0, end); }
    std::int64_t GetPosition() const;
    std::int64_t GetLength() const;
    bool Flush();

private:
    // stdio needs a positioning call between a read and a write on the same stream.
    enum class LastOp { none, read, write };
    void switchTo(LastOp op);

    std::FILE* m_file = nullptr;
    mutable LastOp m_last = LastOp::none;
};
