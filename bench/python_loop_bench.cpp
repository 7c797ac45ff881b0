// The C++ loops the Python module's vectorised calls are measured against
// (python/bench_positions.py): the same 1000-element road, a million positions at chainage and
// offset, and a million station/offset queries of points within 100 m of the road. The inputs
// are the same low-discrepancy sequences the script builds with NumPy, so both runs do the same
// work.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/alignment/CAlntStationOffset.h"

#include "BenchRoad.h"

namespace {

constexpr int kElements = 1000;
constexpr std::size_t kCount = 1000000;

double frac(double x) {
    return x - std::floor(x);
}

struct Inputs {
    std::vector<double> chainage, offset, north, east;
};

// Chainages spread over the whole road, offsets within 20 m for the positions and within 100 m
// for the points queried.
Inputs makeInputs(const CAlntH& road) {
    Inputs in;
    double fin = 0.0;
    road.getFinalChainageInM(fin);
    const double start = road.getStartChainageInM();
    for (std::size_t i = 0; i < kCount; ++i) {
        const double c = start + (fin - start) * frac(static_cast<double>(i) * 0.6180339887498949);
        const double u = frac(static_cast<double>(i) * 0.7548776662466927);
        in.chainage.push_back(c);
        in.offset.push_back(-20.0 + 40.0 * u);
        double n = 0.0, e = 0.0;
        road.getPosNeAtChainAndOffsetExtr(c, -100.0 + 200.0 * u, n, e);
        in.north.push_back(n);
        in.east.push_back(e);
    }
    return in;
}

void BM_MillionPositions(benchmark::State& state) {
    const CAlntH road = buildBenchRoad(kElements);
    const Inputs in = makeInputs(road);
    std::vector<double> n(kCount), e(kCount);
    for (auto _ : state) {
        for (std::size_t i = 0; i < kCount; ++i)
            road.getPosNeAtChainAndOffsetExtr(in.chainage[i], in.offset[i], n[i], e[i]);
        benchmark::DoNotOptimize(n.data());
        benchmark::DoNotOptimize(e.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

void BM_MillionStationOffsets(benchmark::State& state) {
    const CAlntH road = buildBenchRoad(kElements);
    const Inputs in = makeInputs(road);
    const CAlntStationOffset inverse(road);
    std::vector<TAlntFoot> feet(kCount);
    for (auto _ : state) {
        for (std::size_t i = 0; i < kCount; ++i)
            inverse.findNearest(in.north[i], in.east[i], feet[i]);
        benchmark::DoNotOptimize(feet.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kCount));
}

}  // namespace

BENCHMARK(BM_MillionPositions)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MillionStationOffsets)->Unit(benchmark::kMillisecond)->Iterations(3);
