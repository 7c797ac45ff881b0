#include "landxml/SectionQueries.h"

#include <algorithm>
#include <cctype>
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

bool sameCode(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<zel_math::TSectionPoint> codedPoints(const zel_math::CRoadCorridor& corridor,
                                                 double chainage,
                                                 const std::vector<std::string>& codes) {
    std::vector<zel_math::TSectionPoint> picked;
    zel_math::TSectionProfile profile;
    std::string error;
    if (!corridor.profileAt(chainage, profile, error)) return picked;
    for (const std::string& code : codes) {
        for (const zel_math::TSectionPoint& p : profile.points) {
            if (!sameCode(p.code, code)) continue;
            auto same = std::find_if(picked.begin(), picked.end(), [&](const auto& q) {
                return std::fabs(q.offset - p.offset) < kSamePointM;
            });
            if (same == picked.end())
                picked.push_back(p);
            else if (p.height > same->height)
                *same = p;
        }
    }
    std::stable_sort(picked.begin(), picked.end(),
                     [](const auto& x, const auto& y) { return x.offset < y.offset; });
    return picked;
}

bool sectionPointFor(const zel_math::CRoadCorridor& corridor, double chainage, double offset,
                     const std::string& code, double& designOffset, std::string& designCode,
                     std::string& error) {
    zel_math::TSectionProfile profile;
    if (!corridor.profileAt(chainage, profile, error)) return false;
    bool found = false;
    for (const zel_math::TSectionPoint& p : profile.points) {
        if (!code.empty() && !sameCode(p.code, code)) continue;
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
                    double beyond, double& height, std::string& error) {
    if (corridor.designHeight(chainage, offset, height, nullptr, &error)) return true;
    if (error.empty()) error = "no design height at this offset";
    zel_math::TSectionProfile profile;
    std::string ignored;
    if (!corridor.profileAt(chainage, profile, ignored) || profile.points.size() < 2) return false;
    const auto& p = profile.points;
    const bool right = offset > p.back().offset;
    if (!right && offset >= p.front().offset) return false;
    const size_t a = right ? p.size() - 2 : 1, b = right ? p.size() - 1 : 0;
    if (std::fabs(offset - p[b].offset) > beyond) return false;
    const double run = p[b].offset - p[a].offset;
    const double slope = std::fabs(run) > 1e-9 ? (p[b].height - p[a].height) / run : 0.0;
    height = p[b].height + slope * (offset - p[b].offset);
    return true;
}

}  // namespace zel_landxml
