#include "RoadModel.h"

#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Corridor.h>
#include <CLI/CLI.hpp>

namespace road {

void addSectionOptions(CLI::App* cmd, SectionArgs& a) {
    CLI::Option* section = cmd->add_option(
        "--section-surface", a.sectionSurface,
        "the file's cross-section surface that holds the design (default: as the file's "
        "elements and names say; standard error names the one taken)");
    cmd->add_option("--ground-section", a.groundSection,
                    "the file's cross-section surface that holds the existing ground");
    cmd->add_option("--section-heights", a.sectionHeights,
                    "section elevations absolute or relative to the profile's grade (default: "
                    "decided from the data, said on standard error)")
        ->check(CLI::IsMember({"absolute", "relative"}));
    CLI::Option* ground =
        cmd->add_option("--ground", a.ground, "the file's TIN surface that is the existing ground");
    cmd->add_option("--ground-file", a.groundFile,
                    "a LandXML file whose TIN surface (--ground NAME among several) is the ground, "
                    "in that file's own unit");
    CLI::Option* design = cmd->add_option(
        "--design-surface", a.designSurface,
        "the file's TIN surface that is the finished grade: design heights are its heights");
    CLI::Option* designFile = cmd->add_option(
        "--design-surface-file", a.designSurfaceFile,
        "a LandXML file whose TIN surface (--design-surface NAME among several) is the "
        "finished grade");
    CLI::Option* road = cmd->add_option(
        "--template", a.templateFile,
        "a typical section (INI, lengths in the output unit) with the file's superelevation, "
        "for a design without sections");
    road->excludes(design)->excludes(designFile)->excludes(section);
    design->excludes(section);
    designFile->excludes(section);
    (void)ground;
}

namespace {

bool anyGiven(const SectionArgs& a) {
    return !(a.sectionSurface.empty() && a.groundSection.empty() && a.sectionHeights.empty() &&
             a.ground.empty() && a.groundFile.empty() && a.designSurface.empty() &&
             a.designSurfaceFile.empty() && a.templateFile.empty());
}

landxml::CorridorOptions corridorOptions(const SectionArgs& a, Unit unit) {
    landxml::CorridorOptions o;
    o.sectionSurface = a.sectionSurface;
    o.groundSection = a.groundSection;
    o.sectionHeights = a.sectionHeights == "absolute"   ? landxml::SectionHeights::Absolute
                       : a.sectionHeights == "relative" ? landxml::SectionHeights::Relative
                                                        : landxml::SectionHeights::Auto;
    o.ground = a.ground;
    o.groundFile = a.groundFile;
    o.designSurface = a.designSurface;
    o.designSurfaceFile = a.designSurfaceFile;
    o.templateFile = a.templateFile;
    o.templateUnit = landXmlUnit(unit);
    return o;
}

// The built-in road as a document, so that a template or a ground file applies to it too.
bool builtinDocument(const Design& d, landxml::Document& doc, std::string& error) {
    doc.alignments.resize(1);
    return landxml::describeAlignment(d.alnt, doc.alignments[0], error);
}

}  // namespace

int loadRoadModel(const SectionArgs& a, const Common& c, Design& d, RoadModel& model,
                  std::FILE* err) {
    model = RoadModel();
    const bool given = anyGiven(a);
    if (!d.document && !given) return kExitOk;
    const std::string name = d.path.empty() ? std::string("built-in road") : d.path;
    landxml::Document builtin;
    std::string error;
    if (!d.document && !builtinDocument(d, builtin, error))
        return fail(err, name + ": " + error, kExitBadInput);
    const landxml::Document& doc = d.document ? *d.document : builtin;
    model.corridor = std::make_unique<zel_math::CRoadCorridor>(d.alnt);
    std::vector<std::string> notes;
    const bool ok = landxml::buildCorridor(doc, d.document ? d.alignmentIndex : 0,
                                           corridorOptions(a, outputUnit(c, d)), *model.corridor,
                                           model.ground, notes, error);
    for (const std::string& n : notes)
        say(err, name + ": note: " + n);
    if (!ok) return fail(err, name + ": " + error, kExitBadInput);
    if (given && !model.hasModel() && !model.hasGround())
        say(err, name + ": the options gave neither a design model nor a ground");
    return kExitOk;
}

}  // namespace road
