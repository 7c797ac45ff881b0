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

/// Directions and simple points.
VELMORUTILS_API double GetRefAziPts(double dE, double dN);
VELMORUTILS_API int RotateCounterClockwise(double x, double y, double angDeg, double& x2,
                                           double& y2);
VELMORUTILS_API int dENSoutInfo(double dE, double dN, double dH, double azDeg, double* across,
                                double* along, double* height);
VELMORUTILS_API int Compute2DPoint(double E, double N, double dist, double az1, double az2,
                                   double& E2, double& N2);
VELMORUTILS_API int Compute3DPoint(const TCoords& a, const TCoords& b, double dist, TCoords& out);
VELMORUTILS_API double HorizontalDistance(double E1, double N1, double E2, double N2);

/// Lines and their intersection.
VELMORUTILS_API int ComputeEqVars(double azDeg, double E, double N, double& a, double& b,
                                  double& c);
VELMORUTILS_API int ComputeEqVars(double E1, double N1, double E2, double N2, double& a, double& b,
                                  double& c);
VELMORUTILS_API int GetIntersectionPointFromEqVars(double a1, double b1, double c1, double a2,
                                                   double b2, double c2, double& E, double& N);
VELMORUTILS_API int ComputeENIntersectionPoint(double E1, double N1, double az1, double E2,
                                               double N2, double az2, double& E, double& N);

/// Linear interpolation along a segment; x and y are the first and second coordinate.
VELMORUTILS_API int InterpolateXGivenY(double x1, double y1, double x2, double y2, double y,
                                       double& x);
VELMORUTILS_API int InterpolateYGivenX(double x1, double y1, double x2, double y2, double x,
                                       double& y);
VELMORUTILS_API int InterpolateXZGivenY(double x1, double y1, double z1, double x2, double y2,
                                        double z2, double y, double& x, double& z);
VELMORUTILS_API int InterpolateYZGivenX(double x1, double y1, double z1, double x2, double y2,
                                        double z2, double x, double& y, double& z);

/// Circles.
VELMORUTILS_API int ComputeCircleEqVars(double Ec, double Nc, double R, double& a, double& b,
                                        double& c);
VELMORUTILS_API int ComputeCenterCoordinates(double E1, double N1, double E2, double N2,
                                             double angDeg, double& Ec, double& Nc, double& R);
VELMORUTILS_API int ComputeCircleEqVals(double E1, double N1, double E2, double N2, double angDeg,
                                        double& a, double& b, double& c);
VELMORUTILS_API int SolutionTo2ndDegreePolynomial(double A, double B, double C, double& x1,
                                                  double& x2);
VELMORUTILS_API int TwoCirclesIntersectionLine(double a1, double b1, double c1, double a2,
                                               double b2, double c2, double& A, double& B,
                                               double& C);
VELMORUTILS_API int IntersectionCoordsOfLineAndCircle(double a, double b, double c, double A,
                                                      double B, double C, double& E1, double& N1,
                                                      double& E2, double& N2);
VELMORUTILS_API int IntersectionCoordsOfTwoCircles(double a1, double b1, double c1, double a2,
                                                   double b2, double c2, double& E1, double& N1,
                                                   double& E2, double& N2);
VELMORUTILS_API int ConfirmValidSolutionTwoPointsAndDistance(double E1, double N1, double E2,
                                                             double N2, double E, double N,
                                                             double d1, double d2);

// Solving a new point X. Each returns 1 when at least one solution was accepted; `count` gets
// the number accepted (0, 1 or 2), the first goes to (Ea, Na) and a second to (Eb, Nb).

/// X at distance d1 from P1 and d2 from P2.
VELMORUTILS_API int ComputeCoords(double E1, double N1, double d1, double E2, double N2, double d2,
                                  double& Ea, double& Na, double& Eb, double& Nb, int& count);
/// X from which the directions r1 to P1 and r2 to P2 were read, at distance d2 from P2.
VELMORUTILS_API int ComputeCoords(double E1, double N1, double r1, double E2, double N2, double r2,
                                  double d2, double& Ea, double& Na, double& Eb, double& Nb,
                                  int& count);
/// Resection: X from which the directions r1, r2, r3 to P1, P2, P3 were read.
VELMORUTILS_API int ComputeCoords(double E1, double N1, double r1, double E2, double N2, double r2,
                                  double E3, double N3, double r3, double& Ea, double& Na,
                                  double& Eb, double& Nb, int& count);
