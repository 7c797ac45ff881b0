#pragma once

#include <cstdint>

/// The linear unit a curve definition was typed in. The curve setters accept it for the caller's
/// records only: radii and lengths arrive already in the caller's unit and are never converted,
/// and the degree-of-curve base stays 100 in every unit.
enum UNITS : std::int32_t {
    unitsMeters = 0,
    unitsUSFeet = 1,
    unitsIFeet = 2,
};
