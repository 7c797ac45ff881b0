#pragma once

// The commands of velmor-road, each in a file of its own; RoadTool.cpp reads the command line
// into these arguments and calls the one asked for.

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "CheckShots.h"
#include "CrsOptions.h"
#include "DesignInput.h"
#include "Plot.h"
#include "RoadModel.h"

namespace CLI {
class App;
}

namespace road {

// The built-in example curve: a 450 m radius with a 180 m arc, typical of a rural road.
inline constexpr double kExampleRadius = 450.0;
inline constexpr double kExampleLength = 180.0;

struct StakeoutArgs {
    std::string file;
    double interval = NAN;  // NaN: default
    std::vector<double> offsets{0.0};
    std::string from, to;
    CrsArgs crs;                        // --crs, --out-crs, ground
    std::string pointsOut;              // stake points for a data collector; "" none
    std::string pointFormat = "pnezd";  // pnezd, penzd, landxml
    long long startNumber = 1;
    SectionArgs sections;
    std::vector<std::string> codes;  // section point codes to stake on each side
};

struct SlopeStakeArgs {
    std::string file;
    double interval = NAN;  // NaN: default
    std::string from, to;
    double stakeOffset = 3.0;  // output unit, beyond the catch point
    double search = 100.0;     // output unit, beyond the hinge
    SectionArgs sections;
};

struct StationOffsetArgs {
    std::string file, points;
    std::string columns = "PNEZD";
    double corridor = NAN;  // output unit; NaN: none
    bool allFeet = false;
    CrsArgs crs;  // --crs, --points-crs, ground
    SectionArgs sections;
};

struct CheckArgs {
    std::string file;
    ShotArgs shots;  // SHOTS, --columns, --tol-h, --tol-v
    std::vector<double> offsets{0.0};
    double corridor = NAN;  // output unit; NaN: none
    std::string summary, report;
    SectionArgs sections;
    CrsArgs crs;  // --crs, --points-crs, ground
};

struct PlotArgs {
    std::string file, output, paper;
    double interval = NAN;  // NaN: default
    std::vector<double> offsets;
    std::string sections;  // "FROM..TO": one cross-section drawing per section between them
    SectionArgs model;
};

int runStakeout(const StakeoutArgs& a, const Common& c, std::FILE* out, std::FILE* err);
// --points-out, --format, --start-number of stakeout (PointsOut.cpp).
void addPointsOutOptions(CLI::App* cmd, StakeoutArgs& a);
// The check command's options (CheckCommand.cpp).
CLI::App* addCheck(CLI::App& app, CheckArgs& a, Common& c);
int runCheck(const CheckArgs& a, const Common& c, std::FILE* out, std::FILE* err);
// The stake points of a stake-out (StakeoutOptions as the table's) to a.pointsOut.
struct StakeoutOptions;
// With a section model (corridor not null) heights at each stake's offset and the --codes points.
// With --out-crs (toCrs active) the points' N and E are in that CRS, from the same transform as
// the table's columns.
int writeStakePoints(const StakeoutArgs& a, const StakeoutOptions& o, const Design& d,
                     const zel_math::CRoadCorridor* corridor, Unit unit, StakesToCrs& toCrs,
                     std::FILE* err);
int runSlopeStake(const SlopeStakeArgs& a, const Common& c, std::FILE* out, std::FILE* err);
int runStationOffset(const StationOffsetArgs& a, const Common& c, std::FILE* out, std::FILE* err);
int runPlot(const PlotArgs& a, const Common& c, std::FILE* err);
// plot --sections: the cross-section drawings instead of plan and profile.
int runSectionPlot(const PlotArgs& a, const Common& c, PlotFormat format, std::FILE* err);
int runExport(const std::string& file, const Common& c, std::FILE* out, std::FILE* err);
int runList(const std::string& file, const Common& c, std::FILE* out, std::FILE* err);
// The curve in the unit asked for (metres by default); without RADIUS and LENGTH the example
// curve, given in metres, in that unit.
int runCurve(CLI::App* cmd, double radius, double length, const Common& c, std::FILE* out,
             std::FILE* err);

}  // namespace road
