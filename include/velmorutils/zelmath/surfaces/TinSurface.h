#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "velmorutils/platform/Export.h"

namespace zel_math {

/// A point of a triangulated surface: plane position north, east and its height, all in metres.
struct TTinVertex {
    double north;
    double east;
    double height;
};

/// One straight piece of ground along a plan ray, where the ray crosses one triangle. Distances
/// are metres along the ray from its origin (negative behind it), heights in metres; the ground
/// runs straight from (dFrom, hFrom) to (dTo, hTo), dFrom <= dTo.
struct TGroundPiece {
    double dFrom;
    double hFrom;
    double dTo;
    double hTo;
};

/// A triangulated irregular network: the ground (or a finished grade) as planar triangles over
/// the plane, north/east/height in metres. Built once, then immutable: const queries are safe
/// from several threads at once.
///
/// Lookups go through a uniform grid over the triangles' plan boxes (cells of about the mean
/// triangle box, each cell listing the triangles whose box overlaps it). Surfaces from survey
/// and design software have triangles of similar size over their area, so a point query reads
/// one cell of a handful of triangles and a ray walks the cells it crosses in order; a packed
/// R-tree would spend a tree descent per query for no gain on such data.
class VELMORUTILS_API CTinSurface {
public:
    CTinSurface() = default;

    /// Takes the vertices and the faces (three indexes into vertices each, any winding).
    /// Refused, with error naming the face (0-based index, also put in *badFace) and the
    /// surface left empty: a face naming a vertex that does not exist, a face whose plan area is
    /// zero (its plan height below 1e-9 of its longest side: collinear or repeated corners), a
    /// vertex that is not finite (*badFace then untouched, error names the vertex). No faces at
    /// all is refused too.
    bool build(std::vector<TTinVertex> vertices, std::vector<std::array<std::uint32_t, 3>> faces,
               std::string& error, std::size_t* badFace = nullptr);

    /// The surface's height (metres) under the plan point (north, east; metres): the plane of
    /// the triangle holding it (edges and corners included to 1e-9 m). False, height unchanged,
    /// where no triangle lies under the point: outside the surface, in holes, on an empty surface.
    bool heightAt(double north, double east, double& height) const;

    /// The ground under the plan ray from (north0, east0) at azimuthDeg (degrees clockwise from
    /// north) between distances d0 < d1 (metres): one piece per triangle crossed, in order of
    /// dFrom, clipped to [d0, d1]. Pieces of touching triangles meet end to end; gaps are places
    /// with no ground. pieces is cleared first.
    void profileAlong(double north0, double east0, double azimuthDeg, double d0, double d1,
                      std::vector<TGroundPiece>& pieces) const;

    bool empty() const { return tris_.empty(); }
    std::size_t vertexCount() const { return vertexCount_; }
    std::size_t triangleCount() const { return tris_.size(); }
    /// Plan extent of the vertices that faces use, metres; false on an empty surface.
    bool extent(double& minNorth, double& minEast, double& maxNorth, double& maxEast) const;
    /// Lowest and highest height of the vertices that faces use, metres; false when empty.
    bool heightRange(double& minHeight, double& maxHeight) const;
    /// Bytes held by the surface and its index (for the memory budget of large surfaces).
    std::size_t memoryBytes() const;

private:
    // A triangle's corners, kept together so that a query reads one place per triangle.
    struct Tri {
        double n[3];
        double e[3];
        double h[3];
    };
    bool triangleHeight(const Tri& t, double north, double east, double& height) const;
    void clipRay(const Tri& t, double n0, double e0, double dn, double de, double d0, double d1,
                 std::vector<TGroundPiece>& pieces) const;
    void buildGrid(const std::vector<TTinVertex>& vertices,
                   const std::vector<std::array<std::uint32_t, 3>>& faces);
    std::int64_t cellOf(double north, double east) const;

    std::size_t vertexCount_ = 0;
    // Triangles in the order of the grid cell their centre lies in (row by row), so that the
    // triangles of one cell lie together in memory.
    std::vector<Tri> tris_;
    double minN_ = 0, minE_ = 0, maxN_ = 0, maxE_ = 0, minH_ = 0, maxH_ = 0;
    // Grid: cellSize_ metres square, rows_ x cols_ cells from (minN_, minE_); cellStart_ has
    // rows_*cols_+1 offsets into cellTris_ (the triangles whose plan box meets each cell).
    double cellSize_ = 1;
    std::int64_t rows_ = 0, cols_ = 0;
    std::vector<std::uint32_t> cellStart_;
    std::vector<std::uint32_t> cellTris_;
};

}  // namespace zel_math
