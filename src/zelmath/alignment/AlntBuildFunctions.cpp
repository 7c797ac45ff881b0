#include "velmorutils/zelmath/alignment/AlntBuildFunctions.h"

#include <cmath>

#include "velmorutils/zelmath/alignment/CAlnt.h"
#include "velmorutils/zelmath/alignment/CAlntHeSegment.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/curves/CCurveDataArc.h"
#include "velmorutils/zelmath/curves/CCurveDataSegment.h"
#include "velmorutils/zelmath/curves/CCurveDataSpiral.h"

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
