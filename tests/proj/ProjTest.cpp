// The PROJ component against cs2cs and against its own derivatives: transformations both ways,
// axis order and units, operations reported, grid and elevation factors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <velmorutils/proj/CrsTransform.h>
#include <velmorutils/proj/GridFactors.h>

#include "support/FilesScratch.h"

namespace {

using zel_proj::CrsTransform;
using zel_proj::GridFactorCalculator;
using zel_proj::GridFactors;

// The sets of points the PROJ component is checked with, as make-expected.sh writes them with
// cs2cs, and how each maps to the component's axis order and units.

constexpr double kUsFootM = 1200.0 / 3937.0;

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

struct CsSet {
    const char* name;  // data/<name>.txt
    const char* from;
    const char* to;
    bool projected;       // cs2cs writes easting, northing (else latitude, longitude, height)
    double unitM;         // metres per unit of cs2cs's projected output
    Ellipsoid ellipsoid;  // of the projected CRS (the geographic set's is not used)
};

inline const std::vector<CsSet>& csSets() {
    static const std::vector<CsSet> sets{
        {"utm33", "EPSG:4326", "EPSG:32633", true, 1.0, {6378137.0, 298.257223563}},
        {"osgb", "EPSG:4277", "EPSG:27700", true, 1.0, {6377563.396, 299.3249646}},
        {"lambert93", "EPSG:4171", "EPSG:2154", true, 1.0, {6378137.0, 298.257222101}},
        {"ca5ftus", "EPSG:4269", "EPSG:2229", true, kUsFootM, {6378137.0, 298.257222101}},
        {"wgs84egm96", "EPSG:4979", "EPSG:4326+5773", false, 1.0, {6378137.0, 298.257223563}},
    };
    return sets;
}

// One line: the input latitude, longitude and height, and cs2cs's output as written.
struct CsRow {
    double lat, lon, h;
    double out[3];
};

inline std::vector<CsRow> readRows(const std::string& path) {
    std::ifstream in(path);
    std::vector<CsRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        CsRow r{};
        if (words >> r.lat >> r.lon >> r.h >> r.out[0] >> r.out[1] >> r.out[2]) rows.push_back(r);
    }
    return rows;
}

// The rows kept with the tests for a set (tests/proj/data).
inline std::vector<CsRow> keptRows(const CsSet& set) {
    return readRows(std::string(VELMORUTILS_PROJ_TEST_DATA) + "/" + set.name + ".txt");
}

constexpr double kMillimetre = 0.001;

// Metres between two positions of the same kind (degrees are turned into metres on a sphere of
// the Earth's size, which is ample for a millimetre test).
double separationM(bool projected, double a1, double b1, double a2, double b2) {
    if (projected) return std::hypot(a1 - a2, b1 - b2);
    constexpr double kMPerDeg = 6371000.0 * 3.141592653589793 / 180.0;
    double dLon = std::fabs(b1 - b2);
    if (dLon > 180.0) dLon = 360.0 - dLon;
    return kMPerDeg * std::hypot(a1 - a2, dLon * std::cos(a1 * 3.141592653589793 / 180.0));
}

// Every row of a set through the component, both ways, against cs2cs: the rows that fail or
// land more than a millimetre off (in position or height) are counted.
void expectWithinAMillimetre(const CsSet& set, const std::vector<CsRow>& rows, size_t count) {
    ASSERT_EQ(rows.size(), count) << set.name;
    CrsTransform t;
    std::string error;
    ASSERT_TRUE(t.create(set.from, set.to, error)) << error;
    int off = 0;
    for (const CsRow& r : rows) {
        // cs2cs writes easting, northing in its unit, or latitude, longitude: here north first.
        const double ea = set.projected ? r.out[1] * set.unitM : r.out[0];
        const double eb = set.projected ? r.out[0] * set.unitM : r.out[1];
        const double eh = r.out[2];
        double a = r.lat, b = r.lon, h = r.h;
        const bool there = t.forward(a, b, &h) &&
                           separationM(set.projected, a, b, ea, eb) < kMillimetre &&
                           std::fabs(h - eh) < kMillimetre;
        a = ea, b = eb, h = eh;
        const bool back = t.inverse(a, b, &h) &&
                          separationM(false, a, b, r.lat, r.lon) < kMillimetre &&
                          std::fabs(h - r.h) < kMillimetre;
        off += there && back ? 0 : 1;
    }
    EXPECT_EQ(off, 0) << set.name;
}

