// Stake points in another coordinate system: the point file a GNSS rover loads carries the same
// latitude and longitude as the stake-out table, and the tool reads it back onto the stakes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "StatePlaneRoad.h"
#include "ToolRun.h"
#include "support/FilesScratch.h"

namespace {

const std::string kCs = R"(<CoordinateSystem epsgCode="2229"/>)";

#if VELMOR_ROAD_WITH_PROJ

std::vector<std::string> stakeout(const FilesScratch& dir, const std::string& out,
                                  const std::string& format, bool outCrs) {
    std::vector<std::string> args{
        "stakeout", dir.native("sp.xml"), "--interval",    "100",      "--offsets", "-36,0,24.5",
        "--csv",    "--points-out",       dir.native(out), "--format", format};
    if (outCrs) args.insert(args.end(), {"--out-crs", "EPSG:4326"});
    const ToolRun r = RunTool(args);
    EXPECT_EQ(r.code, 0) << r.err;
    return {r.out, r.err};
}

TEST(OutCrsPoints, PointFileHoldsTheTablesLatitudeAndLongitude) {
    FilesScratch dir;
    dir.write("sp.xml", statePlaneRoad(kCs));
    const auto grid = stakeout(dir, "grid.csv", "pnezd", false);
    const auto geo = stakeout(dir, "p.csv", "pnezd", true);

    EXPECT_TRUE(Says(geo[1], "latitude and longitude in decimal degrees of EPSG:4326"));
    const auto table = CsvRows(geo[0]), plain = CsvRows(dir.read("grid.csv"));
    const auto points = CsvRows(dir.read("p.csv"));
    ASSERT_EQ(table.size(), points.size() + 1);
    ASSERT_EQ(points.size(), plain.size());
    ASSERT_GT(points.size(), 60u);
    for (size_t i = 0; i < points.size(); ++i) {
        const auto& t = table[i + 1];
        // N and E are the table's columns to the digit; number, height and description those
        // of the file in the design's grid.
        EXPECT_EQ(points[i][1], t[10]) << i;
        EXPECT_EQ(points[i][2], t[11]) << i;

        EXPECT_EQ(points[i][1].size() - points[i][1].find('.'), 10u) << "9 decimals";
        for (const size_t f : {0u, 3u, 4u})
            EXPECT_EQ(points[i][f], plain[i][f]) << i;
    }
    // CL 10+00.00 (N 1840000, E 6485000 ftUS) by Debian's PROJ 9.1.1:
    //   echo "6485000 1840000" | cs2cs -f %.10f EPSG:2229 EPSG:4326
    ASSERT_EQ(points[1][4], "CL 10+00.00");
    EXPECT_NEAR(std::stod(points[1][1]), 34.0481461293, 1e-8);
    EXPECT_NEAR(std::stod(points[1][2]), -118.2530865346, 1e-8);
}

// The LandXML point file names its CRS; check reads it back through it onto the stakes: each
// shot at its stake's offset, on the design height (lat/lon, and a metre UTM grid whose heights
// are converted from the design's feet).
TEST(OutCrsPoints, LandXmlPointsReadBackOntoTheirStakes) {
    FilesScratch dir;
    dir.write("sp.xml", statePlaneRoad(kCs));
    stakeout(dir, "p.xml", "landxml", true);
    const std::string xml = dir.read("p.xml");
    EXPECT_TRUE(Says(xml, R"(epsgCode="4326")"));
    EXPECT_TRUE(Says(xml, R"(angularUnit="decimal degrees")"));
    EXPECT_TRUE(Says(xml, ">34.048146129 -118.253086535 300.000<"));
    const ToolRun utm = RunTool({"stakeout", dir.native("sp.xml"), "--interval", "100", "--offsets",
                                 "-36,0,24.5", "--points-out", dir.native("u.xml"), "--format",
                                 "landxml", "--out-crs", "EPSG:32611"});
    ASSERT_EQ(utm.code, 0) << utm.err;
    EXPECT_NE(dir.read("u.xml").find(R"(linearUnit="meter")"), std::string::npos);
    for (const char* file : {"p.xml", "u.xml"}) {
        const ToolRun r = RunTool(
            {"check", dir.native("sp.xml"), dir.native(file), "--csv", "--offsets", "-36,0,24.5"});
        ASSERT_EQ(r.code, 0) << r.err;
        const auto rows = CsvRows(r.out);
        size_t points = 0;
        for (size_t at = 0; (at = xml.find("<CgPoint ", at + 1)) != std::string::npos;)
            ++points;
        ASSERT_EQ(rows.size(), points + 1) << file;
        for (size_t i = 1; i < rows.size(); ++i) {
            EXPECT_NEAR(std::stod(rows[i][4]), 0.0, 0.0005) << file << " " << rows[i][0];
            EXPECT_NEAR(std::stod(rows[i][5]), 0.0, 0.002) << file << " " << rows[i][0];
        }
    }
}

#endif

}  // namespace
