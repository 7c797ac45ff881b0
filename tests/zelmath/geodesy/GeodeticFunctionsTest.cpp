#include <gtest/gtest.h>

#include <cmath>

#include "support/NearPair.h"
#include "velmorutils/velmorutils.h"

namespace {

constexpr double kA = 6378137.0;
constexpr double kRf = 298.257223563;
}  // namespace

TEST(GeodeticOffsets, OneDegreeOnTheEquatorThereAndBackWgsRefinementAndSphere) {
    double dN = 1, dE = 0;
    GetNeOffsetFromLatLon(dN, dE, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(dN, 0.0);
    EXPECT_NEAR(dE, 110946.26, 0.005);
    // A height raises the radius; an explicit radius replaces the local one.
    GetNeOffsetFromLatLon(dN, dE, 0, 0, 1, 0, 1000, 6371000);
    EXPECT_TRUE(nearPair(dN, dE, 6372000 * zel_math::kPi / 180, 0, 1e-6));
    // Across the date line the longitude difference is not folded.
    GetNeOffsetFromLatLon(dN, dE, 0, 179.5, 0, -179.5, 0, 0);
    EXPECT_NEAR(dE, -359 * 110946.26, 2.0);
    const double lat1 = 47.3, lon1 = 8.5;
    for (double R : {6371000.0, 6380000.0}) {
        double lat2 = 0, lon2 = 0;
        GetOffsetLatLon(lat2, lon2, lat1, lon1, 1234.5, -678.9, 420, R);
        GetNeOffsetFromLatLon(dN, dE, lat1, lon1, lat2, lon2, 420, R);
        EXPECT_TRUE(nearPair(dN, dE, 1234.5, -678.9, 1e-7)) << R;
    }
    // A step of 4 km east and 10 km north from 50N against the exact inverse. Unequal parts, so
    // that north and east cannot stand in for each other. One mean radius serves both
    // directions, so at 50N the north part comes out 0.14 % short and the east one 0.14 % long:
    // 10.8 m less over this step (a square step hides it, the errors cancel).
    double lat2 = 0, lon2 = 0;
    GetBL2FromBL1AndDeDn(50, 10, 4000, 10000, lat2, lon2);
    double faz = 0, dist = 0, baz = 0;
    invlon(kA, kRf, 50, 10, lat2, lon2, faz, dist, baz);
    EXPECT_NEAR(dist, std::hypot(4000.0 * 1.0014, 10000.0 / 1.0014), 0.5);
    // The forward azimuth: the meridians converge by a few hundredths of a degree over the step.
    EXPECT_NEAR(faz, std::atan2(4000.0 * 1.0014, 10000.0 / 1.0014) * 180.0 / zel_math::kPi, 0.05);
    // At the pole an east step has no longitude to change.
    GetBL2FromBL1AndDeDn(90, 7, 500, 0, lat2, lon2);
    EXPECT_TRUE(nearPair(lat2, lon2, 90, 7, 0));
    // 111.2 km due north is one degree on the 6371 km sphere.
    Compute2DPointBLH(10, 20, 1 / 8.993216059187306e-6, 30, -30, &lat2, &lon2);
    EXPECT_TRUE(nearPair(lat2, lon2, 11, 20, 1e-12));
    Compute2DPointBLH(0, 20, 1 / 8.993216059187306e-6, 45, 45, &lat2, &lon2);
    EXPECT_TRUE(nearPair(lat2, lon2, 0, 21, 1e-12));
    Compute2DPointBLH(0, 20, 100, 0, 0, nullptr, nullptr);  // outputs are optional
    double lat = 0, lon = 0;
    // From two points 0.01 degrees apart on a parallel, bearings 45 and 315 meet midway north.
    ASSERT_EQ(ComputeBLIntersectionPoint(45, 7, 45, 45, 7.01, 315, lat, lon), 1);
    EXPECT_NEAR(lon, 7.005, 1e-6);
    GetNeOffsetFromLatLon(dN, dE, 45, 7, lat, lon, 0, 0);
    EXPECT_NEAR(dN, dE, 0.01);
    lat = lon = -1;
    EXPECT_EQ(ComputeBLIntersectionPoint(45, 7, 45, 45, 7.01, 225, lat, lon), 0);
    EXPECT_TRUE(nearPair(lat, lon, -1, -1, 0));
}

TEST(GeodeticInverse, KnownLinesAndTheDateLine) {
    double faz = -1, dist = -1, baz = -1;
    invlon(kA, kRf, 45, 0, 46, 0, faz, dist, baz);
    EXPECT_TRUE(nearPair(faz, baz, 0, 180, 1e-9));
    EXPECT_NEAR(dist, 111141.548, 0.0005);
    invlon(kA, kRf, 50, 5, 58, -3, faz, dist, baz);
    EXPECT_NEAR(faz, 332.6807053, 5e-8);
    EXPECT_NEAR(dist, 1031890.983, 0.0005);
    invlon(kA, kRf, 12.5, -33, 12.5, -33, faz, dist, baz);
    EXPECT_TRUE(dist == 0.0 && faz == 0.0 && baz == 0.0);
    // Across the date line, east- and westwards, a line is as short as the same line at
    // Greenwich: {from, to, Greenwich from, Greenwich to} longitudes.
    const double dateLine[][4] = {{179.5, -179.5, -0.5, 0.5}, {-179.5, 179.5, 0.5, -0.5}};
    // The reported longitude difference on the auxiliary sphere is folded too.
    for (const auto& d : dateLine) {
        double refFaz = 0, refDist = 0, refLambda = 0, lambda = 0;
        int iterations = 0, longWay = 0, kind = 0;
        invers(kA, kRf, 10, d[2], 10.2, d[3], refFaz, baz, refDist, iterations, refLambda, longWay,
               kind);
        invers(kA, kRf, 10, d[0], 10.2, d[1], faz, baz, dist, iterations, lambda, longWay, kind);
        EXPECT_NEAR(dist, refDist, 1e-6) << d[0];
        EXPECT_NEAR(faz, refFaz, 1e-9) << d[0];
        EXPECT_NEAR(lambda, refLambda, 1e-12) << d[0];
    }
}
