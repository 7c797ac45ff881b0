#pragma once

/// Three coordinates addressed by index 0, 1 and 2. An index outside that range reads 0.0 and
/// writes the first coordinate, so a bad index never touches memory outside the value.
struct TCoords {
    double c[3] = {0.0, 0.0, 0.0};

    constexpr TCoords() = default;
    /// Three coordinates in the caller's order and unit (metres).
    constexpr TCoords(double c0, double c1, double c2) : c{c0, c1, c2} {}

    ///@{
    /// Coordinate i; an index outside 0 to 2 reads 0.0 and writes the first coordinate.
    constexpr double operator[](int i) const { return (i >= 0 && i < 3) ? c[i] : 0.0; }
    constexpr double& operator[](int i) { return (i >= 0 && i < 3) ? c[i] : c[0]; }
    constexpr double get(int i) const { return (*this)[i]; }
    constexpr void set(int i, double v) { (*this)[i] = v; }
    ///@}
};
