#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "support/NearPair.h"
#include "velmorutils/velmorutils.h"
#include "zelmath/alignment/AlntHTestSupport.h"

namespace {

// A 10 % grade from chainage 0 at height 100 to chainage 100 at height 110.
CAlntV grade100() {
    CAlntV v;
    v.setStartHeight(100.0);
    v.appendElement(CVerticalElement(100.0, 0.0, 100.0, 10.0));
    return v;
}

// VIPs at (chainage, height) with parabolas of the given lengths at the inner ones.
struct Vip {
    double ch, h, len;
};
const std::vector<Vip> kProfile = {{1000.0, 100.0, 0.0},
                                   {1200.0, 104.0, 120.0},
                                   {1500.0, 98.0, 150.0},
                                   {1900.0, 106.0, 80.0},
                                   {2000.0, 105.0, 0.0}};

template <class T>
void appendProfile(T& alnt) {
    for (const Vip& p : kProfile)
        alnt.appendElement(CVerticalLSElement(CLsInfo(p.ch, p.h, p.len)));
}

std::vector<int> nodesOf(const CAlntHtPosCache& c) {
    std::vector<int> out;
    for (int i = 0; i < c.getNodePosIndexes().GetSize(); ++i)
        out.push_back(c.getNodePosIndexes()[i]);
    return out;
}

}  // namespace

TEST(HtCache, GradeSampledWithAStepAndNearestChordEdgeCases) {
    const CAlntV v = grade100();
    CAlntHtPosCache c;
    ASSERT_TRUE(CAlntHtPosCacheLoader<CAlntV>::loadNodesAndPosWithStep(c, v, 30.0));
    ASSERT_EQ(5, c.GetSize());
    for (int i = 0; i < 5; ++i) {
        const double st = std::min(30.0 * i, 100.0);  // the grade rises 0.1 m per metre
        EXPECT_TRUE(nearPair(st, 100.0 + st / 10.0, c[i].sts, c[i].ht, 1e-9)) << i;
    }
    EXPECT_EQ((std::vector<int>{0, 4}), nodesOf(c));

    double h = 0.0;
    ASSERT_TRUE(c.getHtOnSegment(45.0, h));
    EXPECT_NEAR(104.5, h, 1e-9);
    EXPECT_FALSE(c.getHtOnSegment(100.001, h));
    EXPECT_FALSE(c.getHtOnSegment(-0.001, h));

    // Square to the sloping chord from 30 to 60, not straight down to it.
    double d = 0.0;
    EXPECT_EQ(1, c.findNearestSegment(CHtAndSt{120.0, 50.0}, &d));
    EXPECT_NEAR(450.0 / std::sqrt(909.0), d, 1e-9);

    ASSERT_TRUE(CAlntHtPosCacheLoader<CAlntV>::loadOnlyNodes(c, v));
    EXPECT_EQ((std::vector<int>{0, 1}), nodesOf(c));
    EXPECT_NEAR(110.0, c[1].ht, 1e-9);
    // Nearest chord: none for one sample; from above a peak, the first of two equals.
    CAlntHtPosCache peak;
    d = -1.0;
    peak.addHtAndSt(5.0, 0.0, false);
    EXPECT_EQ(-1, peak.findNearestSegment(CHtAndSt{1, 2}, &d));
    EXPECT_EQ(0.0, d);
    // A peak: equally near both chords from straight above it.
    peak.addHtAndSt(15.0, 10.0, false);
    peak.addHtAndSt(5.0, 20.0, false);
    EXPECT_EQ(0, peak.findNearestSegment(CHtAndSt{25.0, 10.0}, &d));
    EXPECT_NEAR(10.0, d, 1e-12);
    EXPECT_EQ(1, peak.findNearestSegment(CHtAndSt{14.0, 12.0}, nullptr));
}

