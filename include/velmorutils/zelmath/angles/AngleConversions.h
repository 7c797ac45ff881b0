#pragma once

#include "velmorutils/platform/Export.h"

/// @file
/// Free functions on plain double angles, in decimal degrees unless the name says otherwise.
/// Conversions away from degrees fold their input by fmod(x, 360) and round to 5 decimals;
/// conversions toward degrees neither fold nor round.

/// x folded into the closed range [lo, hi] by whole spans (hi - lo); both ends are kept, so
/// -pi and pi stay distinct. Any unit. hi <= lo gives lo; a NaN passes through; an infinity
/// becomes a NaN. Inputs more than 1e7 spans out fold by fmod (same result within rounding).
VELMORUTILS_API double toRange(double x, double lo, double hi);
/// The integer form of toRange(double, double, double): [lo, hi] closed, hi <= lo gives lo.
VELMORUTILS_API int toRange(int x, int lo, int hi);
/// Degrees folded into [0, 360) by fmod.
VELMORUTILS_API double pos360(double x);
/// fmod(x, 360) in degrees, in (-360, 360); with toPositive a negative result gets 360 added.
VELMORUTILS_API double ModDeg360(double x, bool toPositive);
/// The angle in radians whose tangent is a / b, placed by the signs of a and b: range
/// [-pi/2, 3 pi/2] (not that of atan2). Called as atan3(dE, dN) it is an azimuth clockwise from
/// north. 0 when both are exactly 0.
VELMORUTILS_API double atan3(double a, double b);
/// Rounding half away from zero, returned as a double (2.5 gives 3, -2.5 gives -3).
VELMORUTILS_API double dNearInt(double x);

/// Radians to degrees; not folded, not rounded.
VELMORUTILS_API double Rad2Deg(double x);
/// Degrees to radians: fmod(x, 360) then rounded to 5 decimals (1e-5 rad, about 2 arc seconds).
VELMORUTILS_API double Deg2Rad(double x);
/// Gons (400 to the circle) to degrees; not folded, not rounded.
VELMORUTILS_API double Grad2Deg(double x);
/// Degrees to gons: fmod(x, 360), rounded to 5 decimals of a gon.
VELMORUTILS_API double Deg2Grad(double x);
/// Centesimal seconds (1e-4 gon) to arc seconds: x times 0.324.
VELMORUTILS_API double GradCC2DegSec(double x);
/// Arc seconds to centesimal seconds: fmod(x, 360) times 1/0.324, rounded to 5 decimals.
VELMORUTILS_API double DegSec2GradCC(double x);
/// Mils (6400 to the circle) to degrees; not folded, not rounded.
VELMORUTILS_API double Mil2Deg(double x);
/// Degrees to mils: fmod(x, 360), rounded to 5 decimals.
VELMORUTILS_API double Deg2Mil(double x);

// Total-station readings.
/// A horizontal circle reading in degrees counted the other way round (right-handed to
/// left-handed): 360 - x folded into [0, 360); 0 stays 0.
VELMORUTILS_API double HR2HL(double x);
/// The inverse of HR2HL() (the same operation).
VELMORUTILS_API double HL2HR(double x);
/// A vertical reading in degrees from the horizontal (up positive) to a zenith angle: 90 - x folded
/// into [0, 360).
VELMORUTILS_API double Level2Zenith(double x);
/// The inverse of Level2Zenith() (the same operation).
VELMORUTILS_API double Zenith2Level(double x);
/// Whether a turn of x degrees is worth making: |x| > 0.5 degree, strict.
VELMORUTILS_API bool ShouldTurn(double x);
/// A turn in degrees brought to the shorter way by one step of 360: inputs in (-540, 540] give
/// (-180, 180].
VELMORUTILS_API double MinimizeTurnAngle(double x);
/// The second-face readings (degrees) of a total-station pointing: hz changed by 180 (hz - 180 when
/// hz < 0 or hz >= 180, else hz + 180, so no folding), v > 0 becomes 360 - v, v <= 0 stays.
VELMORUTILS_API void CalcReverseAngles(double& hz, double& v);
