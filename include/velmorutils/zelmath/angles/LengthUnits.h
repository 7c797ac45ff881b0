#pragma once

#include "velmorutils/platform/Export.h"

// Metres and feet. The US survey foot is 1200/3937 m, the international foot 0.3048 m.
// Conversions toward feet round to 5 decimals; toward metres they do not round.
VELMORUTILS_API double USFeet2Meter(double x);
VELMORUTILS_API double Meter2USFeet(double x);
VELMORUTILS_API double IFeet2Meter(double x);
VELMORUTILS_API double Meter2IFeet(double x);

// Packed feet-inches-eighths F.IIE: whole feet, two digits of inches (00-11), one digit of
// eighths of an inch. `us` selects US survey feet.
VELMORUTILS_API double FFFII2Meter(double v, bool us);
VELMORUTILS_API double Meter2FFFII(double m, bool us);
