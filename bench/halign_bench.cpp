// Cost of the horizontal alignment's two stake-out questions as the alignment grows: the
// position at a chainage and offset, and the chainage and offset of a point. The position query
// is also run with the element found by a plain backward walk, the search without an index, to
// show what the bisection saves.
#include <benchmark/benchmark.h>

#include <vector>

#include "velmorutils/zelmath/alignment/CAlntH.h"

#include "BenchRoad.h"

namespace {

std::vector<double> chainagesAlong(const CAlntH& a, int count) {
    double fin = 0.0;
    a.getFinalChainageInM(fin);
    const double start = a.getStartChainageInM();
    std::vector<double> out;
    // A fixed stride that is not a divisor of the element lengths visits every kind.
    for (int i = 0; i < count; ++i) {
        out.push_back(start + (fin - start) * ((i * 7919) % count + 0.5) / count);
    }
    return out;
}

const CAlntHe* walkBack(const CAlntH& a, double chain, double& d) {
    for (int k = a.getNumOfHes() - 1; k >= 0; --k) {
        double s = 0.0;
        if (!a.getHe(k)->getStartChainageInM(s)) return nullptr;
        if (s <= chain || k == 0) {
            d = chain - s;
            return a.getHe(k);
        }
    }
    return nullptr;
}

void BM_PositionWithOffset(benchmark::State& state) {
    const CAlntH road = buildBenchRoad(static_cast<int>(state.range(0)));
    const std::vector<double> chains = chainagesAlong(road, 512);
    size_t i = 0;
    for (auto _ : state) {
        double n = 0.0;
        double e = 0.0;
        benchmark::DoNotOptimize(road.getPosNeAtChainAndOffsetExtr(chains[i], 3.5, n, e));
        benchmark::DoNotOptimize(n + e);
        i = (i + 1) % chains.size();
    }
}

void BM_PositionWithOffsetLinearWalk(benchmark::State& state) {
    const CAlntH road = buildBenchRoad(static_cast<int>(state.range(0)));
    const std::vector<double> chains = chainagesAlong(road, 512);
    size_t i = 0;
    for (auto _ : state) {
        double n = 0.0;
        double e = 0.0;
        double d = 0.0;
        const CAlntHe* he = walkBack(road, chains[i], d);
        benchmark::DoNotOptimize(he->getPosAtLengthAndOffset(d, 3.5, n, e));
        // The alignment asks twice (position, then azimuth); so does the comparison.
        benchmark::DoNotOptimize(walkBack(road, chains[i], d));
        benchmark::DoNotOptimize(n + e);
        i = (i + 1) % chains.size();
    }
}

void BM_FindChainageAndOffset(benchmark::State& state) {
    const CAlntH road = buildBenchRoad(static_cast<int>(state.range(0)));
    const std::vector<double> chains = chainagesAlong(road, 64);
    std::vector<std::pair<double, double>> points;
    for (double c : chains) {
        double n = 0.0;
        double e = 0.0;
        road.getPosNeAtChainAndOffsetExtr(c, -6.0, n, e);
        points.emplace_back(n, e);
    }
    size_t i = 0;
    for (auto _ : state) {
        double c = 0.0;
        double off = 0.0;
        benchmark::DoNotOptimize(
            road.FindChainageAndOffset(points[i].first, points[i].second, c, off));
        benchmark::DoNotOptimize(c + off);
        i = (i + 1) % points.size();
    }
}

}  // namespace

BENCHMARK(BM_PositionWithOffset)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_PositionWithOffsetLinearWalk)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_FindChainageAndOffset)->Arg(10)->Arg(100)->Arg(1000);
