#include "PlotPlacer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace road {
namespace {

// A thin line from just off the point to just off the label's nearest edge; false when the
// label touches the point.
bool leaderOf(PagePoint from, const Box& b, std::array<PagePoint, 2>& out) {
    const PagePoint to{std::clamp(from.x, b.x0, b.x1), std::clamp(from.y, b.y0, b.y1)};
    const double d = std::hypot(to.x - from.x, to.y - from.y);
    if (d < 4.0) return false;
    const PagePoint u{(to.x - from.x) / d, (to.y - from.y) / d};
    out = {add(from, u, 2.0), add(to, u, -1.0)};
    return true;
}

}  // namespace

// Liang-Barsky clipping of the segment against the box.
bool segmentHitsBox(PagePoint a, PagePoint b, const Box& r) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - r.x0, r.x1 - a.x, a.y - r.y0, r.y1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

void Placer::addObstacle(const std::vector<PagePoint>& line) {
    constexpr size_t kChunk = 24;
    for (size_t i = 0; i + 1 < line.size(); i += kChunk) {
        Chunk c;
        c.points.assign(line.begin() + i, line.begin() + std::min(line.size(), i + kChunk + 1));
        c.bounds = {1e300, 1e300, -1e300, -1e300};
        for (const PagePoint& p : c.points)
            c.bounds = {std::min(c.bounds.x0, p.x), std::min(c.bounds.y0, p.y),
                        std::max(c.bounds.x1, p.x), std::max(c.bounds.y1, p.y)};
        chunks_.push_back(std::move(c));
    }
}

bool Placer::place(Label l, const std::vector<Spot>& spots, const Box& area) {
    const TextExtent e = measureText(l.text, l.size, l.bold);
    const double w = l.vertical ? e.ascent + e.descent : e.width;
    const double h = l.vertical ? e.width : e.ascent + e.descent;
    for (const Spot& s : spots) {
        // The box's near edge (or corner, on a diagonal) lies `gap` from the point.
        const double t = std::max({std::fabs(s.dir.x), std::fabs(s.dir.y), 1e-12});
        const PagePoint c{s.at.x + s.dir.x * s.gap + s.dir.x / t * w / 2,
                          s.at.y + s.dir.y * s.gap + s.dir.y / t * h / 2};
        const Box b{c.x - w / 2, c.y - h / 2, c.x + w / 2, c.y + h / 2};
        if (!b.inside(area) || !free(b)) continue;
        const bool needsLeader = s.gap >= kLeaderGap;
        std::array<PagePoint, 2> lead{};
        if (needsLeader && !(leaderOf(s.at, b, lead) && leaderFree(lead[0], lead[1]))) continue;
        l.x = l.vertical ? b.x0 + e.ascent : b.x0;
        l.y = l.vertical ? b.y1 : b.y0 + e.ascent;
        l.box = b;
        m_.labels.push_back(std::move(l));
        if (needsLeader) addLeader(lead[0], lead[1]);
        return true;
    }
    return false;
}

void Placer::addLeader(PagePoint a, PagePoint b) {
    Stroke line;
    line.points = {a, b};
    line.width = 0.25;
    line.colour = {0.45, 0.45, 0.45};
    line.role = "leader";
    m_.strokes.push_back(line);
    addObstacle(line.points);
}

// A leader may cross drawn lines but no other label.
bool Placer::leaderFree(PagePoint a, PagePoint b) const {
    for (const Label& placed : m_.labels)
        if (segmentHitsBox(a, b, placed.box)) return false;
    return true;
}

bool Placer::free(const Box& b) const {
    // A little air between labels, so that neighbours do not read as one text.
    const double air = 0.2 * std::min(b.x1 - b.x0, b.y1 - b.y0);
    const Box spaced{b.x0 - air, b.y0 - air / 2, b.x1 + air, b.y1 + air / 2};
    for (const Label& l : m_.labels)
        if (l.box.overlaps(spaced)) return false;
    for (const Box& k : blocked_)
        if (k.overlaps(b)) return false;
    const Box grown{b.x0 - 0.5, b.y0 - 0.5, b.x1 + 0.5, b.y1 + 0.5};
    for (const Chunk& c : chunks_) {
        const Box& k = c.bounds;  // may be flat: a chunk of a straight along an axis
        if (grown.x0 > k.x1 || k.x0 > grown.x1 || grown.y0 > k.y1 || k.y0 > grown.y1) continue;
        for (size_t i = 0; i + 1 < c.points.size(); ++i)
            if (segmentHitsBox(c.points[i], c.points[i + 1], grown)) return false;
    }
    return true;
}

std::vector<Spot> besideLine(PagePoint at, PagePoint normal, int first,
                             std::initializer_list<double> gaps) {
    std::vector<Spot> s;
    for (double g : gaps)
        for (int side : {first, -first})
            s.push_back({at, {normal.x * side, normal.y * side}, g});
    return s;
}

std::vector<Spot> around(PagePoint at, double vertical, std::initializer_list<double> gaps) {
    std::vector<Spot> s;
    for (double g : gaps)
        for (PagePoint d : {PagePoint{0, vertical}, PagePoint{1, vertical}, PagePoint{-1, vertical},
                            PagePoint{0, -vertical}, PagePoint{1, -vertical},
                            PagePoint{-1, -vertical}, PagePoint{1, 0}, PagePoint{-1, 0}})
            s.push_back({at, d, g});
    return s;
}

}  // namespace road
