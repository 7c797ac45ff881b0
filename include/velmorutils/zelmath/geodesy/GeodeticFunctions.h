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
///
/// That radius is neither the meridian radius nor the prime-vertical one, so the small-offset
/// conversions with R = 0 are scaled wrongly by up to a third of a percent. Measured against the
/// exact WGS 84 geodesic (GeographicLib) over 1 km: 1003.36 m north and 996.65 m east per
/// 1000 m on the equator, 1001.68 and 998.32 at 45 degrees, 1000.84 and 999.16 at 60 degrees
/// (GetBL2FromBL1AndDeDn lands 3.4, 1.7 and 0.85 m off per km). Pass an explicit R where that
/// matters; invers() is the exact tool.

/// North and east metres from point 1 to point 2 (degrees) on a sphere of radius R + h (R = 0:
/// the mean of the WGS 84 local radii at both latitudes), east measured at the mean latitude.
/// A small-offset formula: good for the few kilometres of a site, not a geodesic. Longitude
/// differences are not folded (a pair across the 180-degree meridian gives nonsense).
VELMORUTILS_API void GetNeOffsetFromLatLon(double& dN, double& dE, double lat1, double lon1,
                                           double lat2, double lon2, double h, double R);
/// The point (degrees) at the given north and east metres from point 1 on a sphere of radius
/// R + h (R = 0: the WGS 84 local radius at lat1); the inverse of GetNeOffsetFromLatLon() with the
/// same explicit R. At a pole (cosine below 1e-12) the longitude stays.
VELMORUTILS_API void GetOffsetLatLon(double& lat2, double& lon2, double lat1, double lon1,
                                     double dN, double dE, double h, double R);
/// The point (degrees) dE, dN metres (note: east first) from point 1 with the WGS 84 local radius,
/// refined once at the mean latitude. Small offsets only; at a pole (cosine below 1e-6) the
/// longitude stays.
VELMORUTILS_API void GetBL2FromBL1AndDeDn(double lat1, double lon1, double dE, double dN,
                                          double& lat2, double& lon2);
/// The point (degrees) dist metres from (lat, lon) along the azimuth az1 + az2 (degrees,
/// clockwise from north), on a sphere of radius 6371 km with the longitude scaled at the mean
/// latitude. This is a rough position, not a geodesic: measured against the exact WGS 84
/// geodesic (GeographicLib), it is metres off per kilometre, 0.06 to 5.6 m per km for lines up
/// to 10 km at latitudes 0 to 80 degrees (5.6 m/km due north on the equator, 1.1 m/km due east;
/// 0.6 to 2.8 m/km at 45 degrees), the error growing with distance: 0.56 km off at 100 km due
/// north on the equator, 1.4 km at 100 km due east at 60 degrees. Use invers()-grade geodesy for
/// anything staked.
VELMORUTILS_API void Compute2DPointBLH(double lat, double lon, double dist, double az1, double az2,
                                       double* lat2, double* lon2);
/// Where the azimuth az1 from point 1 meets the azimuth az2 from point 2 (degrees), solved in the
/// local plane at point 1 (small-offset formulas above, so a few kilometres at most). 1, or 0 for
/// parallel directions (determinant below 1e-13; lat, lon unchanged). Lines, not rays.
VELMORUTILS_API int ComputeBLIntersectionPoint(double lat1, double lon1, double az1, double lat2,
                                               double lon2, double az2, double& lat, double& lon);

/// The inverse problem on the ellipsoid with semi-major axis a (metres) and inverse flattening
/// rf (298.257223563 for WGS 84): latitudes and longitudes in degrees; forward azimuth faz at
/// point 1 and back azimuth baz at point 2 (toward point 1), degrees in [0, 360) clockwise from
/// north; dist the geodesic distance in metres. `lambda` receives the longitude difference on the
/// auxiliary sphere (radians), `iterations` and `kind` how it was found (1 and 1). `longWay` = 1
/// asks for the other way round the great ellipse.
///
/// Vincenty's formulae with the longitude on the auxiliary sphere from a series in f, two passes.
/// Measured against GeographicLib on 20000 random lines per band (latitudes to 80 degrees):
/// distance within 0.001 mm up to 10 km, 0.12 mm up to 1000 km, 0.6 mm up to 5000 km; forward
/// azimuth within 0.011 arc second. Not meant for nearly antipodal points, where it can be hundreds
/// of metres off (there is no separate treatment of that case).
VELMORUTILS_API void invers(double a, double rf, double lat1, double lon1, double lat2, double lon2,
                            double& faz, double& baz, double& dist, int& iterations, double& lambda,
                            int& longWay, int& kind);
/// invers() the short way: forward azimuth (degrees, [0, 360)), distance (metres) and back
/// azimuth. Identical points give 0, 0, 0.
VELMORUTILS_API void invlon(double a, double rf, double lat1, double lon1, double lat2, double lon2,
                            double& faz, double& dist, double& baz);
