#pragma once

#include <cstdint>

#include "velmorutils/platform/Export.h"

// A byte stream with the two operations the library streams through. Results follow the COM
// convention: 0 for success, a negative code for failure; the count of bytes done is reported
// through done when it is given.
class VELMORUTILS_API IStream {
public:
    virtual ~IStream() = default;
    virtual long Read(void* buffer, unsigned long count, unsigned long* done) = 0;
    virtual long Write(const void* buffer, unsigned long count, unsigned long* done) = 0;
};

namespace zel_platform {

// Failure codes of our streams, with the values of their COM counterparts.
inline constexpr long kStreamOk = 0;
// Fewer bytes than asked could be read (the end of the data, or a device error).
inline constexpr long kStreamReadFault = static_cast<std::int32_t>(0x8003001EU);
// Not every byte could be written.
inline constexpr long kStreamWriteFault = static_cast<std::int32_t>(0x8003001DU);
// The stream is not open or an argument is unusable.
inline constexpr long kStreamInvalid = static_cast<std::int32_t>(0x80030057U);
// The data would not fit where it has to go.
inline constexpr long kStreamTooLarge = static_cast<std::int32_t>(0x80030070U);

}  // namespace zel_platform
