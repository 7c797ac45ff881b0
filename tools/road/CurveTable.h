#pragma once

#include <cstdio>
#include <string>

#include "Units.h"

// Prints every relation of one circular curve (radius and length in `unit`, which is also the
// unit of every length printed and the base of the degrees of curve and chord: 100 m or 100 ft),
// entered once in each display kind, so that a user can check the library against a curve table
// of their own. A relation without a value (a degree of chord whose 100-unit chord is longer
// than the circle's diameter, a tangent or external at or past a central angle of 180 degrees,
// where the library answers 0) shows "no solution".
void printCurveTable(std::FILE* out, double radius, double length,
                     road::Unit unit = road::Unit::Metre);

// Refuses what is not a curve: non-finite or non-positive values, a radius outside
// 1 mm to 1000 km (the message gives the bounds in `unit`), an arc that closes on itself (length
// at least the full circle).
bool checkCurve(double radius, double length, std::string& error,
                road::Unit unit = road::Unit::Metre);
