#include "velmorutils/zelmath/alignment/CAlntStationOffset.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <type_traits>

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/alignment/CAlntHeArc.h"
#include "velmorutils/zelmath/alignment/CAlntHeIp.h"
#include "velmorutils/zelmath/alignment/CAlntHeSegment.h"
#include "velmorutils/zelmath/alignment/CAlntHeSpiral.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/curves/CCurveSpiralTStoSC.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kFootTol = CAlntStationOffset::footToleranceInM;
constexpr double kTieTol = CAlntStationOffset::tieToleranceInM;

// Spans are short enough to keep boxes tight and the distance convex for points near the road.
constexpr double kMaxSpanLength = 60.0;
constexpr double kMaxSpanTurn = 0.3;
// Pieces shorter than this are joints, not pieces.
constexpr double kMinPieceLength = 1e-9;
// Tangents closer than this (radians) meet smoothly: no kink, no atJoint foot.
constexpr double kMinKink = 1e-12;
// Our positions must match the elements' own to this before a snapshot is accepted; a position
// that is not a number fails.
constexpr double kBuildCheck = 1e-6;
// Feet are solved to this length along the piece.
constexpr double kSolveTol = 1e-10;
// A span whose convexity cannot be shown is halved at most this often.
constexpr int kMaxSplitDepth = 40;
// Two feet of one point closer than this in chainage are one foot found twice (from both sides
// of a span or piece boundary).
constexpr double kSameFoot = 1e-6;

struct Vec {
    double n = 0.0;
    double e = 0.0;
};
Vec operator+(Vec a, Vec b) {
    return {a.n + b.n, a.e + b.e};
}
Vec operator-(Vec a, Vec b) {
    return {a.n - b.n, a.e - b.e};
}
Vec operator*(double k, Vec a) {
    return {k * a.n, k * a.e};
}
double dot(Vec a, Vec b) {
    return a.n * b.n + a.e * b.e;
}
// Positive when b turns clockwise (to the right) from a.
double cross(Vec a, Vec b) {
    return a.n * b.e - a.e * b.n;
}
double norm(Vec a) {
    return std::hypot(a.n, a.e);
}
// Unit vector of an azimuth in radians (clockwise from north).
Vec dirOf(double az) {
    return {std::cos(az), std::sin(az)};
}
// The unit normal to the right of a unit tangent.
Vec rightOf(Vec t) {
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

Point evalPiece(const Piece& pc, double s) {
    Point q;
    switch (pc.kind) {
        case PieceKind::line:
            q.tan = pc.dir;
            q.pos = pc.p0 + s * q.tan;
            return q;
        case PieceKind::arc: {
            const double th = pc.az0 + pc.k * s;
            q.tan = dirOf(th);
            q.pos = pc.centre + (1.0 / pc.k) * Vec{q.tan.e, -q.tan.n};
            q.k = pc.k;
            return q;
        }
        case PieceKind::clothoid:
            break;
    }
    // The basic spiral is only ever asked inside its length, so it never reports.
    const double u = std::clamp(pc.u0 + pc.sigma * s, 0.0, pc.basicLength);
    double bn = 0.0;
    double be = 0.0;
    pc.basic.getPosAtLength(u, bn, be);
    q.pos = pc.c + Vec{bn * pc.cosT - be * pc.sinT, bn * pc.sinT + be * pc.cosT};
    const double phi = 0.5 * u * u * pc.invRL;
    q.tan = dirOf(pc.theta + phi + (pc.sigma < 0.0 ? zel_math::kPi : 0.0));
    q.k = pc.sigma * u * pc.invRL;
    return q;
}

// Largest |curvature| on [s0, s1] of a piece: curvature is linear in length on every kind.
double maxCurvature(const Piece& pc, const Point& a, const Point& b) {
    if (pc.kind == PieceKind::line) return 0.0;
    return std::max(std::fabs(a.k), std::fabs(b.k));
}

// A box that provably holds the piece between two of its points h apart along it: every point X
// of a curve of length h between A and B has |XA| + |XB| <= h, so it lies in the ellipse with
// foci A and B, which lies within sqrt(h^2 - c^2) / 2 of the chord (c = |AB|). The evaluation
// error of the positions widens it on both counts.
Box spanBox(const Point& a, const Point& b, double h, double evalError) {
    const double c = std::max(0.0, norm(b.pos - a.pos) - 2.0 * evalError);
    const double grow = 0.5 * std::sqrt(std::max(0.0, h * h - c * c)) + 2.0 * evalError + 1e-9;
    Box box;
    box.add(a.pos, grow);
    box.add(b.pos, grow);
    return box;
}

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

constexpr int kFanout = 8;

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

}  // namespace

struct CAlntStationOffset::Geometry {
    Vec origin;  // world position of the plane frame's origin (the alignment's start)
    double startChainage = 0.0;
    double finalChainage = 0.0;
    Vec startPos, endPos;
    Vec startTan, endTan;  // the alignment's own extrapolation directions
    std::vector<double> elementStarts;
    std::vector<ElementPrint> prints;
    std::vector<Piece> pieces;
    std::vector<Leaf> leaves;
    std::vector<Node> nodes;
    std::vector<NodeLinks> links;
    int root = -1;
    Box rootBox;
};

