#include "landxml/SectionQueries.h"

#include <cmath>
#include <limits>

#include <velmorutils/zelmath/sections/RoadCorridor.h>

namespace zel_landxml {

void sectionAtOffset(const zel_math::CRoadCorridor& corridor, double chainage, double offset,
                     double& height, std::string& code) {
    code.clear();
    if (!corridor.designHeight(chainage, offset, height))
        height = std::numeric_limits<double>::quiet_NaN();
    zel_math::TSectionProfile profile;
    std::string error;
    if (!corridor.profileAt(chainage, profile, error)) return;
    for (const zel_math::TSectionPoint& p : profile.points) {
        if (std::fabs(p.offset - offset) <= kSamePointM && !p.code.empty()) {
            code = p.code;
            return;
        }
    }
}

bool codedPoint(const zel_math::CRoadCorridor& corridor, double chainage, const std::string& code,
                bool right, double& offset, double& height) {
    zel_math::TSectionProfile profile;
    std::string error;
    if (!corridor.profileAt(chainage, profile, error)) return false;
    bool found = false;
    for (const zel_math::TSectionPoint& p : profile.points) {
        if (p.code != code || (right ? p.offset <= 0.0 : p.offset >= 0.0)) continue;
        if (found && std::fabs(p.offset) >= std::fabs(offset)) continue;
        found = true;
        offset = p.offset;
        height = p.height;
    }
    return found;
}

bool sectionPointFor(const zel_math::CRoadCorridor& corridor, double chainage, double offset,
                     const std::string& code, double& designOffset, std::string& designCode,
                     std::string& error) {
    zel_math::TSectionProfile profile;
    if (!corridor.profileAt(chainage, profile, error)) return false;
    bool found = false;
    for (const zel_math::TSectionPoint& p : profile.points) {
        if (!code.empty() && p.code != code) continue;
        if (found && std::fabs(p.offset - offset) >= std::fabs(designOffset - offset)) continue;
        found = true;
        designOffset = p.offset;
        designCode = p.code;
    }
    if (!found)
        error = code.empty() ? "the section has no points"
                             : "no design point coded " + code + " in the section";
    return found;
}

bool designHeightAt(const zel_math::CRoadCorridor& corridor, double chainage, double offset,
                    double& height, std::string& error) {
    if (corridor.designHeight(chainage, offset, height, nullptr, &error)) return true;
    if (error.empty()) error = "no design height at this offset";
    return false;
}

}  // namespace zel_landxml
