#pragma once

#include <memory>
#include <string>

#include <velmorutils/proj/Crs.h>

// Grid scale factor, meridian convergence and the combined scale factor of a projected CRS at
// a point, through PROJ (proj_factors). Nothing here throws.
namespace zel_proj {

// Every factor at one point. A distance on the grid = combinedFactor x the same distance
// measured on the ground at the height given.
struct GridFactors {
    double latitudeDeg = 0.0;  // of the point, on the CRS's own datum
    double longitudeDeg = 0.0;
    double ellipsoidalHeightM = 0.0;  // the height used for the elevation factor
    // The projection's point scale: grid distance / ellipsoid distance for a short line. For a
    // conformal projection (transverse Mercator, Lambert conformal conic, stereographic) it is
    // the same in every direction; for another one it is the mean (the square root of PROJ's
    // areal scale).
    double gridScale = 1.0;
    // Meridian convergence in decimal degrees: the angle from true (geodetic) north clockwise to
    // grid north. Positive east of the central meridian in the northern hemisphere; a grid
    // azimuth plus the convergence is the geodetic azimuth.
    double convergenceDeg = 0.0;
    // R, the Gaussian mean radius of the CRS's ellipsoid at the point's latitude:
    // R = sqrt(M N) = a sqrt(1 - e^2) / (1 - e^2 sin^2(lat)), metres.
    double radiusM = 0.0;
    // Ellipsoid distance / ground distance at the height h: R / (R + h).
    double elevationFactor = 1.0;
    // gridScale x elevationFactor.
    double combinedFactor = 1.0;
};

// R = sqrt(M N) of an ellipsoid (semi-major axis a in metres, inverse flattening 1/f, 0 for a
// sphere) at a latitude in decimal degrees.
double gaussianMeanRadius(double semiMajorM, double inverseFlattening, double latitudeDeg);
// R / (R + h), the factor from the ellipsoid to a surface h metres above it (below: h < 0).
double elevationFactor(double radiusM, double heightM);

// The factors of one projected CRS (or a compound one on a projected CRS). Each object owns its
// own PROJ context: objects may be used on different threads at once, one object by one thread
// at a time.
class GridFactorCalculator {
public:
    GridFactorCalculator();
    ~GridFactorCalculator();
    GridFactorCalculator(GridFactorCalculator&&) noexcept;
    GridFactorCalculator& operator=(GridFactorCalculator&&) noexcept;
    GridFactorCalculator(const GridFactorCalculator&) = delete;
    GridFactorCalculator& operator=(const GridFactorCalculator&) = delete;

    // False with a message when the CRS cannot be read or is not projected (a geographic CRS has
    // no grid to scale).
    bool create(const std::string& crs, std::string& error);
    const CrsInfo& crs() const;

    // The factors at a grid point (northing, easting in metres). The height is in the CRS's
    // vertical datum when it has one (converted to an ellipsoidal height through PROJ, the geoid
    // where PROJ has one; see heightsEllipsoidal), else it is taken as ellipsoidal. False with
    // a message for a point PROJ cannot take back to latitude and longitude.
    bool at(double north, double east, double height, GridFactors& f, std::string& error);
    // The factors at a latitude and longitude (decimal degrees, the CRS's datum) and an
    // ellipsoidal height in metres.
    bool atGeographic(double latitudeDeg, double longitudeDeg, double ellipsoidalHeightM,
                      GridFactors& f, std::string& error);
    // True when at() takes heights as ellipsoidal: the CRS has no vertical part, or PROJ has no
    // model from it to the ellipsoid (the height then passes unchanged).
    bool heightsEllipsoidal() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zel_proj