namespace {

using Geometry = CAlntStationOffset::Geometry;

// --- building ---------------------------------------------------------------------------------

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

bool Builder::run(const CAlntH& alnt) {
    const int count = alnt.getNumOfHes();
    if (count == 0) return fail("the alignment has no elements");
    double n = 0.0, e = 0.0;
    if (!alnt.getHe(0)->getStartPosNe(n, e)) return fail("element 0 has no start point");
    m_g.origin = {n, e};
    m_g.startChainage = alnt.getStartChainageInM();
    for (int i = 0; i < count; ++i) {
        if (!addElement(alnt, i)) return false;
    }
    m_firstPiece.push_back(static_cast<int>(m_g.pieces.size()));
    if (m_g.pieces.empty()) return fail("the alignment has no length");
    double fin = 0.0;
    if (!alnt.getFinalChainageInM(fin)) return fail("the alignment has no final chainage");
    m_g.finalChainage = fin;

    const CAlntHe* first = alnt.getHe(0);
    const CAlntHe* last = alnt.getHe(count - 1);
    CMathAngle az;
    first->getStartAzimut(az);
    m_g.startTan = dirOf(az.getRad());
    if (!last->getFinalAzimut(az)) return fail("the last element has no final azimuth");
    m_g.endTan = dirOf(az.getRad());
    m_g.startPos = Vec{n, e} - m_g.origin;
    if (!last->getFinalPosNe(n, e)) return fail("the last element has no final point");
    m_g.endPos = Vec{n, e} - m_g.origin;

    if (!addLeaves()) return false;
    buildTree();
    return true;
}

bool Builder::addElement(const CAlntH& alnt, int i) {
    const CAlntHe* he = alnt.getHe(i);
    const std::string which = "element " + std::to_string(i);
    if (!he->isok()) return fail(which + " is not defined");
    double start = 0.0, length = 0.0;
    if (!he->getStartChainageInM(start)) return fail(which + " has no start chainage");
    if (!he->getHLengthInM(length) || !std::isfinite(length) || length < 0.0)
        return fail(which + " has no length");
    ElementPrint print;
    print.type = he->getType();
    print.startChainage = start;
    print.length = length;
    CMathAngle az;
    he->getStartAzimut(az);
    print.startAz = az.getRad();
    if (!he->getStartPosNe(print.startN, print.startE) ||
        !he->getFinalPosNe(print.finalN, print.finalE) || !he->getFinalAzimut(az))
        return fail(which + " has no end points");
    print.finalAz = az.getRad();
    m_g.prints.push_back(print);
    m_g.elementStarts.push_back(start);
    m_firstPiece.push_back(static_cast<int>(m_g.pieces.size()));

    bool ok = true;
    if (const auto* seg = CAlntHeSegment::cast(he)) {
        ok = addPlaced(seg->get_data(), i, 0.0, start);
    } else if (const auto* arc = CAlntHeArc::cast(he)) {
        ok = addPlaced(arc->get_data(), i, 0.0, start);
    } else if (const auto* sp = CAlntHeSpiral::cast(he)) {
        ok = addPlaced(sp->get_data(), i, 0.0, start);
    } else if (const auto* ip = CAlntHeIp::cast(he)) {
        const CCurveIp& curve = ip->get_data();
        double offset = 0.0;
        const auto& seg = curve.getSolutionStartSegment();
        ok = addPlaced(seg, i, offset, start);
        if (ok && !curve.isSimplePoint()) {
            offset += seg.getTotalLength();
            ok = addPlaced(curve.getSolutionStartSpiral(), i, offset, start + offset);
            offset += curve.getSolutionStartSpiral().getTotalLength();
            ok = ok && addPlaced(curve.getSolutionArc(), i, offset, start + offset);
            offset += curve.getSolutionArc().getTotalLength();
            ok = ok && addPlaced(curve.getSolutionFinalSpiral(), i, offset, start + offset);
        }
    } else {
        return fail(which + " is of an unknown kind");
    }
    if (!ok) return fail(which + " has a piece that cannot be evaluated");
    return checkElement(*he, i, length);
}

template <class T>
bool Builder::addPlaced(const COrgAzCurveT<T>& placed, int element, double elemOffset,
                        double chainage0) {
    const double length = placed.getTotalLength();
    if (zel_math::isUnset(length) || !std::isfinite(length)) return false;
    if (length < kMinPieceLength) return true;
    if (!placed.isOrgAzOk()) return false;
    Piece pc;
    pc.element = element;
    pc.elemOffset = elemOffset;
    pc.chainage0 = chainage0;
    pc.length = length;
    pc.p0 = Vec{placed.getOrgNorthing(), placed.getOrgEasting()} - m_g.origin;
    // An arc given by its central angle knows its radius only once asked; its azimuth needs it.
    double radius = 0.0;
    if constexpr (std::is_same_v<T, CCurveDataArc>) radius = placed.get_data().getRadius();
    pc.az0 = placed.GetAzimuth(0.0) * zel_math::kRadPerDeg;
    pc.dir = dirOf(pc.az0);
    if constexpr (std::is_same_v<T, CCurveDataSpiral>) {
        addSpiral(placed, pc);
        if (pc.basicLength <= 0.0 || pc.invRL == 0.0 || !std::isfinite(pc.invRL)) {
            pc.kind = PieceKind::line;  // a spiral of no turn is a straight
        }
    } else if constexpr (std::is_same_v<T, CCurveDataArc>) {
        pc.k = 1.0 / radius;
        if (std::isfinite(pc.k) && std::fabs(pc.k) > 1e-15) {
            pc.kind = PieceKind::arc;
            pc.centre = pc.p0 - (1.0 / pc.k) * Vec{dirOf(pc.az0).e, -dirOf(pc.az0).n};
        } else {
            pc.k = 0.0;
        }
    }
    m_g.pieces.push_back(pc);
    return true;
}

// Places the element's basic spiral so that our clothoid is the element's: tangent-to-curve
// spirals (and compound ones that tighten) run forwards along the basic spiral from the
// section's start length; curve-to-tangent ones (and compound ones that widen) run backwards from
// its end. The rotation follows from the start azimuths, the translation from the start point.
void Builder::addSpiral(const COrgAzCurveT<CCurveDataSpiral>& placed, Piece& pc) {
    const CCurveDataSpiral& sp = placed.get_data();
    pc.basic = sp.getSimpleSpiral();
    pc.basicLength = pc.basic.getTotalLength();
    const double radius = pc.basic.getFinalRadius();
    pc.invRL = 1.0 / (radius * pc.basicLength);
    if (!std::isfinite(pc.invRL)) return;
    pc.kind = PieceKind::clothoid;
    const bool forwards = static_cast<const CCurveDataSpiral1R&>(sp).isTSSC();
    pc.sigma = forwards ? 1.0 : -1.0;
    pc.u0 = forwards ? sp.getStartLength() : pc.basicLength;
    const double phi0 = 0.5 * pc.u0 * pc.u0 * pc.invRL;
    pc.theta = pc.az0 - phi0 + (forwards ? 0.0 : zel_math::kPi);
    pc.cosT = std::cos(pc.theta);
    pc.sinT = std::sin(pc.theta);
    double bn = 0.0, be = 0.0;
    pc.basic.getPosAtLength(pc.u0, bn, be);
    pc.c = pc.p0 - Vec{bn * pc.cosT - be * pc.sinT, bn * pc.sinT + be * pc.cosT};
    // The clothoid's positions are within 1e-15 of the basic spiral's length at any turn; a
    // thousand times that bounds them with room to spare.
    pc.evalError = 1e-12 * pc.basicLength;
}

bool Builder::positionOnElement(int element, double len, Vec& pos) const {
    const int first = m_firstPiece[element];
    const int last = static_cast<int>(m_g.pieces.size());
    if (first == last) return false;
    int k = first;
    while (k + 1 < last && m_g.pieces[k + 1].element == element &&
           m_g.pieces[k + 1].elemOffset <= len)
        ++k;
    const Piece& pc = m_g.pieces[k];
    pos = evalPiece(pc, std::clamp(len - pc.elemOffset, 0.0, pc.length)).pos;
    return true;
}

bool Builder::checkElement(const CAlntHe& he, int element, double length) {
    if (m_firstPiece[element] == static_cast<int>(m_g.pieces.size())) return true;
    for (const double f : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        double n = 0.0, e = 0.0;
        Vec ours;
        if (!he.getPosNeAtLength(f * length, n, e) || !positionOnElement(element, f * length, ours))
            return fail("element " + std::to_string(element) + " cannot be evaluated");
        if (!(norm(Vec{n, e} - m_g.origin - ours) <= kBuildCheck))
            return fail("element " + std::to_string(element) +
                        " is not reproduced to a micrometre by its pieces");
    }
    return true;
}

void Builder::addSpans(int pieceIndex) {
    const Piece& pc = m_g.pieces[pieceIndex];
    const Point a = evalPiece(pc, 0.0);
    const Point b = evalPiece(pc, pc.length);
    const double turn = std::fabs(std::atan2(cross(a.tan, b.tan), dot(a.tan, b.tan)));
    // The turn of an arc can pass a half circle; its curvature gives it exactly.
    const double arcTurn = pc.kind == PieceKind::arc ? std::fabs(pc.k) * pc.length : turn;
    const double clothoidTurn =
        pc.kind == PieceKind::clothoid ? maxCurvature(pc, a, b) * pc.length : arcTurn;
    const int count = std::max({1, static_cast<int>(std::ceil(pc.length / kMaxSpanLength)),
                                static_cast<int>(std::ceil(clothoidTurn / kMaxSpanTurn))});
    Point q0 = a;
    for (int i = 0; i < count; ++i) {
        Leaf leaf;
        leaf.piece = pieceIndex;
        leaf.s0 = pc.length * i / count;
        leaf.s1 = i + 1 == count ? pc.length : pc.length * (i + 1) / count;
        leaf.at0 = q0;
        leaf.at1 = i + 1 == count ? b : evalPiece(pc, leaf.s1);
        leaf.kMax = maxCurvature(pc, leaf.at0, leaf.at1);
        leaf.firstOfPiece = i == 0;
        leaf.lastOfPiece = i + 1 == count;
        leaf.pieceKind = pc.kind;
        pushLeaf(leaf, spanBox(leaf.at0, leaf.at1, leaf.s1 - leaf.s0, pc.evalError));
        q0 = leaf.at1;
    }
}

bool Builder::addLeaves() {
    const auto& pieces = m_g.pieces;
    Leaf start;
    start.kind = LeafKind::start;
    start.at0 = evalPiece(pieces.front(), 0.0);
    start.at0.pos = m_g.startPos;
    start.chainage = m_g.startChainage;
    Box box;
    box.add(m_g.startPos, 0.0);
    pushLeaf(start, box);
    for (int j = 0; j < static_cast<int>(pieces.size()); ++j) {
        addSpans(j);
        if (j + 1 == static_cast<int>(pieces.size())) break;
        const Point out = evalPiece(pieces[j], pieces[j].length);
        const Point in = evalPiece(pieces[j + 1], 0.0);
        if (!(norm(out.pos - in.pos) <= kBuildCheck))
            return fail("element " + std::to_string(pieces[j + 1].element) +
                        " does not start where the line before it ends");
        const double turn = std::fabs(std::atan2(cross(out.tan, in.tan), dot(out.tan, in.tan)));
        if (turn > kAlntAnglePointRad) m_g.pieces[j].anglePointAfter = true;
        if (turn > kAlntAnglePointRad) m_g.pieces[j + 1].anglePointBefore = true;
        if (turn <= kMinKink) continue;
        Leaf kink;
        kink.kind = LeafKind::kink;
        kink.at0 = out;
        kink.at0.pos = in.pos;
        kink.at1 = in;
        kink.chainage = pieces[j + 1].chainage0;
        Box point;
        point.add(in.pos, 0.0);
        pushLeaf(kink, point);
    }
    Leaf end;
    end.kind = LeafKind::end;
    end.at0 = evalPiece(pieces.back(), pieces.back().length);
    end.at0.pos = m_g.endPos;
    end.chainage = m_g.finalChainage;
    Box last;
    last.add(m_g.endPos, 0.0);
    pushLeaf(end, last);
    return true;
}

// A flat bounding-volume hierarchy over the leaves in chainage order: consecutive leaves lie
// side by side along the road, so grouping them by four gives tight boxes without sorting.
void Builder::buildTree() {
    auto& nodes = m_g.nodes;
    std::vector<Box> boxes = std::move(m_leafBoxes);
    int levelFirst = 0;
    bool leafChildren = true;
    do {
        std::vector<Box> parents;
        const int count = static_cast<int>(boxes.size());
        for (int i = 0; i < count; i += kFanout) {
            Node node;
            NodeLinks link;
            link.first = levelFirst + i;
            link.count = std::min(kFanout, count - i);
            link.leafChildren = leafChildren;
            Box all;
            for (int c = 0; c < link.count; ++c) {
                node.kidBoxes[c] = FloatBox(boxes[i + c]);
                all.add(boxes[i + c]);
            }
            nodes.push_back(node);
            m_g.links.push_back(link);
            parents.push_back(all);
        }
        levelFirst = static_cast<int>(nodes.size()) - static_cast<int>(parents.size());
        boxes = std::move(parents);
        leafChildren = false;
    } while (boxes.size() > 1);
    m_g.root = static_cast<int>(nodes.size()) - 1;
    m_g.rootBox = boxes.front();
}

// --- searching --------------------------------------------------------------------------------

// Collects feet; limit() is the farthest distance still of interest.
class Sink {
public:
    virtual ~Sink() = default;
    virtual double limit() const = 0;
    virtual void add(const RawFoot& foot) = 0;
};

// Keeps the nearest feet within the tie tolerance of each other; the later chainage wins.
class NearestSink : public Sink {
public:
    explicit NearestSink(double maxDistance) : m_max(maxDistance) {}
    double limit() const override { return std::min(m_best + kTieTol, m_max); }
    void add(const RawFoot& foot) override {
        if (!(foot.distance <= limit())) return;
        if (!m_found || foot.distance < m_best) {
            m_best = foot.distance;
        }
        // The winner among ties is the later chainage; a foot that is clearly nearer than the
        // kept one replaces it whatever its chainage.
        if (!m_found || foot.distance < m_foot.distance - kTieTol ||
            (foot.distance <= m_foot.distance + kTieTol && foot.chainage > m_foot.chainage)) {
            m_foot = foot;
        }
        m_found = true;
    }
    bool found() const { return m_found; }
    const RawFoot& foot() const { return m_foot; }

private:
    double m_max;
    double m_best = kInf;
    bool m_found = false;
    RawFoot m_foot;
};

class AllSink : public Sink {
public:
    AllSink(double maxDistance, std::vector<RawFoot>& feet) : m_max(maxDistance), m_feet(feet) {}
    double limit() const override { return m_max; }
    void add(const RawFoot& foot) override {
        if (foot.distance <= m_max) m_feet.push_back(foot);
    }

private:
    double m_max;
    std::vector<RawFoot>& m_feet;
};

class Search {
public:
    Search(const Geometry& g, Vec p, Sink& sink) : m_g(g), m_p(p), m_sink(sink) {}
    void run();

private:
    bool pruned(const Box& box) const {
        const double lim = m_sink.limit();
        return box.dist2(m_p) > lim * lim;
    }
    void visitLeaf(const Leaf& leaf);
    void visitCorner(const Leaf& leaf);
    void visitSpan(const Piece& pc, double s0, const Point& q0, double s1, const Point& q1,
                   double kMax, int depth);
    void emitSquare(const Piece& pc, double s, const Point& q);
    void solveLine(const Piece& pc, double s0, double a0);
    void solveArc(const Piece& pc, double s0, double s1);
    void solveClothoid(const Piece& pc, double lo, double hi, double aLo, double aHi);
    bool convex(const Point& q0, const Point& q1, double kMax, double dMax, double h) const;

