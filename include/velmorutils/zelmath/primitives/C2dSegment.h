#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/C2dPos.h"

/// A straight chord between two plane positions (north, east).
class VELMORUTILS_API C2dSegment {
public:
    C2dPos start;
    C2dPos end;

    C2dSegment() = default;
    C2dSegment(const C2dPos& s, const C2dPos& e) : start(s), end(e) {}

    /// Distance in metres from p to the nearest point of the segment, ends included; a segment
    /// shorter than 1e-12 m measures to its start.
    double getDistance(const C2dPos& p) const;
};
