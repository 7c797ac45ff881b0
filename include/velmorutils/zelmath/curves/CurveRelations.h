#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/curves/AlntElementFlags.h"

/// @file
/// Relations of a circular curve. Lengths in the caller's unit, central angles (delta) and
/// degrees of curve in decimal degrees; the degree of curve uses a 100-unit base. A relation
/// without an answer returns 0.0.

/// Radius from a degree of curve D (degrees, arc definition: D subtends a 100-unit arc):
/// 5729.578 / D; 0 when D is below 1e-5 rad.
VELMORUTILS_API double GetRadiusFromDegOfCurve(double D);
/// Degree of curve (degrees, arc definition) from a radius; 0 when R < 1e-5.
VELMORUTILS_API double GetDegOfCurveFromRadius(double R);
/// Radius from a degree of chord D (degrees, D subtends a 100-unit chord): 50 / sin(D/2); 0 when D
/// is below 1e-5 rad.
VELMORUTILS_API double GetRadiusFromDegOfChord(double D);
/// Degree of chord (degrees) from a radius; 0 when R < 1e-5. R below 50 has no chord of 100 (NaN).
VELMORUTILS_API double GetDegOfChordFromRadius(double R);

/// Central angle (degrees) of an arc of length L on radius R; 0 when R < 1e-5.
VELMORUTILS_API double GetDeltaFromLength(double L, double R);
/// Arc length of central angle delta (degrees) on radius R; no guard.
VELMORUTILS_API double GetLengthFromDelta(double delta, double R);
/// Central angle (degrees) of the shorter arc under chord C; 0 when |R| < 1e-12 or C > 2R.
VELMORUTILS_API double GetDeltaFromChordLength(double C, double R);
/// Long chord of central angle delta (degrees).
VELMORUTILS_API double GetChordLenFromDelta(double delta, double R);
/// Central angle (degrees) whose tangent length (PC to PI) is T: 2 atan3(T, R).
VELMORUTILS_API double GetDeltaFromTangent(double T, double R);
/// Tangent length R tan(delta/2); 0 within 1e-5 degree of a half circle (no intersection point).
VELMORUTILS_API double GetTangentFromDelta(double delta, double R);
/// Central angle (degrees) from the middle ordinate M; 0 when |R| < 1e-12 or M outside [0, 2R].
VELMORUTILS_API double GetDeltaFromMidOrd(double M, double R);
/// Middle ordinate R (1 - cos(delta/2)).
VELMORUTILS_API double GetMidOrdFromDelta(double delta, double R);
/// Central angle (degrees) from the external distance E (PI to the curve's midpoint), taken
/// unsigned; 0 when |R| < 1e-12.
VELMORUTILS_API double GetDeltaFromExternal(double E, double R);
/// External distance |R / cos(delta/2) - R|; 0 within 1e-5 degree of a half circle.
VELMORUTILS_API double GetExternalFromDelta(double delta, double R);

///@{
/// The length relations go through the central angle with the same R and share its guards:
/// 0 where that has no answer.
VELMORUTILS_API double GetLengthFromChordLength(double C, double R);
VELMORUTILS_API double GetChordLenFromLength(double L, double R);
VELMORUTILS_API double GetLengthFromTangent(double T, double R);
VELMORUTILS_API double GetTangentFromLength(double L, double R);
VELMORUTILS_API double GetLengthFromMidOrd(double M, double R);
VELMORUTILS_API double GetMidOrdFromLength(double L, double R);
VELMORUTILS_API double GetLengthFromExternal(double E, double R);
VELMORUTILS_API double GetExternalFromLength(double L, double R);
///@}

/// Clothoid length L = A^2 / R from the parameter A and the end radius R (both made
/// non-negative); 0 when R < 1e-5.
VELMORUTILS_API double GetSpiralLength(double A, double R);
/// Clothoid parameter A = sqrt(L R) (both made non-negative).
VELMORUTILS_API double GetSpiralConstant(double L, double R);

/// A radius typed in a display kind (degrees of curve or chord, or the radius) turned into the
/// radius in the length unit.
VELMORUTILS_API double getRadiusValueFromDisplay(double value, AlntElementRadiusDisplay kind);
/// A stored radius shown in the display kind (degrees for the two degree kinds).
VELMORUTILS_API double getDisplayValueFromRadius(double R, AlntElementRadiusDisplay kind);
/// A length typed in the display kind (delta in degrees, chord, tangent, middle ordinate,
/// external or spiral parameter in the length unit) turned into the arc or spiral length on R.
VELMORUTILS_API double getLengthValueFromDisplay(double value, double R,
                                                 AlntElementLengthDisplay kind);
/// A stored length shown in the display kind, the inverse of getLengthValueFromDisplay().
VELMORUTILS_API double getDisplayValueFromLength(double L, double R, AlntElementLengthDisplay kind);
