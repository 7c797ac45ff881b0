#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "velmorutils/zelmath/geodesy/GroundFrame.h"

namespace {

// A State Plane project at 300 m with a combined factor of 0.99995862 about a control point.
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const CGroundFrame kSite{{1840672.3179, 6485936.6698}, 0.99995862};

TEST(GroundFrame, GroundDistancesAreGridDistancesOverARealisticFactor) {
    const C2dPos a{1841000.0, 6486000.0}, b{1848000.0, 6480000.0};
    const double grid = a.distanceTo(b);
    const double ground = kSite.toGround(a).distanceTo(kSite.toGround(b));
    EXPECT_NEAR(ground, grid / kSite.factor, 1e-7);
    // 9.2 km on the grid is 0.38 m longer on the ground at this factor.
    EXPECT_NEAR(ground - grid, 0.381, 0.001);
    // The origin is where ground and grid agree, and only there.
    EXPECT_EQ(kSite.toGround(kSite.origin), kSite.origin);
    EXPECT_GT(kSite.toGround(a).distanceTo(a), 0.01);
    // Back to the grid within a tenth of a millimetre, 9 km from the origin.
    EXPECT_LT(kSite.toGrid(kSite.toGround(b)).distanceTo(b), 1e-4);
    // Factors beyond any real ground system are invalid.
    CGroundFrame f = kSite;
    EXPECT_TRUE(f.isValid());
    for (double k : {0.0, -0.99996, 0.98999, 1.01001, kInf, kNaN}) {
        f.factor = k;
        EXPECT_FALSE(f.isValid()) << k;
    }
    f.factor = 0.9996;
    f.origin.east = kNaN;
    EXPECT_FALSE(f.isValid());
}

}  // namespace
