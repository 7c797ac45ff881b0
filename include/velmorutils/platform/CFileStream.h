#pragma once

#include <cstdio>

#include "velmorutils/platform/Export.h"
#include "velmorutils/platform/IStream.h"

namespace zel_platform {

// An IStream on a file. A read that finds fewer bytes than asked is a failure (kStreamReadFault),
// so a truncated file is noticed rather than taken as shorter data.
class VELMORUTILS_API CFileStream : public IStream {
public:
    enum class Mode { kRead, kCreate, kAppend };

    // The path is written with '\' or '/'. kCreate truncates or creates the file.
    CFileStream(const char* path, Mode mode);
    ~CFileStream() override;
    CFileStream(const CFileStream&) = delete;
    CFileStream& operator=(const CFileStream&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    // Flushes and closes the file; later calls fail with kStreamInvalid.
    void Close();

    long Read(void* buffer, unsigned long count, unsigned long* done) override;
    long Write(const void* buffer, unsigned long count, unsigned long* done) override;

private:
    std::FILE* m_file;
};

}  // namespace zel_platform
