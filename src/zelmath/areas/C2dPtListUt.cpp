#include "velmorutils/zelmath/areas/C2dPtListUt.h"

#include <algorithm>
#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"
#include "zelmath/primitives/LineIntersection.h"

using zel_math::isNearZero;
using zel_math::isUnset;
using zel_math::kUnset;

namespace {

double cross(const C2dPos& u, const C2dPos& v) {
    return u.north * v.east - u.east * v.north;
}

// Two segments cross when the intersection of their lines lies within both, ends included.
// Parallel segments never cross, even when they overlap.
bool segmentsCross(const C2dPos& a, const C2dPos& b, const C2dPos& c, const C2dPos& d) {
    double t = 0.0;
    double u = 0.0;
    if (!IntersectLines(a, b - a, c, d - c, t, u)) return false;
    return t >= 0.0 && t <= 1.0 && u >= 0.0 && u <= 1.0;
}

// Where the line from a along azimuth da meets the line from b along azimuth db: distances
// along each. False for parallel lines.
bool intersectRays(const C2dPos& a, const CMathAngle& da, const C2dPos& b, const CMathAngle& db,
                   double& sa, double& sb) {
    return IntersectLines(a, da.getDir(), b, db.getDir(), sa, sb);
}

double triangleArea(const C2dPos& a, const C2dPos& b, const C2dPos& c) {
    return std::fabs(cross(b - a, c - a)) / 2.0;
}

}  // namespace

C2dPtListUt::C2dPtListUt(const I2dPtList_r& l) : list(l) {
    reset();
}

void C2dPtListUt::reset() {
    minX = minY = maxX = maxY = kUnset;
    signedArea = kUnset;
}

C2dPos C2dPtListUt::point(int i) const {
    C2dPos p;
    list.getPoint(i, p);
    return p;
}

void C2dPtListUt::computeExtents() const {
    const int n = list.getCount();
    if (n <= 0) return;
    const C2dPos p0 = point(0);
    minX = maxX = p0.north;
    minY = maxY = p0.east;
    for (int i = 1; i < n; ++i) {
        const C2dPos p = point(i);
        if (p.north < minX) minX = p.north;
        if (p.north > maxX) maxX = p.north;
        if (p.east < minY) minY = p.east;
        if (p.east > maxY) maxY = p.east;
    }
}

// An empty list has no extents: they stay unset.
double C2dPtListUt::getMinX() const {
    if (isUnset(minX)) computeExtents();
    return minX;
}
double C2dPtListUt::getMinY() const {
    if (isUnset(minX)) computeExtents();
    return minY;
}
double C2dPtListUt::getMaxX() const {
    if (isUnset(minX)) computeExtents();
    return maxX;
}
double C2dPtListUt::getMaxY() const {
    if (isUnset(minX)) computeExtents();
    return maxY;
}

double C2dPtListUt::getSignedArea() const {
    if (!isUnset(signedArea)) return signedArea;
    const int n = list.getCount();
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const C2dPos a = point(i);
        const C2dPos b = point((i + 1) % n);
        sum += (b.north - a.north) * (a.east + b.east) / 2.0;
    }
    signedArea = sum;
    return signedArea;
}

double C2dPtListUt::getArea() const {
    return std::fabs(getSignedArea());
}

double C2dPtListUt::getPerimeter() const {
    const int n = list.getCount();
    if (n < 2) return 0.0;
    double sum = point(n - 1).distanceTo(point(0));
    for (int i = 0; i + 1 < n; ++i)
        sum += point(i).distanceTo(point(i + 1));
    return sum;
}

int C2dPtListUt::get1stIntersection(const C2dPos& a, const C2dPos& b, int from, int to) const {
    const int n = list.getCount();
    const bool withClosingEdge = to < 0 || to == n;
    // Edge i joins point i and point i + 1; no edge may reach past the last point.
    const int last = std::min(withClosingEdge ? n - 2 : to - 1, n - 2);
    for (int i = std::max(from, 0); i <= last; ++i)
        if (segmentsCross(a, b, point(i), point(i + 1))) return i;
    if (withClosingEdge && n >= 2 && segmentsCross(a, b, point(n - 1), point(0))) return n - 1;
    return -1;
}

