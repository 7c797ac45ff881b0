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
    double start = 0.0, h = 0.0, g = 0.0;
    ASSERT_TRUE(alnt.getHe(0)->getStartChainageInM(start));
    EXPECT_EQ(start, 500.0);
    ASSERT_TRUE(alnt.getPosHAtChain(650.0, h));
    EXPECT_NEAR(h, 47.5, 1e-12);
    ASSERT_TRUE(alnt.getGradeAtChainage(675.0, g));
    EXPECT_NEAR(g, -1.0, 1e-12);
    EXPECT_FALSE(alnt.getPosHAtChain(499.0, h));
    ASSERT_TRUE(alnt.getPosHAtChainExtr(499.0, h));
    EXPECT_NEAR(h, 44.98, 1e-12);
}

TEST(CombinedAlignment, VerticalEditsAndDeepCopies) {
    CAlnt alnt;
    alnt.setStartPos(0.0, 0.0, 10.0);
    addGradeProfile(alnt);
    alnt.setChainageIntervalInM(20.0);
    ASSERT_TRUE(alnt.appendElement(makeSegment(250.0)));
    ASSERT_TRUE(alnt.removeVe(1));
    double h = 0.0;
    ASSERT_TRUE(alnt.getPosHAtChain(200.0, h));
    EXPECT_NEAR(h, 10.0, 1e-12);
    CVerticalElement level;
    level.setStraight(50.0, 0.0);
    ASSERT_TRUE(alnt.insertElement(1, level));
    ASSERT_TRUE(alnt.replaceElement(0, level));
    ASSERT_TRUE(alnt.getPosHAtChain(200.0, h));
    EXPECT_NEAR(h, 8.0, 1e-12);

    const CAlnt copy(alnt);
    EXPECT_EQ(copy.getChainageIntervalInM(), 20.0);
    alnt.removeAll();
    ASSERT_TRUE(copy.getPosHAtChain(200.0, h));
    EXPECT_NEAR(h, 8.0, 1e-12);
    alnt = copy;
    double n = 0.0, e = 0.0;
    ASSERT_TRUE(alnt.getFinalPosNe(n, e));
    EXPECT_NEAR(n, 250.0, 1e-9);
}

TEST(CombinedAlignment, IteratorsWalkItsVerticalPart) {
    CAlnt alnt;
    alnt.setStartPos(0.0, 0.0, 10.0);
    addGradeProfile(alnt);
    TAlntLsItrImpl<CAlnt> vips(alnt);
    ASSERT_TRUE(vips.nextLs());
    EXPECT_NEAR(vips.getCurLs().getChainage(), 150.0, 1e-12);
    TAlntVeItrImpl<CAlnt> pieces(alnt);
    ASSERT_TRUE(pieces.nextAlnVe() && pieces.nextAlnVe());
    EXPECT_FALSE(pieces.nextAlnVe());
}

}  // namespace
