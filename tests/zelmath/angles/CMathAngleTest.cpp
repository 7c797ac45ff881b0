#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/NearPair.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

using zel_math::kPi;

TEST(CMathAngle, RangeIsClosedAtBothEnds) {
    EXPECT_DOUBLE_EQ(CMathAngle(540.0).getDeg(), 180.0);
    EXPECT_DOUBLE_EQ(CMathAngle(-180.0).getRad(), -kPi);  // not turned into +pi
    EXPECT_DOUBLE_EQ(CMathAngle(180.0).getRad(), kPi);
    const double folds[][2] = {{-540, -180}, {370, 10}, {-190, 170}};
    for (const auto& f : folds)
        EXPECT_NEAR(CMathAngle(f[0]).getDeg(), f[1], 1e-12) << f[0];
}

TEST(CMathAngle, AzimuthFromCoordinateDifferencesAndAngleAtAVertexClockwise) {
    CMathAngle a(45.0);
    EXPECT_FALSE(a.setAz(0.0, 0.0));
    EXPECT_NEAR(a.getDeg(), 45.0, 1e-12);  // unchanged on failure
    EXPECT_FALSE(a.setAz(1e-13, -1e-13));
    EXPECT_TRUE(a.setAz(0.0, 1e-12));  // 1e-12 is not near zero
    EXPECT_NEAR(a.getDeg(), 90.0, 1e-12);
    a.setAz(-1.0, 0.0);
    EXPECT_DOUBLE_EQ(a.getRad(), kPi);  // south
    EXPECT_TRUE(a.setAz(100.0, 200.0, 100.0, 150.0));
    EXPECT_NEAR(a.getDeg(), -90.0, 1e-12);
    // The angle at a vertex turns clockwise from the first leg to the second.
    const C2dPos vertex(0, 0);
    EXPECT_TRUE(a.setAngle(C2dPos(1, 0), vertex, C2dPos(0, 1)));
    EXPECT_NEAR(a.getDeg(), 90.0, 1e-12);
    EXPECT_TRUE(a.setAngle(C2dPos(0, 1), vertex, C2dPos(1, 0)));
    EXPECT_NEAR(a.getDeg(), -90.0, 1e-12);
    EXPECT_FALSE(a.setAngle(vertex, vertex, C2dPos(0, 1)));
    EXPECT_NEAR(a.getDeg(), -90.0, 1e-12);
}

TEST(CMathAngle, DmsCarriesAndSignLoss) {
    // 2 pi folds to 0; the sign is lost between -1 and 0 degrees; one degree less two ulps has
    // seconds within 1e-12 of 60, which carry into the minutes and the minutes into the degrees.
    const struct {
        double deg;
        int d, m;
    } cases[] = {
        {360, 0, 0}, {30.5, 30, 30}, {-0.5, 0, 30}, {-12.25, -12, 15}, {0.99999999999999978, 1, 0}};
    for (const auto& c : cases) {
        int d = -1, m = -1;
        double s = -1;
        CMathAngle(c.deg).getDMS(d, m, s);
        EXPECT_TRUE(d == c.d && m == c.m) << c.deg << ": " << d << " " << m;
        EXPECT_NEAR(s, 0.0, 1e-9) << c.deg;
    }
    CMathAngle a;
    a.setDMS(-12, 30, 36.0);
    EXPECT_NEAR(a.getDeg(), -12.51, 1e-12);
    a.setDMS(0, 30, 0.0);  // the sign comes from the degrees alone
    EXPECT_NEAR(a.getDeg(), 0.5, 1e-12);
}

