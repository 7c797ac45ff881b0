#include "velmorutils/zelmath/cogo/CatchPoint.h"

#include <cmath>

#include "velmorutils/zelmath/angles/AngleConversions.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/cogo/PlaneCogo.h"

using zel_math::isNearZero;

namespace {

// Where the slope line from the hinge meets the ground line, if it does so on the slope's own
// side of the hinge (a slope never reaches back under the formation).
bool slopeMeetsGround(double x0, double y0, bool isRight, double slope, bool isCut, double ga,
                      double gb, double gc, double& x, double& y) {
    double dx = 0.0, dy = 0.0;
    ComputeXYOffsetsForCutFillSlope(slope, isCut, isRight, &dx, &dy);
    double a, b, c;
    ComputeEqVars(x0, y0, x0 + dx, y0 + dy, a, b, c);
    double xi = 0.0, yi = 0.0;
    if (!GetIntersectionPointFromEqVars(a, b, c, ga, gb, gc, xi, yi)) return false;
    if (!std::isfinite(xi) || !std::isfinite(yi)) return false;
    if (isRight ? !(xi >= x0) : !(xi <= x0)) return false;
    x = xi;
    y = yi;
    return true;
}

}  // namespace

void ComputeXYOffsetsForCutFillSlope(double slope, bool isCut, bool isRight, double* dx,
                                     double* dy) {
    const double s = isRight ? 1.0 : -1.0;
    double ox = s, oy = 0.0;
    if (!isNearZero(slope)) {
        // One unit of height for `slope` units across: tan(atan3(1, slope)) x slope is 1 up to
        // rounding, whatever the sign of the slope; its sign comes from cut or fill.
        const double rise = std::fabs(std::tan(atan3(1.0, slope)) * slope);
        ox = slope * s;
        oy = isCut ? rise : -rise;
    }
    if (dx) *dx = ox;
    if (dy) *dy = oy;
}

int ComputeCatchPoint(double x0, double y0, bool isRight, double cutSlope, bool hasCut,
                      double fillSlope, bool hasFill, double gx1, double gy1, double gx2,
                      double gy2, double& x, double& y, double& groundDir) {
    // Two coincident ground points stand for level ground through that point.
    if (isNearZero(gx2 - gx1) && isNearZero(gy2 - gy1)) gx2 = gx1 + 1.0;
    groundDir = GetRefAziPts(gx2 - gx1, gy2 - gy1);
    double ga, gb, gc;
    ComputeEqVars(gx1, gy1, gx2, gy2, ga, gb, gc);

    double cx = 0.0, cy = 0.0, fx = 0.0, fy = 0.0;
    const bool cut =
        hasCut && slopeMeetsGround(x0, y0, isRight, cutSlope, true, ga, gb, gc, cx, cy);
    const bool fill =
        hasFill && slopeMeetsGround(x0, y0, isRight, fillSlope, false, ga, gb, gc, fx, fy);
    // Both slopes reach the ground: the one that meets it at an elevation nearer to gy2 wins,
    // the cut on a tie.
    const bool takeFill = fill && (!cut || std::fabs(fy - gy2) < std::fabs(cy - gy2));
    if (takeFill) {
        x = fx;
        y = fy;
        return 2;
    }
    if (cut) {
        x = cx;
        y = cy;
        return 1;
    }
    return 0;
}
