#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <velmorutils/proj/CrsTransform.h>

#include "proj/CsData.h"
#include "support/FilesScratch.h"

namespace {

using namespace proj_test;
using zel_proj::CrsTransform;

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

}  // namespace
