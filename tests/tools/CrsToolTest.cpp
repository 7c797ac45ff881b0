// The road tool with coordinate systems: GNSS points in latitude and longitude located on a
// State Plane design, stakes given in latitude and longitude, ground coordinates, factors.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
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

// The column of a CSV table whose header starts with `name` ("chainage" finds "chainage_usft").
size_t column(const std::vector<std::vector<std::string>>& rows, const std::string& name) {
    for (size_t c = 0; c < rows.at(0).size(); ++c)
        if (rows[0][c].rfind(name, 0) == 0) return c;
    ADD_FAILURE() << "no column " << name;
    return 0;
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
    return out;
}

// The stakes as a rover's file of latitudes and longitudes, named by their stations.
std::string rover(const std::vector<Stake>& s) {
    std::string text = "name,lat,lon\n";
    for (const Stake& k : s) {
        char line[128];
        std::snprintf(line, sizeof line, "%s,%.9f,%.9f\n", k.station.c_str(), k.lat, k.lon);
        text += line;
    }
    return text;
}

// Locates a rover file and compares each point's chainage and offset with its stake's.
void expectBackOnTheStakes(const std::vector<Stake>& s, const std::string& roverFile,
                           std::vector<std::string> args, double tolFt) {
    ASSERT_GT(s.size(), 120u);
    const ToolRun r = RunTool(args);
    ASSERT_EQ(r.code, 0) << r.err;
    const auto rows = CsvRows(r.out);
    ASSERT_EQ(rows.size(), s.size() + 1) << roverFile;
    const size_t ch = column(rows, "chainage"), off = column(rows, "offset");
    double worst = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        worst = std::fmax(worst, std::fabs(std::stod(rows[i + 1][ch]) - s[i].chainage));
        worst = std::fmax(worst, std::fabs(std::stod(rows[i + 1][off]) - s[i].offset));
    }
    EXPECT_LT(worst, tolFt);
}

