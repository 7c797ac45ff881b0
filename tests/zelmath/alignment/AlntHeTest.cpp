#include <gtest/gtest.h>

#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"
#include "zelmath/alignment/AlntHTestSupport.h"

TEST(AlntHe, OffsetsLieSquareToTheDirectionOfTravel) {
    CAlntHeSegment east = makeSegment(10.0);
    east.setFixedStartAzimuthDeg(90.0);
    double n = 0.0, e = 0.0, cn = 0.0, ce = 0.0;
    ASSERT_TRUE(east.getPosAtLengthAndOffset(4.0, 2.0, n, e));
    EXPECT_NEAR(-2.0, n, 1e-12);  // right of an east-bound road is south
    EXPECT_NEAR(4.0, e, 1e-12);
    ASSERT_TRUE(east.getPosNeAtLength(4.0, cn, ce));
    ASSERT_TRUE(east.getPosAtLengthAndOffset(4.0, 0.99e-5, n, e));
    EXPECT_EQ(cn, n);
    EXPECT_EQ(ce, e);
    // Off the element by more than a millimetre there is no position to offset.
    EXPECT_FALSE(east.getPosAtLengthAndOffset(10.002, 1.0, n, e));
}

TEST(AlntHe, ArcExtrapolatesAlongItsEndTangents) {
    CAlntH a;
    a.setStartPos(200.0, 300.0, 0.0);
    a.setStartChainageInM(50.0);
    a.appendElement(makeArc(100.0, 200.0, true));
    const CAlntHe* arc = a.getHe(0);
    double n = 0.0, e = 0.0, az = 0.0, fn = 0.0, fe = 0.0, k = 0.0;
    ASSERT_TRUE(arc->getPosNeAtChainExtr(45.0, n, e));
    EXPECT_NEAR(195.0, n, 1e-9);
    EXPECT_NEAR(300.0, e, 1e-9);

    // Past the end: along the final azimuth (100 / 200 rad) from the end point of the circle.
    const double delta = 0.5;
    ASSERT_TRUE(arc->getFinalPosNe(fn, fe));
    EXPECT_NEAR(200.0 + 200.0 * std::sin(delta), fn, 1e-9);
    EXPECT_NEAR(300.0 + 200.0 * (1.0 - std::cos(delta)), fe, 1e-9);
    ASSERT_TRUE(arc->getPosNeAtChainAndOffsetExtr(155.0, 1.0, n, e));
    EXPECT_NEAR(fn + 5.0 * std::cos(delta) - std::sin(delta), n, 1e-9);
    EXPECT_NEAR(fe + 5.0 * std::sin(delta) + std::cos(delta), e, 1e-9);
    ASSERT_TRUE(arc->getAzimuthAtChainExtr(155.0, az));
    EXPECT_NEAR(delta * zel_math::kDegPerRad, az, 1e-9);
    ASSERT_TRUE(a.getCurvatureAtChainage(100.0, k));
    EXPECT_DOUBLE_EQ(1.0 / 200.0, k);
}

TEST(AlntHe, ArcElementRoundTripsAPlaneArc) {
    // A left-turning arc of radius 50 that starts heading east at (10, 20).
    CArc plane;
    plane.set_start_r_length(C2dPos(10.0, 20.0), CMathAngle(90.0), 50.0, -40.0, false);
    CAlntHeArc arc;
    arc.setArc(plane);
    EXPECT_TRUE(arc.hasFixedStartAzimuth());

    CAlntH a;
    a.setStartPos(10.0, 20.0, 0.0);
    a.appendElement(arc);
    CArc back;
    ASSERT_TRUE(CAlntHeArc::cast(a.getHe(0))->getArc(back));
    EXPECT_NEAR(0.0, back.start.distanceTo(C2dPos(10.0, 20.0)), 1e-9);
    EXPECT_NEAR(0.0, back.centre.distanceTo(plane.centre), 1e-9);
    EXPECT_NEAR(plane.cAngle.getRad(), back.cAngle.getRad(), 1e-12);
    EXPECT_EQ(plane.clockwise, back.clockwise);
}

TEST(AlntHe, CastsAndClonesKeepTheKind) {
    CAlntHeIp ip = makeIp(100.0, 0.0, 10.0, 50.0, 10.0);
    ip.get_data().setFlags(0x1C0);
    ip.internal_updateObjId(42);
    CAlntHe* copy = ip.clone();
    ASSERT_NE(nullptr, CAlntHeIp::cast(copy));
    EXPECT_EQ(nullptr, CAlntHeSegment::cast(copy));
    EXPECT_EQ(nullptr, CAlntHeSpiral::cast(copy));
    EXPECT_EQ(42, copy->getObjId());
    // The display kinds of the IP curve travel with the copy.
    EXPECT_EQ(0x1C0u, CAlntHeIp::cast(copy)->get_data().getFlags());
    delete copy;
    EXPECT_EQ(nullptr, CAlntHeIp::cast(static_cast<CAlntHe*>(nullptr)));
}

TEST(AlntHe, IpCurvesNeedAFollowingIp) {
    CAlntH a;
    a.appendElement(makeIp(0.0, 100.0, 0.0, 40.0, 0.0));  // east first
    a.appendElement(makeIp(100.0, 100.0, 0.0, 40.0, 0.0));
    EXPECT_FALSE(CAlntHeIp::cast(a.getHe(0))->get_data().isSimplePoint());
    // A quarter turn of radius 40: TS 40 m before the IP on the incoming tangent.
    double len = 0.0, n = 0.0, e = 0.0;
    ASSERT_TRUE(a.getHe(0)->getHLengthInM(len));
    EXPECT_NEAR(60.0 + 20.0 * zel_math::kPi, len, 1e-9);
    a.getHe(1)->getStartPosNe(n, e);
    EXPECT_NEAR(40.0, n, 1e-9);
    EXPECT_NEAR(100.0, e, 1e-9);

    // Followed by a straight instead, the IP is a bare vertex and the road bends there.
    a.appendElement(makeSegment(10.0));
    a.replaceElement(1, makeIp(100.0, 100.0, 0.0, 40.0, 0.0));
    EXPECT_TRUE(CAlntHeIp::cast(a.getHe(1))->get_data().isSimplePoint());
    a.removeHe(1);
    EXPECT_TRUE(CAlntHeIp::cast(a.getHe(0))->get_data().isSimplePoint());
    ASSERT_TRUE(a.getFinalPosNe(n, e));
    EXPECT_NEAR(0.0, n, 1e-9);
    EXPECT_NEAR(110.0, e, 1e-9);
}
