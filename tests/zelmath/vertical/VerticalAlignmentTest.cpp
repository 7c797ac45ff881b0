#include <cmath>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "velmorutils/velmorutils.h"

namespace {

// A VIP of a design profile: chainage, height and the length (parabola) or radius (arc) of
// its curve.
struct Vip {
    double ch, h, curve;
};

double grade(const Vip& a, const Vip& b) {
    return (b.h - a.h) / (b.ch - a.ch);
}

double gradeLineHeight(const std::vector<Vip>& v, double ch) {
    size_t i = 1;
    while (i + 1 < v.size() && v[i].ch < ch)
        ++i;
    return v[i - 1].h + grade(v[i - 1], v[i]) * (ch - v[i - 1].ch);
}

// The textbook parabolic profile: grade lines between the VIPs, and at each inner VIP the
// symmetric parabola of length L with h(x) = h_BVC + g1 x + (g2 - g1) x^2 / (2 L).
std::pair<double, double> parabolaEnds(const std::vector<Vip>& v, size_t i) {
    return {v[i].ch - v[i].curve / 2.0, v[i].ch + v[i].curve / 2.0};
}

double parabolicHeight(const std::vector<Vip>& v, double ch) {
    for (size_t i = 1; i + 1 < v.size(); ++i) {
        const auto [bvc, evc] = parabolaEnds(v, i);
        if (v[i].curve > 0.0 && ch >= bvc && ch <= evc) {
            const double g1 = grade(v[i - 1], v[i]), g2 = grade(v[i], v[i + 1]);
            const double x = ch - bvc;
            return v[i].h - g1 * v[i].curve / 2.0 + g1 * x + (g2 - g1) * x * x / (2.0 * v[i].curve);
        }
    }
    return gradeLineHeight(v, ch);
}

// The circle that touches both grade lines of VIP i: radius r (positive for a sag), centre
// (cx, cy), tangent points at chainages bc and ec.
struct Circle {
    double bc, ec, cx, cy, r;
};

Circle circleAt(const std::vector<Vip>& v, size_t i) {
    const double a1 = std::atan(grade(v[i - 1], v[i])), a2 = std::atan(grade(v[i], v[i + 1]));
    const double r = a2 > a1 ? v[i].curve : -v[i].curve;
    const double t = std::fabs(r * std::tan((a2 - a1) / 2.0));
    const double bcx = v[i].ch - t * std::cos(a1), bcy = v[i].h - t * std::sin(a1);
    return {bcx, v[i].ch + t * std::cos(a2), bcx - r * std::sin(a1), bcy + r * std::cos(a1), r};
}

std::pair<double, double> circleEnds(const std::vector<Vip>& v, size_t i) {
    const Circle c = circleAt(v, i);
    return {c.bc, c.ec};
}

double circularHeight(const std::vector<Vip>& v, double ch) {
    for (size_t i = 1; i + 1 < v.size(); ++i) {
        const Circle c = circleAt(v, i);
        const double root = std::sqrt(c.r * c.r - (ch - c.cx) * (ch - c.cx));
        if (ch >= c.bc && ch <= c.ec) return c.r > 0 ? c.cy - root : c.cy + root;
    }
    return gradeLineHeight(v, ch);
}

CAlntV parabolicProfile(const std::vector<Vip>& v) {
    CAlntV alnt;
    for (const Vip& p : v)
        alnt.appendElement(CVerticalLSElement(CLsInfo(p.ch, p.h, p.curve)));
    return alnt;
}

CAlntV circularProfile(const std::vector<Vip>& v) {
    CAlntV alnt;
    for (const Vip& p : v)
        alnt.appendElement(CAlntVeLsWithArc(p.ch, p.h, p.curve));
    return alnt;
}

// Heights agree with the textbook every 5 m and at the start, quarter points, middle and end
// of every curve.
template <class Textbook, class Ends>
void expectProfile(const CAlntV& alnt, const std::vector<Vip>& v, Textbook textbook, Ends ends) {
    std::vector<double> chs;
    for (double ch = v.front().ch; ch <= v.back().ch; ch += 5.0)
        chs.push_back(ch);
    for (size_t i = 1; i + 1 < v.size(); ++i) {
        const auto [b, e] = ends(v, i);
        for (double f : {0.0, 0.25, 0.5, 0.75, 1.0})
            chs.push_back(b + f * (e - b));
    }
    for (double ch : chs) {
        double h = 0.0;
        ASSERT_TRUE(alnt.getHeightAtChain(ch, h)) << ch;
        EXPECT_NEAR(h, textbook(v, ch), 1e-9) << ch;
    }
}

// At every joint of elements the chainage and height run on; where both sides give a grade,
// so does the grade.
void expectJoinedAtEveryJoint(const CAlntV& alnt) {
    for (int i = 0; i + 1 < alnt.getNumOfVes(); ++i) {
        const CAlntVe* a = alnt.getVe(i);
        const CAlntVe* b = alnt.getVe(i + 1);
        double startB = 0.0, hA = 0.0, hB = 0.0;
        ASSERT_TRUE(b->getStartChainageInM(startB));
        ASSERT_EQ(a->getHtAtLen(a->getLen(), hA), ecOk) << i;
        ASSERT_EQ(b->getHtAtLen(0.0, hB), ecOk) << i;
        EXPECT_NEAR(startB, a->getFinalChain(), 1e-9) << i;
        EXPECT_NEAR(hA, hB, 1e-9) << i;
        // The first VIP of a profile is an element of no length and hence of no grade.
        if (a->getLen() > 0.0) {
            EXPECT_NEAR(a->getEndGrade(), b->getStartGrade(), 1e-9) << i;
        }
    }
}

const std::vector<Vip> kParabolic = {{0.0, 100.0, 0.0},
                                     {200.0, 104.0, 100.0},
                                     {500.0, 98.0, 150.0},
                                     {900.0, 106.0, 80.0},
                                     {1000.0, 105.0, 0.0}};

TEST(VerticalAlignmentCircular, HeightsFollowTheCircleThroughTheTangentPoints) {
    const std::vector<Vip> v = {{0.0, 100.0, 0.0},
                                {200.0, 104.0, 3000.0},
                                {500.0, 98.0, 2500.0},
                                {900.0, 106.0, 4000.0},
                                {1000.0, 105.0, 0.0}};
    const CAlntV alnt = circularProfile(v);
    expectProfile(alnt, v, circularHeight, circleEnds);
    expectJoinedAtEveryJoint(alnt);
}

// Heights follow the textbook parabolas as built, and after every edit.
TEST(VerticalAlignmentParabolic, HeightsFollowTheTextbookParabolasThroughEdits) {
    std::vector<Vip> v = kParabolic;
    CAlntV alnt = parabolicProfile(v);
    const auto expectRejoined = [&] {
        expectProfile(alnt, v, parabolicHeight, parabolaEnds);
        expectJoinedAtEveryJoint(alnt);
    };
    expectRejoined();
    // The 100 m crest at 200 (+2 % to -2 %) is level at the top.
    double g = 0.0;
    ASSERT_TRUE(alnt.getGradeAtChainage(200.0, g));
    EXPECT_NEAR(g, 0.0, 1e-9);
    ASSERT_TRUE(alnt.getGradeAtChainage(960.0, g));
    EXPECT_NEAR(g, -1.0, 1e-9);

    // A new VIP between 500 and 900 bends both neighbouring grades.
    const Vip added{700.0, 108.0, 60.0};
    ASSERT_TRUE(alnt.insertElement(3, CVerticalLSElement(CLsInfo(added.ch, added.h, added.curve))));
    v.insert(v.begin() + 3, added);
    expectRejoined();
    // Raising the VIP at 200 changes the grades on both sides of it.
    v[1].h = 106.0;
    ASSERT_TRUE(alnt.replaceElement(1, CVerticalLSElement(CLsInfo(200.0, 106.0, 100.0))));
    expectRejoined();
    // Without the VIP at 500 the grade runs straight from 200 to 700.
    ASSERT_TRUE(alnt.removeVe(2));
    v.erase(v.begin() + 2);
    expectRejoined();
    // Removing the first VIP makes the next one the start.
    ASSERT_TRUE(alnt.removeVe(0));
    EXPECT_DOUBLE_EQ(alnt.getStartChainageInM(), 200.0);
    EXPECT_DOUBLE_EQ(alnt.getStartPosH(), 106.0);

    EXPECT_FALSE(alnt.removeVe(7));
    EXPECT_FALSE(alnt.insertElement(-1, CVerticalElement(0, 0, 1, 1)));
}

// Straight +2 % for 100, a parabola from +2 % to -2 % over 100, straight -2 % for 100.
CAlntV gradeProfile() {
    CAlntV alnt;
    alnt.setStartChainageInM(1000.0);
    alnt.setStartHeight(50.0);
    CVerticalElement e;
    e.setStraight(100.0, 2.0);
    alnt.appendElement(e);
    e.setParabola(100.0, 2.0, -2.0);
    alnt.appendElement(e);
    e.setStraight(100.0, -2.0);
    alnt.appendElement(e);
    return alnt;
}

TEST(VerticalAlignmentExtrapolation, EndGradesContinueBeyondBothEnds) {
    const CAlntV alnt = gradeProfile();
    double h = 0.0, s = 0.0;
    const auto extr = [&](double ch) { return alnt.getHeightAtChainExtr(ch, h) ? h : NAN; };
    // 0.5 mm past the end still belongs to the last element, 2 mm does not.
    EXPECT_FALSE(alnt.getHeightAtChain(1300.002, h));
    EXPECT_EQ(alnt.getAlntVeAtChain(1100.0, &s), alnt.getVe(1));  // a joint: the later one
    EXPECT_EQ(s, 0.0);
    EXPECT_EQ(alnt.getAlntVeAtChain(1300.0009, &s), alnt.getVe(2));
    EXPECT_NEAR(s, 100.0009, 1e-9);
    EXPECT_EQ(alnt.getAlntVeAtChain(1300.0011, &s), nullptr);
    // Before the start the first element is found, at a negative distance, and its grade runs
    // backwards.
    EXPECT_EQ(alnt.getAlntVeAtChain(990.0, &s), alnt.getVe(0));
    EXPECT_NEAR(s, -10.0, 1e-12);
    EXPECT_NEAR(extr(1400.0), 48.0, 1e-12);
    EXPECT_FALSE(alnt.getHeightAtChain(990.0, h));
    EXPECT_NEAR(extr(990.0), 49.8, 1e-12);

    const CAlntV empty;
    EXPECT_FALSE(empty.getHeightAtChainExtr(0.0, h));
    EXPECT_EQ(empty.getAlntVeAtChain(0.0, nullptr), nullptr);
}

TEST(VerticalAlignmentOwnership, CopiesAreDeepBulkUpdateDefersTheJoinStartPointFollows) {
    CAlntV alnt = gradeProfile();
    alnt.setStartPt(7, 50.0);
    CAlntV copy(alnt, 3);
    alnt.removeAllVes();
    double start = 0.0;
    alnt = copy;

    // In a batch the elements stay where they were put until the batch ends.
    alnt.beginBulkUpdate();
    alnt.setStartHeight(0.0);
    alnt.appendElement(CVerticalElement(0.0, 0.0, 50.0, 1.0));
    EXPECT_EQ(alnt.getVe(0)->getStartHt(), 50.0);
    alnt.onBulkUpdateFinished();
    EXPECT_EQ(alnt.getVe(0)->getStartHt(), 0.0);
    ASSERT_TRUE(alnt.getVe(3)->getStartChainageInM(start));
    EXPECT_NEAR(start, 1300.0, 1e-12);

    // The start point reference follows the point and its id only.
    alnt.setStartPt(12, 1.0, 2.0, 60.0);
    EXPECT_TRUE(alnt.hasRefToPoint(12));
    alnt.refreshPtCoords(13, 0.0, 0.0, 70.0);
    EXPECT_EQ(alnt.getVe(0)->getStartHt(), 60.0);
    alnt.refreshPtCoords(12, 0.0, 0.0, 70.0);
    EXPECT_EQ(alnt.getVe(0)->getStartHt(), 70.0);
}

}  // namespace
