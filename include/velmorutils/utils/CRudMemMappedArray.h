#pragma once

#include <cstdint>

#include "velmorutils/platform/Export.h"
#include "velmorutils/platform/IStream.h"
#include "velmorutils/utils/CRudMemMappedData.h"

// A byte array of fixed capacity in a memory-mapped temporary file, with a count of the bytes in
// use that is what goes to and comes from a stream (4-byte little-endian count, then the bytes).
// Copying is refused, as for the data it holds.
class VELMORUTILS_API CRudMemMappedArray {
public:
    // The capacity is fixed here; whether the file could be made shows in GetData().IsReady().
    CRudMemMappedArray(const char* folder, int capacity);
    ~CRudMemMappedArray();
    CRudMemMappedArray(const CRudMemMappedArray&) = delete;
    CRudMemMappedArray& operator=(const CRudMemMappedArray&) = delete;

    // A new array holds no bytes: the size starts at 0.
    int GetSize() const { return m_size; }
    void SetSize(int size) { m_size = size; }

    char& operator[](int i) { return m_data.getat(i); }

    long WriteToStream(IStream* s) { return m_data.WriteToStream(s, m_size); }
    long ReadFromStream(IStream* s) { return m_data.ReadFromStream(s, m_size); }

    const CRudMemMappedData& GetData() const { return m_data; }

private:
    std::int32_t m_size;
    CRudMemMappedData m_data;
};
