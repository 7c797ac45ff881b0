#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <velmorutils/landxml/StakeoutStations.h>

#include "RoadCommands.h"
#include "SectionPlot.h"
#include "Stakeout.h"

namespace road {
namespace {

// A plot of more sections than this is a mistake in the range, not a drawing anyone reads.
constexpr std::size_t kMaxSections = 2000;
// How far beyond the hinge the drawing looks for the catch point.
constexpr double kSearchM = 100.0;

// "FROM..TO" as running chainages; an empty end is the road's.
int parseRange(const std::string& text, const Common& c, Unit unit, const Design& d, double& from,
               double& to, std::FILE* err) {
    const std::size_t dots = text.find("..");
    if (dots == std::string::npos)
        return fail(err, "--sections: give FROM..TO, e.g. 0+100..0+300 (either may be empty)",
                    kExitUsage);
    const landxml::StationStyle style = stationStyle(c, unit);
    const std::string a = text.substr(0, dots), b = text.substr(dots + 2);
    std::string error;
    from = -1e300, to = 1e300;
    if (!a.empty() && !d.stationing.chainage(a, style, from, error))
        return fail(err, "--sections: FROM: " + error, kExitUsage);
    if (!b.empty() && !d.stationing.chainage(b, style, to, error))
        return fail(err, "--sections: TO: " + error, kExitUsage);
    if (from > to) return fail(err, "--sections: FROM lies after TO", kExitUsage);
    return kExitOk;
}

// The file's own sections when they are the design, else the stations at the interval.
std::vector<std::pair<double, std::string>> sectionStations(const PlotArgs& a, const Common& c,
                                                            Unit unit, const Design& d,
                                                            double interval, double from,
                                                            double to) {
    std::vector<std::pair<double, std::string>> out;
    const landxml::StationStyle style = stationStyle(c, unit);
    const bool fileSections = a.model.templateFile.empty() && a.model.designSurface.empty() &&
                              a.model.designSurfaceFile.empty() && d.document &&
                              !d.document->alignments[d.alignmentIndex].sections.empty();
    if (fileSections) {
        for (const landxml::CrossSectRecord& s : d.document->alignments[d.alignmentIndex].sections)
            if (s.station >= from - 1e-9 && s.station <= to + 1e-9)
                out.push_back({s.station, d.stationing.text(s.station, style)});
        return out;
    }
    const std::vector<StakeoutStation> st =
        stakeoutChainages(d.alnt, interval, from, to, &d.stationing);
    for (std::size_t i = 0; i < st.size(); ++i)
        if (i == 0 || st[i].chainageInM != st[i - 1].chainageInM)
            out.push_back(
                {st[i].chainageInM, landxml::stakeoutStationText(d.stationing, st[i], style)});
    return out;
}

// "sections.png" page 2 is "sections-2.png".
std::string pageName(const std::string& path, std::size_t page) {
    const std::filesystem::path p(path);
    std::filesystem::path named = p;
    named.replace_filename(p.stem().string() + "-" + std::to_string(page) + p.extension().string());
    return named.string();
}

}  // namespace

int runSectionPlot(const PlotArgs& a, const Common& c, PlotFormat format, std::FILE* err) {
    Design d;
    int code = loadDesign(a.file, c, err, d);
    if (code != kExitOk) return code;
    const Unit unit = outputUnit(c, d);
    double interval = 0, from = 0, to = 0;
    if (!intervalOf(a.interval, unit, d, interval, err)) return kExitUsage;
    if ((code = parseRange(a.sections, c, unit, d, from, to, err)) != kExitOk) return code;
    RoadModel model;
    if ((code = loadRoadModel(a.model, c, d, model, err)) != kExitOk) return code;
    const std::string name = a.file.empty() || a.file == kBuiltin ? "built-in road" : a.file;
    if (!model.hasModel())
        return fail(err,
                    name +
                        ": --sections needs a design model: the file's cross sections, "
                        "--template FILE or --design-surface NAME",
                    kExitUsage);
    const auto stations = sectionStations(a, c, unit, d, interval, from, to);
    if (stations.empty()) return fail(err, "--sections: no section lies in that range", kExitUsage);
    if (stations.size() > kMaxSections)
        return fail(err,
                    "--sections: " + std::to_string(stations.size()) + " sections; at most " +
                        std::to_string(kMaxSections) + " in one plot",
                    kExitUsage);
    std::vector<SectionView> views;
    for (const auto& [chainage, text] : stations)
        views.push_back(sectionView(model, chainage, text, kSearchM));
    SectionPlotOptions o;
    if (!a.paper.empty()) o.paper = *parsePaper(a.paper);
    o.metresPerUnit = metresPerUnit(unit);
    o.unitSymbol = unitSymbol(unit);
    o.alignment = static_cast<const char*>(d.alnt.getName());
    o.fileName = a.file == kBuiltin ? std::string() : a.file;
    o.date = plotDate();
    std::vector<PlotModel> pages;
    std::vector<std::string> files;
    std::string error;
    if (!layoutSections(views, o, pages, error))
        return fail(err, name + ": " + error, kExitBadInput);
    if (!renderPages(pages, format, files, error))
        return fail(err, a.output + ": " + error, kExitFile);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string path = files.size() == 1 ? a.output : pageName(a.output, i + 1);
        if (!writeFileAtomically(path, files[i], error)) return fail(err, error, kExitFile);
    }
    say(err, counted(static_cast<long long>(views.size()), "section", "sections") + " on " +
                 counted(static_cast<long long>(pages.size()), "sheet", "sheets") +
                 (files.size() > 1 ? " (" + pageName(a.output, 1) + " to " +
                                         pageName(a.output, files.size()) + ")"
                                   : std::string()));
    return kExitOk;
}

}  // namespace road
