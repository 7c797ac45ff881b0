#pragma once

#include <optional>
#include <string>

namespace road {

// The linear unit a table is printed and read in. Geometry stays in metres; only the edge
// converts. Factors come from the library's feet-to-metres conversions, which do not round
// (the opposite direction rounds to 5 decimals of a foot, too coarse for a round trip).
enum class Unit { Metre, USSurveyFoot, Foot };

// Metres in one unit: 1, 1200/3937, 0.3048.
double metresPerUnit(Unit unit);
inline double toMetres(double value, Unit unit) {
    return value * metresPerUnit(unit);
}
inline double fromMetres(double metres, Unit unit) {
    return metres / metresPerUnit(unit);
}

// The name on the command line and in every table header: "m", "usft", "ft".
const char* unitSymbol(Unit unit);
std::optional<Unit> parseUnit(const std::string& symbol);

// How angles are printed: degrees-minutes-seconds (text tables only), decimal degrees, gon.
enum class AngleStyle { Dms, Degrees, Gon };
const char* angleSymbol(AngleStyle style);  // "dms", "deg", "gon"
std::optional<AngleStyle> parseAngleStyle(const std::string& symbol);

}  // namespace road
