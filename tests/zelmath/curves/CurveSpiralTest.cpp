#include <cmath>

#include <gtest/gtest.h>

#include "support/NearPair.h"
#include "velmorutils/velmorutils.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = 180.0 / kPi;

// A clothoid stretch whose curvature runs linearly from k0 at the start to k1 after L
// (positive curvature turns right): tangent angle theta(u) = k0 u + (k1 - k0) u^2 / (2L). The
// positions themselves are held to 40-digit reference values in the accuracy test.
struct Clothoid {
    double L, k0, k1;
    double theta(double u) const { return k0 * u + (k1 - k0) * u * u / (2 * L); }
    double curvature(double u) const { return k0 + (k1 - k0) * u / L; }
};

template <class Spiral>
void expectFollows(const Spiral& sp, const Clothoid& ref, const char* what) {
    for (int i = 0; i <= 20; ++i) {
        const double s = ref.L * i / 20;
        EXPECT_NEAR(sp.GetAzimuth(s), ref.theta(s) * kDeg, 1e-9) << what << " s=" << s;
        EXPECT_NEAR(sp.getCurvatureAtLength(s), ref.curvature(s), 1e-12) << what << " s=" << s;
    }
    CMathAngle az;
    ASSERT_TRUE(sp.getFinalAzimut(az));
    EXPECT_NEAR(az.getRad(), ref.theta(ref.L), 1e-9) << what;
}

TEST(CurveSpiral, SimpleSpiralsTurnLikeTheClothoidBothWaysAndBothTurns) {
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
            // The left one is the right one mirrored in the start tangent.
            CCurveDataSpiral mirror;
            mirror.setLenAndR(c.L, c.R1, c.R2, true);
            EXPECT_TRUE(nearPair(sp.getFinalNorthing(), sign * sp.getFinalEasting(),
                                 mirror.getFinalNorthing(), mirror.getFinalEasting(), 1e-9));
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
