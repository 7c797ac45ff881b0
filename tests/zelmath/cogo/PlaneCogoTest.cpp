#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "support/NearPair.h"
#include "velmorutils/velmorutils.h"

namespace {

constexpr double kTol = 1e-9;

double azimuthDeg(double E, double N, double toE, double toN) {
    return GetRefAziPts(toE - E, toN - N);
}

// Distance from the true station to the nearer of the one or two solutions.
double miss(double E, double N, double Ea, double Na, double Eb, double Nb, int count) {
    return std::min(HorizontalDistance(Ea, Na, E, N),
                    count == 2 ? HorizontalDistance(Eb, Nb, E, N) : 1e9);
}

// A direction read on a circle whose zero is turned by `zero` degrees.
double reading(double E, double N, double toE, double toN, double zero) {
    return std::fmod(azimuthDeg(E, N, toE, toN) + zero, 360.0);
}

}  // namespace

TEST(PlaneCogo, AzimuthRotationStakeOutComponentsAndPointsAtDistanceAndOnExtensions) {
    const double cases[][3] = {{0, 1, 0},    {1, 0, 90},   {0, -1, 180},
                               {-1, 0, 270}, {-1, 1, 315}, {0, 0, 0}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(GetRefAziPts(c[0], c[1]), c[2]) << c[0] << c[1];
    // A hair west of north stays below 360.
    const double az = GetRefAziPts(-1e-300, 1);
    EXPECT_TRUE(az >= 0.0 && az < 360.0) << az;
    // Rotation, stake-out components, points at a distance and on extensions.
    double x2 = 0, y2 = 0;
    EXPECT_EQ(RotateCounterClockwise(1, 0, 90, x2, y2), 1);
    EXPECT_TRUE(nearPair(x2, y2, 0, -1));
    // A point 3 m east and 4 m north, looked at along azimuth 90: 4 m to the left, 3 m ahead.
    double across = 7, along = 7, height = 7;
    EXPECT_EQ(dENSoutInfo(3, 4, 1.5, 90, &across, &along, &height), 1);
    EXPECT_TRUE(nearPair(across, along, -4, 3));
    EXPECT_DOUBLE_EQ(height, 1.5);
    // Differences under 1e-8 have no direction, but the height is still handed back.
    EXPECT_EQ(dENSoutInfo(1e-9, -1e-9, 2.0, 45, &across, &along, &height), 0);
    EXPECT_TRUE(across == 0.0 && along == 0.0 && height == 2.0);
    EXPECT_EQ(dENSoutInfo(3, 4, 0, 0, nullptr, nullptr, nullptr), 1);
    // Points at a distance and on extensions.
    double E = 0, N = 0;
    EXPECT_EQ(Compute2DPoint(100, 200, 10, 30, 60, E, N), 1);
    EXPECT_TRUE(nearPair(E, N, 110, 200));
    TCoords out(9, 9, 9);
    EXPECT_EQ(Compute3DPoint(TCoords(0, 0, 0), TCoords(3, 0, 4), 10, out), 1);
    EXPECT_TRUE(nearPair(out[0], out[2], 9, 12));
    // Shorter than 1e-5: no direction, out untouched; just above it the line extends.
    out = TCoords(9, 9, 9);
    EXPECT_EQ(Compute3DPoint(TCoords(1, 1, 1), TCoords(1, 1, 1 + 5e-6), 10, out), 0);
    EXPECT_EQ(out[2], 9.0);
    EXPECT_EQ(Compute3DPoint(TCoords(1, 1, 1), TCoords(1, 1, 1 + 2e-5), 10, out), 1);
    EXPECT_NEAR(out[2], 11.00002, 1e-9);
}

TEST(PlaneCogo, LineIntersectionPresetsParallelLinesAndQuadraticRoots) {
    double E = 0, N = 0;
    EXPECT_EQ(ComputeENIntersectionPoint(0, 0, 45, 10, 0, 315, E, N), 1);
    EXPECT_TRUE(nearPair(E, N, 5, 5));
    EXPECT_EQ(ComputeENIntersectionPoint(0, 0, 45, 10, 0, 225, E, N), 0);
    EXPECT_TRUE(E == 1e30 && N == 1e30);
    // Line through two points and its coefficients: a E + b N = c holds at both points.
    double a, b, c;
    ComputeEqVars(2, 3, 7, -1, a, b, c);
    EXPECT_NEAR(a * 2 + b * 3, c, kTol);
    EXPECT_NEAR(a * 7 + b * -1, c, kTol);
    // The plain intersection leaves outputs alone when the lines are parallel.
    E = N = 42;
    EXPECT_EQ(GetIntersectionPointFromEqVars(1, 1, 0, 2, 2, 5, E, N), 0);
    EXPECT_EQ(E, 42.0);
    // Quadratic roots: their order and the degenerate cases.
    // a, b, c, roots, x1, x2: the larger root first; a linear equation; a double root, also
    // from a slightly negative discriminant; a negative one gives no roots, outputs preset to 0.
    const double cases[][6] = {{1, -3, 2, 2, 2, 1},
                               {0, 2, -4, 1, 2, 2},
                               {1, 2, 1, 1, -1, -1},
                               {1, 2, 1 + 1e-14, 1, -1, -1},
                               {1, 0, 1, 0, 0, 0}};
    double x1 = 9, x2 = 9;
    for (const auto& c : cases) {
        x1 = x2 = 9;
        EXPECT_EQ(SolutionTo2ndDegreePolynomial(c[0], c[1], c[2], x1, x2), c[3]) << c[2];
        EXPECT_TRUE(nearPair(x1, x2, c[4], c[5], 1e-6)) << c[2];
    }
    // Nothing at all, or only a vanishing linear term: never a division by zero.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double none[][3] = {
        {0, 1e-6, 1}, {0, 0, 0}, {0, 1e-7, 0}, {4.9e-324, 1e-7, 0}, {1, nan, 1}};
    for (const auto& c : none)
        EXPECT_EQ(SolutionTo2ndDegreePolynomial(c[0], c[1], c[2], x1, x2), 0);
}

