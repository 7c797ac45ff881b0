#pragma once

#include <cstdint>

/// The kind of a vertical element, as its getType() reports it.
enum TAlntVeType : std::int32_t {
    avtStraight = 0,   // a constant grade
    avtParabola = 1,   // a symmetric parabolic curve between two grades
    avtLs = 2,         // a vertical intersection point with a parabola
    avtArc = 3,        // a circular vertical curve
    avtLsWithArc = 4,  // a vertical intersection point with a circular curve
};
