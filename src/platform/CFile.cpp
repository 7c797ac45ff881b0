#include "velmorutils/platform/CFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "velmorutils/platform/FileSystem.h"

namespace {

int openFlags(unsigned flags) {
    const bool create = (flags & CFile::modeCreate) != 0;
    const bool keep = (flags & CFile::modeNoTruncate) != 0;
    int os = O_RDONLY;
    if (flags & CFile::modeReadWrite) {
        os = O_RDWR;
    } else if (flags & CFile::modeWrite) {
        os = O_WRONLY;
    }
    if (create) os |= O_CREAT | (keep ? 0 : O_TRUNC);
    return os | O_CLOEXEC;
}

}  // namespace

CFile::~CFile() {
    Close();
}

bool CFile::Open(const char* path, unsigned flags) {
    Close();
    if (!path || !*path) return false;
    const std::string native = zel_platform::toNativePath(path);
    m_fd = ::open(native.c_str(), openFlags(flags), 0666);
    return m_fd >= 0;
}

void CFile::Close() {
    if (m_fd < 0) return;
    ::close(m_fd);
    m_fd = -1;
    m_bufferStart = 0;
    m_bufferLength = 0;
    m_bufferPos = 0;
}

void CFile::dropBuffer() {
    if (m_bufferLength == 0) return;
    // The file's own position stands at the end of the buffer; bring it back to where the
    // caller is.
    ::lseek(m_fd, static_cast<off_t>(m_bufferStart + m_bufferPos), SEEK_SET);
    m_bufferLength = 0;
    m_bufferPos = 0;
}

std::int64_t CFile::logicalPosition() const {
    if (m_bufferLength > 0) return m_bufferStart + m_bufferPos;
    return static_cast<std::int64_t>(::lseek(m_fd, 0, SEEK_CUR));
}

unsigned CFile::ReadBlock(void* buffer, unsigned count) {
    if (m_fd < 0 || !buffer || count == 0) return 0;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    unsigned done = 0;
    while (done < count) {
        if (m_bufferPos < m_bufferLength) {
            const unsigned available = static_cast<unsigned>(m_bufferLength - m_bufferPos);
            const unsigned take = count - done < available ? count - done : available;
            std::memcpy(out + done, m_buffer + m_bufferPos, take);
            m_bufferPos += static_cast<int>(take);
            done += take;
            continue;
        }
        const std::int64_t here = logicalPosition();
        if (here < 0) break;
        ssize_t got = 0;
        do {
            got = ::read(m_fd, m_buffer, kBufferSize);
        } while (got < 0 && errno == EINTR);
        if (got <= 0) {
            m_bufferLength = 0;
            m_bufferPos = 0;
            break;
        }
        m_bufferStart = here;
        m_bufferLength = static_cast<int>(got);
        m_bufferPos = 0;
    }
    return done;
}

unsigned CFile::Write(const void* buffer, unsigned count) {
    if (m_fd < 0 || !buffer || count == 0) return 0;
    dropBuffer();
    const char* in = static_cast<const char*>(buffer);
    unsigned done = 0;
    while (done < count) {
        const ssize_t put = ::write(m_fd, in + done, count - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) break;
        done += static_cast<unsigned>(put);
    }
    return done;
}

std::int64_t CFile::Seek(std::int64_t offset, unsigned from) {
    if (m_fd < 0) return -1;
    std::int64_t base = 0;
    if (from == current) {
        base = logicalPosition();
    } else if (from == end) {
        base = GetLength();
    }
    if (base < 0) return -1;
    if (offset < 0 ? base < -offset : offset > INT64_MAX - base) return -1;
    const std::int64_t target = base + offset;
    if (m_bufferLength > 0 && target >= m_bufferStart && target <= m_bufferStart + m_bufferLength) {
        m_bufferPos = static_cast<int>(target - m_bufferStart);
        return target;
    }
    m_bufferLength = 0;
    m_bufferPos = 0;
    if (::lseek(m_fd, static_cast<off_t>(target), SEEK_SET) < 0) return -1;
    return target;
}

std::int64_t CFile::GetPosition() const {
    if (m_fd < 0) return -1;
    return logicalPosition();
}

std::int64_t CFile::GetLength() const {
    if (m_fd < 0) return -1;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) return -1;
    return static_cast<std::int64_t>(info.st_size);
}

// Writes are not buffered here, so there is nothing to hand on.
bool CFile::Flush() {
    return m_fd >= 0;
}
