#pragma once

#include <cstdint>

/// The kinds of horizontal element, and the static type of the curve object each one holds.
enum TAlntHeType : std::int32_t {
    alntHeSegment = 0,
    alntHeArc = 1,
    alntHeSpiral = 2,
    alntHeIp = 3,
};
