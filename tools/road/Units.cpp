#include "Units.h"

#include <velmorutils/zelmath/angles/LengthUnits.h>

namespace road {

double metresPerUnit(Unit unit) {
    switch (unit) {
        case Unit::USSurveyFoot:
            return USFeet2Meter(1.0);
        case Unit::Foot:
            return IFeet2Meter(1.0);
        default:
            return 1.0;
    }
}

const char* unitSymbol(Unit unit) {
    switch (unit) {
        case Unit::USSurveyFoot:
            return "usft";
        case Unit::Foot:
            return "ft";
        default:
            return "m";
    }
}

std::optional<Unit> parseUnit(const std::string& symbol) {
    for (Unit u : {Unit::Metre, Unit::USSurveyFoot, Unit::Foot})
        if (symbol == unitSymbol(u)) return u;
    return std::nullopt;
}

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
