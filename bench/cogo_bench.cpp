// Coordinate geometry: the geodetic inverse beside GeographicLib's on the same lines, the three
// coordinate solvers and the line-circle intersection they rest on.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "velmorutils/zelmath/cogo/PlaneCogo.h"
#include "velmorutils/zelmath/geodesy/GeodeticFunctions.h"

#ifdef VELMORUTILS_HAVE_GEOGRAPHICLIB
#include <GeographicLib/Geodesic.hpp>
#endif

namespace {

struct Line {
    double lat1, lon1, lat2, lon2;
};

// Lines of 10 m to 5000 km (log-uniform) from anywhere, in any direction; a sphere step is
// close enough to place the far end, since both solvers get the same endpoints.
const std::vector<Line>& lines() {
    static const std::vector<Line> all = [] {
        std::vector<Line> v;
        std::mt19937_64 gen(42);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (int i = 0; i < 1024; ++i) {
            const double lat1 = std::asin(2 * unit(gen) - 1) * 57.29577951308232;
            const double lon1 = 360 * unit(gen) - 180;
            const double s = 10 * std::pow(5e5, unit(gen));
            double lat2 = 0, lon2 = 0;
            Compute2DPointBLH(lat1, lon1, s, 360 * unit(gen), 0, &lat2, &lon2);
            lat2 = std::fmax(-89.9, std::fmin(89.9, lat2));
            v.push_back({lat1, lon1, lat2, std::remainder(lon2, 360.0)});
        }
        return v;
    }();
    return all;
}

void BM_Invers(benchmark::State& state) {
    const auto& ls = lines();
    size_t i = 0;
    for (auto _ : state) {
        const Line& l = ls[i++ & 1023];
        double faz, baz, dist, lambda;
        int iterations, longWay = 0, kind;
        invers(6378137.0, 298.257223563, l.lat1, l.lon1, l.lat2, l.lon2, faz, baz, dist, iterations,
               lambda, longWay, kind);
        benchmark::DoNotOptimize(dist);
        benchmark::DoNotOptimize(faz);
        benchmark::DoNotOptimize(baz);
    }
}
BENCHMARK(BM_Invers);

#ifdef VELMORUTILS_HAVE_GEOGRAPHICLIB
void BM_GeographicLibInverse(benchmark::State& state) {
    const auto& ls = lines();
    const GeographicLib::Geodesic& wgs = GeographicLib::Geodesic::WGS84();
    size_t i = 0;
    for (auto _ : state) {
        const Line& l = ls[i++ & 1023];
        double s12, azi1, azi2;
        wgs.Inverse(l.lat1, l.lon1, l.lat2, l.lon2, s12, azi1, azi2);
        benchmark::DoNotOptimize(s12);
        benchmark::DoNotOptimize(azi1);
        benchmark::DoNotOptimize(azi2);
    }
}
BENCHMARK(BM_GeographicLibInverse);
#endif

// A station among points a few hundred metres away, with exact readings to them.
struct Setup {
    double E[3], N[3], r[3], d[3];
};

const std::vector<Setup>& setups() {
    static const std::vector<Setup> all = [] {
        std::vector<Setup> v;
        std::mt19937_64 gen(7);
        std::uniform_real_distribution<double> coord(-500, 500);
        for (int i = 0; i < 1024; ++i) {
            Setup s;
            const double E = coord(gen), N = coord(gen);
            for (int k = 0; k < 3; ++k) {
                s.E[k] = coord(gen);
                s.N[k] = coord(gen);
                s.r[k] = GetRefAziPts(s.E[k] - E, s.N[k] - N);
                s.d[k] = HorizontalDistance(E, N, s.E[k], s.N[k]);
            }
            v.push_back(s);
        }
        return v;
    }();
    return all;
}

void BM_ComputeCoordsTwoDistances(benchmark::State& state) {
    const auto& ss = setups();
    size_t i = 0;
    for (auto _ : state) {
        const Setup& s = ss[i++ & 1023];
        double Ea, Na, Eb, Nb;
        int count;
        benchmark::DoNotOptimize(
            ComputeCoords(s.E[0], s.N[0], s.d[0], s.E[1], s.N[1], s.d[1], Ea, Na, Eb, Nb, count));
        benchmark::DoNotOptimize(Ea);
    }
}
BENCHMARK(BM_ComputeCoordsTwoDistances);

void BM_ComputeCoordsDistanceAndDirections(benchmark::State& state) {
    const auto& ss = setups();
    size_t i = 0;
    for (auto _ : state) {
        const Setup& s = ss[i++ & 1023];
        double Ea, Na, Eb, Nb;
        int count;
        benchmark::DoNotOptimize(ComputeCoords(s.E[0], s.N[0], s.r[0], s.E[1], s.N[1], s.r[1],
                                               s.d[1], Ea, Na, Eb, Nb, count));
        benchmark::DoNotOptimize(Ea);
    }
}
BENCHMARK(BM_ComputeCoordsDistanceAndDirections);

void BM_ComputeCoordsResection(benchmark::State& state) {
    const auto& ss = setups();
    size_t i = 0;
    for (auto _ : state) {
        const Setup& s = ss[i++ & 1023];
        double Ea, Na, Eb, Nb;
        int count;
        benchmark::DoNotOptimize(ComputeCoords(s.E[0], s.N[0], s.r[0], s.E[1], s.N[1], s.r[1],
                                               s.E[2], s.N[2], s.r[2], Ea, Na, Eb, Nb, count));
        benchmark::DoNotOptimize(Ea);
    }
}
BENCHMARK(BM_ComputeCoordsResection);

void BM_LineCircleIntersection(benchmark::State& state) {
    const auto& ss = setups();
    size_t i = 0;
    for (auto _ : state) {
        const Setup& s = ss[i++ & 1023];
        double a, b, c, A, B, C, E1, N1, E2, N2;
        ComputeCircleEqVars(s.E[0], s.N[0], s.d[0], a, b, c);
        ComputeEqVars(s.r[1], s.E[1], s.N[1], A, B, C);
        benchmark::DoNotOptimize(
            IntersectionCoordsOfLineAndCircle(a, b, c, A, B, C, E1, N1, E2, N2));
        benchmark::DoNotOptimize(E1);
    }
}
BENCHMARK(BM_LineCircleIntersection);

}  // namespace
