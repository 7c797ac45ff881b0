#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/C2dPos.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"

class CAlnt;

/// Extends alnt by a straight from its final point to pt (north, east in metres), its azimuth fixed
/// to that direction. A pt on the final point (within 1e-12 m) adds nothing and succeeds.
VELMORUTILS_API bool appendSegmentToAlnt(const C2dPos& pt, CAlnt& alnt);

/// The start azimuth an element of length len (metres) running from radius startRadius to
/// endRadius (metres; 0 is straight, positive turns right) must have so that, starting at p1, it
/// ends on the line from p1 through p2 (north, east in metres). Radii of opposite sign, or no
/// length, give false with az 0.
VELMORUTILS_API bool getAlntElementAzimuth(CMathAngle& az, const C2dPos& p1, const C2dPos& p2,
                                           double startRadius, double endRadius, double len);
