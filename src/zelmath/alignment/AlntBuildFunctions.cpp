#include "velmorutils/zelmath/alignment/AlntBuildFunctions.h"

#include <cmath>
#include <limits>

#include "velmorutils/zelmath/alignment/CAlnt.h"
#include "velmorutils/zelmath/alignment/CAlntHeArc.h"
#include "velmorutils/zelmath/alignment/CAlntHeIp.h"
#include "velmorutils/zelmath/alignment/CAlntHeSegment.h"
#include "velmorutils/zelmath/alignment/CAlntHeSpiral.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/curves/CCurveDataArc.h"
#include "velmorutils/zelmath/curves/CCurveDataSegment.h"
#include "velmorutils/zelmath/curves/CCurveDataSpiral.h"
#include "velmorutils/zelmath/vertical/CAlntVeLsWithArc.h"
#include "velmorutils/zelmath/vertical/CLsInfo.h"
#include "velmorutils/zelmath/vertical/CVerticalLSElement.h"

using zel_math::isNearZero;

bool appendSegmentToAlnt(const C2dPos& pt, CAlnt& alnt) {
    C2dPos last;
    if (!alnt.getFinalPosNe(last.north, last.east)) return false;
    const double dN = pt.north - last.north;
    const double dE = pt.east - last.east;
    if (isNearZero(dN) && isNearZero(dE)) return true;

    CMathAngle az;
    az.setAz(dN, dE);
    CAlntHeSegment segment;
    segment.setFixedStartAzimuthDeg(az.getDeg());
    segment.get_data().get_data().setLen(std::sqrt(dN * dN + dE * dE));
    return alnt.appendElement(segment);
}

namespace {

// The end point, in the frame that starts at the origin heading north, of the element of
// length len between the two signed radii (0 = straight). False for radii of opposite sign,
// which no single clothoid joins.
bool localEndPoint(double startRadius, double endRadius, double len, C2dPos& end) {
    if (startRadius == 0.0 && endRadius == 0.0) {
        CCurveDataSegment segment;
        segment.setLen(len);
        end = {segment.getFinalNorthing(), segment.getFinalEasting()};
        return true;
    }
    if (isNearZero(startRadius - endRadius)) {
        CCurveDataArc arc;
        arc.SetElement(len, startRadius, startRadius > 0.0);
        end = {arc.getFinalNorthing(), arc.getFinalEasting()};
        return true;
    }
    if (startRadius * endRadius < 0.0) return false;
    CCurveDataSpiral spiral;
    if (endRadius == 0.0) {
        spiral.setLenAndR(len, startRadius, startRadius > 0.0, false);
    } else if (startRadius == 0.0) {
        spiral.setLenAndR(len, endRadius, endRadius > 0.0, true);
    } else {
        spiral.setLenAndR(len, startRadius, endRadius, startRadius > 0.0);
    }
    end = {spiral.getFinalNorthing(), spiral.getFinalEasting()};
    return true;
}

}  // namespace

bool getAlntElementAzimuth(CMathAngle& az, const C2dPos& p1, const C2dPos& p2, double startRadius,
                           double endRadius, double len) {
    if (isNearZero(len)) len = 0.0;
    if (isNearZero(startRadius)) startRadius = 0.0;
    if (isNearZero(endRadius)) endRadius = 0.0;
    C2dPos end;
    if (len <= 0.0 || !localEndPoint(startRadius, endRadius, len, end)) {
        az.setDeg(0.0);
        return false;
    }
    // In its own frame the element's chord points at its end point; turning the frame by az
    // lays that chord onto p1-p2.
    CMathAngle chord;
    CMathAngle local;
    const bool ok = chord.setAz(p2 - p1) && local.setAz(end);
    az = chord;
    az -= local;
    return ok;
}

