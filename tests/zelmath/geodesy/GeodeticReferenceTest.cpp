// The geodetic inverse against GeographicLib. Without it the test is reported as skipped, so a
// build that lacks the reference says so instead of passing quietly.
#include <gtest/gtest.h>
#ifdef VELMORUTILS_HAVE_GEOGRAPHICLIB
#include <GeographicLib/Geodesic.hpp>
#endif

#include <cmath>
#include <random>

#include "velmorutils/velmorutils.h"

TEST(GeodeticReference, InverseAgreesWithGeographicLibOnOrdinaryLines) {
#ifndef VELMORUTILS_HAVE_GEOGRAPHICLIB
    GTEST_SKIP() << "GeographicLib is not installed (libgeographiclib-dev): no reference";
#else
    const GeographicLib::Geodesic& wgs = GeographicLib::Geodesic::WGS84();
    std::mt19937_64 gen(20261205);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto gap = [](double a, double b) {
        return std::fabs(std::fmod(a - b + 540.0, 360.0) - 180.0);
    };
    for (int i = 0; i < 4000; ++i) {
        // Start anywhere (uniform on the sphere), any azimuth, lengths log-uniform 10 m-5000 km.
        const double lat1 = std::asin(2 * unit(gen) - 1) * zel_math::kDegPerRad;
        const double lon1 = 360 * unit(gen) - 180;
        const double azi = 360 * unit(gen) - 180;
        const double s = 10 * std::pow(5e5, unit(gen));
        double lat2, lon2;
        wgs.Direct(lat1, lon1, azi, s, lat2, lon2);
        double s12, azi1, azi2;
        wgs.Inverse(lat1, lon1, lat2, lon2, s12, azi1, azi2);
        double faz, dist, baz;
        invlon(6378137.0, 298.257223563, lat1, lon1, lat2, lon2, faz, dist, baz);
        ASSERT_LT(std::fabs(dist - s12), 1e-3) << lat1 << " " << lon1 << " " << lat2 << " " << lon2;
        // Azimuths are only meaningful away from the poles, where the meridian direction holds.
        // GeographicLib gives the forward azimuth at point 2; ours looks back.
        if (std::fabs(lat1) < 89.999 && std::fabs(lat2) < 89.999) {
            ASSERT_TRUE(gap(faz, azi1) < 1e-5 && gap(baz, azi2 + 180) < 1e-5)
                << lat1 << " " << lon1 << " " << lat2 << " " << lon2 << ": " << faz << " " << baz;
        }
    }
#endif
}
