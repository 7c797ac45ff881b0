// The road tool with coordinate systems: GNSS points in latitude and longitude located on a
// State Plane design, stakes given in latitude and longitude, ground coordinates, factors.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "StatePlaneRoad.h"
#include "ToolRun.h"
#include "support/FilesScratch.h"

#if VELMOR_ROAD_WITH_PROJ
#include <velmorutils/proj/CrsTransform.h>
#endif

namespace {

constexpr double kUsFootM = 1200.0 / 3937.0;
constexpr double kMillimetreFt = 0.001 / kUsFootM;

#if VELMOR_ROAD_WITH_PROJ

struct Stake {
    std::string station;
    double chainage, offset, lat, lon, height;
};

// The values of the CSV column whose header starts with `name` ("chainage" finds
// "chainage_usft"), NaN where a row leaves it empty.
std::vector<double> column(const ToolRun& r, const std::string& name) {
    EXPECT_EQ(r.code, 0) << r.err;
    const auto rows = CsvRows(r.out);
    std::vector<double> v;
    for (size_t c = 0; !rows.empty() && c < rows[0].size(); ++c)
        if (rows[0][c].rfind(name, 0) == 0)
            for (size_t i = 1; i < rows.size(); ++i)
                v.push_back(rows[i][c].empty() ? NAN : std::stod(rows[i][c]));
    return v;
}

// The stake-out in latitude and longitude (CSV columns: station, chainage, offset, ... latitude,
// longitude last).
std::vector<Stake> stakes(const std::string& file, std::vector<std::string> extra) {
    std::vector<std::string> args{"stakeout",  file,         "--interval", "50",
                                  "--offsets", "-36,0,24.5", "--csv",      "--out-crs"};
    args.insert(args.end(), extra.begin(), extra.end());
    const ToolRun r = RunTool(args);
    EXPECT_EQ(r.code, 0) << r.err;
    std::vector<Stake> out;
    const auto rows = CsvRows(r.out);
    for (size_t i = 1; i < rows.size(); ++i)
        out.push_back({rows[i][0], std::stod(rows[i][1]), std::stod(rows[i][2]),
                       std::stod(rows[i][10]), std::stod(rows[i][11]), std::stod(rows[i][5])});
    EXPECT_GT(out.size(), 120u);
    return out;
}

// The stakes as a rover's file of latitudes and longitudes (and `heights`), named by station.
std::string rover(const std::vector<Stake>& s, const std::vector<double>& heights = {}) {
    std::string text = heights.empty() ? "name,lat,lon\n" : "";
    for (size_t i = 0; i < s.size(); ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "%s,%.9f,%.9f", s[i].station.c_str(), s[i].lat, s[i].lon);
        text += line + (heights.empty() ? "" : "," + std::to_string(heights[i])) + "\n";
    }
    return text;
}

