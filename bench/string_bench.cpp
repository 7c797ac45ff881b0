// The copy-on-write string beside std::string doing the same work, in one run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "velmorutils/velmorutils.h"

namespace {

using zel_text::CZelStringT;

const char* const kHundred =
    "Alignment MAIN ROAD, element 12, spiral to curve, chainage 1+250.000 to 1+312.500, R=450.000";

void BM_Copy_ZelString(benchmark::State& state) {
    const CZelStringT<char> s(kHundred);
    for (auto _ : state) {
        CZelStringT<char> copy(s);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_Copy_ZelString);

void BM_Copy_StdString(benchmark::State& state) {
    const std::string s(kHundred);
    for (auto _ : state) {
        std::string copy(s);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_Copy_StdString);

void BM_Assign_ZelString(benchmark::State& state) {
    const CZelStringT<char> a(kHundred);
    const CZelStringT<char> b("N=5432109.877 E=123456.250");
    CZelStringT<char> target;
    for (auto _ : state) {
        target = a;
        target = b;
        benchmark::DoNotOptimize(target);
    }
}
BENCHMARK(BM_Assign_ZelString);

void BM_Assign_StdString(benchmark::State& state) {
    const std::string a(kHundred);
    const std::string b("N=5432109.877 E=123456.250");
    std::string target;
    for (auto _ : state) {
        target = a;
        target = b;
        benchmark::DoNotOptimize(target);
    }
}
BENCHMARK(BM_Assign_StdString);

// Building a line from ten pieces: every append that does not fit reallocates to the exact total.
void BM_Append_ZelString(benchmark::State& state) {
    for (auto _ : state) {
        CZelStringT<char> line;
        for (int i = 0; i < 10; ++i)
            line += "12.345,";
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_Append_ZelString);

void BM_Append_StdString(benchmark::State& state) {
    for (auto _ : state) {
        std::string line;
        for (int i = 0; i < 10; ++i)
            line += "12.345,";
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_Append_StdString);

void BM_Find_ZelString(benchmark::State& state) {
    const CZelStringT<char> s(kHundred);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.Find("R=450"));
}
BENCHMARK(BM_Find_ZelString);

void BM_Find_StdString(benchmark::State& state) {
    const std::string s(kHundred);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.find("R=450"));
}
BENCHMARK(BM_Find_StdString);

void BM_Format_ZelString(benchmark::State& state) {
    CZelStringT<char> s;
    for (auto _ : state) {
        s.Format("%d %.3f %.3f %.3f", 1042, 5432109.8765, 123456.25, 101.125);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_Format_ZelString);

void BM_Format_Snprintf(benchmark::State& state) {
    std::string s;
    for (auto _ : state) {
        char buffer[128];
        const int n = std::snprintf(buffer, sizeof buffer, "%d %.3f %.3f %.3f", 1042, 5432109.8765,
                                    123456.25, 101.125);
        s.assign(buffer, static_cast<size_t>(n));
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_Format_Snprintf);

// A fresh string per line, as callers usually write it.
void BM_FormatFresh_ZelString(benchmark::State& state) {
    for (auto _ : state) {
        CZelStringT<char> s;
        s.Format("%d %.3f %.3f %.3f", 1042, 5432109.8765, 123456.25, 101.125);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_FormatFresh_ZelString);

void BM_FormatFresh_Snprintf(benchmark::State& state) {
    for (auto _ : state) {
        char buffer[128];
        const int n = std::snprintf(buffer, sizeof buffer, "%d %.3f %.3f %.3f", 1042, 5432109.8765,
                                    123456.25, 101.125);
        std::string s(buffer, static_cast<size_t>(n));
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_FormatFresh_Snprintf);

void BM_Format_ZelString16(benchmark::State& state) {
    CZelStringT<unsigned short> s;
    const auto* fmt = reinterpret_cast<const unsigned short*>(u"%d %.3f %.3f %.3f");
    for (auto _ : state) {
        s.Format(fmt, 1042, 5432109.8765, 123456.25, 101.125);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_Format_ZelString16);

}  // namespace