namespace zel_math {
namespace {

Verdict prefixed(const char* call, Verdict v) {
    if (!v) v.message = std::string(call) + ": " + v.message;
    return v;
}

// The first element starts at the builder's azimuth; every later one continues the tangent of
// the element before it. An intersection point sets its own direction.
template <class Element>
Verdict appendTo(CAlnt& alnt, Element& el, double azimuthDeg, const char* call) {
    if constexpr (requires { el.setFixedStartAzimuthDeg(0.0); }) {
        if (alnt.getNumOfHes() == 0) el.setFixedStartAzimuthDeg(azimuthDeg);
    }
    if (alnt.appendElement(el)) return Verdict::pass();
    return Verdict::fail(std::string(call) + ": the library cannot build this element here");
}

// A spiral end: a radius, or +infinity for a tangent.
Verdict checkSpiralEnd(double radiusM, const char* field, LinearUnit unit) {
    if (std::isinf(radiusM) && radiusM > 0.0) return Verdict::pass();
    return checkQuantity(radiusM, Quantity::Radius, field, unit);
}

}  // namespace

AlntBuilder::AlntBuilder(double northM, double eastM, double startChainageM, double azimuthDeg,
                         LinearUnit unit)
    : unit_(unit), azimuthDeg_(azimuthDeg) {
    start_ = checkQuantity(northM, Quantity::Coordinate, "northing", unit);
    if (start_) start_ = checkQuantity(eastM, Quantity::Coordinate, "easting", unit);
    if (start_) start_ = checkQuantity(startChainageM, Quantity::Station, "chainage", unit);
    if (start_ && !std::isfinite(azimuthDeg))
        start_ =
            Verdict::fail("azimuth is not a finite number: '" + shortestText(azimuthDeg) + "'");
    start_ = prefixed("start", start_);
    if (!start_) return;
    alnt_.setStartChainageInM(startChainageM);
    alnt_.setStartPos(northM, eastM, 0.0);
}

void AlntBuilder::setStationText(std::function<std::string(double)> text) {
    stationText_ = std::move(text);
}

Verdict AlntBuilder::line(double lengthM) {
    if (!start_) return start_;
    if (Verdict v = checkElementLength(lengthM, "length", unit_); !v) return prefixed("line", v);
    CAlntHeSegment s;
    s.get_data().get_data().setLen(lengthM);
    return appendTo(alnt_, s, azimuthDeg_, "line");
}

Verdict AlntBuilder::arc(double lengthM, double radiusM, bool right) {
    if (!start_) return start_;
    Verdict v = checkElementLength(lengthM, "length", unit_);
    if (v) v = checkQuantity(radiusM, Quantity::Radius, "radius", unit_);
    if (!v) return prefixed("arc", v);
    CAlntHeArc a;
    a.get_data().get_data().SetElement(lengthM, radiusM, right);
    return appendTo(alnt_, a, azimuthDeg_, "arc");
}

Verdict AlntBuilder::spiral(double lengthM, double radiusStartM, double radiusEndM, bool right) {
    if (!start_) return start_;
    Verdict v = checkElementLength(lengthM, "length", unit_);
    if (v) v = checkSpiralEnd(radiusStartM, "radius_start", unit_);
    if (v) v = checkSpiralEnd(radiusEndM, "radius_end", unit_);
    if (v) v = checkSpiral(lengthM, radiusStartM, radiusEndM, unit_);
    if (!v) return prefixed("spiral", v);
    CAlntHeSpiral s;
    CCurveDataSpiral& data = s.get_data().get_data();
    bool ok = false;
    if (std::isinf(radiusStartM))
        ok = data.setLenAndR(lengthM, radiusEndM, right, true);
    else if (std::isinf(radiusEndM))
        ok = data.setLenAndR(lengthM, radiusStartM, right, false);
    else
        ok = data.setLenAndR(lengthM, radiusStartM, radiusEndM, right);
    if (!ok) return Verdict::fail("spiral: the library cannot build a clothoid with these values");
    return appendTo(alnt_, s, azimuthDeg_, "spiral");
}

Verdict AlntBuilder::ip(double northM, double eastM, double radiusM, double spiralInM,
                        double spiralOutM) {
    if (!start_) return start_;
    Verdict v = checkQuantity(northM, Quantity::Coordinate, "northing", unit_);
    if (v) v = checkQuantity(eastM, Quantity::Coordinate, "easting", unit_);
    if (v && radiusM != 0.0) v = checkQuantity(radiusM, Quantity::Radius, "radius", unit_);
    if (v) v = checkQuantity(spiralInM, Quantity::Length, "spiral_in", unit_);
    if (v) v = checkQuantity(spiralOutM, Quantity::Length, "spiral_out", unit_);
    if (v) v = checkIpCurve(radiusM, spiralInM, spiralOutM);
    constexpr double kTangent = std::numeric_limits<double>::infinity();
    if (v && spiralInM > 0.0) v = checkSpiral(spiralInM, kTangent, radiusM, unit_);
    if (v && spiralOutM > 0.0) v = checkSpiral(spiralOutM, radiusM, kTangent, unit_);
    if (!v) return prefixed("ip", v);
    CAlntHeIp el;
    if (!el.setIp(northM, eastM, spiralInM, radiusM, spiralOutM))
        return Verdict::fail("ip: the library cannot fit this curve");
    return appendTo(alnt_, el, azimuthDeg_, "ip");
}

ProfileCheck AlntBuilder::profileCheck(bool openEnd) const {
    ProfileCheck how;
    how.touchToleranceM = touchM_;
    how.unit = unit_;
    how.stationText = stationText_;
    how.openEnd = openEnd;
    return how;
}

Verdict AlntBuilder::vip(double chainageM, double heightM, VipCurve curve, double lengthM,
                         double radiusM) {
    if (!start_) return start_;
    VipValues next{chainageM, heightM, curve, lengthM, radiusM, 0};
    std::vector<VipValues> with = vips_;
    with.push_back(next);
    if (Verdict v = checkVerticalCurves(with, profileCheck(true)); !v) return prefixed("vip", v);
    bool ok = false;
    if (curve == VipCurve::Circle)
        ok = alnt_.appendElement(CAlntVeLsWithArc(chainageM, heightM, radiusM));
    else
        ok = alnt_.appendElement(CVerticalLSElement(
            CLsInfo(chainageM, heightM, curve == VipCurve::Parabola ? lengthM : 0.0)));
    if (!ok) return Verdict::fail("vip: the library cannot fit this vertical curve here");
    vips_ = std::move(with);
    return Verdict::pass();
}

Verdict AlntBuilder::equation(double chainageM, double stationBackM, double stationAheadM) {
    if (!start_) return start_;
    std::vector<EquationValues> with = equations_;
    with.push_back({chainageM, stationBackM, stationAheadM, 0});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    if (Verdict v = checkStationEquations(alnt_.getStartChainageInM(), with, nan); !v)
        return prefixed("equation", v);
    equations_ = std::move(with);
    return Verdict::pass();
}

Verdict AlntBuilder::finish() const {
    if (!start_) return start_;
    if (alnt_.getNumOfHes() == 0) return Verdict::fail("build: the alignment has no element");
    double end = 0.0;
    alnt_.getFinalChainageInM(end);
    Verdict v = checkStationEquations(alnt_.getStartChainageInM(), equations_, end);
    if (v && !vips_.empty()) v = checkVerticalCurves(vips_, profileCheck(false));
    return prefixed("build", v);
}

}  // namespace zel_math
