#include <gtest/gtest.h>

#include <cmath>

#include "velmorutils/zelmath/curves/CCurveSpiralTStoSC.h"

// The spiral series against an exact clothoid. At arc length s of a spiral that reaches radius
// R after length L the tangent angle is t = s^2 / (2RL), and the position is
//   N = s * integral_0^1 cos(t x^2) dx,  E = s * integral_0^1 sin(t x^2) dx.
// The reference sums the Taylor series of both integrals in long double until the terms vanish
// below 1e-22, which for t up to a few radians is exact to far below a micrometre.
namespace {

void exactClothoid(long double s, long double t, long double& n, long double& e) {
    long double c = 0.0L, sn = 0.0L;
    long double power = 1.0L;  // t^j / j!
    for (int j = 0; j < 200; ++j) {
        const long double term = power / (2.0L * j + 1.0L);
        const int phase = j % 4;  // cos takes the even powers, sin the odd, with signs + + - -
        if (phase == 0) c += term;
        if (phase == 1) sn += term;
        if (phase == 2) c -= term;
        if (phase == 3) sn -= term;
        power *= t / (j + 1);
        if (j > 4 && std::fabs(power) < 1e-22L) break;
    }
    n = s * c;
    e = s * sn;
}

// The largest distance between the library's and the exact position over 200 points.
double worstError(double L, double tau) {
    CCurveSpiralTStoSC spiral;
    const double R = L / (2.0 * tau);
    EXPECT_TRUE(spiral.setLenAndR(L, R, true));
    double worst = 0.0;
    for (int i = 1; i <= 200; ++i) {
        const double s = L * i / 200.0;
        double n = 0.0, e = 0.0;
        EXPECT_TRUE(spiral.getPosAtLength(s, n, e));
        long double nx = 0.0L, ex = 0.0L;
        exactClothoid(s, static_cast<long double>(s) * s / (2.0L * R * L), nx, ex);
        worst =
            std::max(worst, std::hypot(static_cast<double>(n - nx), static_cast<double>(e - ex)));
    }
    return worst;
}

TEST(CurveSpiralAccuracy, ReferenceMatchesKnownClothoidPoint) {
    // A = 100, L = 100 (R = 100, tau = 0.5): the end point of the unit clothoid scaled by 100,
    // x = 97.52877, y = 16.37140 (the Fresnel integrals by adaptive quadrature to 30 digits).
    long double n = 0.0L, e = 0.0L;
    exactClothoid(100.0L, 0.5L, n, e);
    EXPECT_NEAR(static_cast<double>(n), 97.52877, 1e-4);
    EXPECT_NEAR(static_cast<double>(e), 16.37140, 1e-4);
}

TEST(CurveSpiralAccuracy, SeriesWithinATenthOfAMillimetreUpToTheDocumentedTurn) {
    for (const double L : {20.0, 100.0, 300.0, 1000.0, 2500.0, kSpiralMaxAccurateLengthM}) {
        SCOPED_TRACE(L);
        for (double tau = 1e-3; tau <= kSpiralMaxAccurateTurnRad; tau *= 1.01)
            ASSERT_LE(worstError(L, tau), kSpiralAccuracyM) << "tau " << tau;
        EXPECT_LE(worstError(L, kSpiralMaxAccurateTurnRad), kSpiralAccuracyM);
    }
}

TEST(CurveSpiralAccuracy, BoundIsTightAndLargeTurnsAreFarOff) {
    // Just past the bound a 5 km spiral is already off by more than the tenth of a millimetre;
    // a spiral of 3000 m to a radius of 75 m (20 radians) is a hundred metres off, and at 30
    // radians the 24 passes are tens of thousands of kilometres away.
    double worstBeyond = 0.0;
    for (double tau = kSpiralMaxAccurateTurnRad; tau < 0.62; tau += 0.001)
        worstBeyond = std::max(worstBeyond, worstError(kSpiralMaxAccurateLengthM, tau));
    EXPECT_GT(worstBeyond, kSpiralAccuracyM);
    EXPECT_GT(worstError(3000.0, 20.0), 50.0);
    EXPECT_TRUE(!(worstError(3000.0, 30.0) <= 1e7));  // NaN counts as off
}

}  // namespace
