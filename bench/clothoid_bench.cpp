// The clothoid by its Fresnel integrals against the truncated series it replaced (kept here as
// the reference, with the projection that went with it), on the same spirals in the same run:
// an ordinary road spiral (L 100 m, R 150 m, 0.33 rad), a loop ramp (1.25 rad) and a spiral
// turning 4 pi. Targets: a position costs at most twice the series, a projection at most 1.5
// times the old search.
#include <algorithm>
#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "velmorutils/velmorutils.h"

namespace {

constexpr int kSamples = 64;

// The series as it was: summed until a pass changes both sums by less than 1e-5, 24 passes at
// most.
void seriesPoint(double s, double L, double R, double& N, double& E) {
    const double t = s * s / (2.0 * R * L);
    double sumC = 1.0;
    double sinTerm = t / 3.0;
    double sumS = sinTerm;
    double sign = 1.0;
    for (int k = 1; k < 25; ++k) {
        sign = -sign;
        const double cosTerm = (4.0 * k - 1.0) * t / (2.0 * k * (4.0 * k + 1.0)) * sinTerm;
        sumC += sign * cosTerm;
        sinTerm = (4.0 * k + 1.0) * t / ((2.0 * k + 1.0) * (4.0 * k + 3.0)) * cosTerm;
        sumS += sign * sinTerm;
        if (std::fabs(cosTerm) < 1e-5 && std::fabs(sinTerm) < 1e-5) break;
    }
    N = s * sumC;
    E = s * sumS;
}

// The old projection on a tangent-to-curve spiral turning right: a probe search whose spacing
// halves down to 1e-5 m, then corrections on the osculating circle.
void seriesProjection(double L, double R, double N, double E, double& dist, double& len) {
    auto distAt = [&](double s) {
        double n = 0.0, e = 0.0;
        seriesPoint(s, L, R, n, e);
        return std::hypot(N - n, E - e);
    };
    double s = L / 2.0, h = L / 4.0, previous = 0.0;
    do {
        const double sPlus = std::min(s + h, L), sMinus = std::max(s - h, 0.0);
        const double dPlus = distAt(sPlus), dMinus = distAt(sMinus);
        s = dMinus < dPlus ? sMinus : sPlus;
        dist = std::min(dMinus, dPlus);
        h /= 2.0;
        if (std::fabs(s - previous) < 1e-5) break;
        previous = s;
    } while (h > 1e-5);
    if (s >= 1e-3 && L - s >= 1e-3) {
        for (int pass = 0; pass < 60; ++pass) {
            const double base = s - h;
            double n = 0.0, e = 0.0;
            seriesPoint(base, L, R, n, e);
            const double r = R * L / base;
            COrgAzCurveT<CCurveDataArc> circle;
            circle.get_data().SetElement(zel_math::kTwoPi * r, r, true);
            circle.setOrgAzDeg(n, e, zel_math::kDegPerRad * base * base / (2.0 * R * L));
            double circleDist = 0.0, a = 0.0;
            if (!circle.getShortestDistAndCurveLen(N, E, circleDist, a)) break;
            double phi = a / r;
            if (phi > zel_math::kPi) phi -= zel_math::kTwoPi;
            if (phi < -zel_math::kPi) phi += zel_math::kTwoPi;
            const double correction = phi * r;
            s = std::clamp(base + correction, 0.0, L);
            h /= 2.0;
            if (std::fabs(correction) <= 1e-5) break;
        }
        dist = distAt(s);
    }
    len = s;
}

struct Case {
    double L;
    double R;
};
// Ordinary road spiral, loop ramp, four pi.
constexpr Case kCases[] = {{100.0, 150.0}, {100.0, 40.0}, {500.0, 500.0 / (8.0 * zel_math::kPi)}};

std::vector<double> lengthsAlong(double total) {
    std::vector<double> s(kSamples);
    for (int i = 0; i < kSamples; ++i)
        s[i] = total * (i + 0.5) / kSamples;
    return s;
}

CCurveDataSpiral1R spiralOf(const Case& c) {
    CCurveDataSpiral1R sp;
    sp.setLenAndR(c.L, c.R, true, true);
    return sp;
}

// Points up to 15 m either side of the spiral.
void pointsNear(const CCurveDataSpiral1R& sp, std::vector<double>& pn, std::vector<double>& pe) {
    const std::vector<double> s = lengthsAlong(sp.getTotalLength());
    pn.resize(kSamples);
    pe.resize(kSamples);
    for (int k = 0; k < kSamples; ++k) {
        double n = 0, e = 0;
        sp.getPosAtLength(s[k], n, e);
        const double az = sp.GetAzimuth(s[k]) * zel_math::kRadPerDeg;
        const double off = 15.0 * std::sin(k * 1.7);
        pn[k] = n - off * std::sin(az);
        pe[k] = e + off * std::cos(az);
    }
}

void BM_FresnelPosition(benchmark::State& state) {
    const CCurveDataSpiral1R sp = spiralOf(kCases[state.range(0)]);
    const std::vector<double> s = lengthsAlong(sp.getTotalLength());
    int i = 0;
    double n = 0, e = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sp.getPosAtLength(s[i++ & (kSamples - 1)], n, e));
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
    }
}
// Today's call path around the series: the spiral's checks (valid, length in range, not a
// straight) before the sums, out of line as in the library.
[[gnu::noinline]] bool seriesPosAtLength(const CCurveDataSpiral1R& sp, double s, double& N,
                                         double& E) {
    if (!sp.isok() || !sp.getSimpleSpiral().isok()) return false;
    const double L = sp.getTotalLength(), R = sp.getFinalRadius();
    if (!(s >= 0.0 && s <= L)) return false;
    if (std::fabs(L) < 1e-12 || std::fabs(R) < 1e-12) return false;
    seriesPoint(s, L, R, N, E);
    return true;
}

void BM_SeriesPosition(benchmark::State& state) {
    const CCurveDataSpiral1R sp = spiralOf(kCases[state.range(0)]);
    const std::vector<double> s = lengthsAlong(sp.getTotalLength());
    int i = 0;
    double n = 0, e = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(seriesPosAtLength(sp, s[i++ & (kSamples - 1)], n, e));
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
    }
}
void BM_FresnelProjection(benchmark::State& state) {
    const CCurveDataSpiral1R sp = spiralOf(kCases[state.range(0)]);
    std::vector<double> pn, pe;
    pointsNear(sp, pn, pe);
    int i = 0;
    double dist = 0, len = 0;
    for (auto _ : state) {
        const int k = i++ & (kSamples - 1);
        benchmark::DoNotOptimize(sp.getShortestDistAndCurveLen(pn[k], pe[k], dist, len));
        benchmark::DoNotOptimize(len);
    }
}
void BM_SeriesProjection(benchmark::State& state) {
    const Case c = kCases[state.range(0)];
    std::vector<double> pn, pe;
    pointsNear(spiralOf(c), pn, pe);
    int i = 0;
    double dist = 0, len = 0;
    for (auto _ : state) {
        const int k = i++ & (kSamples - 1);
        seriesProjection(c.L, c.R, pn[k], pe[k], dist, len);
        benchmark::DoNotOptimize(len);
    }
}
BENCHMARK(BM_SeriesPosition)->DenseRange(0, 2);
BENCHMARK(BM_FresnelPosition)->DenseRange(0, 2);
BENCHMARK(BM_SeriesProjection)->DenseRange(0, 2);
BENCHMARK(BM_FresnelProjection)->DenseRange(0, 2);

}  // namespace
