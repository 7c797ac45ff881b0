#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "velmorutils/velmorutils.h"

namespace {

constexpr double kTol = 1e-9;

double azimuthDeg(double E, double N, double toE, double toN) {
    return GetRefAziPts(toE - E, toN - N);
}

}  // namespace

TEST(PlaneCogo, AzimuthOfDifferencesRunsClockwiseFromNorthInto0To360) {
    EXPECT_DOUBLE_EQ(GetRefAziPts(0, 1), 0.0);
    EXPECT_DOUBLE_EQ(GetRefAziPts(1, 0), 90.0);
    EXPECT_DOUBLE_EQ(GetRefAziPts(0, -1), 180.0);
    EXPECT_DOUBLE_EQ(GetRefAziPts(-1, 0), 270.0);
    EXPECT_DOUBLE_EQ(GetRefAziPts(-1, 1), 315.0);
    EXPECT_DOUBLE_EQ(GetRefAziPts(0, 0), 0.0);
    // A hair west of north stays below 360.
    const double az = GetRefAziPts(-1e-300, 1);
    EXPECT_GE(az, 0.0);
    EXPECT_LT(az, 360.0);
}

TEST(PlaneCogo, RotationAndStakeOutComponents) {
    double x2 = 0, y2 = 0;
    EXPECT_EQ(RotateCounterClockwise(1, 0, 90, x2, y2), 1);
    EXPECT_NEAR(x2, 0, kTol);
    EXPECT_NEAR(y2, -1, kTol);

    // A point 3 m east and 4 m north, looked at along azimuth 90: 4 m to the left, 3 m ahead.
    double across = 7, along = 7, height = 7;
    EXPECT_EQ(dENSoutInfo(3, 4, 1.5, 90, &across, &along, &height), 1);
    EXPECT_NEAR(across, -4, kTol);
    EXPECT_NEAR(along, 3, kTol);
    EXPECT_DOUBLE_EQ(height, 1.5);
    // Differences under 1e-8 have no direction, but the height is still handed back.
    EXPECT_EQ(dENSoutInfo(1e-9, -1e-9, 2.0, 45, &across, &along, &height), 0);
    EXPECT_EQ(across, 0.0);
    EXPECT_EQ(along, 0.0);
    EXPECT_EQ(height, 2.0);
    EXPECT_EQ(dENSoutInfo(3, 4, 0, 0, nullptr, nullptr, nullptr), 1);
}

TEST(PlaneCogo, PointsAtDistanceAndOnExtensions) {
    double E = 0, N = 0;
    EXPECT_EQ(Compute2DPoint(100, 200, 10, 30, 60, E, N), 1);
    EXPECT_NEAR(E, 110, kTol);
    EXPECT_NEAR(N, 200, kTol);
    EXPECT_DOUBLE_EQ(HorizontalDistance(1, 1, 4, 5), 5.0);

    TCoords out(9, 9, 9);
    EXPECT_EQ(Compute3DPoint(TCoords(0, 0, 0), TCoords(3, 0, 4), 10, out), 1);
    EXPECT_NEAR(out[0], 9, kTol);
    EXPECT_NEAR(out[1], 0, kTol);
    EXPECT_NEAR(out[2], 12, kTol);
    // Shorter than 1e-5: no direction, out untouched.
    out = TCoords(9, 9, 9);
    EXPECT_EQ(Compute3DPoint(TCoords(1, 1, 1), TCoords(1, 1, 1 + 5e-6), 10, out), 0);
    EXPECT_EQ(out[2], 9.0);
}

TEST(PlaneCogo, LineIntersectionPresetsAndParallelLines) {
    double E = 0, N = 0;
    EXPECT_EQ(ComputeENIntersectionPoint(0, 0, 45, 10, 0, 315, E, N), 1);
    EXPECT_NEAR(E, 5, kTol);
    EXPECT_NEAR(N, 5, kTol);
    EXPECT_EQ(ComputeENIntersectionPoint(0, 0, 45, 10, 0, 225, E, N), 0);
    EXPECT_EQ(E, 1e30);
    EXPECT_EQ(N, 1e30);

    // Line through two points and its coefficients: a E + b N = c holds at both points.
    double a, b, c;
    ComputeEqVars(2, 3, 7, -1, a, b, c);
    EXPECT_NEAR(a * 2 + b * 3, c, kTol);
    EXPECT_NEAR(a * 7 + b * -1, c, kTol);
    // The plain intersection leaves outputs alone when the lines are parallel.
    E = N = 42;
    EXPECT_EQ(GetIntersectionPointFromEqVars(1, 1, 0, 2, 2, 5, E, N), 0);
    EXPECT_EQ(E, 42.0);
}

