#include <cstring>
#include <string>

#include "velmorutils/platform/CFileStream.h"
#include "velmorutils/platform/CMemoryStream.h"
#include "velmorutils/platform/FileSystem.h"

namespace zel_platform {

namespace {

void SetDone(unsigned long* done, unsigned long n) {
    if (done) *done = n;
}

const char* ModeText(CFileStream::Mode mode) {
    switch (mode) {
        case CFileStream::Mode::kRead:
            return "rb";
        case CFileStream::Mode::kCreate:
            return "wb";
        case CFileStream::Mode::kAppend:
            return "ab";
    }
    return "rb";
}

}  // namespace

CFileStream::CFileStream(const char* path, Mode mode) : m_file(nullptr) {
    if (!path) return;
    m_file = std::fopen(zel_platform::toNativePath(path).c_str(), ModeText(mode));
}

CFileStream::~CFileStream() {
    Close();
}

void CFileStream::Close() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
}

long CFileStream::Read(void* buffer, unsigned long count, unsigned long* done) {
    SetDone(done, 0);
    if (!m_file || (!buffer && count)) return kStreamInvalid;
    const unsigned long n = std::fread(buffer, 1, count, m_file);
    SetDone(done, n);
    return n == count ? kStreamOk : kStreamReadFault;
}

long CFileStream::Write(const void* buffer, unsigned long count, unsigned long* done) {
    SetDone(done, 0);
    if (!m_file || (!buffer && count)) return kStreamInvalid;
    const unsigned long n = std::fwrite(buffer, 1, count, m_file);
    SetDone(done, n);
    return n == count ? kStreamOk : kStreamWriteFault;
}

long CMemoryStream::Read(void* buffer, unsigned long count, unsigned long* done) {
    SetDone(done, 0);
    if (!buffer && count) return kStreamInvalid;
    const std::size_t left = m_data.size() - m_pos;
    const std::size_t n = count < left ? count : left;
    if (n) std::memcpy(buffer, m_data.data() + m_pos, n);
    m_pos += n;
    SetDone(done, static_cast<unsigned long>(n));
    return n == count ? kStreamOk : kStreamReadFault;
}

long CMemoryStream::Write(const void* buffer, unsigned long count, unsigned long* done) {
    SetDone(done, 0);
    if (!buffer && count) return kStreamInvalid;
    if (m_pos + count > m_data.size()) m_data.resize(m_pos + count);
    if (count) std::memcpy(m_data.data() + m_pos, buffer, count);
    m_pos += count;
    SetDone(done, count);
    return kStreamOk;
}

}  // namespace zel_platform
