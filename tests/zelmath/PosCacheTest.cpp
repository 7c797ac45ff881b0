#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "velmorutils/velmorutils.h"
#include "zelmath/PosCacheTestSupport.h"

namespace {

std::vector<double> chainagesOf(const C2dPosAndSts& s) {
    std::vector<double> out;
    for (const C2dPosAndSt& x : s)
        out.push_back(x.sts);
    return out;
}

std::vector<int> nodesOf(const CAlnt2dPosCache& c) {
    std::vector<int> out;
    for (int i = 0; i < c.getNodePosIndexes().GetSize(); ++i)
        out.push_back(c.getNodePosIndexes()[i]);
    return out;
}

void expectChainages(const std::vector<double>& expected, const C2dPosAndSts& s) {
    const std::vector<double> got = chainagesOf(s);
    ASSERT_EQ(expected.size(), got.size());
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(expected[i], got[i], 1e-9) << i;
}

// A straight heading east from (100, 200) at chainage 1000.
CAlntH eastStraight(std::initializer_list<double> lengths) {
    CAlntH a;
    a.setStartPt(0, 100.0, 200.0, 0.0);
    a.setStartChainageInM(1000.0);
    bool first = true;
    for (double len : lengths) {
        CAlntHeSegment s = makeSegment(len);
        if (first) s.setFixedStartAzimuthDeg(90.0);
        first = false;
        a.appendElement(s);
    }
    return a;
}

C2dPosAndSts polyline(std::initializer_list<C2dPosAndSt> pts) {
    CAlnt2dPosCache c;
    for (const C2dPosAndSt& p : pts)
        c.addPosAndSt(p.pos, p.sts, false);
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

}  // namespace

TEST(PosCache, StepWalkSamplesWholeStepsAndTheEnd) {
    const CAlntH a = eastStraight({100.0});
    CAlnt2dPosCache c;
    ASSERT_TRUE(c.loadNodesAndPosWithStep(a, 30.0));
    expectChainages({1000, 1030, 1060, 1090, 1100}, c);
    EXPECT_EQ((std::vector<int>{0, 4}), nodesOf(c));
    EXPECT_NEAR(100.0, c[2].pos.north, 1e-9);
    EXPECT_NEAR(260.0, c[2].pos.east, 1e-9);
    EXPECT_NEAR(200.0, c.getMinEast(), 1e-9);
    EXPECT_NEAR(300.0, c.getMaxEast(), 1e-9);
    EXPECT_NEAR(100.0, c.getMinNorth(), 1e-9);
    EXPECT_NEAR(100.0, c.getMaxNorth(), 1e-9);

    // The end comes from the walk, not from a fourth step; reloading forgets the old samples.
    ASSERT_TRUE(c.loadNodesAndPosWithStep(a, 25.0));
    expectChainages({1000, 1025, 1050, 1075, 1100}, c);
    EXPECT_EQ((std::vector<int>{0, 4}), nodesOf(c));
}

TEST(PosCache, StepWithinAMillimetreOfTheEndSnapsToIt) {
    const CAlntH a = eastStraight({60.0005, 40.0});
    CAlnt2dPosCache c;
    ASSERT_TRUE(c.loadNodesAndPosWithStep(a, 30.0));
    // The second element starts a fresh count of steps at its own start.
    expectChainages({1000, 1030, 1060.0005, 1090.0005, 1100.0005}, c);
    EXPECT_EQ((std::vector<int>{0, 2, 4}), nodesOf(c));
    // A step of 29.9995 would stop 1.0 mm short of the end: that is far enough to be kept.
    ASSERT_TRUE(c.loadNodesAndPosWithStep(eastStraight({60.0015}), 30.0));
    expectChainages({1000, 1030, 1060, 1060.0015}, c);
}

TEST(PosCache, ZeroLengthElementIsOneSampleAndTwoNodes) {
    const CAlntH a = eastStraight({100.0, 0.0, 50.0});
    ASSERT_EQ(3, a.getNumOfHes());
    CAlnt2dPosCache c;
    ASSERT_TRUE(c.loadOnlyNodes(a));
    expectChainages({1000, 1100, 1150}, c);
    EXPECT_EQ((std::vector<int>{0, 1, 1, 2}), nodesOf(c));
    EXPECT_EQ(-1, c.posIndex2AlntElementIndex(-1));
    EXPECT_EQ(0, c.posIndex2AlntElementIndex(0));
    EXPECT_EQ(2, c.posIndex2AlntElementIndex(1));  // the later of the two starting there
    EXPECT_EQ(3, c.posIndex2AlntElementIndex(2));
    EXPECT_EQ(3, c.posIndex2AlntElementIndex(7));

    ASSERT_TRUE(c.loadNodesAndPosWithStep(a, 30.0));
    expectChainages({1000, 1030, 1060, 1090, 1100, 1130, 1150}, c);
    EXPECT_EQ((std::vector<int>{0, 4, 4, 6}), nodesOf(c));
    EXPECT_EQ(0, c.posIndex2AlntElementIndex(3));
    EXPECT_EQ(2, c.posIndex2AlntElementIndex(4));
    EXPECT_EQ(2, c.posIndex2AlntElementIndex(5));
    ASSERT_TRUE(c.loadNodesAndPosForDeviation(a, 0.01));
    expectChainages({1000, 1100, 1150}, c);
    EXPECT_EQ((std::vector<int>{0, 1, 1, 2}), nodesOf(c));
}

TEST(PosCache, PositionOnPolylineInterpolatesButNeverExtrapolates) {
    const C2dPosAndSts s = polyline({{{0, 0}, 10.0}, {{0, 10}, 20.0}, {{10, 10}, 40.0}});
    C2dPos p(-1, -1);
    ASSERT_TRUE(s.getPosOnSegment(20.0, p));
    EXPECT_EQ(C2dPos(0, 10), p);
    ASSERT_TRUE(s.getPosOnSegment(25.0, p));
    EXPECT_NEAR(2.5, p.north, 1e-12);
    EXPECT_NEAR(10.0, p.east, 1e-12);
    ASSERT_TRUE(s.getPosOnSegment(40.0 + 1e-13, p));
    EXPECT_EQ(C2dPos(10, 10), p);
    ASSERT_TRUE(s.getPosOnSegment(10.0 - 1e-13, p));
    EXPECT_EQ(C2dPos(0, 0), p);
    p = C2dPos(7, 7);
    EXPECT_FALSE(s.getPosOnSegment(40.001, p));
    EXPECT_FALSE(s.getPosOnSegment(9.999, p));
    EXPECT_EQ(C2dPos(7, 7), p);
    EXPECT_FALSE(C2dPosAndSts().getPosOnSegment(0.0, p));

    EXPECT_EQ(0, s.getNextVertexIndex(5.0));
    EXPECT_EQ(1, s.getNextVertexIndex(10.0));
    EXPECT_EQ(2, s.getNextVertexIndex(20.0 + 1e-13));
    EXPECT_EQ(2, s.getNextVertexIndex(39.0));
    EXPECT_EQ(-1, s.getNextVertexIndex(40.0));
    EXPECT_EQ(-1, C2dPosAndSts().getNextVertexIndex(0.0));
}

TEST(PosCache, SamplesStaySortedAndUniqueInAnyOrder) {
    CAlnt2dPosCache c;
    c.addPosAndSt({5, 5}, 50.0, true);
    c.addPosAndSt({1, 9}, 10.0, false);
    c.addPosAndSt({8, -3}, 30.0, true);
    c.addPosAndSt({99, 99}, 30.0 + 1e-13, true);  // the same station: not stored, still a node
    c.addPosAndSt({2, 2}, 30.0 + 2e-12, false);   // a different one
    expectChainages({10, 30, 30 + 2e-12, 50}, c);
    EXPECT_EQ((std::vector<int>{0, 1, 1}), nodesOf(c));  // indexes as they were at insertion
    EXPECT_EQ(1.0, c.getMinNorth());
    EXPECT_EQ(8.0, c.getMaxNorth());  // the refused sample did not widen the extents
    EXPECT_EQ(-3.0, c.getMinEast());
    EXPECT_EQ(9.0, c.getMaxEast());
}

TEST(PosCache, NearestChordFirstOfTiesAndEmptyCases) {
    const C2dPosAndSts s = polyline({{{0, 0}, 0.0}, {{0, 10}, 10.0}, {{0, 20}, 20.0}});
    double d = -1.0;
    // Equally near the end of chord 0 and the start of chord 1.
    EXPECT_EQ(0, s.findNearestSegment({5, 10}, &d));
    EXPECT_NEAR(5.0, d, 1e-12);
    EXPECT_EQ(1, s.findNearestSegment({-3, 14}, &d));
    EXPECT_NEAR(3.0, d, 1e-12);
    // Beyond the end: the distance to the end point.
    EXPECT_EQ(1, s.findNearestSegment({4, 23}, &d));
    EXPECT_NEAR(5.0, d, 1e-12);
    EXPECT_EQ(1, s.findNearestSegment({4, 23}, nullptr));

    // A hairpin whose later leg is nearer by a millimetre wins.
    const C2dPosAndSts h =
        polyline({{{0, 0}, 0.0}, {{100, 0}, 100.0}, {{100, 2.001}, 102.0}, {{0, 2.001}, 202.0}});
    EXPECT_EQ(0, h.findNearestSegment({50, 1.0005}, &d));  // halfway: the first leg
    EXPECT_EQ(0, h.findNearestSegment({50, 1.0}, &d));
    EXPECT_EQ(2, h.findNearestSegment({50, 1.001}, &d));
    EXPECT_NEAR(1.0, d, 1e-12);

    d = -1.0;
    EXPECT_EQ(0, polyline({{{0, 0}, 0.0}, {{0, 1}, 1.0}}).findNearestSegment({3, 0}, &d));
    EXPECT_NEAR(3.0, d, 1e-12);
    d = -1.0;
    EXPECT_EQ(-1, polyline({{{0, 0}, 0.0}}).findNearestSegment({3, 4}, &d));
    EXPECT_EQ(0.0, d);
    d = -1.0;
    EXPECT_EQ(-1, C2dPosAndSts().findNearestSegment({3, 4}, &d));
    EXPECT_EQ(-1.0, d);
}

TEST(PosCache, ChordsStayWithinTheDeviationOnAMixedRoad) {
    CAlntH a;
    buildMixedRoad(a);
    CAlnt2dPosCache c;
    ASSERT_TRUE(c.loadNodesAndPosForDeviation(a, 0.01));
    const int elements = a.getNumOfHes();
    ASSERT_EQ(elements + 1, c.getNodePosIndexes().GetSize());
    // Every element starts at a sample, at its own chainage and point.
    for (int k = 0; k < elements; ++k) {
        const C2dPosAndSt& s = c[c.getNodePosIndexes()[k]];
        double ch = 0.0, n = 0.0, e = 0.0;
        ASSERT_TRUE(a.getHe(k)->getStartChainageInM(ch));
        ASSERT_TRUE(a.getHe(k)->getStartPosNe(n, e));
        EXPECT_NEAR(ch, s.sts, 1e-9) << k;
        EXPECT_NEAR(n, s.pos.north, 1e-6) << k;
        EXPECT_NEAR(e, s.pos.east, 1e-6) << k;
    }
    double fin = 0.0;
    ASSERT_TRUE(a.getFinalChainageInM(fin));
    EXPECT_NEAR(fin, c[c.GetSize() - 1].sts, 1e-9);

    double worst = 0.0;
    int curved = 0;
    for (int i = 0; i + 1 < c.GetSize(); ++i) {
        const C2dPos mid = (c[i].pos + c[i + 1].pos) * 0.5;
        const CAlntHe* el = a.getHe(c.posIndex2AlntElementIndex(i));
        double dist = 0.0, len = 0.0;
        ASSERT_TRUE(el->getShortestDistAndCurveLen(mid.north, mid.east, dist, len)) << i;
        worst = std::max(worst, dist);
        if (dist > 1e-6) ++curved;
        // Each sample lies on the road at its own chainage.
        double n = 0.0, e = 0.0;
        ASSERT_TRUE(a.getPosNeAtChain(c[i].sts, n, e));
        EXPECT_NEAR(0.0, C2dPos(n, e).distanceTo(c[i].pos), 1e-9) << i;
    }
    EXPECT_LE(worst, 0.01 + 1e-9);
    EXPECT_GT(worst, 0.005);  // the chords are not needlessly short
    EXPECT_GT(curved, 50);

    // The two IPs followed by an IP carry curves; the last one is a bare vertex.
    ASSERT_EQ(2, c.getNumOfIpNodes());
    for (const TIpNodes& rec : c.getIpNodes()) {
        for (const C2dPos& p : {rec.ts, rec.sc, rec.cs}) {
            double ch = 0.0, off = 0.0;
            ASSERT_TRUE(a.FindChainageAndOffset(p.north, p.east, ch, off));
            EXPECT_NEAR(0.0, off, 1e-4);
        }
    }
    EXPECT_LE(c.getMinNorth(), c.getMaxNorth());
    for (const C2dPosAndSt& s : c) {
        EXPECT_GE(s.pos.north, c.getMinNorth());
        EXPECT_LE(s.pos.east, c.getMaxEast());
    }
}

TEST(PosCache, NearestChordThenElementProjectionMatchesTheAlignmentSearch) {
    CAlntH a;
    buildMixedRoad(a);
    CAlnt2dPosCache c;
    ASSERT_TRUE(c.loadNodesAndPosForDeviation(a, 0.01));
    double fin = 0.0;
    ASSERT_TRUE(a.getFinalChainageInM(fin));
    int checked = 0;
    for (double ch = a.getStartChainageInM() + 1.3; ch < fin - 1.0; ch += 7.7) {
        for (double off : {-12.0, -3.0, 0.0, 4.5, 12.0}) {
            double n = 0.0, e = 0.0;
            ASSERT_TRUE(a.getPosNeAtChainAndOffsetExtr(ch, off, n, e));
            double refChain = 0.0, refOff = 0.0;
            if (!a.FindChainageAndOffset(n, e, refChain, refOff)) continue;
            const int chord = c.findNearestSegment({n, e}, nullptr);
            ASSERT_GE(chord, 0);
            const CAlntHe* el = a.getHe(c.posIndex2AlntElementIndex(chord));
            double dist = 0.0, len = 0.0, start = 0.0;
            ASSERT_TRUE(el->getShortestDistAndCurveLen(n, e, dist, len));
            ASSERT_TRUE(el->getStartChainageInM(start));
            EXPECT_NEAR(refChain, start + len, 1e-6) << ch << " " << off;
            EXPECT_NEAR(std::fabs(refOff), dist, 1e-6) << ch << " " << off;
            ++checked;
        }
    }
    EXPECT_GT(checked, 400);
}

namespace {

// Turns positions by 30 degrees about the origin and shifts them; optionally refuses the
// call numbered failAt (counted from 1).
class RotateShift : public I2dPosUpdateCallback {
public:
    explicit RotateShift(int failAt = 0) : m_failAt(failAt) {}
    static C2dPos apply(const C2dPos& p) {
        const double c = std::cos(zel_math::kPi / 6), s = std::sin(zel_math::kPi / 6);
        return {p.north * c - p.east * s + 1000.0, p.north * s + p.east * c - 250.0};
    }
    bool updatePos(double& n, double& e) override {
        if (++m_calls == m_failAt) return false;
        const C2dPos p = apply({n, e});
        n = p.north;
        e = p.east;
        return true;
    }
    int m_calls = 0;

private:
    int m_failAt;
};

}  // namespace

TEST(PosCache, UpdateMovesSamplesExtentsAndIpNodes) {
    CAlntH a;
    buildMixedRoad(a);
    CAlnt2dPosCache before;
    ASSERT_TRUE(before.loadNodesAndPosForDeviation(a, 0.05));
    CAlnt2dPosCache c = before;
    RotateShift cb;
    ASSERT_TRUE(c.updatePositions(cb));
    EXPECT_EQ(before.GetSize() + 4 * before.getNumOfIpNodes(), cb.m_calls);
    double minN = 1e300, maxN = -1e300, minE = 1e300, maxE = -1e300;
    for (int i = 0; i < c.GetSize(); ++i) {
        const C2dPos want = RotateShift::apply(before[i].pos);
        EXPECT_NEAR(0.0, want.distanceTo(c[i].pos), 1e-9) << i;
        EXPECT_EQ(before[i].sts, c[i].sts);
        minN = std::min(minN, want.north);
        maxN = std::max(maxN, want.north);
        minE = std::min(minE, want.east);
        maxE = std::max(maxE, want.east);
    }
    EXPECT_NEAR(minN, c.getMinNorth(), 1e-9);
    EXPECT_NEAR(maxN, c.getMaxNorth(), 1e-9);
    EXPECT_NEAR(minE, c.getMinEast(), 1e-9);
    EXPECT_NEAR(maxE, c.getMaxEast(), 1e-9);
    for (int k = 0; k < c.getNumOfIpNodes(); ++k) {
        const TIpNodes& was = before.getIpNodes()[k];
        const TIpNodes& now = c.getIpNodes()[k];
        EXPECT_NEAR(0.0, RotateShift::apply(was.ip).distanceTo(now.ip), 1e-9);
        EXPECT_NEAR(0.0, RotateShift::apply(was.ts).distanceTo(now.ts), 1e-9);
        EXPECT_NEAR(0.0, RotateShift::apply(was.sc).distanceTo(now.sc), 1e-9);
        EXPECT_NEAR(0.0, RotateShift::apply(was.cs).distanceTo(now.cs), 1e-9);
    }
    // The edge of the plain shift: the extents move with the points.
    class AddEast : public I2dPosUpdateCallback {
        bool updatePos(double&, double& e) override {
            e += 1000.0;
            return true;
        }
    } add;
    const double oldMaxE = c.getMaxEast();
    ASSERT_TRUE(c.updatePositions(add));
    EXPECT_NEAR(oldMaxE + 1000.0, c.getMaxEast(), 1e-9);
}

TEST(PosCache, UpdateStopsAtTheFirstRefusal) {
    CAlntH a;
    buildMixedRoad(a);
    CAlnt2dPosCache before;
    ASSERT_TRUE(before.loadNodesAndPosForDeviation(a, 0.05));
    CAlnt2dPosCache c = before;
    RotateShift cb(4);
    EXPECT_FALSE(c.updatePositions(cb));
    EXPECT_EQ(4, cb.m_calls);
    for (int i = 0; i < c.GetSize(); ++i) {
        const C2dPos want = i < 3 ? RotateShift::apply(before[i].pos) : before[i].pos;
        EXPECT_NEAR(0.0, want.distanceTo(c[i].pos), 1e-9) << i;
    }
    // Refused inside the IP records: all samples and the first IP point moved, no TS.
    c = before;
    RotateShift late(before.GetSize() + 2);
    EXPECT_FALSE(c.updatePositions(late));
    EXPECT_NEAR(0.0, RotateShift::apply(before.getIpNodes()[0].ip).distanceTo(c.getIpNodes()[0].ip),
                1e-9);
    EXPECT_EQ(before.getIpNodes()[0].ts, c.getIpNodes()[0].ts);
    EXPECT_NEAR(0.0,
                RotateShift::apply(before[c.GetSize() - 1].pos).distanceTo(c[c.GetSize() - 1].pos),
                1e-9);
}

TEST(PosCache, SingleElementLoaders) {
    CAlntH a;
    buildMixedRoad(a);
    const CAlntHe& spiral = *a.getHe(1);
    double start = 0.0, len = 0.0;
    ASSERT_TRUE(spiral.getStartChainageInM(start));
    ASSERT_TRUE(spiral.getHLengthInM(len));
    CAlnt2dPosCache c;
    // Whole steps only: the end at 80 m is not a sample of this loader.
    ASSERT_TRUE(c.loadNodesAndPosWithStep(spiral, 20.0));
    expectChainages({start, start + 20, start + 40, start + 60}, c);
    EXPECT_EQ((std::vector<int>{0}), nodesOf(c));

    ASSERT_TRUE(c.loadNodesAndPosForDeviation(spiral, 0.01));
    ASSERT_GT(c.GetSize(), 3);
    EXPECT_NEAR(start + len, c[c.GetSize() - 1].sts, 1e-9);
    EXPECT_EQ((std::vector<int>{0, c.GetSize() - 1}), nodesOf(c));
    for (int i = 0; i + 1 < c.GetSize(); ++i) {
        const C2dPos mid = (c[i].pos + c[i + 1].pos) * 0.5;
        double dist = 0.0, l = 0.0;
        ASSERT_TRUE(spiral.getShortestDistAndCurveLen(mid.north, mid.east, dist, l));
        EXPECT_LE(dist, 0.01 + 1e-9) << i;
    }
}

TEST(PosCache, FailedLoadsKeepWhatWasStored) {
    CAlnt2dPosCache c;
    const CAlntH empty;
    EXPECT_FALSE(c.loadNodesAndPosWithStep(empty, 10.0));
    EXPECT_FALSE(c.loadNodesAndPosForDeviation(empty, 0.01));
    EXPECT_EQ(0, c.GetSize());
    EXPECT_FALSE(c.loadOnlyNodes(empty));
    EXPECT_EQ(1, c.GetSize());

    const CAlntH a = eastStraight({100.0});
    EXPECT_FALSE(c.loadNodesAndPosWithStep(a, 0.0));
    EXPECT_FALSE(c.loadNodesAndPosWithStep(a, -5.0));
    EXPECT_FALSE(c.loadNodesAndPosWithStep(a, std::nan("")));
    EXPECT_FALSE(c.loadNodesAndPosWithStep(*a.getHe(0), 0.0));
    EXPECT_EQ(0, c.GetSize());
    EXPECT_EQ(0.0, c.getMaxEast());

    CAlntH broken = eastStraight({30.0});
    broken.appendElement(BrokenSegment(100.0));
    ASSERT_EQ(2, broken.getNumOfHes());
    EXPECT_FALSE(c.loadNodesAndPosWithStep(broken, 20.0));
    expectChainages({1000, 1020, 1030, 1050, 1070}, c);
    EXPECT_EQ((std::vector<int>{0, 2}), nodesOf(c));
    EXPECT_FALSE(c.loadNodesAndPosWithStep(*broken.getHe(1), 20.0));
    expectChainages({1030, 1050, 1070}, c);
}

namespace {

int bruteNearest(const C2dPosAndSts& s, const C2dPos& p, double& best) {
    int at = -1;
    for (int i = 0; i + 1 < s.GetSize(); ++i) {
        const double d = C2dSegment(s[i].pos, s[i + 1].pos).getDistance(p);
        if (at < 0 || d < best) {
            at = i;
            best = d;
        }
    }
    return at;
}

}  // namespace

TEST(PosCache, NearestChordOnLongPolylinesMatchesAFullScan) {
    // Out along a line and back over it: every chord has a twin later on at the same distance.
    CAlnt2dPosCache c;
    for (int i = 0; i <= 100; ++i)
        c.addPosAndSt({0.0, 50.0 - std::abs(50.0 - i)}, i, false);
    double d = 0.0;
    EXPECT_EQ(10, c.findNearestSegment({3.0, 10.5}, &d));
    EXPECT_EQ(3.0, d);
    EXPECT_EQ(89, c.findNearestSegment({3.0, 10.5}, &d) + 79);

    // A wandering line of a few hundred chords against random points, also after changes.
    c.clear();
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
            double want = 0.0, got = -1.0;
            EXPECT_EQ(bruteNearest(c, p, want), c.findNearestSegment(p, &got)) << round << " " << k;
            EXPECT_EQ(want, got);
        }
        if (round == 0) c.addPosAndSt({500.0, 500.0}, 150.5, false);  // inserted mid-way
        if (round == 1) {
            RotateShift move;
            c.updatePositions(move);
        }
    }
}
