#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The TIN surfaces of a LandXML file (Surfaces/Surface/Definition surfType="TIN") as the file
// gives them, in metres, before they become the library's CTinSurface (buildTinSurface in
// Corridor.h).
namespace zel_landxml {

// A point of a surface: north, east and height in metres (converted from the file's unit).
struct SurfacePointRecord {
    double north = 0.0;
    double east = 0.0;
    double height = 0.0;
};

struct SurfaceRecord {
    std::string name;
    int line = 0;
    // Points with their ids as the file numbers them (sparse, any order).
    std::vector<std::int64_t> ids;
    std::vector<SurfacePointRecord> points;
    // Visible faces (i="1" faces are left out) by point id, each with its line in the file.
    std::vector<std::array<std::int64_t, 3>> faces;
    std::vector<int> faceLines;
    // Why the surface cannot be used ("line N: Element: what"); empty when it can. A broken
    // surface does not spoil the rest of the file: it is refused when it is asked for.
    std::string error;
};

// What `list` shows of a surface: the plane extent and height range of the points its faces
// use (metres), and its counts. empty: no face.
struct SurfaceSummary {
    std::size_t points = 0;
    std::size_t faces = 0;
    bool empty = true;
    double minNorth = 0.0, maxNorth = 0.0, minEast = 0.0, maxEast = 0.0;
    double minHeight = 0.0, maxHeight = 0.0;
};
SurfaceSummary summarizeSurface(const SurfaceRecord& surface);

}  // namespace zel_landxml
