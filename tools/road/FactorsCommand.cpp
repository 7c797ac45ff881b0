#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include <velmorutils/zelmath/alignment/AlntEvaluation.h>

#include "CrsOptions.h"
#include "Stakeout.h"

#if VELMOR_ROAD_WITH_PROJ
#include <velmorutils/proj/GridFactors.h>
#endif

namespace road {

CLI::App* addFactors(CLI::App& app, FactorsArgs& a) {
    CLI::App* cmd = app.add_subcommand(
        "factors",
        "grid scale factor, convergence, elevation factor and combined factor (grid / ground) "
        "at a station, or their least and greatest over the alignment");
    cmd->add_option("FILE", a.file, "LandXML design")->required();
    cmd->add_option("--at", a.at, "the station (default: over the whole alignment)");
    cmd->add_option("--interval", a.interval,
                    "station interval sampled over the alignment, with every key point (table "
                    "unit; default: the file's, else 20 m or 50 ft)");
    addDesignCrsOptions(cmd, a.crs);
    return cmd;
}

#if VELMOR_ROAD_WITH_PROJ

namespace {

using zel_proj::GridFactors;

// A convergence, signed: west of the central meridian it is negative, not 359 degrees.
std::string signedAngle(const TableStyle& t, double deg) {
    return (deg < 0 ? "-" : "") + t.angle(std::fabs(deg));
}

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// The factors at one chainage: the centre line's point (design coordinates, to the grid through
// the ground system) at its design height (0 without a profile).
struct StationFactors {
    double chainage = 0.0, north = 0.0, east = 0.0, height = 0.0;
    bool hasHeight = false;
    GridFactors f;
};

bool factorsAt(const Design& d, const std::optional<CGroundFrame>& ground,
               zel_proj::GridFactorCalculator& calc, double chainage, StationFactors& s,
               std::string& error) {
    TAlntEval at;
    if (!evaluateAlnt(d.alnt, chainage, at)) {
        error = "no position at this station";
        return false;
    }
    s.chainage = chainage;
    s.north = at.north;
    s.east = at.east;
    s.hasHeight = at.hasHeight;
    s.height = at.hasHeight ? at.height : 0.0;
    C2dPos grid{at.north, at.east};
    if (ground) grid = ground->toGrid(grid);
    return calc.at(grid.north, grid.east, s.height, s.f, error);
}

void writeOne(std::FILE* out, const StationFactors& s, const TableStyle& t) {
    const std::vector<std::pair<std::string, std::string>> rows{
        {"station", t.station(s.chainage)},
        {t.heading("northing"), t.length(s.north, 4)},
        {t.heading("easting"), t.length(s.east, 4)},
        {t.heading(t.csv ? "cl_design_height" : "CL height"),
         s.hasHeight ? t.length(s.height, 3) : std::string(t.csv ? "" : "- (no profile: 0)")},
        {t.csv ? "latitude_deg" : "latitude [deg]", fixed(s.f.latitudeDeg, 9)},
        {t.csv ? "longitude_deg" : "longitude [deg]", fixed(s.f.longitudeDeg, 9)},
        {t.csv ? "ellipsoidal_height_m" : "ellipsoidal height [m]",
         fixed(s.f.ellipsoidalHeightM, 3)},
        {t.csv ? "grid_scale_factor" : "grid scale factor", fixed(s.f.gridScale, 10)},
        {t.angleHeading("convergence"), signedAngle(t, s.f.convergenceDeg)},
        {t.csv ? "elevation_factor" : "elevation factor", fixed(s.f.elevationFactor, 10)},
        {t.csv ? "combined_factor" : "combined factor", fixed(s.f.combinedFactor, 10)},
    };
    if (!t.csv) {
        for (const auto& [name, value] : rows)
            std::fprintf(out, "%-24s %s\n", name.c_str(), value.c_str());
        return;
    }
    std::string head, line;
    for (const auto& [name, value] : rows) {
        head += (head.empty() ? "" : ",") + name;
        line += (line.empty() ? "" : ",") + value;
    }
    std::fprintf(out, "%s\n%s\n", head.c_str(), line.c_str());
}

// The least and greatest of each factor over the stations, with where each occurs.
void writeRange(std::FILE* out, const std::vector<StationFactors>& all, const TableStyle& t) {
    struct Factor {
        const char* name;
        const char* csvName;
        double GridFactors::*value;
        bool angle;
    };
    const Factor factors[] = {
        {"grid scale factor", "grid_scale_factor", &GridFactors::gridScale, false},
        {"convergence", "convergence", &GridFactors::convergenceDeg, true},
        {"elevation factor", "elevation_factor", &GridFactors::elevationFactor, false},
        {"combined factor", "combined_factor", &GridFactors::combinedFactor, false}};
    if (t.csv)
        std::fprintf(out, "factor,minimum,minimum_station,maximum,maximum_station\n");
    else
        std::fprintf(out, "%-20s %16s %13s %16s %13s\n", "factor", "minimum", "at station",
                     "maximum", "at station");
    for (const Factor& f : factors) {
        size_t lo = 0, hi = 0;
        for (size_t i = 1; i < all.size(); ++i) {
            if (all[i].f.*f.value < all[lo].f.*f.value) lo = i;
            if (all[i].f.*f.value > all[hi].f.*f.value) hi = i;
        }
        auto text = [&](size_t i) {
            return f.angle ? signedAngle(t, all[i].f.*f.value) : fixed(all[i].f.*f.value, 10);
        };
        std::fprintf(out, t.csv ? "%s,%s,%s,%s,%s\n" : "%-20s %16s %13s %16s %13s\n",
                     t.csv ? f.csvName : f.name, text(lo).c_str(),
                     t.station(all[lo].chainage).c_str(), text(hi).c_str(),
                     t.station(all[hi].chainage).c_str());
    }
    if (!t.csv)
        std::fprintf(out,
                     "(%zu stations: every key point and the interval; combined = grid scale x "
                     "elevation factor, grid distance / ground distance at the CL design height)\n",
                     all.size());
}

int chainagesOf(const FactorsArgs& a, const Common& c, Unit unit, const Design& d,
                std::vector<double>& chainages, std::FILE* err) {
    std::string error;
    if (!a.at.empty()) {
        double ch = 0.0;
        if (!d.stationing.chainage(a.at, stationStyle(c, unit), ch, error))
            return fail(err, "--at: " + error, kExitUsage);
        chainages.push_back(ch);
        return kExitOk;
    }
    double interval = 0.0;
    if (!intervalOf(a.interval, unit, d, interval, err)) return kExitUsage;
    for (const StakeoutStation& s :
         stakeoutChainages(d.alnt, interval, -1e300, 1e300, &d.stationing))
        chainages.push_back(s.chainageInM);
    return kExitOk;
}

}  // namespace

int runFactors(const FactorsArgs& a, const Common& c, std::FILE* out, std::FILE* err) {
    Design d;
    int code = loadDesign(a.file, c, err, d);
    if (code != kExitOk) return code;
    const Unit unit = outputUnit(c, d);
    std::vector<std::string> notes;
    const std::string crs = designCrs(a.crs, d, notes);
    if (crs.empty())
        return fail(err, "factors: the design names no coordinate system; give it with --crs CRS",
                    kExitUsage);
    std::optional<CGroundFrame> ground;
    if ((code = groundFrameOf(a.crs, d, unit, err, ground, notes)) != kExitOk) return code;
    zel_proj::GridFactorCalculator calc;
    std::string error;
    if (!calc.create(crs, error)) return fail(err, "factors: " + error, kExitUsage);
    std::vector<double> chainages;
    if ((code = chainagesOf(a, c, unit, d, chainages, err)) != kExitOk) return code;
    std::vector<StationFactors> all(chainages.size());
    const TableStyle style = tableStyle(c, unit, d.stationing);
    for (size_t i = 0; i < chainages.size(); ++i)
        if (!factorsAt(d, ground, calc, chainages[i], all[i], error))
            return fail(err, "factors at " + style.station(chainages[i]) + ": " + error,
                        kExitBadInput);
    notes.insert(notes.begin(), "coordinate system: " + zel_proj::crsLabel(calc.crs()));
    if (calc.heightsEllipsoidal())
        notes.push_back("heights: the design heights are taken as ellipsoidal (" +
                        std::string(calc.crs().hasHeight ? "PROJ has no geoid model for them"
                                                         : "the design names no vertical datum") +
                        ")");
    Output output(out, c.out);
    if (!output.open(err)) return kExitFile;
    sayNotes(notes, c.csv, output.stream(), err);
    if (a.at.empty())
        writeRange(output.stream(), all, style);
    else
        writeOne(output.stream(), all[0], style);
    return output.finish(true, err) ? kExitOk : kExitFile;
}

#else

int runFactors(const FactorsArgs&, const Common&, std::FILE*, std::FILE* err) {
    return fail(err,
                "factors: this velmor-road was built without PROJ; coordinate systems are not "
                "available",
                kExitUsage);
}

#endif

}  // namespace road
