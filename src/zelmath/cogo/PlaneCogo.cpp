#include "velmorutils/zelmath/cogo/PlaneCogo.h"

#include <cmath>

#include "velmorutils/zelmath/angles/AngleConversions.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

using zel_math::isNearZero;
using zel_math::kDegPerRad;
using zel_math::kRadPerDeg;

namespace {

// Determinant, discriminant and chord-angle sines below this count as zero.
constexpr double kDetTolerance = 1e-13;
// A line coefficient or a linear term below this is treated as absent.
constexpr double kCoefTolerance = 1e-5;
// How far a candidate may miss a measured distance and still be taken.
constexpr double kDistanceCheck = 0.25;
// Two accepted solutions closer than this are one solution seen twice.
constexpr double kSeparation = 0.25;
// How far (degrees) the angle a candidate sees may differ from the measured one.
constexpr double kAngleCheck = 0.01;

double sinDeg(double deg) {
    return std::sin(deg * kRadPerDeg);
}
double cosDeg(double deg) {
    return std::cos(deg * kRadPerDeg);
}

bool finite(double e, double n) {
    return std::isfinite(e) && std::isfinite(n);
}

// Does X see the pair Pa, Pb under the clockwise angle `ang` (from X-Pa to X-Pb)? The
// difference of azimuths is folded into [-180, 180]; remainder() does what a single +-360 step
// does for directions read in [0, 360) and also copes with angles given beyond a full turn.
bool angleSeenFrom(double Ea, double Na, double Eb, double Nb, double E, double N, double ang) {
    const double diff = GetRefAziPts(E - Eb, N - Nb) - GetRefAziPts(E - Ea, N - Na) - ang;
    return std::fabs(std::remainder(diff, 360.0)) < kAngleCheck;
}

// The accepted solutions of a ComputeCoords solver. Outputs are written only when a candidate
// is taken, so the caller's values survive rejected candidates.
struct Accepted {
    double& Ea;
    double& Na;
    double& Eb;
    double& Nb;
    int count = 0;

    void take(double E, double N, bool separate) {
        if (count == 0) {
            Ea = E;
            Na = N;
            count = 1;
            return;
        }
        if (count == 1) {
            if (separate && HorizontalDistance(Ea, Na, E, N) < kSeparation) return;
            Eb = E;
            Nb = N;
            count = 2;
        }
    }
};

struct Candidates {
    int n = 0;
    double E[2] = {0.0, 0.0};
    double N[2] = {0.0, 0.0};

    // Back from the solver's frame (scaled by k, P1 at the origin) to grid coordinates.
    void toGrid(double E1, double N1, double k) {
        for (int i = 0; i < n; ++i) {
            E[i] = E[i] * k + E1;
            N[i] = N[i] * k + N1;
        }
    }
};

// A single (tangent) root is one candidate, not the same point twice.
Candidates circleCircle(double a1, double b1, double c1, double a2, double b2, double c2) {
    Candidates c;
    c.n = IntersectionCoordsOfTwoCircles(a1, b1, c1, a2, b2, c2, c.E[0], c.N[0], c.E[1], c.N[1]);
    return c;
}

Candidates lineCircle(double a, double b, double c, double A, double B, double C) {
    Candidates r;
    r.n = IntersectionCoordsOfLineAndCircle(a, b, c, A, B, C, r.E[0], r.N[0], r.E[1], r.N[1]);
    return r;
}

}  // namespace

double GetRefAziPts(double dE, double dN) {
    double az = atan3(dE, dN) * kDegPerRad;
    if (az < 0.0) az += 360.0;
    // A direction a hair west of north rounds to 360 when lifted into range; it is north.
    if (az >= 360.0) az = 0.0;
    return az;
}

int RotateCounterClockwise(double x, double y, double angDeg, double& x2, double& y2) {
    const double c = cosDeg(angDeg);
    const double s = sinDeg(angDeg);
    x2 = x * c + y * s;
    y2 = y * c - x * s;
    return 1;
}

int dENSoutInfo(double dE, double dN, double dH, double azDeg, double* across, double* along,
                double* height) {
    if (height) *height = dH;
    // Coordinate differences below 1e-8 have no direction to be measured along.
    if (dE * dE + dN * dN < 1e-16) {
        if (across) *across = 0.0;
        if (along) *along = 0.0;
        return 0;
    }
    const double c = cosDeg(azDeg);
    const double s = sinDeg(azDeg);
    if (across) *across = dE * c - dN * s;
    if (along) *along = dE * s + dN * c;
    return 1;
}

int Compute2DPoint(double E, double N, double dist, double az1, double az2, double& E2,
                   double& N2) {
    const double az = az1 + az2;
    E2 = E + dist * sinDeg(az);
    N2 = N + dist * cosDeg(az);
    return 1;
}

