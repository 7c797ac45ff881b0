#include "velmorutils/zelmath/angles/LinearUnit.h"

#include "velmorutils/zelmath/angles/LengthUnits.h"

namespace zel_math {

double metresPerUnit(LinearUnit unit) {
    switch (unit) {
        case LinearUnit::USSurveyFoot:
            return USFeet2Meter(1.0);
        case LinearUnit::InternationalFoot:
            return IFeet2Meter(1.0);
        default:
            return 1.0;
    }
}

const char* linearUnitSymbol(LinearUnit unit) {
    switch (unit) {
        case LinearUnit::USSurveyFoot:
            return "usft";
        case LinearUnit::InternationalFoot:
            return "ft";
        default:
            return "m";
    }
}

const char* linearUnitName(LinearUnit unit) {
    switch (unit) {
        case LinearUnit::USSurveyFoot:
            return "USSurveyFoot";
        case LinearUnit::InternationalFoot:
            return "foot";
        default:
            return "meter";
    }
}

std::optional<LinearUnit> parseLinearUnit(const std::string& text) {
    for (const LinearUnit u :
         {LinearUnit::Meter, LinearUnit::USSurveyFoot, LinearUnit::InternationalFoot})
        if (text == linearUnitSymbol(u) || text == linearUnitName(u)) return u;
    if (text == "internationalFoot") return LinearUnit::InternationalFoot;
    return std::nullopt;
}

}  // namespace zel_math
