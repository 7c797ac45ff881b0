#pragma once

#include "velmorutils/zelmath/angles/C2dPos.h"

// Where two lines of the plane meet, each given by a point and a direction (north, east):
// p1 + d1 * t1 == p2 + d2 * t2. t1 and t2 are measured in lengths of d1 and d2, so in metres
// along the lines when the directions are unit vectors (an azimuth's cosine and sine), and
// negative behind the points. Returns false, outputs untouched, for parallel lines: when the
// cross product d1 x d2 is near zero (|x| < 1e-12, the library's near-zero test), which for unit
// directions is a crossing angle below 1e-12 rad (2e-7 arc seconds).
bool IntersectLines(const C2dPos& p1, const C2dPos& d1, const C2dPos& p2, const C2dPos& d2,
                    double& t1, double& t2);
