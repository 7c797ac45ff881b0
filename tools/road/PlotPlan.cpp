#include <algorithm>
#include <cmath>
#include <cstdio>

#include "PlotLayout.h"

namespace road {
namespace {

// A direction change at a boundary larger than this (about 20 seconds) is drawn as a kink.
constexpr double kKinkMarkRad = 1e-4;
// Elements shorter than this on the page (points) are too small to annotate.
constexpr double kMinAnnotatedPt = 14.0;
// Element boundaries closer than this on the page (points) are not marked one by one.
constexpr double kMinBoundaryGapPt = 3.0;
// Lengths in the element texts to the millimetre (or thousandth of a foot).
constexpr int kRadiusDecimals = 3;

// Degrees, minutes and seconds of an angle in degrees (the sign in front).
std::string dmsText(double deg) {
    const double a = std::fabs(deg);
    long s = std::lround(a * 3600.0);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%ld\u00B0%02ld'%02ld\"", deg < 0 ? "-" : "", s / 3600,
                  (s / 60) % 60, s % 60);
    return buf;
}

// The plan, north up: grid, north arrow, scale bar, the centre and offset lines, station
// equations, kinks, round stations, element boundaries and element annotations.
class PlanLayout {
public:
    explicit PlanLayout(Drawing& d) : d_(d), m_(d.m), put_(d.put) {}

    void run(const WorldBox& w) {
        mapping(w);
        Label title = d_.label("Plan", "title");
        title.bold = true;
        title.size = d_.sheet.text * 1.4;
        put_.place(title, {{{d_.sheet.plan.x0, d_.sheet.plan.y0}, {1, 1}, 0}}, d_.pageBox());
        grid();
        roadLines();
        northArrow();
        scaleBar();
        equations();
        kinks();
        stations();
        boundaries();
        elements();
    }

private:
    // The frame and the world-to-page scale: the road fills the frame, or on paper the next
    // standard scale that holds it.
    void mapping(const WorldBox& w) {
        const Box& r = d_.sheet.plan;
        const double t = d_.sheet.text;
        frame_ = {r.x0 + 8 * t, r.y0 + 2.6 * t, r.x1 - 4, r.y1 - 2.8 * t};
        const double spanE = std::max(w.maxE - w.minE, 1.0), spanN = std::max(w.maxN - w.minN, 1.0);
        const double fitScale =
            std::min((frame_.x1 - frame_.x0) / spanE, (frame_.y1 - frame_.y0) / spanN) * 0.9;
        s_ = fitScale;
        if (d_.sheet.paper) {
            // pt per metre at 1:D is 72 / 0.0254 / D
            m_.planRatio = standardRatio(72.0 / 0.0254 / fitScale, d_.feet);
            s_ = 72.0 / 0.0254 / m_.planRatio;
        }
        minE_ = (w.minE + w.maxE) / 2 - (frame_.x1 - frame_.x0) / 2 / s_;
        maxN_ = (w.minN + w.maxN) / 2 + (frame_.y1 - frame_.y0) / 2 / s_;
        m_.planPtPerMetre = s_;
        m_.planWestE = minE_;
        m_.planNorthN = maxN_;
        m_.planCorner = {frame_.x0, frame_.y0};
    }

    PagePoint toPage(double n, double e) const { return m_.planToPage(n, e); }

    bool at(double c, PagePoint& p, PagePoint& along, PagePoint& right) const {
        TAlntEval e;
        if (!d_.at(c, e)) return false;
        const double r = e.azimuthDeg * M_PI / 180.0;
        p = toPage(e.north, e.east);
        along = {std::sin(r), -std::cos(r)};
        right = {std::cos(r), std::sin(r)};
        return true;
    }

