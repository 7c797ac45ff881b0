// The road tool's station-offset end to end: a 1,000,000-point file around a road of about a
// thousand elements (76 km), answered by the velmor-road program itself, timed by the wall clock
// with the child's peak memory (its maximum resident set, as /usr/bin/time -v reports it). Beside
// it, in the same run, the same points answered in the process by the full inverse's batch call,
// and a smaller count by the alignment's per-point FindChainageAndOffset, the tool's former path.
// Targets: end to end under 3 s and under 300 MB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/zelmath/alignment/CAlntStationOffset.h>

#include "RoadToolPath.h"
#include "SampleRoad.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPoints = 1'000'000;
constexpr int kOldPathPoints = 10'000;
constexpr double kRoadLengthM = 76'000.0;  // about 1000 elements of the sample's pattern
constexpr double kWithinM = 100.0;

// The road, its LandXML file and a point file around it, made once for every benchmark here.
struct Scene {
    CAlnt road;
    fs::path dir;
    std::string xml, points, out;
    std::vector<double> north, east;
    std::string error;

    Scene() {
        road::buildLongRoad(road, kRoadLengthM);
        dir = fs::temp_directory_path() / ("velmor_so_bench_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        xml = (dir / "road.xml").string();
        points = (dir / "points.csv").string();
        out = (dir / "table.csv").string();
        if (writeDesign()) writePoints();
    }
    ~Scene() { fs::remove_all(dir); }

    bool writeDesign() {
        zel_landxml::Document doc;
        doc.alignments.resize(1);
        if (!zel_landxml::describeAlignment(road, doc.alignments[0], error)) return false;
        std::FILE* f = std::fopen(xml.c_str(), "w");
        if (f == nullptr) return error = "cannot write " + xml, false;
        const std::string text = zel_landxml::write(doc, zel_landxml::LinearUnit::Meter);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        return true;
    }

    // Points within 100 m of the road, 50 m beyond its ends included, as a surveyor's
    // comma-separated PNEZD file with a header.
    void writePoints() {
        double start = road.getStartChainageInM(), end = start;
        road.getFinalChainageInM(end);
        std::mt19937_64 rng(20);
        std::uniform_real_distribution<double> along(start - 50.0, end + 50.0);
        std::uniform_real_distribution<double> across(-kWithinM, kWithinM);
        std::uniform_real_distribution<double> height(95.0, 110.0);
        std::FILE* f = std::fopen(points.c_str(), "w");
        if (f == nullptr) {
            error = "cannot write " + points;
            return;
        }
        std::fprintf(f, "name,north,east,height,code\n");
        for (int i = 0; i < kPoints; ++i) {
            double n = 0.0, e = 0.0;
            road.getPosNeAtChainAndOffsetExtr(along(rng), across(rng), n, e);
            north.push_back(n);
            east.push_back(e);
            std::fprintf(f, "P%d,%.4f,%.4f,%.3f,%s\n", i + 1, n, e, height(rng),
                         i % 3 ? "GND" : "EP");
        }
        std::fclose(f);
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

// Runs the program and waits for it; the child's own resource use comes back with its status.
bool runTool(const std::vector<std::string>& args, int& status, rusage& usage) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return ::wait4(child, &status, 0, &usage) == child;
}

double seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
}

void BM_ToolStationOffsetEndToEnd(benchmark::State& state) {
    Scene& s = scene();
    if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
    const std::vector<std::string> args{kVelmorRoadPath, "station-offset", s.xml, s.points,
                                        "--csv",         "--out",          s.out};
    double peakMB = 0.0, cpuSeconds = 0.0;
    for (auto _ : state) {
        int status = 0;
        rusage usage{};
        const auto t0 = std::chrono::steady_clock::now();
        if (!runTool(args, status, usage) || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return state.SkipWithError("velmor-road station-offset failed");
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - t0;
        state.SetIterationTime(wall.count());
        peakMB = std::max(peakMB, static_cast<double>(usage.ru_maxrss) / 1024.0);
        cpuSeconds += seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }
    // On a shared machine the wall clock also counts other people's work; the child's own
    // processor time does not.
    state.counters["child_cpu_s"] = cpuSeconds / static_cast<double>(state.iterations());
    state.counters["points"] = kPoints;
    state.counters["elements"] = s.road.getNumOfHes();
    state.counters["peak_MB"] = peakMB;
    state.counters["table_MB"] = static_cast<double>(fs::file_size(s.out)) / 1e6;
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_ToolStationOffsetEndToEnd)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

// The geometry alone: the same points in the process through the inverse's batch call.
void BM_InverseBatchSamePoints(benchmark::State& state) {
    Scene& s = scene();
    if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
    const CAlntStationOffset inverse(s.road);
    std::vector<TAlntFoot> feet(s.north.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(
            inverse.findNearestBatch(s.north.data(), s.east.data(), s.north.size(), feet.data()));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(s.north.size()));
}
BENCHMARK(BM_InverseBatchSamePoints)->Unit(benchmark::kMillisecond);

// The tool's former path: the alignment's own per-point search, on the first 10,000 points.
void BM_FindChainageAndOffsetPerPoint(benchmark::State& state) {
    Scene& s = scene();
    if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
    for (auto _ : state) {
        double sum = 0.0;
        for (int i = 0; i < kOldPathPoints; ++i) {
            double chainage = 0.0, offset = 0.0;
            s.road.FindChainageAndOffset(s.north[i], s.east[i], chainage, offset);
            sum += chainage;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kOldPathPoints);
}
BENCHMARK(BM_FindChainageAndOffsetPerPoint)->Unit(benchmark::kMillisecond);

}  // namespace
