#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>

#include "SampleRoad.h"
#include "Stakeout.h"

// Stake-out of a 10 km road at 1 m with three offsets, written as a table to /dev/null so the
// formatting is counted too. Peak memory is the whole process's, reported as a counter.
static void BM_Stakeout10kmAt1mThreeOffsets(benchmark::State& state) {
    CAlnt road10km;
    road::buildLongRoad(road10km, 10000.0);
    road::StakeoutOptions options;
    options.interval = 1.0;
    options.offsets = {-3.5, 0.0, 3.5};
    std::FILE* sink = std::fopen("/dev/null", "w");
    std::string error;
    for (auto _ : state) {
        if (!road::writeStakeout(sink, road10km, options, error))
            state.SkipWithError(error.c_str());
    }
    std::fclose(sink);
    double end = 0.0;
    road10km.getFinalChainageInM(end);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["road_km"] = end / 1000.0;
    state.counters["elements"] = road10km.getNumOfHes();
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_Stakeout10kmAt1mThreeOffsets)->Unit(benchmark::kMillisecond);

// The positions alone, without text: what the geometry costs per staked point.
static void BM_StakeoutPositionsOnly(benchmark::State& state) {
    CAlnt road10km;
    road::buildLongRoad(road10km, 10000.0);
    const auto stations = road::stakeoutChainages(road10km, 1.0);
    for (auto _ : state) {
        double sum = 0.0;
        for (const auto& s : stations)
            for (double off : {-3.5, 0.0, 3.5}) {
                road::StakeoutRow row;
                road::stakeoutRow(road10km, s.chainage, off, row);
                sum += row.north;
            }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(stations.size()) * 3);
}
BENCHMARK(BM_StakeoutPositionsOnly)->Unit(benchmark::kMillisecond);