TEST(PlaneCogo, CircleThroughChordSeenUnderAngleAndIntersectionsWithCircles) {
    double Ec = 0, Nc = 0, R = 0;
    EXPECT_EQ(ComputeCenterCoordinates(0, 0, 0, 10, 90, Ec, Nc, R), 1);
    EXPECT_TRUE(nearPair(Ec, Nc, 0, 5));
    EXPECT_NEAR(R, 5, kTol);
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
    // Line and circle, circle and circle.
    ComputeCircleEqVars(0, 0, 5, a, b, c);
    double E1 = 0, N1 = 0, E2 = 0, N2 = 0;
    // A vertical line E = 3 cuts the circle at N = +-4.
    EXPECT_EQ(IntersectionCoordsOfLineAndCircle(a, b, c, 1, 0, 3, E1, N1, E2, N2), 2);
    EXPECT_TRUE(nearPair(E1, N1, 3, 4));
    EXPECT_TRUE(nearPair(E2, N2, 3, -4));
    // A horizontal line N = 5 touches it once.
    EXPECT_EQ(IntersectionCoordsOfLineAndCircle(a, b, c, 0, 1, 5, E1, N1, E2, N2), 1);
    EXPECT_TRUE(nearPair(E1, N1, 0, 5, 1e-6));
    // A line missing the circle, and a line with no coefficients at all.
    EXPECT_EQ(IntersectionCoordsOfLineAndCircle(a, b, c, 1, 1, 100, E1, N1, E2, N2), 0);
    EXPECT_EQ(IntersectionCoordsOfLineAndCircle(a, b, c, 1e-6, 1e-6, 1, E1, N1, E2, N2), 0);
    // Two circles of radius 5 about (0,0) and (8,0) meet at (4, +-3).
    double a2, b2, c2;
    ComputeCircleEqVars(8, 0, 5, a2, b2, c2);
    EXPECT_EQ(IntersectionCoordsOfTwoCircles(a, b, c, a2, b2, c2, E1, N1, E2, N2), 2);
    EXPECT_TRUE(nearPair(E1, std::fabs(N1), 4, 3));
    EXPECT_TRUE(nearPair(E2, N1 + N2, 4, 0));
    // Concentric circles have no common chord.
    ComputeCircleEqVars(0, 0, 3, a2, b2, c2);
    EXPECT_EQ(IntersectionCoordsOfTwoCircles(a, b, c, a2, b2, c2, E1, N1, E2, N2), 0);
}

