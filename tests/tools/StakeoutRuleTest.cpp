// The one stake-out rule and the one evaluation, as the tool uses them: key points, angle points
// staked from both sides, the inverse's side staking back to its point, heights at joints.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/AlntEvaluation.h>
#include <velmorutils/zelmath/alignment/AlntStakeout.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

#include "RoadTool.h"
#include "StationOffset.h"
#include "ToolRun.h"

#include "support/AnglePointRoad.h"

namespace {

using test_roads::anglePointRoad;

struct Stake {
    double n = 0.0, e = 0.0;
};

Stake stake(const CAlnt& a, double chainage, TAlntJointSide side, double offset) {
    TAlntEval at;
    EXPECT_TRUE(evaluateAlnt(a, chainage, at, side));
    Stake s;
    alntOffsetPoint(at, offset, s.n, s.e);
    return s;
}

}  // namespace

TEST(StakeoutRule, PointsAtAJointGetTheDesignHeight) {
    CAlnt a;
    anglePointRoad(a);
    const road::StationOffsetTable table(a, road::StationOffsetOptions{});
    road::MeasuredPoint outside;  // outside the right angle: the joint is the nearest point
    const Stake back = stake(a, 200.0, TAlntJointSide::back, -5.0);
    const Stake ahead = stake(a, 200.0, TAlntJointSide::ahead, -5.0);
    outside.north = 0.5 * (back.n + ahead.n);
    outside.east = 0.5 * (back.e + ahead.e);
    outside.height = 104.0;
    outside.hasHeight = true;
    const road::StationOffsetRow r = table.rowsOf(outside)[0];
    EXPECT_EQ(road::statusText(r), std::string("atJoint"));
    double h = 0.0;
    ASSERT_TRUE(a.getPosHAtChain(200.0, h));
    ASSERT_TRUE(r.hasDesignHeight);
    EXPECT_NEAR(r.designHeight, h, 1e-12);
    EXPECT_NEAR(r.heightDifference, 104.0 - h, 1e-12);
}

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
