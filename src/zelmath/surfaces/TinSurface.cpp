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
    vertices_ = std::move(vertices);
    faces_ = std::move(faces);
    buildGrid();
    return true;
}

void CTinSurface::buildGrid() {
    minN_ = minE_ = minH_ = std::numeric_limits<double>::infinity();
    maxN_ = maxE_ = maxH_ = -std::numeric_limits<double>::infinity();
    double boxSum = 0;
    for (const auto& face : faces_) {
        double lo[2] = {vertices_[face[0]].north, vertices_[face[0]].east};
        double hi[2] = {lo[0], lo[1]};
        for (std::uint32_t v : face) {
            const TTinVertex& p = vertices_[v];
            lo[0] = std::min(lo[0], p.north), hi[0] = std::max(hi[0], p.north);
            lo[1] = std::min(lo[1], p.east), hi[1] = std::max(hi[1], p.east);
            minH_ = std::min(minH_, p.height), maxH_ = std::max(maxH_, p.height);
        }
        minN_ = std::min(minN_, lo[0]), maxN_ = std::max(maxN_, hi[0]);
        minE_ = std::min(minE_, lo[1]), maxE_ = std::max(maxE_, hi[1]);
        boxSum += std::max(hi[0] - lo[0], hi[1] - lo[1]);
    }
    // Cells of the mean triangle box, but never more cells than kCellsPerFace per triangle.
    const double spanN = maxN_ - minN_, spanE = maxE_ - minE_;
    const double sparse = std::sqrt(spanN * spanE / (kCellsPerFace * faces_.size()));
    cellSize_ = std::max({boxSum / faces_.size(), sparse, 1e-6});
    rows_ = static_cast<std::int64_t>(spanN / cellSize_) + 1;
    cols_ = static_cast<std::int64_t>(spanE / cellSize_) + 1;

    // Two passes over the triangles' cell ranges: count, then fill (compressed rows).
    cellStart_.assign(static_cast<std::size_t>(rows_ * cols_) + 1, 0);
    auto forCells = [&](const std::array<std::uint32_t, 3>& face, auto&& visit) {
        double lo[2] = {vertices_[face[0]].north, vertices_[face[0]].east};
        double hi[2] = {lo[0], lo[1]};
        for (std::uint32_t v : face) {
            lo[0] = std::min(lo[0], vertices_[v].north),
            hi[0] = std::max(hi[0], vertices_[v].north);
            lo[1] = std::min(lo[1], vertices_[v].east), hi[1] = std::max(hi[1], vertices_[v].east);
        }
        auto index = [&](double x, double origin, std::int64_t count) {
            const auto i = static_cast<std::int64_t>((x - origin) / cellSize_);
            return std::clamp<std::int64_t>(i, 0, count - 1);
        };
        const std::int64_t r0 = index(lo[0] - kEdgeSlack, minN_, rows_);
        const std::int64_t r1 = index(hi[0] + kEdgeSlack, minN_, rows_);
        const std::int64_t c0 = index(lo[1] - kEdgeSlack, minE_, cols_);
        const std::int64_t c1 = index(hi[1] + kEdgeSlack, minE_, cols_);
        for (std::int64_t r = r0; r <= r1; ++r) {
            for (std::int64_t c = c0; c <= c1; ++c)
                visit(static_cast<std::size_t>(r * cols_ + c));
        }
    };
    for (const auto& face : faces_)
        forCells(face, [&](std::size_t cell) { ++cellStart_[cell + 1]; });
    for (std::size_t i = 1; i < cellStart_.size(); ++i)
        cellStart_[i] += cellStart_[i - 1];
    cellFaces_.resize(cellStart_.back());
    std::vector<std::uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
    for (std::uint32_t f = 0; f < faces_.size(); ++f) {
        forCells(faces_[f], [&](std::size_t cell) { cellFaces_[next[cell]++] = f; });
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

bool CTinSurface::triangleHeight(std::uint32_t face, double north, double east,
                                 double& height) const {
    const TTinVertex* p[3] = {&vertices_[faces_[face][0]], &vertices_[faces_[face][1]],
                              &vertices_[faces_[face][2]]};
    const double area = cross(p[1]->east - p[0]->east, p[1]->north - p[0]->north,
                              p[2]->east - p[0]->east, p[2]->north - p[0]->north);
    double w[3];
    for (int i = 0; i < 3; ++i) {
        const TTinVertex& a = *p[(i + 1) % 3];
        const TTinVertex& b = *p[(i + 2) % 3];
        // Twice the signed area of the point with the edge opposite corner i, sign of the face.
        const double s = cross(b.east - a.east, b.north - a.north, east - a.east, north - a.north);
        const double signedS = area > 0 ? s : -s;
        if (signedS < 0 && signedS < -kEdgeSlack * std::hypot(b.east - a.east, b.north - a.north)) {
            return false;
        }
        w[i] = s / area;
    }
    height = w[0] * p[0]->height + w[1] * p[1]->height + w[2] * p[2]->height;
    return true;
}

bool CTinSurface::heightAt(double north, double east, double& height) const {
    if (faces_.empty() || !std::isfinite(north) || !std::isfinite(east)) return false;
    const std::int64_t cell = cellOf(north, east);
    if (cell < 0) return false;
    for (std::uint32_t i = cellStart_[cell]; i < cellStart_[cell + 1]; ++i) {
        if (triangleHeight(cellFaces_[i], north, east, height)) return true;
    }
    return false;
}

void CTinSurface::clipRay(std::uint32_t face, double n0, double e0, double dn, double de, double d0,
                          double d1, std::vector<TGroundPiece>& pieces) const {
    const TTinVertex* p[3] = {&vertices_[faces_[face][0]], &vertices_[faces_[face][1]],
                              &vertices_[faces_[face][2]]};
    const double area = cross(p[1]->east - p[0]->east, p[1]->north - p[0]->north,
                              p[2]->east - p[0]->east, p[2]->north - p[0]->north);
    const double sign = area > 0 ? 1.0 : -1.0;
    double lo = d0, hi = d1;
    for (int i = 0; i < 3 && lo < hi; ++i) {
        const TTinVertex& a = *p[(i + 1) % 3];
        const TTinVertex& b = *p[(i + 2) % 3];
        const double ex = b.east - a.east, ey = b.north - a.north;
        // Inside this edge where c0 + c1 * t >= -slack (t the distance along the ray).
        const double c0 = sign * cross(ex, ey, e0 - a.east, n0 - a.north);
        const double c1 = sign * cross(ex, ey, de, dn);
        const double slack = kEdgeSlack * std::hypot(ex, ey);
        if (std::abs(c1) < 1e-15) {
            if (c0 < -slack) return;
            continue;
        }
        const double t = (-slack - c0) / c1;
        if (c1 > 0) {
            lo = std::max(lo, t);
        } else {
            hi = std::min(hi, t);
        }
    }
    if (!(hi - lo > 1e-9)) return;
    auto heightOn = [&](double t) {
        const double n = n0 + t * dn, e = e0 + t * de;
        double w[3];
        for (int i = 0; i < 3; ++i) {
            const TTinVertex& a = *p[(i + 1) % 3];
            const TTinVertex& b = *p[(i + 2) % 3];
            w[i] = cross(b.east - a.east, b.north - a.north, e - a.east, n - a.north) / area;
        }
        return w[0] * p[0]->height + w[1] * p[1]->height + w[2] * p[2]->height;
    };
    pieces.push_back({lo, heightOn(lo), hi, heightOn(hi)});
}

void CTinSurface::profileAlong(double north0, double east0, double azimuthDeg, double d0, double d1,
                               std::vector<TGroundPiece>& pieces) const {
    pieces.clear();
    if (faces_.empty() || !(d0 < d1) || !std::isfinite(north0) || !std::isfinite(east0) ||
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
        candidates.insert(candidates.end(), cellFaces_.begin() + cellStart_[c],
                          cellFaces_.begin() + cellStart_[c + 1]);
        const int k = tMax[0] < tMax[1] ? 0 : 1;
        if (tMax[k] > hi) break;
        cell[k] += step[k];
        if (cell[k] < 0 || cell[k] >= count[k]) break;
        tMax[k] += tDelta[k];
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    for (std::uint32_t f : candidates)
        clipRay(f, north0, east0, dn, de, d0, d1, pieces);
    std::sort(pieces.begin(), pieces.end(),
              [](const TGroundPiece& a, const TGroundPiece& b) { return a.dFrom < b.dFrom; });
}

bool CTinSurface::extent(double& minNorth, double& minEast, double& maxNorth,
                         double& maxEast) const {
    if (faces_.empty()) return false;
    minNorth = minN_, minEast = minE_, maxNorth = maxN_, maxEast = maxE_;
    return true;
}

bool CTinSurface::heightRange(double& minHeight, double& maxHeight) const {
    if (faces_.empty()) return false;
    minHeight = minH_, maxHeight = maxH_;
    return true;
}

std::size_t CTinSurface::memoryBytes() const {
    return sizeof(*this) + vertices_.capacity() * sizeof(TTinVertex) +
           faces_.capacity() * sizeof(faces_[0]) + cellStart_.capacity() * sizeof(std::uint32_t) +
           cellFaces_.capacity() * sizeof(std::uint32_t);
}

}  // namespace zel_math