    const Geometry& m_g;
    Vec m_p;
    Sink& m_sink;
};

void Search::run() {
    struct Entry {
        int node;
        double d2;
    };
    std::array<Entry, 256> stack;
    int top = 0;
    stack[top++] = {m_g.root, m_g.rootBox.dist2(m_p)};
    while (top > 0) {
        const Entry entry = stack[--top];
        const double lim = m_sink.limit();
        if (entry.d2 > lim * lim) continue;
        const Node& node = m_g.nodes[entry.node];
        const NodeLinks& link = m_g.links[entry.node];
        std::array<Entry, kFanout> kids;
        int count = 0;
        // Only children within the limit are kept, nearest first (insertion: few qualify).
        for (int c = 0; c < link.count; ++c) {
            const double d2 = node.kidBoxes[c].dist2(m_p);
            if (d2 > lim * lim) continue;
            int k = count++;
            for (; k > 0 && kids[k - 1].d2 > d2; --k)
                kids[k] = kids[k - 1];
            kids[k] = {link.first + c, d2};
        }
        // On a long road the children are rarely in the cache: ask for all of them at once, so
        // that their loads overlap instead of following one another.
        for (int c = 0; c < count; ++c) {
            if (link.leafChildren) {
                const Leaf& leaf = m_g.leaves[kids[c].node];
                __builtin_prefetch(&leaf);
                __builtin_prefetch(reinterpret_cast<const char*>(&leaf) + 64);
                if (leaf.pieceKind == PieceKind::clothoid) {
                    // A clothoid span always reads its piece: the placement and the spiral.
                    const char* piece = reinterpret_cast<const char*>(&m_g.pieces[leaf.piece]);
                    for (std::size_t at = 0; at < sizeof(Piece); at += 64)
                        __builtin_prefetch(piece + at);
                }
            } else {
                __builtin_prefetch(&m_g.nodes[kids[c].node]);
                __builtin_prefetch(reinterpret_cast<const char*>(&m_g.nodes[kids[c].node]) + 64);
            }
        }
        if (link.leafChildren) {
            for (int c = 0; c < count; ++c) {
                const double l = m_sink.limit();
                if (kids[c].d2 > l * l) break;
                visitLeaf(m_g.leaves[kids[c].node]);
            }
            continue;
        }
        // Nearest child on top of the stack; the tree is shallow, so the stack never fills.
        for (int c = count - 1; c >= 0 && top < static_cast<int>(stack.size()); --c) {
            stack[top++] = kids[c];
        }
    }
}

void Search::visitLeaf(const Leaf& leaf) {
    if (leaf.kind != LeafKind::span) {
        visitCorner(leaf);
        return;
    }
    // A foot at a piece end that lies on the normal there (within the tolerance) is square to
    // this piece; at a kink or an end of the line it is found nowhere else.
    auto onNormal = [&](const Point& q) {
        const Vec d = m_p - q.pos;
        return std::fabs(dot(d, q.tan)) <= kFootTol && 1.0 - q.k * dot(d, rightOf(q.tan)) > 0.0;
    };
    const bool atStart = leaf.firstOfPiece && onNormal(leaf.at0);
    const bool atEnd = leaf.lastOfPiece && onNormal(leaf.at1);
    // Lines and arcs hold a foot inside only where the along component changes sign.
    if (leaf.pieceKind != PieceKind::clothoid && !atStart && !atEnd &&
        !(dot(m_p - leaf.at0.pos, leaf.at0.tan) >= 0.0 &&
          dot(m_p - leaf.at1.pos, leaf.at1.tan) < 0.0))
        return;
    const Piece& pc = m_g.pieces[leaf.piece];
    if (atStart) emitSquare(pc, leaf.s0, leaf.at0);
    if (atEnd) emitSquare(pc, leaf.s1, leaf.at1);
    visitSpan(pc, leaf.s0, leaf.at0, leaf.s1, leaf.at1, leaf.kMax, 0);
}

void Search::visitCorner(const Leaf& leaf) {
    const Vec d = m_p - leaf.at0.pos;
    RawFoot f;
    f.distance = norm(d);
    if (leaf.kind == LeafKind::kink) {
        if (!(dot(d, leaf.at0.tan) > kFootTol && dot(d, leaf.at1.tan) < -kFootTol)) return;
        // The side is that of the bisecting direction; a reversal has none, so the incoming
        // tangent decides.
        Vec bis = leaf.at0.tan + leaf.at1.tan;
        if (norm(bis) < 1e-9) bis = leaf.at0.tan;
        f.offset = dot(d, rightOf(bis)) < 0.0 ? -f.distance : f.distance;
        f.chainage = leaf.chainage;
        f.foot = leaf.at0.pos;
        f.status = TAlntFootStatus::atJoint;
        m_sink.add(f);
        return;
    }
    // Beyond an end: the test uses the line's own end tangent, the numbers the alignment's
    // extrapolation frame, so that its position at chainage and offset gives the point back.
    const bool atStart = leaf.kind == LeafKind::start;
    const double a = dot(d, leaf.at0.tan);
    if (atStart ? !(a < -kFootTol) : !(a > kFootTol)) return;
    const Vec t = atStart ? m_g.startTan : m_g.endTan;
    const double along = dot(d, t);
    f.chainage = leaf.chainage + along;
    f.offset = dot(d, rightOf(t));
    f.foot = leaf.at0.pos + along * t;
    f.status = atStart ? TAlntFootStatus::beforeStart : TAlntFootStatus::afterEnd;
    m_sink.add(f);
}

void Search::emitSquare(const Piece& pc, double s, const Point& q) {
    const Vec d = m_p - q.pos;
    RawFoot f;
    f.distance = norm(d);
    f.offset = dot(d, rightOf(q.tan));
    f.chainage = pc.chainage0 + s;
    f.foot = q.pos;
    f.status = TAlntFootStatus::square;
    // At an angle point the foot names the element whose normal it lies on, so that a stake of
    // its station and offset from that side gives the point back.
    if (pc.anglePointAfter && s >= pc.length) f.side = TAlntJointSide::back;
    if (pc.anglePointBefore && s <= 0.0) f.side = TAlntJointSide::ahead;
    m_sink.add(f);
}

// The along component a(s) = (p - c(s)) . t(s) falls through zero at a foot: the squared distance
// has derivative -2 a. A span holds a foot where a0 >= 0 > a1; the span after a boundary owns a
// foot exactly on it.
void Search::visitSpan(const Piece& pc, double s0, const Point& q0, double s1, const Point& q1,
                       double kMax, int depth) {
    const double a0 = dot(m_p - q0.pos, q0.tan);
    const double a1 = dot(m_p - q1.pos, q1.tan);
    switch (pc.kind) {
        case PieceKind::line:
            if (a0 >= 0.0 && a1 < 0.0) solveLine(pc, s0, a0);
            return;
        case PieceKind::arc:
            // A span turns less than a half circle, so it holds at most one foot.
            if (a0 >= 0.0 && a1 < 0.0) solveArc(pc, s0, s1);
            return;
        case PieceKind::clothoid:
            break;
    }
    const Box box = spanBox(q0, q1, s1 - s0, pc.evalError);
    if (depth > 0 && pruned(box)) return;
    const double h = s1 - s0;
    const double dMax = std::sqrt(box.farDist2(m_p));
    // |a'| = |1 - k offset| <= 1 + kMax dMax: a span whose ends are farther from zero than that
    // slope allows over its length holds no foot.
    const double slope = 1.0 + kMax * dMax;
    if (std::fabs(a0) > slope * h || std::fabs(a1) > slope * h) return;
    if (convex(q0, q1, kMax, dMax, h) || depth >= kMaxSplitDepth || h < kSolveTol) {
        if (a0 >= 0.0 && a1 < 0.0) solveClothoid(pc, s0, s1, a0, a1);
        return;
    }
    const double sm = 0.5 * (s0 + s1);
    const Point qm = evalPiece(pc, sm);
    visitSpan(pc, s0, q0, sm, qm, maxCurvature(pc, q0, qm), depth + 1);
    visitSpan(pc, sm, qm, s1, q1, maxCurvature(pc, qm, q1), depth + 1);
}

// The squared distance has second derivative 2 (1 - |k| c(s)), where c is the offset towards
// the centre of curvature; c changes at most |k| dMax per metre (its derivative is -|k| a), so
// it stays below the larger end value plus half the span times that rate. The span is convex
// when |k| c stays below one: always for points on the outside of the curve, and for points
// inside nearer than the radius once the span is short enough.
bool Search::convex(const Point& q0, const Point& q1, double kMax, double dMax, double h) const {
    const double side = q0.k + q1.k >= 0.0 ? 1.0 : -1.0;
    const double c0 = side * dot(m_p - q0.pos, rightOf(q0.tan));
    const double c1 = side * dot(m_p - q1.pos, rightOf(q1.tan));
    const double cMax = std::max(c0, c1) + 0.5 * kMax * dMax * h;
    return kMax * cMax < 1.0;
}

void Search::solveLine(const Piece& pc, double s0, double a0) {
    const double s = std::min(s0 + a0, pc.length);
    emitSquare(pc, s, evalPiece(pc, s));
}

void Search::solveArc(const Piece& pc, double s0, double s1) {
    const Vec v = m_p - pc.centre;
    const double r = norm(v);
    double s = s1;  // at the centre every point is a foot; the later one wins
    if (r > 1e-12 * std::fabs(1.0 / pc.k)) {
        // The foot lies where the radius points at p: there (sin t, -cos t) = sign(k) v / r.
        const double sign = pc.k > 0.0 ? 1.0 : -1.0;
        const double th = std::atan2(sign * v.n, -sign * v.e);
        const double sm = 0.5 * (s0 + s1);
        double dth = th - (pc.az0 + pc.k * sm);
        dth = std::remainder(dth, zel_math::kTwoPi);
        s = std::clamp(sm + dth / pc.k, s0, s1);
    }
    emitSquare(pc, s, evalPiece(pc, s));
}

// Newton's method on a(s), kept inside the bracket [lo, hi] where a changes sign; a is falling
// on a convex span (a' = -(1 - k offset) < 0), so the bracket always holds exactly one foot.
void Search::solveClothoid(const Piece& pc, double lo, double hi, double aLo, double aHi) {
    double s = lo + (hi - lo) * aLo / (aLo - aHi);
    Point q = evalPiece(pc, s);
    for (int iter = 0; iter < 60; ++iter) {
        const Vec d = m_p - q.pos;
        const double a = dot(d, q.tan);
        const double slope = -1.0 + q.k * dot(d, rightOf(q.tan));
        if (a >= 0.0) {
            lo = s;
        } else {
            hi = s;
        }
        double next = slope < 0.0 ? s - a / slope : 0.5 * (lo + hi);
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        const bool done = std::fabs(next - s) <= kSolveTol || hi - lo <= kSolveTol;
        s = next;
        q = evalPiece(pc, s);
        if (done) break;
    }
    emitSquare(pc, s, q);
}

// --- results ----------------------------------------------------------------------------------

TAlntFoot toFoot(const Geometry& g, const RawFoot& raw) {
    TAlntFoot foot;
    const int last = static_cast<int>(g.elementStarts.size()) - 1;
    int element = 0;
    if (raw.status == TAlntFootStatus::afterEnd) {
        element = last;
    } else if (raw.status != TAlntFootStatus::beforeStart) {
        // The last element starting at or before the chainage, as the alignment's lookup.
        const auto it =
            std::upper_bound(g.elementStarts.begin(), g.elementStarts.end(), raw.chainage);
        element = std::max(0, static_cast<int>(it - g.elementStarts.begin()) - 1);
    }
    foot.element = element;
    foot.lengthInM = raw.chainage - g.elementStarts[element];
    foot.chainageInM = raw.chainage;
    foot.offsetInM = raw.offset;
    foot.distanceInM = raw.distance;
    foot.footN = raw.foot.n + g.origin.n;
    foot.footE = raw.foot.e + g.origin.e;
    foot.status = raw.status;
    foot.side = raw.side;
    return foot;
}

bool finitePoint(double n, double e) {
    return std::isfinite(n) && std::isfinite(e);
}

bool near(double a, double b, double tol) {
    return std::fabs(a - b) <= tol;
}

}  // namespace

