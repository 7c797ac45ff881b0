#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/NearPair.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/curves/CCurveDataSpiral.h"

// The clothoid against values computed once in 40-digit arithmetic with mpmath (Python) and kept
// here. Unit table (s = 1, tangent angle t), with A = 1 / sqrt(2t), k = A sqrt(pi), x = 1 / k:
//   N, E = k * mp.fresnelc(x), k * mp.fresnels(x)
// Whole spirals and sections, whose curvature runs linearly from k1 to k2 over L (right positive,
// start at the origin heading north), by quadrature of the section's own angle:
//   phi = lambda v: k1 * v + (k2 - k1) * v * v / (2 * L)
//   N = mp.quad(lambda v: mp.cos(phi(v)), mp.linspace(0, s, 65)), E likewise with mp.sin
// (mp.mp.dps = 30 and 40; the radii are the doubles the tests use, e.g. 5000.0 / 6.0).
namespace {

constexpr double kPi = zel_math::kPi;
// The radius of a 500 m spiral that turns 0.99 of 4 pi from its tangent point.
const double kR4Pi = 500.0 / (8.0 * kPi * 0.99);

// What the position must meet: 1e-9 of the length, never worse than a micrometre.
double tolerance(double length) {
    return std::min(1e-9 * length, 1e-6);
}

void expectPoint(const CCurveDataSpiral& sp, double s, double n, double e, double tol) {
    double pn = 0.0, pe = 0.0;
    ASSERT_TRUE(sp.getPosAtLength(s, pn, pe));
    EXPECT_TRUE(nearPair(pn, pe, n, e, tol)) << "s " << s;
}

TEST(CurveSpiralAccuracy, FresnelIntegralsOnEachSideOfEverySwitchLongRampsAndLoops) {
    // The series up to 4, fitted auxiliary functions on [4, 8], [8, 16], [16, 32], [32, 64], the
    // continued fraction beyond.
    // Tangent angle, northing, easting.
    const double rows[][3] = {
        {0.3, 0.99103742221102671031, 0.099358980876229488033},
        {1.2, 0.86528717717925482699, 0.36069557753197014757},
        {3.99, 0.2318430024413288646, 0.40383584605330876639},
        {4.01, 0.22963206545144832417, 0.40093790643841618057},
        {7.5, 0.28916119114861221759, 0.20204383267970680351},
        {15.0, 0.18423960748006431608, 0.1863324248655226386},
        {31.0, 0.10580218422751232007, 0.097913140298855890697},
        {63.0, 0.080217297610779413388, 0.071117737347234740137},
        {65.0, 0.084119588954888967771, 0.082004163317300235087},
        {500.0, 0.027558069515949999654, 0.02890927046875528353},
    };
    for (const auto& [t, n, e] : rows) {
        for (const bool right : {true, false}) {
            CCurveDataSpiral sp;
            sp.setLenAndR(1.0, 1.0 / (2.0 * t), right, true);
            expectPoint(sp, 1.0, n, right ? e : -e, 1e-13);
        }
    }
    // Whole spirals and ramps at the quadrature's points: five kilometres turning three radians; a
    // loop ramp of 80 m from R 200 to R 40, tightening (the later part of a tangent-to-curve
    // clothoid) and widening (the earlier part of a curve-to-tangent one), both ending 1.2 rad
    // round; nearly four pi both ways and mirrored.
    CCurveDataSpiral five, in, out, loopIn, loopOut, loopLeft;
    five.setLenAndR(5000.0, 5000.0 / 6.0, true, true);
    in.setLenAndR(80.0, 200.0, 40.0, true);
    out.setLenAndR(80.0, 40.0, 200.0, true);
    loopIn.setLenAndR(500.0, kR4Pi, true, true);
    loopOut.setLenAndR(500.0, kR4Pi, true, false);
    loopLeft.setLenAndR(500.0, kR4Pi, false, false);
    const struct {
        const CCurveDataSpiral* sp;
        double s, n, e;
    } ramps[] = {{&five, 2500.0, 2362.98993567852, 600.33344651424615573},
                 {&five, 5000.0, 2029.7750694063660867, 2574.8808724276828354},
                 {&in, 80.0, 67.233196931542440204, 33.589807624929020292},
                 {&out, 80.0, 55.669483862955513184, 50.492440150456615276},
                 {&loopIn, 500.0, 85.543120522677748625, 69.087581006066225843},
                 {&loopOut, 500.0, 76.209617540238720671, -79.264200698661388079},
                 {&loopLeft, 500.0, 76.209617540238720671, 79.264200698661388079}};
    for (const auto& r : ramps)
        expectPoint(*r.sp, r.s, r.n, r.e, tolerance(r.sp->getTotalLength()));
    EXPECT_NEAR(five.GetAzimuth(5000.0), 3.0 * zel_math::kDegPerRad, 1e-12);
    EXPECT_NEAR(loopOut.getFinalNorthing(), 76.209617540238720671, tolerance(500.0));
    EXPECT_NEAR(loopLeft.getFinalEasting(), 79.264200698661388079, tolerance(500.0));
}

// The nearest point by brute force: 20,000 samples, then golden-section search on the distance
// between the best sample's neighbours.
void bruteForce(const CCurveDataSpiral& sp, double pn, double pe, double& dist, double& len) {
    const double L = sp.getTotalLength();
    auto d = [&](double s) {
        double n = 0.0, e = 0.0;
        sp.getPosAtLength(s, n, e);
        return std::hypot(pn - n, pe - e);
    };
    const int m = 20000;
    int best = 0;
    double bestD = d(0.0);
    for (int i = 1; i <= m; ++i) {
        const double di = d(L * i / m);
        if (di < bestD) bestD = di, best = i;
    }
    double a = L * std::max(0, best - 1) / m, b = L * std::min(m, best + 1) / m;
    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
    while (b - a > 1e-10 * L) {
        const double x1 = b - g * (b - a), x2 = a + g * (b - a);
        if (d(x1) < d(x2))
            b = x2;
        else
            a = x1;
    }
    len = 0.5 * (a + b);
    dist = std::min(d(len), bestD);
}

// Every kind (both turns, tangent-to-curve and curve-to-tangent, compound either way) and
// spirals winding to 4 pi.
TEST(CurveSpiralAccuracy, ProjectionFindsTheNearestFootOfEveryKind) {
    std::vector<CCurveDataSpiral> spirals(9);
    for (int i = 0; i < 4; ++i)
        spirals[i].setLenAndR(100, 150, i % 2 == 0, i < 2);
    spirals[4].setLenAndR(60, 400, 150, true);
    spirals[5].setLenAndR(60, 150, 400, false);
    spirals[6].setLenAndR(500.0, kR4Pi, true, true);
    spirals[7].setLenAndR(500.0, kR4Pi, false, false);
    spirals[8].setLenAndR(300.0, 400.0, kR4Pi, true);  // the last 300 m of a clothoid to 4 pi
    for (const CCurveDataSpiral& spiral : spirals) {
        const CCurveDataSpiral* sp = &spiral;
        const double L = sp->getTotalLength();
        for (int k = 0; k < 150; ++k) {
            // Points on the spiral (every third), and up to 60 m either side of it (the spiral's
            // loops are about 40 m across near their centre).
            double n = 0.0, e = 0.0;
            const double s = L * std::fmod(k * 0.618034, 1.0);
            ASSERT_TRUE(sp->getPosAtLength(s, n, e));
            const double az = sp->GetAzimuth(s) * zel_math::kRadPerDeg;
            const double off = k % 3 == 0 ? 0.0 : 60.0 * std::sin(k * 1.7);
            const double pn = n - off * std::sin(az), pe = e + off * std::cos(az);
            double dist = 0.0, len = 0.0, bDist = 0.0, bLen = 0.0;
            ASSERT_TRUE(sp->getShortestDistAndCurveLen(pn, pe, dist, len));
            bruteForce(*sp, pn, pe, bDist, bLen);
            EXPECT_LE(dist, bDist + 1e-9) << "point " << k;
            EXPECT_GE(dist, bDist - 1e-6) << "point " << k;
            // Where the foot is clearly the only nearest one, both find the same.
            if (off == 0.0) {
                EXPECT_NEAR(len, s, tolerance(L)) << "point " << k;
            }
            double fn = 0.0, fe = 0.0;
            ASSERT_TRUE(sp->getPosAtLength(len, fn, fe));
            EXPECT_NEAR(std::hypot(pn - fn, pe - fe), dist, 1e-9);
        }
    }
}

}  // namespace
