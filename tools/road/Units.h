#pragma once

#include <optional>
#include <string>

#include <velmorutils/zelmath/angles/LinearUnit.h>

namespace road {

// The linear unit a table is printed and read in: the library's one unit type (its Metre and
// Foot spellings). Geometry stays in metres; only the edge converts.
using Unit = zel_math::LinearUnit;

// Metres in one unit: 1, 1200/3937, 0.3048.
using zel_math::metresPerUnit;
inline double toMetres(double value, Unit unit) {
    return zel_math::unitToMetres(value, unit);
}
inline double fromMetres(double metres, Unit unit) {
    return zel_math::metresToUnit(metres, unit);
}

// The name on the command line and in every table header: "m", "usft", "ft".
inline const char* unitSymbol(Unit unit) {
    return zel_math::linearUnitSymbol(unit);
}
// Reads "m", "usft", "ft" (only these).
inline std::optional<Unit> parseUnit(const std::string& symbol) {
    const std::optional<Unit> u = zel_math::parseLinearUnit(symbol);
    if (u && symbol == unitSymbol(*u)) return u;
    return std::nullopt;
}

// How angles are printed: degrees-minutes-seconds (text tables only), decimal degrees, gon.
enum class AngleStyle { Dms, Degrees, Gon };
const char* angleSymbol(AngleStyle style);  // "dms", "deg", "gon"
std::optional<AngleStyle> parseAngleStyle(const std::string& symbol);

}  // namespace road