CAlntStationOffset::CAlntStationOffset() = default;

CAlntStationOffset::CAlntStationOffset(const CAlntH& alnt) {
    build(alnt);
}

CAlntStationOffset::~CAlntStationOffset() = default;

bool CAlntStationOffset::build(const CAlntH& alnt) {
    m_geometry.reset();
    m_error.clear();
    try {
        auto g = std::make_shared<Geometry>();
        if (!Builder(*g, m_error).run(alnt)) return false;
        m_geometry = std::move(g);
        return true;
    } catch (const std::bad_alloc&) {
        m_error = "out of memory";
        return false;
    }
}

bool CAlntStationOffset::isBuiltFrom(const CAlntH& alnt) const {
    if (!m_geometry) return false;
    const auto& prints = m_geometry->prints;
    if (alnt.getNumOfHes() != static_cast<int>(prints.size())) return false;
    constexpr double kLen = 1e-9;
    constexpr double kAng = 1e-12;
    for (int i = 0; i < static_cast<int>(prints.size()); ++i) {
        const CAlntHe* he = alnt.getHe(i);
        const ElementPrint& p = prints[i];
        double start = 0.0, length = 0.0, sn = 0.0, se = 0.0, fn = 0.0, fe = 0.0;
        CMathAngle sa, fa;
        he->getStartAzimut(sa);
        if (he->getType() != p.type || !he->getStartChainageInM(start) ||
            !he->getHLengthInM(length) || !he->getStartPosNe(sn, se) ||
            !he->getFinalPosNe(fn, fe) || !he->getFinalAzimut(fa))
            return false;
        if (!near(start, p.startChainage, kLen) || !near(length, p.length, kLen) ||
            !near(sn, p.startN, kLen) || !near(se, p.startE, kLen) || !near(fn, p.finalN, kLen) ||
            !near(fe, p.finalE, kLen) || !near(sa.getRad(), p.startAz, kAng) ||
            !near(fa.getRad(), p.finalAz, kAng))
            return false;
    }
    return true;
}

