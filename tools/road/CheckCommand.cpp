// velmor-road check: the as-built check of shots of the built road against the design.

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "CheckReport.h"
#include "PointFile.h"
#include "RoadCommands.h"

namespace road {
namespace {

// Tolerances from 0.1 mm to 10 m, a corridor from 1 mm to 100 km.
constexpr double kMinToleranceM = 0.0001;
constexpr double kMaxToleranceM = 10.0;
constexpr double kMinCorridorM = 0.001;
constexpr double kMaxCorridorM = 100000.0;
// Without --tol-h / --tol-v: tolerances commonly asked of finished pavement.
constexpr double kDefaultTolHM = 0.02;
constexpr double kDefaultTolVM = 0.01;

const CLI::Validator kFiniteNumber(
    [](std::string& s) -> std::string {
        errno = 0;
        char* end = nullptr;
        const double v = std::strtod(s.c_str(), &end);
        const bool ok = !s.empty() && *end == '\0' && errno != ERANGE && std::isfinite(v);
        return ok ? std::string() : "'" + s + "' is not a finite number";
    },
    "NUMBER", "finite");

}  // namespace

CLI::App* addCheck(CLI::App& app, CheckArgs& a, Common& c) {
    (void)c;
    CLI::App* cmd = app.add_subcommand(
        "check",
        "as-built check: each shot's deviation across the road and in height from the "
        "design point it was meant for, pass or fail against tolerances, and a summary");
    cmd->add_option("FILE", a.file, "LandXML design, or 'builtin'")->required();
    cmd->add_option("SHOTS", a.shots,
                    "shots: a point file (comma, semicolon, tab or spaces; see --columns) or "
                    "LandXML CgPoints; the first word of D is the shot's code")
        ->required();
    cmd->add_option("--columns", a.columns, "field order of a point file (default PNEZD)");
    cmd->add_option("--tol-h", a.tolH,
                    "horizontal tolerance in the output unit (default 0.02 m in that unit)")
        ->check(kFiniteNumber);
    cmd->add_option("--tol-v", a.tolV,
                    "vertical tolerance in the output unit (default 0.01 m in that unit)")
        ->check(kFiniteNumber);
    cmd->add_option("--offsets", a.offsets,
                    "without a section model: the design lines (output unit, right positive) a "
                    "shot is checked against, the nearest one (default 0, the centre line)")
        ->delimiter(',')
        ->check(kFiniteNumber);
    cmd->add_option("--corridor", a.corridor,
                    "shots farther than this from the centre line are outside the corridor "
                    "(output unit; default: only shots beyond the road's ends)")
        ->check(kFiniteNumber);
    cmd->add_option("--summary", a.summary,
                    "write the summary as CSV to this file instead of standard error");
    cmd->add_option("--report", a.report,
                    "one page to file: summary, histograms, plan of the shots (.pdf or .png)");
    addSectionOptions(cmd, a.sections);
    return cmd;
}

namespace {

int readShots(const CheckArgs& a, Unit unit, PointsToDesign& toDesign, CheckRun& run,
              std::FILE* err) {
    std::string error, text;
    const std::optional<ColumnLayout> layout = parseColumns(a.columns, error);
    if (!layout) return fail(err, "--columns: " + error, kExitUsage);
    const ReadFailure failure = readTextFile(a.shots, text, error);
    if (failure != ReadFailure::None)
        return fail(err, error, failure == ReadFailure::Io ? kExitFile : kExitBadInput);
    PointFile file = readPointFile(text, *layout);
    // Shots in another CRS come into the design's coordinates in the output unit; others are in
    // the file's own unit where it names one, else in the output unit.
    toDesign.convert(file.points, file.bad);
    const Unit from = file.hasUnit && !toDesign.active() ? file.unit : unit;
    for (const MeasuredPoint& p : file.points) {
        zel_landxml::AsBuiltShot s;
        s.name = p.name;
        s.north = toMetres(p.north, from);
        s.east = toMetres(p.east, from);
        if (p.hasHeight) s.height = toMetres(p.height, from);
        s.code = p.code;
        s.line = p.line;
        run.shots.push_back(std::move(s));
    }
    for (const BadLine& b : file.bad)
        say(err, a.shots + ": line " + std::to_string(b.line) + ": " + b.reason +
                     (b.text.empty() ? "" : ": " + b.text));
    run.unreadLines = static_cast<long long>(file.bad.size());
    if (run.shots.empty() && file.bad.empty())
        return fail(err, a.shots + ": no shots in the file", kExitBadInput);
    return kExitOk;
}

bool checkOptions(const CheckArgs& a, Unit unit, zel_landxml::AsBuiltOptions& o, std::FILE* err) {
    o.toleranceHM = std::isnan(a.tolH) ? kDefaultTolHM : toMetres(a.tolH, unit);
    o.toleranceVM = std::isnan(a.tolV) ? kDefaultTolVM : toMetres(a.tolV, unit);
    if (!withinBounds("--tol-h", a.tolH, kMinToleranceM, kMaxToleranceM, unit, err) ||
        !withinBounds("--tol-v", a.tolV, kMinToleranceM, kMaxToleranceM, unit, err) ||
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

void reportBad(const CheckRun& run, const std::string& name, std::FILE* err) {
    for (size_t i = 0; i < run.shots.size(); ++i) {
        const zel_landxml::AsBuiltResult& r = run.results[i];
        if (r.ok && r.noHeight.empty()) continue;
        const zel_landxml::AsBuiltShot& s = run.shots[i];
        say(err, name + ": line " + std::to_string(s.line) + ": shot " +
                     (s.name.empty() ? std::string("without a number") : s.name) + ": " +
                     (r.ok ? "no vertical check: " + r.noHeight : r.reason));
    }
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
    run.shotFile = a.shots;
    PointsToDesign toDesign;
    if ((code = toDesign.setUp(a.crs, d, unit, err)) != kExitOk) return code;
    for (const std::string& n : toDesign.notes())
        say(err, n);
    if ((code = readShots(a, unit, toDesign, run, err)) != kExitOk) return code;
    const zel_landxml::AsBuiltCheck check(d.alnt, run.options);
    if (!check.isok()) return fail(err, run.design + ": " + check.error(), kExitBadInput);
    for (const zel_landxml::AsBuiltShot& s : run.shots)
        run.results.push_back(check.check(s));
    run.stats = zel_landxml::summarizeAsBuilt(run.shots, run.results, run.options);
    reportBad(run, a.shots, err);
    const TableStyle style = tableStyle(c, unit, d.stationing);
    if ((code = writeOutputs(a, c, d, run, style, out, err)) != kExitOk) return code;
    const long long bad = badShots(run);
    if (bad == 0) return kExitOk;
    say(err, a.shots + ": " + counted(bad, "bad shot", "bad shots") +
                 " (listed above) not checked; the others are in the table");
    return kExitBadInput;
}

}  // namespace road
