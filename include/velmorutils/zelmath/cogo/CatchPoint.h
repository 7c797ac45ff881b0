#pragma once

#include "velmorutils/platform/Export.h"

/// @file
/// Side slopes of a road cross-section. In the section plane x is the horizontal offset from the
/// alignment (positive to the right) and y the elevation. A cut slope rises outward from the
/// hinge at the edge of the formation, a fill slope falls outward; slopes are horizontal run per
/// unit of height (2 means 2 across for 1 up or down).

/// The direction (dx, dy) of a slope line leaving the hinge on the given side: dx = +-slope
/// (right positive), dy = +1 for a cut, -1 for a fill (metres per metre of height). A slope below
/// 1e-12 gives a level line (dx = +-1, dy = 0).
VELMORUTILS_API void ComputeXYOffsetsForCutFillSlope(double slope, bool isCut, bool isRight,
                                                     double* dx, double* dy);

/// Where the cut or fill slope from the hinge (x0, y0) meets the unbounded ground line through
/// (gx1, gy1) and (gx2, gy2): 0 none, 1 on the cut slope, 2 on the fill slope. All in metres of
/// the section plane (x offset right positive, y elevation). A hit counts only on the slope's own
/// side of the hinge (x >= x0 on the right, ends included). When both slopes hit, the one whose
/// elevation is nearer gy2 wins (cut on a tie). Coincident ground points (within 1e-12) make a
/// level ground line. groundDir receives GetRefAziPts() of the ground differences, in degrees
/// (90 for rising x on level ground). x, y unchanged when the result is 0.
VELMORUTILS_API int ComputeCatchPoint(double x0, double y0, bool isRight, double cutSlope,
                                      bool hasCut, double fillSlope, bool hasFill, double gx1,
                                      double gy1, double gx2, double gy2, double& x, double& y,
                                      double& groundDir);
