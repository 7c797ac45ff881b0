#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

#include "velmorutils/velmorutils.h"
#include "zelmath/alignment/AlntHTestSupport.h"

namespace {

struct Pt {
    double n, e, h;
    TCtlCodeEnum c1 = ccNone;
    TCtlCodeEnum c2 = ccNone;
};

C3dLineWithCtlCodes makeLine(std::initializer_list<Pt> pts) {
    C3dLineWithCtlCodes line;
    for (const Pt& p : pts) {
        T3dPosWithCtlCode q(p.n, p.e, p.h);
        q.addCtlCode(p.c1);
        q.addCtlCode(p.c2);
        line.add(q);
    }
    return line;
}

C2dPos finalOf(const CAlnt& alnt, int i) {
    C2dPos p;
    EXPECT_TRUE(alnt.getHe(i)->getFinalPosNe(p.north, p.east));
    return p;
}

double heightAt(const CAlnt& alnt, double chain) {
    double h = 0.0;
    EXPECT_TRUE(alnt.getPosHAtChain(chain, h));
    return h;
}

double radiusOf(const CAlnt& alnt, int i) {
    const CAlntHeArc* arc = CAlntHeArc::cast(alnt.getHe(i));
    EXPECT_NE(arc, nullptr);
    return arc == nullptr ? 0.0 : arc->get_data().get_data().getRadius();
}

void expectNear(const C2dPos& a, const C2dPos& b, double tol) {
    EXPECT_NEAR(0.0, a.distanceTo(b), tol) << a.north << ", " << a.east;
}

TEST(CodedLine, PlainPointsBecomeSegmentsAndGradesRectanglesGainACornerArcsTheirTangent) {
    const C3dLineWithCtlCodes line = makeLine({{0, 0, 10}, {100, 0, 12}, {100, 100, 11}});
    CAlnt alnt;
    ASSERT_TRUE(line.convertToAlnt(alnt, false));
    ASSERT_EQ(alnt.getNumOfHes(), 2);
    EXPECT_EQ(alnt.getHe(1)->getType(), alntHeSegment);
    expectNear(finalOf(alnt, 1), {100, 100}, 1e-9);
    EXPECT_NEAR(heightAt(alnt, 50.0), 11.0, 1e-9);
    EXPECT_NEAR(heightAt(alnt, 200.0), 11.0, 1e-9);

    // A repeated point adds no straight; a point without a plan position fails the line.
    C3dLineWithCtlCodes twice = makeLine({{0, 0, 0}, {100, 0, 0}, {100, 0, 0}, {100, 100, 0}});
    ASSERT_TRUE(twice.convertToAlnt(alnt, false));
    EXPECT_EQ(alnt.getNumOfHes(), 2);
    twice.get_at(2).mask = 5;
    EXPECT_FALSE(twice.convertToAlnt(alnt, false));
    // A rectangle completes the fourth corner opposite the right angle.
    struct Case {
        Pt p0, p1, p2;
        std::vector<C2dPos> corners;  // the figure after P0, ending on P0
    };
    const Case cases[] = {
        // longest side P0-P2: the corner is P1
        {{0, 0, 5}, {100, 0, 6}, {100, 100, 7}, {{100, 0}, {100, 100}, {0, 100}, {0, 0}}},
        // longest side P0-P1: the corner is P2
        {{0, 0, 5}, {100, 50, 6}, {100, 0, 7}, {{100, 0}, {100, 50}, {0, 50}, {0, 0}}},
        // longest side P1-P2: the corner is P0
        {{0, 0, 5}, {0, 50, 6}, {100, 0, 7}, {{0, 50}, {100, 50}, {100, 0}, {0, 0}}},
    };
    for (const Case& c : cases) {
        for (int tagged = 0; tagged < 3; ++tagged) {
            Pt p[3] = {c.p0, c.p1, c.p2};
            p[tagged].c1 = ccRectangle;
            CAlnt alnt;
            ASSERT_TRUE(makeLine({p[0], p[1], p[2]}).convertToAlnt(alnt, false));
            ASSERT_EQ(alnt.getNumOfHes(), 4);
            for (int k = 0; k < 4; ++k)
                expectNear(finalOf(alnt, k), c.corners[k], 1e-9);
        }
    }
    // The constructed corner keeps the height of the corner before it.
    ASSERT_TRUE(
        makeLine({{0, 0, 5}, {100, 0, 6, ccRectangle}, {100, 100, 7}}).convertToAlnt(alnt, false));
    EXPECT_NEAR(heightAt(alnt, 300.0), 7.0, 1e-9);
    EXPECT_NEAR(heightAt(alnt, 400.0), 5.0, 1e-9);
    // A two-point arc takes its end tangent from the next point.
    ASSERT_TRUE(makeLine({{0, 0, 0, ccCurveStart}, {100, 100, 0, ccCurveEnd}, {100, 200, 0}})
                    .convertToAlnt(alnt, false));
    ASSERT_EQ(alnt.getNumOfHes(), 2);
    EXPECT_NEAR(radiusOf(alnt, 0), 100.0, 1e-9);
    CMathAngle end;
    ASSERT_TRUE(alnt.getHe(0)->getFinalAzimut(end));
    EXPECT_NEAR(end.getDeg(), 90.0, 1e-9);

    // No point after the arc: nothing gives a tangent, so the two points are joined straight.
    ASSERT_TRUE(
        makeLine({{0, 0, 0, ccCurveStart}, {100, 100, 0, ccCurveEnd}}).convertToAlnt(alnt, false));
    ASSERT_EQ(alnt.getNumOfHes(), 1);
    EXPECT_EQ(alnt.getHe(0)->getType(), alntHeSegment);
    // Three points: the arc is cut at its middle point.
    // Circle of radius 50 about (0, 50): from (0, 0) through (50, 50) to (0, 100), turning right
    // from heading north; a half circle in two quarters.
    ASSERT_TRUE(
        makeLine({{0, 0, 0, ccCurveStart}, {50, 50, 4}, {0, 100, 8, ccCurveEnd}, {-50, 100, 8}})
            .convertToAlnt(alnt, false));
    ASSERT_EQ(alnt.getNumOfHes(), 3);
    EXPECT_NEAR(radiusOf(alnt, 1), 50.0, 1e-9);
    expectNear(finalOf(alnt, 0), {50, 50}, 1e-9);
    expectNear(finalOf(alnt, 1), {0, 100}, 1e-9);
    EXPECT_NEAR(heightAt(alnt, 25.0 * zel_math::kPi), 4.0, 1e-9);

    // Collinear points make no arc: the pass fails and the points are joined straight.
    ASSERT_TRUE(makeLine({{0, 0, 0, ccCurveStart}, {50, 0, 0}, {100, 0, 0, ccCurveEnd}})
                    .convertToAlnt(alnt, false));
    ASSERT_EQ(alnt.getNumOfHes(), 2);
    EXPECT_EQ(alnt.getHe(0)->getType(), alntHeSegment);
}

TEST(CodedLine, ConvertFromAlntStopsAtASpiral) {
    CAlnt alnt;
    alnt.setStartPos(10.0, 20.0, 30.0);
    ASSERT_TRUE(alnt.appendElement(makeSegment(100.0)));
    ASSERT_TRUE(alnt.appendElement(makeSpiral(60.0, 300.0, true, true)));
    ASSERT_TRUE(alnt.appendElement(makeSegment(100.0)));

    C3dLineWithCtlCodes line = makeLine({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}});
    EXPECT_FALSE(line.convertFromAlnt(alnt, true));
    ASSERT_EQ(line.count(), 2u);
    T3dPosWithCtlCode first(10.0, 20.0, 30.0);
    first.addCtlCode(ccClose);
    EXPECT_EQ(line.get_at(0), first);
    EXPECT_NEAR(line.get_at(1).north(), 110.0, 1e-9);
    EXPECT_EQ(line.get_at(1).height(), 30.0);
}

