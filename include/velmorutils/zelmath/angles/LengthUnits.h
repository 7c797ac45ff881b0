#pragma once

#include "velmorutils/platform/Export.h"

/// @file
/// Metres and feet. The US survey foot is 1200/3937 m, the international foot 0.3048 m.

/// US survey feet to metres (times 1200/3937); not rounded.
VELMORUTILS_API double USFeet2Meter(double x);
/// Metres to US survey feet, rounded to 5 decimals (1e-5 ft).
VELMORUTILS_API double Meter2USFeet(double x);
/// International feet to metres (times 0.3048); not rounded.
VELMORUTILS_API double IFeet2Meter(double x);
/// Metres to international feet, rounded to 5 decimals.
VELMORUTILS_API double Meter2IFeet(double x);

/// Packed feet-inches-eighths F.IIE: whole feet, two digits of inches (00-11), one digit of
/// eighths of an inch; `us` selects US survey feet, else international feet. Eighths carry into
/// inches and inches into feet (1.118 is 2 ft). Result in metres, not rounded; resolution 1/8 inch
/// (3.2 mm), so a round trip from metres can differ by up to 1.6 mm.
VELMORUTILS_API double FFFII2Meter(double v, bool us);
/// Metres to packed F.IIE (see FFFII2Meter()), the feet first rounded to 5 decimals, the eighths
/// rounded to the nearest.
VELMORUTILS_API double Meter2FFFII(double m, bool us);
