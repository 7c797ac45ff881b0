#pragma once

#include <string>
#include <vector>

#include "velmorutils/formats/Verdict.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/LinearUnit.h"
#include "velmorutils/zelmath/angles/ValueBounds.h"

// What makes a horizontal design usable, as checks over plain values (metres, radians). Every
// door that builds an alignment (the LandXML reader, the C++ builder, Python's AlignmentBuilder)
// asks these, so a fault gets the same verdict and the same message whichever way it came in.
// A message names the field as the caller names it and the value in the caller's unit; the
// caller puts its place in front ("line 12: Spiral: ", "spiral: ").
namespace zel_math {

using zel_formats::Verdict;

// A clothoid may turn up to two full turns from its tangent point (L / (2 R) of its whole
// length): beyond that it is a coil, not a road.
inline constexpr double kMaxSpiralTurnRad = 4.0 * 3.14159265358979323846;

// A clothoid of length lengthM (already checked) between two radii in metres, each a Radius or
// +infinity for a tangent end (each already checked). Messages:
//   "a spiral between two infinite radii is a line"
//   "a spiral between equal radii is an arc"
//   "the clothoid turns through <t> rad from its tangent point over <L> <unit symbol>; a spiral
//    may turn at most 4 pi (12.57 rad)"   (L: the whole clothoid, tangent point to sharper end)
VELMORUTILS_API Verdict checkSpiral(double lengthM, double radiusStartM, double radiusEndM,
                                    LinearUnit unit = LinearUnit::Meter);

// The curve at an intersection point: radius 0 is a bare vertex and takes no spiral. Lengths
// and radius are already checked. Message:
//   "a spiral needs a radius to lead into (the radius is 0: a bare vertex)"
VELMORUTILS_API Verdict checkIpCurve(double radiusM, double spiralInM, double spiralOutM);

// A station equation, in metres (see zel_landxml::StaEquation): the running chainage where it
// stands, the station of the road behind (NaN when not given: it follows from the running
// chainage) and ahead. line: the file's line for messages, 0 when there is none.
struct EquationValues {
    double chainageM = 0.0;
    double stationBackM = 0.0;
    double stationAheadM = 0.0;
    int line = 0;
};

// Equations in the order given, for an alignment from startChainageM to endChainageM (NaN: the
// end is not known yet, not checked). An equation is named "station equation at line N", or
// "station equation N" (from 1) without a line. Messages:
//   "the start station is not a finite number"
//   "<name>: staInternal and staAhead must be finite numbers, staBack finite or absent"
//   "<name>: staInternal must lie after the alignment's start and after the previous equation"
//   "<name>: staInternal lies beyond the alignment's end"
// An equation at the start chainage itself (the first only) renames the first station.
VELMORUTILS_API Verdict checkStationEquations(double startChainageM,
                                              const std::vector<EquationValues>& equations,
                                              double endChainageM);

// A chainage read from a station someone typed, on an alignment from startM to endM. The
// station was rounded when it was printed, so it may lie up to toleranceM (half its last digit,
// see halfLastDigit) outside. Messages:
//   "lies before the alignment's start"
//   "lies after the alignment's end"
VELMORUTILS_API Verdict checkChainageOnAlignment(double chainageM, double startM, double endM,
                                                 double toleranceM);
// Half a unit of the last digit written in a number's text, in the text's own unit: "49+00" 0.5,
// "49+00.00" 0.005, "1049.840 R2" 0.0005.
VELMORUTILS_API double halfLastDigit(const std::string& text);

}  // namespace zel_math
