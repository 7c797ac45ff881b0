#include "RoadCommands.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Corridor.h>

#include "SampleRoad.h"

namespace road {
namespace {

// The built-in road as a document, as a file that holds it would read.
int builtinDocument(landxml::Document& doc, std::FILE* err) {
    CAlnt alnt;
    buildSampleRoad(alnt);
    alnt.setName("sample");
    doc.alignments.resize(1);
    std::string error;
    if (!landxml::describeAlignment(alnt, doc.alignments[0], error))
        return fail(err, error, kExitBadInput);
    return kExitOk;
}

void listProfiles(const landxml::Alignment& a, const TableStyle& s, std::FILE* out) {
    for (const landxml::Profile& p : a.profiles)
        std::fprintf(out, "  profile '%s': %s, %s to %s\n", p.name.c_str(),
                     counted(static_cast<long long>(p.vips.size()), "VIP", "VIPs").c_str(),
                     s.station(p.vips.front().station).c_str(),
                     s.station(p.vips.back().station).c_str());
}

// The sections of an alignment: how many, from where to where, and every surface they hold by
// element and name (the names the section options choose by).
void listSections(const landxml::Alignment& a, const TableStyle& s, std::FILE* out) {
    if (!a.sectionsError.empty()) {
        std::fprintf(out, "  sections refused: %s\n", a.sectionsError.c_str());
    } else if (!a.sections.empty()) {
        std::fprintf(
            out, "  sections: %s, %s to %s\n",
            counted(static_cast<long long>(a.sections.size()), "section", "sections").c_str(),
            s.station(a.sections.front().station).c_str(),
            s.station(a.sections.back().station).c_str());
        for (const std::string& name : landxml::sectionSurfaceNames(a))
            std::fprintf(out, "    section surface %s\n", name.c_str());
    }
    if (!a.superelevationError.empty())
        std::fprintf(out, "  superelevation refused: %s\n", a.superelevationError.c_str());
    else if (!a.superelevation.empty())
        std::fprintf(
            out, "  superelevation: %s\n",
            counted(static_cast<long long>(a.superelevation.size()), "period", "periods").c_str());
}

// Every TIN surface with what it covers: names are not to be trusted (a "terrain" may hold the
// finished grade), its extent and heights say what it is.
void listSurfaces(const landxml::Document& doc, const TableStyle& s, std::FILE* out) {
    if (doc.surfaces.empty()) return;
    std::fprintf(out, "surfaces (northing, easting and height in %s):\n", unitSymbol(s.unit));
    for (const landxml::SurfaceRecord& r : doc.surfaces) {
        if (!r.error.empty()) {
            std::fprintf(out, "%-20s refused: %s\n", r.name.c_str(), r.error.c_str());
            continue;
        }
        const landxml::SurfaceSummary m = landxml::summarizeSurface(r);
        std::fprintf(out, "%-20s %s, %s\n", r.name.c_str(),
                     counted(static_cast<long long>(m.points), "point", "points").c_str(),
                     counted(static_cast<long long>(m.faces), "triangle", "triangles").c_str());
        if (m.empty) continue;
        std::fprintf(out, "  northing %s to %s, easting %s to %s, height %s to %s\n",
                     s.length(m.minNorth, 3).c_str(), s.length(m.maxNorth, 3).c_str(),
                     s.length(m.minEast, 3).c_str(), s.length(m.maxEast, 3).c_str(),
                     s.length(m.minHeight, 3).c_str(), s.length(m.maxHeight, 3).c_str());
    }
}

// One alignment's line (and its profiles'); false when it cannot be built.
bool listAlignment(const std::string& file, const landxml::Alignment& a, const Common& c, Unit unit,
                   std::FILE* out, std::FILE* err) {
    CAlnt alnt;
    std::string error;
    const TableStyle s = tableStyle(c, unit, landxml::stationingOf(a));
    if (!buildReported(file, a, unit, err, alnt, error)) {
        std::fprintf(out, "%-20s refused: %s: %s\n", a.name.c_str(), file.c_str(), error.c_str());
        return false;
    }
    const double start = alnt.getStartChainageInM();
    double end = start;
    alnt.getFinalChainageInM(end);
    std::fprintf(out, "%-20s %16s %12s %-27s %8zu  ok\n", a.name.c_str(),
                 s.length(end - start, 3).c_str(),
                 counted(alnt.getNumOfHes(), "element", "elements").c_str(),
                 (s.station(start) + " to " + s.station(end)).c_str(), a.profiles.size());
    listProfiles(a, s, out);
    listSections(a, s, out);
    return true;
}

// The design file as a document. A file that holds ground surfaces and no alignment (an
// existing-ground export) is listed too: its surfaces alone.
int readForList(const std::string& file, landxml::Document& doc, std::FILE* err) {
    if (file == kBuiltin) return builtinDocument(doc, err);
    char* said = nullptr;
    size_t saidLength = 0;
    std::FILE* held = open_memstream(&said, &saidLength);
    if (held == nullptr) return readDocument(file, doc, err);
    const int code = readDocument(file, doc, held);
    std::fclose(held);
    const std::string messages(said, saidLength);
    std::free(said);
    landxml::Document surfaces;
    std::string error;
    if (code == kExitBadInput && messages.find("holds no Alignment") != std::string::npos &&
        landxml::readSurfaceFile(file, surfaces, error) && !surfaces.surfaces.empty()) {
        doc = std::move(surfaces);
        return kExitOk;
    }
    std::fputs(messages.c_str(), err);
    return code;
}

}  // namespace

int runList(const std::string& file, const Common& c, std::FILE* out, std::FILE* err) {
    landxml::Document doc;
    std::vector<const landxml::Alignment*> chosen;
    const int code = readForList(file, doc, err);
    if (code != kExitOk) return code;
    const bool one = !c.alignment.empty();
    if (one && chooseAlignments(file, doc, c.alignment, true, err, chosen) == kExitUsage)
        return kExitUsage;
    const Unit unit = c.unit.empty() ? unitOf(doc.unit) : *parseUnit(c.unit);
    const TableStyle s = tableStyle(c, unit, landxml::Stationing());
    std::fprintf(out, "%s: %s, file unit %s\n", file.c_str(),
                 counted(static_cast<long long>(doc.alignments.size() + doc.refused.size()),
                         "alignment", "alignments")
                     .c_str(),
                 unitSymbol(unitOf(doc.unit)));
    listCoordinateSystem(doc.coordinateSystem, out);
    if (!doc.alignments.empty() || !doc.refused.empty())
        std::fprintf(out, "%-20s %16s %12s %-27s %8s  %s\n", "name", s.heading("length").c_str(),
                     "elements", "stations", "profiles", "state");
    // Every alignment in file order, each with its state.
    size_t good = 0, bad = 0;
    int result = kExitOk;
    while (good < doc.alignments.size() || bad < doc.refused.size()) {
        const bool takeGood =
            bad == doc.refused.size() ||
            (good < doc.alignments.size() && doc.alignments[good].line < doc.refused[bad].line);
        if (takeGood) {
            const landxml::Alignment& a = doc.alignments[good++];
            if ((!one || a.name == c.alignment) && !listAlignment(file, a, c, unit, out, err))
                result = kExitBadInput;
            continue;
        }
        const landxml::RefusedAlignment& r = doc.refused[bad++];
        if (one && r.name != c.alignment) continue;
        std::fprintf(out, "%-20s refused: %s: %s\n", r.name.c_str(), file.c_str(),
                     r.message.c_str());
        result = kExitBadInput;
    }
    listSurfaces(doc, s, out);
    return result;
}

}  // namespace road
