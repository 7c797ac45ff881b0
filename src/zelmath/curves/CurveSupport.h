#pragma once

// Helpers shared by the curve classes; not part of the public interface.

#include <cmath>

#include "velmorutils/utils/ReportAssertion.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

namespace curve_support {

// Assertion reports of the curve module carry this source name and the line of the check.
inline constexpr const char* kSource = "zelmath/mathCurves";
inline void reportAt(int line) {
    ReportAssertion(kSource, line);
}

// A length along a piece is accepted when it lies in [0, total]; one that misses an end by less
// than a millimetre is taken as that end, so chainages rounded to the millimetre still hit the
// piece. NaN never passes.
inline bool checkLengthRange(double& s, double total) {
    if (s < 0.0 && std::fabs(s) < roadTolerance) s = 0.0;
    if (s > total && std::fabs(s - total) < roadTolerance) s = total;
    return s >= 0.0 && s <= total;
}

inline double distance(double n1, double e1, double n2, double e2) {
    return std::hypot(n2 - n1, e2 - e1);
}

// A point whose foot misses the piece is nearest to one of its ends: (N, E) is the point in the
// local frame (the start is the origin). The far end wins a near tie within a millimetre, as the
// later piece of an alignment wins at a shared boundary.
inline void nearerEnd(double N, double E, double endN, double endE, double total, double& dist,
                      double& len) {
    const double dStart = std::hypot(N, E);
    const double dEnd = distance(N, E, endN, endE);
    if (dStart + roadTolerance >= dEnd) {
        dist = dEnd;
        len = total;
    } else {
        dist = dStart;
        len = 0.0;
    }
}

}  // namespace curve_support
