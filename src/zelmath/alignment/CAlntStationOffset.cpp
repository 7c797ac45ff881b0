#include "velmorutils/zelmath/alignment/CAlntStationOffset.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "zelmath/alignment/StationOffsetGeometry.h"

using namespace station_offset;

namespace {

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
