#pragma once

// Checks and geometry the LandXML reader derives from what it has read; not part of the public
// interface. Every check that fails leaves its message (without file line or element name, which
// the reader adds) in message.

#include <string>

#include <velmorutils/landxml/Model.h>

namespace zel_landxml::reader_geometry {

// A bound stretched by kBoundSlack: a value that lies on a bound in metres comes back from a
// file written in feet a few units in the last place away, and must still read.
double above(double bound);

// A length in metres as text in the file's unit, to four decimals with the unit's symbol.
std::string lengthText(double m, LinearUnit unit);

// A line without a length: the distance from Start to End, which must be a length.
bool lineFromPoints(HElement& e, std::string& message);

// The swept angle (radians, in (0, 2 pi]) from centre-to-start to centre-to-end in the turning
// direction.
double sweepOf(const HElement& e);

// A curve given by its points only: the radius from the centre, the direction from the PI
// when there is one, else the shorter way round (road arcs turn less than half a circle).
bool curveFromPoints(HElement& e, bool haveRot, LinearUnit unit, std::string& message);

// The alignment's end station (its start plus the elements' total length, metres) stays within
// kMaxStationM.
bool checkEndStation(const Alignment& a, double total, std::string& message);

}  // namespace zel_landxml::reader_geometry