TEST(CMathAngle, QuadrantBoundariesBelongToTheNextQuadrantClockwise) {
    const struct {
        double deg;
        int quadrant;
    } cases[] = {{0, 1}, {45, 1}, {90, 2}, {179.9, 2}, {180, 3}, {-180, 3}, {-90, 4}, {-0.1, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(CMathAngle(c.deg).getQuadrant().get(), c.quadrant) << c.deg;
    const TQuadrant q90 = CMathAngle(90.0).getQuadrant();
    EXPECT_TRUE(!q90.northPositive && q90.eastPositive);
}

TEST(CMathAngle, SettersClearCachesAndAdjustingSettersUpdateThemInPlace) {
    CMathAngle a(30.0);
    EXPECT_NEAR(a.getSin(), 0.5, 1e-15);
    a.setDeg(90.0);  // a stale cache would still say 0.5
    EXPECT_NEAR(a.getSin(), 1.0, 1e-15);
    a.setRad(0.0);
    EXPECT_NEAR(a.getCos(), 1.0, 1e-15);
    // The adjusting setters swap or negate the cached values instead of recomputing them.
    CMathAngle c(30.0);
    const double s30 = c.getSin(), c30 = c.getCos();
    c.setComplimentary();
    EXPECT_NEAR(c.getDeg(), 60.0, 1e-12);
    EXPECT_TRUE(c.getSin() == c30 && c.getCos() == s30);
    CMathAngle s(30.0);
    s.getCos();
    s.set180MinusThis();
    EXPECT_NEAR(s.getDeg(), 150.0, 1e-12);
    EXPECT_EQ(s.getCos(), -c30);
    EXPECT_NEAR(s.getSin(), 0.5, 1e-15);
    CMathAngle n(30.0);
    n.getSin();
    n.changeSign();
    EXPECT_EQ(n.getSin(), -s30);
}

TEST(CMathAngle, DivisionByNearZeroUnsets) {
    CMathAngle a(60.0);
    a /= 1e-13;
    EXPECT_TRUE(a.isnan());
    CMathAngle b(60.0);
    b /= 1e-12;  // 1e-12 is a divisor; the huge result folds into range
    EXPECT_TRUE(b.isok());
    EXPECT_TRUE(b.getRad() >= -kPi && b.getRad() <= kPi) << b.getRad();
    CMathAngle c(60.0);
    c /= -2.0;
    EXPECT_NEAR(c.getDeg(), -30.0, 1e-12);
    c *= 7.0;  // -210 folds to 150
    EXPECT_NEAR(c.getDeg(), 150.0, 1e-12);
}

TEST(CMathAngle, EqualityHasToleranceOrderingHasNone) {
    CMathAngle a, b;
    a.setRad(1.0);
    b.setRad(1.0 + 1e-13);
    EXPECT_TRUE(a == b && a < b);
    b.setRad(1.0 + 2e-12);
    EXPECT_TRUE(a != b);
    EXPECT_FALSE(CMathAngle(-180.0) == CMathAngle(180.0));  // no wrap-around
    EXPECT_TRUE(CMathAngle(-180.0) < CMathAngle(180.0));
}

TEST(CMathAngle, TangentsGuardTheirPoles) {
    EXPECT_NEAR(CMathAngle(45.0).getTg(), 1.0, 1e-15);
    EXPECT_EQ(CMathAngle(90.0).getTg(), 0.0);
    EXPECT_EQ(CMathAngle(0.0).getCtg(), 0.0);
    EXPECT_NEAR(CMathAngle(30.0).getCtg(), std::sqrt(3.0), 1e-14);
    EXPECT_TRUE(CMathAngle(89.9).isSharp());
    EXPECT_FALSE(CMathAngle(90.0).isSharp() || CMathAngle(-90.0).isSharp());
}

TEST(CMathAngle, RotationsAndMovesFollowAzimuthConvention) {
    const CMathAngle az(30.0);
    double n = 0, e = 0;
    az.getPosAlong(100.0, 5000.0, 2000.0, n, e);
    EXPECT_TRUE(nearPair(n, e, 5000.0 + 86.60254037844386, 2050.0, 1e-9));
    C2dPos right;
    az.getPosAcross(10.0, C2dPos(0, 0), right);  // to the right: azimuth 120
    EXPECT_TRUE(nearPair(right.north, right.east, -5.0, 8.660254037844386, 1e-12));
    // Rotating a step north by the azimuth gives the step along the azimuth; back undoes it.
    double rn = 1.0, re = 0.0;
    az.getRotated(rn, re);
    EXPECT_TRUE(nearPair(rn, re, az.getCos(), az.getSin(), 1e-15));
    C2dPos out;
    CMathAngle(90.0).getRotatedPoint(C2dPos(10, 10), C2dPos(20, 10), out);
    EXPECT_TRUE(nearPair(out.north, out.east, 10.0, 20.0, 1e-12));
}

TEST(CMathAngle, ChordAndRadiusGiveCentralAngle) {
    CMathAngle a;
    a.setChordAndR(20.0, 10.0);  // chord = diameter: the angle atan2(0, h) doubled is 0
    EXPECT_NEAR(a.getDeg(), 0.0, 1e-12);
    a.setChordAndR(10.0 * std::sqrt(2.0), 10.0);
    EXPECT_NEAR(a.getDeg(), 90.0, 1e-12);
}
