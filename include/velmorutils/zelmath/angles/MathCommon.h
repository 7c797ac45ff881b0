#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "velmorutils/platform/Export.h"

/// 1e-5, in the unit of what it guards (metres for offsets): an offset whose magnitude is below
/// this is no offset at all; also the guard of the curve relations.
VELMORUTILS_API extern const double smallNumTolerance;
/// 0.001 m, a millimetre: how far a chainage may lie beyond an element's end and still belong to
/// it, and the tie margin of the nearest-element searches.
VELMORUTILS_API extern const double roadTolerance;

namespace zel_math {

/// Constants of the angle conventions: pi, pi/2, 2 pi, degrees per radian and radians per degree.
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kHalfPi = 1.5707963267948966;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kDegPerRad = 57.29577951308232;
inline constexpr double kRadPerDeg = 0.017453292519943295;

/// "Not set / not computed" is the double whose 64 bits are all set (a quiet NaN). Only that
/// exact bit pattern counts: a NaN produced by arithmetic is a value, not an unset marker.
inline constexpr std::uint64_t kUnsetBits = ~std::uint64_t{0};
inline constexpr double kUnset = std::bit_cast<double>(kUnsetBits);

constexpr bool isUnset(double x) noexcept {
    return std::bit_cast<std::uint64_t>(x) == kUnsetBits;
}
constexpr bool isSet(double x) noexcept {
    return !isUnset(x);
}

/// The near-zero test of the whole library: strict on both sides, so 1e-12 itself is not zero.
constexpr bool isNearZero(double x) noexcept {
    return x < 1e-12 && x > -1e-12;
}

}  // namespace zel_math
