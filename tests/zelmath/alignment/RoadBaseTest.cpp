#include <gtest/gtest.h>

#include "velmorutils/zelmath/alignment/CRoadBase.h"
#include "velmorutils/zelmath/vertical/CAlntV.h"
#include "velmorutils/zelmath/vertical/CVerticalElement.h"
#include "zelmath/alignment/AlntHTestSupport.h"

namespace {

// Plan: 500 m north from (1000, 2000) starting at chainage 0 (so it ends at 500).
CAlntH plan500() {
    CAlntH h;
    h.setStartPt(3, 1000.0, 2000.0, 0.0);
    h.appendElement(makeSegment(200.0));
    h.appendElement(makeSegment(300.0));
    return h;
}

// Profile: +2 % for 480 m from height 50 at chainage 0.
CAlntV profile480() {
    CAlntV v;
    v.setStartPt(8, 50.0);
    CVerticalElement st;
    st.setStraight(480.0, 2.0);
    v.appendElement(st);
    return v;
}

}  // namespace

TEST(RoadBase, FinalChainageIsTheShorterAlignmentNotBeforeTheStartAndNoPlanNoPosition) {
    const CAlntH h = plan500();
    const CAlntV v = profile480();
    CRoadBase road;
    double c = 0.0, len = 0.0;
    EXPECT_FALSE(road.getFinalChainageInM(c));
    road.setVal(&v);
    road.setStartChainageInM(-20.0);
    ASSERT_TRUE(road.getFinalChainageInM(c));  // only a profile
    EXPECT_DOUBLE_EQ(480.0, c);
    road.setStartChainageInM(0.0);
    road.setHal(&h);
    ASSERT_TRUE(road.getFinalChainageInM(c));
    EXPECT_DOUBLE_EQ(480.0, c);
    ASSERT_TRUE(road.getHLengthInM(len));
    EXPECT_DOUBLE_EQ(480.0, len);
    road.setStartChainageInM(600.0);
    ASSERT_TRUE(road.getFinalChainageInM(c));
    EXPECT_DOUBLE_EQ(600.0, c);
    ASSERT_TRUE(road.getHLengthInM(len));
    EXPECT_EQ(0.0, len);
    // The road keeps no length of its own.
    EXPECT_FALSE(road.getTotalHLengthInM(len));
    // Without a plan there is no position.
    CRoadBase profileOnly;
    profileOnly.setVal(&v);
    double n = 0.0, e = 0.0, az = 0.0;
    EXPECT_FALSE(profileOnly.getPosNeAtChain(10.0, n, e));
    EXPECT_FALSE(profileOnly.getPosAtChainAndOffset(10.0, 1.0, n, e));
    EXPECT_FALSE(profileOnly.getAzimuthAtChainExtr(10.0, az));
    EXPECT_EQ(50.0, profileOnly.getStartPosH());
}
