#pragma once

#include "velmorutils/platform/Export.h"

/// @file
/// Computations on geographic coordinates. Latitudes, longitudes and azimuths are in degrees,
/// distances and offsets in metres. North and east offsets are plane metres in a local frame at
/// the first point.
///
/// The local radius of curvature used by the small-offset conversions is the WGS 84 value
/// r(B) = b / (1 - e^2 sin^2 B); a radius R of exactly 0 asks for it, any other R is used as
/// given, and h (height above the ellipsoid) is added to it.

/// North and east metres from point 1 to point 2. Longitude differences are not folded.
VELMORUTILS_API void GetNeOffsetFromLatLon(double& dN, double& dE, double lat1, double lon1,
                                           double lat2, double lon2, double h, double R);
/// The point at the given north and east metres from point 1.
VELMORUTILS_API void GetOffsetLatLon(double& lat2, double& lon2, double lat1, double lon1,
                                     double dN, double dE, double h, double R);
/// The same on WGS 84, refined once at the mean latitude.
VELMORUTILS_API void GetBL2FromBL1AndDeDn(double lat1, double lon1, double dE, double dN,
                                          double& lat2, double& lon2);
/// The point at `dist` along azimuth az1 + az2 on a sphere of radius 6371 km.
VELMORUTILS_API void Compute2DPointBLH(double lat, double lon, double dist, double az1, double az2,
                                       double* lat2, double* lon2);
/// Where the azimuth az1 from point 1 meets the azimuth az2 from point 2, in the local plane at
/// point 1. 1, or 0 for parallel directions (lat, lon unchanged).
VELMORUTILS_API int ComputeBLIntersectionPoint(double lat1, double lon1, double az1, double lat2,
                                               double lon2, double az2, double& lat, double& lon);

/// The inverse problem on the ellipsoid with semi-major axis a and inverse flattening rf:
/// forward azimuth faz at point 1, back azimuth baz at point 2 (toward point 1), both in
/// [0, 360), and the geodesic distance. `lambda` receives the longitude difference on the
/// auxiliary sphere (radians), `iterations` and `kind` how it was found. `longWay` = 1 asks for
/// the other way round the great ellipse.
///
/// Accurate to millimetres for ordinary lines; not meant for nearly antipodal points, where it
/// can be hundreds of metres off (there is no separate treatment of that case).
VELMORUTILS_API void invers(double a, double rf, double lat1, double lon1, double lat2, double lon2,
                            double& faz, double& baz, double& dist, int& iterations, double& lambda,
                            int& longWay, int& kind);
/// `invers` the short way, returning the forward azimuth, the distance and the back azimuth.
VELMORUTILS_API void invlon(double a, double rf, double lat1, double lon1, double lat2, double lon2,
                            double& faz, double& dist, double& baz);
