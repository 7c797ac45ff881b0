#pragma once

// The steps of buildCorridor; not part of the public interface.

#include <functional>
#include <string>
#include <vector>

#include <velmorutils/landxml/Corridor.h>
#include <velmorutils/zelmath/sections/SectionProfile.h>

class CAlnt;

namespace zel_landxml::corridor_parts {

// The section surfaces taken: design names (their upper boundary is the finished surface) and
// the ground's name.
struct SectionChoice {
    std::vector<std::string> design;
    std::string ground;
    bool hasGround = false;
};

// Takes the design and ground surfaces of an alignment's sections by the options, else by their
// element and name; a note says which. False when a name given is not there.
bool chooseSectionSurfaces(const Alignment& a, const CorridorOptions& o, SectionChoice& choice,
                           std::vector<std::string>& notes, std::string& error);

// The points of one surface, left to right (turned: a left side written with positive offsets).
std::vector<zel_math::TSectionPoint> surfacePoints(const SectionSurfaceRecord& s, bool& turned);

// One section's line for the library: station (m), its file line and points.
struct SectionLine {
    double station = 0.0;
    std::string name;
    int line = 0;
    std::vector<zel_math::TSectionPoint> points;
};

// The design line (upper boundary of the design surfaces) and ground line of every section that
// has them.
void sectionLines(const Alignment& a, const SectionChoice& choice, std::vector<SectionLine>& design,
                  std::vector<SectionLine>& ground, std::vector<std::string>& notes);

// Absolute or relative heights (what: "design", "ground" for the note); relative lines are made
// absolute with the profile's height at their station. False with error when relative heights
// are asked of an alignment without a profile there.
bool settleHeights(const CAlnt& alnt, SectionHeights asked, const char* what,
                   const std::string& where, std::vector<SectionLine>& lines,
                   std::vector<std::string>& notes, std::string& error);

// The lines as a library section set; error "where line N: CrossSect: ...".
bool sectionSet(const std::vector<SectionLine>& lines, const std::string& where,
                std::function<std::string(double)> stationText, zel_math::CCrossSectionSet& set,
                std::string& error);

}  // namespace zel_landxml::corridor_parts
