#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "support/NearPair.h"
#include "velmorutils/velmorutils.h"

namespace {

constexpr double kPi = 3.141592653589793;

// Azimuth difference folded into (-180, 180].
double azDiff(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180) d -= 360;
    if (d <= -180) d += 360;
    return d;
}

struct Solved {
    CCurveIp ip;
    Solved(double ipN, double ipE, double ls1, double R, double ls2, double nextN, double nextE) {
        ip.setIp(ipN, ipE, ls1, R, ls2);
        ip.setOrg(0, 0);
        ip.onSetNextIp(nextN, nextE);
    }
};

template <class A, class B>
void expectJoined(const A& a, const B& b, const char* what) {
    double n0, e0, n1, e1;
    ASSERT_TRUE(a.getPosAtLength(a.getTotalLength(), n0, e0)) << what;
    ASSERT_TRUE(b.getPosAtLength(0, n1, e1)) << what;
    EXPECT_TRUE(nearPair(n0, e0, n1, e1, 1e-6)) << what;
    EXPECT_NEAR(azDiff(a.GetAzimuth(a.getTotalLength()), b.GetAzimuth(0)), 0.0, 1e-8 * 180 / kPi)
        << what;
}

TEST(CurveIp, IpWithoutCurveIsABareVertex) {
    CCurveIp ip;
    ip.setIp(30, 40, 0, 0, 0);
    ASSERT_TRUE(ip.setOrg(0, 0));
    ASSERT_TRUE(ip.onSetNextIp(100, 40));
    EXPECT_TRUE(ip.isSimplePointByDef() && ip.isok());
    EXPECT_DOUBLE_EQ(ip.getTotalLength(), 50.0);
    CMathAngle az;
    ASSERT_TRUE(ip.getFinalAzimut(az));
    EXPECT_NEAR(az.getDeg(), std::atan2(40.0, 30.0) * 180 / kPi, 1e-12);
    double n, e;
    // Nothing lies beyond the vertex.
    EXPECT_FALSE(ip.getPosAtLength(51, n, e));
    EXPECT_EQ(ip.getStepForDeviation(51, 0.01), 0.0);
    EXPECT_FALSE(ip.getPosAtLength(-0.002, n, e));
}

TEST(CurveIp, QuarterTurnHasTangentPointsARadiusFromTheIp) {
    Solved s(300, 0, 0, 100, 0, 300, 500);
    const CCurveIp& ip = s.ip;
    ASSERT_FALSE(ip.isSimplePoint());
    bool right = false;
    ASSERT_TRUE(ip.checkIsTurnRight(right));
    EXPECT_TRUE(right);
    TIpNodes nodes;
    ip.getIpNodes(nodes);
    EXPECT_TRUE(nearPair(nodes.ts.north, nodes.ts.east, 200, 0));  // TS 100 before the IP
    EXPECT_TRUE(
        nearPair(ip.getFinalNorthing(), ip.getFinalEasting(), 300, 100));  // ST 100 after it
    EXPECT_NEAR(ip.getTotalLength(), 200 + 50 * kPi, 1e-9);
    EXPECT_NEAR(ip.getCurvatureAtLength(250), 0.01, 1e-12);
    double n, e;
    ASSERT_TRUE(ip.getPosAtLength(200 + 25 * kPi, n, e));
    EXPECT_TRUE(nearPair(n, e, 200 + 100 * std::sin(kPi / 4), 100 - 100 * std::cos(kPi / 4)));
}

TEST(CurveIp, PiecesJoinWithSpirals) {
    // Right turn, then the mirror image turning left.
    for (double side : {1.0, -1.0}) {
        Solved s(500, side * 200, 60, 250, 80, 700, side * 900);
        const CCurveIp& ip = s.ip;
        ASSERT_FALSE(ip.isSimplePoint());
        bool right;
        ASSERT_TRUE(ip.checkIsTurnRight(right));
        EXPECT_EQ(right, side > 0);
        expectJoined(ip.getSolutionStartSegment(), ip.getSolutionStartSpiral(), "TS");
        expectJoined(ip.getSolutionStartSpiral(), ip.getSolutionArc(), "SC");
        expectJoined(ip.getSolutionArc(), ip.getSolutionFinalSpiral(), "CS");
        // The arc has the radius the spirals reach.
        EXPECT_NEAR(ip.getSolutionArc().get_data().getRadius(), side * 250, 1e-9);
        // TS on the incoming tangent, ST on the outgoing one beyond the IP.
        TIpNodes nodes;
        ip.getIpNodes(nodes);
        EXPECT_NEAR(nodes.ts.north * side * 200 - nodes.ts.east * 500, 0.0, 1e-6 * 500);
        const double outN = 200, outE = side * 700;
        const double stN = ip.getFinalNorthing() - 500, stE = ip.getFinalEasting() - side * 200;
        EXPECT_NEAR((stN * outE - stE * outN) / std::hypot(outN, outE), 0.0, 1e-6);
        EXPECT_GT(stN * outN + stE * outE, 0.0);
        CMathAngle out;
        ASSERT_TRUE(ip.getFinalAzimut(out));
        EXPECT_NEAR(azDiff(out.getDeg(), std::atan2(outE, outN) * 180 / kPi), 0.0, 1e-9);
        // The SC lies on both the entry spiral and the arc: it projects onto itself. (Points
        // beside every piece are projected through the alignments built from such IPs.)
        double dist, len;
        ASSERT_TRUE(ip.getShortestDistAndCurveLen(nodes.sc.north, nodes.sc.east, dist, len));
        EXPECT_TRUE(
            nearPair(len, dist, ip.getSolutionStartSegment().getTotalLength() + 60, 0.0, 1e-4));
    }
}

