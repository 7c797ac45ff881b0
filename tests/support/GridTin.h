#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <velmorutils/zelmath/surfaces/TinSurface.h>

// Triangulated test grounds: a square grid of cells, each split into two triangles, heights from
// a function of north and east. Inner vertices may be shaken (jitter, metres) so that triangles
// are not all alike; a ground with a fold keeps jitter 0 so the fold stays on grid lines.
namespace test_tins {

template <class Height>
zel_math::CTinSurface gridTin(double north0, double east0, int rows, int cols, double cell,
                              Height height, double jitter = 0.0, unsigned seed = 7) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> shake(-jitter, jitter);
    std::vector<zel_math::TTinVertex> v;
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= cols; ++c) {
            const bool inner = r > 0 && c > 0 && r < rows && c < cols;
            const double n = north0 + r * cell + (inner ? shake(rng) : 0.0);
            const double e = east0 + c * cell + (inner ? shake(rng) : 0.0);
            v.push_back({n, e, height(n, e)});
        }
    }
    std::vector<std::array<std::uint32_t, 3>> f;
    auto at = [&](int r, int c) { return static_cast<std::uint32_t>(r * (cols + 1) + c); };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            f.push_back({at(r, c), at(r, c + 1), at(r + 1, c + 1)});
            f.push_back({at(r, c), at(r + 1, c + 1), at(r + 1, c)});
        }
    }
    zel_math::CTinSurface tin;
    std::string error;
    tin.build(std::move(v), std::move(f), error);
    return tin;
}

}  // namespace test_tins
