#include "velmorutils/utils/CRudMemMappedData.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "velmorutils/platform/FileSystem.h"
#include "velmorutils/utils/CRudMemMappedArray.h"
#include "velmorutils/utils/Logging.h"

int CRudMemMappedData::m_file_count = 0;

CRudMemMappedData::CRudMemMappedData()
    : m_viewStart(0),
      m_viewLimit(kViewStep - 1),
      m_file(-1),
      m_view(nullptr),
      m_capacity(0),
      m_scratch(0) {}

CRudMemMappedData::~CRudMemMappedData() {
    Release();
}

zel_text::CZelStringT<char> CRudMemMappedData::TempFileName(const char* folder, int number) {
    zel_text::CZelStringT<char> name;
    name.Format("%s\\_tmp_file_.tmp%d.tmp", folder ? folder : "", number);
    return name;
}

void CRudMemMappedData::Release() {
    if (m_view) ::munmap(m_view, kViewSize);
    m_view = nullptr;
    if (m_file >= 0) {
        ::close(m_file);
        ::unlink(zel_platform::toNativePath(m_fileName).c_str());
    }
    m_file = -1;
    m_capacity = 0;
}

bool CRudMemMappedData::InitMemMappedFile(const char* folder, unsigned int size) {
    Release();
    ++m_file_count;
    m_fileName = TempFileName(folder, m_file_count);
    const std::string native = zel_platform::toNativePath(m_fileName);

    // Create (replacing a leftover) and size the file, then reopen it for the mapping.
    const int creator = ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (creator < 0) return false;
    const bool sized = ::ftruncate(creator, static_cast<off_t>(size)) == 0;
    ::close(creator);
    if (!sized) {
        ::unlink(native.c_str());
        return false;
    }
    m_file = ::open(native.c_str(), O_RDWR | O_CLOEXEC);
    if (m_file < 0) {
        ::unlink(native.c_str());
        return false;
    }
    m_capacity = size;
    if (!MapViewAt(0)) {
        Release();
        return false;
    }
    return true;
}

bool CRudMemMappedData::MapViewAt(std::int32_t start) {
    if (m_view) ::munmap(m_view, kViewSize);
    m_view = nullptr;
    m_viewStart = start;
    m_viewLimit = start + (kViewStep - 1);
    // A view may reach past the end of the file; getat never touches bytes beyond the capacity.
    void* view = ::mmap(nullptr, kViewSize, PROT_READ | PROT_WRITE, MAP_SHARED, m_file,
                        static_cast<off_t>(start));
    if (view == MAP_FAILED) return false;
    m_view = static_cast<char*>(view);
    return true;
}

char& CRudMemMappedData::SlideAndGet(int i) {
    if (m_file < 0 || i < 0 || static_cast<unsigned int>(i) >= m_capacity) return m_scratch;
    if (i > m_viewLimit || i < m_viewStart) {
        // One step serves sequential access; a farther jump lands on the step that holds i
        // instead of leaving i outside the view.
        std::int32_t start = i > m_viewLimit ? m_viewStart + kViewStep : m_viewStart - kViewStep;
        if (i < start || i >= start + kViewSize) start = (i / kViewStep) * kViewStep;
        if (!MapViewAt(start)) return m_scratch;
    }
    if (!m_view) return m_scratch;
    return m_view[i - m_viewStart];
}

long CRudMemMappedData::WriteToStream(IStream* s, int size) {
    if (!s || size < 0) return zel_platform::kStreamInvalid;
    if (static_cast<unsigned int>(size) > m_capacity) return zel_platform::kStreamTooLarge;
    const unsigned char count[4] = {
        static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
        static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
    const long written = s->Write(count, sizeof count, nullptr);
    if (written < 0) return written;
    for (int offset = 0; offset < size; offset += kWritePiece) {
        const int piece = std::min(kWritePiece, size - offset);
        LOGMESSAGE(2, "DDD Writing %d bytes begin at %d of %d bytes", piece, offset, size);
        const char* bytes = &getat(offset);
        if (!m_view) return zel_platform::kStreamInvalid;
        const long result = s->Write(bytes, static_cast<unsigned long>(piece), nullptr);
        if (result < 0) return result;
    }
    return 0;
}

long CRudMemMappedData::ReadFromStream(IStream* s, int& size) {
    if (!s) return zel_platform::kStreamInvalid;
    unsigned char count[4] = {};
    const long read = s->Read(count, sizeof count, nullptr);
    if (read < 0) return read;
    size = static_cast<int>(
        static_cast<std::uint32_t>(count[0]) | static_cast<std::uint32_t>(count[1]) << 8 |
        static_cast<std::uint32_t>(count[2]) << 16 | static_cast<std::uint32_t>(count[3]) << 24);
    // The file cannot grow: a count beyond the capacity (or a negative one) is refused.
    if (size < 0 || static_cast<unsigned int>(size) > m_capacity) {
        size = 0;
        return zel_platform::kStreamTooLarge;
    }
    for (int offset = 0; offset < size; offset += kReadPiece) {
        const int piece = std::min(kReadPiece, size - offset);
        char* bytes = &getat(offset);
        if (!m_view) return zel_platform::kStreamInvalid;
        const long result = s->Read(bytes, static_cast<unsigned long>(piece), nullptr);
        if (result < 0) return result;
    }
    return 0;
}

bool CRudMemMappedData::DeleteNextFile(const char* folder) {
    const zel_text::CZelStringT<char> next = TempFileName(folder, m_file_count + 1);
    const std::string native = zel_platform::toNativePath(next);
    if (zel_platform::PathFileExists(next) && std::remove(native.c_str()) != 0) ++m_file_count;
    return true;
}

CRudMemMappedArray::CRudMemMappedArray(const char* folder, int capacity) : m_size(0) {
    m_data.InitMemMappedFile(folder, static_cast<unsigned int>(std::max(capacity, 0)));
}

CRudMemMappedArray::~CRudMemMappedArray() = default;
