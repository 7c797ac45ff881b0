#pragma once

#include "velmorutils/platform/CPoint.h"
#include "velmorutils/platform/CRect.h"
#include "velmorutils/platform/Export.h"

/// @file
/// Cutting segments and rays to a screen rectangle in whole pixels, for drawing alignments on a
/// map. x is the first coordinate, y the second; computed points are truncated toward zero.
/// Each returns 1 when something is visible and 0 otherwise.

///@{
/// The ray from (x0, y0) through (x1, y1) meets y = level at parameter t (0 at the start, 1 at
/// the direction point); *t receives t when given. The X form exchanges x and y.
VELMORUTILS_API int rayIntersectionWithYLevel(double x0, double y0, double x1, double y1,
                                              double level, double& x, double* t);
VELMORUTILS_API int rayIntersectionWithXLevel(double x0, double y0, double x1, double y1,
                                              double level, double& y, double* t);
///@}

///@{
/// The segment from p to (x1, y1) meets the level. Without t a hit beyond (x1, y1) does not
/// count; with t the parameter is handed back unlimited.
VELMORUTILS_API int segmentIntersectionWithYLevel(const CPoint& p, double x1, double y1, int level,
                                                  CPoint& out, double* t);
VELMORUTILS_API int segmentIntersectionWithXLevel(const CPoint& p, double x1, double y1, int level,
                                                  CPoint& out, double* t);
///@}

///@{
/// The part of segment a-b inside a strip of y (or x) values, ends included.
VELMORUTILS_API int segmentIntersectionWithYStrip(const CPoint& a, const CPoint& b, CPoint& outA,
                                                  CPoint& outB, int yMin, int yMax);
VELMORUTILS_API int segmentIntersectionWithXStrip(const CPoint& a, const CPoint& b, CPoint& outA,
                                                  CPoint& outB, int xMin, int xMax);
///@}
/// Clips a-b in place to the rectangle.
VELMORUTILS_API int segmentIntersection(CPoint& a, CPoint& b, const CRect& r);

///@{
/// The part of the ray from p through (x1, y1) inside a strip.
VELMORUTILS_API int rayIntersectionWithYStrip(const CPoint& p, double x1, double y1, CPoint& outA,
                                              CPoint& outB, int yMin, int yMax);
VELMORUTILS_API int rayIntersectionWithXStrip(const CPoint& p, double x1, double y1, CPoint& outA,
                                              CPoint& outB, int xMin, int xMax);
///@}
///@{
/// The part of a ray inside the rectangle, the ray given by a direction point or by an angle in
/// radians (x grows with its sine, y with its cosine).
VELMORUTILS_API int rayIntersection(const CPoint& p, double x1, double y1, CPoint& outA,
                                    CPoint& outB, const CRect& r);
VELMORUTILS_API int rayIntersection(const CPoint& p, double angle, CPoint& outA, CPoint& outB,
                                    const CRect& r);
///@}
