#pragma once

#include <optional>
#include <string>

#include "velmorutils/platform/Export.h"

// The linear unit of what a user reads and types: geometry is in metres inside, and only the
// edge (a table, a LandXML file, a Python call) converts. One type for the library, the road
// tool and the Python module.
namespace zel_math {

// Metre, US survey foot (1200/3937 m), international foot (0.3048 m). Metre and Foot are the
// road tool's spellings of the same units.
enum class LinearUnit {
    Meter,
    USSurveyFoot,
    InternationalFoot,
    Metre = Meter,
    Foot = InternationalFoot
};

// Metres in one unit: 1, 1200/3937, 0.3048, from the library's feet-to-metres conversions,
// which do not round (the opposite direction rounds to 5 decimals of a foot, too coarse for a
// round trip).
VELMORUTILS_API double metresPerUnit(LinearUnit unit);
inline double unitToMetres(double value, LinearUnit unit) {
    return value * metresPerUnit(unit);
}
inline double metresToUnit(double metres, LinearUnit unit) {
    return metres / metresPerUnit(unit);
}

// Short names for the command line, table headers and messages: "m", "usft", "ft".
VELMORUTILS_API const char* linearUnitSymbol(LinearUnit unit);
// LandXML's names: "meter", "USSurveyFoot", "foot".
VELMORUTILS_API const char* linearUnitName(LinearUnit unit);
// Reads a short name ("m", "usft", "ft") or a LandXML name ("meter", "USSurveyFoot", "foot",
// "internationalFoot"); nothing for any other text.
VELMORUTILS_API std::optional<LinearUnit> parseLinearUnit(const std::string& text);

}  // namespace zel_math
