// The log writer and the memory-mapped array, each beside the plain code it stands in for.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "velmorutils/utils/CINIFile.h"
#include "velmorutils/utils/CLogFile.h"
#include "velmorutils/utils/CRudMemMappedArray.h"

namespace {

std::string ScratchFolder() {
    const auto dir = std::filesystem::temp_directory_path() / "velmorutils_bench";
    std::filesystem::create_directories(dir);
    return dir.string();
}

// One line with number, time and level prefixes, flushed at once as the log does.
void BM_LogFileLine(benchmark::State& state) {
    const std::string path = ScratchFolder() + "/bench.log";
    CLogFile log;
    log.Start(path.c_str(), 1, 14, 3);
    for (auto _ : state)
        log.LogMessage("Station 12+345.678 staked, offset 2.500 m", 1);
    log.Stop();
}
BENCHMARK(BM_LogFileLine);

// The same line and flush written with fprintf directly.
void BM_FprintfFlushLine(benchmark::State& state) {
    const std::string path = ScratchFolder() + "/plain.log";
    std::FILE* file = std::fopen(path.c_str(), "w");
    long n = 0;
    for (auto _ : state) {
        std::fprintf(file, "%4ld - (%.3lf) - <%ld> - %s\n", ++n, 0.0, 1L,
                     "Station 12+345.678 staked, offset 2.500 m");
        std::fflush(file);
    }
    std::fclose(file);
}
BENCHMARK(BM_FprintfFlushLine);

constexpr int kBytes = 8 << 20;

// Fill and sum 8 MiB sequentially through the sliding view.
void BM_MemMappedSequential(benchmark::State& state) {
    CRudMemMappedArray array(ScratchFolder().c_str(), kBytes);
    for (auto _ : state) {
        for (int i = 0; i < kBytes; ++i)
            array[i] = static_cast<char>(i);
        long sum = 0;
        for (int i = 0; i < kBytes; ++i)
            sum += array[i];
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * 2LL * kBytes);
}
BENCHMARK(BM_MemMappedSequential)->Unit(benchmark::kMillisecond);

// The same over a heap vector.
void BM_VectorSequential(benchmark::State& state) {
    std::vector<char> array(kBytes);
    for (auto _ : state) {
        for (int i = 0; i < kBytes; ++i)
            array[i] = static_cast<char>(i);
        long sum = 0;
        for (int i = 0; i < kBytes; ++i)
            sum += array[i];
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * 2LL * kBytes);
}
BENCHMARK(BM_VectorSequential)->Unit(benchmark::kMillisecond);

// A settings lookup by section and key among 20 x 20 entries.
void BM_IniGetValue(benchmark::State& state) {
    CINIFile ini;
    for (int s = 0; s < 20; ++s) {
        for (int k = 0; k < 20; ++k) {
            ini.SetIntValue(("Section" + std::to_string(s)).c_str(),
                            ("Key" + std::to_string(k)).c_str(), s * k);
        }
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ini.GetIntValue("Section13", "Key17", -1));
}
BENCHMARK(BM_IniGetValue);

}  // namespace
