// Value formats and line reading beside the plain C and C++ routines that do the same work:
// angle and number texts against snprintf with the same format, ReadLine's byte-at-a-time
// reading against std::getline on the same file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "velmorutils/velmorutils.h"

namespace {

const std::vector<double>& angles() {
    static const std::vector<double> all = [] {
        std::vector<double> v;
        std::mt19937_64 gen(1);
        std::uniform_real_distribution<double> deg(-360.0, 360.0);
        for (int i = 0; i < 1024; ++i)
            v.push_back(deg(gen));
        return v;
    }();
    return all;
}

void BM_AngleToString(benchmark::State& state) {
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(AngleToString(angles()[i++ & 1023]));
    }
}
BENCHMARK(BM_AngleToString);

// The same split and format without the carry check and without the string class.
void BM_AngleSnprintf(benchmark::State& state) {
    size_t i = 0;
    char text[64];
    for (auto _ : state) {
        const double a = angles()[i++ & 1023];
        const int d = static_cast<int>(a);
        const double f = a - d;
        const int m = static_cast<int>(f * 60);
        std::snprintf(text, sizeof text, "%3d\xB0%02d'%7.5f\"", d, m, (f - m / 60.0) * 3600);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_AngleSnprintf);

void BM_DoubleToString(benchmark::State& state) {
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DoubleToString(angles()[i++ & 1023]));
    }
}
BENCHMARK(BM_DoubleToString);

void BM_DoubleSnprintf(benchmark::State& state) {
    size_t i = 0;
    char text[400];
    for (auto _ : state) {
        std::snprintf(text, sizeof text, "%.12lf", angles()[i++ & 1023]);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_DoubleSnprintf);

// One megabyte of survey-style lines (about 40 bytes each, CR LF ends).
const std::string& sampleFile() {
    static const std::string path = [] {
        const std::string p =
            (std::filesystem::temp_directory_path() / "velmorutils_formats_bench.txt").string();
        std::ofstream out(p, std::ios::binary);
        std::mt19937 gen(2);
        for (int i = 0; i < 25000; ++i) {
            out << "PT" << i << ",5432" << gen() % 1000 << ".123,61234" << gen() % 1000
                << ".456,12.345\r\n";
        }
        return p;
    }();
    return path;
}

void BM_ReadLine(benchmark::State& state) {
    for (auto _ : state) {
        CFile file;
        file.Open(sampleFile().c_str(), CFile::modeRead);
        zel_text::CZelStringT<char> line;
        size_t total = 0;
        for (;;) {
            ReadLine(file, line);
            if (line.IsEmpty()) break;
            total += static_cast<size_t>(line.GetLength());
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ReadLine)->Unit(benchmark::kMillisecond);

void BM_StdGetline(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream in(sampleFile(), std::ios::binary);
        std::string line;
        size_t total = 0;
        while (std::getline(in, line))
            total += line.size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_StdGetline)->Unit(benchmark::kMillisecond);

}  // namespace
