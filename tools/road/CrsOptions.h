#pragma once

// Coordinate systems on the road tool's command line: the design's CRS (--crs, else the file's),
// point files in another CRS (--points-crs), stakes also given in another CRS (--out-crs), and
// ground coordinates (--ground-scale, --ground-at, --ground-origin). PROJ does the geodesy
// (the proj component); a build without it refuses the CRS options with a message, while
// --ground-scale needs no PROJ.
//
// Conventions at this edge:
//   - a point file in a geographic CRS holds the latitude in its N column and the longitude in
//     its E column, decimal degrees; in a projected CRS, northing and easting in that CRS's own
//     unit; heights are in the table's unit (--unit, else the design's) either way;
//   - ground coordinates: the design's coordinates are ground, grid = origin + (ground - origin)
//     x K, K the combined factor (grid / ground). --ground-at N,E,H takes K as the combined
//     factor at that design point and height; the origin is --ground-origin N,E, else the
//     --ground-at point, else the start of the alignment.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <velmorutils/landxml/StakePoints.h>
#include <velmorutils/zelmath/geodesy/GroundFrame.h>

#include "DesignInput.h"
#include "PointFile.h"
#include "Stakeout.h"

namespace CLI {
class App;
}

namespace road {

// True when this build has the proj component.
bool projAvailable();

struct CrsArgs {
    std::string crs;                   // --crs: the design's CRS, over the file's
    std::string pointsCrs;             // --points-crs
    std::string outCrs;                // --out-crs
    double groundScale = NAN;          // --ground-scale K
    std::vector<double> groundAt;      // --ground-at N,E,H in the table's unit
    std::vector<double> groundOrigin;  // --ground-origin N,E in the table's unit
};

// --crs and the ground options (the commands that read a design).
void addDesignCrsOptions(CLI::App* cmd, CrsArgs& a);
// --points-crs (the commands that read point files: station-offset, check).
void addPointsCrsOption(CLI::App* cmd, CrsArgs& a);
// --out-crs (stakeout).
void addOutCrsOption(CLI::App* cmd, CrsArgs& a);

// The design's CRS as PROJ takes it: --crs, else the file's (joined with the file's vertical
// datum when PROJ knows it; a note says when it does not). Empty when there is none.
std::string designCrs(const CrsArgs& a, const Design& d, std::vector<std::string>& notes);
// A horizontal CRS joined with the vertical datum a file names for its heights, when PROJ knows
// it (a note naming `file` says when it does not); the horizontal CRS alone otherwise.
std::string crsWithHeights(const std::string& horizontal, const std::string& datum,
                           const std::string& file, std::vector<std::string>& notes);
// A LandXML point file that names a coordinate system other than the design's (the stake points
// of `stakeout --points-out --out-crs`), read without --points-crs: its points are in that CRS.
// False when the design names none, or the file the design's own.
bool namesOtherCrs(const PointFile& file, const CrsArgs& a, const Design& d);

// The ground system the options ask for; nullopt (and kExitOk) when none. A note describes it.
int groundFrameOf(const CrsArgs& a, const Design& d, Unit unit, std::FILE* err,
                  std::optional<CGroundFrame>& frame, std::vector<std::string>& notes);

// The points of a file in --points-crs, carried into the design's coordinates (its grid, then
// ground when a ground system is set) as blocks are read.
class PointsToDesign {
public:
    PointsToDesign();
    ~PointsToDesign();
    // kExitOk, or the exit code after saying why (a design without a CRS names the option that
    // gives one). Without --points-crs nothing is converted.
    int setUp(const CrsArgs& a, const Design& d, Unit unit, std::FILE* err);
    bool active() const;
    // Each point in place; a point that cannot be transformed becomes a bad line.
    void convert(std::vector<MeasuredPoint>& points, std::vector<BadLine>& bad);
    // What was done: the CRSs, PROJ's operation and accuracy, what became of the heights.
    const std::vector<std::string>& notes() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Each stake also in --out-crs: extra table columns (latitude, longitude for a geographic CRS)
// and the point file's coordinates, both from toOut().
class StakesToCrs {
public:
    StakesToCrs();
    ~StakesToCrs();
    int setUp(const CrsArgs& a, const Design& d, Unit unit, std::FILE* err);
    bool active() const;
    // A design point (metres; ground coordinates where a ground system is set, taken to grid
    // first) in --out-crs: latitude and longitude in decimal degrees for a geographic CRS, else
    // northing and easting in that CRS's unit. False with PROJ's reason.
    bool toOut(double northM, double eastM, double& first, double& second, std::string& error);
    // The columns as StakeoutOptions takes them.
    StakeoutExtraColumns columns(bool csv);
    // The stakes of a point file in --out-crs, with the CRS as the file names it. False with why
    // (a stake PROJ cannot transform; for LandXML, a grid unit other than metre or foot).
    bool pointCoordinates(const std::vector<zel_landxml::StakePoint>& points, bool landXml,
                          zel_landxml::OutCoordinates& out, std::string& error);
    // "latitude and longitude in decimal degrees of WGS 84 (EPSG:4326)", "northing and easting
    // in US survey foot of ...": what a point file's coordinates are.
    std::string coordinatesText() const;
    const std::vector<std::string>& notes() const;

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

// The file's coordinate system as `list` shows it: "coordinate system: EPSG:2229 (NAD83 /
// California zone 5 (ftUS)), vertical datum NAVD88, ..."; nothing when the file names none.
void listCoordinateSystem(const landxml::CoordinateSystem& cs, std::FILE* out);

// Says the notes: on standard error for CSV, else as lines before the table.
void sayNotes(const std::vector<std::string>& notes, bool csv, std::FILE* table, std::FILE* err);

}  // namespace road

namespace road {

// velmor-road factors FILE [--at STATION]: grid scale factor, convergence, elevation factor and
// combined factor at a station, or their least and greatest over the alignment.
struct FactorsArgs {
    std::string file;
    std::string at;         // a design station; empty: over the whole alignment
    double interval = NAN;  // the stations sampled over the alignment (table unit); NaN: default
    CrsArgs crs;            // --crs and the ground options
};
CLI::App* addFactors(CLI::App& app, FactorsArgs& a);
int runFactors(const FactorsArgs& a, const Common& c, std::FILE* out, std::FILE* err);

}  // namespace road