int CAlntStationOffset::getNumOfElements() const {
    return m_geometry ? static_cast<int>(m_geometry->elementStarts.size()) : 0;
}

double CAlntStationOffset::getStartChainageInM() const {
    return m_geometry ? m_geometry->startChainage : 0.0;
}

double CAlntStationOffset::getFinalChainageInM() const {
    return m_geometry ? m_geometry->finalChainage : 0.0;
}

bool CAlntStationOffset::findNearest(double n, double e, TAlntFoot& foot,
                                     double maxDistanceInM) const {
    if (!m_geometry || !finitePoint(n, e) || std::isnan(maxDistanceInM)) return false;
    const Geometry& g = *m_geometry;
    NearestSink sink(maxDistanceInM);
    Search(g, Vec{n, e} - g.origin, sink).run();
    if (!sink.found()) return false;
    foot = toFoot(g, sink.foot());
    return true;
}

bool CAlntStationOffset::findAllFeet(double n, double e, double maxDistanceInM,
                                     std::vector<TAlntFoot>& feet) const {
    feet.clear();
    if (!m_geometry || !finitePoint(n, e) || std::isnan(maxDistanceInM)) return false;
    const Geometry& g = *m_geometry;
    try {
        std::vector<RawFoot> raw;
        AllSink sink(maxDistanceInM, raw);
        Search(g, Vec{n, e} - g.origin, sink).run();
        std::sort(raw.begin(), raw.end(),
                  [](const RawFoot& a, const RawFoot& b) { return a.chainage < b.chainage; });
        // One foot found from both sides of a boundary: keep the nearer, the later on a tie.
        std::vector<RawFoot> merged;
        for (const RawFoot& f : raw) {
            if (!merged.empty() && f.chainage - merged.back().chainage < kSameFoot &&
                f.status == merged.back().status) {
                if (f.distance <= merged.back().distance + kTieTol) merged.back() = f;
                continue;
            }
            merged.push_back(f);
        }
        feet.reserve(merged.size());
        for (const RawFoot& f : merged)
            feet.push_back(toFoot(g, f));
        return true;
    } catch (const std::bad_alloc&) {
        feet.clear();
        return false;
    }
}

