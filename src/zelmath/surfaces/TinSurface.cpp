#include "velmorutils/zelmath/surfaces/TinSurface.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace zel_math {

namespace {

// Distance (metres) by which a point may lie outside a triangle and still be on it: points on a
// shared edge belong to both neighbours, and rounding must not open a crack between them.
constexpr double kEdgeSlack = 1e-9;
// A triangle whose plan height is below this part of its longest side has no area.
constexpr double kFlatRatio = 1e-9;
// A grid never holds more cells than this many per triangle (sparse surfaces over a wide box).
constexpr double kCellsPerFace = 2.0;

double cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

}  // namespace

bool CTinSurface::build(std::vector<TTinVertex> vertices,
                        std::vector<std::array<std::uint32_t, 3>> faces, std::string& error,
                        std::size_t* badFace) {
    *this = CTinSurface();
    if (faces.empty()) {
        error = "the surface has no faces";
        return false;
    }
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const TTinVertex& v = vertices[i];
        if (!std::isfinite(v.north) || !std::isfinite(v.east) || !std::isfinite(v.height)) {
            error = "vertex " + std::to_string(i) + " is not a finite north, east and height";
            return false;
        }
    }
    for (std::size_t f = 0; f < faces.size(); ++f) {
        const auto& face = faces[f];
        auto refuse = [&](const std::string& why) {
            error = "face " + std::to_string(f) + ": " + why;
            if (badFace) *badFace = f;
            return false;
        };
        for (std::uint32_t v : face) {
            if (v >= vertices.size()) {
                return refuse("vertex " + std::to_string(v) + " does not exist (" +
                              std::to_string(vertices.size()) + " vertices)");
            }
        }
        const TTinVertex& a = vertices[face[0]];
        const TTinVertex& b = vertices[face[1]];
        const TTinVertex& c = vertices[face[2]];
        const double twiceArea =
            std::abs(cross(b.east - a.east, b.north - a.north, c.east - a.east, c.north - a.north));
        const double longest = std::max({std::hypot(b.east - a.east, b.north - a.north),
                                         std::hypot(c.east - b.east, c.north - b.north),
                                         std::hypot(a.east - c.east, a.north - c.north)});
        // Its plan height over the longest side is twiceArea / longest.
        if (!(twiceArea > kFlatRatio * longest * longest)) {
            return refuse("the triangle has no area in plan (its corners are on one line)");
        }
    }
    vertexCount_ = vertices.size();
    buildGrid(vertices, faces);
    return true;
}

