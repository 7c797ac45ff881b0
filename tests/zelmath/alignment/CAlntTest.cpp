#include <gtest/gtest.h>

#include "velmorutils/velmorutils.h"
#include "zelmath/alignment/AlntHTestSupport.h"

namespace {

// +2 % for 100 m, then a 100 m crest down to -2 %, then -2 % for 100 m.
void addGradeProfile(CAlnt& alnt) {
    CVerticalElement e;
    e.setStraight(100.0, 2.0);
    alnt.appendElement(e);
    e.setParabola(100.0, 2.0, -2.0);
    alnt.appendElement(e);
    e.setStraight(100.0, -2.0);
    alnt.appendElement(e);
}

TEST(CombinedAlignment, StartPointAndChainageSetBothParts) {
    CAlnt alnt;
    addGradeProfile(alnt);
    alnt.setStartPt(5, 1000.0, 2000.0, 45.0);
    EXPECT_EQ(alnt.getFirstVe()->getStartHt(), 45.0);

    ASSERT_TRUE(alnt.appendElement(makeSegment(300.0)));
    alnt.setStartChainageInM(500.0);
    double h = 0.0, g = 0.0;
    ASSERT_TRUE(alnt.getPosHAtChain(650.0, h));
    EXPECT_NEAR(h, 47.5, 1e-12);
    ASSERT_TRUE(alnt.getGradeAtChainage(675.0, g));
    EXPECT_NEAR(g, -1.0, 1e-12);
    EXPECT_FALSE(alnt.getPosHAtChain(499.0, h));
    ASSERT_TRUE(alnt.getPosHAtChainExtr(499.0, h));
    EXPECT_NEAR(h, 44.98, 1e-12);
}

}  // namespace
