#include <gtest/gtest.h>

#include "support/NearPair.h"
#include "velmorutils/velmorutils.h"

TEST(CatchPoint, SlopeDirectionsAndTheSlopeReachingTheGroundFirstOnItsSide) {
    double dx = 0, dy = 0;
    ComputeXYOffsetsForCutFillSlope(2, true, true, &dx, &dy);
    EXPECT_TRUE(nearPair(dx, dy, 2, 1, 1e-15));
    ComputeXYOffsetsForCutFillSlope(1.5, false, false, &dx, &dy);
    EXPECT_TRUE(nearPair(dx, dy, -1.5, -1, 1e-15));
    // A vertical face (no run): straight out, level.
    ComputeXYOffsetsForCutFillSlope(0, true, false, &dx, &dy);
    EXPECT_TRUE(dx == -1.0 && dy == 0.0);
    // A negative run still rises for a cut.
    ComputeXYOffsetsForCutFillSlope(-2, true, true, &dx, &dy);
    EXPECT_TRUE(nearPair(dx, dy, -2, 1, 1e-15));
    ComputeXYOffsetsForCutFillSlope(2, true, true, nullptr, nullptr);
    double x = -9, y = -9, dir = -9;
    // Ground 1 m above the hinge: the fill would catch it behind the hinge, so the cut wins.
    EXPECT_EQ(ComputeCatchPoint(0, 0, true, 2, true, 2, true, 0, 1, 10, 1, x, y, dir), 1);
    EXPECT_TRUE(nearPair(x, y, 2, 1, 1e-12));
    EXPECT_DOUBLE_EQ(dir, 90.0);
    // 1 m below: fill.
    EXPECT_EQ(ComputeCatchPoint(0, 0, true, 2, true, 2, true, 0, -1, 10, -1, x, y, dir), 2);
    EXPECT_TRUE(nearPair(x, y, 2, -1, 1e-12));
    // The left side mirrors it.
    EXPECT_EQ(ComputeCatchPoint(0, 0, false, 2, true, 3, true, -10, -1, 0, -1, x, y, dir), 2);
    EXPECT_NEAR(x, -3, 1e-12);
    // Only the slope that exists is tried.
    x = y = -9;
    EXPECT_EQ(ComputeCatchPoint(0, 0, true, 2, false, 2, true, 0, 1, 10, 1, x, y, dir), 0);
    EXPECT_TRUE(x == -9.0 && y == -9.0);
    // A steep bank (y = 6 - 3x) crossing both slopes beyond the hinge: the cut at
    // (12/7, 6/7), the fill at (2.4, -1.2). The one nearer the second ground point's elevation
    // wins, so the order of the ground points decides.
    EXPECT_EQ(ComputeCatchPoint(0, 0, true, 2, true, 2, true, 1, 3, 3, -3, x, y, dir), 2);
    EXPECT_TRUE(nearPair(x, y, 2.4, -1.2, 1e-12));
    EXPECT_EQ(ComputeCatchPoint(0, 0, true, 2, true, 2, true, 3, -3, 1, 3, x, y, dir), 1);
    EXPECT_TRUE(nearPair(x, y, 12.0 / 7, 6.0 / 7, 1e-12));
    // Ground through the hinge: both catch at the hinge, the tie goes to the cut.
    EXPECT_EQ(ComputeCatchPoint(0, 0, true, 2, true, 2, true, -5, 0, 5, 0, x, y, dir), 1);
    EXPECT_NEAR(x, 0, 1e-12);
    EXPECT_EQ(ComputeCatchPoint(0, 0, true, 2, true, 2, false, 0, 5, 2, 6, x, y, dir), 0);
    // Coincident ground points: level ground through them.
    EXPECT_EQ(ComputeCatchPoint(0, 0, true, 2, true, 2, true, 5, 3, 5, 3, x, y, dir), 1);
    EXPECT_DOUBLE_EQ(dir, 90.0);
    EXPECT_TRUE(nearPair(x, y, 6, 3, 1e-12));
}
