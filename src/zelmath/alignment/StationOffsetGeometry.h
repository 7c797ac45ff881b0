#pragma once

// The station/offset index's geometry, shared by its pieces, its tree and its search; not part of
// the public interface.

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <type_traits>
#include "velmorutils/zelmath/alignment/CAlntStationOffset.h"

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/alignment/CAlntHeArc.h"
#include "velmorutils/zelmath/alignment/CAlntHeIp.h"
#include "velmorutils/zelmath/alignment/CAlntHeSegment.h"
#include "velmorutils/zelmath/alignment/CAlntHeSpiral.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/curves/CCurveSpiralTStoSC.h"

namespace station_offset {

inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr double kFootTol = CAlntStationOffset::footToleranceInM;
inline constexpr double kTieTol = CAlntStationOffset::tieToleranceInM;

// Spans are short enough to keep boxes tight and the distance convex for points near the road.
inline constexpr double kMaxSpanLength = 60.0;
inline constexpr double kMaxSpanTurn = 0.3;
// Pieces shorter than this are joints, not pieces.
inline constexpr double kMinPieceLength = 1e-9;
// Tangents closer than this (radians) meet smoothly: no kink, no atJoint foot.
inline constexpr double kMinKink = 1e-12;
// Our positions must match the elements' own to this before a snapshot is accepted; a position
// that is not a number fails.
inline constexpr double kBuildCheck = 1e-6;
// Feet are solved to this length along the piece.
inline constexpr double kSolveTol = 1e-10;
// A span whose convexity cannot be shown is halved at most this often.
inline constexpr int kMaxSplitDepth = 40;
// Two feet of one point closer than this in chainage are one foot found twice (from both sides
// of a span or piece boundary).
inline constexpr double kSameFoot = 1e-6;

struct Vec {
    double n = 0.0;
    double e = 0.0;
};
inline Vec operator+(Vec a, Vec b) {
    return {a.n + b.n, a.e + b.e};
}
inline Vec operator-(Vec a, Vec b) {
    return {a.n - b.n, a.e - b.e};
}
inline Vec operator*(double k, Vec a) {
    return {k * a.n, k * a.e};
}
inline double dot(Vec a, Vec b) {
    return a.n * b.n + a.e * b.e;
}
// Positive when b turns clockwise (to the right) from a.
inline double cross(Vec a, Vec b) {
    return a.n * b.e - a.e * b.n;
}
inline double norm(Vec a) {
    return std::hypot(a.n, a.e);
}
// Unit vector of an azimuth in radians (clockwise from north).
inline Vec dirOf(double az) {
    return {std::cos(az), std::sin(az)};
}
// The unit normal to the right of a unit tangent.
inline Vec rightOf(Vec t) {
    return {-t.e, t.n};
}

struct Box {
    double minN = kInf;
    double minE = kInf;
    double maxN = -kInf;
    double maxE = -kInf;

    void add(Vec p, double grow) {
        minN = std::min(minN, p.n - grow);
        minE = std::min(minE, p.e - grow);
        maxN = std::max(maxN, p.n + grow);
        maxE = std::max(maxE, p.e + grow);
    }
    void add(const Box& b) {
        minN = std::min(minN, b.minN);
        minE = std::min(minE, b.minE);
        maxN = std::max(maxN, b.maxN);
        maxE = std::max(maxE, b.maxE);
    }
    // Squared distance from p to the box: a lower bound for everything inside.
    double dist2(Vec p) const {
        const double dn = std::max({minN - p.n, 0.0, p.n - maxN});
        const double de = std::max({minE - p.e, 0.0, p.e - maxE});
        return dn * dn + de * de;
    }
    // Squared distance from p to the farthest corner: an upper bound for everything inside.
    double farDist2(Vec p) const {
        const double dn = std::max(std::fabs(p.n - minN), std::fabs(p.n - maxN));
        const double de = std::max(std::fabs(p.e - minE), std::fabs(p.e - maxE));
        return dn * dn + de * de;
    }
};

// Position, unit tangent and signed curvature (positive turning right) at a point of a piece.
struct Point {
    Vec pos;
    Vec tan;
    double k = 0.0;
};

enum class PieceKind : std::uint8_t { line, arc, clothoid };

// One geometric piece of an element in the snapshot's plane frame (world minus the origin).
// Aligned to cache lines, so that fetching it costs as few loads as its size allows.
struct alignas(64) Piece {
    PieceKind kind = PieceKind::line;
    // An angle point (the stake-out's kind of kink) at the piece's start or end: a square foot
    // there names its side of the joint.
    bool anglePointBefore = false;
    bool anglePointAfter = false;
    int element = 0;
    double elemOffset = 0.0;  // length along the element where the piece starts
    double chainage0 = 0.0;   // chainage of the piece start
    double length = 0.0;
    // Line and arc: start, start azimuth (radians), curvature; the arc's centre.
    Vec p0;
    double az0 = 0.0;
    Vec dir;  // line: the unit direction
    double k = 0.0;
    Vec centre;
    // Clothoid: world = c + rotation(theta) * basic(u) with u = u0 + sigma * s, where basic is
    // the element's own tangent-to-curve spiral, evaluated as the element evaluates it.
    Vec c;
    double theta = 0.0;
    double cosT = 1.0;
    double sinT = 0.0;
    double u0 = 0.0;
    double sigma = 1.0;
    double invRL = 0.0;  // 1 / (R L) of the basic spiral, signed like its radius
    double basicLength = 0.0;
    double evalError = 0.0;  // bound of the clothoid's position error, metres
    CCurveSpiralTStoSC basic;
};

Point evalPiece(const Piece& pc, double s);

// Largest |curvature| on [s0, s1] of a piece: curvature is linear in length on every kind.
double maxCurvature(const Piece& pc, const Point& a, const Point& b);

// A box that provably holds the piece between two of its points h apart along it: every point X
// of a curve of length h between A and B has |XA| + |XB| <= h, so it lies in the ellipse with
// foci A and B, which lies within sqrt(h^2 - c^2) / 2 of the chord (c = |AB|). The evaluation
// error of the positions widens it on both counts.
Box spanBox(const Point& a, const Point& b, double h, double evalError);

enum class LeafKind : std::uint8_t { span, kink, start, end };

// Two cache lines, aligned, so that a visit costs two loads at most.
struct alignas(64) Leaf {
    LeafKind kind = LeafKind::span;
    PieceKind pieceKind = PieceKind::line;  // here too, so that a miss needs no piece
    int piece = 0;                          // span: its piece
    double s0 = 0.0;
    double s1 = 0.0;
    Point at0;  // span: the ends; corners: at0.pos is the corner, at0.tan the incoming tangent
    Point at1;  // corners: at1.tan the outgoing tangent
    double kMax = 0.0;
    double chainage = 0.0;  // corners
    bool firstOfPiece = false;
    bool lastOfPiece = false;
};

static_assert(sizeof(Leaf) == 128);

inline constexpr int kFanout = 8;

// A box in single precision, rounded outwards, so that it still holds what the double box holds:
// half the memory per node for a bound that is only looser by a few centimetres far out.
struct FloatBox {
    float minN = 0.0f;
    float minE = 0.0f;
    float maxN = 0.0f;
    float maxE = 0.0f;