// The files kept with the tests (400 points per CRS made by make-expected.sh), and where cs2cs
// is installed 10,000 points per CRS made now by the same script, so that the library's route
// and PROJ's own command agree on this PROJ and its grids.
TEST(CrsTransform, AgreesWithCs2csWithinAMillimetreBothWays) {
    for (const CsSet& set : csSets())
        expectWithinAMillimetre(set, keptRows(set), 400);
    if (std::system("command -v cs2cs >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "cs2cs (Debian's proj-bin) is not installed";
    FilesScratch dir;
    const std::string command = "bash '" + std::string(VELMORUTILS_PROJ_TEST_DATA) +
                                "/make-expected.sh' '" + dir.native() + "' 10000";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const CsSet& set : csSets())
        expectWithinAMillimetre(set, readRows(dir.native(std::string(set.name) + ".txt")), 10000);
}

// The sets above are EPSG codes (latitude first); a PROJ string is longitude first, and comes out
// north first just the same. A feet grid's metres are held by the sets' EPSG:2229 rows.
TEST(CrsTransform, AxisOrderIsNorthFirstWhateverTheCrsSays) {
    CrsTransform t;
    std::string error;
    ASSERT_TRUE(t.create("+proj=longlat +datum=WGS84", "+proj=utm +zone=33 +datum=WGS84", error))
        << error;
    double n = 52.0, e = 15.0;
    ASSERT_TRUE(t.forward(n, e, nullptr));
    // On the central meridian: easting 500 000 m, northing of 52 degrees.
    EXPECT_NEAR(e, 500000.0, 1e-6);
    EXPECT_NEAR(n, 5761038.212, 0.001);
    EXPECT_TRUE(t.target().projected);
}

TEST(CrsTransform, ReportsTheOperationAndWhetherHeightsReachTheGeoid) {
    CrsTransform egm, navd;
    std::string error;
    ASSERT_TRUE(egm.create("EPSG:4979", "EPSG:2229+5773", error)) << error;
    ASSERT_TRUE(navd.create("EPSG:4979", "EPSG:2229+5703", error)) << error;
    double n = 34.05, e = -118.25, h = 100.0;
    ASSERT_TRUE(egm.forward(n, e, &h));
    // Los Angeles: the EGM96 geoid lies about 35 m below the ellipsoid.
    EXPECT_NEAR(h, 134.81, 0.05);
    const zel_proj::CrsOperation op = egm.lastOperation();
    EXPECT_NE(op.name.find("EGM96"), std::string::npos) << op.name;
    EXPECT_NE(op.name.find("California zone 5"), std::string::npos) << op.name;
    EXPECT_GT(op.accuracyM, 0.0);
    EXPECT_FALSE(op.heightUnchanged);
    // No NAVD88 geoid grid ships with proj-data: PROJ passes the height through, and says so.
    n = 34.05, e = -118.25, h = 100.0;
    ASSERT_TRUE(navd.forward(n, e, &h));
    EXPECT_TRUE(navd.lastOperation().heightUnchanged) << navd.lastOperation().name;
    EXPECT_EQ(h, 100.0);
}

TEST(CrsTransform, RefusesWhatIsNotACrsAndPointsOffTheEarth) {
    CrsTransform t;
    std::string error;
    EXPECT_FALSE(t.create("EPSG:999999", "EPSG:4326", error));
    EXPECT_NE(error.find("EPSG:999999"), std::string::npos) << error;
    EXPECT_FALSE(t.create("EPSG:4326", "+proj=utm +zone=33 +ellps=nosuch", error));
    EXPECT_FALSE(t.isok());
    double n = 1, e = 2;
    EXPECT_FALSE(t.forward(n, e, nullptr));
    ASSERT_TRUE(t.create("EPSG:4326", "EPSG:32633", error)) << error;
    // A latitude beyond the pole, a NaN: refused, the values untouched.
    n = 95.0, e = 15.0;
    EXPECT_FALSE(t.forward(n, e, nullptr));
    EXPECT_EQ(n, 95.0);
    EXPECT_FALSE(t.lastError().empty());
    n = std::nan(""), e = 15.0;
    EXPECT_FALSE(t.forward(n, e, nullptr));
    double north[3] = {52.0, 95.0, 45.0}, east[3] = {15.0, 15.0, 12.0};
    bool ok[3] = {};
    EXPECT_EQ(t.forward(north, east, nullptr, 3, ok), 2u);
    EXPECT_TRUE(ok[0] && !ok[1] && ok[2]);
}

TEST(CrsTransform, ObjectsOnTwoThreadsGiveTheAnswersOfOne) {
    const CsSet& set = csSets()[3];
    const std::vector<CsRow> rows = keptRows(set);
    auto run = [&](std::vector<double>& out) {
        CrsTransform t;
        std::string error;
        if (!t.create(set.from, set.to, error)) return;
        for (int pass = 0; pass < 20; ++pass)
            for (const CsRow& r : rows) {
                double a = r.lat, b = r.lon;
                t.forward(a, b, nullptr);
                if (pass == 0) out.insert(out.end(), {a, b});
            }
    };
    std::vector<double> alone, first, second;
    run(alone);
    std::thread t1([&] { run(first); }), t2([&] { run(second); });
    t1.join();
    t2.join();
    ASSERT_EQ(alone.size(), 2 * rows.size());
    EXPECT_EQ(first, alone);
    EXPECT_EQ(second, alone);
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
    for (const CsSet& set : csSets()) {
        if (!set.projected) continue;
        CrsTransform t;
        GridFactorCalculator calc;
        std::string error;
        ASSERT_TRUE(t.create(set.from, set.to, error)) << error;
        ASSERT_TRUE(calc.create(set.to, error)) << error;
        const std::vector<CsRow> rows = keptRows(set);
        double worstK = 0.0, worstC = 0.0, worstConv = 0.0;
        for (size_t i = 0; i < rows.size(); i += 4) {
            const double lat = rows[i].lat, lon = rows[i].lon;
            const double h = -50.0 + 25.0 * static_cast<double>(i % 160);  // -50 m to 3925 m
            double k = 0, conv = 0;
            numericFactors(t, set.ellipsoid, lat, lon, k, conv);
            GridFactors f;
            ASSERT_TRUE(calc.atGeographic(lat, lon, h, f, error)) << error;
            const double R =
                std::sqrt(set.ellipsoid.meridian(lat) * set.ellipsoid.primeVertical(lat));
            worstK = std::fmax(worstK, std::fabs(f.gridScale - k));
            worstC = std::fmax(worstC, std::fabs(f.combinedFactor - k * R / (R + h)));
            worstConv = std::fmax(worstConv, std::fabs(f.convergenceDeg - conv));
        }
        EXPECT_LT(worstK, 1e-9) << set.name;
        EXPECT_LT(worstC, 1e-9) << set.name;
        EXPECT_LT(worstConv, 1e-6) << set.name;
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
