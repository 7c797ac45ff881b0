#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "velmorutils/velmorutils.h"
#include "zelmath/alignment/AlntHTestSupport.h"

namespace {

std::vector<double> chainagesOf(const C2dPosAndSts& s) {
    std::vector<double> out;
    for (const C2dPosAndSt& x : s)
        out.push_back(std::round(x.sts * 1e6) / 1e6);
    return out;
}

std::vector<int> nodesOf(const CNodePosIndexes& n) {
    std::vector<int> out;
    for (int i = 0; i < n.GetSize(); ++i)
        out.push_back(n[i]);
    return out;
}

// Straights heading east from (100, 200) at chainage 1000.
CAlntH eastStraights(std::initializer_list<double> lengths) {
    CAlntH a;
    a.setStartPt(0, 100.0, 200.0, 0.0);
    a.setStartChainageInM(1000.0);
    for (double len : lengths) {
        CAlntHeSegment s = makeSegment(len);
        if (a.getNumOfHes() == 0) s.setFixedStartAzimuthDeg(90.0);
        a.appendElement(s);
    }
    return a;
}

C2dPosAndSts polyline(std::initializer_list<C2dPos> pts) {
    CAlnt2dPosCache c;
    double s = 0.0;
    for (const C2dPos& p : pts)
        c.addPosAndSt(p, s++ * 10.0, false);
    return c;
}

// A segment that cannot give a position beyond 50 m along itself.
class BrokenSegment : public CAlntHeSegment {
public:
    explicit BrokenSegment(double len) { get_data().get_data().setLen(len); }
    CAlntHe* clone() const override { return new BrokenSegment(*this); }
    bool getPosNeAtChain(double chain, double& n, double& e) const override {
        double d = 0.0;
        chainage2Distance(chain, d);
        return d <= 50.0 && CAlntHeSegment::getPosNeAtChain(chain, n, e);
    }
};

// Turns positions by 30 degrees about the origin and shifts them; refuses call failAt.
class RotateShift : public I2dPosUpdateCallback {
public:
    explicit RotateShift(int failAt = 0) : m_failAt(failAt) {}
    static C2dPos apply(const C2dPos& p) {
        const double c = std::cos(zel_math::kPi / 6), s = std::sin(zel_math::kPi / 6);
        return {p.north * c - p.east * s + 1000.0, p.north * s + p.east * c - 250.0};
    }
    bool updatePos(double& n, double& e) override {
        if (++calls == m_failAt) return false;
        const C2dPos p = apply({n, e});
        n = p.north;
        e = p.east;
        return true;
    }
    int calls = 0;

private:
    int m_failAt;
};

// Each extent of the cache against a plain scan of its samples.
void expectExtentsOfTheSamples(const CAlnt2dPosCache& c) {
    double minN = c[0].pos.north, maxN = minN, minE = c[0].pos.east, maxE = minE;
    for (const C2dPosAndSt& x : c) {
        minN = std::min(minN, x.pos.north);
        maxN = std::max(maxN, x.pos.north);
        minE = std::min(minE, x.pos.east);
        maxE = std::max(maxE, x.pos.east);
    }
    EXPECT_EQ(
        (std::vector<double>{minN, maxN, minE, maxE}),
        (std::vector<double>{c.getMinNorth(), c.getMaxNorth(), c.getMinEast(), c.getMaxEast()}));
}

double moved(const C2dPos& was, const C2dPos& now) {
    return RotateShift::apply(was).distanceTo(now);
}

}  // namespace

