#pragma once

#include "velmorutils/platform/Export.h"

class CAlntVe;

/// The key points of the vertical curve of one element: where it starts and ends and where
/// its tangents meet (the VIP). Heights and chainages in metres.
struct TVIpNode {
    double startHeight = 0.0;
    double startChainage = 0.0;
    double finalHeight = 0.0;
    double finalChainage = 0.0;
    double vipHeight = 0.0;
    double vipChainage = 0.0;
};

/// Fills node from the curve of ve: the element itself, the parabola of a VIP with parabola
/// (false when it has none) or the arc of a VIP with arc. False when that part is not usable.
VELMORUTILS_API bool getVIp(const CAlntVe& ve, TVIpNode& node);
