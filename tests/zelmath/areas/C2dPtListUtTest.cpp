#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "velmorutils/zelmath/areas/C2dPtListUt.h"

namespace {

// Shoelace on (east, north), written independently of the library: counter-clockwise positive.
double shoelace(const std::vector<C2dPos>& pts) {
    double twice = 0.0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const C2dPos& a = pts[i];
        const C2dPos& b = pts[(i + 1) % pts.size()];
        twice += a.east * b.north - b.east * a.north;
    }
    return twice / 2.0;
}

std::vector<C2dPos> reversed(std::vector<C2dPos> v) {
    return {v.rbegin(), v.rend()};
}

const std::vector<C2dPos> kUnitSquare = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};

// An open field boundary from P (first) to Q (last), running counter-clockwise.
const std::vector<C2dPos> kField = {{0, 0}, {0, 100}, {80, 120}, {100, 40}};
// A concave boundary (an L), also counter-clockwise.
const std::vector<C2dPos> kConcave = {{0, 0}, {0, 60}, {30, 60}, {30, 30}, {70, 30}, {70, 0}};

}  // namespace

TEST(C2dPtListUt, SignedAreaPerimeterExtentsAndThePositivePartRightOfALine) {
    C2dPtVectorList pts(kUnitSquare), rev(reversed(kUnitSquare)), one({{5, 5}}), none;
    C2dPtListUt ut(pts);
    EXPECT_DOUBLE_EQ(ut.getSignedArea(), 1.0);
    EXPECT_DOUBLE_EQ(ut.getPerimeter(), 4.0);
    EXPECT_DOUBLE_EQ(C2dPtListUt(rev).getSignedArea(), -1.0);
    EXPECT_DOUBLE_EQ(C2dPtListUt(rev).getArea(), 1.0);
    pts.points[2] = C2dPos(2, 2);  // the cached area follows a reset
    ut.reset();
    EXPECT_DOUBLE_EQ(ut.getSignedArea(), shoelace(pts.points));
    EXPECT_EQ(C2dPtListUt(one).getPerimeter(), 0.0);
    C2dPtListUt empty(none);
    EXPECT_EQ(empty.getSignedArea(), 0.0);
    EXPECT_TRUE(zel_math::isUnset(empty.getMinX()));  // no points, no extents
    C2dPtVectorList field(kField);
    C2dPtListUt f(field);
    EXPECT_TRUE(f.getMinX() == 0 && f.getMaxX() == 100 && f.getMinY() == 0 && f.getMaxY() == 120);
    // The positive area is the part right of the line.
    C2dPtVectorList square(kUnitSquare);
    C2dPtListUt sq(square);
    // Looking north from x = 0.5, 0.25, beyond and before the square; looking south the
    // right-hand side is the west part; the diagonal from (0,0) towards (1,1) leaves the
    // triangle east of it on the right, with two vertices exactly on the line.
    const double cases[][3] = {{0.5, 0, 0.5}, {0.25, 0, 0.75},   {-1, 0, 1},
                               {2, 0, 0},     {0.25, 180, 0.25}, {0, 45, 0.5}};
    for (const auto& c : cases)
        EXPECT_NEAR(sq.getPositiveArea(C2dPos(0, c[0]), CMathAngle(c[1])), c[2], 1e-12) << c[0];
    C2dPtVectorList diamond({{0, 0}, {1, 1}, {2, 0}, {1, -1}});  // two vertices on the north line
    EXPECT_NEAR(C2dPtListUt(diamond).getPositiveArea(C2dPos(0, 0), CMathAngle(0.0)), 1.0, 1e-12);
}

TEST(C2dPtListUt, SelfIntersections) {
    C2dPtVectorList eight({{0, 0}, {1, 1}, {0, 1}, {1, 0}});
    C2dPtListUt ut8(eight);
    EXPECT_TRUE(ut8.hasSelfXsections());
    int i = -1, j = -1;
    EXPECT_TRUE(ut8.get1stSelfXsection(i, j, -1, true));
    EXPECT_TRUE(i == 0 && j == 2) << i << " " << j;
    C2dPtVectorList square(kUnitSquare);
    C2dPtListUt ut(square);
    EXPECT_FALSE(ut.hasSelfXsections());
    // A segment through the square meets edge 0 first, then the others in order.
    EXPECT_EQ(ut.get1stIntersection(C2dPos(-1, 0.5), C2dPos(2, 0.5), -5, -1), 0);
    EXPECT_EQ(ut.get1stIntersection(C2dPos(-1, 0.5), C2dPos(2, 0.5), 1, 4), 2);
    EXPECT_EQ(ut.get1stIntersection(C2dPos(0.5, -1), C2dPos(0.5, 0.5), 0, -1), 3);  // closing
    EXPECT_EQ(ut.get1stIntersection(C2dPos(-1, 0.5), C2dPos(2, 0.5), 0, 99), 0);    // to clamped
    // Closing an open boundary through x: a point that folds the boundary back crosses.
    C2dPtVectorList field(kField);
    C2dPtListUt f(field);
    EXPECT_FALSE(f.hasSelfXsections(C2dPos(60, -10)));
    EXPECT_TRUE(f.hasSelfXsections(C2dPos(-50, 60)));
}

