// Station and offset of measured points at point-cloud scale: the indexed inverse beside the
// alignment's own element-by-element search, on the shared mixed road, for points scattered up
// to 100 m either side of the centre line. The inverse is also run on roads of 100 to 10,000
// elements to show that its cost hardly grows with the road.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/alignment/CAlntStationOffset.h"

#include "BenchRoad.h"

namespace {

struct Points {
    std::vector<double> n;
    std::vector<double> e;
};

// Uniform in chainage along the whole road and in offset within 100 m; in the order of chainage
// when alongRoad is set, as a scan or a machine log delivers them.
Points scatter(const CAlntH& road, std::size_t count, bool alongRoad = false) {
    std::mt19937_64 rng(20261205);
    double fin = 0.0;
    road.getFinalChainageInM(fin);
    std::uniform_real_distribution<double> chain(road.getStartChainageInM(), fin);
    std::uniform_real_distribution<double> off(-100.0, 100.0);
    std::vector<double> chains(count);
    for (double& c : chains)
        c = chain(rng);
    if (alongRoad) std::sort(chains.begin(), chains.end());
    Points p;
    p.n.resize(count);
    p.e.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        road.getPosNeAtChainAndOffsetExtr(chains[i], off(rng), p.n[i], p.e[i]);
    }
    return p;
}

constexpr std::size_t kMillion = 1000000;

// One query per iteration, cycling through the points.
void BM_StationOffsetNearest(benchmark::State& state) {
    const CAlntH road = buildBenchRoad(static_cast<int>(state.range(0)));
    const CAlntStationOffset inverse(road);
    const Points pts = scatter(road, state.range(0) == 1000 ? kMillion : 100000);
    std::size_t i = 0;
    TAlntFoot foot;
    for (auto _ : state) {
        benchmark::DoNotOptimize(inverse.findNearest(pts.n[i], pts.e[i], foot));
        benchmark::DoNotOptimize(foot.chainageInM);
        if (++i == pts.n.size()) i = 0;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

// The same with the points in the order of the road, as scans and machine logs come.
void BM_StationOffsetNearestAlongRoad(benchmark::State& state) {
    const CAlntH road = buildBenchRoad(static_cast<int>(state.range(0)));
    const CAlntStationOffset inverse(road);
    const Points pts = scatter(road, 100000, true);
    std::size_t i = 0;
    TAlntFoot foot;
    for (auto _ : state) {
        benchmark::DoNotOptimize(inverse.findNearest(pts.n[i], pts.e[i], foot));
        benchmark::DoNotOptimize(foot.chainageInM);
        if (++i == pts.n.size()) i = 0;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

// The comparison: the alignment's own search, on the same points.
void BM_FindChainageAndOffset(benchmark::State& state) {
    const CAlntH road = buildBenchRoad(static_cast<int>(state.range(0)));
    const Points pts = scatter(road, 10000);
    std::size_t i = 0;
    for (auto _ : state) {
        double chain = 0.0;
        double off = 0.0;
        benchmark::DoNotOptimize(road.FindChainageAndOffset(pts.n[i], pts.e[i], chain, off));
        benchmark::DoNotOptimize(chain);
        if (++i == pts.n.size()) i = 0;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

// The batch call over a million points, as the road tool and Python hand them over.
void BM_StationOffsetBatchMillion(benchmark::State& state) {
    const CAlntH road = buildBenchRoad(static_cast<int>(state.range(0)));
    const CAlntStationOffset inverse(road);
    const Points pts = scatter(road, kMillion);
    std::vector<TAlntFoot> feet(kMillion);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            inverse.findNearestBatch(pts.n.data(), pts.e.data(), kMillion, feet.data()));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kMillion));
}

// Building the snapshot: done once per alignment.
void BM_StationOffsetBuild(benchmark::State& state) {
    const CAlntH road = buildBenchRoad(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const CAlntStationOffset inverse(road);
        benchmark::DoNotOptimize(inverse.isok());
    }
}

}  // namespace

BENCHMARK(BM_StationOffsetNearest)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(BM_StationOffsetNearestAlongRoad)->Arg(100)->Arg(10000);
BENCHMARK(BM_FindChainageAndOffset)->Arg(1000);
BENCHMARK(BM_StationOffsetBatchMillion)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StationOffsetBuild)->Arg(1000)->Unit(benchmark::kMillisecond);
