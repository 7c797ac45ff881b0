#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <velmorutils/proj/CrsTransform.h>
#include <velmorutils/proj/GridFactors.h>

#include "proj/CsData.h"

namespace {

using namespace proj_test;
using zel_proj::CrsTransform;
using zel_proj::GridFactorCalculator;
using zel_proj::GridFactors;

constexpr double kRad = 3.141592653589793 / 180.0;

struct Ellipsoid {
    double a, invF;
    double e2() const { return (2.0 - 1.0 / invF) / invF; }
    double primeVertical(double lat) const {
        const double s = std::sin(lat * kRad);
        return a / std::sqrt(1.0 - e2() * s * s);
    }
    double meridian(double lat) const {
        const double s = std::sin(lat * kRad);
        return a * (1.0 - e2()) / std::pow(1.0 - e2() * s * s, 1.5);
    }
};

struct ProjectedSet {
    const CsSet* set;
    Ellipsoid ellipsoid;
};

std::vector<ProjectedSet> projectedSets() {
    const std::vector<CsSet>& s = csSets();
    return {{&s[0], {6378137.0, 298.257223563}},
            {&s[1], {6377563.396, 299.3249646}},
            {&s[2], {6378137.0, 298.257222101}},
            {&s[3], {6378137.0, 298.257222101}}};
}

// The grid scale by a central difference along the parallel (whose length on the ellipsoid is
// exactly N cos(lat) dLon), and the convergence from a central step along the meridian.
void numericFactors(CrsTransform& t, const Ellipsoid& ell, double lat, double lon, double& k,
                    double& convergenceDeg) {
    const double d = 1e-4;  // degrees: 11 m, small against the change of scale, large against
                            // the rounding of coordinates in the millions
    double n1 = lat, e1 = lon - d, n2 = lat, e2 = lon + d;
    ASSERT_TRUE(t.forward(n1, e1, nullptr) && t.forward(n2, e2, nullptr));
    k = std::hypot(n2 - n1, e2 - e1) /
        (ell.primeVertical(lat) * std::cos(lat * kRad) * 2 * d * kRad);
    double n3 = lat - d, e3 = lon, n4 = lat + d, e4 = lon;
    ASSERT_TRUE(t.forward(n3, e3, nullptr) && t.forward(n4, e4, nullptr));
    // Grid north is where true north points minus the convergence.
    convergenceDeg = -std::atan2(e4 - e3, n4 - n3) / kRad;
}

TEST(GridFactors, CombinedFactorIsTheProjectionsDerivativeTimesTheHeightTerm) {
    for (const ProjectedSet& p : projectedSets()) {
        CrsTransform t;
        GridFactorCalculator calc;
        std::string error;
        ASSERT_TRUE(t.create(p.set->from, p.set->to, error)) << error;
        ASSERT_TRUE(calc.create(p.set->to, error)) << error;
        const std::vector<CsRow> rows = keptRows(*p.set);
        double worstK = 0.0, worstC = 0.0, worstConv = 0.0;
        for (size_t i = 0; i < rows.size(); i += 4) {
            const double lat = rows[i].lat, lon = rows[i].lon;
            const double h = -50.0 + 25.0 * static_cast<double>(i % 160);  // -50 m to 3925 m
            double k = 0, conv = 0;
            numericFactors(t, p.ellipsoid, lat, lon, k, conv);
            GridFactors f;
            ASSERT_TRUE(calc.atGeographic(lat, lon, h, f, error)) << error;
            const double R = std::sqrt(p.ellipsoid.meridian(lat) * p.ellipsoid.primeVertical(lat));
            worstK = std::fmax(worstK, std::fabs(f.gridScale - k));
            worstC = std::fmax(worstC, std::fabs(f.combinedFactor - k * R / (R + h)));
            worstConv = std::fmax(worstConv, std::fabs(f.convergenceDeg - conv));
        }
        EXPECT_LT(worstK, 1e-9) << p.set->name;
        EXPECT_LT(worstC, 1e-9) << p.set->name;
        EXPECT_LT(worstConv, 1e-6) << p.set->name;
    }
}

TEST(GridFactors, KnownValuesOfAUtmZone) {
    GridFactorCalculator calc;
    std::string error;
    ASSERT_TRUE(calc.create("EPSG:32633", error)) << error;
    GridFactors f;
    // On the central meridian the scale is UTM's 0.9996 and the convergence 0 (PROJ's own
    // numerical derivative is good to about 3e-11).
    ASSERT_TRUE(calc.atGeographic(52.0, 15.0, 0.0, f, error)) << error;
    EXPECT_NEAR(f.gridScale, 0.9996, 1e-10);
    EXPECT_NEAR(f.convergenceDeg, 0.0, 1e-12);
    EXPECT_NEAR(f.elevationFactor, 1.0, 1e-15);
    // Off the meridian and up a hill the factors follow the projection's derivative and the
    // Gaussian radius (checked against both above and below).
}

TEST(GridFactors, GridPointsAndGeoidHeights) {
    CrsTransform toGrid, geoid;
    GridFactorCalculator calc, plain;
    std::string error;
    ASSERT_TRUE(toGrid.create("EPSG:4326", "EPSG:32633", error)) << error;
    ASSERT_TRUE(geoid.create("EPSG:4979", "EPSG:4326+5773", error)) << error;
    ASSERT_TRUE(calc.create("EPSG:32633+5773", error)) << error;  // UTM 33N with EGM96 heights
    ASSERT_TRUE(plain.create("EPSG:32633", error)) << error;
    double n = 47.3, e = 16.4, H = 0.0;
    ASSERT_TRUE(toGrid.forward(n, e, nullptr));
    // The ellipsoidal height of EGM96 height 250 m there.
    double lat = 47.3, lon = 16.4, hEll = 250.0;
    ASSERT_TRUE(geoid.inverse(lat, lon, &hEll));
    ASSERT_GT(std::fabs(hEll - 250.0), 40.0);  // the geoid is about 44 m up in Austria
    GridFactors f, g;
    ASSERT_TRUE(calc.at(n, e, 250.0, f, error)) << error;
    EXPECT_FALSE(calc.heightsEllipsoidal());
    EXPECT_NEAR(f.latitudeDeg, 47.3, 1e-9);
    EXPECT_NEAR(f.longitudeDeg, 16.4, 1e-9);
    EXPECT_NEAR(f.ellipsoidalHeightM, hEll, 0.001);
    ASSERT_TRUE(plain.at(n, e, H = 250.0, g, error)) << error;
    EXPECT_TRUE(plain.heightsEllipsoidal());
    EXPECT_EQ(g.ellipsoidalHeightM, 250.0);
    EXPECT_EQ(f.gridScale, g.gridScale);
}

TEST(GridFactors, RefusesAGeographicCrsAndKnowsTheGaussianRadius) {
    GridFactorCalculator calc;
    std::string error;
    EXPECT_FALSE(calc.create("EPSG:4326", error));
    EXPECT_NE(error.find("not a projected"), std::string::npos) << error;
    GridFactors f;
    EXPECT_FALSE(calc.at(0, 0, 0, f, error));
    // sqrt(M N) at the pole is a^2/b (both radii equal there), at the equator b sqrt(1/(1-e2)).
    const Ellipsoid grs80{6378137.0, 298.257222101};
    for (double lat : {0.0, 23.4, 45.0, 67.8, 90.0})
        EXPECT_NEAR(zel_proj::gaussianMeanRadius(grs80.a, grs80.invF, lat),
                    std::sqrt(grs80.meridian(lat) * grs80.primeVertical(lat)), 1e-6)
            << lat;
    EXPECT_EQ(zel_proj::gaussianMeanRadius(6371000.0, 0.0, 33.0), 6371000.0);
}

}  // namespace