// Segments and arcs of every kind the coded string knows: an arc that follows the tangent
// before it (two points on the way back), arcs following arcs, and arcs whose start azimuth is
// fixed (three points on the way back).
void buildMixedAlignment(CAlnt& alnt) {
    alnt.setStartPos(5000.0, 3000.0, 120.0);
    CAlntHeSegment seg = makeSegment(120.0);
    seg.setFixedStartAzimuthDeg(37.5);
    ASSERT_TRUE(alnt.appendElement(seg));
    ASSERT_TRUE(alnt.appendElement(makeArc(90.0, 250.0, true)));
    ASSERT_TRUE(alnt.appendElement(makeArc(70.0, 180.0, false)));
    ASSERT_TRUE(alnt.appendElement(makeSegment(80.0)));

    // A fixed arc that kinks away from the straight, then another fixed arc straight after it.
    CArc arc;
    C2dPos end;
    ASSERT_TRUE(alnt.getFinalPosNe(end.north, end.east));
    arc.set_start_r_length(end, CMathAngle(140.0), 300.0, 200.0, true);
    CAlntHeArc fixedArc;
    fixedArc.setArc(arc);
    ASSERT_TRUE(alnt.appendElement(fixedArc));
    ASSERT_TRUE(alnt.getFinalPosNe(end.north, end.east));
    // This one and the tangent arc after it sweep more than a half circle.
    arc.set_start_r_length(end, CMathAngle(-60.0), 120.0, 600.0, false);
    fixedArc.setArc(arc);
    ASSERT_TRUE(alnt.appendElement(fixedArc));
    // A tangent arc after a fixed one, then a closing straight.
    ASSERT_TRUE(alnt.appendElement(makeArc(390.0, 90.0, true)));
    ASSERT_TRUE(alnt.appendElement(makeSegment(80.0)));
}