TEST(PosCache, StepWalkKeepsElementEndsAndSnapsWithinAMillimetre) {
    CAlnt2dPosCache c;
    ASSERT_TRUE(c.loadNodesAndPosWithStep(eastStraights({100.0}), 30.0));
    EXPECT_EQ((std::vector<double>{1000, 1030, 1060, 1090, 1100}), chainagesOf(c));
    EXPECT_EQ((std::vector<int>{0, 4}), nodesOf(c.getNodePosIndexes()));
    // The end comes from the walk, not from a step; each element counts steps from its start.
    ASSERT_TRUE(c.loadNodesAndPosWithStep(eastStraights({100.0}), 25.0));
    EXPECT_EQ((std::vector<double>{1000, 1025, 1050, 1075, 1100}), chainagesOf(c));
    ASSERT_TRUE(c.loadNodesAndPosWithStep(eastStraights({60.0005, 40.0}), 30.0));
    EXPECT_EQ((std::vector<double>{1000, 1030, 1060.0005, 1090.0005, 1100.0005}), chainagesOf(c));
    EXPECT_EQ((std::vector<int>{0, 2, 4}), nodesOf(c.getNodePosIndexes()));
    // Just over a millimetre short of the end is a stop of its own.
    ASSERT_TRUE(c.loadNodesAndPosWithStep(eastStraights({60.0011}), 30.0));
    EXPECT_EQ((std::vector<double>{1000, 1030, 1060, 1060.0011}), chainagesOf(c));
}

TEST(PosCache, ZeroLengthElementIsOneSampleAndTwoNodes) {
    const CAlntH a = eastStraights({100.0, 0.0, 50.0});
    CAlnt2dPosCache c;
    ASSERT_TRUE(c.loadOnlyNodes(a));
    EXPECT_EQ((std::vector<double>{1000, 1100, 1150}), chainagesOf(c));
    EXPECT_EQ((std::vector<int>{0, 1, 1, 2}), nodesOf(c.getNodePosIndexes()));
    EXPECT_EQ(-1, c.posIndex2AlntElementIndex(-1));
    EXPECT_EQ(2, c.posIndex2AlntElementIndex(1));  // the later of the two starting there
    EXPECT_EQ(3, c.posIndex2AlntElementIndex(7));  // beyond the last node

    ASSERT_TRUE(c.loadNodesAndPosWithStep(a, 30.0));
    EXPECT_EQ((std::vector<double>{1000, 1030, 1060, 1090, 1100, 1130, 1150}), chainagesOf(c));
    EXPECT_EQ((std::vector<int>{0, 4, 4, 6}), nodesOf(c.getNodePosIndexes()));
    EXPECT_EQ(0, c.posIndex2AlntElementIndex(3));
    EXPECT_EQ(2, c.posIndex2AlntElementIndex(5));
}

TEST(PosCache, PolylineInterpolatesInsideAndRefusesOutside) {
    const C2dPosAndSts s = polyline({{0, 0}, {0, 10}, {10, 10}});  // chainages 0, 10, 20
    C2dPos p;
    ASSERT_TRUE(s.getPosOnSegment(12.5, p));
    EXPECT_EQ(C2dPos(2.5, 10), p);
    ASSERT_TRUE(s.getPosOnSegment(20.0 + 1e-13, p));
    EXPECT_EQ(C2dPos(10, 10), p);
    p = C2dPos(7, 7);
    EXPECT_FALSE(s.getPosOnSegment(20.001, p));
    EXPECT_FALSE(s.getPosOnSegment(-0.001, p));
    EXPECT_EQ(C2dPos(7, 7), p);
    EXPECT_EQ(0, s.getNextVertexIndex(-5.0));
    EXPECT_EQ(2, s.getNextVertexIndex(10.0 + 1e-13));
    EXPECT_EQ(-1, s.getNextVertexIndex(20.0));

    // Out of order and repeated stations: sorted, stored once, the node takes the old index.
    CAlnt2dPosCache c;
    c.addPosAndSt({5, 5}, 50.0, true);
    c.addPosAndSt({1, 9}, 10.0, false);
    c.addPosAndSt({8, -3}, 30.0, true);
    c.addPosAndSt({99, 99}, 30.0 + 1e-13, true);
    c.addPosAndSt({2, 2}, 30.0 + 2e-12, false);
    EXPECT_EQ(4, c.GetSize());
    EXPECT_EQ(C2dPos(8, -3), c[1].pos);
    EXPECT_EQ((std::vector<int>{0, 1, 1}), nodesOf(c.getNodePosIndexes()));
    EXPECT_EQ(8.0, c.getMaxNorth());  // the refused sample did not widen the extents
}

