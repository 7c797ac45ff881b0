#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "RoadTool.h"
#include "ToolRun.h"
#include "support/FilesScratch.h"

// The road tool with a section model, on the example Ridge Road: 200 m north from 1000 N
// 5000 E at a 1 % grade from 50.000, lanes 3.50 m at -2.5 %, shoulders 1.00 m at -4 % ending in
// the hinge, sections every 25 m with the design's daylight points; the ground a TIN folded
// along the centre line, 0.30 m above grade there, rising 10 % to the left and falling 15 % to
// the right.
namespace {

const std::string kExamples = (std::filesystem::path(VELMORUTILS_SOURCE_DIR) / "examples").string();
const std::string kRidge = kExamples + "/ridge-road-m.xml";
const std::string kShots = kExamples + "/ridge-shots-m.csv";

double grade(double ch) {
    return 50.0 + 0.01 * ch;
}
// The design's own cross fall, closed form.
double crossFall(double off) {
    const double a = std::fabs(off);
    return -0.025 * std::min(a, 3.5) - 0.04 * std::max(0.0, std::min(a, 4.5) - 3.5);
}
// Catch points, closed form: left cut 2:1 rising to meet the ground rising 10 %; right fill 3:1
// falling to meet the ground falling 15 %.
const double kHinge = crossFall(4.5);  // below grade
const double kCatchLeft = (0.3 - kHinge + 4.5 / 2.0) / (0.5 - 0.1);
const double kCatchRight = (4.5 / 3.0 + kHinge - 0.3) / (1.0 / 3.0 - 0.15);

}  // namespace

