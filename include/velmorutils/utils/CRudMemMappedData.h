#pragma once

#include <cstdint>

#include "velmorutils/platform/Export.h"
#include "velmorutils/platform/IStream.h"
#include "velmorutils/text/CZelStringT.h"

// A block of bytes of fixed capacity kept in a temporary file ("<folder>\_tmp_file_.tmp<n>.tmp")
// and reached through one mapped view of 2 MiB that slides by 1 MiB, so that large data needs
// little memory. Access must be sequential or near-sequential (the view moves one step at a
// time); the streaming members keep to that. The temporary file lives as long as the object.
//
// Copying is refused: the object is the only owner of its file, mapping and view.
class VELMORUTILS_API CRudMemMappedData {
public:
    static constexpr std::int32_t kViewSize = 0x200000;
    static constexpr std::int32_t kViewStep = 0x100000;
    static constexpr int kWritePiece = 0x20000;
    static constexpr int kReadPiece = 0x10000;

    // Numbers the temporary files of the process; the first file gets 1.
    static int m_file_count;

    CRudMemMappedData();
    ~CRudMemMappedData();
    CRudMemMappedData(const CRudMemMappedData&) = delete;
    CRudMemMappedData& operator=(const CRudMemMappedData&) = delete;

    // Creates the next numbered temporary file of size bytes in folder and maps its first view.
    // False when any step fails; the object then holds no view.
    bool InitMemMappedFile(const char* folder, unsigned int size);

    // The byte at offset i, sliding the view first when i lies outside [start, start + 1 MiB).
    // Offsets outside the capacity, or an object without a view, give a scratch byte that is
    // not part of the data.
    char& getat(int i) {
        if (m_view && i >= m_viewStart && i <= m_viewLimit &&
            static_cast<unsigned int>(i) < m_capacity) {
            return m_view[i - m_viewStart];
        }
        return SlideAndGet(i);
    }

    // Writes size as 4 bytes little-endian, then the first size bytes in pieces of 128 KiB
    // (each logged at level 2). 0, or the first failing result of the stream.
    long WriteToStream(IStream* s, int size);
    // Reads the count into size, then that many bytes in pieces of 64 KiB. 0, or the first
    // failing result of the stream; a count beyond the capacity is refused with
    // zel_platform::kStreamTooLarge and size 0.
    long ReadFromStream(IStream* s, int& size);

    // Clears a leftover file that the next InitMemMappedFile in folder would use; a file that
    // cannot be deleted makes the next file skip its number. Always true.
    static bool DeleteNextFile(const char* folder);

    std::int32_t GetViewStart() const { return m_viewStart; }
    std::int32_t GetViewLimit() const { return m_viewLimit; }
    const zel_text::CZelStringT<char>& GetFileName() const { return m_fileName; }
    unsigned int GetCapacity() const { return m_capacity; }
    bool IsReady() const { return m_view != nullptr; }

private:
    char& SlideAndGet(int i);
    void Release();
    bool MapViewAt(std::int32_t start);
    static zel_text::CZelStringT<char> TempFileName(const char* folder, int number);

    std::int32_t m_viewStart;
    std::int32_t m_viewLimit;
    // The file descriptor (-1 when none). Views are mapped straight from it: this platform has
    // no mapping object between a file and its views.
    int m_file;
    zel_text::CZelStringT<char> m_fileName;
    char* m_view;
    unsigned int m_capacity;
    char m_scratch;
};