TEST(PlaneCogo, InterpolationAlongSegments) {
    double x = 0, y = 0, z = 0;
    InterpolateXGivenY(0, 0, 10, 20, 5, x);
    EXPECT_DOUBLE_EQ(x, 2.5);
    InterpolateYGivenX(0, 0, 10, 20, 5, y);
    EXPECT_DOUBLE_EQ(y, 10.0);
    // Flat or vertical segments give the first coordinate back.
    InterpolateYGivenX(3, 4, 3, 9, 100, y);
    EXPECT_DOUBLE_EQ(y, 4.0);

    // Height by plane distance: a 3-4-5 segment climbing 10.
    InterpolateXZGivenY(0, 0, 100, 3, 4, 110, 2, x, z);
    EXPECT_DOUBLE_EQ(x, 1.5);
    EXPECT_NEAR(z, 105, kTol);
    // Before the first point the height climbs all the same: distance is unsigned.
    InterpolateYZGivenX(0, 0, 100, 3, 4, 110, -1.5, y, z);
    EXPECT_DOUBLE_EQ(y, -2.0);
    EXPECT_NEAR(z, 105, kTol);
    // Vertical segment in x: height by the y parameter, signed.
    InterpolateXZGivenY(5, 0, 10, 5, 10, 20, -5, x, z);
    EXPECT_DOUBLE_EQ(x, 5.0);
    EXPECT_NEAR(z, 5, kTol);
    // Coincident ends.
    InterpolateXZGivenY(1, 2, 3, 1, 2, 8, 7, x, z);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(z, 3.0);
    InterpolateYZGivenX(1, 2, 3, 1, 2, 8, 7, y, z);
    EXPECT_EQ(y, 2.0);
    EXPECT_EQ(z, 3.0);
}

