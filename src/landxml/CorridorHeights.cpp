// Section lines for the library, and whether their heights are absolute or relative to the
// profile's grade.

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/CAlnt.h>
#include <velmorutils/zelmath/sections/CrossSectionSet.h>

#include "landxml/CorridorParts.h"

namespace zel_landxml::corridor_parts {
namespace {

using zel_math::TSectionPoint;
using zel_math::TSectionProfile;

bool contains(const std::vector<std::string>& names, const std::string& name) {
    for (const std::string& n : names)
        if (n == name) return true;
    return false;
}

// The height of a line at offset 0; false where the line does not reach the centre line.
bool centreHeight(const std::vector<TSectionPoint>& points, double& h) {
    TSectionProfile p;
    p.points = points;
    return zel_math::sectionHeightAt(p, 0.0, h);
}

std::string number(double v, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

}  // namespace

void sectionLines(const Alignment& a, const SectionChoice& choice, std::vector<SectionLine>& design,
                  std::vector<SectionLine>& ground, std::vector<std::string>& notes) {
    bool anyTurned = false;
    for (const CrossSectRecord& s : a.sections) {
        std::vector<std::vector<TSectionPoint>> surfaces;
        SectionLine g{s.station, s.name, s.line, {}};
        for (const SectionSurfaceRecord& f : s.surfaces) {
            bool turned = false;
            std::vector<TSectionPoint> points = surfacePoints(f, turned);
            anyTurned = anyTurned || turned;
            if (contains(choice.design, f.name)) {
                surfaces.push_back(std::move(points));
            } else if (choice.hasGround && f.name == choice.ground && g.points.empty()) {
                if (points.front().offset > points.back().offset)
                    g.points.assign(points.rbegin(), points.rend());
                else
                    g.points = std::move(points);
            }
        }
        if (!surfaces.empty())
            design.push_back({s.station, s.name, s.line, zel_math::sectionUpperBoundary(surfaces)});
        if (!g.points.empty()) ground.push_back(std::move(g));
    }
    if (anyTurned)
        notes.push_back(
            "sections: left-side surfaces written with positive offsets are taken "
            "as lying left of the centre line");
}

bool settleHeights(const CAlnt& alnt, SectionHeights asked, const char* what,
                   const std::string& where, std::vector<SectionLine>& lines,
                   std::vector<std::string>& notes, std::string& error) {
    if (lines.empty()) return true;
    // Vote: a section whose centre line lies nearer 0 than the profile's height is relative.
    int votes = 0, relative = 0;
    for (const SectionLine& l : lines) {
        double h = 0.0, grade = 0.0;
        if (!centreHeight(l.points, h) || !alnt.getPosHAtChain(l.station, grade)) continue;
        ++votes;
        if (std::fabs(h) < std::fabs(h - grade)) ++relative;
    }
    bool isRelative = asked == SectionHeights::Relative;
    std::string why = " (as asked)";
    if (asked == SectionHeights::Auto) {
        isRelative = votes > 0 && 2 * relative > votes;
        why = votes == 0 ? " (no section's centre line lies on the profile to decide by)"
                         : " (decided from the data: at " + std::to_string(relative) + " of " +
                               std::to_string(votes) +
                               " sections the centre line lies nearer 0 than the profile's "
                               "height; sectionHeights absolute or relative overrules)";
    }
    notes.push_back(std::string("sections: ") + what + " heights " +
                    (isRelative ? "relative to the profile's grade" : "absolute") + why);
    if (!isRelative) return true;
    for (SectionLine& l : lines) {
        double grade = 0.0;
        if (!alnt.getPosHAtChain(l.station, grade)) {
            error = where + "line " + std::to_string(l.line) +
                    ": CrossSect: relative heights at a station off the profile (running "
                    "chainage " +
                    number(l.station, 3) + " m): nothing to add them to";
            return false;
        }
        for (TSectionPoint& p : l.points)
            p.height += grade;
    }
    return true;
}

bool sectionSet(const std::vector<SectionLine>& lines, const std::string& where,
                std::function<std::string(double)> stationText, zel_math::CCrossSectionSet& set,
                std::string& error) {
    set = zel_math::CCrossSectionSet();
    set.setStationText(std::move(stationText));
    for (const SectionLine& l : lines) {
        std::string why;
        if (set.add({l.station, l.name, l.points}, why)) continue;
        error = where + "line " + std::to_string(l.line) + ": CrossSect: " + why;
        return false;
    }
    return true;
}

}  // namespace zel_landxml::corridor_parts