TEST(AreaDivision, HingeLineEnclosesTheRequiredAreaOrRefusesImpossibleRequests) {
    struct Case {
        std::vector<C2dPos> boundary;
        double azimuth;
        double area;
    };
    const Case cases[] = {
        {kField, 20.0, 9000.0},             // the closing line swings out beyond Q
        {kField, 50.0, 6000.0},             // and in
        {kConcave, 30.0, 2500.0},           // concave boundary
        {reversed(kField), 120.0, 7000.0},  // clockwise: the area is asked as a positive value
    };
    for (const Case& c : cases) {
        C2dPtVectorList pts(c.boundary);
        C2dPtListUt ut(pts);
        C2dPos x;
        ASSERT_TRUE(ut.getAreaHingelLineSolution(CMathAngle(c.azimuth), c.area, x)) << c.area;
        std::vector<C2dPos> closed = c.boundary;
        closed.push_back(x);
        EXPECT_NEAR(std::fabs(shoelace(closed)), c.area, 1e-6 * c.area);
        // x lies on the hinge line through the first point.
        CMathAngle az;
        az.setAz(c.boundary.front(), x);
        EXPECT_NEAR(std::sin(az.getRad() - CMathAngle(c.azimuth).getRad()), 0.0, 1e-9);
    }
    C2dPtVectorList pts(kField);
    C2dPtListUt ut(pts);
    C2dPos x(123, 456);
    // A hinge along P-Q never changes the area.
    CMathAngle alongPQ;
    alongPQ.setAz(kField.front(), kField.back());
    EXPECT_FALSE(ut.getAreaHingelLineSolution(alongPQ, 5000.0, x));
    // Almost no area: the closing point would have to fold the boundary over itself.
    EXPECT_FALSE(ut.getAreaHingelLineSolution(CMathAngle(50.0), 1.0, x));
    EXPECT_EQ(x, C2dPos(123, 456));  // outputs untouched on failure
    C2dPtVectorList one({{1, 1}});
    EXPECT_FALSE(C2dPtListUt(one).getAreaHingelLineSolution(CMathAngle(0.0), 10.0, x));
}

TEST(AreaDivision, ParallelLineWithTwoDirectionsAndWhatCannotBeReached) {
    // A 100 m frontage P1-P2 along the road (east), sides running back north and north-east.
    struct Case {
        std::vector<C2dPos> boundary;
        double dir1, dir2, area;
    };
    const Case cases[] = {
        {{{0, 0}, {0, 100}}, 0.0, 0.0, 5000.0},             // rectangle: h = 50
        {{{0, 0}, {0, 100}}, 10.0, -15.0, 4000.0},          // converging sides
        {{{0, 0}, {0, 100}}, -20.0, 25.0, 4000.0},          // diverging sides
        {{{0, 0}, {-20, 50}, {0, 100}}, 0.0, 0.0, 6000.0},  // the boundary already holds 1000
    };
    for (const Case& c : cases) {
        C2dPtVectorList pts(c.boundary);
        C2dPtListUt ut(pts);
        C2dPos x1, x2;
        ASSERT_TRUE(
            ut.getAreaParallelLineSolution(CMathAngle(c.dir1), CMathAngle(c.dir2), c.area, x1, x2))
            << c.area;
        std::vector<C2dPos> closed = c.boundary;
        closed.push_back(x2);
        closed.push_back(x1);
        EXPECT_NEAR(shoelace(closed), c.area, 1e-6 * c.area);
        // The closing line is parallel to the base line P1-P2.
        const C2dPos base = c.boundary.back() - c.boundary.front();
        const C2dPos cut = x2 - x1;
        EXPECT_NEAR(base.north * cut.east - base.east * cut.north, 0.0, 1e-6);
    }
    C2dPtVectorList rect({{0, 0}, {0, 100}});
    C2dPtListUt ut(rect);
    C2dPos x1, x2;
    // No area to add: the base points themselves.
    ASSERT_TRUE(ut.getAreaParallelLineSolution(CMathAngle(0.0), CMathAngle(0.0), 0.0, x1, x2));
    EXPECT_TRUE(x1 == C2dPos(0, 0) && x2 == C2dPos(0, 100));
    // Sides at 45 degrees inwards meet 50 m out: at most 2500 m2 fits.
    EXPECT_FALSE(
        ut.getAreaParallelLineSolution(CMathAngle(45.0), CMathAngle(-45.0), 2600.0, x1, x2));
    EXPECT_TRUE(
        ut.getAreaParallelLineSolution(CMathAngle(45.0), CMathAngle(-45.0), 2400.0, x1, x2));
    // Sides leaning to opposite sides of the base.
    EXPECT_FALSE(ut.getAreaParallelLineSolution(CMathAngle(0.0), CMathAngle(180.0), 100.0, x1, x2));
    // Frontage P1-P2 not square to the sides; the cut must run east (dir3 = 90).
    C2dPtVectorList pts({{0, 0}, {10, 100}});
    ASSERT_TRUE(C2dPtListUt(pts).getAreaParallelLineSolution(CMathAngle(0.0), CMathAngle(0.0),
                                                             CMathAngle(90.0), 5000.0, x1, x2));
    EXPECT_NEAR(x1.north, x2.north, 1e-9);  // the cut runs due east
    EXPECT_NEAR(shoelace({{0, 0}, {10, 100}, x2, x1}), 5000.0, 1e-6 * 5000.0);
}
