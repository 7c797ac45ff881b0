#pragma once

#include <string>

#include "velmorutils/platform/Export.h"

// Station text of a design station: the one formatter behind the LandXML stationing, the road
// tool's tables and the Python module. (StnToString in ValueFormats.h is the older form, kept as
// it is: it writes 1999.999 m as "1+1000.00"; this one writes "2+000.00".)
namespace zel_formats {

// The station `value` (in the text's unit: metres or feet; the caller converts) as "N+R":
//   stationLength  one station in that unit, a whole number from 1 to 1e6 (1000 m, 100 ft are
//                  usual); another length prints the value as a plain number ("%g")
//   decimals       digits after the point, clamped to 0..6
// Metric text "0+049.84", "1+000.00", "12+345.68" (the part after '+' is zero-padded to the
// digits of the station length less one); with 100 per station "12+34.56". A negative station
// carries its sign in front ("-0+090.00"); a value that rounds to zero has no sign. The value is
// first fixed to nine decimals (so the last bit of a unit conversion never decides a rounding:
// 999.995 ft through metres is 999.99499999999989), then rounded half up, and the rounding
// carries into the station number (999.995 is "1+000.00", never "0+1000.00"). Values that are
// not finite or beyond 1e9 print as plain numbers ("%g").
VELMORUTILS_API std::string FormatStationText(double value, double stationLength, int decimals);

}  // namespace zel_formats
