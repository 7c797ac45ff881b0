#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <velmorutils/landxml/StakeoutStations.h>

#include "RoadCommands.h"
#include "SlopeStake.h"
#include "Stakeout.h"

namespace road {
namespace {

// The offset stake from the catch point, and how far beyond the hinge the slope is followed.
constexpr double kMaxStakeOffsetM = 1000.0;
constexpr double kMinSearchM = 0.001;
constexpr double kMaxSearchM = 10000.0;

struct SlopeStakeRange {
    double interval = 0.0, from = -1e300, to = 1e300;  // metres
    double stakeM = 0.0, searchM = 0.0;
};

int checkSlopeStake(const SlopeStakeArgs& a, const Common& c, Unit unit, const Design& d,
                    SlopeStakeRange& r, std::FILE* err) {
    if (!intervalOf(a.interval, unit, d, r.interval, err) ||
        !withinBounds("--stake-offset", a.stakeOffset, 0.0, kMaxStakeOffsetM, unit, err) ||
        !withinBounds("--search", a.search, kMinSearchM, kMaxSearchM, unit, err))
        return kExitUsage;
    r.stakeM = toMetres(a.stakeOffset, unit);
    r.searchM = toMetres(a.search, unit);
    const landxml::StationStyle style = stationStyle(c, unit);
    std::string error;
    if (!a.from.empty() && !d.stationing.chainage(a.from, style, r.from, error))
        return fail(err, "--from: " + error, kExitUsage);
    if (!a.to.empty() && !d.stationing.chainage(a.to, style, r.to, error))
        return fail(err, "--to: " + error, kExitUsage);
    if (r.from > r.to) return fail(err, "--from: lies after --to", kExitUsage);
    return kExitOk;
}

int checkModel(const std::string& file, const RoadModel& model, std::FILE* err) {
    const std::string name = file.empty() || file == kBuiltin ? "built-in road" : file;
    if (!model.hasModel())
        return fail(err,
                    name +
                        ": slope stakes need a design model: the file's cross sections, "
                        "--template FILE or --design-surface NAME",
                    kExitUsage);
    if (!model.hasGround())
        return fail(err,
                    name +
                        ": slope stakes need a ground: --ground NAME, --ground-file FILE.xml "
                        "or the file's ground sections (--ground-section NAME)",
                    kExitUsage);
    return kExitOk;
}

// Counts of the rows, for the closing message.
struct Tally {
    long long rows = 0, caught = 0, noCatch = 0, notAsked = 0;
};

void writeStation(std::FILE* out, SlopeStakeTable& table, const RoadModel& model,
                  const SlopeStakeRange& r, const std::string& text, double chainage, Tally& t) {
    for (const bool right : {false, true}) {
        SlopeStakeRow row;
        row.station = text;
        row.asked = zel_math::slopeStake(*model.corridor, model.ground, chainage, right, r.searchM,
                                         r.stakeM, row.stake, row.error);
        row.stake.chainage = chainage;
        row.stake.right = right;
        table.writeRow(out, row);
        ++t.rows;
        t.caught += row.asked && row.stake.caught;
        t.noCatch += row.asked && !row.stake.caught;
        t.notAsked += !row.asked;
    }
}

}  // namespace

int runSlopeStake(const SlopeStakeArgs& a, const Common& c, std::FILE* out, std::FILE* err) {
    Design d;
    int code = loadDesign(a.file, c, err, d);
    if (code != kExitOk) return code;
    const Unit unit = outputUnit(c, d);
    SlopeStakeRange range;
    if ((code = checkSlopeStake(a, c, unit, d, range, err)) != kExitOk) return code;
    RoadModel model;
    if ((code = loadRoadModel(a.sections, c, d, model, err)) != kExitOk) return code;
    if ((code = checkModel(a.file, model, err)) != kExitOk) return code;
    const std::vector<StakeoutStation> stations =
        stakeoutChainages(d.alnt, range.interval, range.from, range.to, &d.stationing);
    if (stations.empty())
        return fail(err, "no station of the road lies in the range asked for", kExitUsage);
    const TableStyle style = tableStyle(c, unit, d.stationing);
    const landxml::StationStyle stationText = stationStyle(c, unit);
    Output output(out, c.out);
    if (!output.open(err)) return kExitFile;
    SlopeStakeTable table(style);
    table.writeHeader(output.stream());
    Tally tally;
    for (std::size_t i = 0; i < stations.size(); ++i) {
        // The ahead row of an angle point or equation is the same place across: staked once.
        if (i > 0 && stations[i].chainageInM == stations[i - 1].chainageInM) continue;
        writeStation(output.stream(), table, model, range,
                     landxml::stakeoutStationText(d.stationing, stations[i], stationText),
                     stations[i].chainageInM, tally);
    }
    table.writeFooter(output.stream(), range.stakeM);
    if (!output.finish(true, err)) return kExitFile;
    say(err, counted(tally.rows, "side", "sides") + ": " + std::to_string(tally.caught) +
                 " caught, " + std::to_string(tally.noCatch) + " without a catch, " +
                 std::to_string(tally.notAsked) + " without a design section or side slope");
    return tally.caught + tally.noCatch > 0 ? kExitOk : kExitBadInput;
}

}  // namespace road