bool C2dPtListUt::get1stSelfXsection(int& i, int& j, int from, bool closed) const {
    const int n = list.getCount();
    for (int k = std::max(from, 0); k < n - 2; ++k) {
        const C2dPos a = point(k);
        const C2dPos b = point(k + 1);
        // Neighbouring edges share a point and would always "cross": start two edges on.
        int hit = get1stIntersection(a, b, k + 2, n - 1);
        if (hit < 0 && closed && k >= 1 && segmentsCross(a, b, point(n - 1), point(0))) hit = n - 1;
        if (hit >= 0) {
            i = k;
            j = hit;
            return true;
        }
    }
    return false;
}

bool C2dPtListUt::hasSelfXsections() const {
    int i = 0, j = 0;
    return get1stSelfXsection(i, j, -1, true);
}

bool C2dPtListUt::hasSelfXsections(const C2dPos& x) const {
    int i = 0, j = 0;
    if (get1stSelfXsection(i, j, -1, false)) return true;
    const int n = list.getCount();
    if (n < 2) return false;
    if (get1stIntersection(x, point(0), 1, n - 1) >= 0) return true;
    return get1stIntersection(x, point(n - 1), 0, n - 2) >= 0;
}

bool C2dPtListUt::hasSelfXsections(const C2dPos& x1, const C2dPos& x2) const {
    int i = 0, j = 0;
    if (get1stSelfXsection(i, j, -1, false)) return true;
    const int n = list.getCount();
    if (n < 2) return false;
    const C2dPos first = point(0);
    const C2dPos last = point(n - 1);
    if (get1stIntersection(x1, first, 1, n - 1) >= 0) return true;
    if (get1stIntersection(x2, x1, 0, n - 1) >= 0) return true;
    if (get1stIntersection(x2, last, 0, n - 2) >= 0) return true;
    // The closing quadrilateral last-x2-x1-first must be convex: its diagonals cross.
    return !segmentsCross(first, x2, last, x1);
}

double C2dPtListUt::findMostLeftAndRightVertices(const CMathAngle& dir, int& iMax,
                                                 int& iMin) const {
    const int n = list.getCount();
    iMax = iMin = -1;
    if (n <= 0) return 0.0;
    double maxE = 0.0, minE = 0.0;
    for (int i = 0; i < n; ++i) {
        const C2dPos p = point(i);
        // With dir turned to north, east is the distance to the right of dir.
        const double e = dir.getRotatedBackEast(p.north, p.east);
        if (i == 0 || e > maxE) {
            maxE = e;
            iMax = i;
        }
        if (i == 0 || e < minE) {
            minE = e;
            iMin = i;
        }
    }
    return maxE - minE;
}

double C2dPtListUt::getPositiveArea(const C2dPos& origin, const CMathAngle& dir) const {
    const int n = list.getCount();
    const double originE = dir.getRotatedBackEast(origin.north, origin.east);
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const C2dPos pi = point(i);
        const C2dPos pj = point((i + 1) % n);
        const double ni = dir.getRotatedBackNorth(pi.north, pi.east);
        const double nj = dir.getRotatedBackNorth(pj.north, pj.east);
        const double ei = dir.getRotatedBackEast(pi.north, pi.east) - originE;
        const double ej = dir.getRotatedBackEast(pj.north, pj.east) - originE;
        // Only the part of each edge's trapezoid right of the line counts; an edge that crosses
        // the line contributes the triangle between the crossing and its right-hand end. A
        // vertex exactly on the line belongs to neither side: an edge from it to the left adds
        // nothing, or a polygon with a vertex on the line would count left-hand area too.
        if (ei < 0 && ej > 0) {
            const double nc = ni + (nj - ni) * (-ei) / (ej - ei);
            sum += ej * (nj - nc) / 2.0;
        } else if (ei > 0 && ej < 0) {
            const double nc = ni + (nj - ni) * (-ei) / (ej - ei);
            sum += ei * (nc - ni) / 2.0;
        } else if (ei >= 0 && ej >= 0) {
            sum += (ei + ej) * (nj - ni) / 2.0;
        }
    }
    return sum;
}

