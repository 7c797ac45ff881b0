#include "velmorutils/platform/CFile.h"

#include <string>

#include "velmorutils/platform/FileSystem.h"

namespace {

// The stdio mode for the flags; "r+" and "w+" keep reading possible on a file opened to write,
// as the original platform allows.
const char* stdioMode(unsigned flags) {
    const bool create = (flags & CFile::modeCreate) != 0;
    const bool keep = (flags & CFile::modeNoTruncate) != 0;
    const bool writes = (flags & (CFile::modeWrite | CFile::modeReadWrite)) != 0;
    if (!writes) return "rb";
    if (create && !keep) return "w+b";
    return "r+b";
}

}  // namespace

CFile::~CFile() {
    Close();
}

bool CFile::Open(const char* path, unsigned flags) {
    Close();
    if (!path || !*path) return false;
    const std::string native = zel_platform::toNativePath(path);
    m_file = std::fopen(native.c_str(), stdioMode(flags));
    if (!m_file && (flags & modeCreate) && (flags & modeNoTruncate)) {
        // Create-without-truncate of a file that does not exist yet.
        m_file = std::fopen(native.c_str(), "w+b");
    }
    return m_file != nullptr;
}

void CFile::Close() {
    if (!m_file) return;
    std::fclose(m_file);
    m_file = nullptr;
    m_last = LastOp::none;
}

void CFile::switchTo(LastOp op) {
    if (m_last != LastOp::none && m_last != op) fseeko(m_file, 0, SEEK_CUR);
    m_last = op;
}

unsigned CFile::Read(void* buffer, unsigned count) {
    if (!m_file || !buffer || count == 0) return 0;
    switchTo(LastOp::read);
    return static_cast<unsigned>(std::fread(buffer, 1, count, m_file));
}

unsigned CFile::Write(const void* buffer, unsigned count) {
    if (!m_file || !buffer || count == 0) return 0;
    switchTo(LastOp::write);
    return static_cast<unsigned>(std::fwrite(buffer, 1, count, m_file));
}

std::int64_t CFile::Seek(std::int64_t offset, unsigned from) {
    if (!m_file) return -1;
    const int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
    if (fseeko(m_file, static_cast<off_t>(offset), whence) != 0) return -1;
    m_last = LastOp::none;
    return GetPosition();
}

std::int64_t CFile::GetPosition() const {
    if (!m_file) return -1;
    return static_cast<std::int64_t>(ftello(m_file));
}

std::int64_t CFile::GetLength() const {
    if (!m_file) return -1;
    const off_t here = ftello(m_file);
    if (fseeko(m_file, 0, SEEK_END) != 0) return -1;
    const off_t length = ftello(m_file);
    fseeko(m_file, here, SEEK_SET);
    m_last = LastOp::none;
    return static_cast<std::int64_t>(length);
}

bool CFile::Flush() {
    return m_file && std::fflush(m_file) == 0;
}
