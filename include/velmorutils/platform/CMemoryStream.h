#pragma once

#include <cstddef>
#include <vector>

#include "velmorutils/platform/Export.h"
#include "velmorutils/platform/IStream.h"

namespace zel_platform {

// An IStream on a growable block of memory with one position for reading and writing, as a
// seekable stream has: writing at the end extends the data, Rewind goes back to the start.
class VELMORUTILS_API CMemoryStream : public IStream {
public:
    CMemoryStream() = default;

    long Read(void* buffer, unsigned long count, unsigned long* done) override;
    long Write(const void* buffer, unsigned long count, unsigned long* done) override;

    void Rewind() { m_pos = 0; }
    std::size_t GetPosition() const { return m_pos; }
    const std::vector<unsigned char>& GetData() const { return m_data; }
    std::vector<unsigned char>& GetData() { return m_data; }

private:
    std::vector<unsigned char> m_data;
    std::size_t m_pos = 0;
};

}  // namespace zel_platform
