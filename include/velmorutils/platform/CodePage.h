#pragma once

#include "velmorutils/platform/Export.h"

// Conversion between 8-bit text in the system ANSI code page (Windows-1252 on this platform: the
// degree sign is 0xB0, the euro sign 0x80) and 16-bit UTF-16 units, with the calling conventions
// of the Windows converters:
// - srcLen -1 converts up to and including the terminating zero, which is then counted in the
//   result; otherwise exactly srcLen units are converted (zero characters included).
// - dstCap 0 returns the number of units the conversion needs and writes nothing.
// - otherwise the result is the number of units written, or 0 when dst is too small.
// A byte without a character in the code page becomes U+FFFD; a 16-bit unit (or surrogate pair)
// without a byte becomes '?'.
namespace zel_platform {

VELMORUTILS_API int MultiByteToWideChar(const char* src, int srcLen, unsigned short* dst,
                                        int dstCap);
VELMORUTILS_API int WideCharToMultiByte(const unsigned short* src, int srcLen, char* dst,
                                        int dstCap);

}  // namespace zel_platform