TEST(CodedLine, AlignmentOfSegmentsAndArcsSurvivesTheRoundTrip) {
    CAlnt original;
    buildMixedAlignment(original);
    ASSERT_EQ(original.getNumOfHes(), 8);

    C3dLineWithCtlCodes line;
    ASSERT_TRUE(line.convertFromAlnt(original, false));
    // start, then per element its end, plus a middle point for each of the two fixed arcs
    ASSERT_EQ(line.count(), 1u + 8u + 2u);

    CAlnt back;
    ASSERT_TRUE(line.convertToAlnt(back, false));
    double lenBack = 0.0;
    ASSERT_TRUE(back.getTotalHLengthInM(lenBack));

    // Start, middle and end of every original element, found again at the same chainage.
    for (int i = 0; i < original.getNumOfHes(); ++i) {
        const CAlntHe* he = original.getHe(i);
        double start = 0.0, len = 0.0;
        ASSERT_TRUE(he->getStartChainageInM(start));
        ASSERT_TRUE(he->getHLengthInM(len));
        for (double f : {0.0, 0.5, 1.0}) {
            C2dPos a, b;
            ASSERT_TRUE(he->getPosNeAtLength(f * len, a.north, a.east));
            ASSERT_TRUE(back.getPosNeAtChain(start + f * len, b.north, b.east));
            SCOPED_TRACE(testing::Message() << "element " << i << " at " << f);
            expectNear(b, a, 1e-6);
        }
    }

    // Closed, the rebuilt alignment gains the straight back to the start.
    C3dLineWithCtlCodes again;
    ASSERT_TRUE(again.convertFromAlnt(back, true));
    CAlnt third;
    ASSERT_TRUE(again.convertToAlnt(third, false));
    expectNear(finalOf(third, third.getNumOfHes() - 1), {5000.0, 3000.0}, 1e-6);
}

TEST(ElementAzimuth, TurnsTheElementOntoTheChord) {
    CMathAngle az(33.0);
    EXPECT_FALSE(getAlntElementAzimuth(az, {0, 0}, {100, 100}, 200.0, -300.0, 50.0));
    EXPECT_EQ(az.getDeg(), 0.0);
    EXPECT_FALSE(getAlntElementAzimuth(az, {7, 7}, {7, 7}, 0.0, 0.0, 10.0));

    ASSERT_TRUE(getAlntElementAzimuth(az, {0, 0}, {0, 100}, 0.0, 0.0, 100.0));
    EXPECT_NEAR(az.getDeg(), 90.0, 1e-12);
    // A right-hand quarter circle's chord runs at 45 degrees to its start tangent.
    ASSERT_TRUE(getAlntElementAzimuth(az, {0, 0}, {100, 0}, 100.0, 100.0, 50.0 * zel_math::kPi));
    EXPECT_NEAR(az.getDeg(), -45.0, 1e-9);

    // Spirals of each form: placed at the answer, the element ends on the chord's line.
    for (const auto& [r1, r2] : {std::pair{0.0, 250.0}, {-250.0, 0.0}, {400.0, 150.0}}) {
        const C2dPos p1(1000.0, 500.0), p2(1040.0, 530.0);
        ASSERT_TRUE(getAlntElementAzimuth(az, p1, p2, r1, r2, 80.0));
        CAlnt alnt;
        alnt.setStartPos(p1.north, p1.east, 0.0);
        CAlntHeSpiral spiral;
        CCurveDataSpiral& s = spiral.get_data().get_data();
        if (r1 == 0.0)
            s.setLenAndR(80.0, r2, r2 > 0.0, true);
        else if (r2 == 0.0)
            s.setLenAndR(80.0, r1, r1 > 0.0, false);
        else
            s.setLenAndR(80.0, r1, r2, r1 > 0.0);
        spiral.setFixedStartAzimuthDeg(az.getDeg());
        ASSERT_TRUE(alnt.appendElement(spiral));
        const C2dPos u = finalOf(alnt, 0) - p1, v = p2 - p1;
        EXPECT_NEAR(u.north * v.east - u.east * v.north, 0.0, 1e-6 * 50.0 * 80.0);
        EXPECT_GT(u.north * v.north + u.east * v.east, 0.0);
    }
}

}  // namespace
