#pragma once

#include <limits>
#include <string>
#include <vector>

// The cross sections and superelevation of a LandXML alignment as the file gives them, in metres,
// before they become the library's section model (buildCorridor in Corridor.h). Each record keeps
// its line in the file for messages.
namespace zel_landxml {

// A point of a section surface. offset: metres, positive right of the centre line (in the
// direction of increasing chainage), as the file writes it; elevation: metres, absolute or
// relative to the profile's grade at the section's station (the file does not say which:
// buildCorridor decides from the data). code: the point's code attribute, or the code its Feature
// child carries; empty when it has none.
struct SectionPointRecord {
    double offset = 0.0;
    double elevation = 0.0;
    std::string code;
    int line = 0;
};

// The element a section surface came from: DesignCrossSectSurf (a design surface by its element)
// or CrossSectSurf (ground in some exports, design in others; its name decides).
enum class SectionElement { Design, Surface };

struct SectionSurfaceRecord {
    std::string name;  // its name attribute; "" when the file gives none
    std::string side;  // "left", "right", "both" or "" as written
    SectionElement element = SectionElement::Design;
    int line = 0;
    // A course written as a closed polygon: first point repeated at the end.
    bool closed = false;
    std::vector<SectionPointRecord> points;  // in file order
};

// One CrossSect: station is running chainage in metres (like a profile's stations).
struct CrossSectRecord {
    double station = 0.0;
    std::string name;
    int line = 0;
    std::vector<SectionSurfaceRecord> surfaces;
};

// One Superelevation period of an alignment. Stations: running chainage in metres, NaN where the
// file leaves one out. fullRatePercent: the full rate's magnitude in percent (the sign a writer
// may give is dropped: the curve decides the side; a magnitude of 0.2 or less is read as a
// fraction, with a warning saying so). adverse: AdverseSE says "adverse" (or gives a rate other
// than 0); adversePercent: its rate when it gives one, else NaN.
struct SuperelevationRecord {
    static constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();
    double staStart = kAbsent, staEnd = kAbsent;
    double beginRunout = kAbsent, beginRunoff = kAbsent, fullSuper = kAbsent;
    double runoff = kAbsent, startOfRunout = kAbsent, endOfRunout = kAbsent;
    double fullRatePercent = kAbsent;
    double adversePercent = kAbsent;
    bool adverse = false;
    int line = 0;
};

}  // namespace zel_landxml
