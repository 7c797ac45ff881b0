#pragma once

#include <string>

#include "velmorutils/formats/Verdict.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/LinearUnit.h"

// The bounds of every length, coordinate, station and height a design may hold, and the check of
// one value against them. Shared by the horizontal checks (alignment room), the profile checks
// (vertical room) and every door that reads or builds a design.
namespace zel_math {

using zel_formats::Verdict;

// What a road can be, in metres. A value beyond these bounds is a broken or hostile design, and
// would otherwise come out as a hang, an exhausted memory or a position far from any road.
inline constexpr double kMaxCoordinateM = 1e8;  // |northing|, |easting|: beyond any grid
inline constexpr double kMaxLengthM = 1e6;      // an element or a vertical curve: 1000 km
inline constexpr double kMinRadiusM = 0.1;      // arcs and spiral ends; a hairpin is 10 m
inline constexpr double kMaxRadiusM = 1e9;      // arcs; a spiral end beyond it is a tangent
inline constexpr double kMaxStationM = 1e8;     // |station|, start chainage, equations, VIPs
inline constexpr double kMaxElevationM = 1e5;   // |elevation|
// A value within this fraction of a bound counts as on it: a value on a bound in metres,
// written in feet, reads back a few units in the last place away and must still be accepted.
inline constexpr double kBoundSlack = 1e-12;
// And within this many metres: feet numbers are written as the shortest text that reads back to
// the metres within 1e-9 m, so a value on a bound may come back that far away.
inline constexpr double kBoundSlackM = 1e-9;

enum class Quantity { Coordinate, Length, Radius, Station, Elevation };

// The bound of a quantity in words: "a length must lie between 0 and 1e6 m", ...
VELMORUTILS_API const char* boundText(Quantity q);
// Whether a value in metres lies within its bounds (the slack included); false for NaN.
VELMORUTILS_API bool withinBounds(double metres, Quantity q);

// A value in metres, finite and within its bounds. Messages:
//   "<field> is not a finite number: '<value>'"
//   "<field> is <value> <unit name>: <bound text>"  (value in `unit`, LandXML unit name)
VELMORUTILS_API Verdict checkQuantity(double metres, Quantity q, const std::string& field,
                                      LinearUnit unit = LinearUnit::Meter);

// The length of an element to build: a Length above 0. Besides checkQuantity's messages:
//   "<field> is 0 <unit name>: an element needs a length above 0"
VELMORUTILS_API Verdict checkElementLength(double metres, const std::string& field,
                                           LinearUnit unit = LinearUnit::Meter);

// A number as the shortest text that reads back to it ("2000000", "0.1", "nan", "inf").
VELMORUTILS_API std::string shortestText(double value);

}  // namespace zel_math
