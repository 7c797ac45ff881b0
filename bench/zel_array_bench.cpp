#include <benchmark/benchmark.h>

#include <vector>

#include "velmorutils/velmorutils.h"

// The array grows by half its capacity on the library heap; the comparison is the standard
// vector growing by doubling on the C++ heap.

static void BM_ZelArrayAdd(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        zel_templ::CZelArray<int, const int&> a;
        for (int i = 0; i < count; ++i)
            a.Add(i);
        benchmark::DoNotOptimize(a.GetData());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ZelArrayAdd)->Arg(1000)->Arg(100000);

static void BM_StdVectorPushBack(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<int> v;
        for (int i = 0; i < count; ++i)
            v.push_back(i);
        benchmark::DoNotOptimize(v.data());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_StdVectorPushBack)->Arg(1000)->Arg(100000);

// Remapping every id of a 1000-pair map, as a copy of an alignment between databases does.
static void BM_ObjIdMapSrc2Trg(benchmark::State& state) {
    CObjId2ObjIdMap map;
    for (int i = 1; i <= 1000; ++i)
        map.add(i, i + 5000);
    for (auto _ : state) {
        long sum = 0;
        for (int i = 1; i <= 1000; ++i)
            sum += map.src2trg(i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ObjIdMapSrc2Trg);

// The same vector on the library heap: separates the heap's cost from the array's growth rule.
static void BM_VectorOnLibraryHeap(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<int, zel_mem::zel_dl_allocator<int>> v;
        for (int i = 0; i < count; ++i)
            v.push_back(i);
        benchmark::DoNotOptimize(v.data());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_VectorOnLibraryHeap)->Arg(1000)->Arg(100000);

// Adds into storage reserved beforehand: the cost of Add itself, without any growth.
static void BM_ZelArrayAddReserved(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        zel_templ::CZelArray<int, const int&> a;
        a.SetSize(0, count);
        for (int i = 0; i < count; ++i)
            a.Add(i);
        benchmark::DoNotOptimize(a.GetData());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ZelArrayAddReserved)->Arg(1000)->Arg(100000);
