#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "support/NearPair.h"
#include "velmorutils/velmorutils.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = 180.0 / kPi;

// Adaptive Simpson quadrature, independent of the library's series.
double simpson(const std::function<double(double)>& f, double a, double b, double fa, double fm,
               double fb, double whole, double tol, int depth) {
    const double m = (a + b) / 2, lm = (a + m) / 2, rm = (m + b) / 2;
    const double flm = f(lm), frm = f(rm);
    const double left = (m - a) / 6 * (fa + 4 * flm + fm);
    const double right = (b - m) / 6 * (fm + 4 * frm + fb);
    if (depth <= 0 || std::fabs(left + right - whole) <= 15 * tol)
        return left + right + (left + right - whole) / 15;
    return simpson(f, a, m, fa, flm, fm, left, tol / 2, depth - 1) +
           simpson(f, m, b, fm, frm, fb, right, tol / 2, depth - 1);
}

double integrate(const std::function<double(double)>& f, double a, double b) {
    if (a == b) return 0.0;
    const double fa = f(a), fb = f(b), fm = f((a + b) / 2);
    return simpson(f, a, b, fa, fm, fb, (b - a) / 6 * (fa + 4 * fm + fb), 1e-13, 40);
}

// A clothoid stretch whose curvature runs linearly from k0 at the start to k1 after L
// (positive curvature turns right): tangent angle theta(u) = k0 u + (k1 - k0) u^2 / (2L).
struct Clothoid {
    double L, k0, k1;
    double theta(double u) const { return k0 * u + (k1 - k0) * u * u / (2 * L); }
    double curvature(double u) const { return k0 + (k1 - k0) * u / L; }
    void pos(double s, double& n, double& e) const {
        n = integrate([&](double u) { return std::cos(theta(u)); }, 0, s);
        e = integrate([&](double u) { return std::sin(theta(u)); }, 0, s);
    }
};

template <class Spiral>
void expectFollows(const Spiral& sp, const Clothoid& ref, const char* what) {
    for (int i = 0; i <= 20; ++i) {
        const double s = ref.L * i / 20;
        double n, e, rn, re;
        ASSERT_TRUE(sp.getPosAtLength(s, n, e)) << what << " s=" << s;
        ref.pos(s, rn, re);
        EXPECT_TRUE(nearPair(n, e, rn, re, 1e-6 * ref.L)) << what << " s=" << s;
        EXPECT_NEAR(sp.GetAzimuth(s), ref.theta(s) * kDeg, 1e-9) << what << " s=" << s;
        EXPECT_NEAR(sp.getCurvatureAtLength(s), ref.curvature(s), 1e-12) << what << " s=" << s;
    }
    double rn, re;
    ref.pos(ref.L, rn, re);
    EXPECT_NEAR(sp.getFinalNorthing(), rn, 1e-6 * ref.L) << what;
    EXPECT_NEAR(sp.getFinalEasting(), re, 1e-6 * ref.L) << what;
    CMathAngle az;
    ASSERT_TRUE(sp.getFinalAzimut(az));
    EXPECT_NEAR(az.getRad(), ref.theta(ref.L), 1e-9) << what;
}

TEST(CurveSpiral, SimpleSpiralsFollowTheFresnelIntegralsBothWaysAndBothTurns) {
    // Tangent angles 0.5, 0.25 and 0.033 rad; a CS-ST is stored mirrored and read back like
    // the real turn, run backwards.
    for (double R : {100.0, 200.0, 1500.0}) {
        for (bool right : {true, false}) {
            for (bool tssc : {true, false}) {
                CCurveDataSpiral sp;
                sp.setLenAndR(100, R, right, tssc);
                const double k = (right ? 1 : -1) / R;
                expectFollows(sp, tssc ? Clothoid{100, 0, k} : Clothoid{100, k, 0},
                              tssc ? "TS-SC" : "CS-ST");
                EXPECT_DOUBLE_EQ(sp.getRadius(), right ? R : -R);
                EXPECT_EQ(sp.isCSST(), !tssc);
            }
        }
    }
}

TEST(CurveSpiral, CompoundSpiralFollowsTheClothoidBetweenItsRadii) {
    struct Case {
        double L, R1, R2;
    };
    for (Case c : {Case{50, 400, 200}, Case{80, 300, 120}, Case{80, 120, 300}}) {
        for (bool right : {true, false}) {
            CCurveDataSpiral sp;
            sp.setLenAndR(c.L, c.R1, c.R2, right);
            ASSERT_TRUE(sp.isCompoundSpiral());
            const double sign = right ? 1 : -1;
            EXPECT_NEAR(sp.getStartRadius(), sign * c.R1, 1e-9);
            EXPECT_NEAR(sp.getFinalRadius(), sign * c.R2, 1e-9);
            expectFollows(sp, Clothoid{c.L, sign / c.R1, sign / c.R2}, "compound");
        }
    }
}

TEST(CurveSpiral, RangeSnapsWithinAMillimetreAndADeviationStepNeverTurnsAnEighth) {
    CCurveDataSpiral sp;
    double n, e;
    EXPECT_FALSE(sp.isok());
    EXPECT_FALSE(sp.getPosAtLength(0, n, e));
    EXPECT_EQ(sp.GetAzimuth(10), 0.0);
    sp.setLenAndR(100, 200, true, true);
    ASSERT_TRUE(sp.getPosAtLength(100.0009, n, e));
    EXPECT_DOUBLE_EQ(n, sp.getFinalNorthing());
    EXPECT_FALSE(sp.getPosAtLength(100.002, n, e));
    EXPECT_FALSE(sp.getPosAtLength(-0.002, n, e));
    // A zero radius is a straight of the given length's start point only.
    sp.setLenAndR(10, 0, true, true);
    ASSERT_TRUE(sp.getPosAtLength(5, n, e));
    EXPECT_EQ(n, 0.0);
    EXPECT_EQ(sp.getCurvatureAtLength(5), 0.0);
    // The chords' deviation on spirals is checked through the position cache of a whole road;
    // here the cap that holds however generous the deviation.
    sp.setLenAndR(120, 150, true, true);
    EXPECT_FALSE(sp.getSimpleSpiral().checkStepForDeviation(120, 0, 1e9));
    EXPECT_TRUE(sp.getSimpleSpiral().checkStepForDeviation(10, 0, 1e9));
}

}  // namespace