int Compute3DPoint(const TCoords& a, const TCoords& b, double dist, TCoords& out) {
    const double d0 = b[0] - a[0];
    const double d1 = b[1] - a[1];
    const double d2 = b[2] - a[2];
    const double L = std::sqrt(d0 * d0 + d1 * d1 + d2 * d2);
    // Shorter than 1e-5 the segment gives no direction to extend along.
    if (!(L >= 1e-5)) return 0;
    const double k = dist / L;
    out = TCoords(b[0] + d0 * k, b[1] + d1 * k, b[2] + d2 * k);
    return 1;
}

double HorizontalDistance(double E1, double N1, double E2, double N2) {
    const double dE = E2 - E1;
    const double dN = N2 - N1;
    return std::sqrt(dE * dE + dN * dN);
}

int ComputeEqVars(double azDeg, double E, double N, double& a, double& b, double& c) {
    a = cosDeg(azDeg);
    b = -sinDeg(azDeg);
    c = a * E + b * N;
    return 1;
}

int ComputeEqVars(double E1, double N1, double E2, double N2, double& a, double& b, double& c) {
    a = N2 - N1;
    b = E1 - E2;
    c = a * E1 + b * N1;
    return 1;
}

int GetIntersectionPointFromEqVars(double a1, double b1, double c1, double a2, double b2, double c2,
                                   double& E, double& N) {
    const double det = a1 * b2 - a2 * b1;
    if (!(std::fabs(det) >= kDetTolerance)) return 0;
    E = (b2 * c1 - b1 * c2) / det;
    N = (a1 * c2 - a2 * c1) / det;
    return 1;
}

int ComputeENIntersectionPoint(double E1, double N1, double az1, double E2, double N2, double az2,
                               double& E, double& N) {
    E = 1e30;
    N = 1e30;
    double a1, b1, c1, a2, b2, c2;
    ComputeEqVars(az1, E1, N1, a1, b1, c1);
    ComputeEqVars(az2, E2, N2, a2, b2, c2);
    return GetIntersectionPointFromEqVars(a1, b1, c1, a2, b2, c2, E, N);
}

int InterpolateXGivenY(double x1, double y1, double x2, double y2, double y, double& x) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    x = (isNearZero(dy) || isNearZero(dx)) ? x1 : dx / dy * (y - y1) + x1;
    return 1;
}

int InterpolateYGivenX(double x1, double y1, double x2, double y2, double x, double& y) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    y = (isNearZero(dy) || isNearZero(dx)) ? y1 : dy / dx * (x - x1) + y1;
    return 1;
}

namespace {

// Height at (x, y) by its plane distance from the first point; unsigned, so a point before
// the first one climbs as if it lay after it.
double heightByDistance(double x1, double y1, double z1, double x2, double y2, double z2, double x,
                        double y) {
    return z1 + (z2 - z1) * HorizontalDistance(x1, y1, x, y) / HorizontalDistance(x1, y1, x2, y2);
}

}  // namespace

int InterpolateXZGivenY(double x1, double y1, double z1, double x2, double y2, double z2, double y,
                        double& x, double& z) {
    InterpolateXGivenY(x1, y1, x2, y2, y, x);
    const double dy = y2 - y1;
    if (isNearZero(dy)) {
        z = z1;
    } else if (isNearZero(x2 - x1)) {
        z = z1 + (z2 - z1) / dy * (y - y1);
    } else {
        z = heightByDistance(x1, y1, z1, x2, y2, z2, x, y);
    }
    return 1;
}

int InterpolateYZGivenX(double x1, double y1, double z1, double x2, double y2, double z2, double x,
                        double& y, double& z) {
    InterpolateYGivenX(x1, y1, x2, y2, x, y);
    const double dx = x2 - x1;
    if (isNearZero(dx)) {
        z = z1;
    } else if (isNearZero(y2 - y1)) {
        z = z1 + (z2 - z1) / dx * (x - x1);
    } else {
        z = heightByDistance(x1, y1, z1, x2, y2, z2, x, y);
    }
    return 1;
}

int ComputeCircleEqVars(double Ec, double Nc, double R, double& a, double& b, double& c) {
    a = -2.0 * Ec;
    b = -2.0 * Nc;
    c = Ec * Ec + Nc * Nc - R * R;
    return 1;
}

int ComputeCenterCoordinates(double E1, double N1, double E2, double N2, double angDeg, double& Ec,
                             double& Nc, double& R) {
    const double h = HorizontalDistance(E1, N1, E2, N2) / 2.0;
    const double az = GetRefAziPts(E2 - E1, N2 - N1);
    const double s = sinDeg(angDeg);
    // A chord seen under 0 or 180 degrees lies on a straight line, not on a circle.
    if (!(std::fabs(s) >= kDetTolerance)) return 0;
    const double t = h * cosDeg(angDeg) / s;
    // From the chord's midpoint, t to the right of the direction P1 to P2.
    const double sa = sinDeg(az);
    const double ca = cosDeg(az);
    Ec = E1 + h * sa + t * ca;
    Nc = N1 + h * ca - t * sa;
    R = std::sqrt(t * t + h * h);
    return 1;
}

