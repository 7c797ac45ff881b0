#pragma once

#include <cmath>

/// A plane position in metres: north first, east second (grid coordinates). In the vertical
/// alignment the same pair holds (chainage, height).
struct C2dPos {
    double north = 0.0;
    double east = 0.0;

    constexpr C2dPos() = default;
    /// North and east in metres.
    constexpr C2dPos(double n, double e) : north(n), east(e) {}

    ///@{
    /// Componentwise sum, difference and scaling.
    constexpr C2dPos operator+(const C2dPos& o) const { return {north + o.north, east + o.east}; }
    constexpr C2dPos operator-(const C2dPos& o) const { return {north - o.north, east - o.east}; }
    constexpr C2dPos operator*(double k) const { return {north * k, east * k}; }
    ///@}
    constexpr bool operator==(const C2dPos&) const = default;

    /// Plane distance to another position, in the unit of the coordinates (metres).
    double distanceTo(const C2dPos& o) const { return std::hypot(o.north - north, o.east - east); }
};
