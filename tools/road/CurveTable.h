#pragma once

#include <cstdio>

// Prints every relation of one circular curve, entered once in each display kind, so that a
// user can check the library against a curve table of their own.
void printCurveTable(std::FILE* out, double radius, double length);