TEST(HtCache, ParabolicProfileWithinTheDeviationWithItsVips) {
    CAlntV v;
    appendProfile(v);
    CAlntHtPosCache c;
    const double maxDev = 0.002;
    ASSERT_TRUE(CAlntHtPosCacheLoader<CAlntV>::loadNodesAndPosForDeviation(c, v, maxDev));
    EXPECT_NEAR(2000.0, c[c.GetSize() - 1].sts, 1e-9);
    EXPECT_EQ(v.getNumOfVes() + 1, c.getNodePosIndexes().GetSize());
    double worst = 0.0;
    for (int i = 0; i + 1 < c.GetSize(); ++i) {
        const double mid = (c[i].sts + c[i + 1].sts) / 2.0;
        double h = 0.0;
        ASSERT_TRUE(v.getHeightAtChain(mid, h));
        worst = std::max(worst, std::fabs(h - (c[i].ht + c[i + 1].ht) / 2.0));
        ASSERT_TRUE(v.getHeightAtChain(c[i].sts, h));
        EXPECT_NEAR(h, c[i].ht, 1e-9) << i;
    }
    EXPECT_LE(worst, maxDev + 1e-9);
    EXPECT_GT(worst, maxDev / 4.0);
    // Each inner VIP with its parabola, in order.
    ASSERT_EQ(3, c.getNumOfVIpNodes());
    for (int k = 0; k < 3; ++k) {
        const TVIpNode& n = c.getVIpNodes()[k];
        const Vip& want = kProfile[k + 1];
        EXPECT_NEAR(want.h, n.vipHeight, 1e-9);
        EXPECT_NEAR(want.ch - want.len / 2.0, n.startChainage, 1e-9);
        EXPECT_NEAR(want.ch + want.len / 2.0, n.finalChainage, 1e-9);
    }
    const auto [lo, hi] = std::minmax_element(
        c.begin(), c.end(), [](const CHtAndSt& a, const CHtAndSt& b) { return a.ht < b.ht; });
    EXPECT_TRUE(lo->ht == c.getMinHeight() && hi->ht == c.getMaxHeight());
}

TEST(HtCache, EmptyAndFailedLoadsAndSingleElements) {
    CAlntHtPosCache c;
    const CAlntV empty;
    EXPECT_FALSE(CAlntHtPosCacheLoader<CAlntV>::loadNodesAndPosWithStep(c, empty, 10.0));
    EXPECT_FALSE(CAlntHtPosCacheLoader<CAlntV>::loadNodesAndPosForDeviation(c, empty, 0.01));
    EXPECT_FALSE(CAlntHtPosCacheLoader<CAlntV>::loadOnlyNodes(c, empty));
    const CAlntV v = grade100();
    EXPECT_FALSE(CAlntHtPosCacheLoader<CAlntV>::loadNodesAndPosWithStep(c, v, 0.0));
    EXPECT_FALSE(c.loadNodesAndPosWithStep(*v.getVe(0), -1.0));
    EXPECT_EQ(0, c.GetSize());

    // One element: the grade into the VIP at 1200, then its parabola.
    CAlntV profile;
    appendProfile(profile);
    const CAlntVe& vip = *profile.getVe(1);
    double start = 0.0, len = 0.0;
    ASSERT_TRUE(vip.getStartChainageInM(start));
    ASSERT_TRUE(vip.getHLengthInM(len));
    ASSERT_TRUE(c.loadNodesAndPosWithStep(vip, 40.0));
    EXPECT_EQ(static_cast<int>(std::ceil(len / 40.0 - 1e-9)), c.GetSize());
    EXPECT_LT(c[c.GetSize() - 1].sts, start + len);
    EXPECT_EQ((std::vector<int>{0}), nodesOf(c));
    ASSERT_TRUE(c.loadNodesAndPosForDeviation(vip, 0.001));
    EXPECT_NEAR(start + len, c[c.GetSize() - 1].sts, 1e-9);
    EXPECT_EQ((std::vector<int>{0, c.GetSize() - 1}), nodesOf(c));
}

TEST(Cache3d, RangeAndNextVertexOfBothCaches) {
    CAlnt3dPosCache c;
    double lo = -1.0, hi = -1.0, next = -1.0;
    EXPECT_FALSE(c.getMinMaxStationing(lo, hi));
    EXPECT_TRUE(lo == 0.0 && hi == 0.0);
    EXPECT_FALSE(c.getNextVertexStationing(100.0, next));

    for (double s : {0.0, 120.0, 300.0, 500.0})
        c.get2dPosCache().addPosAndSt({s, 0.0}, s, false);
    for (double s : {20.0, 100.0, 480.0})
        c.getHtPosCache().addHtAndSt(7.0, s, false);
    ASSERT_TRUE(c.getMinMaxStationing(lo, hi));
    EXPECT_TRUE(lo == 0.0 && hi == 500.0);

    // Before both first samples, index 0 of each counts as none.
    EXPECT_FALSE(c.getNextVertexStationing(-5.0, next));
    // Before the height cache's first sample only the plane cache answers.
    for (const auto& [from, want] : {std::pair{10.0, 120.0}, {50.0, 100.0}, {490.0, 500.0}})
        EXPECT_TRUE(c.getNextVertexStationing(from, next) && next == want) << from;
    EXPECT_FALSE(c.getNextVertexStationing(500.0, next));

    c.get2dPosCache().clear();
    ASSERT_TRUE(c.getMinMaxStationing(lo, hi));
    EXPECT_TRUE(lo == 20.0 && hi == 480.0);
}
