#pragma once

#include "velmorutils/platform/Export.h"

// Free functions on plain double angles, in decimal degrees unless the name says otherwise.
// Conversions away from degrees fold their input by fmod(x, 360) and round to 5 decimals;
// conversions toward degrees neither fold nor round.

VELMORUTILS_API double toRange(double x, double lo, double hi);
VELMORUTILS_API int toRange(int x, int lo, int hi);
VELMORUTILS_API double pos360(double x);
VELMORUTILS_API double ModDeg360(double x, bool toPositive);
VELMORUTILS_API double atan3(double a, double b);
VELMORUTILS_API double dNearInt(double x);

VELMORUTILS_API double Rad2Deg(double x);
VELMORUTILS_API double Deg2Rad(double x);
VELMORUTILS_API double Grad2Deg(double x);
VELMORUTILS_API double Deg2Grad(double x);
VELMORUTILS_API double GradCC2DegSec(double x);
VELMORUTILS_API double DegSec2GradCC(double x);
VELMORUTILS_API double Mil2Deg(double x);
VELMORUTILS_API double Deg2Mil(double x);

// Total-station readings.
VELMORUTILS_API double HR2HL(double x);
VELMORUTILS_API double HL2HR(double x);
VELMORUTILS_API double Level2Zenith(double x);
VELMORUTILS_API double Zenith2Level(double x);
VELMORUTILS_API bool ShouldTurn(double x);
VELMORUTILS_API double MinimizeTurnAngle(double x);
VELMORUTILS_API void CalcReverseAngles(double& hz, double& v);
