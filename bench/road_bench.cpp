#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>

#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/AlntEvaluation.h>
#include <velmorutils/zelmath/angles/AngleConversions.h>

#include "SampleRoad.h"
#include "Stakeout.h"

// Stake-out of a 10.5 km road at 1 m with three offsets, written as a table to /dev/null so the
// formatting is counted too, beside the way it was written before: each row looked up on its own
// four times (position at the offset, azimuth, height, and the station text per row). Peak
// memory is the whole process's, reported as a counter.
namespace {

const double kOffsets[] = {-3.5, 0.0, 3.5};

const CAlnt& road10km() {
    static const CAlnt road = [] {
        CAlnt a;
        road::buildLongRoad(a, 10500.0);
        return a;
    }();
    return road;
}

void counters(benchmark::State& state, const CAlnt& road) {
    double end = 0.0;
    road.getFinalChainageInM(end);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["road_km"] = end / 1000.0;
    state.counters["elements"] = road.getNumOfHes();
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The row as it was computed before: four separate lookups, and one more set per offset.
bool perRowLookups(const CAlnt& alnt, double chainage, double offset, road::StakeoutRow& row) {
    row.chainage = chainage;
    row.offset = offset;
    if (!alnt.getPosNeAtChainAndOffsetExtr(chainage, offset, row.north, row.east)) return false;
    if (!alnt.getAzimuthAtChainExtr(chainage, row.azimuthDeg)) return false;
    row.azimuthDeg = pos360(row.azimuthDeg);
    row.hasHeight = alnt.getNumOfVes() > 0 && alnt.getPosHAtChain(chainage, row.height);
    return true;
}

}  // namespace

static void BM_Stakeout10_5kmAt1mThreeOffsets(benchmark::State& state) {
    const CAlnt& road = road10km();
    road::StakeoutOptions options;  // the defaults work: station text of the plain stationing
    options.interval = 1.0;
    options.offsets = {-3.5, 0.0, 3.5};
    options.style.csv = true;  // as the comparison writes it
    std::FILE* sink = std::fopen("/dev/null", "w");
    std::string error;
    for (auto _ : state) {
        if (!road::writeStakeout(sink, road, options, error)) state.SkipWithError(error.c_str());
    }
    std::fclose(sink);
    counters(state, road);
}
BENCHMARK(BM_Stakeout10_5kmAt1mThreeOffsets)->Unit(benchmark::kMillisecond);

// The same table as before: the same stations, each row with its own lookups and station text.
static void BM_Stakeout10_5kmAt1mThreeOffsetsPerRowLookups(benchmark::State& state) {
    const CAlnt& road = road10km();
    const zel_landxml::Stationing stationing;
    const zel_landxml::StationStyle style;
    const road::TableStyle table;
    const auto stations = road::stakeoutChainages(road, 1.0);
    std::FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        for (const road::StakeoutStation& s : stations) {
            for (const double off : kOffsets) {
                road::StakeoutRow row;
                if (!perRowLookups(road, s.chainageInM, off, row)) state.SkipWithError("row");
                const std::string text = stationing.text(row.chainage, style);
                std::fprintf(sink, "%s,%s,%s,%s,%s,%s,%s,%d\n", text.c_str(),
                             table.length(row.chainage, 4).c_str(),
                             table.length(row.offset, 3).c_str(),
                             table.length(row.north, 4).c_str(), table.length(row.east, 4).c_str(),
                             table.length(row.height, 3).c_str(),
                             table.angle(row.azimuthDeg).c_str(), s.boundary ? 1 : 0);
            }
        }
    }
    std::fclose(sink);
    counters(state, road);
}
BENCHMARK(BM_Stakeout10_5kmAt1mThreeOffsetsPerRowLookups)->Unit(benchmark::kMillisecond);

// The positions alone, without text: one evaluation per station against four lookups per row.
static void BM_StakeoutPositionsOneEvaluation(benchmark::State& state) {
    const CAlnt& road = road10km();
    const auto stations = road::stakeoutChainages(road, 1.0);
    std::vector<road::StakeoutRow> rows;
    const std::vector<double> offsets(std::begin(kOffsets), std::end(kOffsets));
    for (auto _ : state) {
        double sum = 0.0;
        for (const auto& s : stations) {
            road::stakeoutRows(road, s, offsets, rows);
            for (const road::StakeoutRow& r : rows)
                sum += r.north + r.height;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(stations.size()) * 3);
}
BENCHMARK(BM_StakeoutPositionsOneEvaluation)->Unit(benchmark::kMillisecond);

static void BM_StakeoutPositionsPerRowLookups(benchmark::State& state) {
    const CAlnt& road = road10km();
    const auto stations = road::stakeoutChainages(road, 1.0);
    for (auto _ : state) {
        double sum = 0.0;
        for (const auto& s : stations)
            for (const double off : kOffsets) {
                road::StakeoutRow row;
                perRowLookups(road, s.chainageInM, off, row);
                sum += row.north + row.height;
            }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(stations.size()) * 3);
}
BENCHMARK(BM_StakeoutPositionsPerRowLookups)->Unit(benchmark::kMillisecond);
