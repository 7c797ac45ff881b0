#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/C2dPos.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"

class CAlnt;

/// Extends alnt by a straight from its final point to pt (north, east in metres), its azimuth fixed
/// to that direction. A pt on the final point (within 1e-12 m) adds nothing and succeeds.
VELMORUTILS_API bool appendSegmentToAlnt(const C2dPos& pt, CAlnt& alnt);

/// The start azimuth an element of length len (metres) running from radius startRadius to
/// endRadius (metres; 0 is straight, positive turns right) must have so that, starting at p1, it
/// ends on the line from p1 through p2 (north, east in metres). Radii of opposite sign, or no
/// length, give false with az 0.
VELMORUTILS_API bool getAlntElementAzimuth(CMathAngle& az, const C2dPos& p1, const C2dPos& p2,
                                           double startRadius, double endRadius, double len);

#include <functional>
#include <string>
#include <vector>

#include "velmorutils/formats/Verdict.h"
#include "velmorutils/zelmath/alignment/AlntValidity.h"
#include "velmorutils/zelmath/alignment/CAlnt.h"
#include "velmorutils/zelmath/vertical/VerticalValidity.h"

namespace zel_math {

/// Builds an alignment element by element, as a design is typed in: a start point, chainage and
/// azimuth, then straights, arcs, spirals and curves at intersection points, a profile of VIPs
/// and station equations. Every value is in metres (azimuths in degrees clockwise from north);
/// messages write lengths in the builder's unit. Each call checks its values with the library's
/// validity rules (ValueBounds.h, AlntValidity.h, VerticalValidity.h) and returns a failed
/// Verdict, changing nothing, when the element cannot be built: "<call>: <rule's message>",
/// e.g. "spiral: a spiral between equal radii is an arc". Python's AlignmentBuilder is this
/// class; the road tool's built-in roads are built with it.
class VELMORUTILS_API AlntBuilder {
public:
    /// A start that is not finite fails every later call with "start: ..." (see startVerdict).
    AlntBuilder(double northM, double eastM, double startChainageM, double azimuthDeg,
                LinearUnit unit = LinearUnit::Meter);

    Verdict line(double lengthM);
    /// right: the arc turns clockwise (to the right, seen along increasing chainage).
    Verdict arc(double lengthM, double radiusM, bool right);
    /// A clothoid from radiusStartM to radiusEndM; +infinity is a tangent end.
    Verdict spiral(double lengthM, double radiusStartM, double radiusEndM, bool right);
    /// An intersection point with its curve (spiral in, arc, spiral out); radius 0 is a bare
    /// vertex (no spirals). The curve is fitted when the next intersection point follows.
    Verdict ip(double northM, double eastM, double radiusM, double spiralInM, double spiralOutM);
    /// A VIP at a running chainage: VipCurve::Parabola of lengthM, Circle of radiusM, or None.
    /// Checked with the VIPs before it (checkVerticalCurves, the last one open).
    Verdict vip(double chainageM, double heightM, VipCurve curve, double lengthM, double radiusM);
    /// A station equation at a running chainage; stationBackM NaN when not given.
    Verdict equation(double chainageM, double stationBackM, double stationAheadM);
    /// Whether what is built so far is a usable alignment: at least one element, the whole
    /// profile (its last curve included), every equation on the road. "build: ..." otherwise.
    Verdict finish() const;

    Verdict startVerdict() const { return start_; }
    /// Names stations in profile messages (default: the running chainage "300.000").
    void setStationText(std::function<std::string(double chainageM)> text);
    /// Curves of the profile that overlap by at most this touch (default 1 mm).
    void setTouchToleranceM(double m) { touchM_ = m; }

    const CAlnt& alnt() const { return alnt_; }
    CAlnt& alnt() { return alnt_; }
    const std::vector<EquationValues>& equations() const { return equations_; }
    LinearUnit unit() const { return unit_; }

private:
    ProfileCheck profileCheck(bool openEnd) const;

    LinearUnit unit_;
    double azimuthDeg_;
    Verdict start_;
    double touchM_ = 1e-3;
    std::function<std::string(double)> stationText_;
    CAlnt alnt_;
    std::vector<VipValues> vips_;
    std::vector<EquationValues> equations_;
};

}  // namespace zel_math
