#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/CAlntStationOffset.h>

#include "RoadTool.h"
#include "SampleRoad.h"
#include "ToolRun.h"

namespace {

// Two designs in metres, coordinates north then east. "Kink": 100 m north, then a 90 degree
// turn to the right without a curve, 100 m east, rising 2 % from 100.000. "Hairpin": 100 m
// north, a 20 m radius half
// circle to the right, 100 m back south, 40 m east of the first straight.
const char* kDesigns =
    "<?xml version=\"1.0\"?>\n<LandXML version=\"1.2\"><Units><Metric linearUnit=\"meter\"/>"
    "</Units><Alignments>\n"
    "<Alignment name=\"Kink\" staStart=\"0\"><CoordGeom>"
    "<Line><Start>0 0</Start><End>100 0</End></Line>"
    "<Line><Start>100 0</Start><End>100 100</End></Line></CoordGeom>"
    "<Profile><ProfAlign name=\"p\"><PVI>0 100</PVI><PVI>200 104</PVI></ProfAlign></Profile>"
    "</Alignment>\n"
    "<Alignment name=\"Hairpin\" staStart=\"0\"><CoordGeom>"
    "<Line><Start>0 0</Start><End>100 0</End></Line>"
    "<Curve rot=\"cw\" radius=\"20\"><Start>100 0</Start><Center>100 20</Center>"
    "<End>100 40</End></Curve>"
    "<Line><Start>100 40</Start><End>0 40</End></Line></CoordGeom></Alignment>\n"
    "</Alignments></LandXML>\n";

}  // namespace

TEST(StationOffsetTool, EveryPointGetsItsStatusStationAndSignedOffset) {
    FilesScratch files;
    const std::string xml = PutFile(files, "designs.xml", kDesigns);
    const std::string pts =
        PutFile(files, "pts.csv",
                "sq,50,-2,,a\nbefore,-20,3\nafter,97,120\nkink,110,-10,103\non,100,50\n"
                "far,50,-40\n");
    const ToolRun csv = RunTool({"station-offset", xml, pts, "--alignment", "Kink", "--csv"});
    ASSERT_EQ(csv.code, 0) << csv.err;
    const auto rows = CsvRows(csv.out);
    ASSERT_EQ(rows.size(), 7u) << csv.out;
    struct Want {
        const char *station, *status;
        double chainage, offset;
    } want[] = {{"0+050.00", "square", 50.0, -2.0},
                {"-0+020.00", "beforeStart", -20.0, 3.0},
                {"0+220.00", "afterEnd", 220.0, 3.0},
                // Outside the right-hand kink, 10 m back and 10 m left of the joint.
                {"0+100.00", "atJoint", 100.0, -std::sqrt(200.0)},
                {"0+150.00", "square", 150.0, 0.0},
                {"0+050.00", "square", 50.0, -40.0}};
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(rows[i + 1][0]);
        ASSERT_EQ(rows[i + 1].size(), 12u);
        EXPECT_EQ(rows[i + 1][4], want[i].station);
        EXPECT_NEAR(std::stod(rows[i + 1][5]), want[i].chainage, 1e-6);
        EXPECT_NEAR(std::stod(rows[i + 1][6]), want[i].offset, 1e-6);
        EXPECT_EQ(rows[i + 1][9], want[i].status);
    }
    EXPECT_EQ(rows[1][10], "a");
    // At the joint the design height is the joint's: the shot is 1 m above it.
    EXPECT_EQ(rows[4][7], "102.000");
    EXPECT_EQ(rows[4][8], "1.000");

    // The shot is echoed as measured.
    EXPECT_EQ(rows[3][1], "97.000000");
    EXPECT_EQ(rows[3][2], "120.000000");
}