// The tool run on the design sp.xml and the rover file rover.csv, its points in latitude and
// longitude.
ToolRun onRover(const FilesScratch& dir, const char* command, std::vector<std::string> extra) {
    std::vector<std::string> args{
        command,        dir.native("sp.xml"), dir.native("rover.csv"), "--columns", "PNE",
        "--points-crs", "EPSG:4326"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool(args);
}

// The largest difference between a rover run's chainages and offsets and its stakes'.
double worstFromStakes(const std::vector<Stake>& s, const ToolRun& r) {
    const std::vector<double> ch = column(r, "chainage"), off = column(r, "offset");
    EXPECT_EQ(ch.size(), s.size());
    double worst = ch.size() == s.size() ? 0.0 : INFINITY;
    for (size_t i = 0; i < s.size() && i < ch.size(); ++i)
        worst = std::fmax(
            worst, std::fmax(std::fabs(ch[i] - s[i].chainage), std::fabs(off[i] - s[i].offset)));
    return worst;
}

TEST(RoadCrs, GnssShotsOfStakesComeBackToTheirStationsAndOffsets) {
    FilesScratch dir;
    dir.write("sp.xml",
              statePlaneRoad(R"(<CoordinateSystem epsgCode="2229" horizontalDatum="NAD83"/>)"));
    const std::vector<Stake> s = stakes(dir.native("sp.xml"), {"EPSG:4326"});
    dir.write("rover.csv", rover(s));
    EXPECT_LT(worstFromStakes(s, onRover(dir, "station-offset", {"--csv"})), kMillimetreFt);
    // The table says how the points were carried.
    EXPECT_TRUE(Says(onRover(dir, "station-offset", {}).out,
                     "points: EPSG:4326 (WGS 84) to EPSG:2229 (NAD83 / California zone 5 (ftUS)) "
                     "by PROJ's '"));
}

TEST(RoadCrs, GroundCoordinatesAreConvertedBothWays) {
    FilesScratch dir;
    dir.write("sp.xml", statePlaneRoad(R"(<CoordinateSystem epsgCode="2229"/>)"));
    const std::vector<std::string> ground{"--csv", "--ground-scale", "0.99995", "--ground-origin",
                                          "1839000,6484000"};
    const std::vector<Stake> s =
        stakes(dir.native("sp.xml"), {"EPSG:4326", ground[1], ground[2], ground[3], ground[4]});
    dir.write("rover.csv", rover(s));
    EXPECT_LT(worstFromStakes(s, onRover(dir, "station-offset", ground)), kMillimetreFt);
    // Without the ground system on the way back, 50 ppm over about 1.5 km shows.
    EXPECT_GT(worstFromStakes(s, onRover(dir, "station-offset", {"--csv"})), 0.02);
}

TEST(RoadCrs, EllipsoidalHeightsReachTheDesignsGeoidHeights) {
    FilesScratch dir;
    dir.write("sp.xml",
              statePlaneRoad(R"(<CoordinateSystem epsgCode="2229" verticalDatum="EGM96"/>)"));
    const std::vector<Stake> s = stakes(dir.native("sp.xml"), {"EPSG:4326"});
    zel_proj::CrsTransform toEllipsoid;
    std::string error;
    ASSERT_TRUE(toEllipsoid.create("EPSG:4326+5773", "EPSG:4979", error)) << error;
    std::vector<double> heights;
    for (const Stake& k : s) {
        double lat = k.lat, lon = k.lon, h = k.height * kUsFootM;
        ASSERT_TRUE(toEllipsoid.forward(lat, lon, &h));
        heights.push_back(h / kUsFootM);
    }
    dir.write("rover.csv", rover(s, heights));
    const ToolRun r = RunTool({"station-offset", dir.native("sp.xml"), dir.native("rover.csv"),
                               "--columns", "PNEZ", "--points-crs", "EPSG:4979", "--csv"});
    EXPECT_TRUE(Says(r.err, "heights: converted to EGM96 height"));
    EXPECT_TRUE(Says(RunTool({"list", dir.native("sp.xml")}).out,
                     "coordinate system: EPSG:2229 (NAD83 / California zone 5 (ftUS)), "
                     "vertical datum EGM96"));
    // Every height difference is within a millimetre: the geoid's 35 m (115 ft) were taken off.
    // A shot a hair before the start has no design height.
    size_t compared = 0;
    for (const double dh : column(r, "cut_fill_usft")) {
        if (std::isnan(dh)) continue;
        EXPECT_LT(std::fabs(dh), kMillimetreFt);
        ++compared;
    }
    EXPECT_GT(compared, 120u);
}
TEST(RoadCrs, FactorsAtAStationAndOverTheRoad) {
    FilesScratch dir;
    dir.write("sp.xml", statePlaneRoad(R"(<CoordinateSystem epsgCode="2229"/>)"));
    const ToolRun one = RunTool({"factors", dir.native("sp.xml"), "--at", "25+00", "--csv"});
    const auto rows = CsvRows(one.out);
    ASSERT_EQ(rows.size(), 2u) << one.err;
    ASSERT_EQ(rows[0][7], "grid_scale_factor");
    const double k = std::stod(rows[1][7]), e = std::stod(rows[1][9]), c = std::stod(rows[1][10]);
    EXPECT_NEAR(c, k * e, 2e-10);
    // About 354 ft up the elevation factor is R / (R + h), R = 6 370 200 m at 34 degrees (the
    // design height taken as ellipsoidal: the file names no vertical datum).
    EXPECT_NEAR(e, 6370200.0 / (6370200.0 + std::stod(rows[1][3]) * kUsFootM), 1e-9);
    // --ground-at that station takes K as exactly that combined factor.
    const ToolRun ground = RunTool({"factors", dir.native("sp.xml"), "--at", "25+00", "--ground-at",
                                    rows[1][1] + "," + rows[1][2] + "," + rows[1][3]});
    ASSERT_EQ(ground.code, 0) << ground.err;
    const std::string scaled = "(ground - origin) x ";
    const size_t at = ground.out.find(scaled);
    ASSERT_NE(at, std::string::npos) << ground.out;
    // The height typed is the table's, rounded to 0.001 ft: 1.5e-10 in the factor.
    EXPECT_NEAR(std::stod(ground.out.substr(at + scaled.size())), c, 3e-10) << ground.out;
    const auto r = CsvRows(RunTool({"factors", dir.native("sp.xml"), "--csv"}).out);
    ASSERT_EQ(r.size(), 5u);

    EXPECT_EQ(r[4][0], "combined_factor");
    EXPECT_LT(std::stod(r[4][1]), std::stod(r[4][3]));
    EXPECT_LE(std::stod(r[4][1]), c);
    EXPECT_GE(std::stod(r[4][3]), c);
}

TEST(RoadCrs, ADesignWithoutACrsIsRefusedNamingTheOption) {
    FilesScratch dir;
    dir.write("plain.xml", statePlaneRoad(""));
    dir.write("rover.csv", "p1,34.05,-118.25\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"station-offset", dir.native("plain.xml"),
                                   dir.native("rover.csv"), "--points-crs", "EPSG:4326"},
          std::vector<std::string>{"stakeout", dir.native("plain.xml"), "--out-crs", "EPSG:4326",
                                   "--points-out", dir.native("p.csv")},
          std::vector<std::string>{"factors", dir.native("plain.xml")}}) {
        const ToolRun r = RunTool(args);
        EXPECT_EQ(r.code, 2) << args[0];
        EXPECT_TRUE(Says(r.err, "give it with --crs CRS"));
    }
    EXPECT_FALSE(dir.exists("p.csv"));  // refused before any point file is written
    // --crs supplies it; a CRS PROJ does not know is refused with its text.
    const ToolRun ok =
        RunTool({"station-offset", dir.native("plain.xml"), dir.native("rover.csv"), "--columns",
                 "PNE", "--points-crs", "EPSG:4326", "--crs", "EPSG:2229"});
    EXPECT_EQ(ok.code, 0) << ok.err;
    const ToolRun bad = RunTool(
        {"stakeout", dir.native("plain.xml"), "--out-crs", "EPSG:4326", "--crs", "EPSG:999999"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(Says(bad.err, "EPSG:999999"));
    const ToolRun scale = RunTool({"stakeout", dir.native("plain.xml"), "--ground-scale", "1.2"});
    EXPECT_EQ(scale.code, 2);
    EXPECT_TRUE(Says(scale.err, "--ground-scale must lie between 0.99 and 1.01"));
}

#else

TEST(RoadCrs, WithoutProjTheOptionsAreRefused) {
    FilesScratch dir;
    dir.write("sp.xml", statePlaneRoad(R"(<CoordinateSystem epsgCode="2229"/>)"));
    const ToolRun r = RunTool({"stakeout", dir.native("sp.xml"), "--out-crs", "EPSG:4326",
                               "--points-out", dir.native("p.csv")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(Says(r.err, "built without PROJ"));
    EXPECT_FALSE(dir.exists("p.csv"));
}

#endif

}  // namespace
