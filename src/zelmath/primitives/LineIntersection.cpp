#include "zelmath/primitives/LineIntersection.h"

#include "velmorutils/zelmath/angles/MathCommon.h"

namespace {

// The plane cross product u x v (north, east): positive when v turns clockwise from u.
double cross(const C2dPos& u, const C2dPos& v) {
    return u.north * v.east - u.east * v.north;
}

}  // namespace

bool IntersectLines(const C2dPos& p1, const C2dPos& d1, const C2dPos& p2, const C2dPos& d2,
                    double& t1, double& t2) {
    const double det = cross(d1, d2);
    if (zel_math::isNearZero(det)) return false;
    const C2dPos between = p2 - p1;
    t1 = cross(between, d2) / det;
    t2 = cross(between, d1) / det;
    return true;
}
