// Ground surfaces of a million triangles: building the index, heights through it beside a plain
// scan of every triangle, and slope stakes of a 10 km road every 10 m on both sides against it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "velmorutils/zelmath/alignment/AlntBuildFunctions.h"
#include "velmorutils/zelmath/sections/SlopeStake.h"
#include "velmorutils/zelmath/surfaces/TinSurface.h"

using namespace zel_math;

namespace {

// A strip 200 m wide and 10 km long of 2 m cells, two triangles each: 1,000,000 triangles,
// inner points shaken by up to 0.5 m, rolling ground around 100 m.
constexpr int kRows = 5000, kCols = 100;
constexpr double kCell = 2.0, kNorth0 = 5000, kEast0 = 1900;

double ground(double n, double e) {
    return 100 + 2 * std::sin(n / 150) + 0.05 * (e - 2000) + 0.5 * std::cos(e / 13);
}

struct Mesh {
    std::vector<TTinVertex> vertices;
    std::vector<std::array<std::uint32_t, 3>> faces;
};

const Mesh& mesh() {
    static const Mesh m = [] {
        Mesh out;
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> shake(-0.5, 0.5);
        for (int r = 0; r <= kRows; ++r) {
            for (int c = 0; c <= kCols; ++c) {
                const bool inner = r > 0 && c > 0 && r < kRows && c < kCols;
                const double n = kNorth0 + r * kCell + (inner ? shake(rng) : 0);
                const double e = kEast0 + c * kCell + (inner ? shake(rng) : 0);
                out.vertices.push_back({n, e, ground(n, e)});
            }
        }
        for (std::uint32_t r = 0; r < kRows; ++r) {
            for (std::uint32_t c = 0; c < kCols; ++c) {
                const std::uint32_t a = r * (kCols + 1) + c;
                out.faces.push_back({a, a + 1, a + kCols + 2});
                out.faces.push_back({a, a + kCols + 2, a + kCols + 1});
            }
        }
        return out;
    }();
    return m;
}

const CTinSurface& tin() {
    static const CTinSurface t = [] {
        CTinSurface s;
        std::string error;
        s.build(mesh().vertices, mesh().faces, error);
        return s;
    }();
    return t;
}

std::vector<std::array<double, 2>> queries(std::size_t n) {
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> north(kNorth0, kNorth0 + kRows * kCell),
        east(kEast0, kEast0 + kCols * kCell);
    std::vector<std::array<double, 2>> q(n);
    for (auto& p : q)
        p = {north(rng), east(rng)};
    return q;
}

void BM_TinBuild(benchmark::State& state) {
    const Mesh& m = mesh();
    for (auto _ : state) {
        CTinSurface s;
        std::string error;
        benchmark::DoNotOptimize(s.build(m.vertices, m.faces, error));
        state.counters["triangles"] = static_cast<double>(s.triangleCount());
        state.counters["MB"] = static_cast<double>(s.memoryBytes()) / 1e6;
    }
}
BENCHMARK(BM_TinBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

// Random queries over the whole surface (argument 0), and queries as a stake-out asks them:
// along the road, section after section (argument 1: sorted by north).
void BM_TinHeightIndexed(benchmark::State& state) {
    const CTinSurface& s = tin();
    auto q = queries(1 << 16);
    if (state.range(0) == 1) std::sort(q.begin(), q.end());
    state.SetLabel(state.range(0) == 1 ? "along the road" : "random");
    std::size_t i = 0;
    for (auto _ : state) {
        double h = 0;
        benchmark::DoNotOptimize(s.heightAt(q[i][0], q[i][1], h));
        benchmark::DoNotOptimize(h);
        i = (i + 1) & (q.size() - 1);
    }
    state.counters["queries/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TinHeightIndexed)->Arg(0)->Arg(1);

// The same question answered by trying every triangle in turn.
void BM_TinHeightScan(benchmark::State& state) {
    const Mesh& m = mesh();
    const auto q = queries(64);
    std::size_t i = 0;
    for (auto _ : state) {
        const double n = q[i][0], e = q[i][1];
        double h = std::nan("");
        for (const auto& f : m.faces) {
            const TTinVertex &a = m.vertices[f[0]], &b = m.vertices[f[1]], &c = m.vertices[f[2]];
            const double d =
                (b.east - a.east) * (c.north - a.north) - (b.north - a.north) * (c.east - a.east);
            const double wb =
                ((e - a.east) * (c.north - a.north) - (n - a.north) * (c.east - a.east)) / d;
            const double wc =
                ((b.east - a.east) * (n - a.north) - (b.north - a.north) * (e - a.east)) / d;
            if (wb < 0 || wc < 0 || wb + wc > 1) continue;
            h = a.height + wb * (b.height - a.height) + wc * (c.height - a.height);
            break;
        }
        benchmark::DoNotOptimize(h);
        i = (i + 1) & 63;
    }
    state.counters["queries/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TinHeightScan)->Unit(benchmark::kMillisecond);

// A 10 km road north up the strip (a straight, a 2000 m arc, a straight) 0.5 m above the mean
// ground: lanes and shoulders, cut 2:1, fill 3:1; stakes every 10 m, both sides, 3 m beyond.
void BM_SlopeStakes10km(benchmark::State& state) {
    AlntBuilder b(kNorth0, 2000, 0, 0);
    b.line(4000);
    b.arc(40, 2000, true);
    b.arc(40, 2000, false);
    b.line(5920);
    b.vip(0, 100.5, VipCurve::None, 0, 0);
    b.vip(10000, 100.5, VipCurve::None, 0, 0);
    CRoadCorridor road(b.alnt());
    TRoadTemplate t;
    t.left = t.right = {{"lane", 3.5, -2.5}, {"shoulder", 1.0, -4.0}};
    t.cutHVLeft = t.cutHVRight = 2.0;
    t.fillHVLeft = t.fillHVRight = 3.0;
    std::string error;
    road.setTemplate(t, {}, error);
    TGround g{std::shared_ptr<const CTinSurface>(&tin(), [](const CTinSurface*) {}), nullptr};
    std::size_t caught = 0, stakes = 0;
    for (auto _ : state) {
        caught = stakes = 0;
        for (double ch = 0; ch <= 10000; ch += 10) {
            for (bool right : {false, true}) {
                TSlopeStake s;
                if (slopeStake(road, g, ch, right, 80, 3, s, error)) caught += s.caught;
                ++stakes;
            }
        }
    }
    state.counters["stakes"] = static_cast<double>(stakes);
    state.counters["caught"] = static_cast<double>(caught);
}
BENCHMARK(BM_SlopeStakes10km)->Unit(benchmark::kMillisecond);

}  // namespace