TEST(PlaneCogo, QuadraticRootsOrderAndDegenerateCases) {
    double x1 = 9, x2 = 9;
    EXPECT_EQ(SolutionTo2ndDegreePolynomial(1, -3, 2, x1, x2), 2);
    EXPECT_DOUBLE_EQ(x1, 2.0);
    EXPECT_DOUBLE_EQ(x2, 1.0);
    EXPECT_EQ(SolutionTo2ndDegreePolynomial(0, 2, -4, x1, x2), 1);
    EXPECT_DOUBLE_EQ(x1, 2.0);
    EXPECT_DOUBLE_EQ(x2, 2.0);
    EXPECT_EQ(SolutionTo2ndDegreePolynomial(0, 1e-6, 1, x1, x2), 0);
    EXPECT_EQ(x1, 0.0);
    EXPECT_EQ(SolutionTo2ndDegreePolynomial(1, 2, 1, x1, x2), 1);
    EXPECT_DOUBLE_EQ(x1, -1.0);
    // Negative discriminant: no roots, outputs preset to 0.
    x1 = x2 = 9;
    EXPECT_EQ(SolutionTo2ndDegreePolynomial(1, 0, 1, x1, x2), 0);
    EXPECT_EQ(x1, 0.0);
    EXPECT_EQ(x2, 0.0);
    // A slightly negative discriminant is a double root.
    EXPECT_EQ(SolutionTo2ndDegreePolynomial(1, 2, 1 + 1e-14, x1, x2), 1);
    // Nothing at all, or only a vanishing linear term: never a division by zero.
    EXPECT_EQ(SolutionTo2ndDegreePolynomial(0, 0, 0, x1, x2), 0);
    EXPECT_EQ(SolutionTo2ndDegreePolynomial(0, 1e-7, 0, x1, x2), 0);
    EXPECT_EQ(SolutionTo2ndDegreePolynomial(4.9e-324, 1e-7, 0, x1, x2), 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(SolutionTo2ndDegreePolynomial(1, nan, 1, x1, x2), 0);
}

TEST(PlaneCogo, CircleThroughChordSeenUnderAngle) {
    double Ec = 0, Nc = 0, R = 0;
    EXPECT_EQ(ComputeCenterCoordinates(0, 0, 0, 10, 90, Ec, Nc, R), 1);
    EXPECT_NEAR(Ec, 0, kTol);
    EXPECT_NEAR(Nc, 5, kTol);
    EXPECT_NEAR(R, 5, kTol);
    EXPECT_EQ(ComputeCenterCoordinates(0, 0, 0, 10, 45, Ec, Nc, R), 1);
    EXPECT_NEAR(Ec, 5, kTol);
    EXPECT_NEAR(Nc, 5, kTol);
    EXPECT_NEAR(R, 7.0710678, 1e-7);
    // Over 90 degrees the centre moves to the left.
    EXPECT_EQ(ComputeCenterCoordinates(0, 0, 0, 10, 135, Ec, Nc, R), 1);
    EXPECT_NEAR(Ec, -5, kTol);
    // 0 and 180 degrees: a straight line, outputs untouched.
    Ec = 42;
    EXPECT_EQ(ComputeCenterCoordinates(0, 0, 0, 10, 0, Ec, Nc, R), 0);
    EXPECT_EQ(ComputeCenterCoordinates(0, 0, 0, 10, 180, Ec, Nc, R), 0);
    EXPECT_EQ(Ec, 42.0);
    double a = 1, b = 1, c = 1;
    EXPECT_EQ(ComputeCircleEqVals(0, 0, 0, 10, 180, a, b, c), 0);
    EXPECT_EQ(ComputeCircleEqVals(0, 0, 0, 10, 90, a, b, c), 1);
    EXPECT_NEAR(a, 0, kTol);
    EXPECT_NEAR(b, -10, kTol);
    EXPECT_NEAR(c, 0, kTol);
}

TEST(PlaneCogo, LineCircleAndCircleCircleIntersections) {
    double a, b, c;
    ComputeCircleEqVars(0, 0, 5, a, b, c);
    double E1 = 0, N1 = 0, E2 = 0, N2 = 0;
    // A vertical line E = 3 cuts the circle at N = +-4.
    EXPECT_EQ(IntersectionCoordsOfLineAndCircle(a, b, c, 1, 0, 3, E1, N1, E2, N2), 2);
    EXPECT_DOUBLE_EQ(E1, 3.0);
    EXPECT_DOUBLE_EQ(E2, 3.0);
    EXPECT_NEAR(N1, 4, kTol);
    EXPECT_NEAR(N2, -4, kTol);
    // A horizontal line N = 5 touches it once.
    EXPECT_EQ(IntersectionCoordsOfLineAndCircle(a, b, c, 0, 1, 5, E1, N1, E2, N2), 1);
    EXPECT_NEAR(E1, 0, 1e-6);
    EXPECT_NEAR(N1, 5, kTol);
    EXPECT_EQ(E1, E2);
    EXPECT_EQ(N1, N2);
    // A line missing the circle, and a line with no coefficients at all.
    EXPECT_EQ(IntersectionCoordsOfLineAndCircle(a, b, c, 1, 1, 100, E1, N1, E2, N2), 0);
    EXPECT_EQ(IntersectionCoordsOfLineAndCircle(a, b, c, 1e-6, 1e-6, 1, E1, N1, E2, N2), 0);

    // Two circles of radius 5 about (0,0) and (8,0) meet at (4, +-3).
    double a2, b2, c2;
    ComputeCircleEqVars(8, 0, 5, a2, b2, c2);
    EXPECT_EQ(IntersectionCoordsOfTwoCircles(a, b, c, a2, b2, c2, E1, N1, E2, N2), 2);
    EXPECT_NEAR(E1, 4, kTol);
    EXPECT_NEAR(E2, 4, kTol);
    EXPECT_NEAR(std::fabs(N1), 3, kTol);
    EXPECT_NEAR(N1 + N2, 0, kTol);
    // Concentric circles have no common chord.
    ComputeCircleEqVars(0, 0, 3, a2, b2, c2);
    EXPECT_EQ(IntersectionCoordsOfTwoCircles(a, b, c, a2, b2, c2, E1, N1, E2, N2), 0);
}

TEST(PlaneCogo, TwoDistancesTangentAndTwoSolutionCases) {
    double Ea = 0, Na = 0, Eb = -1, Nb = -1;
    int count = -1;
    EXPECT_EQ(ComputeCoords(0, 0, 5, 10, 0, 5, Ea, Na, Eb, Nb, count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(Ea, 5, kTol);
    EXPECT_NEAR(Na, 0, kTol);
    EXPECT_EQ(Eb, -1.0);

    EXPECT_EQ(ComputeCoords(0, 0, 8, 10, 0, 8, Ea, Na, Eb, Nb, count), 1);
    EXPECT_EQ(count, 2);
    EXPECT_NEAR(Ea, 5, kTol);
    EXPECT_NEAR(Na, std::sqrt(39.0), kTol);
    EXPECT_NEAR(Eb, 5, kTol);
    EXPECT_NEAR(Nb, -std::sqrt(39.0), kTol);

    // Circles that miss each other, and a zero distance that cannot scale the figure.
    EXPECT_EQ(ComputeCoords(0, 0, 3, 10, 0, 3, Ea, Na, Eb, Nb, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ComputeCoords(0, 0, 0, 10, 0, 10, Ea, Na, Eb, Nb, count), 0);
    EXPECT_EQ(ComputeCoords(0, 0, -5, 10, 0, 5, Ea, Na, Eb, Nb, count), 0);
    EXPECT_EQ(count, 0);
}

TEST(PlaneCogo, TwoDistancesNearlyTangentSolutionsCountOnce) {
    // Circles overlapping by a hair give two candidates 14 cm apart: one solution.
    double Ea = 0, Na = 0, Eb = 77, Nb = 77;
    int count = 0;
    EXPECT_EQ(ComputeCoords(0, 0, 500.00001, 1000, 0, 500.0, Ea, Na, Eb, Nb, count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(Ea, 500, 1e-3);
    EXPECT_EQ(Eb, 77.0);
}

TEST(PlaneCogo, TwoDistancesRoundTripFindsTheStation) {
    std::mt19937 gen(4);
    std::uniform_real_distribution<double> coord(-5000, 5000);
    for (int i = 0; i < 200; ++i) {
        const double E1 = coord(gen), N1 = coord(gen), E2 = coord(gen), N2 = coord(gen);
        const double E = coord(gen), N = coord(gen);
        const double d1 = HorizontalDistance(E1, N1, E, N);
        const double d2 = HorizontalDistance(E2, N2, E, N);
        double Ea = 0, Na = 0, Eb = 0, Nb = 0;
        int count = 0;
        ASSERT_EQ(ComputeCoords(E1, N1, d1, E2, N2, d2, Ea, Na, Eb, Nb, count), 1) << i;
        const double miss = std::min(HorizontalDistance(Ea, Na, E, N),
                                     count == 2 ? HorizontalDistance(Eb, Nb, E, N) : 1e9);
        EXPECT_LT(miss, 1e-4) << i;
    }
}

TEST(PlaneCogo, DistanceAndTwoDirectionsRoundTrip) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> coord(-2000, 2000);
    std::uniform_real_distribution<double> orient(0, 360);
    int found = 0;
    for (int i = 0; i < 200; ++i) {
        const double E1 = coord(gen), N1 = coord(gen), E2 = coord(gen), N2 = coord(gen);
        const double E = coord(gen), N = coord(gen);
        // Directions as read on a circle with an unknown zero.
        const double zero = orient(gen);
        const double r1 = std::fmod(azimuthDeg(E, N, E1, N1) + zero, 360.0);
        const double r2 = std::fmod(azimuthDeg(E, N, E2, N2) + zero, 360.0);
        const double d2 = HorizontalDistance(E2, N2, E, N);
        double Ea = 0, Na = 0, Eb = 0, Nb = 0;
        int count = 0;
        ASSERT_EQ(ComputeCoords(E1, N1, r1, E2, N2, r2, d2, Ea, Na, Eb, Nb, count), 1) << i;
        const double miss = std::min(HorizontalDistance(Ea, Na, E, N),
                                     count == 2 ? HorizontalDistance(Eb, Nb, E, N) : 1e9);
        if (miss < 1e-4) ++found;
    }
    EXPECT_EQ(found, 200);
}

TEST(PlaneCogo, DistanceAndDirectionsOnTheLineThroughBothPoints) {
    // X on the line P1-P2 between them: the chord is seen under 180 degrees.
    double Ea = 0, Na = 0, Eb = 0, Nb = 0;
    int count = 0;
    EXPECT_EQ(ComputeCoords(0, 0, 10, 0, 100, 190, 40, Ea, Na, Eb, Nb, count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(Ea, 0, 1e-9);
    EXPECT_NEAR(Na, 60, 1e-9);
    // Beyond P2: both seen in one direction (0 degrees).
    EXPECT_EQ(ComputeCoords(0, 0, 25, 0, 100, 25, 40, Ea, Na, Eb, Nb, count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(Na, 140, 1e-9);
    EXPECT_EQ(ComputeCoords(0, 0, 10, 0, 100, 190, 0, Ea, Na, Eb, Nb, count), 0);
    EXPECT_EQ(count, 0);
}

TEST(PlaneCogo, ResectionRoundTripFindsTheStation) {
    std::mt19937 gen(11);
    std::uniform_real_distribution<double> coord(-1000, 1000);
    std::uniform_real_distribution<double> orient(0, 360);
    int tried = 0, found = 0;
    for (int i = 0; i < 300; ++i) {
        const double E1 = coord(gen), N1 = coord(gen), E2 = coord(gen), N2 = coord(gen);
        const double E3 = coord(gen), N3 = coord(gen), E = coord(gen), N = coord(gen);
        // Skip stations near the circle through the three points: there resection is
        // indeterminate.
        double Ec, Nc, R, a, b, c;
        ComputeEqVars(E1, N1, E2, N2, a, b, c);
        if (std::fabs(a * E3 + b * N3 - c) < 1e3) continue;
        const double ang = azimuthDeg(E2, N2, E3, N3) - azimuthDeg(E2, N2, E1, N1);
        if (!ComputeCenterCoordinates(E1, N1, E3, N3, ang, Ec, Nc, R)) continue;
        if (std::fabs(HorizontalDistance(Ec, Nc, E, N) - R) < 0.1 * R) continue;
        ++tried;
        const double zero = orient(gen);
        const double r1 = std::fmod(azimuthDeg(E, N, E1, N1) + zero, 360.0);
        const double r2 = std::fmod(azimuthDeg(E, N, E2, N2) + zero, 360.0);
        const double r3 = std::fmod(azimuthDeg(E, N, E3, N3) + zero, 360.0);
        double Ea = 0, Na = 0, Eb = 0, Nb = 0;
        int count = 0;
        if (!ComputeCoords(E1, N1, r1, E2, N2, r2, E3, N3, r3, Ea, Na, Eb, Nb, count)) continue;
        const double miss = std::min(HorizontalDistance(Ea, Na, E, N),
                                     count == 2 ? HorizontalDistance(Eb, Nb, E, N) : 1e9);
        if (miss < 1e-3) ++found;
    }
    EXPECT_GT(tried, 100);
    EXPECT_EQ(found, tried);
}

TEST(PlaneCogo, ResectionOfASurveyorsTextbookStation) {
    // Station at (500, 500) looking at three targets; readings with an arbitrary zero.
    const double E = 500, N = 500;
    const double P[3][2] = {{1000, 1200}, {1300, 400}, {200, 100}};
    double r[3];
    for (int i = 0; i < 3; ++i)
        r[i] = std::fmod(azimuthDeg(E, N, P[i][0], P[i][1]) + 123.4, 360);
    double Ea = 0, Na = 0, Eb = -7, Nb = -7;
    int count = 0;
    ASSERT_EQ(ComputeCoords(P[0][0], P[0][1], r[0], P[1][0], P[1][1], r[1], P[2][0], P[2][1], r[2],
                            Ea, Na, Eb, Nb, count),
              1);
    // The other candidate is P2 itself, which fails the angle tests.
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(Ea, E, 1e-6);
    EXPECT_NEAR(Na, N, 1e-6);
    EXPECT_EQ(Eb, -7.0);
}

TEST(PlaneCogo, ResectionWithAllTargetsInLineGivesTheirCommonPoint) {
    // Collinear chords seen under 0/180: both circles missing, lines P1-P2 and P2-P3 are one
    // line, so no single point is fixed.
    double Ea = 0, Na = 0, Eb = 0, Nb = 0;
    int count = 9;
    EXPECT_EQ(ComputeCoords(0, 0, 0, 0, 10, 0, 0, 20, 0, Ea, Na, Eb, Nb, count), 0);
    EXPECT_EQ(count, 0);
    // Not collinear but all chords seen under 180: the lines meet at P2, taken untested.
    EXPECT_EQ(ComputeCoords(0, 0, 0, 0, 10, 180, 10, 10, 0, Ea, Na, Eb, Nb, count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(Ea, 0, kTol);
    EXPECT_NEAR(Na, 10, kTol);
}
