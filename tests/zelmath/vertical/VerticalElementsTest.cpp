#include <cmath>

#include <gtest/gtest.h>

#include "support/NearPair.h"
#include "velmorutils/velmorutils.h"

namespace {

// The grade (%) at a length along the element, NaN where it has none.
template <class E>
double gradeAt(const E& e, double len) {
    double g = 0.0;
    return e.getGradeAtLength(len, g) ? g : NAN;
}

TEST(VerticalElement, StraightSnapsWithinAMillimetreOfTheEndCrestHasItsHighPointAndVip) {
    const CVerticalElement st(100.0, 0.0, 50.0, 2.0);
    double h = 0.0;
    ASSERT_EQ(st.getHtAtLen(50.0005, h), ecOk);
    EXPECT_DOUBLE_EQ(h, 101.0);
    EXPECT_EQ(st.getHtAtLen(50.002, h), ecBeyondEnd);
    EXPECT_EQ(st.getHtAtLen(-0.0001, h), ecBeforeStart);
    // A straight seen as a VIP is its end point, without a curve.
    CLsInfo vip;
    ASSERT_TRUE(st.getAsLs(vip));
    EXPECT_TRUE(vip.getChainage() == 50.0 && vip.getCurveLength() == 0.0);

    // Given by two points backwards, it collapses onto the first.
    CVerticalElement back;
    back.setStraight(200.0, 10.0, 150.0, 13.0);
    EXPECT_TRUE(back.getLen() == 0.0 && back.getFinalHt() == 10.0) << back.getFinalHt();
    // A crest: its high point, grades and VIP.
    const CVerticalElement p(20.0, 1000.0, 100.0, 2.0, -2.0);
    EXPECT_DOUBLE_EQ(p.getParabolaCoefficientKv(), -2500.0);
    double ch = 0.0;
    bool inside = false;
    ASSERT_TRUE(p.getParabolaExtremum(ch, h, inside));
    EXPECT_TRUE(nearPair(ch, h, 1050.0, 20.5, 1e-12) && inside);
    EXPECT_DOUBLE_EQ(gradeAt(p, 100.0005), -2.0);
    EXPECT_TRUE(std::isnan(gradeAt(p, 100.01)));

    // Its VIP is at the middle, on the incoming grade, and the curve is its whole length.
    ASSERT_TRUE(p.getAsLs(vip));
    EXPECT_TRUE(nearPair(vip.getChainage(), vip.getHeight(), 1050.0, 21.0, 1e-12));

    // A vertex beyond the curve is reported but not inside; a straight has none.
    ASSERT_TRUE(CVerticalElement(0.0, 0.0, 100.0, 4.0, 2.0).getParabolaExtremum(ch, h, inside));
    EXPECT_TRUE(!inside && ch == 200.0) << ch;
    EXPECT_FALSE(CVerticalElement(0.0, 0.0, 100.0, 1.0).getParabolaExtremum(ch, h, inside));
}

TEST(VerticalLsElement, CurvesTouchWithinAMillimetreGradeAndStepSwitchAtTheCurveStart) {
    // The current curve ends at 250; the next one must not start before 249.999.
    CVerticalLSElement ls(CLsInfo(200.0, 104.0, 100.0));
    EXPECT_FALSE(ls.isok());
    ls.setNextLSElement(CLsInfo(500.0, 98.0, 2 * (500.0 - 249.998)));
    ls.setStartHtAndChain(100.0, 0.0);
    EXPECT_FALSE(ls.isok());
    ls.setNextLSElement(CLsInfo(500.0, 98.0, 2 * (500.0 - 249.9995)));
    ls.setStartHtAndChain(100.0, 0.0);
    ASSERT_TRUE(ls.isok());
    EXPECT_DOUBLE_EQ(ls.getStartSegment().getLen(), 150.0);
    EXPECT_DOUBLE_EQ(gradeAt(ls, 149.9995), 2.0);
    EXPECT_NEAR(gradeAt(ls, 200.0), 0.0, 1e-12);
    EXPECT_TRUE(std::isnan(gradeAt(ls, 250.01)));
    // On the straight the step runs to its end; from the curve start it is the chord that
    // sags 0.02 (20 m for A = -0.0002), counted from the chainage asked for.
    EXPECT_DOUBLE_EQ(ls.getStepForDeviation(100.0, 0.02), 50.0);
    EXPECT_NEAR(ls.getStepForDeviation(149.9995, 0.02), 20.0005, 1e-9);
    EXPECT_NEAR(ls.getStepForDeviation(240.0, 0.02), 10.0, 1e-9);
    EXPECT_EQ(ls.getStepForDeviation(260.0, 0.02), 0.0);
    EXPECT_EQ(CVerticalLSElement().getStepForDeviation(0.0, 0.02), 0.0);
    // A start inside the curve fails.
    ls.setStartHtAndChain(100.0, 160.0);
    EXPECT_FALSE(ls.isok());
    double h = 0.0;
    EXPECT_EQ(ls.getHtAtLen(0.0, h), ecBeyondEnd);
    // The last VIP ends its element at the VIP.
    CVerticalLSElement last(CLsInfo(1000.0, 105.0, 40.0));
    last.setStartHtAndChain(106.0 - 0.01 * 40.0, 940.0);
    ASSERT_TRUE(last.isok());
    EXPECT_EQ(last.getParabole(), nullptr);
    EXPECT_TRUE(nearPair(last.getLen(), last.getFinalHt(), 60.0, 105.0, 1e-12));
}

TEST(VerticalArc, HeightsLieOnTheCircleTheEndGradeIsReachedAndStepsAndRadiiFollow) {
    const double r = 2000.0;
    const CAlntVeArc arc(50.0, 300.0, -1.0, 3.0, r);
    const double a1 = std::atan(-0.01);
    // Sag: the centre is r above the start, square to the start grade.
    const C2dPos c = arc.getCenterStaAndHt();
    EXPECT_TRUE(nearPair(c.north, c.east, 300.0 - r * std::sin(a1), 50.0 + r * std::cos(a1), 1e-9));
    for (double f : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        const double s = f * arc.getLen();
        double h = 0.0;
        ASSERT_EQ(arc.getHtAtLen(s, h), ecOk);
        const double x = 300.0 + s - c.north;
        EXPECT_NEAR(h, c.east - std::sqrt(r * r - x * x), 1e-9) << f;
    }
    double h = 0.0;
    EXPECT_EQ(arc.getHtAtLen(-0.01, h), ecBeforeStart);
    EXPECT_EQ(arc.getHtAtLen(arc.getLen() + 0.01, h), ecBeyondEnd);

    // The tangents meet where the grade lines from both ends cross.
    CLsInfo vip;
    ASSERT_TRUE(arc.getAsLs(vip));
    const C2dPos end = arc.getFinalStaAndHt();
    EXPECT_NEAR(vip.getHeight(), 50.0 - 0.01 * (vip.getChainage() - 300.0), 1e-9);
    EXPECT_NEAR(vip.getHeight(), end.east - 0.03 * (end.north - vip.getChainage()), 1e-9);
    // A crest: steps by its chord, and the radius from the grades and the length.
    const CAlntVeArc crest(0.0, 0.0, 4.0, -4.0, -1000.0);
    // A chord of a circle of radius 1000 that sags 0.01: 2 sqrt(2 r d) nearly.
    EXPECT_NEAR(crest.getStepForDeviation(0.0, 0.01), 2.0 * std::sqrt(2.0 * 1000.0 * 0.01), 0.01);
    EXPECT_DOUBLE_EQ(crest.getStepForDeviation(crest.getLen() - 1.0, 0.01), 1.0);
    EXPECT_EQ(crest.getStepForDeviation(5.0, 0.0), 0.0);

    double radius = 0.0;
    EXPECT_FALSE(CAlntVeArc::computeRadius(radius, 2.0, 2.0, 50.0));
    ASSERT_TRUE(CAlntVeArc::computeRadius(radius, -1.0, 3.0, 80.0));
    EXPECT_NEAR(radius, 80.0 / std::sin(std::atan(0.03) - std::atan(-0.01)), 1e-9);
}

}  // namespace
