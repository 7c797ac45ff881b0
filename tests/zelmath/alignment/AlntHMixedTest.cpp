#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/NearPair.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "zelmath/alignment/AlntHTestSupport.h"

namespace {

double azimuthDiff(double a, double b) {
    return std::remainder(a - b, 360.0);
}

struct MixedRoad {
    CAlntH alnt;
    double fixedAz = buildMixedRoad(alnt, 250.0);
};

void expectContinuous(const CAlntH& a) {
    for (int k = 1; k < a.getNumOfHes(); ++k) {
        const CAlntHe* prev = a.getHe(k - 1);
        const CAlntHe* next = a.getHe(k);
        double len = 0.0, n1 = 0.0, e1 = 0.0, n2 = 0.0, e2 = 0.0, az1 = 0.0, az2 = 0.0;
        double f = 0.0, s = 0.0;
        ASSERT_TRUE(prev->getHLengthInM(len));
        ASSERT_TRUE(prev->getPosNeAtLength(len, n1, e1) && prev->getAzimuthAtLength(len, az1));
        ASSERT_TRUE(next->getPosNeAtLength(0.0, n2, e2) && next->getAzimuthAtLength(0.0, az2));
        ASSERT_TRUE(prev->getFinalChainageInM(f) && next->getStartChainageInM(s));
        EXPECT_NEAR(0.0, std::hypot(n1 - n2, e1 - e2), 1e-6) << "joint " << k;
        EXPECT_NEAR(0.0, azimuthDiff(az1, az2), 1e-6) << "joint " << k;
        EXPECT_NEAR(f, s, 1e-9) << "joint " << k;
    }
}

void expectSameAlignment(const CAlntH& a, const CAlntH& b) {
    ASSERT_EQ(a.getNumOfHes(), b.getNumOfHes());
    for (int k = 0; k < a.getNumOfHes(); ++k) {
        double na = 0.0, ea = 0.0, nb = 0.0, eb = 0.0, sa = 0.0, sb = 0.0;
        CMathAngle za, zb;
        a.getHe(k)->getFinalPosNe(na, ea);
        b.getHe(k)->getFinalPosNe(nb, eb);
        a.getHe(k)->getStartChainageInM(sa);
        b.getHe(k)->getStartChainageInM(sb);
        ASSERT_TRUE(a.getHe(k)->getFinalAzimut(za) && b.getHe(k)->getFinalAzimut(zb));
        EXPECT_NEAR(0.0, std::hypot(na - nb, ea - eb), 1e-9) << k;
        EXPECT_NEAR(sa, sb, 1e-9) << k;
        EXPECT_NEAR(0.0, azimuthDiff(za.getDeg(), zb.getDeg()), 1e-9) << k;
    }
}

}  // namespace

TEST(AlntHMixed, EveryJointIsContinuousAndArcsWithSpiralsHaveTheirIp) {
    MixedRoad road;
    ASSERT_EQ(10, road.alnt.getNumOfHes());
    expectContinuous(road.alnt);
    // The IPs with a following IP carry real curves; the last IP is a bare vertex.
    EXPECT_FALSE(CAlntHeIp::cast(road.alnt.getHe(5))->get_data().isSimplePoint());
    EXPECT_TRUE(CAlntHeIp::cast(road.alnt.getHe(7))->get_data().isSimplePoint());
    // The fixed arc kept the azimuth it was given.
    CMathAngle start;
    road.alnt.getHe(8)->getStartAzimut(start);
    EXPECT_NEAR(0.0, azimuthDiff(road.fixedAz, start.getDeg()), 1e-9);

    const CAlntH& a = road.alnt;
    double n = 0.0, e = 0.0;
    EXPECT_FALSE(a.getIpPosForElement(0, n, e));
    ASSERT_TRUE(a.getIpPosForElement(2, n, e));
    // The IP lies on the entry spiral's start tangent and the exit spiral's end tangent, and
    // for equal spirals it is as far from the TS as from the ST.
    double tsN = 0.0, tsE = 0.0, stN = 0.0, stE = 0.0;
    CMathAngle in, out;
    a.getHe(1)->getStartPosNe(tsN, tsE);
    a.getHe(3)->getFinalPosNe(stN, stE);
    a.getHe(1)->getStartAzimut(in);
    ASSERT_TRUE(a.getHe(3)->getFinalAzimut(out));
    EXPECT_NEAR(0.0, (n - tsN) * in.getSin() - (e - tsE) * in.getCos(), 1e-6);
    EXPECT_NEAR(0.0, (n - stN) * out.getSin() - (e - stE) * out.getCos(), 1e-6);
    EXPECT_NEAR(std::hypot(n - tsN, e - tsE), std::hypot(n - stN, e - stE), 1e-6);

    // A quarter circle of radius 100 on its own: the IP is 100 m along each tangent.
    CAlntH quarter;
    quarter.appendElement(makeSegment(10.0));
    quarter.appendElement(makeArc(50.0 * zel_math::kPi, 100.0, true));
    ASSERT_TRUE(quarter.getIpPosForElement(1, n, e));
    EXPECT_NEAR(0.0, std::hypot(n - 110.0, e), 1e-9);
    // A spiral of another radius does not belong to the arc; alone it has no IP.
    quarter.insertElement(1, makeSpiral(30.0, 120.0, true, true));
    EXPECT_FALSE(quarter.getIpPosForElement(1, n, e));
}