TEST(SectionsCli, StakeoutOffsetRowsCarryTheDesignHeightAtTheirOffset) {
    const ToolRun r =
        RunTool({"stakeout", kRidge, "--offsets=-4,-3.5,0,2,4.5", "--interval", "50", "--csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto rows = CsvRows(r.out);
    ASSERT_EQ(rows.size(), 1u + 5 * 5);

    for (size_t i = 1; i < rows.size(); ++i) {
        const double ch = std::stod(rows[i][1]), off = std::stod(rows[i][2]);
        EXPECT_NEAR(std::stod(rows[i][5]), grade(ch) + crossFall(off), 0.0005) << i;
    }
    // The code of the point at the offset, else of the piece's outer end.
    EXPECT_EQ(rows[2].back(), "ETW");
    EXPECT_EQ(rows[3].back(), "CL");
    EXPECT_EQ(rows[4].back(), "ETW");
    // Beyond the last section there is no design height, never the centre line's.
    const ToolRun past = RunTool({"stakeout", kRidge, "--offsets=3", "--interval", "50", "--csv",
                                  "--from", "0+150", "--to", "0+250"});
    ASSERT_EQ(past.code, 0) << past.err;
    EXPECT_EQ(CsvRows(past.out).size(), 3u);  // the road ends at 0+200
}

// The stake points written beside are the table's rows, in order, described by code and side.
TEST(SectionsCli, CodesStakeTheSectionPointsOfEachSide) {
    FilesScratch dir;
    const ToolRun r = RunTool({"stakeout", kRidge, "--codes", "etw,Hinge", "--interval", "100",
                               "--csv", "--points-out", dir.native("p.csv")});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto rows = CsvRows(r.out), points = CsvRows(dir.read("p.csv"));
    ASSERT_EQ(rows.size(), 1u + 3 * 5) << r.out;  // 0, 100, 200: CL and four points each
    ASSERT_EQ(points.size(), rows.size() - 1);
    const struct {
        double off;
        const char* code;
    } want[] = {{0, "CL"}, {-4.5, "Hinge"}, {-3.5, "ETW"}, {3.5, "ETW"}, {4.5, "Hinge"}};
    for (size_t i = 1; i < rows.size(); ++i) {
        const auto& w = want[(i - 1) % 5];
        const double ch = std::stod(rows[i][1]);
        EXPECT_NEAR(std::stod(rows[i][2]), w.off, 1e-9) << i;
        EXPECT_EQ(rows[i].back(), w.code) << i;
        EXPECT_NEAR(std::stod(rows[i][5]), grade(ch) + crossFall(w.off), 0.0005) << i;
        // The point is staked where its offset puts it, square to the road (east here).
        EXPECT_NEAR(std::stod(rows[i][4]), 5000.0 + w.off, 1e-4) << i;
        const auto& p = points[i - 1];
        EXPECT_EQ(std::vector<std::string>(p.begin() + 1, p.begin() + 4),
                  std::vector<std::string>(rows[i].begin() + 3, rows[i].begin() + 6));
        const std::string want =
            w.off == 0 ? "CL" : w.code + std::string(w.off < 0 ? " L " : " R ");
        EXPECT_EQ(p[4].substr(0, want.size()), want) << i;
    }
    const ToolRun none = RunTool({"stakeout", kRidge, "--codes", "BackCurb", "--csv"});
    EXPECT_EQ(none.code, 0);
    EXPECT_TRUE(Says(none.err, "'BackCurb' is at no station; codes: Daylight, Hinge, ETW, CL"));
}

TEST(SectionsCli, SlopeStakesMeetTheGroundWhereTheClosedFormDoes) {
    const ToolRun r = RunTool(
        {"slope-stake", kRidge, "--ground", "Existing ground", "--interval", "100", "--csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto rows = CsvRows(r.out);
    ASSERT_EQ(rows.size(), 1u + 3 * 2);

    for (size_t i = 1; i < rows.size(); ++i) {
        const auto& f = rows[i];
        const bool right = f[2] == "right";
        const double ch = std::stod(f[1]), x = right ? kCatchRight : -kCatchLeft;
        EXPECT_EQ(f[2], i % 2 ? "left" : "right");
        EXPECT_NEAR(std::stod(f[3]), right ? 4.5 : -4.5, 1e-9);
        EXPECT_NEAR(std::stod(f[4]), grade(ch) + kHinge, 0.0005);
        EXPECT_NEAR(std::stod(f[5]), x, 0.0005) << f[0];
        EXPECT_NEAR(std::stod(f[8]), 5000.0 + x, 0.00005);
        EXPECT_NEAR(std::stod(f[9]), right ? 3.0 : 2.0, 1e-4);
        // Cut on the left (catch above the hinge), fill on the right.
        const double cutFill = right ? -(kCatchRight - 4.5) / 3.0 : (kCatchLeft - 4.5) / 2.0;
        EXPECT_NEAR(std::stod(f[10]), cutFill, 0.0005);
        EXPECT_NEAR(std::stod(f[13]), 0.0, 0.0005);  // the file's daylight agrees
    }
    // The crew's stakes 3 m beyond the catch: ground there minus the hinge.
    const ToolRun text =
        RunTool({"slope-stake", kRidge, "--ground", "Existing ground", "--to", "0+000"});
    ASSERT_EQ(text.code, 0) << text.err;
    const double stakeL = kCatchLeft + 3.0, stakeR = kCatchRight + 3.0;
    char left[64], right[64];
    std::snprintf(left, sizeof left, "C %.2f @ %.2f L", 0.3 + 0.1 * stakeL - kHinge, stakeL);
    std::snprintf(right, sizeof right, "F %.2f @ %.2f R", -(0.3 - 0.15 * stakeR - kHinge), stakeR);
    EXPECT_TRUE(Says(text.out, left));
    EXPECT_TRUE(Says(text.out, right));
}

TEST(SectionsCli, NoCatchWithinTheSearchIsARowThatSaysSo) {
    // The right side catches 1.35 m beyond its hinge, the left 2.19 m: a 2 m search finds only
    // the right one.
    const ToolRun r = RunTool({"slope-stake", kRidge, "--ground", "Existing ground", "--search",
                               "2", "--interval", "25", "--to", "0+025", "--csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto rows = CsvRows(r.out);
    ASSERT_EQ(rows.size(), 5u);
    for (size_t i = 1; i < rows.size(); ++i) {
        const bool right = rows[i][2] == "right";
        EXPECT_EQ(rows[i][5].empty(), !right) << i;  // no catch offset on the left
        EXPECT_EQ(rows[i][10].empty(), !right) << i;
        EXPECT_FALSE(rows[i][3].empty());  // the hinge is there all the same
    }
    const ToolRun text = RunTool(
        {"slope-stake", kRidge, "--ground", "Existing ground", "--search", "2", "--to", "0+000"});
    EXPECT_NE(SplitFields(text.out, '\n')[1].find("no catch"), std::string::npos) << text.out;
    EXPECT_TRUE(Says(text.err, "1 caught, 1 without a catch"));
}

TEST(SectionsCli, StationOffsetSaysCutOrFillAgainstTheDesignAtTheShot) {
    const ToolRun r = RunTool({"station-offset", kRidge, kShots, "--corridor", "30"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto lines = SplitFields(r.out, '\n');
    EXPECT_TRUE(Says(lines[0], "design height [m]"));
    // R1 is 0.012 above the left lane 2 m out, R3 0.021 below the right one; R4 0.250 above
    // the lane 3.2 m right (where the centre line's height would give another number).
    EXPECT_TRUE(Says(lines[1], "C 0.012"));
    EXPECT_TRUE(Says(lines[3], "F 0.021"));
    EXPECT_TRUE(Says(lines[4], " 50.820 "));
    EXPECT_TRUE(Says(lines[4], "C 0.250"));
    // Off the road: echoed, but neither a design height nor a cut or fill.
    EXPECT_EQ(lines[6].rfind("R6", 0), 0u);
    EXPECT_TRUE(Says(lines[6], "49.000"));
    EXPECT_TRUE(Says(lines[6], "-               -         offRoad"));
    const ToolRun c = RunTool({"station-offset", kRidge, kShots, "--corridor", "30", "--csv"});
    const auto rows = CsvRows(c.out);
    EXPECT_EQ(rows[3][8], "-0.021");

    EXPECT_EQ(rows[6][7], "");
    EXPECT_EQ(rows[6][8], "");
}

TEST(SectionsCli, BadOptionsAreRefusedWithWhatIsWrong) {
    const std::string& r = kRidge;
    const std::string eg = "Existing ground";
    const struct {
        int code;
        const char* says;
        std::vector<std::string> args;
    } cases[] = {
        {2, "--section-heights", {"stakeout", r, "--section-heights", "sideways"}},
        {2, "excludes", {"stakeout", r, "--template", "t.ini", "--design-surface", "X"}},
        {2, "need a ground", {"slope-stake", r}},
        {2, "need a design model", {"slope-stake", "builtin", "--ground-file", r}},
        {2, "no section model", {"stakeout", "builtin", "--codes", "ETW"}},

        {2, "--search must lie between", {"slope-stake", r, "--ground", eg, "--search", "0"}},
        {2, "between 0 m and 1000 m", {"slope-stake", r, "--ground", eg, "--stake-offset", "-1"}},
        {1, "Bedrock", {"slope-stake", r, "--ground", "Bedrock"}},
        {2, "FROM..TO", {"plot", r, "--sections", "0+050", "-o", "x.png"}},
        {2, "FROM lies after TO", {"plot", r, "--sections", "0+150..0+050", "-o", "x.png"}},
    };
    for (const auto& c : cases) {
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.code, c.code) << c.args[1] << " " << run.err;
        EXPECT_TRUE(Says(run.err, c.says));
        EXPECT_EQ(run.out, "");
    }
}

TEST(SectionsCli, PlotDrawsOneSectionPerFileSection) {
    FilesScratch dir;
    const ToolRun r = RunTool({"plot", kRidge, "--sections", "0+000..0+050", "--ground",
                               "Existing ground", "-o", dir.native("s.svg")});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string svg = dir.read("s.svg");
    for (const char* station : {">0+000.00<", ">0+025.00<", ">0+050.00<"})
        EXPECT_TRUE(Says(svg, station));
    EXPECT_EQ(svg.find(">0+075.00<"), std::string::npos);
    // Catch points labelled as the crew reads them, the codes at their points.
    char left[32];
    std::snprintf(left, sizeof left, "C %.3f @ %.2f L", (kCatchLeft - 4.5) / 2.0, kCatchLeft);
    EXPECT_TRUE(Says(svg, left));
    EXPECT_TRUE(Says(svg, "class=\"code\""));
    // More sections than a sheet holds: one PNG per sheet.
    const ToolRun all = RunTool({"plot", kRidge, "--sections", "..", "-o", dir.native("p.png")});
    ASSERT_EQ(all.code, 0) << all.err;
    EXPECT_TRUE(Says(all.err, "9 sections on 3 sheets"));
    EXPECT_TRUE(std::filesystem::exists(dir.native("p-3.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.native("p.png")));
}
