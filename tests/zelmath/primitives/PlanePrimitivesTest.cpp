#include <gtest/gtest.h>

#include <cmath>

#include "support/NearPair.h"
#include "velmorutils/velmorutils.h"

namespace {

constexpr double kPi = zel_math::kPi;

// Angle at `centre` turned clockwise from `from` to `to`, in degrees [0, 360).
double clockwiseDeg(const C2dPos& centre, const C2dPos& from, const C2dPos& to) {
    CMathAngle a;
    a.setAngle(from, centre, to);
    double d = a.getDeg();
    return d < 0 ? d + 360.0 : d;
}

// The end of the arc: the start turned about the centre by the swept angle.
C2dPos finishOf(const CArc& arc) {
    C2dPos out;
    arc.cAngle.getRotatedPoint(arc.centre, arc.start, out);
    return out;
}

void expectPos(const C2dPos& p, double n, double e, double tol = 1e-9) {
    EXPECT_TRUE(nearPair(p.north, p.east, n, e, tol));
}

}  // namespace

TEST(C2dSegment, DistanceIsPerpendicularBesideAndToTheEndBeyond) {
    const C2dSegment seg(C2dPos(0, 0), C2dPos(0, 10));  // due east, 10 m
    // Beside on both sides, feet exactly on the ends, then beyond either end: to that end.
    const double cases[][3] = {{3, 4, 3},  {-3, 4, 3}, {2, 0, 2},
                               {2, 10, 2}, {4, 13, 5}, {-4, -3, 5}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(seg.getDistance(C2dPos(c[0], c[1])), c[2]) << c[0];
    const C2dSegment point(C2dPos(1, 1), C2dPos(1, 1));
    EXPECT_DOUBLE_EQ(point.getDistance(C2dPos(4, 5)), 5.0);
}

TEST(CArc, HalfCircleTakesItsTurnsSignEveryDefinitionRebuildsTheArcImpossibleOnesFail) {
    CArc arc;
    arc.set_start_center_cAngle(C2dPos(0, 0), C2dPos(0, 10), CMathAngle(-180.0), true);
    EXPECT_DOUBLE_EQ(arc.cAngle.getDeg(), 180.0);
    arc.set_start_center_cAngle(C2dPos(0, 0), C2dPos(0, 10), CMathAngle(180.0), false);
    EXPECT_DOUBLE_EQ(arc.cAngle.getDeg(), -180.0);
    // Anything short of a half circle keeps its sign, agreeing or not.
    arc.set_start_center_cAngle(C2dPos(0, 0), C2dPos(0, 10), CMathAngle(-170.0), true);
    EXPECT_NEAR(arc.cAngle.getDeg(), -170.0, 1e-12);
    EXPECT_TRUE(arc.clockwise);
    // From the centre and the azimuths to both ends, and from the chord and the turn.
    arc.set_r_start_center_finish(50, CMathAngle(270.0), C2dPos(0, 0), CMathAngle(0.0), true);
    expectPos(arc.start, 0, -50, 1e-9);
    EXPECT_NEAR(arc.cAngle.getDeg(), 90.0, 1e-9);
    // The start tangent is the chord azimuth plus (180 - turn) / 2.
    ASSERT_TRUE(arc.set_start_finish_turn(C2dPos(0, 0), C2dPos(100, 0), CMathAngle(120.0)));
    CMathAngle tg;
    arc.get_start_tgdir(tg);
    EXPECT_NEAR(tg.getDeg(), 30.0, 1e-9);
    EXPECT_FALSE(arc.set_start_finish_turn(C2dPos(0, 0), C2dPos(0, 0), CMathAngle(120.0)));
    // Every definition rebuilds the same arc; beyond a half circle; impossible ones.
    // A right arc of radius 200 swept 60 degrees and a left one of radius 150 swept 100, both
    // starting north; each is rebuilt from its end points and one more fact.
    for (const bool right : {true, false}) {
        SCOPED_TRACE(right ? "right" : "left");
        const double R = right ? 200 : 150, sweep = right ? 60 : -100;
        CArc ref;
        ref.set_start_r_length(C2dPos(1000, 2000), CMathAngle(0.0), R,
                               R * sweep * zel_math::kRadPerDeg, right);
        ASSERT_NEAR(ref.cAngle.getDeg(), sweep, 1e-9);
        const C2dPos s = ref.start, f = finishOf(ref);
        C2dPos mid;
        ref.get_middle_pos_on_the_arc(mid);
        CArc arcs[5];
        ASSERT_TRUE(arcs[0].set_start_finish_startTgDir(s, f, CMathAngle(0.0)));
        ASSERT_TRUE(arcs[1].set_start_finish_finishTgDir(s, f, CMathAngle(sweep)));
        ASSERT_TRUE(arcs[2].set_start_finish_plusPos(s, f, mid));
        ASSERT_TRUE(arcs[3].set_r_start_finish(R, s, f, right));
        ASSERT_TRUE(arcs[4].set_start_center_finish(s, ref.centre, f, right));
        for (const CArc& arc : arcs) {
            expectPos(arc.centre, ref.centre.north, ref.centre.east, 1e-6);
            EXPECT_NEAR(arc.cAngle.getDeg(), sweep, 1e-9);
            EXPECT_EQ(arc.clockwise, right);
        }
    }
    const CMathAngle north(0.0);
    // Three quarters of a circle is stored as -90, the middle 135 degrees round.
    arc.set_start_r_length(C2dPos(0, 0), north, 100, 150 * kPi, true);
    EXPECT_NEAR(arc.cAngle.getRad(), -kPi / 2, 1e-12);
    C2dPos mid;
    arc.get_middle_pos_on_the_arc(mid);
    EXPECT_NEAR(clockwiseDeg(arc.centre, arc.start, mid), 135.0, 1e-9);
    // A left-turning arc is given a negative length; its centre is to the left.
    arc.set_start_r_length(C2dPos(0, 0), north, 100, -100 * kPi / 2, false);
    expectPos(arc.centre, 0, -100);
    arc.get_middle_pos_on_the_arc(mid);
    EXPECT_NEAR(clockwiseDeg(arc.centre, arc.start, mid), 315.0, 1e-9);
    // No radius: no angle, and no division by zero.
    arc.set_start_r_length(C2dPos(0, 0), north, 0, 50, true);
    EXPECT_EQ(arc.cAngle.getRad(), 0.0);
    // Start west, through north or south, finish east of the origin: half circles of radius 10.
    ASSERT_TRUE(arc.set_start_finish_plusPos(C2dPos(0, -10), C2dPos(0, 10), C2dPos(10, 0)));
    EXPECT_NEAR(arc.cAngle.getDeg(), 180.0, 1e-9);
    ASSERT_TRUE(arc.set_start_finish_plusPos(C2dPos(0, -10), C2dPos(0, 10), C2dPos(-10, 0)));
    EXPECT_FALSE(arc.clockwise);
    EXPECT_NEAR(arc.cAngle.getDeg(), -180.0, 1e-9);
    // A chord of exactly the diameter is a half circle; longer is impossible.
    const C2dPos s(0, 0), f(0, 100);
    ASSERT_TRUE(arc.set_r_start_finish(50, s, f, true));
    EXPECT_NEAR(arc.cAngle.getDeg(), 180.0, 1e-6);
    EXPECT_FALSE(arc.set_r_start_finish(49.9, s, f, true));
    // No chord, a third point on the chord or on an end, a tangent along the chord.
    EXPECT_FALSE(arc.set_r_start_finish(100, s, s, true));
    EXPECT_FALSE(arc.set_start_finish_plusPos(s, C2dPos(0, 20), C2dPos(0, 10)));
    EXPECT_FALSE(arc.set_start_finish_plusPos(s, C2dPos(0, 20), s));
    EXPECT_FALSE(arc.set_start_finish_startTgDir(s, C2dPos(10, 0), CMathAngle(0.0)));
    EXPECT_FALSE(arc.set_start_finish_startTgDir(C2dPos(5, 5), C2dPos(5, 5), CMathAngle(0.0)));
}

TEST(Clip, SegmentsAgainstARectangle) {
    const CRect r(0, 0, 100, 50);
    struct Case {
        CPoint a, b;
        int hit;
        CPoint ca, cb;
    };
    const Case cases[] = {
        {{10, 10}, {90, 40}, 1, {10, 10}, {90, 40}},  // inside: untouched
        {{-50, 10}, {-10, 40}, 0, {}, {}},            // outside to the left
        {{10, 60}, {90, 70}, 0, {}, {}},              // outside beyond y = 50
        {{-20, 20}, {20, 20}, 1, {0, 20}, {20, 20}},  // crossing the left edge only
        {{-20, 0}, {80, 100}, 1, {0, 20}, {30, 50}},  // crossing left and y = 50 edges
        {{50, -10}, {50, 60}, 1, {50, 0}, {50, 50}},  // right through, in both orders
        {{50, 60}, {50, -10}, 1, {50, 50}, {50, 0}},
        {{-20, 40}, {20, 80}, 0, {}, {}},  // past a corner: cut in x, then nothing left in y
    };
    for (const Case& c : cases) {
        CPoint a = c.a, b = c.b;
        ASSERT_EQ(segmentIntersection(a, b, r), c.hit) << c.a.x << "," << c.a.y;
        EXPECT_TRUE(!c.hit || (a == c.ca && b == c.cb)) << c.a.x << "," << c.a.y;
    }
    // Touching the edge at one end and leaving at the other is still cut at the edge.
    CPoint oa, ob;
    EXPECT_EQ(segmentIntersectionWithYStrip(CPoint(5, 0), CPoint(5, -30), oa, ob, 0, 50), 1);
    EXPECT_TRUE(oa == CPoint(5, 0) && ob == CPoint(5, 0));
}
