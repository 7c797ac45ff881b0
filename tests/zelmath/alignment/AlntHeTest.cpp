#include <gtest/gtest.h>

#include <cmath>

#include "support/NearPair.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "zelmath/alignment/AlntHTestSupport.h"

TEST(AlntHe, ArcExtrapolatesAlongItsEndTangents) {
    CAlntH a;
    a.setStartPos(200.0, 300.0, 0.0);
    a.setStartChainageInM(50.0);
    a.appendElement(makeArc(100.0, 200.0, true));
    const CAlntHe* arc = a.getHe(0);
    double n = 0.0, e = 0.0, az = 0.0, fn = 0.0, fe = 0.0, k = 0.0;
    ASSERT_TRUE(arc->getPosNeAtChainExtr(45.0, n, e));
    EXPECT_TRUE(nearPair(195.0, 300.0, n, e, 1e-9));

    // Past the end: along the final azimuth (100 / 200 rad) from the end point of the circle.
    const double delta = 0.5;
    ASSERT_TRUE(arc->getFinalPosNe(fn, fe));
    EXPECT_TRUE(nearPair(200.0 + 200.0 * std::sin(delta), 300.0 + 200.0 * (1.0 - std::cos(delta)),
                         fn, fe, 1e-9));
    ASSERT_TRUE(arc->getPosNeAtChainAndOffsetExtr(155.0, 1.0, n, e));
    EXPECT_TRUE(nearPair(fn + 5.0 * std::cos(delta) - std::sin(delta),
                         fe + 5.0 * std::sin(delta) + std::cos(delta), n, e, 1e-9));
    ASSERT_TRUE(arc->getAzimuthAtChainExtr(155.0, az));
    EXPECT_NEAR(delta * zel_math::kDegPerRad, az, 1e-9);
    ASSERT_TRUE(a.getCurvatureAtChainage(100.0, k));
    EXPECT_DOUBLE_EQ(1.0 / 200.0, k);
}

TEST(AlntHe, IpCurvesNeedAFollowingIp) {
    CAlntH a;
    a.appendElement(makeIp(0.0, 100.0, 0.0, 40.0, 0.0));  // east first
    a.appendElement(makeIp(100.0, 100.0, 0.0, 40.0, 0.0));
    EXPECT_FALSE(CAlntHeIp::cast(a.getHe(0))->get_data().isSimplePoint());
    double n = 0.0, e = 0.0;

    // Followed by a straight instead, the IP is a bare vertex and the road bends there.
    a.appendElement(makeSegment(10.0));
    a.replaceElement(1, makeIp(100.0, 100.0, 0.0, 40.0, 0.0));
    EXPECT_TRUE(CAlntHeIp::cast(a.getHe(1))->get_data().isSimplePoint());
    a.removeHe(1);
    EXPECT_TRUE(CAlntHeIp::cast(a.getHe(0))->get_data().isSimplePoint());
    ASSERT_TRUE(a.getFinalPosNe(n, e));
    EXPECT_TRUE(nearPair(0.0, 110.0, n, e, 1e-9));
}
