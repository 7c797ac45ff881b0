#pragma once

#include <cstdint>

/// What a field crew tagged a measured point with. The numbers are stored with the points and
/// must not change.
enum TCtlCodeEnum : std::int32_t {
    ccNone = 0,        // an empty code slot
    ccCurveStart = 1,  // a circular arc starts at this point
    ccCurveEnd = 2,    // the arc started earlier ends at this point
    ccRectangle = 3,   // in a line of exactly three points: three corners of a rectangle
    ccClose = 4,       // the line is a closed figure and returns to its first point
};
