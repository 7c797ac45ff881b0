#include <cmath>
#include <initializer_list>

#include <gtest/gtest.h>

#include "support/NearPair.h"
#include "velmorutils/velmorutils.h"

namespace {

constexpr double kPi = 3.141592653589793;

// A point placed at each length and offset square to the tangent (positive = right) projects
// back to that length and offset.
template <class Curve>
void expectProjectsBack(const Curve& c, std::initializer_list<double> lengths,
                        std::initializer_list<double> offsets) {
    for (double s : lengths) {
        for (double off : offsets) {
            double n, e, dist, len;
            ASSERT_TRUE(c.getPosAtLength(s, n, e));
            const double az = c.GetAzimuth(s) * kPi / 180.0;
            n -= off * std::sin(az);
            e += off * std::cos(az);
            ASSERT_TRUE(c.getShortestDistAndCurveLen(n, e, dist, len));
            EXPECT_TRUE(nearPair(len, dist, s, std::fabs(off), 1e-9)) << s << " " << off;
        }
    }
}

TEST(CurveSegment, LengthRangeSnapsWithinAMillimetreAndProjectionRoundTrips) {
    CCurveDataSegment seg;
    seg.setLen(100);
    double n = -1, e = -1;
    ASSERT_TRUE(seg.getPosAtLength(100.0009, n, e));
    EXPECT_TRUE(nearPair(n, e, 100, 0, 0));
    ASSERT_TRUE(seg.getPosAtLength(-0.0009, n, e));
    EXPECT_DOUBLE_EQ(n, 0.0);
    for (double s : {100.002, -0.002, std::nan("")})
        EXPECT_FALSE(seg.getPosAtLength(s, n, e)) << s;

    seg.setFinalNE(30, 40);  // 50 long
    expectProjectsBack(seg, {0.5, 12.0, 25.0, 49.5}, {-7.0, 0.0, 3.0});
    // Behind the start and beyond the end the ends answer; lengths are exact there.
    double dist, len;
    ASSERT_TRUE(seg.getShortestDistAndCurveLen(-3, -4, dist, len));
    EXPECT_TRUE(nearPair(len, dist, 0, 5, 1e-12));
    EXPECT_EQ(len, 0.0);
    ASSERT_TRUE(seg.getShortestDistAndCurveLen(36, 48, dist, len));
    EXPECT_TRUE(nearPair(len, dist, 50, 10, 1e-12));
    EXPECT_EQ(len, 50.0);
    // Ends less than a millimetre apart in distance: the end wins the tie.
    CCurveDataSegment shortSeg, zero;  // heading north
    shortSeg.setLen(0.0008);
    ASSERT_TRUE(shortSeg.getShortestDistAndCurveLen(-1, 0, dist, len));
    EXPECT_DOUBLE_EQ(len, 0.0008);
    EXPECT_NEAR(dist, 1.0008, 1e-12);
    zero.setLen(0);
    ASSERT_TRUE(zero.getShortestDistAndCurveLen(3, 4, dist, len));
    EXPECT_TRUE(nearPair(len, dist, 0, 5, 0));
}

TEST(CurveArc, LeftTurnHasNegativeRadiusAndAnAngleAgainstTheTurnGoesTheLongWay) {
    CCurveDataArc arc;
    EXPECT_FALSE(arc.isok());
    arc.SetElement(100, 50, false);
    ASSERT_TRUE(arc.isok());
    EXPECT_TRUE(arc.isToTheLeft());
    EXPECT_DOUBLE_EQ(arc.getRadius(), -50.0);
    EXPECT_TRUE(nearPair(arc.getFinalNorthing(), arc.getFinalEasting(), -50 * std::sin(-2.0),
                         -50 * (1 - std::cos(2.0)), 1e-12));
    EXPECT_NEAR(arc.GetAzimuth(100), -2.0 * 180.0 / kPi, 1e-12);
    // A central angle against the turn is the long way round.
    CCurveDataArc longWay;
    longWay.setCAngleR(CMathAngle(-90.0), 10, true);
    EXPECT_NEAR(longWay.getTotalLength(), 15 * kPi, 1e-12);
    // Three quarters of a circle about (0, 10) ends west of the centre's south.
    EXPECT_TRUE(nearPair(longWay.getFinalNorthing(), longWay.getFinalEasting(), -10, 10, 1e-12));
    EXPECT_NEAR(longWay.getChordLength(), 10 * std::sqrt(2.0), 1e-12);
    longWay.setCAngleR(CMathAngle(-90.0), 10);  // follows the sign: a left quarter
    EXPECT_NEAR(longWay.getTotalLength(), 5 * kPi, 1e-12);
    EXPECT_DOUBLE_EQ(longWay.getRadius(), -10.0);
}

TEST(CurveArc, QuarterCircleEndsMissingDefinitionsAndStepsForDeviation) {
    CCurveDataArc arc;
    arc.setLen(50 * kPi);
    // Neither radius nor angle: the fallback radius after a report.
    EXPECT_DOUBLE_EQ(arc.getRadius(), 1e-6);
    arc.SetElement(50 * kPi, 100, true);
    CMathAngle az;
    ASSERT_TRUE(arc.getFinalAzimut(az));
    EXPECT_NEAR(az.getDeg(), 90.0, 1e-12);
    double cn, ce, n, e;
    arc.getCenterNE(cn, ce);
    EXPECT_TRUE(nearPair(cn, ce, 0, 100, 0));
    ASSERT_TRUE(arc.getPosAtLength(50 * kPi + 0.0009, n, e));
    EXPECT_TRUE(nearPair(n, e, 100, 100));
    EXPECT_FALSE(arc.getPosAtLength(50 * kPi + 0.002, n, e));
    CCurveDataArc unset;
    EXPECT_FALSE(unset.getPosAtLength(0, n, e));
    EXPECT_FALSE(unset.getFinalAzimut(az));

    arc.SetElement(300, 100, true);
    // A deviation beyond the radius is cut to it, and the step to an arc of pi/16.
    EXPECT_NEAR(arc.getStepForDeviation(0, 1000), 100 * kPi / 16, 1e-12);
    EXPECT_NEAR(arc.getStepForDeviation(0, 0.01), 2 * 100 * std::acos(1 - 0.01 / 100), 1e-12);
    EXPECT_NEAR(arc.getStepForDeviation(299, 0.01), 1.0, 1e-12);
    EXPECT_NEAR(arc.getStepForDeviation(10, 0.0), 290.0, 1e-12);
}

TEST(CurveArc, ProjectionRoundTripsBothTurnsAndTheCentre) {
    for (bool right : {true, false}) {
        SCOPED_TRACE(right ? "right" : "left");
        CCurveDataArc arc;
        arc.SetElement(250, 120, right);
        expectProjectsBack(arc, {0.2, 40.0, 125.0, 249.0}, {-9.0, 0.0, 4.5});
        // Behind the start, on the outside: the start answers.
        double dist, len;
        ASSERT_TRUE(arc.getShortestDistAndCurveLen(-5, right ? -1 : 1, dist, len));
        EXPECT_EQ(len, 0.0);
        EXPECT_NEAR(dist, std::hypot(5.0, 1.0), 1e-12);
    }
    // Every point of the arc is equally far from its centre: the end answers.
    CCurveDataArc arc;
    arc.SetElement(60, -40, false);
    double dist = 0, len = 0;
    ASSERT_TRUE(arc.getShortestDistAndCurveLen(0, -40, dist, len));
    EXPECT_DOUBLE_EQ(dist, 40.0);
    EXPECT_DOUBLE_EQ(len, 60.0);
}

TEST(CurvePlacement, PlacesLocalResultsInTheWorld) {
    COrgAzCurveT<CCurveDataArc> placed;
    placed.get_data().SetElement(50 * kPi, 100, true);
    placed.setOrgAzDeg(1000, 2000, 90);
    ASSERT_TRUE(placed.isok());
    double n, e;
    ASSERT_TRUE(placed.getPosAtLength(50 * kPi, n, e));
    EXPECT_TRUE(nearPair(n, e, 900, 2100));
    EXPECT_NEAR(placed.GetAzimuth(25 * kPi), 135.0, 1e-9);
    CMathAngle az;
    ASSERT_TRUE(placed.getFinalAzimut(az));
    EXPECT_NEAR(az.getDeg(), 180.0, 1e-9);
    // 5 m outside the arc at its middle (the centre is at 900, 2000).
    double dist, len;
    const double r = 105 / std::sqrt(2.0);
    ASSERT_TRUE(placed.getShortestDistAndCurveLen(900 + r, 2000 + r, dist, len));
    EXPECT_TRUE(nearPair(len, dist, 25 * kPi, 5));
    // Without a placement nothing answers but the local azimuth.
    placed.resetOrgAz();
    EXPECT_FALSE(placed.isok());
    EXPECT_FALSE(placed.getPosAtLength(1, n, e));
    EXPECT_FALSE(placed.getShortestDistAndCurveLen(0, 0, dist, len));
    EXPECT_FALSE(placed.getFinalAzimut(az));
    EXPECT_NEAR(placed.GetAzimuth(50 * kPi), 90.0, 1e-9);
}

}  // namespace
