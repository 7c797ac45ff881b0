#include <benchmark/benchmark.h>

#include <vector>

#include "velmorutils/zelmath/vertical/CAlntV.h"
#include "velmorutils/zelmath/vertical/CAlntVeLsWithArc.h"
#include "velmorutils/zelmath/vertical/CVerticalLSElement.h"

namespace {

// A rolling profile: a VIP every 100 m, alternately 3 m up and down, with a 40 m parabola
// (or a 2000 m circular curve) at every inner VIP.
CAlntV makeProfile(int elements, bool circular) {
    CAlntV alnt;
    alnt.beginBulkUpdate();
    for (int i = 0; i < elements; ++i) {
        const double ch = 100.0 * i;
        const double h = 100.0 + (i % 2 == 0 ? 0.0 : 3.0);
        const bool inner = i > 0 && i + 1 < elements;
        if (circular) {
            alnt.appendElement(CAlntVeLsWithArc(ch, h, inner ? 2000.0 : 0.0));
        } else {
            alnt.appendElement(CVerticalLSElement(CLsInfo(ch, h, inner ? 40.0 : 0.0)));
        }
    }
    alnt.onBulkUpdateFinished();
    return alnt;
}

// Chainages spread over the whole profile in an order that defeats any locality.
std::vector<double> queryChainages(int elements) {
    std::vector<double> out(4096);
    unsigned x = 12345u;
    const double span = 100.0 * (elements - 1);
    for (double& ch : out) {
        x = x * 1664525u + 1013904223u;
        ch = span * (x >> 8) / double(1u << 24);
    }
    return out;
}

void runHeights(benchmark::State& state, bool circular) {
    const int n = static_cast<int>(state.range(0));
    const CAlntV alnt = makeProfile(n, circular);
    const std::vector<double> chs = queryChainages(n);
    size_t k = 0;
    for (auto _ : state) {
        double h = 0.0;
        benchmark::DoNotOptimize(alnt.getHeightAtChain(chs[k], h));
        benchmark::DoNotOptimize(h);
        k = (k + 1) & 4095u;
    }
}

void BM_HeightAtChainParabolic(benchmark::State& state) {
    runHeights(state, false);
}
BENCHMARK(BM_HeightAtChainParabolic)->Arg(10)->Arg(100)->Arg(1000);

void BM_HeightAtChainCircular(benchmark::State& state) {
    runHeights(state, true);
}
BENCHMARK(BM_HeightAtChainCircular)->Arg(10)->Arg(100)->Arg(1000);

// For comparison: the same question answered by walking back from the last element, the
// search every profile could do without an index.
void BM_HeightAtChainLinearWalk(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const CAlntV alnt = makeProfile(n, false);
    const std::vector<double> chs = queryChainages(n);
    size_t k = 0;
    for (auto _ : state) {
        const double ch = chs[k];
        int i = alnt.getNumOfVes() - 1;
        double start = 0.0;
        for (; i > 0; --i) {
            alnt.getVe(i)->getStartChainageInM(start);
            if (start <= ch) break;
        }
        alnt.getVe(i)->getStartChainageInM(start);
        double h = 0.0;
        benchmark::DoNotOptimize(alnt.getVe(i)->getHtAtLen(ch - start, h));
        benchmark::DoNotOptimize(h);
        k = (k + 1) & 4095u;
    }
}
BENCHMARK(BM_HeightAtChainLinearWalk)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace
