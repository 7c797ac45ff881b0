#include "Units.h"

namespace road {

const char* angleSymbol(AngleStyle style) {
    switch (style) {
        case AngleStyle::Degrees:
            return "deg";
        case AngleStyle::Gon:
            return "gon";
        default:
            return "dms";
    }
}

std::optional<AngleStyle> parseAngleStyle(const std::string& symbol) {
    for (AngleStyle s : {AngleStyle::Dms, AngleStyle::Degrees, AngleStyle::Gon})
        if (symbol == angleSymbol(s)) return s;
    return std::nullopt;
}

}  // namespace road