    static float down(double x) {
        const auto f = static_cast<float>(x);
        return static_cast<double>(f) > x ? std::nextafter(f, -INFINITY) : f;
    }
    static float up(double x) {
        const auto f = static_cast<float>(x);
        return static_cast<double>(f) < x ? std::nextafter(f, INFINITY) : f;
    }
    explicit FloatBox(const Box& b = Box())
        : minN(down(b.minN)), minE(down(b.minE)), maxN(up(b.maxN)), maxE(up(b.maxE)) {}
    double dist2(Vec p) const {
        const double dn = std::max({minN - p.n, 0.0, p.n - maxN});
        const double de = std::max({minE - p.e, 0.0, p.e - maxE});
        return dn * dn + de * de;
    }
};

// A node keeps its children's boxes itself, so that a visit reads one node and no child until
// the child is entered: on a long road the tree does not fit in the cache.
struct alignas(64) Node {
    std::array<FloatBox, kFanout> kidBoxes;
};

// Where a node's children lie, kept apart from the boxes so that a node is two cache lines.
struct NodeLinks {
    int first = 0;
    int count = 0;
    bool leafChildren = false;
};

// What isBuiltFrom compares.
struct ElementPrint {
    int type = 0;
    double startChainage = 0.0;
    double length = 0.0;
    double startN = 0.0, startE = 0.0, finalN = 0.0, finalE = 0.0;
    double startAz = 0.0, finalAz = 0.0;
};

// A foot before it is tied to an element.
struct RawFoot {
    double chainage = 0.0;
    double distance = 0.0;
    double offset = 0.0;
    Vec foot;
    TAlntFootStatus status = TAlntFootStatus::square;
    TAlntJointSide side = TAlntJointSide::none;
};

}  // namespace station_offset

struct CAlntStationOffset::Geometry {
    station_offset::Vec
        origin;  // world position of the plane frame's origin (the alignment's start)
    double startChainage = 0.0;
    double finalChainage = 0.0;
    station_offset::Vec startPos, endPos;
    station_offset::Vec startTan, endTan;  // the alignment's own extrapolation directions
    std::vector<double> elementStarts;
    std::vector<station_offset::ElementPrint> prints;
    std::vector<station_offset::Piece> pieces;
    std::vector<station_offset::Leaf> leaves;
    std::vector<station_offset::Node> nodes;
    std::vector<station_offset::NodeLinks> links;
    int root = -1;
    station_offset::Box rootBox;
};

namespace station_offset {

using Geometry = CAlntStationOffset::Geometry;

// Builds the pieces, the leaves and the tree of an alignment; on failure says why in error.
class Builder {
public:
    Builder(Geometry& g, std::string& error) : m_g(g), m_error(error) {}

    bool run(const CAlntH& alnt);

private:
    bool fail(const std::string& why) {
        m_error = why;
        return false;
    }
    bool addElement(const CAlntH& alnt, int i);
    template <class T>
    bool addPlaced(const COrgAzCurveT<T>& placed, int element, double elemOffset, double chainage0);
    void addSpiral(const COrgAzCurveT<CCurveDataSpiral>& placed, Piece& pc);
    bool checkElement(const CAlntHe& he, int element, double length);
    bool positionOnElement(int element, double len, Vec& pos) const;
    bool addLeaves();
    void addSpans(int pieceIndex);
    void pushLeaf(const Leaf& leaf, const Box& box) {
        m_g.leaves.push_back(leaf);
        m_leafBoxes.push_back(box);
    }
    void buildTree();

    Geometry& m_g;
    std::string& m_error;
    std::vector<int> m_firstPiece;  // first piece of every element, and one past the last
    std::vector<Box> m_leafBoxes;   // the leaves' boxes, for the tree
};

}  // namespace station_offset
