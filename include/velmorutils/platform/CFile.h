#pragma once

#include <cstdint>

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
    bool IsOpen() const { return m_fd >= 0; }

    // Number of bytes read, 0 at the end of the file or when nothing is open.
    unsigned Read(void* buffer, unsigned count) {
        // One byte at a time is how text is read; it is served from the buffer right here.
        if (count == 1 && buffer && m_bufferPos < m_bufferLength) {
            *static_cast<unsigned char*>(buffer) = m_buffer[m_bufferPos++];
            return 1;
        }
        return ReadBlock(buffer, count);
    }
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
    static constexpr int kBufferSize = 4096;

    unsigned ReadBlock(void* buffer, unsigned count);
    void dropBuffer();
    std::int64_t logicalPosition() const;

    // Reads go through a block buffer, so that reading one byte and stepping back over it (as
    // line readers do) costs no system call. Writes go straight to the file; the buffer is
    // dropped first so that reads and writes see one position.
    int m_fd = -1;
    std::int64_t m_bufferStart = 0;  // file offset of m_buffer[0]
    int m_bufferLength = 0;          // valid bytes; 0 when no buffer is held
    int m_bufferPos = 0;             // next byte to hand out
    unsigned char m_buffer[kBufferSize];
};