    void roadLines() {
        std::vector<std::vector<PagePoint>> page(d_.world.size());
        for (size_t k = 0; k < d_.world.size(); ++k)
            for (const auto& [n, e] : d_.world[k])
                page[k].push_back(toPage(n, e));
        for (size_t k = 1; k < page.size(); ++k) {
            Stroke s = line(page[k], 0.5, kGrey, "offset");
            s.dash = {3, 2};
            m_.strokes.push_back(s);
            put_.addObstacle(page[k]);
        }
        m_.strokes.push_back(line(page[0], 1.2, kRed, "centreline"));
        put_.addObstacle(page[0]);
    }

    void grid() {
        m_.strokes.push_back(rectangle(frame_, 0.6, kBlack, "frame"));
        // Grid lines at least about 20 mm apart on the page, in round numbers of the unit.
        const double stepU = niceStep(d_.u(55.0 / s_));
        const double stepM = stepU * d_.o.metresPerUnit;
        const int dec = stepU >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(stepU)));
        const double e0 = minE_, e1 = minE_ + (frame_.x1 - frame_.x0) / s_;
        const double n1 = maxN_, n0 = maxN_ - (frame_.y1 - frame_.y0) / s_;
        for (double k = std::ceil(d_.u(e0) / stepU); k * stepM <= e1 * (1 + 1e-15); k += 1) {
            const double x = toPage(0, k * stepM).x;
            m_.strokes.push_back(line({{x, frame_.y0}, {x, frame_.y1}}, 0.3, kGridGrey, "grid"));
            put_.place(d_.label("E " + fixed(k * stepU, dec), "grid"),
                       {{{x, frame_.y1}, {0, 1}, 2}}, d_.pageBox());
        }
        for (double k = std::ceil(d_.u(n0) / stepU); k * stepM <= n1 * (1 + 1e-15); k += 1) {
            const double y = toPage(k * stepM, 0).y;
            m_.strokes.push_back(line({{frame_.x0, y}, {frame_.x1, y}}, 0.3, kGridGrey, "grid"));
            put_.place(d_.label("N " + fixed(k * stepU, dec), "grid"),
                       {{{frame_.x0, y}, {-1, 0}, 2}}, d_.pageBox());
        }
        Label note = d_.label("Grid: northing N and easting E in " + d_.o.unitSymbol, "note");
        put_.place(note, {{{frame_.x0, frame_.y0 - 0.3 * d_.sheet.text}, {1, -1}, 0}},
                   d_.pageBox());
    }

    void northArrow() {
        const double h = d_.sheet.text * 5;
        const PagePoint tip{frame_.x1 - 2.2 * d_.sheet.text, frame_.y0 + 2.4 * d_.sheet.text};
        Stroke s = line({tip,
                         {tip.x + h * 0.25, tip.y + h},
                         {tip.x, tip.y + h * 0.75},
                         {tip.x - h * 0.25, tip.y + h}},
                        0.5, kBlack, "north");
        s.closed = s.filled = true;
        m_.strokes.push_back(s);
        Label n = d_.label("N", "north");
        n.bold = true;
        put_.place(n, {{tip, {0, -1}, 1}}, d_.pageBox());
        put_.block({tip.x - h * 0.3, tip.y - 1, tip.x + h * 0.3, tip.y + h + 1});
    }

    void scaleBar() {
        const double target = d_.u((frame_.x1 - frame_.x0) * 0.2 / s_);
        double lenU = niceStep(target);
        if (lenU > target) lenU /= (lenU / target > 2.2 ? 2.5 : 2.0);
        lenU = niceStep(lenU);
        const double w = lenU * d_.o.metresPerUnit * s_, h = d_.sheet.text * 0.6;
        const PagePoint o{frame_.x0 + 1.5 * d_.sheet.text, frame_.y1 - 2.6 * d_.sheet.text};
        for (int i = 0; i < 4; ++i) {
            const Box b{o.x + i * w / 4, o.y, o.x + (i + 1) * w / 4, o.y + h};
            Stroke s = rectangle(b, 0.4, kBlack, "scalebar");
            m_.strokes.push_back(s);
            if (i % 2 == 0) {
                s.filled = true;
                m_.strokes.push_back(s);
            }
        }
        put_.block({o.x - 1, o.y - 1, o.x + w + 1, o.y + h + 1});
        const Box area = d_.pageBox();
        put_.place(d_.label("0", "scale"), {{{o.x, o.y}, {0, -1}, 1}}, area);
        const int dec = lenU >= 1 ? 0 : 2;
        put_.place(d_.label(fixed(lenU, dec) + " " + d_.o.unitSymbol, "scale"),
                   {{{o.x + w, o.y}, {0, -1}, 1}}, area);
        if (m_.planRatio > 0)
            put_.place(d_.label(d_.ratioText(m_.planRatio), "scale"),
                       {{{o.x, o.y + h}, {1, 1}, 1.5}}, area);
    }

    void equations() {
        for (const lx::StaEquation& q : d_.o.stationing.equations()) {
            PagePoint p, along, right;
            if (!at(q.staInternal, p, along, right)) continue;
            Stroke tri = line({add(p, right, -6), add(add(p, right, -12), along, 3),
                               add(add(p, right, -12), along, -3)},
                              0.5, kGreen, "equation");
            tri.closed = tri.filled = true;
            m_.strokes.push_back(tri);
            put_.addObstacle({tri.points[0], tri.points[1], tri.points[2], tri.points[0]});
            const std::vector<PagePoint> tick{add(p, right, -6), add(p, right, 6)};
            m_.strokes.push_back(line(tick, 1.0, kGreen, "equation"));
            put_.addObstacle(tick);
            const double eps = 1e-6;
            put_.place(d_.label("Stn eq. back " + d_.station(q.staInternal - eps) + " = ahead " +
                                    d_.station(q.staInternal),
                                "equation", kGreen),
                       besideLine(p, right, -1, {12, 22, 36}), frame_);
        }
    }

    // The change of direction across a joint, degrees (right positive): the end tangent of the
    // element behind against the start tangent of the one ahead.
    double deflectionAt(double c) const {
        TAlntEval back, ahead;
        if (!d_.at(c, back, TAlntJointSide::back) || !d_.at(c, ahead, TAlntJointSide::ahead))
            return 0;
        return std::remainder(ahead.azimuthDeg - back.azimuthDeg, 360.0);
    }

    // A broken tangent is the thing a checker must not miss: kinks are placed early.
    void kinks() {
        for (const TAlntStakeoutStation& key : keys_) {
            if (!key.anglePoint) continue;
            const double c = key.chainageInM;
            const double defl = deflectionAt(c);
            if (std::fabs(defl) * M_PI / 180.0 <= kKinkMarkRad) continue;
            PagePoint p, along, right;
            if (!at(c, p, along, right)) continue;
            Stroke ring = dot(p, 3.5, kRed, "kink");
            ring.filled = false;
            ring.width = 0.8;
            m_.strokes.push_back(ring);
            std::vector<PagePoint> closedRing = ring.points;
            closedRing.push_back(ring.points.front());
            put_.addObstacle(closedRing);
            put_.place(d_.label(std::string("kink ") + (defl > 0 ? "right " : "left ") +
                                    dmsText(std::fabs(defl)),
                                "kink", kRed),
                       besideLine(p, right, 1, {6, 16, 30}), frame_);
        }
    }

    // Element boundaries and key points, named and placed as the stake-out has them.
    void boundaries() {
        const std::vector<TAlntStakeoutStation>& keys = keys_;
        for (size_t i = 0; i < keys.size(); ++i) {
            const double c = keys[i].chainageInM;
            const bool inside = i > 0 && i + 1 < keys.size();
            PagePoint p, along, right;
            if (!at(std::clamp(c, d_.start, d_.end), p, along, right)) continue;
            // Ticks shorten where the pieces either side are short on the page, so they do not
            // merge.
            const double shortest =
                std::min(i > 0 ? c - keys[i - 1].chainageInM : 1e300,
                         i + 1 < keys.size() ? keys[i + 1].chainageInM - c : 1e300);
            // Boundaries closer than this on the page would merge into a band: only the ends
            // of the road are marked then.
            if (inside && shortest * s_ < kMinBoundaryGapPt) continue;
            const double half = std::clamp(0.6 * shortest * s_, 2.5, 7.0);
            const std::vector<PagePoint> tick{add(p, right, -half), add(p, right, half)};
            m_.strokes.push_back(line(tick, 0.8, kBlue, "boundary"));
            put_.addObstacle(tick);
            put_.place(d_.label(std::string(keys[i].code) + " " + d_.station(c), "boundary", kBlue),
                       besideLine(p, right, -1, {half + 0.5, half + 7}), frame_);
        }
    }

    std::string elementText(const Element& el) const {
        const lx::HElement& h = el.data;
        if (h.kind == lx::HKind::Line) return "Line L=" + d_.len(h.length);
        if (h.kind == lx::HKind::Curve)
            return std::string("Arc ") + (h.clockwise ? "right" : "left") +
                   " R=" + d_.len(h.radius) + " L=" + d_.len(h.length);
        const double k0 = std::isinf(h.radiusStart) ? 0.0 : 1.0 / h.radiusStart;
        const double k1 = std::isinf(h.radiusEnd) ? 0.0 : 1.0 / h.radiusEnd;
        const double a = std::sqrt(h.length / std::max(std::fabs(k1 - k0), 1e-15));
        auto radius = [&](double r) {
            return std::isinf(r) ? std::string("\u221E") : fixed(d_.u(r), kRadiusDecimals);
        };
        return "Clothoid A=" + d_.len(a) + " L=" + d_.len(h.length) +
               " R=" + radius(h.radiusStart) + "\u2192" + radius(h.radiusEnd) + " " +
               d_.o.unitSymbol;
    }

    void elements() {
        for (const Element& el : d_.elements) {
            // An element too short on the page to tell which it is gets no annotation.
            if ((el.end - el.start) * s_ < kMinAnnotatedPt) continue;
            PagePoint p, along, right;
            if (!at((el.start + el.end) / 2, p, along, right)) continue;
            // Outside of a bend first, where the curve leaves room.
            const int outside = el.data.kind != lx::HKind::Line && el.data.clockwise ? -1 : 1;
            put_.place(d_.label(elementText(el), "element"),
                       besideLine(p, right, outside, {8, 18, 30}), frame_);
        }
    }

    void stations() {
        const double labelW = measureText(d_.station(d_.end), d_.sheet.text).width;
        const long long tickM = multipleFor(d_.interval, s_, 4.0);
        const long long labelM = multipleFor(d_.interval, s_, labelW + 10, tickM);
        for (const auto& [c, k] : d_.roundStations(d_.interval)) {
            if (k % tickM != 0) continue;
            PagePoint p, along, right;
            if (!at(c, p, along, right)) continue;
            const bool major = k % labelM == 0;
            const std::vector<PagePoint> tick{add(p, right, major ? -4.5 : -2.5),
                                              add(p, right, major ? 4.5 : 2.5)};
            m_.strokes.push_back(line(tick, 0.5, kBlack, "tick"));
            if (major)
                put_.place(d_.label(d_.station(c), "station"), besideLine(p, right, 1, {5.5, 11}),
                           frame_);
        }
    }

    Drawing& d_;
    PlotModel& m_;
    Placer& put_;
    const std::vector<TAlntStakeoutStation> keys_ = d_.keyPoints();
    Box frame_;
    double s_ = 1, minE_ = 0, maxN_ = 0;  // points per metre; world at the frame's top left
};

}  // namespace

void layoutPlan(Drawing& d, const WorldBox& extent) {
    PlanLayout(d).run(extent);
}

}  // namespace road