TEST(AlntHMixed, ChainageAndOffsetRoundTrips) {
    MixedRoad road;
    const CAlntH& a = road.alnt;
    const double start = a.getStartChainageInM();
    double fin = 0.0, n = 0.0, e = 0.0, c2 = 0.0, off2 = 0.0;
    ASSERT_TRUE(a.getFinalChainageInM(fin));
    int checked = 0;
    for (double c = start + 0.7; c < fin; c += 6.1) {
        for (double off : {-14.0, -2.5, -0.3, -0.011, -0.005, 0.0, 0.99e-5, 0.011, 7.0, 14.0}) {
            ASSERT_TRUE(a.getPosNeAtChainAndOffsetExtr(c, off, n, e));
            ASSERT_TRUE(a.FindChainageAndOffset(n, e, c2, off2)) << c << " " << off;
            EXPECT_NEAR(c, c2, 1e-3) << c << " " << off;
            // Within a centimetre of the centre line the offset comes back without a side;
            // just over a centimetre the side counts again.
            EXPECT_NEAR(std::fabs(off) <= 0.01 ? std::fabs(off) : off, off2, 1e-4)
                << c << " " << off;
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);

    // Beyond the end the last element still holds its millimetre.
    ASSERT_TRUE(a.getPosNeAtChainAndOffsetExtr(fin + 0.0005, -4.0, n, e));
    ASSERT_TRUE(a.FindChainageAndOffset(n, e, c2, off2));
    EXPECT_TRUE(nearPair(fin, -4.0, c2, off2, 1e-3));

    // An offset below the small-number tolerance stays exactly on the centre line.
    double n0 = 0.0, e0 = 0.0;
    ASSERT_TRUE(a.getPosNeAtChainExtr(600.0, n0, e0));
    ASSERT_TRUE(a.getPosNeAtChainAndOffsetExtr(600.0, -0.99e-5, n, e));
    EXPECT_EQ(C2dPos(n0, e0), C2dPos(n, e));
    ASSERT_TRUE(a.getPosNeAtChainAndOffsetExtr(600.0, smallNumTolerance, n, e));
    EXPECT_NEAR(smallNumTolerance, std::hypot(n - n0, e - e0), 1e-12);
}

TEST(AlntHMixed, MovedPointRebuildsLikeANewAlignment) {
    // A cloverleaf through the start point: the start and two IPs refer to point 7.
    auto build = [](double pN, double pE, std::vector<int>* log) {
        CAlntH a;
        a.setStartPt(7, pN, pE, 0.0);
        const double pts[][3] = {{11, 0.0, 400.0},  {12, 400.0, 400.0},   {7, pN, pE},
                                 {13, -400.0, 0.0}, {14, -400.0, -400.0}, {7, pN, pE},
                                 {15, 0.0, 500.0}};
        for (const auto& p : pts) {
            CAlntHeIp ip = makeIp(p[1], p[2], 20.0, 80.0, 20.0);
            ip.get_data().setPointID(static_cast<int>(p[0]));
            a.appendElement(ip);
        }
        a.appendElement(CountingSegment(50.0, log));
        return a;
    };
    std::vector<int> log, log2;
    CAlntH moved = build(0.0, 0.0, &log);
    EXPECT_TRUE(moved.hasRefToPoint(12));
    EXPECT_FALSE(moved.hasRefToPoint(0));
    log.clear();
    moved.refreshPtCoords(7, 10.0, -5.0, 0.0);
    EXPECT_EQ((std::vector<int>{7}), log);  // one re-chaining for three moves
    expectSameAlignment(moved, build(10.0, -5.0, &log2));

    // A point no one uses, or one that did not move, changes nothing.
    log.clear();
    moved.refreshPtCoords(99, 1.0, 1.0, 0.0);
    moved.refreshPtCoords(0, 1.0, 1.0, 0.0);
    moved.refreshPtCoords(11, 0.0, 400.0, 0.0);
    EXPECT_TRUE(log.empty());
}
