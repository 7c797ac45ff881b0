#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/zelmath/sections/RoadCorridor.h>
#include <velmorutils/zelmath/sections/SlopeStake.h>
#include <velmorutils/zelmath/surfaces/TinSurface.h>

// A file's road beyond its centre line as the library's model: the design (sections, a typical
// section with the file's superelevation, or a finished-grade TIN) and the ground (a TIN or
// ground sections). The road tool and the Python module both come through buildCorridor, so a
// file means the same road in each.
namespace zel_landxml {

// Whether section elevations are absolute or relative to the profile's grade at their station.
enum class SectionHeights { Auto, Absolute, Relative };
// "auto", "absolute", "relative"; false for anything else.
bool sectionHeightsFromText(const std::string& text, SectionHeights& heights);

// What to take from the files. Names are compared exactly.
struct CorridorOptions {
    // The section surfaces that form the design, comma-separated names ("" : DesignCrossSectSurf
    // surfaces, else the CrossSectSurf ones not named as ground). Their upper boundary is the
    // finished surface.
    std::string sectionSurface;
    // The section surface that is the ground ("": a CrossSectSurf named as ground, such as
    // ExistingGround, or the one CrossSectSurf beside DesignCrossSectSurf surfaces).
    std::string groundSection;
    // Auto decides from the data: relative when the centre line of most sections lies near 0
    // while the profile does not.
    SectionHeights sectionHeights = SectionHeights::Auto;
    // A TIN surface as ground: by name, from this file or from groundFile (its own unit).
    std::string ground;
    std::string groundFile;
    // A finished-grade TIN as the design: by name, from this file or designSurfaceFile.
    std::string designSurface;
    std::string designSurfaceFile;
    // A typical section (INI, see zel_math::readRoadTemplate) turned by the file's
    // superelevation, for an alignment without sections (beside sections: only its side slopes);
    // its lengths in templateUnit (none: the file's unit).
    std::string templateFile;
    std::optional<LinearUnit> templateUnit;
};

// Builds the design and the ground of the document's alignment (index into doc.alignments) into
// road (constructed on that alignment's CAlnt, whose profile relative heights are added to) and
// ground. Which design: designSurface(File), else the file's sections (with the side slopes of
// templateFile when one is given), else templateFile with the file's superelevation; none of them
// leaves road without a model (not an error). Which ground: ground(File), else ground sections,
// else none. notes say what was taken and decided ("sections: design from
// DesignCrossSectSurf 'Top' ..., heights relative to the profile ..."). False with error naming
// the file, line and field (a fault the reader kept, a missing point of a face, a zero-area
// triangle, sections that cannot be built, a name that is not there: the message lists those
// that are). doc.path names the file in messages.
bool buildCorridor(const Document& doc, std::size_t alignment, const CorridorOptions& options,
                   zel_math::CRoadCorridor& road, zel_math::TGround& ground,
                   std::vector<std::string>& notes, std::string& error);

// The library's TIN of a surface record. error: "line N: F: ..." for a face naming a point the
// surface lacks or a zero-area triangle, or the fault the reader kept (without the file's path).
bool buildTinSurface(const SurfaceRecord& surface, zel_math::CTinSurface& tin, std::string& error);

// The named surface of a document (name "" : the only one), built; doc.path in messages.
bool surfaceByName(const Document& doc, const std::string& name,
                   std::shared_ptr<const zel_math::CTinSurface>& tin, std::string& error);

// Every section surface name of an alignment with its element, in order of first appearance:
// "DesignCrossSectSurf 'Top'", "CrossSectSurf 'ExistingGround'".
std::vector<std::string> sectionSurfaceNames(const Alignment& alignment);

}  // namespace zel_landxml