TEST(PlaneCogo, TwoDistancesTangentOrNoSolutionAndStationsOnTheLineThroughTheTargets) {
    double Ea = 0, Na = 0, Eb = -1, Nb = -1;
    int count = -1;
    EXPECT_EQ(ComputeCoords(0, 0, 5, 10, 0, 5, Ea, Na, Eb, Nb, count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(nearPair(Ea, Na, 5, 0));
    // Circles overlapping by a hair give two candidates 14 cm apart: one solution.
    EXPECT_EQ(ComputeCoords(0, 0, 500.00001, 1000, 0, 500.0, Ea, Na, Eb, Nb, count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(Ea, 500, 1e-3);
    // Circles that miss each other, and a zero or negative distance.
    const double misses[][2] = {{3, 3}, {0, 10}, {-5, 5}};
    for (const auto& d : misses) {
        count = 9;
        EXPECT_EQ(ComputeCoords(0, 0, d[0], 10, 0, d[1], Ea, Na, Eb, Nb, count), 0) << d[0];
        EXPECT_EQ(count, 0) << d[0];
    }
    // Stations on the line through the targets: seen under 0 or 180 degrees.
    // X on the line P1-P2 between them: the chord is seen under 180 degrees.
    EXPECT_EQ(ComputeCoords(0, 0, 10, 0, 100, 190, 40, Ea, Na, Eb, Nb, count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(nearPair(Ea, Na, 0, 60));
    // Beyond P2: both seen in one direction (0 degrees).
    EXPECT_EQ(ComputeCoords(0, 0, 25, 0, 100, 25, 40, Ea, Na, Eb, Nb, count), 1);
    EXPECT_NEAR(Na, 140, 1e-9);
    EXPECT_EQ(ComputeCoords(0, 0, 10, 0, 100, 190, 0, Ea, Na, Eb, Nb, count), 0);
    // Resection on collinear chords seen under 0/180: lines P1-P2 and P2-P3 are one line,
    // nothing is fixed.
    EXPECT_EQ(ComputeCoords(0, 0, 0, 0, 10, 0, 0, 20, 0, Ea, Na, Eb, Nb, count), 0);
    // Not collinear but all chords seen under 180: the lines meet at P2, taken untested.
    EXPECT_EQ(ComputeCoords(0, 0, 0, 0, 10, 180, 10, 10, 0, Ea, Na, Eb, Nb, count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(nearPair(Ea, Na, 0, 10));
}

TEST(PlaneCogo, TwoDistancesDistanceWithDirectionsAndResectionRoundTrip) {
    std::mt19937 gen(4);
    std::uniform_real_distribution<double> coord(-5000, 5000);
    std::uniform_real_distribution<double> orient(0, 360);
    for (int i = 0; i < 200; ++i) {
        const double E1 = coord(gen), N1 = coord(gen), E2 = coord(gen), N2 = coord(gen);
        const double E = coord(gen), N = coord(gen), zero = orient(gen);
        const double d1 = HorizontalDistance(E1, N1, E, N), d2 = HorizontalDistance(E2, N2, E, N);
        double Ea = 0, Na = 0, Eb = 0, Nb = 0;
        int count = 0;
        ASSERT_EQ(ComputeCoords(E1, N1, d1, E2, N2, d2, Ea, Na, Eb, Nb, count), 1) << i;
        EXPECT_LT(miss(E, N, Ea, Na, Eb, Nb, count), 1e-4) << i;
        const double r1 = reading(E, N, E1, N1, zero), r2 = reading(E, N, E2, N2, zero);
        ASSERT_EQ(ComputeCoords(E1, N1, r1, E2, N2, r2, d2, Ea, Na, Eb, Nb, count), 1) << i;
        EXPECT_LT(miss(E, N, Ea, Na, Eb, Nb, count), 1e-4) << i;
    }
    // Resection finds the station too, away from the circle through the targets.
    std::uniform_real_distribution<double> near(-1000, 1000);
    int tried = 0, found = 0;
    for (int i = 0; i < 300; ++i) {
        const double E1 = near(gen), N1 = near(gen), E2 = near(gen), N2 = near(gen);
        const double E3 = near(gen), N3 = near(gen), E = near(gen), N = near(gen);
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
        const double r1 = reading(E, N, E1, N1, zero), r2 = reading(E, N, E2, N2, zero);
        const double r3 = reading(E, N, E3, N3, zero);
        double Ea = 0, Na = 0, Eb = 0, Nb = 0;
        int count = 0;
        if (!ComputeCoords(E1, N1, r1, E2, N2, r2, E3, N3, r3, Ea, Na, Eb, Nb, count)) continue;
        if (miss(E, N, Ea, Na, Eb, Nb, count) < 1e-3) ++found;
    }
    EXPECT_GT(tried, 100);
    EXPECT_EQ(found, tried);
}
