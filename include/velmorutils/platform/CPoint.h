#pragma once

#include <cstdint>

// A screen position in whole pixels, x first and y second. The pixel-clipping functions attach
// no meaning to the direction of either axis.
struct CPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(std::int32_t x0, std::int32_t y0) : x(x0), y(y0) {}

    constexpr bool operator==(const CPoint&) const = default;
};
