#pragma once

// The commands of velmor-road, each in a file of its own; RoadTool.cpp reads the command line
// into these arguments and calls the one asked for.

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "CrsOptions.h"
#include "DesignInput.h"

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
    CrsArgs crs;  // --crs, --out-crs, ground
};

struct StationOffsetArgs {
    std::string file, points;
    std::string columns = "PNEZD";
    double corridor = NAN;  // output unit; NaN: none
    bool allFeet = false;
    CrsArgs crs;  // --crs, --points-crs, ground
};

struct PlotArgs {
    std::string file, output, paper;
    double interval = NAN;  // NaN: default
    std::vector<double> offsets;
};

int runStakeout(const StakeoutArgs& a, const Common& c, std::FILE* out, std::FILE* err);
int runStationOffset(const StationOffsetArgs& a, const Common& c, std::FILE* out, std::FILE* err);
int runPlot(const PlotArgs& a, const Common& c, std::FILE* err);
int runExport(const std::string& file, const Common& c, std::FILE* out, std::FILE* err);
int runList(const std::string& file, const Common& c, std::FILE* out, std::FILE* err);
// The curve in the unit asked for (metres by default); without RADIUS and LENGTH the example
// curve, given in metres, in that unit.
int runCurve(CLI::App* cmd, double radius, double length, const Common& c, std::FILE* out,
             std::FILE* err);

}  // namespace road
