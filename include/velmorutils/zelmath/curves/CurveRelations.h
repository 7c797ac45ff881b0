#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/curves/AlntElementFlags.h"

/// @file
/// Relations of a circular curve. Lengths in the caller's unit, central angles (delta) and
/// degrees of curve in decimal degrees; the degree of curve uses a 100-unit base. A relation
/// without an answer returns 0.0.

VELMORUTILS_API double GetRadiusFromDegOfCurve(double D);
VELMORUTILS_API double GetDegOfCurveFromRadius(double R);
VELMORUTILS_API double GetRadiusFromDegOfChord(double D);
VELMORUTILS_API double GetDegOfChordFromRadius(double R);

VELMORUTILS_API double GetDeltaFromLength(double L, double R);
VELMORUTILS_API double GetLengthFromDelta(double delta, double R);
VELMORUTILS_API double GetDeltaFromChordLength(double C, double R);
VELMORUTILS_API double GetChordLenFromDelta(double delta, double R);
VELMORUTILS_API double GetDeltaFromTangent(double T, double R);
VELMORUTILS_API double GetTangentFromDelta(double delta, double R);
VELMORUTILS_API double GetDeltaFromMidOrd(double M, double R);
VELMORUTILS_API double GetMidOrdFromDelta(double delta, double R);
VELMORUTILS_API double GetDeltaFromExternal(double E, double R);
VELMORUTILS_API double GetExternalFromDelta(double delta, double R);

VELMORUTILS_API double GetLengthFromChordLength(double C, double R);
VELMORUTILS_API double GetChordLenFromLength(double L, double R);
VELMORUTILS_API double GetLengthFromTangent(double T, double R);
VELMORUTILS_API double GetTangentFromLength(double L, double R);
VELMORUTILS_API double GetLengthFromMidOrd(double M, double R);
VELMORUTILS_API double GetMidOrdFromLength(double L, double R);
VELMORUTILS_API double GetLengthFromExternal(double E, double R);
VELMORUTILS_API double GetExternalFromLength(double L, double R);

/// Clothoid: A squared = R times L.
VELMORUTILS_API double GetSpiralLength(double A, double R);
VELMORUTILS_API double GetSpiralConstant(double L, double R);

/// A value typed in a display kind turned into the stored radius or length, and back.
VELMORUTILS_API double getRadiusValueFromDisplay(double value, AlntElementRadiusDisplay kind);
VELMORUTILS_API double getDisplayValueFromRadius(double R, AlntElementRadiusDisplay kind);
VELMORUTILS_API double getLengthValueFromDisplay(double value, double R,
                                                 AlntElementLengthDisplay kind);
VELMORUTILS_API double getDisplayValueFromLength(double L, double R, AlntElementLengthDisplay kind);
