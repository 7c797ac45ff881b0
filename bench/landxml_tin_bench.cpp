// Reading a LandXML TIN of a million triangles: the file parsed into the surface's records and
// built into the library's indexed surface, beside a plain scan of the same file's triangles (one
// pass over the bytes counting the faces, the least any reader must do). The targets: under 3 s
// and 600 MB for the read and build. Peak memory is the process's resident peak, reported as a
// counter together with the resident size before the read.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <velmorutils/landxml/Corridor.h>
#include <velmorutils/landxml/Model.h>

namespace {

constexpr int kCells = 708;  // 708 x 708 cells, two triangles each: 1,002,528 triangles

// Resident set now and at its peak, MB (Linux).
double residentMB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0 / 1e6;
}
double peakMB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1e3;
}

// Written once, streamed to disk (the text is never held whole here): ids sparse and in
// reverse order, heights of a gentle rolling ground, one invisible face per row.
const std::string& tinFile() {
    static const std::string path = [] {
        const std::string p =
            (std::filesystem::temp_directory_path() / "velmorutils_bench_tin.xml").string();
        std::FILE* f = std::fopen(p.c_str(), "w");
        std::fprintf(f,
                     "<?xml version=\"1.0\"?>\n<LandXML><Units><Metric linearUnit=\"meter\"/>"
                     "</Units>\n<Surfaces><Surface name=\"EG\"><Definition surfType=\"TIN\">\n"
                     "<Pnts>\n");
        const int n = kCells + 1;
        auto id = [&](int r, int c) { return 10 + 3L * (static_cast<long>(n) * n - (r * n + c)); };
        for (int r = n - 1; r >= 0; --r)
            for (int c = 0; c < n; ++c)
                std::fprintf(f, "<P id=\"%ld\">%.3f %.3f %.3f</P>\n", id(r, c), 5000000.0 + 2.0 * r,
                             500000.0 + 2.0 * c,
                             100.0 + 3.0 * std::sin(r * 0.01) + 2.0 * std::cos(c * 0.013));
        std::fprintf(f, "</Pnts>\n<Faces>\n");
        for (int r = 0; r < kCells; ++r)
            for (int c = 0; c < kCells; ++c) {
                const char* hidden = c == 0 ? " i=\"1\"" : "";
                std::fprintf(f, "<F n=\"0 0 0\"%s>%ld %ld %ld</F>\n", hidden, id(r, c),
                             id(r, c + 1), id(r + 1, c + 1));
                std::fprintf(f, "<F>%ld %ld %ld</F>\n", id(r, c), id(r + 1, c + 1), id(r + 1, c));
            }
        std::fprintf(f, "</Faces></Definition></Surface></Surfaces></LandXML>\n");
        std::fclose(f);
        return p;
    }();
    return path;
}

void BM_ReadAndBuildTin(benchmark::State& state) {
    const std::string& path = tinFile();
    const double before = residentMB();
    std::size_t triangles = 0;
    for (auto _ : state) {
        zel_landxml::Document doc;
        std::string error;
        std::shared_ptr<const zel_math::CTinSurface> tin;
        if (!zel_landxml::readSurfaceFile(path, doc, error) ||
            !zel_landxml::surfaceByName(doc, "EG", tin, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        triangles = tin->triangleCount();
        benchmark::DoNotOptimize(tin);
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["rss_before_MB"] = before;
    state.counters["peak_rss_MB"] = peakMB();
}
BENCHMARK(BM_ReadAndBuildTin)->Unit(benchmark::kMillisecond)->Iterations(2);

// The plain scan: the file's bytes read and every face counted.
void BM_PlainScanOfTriangles(benchmark::State& state) {
    const std::string& path = tinFile();
    std::size_t faces = 0;
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        faces = 0;
        for (const char* p = std::strstr(text.c_str(), "<F"); p != nullptr;
             p = std::strstr(p + 2, "<F"))
            ++faces;
        benchmark::DoNotOptimize(faces);
    }
    state.counters["faces"] = static_cast<double>(faces);
}
BENCHMARK(BM_PlainScanOfTriangles)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