std::size_t CAlntStationOffset::findNearestBatch(const double* n, const double* e,
                                                 std::size_t count, TAlntFoot* feet, bool* found,
                                                 double maxDistanceInM) const {
    auto one = [&](std::size_t i) {
        const bool ok = findNearest(n[i], e[i], feet[i], maxDistanceInM);
        if (found) found[i] = ok;
        return ok ? 1u : 0u;
    };
    std::size_t hits = 0;
    // Points taken in the order given jump about a long road, and every query then waits for the
    // part of the tree it needs. Many points are answered square by square instead (1 km
    // squares, grouped by a counting sort), so that neighbours find their part of the tree in
    // the cache. The answers do not depend on the order.
    constexpr std::size_t kGroupFrom = 4096;
    constexpr std::size_t kKeys = 1u << 16;
    if (count < kGroupFrom || !m_geometry || count > 0xffffffffu) {
        for (std::size_t i = 0; i < count; ++i)
            hits += one(i);
        return hits;
    }
    try {
        const Vec origin = m_geometry->origin;
        std::vector<std::uint16_t> keys(count);
        std::vector<std::uint32_t> start(kKeys + 1, 0);
        for (std::size_t i = 0; i < count; ++i) {
            const double cn = std::isfinite(n[i]) ? std::floor((n[i] - origin.n) / 1024.0) : 0.0;
            const double ce = std::isfinite(e[i]) ? std::floor((e[i] - origin.e) / 1024.0) : 0.0;
            const auto kn = static_cast<std::uint32_t>(static_cast<std::int64_t>(cn));
            const auto ke = static_cast<std::uint32_t>(static_cast<std::int64_t>(ce));
            keys[i] = static_cast<std::uint16_t>((kn * 73856093u) ^ (ke * 19349663u));
            ++start[keys[i] + 1];
        }
        for (std::size_t k = 0; k < kKeys; ++k)
            start[k + 1] += start[k];
        std::vector<std::uint32_t> order(count);
        for (std::size_t i = 0; i < count; ++i)
            order[start[keys[i]]++] = static_cast<std::uint32_t>(i);
        for (const std::uint32_t i : order)
            hits += one(i);
    } catch (const std::bad_alloc&) {
        hits = 0;
        for (std::size_t i = 0; i < count; ++i)
            hits += one(i);
    }
    return hits;
}
