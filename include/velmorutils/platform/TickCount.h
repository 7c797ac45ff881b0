#pragma once

#include <cstdint>

#include "velmorutils/platform/Export.h"

namespace zel_platform {

// A millisecond counter from a monotonic clock, kept in 32 bits: it wraps after about 49.7 days,
// so elapsed times are differences taken in that same unsigned width.
VELMORUTILS_API std::uint32_t GetTickCount32();

// Replaces the clock behind GetTickCount32 (tests fix time with it instead of sleeping).
// A null source restores the monotonic clock. Returns the source that was in use (null for the
// monotonic clock).
using TickSource = std::uint32_t (*)();
VELMORUTILS_API TickSource SetTickSource(TickSource source);

}  // namespace zel_platform
