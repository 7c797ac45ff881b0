// Position, azimuth and projection on each kind of curve. The plain sine-and-cosine pair is the
// yardstick: an arc position costs about that, a spiral position a short series on top.
#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "velmorutils/velmorutils.h"

namespace {

constexpr int kSamples = 64;

std::vector<double> lengthsAlong(double total) {
    std::vector<double> s(kSamples);
    for (int i = 0; i < kSamples; ++i)
        s[i] = total * (i + 0.5) / kSamples;
    return s;
}

CCurveDataSegment makeSegment() {
    CCurveDataSegment seg;
    seg.setFinalNE(80, 60);
    return seg;
}

CCurveDataArc makeArc() {
    CCurveDataArc arc;
    arc.SetElement(150, 250, true);
    return arc;
}

CCurveDataSpiral makeSpiral(bool tssc) {
    CCurveDataSpiral sp;
    sp.setLenAndR(100, 150, true, tssc);
    return sp;
}

CCurveDataSpiral makeCompound() {
    CCurveDataSpiral sp;
    sp.setLenAndR(60.0, 400.0, 150.0, true);
    return sp;
}

CCurveIp makeIp() {
    CCurveIp ip;
    ip.setIp(500, 200, 60, 250, 80);
    ip.setOrg(0, 0);
    ip.onSetNextIp(700, 900);
    return ip;
}

void BM_SinCosYardstick(benchmark::State& state) {
    const std::vector<double> s = lengthsAlong(1.5);
    int i = 0;
    for (auto _ : state) {
        const double a = s[i++ & (kSamples - 1)];
        benchmark::DoNotOptimize(std::sin(a));
        benchmark::DoNotOptimize(std::cos(a));
    }
}
BENCHMARK(BM_SinCosYardstick);

template <class Curve>
void positions(benchmark::State& state, const Curve& c) {
    const std::vector<double> s = lengthsAlong(c.getTotalLength());
    int i = 0;
    double n = 0, e = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.getPosAtLength(s[i++ & (kSamples - 1)], n, e));
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
    }
}

template <class Curve>
void azimuths(benchmark::State& state, const Curve& c) {
    const std::vector<double> s = lengthsAlong(c.getTotalLength());
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(c.GetAzimuth(s[i++ & (kSamples - 1)]));
}

// Points scattered up to 15 m either side of the curve.
template <class Curve>
void projections(benchmark::State& state, const Curve& c) {
    const std::vector<double> s = lengthsAlong(c.getTotalLength());
    std::vector<double> pn(kSamples), pe(kSamples);
    for (int k = 0; k < kSamples; ++k) {
        double n = 0, e = 0;
        c.getPosAtLength(s[k], n, e);
        const double az = c.GetAzimuth(s[k]) * zel_math::kRadPerDeg;
        const double off = 15.0 * std::sin(k * 1.7);
        pn[k] = n - off * std::sin(az);
        pe[k] = e + off * std::cos(az);
    }
    int i = 0;
    double dist = 0, len = 0;
    for (auto _ : state) {
        const int k = i++ & (kSamples - 1);
        benchmark::DoNotOptimize(c.getShortestDistAndCurveLen(pn[k], pe[k], dist, len));
        benchmark::DoNotOptimize(len);
    }
}

void BM_SegmentPosition(benchmark::State& st) {
    positions(st, makeSegment());
}
void BM_ArcPosition(benchmark::State& st) {
    positions(st, makeArc());
}
void BM_SpiralTsScPosition(benchmark::State& st) {
    positions(st, makeSpiral(true));
}
void BM_SpiralCsStPosition(benchmark::State& st) {
    positions(st, makeSpiral(false));
}
void BM_SpiralCompoundPosition(benchmark::State& st) {
    positions(st, makeCompound());
}
void BM_IpCurvePosition(benchmark::State& st) {
    positions(st, makeIp());
}
BENCHMARK(BM_SegmentPosition);
BENCHMARK(BM_ArcPosition);
BENCHMARK(BM_SpiralTsScPosition);
BENCHMARK(BM_SpiralCsStPosition);
BENCHMARK(BM_SpiralCompoundPosition);
BENCHMARK(BM_IpCurvePosition);

void BM_SegmentAzimuth(benchmark::State& st) {
    azimuths(st, makeSegment());
}
void BM_ArcAzimuth(benchmark::State& st) {
    azimuths(st, makeArc());
}
void BM_SpiralTsScAzimuth(benchmark::State& st) {
    azimuths(st, makeSpiral(true));
}
void BM_SpiralCsStAzimuth(benchmark::State& st) {
    azimuths(st, makeSpiral(false));
}
void BM_SpiralCompoundAzimuth(benchmark::State& st) {
    azimuths(st, makeCompound());
}
void BM_IpCurveAzimuth(benchmark::State& st) {
    azimuths(st, makeIp());
}
BENCHMARK(BM_SegmentAzimuth);
BENCHMARK(BM_ArcAzimuth);
BENCHMARK(BM_SpiralTsScAzimuth);
BENCHMARK(BM_SpiralCsStAzimuth);
BENCHMARK(BM_SpiralCompoundAzimuth);
BENCHMARK(BM_IpCurveAzimuth);

void BM_SegmentProjection(benchmark::State& st) {
    projections(st, makeSegment());
}
void BM_ArcProjection(benchmark::State& st) {
    projections(st, makeArc());
}
void BM_SpiralTsScProjection(benchmark::State& st) {
    projections(st, makeSpiral(true));
}
void BM_SpiralCsStProjection(benchmark::State& st) {
    projections(st, makeSpiral(false));
}
void BM_SpiralCompoundProjection(benchmark::State& st) {
    projections(st, makeCompound());
}
void BM_IpCurveProjection(benchmark::State& st) {
    projections(st, makeIp());
}
BENCHMARK(BM_SegmentProjection);
BENCHMARK(BM_ArcProjection);
BENCHMARK(BM_SpiralTsScProjection);
BENCHMARK(BM_SpiralCsStProjection);
BENCHMARK(BM_SpiralCompoundProjection);
BENCHMARK(BM_IpCurveProjection);

}  // namespace
