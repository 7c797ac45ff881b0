// Stake points for the data collector: the stake-out's stakes as a PNEZD, PENZD or LandXML
// point file, numbered and described for the crew.

#include <CLI/CLI.hpp>

#include <velmorutils/landxml/StakePoints.h>
#include <velmorutils/landxml/StakeoutStations.h>

#include "CrsOptions.h"
#include "RoadCommands.h"
#include "Stakeout.h"

namespace road {

void addPointsOutOptions(CLI::App* cmd, StakeoutArgs& a) {
    CLI::Option* points = cmd->add_option(
        "--points-out", a.pointsOut,
        "also write every stake as a point a data collector loads: number, northing, easting, "
        "design height, description (CL 0+100.00, O 3.50 L 0+100.00), in the output unit; "
        "with --out-crs, N and E in that CRS (latitude, longitude for a geographic one)");
    cmd->add_option("--format", a.pointFormat,
                    "the point file: pnezd, penzd (comma separated, no header) or landxml "
                    "(CgPoints with the CoordinateSystem of the design, or of --out-crs; "
                    "default pnezd)")
        ->check(CLI::IsMember({"pnezd", "penzd", "landxml"}))
        ->needs(points);
    cmd->add_option("--start-number", a.startNumber,
                    "number of the first point, the others following in table order (default 1)")
        ->check(CLI::Range(0LL, zel_landxml::kMaxPointNumber))
        ->needs(points);
}

int writeStakePoints(const StakeoutArgs& a, const StakeoutOptions& o, const Design& d,
                     const zel_math::CRoadCorridor* corridor, Unit unit, StakesToCrs& toCrs,
                     std::FILE* err) {
    zel_landxml::PointFormat format = zel_landxml::PointFormat::Pnezd;
    if (!zel_landxml::pointFormatFromText(a.pointFormat, format))
        return fail(err, "--format: '" + a.pointFormat + "' is not pnezd, penzd or landxml",
                    kExitUsage);
    zel_landxml::StakePointOptions po;
    po.request = zel_landxml::stakeoutRequest(d.stationing, o.interval, o.from, o.to);
    po.offsets = o.offsets;
    po.startNumber = a.startNumber;
    po.style = o.stationStyle;
    po.corridor = corridor;
    po.codes = a.codes;
    std::vector<zel_landxml::StakePoint> points;
    std::string error;
    if (!zel_landxml::stakePoints(d.alnt, d.stationing, po, points, error))
        return fail(err, "--points-out: " + error, kExitBadInput);
    std::string text, coordinates = " in " + std::string(unitSymbol(unit));
    if (toCrs.active()) {
        zel_landxml::OutCoordinates out;
        if (!toCrs.pointCoordinates(points, format == zel_landxml::PointFormat::LandXml, out,
                                    error))
            return fail(err, "--points-out: " + error,
                        error.rfind("--out-crs: LandXML", 0) == 0 ? kExitUsage : kExitBadInput);
        text = zel_landxml::pointFileText(points, format, unit, out);
        coordinates =
            ", N and E: " + toCrs.coordinatesText() + ", heights in " +
            (out.geographic || format != zel_landxml::PointFormat::LandXml ? unitSymbol(unit)
                                                                           : unitSymbol(out.unit));
    } else {
        text = zel_landxml::pointFileText(points, format, unit, d.coordinateSystem);
    }
    if (!writeFileAtomically(a.pointsOut, text, error)) return fail(err, error, kExitFile);
    say(err, a.pointsOut + ": " +
                 counted(static_cast<long long>(points.size()), "point", "points") + " " +
                 std::to_string(points.front().number) + " to " +
                 std::to_string(points.back().number) + coordinates +
                 (po.corridor != nullptr
                      ? "; heights: the design height at each stake's offset"
                      : "; heights: the centre line's design height at each station (no "
                        "section model)"));
    return kExitOk;
}

}  // namespace road
