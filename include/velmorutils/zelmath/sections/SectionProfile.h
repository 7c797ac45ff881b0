#pragma once

#include <string>
#include <vector>

#include "velmorutils/platform/Export.h"

namespace zel_math {

/// A point of a road cross section: offset from the centre line in metres, positive to the right
/// of increasing chainage; height in metres (absolute, the alignment's height datum); the design
/// program's point code ("ETW", "lane", "Hinge_Point"), empty when it has none.
struct TSectionPoint {
    double offset;
    double height;
    std::string code;
};

/// What a side of the road has beyond its finished surface: where the side slope starts, which
/// slopes it may take, and the design program's own daylight point when the section has one.
struct TSectionSide {
    /// Index into the profile's points of the hinge (the edge of the formation where the side
    /// slope starts); -1 when the side has no points.
    int hinge = -1;
    /// Index of the design's own daylight point (where its side slope met its ground); -1 none.
    int daylight = -1;
    /// Side slopes as horizontal run per unit of height (2.0 is 2:1); 0 where the side has none.
    double cutHV = 0;
    double fillHV = 0;
    /// A ditch at the foot of a cut, metres: from the hinge the ditch's inner side falls
    /// ditchDepth over ditchWidth outwards, and the cut slope rises from that ditch bottom.
    /// 0 width: no ditch.
    double ditchWidth = 0;
    double ditchDepth = 0;
};

/// The finished surface of the road at one chainage (metres, internal chainage of the
/// alignment), its points ordered left to right by offset. Equal offsets are vertical faces
/// (a curb): there the points run in the order the surface is walked, left to right.
struct TSectionProfile {
    double chainage = 0;
    std::vector<TSectionPoint> points;
    TSectionSide left;
    TSectionSide right;
};

/// Codes that mark a hinge, compared without regard to case: "hinge", or a code starting with
/// "hinge" ("Hinge_Point", "HingeCut", "hinge_fill"). Daylight codes: a code starting with
/// "daylight" ("Daylight", "Daylight_Cut") or equal to "DL" or "catch".
VELMORUTILS_API bool isHingeCode(const std::string& code);
VELMORUTILS_API bool isDaylightCode(const std::string& code);

/// Fills left and right of a profile from its points and codes: on each side of offset 0 the
/// outermost point coded as a hinge, else the point just inside the outermost daylight-coded
/// point, else the outermost point (where the finished surface ends and the side slope begins).
/// The daylight is the outermost daylight-coded point, else (when the hinge was coded and points
/// lie beyond it) the outermost point. The file's own slope, hinge to daylight, becomes the cut
/// slope (daylight above the hinge) or the fill slope (below); a level hinge-to-daylight gives
/// none. A side with no point beyond offset 0 keeps hinge -1.
VELMORUTILS_API void findSectionSides(TSectionProfile& profile);

/// The height (metres) of the finished surface at an offset (metres, right positive): straight
/// between neighbouring points; at a vertical face the upper point. False outside the first and
/// last point (1e-9 m beyond them still counts). code receives the code of a point within 1 mm
/// of the offset, else the code of the piece's outer point (away from offset 0), which is how a
/// template names the segment ending there.
VELMORUTILS_API bool sectionHeightAt(const TSectionProfile& profile, double offset, double& height,
                                     std::string* code = nullptr);

/// The upper boundary of several design surfaces of one section (each a polyline of points in
/// the order the file gives them; a closed polygon repeats its first point; vertical edges and
/// repeated points are allowed), from the leftmost to the rightmost design point. At a vertical
/// face the boundary carries both the lower and the upper point. Where two surfaces cross
/// between their points, the crossing is a point (without code). A gap no surface covers is
/// bridged straight. Each point keeps the code of an input point at its place (1e-6 m).
/// Points that are not finite are skipped.
VELMORUTILS_API std::vector<TSectionPoint> sectionUpperBoundary(
    const std::vector<std::vector<TSectionPoint>>& surfaces);

}  // namespace zel_math
