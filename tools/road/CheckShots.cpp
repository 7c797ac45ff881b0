#include "CheckShots.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "PointFile.h"

namespace road {
namespace {

// Tolerances from 0.1 mm to 10 m.
constexpr double kMinToleranceM = 0.0001;
constexpr double kMaxToleranceM = 10.0;
// Without --tol-h / --tol-v: tolerances commonly asked of finished pavement.
constexpr double kDefaultTolHM = 0.02;
constexpr double kDefaultTolVM = 0.01;

// Heights of a file that names its unit into the output unit, where its coordinates go through
// a CRS (which reads them in that CRS's unit) and its heights would otherwise be taken as the
// output unit's.
void heightsToUnit(PointFile& file, Unit unit) {
    if (!file.hasUnit || file.unit == unit) return;
    for (MeasuredPoint& p : file.points)
        if (p.hasHeight) p.height = fromMetres(toMetres(p.height, file.unit), unit);
}

// The points of the file into the design's coordinates; the unit they are then in.
int toDesign(const ShotArgs& a, const CrsArgs& crs, const Design& d, Unit unit, PointFile& file,
             Unit& from, std::FILE* err) {
    CrsArgs points = crs;
    std::vector<std::string> notes;
    if (namesOtherCrs(file, crs, d))
        points.pointsCrs = crsWithHeights(file.crs, file.verticalDatum, a.file, notes);
    PointsToDesign transform;
    if (const int code = transform.setUp(points, d, unit, err); code != kExitOk) return code;
    for (const std::string& n : notes)
        say(err, n);
    for (const std::string& n : transform.notes())
        say(err, n);
    if (transform.active()) heightsToUnit(file, unit);
    transform.convert(file.points, file.bad);
    from = file.hasUnit && !transform.active() ? file.unit : unit;
    return kExitOk;
}

}  // namespace

const CLI::Validator& finiteNumber() {
    static const CLI::Validator v(
        [](std::string& s) -> std::string {
            errno = 0;
            char* end = nullptr;
            const double x = std::strtod(s.c_str(), &end);
            const bool ok = !s.empty() && *end == '\0' && errno != ERANGE && std::isfinite(x);
            return ok ? std::string() : "'" + s + "' is not a finite number";
        },
        "NUMBER", "finite");
    return v;
}

void addShotOptions(CLI::App* cmd, ShotArgs& a, CLI::Option* shots) {
    CLI::Option* options[] = {
        cmd->add_option("--columns", a.columns, "field order of a point file (default PNEZD)"),
        cmd->add_option("--tol-h", a.tolH,
                        "horizontal tolerance in the output unit (default 0.02 m in that unit)")
            ->check(finiteNumber()),
        cmd->add_option("--tol-v", a.tolV,
                        "vertical tolerance in the output unit (default 0.01 m in that unit)")
            ->check(finiteNumber())};
    if (shots != nullptr)
        for (CLI::Option* o : options)
            o->needs(shots);
}

bool toleranceOptions(const ShotArgs& a, Unit unit, zel_landxml::AsBuiltOptions& o,
                      std::FILE* err) {
    o.toleranceHM = std::isnan(a.tolH) ? kDefaultTolHM : toMetres(a.tolH, unit);
    o.toleranceVM = std::isnan(a.tolV) ? kDefaultTolVM : toMetres(a.tolV, unit);
    return withinBounds("--tol-h", a.tolH, kMinToleranceM, kMaxToleranceM, unit, err) &&
           withinBounds("--tol-v", a.tolV, kMinToleranceM, kMaxToleranceM, unit, err);
}

int readShots(const ShotArgs& a, const CrsArgs& crs, const Design& d, Unit unit, CheckRun& run,
              std::FILE* err) {
    std::string error, text;
    const std::optional<ColumnLayout> layout = parseColumns(a.columns, error);
    if (!layout) return fail(err, "--columns: " + error, kExitUsage);
    const ReadFailure failure = readTextFile(a.file, text, error);
    if (failure != ReadFailure::None)
        return fail(err, error, failure == ReadFailure::Io ? kExitFile : kExitBadInput);
    PointFile file = readPointFile(text, *layout);
    Unit from = unit;
    if (const int code = toDesign(a, crs, d, unit, file, from, err); code != kExitOk) return code;
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
        say(err, a.file + ": line " + std::to_string(b.line) + ": " + b.reason +
                     (b.text.empty() ? "" : ": " + b.text));
    run.unreadLines = static_cast<long long>(file.bad.size());
    if (run.shots.empty() && file.bad.empty())
        return fail(err, a.file + ": no shots in the file", kExitBadInput);
    return kExitOk;
}

int evaluateShots(const Design& d, CheckRun& run, std::FILE* err) {
    const zel_landxml::AsBuiltCheck check(d.alnt, run.options);
    if (!check.isok()) return fail(err, run.design + ": " + check.error(), kExitBadInput);
    for (const zel_landxml::AsBuiltShot& s : run.shots)
        run.results.push_back(check.check(s));
    run.stats = zel_landxml::summarizeAsBuilt(run.shots, run.results, run.options);
    for (size_t i = 0; i < run.shots.size(); ++i) {
        const zel_landxml::AsBuiltResult& r = run.results[i];
        if (r.ok && r.noHeight.empty()) continue;
        const zel_landxml::AsBuiltShot& s = run.shots[i];
        say(err, run.shotFile + ": line " + std::to_string(s.line) + ": shot " +
                     (s.name.empty() ? std::string("without a number") : s.name) + ": " +
                     (r.ok ? "no vertical check: " + r.noHeight : r.reason));
    }
    return kExitOk;
}

}  // namespace road