int ComputeCircleEqVals(double E1, double N1, double E2, double N2, double angDeg, double& a,
                        double& b, double& c) {
    double Ec, Nc, R;
    if (!ComputeCenterCoordinates(E1, N1, E2, N2, angDeg, Ec, Nc, R)) return 0;
    return ComputeCircleEqVars(Ec, Nc, R, a, b, c);
}

int SolutionTo2ndDegreePolynomial(double A, double B, double C, double& x1, double& x2) {
    x1 = 0.0;
    x2 = 0.0;
    const double disc = B * B - 4.0 * A * C;
    if (disc < -kDetTolerance) return 0;
    double r1, r2;
    int n;
    if (std::fabs(disc) < kDetTolerance) {
        // A double root. With A exactly 0 the equation is linear with |B| below 3.2e-7, far
        // under the 1e-5 a linear term needs; -B / 2A would be a division by zero.
        if (A == 0.0) return 0;
        r1 = r2 = -B / (2.0 * A);
        n = 1;
    } else if (std::fabs(A) >= kDetTolerance) {
        const double mid = -B / (2.0 * A);
        const double half = std::sqrt(disc) / (2.0 * A);
        r1 = mid + half;
        r2 = mid - half;
        n = 2;
    } else {
        if (!(std::fabs(B) >= kCoefTolerance)) return 0;
        r1 = r2 = -C / B;
        n = 1;
    }
    // Coefficients so lopsided that a root overflows (or NaN input) have no usable root.
    if (!std::isfinite(r1) || !std::isfinite(r2)) return 0;
    x1 = r1;
    x2 = r2;
    return n;
}

int TwoCirclesIntersectionLine(double a1, double b1, double c1, double a2, double b2, double c2,
                               double& A, double& B, double& C) {
    A = a2 - a1;
    B = b2 - b1;
    C = c1 - c2;
    return 1;
}

int IntersectionCoordsOfLineAndCircle(double a, double b, double c, double A, double B, double C,
                                      double& E1, double& N1, double& E2, double& N2) {
    double r1, r2;
    if (std::fabs(B) < kCoefTolerance) {
        // The line is nearly E = constant: solve the circle for N at that east.
        if (!(std::fabs(A) >= kCoefTolerance)) return 0;
        const double E = C / A;
        const int n = SolutionTo2ndDegreePolynomial(1.0, b, E * E + a * E + c, r1, r2);
        if (n == 0) return 0;
        E1 = E2 = E;
        N1 = r1;
        N2 = n == 1 ? r1 : r2;
        return n;
    }
    // N = (C - A E) / B put into the circle gives a quadratic in E.
    const double BB = B * B;
    const int n = SolutionTo2ndDegreePolynomial(A * A / BB + 1.0, a - (2.0 * C / BB + b / B) * A,
                                                (C / BB + b / B) * C + c, r1, r2);
    if (n == 0) return 0;
    if (n == 1) r2 = r1;
    E1 = r1;
    N1 = (C - A * r1) / B;
    E2 = r2;
    N2 = (C - A * r2) / B;
    return n;
}

int IntersectionCoordsOfTwoCircles(double a1, double b1, double c1, double a2, double b2, double c2,
                                   double& E1, double& N1, double& E2, double& N2) {
    double A, B, C;
    TwoCirclesIntersectionLine(a1, b1, c1, a2, b2, c2, A, B, C);
    return IntersectionCoordsOfLineAndCircle(a1, b1, c1, A, B, C, E1, N1, E2, N2);
}

int ConfirmValidSolutionTwoPointsAndDistance(double E1, double N1, double E2, double N2, double E,
                                             double N, double d1, double d2) {
    const bool ok1 = std::fabs(HorizontalDistance(E1, N1, E, N) - d1) < kDistanceCheck;
    const bool ok2 = std::fabs(HorizontalDistance(E2, N2, E, N) - d2) < kDistanceCheck;
    return ok1 && ok2 ? 1 : 0;
}

