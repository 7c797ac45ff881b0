#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/NearPair.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "zelmath/alignment/AlntHTestSupport.h"

namespace {

// Two 100 m straights heading north from (5000, 2000) at chainage 1000.
CAlntH twoStraights() {
    CAlntH a;
    a.setStartPos(5000.0, 2000.0, 0.0);
    a.setStartChainageInM(1000.0);
    a.appendElement(makeSegment(100.0));
    a.appendElement(makeSegment(100.0));
    return a;
}

// The element search as a surveyor would do it by hand: from the last element back to the
// first that starts at or before the chainage.
const CAlntHe* walkBack(const CAlntH& a, double chain, double* dist) {
    if (a.getNumOfHes() == 0) return nullptr;
    int k = a.getNumOfHes() - 1;
    double s = 0.0, len = 0.0;
    for (; k >= 0; --k) {
        if (!a.getHe(k)->getStartChainageInM(s)) return nullptr;
        if (s <= chain) break;
    }
    const CAlntHe* he = a.getHe(k < 0 ? 0 : k);
    if (!he->getHLengthInM(len) || !he->getStartChainageInM(s)) return nullptr;
    if (chain - s > len + roadTolerance) return nullptr;
    *dist = chain - s;
    return he;
}

void expectSearchLikeWalk(const CAlntH& a, const std::vector<double>& chains) {
    for (double c : chains) {
        double d1 = -7.0, d2 = -7.0;
        const CAlntHe* expected = walkBack(a, c, &d1);
        ASSERT_EQ(expected, a.getAlntHeAtChain(c, &d2)) << "chainage " << c;
        if (expected != nullptr && !std::isnan(c)) {
            EXPECT_EQ(d1, d2) << "chainage " << c;
        }
    }
}

// Every start and end chainage, a hair and a millimetre either side, and the far outside.
std::vector<double> probesFor(const CAlntH& a) {
    std::vector<double> out = {-1e9, -INFINITY, INFINITY, std::nan("")};
    for (int k = 0; k < a.getNumOfHes(); ++k) {
        double s = 0.0, f = 0.0;
        if (!a.getHe(k)->getStartChainageInM(s) || !a.getHe(k)->getFinalChainageInM(f)) continue;
        for (double x : {s, f})
            for (double dx : {0.0, 1e-9, -1e-9, 0.0009, 0.001, 0.0011, 0.002, -0.002, 3.3})
                out.push_back(x + dx);
    }
    return out;
}

}  // namespace

