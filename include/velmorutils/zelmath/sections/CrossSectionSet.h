#pragma once

#include <functional>
#include <string>
#include <vector>

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/sections/SectionProfile.h"

namespace zel_math {

/// A cross section as a file gives it: its chainage (metres, internal chainage of the
/// alignment), a name for messages, and its surface as points left to right (the upper boundary
/// of its design surfaces, or a ground line), heights absolute in metres.
struct TCrossSection {
    double chainage;
    std::string name;
    std::vector<TSectionPoint> points;
};

/// Sections along a road in increasing chainage, and the surface between them: interpolated
/// linearly in chainage, point with point. Points are paired by code where a code occurs as
/// often in both sections (its first with its first, ...), the rest by order when both have as
/// many left; otherwise the two sections cannot be matched and nothing between them is given.
class VELMORUTILS_API CCrossSectionSet {
public:
    /// Appends a section. Refused (error says why, naming its station and the one before it):
    /// chainage not after the last section's (strictly increasing), no points, a point that is
    /// not finite, offsets that decrease left to right.
    bool add(TCrossSection section, std::string& error);

    /// The surface at a chainage (metres): the section itself at its own chainage (within
    /// 1e-6 m), else interpolated between its neighbours; sides found with findSectionSides.
    /// False, with error: before the first or after the last section, no sections, or two
    /// neighbours that cannot be matched ("sections at 0+100.000 and 0+125.000 cannot be
    /// matched: ...", both stations named).
    bool profileAt(double chainage, TSectionProfile& profile, std::string& error) const;

    /// How chainages are written in messages (default "%.3f" of the chainage in metres).
    void setStationText(std::function<std::string(double chainageM)> text);

    const std::vector<TCrossSection>& sections() const { return sections_; }
    bool empty() const { return sections_.empty(); }

private:
    std::string station(double chainage) const;
    bool interpolate(const TCrossSection& a, const TCrossSection& b, double chainage,
                     TSectionProfile& profile, std::string& error) const;

    std::vector<TCrossSection> sections_;
    std::function<std::string(double)> stationText_;
};

}  // namespace zel_math