TEST(StationOffsetTool, AllFeetListsEveryFootWithinTheCorridor) {
    FilesScratch files;
    const std::string xml = PutFile(files, "designs.xml", kDesigns);
    // Inside the hairpin: 15 m right of the way up, 25 m right of the way down.
    const std::string pts = PutFile(files, "pts.txt", "in 50 15\n");
    const double down = 100.0 + 20.0 * M_PI + 50.0;
    struct Case {
        std::vector<std::string> extra;
        std::vector<std::pair<double, double>> feet;  // chainage, offset
        const char* status;
    } cases[] = {
        {{}, {{50.0, 15.0}}, "square"},
        {{"--corridor", "30", "--all-feet"}, {{50.0, 15.0}, {down, 25.0}}, "square"},
        {{"--corridor", "20", "--all-feet"}, {{50.0, 15.0}}, "square"},
        {{"--corridor", "10", "--all-feet"}, {{NAN, NAN}}, "offRoad"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"station-offset", xml,         pts,   "--alignment",
                                      "Hairpin",        "--columns", "PNE", "--csv"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const ToolRun r = RunTool(args);
        SCOPED_TRACE(args.back());
        ASSERT_EQ(r.code, 0) << r.err;
        const auto rows = CsvRows(r.out);
        ASSERT_EQ(rows.size(), c.feet.size() + 1) << r.out;
        for (size_t i = 0; i < c.feet.size(); ++i) {
            const auto& row = rows[i + 1];
            EXPECT_EQ(row[0], "in");  // the name repeated on every foot
            EXPECT_EQ(row[9], c.status);
            if (std::isnan(c.feet[i].first)) {
                EXPECT_EQ(row[5], "");
                continue;
            }
            EXPECT_NEAR(std::stod(row[5]), c.feet[i].first, 1e-6);
            EXPECT_NEAR(std::stod(row[6]), c.feet[i].second, 1e-6);
        }
    }
    const ToolRun lone = RunTool({"station-offset", xml, pts, "--all-feet"});
    EXPECT_EQ(lone.code, road::kExitUsage);
    EXPECT_TRUE(Says(lone.err, "--corridor"));
}

// More points than one block (65,536), within 150 m of the built-in road and beyond its ends,
// with bad lines between them: every good point has its row, in file order, and each row is the
// library's own answer for that point alone, in metres and in feet.
TEST(StationOffsetTool, ABigFileGivesTheRowsOfEachPointAnsweredAlone) {
    CAlnt alnt;
    road::buildSampleRoad(alnt);
    const CAlntStationOffset inverse(alnt);
    ASSERT_TRUE(inverse.isok()) << inverse.buildError();
    const double start = inverse.getStartChainageInM(), end = inverse.getFinalChainageInM();
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> along(start - 100.0, end + 100.0), across(-150, 150);
    constexpr int kPoints = 70'000;
    constexpr double kFoot = 0.3048;
    for (const double unit : {1.0, kFoot}) {
        SCOPED_TRACE(unit);
        std::string text = "P,N,E\n";
        std::vector<std::pair<double, double>> ne;
        for (int i = 0; i < kPoints; ++i) {
            double n = 0.0, e = 0.0;
            alnt.getPosNeAtChainAndOffsetExtr(along(rng), across(rng), n, e);
            char line[96];
            std::snprintf(line, sizeof line, "P%d,%.4f,%.4f\n", i, n / unit, e / unit);
            text += line;
            ne.emplace_back(std::stod(SplitFields(line, ',')[1]),
                            std::stod(SplitFields(line, ',')[2]));
            if (i % 20'000 == 10) text += "oops,1\n";
        }
        FilesScratch files;
        const std::string pts = PutFile(files, "big.csv", text);
        const ToolRun r = RunTool({"station-offset", "builtin", pts, "--csv", "--columns", "PNE",
                                   "--unit", unit == 1.0 ? "m" : "ft"});
        EXPECT_EQ(r.code, road::kExitBadInput);
        EXPECT_TRUE(Says(r.err, "4 lines could not be read"));
        EXPECT_TRUE(Says(r.err, "line 60016: too few fields"));
        const auto rows = CsvRows(r.out);
        ASSERT_EQ(rows.size(), static_cast<size_t>(kPoints) + 1);
        const char* names[] = {"square", "beforeStart", "afterEnd", "atJoint"};
        for (int i = 0; i < kPoints; ++i) {
            const auto& row = rows[i + 1];
            ASSERT_EQ(row[0], "P" + std::to_string(i));
            TAlntFoot foot;
            ASSERT_TRUE(inverse.findNearest(ne[i].first * unit, ne[i].second * unit, foot));
            ASSERT_EQ(row[9], names[static_cast<int>(foot.status)]) << i;
            ASSERT_NEAR(std::stod(row[5]), foot.chainageInM / unit, 1e-6) << i;
            ASSERT_NEAR(std::stod(row[6]), foot.offsetInM / unit, 1e-6) << i;
        }
    }
}
