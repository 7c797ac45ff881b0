#pragma once

#include "velmorutils/zelmath/angles/C2dPos.h"

class CCurveIp;

/// The key points of a curve at an intersection point, in the order the road meets them:
/// TS (tangent to spiral), SC (spiral to curve), CS (curve to spiral), then the IP itself, and
/// the curve they were read from.
struct TIpNodes {
    C2dPos ts;
    C2dPos sc;
    C2dPos cs;
    C2dPos ip;
    const CCurveIp* curve = nullptr;
};
