// buildCorridor: a file's design and ground as the library's road model.

#include <velmorutils/landxml/Corridor.h>

#include <cmath>
#include <string>
#include <vector>

#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>
#include <velmorutils/zelmath/sections/RoadTemplate.h>
#include <velmorutils/zelmath/sections/Superelevation.h>

#include "landxml/CorridorParts.h"

namespace zel_landxml {
namespace {

using corridor_parts::SectionChoice;
using corridor_parts::SectionLine;

std::string where(const Document& doc) {
    return doc.path.empty() ? "" : doc.path + ": ";
}

// A surface by name from the document or from a file of its own (read in that file's unit);
// name receives the one taken when it was left to the file.
bool namedSurface(const Document& doc, std::string& name, const std::string& file,
                  std::shared_ptr<const zel_math::CTinSurface>& tin, std::string& error) {
    Document other;
    if (!file.empty() && !readSurfaceFile(file, other, error)) return false;
    const Document& from = file.empty() ? doc : other;
    if (!surfaceByName(from, name, tin, error)) return false;
    if (name.empty()) name = from.surfaces.front().name;
    return true;
}

std::string surfaceNote(const char* what, const std::string& name, const std::string& file) {
    return std::string(what) + ": TIN surface '" + name + "'" + (file.empty() ? "" : " of " + file);
}

// Checked against the library's order, each reported at its own line.
bool superelevationTable(const Document& doc, const Alignment& a,
                         std::vector<zel_math::TSuperelevation>& table, std::string& error) {
    if (!a.superelevationError.empty()) {
        error = where(doc) + a.superelevationError;
        return false;
    }
    for (const SuperelevationRecord& r : a.superelevation) {
        const zel_math::TSuperelevation s{
            r.staStart, r.staEnd,        r.beginRunout, r.beginRunoff,     r.fullSuper,
            r.runoff,   r.startOfRunout, r.endOfRunout, r.fullRatePercent, r.adverse};
        std::string why;
        if (!zel_math::checkSuperelevation(s, why)) {
            error = where(doc) + "line " + std::to_string(r.line) + ": Superelevation: " + why;
            return false;
        }
        table.push_back(s);
    }
    return true;
}

bool readTemplate(const Document& doc, const CorridorOptions& o, zel_math::TRoadTemplate& t,
                  LinearUnit& unit, std::string& error) {
    unit = o.templateUnit.value_or(doc.unit);
    return zel_math::readRoadTemplate(o.templateFile.c_str(), toMetres(1.0, unit), t, error);
}

// A design of a typical section turned by the file's superelevation.
bool useTemplate(const Document& doc, const Alignment& a, const CorridorOptions& o,
                 zel_math::CRoadCorridor& road, std::vector<std::string>& notes,
                 std::string& error) {
    zel_math::TRoadTemplate t;
    LinearUnit unit = doc.unit;
    std::vector<zel_math::TSuperelevation> table;
    if (!readTemplate(doc, o, t, unit, error) || !superelevationTable(doc, a, table, error))
        return false;
    std::string why;
    if (!road.setTemplate(std::move(t), std::move(table), why)) {
        error = where(doc) + "alignment '" + a.name + "': " + why;
        return false;
    }
    notes.push_back("design: typical section " + o.templateFile + " (lengths in " +
                    unitSymbol(unit) + ") with " + std::to_string(a.superelevation.size()) +
                    " superelevation period(s) of the file");
    return true;
}

// Beside sections, a typical section gives only its side slopes.
bool useTemplateSlopes(const Document& doc, const CorridorOptions& o, zel_math::CRoadCorridor& road,
                       std::vector<std::string>& notes, std::string& error) {
    zel_math::TRoadTemplate t;
    LinearUnit unit = doc.unit;
    if (!readTemplate(doc, o, t, unit, error)) return false;
    road.setSideSlopes(t);
    notes.push_back("design: the file's sections, with the side slopes of " + o.templateFile);
    return true;
}

std::function<std::string(double)> stationWriter(const Document& doc, const Alignment& a) {
    const Stationing st = stationingOf(a);
    const StationStyle style{doc.unit, 0.0, 3};
    return [st, style](double chainage) { return st.text(chainage, style); };
}

// The sections' design (when no other design was asked for) and ground (when no TIN was).
bool useSections(const Document& doc, const Alignment& a, const CorridorOptions& o, bool wantDesign,
                 bool wantGround, zel_math::CRoadCorridor& road, zel_math::TGround& ground,
                 std::vector<std::string>& notes, std::string& error) {
    if (!a.sectionsError.empty()) {
        error = where(doc) + a.sectionsError;
        return false;
    }
    SectionChoice choice;
    if (a.sections.empty()) return true;
    if (!corridor_parts::chooseSectionSurfaces(a, o, choice, notes, error)) {
        error = where(doc) + error;
        return false;
    }
    std::vector<SectionLine> design, groundLines;
    corridor_parts::sectionLines(a, choice, design, groundLines, notes);
    if (!wantDesign) design.clear();
    if (!wantGround) groundLines.clear();
    const CAlnt& alnt = road.alnt();
    if (!corridor_parts::settleHeights(alnt, o.sectionHeights, "design", where(doc), design, notes,
                                       error) ||
        !corridor_parts::settleHeights(alnt, o.sectionHeights, "ground", where(doc), groundLines,
                                       notes, error))
        return false;
    zel_math::CCrossSectionSet set;
    if (!design.empty()) {
        if (!corridor_parts::sectionSet(design, where(doc), stationWriter(doc, a), set, error))
            return false;
        road.setSections(std::move(set));
    }
    if (!groundLines.empty()) {
        auto g = std::make_shared<zel_math::CCrossSectionSet>();
        if (!corridor_parts::sectionSet(groundLines, where(doc), stationWriter(doc, a), *g, error))
            return false;
        ground.sections = std::move(g);
    }
    return true;
}

}  // namespace

bool sectionHeightsFromText(const std::string& text, SectionHeights& heights) {
    if (text == "auto")
        heights = SectionHeights::Auto;
    else if (text == "absolute")
        heights = SectionHeights::Absolute;
    else if (text == "relative")
        heights = SectionHeights::Relative;
    else
        return false;
    return true;
}

bool buildCorridor(const Document& doc, std::size_t alignment, const CorridorOptions& o,
                   zel_math::CRoadCorridor& road, zel_math::TGround& ground,
                   std::vector<std::string>& notes, std::string& error) {
    if (alignment >= doc.alignments.size()) {
        error = where(doc) + "no alignment " + std::to_string(alignment + 1);
        return false;
    }
    const Alignment& a = doc.alignments[alignment];
    const bool designTin = !o.designSurface.empty() || !o.designSurfaceFile.empty();
    if (designTin && !o.templateFile.empty()) {
        error = "a design surface and a typical section were both asked for: choose one design";
        return false;
    }
    ground = zel_math::TGround{};
    const bool groundTin = !o.ground.empty() || !o.groundFile.empty();
    if (groundTin) {
        std::string name = o.ground;
        if (!namedSurface(doc, name, o.groundFile, ground.tin, error)) return false;
        notes.push_back(surfaceNote("ground", name, o.groundFile));
    }
    if (designTin) {
        std::shared_ptr<const zel_math::CTinSurface> tin;
        std::string name = o.designSurface;
        if (!namedSurface(doc, name, o.designSurfaceFile, tin, error)) return false;
        road.setDesignSurface(tin);
        notes.push_back(surfaceNote("design", name, o.designSurfaceFile));
        return groundTin || useSections(doc, a, o, false, true, road, ground, notes, error);
    }
    const bool sections = !a.sections.empty() || !a.sectionsError.empty();
    if (!sections) return o.templateFile.empty() || useTemplate(doc, a, o, road, notes, error);
    return useSections(doc, a, o, true, !groundTin, road, ground, notes, error) &&
           (o.templateFile.empty() || useTemplateSlopes(doc, o, road, notes, error));
}

std::vector<std::string> sectionSurfaceNames(const Alignment& alignment) {
    std::vector<std::string> out;
    for (const CrossSectRecord& s : alignment.sections)
        for (const SectionSurfaceRecord& f : s.surfaces) {
            const std::string text = (f.element == SectionElement::Design ? "DesignCrossSectSurf '"
                                                                          : "CrossSectSurf '") +
                                     f.name + "'";
            bool known = false;
            for (const std::string& o : out)
                known = known || o == text;
            if (!known) out.push_back(text);
        }
    return out;
}

}  // namespace zel_landxml
