#include "RoadCommands.h"

#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>

#include "SampleRoad.h"

namespace road {
namespace {

// The alignments of a file as the library computes them, with the file's stations and every
// profile; each one that cannot be read is left out and named. kExitBadInput when any is.
int describeFile(const std::string& file, const Common& c, std::FILE* err, landxml::Document& doc,
                 Unit& unit) {
    landxml::Document in;
    std::vector<const landxml::Alignment*> chosen;
    int code = readDocument(file, in, err);
    if (code == kExitOk) code = chooseAlignments(file, in, c.alignment, true, err, chosen);
    if (code != kExitOk) return code;
    unit = unitOf(in.unit);
    const Unit shown = c.unit.empty() ? unit : *parseUnit(c.unit);
    int result = kExitOk;
    for (const landxml::RefusedAlignment& r : in.refused) {
        if (!c.alignment.empty()) continue;
        say(err, refusalText(file, r) + "; left out of the export");
        result = kExitBadInput;
    }
    std::string error;
    for (const landxml::Alignment* a : chosen) {
        CAlnt alnt;
        landxml::Alignment out;
        if (!buildReported(file, *a, shown, err, alnt, error) ||
            !landxml::describeAlignment(alnt, out, error)) {
            say(err, file + ": alignment '" + a->name + "' refused: " + error +
                         "; left out of the export");
            result = kExitBadInput;
            continue;
        }
        // The geometry runs on the running chainage; the design's own stations and every
        // profile go along.
        out.equations = a->equations;
        out.staIncrement = a->staIncrement;
        out.profiles = a->profiles;
        doc.alignments.push_back(std::move(out));
    }
    return doc.alignments.empty() ? kExitBadInput : result;
}

}  // namespace

int runExport(const std::string& file, const Common& c, std::FILE* out, std::FILE* err) {
    landxml::Document doc;
    Unit unit = Unit::Metre;
    std::string error;
    int result = kExitOk;
    if (file.empty() || file == kBuiltin) {
        doc.alignments.resize(1);
        CAlnt alnt;
        buildSampleRoad(alnt);
        alnt.setName("sample");
        if (!landxml::describeAlignment(alnt, doc.alignments[0], error))
            return fail(err, error, kExitBadInput);
    } else {
        result = describeFile(file, c, err, doc, unit);
        if (doc.alignments.empty()) return result;
    }
    if (!c.unit.empty()) unit = *parseUnit(c.unit);
    const std::string xml = landxml::write(doc, landXmlUnit(unit));
    Output output(out, c.out);
    if (!output.open(err)) return kExitFile;
    std::fputs(xml.c_str(), output.stream());
    return output.finish(true, err) ? result : kExitFile;
}

}  // namespace road
