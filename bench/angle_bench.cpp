#include <benchmark/benchmark.h>

#include <cmath>

#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/curves/CurveRelations.h"

// The angle is on every hot path of the alignments: set, then rotate a local position.
static void BM_AngleSetDegAndRotate(benchmark::State& state) {
    double deg = 0.0;
    for (auto _ : state) {
        CMathAngle a(deg);
        double n = 12.5, e = -3.25;
        a.getRotated(n, e);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
        deg = deg > 720.0 ? -720.0 : deg + 0.37;  // stays within two turns, as real angles do
    }
}
BENCHMARK(BM_AngleSetDegAndRotate);

// The same work with plain sin and cos, for comparison.
static void BM_PlainSinCosRotate(benchmark::State& state) {
    double deg = 0.0;
    for (auto _ : state) {
        const double r = deg * 0.017453292519943295;
        const double c = std::cos(r), s = std::sin(r);
        double n = 12.5, e = -3.25;
        const double n2 = c * n - s * e;
        e = s * n + c * e;
        benchmark::DoNotOptimize(n2);
        benchmark::DoNotOptimize(e);
        deg = deg > 720.0 ? -720.0 : deg + 0.37;
    }
}
BENCHMARK(BM_PlainSinCosRotate);

static void BM_AngleAzimuthAndMove(benchmark::State& state) {
    double dn = 1.0;
    for (auto _ : state) {
        CMathAngle a;
        a.setAz(dn, 2.0);
        C2dPos out;
        a.getPosAcross(3.5, C2dPos(1000.0, 2000.0), out);
        benchmark::DoNotOptimize(out);
        dn += 0.01;
    }
}
BENCHMARK(BM_AngleAzimuthAndMove);

static void BM_CurveRelationsAllDisplayKinds(benchmark::State& state) {
    double L = 120.0;
    for (auto _ : state) {
        double sum = 0.0;
        for (int k = aldDelta; k <= aldExternal; ++k)
            sum += getDisplayValueFromLength(L, 450.0, static_cast<AlntElementLengthDisplay>(k));
        benchmark::DoNotOptimize(sum);
        L += 0.001;
    }
}
BENCHMARK(BM_CurveRelationsAllDisplayKinds);

static void BM_RadiusFromDegreeOfChord(benchmark::State& state) {
    double D = 1.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetRadiusFromDegOfChord(D));
        D += 1e-6;
    }
}
BENCHMARK(BM_RadiusFromDegreeOfChord);