TEST(RoadCrs, GnssShotsOfStakesComeBackToTheirStationsAndOffsets) {
    FilesScratch dir;
    dir.write("sp.xml",
              statePlaneRoad(R"(<CoordinateSystem epsgCode="2229" horizontalDatum="NAD83"/>)"));
    const std::vector<Stake> s = stakes(dir.native("sp.xml"), {"EPSG:4326"});
    dir.write("rover.csv", rover(s));
    expectBackOnTheStakes(s, "rover.csv",
                          {"station-offset", dir.native("sp.xml"), dir.native("rover.csv"),
                           "--columns", "PNE", "--points-crs", "EPSG:4326", "--csv"},
                          kMillimetreFt);
    // The table says how the points were carried.
    const ToolRun text = RunTool({"station-offset", dir.native("sp.xml"), dir.native("rover.csv"),
                                  "--columns", "PNE", "--points-crs", "EPSG:4326"});
    EXPECT_TRUE(Says(text.out,
                     "points: EPSG:4326 (WGS 84) to EPSG:2229 (NAD83 / California zone 5 "
                     "(ftUS)) by PROJ's '"));
    EXPECT_TRUE(Says(text.out, "NAD83 to WGS 84"));
    // The as-built check takes them the same way: shots on the stakes lie on their design lines.
    const ToolRun r = RunTool({"check", dir.native("sp.xml"), dir.native("rover.csv"), "--columns",
                               "PNE", "--points-crs", "EPSG:4326", "--offsets", "-36,0,24.5",
                               "--tol-h", "0.01", "--csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto rows = CsvRows(r.out);
    ASSERT_EQ(rows.size(), s.size() + 1);
    const size_t h = column(rows, "h_dev");
    double worst = 0.0;
    for (size_t i = 1; i < rows.size(); ++i)
        worst = std::fmax(worst, std::fabs(std::stod(rows[i][h])));
    EXPECT_LT(worst, kMillimetreFt);
}

TEST(RoadCrs, GroundCoordinatesAreConvertedBothWays) {
    FilesScratch dir;
    dir.write("sp.xml", statePlaneRoad(R"(<CoordinateSystem epsgCode="2229"/>)"));
    const std::vector<std::string> ground{"--ground-scale", "0.99995", "--ground-origin",
                                          "1839000,6484000"};
    std::vector<std::string> extra{"EPSG:4326"};
    extra.insert(extra.end(), ground.begin(), ground.end());
    const std::vector<Stake> s = stakes(dir.native("sp.xml"), extra);
    dir.write("rover.csv", rover(s));
    std::vector<std::string> args{"station-offset",
                                  dir.native("sp.xml"),
                                  dir.native("rover.csv"),
                                  "--columns",
                                  "PNE",
                                  "--points-crs",
                                  "EPSG:4326",
                                  "--csv"};
    std::vector<std::string> withGround = args;
    withGround.insert(withGround.end(), ground.begin(), ground.end());
    expectBackOnTheStakes(s, "rover.csv", withGround, kMillimetreFt);
    // Without the ground system on the way back, 50 ppm over about 1.5 km shows.
    const ToolRun plain = RunTool(args);
    ASSERT_EQ(plain.code, 0) << plain.err;
    const auto rows = CsvRows(plain.out);
    EXPECT_GT(std::fabs(std::stod(rows.back()[column(rows, "chainage")]) - s.back().chainage) +
                  std::fabs(std::stod(rows.back()[column(rows, "offset")]) - s.back().offset),
              0.02);
}

TEST(RoadCrs, EllipsoidalHeightsReachTheDesignsGeoidHeights) {
    FilesScratch dir;
    dir.write("sp.xml",
              statePlaneRoad(R"(<CoordinateSystem epsgCode="2229" verticalDatum="EGM96"/>)"));
    const std::vector<Stake> s = stakes(dir.native("sp.xml"), {"EPSG:4326"});
    zel_proj::CrsTransform toEllipsoid;
    std::string error;
    ASSERT_TRUE(toEllipsoid.create("EPSG:4326+5773", "EPSG:4979", error)) << error;
    std::string rover;
    for (const Stake& k : s) {
        double lat = k.lat, lon = k.lon, h = k.height * kUsFootM;
        ASSERT_TRUE(toEllipsoid.forward(lat, lon, &h));
        char line[160];
        std::snprintf(line, sizeof line, "%s,%.9f,%.9f,%.4f\n", k.station.c_str(), k.lat, k.lon,
                      h / kUsFootM);
        rover += line;
    }
    dir.write("rover.csv", rover);
    const ToolRun r = RunTool({"station-offset", dir.native("sp.xml"), dir.native("rover.csv"),
                               "--columns", "PNEZ", "--points-crs", "EPSG:4979", "--csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Says(r.err, "heights: converted to EGM96 height"));
    EXPECT_NE(RunTool({"list", dir.native("sp.xml")})
                  .out.find("coordinate system: EPSG:2229 (NAD83 / California zone 5 (ftUS)), "
                            "vertical datum EGM96"),
              std::string::npos);
    // Every height difference is within a millimetre: the geoid's 35 m (115 ft) were taken off.
    const auto rows = CsvRows(r.out);
    const size_t dh = column(rows, "cut_fill_usft");
    double worst = 0.0;
    size_t compared = 0;
    for (size_t i = 1; i < rows.size(); ++i) {
        if (rows[i][dh].empty()) continue;  // a shot a hair before the start: no design height
        worst = std::fmax(worst, std::fabs(std::stod(rows[i][dh])));
        ++compared;
    }
    EXPECT_LT(worst, kMillimetreFt);
    EXPECT_GT(compared, 120u);
}

TEST(RoadCrs, FactorsAtAStationAndOverTheRoad) {
    FilesScratch dir;
    dir.write("sp.xml", statePlaneRoad(R"(<CoordinateSystem epsgCode="2229"/>)"));
    const ToolRun one = RunTool({"factors", dir.native("sp.xml"), "--at", "25+00", "--csv"});
    ASSERT_EQ(one.code, 0) << one.err;
    const auto rows = CsvRows(one.out);
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_EQ(rows[0][7], "grid_scale_factor");
    const double k = std::stod(rows[1][7]), e = std::stod(rows[1][9]), c = std::stod(rows[1][10]);
    EXPECT_NEAR(c, k * e, 2e-10);
    // Zone 5 between its standard parallels: the scale is a few ppm below 1; about 354 ft up,
    // the elevation factor is R / (R + h), R = 6 370 200 m at 34 degrees (the design height
    // taken as ellipsoidal: the file names no vertical datum).
    const double h = std::stod(rows[1][3]) * kUsFootM;
    EXPECT_NEAR(k, 0.999996, 2e-6);
    EXPECT_NEAR(e, 6370200.0 / (6370200.0 + h), 1e-9);
    // West of the central meridian (-118): the convergence is negative.
    EXPECT_LT(std::stod(rows[1][8]), 0.0);
    // --ground-at that station takes K as exactly that combined factor.
    const ToolRun ground = RunTool({"factors", dir.native("sp.xml"), "--at", "25+00", "--ground-at",
                                    rows[1][1] + "," + rows[1][2] + "," + rows[1][3]});
    ASSERT_EQ(ground.code, 0) << ground.err;
    const std::string scaled = "(ground - origin) x ";
    const size_t at = ground.out.find(scaled);
    ASSERT_NE(at, std::string::npos) << ground.out;
    // The height typed is the table's, rounded to 0.001 ft: 1.5e-10 in the factor.
    EXPECT_NEAR(std::stod(ground.out.substr(at + scaled.size())), c, 3e-10) << ground.out;
    const ToolRun range = RunTool({"factors", dir.native("sp.xml"), "--csv"});
    ASSERT_EQ(range.code, 0) << range.err;
    const auto r = CsvRows(range.out);
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
          std::vector<std::string>{"stakeout", dir.native("plain.xml"), "--out-crs", "EPSG:4326"},
          std::vector<std::string>{"factors", dir.native("plain.xml")}}) {
        const ToolRun r = RunTool(args);
        EXPECT_EQ(r.code, 2) << args[0];
        EXPECT_TRUE(Says(r.err, "give it with --crs CRS"));
    }
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
    const ToolRun r = RunTool({"stakeout", dir.native("sp.xml"), "--out-crs", "EPSG:4326"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(Says(r.err, "built without PROJ"));
}

#endif

}  // namespace
