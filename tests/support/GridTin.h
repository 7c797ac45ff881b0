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

struct GridMesh {
    std::vector<zel_math::TTinVertex> vertices;
    std::vector<std::array<std::uint32_t, 3>> faces;
};

template <class Height>
GridMesh gridMesh(double north0, double east0, int rows, int cols, double cell, Height height,
                  double jitter = 0.0, unsigned seed = 7) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> shake(-jitter, jitter);
    GridMesh m;
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= cols; ++c) {
            const bool inner = r > 0 && c > 0 && r < rows && c < cols;
            const double n = north0 + r * cell + (inner ? shake(rng) : 0.0);
            const double e = east0 + c * cell + (inner ? shake(rng) : 0.0);
            m.vertices.push_back({n, e, height(n, e)});
        }
    }
    auto at = [&](int r, int c) { return static_cast<std::uint32_t>(r * (cols + 1) + c); };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            m.faces.push_back({at(r, c), at(r, c + 1), at(r + 1, c + 1)});
            m.faces.push_back({at(r, c), at(r + 1, c + 1), at(r + 1, c)});
        }
    }
    return m;
}

template <class Height>
zel_math::CTinSurface gridTin(double north0, double east0, int rows, int cols, double cell,
                              Height height, double jitter = 0.0, unsigned seed = 7) {
    GridMesh m = gridMesh(north0, east0, rows, cols, cell, height, jitter, seed);
    zel_math::CTinSurface tin;
    std::string error;
    tin.build(std::move(m.vertices), std::move(m.faces), error);
    return tin;
}

}  // namespace test_tins
