#pragma once

#include "velmorutils/zelmath/angles/C2dPos.h"

/// @file
/// Ground coordinates: a projected grid scaled about a project origin so that distances between
/// ground coordinates are the distances a total station measures at the project's height.
///
/// The scale is the combined scale factor K (grid distance / ground distance: the grid scale
/// factor times the elevation factor, GridFactors.h of the proj component), so
///   ground = origin + (grid - origin) / K,    grid = origin + (ground - origin) * K.
/// The origin is the one point whose ground and grid coordinates are equal. Metres, north first.
/// Both ways are exact inverses up to rounding: a round trip 10 km from the origin comes back
/// within 1e-8 m.

/// The combined factors a ground system may use: 0.99 to 1.01 (a grid scale 0.9996 at a UTM
/// central meridian to 1.0010 at its zone edge, elevation factors down to 0.9986 at 9 km up);
/// anything beyond is a mistyped factor.
inline constexpr double kMinGroundFactor = 0.99;
inline constexpr double kMaxGroundFactor = 1.01;

/// A ground system: its origin (grid metres) and combined factor K.
struct CGroundFrame {
    C2dPos origin;
    double factor = 1.0;

    /// True for a factor within kMinGroundFactor..kMaxGroundFactor and a finite origin.
    bool isValid() const {
        return factor >= kMinGroundFactor && factor <= kMaxGroundFactor &&
               origin.north - origin.north == 0.0 && origin.east - origin.east == 0.0;
    }
    /// The ground coordinates of a grid point.
    C2dPos toGround(const C2dPos& grid) const {
        return {origin.north + (grid.north - origin.north) / factor,
                origin.east + (grid.east - origin.east) / factor};
    }
    /// The grid coordinates of a ground point.
    C2dPos toGrid(const C2dPos& ground) const { return origin + (ground - origin) * factor; }
};
