#include "RoadCommands.h"

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "Stakeout.h"
#include "StakeoutSections.h"

namespace road {
namespace {

int checkStakeout(const StakeoutArgs& a, const Common& c, Unit unit, const Design& d,
                  StakeoutOptions& o, std::FILE* err) {
    if (!intervalOf(a.interval, unit, d, o.interval, err) ||
        !offsetsOf(a.offsets, unit, o.offsets, err))
        return kExitUsage;
    const landxml::StationStyle style = stationStyle(c, unit);
    std::string error;
    if (!a.from.empty() && !d.stationing.chainage(a.from, style, o.from, error))
        return fail(err, "--from: " + error, kExitUsage);
    if (!a.to.empty() && !d.stationing.chainage(a.to, style, o.to, error))
        return fail(err, "--to: " + error, kExitUsage);
    o.stationing = &d.stationing;
    if (o.from > o.to) return fail(err, "--from: lies after --to", kExitUsage);
    if (stakeoutRowCount(d.alnt, o) > kMaxStakeoutRows)
        return fail(err, "--interval: the table would have more than 10 million rows", kExitUsage);
    return kExitOk;
}

}  // namespace

int runStakeout(const StakeoutArgs& a, const Common& c, std::FILE* out, std::FILE* err) {
    Design d;
    int code = loadDesign(a.file, c, err, d);
    if (code != kExitOk) return code;
    const Unit unit = outputUnit(c, d);
    StakeoutOptions o;
    if ((code = checkStakeout(a, c, unit, d, o, err)) != kExitOk) return code;
    RoadModel model;
    if ((code = loadRoadModel(a.sections, c, d, model, err)) != kExitOk) return code;
    if (!a.codes.empty() && !model.hasModel())
        return fail(err,
                    "--codes: the design has no section model (sections, --template or "
                    "--design-surface)",
                    kExitUsage);
    std::unique_ptr<SectionRows> sections;
    if (model.hasModel()) {
        sections = std::make_unique<SectionRows>(*model.corridor, o.offsets, a.codes);
        o.sections = sections.get();
    }
    o.style = tableStyle(c, unit, d.stationing);
    o.stationStyle = stationStyle(c, unit);
    StakesToCrs toCrs;
    if ((code = toCrs.setUp(a.crs, d, unit, err)) != kExitOk) return code;
    if (!a.pointsOut.empty() &&
        (code = writeStakePoints(a, o, d, model.hasModel() ? model.corridor.get() : nullptr, unit,
                                 toCrs, err)) != kExitOk)
        return code;
    o.extra = toCrs.columns(c.csv);
    // Progress only where a person watches, and never in the table itself.
    if (err == stderr && isatty(STDERR_FILENO))
        o.progress = [](double done) { std::fprintf(stderr, "\rstake-out %3.0f%%", done * 100); };
    Output output(out, c.out);
    if (!output.open(err)) return kExitFile;
    sayNotes(toCrs.notes(), c.csv, output.stream(), err);
    std::string error;
    const bool ok = writeStakeout(output.stream(), d.alnt, o, error);
    if (o.progress) std::fprintf(stderr, "\r                \r");
    if (!ok) {
        output.finish(false, err);
        return fail(err, error, kExitBadInput);
    }
    if (sections)
        for (const std::string& note : sections->notes())
            say(err, note);
    return output.finish(true, err) ? kExitOk : kExitFile;
}

}  // namespace road