TEST(AlntH, PositionsSnapWithinAMillimetreExtrapolateBeyondAndProjectBack) {
    const CAlntH a = twoStraights();
    double n = 0.0, e = 0.0;
    // Within a millimetre of either end the element snaps to its end point.
    ASSERT_TRUE(a.getPosNeAtChain(1200.0009, n, e));
    EXPECT_NEAR(5200.0, n, 1e-9);
    ASSERT_TRUE(a.getPosNeAtChain(999.9995, n, e));
    EXPECT_NEAR(5000.0, n, 1e-9);
    // Just over the millimetre at either end, and well beyond: no position.
    for (const double beyond : {1200.0011, 1200.002, 999.9989, 995.0})
        EXPECT_FALSE(a.getPosNeAtChain(beyond, n, e)) << beyond;
    // Extrapolated along the end tangents; right of a north-bound line is east.
    const double cases[][4] = {{1200.002, 0.0, 5200.002, 2000.0},
                               {990.0, -2.0, 4990.0, 1998.0},
                               {1210.0, 1.0, 5210.0, 2001.0}};
    for (const auto& c : cases) {
        ASSERT_TRUE(a.getPosNeAtChainAndOffsetExtr(c[0], c[1], n, e)) << c[0];
        EXPECT_NEAR(0.0, C2dPos(n, e).distanceTo({c[2], c[3]}), 1e-9) << c[0];
    }
    double az = -1.0;
    ASSERT_TRUE(a.getAzimuthAtChainExtr(900.0, az));
    EXPECT_NEAR(0.0, az, 1e-12);
    EXPECT_FALSE(a.getAzimuthAtChain(1300.0, az));

    // Chainage and offset of a point beside the straights, and beyond their end.
    double c = 0.0, off = 0.0;
    ASSERT_TRUE(a.FindChainageAndOffset(5030.0, 1995.0, c, off));
    EXPECT_TRUE(nearPair(1030.0, -5.0, c, off, 1e-9));
    // Beyond the end a point needs to lie square to the last element within a degree: seen
    // from the end point, 89.5 degrees off the line is accepted, 88.5 degrees is not.
    EXPECT_FALSE(a.FindChainageAndOffset(5210.0, 2003.0, c, off));
    const double square[][2] = {{89.5, 1.0}, {88.5, 0.0}};
    for (const auto& s : square) {
        const double along = 10.0 / std::tan(s[0] * zel_math::kPi / 180.0);
        EXPECT_EQ(s[1] != 0.0, a.FindChainageAndOffset(5200.0 + along, 2010.0, c, off)) << s[0];
    }

    // A corner: north 100 m, then east. A point 3 m past the corner is as near to both ends;
    // the later element takes it, and to that east-bound element it lies square and left.
    CAlntH corner;
    corner.appendElement(makeSegment(100.0));
    CAlntHeSegment east = makeSegment(100.0);
    east.setFixedStartAzimuthDeg(90.0);
    corner.appendElement(east);
    ASSERT_TRUE(corner.FindChainageAndOffset(103.0, 0.0, c, off));
    EXPECT_TRUE(nearPair(100.0, -3.0, c, off, 1e-9));
}

TEST(AlntH, EmptyAlignmentAnswersOnlyWithItsStartAndUndefinedElementsAreRefused) {
    CAlntH a;
    a.setStartPos(10.0, 20.0, 99.0);
    double n = 0.0, e = 0.0, c = 0.0, off = 0.0;
    ASSERT_TRUE(a.getFinalPosNe(n, e));
    EXPECT_EQ(C2dPos(10.0, 20.0), C2dPos(n, e));
    EXPECT_FALSE(a.getPosNeAtChainExtr(5.0, n, e));
    EXPECT_FALSE(a.FindChainageAndOffset(10.0, 20.0, c, off));

    CAlntH two = twoStraights();
    CAlntHeArc undefined;  // no length, no radius
    EXPECT_FALSE(two.appendElement(undefined));
    EXPECT_FALSE(two.insertElement(0, undefined));
    EXPECT_FALSE(two.replaceElement(1, undefined));
    EXPECT_EQ(2, two.getNumOfHes());
}

TEST(AlntH, ElementSearchMatchesTheBackwardWalk) {
    CAlntH a;
    a.setStartChainageInM(500.0);
    // Zero-length elements in a row share one start chainage with their neighbours.
    const double lengths[] = {12.5, 0.0, 0.0, 40.0, 0.0004, 7.25, 0.0, 100.0, 3.0, 0.0};
    for (int rep = 0; rep < 3; ++rep) {
        for (double len : lengths)
            a.appendElement(makeSegment(len));
        a.appendElement(makeArc(30.0, 150.0, rep % 2 == 0));
    }
    expectSearchLikeWalk(a, probesFor(a));

    // Inside a batch the clones stay unchained: starts are stale and out of order.
    a.beginBulkUpdate();
    a.insertElement(5, makeSegment(8.0));
    a.appendElement(makeSegment(15.0));
    a.removeHe(2);
    a.replaceElement(10, makeSegment(1.0));
    expectSearchLikeWalk(a, probesFor(a));
    a.onBulkUpdateFinished();
    expectSearchLikeWalk(a, probesFor(a));

    // A start chainage that is not set makes the search fail where the walk reaches it.
    a.setStartChainageInM(zel_math::kUnset);
    expectSearchLikeWalk(a, {-5.0, 0.0, 20.0, 1e6});
    a.setStartChainageInM(-250.0);
    expectSearchLikeWalk(a, probesFor(a));
}