TEST(CurveIp, LengthsAtABoundaryBelongToTheEarlierPiece) {
    Solved s(500, 200, 60, 250, 80, 700, 900);
    const CCurveIp& ip = s.ip;
    const double seg = ip.getSolutionStartSegment().getTotalLength();
    const double arc = ip.getSolutionArc().getTotalLength();
    const double total = ip.getTotalLength();
    // Within a millimetre past its end a piece still answers, with its own end point.
    double n, e;
    TIpNodes nodes;
    ip.getIpNodes(nodes);
    ASSERT_TRUE(ip.getPosAtLength(seg + 0.0005, n, e));
    EXPECT_TRUE(nearPair(n, e, nodes.ts.north, nodes.ts.east));
    ASSERT_TRUE(ip.getPosAtLength(seg + 60 + arc + 0.0005, n, e));
    EXPECT_TRUE(nearPair(n, e, nodes.cs.north, nodes.cs.east));
    // Stepping from a boundary goes on into the next piece instead of stalling.
    const double spiralStep = ip.getSolutionStartSpiral().getStepForDeviation(0, 0.01);
    EXPECT_GT(spiralStep, 0.0);
    EXPECT_DOUBLE_EQ(ip.getStepForDeviation(seg, 0.01), spiralStep);
    EXPECT_DOUBLE_EQ(ip.getStepForDeviation(seg + 60 + arc, 0.01),
                     ip.getSolutionFinalSpiral().getStepForDeviation(0, 0.01));
    EXPECT_EQ(ip.getStepForDeviation(total, 0.01), 0.0);
    // Beyond the exit spiral nothing answers.
    EXPECT_FALSE(ip.getPosAtLength(total + 0.002, n, e));
    EXPECT_TRUE(ip.getPosAtLength(total + 0.0009, n, e));
    // (The walk by deviation steps through every piece is the position cache's, on a road of
    // such IPs, every chord checked.)
}

TEST(CurveIp, StraightOnOrUnplaceableCurvesBecomeVertices) {
    // The next IP straight ahead: parallel tangents, no curve fits.
    Solved ahead(300, 0, 20, 100, 20, 600, 0);
    EXPECT_TRUE(ahead.ip.isSimplePoint());
    EXPECT_DOUBLE_EQ(ahead.ip.getTotalLength(), 300.0);
    // A hair off straight ahead (1e-13 rad, below what the directions resolve) is straight on.
    Solved hair(300, 0, 20, 100, 20, 600, 3e-11);
    EXPECT_TRUE(hair.ip.isSimplePoint());
    EXPECT_NEAR(hair.ip.getTotalLength(), 300.0, 1e-9);
    // An IP too close for its tangent: the TS falls behind the origin, the straight vanishes.
    Solved tight(50, 0, 0, 100, 0, 50, 500);
    EXPECT_FALSE(tight.ip.isSimplePoint());
    EXPECT_EQ(tight.ip.getSolutionStartSegment().getTotalLength(), 0.0);
    // Until the outgoing direction is known the IP is a bare vertex.
    CCurveIp waiting;
    waiting.setIp(300, 0, 20, 100, 20);
    waiting.setOrg(0, 0);
    EXPECT_TRUE(waiting.isSimplePoint() && !waiting.isSimplePointByDef());
    EXPECT_DOUBLE_EQ(waiting.getTotalLength(), 300.0);
    EXPECT_NEAR(waiting.getFinalNorthing(), 300, 1e-12);
}

}  // namespace
