#include "velmorutils/zelmath/primitives/ClipFunctions.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "velmorutils/zelmath/angles/MathCommon.h"

using zel_math::isNearZero;

// Everything is worked out against levels and strips of y; the x forms exchange the two
// coordinates on the way in and out, so both axes share one piece of geometry.

namespace {

// Truncation toward zero into a pixel coordinate. Points far off screen are pinned to the
// int32 range instead of overflowing; NaN has no pixel and becomes 0.
std::int32_t toPixel(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (v <= lo) return std::numeric_limits<std::int32_t>::min();
    if (v >= hi) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

CPoint swapped(const CPoint& p) {
    return CPoint(p.y, p.x);
}

// Cut the segment a-b at y = level, replacing the end that lies beyond the level (below it when
// `low`, above it otherwise). The end to replace is the one outside, so a segment that touches
// the level at one end and leaves the strip at the other is cut at the touching end.
void cutAtY(CPoint& a, CPoint& b, int level, bool low) {
    CPoint hit;
    if (!segmentIntersectionWithYLevel(a, b.x, b.y, level, hit, nullptr)) return;
    const auto outside = [&](const CPoint& p) { return low ? p.y < level : p.y > level; };
    if (outside(a)) {
        a = hit;
    } else if (outside(b)) {
        b = hit;
    }
}

}  // namespace

int rayIntersectionWithYLevel(double x0, double y0, double x1, double y1, double level, double& x,
                              double* t) {
    const double dy = y1 - y0;
    // A ray parallel to the level never meets it.
    if (isNearZero(dy)) {
        if (t) *t = 0.0;
        return 0;
    }
    const double tt = (level - y0) / dy;
    if (t) *t = tt;
    if (!(tt >= 0.0)) return 0;
    x = x0 + tt * (x1 - x0);
    return 1;
}

int rayIntersectionWithXLevel(double x0, double y0, double x1, double y1, double level, double& y,
                              double* t) {
    return rayIntersectionWithYLevel(y0, x0, y1, x1, level, y, t);
}

int segmentIntersectionWithYLevel(const CPoint& p, double x1, double y1, int level, CPoint& out,
                                  double* t) {
    double x = 0.0;
    double tt = 0.0;
    const int hit = rayIntersectionWithYLevel(p.x, p.y, x1, y1, level, x, &tt);
    if (t) *t = tt;
    if (!hit) return 0;
    if (!t && tt > 1.0) return 0;
    out = CPoint(toPixel(x), level);
    return 1;
}

int segmentIntersectionWithXLevel(const CPoint& p, double x1, double y1, int level, CPoint& out,
                                  double* t) {
    CPoint o;
    if (!segmentIntersectionWithYLevel(swapped(p), y1, x1, level, o, t)) return 0;
    out = swapped(o);
    return 1;
}

int segmentIntersectionWithYStrip(const CPoint& a, const CPoint& b, CPoint& outA, CPoint& outB,
                                  int yMin, int yMax) {
    if ((a.y < yMin && b.y < yMin) || (a.y > yMax && b.y > yMax)) return 0;
    // Work on copies: the outputs may be the inputs themselves.
    CPoint A = a, B = b;
    cutAtY(A, B, yMin, true);
    cutAtY(A, B, yMax, false);
    outA = A;
    outB = B;
    return 1;
}

int segmentIntersectionWithXStrip(const CPoint& a, const CPoint& b, CPoint& outA, CPoint& outB,
                                  int xMin, int xMax) {
    CPoint A, B;
    if (!segmentIntersectionWithYStrip(swapped(a), swapped(b), A, B, xMin, xMax)) return 0;
    outA = swapped(A);
    outB = swapped(B);
    return 1;
}

int segmentIntersection(CPoint& a, CPoint& b, const CRect& r) {
    if (!segmentIntersectionWithXStrip(a, b, a, b, r.left, r.right)) return 0;
    return segmentIntersectionWithYStrip(a, b, a, b, r.top, r.bottom);
}

int rayIntersectionWithYStrip(const CPoint& p, double x1, double y1, CPoint& outA, CPoint& outB,
                              int yMin, int yMax) {
    const double dx = x1 - p.x;
    const double dy = y1 - p.y;
    // A ray along the strip is inside it everywhere or nowhere.
    if (isNearZero(dy)) return yMin <= p.y && p.y <= yMax ? 1 : 0;

    CPoint A = p, B = p;
    double dirX = x1, dirY = y1;  // a point the (still unbounded) ray passes through
    bool bounded = false;
    double x = 0.0;
    if (rayIntersectionWithYLevel(p.x, p.y, x1, y1, yMin, x, nullptr)) {
        const CPoint hit(toPixel(x), yMin);
        if (p.y < yMin) {
            // Entering the strip from below: start the ray again at the entry.
            A = hit;
            dirX = hit.x + dx;
            dirY = hit.y + dy;
            B = CPoint(toPixel(dirX), toPixel(dirY));
        } else {
            // Leaving through y = yMin: from here on it is a segment.
            B = hit;
            bounded = true;
        }
    } else if (p.y < yMin) {
        return 0;  // below the strip and heading away
    }

    if (bounded) {
        CPoint hit;
        if (!segmentIntersectionWithYLevel(A, B.x, B.y, yMax, hit, nullptr)) {
            if (A.y > yMax) return 0;
        } else if (A.y > yMax) {
            A = hit;
        } else if (B.y > yMax) {
            B = hit;
        }
    } else {
        if (!rayIntersectionWithYLevel(A.x, A.y, dirX, dirY, yMax, x, nullptr)) return 0;
        const CPoint hit(toPixel(x), yMax);
        if (A.y <= yMax) {
            B = hit;
        } else {
            A = hit;
        }
    }
    outA = A;
    outB = B;
    return 1;
}

int rayIntersectionWithXStrip(const CPoint& p, double x1, double y1, CPoint& outA, CPoint& outB,
                              int xMin, int xMax) {
    CPoint A, B;
    if (!rayIntersectionWithYStrip(swapped(p), y1, x1, A, B, xMin, xMax)) return 0;
    // A ray along the strip reports visibility only; its outputs stay as they were.
    if (isNearZero(x1 - p.x)) return 1;
    outA = swapped(A);
    outB = swapped(B);
    return 1;
}

int rayIntersection(const CPoint& p, double x1, double y1, CPoint& outA, CPoint& outB,
                    const CRect& r) {
    if (!rayIntersectionWithXStrip(p, x1, y1, outA, outB, r.left, r.right)) return 0;
    // A vertical ray crosses the x strip without being cut by it: cut it against y as a ray.
    if (isNearZero(x1 - p.x))
        return rayIntersectionWithYStrip(p, x1, y1, outA, outB, r.top, r.bottom);
    // Otherwise the x strip has bounded it to a segment.
    return segmentIntersectionWithYStrip(outA, outB, outA, outB, r.top, r.bottom);
}

int rayIntersection(const CPoint& p, double angle, CPoint& outA, CPoint& outB, const CRect& r) {
    return rayIntersection(p, p.x + std::sin(angle), p.y + std::cos(angle), outA, outB, r);
}
