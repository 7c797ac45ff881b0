#pragma once

// As-built shots on the command line, read and checked one way for `check` and `export --check`:
// the shot file and its --columns, the tolerances --tol-h and --tol-v (their defaults and
// bounds), the shots carried into the design's coordinates, each checked by the library's
// AsBuiltCheck.

#include <cmath>
#include <cstdio>
#include <string>

#include "CheckReport.h"
#include "CrsOptions.h"
#include "DesignInput.h"

namespace CLI {
class App;
class Option;
class Validator;
}  // namespace CLI

namespace road {

struct ShotArgs {
    std::string file;  // the shots: a point file or LandXML CgPoints
    std::string columns = "PNEZD";
    double tolH = NAN, tolV = NAN;  // output unit; NaN: the defaults
};

// Accepts a decimal number and refuses "nan", "inf" and numbers beyond double's range.
const CLI::Validator& finiteNumber();

// --columns, --tol-h and --tol-v on a command; each needs `shots` when it is given (the option
// naming the shot file of a command where the shots are optional).
void addShotOptions(CLI::App* cmd, ShotArgs& a, CLI::Option* shots = nullptr);

// The tolerances into o (metres): the given ones in the output unit, else 0.02 m and 0.01 m;
// each from 0.1 mm to 10 m. False after saying why.
bool toleranceOptions(const ShotArgs& a, Unit unit, zel_landxml::AsBuiltOptions& o, std::FILE* err);

// Reads the shots into run.shots, in metres of the design's coordinates: through --points-crs
// (crs.pointsCrs) or the CRS a LandXML shot file names when it differs from the design's, else
// in the file's own unit where it names one, else in the output unit. The notes of a transform
// and every unread line go to err; run.unreadLines counts those. A file with no shot at all is
// refused.
int readShots(const ShotArgs& a, const CrsArgs& crs, const Design& d, Unit unit, CheckRun& run,
              std::FILE* err);

// Checks every shot of run against d (run.options as set up): run.results, run.stats, and each
// bad shot said on err, naming the shot file's line.
int evaluateShots(const Design& d, CheckRun& run, std::FILE* err);

}  // namespace road