TEST(AlntH, EditsRechainFromOneElementBeforeUnlessInABulkUpdate) {
    std::vector<int> log;
    CAlntH a;
    for (int i = 0; i < 6; ++i)
        a.appendElement(CountingSegment(10.0 + i, &log));
    const auto logOf = [&log](auto edit) {
        log.clear();
        edit();
        return log;
    };
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), logOf([&] { a.removeHe(3); }));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), logOf([&] { a.removeHe(0); }));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}),
              logOf([&] { a.insertElement(2, CountingSegment(5.0, &log)); }));
    EXPECT_EQ((std::vector<int>{3, 4}),
              logOf([&] { a.replaceElement(4, CountingSegment(1.0, &log)); }));

    // What follows an edit moved: starts, in chainage and position, are the running sum.
    double expected = 0.0, s = 0.0, n = 0.0, e = 0.0, len = 0.0;
    for (int k = 0; k < a.getNumOfHes(); ++k) {
        ASSERT_TRUE(a.getHe(k)->getStartChainageInM(s));
        a.getHe(k)->getStartPosNe(n, e);
        EXPECT_NEAR(expected, s, 1e-12);
        EXPECT_NEAR(expected, n, 1e-12);
        a.getHe(k)->getHLengthInM(len);
        expected += len;
    }

    // Removing the only element leaves an empty alignment with no stale length.
    CAlntH one;
    one.appendElement(makeSegment(20.0));
    ASSERT_TRUE(one.getTotalHLengthInM(len));
    one.removeHe(0);
    ASSERT_TRUE(one.getTotalHLengthInM(len));
    EXPECT_EQ(0.0, len);

    // In a bulk update nothing is re-chained until it is finished.
    CAlntH bulk;
    bulk.appendElement(CountingSegment(10.0, &log));
    bulk.beginBulkUpdate();
    log.clear();
    bulk.appendElement(CountingSegment(20.0, &log));
    bulk.insertElement(0, CountingSegment(5.0, &log));
    bulk.setStartChainageInM(100.0);
    bulk.setStartPos(1.0, 2.0, 0.0);
    EXPECT_TRUE(log.empty());
    s = -1.0;
    bulk.getHe(2)->getStartChainageInM(s);
    EXPECT_EQ(0.0, s);  // the clone as it was handed in

    bulk.onBulkUpdateFinished();
    EXPECT_EQ((std::vector<int>{0, 1, 2}), log);
    EXPECT_FALSE(bulk.isInBulkUpdate());
    bulk.getHe(2)->getStartChainageInM(s);
    EXPECT_DOUBLE_EQ(115.0, s);
    ASSERT_TRUE(bulk.getFinalPosNe(n, e));
    EXPECT_NEAR(0.0, C2dPos(n, e).distanceTo({36.0, 2.0}), 1e-12);
}

TEST(AlntH, FixedStartAzimuthSurvivesAnEditBeforeIt) {
    CAlntH a;
    a.appendElement(makeSegment(50.0));
    CAlntHeSegment east = makeSegment(20.0);
    east.setFixedStartAzimuthDeg(90.0);
    a.appendElement(east);
    a.appendElement(makeSegment(10.0));
    a.replaceElement(0, makeArc(30.0, 100.0, true));
    // The fixed element keeps its direction, starts where the arc ends, and the element after
    // it follows.
    CMathAngle start;
    a.getHe(2)->getStartAzimut(start);
    EXPECT_NEAR(90.0, start.getDeg(), 1e-12);
    C2dPos end, start2;
    a.getHe(0)->getFinalPosNe(end.north, end.east);
    a.getHe(1)->getStartPosNe(start2.north, start2.east);
    EXPECT_NEAR(0.0, end.distanceTo(start2), 1e-12);
}
