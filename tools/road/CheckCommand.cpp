// velmor-road check: the as-built check of shots of the built road against the design.

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "CheckReport.h"
#include "CheckShots.h"
#include "PointFile.h"
#include "RoadCommands.h"

namespace road {
namespace {

// A corridor from 1 mm to 100 km.
constexpr double kMinCorridorM = 0.001;
constexpr double kMaxCorridorM = 100000.0;

}  // namespace

CLI::App* addCheck(CLI::App& app, CheckArgs& a, Common& c) {
    (void)c;
    CLI::App* cmd = app.add_subcommand(
        "check",
        "as-built check: each shot's deviation across the road and in height from the "
        "design point it was meant for, pass or fail against tolerances, and a summary");
    cmd->add_option("FILE", a.file, "LandXML design, or 'builtin'")->required();
    cmd->add_option("SHOTS", a.shots.file,
                    "shots: a point file (comma, semicolon, tab or spaces; see --columns) or "
                    "LandXML CgPoints (read through the CoordinateSystem they name when it is not "
                    "the design's); the first word of D is the shot's code")
        ->required();
    addShotOptions(cmd, a.shots);
    cmd->add_option("--offsets", a.offsets,
                    "without a section model: the design lines (output unit, right positive) a "
                    "shot is checked against, the nearest one (default 0, the centre line)")
        ->delimiter(',')
        ->check(finiteNumber());
    cmd->add_option("--corridor", a.corridor,
                    "shots farther than this from the centre line are outside the corridor "
                    "(output unit; default: only shots beyond the road's ends)")
        ->check(finiteNumber());
    cmd->add_option("--summary", a.summary,
                    "write the summary as CSV to this file instead of standard error");
    cmd->add_option("--report", a.report,
                    "one page to file: summary, histograms, plan of the shots (.pdf or .png)");
    addSectionOptions(cmd, a.sections);
    return cmd;
}

namespace {

bool checkOptions(const CheckArgs& a, Unit unit, zel_landxml::AsBuiltOptions& o, std::FILE* err) {
    if (!toleranceOptions(a.shots, unit, o, err) ||
        !withinBounds("--corridor", a.corridor, kMinCorridorM, kMaxCorridorM, unit, err) ||
        !offsetsOf(a.offsets, unit, o.offsets, err))
        return false;
    if (!std::isnan(a.corridor)) o.corridorM = toMetres(a.corridor, unit);
    return true;
}

void writeHeader(std::FILE* out, const TableStyle& s) {
    if (s.csv) {
        std::fprintf(out, "point,station,%s,%s,%s,%s,h_result,v_result\n",
                     s.heading("chainage").c_str(), s.heading("offset").c_str(),
                     s.heading("h_dev").c_str(), s.heading("v_dev").c_str());
        return;
    }
    std::fprintf(out, "%-10s %12s %12s  %-8s %-16s %12s %-4s  %12s %-4s\n", "point", "station",
                 s.heading("offset").c_str(), "code", "against", s.heading("h dev").c_str(), "h",
                 s.heading("v dev").c_str(), "v");
}

// What a result was measured against, as a crew says it: "ETW 3.50 R", "CL", "O 3.50 L".
std::string againstText(const zel_landxml::AsBuiltResult& r, const TableStyle& s) {
    const double off = r.designOffset;
    const std::string side =
        std::fabs(off) < 0.0005
            ? ""
            : " " + fixed(std::fabs(fromMetres(off, s.unit)), 2) + (off < 0.0 ? " L" : " R");
    if (r.against == zel_landxml::AsBuiltAgainst::OffsetLine)
        return side.empty() ? "CL" : "O" + side;
    return (r.designCode.empty() ? "point" : r.designCode) + side;
}

void writeRow(std::FILE* out, const TableStyle& s, const zel_landxml::AsBuiltShot& shot,
              const zel_landxml::AsBuiltResult& r) {
    const std::string station = s.station(r.chainage);
    const std::string h = r.hPass ? "pass" : "fail";
    const std::string v = r.hasV ? (r.vPass ? "pass" : "fail") : "";
    if (s.csv) {
        const std::string vDev = r.hasV ? s.length(r.vDev, 4) : "";
        std::fprintf(out, "%s,%s,%s,%s,%s,%s,%s,%s\n", shot.name.c_str(), station.c_str(),
                     s.length(r.chainage, 4).c_str(), s.length(r.offset, 4).c_str(),
                     s.length(r.hDev, 4).c_str(), vDev.c_str(), h.c_str(), v.c_str());
        return;
    }
    const std::string vDev = r.hasV ? s.length(r.vDev, 3) : "-";
    std::fprintf(out, "%-10s %12s %12s  %-8s %-16s %12s %-4s  %12s %-4s\n", shot.name.c_str(),
                 station.c_str(), s.length(r.offset, 3).c_str(),
                 zel_landxml::shotCode(shot.code).c_str(), againstText(r, s).c_str(),
                 s.length(r.hDev, 3).c_str(), h.c_str(), vDev.c_str(), v.c_str());
}

int writeOutputs(const CheckArgs& a, const Common& c, const Design& d, const CheckRun& run,
                 const TableStyle& style, std::FILE* out, std::FILE* err) {
    Output output(out, c.out);
    if (!output.open(err)) return kExitFile;
    writeHeader(output.stream(), style);
    for (size_t i = 0; i < run.shots.size(); ++i)
        if (run.results[i].ok) writeRow(output.stream(), style, run.shots[i], run.results[i]);
    if (!output.finish(true, err)) return kExitFile;
    std::string error;
    if (a.summary.empty()) {
        std::fputs(summaryText(run, style).c_str(), err);
    } else if (!writeFileAtomically(a.summary, summaryCsv(run, style), error)) {
        return fail(err, error, kExitFile);
    }
    if (!a.report.empty() && !writeCheckReport(a.report, d.alnt, run, style, error))
        return fail(err, error, kExitFile);
    return kExitOk;
}

}  // namespace

int runCheck(const CheckArgs& a, const Common& c, std::FILE* out, std::FILE* err) {
    if (!a.report.empty() && !reportFormatOk(a.report))
        return fail(err, "--report: the page is written as .pdf or .png", kExitUsage);
    Design d;
    int code = loadDesign(a.file, c, err, d);
    if (code != kExitOk) return code;
    const Unit unit = outputUnit(c, d);
    CheckRun run;
    if (!checkOptions(a, unit, run.options, err)) return kExitUsage;
    RoadModel model;
    if ((code = loadRoadModel(a.sections, c, d, model, err)) != kExitOk) return code;
    if (model.hasModel()) run.options.corridor = model.corridor.get();
    run.design = a.file.empty() ? std::string(kBuiltin) : a.file;
    run.shotFile = a.shots.file;
    if ((code = readShots(a.shots, a.crs, d, unit, run, err)) != kExitOk ||
        (code = evaluateShots(d, run, err)) != kExitOk)
        return code;
    const TableStyle style = tableStyle(c, unit, d.stationing);
    if ((code = writeOutputs(a, c, d, run, style, out, err)) != kExitOk) return code;
    const long long bad = badShots(run);
    if (bad == 0) return kExitOk;
    say(err, a.shots.file + ": " + counted(bad, "bad shot", "bad shots") +
                 " (listed above) not checked; the others are in the table");
    return kExitBadInput;
}

}  // namespace road
