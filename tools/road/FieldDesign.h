#pragma once

// The section model of a design as the field outputs (stake points, as-built check) use it.

#include <velmorutils/zelmath/sections/RoadCorridor.h>

#include "DesignInput.h"

namespace road {

// The design's section model, or null when it has none: stakes and shots then fall back to the
// centre line's design height, and say so.
inline const zel_math::CRoadCorridor* corridorOf(const Design& d) {
    return d.corridor;
}

}  // namespace road
