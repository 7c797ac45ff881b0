// export --check: the check layer carries each shot's deviations and verdicts exactly as the
// check command's table gives them, in every format.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "StatePlaneRoad.h"
#include "ToolRun.h"
#include "support/FilesScratch.h"

namespace {

const std::string kDesign = statePlaneRoad(R"(<CoordinateSystem epsgCode="2229"/>)");

// Against tolerances 0.05 ft and 0.03 ft: 1 on both bounds, 2 just beyond both, 3 without a
// height, 4 high, 6 on the curve; 5 lies beyond the road's start (a bad shot).
const char* kShots =
    "1,1840100.0000,6485000.0500,304.0300,CL\n"
    "2,1840200.0000,6484999.9499,307.9699,CL\n"
    "3,1840300.0000,6485024.5200,,EP\n"
    "4,1840400.0000,6484964.0400,316.1000,EP\n"
    "5,1830000.0000,6485000.0000,0,CL\n"
    "6,1841200.0000,6485100.0000,330.0000,X\n";

// The value of a key in a GeoJSON properties line as OGR writes it: text unquoted, null "null".
std::string property(const std::string& line, const std::string& key) {
    size_t at = line.find("\"" + key + "\": ");
    if (at == std::string::npos) return "?";
    at += key.size() + 4;
    if (line[at] == '"') return line.substr(at + 1, line.find('"', at + 1) - at - 1);
    return line.substr(at, line.find_first_of(",}", at) - at);
}

TEST(ExportCheck, CheckLayerEqualsTheCheckTable) {
    FilesScratch dir;
    dir.write("sp.xml", kDesign);
    dir.write("shots.csv", kShots);
    const std::vector<std::string> options{"--tol-h",   "0.05",       "--tol-v",   "0.03",
                                           "--offsets", "-36,0,24.5", "--columns", "PNEZD"};
    std::vector<std::string> check{"check", dir.native("sp.xml"), dir.native("shots.csv"), "--csv"};
    check.insert(check.end(), options.begin(), options.end());
    const ToolRun table = RunTool(check);
    ASSERT_EQ(table.code, 1) << table.err;
    std::vector<std::string> exp{
        "export", dir.native("sp.xml"),    "--format", "geojson",
        "-o",     dir.native("c.geojson"), "--check",  dir.native("shots.csv")};
    exp.insert(exp.end(), options.begin(), options.end());
    const ToolRun r = RunTool(exp);
    if (r.err.find("without GDAL") != std::string::npos) GTEST_SKIP() << r.err;
    ASSERT_EQ(r.code, 1) << r.err;
    EXPECT_TRUE(Says(r.err, "line 5: shot 5"));
    std::map<std::string, std::string> features;
    for (const std::string& l : SplitFields(dir.read("c.geojson"), '\n'))
        if (property(l, "layer") == "check") features[property(l, "point")] = l;
    const auto rows = CsvRows(table.out);
    ASSERT_EQ(rows.size(), 6u);
    ASSERT_EQ(features.size(), 5u);
    for (size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string>& row = rows[i];
        const std::string& f = features[row[0]];
        EXPECT_EQ(property(f, "station"), row[1]);
        for (const auto& [key, col] : {std::pair{"chainage", 2}, {"offset", 3}, {"h_dev", 4}})
            EXPECT_NEAR(std::stod(property(f, key)), std::stod(row[col]), 5e-5) << key;
        if (row[5].empty())
            EXPECT_EQ(property(f, "v_dev"), "null");
        else
            EXPECT_NEAR(std::stod(property(f, "v_dev")), std::stod(row[5]), 5e-5) << row[0];
        EXPECT_EQ(property(f, "h_result"), row[6]) << row[0];
        EXPECT_EQ(property(f, "v_result"), row[7]) << row[0];
    }
}

TEST(ExportCheck, EveryFormatGetsTheLayerAndTheOptionsAreChecksOwn) {
    FilesScratch dir;
    dir.write("sp.xml", kDesign);
    dir.write("shots.csv", "1,1840100,6485000.01,304\n");
    const ToolRun shp = RunTool({"export", dir.native("sp.xml"), "--format", "shp", "-o",
                                 dir.native("out"), "--check", dir.native("shots.csv")});
    if (shp.err.find("without GDAL") != std::string::npos) GTEST_SKIP() << shp.err;
    ASSERT_EQ(shp.code, 0) << shp.err;
    EXPECT_TRUE(dir.exists("out/check.shp"));
    const ToolRun dxf = RunTool({"export", dir.native("sp.xml"), "--format", "dxf", "-o",
                                 dir.native("c.dxf"), "--check", dir.native("shots.csv")});
    ASSERT_EQ(dxf.code, 0) << dxf.err;
    EXPECT_NE(dir.read("c.dxf").find("\ncheck\n"), std::string::npos);
    // Tolerances need shots, and are bounded as check bounds them, with its message.
    const std::vector<std::string> tol{"--tol-v", "0.0002"};
    const ToolRun alone = RunTool({"export", dir.native("sp.xml"), "--format", "dxf", "-o",
                                   dir.native("d.dxf"), "--tol-h", "0.05"});
    const ToolRun tiny =
        RunTool({"export", dir.native("sp.xml"), "--format", "dxf", "-o", dir.native("d.dxf"),
                 "--check", dir.native("shots.csv"), tol[0], tol[1]});
    const ToolRun checkTiny =
        RunTool({"check", dir.native("sp.xml"), dir.native("shots.csv"), tol[0], tol[1]});
    EXPECT_EQ(alone.code + tiny.code + checkTiny.code, 6);
    EXPECT_EQ(tiny.err.substr(tiny.err.find("--tol-v")),
              checkTiny.err.substr(checkTiny.err.find("--tol-v")));
    EXPECT_FALSE(dir.exists("d.dxf"));
}

}  // namespace
