#pragma once

#include <functional>
#include <string>
#include <vector>

#include "velmorutils/formats/Verdict.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/LinearUnit.h"

// What makes a profile usable, as checks over plain values: vertical intersection points (VIPs)
// in increasing running chainage, each with a curve that stays between its neighbours. A curve
// that reaches past a neighbouring curve, or past the neighbouring VIP, gives heights that belong
// to no design (a height of 0 or a grade of 34 % where the design says otherwise), so every door
// (the LandXML reader, the C++ builder, Python's AlignmentBuilder) refuses it with these words.
namespace zel_math {

using zel_formats::Verdict;

enum class VipCurve { None, Parabola, Circle };

// A VIP in metres: running chainage, height, and its curve: a parabola of lengthM along the
// chainage, or a circle of radiusM (its length follows from the grades). line: the file's line
// for messages, 0 when there is none.
struct VipValues {
    double chainageM = 0.0;
    double heightM = 0.0;
    VipCurve curve = VipCurve::None;
    double lengthM = 0.0;
    double radiusM = 0.0;
    int line = 0;
    // One unit of the last decimal the design was written with for this VIP's chainage and curve
    // (metres; 0 when not known): what a writer's rounding may have moved them by.
    double writtenStepM = 0.0;
};

// Where a curve's horizontal extent ends on each side of its VIP (metres along the chainage),
// between grades gradeIn and gradeOut (rise over run). A parabola spans half its length each
// way; a circle its tangent length R tan(|d| / 2), d the change of grade angle, projected on the
// chainage along each grade.
struct VipExtent {
    double back = 0.0;
    double ahead = 0.0;
};
VELMORUTILS_API VipExtent vipCurveExtent(const VipValues& vip, double gradeIn, double gradeOut);

// The arc length of a circle at a VIP between two grades: R |atan(gradeOut) - atan(gradeIn)|.
VELMORUTILS_API double circleArcLength(double radiusM, double gradeIn, double gradeOut);

struct ProfileCheck {
    // Curves that meet, or overlap by at most this much, touch: 1 mm, or twice the written step
    // of either VIP (VipValues::writtenStepM) where the design was written with fewer decimals.
    // Never below 1e-6 m.
    double touchToleranceM = 1e-3;
    // The unit of lengths in messages ("0.0100 m").
    LinearUnit unit = LinearUnit::Meter;
    // A running chainage as the user reads it ("0+300.000"); empty: "300.000" in the unit.
    std::function<std::string(double chainageM)> stationText;
    // The last VIP may still get a neighbour (a profile being typed in): its curve is judged
    // when the next VIP comes, and a single VIP is allowed.
    bool openEnd = false;
};

// How far the curves at two neighbouring VIPs may overlap and still touch (metres): see
// ProfileCheck::touchToleranceM.
VELMORUTILS_API double vipTouchTolerance(const VipValues& a, const VipValues& b,
                                         const ProfileCheck& how = {});

// The whole profile. A VIP is named "ParaCurve at line 12 (VIP station 0+300.000)" (CircCurve,
// PVI; without " at line N" where it has no line). Messages, in the order checked:
//   "VIP <i>: chainage is not a finite number: '<v>'" and the other checkQuantity messages
//     (chainage: a Station, height: an Elevation, length: a Length, radius: a Radius)
//   "stations of a profile must increase (<VIP> follows <VIP>)"
//   "a profile needs at least two points"
//   "<VIP>: a vertical curve at the first or last VIP has no grade on one side"
//   "the vertical curves <VIP> and <VIP> overlap by <d> <unit>; heights from this profile would
//    be wrong"
//   "the vertical curve <VIP> is longer than its tangent to the VIP at line <n> (station <s>) by
//    <d> <unit>"   (without " at line <n>" where it has no line)
// <d> is written "%.4f". A parabola of length 0 is a plain VIP, also at the ends.
VELMORUTILS_API Verdict checkVerticalCurves(const std::vector<VipValues>& vips,
                                            const ProfileCheck& how = {});

}  // namespace zel_math
