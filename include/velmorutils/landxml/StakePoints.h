#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/AlntStakeout.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

namespace zel_math {
class CRoadCorridor;
}

namespace zel_landxml {

// Stake points for a data collector: every stake of a stake-out as a numbered point with a
// description a crew reads, written as PNEZD / PENZD text or as LandXML CgPoints, and read back.
// The road tool and the Python module both make their points here, so the two agree point for
// point.

// One stake. Lengths in metres, plane north first, east second.
struct StakePoint {
    long long number = 0;
    double chainage = 0.0;  // running chainage
    double offset = 0.0;    // right of increasing chainage positive
    double north = 0.0;
    double east = 0.0;
    double height = kNone;  // design height; NaN where the design gives none (no profile)
    // The point's code: a key point ("TS", "SC", "PC", ...), "CL" on the centre line, a section
    // point's code ("ETW": a code row, or an offset within 1 mm of a coded section point), or
    // "O" for a plain offset.
    std::string code;
    std::string station;      // the station text, "0+100.00"
    std::string description;  // "CL 0+100.00", "ETW R 0+100.00", "O 3.50 L 0+100.00"
};

// What to stake. Offsets in metres (right positive), in the order given; codes are section point
// codes, staked on each side where the section model has them.
struct StakePointOptions {
    TAlntStakeoutRequest request;  // stations: the library's one stake-out rule
    std::vector<double> offsets{0.0};
    std::vector<std::string> codes;
    long long startNumber = 1;
    StationStyle style;  // station text and the unit of offsets in descriptions
    // The section model: heights at each stake's own offset (NaN off the model, never the
    // centre line's), a code row's the section point's own. Null: the centre line's design
    // height on every stake, and no codes.
    const zel_math::CRoadCorridor* corridor = nullptr;
};

// The most stakes one call makes (a point file a data collector still loads).
inline constexpr std::size_t kMaxStakePoints = 10000000;
// Point numbers stay below this, so every field software's number field holds them.
inline constexpr long long kMaxPointNumber = 999999999;

// The description of a stake: its code (or "O" and the offset for a plain offset row, left or
// right, in the style's unit to 2 decimals), the side of a code off the centre line, the station
// text, and "back" / "ahead" on the two rows of an angle point or equation.
//   "CL 0+100.00", "SC 0+869.59", "ETW R 0+100.00", "O 3.50 L 0+100.00"
std::string stakeDescription(const std::string& code, double offsetM, const std::string& station,
                             TAlntJointSide side, const StationStyle& style);

// Every stake in table order: station by station (alntStakeoutStations), at each station the
// offsets as given, then every section point of the codes (compared without regard to case; of
// points within 1 mm of each other the upper) left to right, as the stake-out table stakes
// them. Numbered from startNumber.
// False with a message when a station cannot be evaluated, a code is asked for without a
// section model, there would be more than kMaxStakePoints points or numbers beyond
// kMaxPointNumber.
bool stakePoints(const CAlnt& alnt, const Stationing& stationing, const StakePointOptions& options,
                 std::vector<StakePoint>& points, std::string& error);

enum class PointFormat { Pnezd, Penzd, LandXml };
// "pnezd", "penzd", "landxml"; false for anything else.
bool pointFormatFromText(const std::string& text, PointFormat& format);

// The points as a file in `unit`: northing and easting to 4 decimals, heights to 3 (an empty
// field, or a CgPoint of two numbers, where there is none).
//  - Pnezd / Penzd: one line per point, comma separated, no header (field software imports the
//    first line as a point); a description with a comma or a quote is quoted.
//  - LandXml: LandXML 1.2 with Units (the unit), the design file's coordinate system (Model.h)
//    when it names one, and one
//    CgPoints of CgPoint elements (name = the number, code, desc; text "north east height").
std::string pointFileText(const std::vector<StakePoint>& points, PointFormat format,
                          LinearUnit unit, const CoordinateSystem& cs = {});

// The stakes' plane coordinates in a coordinate system other than the design's, for a rover that
// stakes in it (latitude and longitude of GNSS, another grid). The road tool's PROJ component
// transforms them; this only writes them.
struct OutCoordinates {
    // Latitude and longitude in decimal degrees, written to kDegreeDecimals; else northing and
    // easting in the CRS's own unit (`unit`), written to kGridDecimals.
    bool geographic = false;
    LinearUnit unit = LinearUnit::Meter;  // a projected CRS's unit (unused when geographic)
    CoordinateSystem cs;                  // the CRS as the LandXML file names it
    // One per point, in the points' order: latitude or northing first, longitude or easting
    // second.
    std::vector<std::pair<double, double>> coordinates;
};
// Decimals of coordinates in another CRS: 1e-9 degree is 0.1 mm on the ground, 4 decimals of a
// grid unit 0.1 mm (metre) or 0.03 mm (foot).
inline constexpr int kDegreeDecimals = 9;
inline constexpr int kGridDecimals = 4;

// The points as a file with their coordinates in another CRS; number, height and description
// as above.
//  - Pnezd / Penzd: N and E are `out.coordinates` (latitude and longitude for a geographic CRS);
//    heights in `unit`.
//  - LandXml: the CoordinateSystem element is out.cs; a geographic CRS's CgPoints read
//    "latitude longitude height" (Units: the angular unit decimal degrees, heights in `unit`), a
//    projected one's "northing easting height" all in out.unit, which the Units element names.
// Empty when out.coordinates does not hold one pair per point.
std::string pointFileText(const std::vector<StakePoint>& points, PointFormat format,
                          LinearUnit unit, const OutCoordinates& out);

// A point of a LandXML CgPoints list, in the file's unit as written.
struct CgPointRecord {
    std::string name, code, desc;
    double north = 0.0, east = 0.0, height = kNone;
    int line = 0;
};
struct CgPointList {
    LinearUnit unit = LinearUnit::Meter;  // the file's Units, metres when it has none
    // The file's CoordinateSystem (a point file written in another CRS than its design's names
    // it); empty when it names none.
    CoordinateSystem coordinateSystem;
    std::vector<CgPointRecord> points;
    // A CgPoint that is not a point (fewer than two numbers, a value beyond the bounds): its
    // line and why. The others are still read.
    std::vector<std::pair<int, std::string>> bad;
};
// Reads every CgPoint of every CgPoints of LandXML text, in file order. False with "line N: ..."
// when the text is not XML, its unit is not one of the three, or it holds no CgPoints.
bool readCgPoints(const std::string& text, CgPointList& list, std::string& error);

}  // namespace zel_landxml