TEST(PosCache, NearestChordTakesTheFirstOfEqualsAndHandlesFewSamples) {
    const C2dPosAndSts s = polyline({{0, 0}, {0, 10}, {0, 20}});
    double d = -1.0;
    EXPECT_EQ(0, s.findNearestSegment({5, 10}, &d));  // the joint is on both chords
    EXPECT_EQ(5.0, d);
    EXPECT_EQ(1, s.findNearestSegment({4, 23}, &d));  // beyond the end: to the end point
    EXPECT_NEAR(5.0, d, 1e-12);
    // A hairpin: the return leg wins only when strictly nearer.
    const C2dPosAndSts h = polyline({{0, 0}, {100, 0}, {100, 2}, {0, 2}});
    EXPECT_EQ(0, h.findNearestSegment({50, 1.0}, &d));
    EXPECT_EQ(2, h.findNearestSegment({50, 1.001}, &d));

    d = -1.0;
    EXPECT_EQ(-1, polyline({{0, 0}}).findNearestSegment({3, 4}, &d));
    EXPECT_EQ(0.0, d);
    EXPECT_EQ(-1, C2dPosAndSts().findNearestSegment({3, 4}, nullptr));
}

TEST(PosCache, NearestChordOnLongPolylinesMatchesAFullScan) {
    // A wandering line of 300 chords against random points, also after an insertion and a
    // transformation (the search's own index must follow every change).
    CAlnt2dPosCache c;
    unsigned seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % 1000 / 10.0;
    };
    for (int i = 0; i < 300; ++i)
        c.addPosAndSt({next(), next()}, i, false);
    for (int round = 0; round < 3; ++round) {
        for (int k = 0; k < 200; ++k) {
            const C2dPos p(next() * 1.2 - 10.0, next() * 1.2 - 10.0);
            int want = -1;
            double wantDist = 0.0, got = -1.0;
            for (int i = 0; i + 1 < c.GetSize(); ++i) {
                const double dd = C2dSegment(c[i].pos, c[i + 1].pos).getDistance(p);
                if (want < 0 || dd < wantDist) want = i, wantDist = dd;
            }
            EXPECT_EQ(want, c.findNearestSegment(p, &got)) << round << " " << k;
            EXPECT_EQ(wantDist, got);
        }
        if (round == 0) c.addPosAndSt({500.0, 500.0}, 150.5, false);
        RotateShift move;
        if (round == 1) c.updatePositions(move);
    }
}

