// What the plane position cache buys on a long road: loading a 1000-element alignment of
// straights, spirals and arcs for a 1 cm chord deviation, the position at a chainage on the
// sampled polyline beside the alignment's own evaluation, and the chainage and offset of a
// point by nearest chord plus one element's projection beside the alignment's search over
// every element. Both sides of each pair run on the same points in the same process.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/caches/CAlnt2dPosCache.h"

#include "BenchRoad.h"

namespace {

constexpr int kElements = 1000;

const CAlntH& road() {
    static const CAlntH a = buildBenchRoad(kElements);
    return a;
}

const CAlnt2dPosCache& cache() {
    static const CAlnt2dPosCache c = [] {
        CAlnt2dPosCache x;
        x.loadNodesAndPosForDeviation(road(), 0.01);
        return x;
    }();
    return c;
}

std::vector<double> chainages() {
    double fin = 0.0;
    road().getFinalChainageInM(fin);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(road().getStartChainageInM(), fin);
    std::vector<double> out(256);
    for (double& c : out)
        c = u(rng);
    return out;
}

// Points up to 10 m either side of the road.
std::vector<C2dPos> points() {
    std::vector<C2dPos> out;
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> off(-10.0, 10.0);
    for (double c : chainages()) {
        double n = 0.0, e = 0.0;
        road().getPosNeAtChainAndOffsetExtr(c, off(rng), n, e);
        out.emplace_back(n, e);
    }
    return out;
}

void BM_LoadForDeviation(benchmark::State& state) {
    const CAlntH& a = road();
    CAlnt2dPosCache c;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.loadNodesAndPosForDeviation(a, 0.01));
    }
    state.counters["samples"] = c.GetSize();
}
BENCHMARK(BM_LoadForDeviation)->Unit(benchmark::kMillisecond);

void BM_CacheGetPosOnSegment(benchmark::State& state) {
    const CAlnt2dPosCache& c = cache();
    const std::vector<double> ch = chainages();
    size_t i = 0;
    C2dPos p;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.getPosOnSegment(ch[i++ % ch.size()], p));
    }
}
BENCHMARK(BM_CacheGetPosOnSegment);

void BM_AlignmentGetPosNeAtChain(benchmark::State& state) {
    const CAlntH& a = road();
    const std::vector<double> ch = chainages();
    size_t i = 0;
    double n = 0.0, e = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a.getPosNeAtChain(ch[i++ % ch.size()], n, e));
    }
}
BENCHMARK(BM_AlignmentGetPosNeAtChain);

void BM_CacheNearestChordAndProjection(benchmark::State& state) {
    const CAlntH& a = road();
    const CAlnt2dPosCache& c = cache();
    const std::vector<C2dPos> pts = points();
    size_t i = 0;
    for (auto _ : state) {
        const C2dPos& p = pts[i++ % pts.size()];
        const int chord = c.findNearestSegment(p, nullptr);
        const CAlntHe* el = a.getHe(c.posIndex2AlntElementIndex(chord));
        double dist = 0.0, len = 0.0, start = 0.0;
        el->getShortestDistAndCurveLen(p.north, p.east, dist, len);
        el->getStartChainageInM(start);
        benchmark::DoNotOptimize(start + len);
    }
}
BENCHMARK(BM_CacheNearestChordAndProjection)->Unit(benchmark::kMicrosecond);

void BM_AlignmentFindChainageAndOffset(benchmark::State& state) {
    const CAlntH& a = road();
    const std::vector<C2dPos> pts = points();
    size_t i = 0;
    double chain = 0.0, off = 0.0;
    for (auto _ : state) {
        const C2dPos& p = pts[i++ % pts.size()];
        benchmark::DoNotOptimize(a.FindChainageAndOffset(p.north, p.east, chain, off));
    }
}
BENCHMARK(BM_AlignmentFindChainageAndOffset)->Unit(benchmark::kMicrosecond);

}  // namespace
