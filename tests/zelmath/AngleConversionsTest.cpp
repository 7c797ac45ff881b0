#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "velmorutils/zelmath/AngleConversions.h"
#include "velmorutils/zelmath/MathCommon.h"

TEST(ToRange, FoldsIntoClosedRangeWithoutJoiningTheEnds) {
    EXPECT_EQ(toRange(-180.0, -180.0, 180.0), -180.0);
    EXPECT_EQ(toRange(180.0, -180.0, 180.0), 180.0);
    EXPECT_EQ(toRange(540.0, -180.0, 180.0), 180.0);
    EXPECT_EQ(toRange(-540.0, -180.0, 180.0), -180.0);
    EXPECT_EQ(toRange(725.0, 0.0, 360.0), 5.0);
    EXPECT_EQ(toRange(5.0, 10.0, 10.0), 10.0);  // empty range: the low end
    EXPECT_EQ(toRange(5.0, 10.0, 0.0), 10.0);
    EXPECT_TRUE(std::isnan(toRange(std::nan(""), 0.0, 360.0)));
}

TEST(ToRange, EndsForInputsFarOutside) {
    // Far beyond the step-by-step folding the result still lies in the range.
    const double huge[] = {1e12, -1e12, 1e300, -1e300, 123456789.123};
    for (double x : huge) {
        const double r = toRange(x, -zel_math::kPi, zel_math::kPi);
        EXPECT_GE(r, -zel_math::kPi) << x;
        EXPECT_LE(r, zel_math::kPi) << x;
    }
    EXPECT_NEAR(toRange(360.0 * 2e7 + 30.0, 0.0, 360.0), 30.0, 1e-6);
    EXPECT_TRUE(std::isnan(toRange(std::numeric_limits<double>::infinity(), 0.0, 360.0)));
    // Exactly the repeated folding within a few million spans.
    double x = 360.0 * 3e6 + 0.1;
    double folded = x;
    while (folded > 360.0)
        folded -= 360.0;
    EXPECT_EQ(toRange(x, 0.0, 360.0), folded);
}

TEST(ToRange, IntegersFoldWithoutOverflow) {
    EXPECT_EQ(toRange(370, 0, 360), 10);
    EXPECT_EQ(toRange(360, 0, 360), 360);
    EXPECT_EQ(toRange(-1, 0, 360), 359);
    EXPECT_EQ(toRange(-360, 0, 360), 0);
    EXPECT_EQ(toRange(INT_MIN, 0, 1), 0);
    EXPECT_EQ(toRange(INT_MAX, -2000000000, 2000000000), INT_MAX - 4000000000LL);
    EXPECT_EQ(toRange(3, 5, 5), 5);
}

TEST(AngleFolding, Pos360AndModDeg360) {
    EXPECT_EQ(pos360(-90.0), 270.0);
    EXPECT_EQ(pos360(720.0), 0.0);
    EXPECT_EQ(ModDeg360(-90.0, false), -90.0);
    EXPECT_EQ(ModDeg360(-90.0, true), 270.0);
    EXPECT_EQ(ModDeg360(450.0, false), 90.0);
}

TEST(Atan3, PlacesAngleByBothSignsInMinusHalfPiToThreeHalfPi) {
    using zel_math::kPi;
    EXPECT_EQ(atan3(0.0, 0.0), 0.0);
    EXPECT_NEAR(atan3(1.0, 1.0), kPi / 4, 1e-15);
    EXPECT_NEAR(atan3(-1.0, 1.0), -kPi / 4, 1e-15);
    EXPECT_NEAR(atan3(1.0, -1.0), 3 * kPi / 4, 1e-15);
    EXPECT_NEAR(atan3(-1.0, -1.0), 5 * kPi / 4, 1e-15);  // beyond atan2's range
    EXPECT_NEAR(atan3(1.0, 0.0), kPi / 2, 1e-15);        // b = 0 never divides
    EXPECT_NEAR(atan3(-1.0, 0.0), -kPi / 2, 1e-15);
    EXPECT_NEAR(atan3(0.0, -1.0), kPi, 1e-15);
}

TEST(UnitConversions, RoundToFiveDecimalsAwayFromDegreesOnly) {
    EXPECT_EQ(dNearInt(2.5), 3.0);
    EXPECT_EQ(dNearInt(-2.5), -3.0);
    EXPECT_EQ(dNearInt(-2.4), -2.0);
    EXPECT_EQ(Deg2Rad(180.0), 3.14159);
    EXPECT_EQ(Deg2Rad(540.0), 3.14159);  // folded first
    EXPECT_EQ(Deg2Grad(90.0), 100.0);
    EXPECT_EQ(Deg2Grad(1.0), 1.11111);
    EXPECT_EQ(Deg2Mil(1.0), 17.77778);
    EXPECT_EQ(DegSec2GradCC(1.0), 3.08642);
    EXPECT_NEAR(Rad2Deg(3.141592653589793), 180.0, 1e-12);
    EXPECT_NEAR(Grad2Deg(400.0), 360.0, 1e-12);
    EXPECT_NEAR(Mil2Deg(6400.0), 360.0, 1e-12);
    EXPECT_NEAR(GradCC2DegSec(10000.0), 3240.0, 1e-9);
    EXPECT_NEAR(Rad2Deg(10.0), 572.9577951308232, 1e-9);  // not folded
}

TEST(ReadingReversal, CircleReadingsAndFaces) {
    EXPECT_EQ(HR2HL(0.0), 0.0);
    EXPECT_EQ(HR2HL(360.0), 0.0);
    EXPECT_EQ(HR2HL(90.0), 270.0);
    EXPECT_EQ(HL2HR(270.0), 90.0);
    EXPECT_EQ(Level2Zenith(0.0), 90.0);
    EXPECT_EQ(Level2Zenith(90.0), 0.0);
    EXPECT_EQ(Zenith2Level(100.0), 350.0);
    EXPECT_FALSE(ShouldTurn(0.5));
    EXPECT_TRUE(ShouldTurn(-0.51));
    EXPECT_EQ(MinimizeTurnAngle(-180.0), 180.0);
    EXPECT_EQ(MinimizeTurnAngle(180.0), 180.0);
    EXPECT_EQ(MinimizeTurnAngle(190.0), -170.0);
    EXPECT_EQ(MinimizeTurnAngle(539.0), 179.0);

    double hz = 10.0, v = 85.0;
    CalcReverseAngles(hz, v);
    EXPECT_EQ(hz, 190.0);
    EXPECT_EQ(v, 275.0);
    hz = -10.0, v = 0.0;
    CalcReverseAngles(hz, v);
    EXPECT_EQ(hz, -190.0);
    EXPECT_EQ(v, 0.0);
    hz = 180.0, v = 90.0;
    CalcReverseAngles(hz, v);
    EXPECT_EQ(hz, 0.0);
    EXPECT_EQ(v, 270.0);
}