bool C2dPtListUt::getAreaHingelLineSolution(const CMathAngle& dir, double area, C2dPos& x) const {
    const int n = list.getCount();
    if (n < 2) return false;
    const C2dPos P = point(0);
    const C2dPos Q = point(n - 1);
    const double S = getSignedArea();
    if (S < 0) area = -area;  // a clockwise boundary counts its area negative
    const double s = dir.getSin();
    const double c = dir.getCos();
    // x on the hinge line through P, and the triangle Q-x-P adding what is missing.
    auto solve = [&](double required, C2dPos& out) {
        const double d = required - S;
        const double a1 = s, b1 = -c, c1 = s * P.north - c * P.east;
        const double a2 = P.east - Q.east, b2 = Q.north - P.north;
        const double c2 = P.east * Q.north - 2.0 * d - P.north * Q.east;
        const double det = a1 * b2 - a2 * b1;
        if (isNearZero(det)) return false;
        out.north = (c1 * b2 - c2 * b1) / det;
        out.east = (a1 * c2 - a2 * c1) / det;
        return true;
    };
    C2dPos candidate;
    if (!solve(area, candidate)) return false;
    // With no area yet the orientation is open: try the other side if x fell behind the hinge.
    if (S == 0.0 && !dir.isSameAsAzimuth(P, candidate) && !solve(-area, candidate)) return false;
    if (hasSelfXsections(candidate)) return false;
    x = candidate;
    return true;
}

bool C2dPtListUt::simpleParallelSolution(const C2dPos& p1, const C2dPos& p2, const CMathAngle& dir1,
                                         const CMathAngle& dir2, double d, C2dPos& x1,
                                         C2dPos& x2) const {
    if (isNearZero(d)) {
        x1 = p1;
        x2 = p2;
        return true;
    }
    CMathAngle az;
    az.setAz(p1, p2);
    CMathAngle a1 = dir1;
    a1 -= az;
    CMathAngle a2 = dir2;
    a2 -= az;
    a2.set180MinusThis();
    if (isNearZero(a1.getSin()) || isNearZero(a2.getSin())) return false;
    // Both sides must lean the same way off the base line.
    const bool east1 = a1.getQuadrant().eastPositive;
    const bool east2 = a2.getQuadrant().eastPositive;
    if (east1 != east2) return false;
    if (!east1) {
        a1.changeSign();
        a2.changeSign();
    }
    // A strip of height h over the base L with sides leaning by a1 and a2 holds L h - k h^2.
    const double k = (a1.getCtg() + a2.getCtg()) / 2.0;
    const double L = p1.distanceTo(p2);
    double roots[2];
    int count = 0;
    if (!isNearZero(k)) {
        const double disc = L * L - 4.0 * k * d;
        if (disc < 0) return false;
        roots[count++] = (L + std::sqrt(disc)) / (2.0 * k);
        roots[count++] = (L - std::sqrt(disc)) / (2.0 * k);
    } else if (!isNearZero(L)) {
        roots[count++] = d / L;
    }
    for (int r = 0; r < count; ++r) {
        const double h = roots[r];
        if (!(h >= 0.0)) continue;
        C2dPos c1, c2;
        dir1.getPosAlong(h / a1.getSin(), p1, c1);
        dir2.getPosAlong(h / a2.getSin(), p2, c2);
        if (hasSelfXsections(c1, c2)) continue;
        x1 = c1;
        x2 = c2;
        return true;
    }
    return false;
}

bool C2dPtListUt::getAreaParallelLineSolution(const CMathAngle& dir1, const CMathAngle& dir2,
                                              double area, C2dPos& x1, C2dPos& x2) const {
    const int n = list.getCount();
    if (n < 2) return false;
    return simpleParallelSolution(point(0), point(n - 1), dir1, dir2, area - getSignedArea(), x1,
                                  x2);
}

bool C2dPtListUt::getAreaParallelLineSolution(const CMathAngle& dir1, const CMathAngle& dir2,
                                              const CMathAngle& dir3, double area, C2dPos& x1,
                                              C2dPos& x2) const {
    const int n = list.getCount();
    if (n < 2) return false;
    C2dPos first = point(0);
    C2dPos last = point(n - 1);
    double d = area - getSignedArea();
    // Square the base off to dir3 first, cutting the triangle that lies between the two ends.
    double s3 = 0.0, s2 = 0.0;
    if (intersectRays(first, dir3, last, dir2, s3, s2) && s2 >= 0.0) {
        C2dPos X;
        dir2.getPosAlong(s2, last, X);
        d -= triangleArea(first, last, X);
        last = X;
    } else {
        double s1 = 0.0;
        if (!intersectRays(last, dir3, first, dir1, s3, s1) || s1 < 0.0) return false;
        C2dPos X;
        dir1.getPosAlong(s1, first, X);
        d -= triangleArea(first, last, X);
        first = X;
    }
    return simpleParallelSolution(first, last, dir1, dir2, d, x1, x2);
}
