#include "velmorutils/zelmath/angles/AngleConversions.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Beyond this many spans the folding is done by fmod instead of one step per span. Below it the
// result is exactly that of repeated adding or subtracting of the span.
constexpr double kMaxFoldSteps = 1e7;

double foldByRemainder(double x, double lo, double hi, double span) {
    if (x < lo) {
        double m = std::fmod(x - lo, span);  // in (-span, 0]
        if (m < 0) m += span;
        const double r = lo + m;
        return r > hi ? r - span : r;
    }
    const double m = std::fmod(x - hi, span);  // in [0, span)
    return m > 0 ? hi - span + m : hi;
}

// Rounded to 5 decimal places: the product is formed as (input x 100000) x factor.
double round5(double scaledBy1e5) {
    return dNearInt(scaledBy1e5) / 100000.0;
}

}  // namespace

double toRange(double x, double lo, double hi) {
    if (!(hi > lo)) return lo;
    if (std::isnan(x)) return x;
    // Infinity has no place in any range: it becomes a NaN, as fmod would make it.
    if (std::isinf(x)) return std::numeric_limits<double>::quiet_NaN();
    const double span = hi - lo;
    const double steps = x < lo ? (lo - x) / span : (x - hi) / span;
    if (steps > kMaxFoldSteps) return foldByRemainder(x, lo, hi, span);
    while (x < lo)
        x += span;
    while (x > hi)
        x -= span;
    return x;
}

int toRange(int x, int lo, int hi) {
    if (hi <= lo) return lo;
    // The same result as repeated folding, in closed form and in 64 bits so that neither the
    // span nor the steps can overflow.
    const std::int64_t span = std::int64_t{hi} - lo;
    std::int64_t v = x;
    if (v < lo) v += ((lo - v + span - 1) / span) * span;
    if (v > hi) v -= ((v - hi + span - 1) / span) * span;
    return static_cast<int>(v);
}

double pos360(double x) {
    const double r = std::fmod(x, 360.0);
    return r < 0 ? r + 360.0 : r;
}

double ModDeg360(double x, bool toPositive) {
    const double r = std::fmod(x, 360.0);
    return (toPositive && r < 0) ? r + 360.0 : r;
}

double atan3(double a, double b) {
    if (a == 0.0 && b == 0.0) return 0.0;
    const double aa = std::fabs(a);
    const double ab = std::fabs(b);
    // Divide by the larger magnitude so that b = 0 never divides by zero.
    const double t = ab >= aa ? std::atan(aa / ab) : 1.5707963267948966 - std::atan(ab / aa);
    if (b >= 0) return a >= 0 ? t : -t;
    return a >= 0 ? 3.141592653589793 - t : 3.141592653589793 + t;
}

double dNearInt(double x) {
    const double r = std::floor(std::fabs(x) + 0.5);
    return x < 0 ? -r : r;
}

double Rad2Deg(double x) {
    return x * 100000.0 * 57.29577951308232 / 100000.0;
}
double Deg2Rad(double x) {
    return round5(std::fmod(x, 360.0) * 100000.0 * 0.017453292519943295);
}
double Grad2Deg(double x) {
    return x * 100000.0 * 0.9 / 100000.0;
}
double Deg2Grad(double x) {
    return round5(std::fmod(x, 360.0) * 100000.0 / 0.9);
}
double GradCC2DegSec(double x) {
    return x * 100000.0 * 0.324 / 100000.0;
}
double DegSec2GradCC(double x) {
    return round5(std::fmod(x, 360.0) * 100000.0 * 3.0864197530864197);
}
double Mil2Deg(double x) {
    return x * 100000.0 * 0.05625 / 100000.0;
}
double Deg2Mil(double x) {
    return round5(std::fmod(x, 360.0) * 100000.0 * 17.77777777777778);
}

double HR2HL(double x) {
    return x == 0.0 ? 0.0 : ModDeg360(360.0 - x, true);
}
double HL2HR(double x) {
    return HR2HL(x);
}
double Level2Zenith(double x) {
    return ModDeg360(360.0 - x + 90.0, true);
}
double Zenith2Level(double x) {
    return Level2Zenith(x);
}

bool ShouldTurn(double x) {
    return std::fabs(x) > 0.5;
}

double MinimizeTurnAngle(double x) {
    if (x > 180.0) return x - 360.0;
    if (x <= -180.0) return x + 360.0;
    return x;
}

void CalcReverseAngles(double& hz, double& v) {
    if (hz < 0.0 || hz >= 180.0)
        hz -= 180.0;
    else
        hz += 180.0;
    if (v > 0.0) v = 360.0 - v;
}