TEST(PosCache, MixedRoadChordsStayWithinTheDeviationAndMoveWithAnUpdate) {
    CAlntH a;
    buildMixedRoad(a, 1000.0);
    CAlnt2dPosCache c;
    ASSERT_TRUE(c.loadNodesAndPosForDeviation(a, 0.01));
    ASSERT_EQ(a.getNumOfHes() + 1, c.getNodePosIndexes().GetSize());
    double worst = 0.0;
    for (int i = 0; i + 1 < c.GetSize(); ++i) {
        const C2dPos mid = (c[i].pos + c[i + 1].pos) * 0.5;
        double dist = 0.0, len = 0.0;
        const CAlntHe* el = a.getHe(c.posIndex2AlntElementIndex(i));
        ASSERT_TRUE(el->getShortestDistAndCurveLen(mid.north, mid.east, dist, len)) << i;
        worst = std::max(worst, dist);
    }
    EXPECT_LE(worst, 0.01 + 1e-9);
    EXPECT_GT(worst, 0.005);  // the chords are not needlessly short

    // The two IPs followed by an IP carry curves; the last one is a bare vertex.
    ASSERT_EQ(2, c.getNumOfIpNodes());
    for (const TIpNodes& rec : c.getIpNodes()) {
        double ch = 0.0, off = 0.0;
        ASSERT_TRUE(a.FindChainageAndOffset(rec.sc.north, rec.sc.east, ch, off));
        EXPECT_NEAR(0.0, off, 1e-4);
    }

    // An update moves samples, extents and IP records, and stops at the first refusal.
    const CAlnt2dPosCache before = c;
    RotateShift cb;
    ASSERT_TRUE(c.updatePositions(cb));
    EXPECT_EQ(before.GetSize() + 4 * before.getNumOfIpNodes(), cb.calls);
    for (int i = 0; i < c.GetSize(); ++i) {
        EXPECT_NEAR(0.0, moved(before[i].pos, c[i].pos), 1e-9) << i;
        EXPECT_EQ(before[i].sts, c[i].sts);
    }
    expectExtentsOfTheSamples(c);

    // Refused at the fourth sample: three moved, the rest as they were.
    c = before;
    RotateShift early(4);
    EXPECT_FALSE(c.updatePositions(early));
    EXPECT_NEAR(0.0, moved(before[2].pos, c[2].pos), 1e-9);
    EXPECT_EQ(before[3].pos, c[3].pos);
    // Refused at the second IP record point: the IP moved, its TS did not.
    c = before;
    RotateShift late(before.GetSize() + 2);
    EXPECT_FALSE(c.updatePositions(late));
    EXPECT_NEAR(0.0, moved(before.getIpNodes()[0].ip, c.getIpNodes()[0].ip), 1e-9);
    EXPECT_EQ(before.getIpNodes()[0].ts, c.getIpNodes()[0].ts);
}

// A square loop (north, east, south, west of its start) reaches past its start on every side:
// each extent must match a plain scan of the samples.
TEST(PosCache, ExtentsMatchAScanOfTheSamples) {
    CAlntH loop;
    loop.setStartPt(0, 100.0, 200.0, 0.0);
    const double legs[][2] = {{0.0, 50.0}, {90.0, 80.0}, {180.0, 120.0}, {270.0, 150.0}};
    for (const auto& leg : legs) {
        CAlntHeSegment s = makeSegment(leg[1]);
        s.setFixedStartAzimuthDeg(leg[0]);
        loop.appendElement(s);
    }
    CAlnt2dPosCache c;
    ASSERT_TRUE(c.loadNodesAndPosWithStep(loop, 7.0));
    expectExtentsOfTheSamples(c);

    // A step that divides the element exactly stops before its end.
    ASSERT_TRUE(c.loadNodesAndPosWithStep(*eastStraights({100.0}).getHe(0), 25.0));
    EXPECT_EQ((std::vector<double>{1000, 1025, 1050, 1075}), chainagesOf(c));
}

TEST(PosCache, FailedLoadsKeepWhatWasStored) {
    CAlnt2dPosCache c;
    const CAlntH empty;
    EXPECT_FALSE(c.loadNodesAndPosWithStep(empty, 10.0));
    EXPECT_FALSE(c.loadNodesAndPosForDeviation(empty, 0.01));
    EXPECT_FALSE(c.loadOnlyNodes(empty));
    EXPECT_EQ(1, c.GetSize());  // the start point

    const CAlntH a = eastStraights({100.0});
    for (double bad : {0.0, -5.0, std::nan("")})
        EXPECT_FALSE(c.loadNodesAndPosWithStep(a, bad));
    EXPECT_EQ(0, c.GetSize());

    CAlntH broken = eastStraights({30.0});
    broken.appendElement(BrokenSegment(100.0));
    EXPECT_FALSE(c.loadNodesAndPosWithStep(broken, 20.0));
    EXPECT_EQ((std::vector<double>{1000, 1020, 1030, 1050, 1070}), chainagesOf(c));
    EXPECT_EQ((std::vector<int>{0, 2}), nodesOf(c.getNodePosIndexes()));
}
