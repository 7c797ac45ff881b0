#include "RoadBuilder.h"

#include <cmath>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/zelmath/alignment/CAlntHeArc.h>
#include <velmorutils/zelmath/alignment/CAlntHeIp.h>
#include <velmorutils/zelmath/alignment/CAlntHeSegment.h>
#include <velmorutils/zelmath/alignment/CAlntHeSpiral.h>
#include <velmorutils/zelmath/vertical/CAlntVeLsWithArc.h>
#include <velmorutils/zelmath/vertical/CLsInfo.h>
#include <velmorutils/zelmath/vertical/CVerticalLSElement.h>

namespace pyvelmor {
namespace {

using zel_landxml::kMaxCoordinateM;
using zel_landxml::kMaxLengthM;
using zel_landxml::kMaxRadiusM;
using zel_landxml::kMinRadiusM;

bool positiveLength(double m) {
    return std::isfinite(m) && m > 0.0 && m <= kMaxLengthM;
}
bool radiusOk(double m) {
    return std::isfinite(m) && m >= kMinRadiusM && m <= kMaxRadiusM;
}
bool coordinateOk(double m) {
    return std::isfinite(m) && std::fabs(m) <= kMaxCoordinateM;
}

}  // namespace

RoadBuilder::RoadBuilder(double north, double east, double chainage, double azimuthDeg,
                         LinearUnit unit)
    : unit_(unit), azimuthDeg_(azimuthDeg) {
    alnt_.setStartChainageInM(zel_landxml::toMetres(chainage, unit));
    alnt_.setStartPos(zel_landxml::toMetres(north, unit), zel_landxml::toMetres(east, unit), 0.0);
}

template <class Element>
bool RoadBuilder::append(Element& el, const char* what, std::string& error) {
    // The builder's start azimuth holds the first element; every later one continues the
    // tangent of the element before it. An intersection point sets its own direction: the
    // straight from the previous end towards it.
    if constexpr (requires { el.setFixedStartAzimuthDeg(0.0); }) {
        if (alnt_.getNumOfHes() == 0) el.setFixedStartAzimuthDeg(azimuthDeg_);
    }
    if (alnt_.appendElement(el)) return true;
    error = std::string(what) + ": the library cannot build this element here";
    return false;
}

bool RoadBuilder::line(double length, std::string& error) {
    const double len = zel_landxml::toMetres(length, unit_);
    if (!positiveLength(len)) return error = "line: length must be positive and finite", false;
    CAlntHeSegment s;
    s.get_data().get_data().setLen(len);
    return append(s, "line", error);
}

bool RoadBuilder::arc(double length, double radius, bool right, std::string& error) {
    const double len = zel_landxml::toMetres(length, unit_);
    const double r = zel_landxml::toMetres(radius, unit_);
    if (!positiveLength(len)) return error = "arc: length must be positive and finite", false;
    if (!radiusOk(r)) return error = "arc: radius must be a positive finite number", false;
    CAlntHeArc a;
    a.get_data().get_data().SetElement(len, r, right);
    return append(a, "arc", error);
}

bool RoadBuilder::spiral(double length, double radiusStart, double radiusEnd, bool right,
                         std::string& error) {
    const double len = zel_landxml::toMetres(length, unit_);
    const double r1 = zel_landxml::toMetres(radiusStart, unit_);
    const double r2 = zel_landxml::toMetres(radiusEnd, unit_);
    if (!positiveLength(len)) return error = "spiral: length must be positive and finite", false;
    const bool tangent1 = std::isinf(r1) && r1 > 0.0, tangent2 = std::isinf(r2) && r2 > 0.0;
    if ((!tangent1 && !radiusOk(r1)) || (!tangent2 && !radiusOk(r2)) || (tangent1 && tangent2))
        return error =
                   "spiral: radii must be positive, one of them may be math.inf (a tangent "
                   "end)",
               false;
    if (r1 == r2) return error = "spiral: the two radii must differ", false;
    CAlntHeSpiral s;
    CCurveDataSpiral& data = s.get_data().get_data();
    bool ok = false;
    if (tangent1)
        ok = data.setLenAndR(len, r2, right, true);
    else if (tangent2)
        ok = data.setLenAndR(len, r1, right, false);
    else
        ok = data.setLenAndR(len, r1, r2, right);
    if (!ok) return error = "spiral: the library cannot build a clothoid with these values", false;
    return append(s, "spiral", error);
}

bool RoadBuilder::ip(double north, double east, double radius, double spiralIn, double spiralOut,
                     std::string& error) {
    const double n = zel_landxml::toMetres(north, unit_), e = zel_landxml::toMetres(east, unit_);
    const double r = zel_landxml::toMetres(radius, unit_);
    const double l1 = zel_landxml::toMetres(spiralIn, unit_);
    const double l2 = zel_landxml::toMetres(spiralOut, unit_);
    if (!coordinateOk(n) || !coordinateOk(e))
        return error = "ip: northing and easting must be finite", false;
    if (!(r == 0.0 || radiusOk(r)))
        return error = "ip: radius must be positive (0 for a bare vertex)", false;
    if (!(l1 >= 0.0 && l1 <= kMaxLengthM && l2 >= 0.0 && l2 <= kMaxLengthM))
        return error = "ip: spiral lengths must be 0 or positive and finite", false;
    if (r == 0.0 && (l1 > 0.0 || l2 > 0.0))
        return error = "ip: spirals need a radius to lead into", false;
    CAlntHeIp el;
    if (!el.setIp(n, e, l1, r, l2)) return error = "ip: the library cannot fit this curve", false;
    return append(el, "ip", error);
}

bool RoadBuilder::vip(double chainage, double height, int curve, double length, double radius,
                      std::string& error) {
    const double c = zel_landxml::toMetres(chainage, unit_);
    const double h = zel_landxml::toMetres(height, unit_);
    const double len = zel_landxml::toMetres(length, unit_);
    const double r = zel_landxml::toMetres(radius, unit_);
    if (!std::isfinite(c) || !std::isfinite(h))
        return error = "vip: chainage and height must be finite", false;
    bool ok = false;
    if (curve == 2) {
        if (!radiusOk(r)) return error = "vip: a circular curve needs a positive radius", false;
        ok = alnt_.appendElement(CAlntVeLsWithArc(c, h, r));
    } else {
        if (!(len >= 0.0 && len <= kMaxLengthM))
            return error = "vip: curve length must be 0 or positive and finite", false;
        ok = alnt_.appendElement(CVerticalLSElement(CLsInfo(c, h, curve == 1 ? len : 0.0)));
    }
    if (!ok)
        error =
            "vip: the library cannot fit this vertical curve between its neighbours (VIPs "
            "must follow in increasing chainage)";
    return ok;
}

std::shared_ptr<RoadAlignment> RoadBuilder::build(std::string& error) const {
    if (alnt_.getNumOfHes() == 0) {
        error = "build: the alignment has no element";
        return nullptr;
    }
    zel_landxml::Stationing stationing;
    stationing.assign(alnt_.getStartChainageInM(), {}, error);
    return std::make_shared<RoadAlignment>("", unit_, alnt_, std::move(stationing));
}

}  // namespace pyvelmor
