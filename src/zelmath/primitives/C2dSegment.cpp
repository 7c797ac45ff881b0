#include "velmorutils/zelmath/primitives/C2dSegment.h"

#include <algorithm>
#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"

double C2dSegment::getDistance(const C2dPos& p) const {
    const double L = start.distanceTo(end);
    if (zel_math::isNearZero(L)) return start.distanceTo(p);
    // Unit vector along the segment; t is the foot's distance from the start along it and n
    // the perpendicular offset.
    const double un = (end.north - start.north) / L;
    const double ue = (end.east - start.east) / L;
    const double pn = p.north - start.north;
    const double pe = p.east - start.east;
    const double t = un * pn + ue * pe;
    const double n = un * pe - ue * pn;
    if (t >= 0.0 && t <= L) return std::fabs(n);
    return std::min(start.distanceTo(p), end.distanceTo(p));
}