int ComputeCoords(double E1, double N1, double d1, double E2, double N2, double d2, double& Ea,
                  double& Na, double& Eb, double& Nb, int& count) {
    count = 0;
    // The figure is scaled by d1. A zero (or negative) distance cannot scale it; such a point
    // would have to be P1 itself, which two distance readings do not fix: no solution.
    if (!(d1 > 1e-12)) return 0;
    double a1, b1, c1, a2, b2, c2;
    ComputeCircleEqVars(0.0, 0.0, 1.0, a1, b1, c1);
    ComputeCircleEqVars((E2 - E1) / d1, (N2 - N1) / d1, d2 / d1, a2, b2, c2);
    Candidates cand = circleCircle(a1, b1, c1, a2, b2, c2);
    cand.toGrid(E1, N1, d1);
    Accepted acc{Ea, Na, Eb, Nb};
    for (int i = 0; i < cand.n; ++i) {
        if (finite(cand.E[i], cand.N[i]) &&
            ConfirmValidSolutionTwoPointsAndDistance(E1, N1, E2, N2, cand.E[i], cand.N[i], d1, d2))
            acc.take(cand.E[i], cand.N[i], true);
    }
    count = acc.count;
    return count > 0 ? 1 : 0;
}

int ComputeCoords(double E1, double N1, double r1, double E2, double N2, double r2, double d2,
                  double& Ea, double& Na, double& Eb, double& Nb, int& count) {
    count = 0;
    // Scaled by d2, as the two-distance solver is by d1; a zero distance puts X on P2.
    if (!(d2 > 1e-12)) return 0;
    const double ang = r2 - r1;
    const double e2 = (E2 - E1) / d2;
    const double n2 = (N2 - N1) / d2;
    double a1, b1, c1;
    ComputeCircleEqVars(e2, n2, 1.0, a1, b1, c1);
    double a2, b2, c2;
    Candidates cand;
    if (ComputeCircleEqVals(0.0, 0.0, e2, n2, ang, a2, b2, c2)) {
        cand = circleCircle(a1, b1, c1, a2, b2, c2);
    } else {
        // Seen under 0 or 180 degrees, X lies on the line P1-P2.
        ComputeEqVars(0.0, 0.0, e2, n2, a2, b2, c2);
        cand = lineCircle(a1, b1, c1, a2, b2, c2);
    }
    cand.toGrid(E1, N1, d2);
    Accepted acc{Ea, Na, Eb, Nb};
    for (int i = 0; i < cand.n; ++i) {
        if (finite(cand.E[i], cand.N[i]) &&
            angleSeenFrom(E1, N1, E2, N2, cand.E[i], cand.N[i], ang))
            acc.take(cand.E[i], cand.N[i], true);
    }
    count = acc.count;
    return count > 0 ? 1 : 0;
}

int ComputeCoords(double E1, double N1, double r1, double E2, double N2, double r2, double E3,
                  double N3, double r3, double& Ea, double& Na, double& Eb, double& Nb,
                  int& count) {
    count = 0;
    const double ang12 = r2 - r1;
    const double ang23 = r3 - r2;
    // Relative to P1, unscaled.
    const double e2 = E2 - E1, n2 = N2 - N1;
    const double e3 = E3 - E1, n3 = N3 - N1;
    double aA, bA, cA, aB, bB, cB;
    const bool hasA = ComputeCircleEqVals(0.0, 0.0, e2, n2, ang12, aA, bA, cA) != 0;
    const bool hasB = ComputeCircleEqVals(e2, n2, e3, n3, ang23, aB, bB, cB) != 0;
    Candidates cand;
    if (hasA && hasB) {
        cand = circleCircle(aA, bA, cA, aB, bB, cB);
    } else if (hasB) {
        double A, B, C;
        ComputeEqVars(0.0, 0.0, e2, n2, A, B, C);
        cand = lineCircle(aB, bB, cB, A, B, C);
    } else if (hasA) {
        double A, B, C;
        ComputeEqVars(e2, n2, e3, n3, A, B, C);
        cand = lineCircle(aA, bA, cA, A, B, C);
    } else {
        // All three directions straight through: the station is where the two lines meet.
        double A1, B1, C1, A2, B2, C2, E, N;
        ComputeEqVars(0.0, 0.0, e2, n2, A1, B1, C1);
        ComputeEqVars(e2, n2, e3, n3, A2, B2, C2);
        if (!GetIntersectionPointFromEqVars(A1, B1, C1, A2, B2, C2, E, N)) return 0;
        if (!finite(E + E1, N + N1)) return 0;
        Ea = E + E1;
        Na = N + N1;
        count = 1;
        return 1;
    }
    cand.toGrid(E1, N1, 1.0);
    Accepted acc{Ea, Na, Eb, Nb};
    for (int i = 0; i < cand.n; ++i) {
        const double E = cand.E[i], N = cand.N[i];
        if (finite(E, N) && angleSeenFrom(E1, N1, E2, N2, E, N, ang12) &&
            angleSeenFrom(E2, N2, E3, N3, E, N, ang23))
            acc.take(E, N, false);
    }
    count = acc.count;
    return count > 0 ? 1 : 0;
}
