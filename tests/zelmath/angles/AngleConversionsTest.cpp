#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "velmorutils/zelmath/angles/AngleConversions.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

namespace {

// A one-argument function, its argument and the value it must give.
struct Case {
    double (*fn)(double);
    double in, out;
};

}  // namespace

TEST(ToRange, FoldsIntoClosedRangeWithoutJoiningTheEndsFarOutsideAndForIntegers) {
    // x, lo, hi, result; an empty or reversed range gives its low end.
    const double cases[][4] = {{-180, -180, 180, -180}, {180, -180, 180, 180},
                               {540, -180, 180, 180},   {-540, -180, 180, -180},
                               {725, 0, 360, 5},        {5, 10, 10, 10},
                               {5, 10, 0, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(toRange(c[0], c[1], c[2]), c[3]) << c[0];
    EXPECT_TRUE(std::isnan(toRange(std::nan(""), 0.0, 360.0)));
    // Far beyond the step-by-step folding the result still lies in the range.
    for (double x : {1e12, -1e12, 1e300, -1e300, 123456789.123}) {
        const double r = toRange(x, -zel_math::kPi, zel_math::kPi);
        EXPECT_TRUE(r >= -zel_math::kPi && r <= zel_math::kPi) << x << " -> " << r;
    }
    EXPECT_NEAR(toRange(360.0 * 2e7 + 30.0, 0.0, 360.0), 30.0, 1e-6);
    EXPECT_TRUE(std::isnan(toRange(std::numeric_limits<double>::infinity(), 0.0, 360.0)));
    // Exactly the repeated folding within a few million spans.
    const double x = 360.0 * 3e6 + 0.1;
    double folded = x;
    while (folded > 360.0)
        folded -= 360.0;
    EXPECT_EQ(toRange(x, 0.0, 360.0), folded);
    // Integers fold without overflow.
    const int ints[][4] = {{370, 0, 360, 10}, {360, 0, 360, 360}, {-1, 0, 360, 359},
                           {-360, 0, 360, 0}, {INT_MIN, 0, 1, 0}, {3, 5, 5, 5}};
    for (const auto& c : ints)
        EXPECT_EQ(toRange(c[0], c[1], c[2]), c[3]) << c[0];
    EXPECT_EQ(toRange(INT_MAX, -2000000000, 2000000000), INT_MAX - 4000000000LL);
}

TEST(Atan3, PlacesAngleByBothSignsInMinusHalfPiToThreeHalfPi) {
    using zel_math::kPi;
    EXPECT_EQ(atan3(0.0, 0.0), 0.0);
    // (-1, -1) lies beyond atan2's range; b = 0 never divides.
    const double cases[][3] = {{1, 1, kPi / 4},       {-1, 1, -kPi / 4}, {1, -1, 3 * kPi / 4},
                               {-1, -1, 5 * kPi / 4}, {1, 0, kPi / 2},   {-1, 0, -kPi / 2},
                               {0, -1, kPi}};
    for (const auto& c : cases)
        EXPECT_NEAR(atan3(c[0], c[1]), c[2], 1e-15) << c[0] << "," << c[1];
}

TEST(UnitConversions, RoundToFiveDecimalsAwayFromDegreesOnlyAndReadingsReversed) {
    // Rounded to five decimals (half away from zero), Deg2Rad after folding into range.
    const Case rounded[] = {
        {dNearInt, 2.5, 3},      {dNearInt, -2.5, -3},    {dNearInt, -2.4, -2},
        {Deg2Rad, 180, 3.14159}, {Deg2Rad, 540, 3.14159}, {Deg2Grad, 90, 100},
        {Deg2Grad, 1, 1.11111},  {Deg2Mil, 1, 17.77778},  {DegSec2GradCC, 1, 3.08642}};
    for (const Case& c : rounded)
        EXPECT_EQ(c.fn(c.in), c.out) << c.in;
    // Towards degrees: full precision, and Rad2Deg does not fold.
    const Case exact[] = {{Rad2Deg, 3.141592653589793, 180},
                          {Grad2Deg, 400, 360},
                          {Mil2Deg, 6400, 360},
                          {GradCC2DegSec, 10000, 3240},
                          {Rad2Deg, 10, 572.9577951308232}};
    for (const Case& c : exact)
        EXPECT_NEAR(c.fn(c.in), c.out, 1e-12) << c.in;
    // Circle readings and faces.
    const Case cases[] = {{HR2HL, 360, 0},
                          {HR2HL, 90, 270},
                          {HL2HR, 270, 90},
                          {Level2Zenith, 0, 90},
                          {Zenith2Level, 100, 350},
                          {MinimizeTurnAngle, -180, 180},
                          {MinimizeTurnAngle, 180, 180},
                          {MinimizeTurnAngle, 190, -170},
                          {MinimizeTurnAngle, 539, 179}};
    for (const Case& c : cases)
        EXPECT_EQ(c.fn(c.in), c.out) << c.in;
    EXPECT_FALSE(ShouldTurn(0.5));
    EXPECT_TRUE(ShouldTurn(-0.51));
    // Horizontal and vertical readings on the other face: hz, v, then hz', v'.
    const double faces[][4] = {{10, 85, 190, 275}, {-10, 0, -190, 0}, {180, 90, 0, 270}};
    for (const auto& f : faces) {
        double hz = f[0], v = f[1];
        CalcReverseAngles(hz, v);
        EXPECT_TRUE(hz == f[2] && v == f[3]) << f[0] << "," << f[1] << " -> " << hz << "," << v;
    }
}
