#pragma once

#include <velmorutils/zelmath/alignment/CAlnt.h>

namespace road {

// The built-in road for trying the tool without a file: straights, entry and exit spirals, arcs
// turning both ways, a curve fitted at an intersection point, and a profile with parabolic and
// circular vertical curves.
void buildSampleRoad(CAlnt& alnt);

// A long road for timing: the sample's pattern of elements repeated to about the given length.
void buildLongRoad(CAlnt& alnt, double approxLengthM);

}  // namespace road