void CTinSurface::buildGrid(const std::vector<TTinVertex>& vertices,
                            const std::vector<std::array<std::uint32_t, 3>>& faces) {
    minN_ = minE_ = minH_ = std::numeric_limits<double>::infinity();
    maxN_ = maxE_ = maxH_ = -std::numeric_limits<double>::infinity();
    double boxSum = 0;
    tris_.resize(faces.size());
    for (std::size_t f = 0; f < faces.size(); ++f) {
        Tri& t = tris_[f];
        for (int k = 0; k < 3; ++k) {
            const TTinVertex& p = vertices[faces[f][k]];
            t.n[k] = p.north, t.e[k] = p.east, t.h[k] = p.height;
            minH_ = std::min(minH_, p.height), maxH_ = std::max(maxH_, p.height);
        }
        const auto [n0, n1] = std::minmax({t.n[0], t.n[1], t.n[2]});
        const auto [e0, e1] = std::minmax({t.e[0], t.e[1], t.e[2]});
        minN_ = std::min(minN_, n0), maxN_ = std::max(maxN_, n1);
        minE_ = std::min(minE_, e0), maxE_ = std::max(maxE_, e1);
        boxSum += std::max(n1 - n0, e1 - e0);
    }
    // Cells of the mean triangle box, but never more cells than kCellsPerFace per triangle.
    const double spanN = maxN_ - minN_, spanE = maxE_ - minE_;
    const double sparse = std::sqrt(spanN * spanE / (kCellsPerFace * faces.size()));
    cellSize_ = std::max({boxSum / faces.size(), sparse, 1e-6});
    rows_ = static_cast<std::int64_t>(spanN / cellSize_) + 1;
    cols_ = static_cast<std::int64_t>(spanE / cellSize_) + 1;
    auto index = [&](double x, double origin, std::int64_t count) {
        const auto i = static_cast<std::int64_t>((x - origin) / cellSize_);
        return std::clamp<std::int64_t>(i, 0, count - 1);
    };
    // Triangles in the order of their centre's cell: a cell's triangles then lie together.
    std::vector<std::pair<std::int64_t, std::uint32_t>> order(tris_.size());
    for (std::uint32_t f = 0; f < tris_.size(); ++f) {
        const Tri& t = tris_[f];
        const double n = (t.n[0] + t.n[1] + t.n[2]) / 3, e = (t.e[0] + t.e[1] + t.e[2]) / 3;
        order[f] = {index(n, minN_, rows_) * cols_ + index(e, minE_, cols_), f};
    }
    std::sort(order.begin(), order.end());
    std::vector<Tri> sorted(tris_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        sorted[i] = tris_[order[i].second];
    tris_.swap(sorted);

    // Two passes over the triangles' cell ranges: count, then fill (compressed rows).
    cellStart_.assign(static_cast<std::size_t>(rows_ * cols_) + 1, 0);
    auto forCells = [&](const Tri& t, auto&& visit) {
        const auto [n0, n1] = std::minmax({t.n[0], t.n[1], t.n[2]});
        const auto [e0, e1] = std::minmax({t.e[0], t.e[1], t.e[2]});
        const std::int64_t r0 = index(n0 - kEdgeSlack, minN_, rows_);
        const std::int64_t r1 = index(n1 + kEdgeSlack, minN_, rows_);
        const std::int64_t c0 = index(e0 - kEdgeSlack, minE_, cols_);
        const std::int64_t c1 = index(e1 + kEdgeSlack, minE_, cols_);
        for (std::int64_t r = r0; r <= r1; ++r) {
            for (std::int64_t c = c0; c <= c1; ++c)
                visit(static_cast<std::size_t>(r * cols_ + c));
        }
    };
    for (const Tri& t : tris_)
        forCells(t, [&](std::size_t cell) { ++cellStart_[cell + 1]; });
    for (std::size_t i = 1; i < cellStart_.size(); ++i)
        cellStart_[i] += cellStart_[i - 1];
    cellTris_.resize(cellStart_.back());
    std::vector<std::uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
    for (std::uint32_t f = 0; f < tris_.size(); ++f) {
        forCells(tris_[f], [&](std::size_t cell) { cellTris_[next[cell]++] = f; });
    }
}

std::int64_t CTinSurface::cellOf(double north, double east) const {
    const double r = std::floor((north - minN_) / cellSize_);
    const double c = std::floor((east - minE_) / cellSize_);
    // A point on the far edge of the box (or a hair beyond it) is in the last cell.
    const double slack = kEdgeSlack / cellSize_;
    auto fit = [&](double i, double x, double origin, std::int64_t count) -> std::int64_t {
        if (i >= 0 && i < static_cast<double>(count)) return static_cast<std::int64_t>(i);
        const double cells = (x - origin) / cellSize_;
        if (cells >= -slack && cells < 0) return 0;
        if (cells >= static_cast<double>(count) && cells <= static_cast<double>(count) + slack) {
            return count - 1;
        }
        return -1;
    };
    const std::int64_t ri = fit(r, north, minN_, rows_);
    const std::int64_t ci = fit(c, east, minE_, cols_);
    if (ri < 0 || ci < 0) return -1;
    return ri * cols_ + ci;
}

bool CTinSurface::triangleHeight(const Tri& t, double north, double east, double& height) const {
    const double area = cross(t.e[1] - t.e[0], t.n[1] - t.n[0], t.e[2] - t.e[0], t.n[2] - t.n[0]);
    const double sign = area > 0 ? 1.0 : -1.0;
    double w[3];
    for (int i = 0; i < 3; ++i) {
        const int a = (i + 1) % 3, b = (i + 2) % 3;
        const double ex = t.e[b] - t.e[a], ey = t.n[b] - t.n[a];
        // Twice the signed area of the point with the edge opposite corner i, sign of the face:
        // its distance inside that edge times the edge's length (|ex| + |ey| bounds the length,
        // so the slack is 1e-9 to 1.4e-9 m).
        const double s = cross(ex, ey, east - t.e[a], north - t.n[a]);
        if (sign * s < -kEdgeSlack * (std::abs(ex) + std::abs(ey))) return false;
        w[i] = s / area;
    }
    height = w[0] * t.h[0] + w[1] * t.h[1] + w[2] * t.h[2];
    return true;
}

bool CTinSurface::heightAt(double north, double east, double& height) const {
    if (tris_.empty() || !std::isfinite(north) || !std::isfinite(east)) return false;
    const std::int64_t cell = cellOf(north, east);
    if (cell < 0) return false;
    const std::uint32_t begin = cellStart_[cell], end = cellStart_[cell + 1];
    // Ask for every triangle of the cell at once: their reads then overlap instead of waiting
    // for one another (a surface of a million triangles does not fit in the caches).
    // A triangle's 72 bytes may straddle two cache lines.
    for (std::uint32_t i = begin; i < end; ++i) {
        const char* at = reinterpret_cast<const char*>(&tris_[cellTris_[i]]);
        __builtin_prefetch(at);
        __builtin_prefetch(at + sizeof(Tri) - 1);
    }
    for (std::uint32_t i = begin; i < end; ++i) {
        if (triangleHeight(tris_[cellTris_[i]], north, east, height)) return true;
    }
    return false;
}

void CTinSurface::clipRay(const Tri& t, double n0, double e0, double dn, double de, double d0,
                          double d1, std::vector<TGroundPiece>& pieces) const {
    const double area = cross(t.e[1] - t.e[0], t.n[1] - t.n[0], t.e[2] - t.e[0], t.n[2] - t.n[0]);
    const double sign = area > 0 ? 1.0 : -1.0;
    double lo = d0, hi = d1;
    for (int i = 0; i < 3 && lo < hi; ++i) {
        const int a = (i + 1) % 3, b = (i + 2) % 3;
        const double ex = t.e[b] - t.e[a], ey = t.n[b] - t.n[a];
        // Inside this edge where c0 + c1 * d >= -slack (d the distance along the ray).
        const double c0 = sign * cross(ex, ey, e0 - t.e[a], n0 - t.n[a]);
        const double c1 = sign * cross(ex, ey, de, dn);
        const double slack = kEdgeSlack * (std::abs(ex) + std::abs(ey));
        if (std::abs(c1) < 1e-15) {
            if (c0 < -slack) return;
            continue;
        }
        const double d = (-slack - c0) / c1;
        if (c1 > 0) {
            lo = std::max(lo, d);
        } else {
            hi = std::min(hi, d);
        }
    }
    if (!(hi - lo > 1e-9)) return;
    auto heightOn = [&](double d) {
        const double n = n0 + d * dn, e = e0 + d * de;
        double h = 0;
        for (int i = 0; i < 3; ++i) {
            const int a = (i + 1) % 3, b = (i + 2) % 3;
            h += cross(t.e[b] - t.e[a], t.n[b] - t.n[a], e - t.e[a], n - t.n[a]) / area * t.h[i];
        }
        return h;
    };
    pieces.push_back({lo, heightOn(lo), hi, heightOn(hi)});
}

void CTinSurface::profileAlong(double north0, double east0, double azimuthDeg, double d0, double d1,
                               std::vector<TGroundPiece>& pieces) const {
    pieces.clear();
    if (tris_.empty() || !(d0 < d1) || !std::isfinite(north0) || !std::isfinite(east0) ||
        !std::isfinite(azimuthDeg) || !std::isfinite(d0) || !std::isfinite(d1)) {
        return;
    }
    const double az = azimuthDeg * 0.017453292519943295;
    const double dn = std::cos(az), de = std::sin(az);
    // Clip the ray to the grid's box, a slack wide.
    double lo = d0, hi = d1;
    const double boxLo[2] = {minN_ - kEdgeSlack, minE_ - kEdgeSlack};
    const double boxHi[2] = {minN_ + rows_ * cellSize_, minE_ + cols_ * cellSize_};
    const double org[2] = {north0, east0}, dir[2] = {dn, de};
    for (int k = 0; k < 2; ++k) {
        if (std::abs(dir[k]) < 1e-15) {
            if (org[k] < boxLo[k] || org[k] > boxHi[k]) return;
            continue;
        }
        double t0 = (boxLo[k] - org[k]) / dir[k], t1 = (boxHi[k] - org[k]) / dir[k];
        if (t0 > t1) std::swap(t0, t1);
        lo = std::max(lo, t0), hi = std::min(hi, t1);
    }
    if (!(lo <= hi)) return;

    // Walk the cells the ray crosses, in order (Amanatides and Woo), gathering their triangles.
    std::vector<std::uint32_t> candidates;
    double cellPos[2] = {(north0 + lo * dn - minN_) / cellSize_,
                         (east0 + lo * de - minE_) / cellSize_};
    const std::int64_t count[2] = {rows_, cols_};
    std::int64_t cell[2], step[2];
    double tMax[2], tDelta[2];
    for (int k = 0; k < 2; ++k) {
        cell[k] = std::clamp<std::int64_t>(static_cast<std::int64_t>(std::floor(cellPos[k])), 0,
                                           count[k] - 1);
        step[k] = dir[k] > 0 ? 1 : -1;
        if (std::abs(dir[k]) < 1e-15) {
            tMax[k] = tDelta[k] = std::numeric_limits<double>::infinity();
            continue;
        }
        const double boundary =
            dir[k] > 0 ? static_cast<double>(cell[k] + 1) : static_cast<double>(cell[k]);
        tMax[k] = lo + (boundary - cellPos[k]) * cellSize_ / dir[k];
        tDelta[k] = cellSize_ / std::abs(dir[k]);
    }
    for (;;) {
        const std::size_t c = static_cast<std::size_t>(cell[0] * cols_ + cell[1]);
        candidates.insert(candidates.end(), cellTris_.begin() + cellStart_[c],
                          cellTris_.begin() + cellStart_[c + 1]);
        const int k = tMax[0] < tMax[1] ? 0 : 1;
        if (tMax[k] > hi) break;
        cell[k] += step[k];
        if (cell[k] < 0 || cell[k] >= count[k]) break;
        tMax[k] += tDelta[k];
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    for (std::uint32_t f : candidates)
        clipRay(tris_[f], north0, east0, dn, de, d0, d1, pieces);
    std::sort(pieces.begin(), pieces.end(),
              [](const TGroundPiece& a, const TGroundPiece& b) { return a.dFrom < b.dFrom; });
}

bool CTinSurface::extent(double& minNorth, double& minEast, double& maxNorth,
                         double& maxEast) const {
    if (tris_.empty()) return false;
    minNorth = minN_, minEast = minE_, maxNorth = maxN_, maxEast = maxE_;
    return true;
}

bool CTinSurface::heightRange(double& minHeight, double& maxHeight) const {
    if (tris_.empty()) return false;
    minHeight = minH_, maxHeight = maxH_;
    return true;
}

std::size_t CTinSurface::memoryBytes() const {
    return sizeof(*this) + tris_.capacity() * sizeof(Tri) +
           cellStart_.capacity() * sizeof(std::uint32_t) +
           cellTris_.capacity() * sizeof(std::uint32_t);
}

}  // namespace zel_math
