#include "velmorutils/zelmath/vertical/VerticalValidity.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "velmorutils/zelmath/angles/ValueBounds.h"

namespace zel_math {
namespace {

std::string stationOf(double chainageM, const ProfileCheck& how) {
    if (how.stationText) return how.stationText(chainageM);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", metresToUnit(chainageM, how.unit));
    return buf;
}

std::string lengthOf(double m, const ProfileCheck& how) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f %s", metresToUnit(m, how.unit),
                  linearUnitSymbol(how.unit));
    return buf;
}

std::string atLine(const VipValues& v) {
    return v.line > 0 ? " at line " + std::to_string(v.line) : "";
}

std::string describe(const VipValues& v, const ProfileCheck& how) {
    const char* kind = v.curve == VipCurve::Circle     ? "CircCurve"
                       : v.curve == VipCurve::Parabola ? "ParaCurve"
                                                       : "PVI";
    return kind + atLine(v) + " (VIP station " + stationOf(v.chainageM, how) + ")";
}

bool curved(const VipValues& v) {
    return v.curve == VipCurve::Circle || (v.curve == VipCurve::Parabola && v.lengthM > 0.0);
}

Verdict checkValues(const VipValues& v, size_t i, const ProfileCheck& how) {
    const std::string name = "VIP " + std::to_string(i + 1) + ": ";
    Verdict r = checkQuantity(v.chainageM, Quantity::Station, name + "chainage", how.unit);
    if (r) r = checkQuantity(v.heightM, Quantity::Elevation, name + "height", how.unit);
    if (r && v.curve == VipCurve::Parabola)
        r = checkQuantity(v.lengthM, Quantity::Length, name + "length", how.unit);
    if (r && v.curve == VipCurve::Circle)
        r = checkQuantity(v.radiusM, Quantity::Radius, name + "radius", how.unit);
    return r;
}

Verdict checkOrder(const std::vector<VipValues>& p, const ProfileCheck& how) {
    for (size_t i = 0; i < p.size(); ++i) {
        if (Verdict r = checkValues(p[i], i, how); !r) return r;
        if (i > 0 && !(p[i].chainageM > p[i - 1].chainageM))
            return Verdict::fail("stations of a profile must increase (" + describe(p[i], how) +
                                 " follows " + describe(p[i - 1], how) + ")");
    }
    if (p.size() == 1 && !how.openEnd) return Verdict::fail("a profile needs at least two points");
    return Verdict::pass();
}

double gradeBetween(const VipValues& a, const VipValues& b) {
    return (b.heightM - a.heightM) / (b.chainageM - a.chainageM);
}

Verdict overlapVerdict(const VipValues& a, const VipValues& b, double by, const ProfileCheck& how) {
    if (curved(a) && curved(b))
        return Verdict::fail("the vertical curves " + describe(a, how) + " and " +
                             describe(b, how) + " overlap by " + lengthOf(by, how) +
                             "; heights from this profile would be wrong");
    const VipValues& curve = curved(a) ? a : b;
    const VipValues& other = curved(a) ? b : a;
    return Verdict::fail("the vertical curve " + describe(curve, how) +
                         " is longer than its tangent to the VIP" + atLine(other) + " (station " +
                         stationOf(other.chainageM, how) + ") by " + lengthOf(by, how));
}

}  // namespace

VipExtent vipCurveExtent(const VipValues& v, double gradeIn, double gradeOut) {
    if (v.curve == VipCurve::Parabola) return {v.lengthM / 2.0, v.lengthM / 2.0};
    if (v.curve != VipCurve::Circle) return {};
    const double a1 = std::atan(gradeIn), a2 = std::atan(gradeOut);
    const double t = v.radiusM * std::tan(std::fabs(a2 - a1) / 2.0);
    return {t * std::cos(a1), t * std::cos(a2)};
}

double circleArcLength(double radiusM, double gradeIn, double gradeOut) {
    return radiusM * std::fabs(std::atan(gradeOut) - std::atan(gradeIn));
}

double vipTouchTolerance(const VipValues& a, const VipValues& b, const ProfileCheck& how) {
    return std::max({how.touchToleranceM, 2.0 * a.writtenStepM, 2.0 * b.writtenStepM, 1e-6});
}

Verdict checkVerticalCurves(const std::vector<VipValues>& p, const ProfileCheck& how) {
    if (Verdict r = checkOrder(p, how); !r) return r;
    const size_t n = p.size();
    // The last VIP of an open profile is judged when its neighbour comes.
    const size_t judged = how.openEnd && n > 0 ? n - 1 : n;
    std::vector<VipExtent> ext(n);
    // A parabola's extent needs no grades: an open last one already meets its neighbour.
    if (judged < n && p[n - 1].curve == VipCurve::Parabola && n > 1)
        ext[n - 1] = vipCurveExtent(p[n - 1], 0.0, 0.0);
    for (size_t i = 0; i < judged; ++i) {
        if (!curved(p[i])) continue;
        if (i == 0 || i + 1 == n)
            return Verdict::fail(describe(p[i], how) +
                                 ": a vertical curve at the first or last VIP has no grade on "
                                 "one side");
        ext[i] = vipCurveExtent(p[i], gradeBetween(p[i - 1], p[i]), gradeBetween(p[i], p[i + 1]));
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        const double room = p[i + 1].chainageM - p[i].chainageM;
        const double used = ext[i].ahead + ext[i + 1].back;
        if (used <= room + vipTouchTolerance(p[i], p[i + 1], how)) continue;
        return overlapVerdict(p[i], p[i + 1], used - room, how);
    }
    return Verdict::pass();
}

}  // namespace zel_math
