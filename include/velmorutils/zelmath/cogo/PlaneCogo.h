#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/cogo/TCoords.h"

/// @file
/// Coordinate geometry on grid coordinates.
///
/// Unlike C2dPos, these functions take points as separate values, east first and north second.
/// Azimuths and angles are in degrees, clockwise from north: the point at distance d and azimuth
/// a from (E, N) is (E + d sin a, N + d cos a).
/// A line (a, b, c) is a E + b N = c; a circle (a, b, c) is E^2 + N^2 + a E + b N + c = 0.
/// Results are 1 for success and 0 for failure, or the number of solutions; outputs of a failed
/// call are left as they were unless a function says it presets them.

/// Azimuth in degrees, [0, 360), clockwise from north, of the difference (dE, dN) in metres;
/// 0 when both are exactly 0.
VELMORUTILS_API double GetRefAziPts(double dE, double dN);
/// (x, y) rotated anticlockwise by angDeg degrees about the origin: x2 = x cos + y sin,
/// y2 = y cos - x sin. Returns 1.
VELMORUTILS_API int RotateCounterClockwise(double x, double y, double angDeg, double& x2,
                                           double& y2);
/// A difference (dE, dN, dH) in metres split into across (positive to the right of azimuth azDeg,
/// degrees), along (positive forward) and height (dH). 0 with across = along = 0 when the plane
/// difference is below 1e-8 m.
VELMORUTILS_API int dENSoutInfo(double dE, double dN, double dH, double azDeg, double* across,
                                double* along, double* height);
/// The point dist metres from (E, N) along azimuth az1 + az2 (degrees). Returns 1.
VELMORUTILS_API int Compute2DPoint(double E, double N, double dist, double az1, double az2,
                                   double& E2, double& N2);
/// The point dist metres beyond b on the 3D line a-b (coordinates in metres, any order); 0 and out
/// unchanged when a-b is shorter than 1e-5 m.
VELMORUTILS_API int Compute3DPoint(const TCoords& a, const TCoords& b, double dist, TCoords& out);
/// Plane distance in metres.
VELMORUTILS_API double HorizontalDistance(double E1, double N1, double E2, double N2);

/// The line a E + b N = c through (E, N) with azimuth azDeg (degrees): a = cos, b = -sin.
VELMORUTILS_API int ComputeEqVars(double azDeg, double E, double N, double& a, double& b,
                                  double& c);
/// The line a E + b N = c through two points: a = N2 - N1, b = E1 - E2.
VELMORUTILS_API int ComputeEqVars(double E1, double N1, double E2, double N2, double& a, double& b,
                                  double& c);
/// The meeting point of two lines (a, b, c); 0 and (E, N) unchanged when the determinant
/// a1 b2 - a2 b1 is below 1e-13 (parallel).
VELMORUTILS_API int GetIntersectionPointFromEqVars(double a1, double b1, double c1, double a2,
                                                   double b2, double c2, double& E, double& N);
/// The meeting point of the line through (E1, N1) with azimuth az1 and the line through (E2, N2)
/// with azimuth az2 (degrees). E and N are preset to 1e30 and stay so for parallel lines (0).
/// Lines, not rays: the point may lie behind either start.
VELMORUTILS_API int ComputeENIntersectionPoint(double E1, double N1, double az1, double E2,
                                               double N2, double az2, double& E, double& N);

/// x at y on the line through (x1, y1) and (x2, y2); x = x1 when either difference is below 1e-12.
VELMORUTILS_API int InterpolateXGivenY(double x1, double y1, double x2, double y2, double y,
                                       double& x);
/// y at x on the line through (x1, y1) and (x2, y2); y = y1 when either difference is below 1e-12.
VELMORUTILS_API int InterpolateYGivenX(double x1, double y1, double x2, double y2, double x,
                                       double& y);
/// As InterpolateXGivenY(), plus z in proportion to the plane distance from the first point
/// (unsigned, so a point before the first point gets a height as if it lay after it).
VELMORUTILS_API int InterpolateXZGivenY(double x1, double y1, double z1, double x2, double y2,
                                        double z2, double y, double& x, double& z);
