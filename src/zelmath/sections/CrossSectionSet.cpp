#include "velmorutils/zelmath/sections/CrossSectionSet.h"
#include "zelmath/sections/SectionSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace zel_math {

namespace {

// A chainage this close to a section's is that section (metres).
constexpr double kAtSection = 1e-6;

// For each point of a, the index of its partner in b (-1 none): by code where a code occurs as
// often in both, then the rest by order when as many are left in both. False when some stay alone.
bool pairPoints(const std::vector<TSectionPoint>& a, const std::vector<TSectionPoint>& b,
                std::vector<int>& partner, std::size_t& unpaired) {
    std::map<std::string, std::pair<std::vector<int>, std::vector<int>>> byCode;
    for (int i = 0; i < static_cast<int>(a.size()); ++i) {
        if (!a[i].code.empty()) byCode[a[i].code].first.push_back(i);
    }
    for (int j = 0; j < static_cast<int>(b.size()); ++j) {
        if (!b[j].code.empty()) byCode[b[j].code].second.push_back(j);
    }
    partner.assign(a.size(), -1);
    std::vector<bool> taken(b.size(), false);
    for (const auto& [code, lists] : byCode) {
        if (lists.first.size() != lists.second.size()) continue;
        for (std::size_t k = 0; k < lists.first.size(); ++k) {
            partner[lists.first[k]] = lists.second[k];
            taken[lists.second[k]] = true;
        }
    }
    std::vector<int> restA, restB;
    for (int i = 0; i < static_cast<int>(a.size()); ++i) {
        if (partner[i] < 0) restA.push_back(i);
    }
    for (int j = 0; j < static_cast<int>(b.size()); ++j) {
        if (!taken[j]) restB.push_back(j);
    }
    unpaired = std::max(restA.size(), restB.size());
    if (restA.size() != restB.size()) return false;
    for (std::size_t k = 0; k < restA.size(); ++k)
        partner[restA[k]] = restB[k];
    return true;
}

}  // namespace

void CCrossSectionSet::setStationText(std::function<std::string(double)> text) {
    stationText_ = std::move(text);
}

std::string CCrossSectionSet::station(double chainage) const {
    return stationText_ ? stationText_(chainage) : section_support::metresText(chainage);
}

bool CCrossSectionSet::add(TCrossSection section, std::string& error) {
    const std::string where = "section at " + station(section.chainage);
    if (!std::isfinite(section.chainage)) {
        error = "a section has no finite chainage";
        return false;
    }
    if (!sections_.empty() && !(section.chainage > sections_.back().chainage)) {
        error = where + " is not after the section at " + station(sections_.back().chainage) +
                " (sections must come in increasing station)";
        return false;
    }
    if (section.points.empty()) {
        error = where + " has no points";
        return false;
    }
    for (std::size_t i = 0; i < section.points.size(); ++i) {
        const TSectionPoint& p = section.points[i];
        if (!std::isfinite(p.offset) || !std::isfinite(p.height)) {
            error = where + ": point " + std::to_string(i + 1) + " has no finite offset and height";
            return false;
        }
        if (i > 0 && p.offset < section.points[i - 1].offset) {
            error = where + ": point " + std::to_string(i + 1) +
                    " lies left of the point before it (offsets must run left to right)";
            return false;
        }
    }
    sections_.push_back(std::move(section));
    return true;
}

bool CCrossSectionSet::profileAt(double chainage, TSectionProfile& profile,
                                 std::string& error) const {
    if (sections_.empty()) {
        error = "there are no sections";
        return false;
    }
    if (!std::isfinite(chainage) || chainage < sections_.front().chainage - kAtSection ||
        chainage > sections_.back().chainage + kAtSection) {
        error = "station " + station(chainage) + " is outside the sections (" +
                station(sections_.front().chainage) + " to " + station(sections_.back().chainage) +
                ")";
        return false;
    }
    auto after = std::lower_bound(sections_.begin(), sections_.end(), chainage,
                                  [](const TCrossSection& s, double c) { return s.chainage < c; });
    profile = TSectionProfile();
    profile.chainage = chainage;
    const TCrossSection* exact = nullptr;
    if (after != sections_.end() && after->chainage - chainage <= kAtSection) exact = &*after;
    if (after != sections_.begin() && chainage - (after - 1)->chainage <= kAtSection) {
        exact = &*(after - 1);
    }
    if (exact) {
        profile.points = exact->points;
    } else if (!interpolate(*(after - 1), *after, chainage, profile, error)) {
        return false;
    }
    findSectionSides(profile);
    return true;
}

bool CCrossSectionSet::interpolate(const TCrossSection& a, const TCrossSection& b, double chainage,
                                   TSectionProfile& profile, std::string& error) const {
    std::vector<int> partner;
    std::size_t unpaired = 0;
    if (!pairPoints(a.points, b.points, partner, unpaired)) {
        error = "sections at " + station(a.chainage) + " and " + station(b.chainage) +
                " cannot be matched: " + std::to_string(a.points.size()) + " and " +
                std::to_string(b.points.size()) + " points, " + std::to_string(unpaired) +
                " without a partner of the same code";
        return false;
    }
    const double t = (chainage - a.chainage) / (b.chainage - a.chainage);
    profile.points.clear();
    for (std::size_t i = 0; i < a.points.size(); ++i) {
        const TSectionPoint& p = a.points[i];
        const TSectionPoint& q = b.points[partner[i]];
        profile.points.push_back({p.offset + t * (q.offset - p.offset),
                                  p.height + t * (q.height - p.height), t < 0.5 ? p.code : q.code});
    }
    std::stable_sort(
        profile.points.begin(), profile.points.end(),
        [](const TSectionPoint& x, const TSectionPoint& y) { return x.offset < y.offset; });
    return true;
}

}  // namespace zel_math
