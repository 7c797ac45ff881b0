#pragma once

// Helpers shared by the vertical elements and the vertical alignment; not public.

#include <cmath>

#include "velmorutils/utils/ReportAssertion.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"

namespace vertical_support {

inline constexpr const char* kAlntsSource = "zelmath/mathAlnts";

// Distances that miss an end of the element by a hair count as that end: within 1e-12 of the
// start (rounding of the chaining) and within a millimetre of the end (chainages rounded to
// the millimetre still reach the last point of an element).
inline double snapLength(double s, double len) {
    if (zel_math::isNearZero(s)) return 0.0;
    if (std::fabs(s - len) < roadTolerance) return len;
    return s;
}

// Grade in percent from point 1 to point 2; a vertical or empty step has none (0).
inline double gradeBetween(double ch1, double ht1, double ch2, double ht2) {
    const double dch = ch2 - ch1;
    if (zel_math::isNearZero(dch)) return 0.0;
    return (ht2 - ht1) * 100.0 / dch;
}

// The kinds defined by a vertical intersection point: they need the next VIP to know where
// their curve ends.
inline bool isVipKind(const CAlntVe* ve) {
    if (ve == nullptr) return false;
    const TAlntVeType t = ve->getType();
    return t == avtLs || t == avtLsWithArc;
}

}  // namespace vertical_support
