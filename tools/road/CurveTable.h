#pragma once

#include <cstdio>
#include <string>

// Prints every relation of one circular curve (radius and length in metres), entered once in
// each display kind, so that a user can check the library against a curve table of their own.
// A relation without a value (a degree of chord whose 100 m chord is longer than the circle's
// diameter, a tangent or external past a central angle of 180 degrees) shows "no solution".
void printCurveTable(std::FILE* out, double radius, double length);

// Refuses what is not a curve: non-finite or non-positive values, a radius outside
// 1 mm to 1000 km, an arc that closes on itself (length at least the full circle).
bool checkCurve(double radius, double length, std::string& error);