/// As InterpolateYGivenX(), plus z in proportion to the plane distance from the first point
/// (unsigned).
VELMORUTILS_API int InterpolateYZGivenX(double x1, double y1, double z1, double x2, double y2,
                                        double z2, double x, double& y, double& z);

/// The circle E^2 + N^2 + a E + b N + c = 0 about (Ec, Nc) with radius R (metres).
VELMORUTILS_API int ComputeCircleEqVars(double Ec, double Nc, double R, double& a, double& b,
                                        double& c);
/// The circle through P1 and P2 on which the chord P1-P2 is seen under angDeg degrees: between 0
/// and 90 the centre lies right of P1 to P2, between 90 and 180 left. 0 when |sin| < 1e-13.
VELMORUTILS_API int ComputeCenterCoordinates(double E1, double N1, double E2, double N2,
                                             double angDeg, double& Ec, double& Nc, double& R);
/// ComputeCenterCoordinates() as a circle equation.
VELMORUTILS_API int ComputeCircleEqVals(double E1, double N1, double E2, double N2, double angDeg,
                                        double& a, double& b, double& c);
/// Real roots of A x^2 + B x + C = 0; returns their number. A discriminant within 1e-13 of 0
/// is a double root (returned in both); |A| < 1e-13 solves the linear equation (none when
/// |B| < 1e-5). Both outputs are preset to 0.
VELMORUTILS_API int SolutionTo2ndDegreePolynomial(double A, double B, double C, double& x1,
                                                  double& x2);
/// The common chord A E + B N = C of two circles.
VELMORUTILS_API int TwoCirclesIntersectionLine(double a1, double b1, double c1, double a2,
                                               double b2, double c2, double& A, double& B,
                                               double& C);
/// Where the line (A, B, C) meets the circle (a, b, c): the number of points (0, 1 or 2). A line
/// with both coefficients below 1e-5 meets nothing.
VELMORUTILS_API int IntersectionCoordsOfLineAndCircle(double a, double b, double c, double A,
                                                      double B, double C, double& E1, double& N1,
                                                      double& E2, double& N2);
/// Where two circles meet: the number of points (0, 1 or 2).
VELMORUTILS_API int IntersectionCoordsOfTwoCircles(double a1, double b1, double c1, double a2,
                                                   double b2, double c2, double& E1, double& N1,
                                                   double& E2, double& N2);
/// 1 when X lies within 0.25 m of the distances d1 from P1 and d2 from P2.
VELMORUTILS_API int ConfirmValidSolutionTwoPointsAndDistance(double E1, double N1, double E2,
                                                             double N2, double E, double N,
                                                             double d1, double d2);

// Solving a new point X. Each returns 1 when at least one solution was accepted; `count` gets
// the number accepted (0, 1 or 2), the first goes to (Ea, Na) and a second to (Eb, Nb).

/// X at distance d1 from P1 and d2 from P2.
/// Distances d1, d2 in metres. A candidate counts when it fits both distances within 0.25 m; two
/// candidates closer than 0.25 m count once.
VELMORUTILS_API int ComputeCoords(double E1, double N1, double d1, double E2, double N2, double d2,
                                  double& Ea, double& Na, double& Eb, double& Nb, int& count);
/// X from which the directions r1 to P1 and r2 to P2 were read, at distance d2 from P2.
/// Directions r1, r2 in degrees (any zero; only r2 - r1 matters), d2 in metres. A candidate counts
/// when the angle it sees between P1 and P2 is within 0.01 degree of r2 - r1.
VELMORUTILS_API int ComputeCoords(double E1, double N1, double r1, double E2, double N2, double r2,
                                  double d2, double& Ea, double& Na, double& Eb, double& Nb,
                                  int& count);
/// Resection: X from which the directions r1, r2, r3 to P1, P2, P3 were read.
/// Directions in degrees (only their differences matter). A candidate counts when both angles it
/// sees are within 0.01 degree; when both angles are 0 or 180 degrees the two lines' meeting point
/// is returned unchecked. The danger circle (X on the circle through P1, P2, P3) has no unique
/// answer: on it the result is 0, near it the point is poorly determined.
VELMORUTILS_API int ComputeCoords(double E1, double N1, double r1, double E2, double N2, double r2,
                                  double E3, double N3, double r3, double& Ea, double& Na,
                                  double& Eb, double& Nb, int& count);
