// The one stake-out rule as the tool uses it: the key points of the built-in road.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolRun.h"

// The built-in road's curve at an intersection point: its key points in the table.
TEST(StakeoutRule, TheBuiltInRoadListsTheKeyPointsOfItsCurveAtAnIntersectionPoint) {
    const ToolRun r = RunTool({"stakeout", "--csv", "--interval", "50", "--offsets=-3,0,3"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<std::string> keys;
    for (const std::vector<std::string>& f : CsvRows(r.out))
        if (f.size() == 10 && f[2] == "0.000" && !f[8].empty()) keys.push_back(f[8] + " " + f[0]);

    const std::vector<std::string> want{
        "Start 0+000.00", "TS 0+150.00", "SC 0+210.00", "CS 0+330.00", "ST 0+390.00",
        "TS 0+490.00",    "SC 0+540.00", "CS 0+630.00", "ST 0+680.00", "POT 0+760.00",
        "TS 0+829.59",    "SC 0+869.59", "CS 1+043.39", "ST 1+083.39", "End 1+202.98"};
    EXPECT_EQ(keys, want) << r.out;
}
