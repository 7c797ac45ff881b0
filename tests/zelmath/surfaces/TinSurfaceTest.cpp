#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/GridTin.h"
#include "velmorutils/zelmath/surfaces/TinSurface.h"

using namespace zel_math;

namespace {

double hill(double n, double e) {
    return 100.0 + 0.02 * (n - 5000) + 3.0 * std::sin((e - 2000) / 40.0);
}

// Every triangle tried: the answer an index must give.
bool scanHeight(const std::vector<TTinVertex>& v,
                const std::vector<std::array<std::uint32_t, 3>>& f, double n, double e, double& h) {
    for (const auto& t : f) {
        const TTinVertex &a = v[t[0]], &b = v[t[1]], &c = v[t[2]];
        const double d =
            (b.east - a.east) * (c.north - a.north) - (b.north - a.north) * (c.east - a.east);
        const double wb =
            ((e - a.east) * (c.north - a.north) - (n - a.north) * (c.east - a.east)) / d;
        const double wc =
            ((b.east - a.east) * (n - a.north) - (b.north - a.north) * (e - a.east)) / d;
        if (wb < -1e-12 || wc < -1e-12 || wb + wc > 1 + 1e-12) continue;
        h = a.height + wb * (b.height - a.height) + wc * (c.height - a.height);
        return true;
    }
    return false;
}

}  // namespace

TEST(TinSurface, HeightsAgreeWithAScanOfEveryTriangleAndStopAtTheEdge) {
    // A shaken 40 x 40 grid of 5 m cells, and the same surface scanned triangle by triangle.
    const auto [v, f] = test_tins::gridMesh(5000, 2000, 40, 40, 5.0, hill, 1.5, 3);
    CTinSurface tin;
    std::string error;
    ASSERT_TRUE(tin.build(v, f, error)) << error;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> north(4990, 5210), east(1990, 2210);
    int inside = 0;
    for (int i = 0; i < 3000; ++i) {
        const double n = north(rng), e = east(rng);
        double want = 0, got = -999;
        const bool has = scanHeight(v, f, n, e, want);
        ASSERT_EQ(tin.heightAt(n, e, got), has) << n << " " << e;
        EXPECT_NEAR(got, has ? want : -999, 1e-9);  // no ground is not a height of 0
        inside += has;
    }
    EXPECT_GT(inside, 2000);
    // On the corner vertex and on the outer edge; a millimetre outside is no ground.
    double h = 0;
    EXPECT_TRUE(tin.heightAt(5200, 2200, h));
    EXPECT_NEAR(h, hill(5200, 2200), 1e-9);
    EXPECT_TRUE(tin.heightAt(5100, 2200, h));
    EXPECT_FALSE(tin.heightAt(5100, 2200.001, h));
    double n0, e0, n1, e1, lo, hi;
    ASSERT_TRUE(tin.extent(n0, e0, n1, e1) && tin.heightRange(lo, hi));
    EXPECT_EQ(n0, 5000);
    EXPECT_EQ(e1, 2200);
}

TEST(TinSurface, GroundAlongARayIsOneUnbrokenLineOfPiecesOnTheSurface) {
    const CTinSurface tin = test_tins::gridTin(5000, 2000, 40, 40, 5.0, hill, 1.5);
    std::vector<TGroundPiece> pieces;
    // From outside the surface, across it at 33 degrees, and out again.
    tin.profileAlong(4950, 1980, 33.0, 0, 400, pieces);
    ASSERT_GT(pieces.size(), 40u);
    const double s = std::sin(33 * 0.017453292519943295), c = std::cos(33 * 0.017453292519943295);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const TGroundPiece& p = pieces[i];
        if (i > 0) {
            EXPECT_NEAR(p.dFrom, pieces[i - 1].dTo, 1e-6);
            EXPECT_NEAR(p.hFrom, pieces[i - 1].hTo, 1e-6);
        }
        const double mid = 0.5 * (p.dFrom + p.dTo);
        double h = 0;
        ASSERT_TRUE(tin.heightAt(4950 + mid * c, 1980 + mid * s, h));
        EXPECT_NEAR(0.5 * (p.hFrom + p.hTo), h, 1e-9);
    }
    // It enters where the ray reaches the surface's south edge (north 5000).
    EXPECT_NEAR(pieces.front().dFrom, 50 / c, 1e-6);
    // Clipped to the distances asked for; nothing when the ray misses the surface.
    tin.profileAlong(5100, 2100, 90.0, -10, 10, pieces);
    EXPECT_NEAR(pieces.front().dFrom, -10, 1e-9);
    EXPECT_NEAR(pieces.back().dTo, 10, 1e-9);
    tin.profileAlong(4000, 2100, 270.0, 0, 500, pieces);
    EXPECT_TRUE(pieces.empty());
}

TEST(TinSurface, RefusesFacesOnMissingPointsAndFlatTrianglesNamingTheFace) {
    std::vector<TTinVertex> v = {{0, 0, 1}, {0, 10, 1}, {10, 0, 1}, {5, 5, 1}, {10, 10, 2}};
    CTinSurface tin;
    std::string error;
    std::size_t bad = 99;
    EXPECT_FALSE(tin.build(v, {{0, 1, 2}, {1, 2, 7}}, error, &bad));
    EXPECT_EQ(bad, 1u);
    EXPECT_NE(error.find("vertex 7 does not exist"), std::string::npos) << error;
    // 1, 3 and 2 lie on one line (north + east = 10).
    EXPECT_FALSE(tin.build(v, {{0, 1, 2}, {1, 4, 2}, {1, 3, 2}}, error, &bad));
    EXPECT_EQ(bad, 2u);
    EXPECT_NE(error.find("no area"), std::string::npos) << error;
    EXPECT_FALSE(tin.build(v, {}, error, &bad));
    double h = 0;
    EXPECT_FALSE(tin.heightAt(1, 1, h));
    // A thin but real triangle (1 mm high over 10 m) is kept.
    v.push_back({0.001, 5, 1});
    EXPECT_TRUE(tin.build(v, {{0, 1, 5}}, error)) << error;
}
