#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

#include <velmorutils/landxml/AlignmentBuilder.h>

#include "Plot.h"

namespace road {
namespace {

namespace lx = zel_landxml;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{0.8, 0, 0};
constexpr Rgb kBlue{0, 0.2, 0.75};
constexpr Rgb kGreen{0, 0.45, 0.1};
constexpr Rgb kGrey{0.55, 0.55, 0.55};
constexpr Rgb kGridGrey{0.82, 0.82, 0.82};

constexpr double kPtPerMm = 72.0 / 25.4;
// Samples along the road: fine enough that a chord never strays visibly from an arc at any
// scale a sheet can hold, few enough that tens of kilometres stay quick.
constexpr int kMaxSamples = 8000;
constexpr double kMinSampleStepM = 0.25;
// A direction change at a boundary larger than this (about 20 seconds) is drawn as a kink.
constexpr double kKinkMarkRad = 1e-4;
// Elements shorter than this on the page (points) are too small to annotate.
constexpr double kMinAnnotatedPt = 14.0;
// Element boundaries closer than this on the page (points) are not marked one by one.
constexpr double kMinBoundaryGapPt = 3.0;
// Default station spacing without a file interval: the usual staking spacing.
constexpr double kDefaultIntervalM = 20.0;
constexpr double kDefaultIntervalFt = 50.0;
// Lengths, radii and spiral parameters to the millimetre (or thousandth of a foot), as a
// design is set out.
constexpr int kLengthDecimals = 3;

std::string fixed(double v, int decimals) {
    if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0.0;  // never "-0.00"
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// The smallest of 1, 2, 5 times a power of ten that is at least `minimum`.
double niceStep(double minimum) {
    const double p = std::pow(10.0, std::floor(std::log10(std::max(minimum, 1e-9))));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= minimum * (1 - 1e-12)) return m * p;
    return 10.0 * p;
}

// The smallest drawing scale 1:D with D at least `minimum`, from the usual series: metric
// 1, 2, 2.5, 5 times a power of ten; feet drawings at whole feet to the inch (1 in = 10, 20,
// 30, 40, 50, 60 ft times a power of ten).
double standardRatio(double minimum, bool feet) {
    for (double p = 1.0; p < 1e9; p *= 10.0) {
        if (feet) {
            for (double f : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0})
                if (12.0 * f * p >= minimum) return 12.0 * f * p;
        } else {
            for (double f : {1.0, 2.0, 2.5, 5.0})
                if (f * p >= minimum) return f * p;
        }
    }
    return minimum;
}

// Degrees, minutes and seconds of an angle in degrees (the sign in front).
std::string dmsText(double deg) {
    const double a = std::fabs(deg);
    long s = std::lround(a * 3600.0);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%ld\u00B0%02ld'%02ld\"", deg < 0 ? "-" : "", s / 3600,
                  (s / 60) % 60, s % 60);
    return buf;
}

PagePoint add(PagePoint a, PagePoint u, double k) {
    return {a.x + u.x * k, a.y + u.y * k};
}

// Liang-Barsky: whether the segment a-b passes through the box.
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

// Where a label may go: beside `at`, in direction `dir` (a unit vector, or zero for centred
// on `at`), with `gap` points between `at` and the nearest edge of the text's box.
struct Spot {
    PagePoint at;
    PagePoint dir;
    double gap = 0.0;
};

// Greedy label placement: each label takes the first of its spots whose box lies in the
// allowed area and touches neither a placed label nor a drawn line; a label with no free spot
// is left out. Labels are offered in order of importance, so what thins out first is what a
// surveyor misses least.
class Placer {
public:
    explicit Placer(PlotModel& m) : m_(m) {}

    void addObstacle(const std::vector<PagePoint>& line) {
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
    void block(const Box& b) { blocked_.push_back(b); }

    bool place(Label l, const std::vector<Spot>& spots, const Box& area) {
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
            if (needsLeader && !(leaderOf(s.at, b, lead) && leaderFree(lead))) continue;
            if (l.vertical) {
                l.x = b.x0 + e.ascent;
                l.y = b.y1;
            } else {
                l.x = b.x0;
                l.y = b.y0 + e.ascent;
            }
            l.box = b;
            m_.labels.push_back(std::move(l));
            if (needsLeader) {
                Stroke line;
                line.points = {lead[0], lead[1]};
                line.width = 0.25;
                line.colour = {0.45, 0.45, 0.45};
                line.role = "leader";
                m_.strokes.push_back(line);
                addObstacle(line.points);
            }
            return true;
        }
        return false;
    }

private:
    // Labels set further than this from their point get a thin line to it.
    static constexpr double kLeaderGap = 20.0;

    // A thin line from just off the point to just off the label's nearest edge.
    static bool leaderOf(PagePoint from, const Box& b, std::array<PagePoint, 2>& out) {
        const PagePoint to{std::clamp(from.x, b.x0, b.x1), std::clamp(from.y, b.y0, b.y1)};
        const double d = std::hypot(to.x - from.x, to.y - from.y);
        if (d < 4.0) return false;
        const PagePoint u{(to.x - from.x) / d, (to.y - from.y) / d};
        out = {add(from, u, 2.0), add(to, u, -1.0)};
        return true;
    }

    // A leader may cross drawn lines but no other label.
    bool leaderFree(const std::array<PagePoint, 2>& l) const {
        for (const Label& placed : m_.labels)
            if (segmentHitsBox(l[0], l[1], placed.box)) return false;
        return true;
    }

    struct Chunk {
        Box bounds;
        std::vector<PagePoint> points;
    };

    bool free(const Box& b) const {
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

    PlotModel& m_;
    std::vector<Chunk> chunks_;
    std::vector<Box> blocked_;
};

// Spots on both sides of a line at a point: `first` side first, each gap in turn.
std::vector<Spot> besideLine(PagePoint at, PagePoint normal, int first,
                             std::initializer_list<double> gaps) {
    std::vector<Spot> s;
    for (double g : gaps)
        for (int side : {first, -first})
            s.push_back({at, {normal.x * side, normal.y * side}, g});
    return s;
}

// Spots all round a point, `vertical` (-1 above, 1 below) preferred: straight above or below,
// then the diagonals, then the sides, each gap in turn.
std::vector<Spot> around(PagePoint at, double vertical, std::initializer_list<double> gaps) {
    std::vector<Spot> s;
    for (double g : gaps)
        for (PagePoint d : {PagePoint{0, vertical}, PagePoint{1, vertical}, PagePoint{-1, vertical},
                            PagePoint{0, -vertical}, PagePoint{1, -vertical},
                            PagePoint{-1, -vertical}, PagePoint{1, 0}, PagePoint{-1, 0}})
            s.push_back({at, d, g});
    return s;
}

Stroke line(std::vector<PagePoint> pts, double width, Rgb colour, std::string role) {
    Stroke s;
    s.points = std::move(pts);
    s.width = width;
    s.colour = colour;
    s.role = std::move(role);
    return s;
}

Stroke dot(PagePoint c, double r, Rgb colour, std::string role) {
    Stroke s = line({}, 0, colour, std::move(role));
    for (int i = 0; i < 16; ++i)
        s.points.push_back({c.x + r * std::cos(i * M_PI / 8), c.y + r * std::sin(i * M_PI / 8)});
    s.closed = s.filled = true;
    return s;
}

Stroke rectangle(const Box& b, double width, Rgb colour, std::string role) {
    Stroke s = line({{b.x0, b.y0}, {b.x1, b.y0}, {b.x1, b.y1}, {b.x0, b.y1}}, width, colour,
                    std::move(role));
    s.closed = true;
    return s;
}

// The page: where the plan, the profile and the title go.
struct Sheet {
    double width = 0, height = 0;
    double text = 8.0;  // label size, points
    bool paper = false;
    Box plan, profile, title;
};

Sheet sheetFor(Paper paper, double planAspect) {
    Sheet s;
    const double m = 20.0;
    if (paper == Paper::Fit) {
        s.width = 1100.0;
        const double planW = s.width - 2 * m;
        const double planH = std::clamp((planW - 56) * planAspect, 260.0, 900.0) + 34;
        s.title = {m, m, s.width - m, m + 22};
        s.plan = {m, s.title.y1 + 4, s.width - m, s.title.y1 + 4 + planH};
        s.profile = {m, s.plan.y1 + 8, s.width - m, s.plan.y1 + 8 + 400};
        s.height = s.profile.y1 + m;
        return s;
    }
    const double wMm = paper == Paper::A4 ? 297 : paper == Paper::A3 ? 420 : 841;
    const double hMm = paper == Paper::A4 ? 210 : paper == Paper::A3 ? 297 : 594;
    s.paper = true;
    s.width = wMm * kPtPerMm;
    s.height = hMm * kPtPerMm;
    s.text = paper == Paper::A4 ? 5.5 : paper == Paper::A3 ? 6.5 : 9.0;
    const double innerW = s.width - 2 * m, innerH = s.height - 2 * m;
    const double tbW = std::min(innerW * 0.34, s.text * 48), tbH = s.text * 15;
    s.title = {s.width - m - tbW, s.height - m - tbH, s.width - m, s.height - m};
    s.plan = {m, m, s.width - m, m + innerH * 0.56};
    s.profile = {m, s.plan.y1 + 6, s.title.x0 - 8, s.height - m};
    return s;
}

struct Element {
    lx::HElement data;
    double start = 0.0, end = 0.0;  // running chainage, metres
};

class Layout {
public:
    Layout(const CAlnt& a, const PlotOptions& o, PlotModel& m) : a_(a), o_(o), m_(m), put_(m) {}

    bool run(std::string& error) {
        start_ = a_.getStartChainageInM();
        if (!a_.getFinalChainageInM(end_) || !(end_ > start_))
            return error = "the alignment has no length to draw", false;
        lx::Alignment described;
        if (!lx::describeAlignment(a_, described, error)) return false;
        double c = start_;
        for (const lx::HElement& h : described.elements) {
            elements_.push_back({h, c, c + h.length});
            c += h.length;
        }
        if (a_.getNumOfVes() > 0 && !lx::describeProfile(a_, vips_, error)) return false;
        feet_ = o_.unitSymbol != "m";
        interval_ = o_.intervalM > 0
                        ? o_.intervalM
                        : (feet_ ? kDefaultIntervalFt * o_.metresPerUnit : kDefaultIntervalM);
        step_ = std::max((end_ - start_) / kMaxSamples, kMinSampleStepM);
        if (!sampleLines())
            return error = "the alignment cannot be evaluated along its length", false;
        double minE = 1e300, maxE = -1e300, minN = 1e300, maxN = -1e300;
        for (const auto& l : world_)
            for (const auto& [n, e] : l) {
                minN = std::min(minN, n), maxN = std::max(maxN, n);
                minE = std::min(minE, e), maxE = std::max(maxE, e);
            }
        sheet_ = sheetFor(o_.paper, std::max(maxN - minN, 1.0) / std::max(maxE - minE, 1.0));
        m_.width = sheet_.width;
        m_.height = sheet_.height;
        titleBlock();
        plan(minE, maxE, minN, maxN);
        profile();
        if (sheet_.paper) titleFrame();
        return true;
    }

private:
    double u(double metres) const { return metres / o_.metresPerUnit; }
    int heightDecimals() const { return feet_ ? 2 : 3; }
    std::string len(double metres) const {
        return fixed(u(metres), kLengthDecimals) + " " + o_.unitSymbol;
    }
    std::string station(double chainage) const {
        return o_.stationing.text(chainage, o_.stationStyle);
    }

    Label label(std::string text, std::string role, Rgb colour = kBlack) const {
        Label l;
        l.text = std::move(text);
        l.role = std::move(role);
        l.size = sheet_.text;
        l.colour = colour;
        return l;
    }

    bool sampleLines() {
        world_.assign(1 + o_.offsets.size(), {});
        chainages_.clear();
        for (double c = start_;; c = std::min(c + step_, end_)) {
            chainages_.push_back(c);
            if (c >= end_) break;
        }
        for (size_t k = 0; k < world_.size(); ++k) {
            const double off = k == 0 ? 0.0 : o_.offsets[k - 1];
            for (double c : chainages_) {
                double n = 0, e = 0;
                if (!a_.getPosNeAtChainAndOffsetExtr(c, off, n, e)) return false;
                world_[k].push_back({n, e});
            }
        }
        return true;
    }

    // ---- plan ----

    PagePoint toPage(double n, double e) const { return m_.planToPage(n, e); }
    bool at(double c, PagePoint& p, PagePoint& along, PagePoint& right) const {
        double n = 0, e = 0, az = 0;
        if (!a_.getPosNeAtChainAndOffsetExtr(c, 0.0, n, e) || !a_.getAzimuthAtChainExtr(c, az))
            return false;
        const double r = az * M_PI / 180.0;
        p = toPage(n, e);
        along = {std::sin(r), -std::cos(r)};
        right = {std::cos(r), std::sin(r)};
        return true;
    }

    void plan(double minE, double maxE, double minN, double maxN) {
        const Box& r = sheet_.plan;
        frame_ = {r.x0 + 8 * sheet_.text, r.y0 + 2.6 * sheet_.text, r.x1 - 4,
                  r.y1 - 2.8 * sheet_.text};
        const double spanE = std::max(maxE - minE, 1.0), spanN = std::max(maxN - minN, 1.0);
        const double fitScale =
            std::min((frame_.x1 - frame_.x0) / spanE, (frame_.y1 - frame_.y0) / spanN) * 0.9;
        s_ = fitScale;
        if (sheet_.paper) {
            // pt per metre at 1:D is 72 / 0.0254 / D
            m_.planRatio = standardRatio(72.0 / 0.0254 / fitScale, feet_);
            s_ = 72.0 / 0.0254 / m_.planRatio;
        }
        minE_ = (minE + maxE) / 2 - (frame_.x1 - frame_.x0) / 2 / s_;
        maxN_ = (minN + maxN) / 2 + (frame_.y1 - frame_.y0) / 2 / s_;
        m_.planPtPerMetre = s_;
        m_.planWestE = minE_;
        m_.planNorthN = maxN_;
        m_.planCorner = {frame_.x0, frame_.y0};
        Label title = label("Plan", "title");
        title.bold = true;
        title.size = sheet_.text * 1.4;
        put_.place(title, {{{r.x0, r.y0}, {1, 1}, 0}}, pageBox());
        planGrid();
        std::vector<std::vector<PagePoint>> page(world_.size());
        for (size_t k = 0; k < world_.size(); ++k)
            for (const auto& [n, e] : world_[k])
                page[k].push_back(toPage(n, e));
        for (size_t k = 1; k < page.size(); ++k) {
            Stroke s = line(page[k], 0.5, kGrey, "offset");
            s.dash = {3, 2};
            m_.strokes.push_back(s);
            put_.addObstacle(page[k]);
        }
        m_.strokes.push_back(line(page[0], 1.2, kRed, "centreline"));
        put_.addObstacle(page[0]);
        northArrow();
        scaleBar();
        equationsInPlan();
        kinksInPlan();
        stationsInPlan();
        boundariesInPlan();
        elementsInPlan();
    }

    Box pageBox() const { return {0, 0, sheet_.width, sheet_.height}; }

    void planGrid() {
        m_.strokes.push_back(rectangle(frame_, 0.6, kBlack, "frame"));
        // Grid lines at least about 20 mm apart on the page, in round numbers of the unit.
        const double stepU = niceStep(u(55.0 / s_));
        const double stepM = stepU * o_.metresPerUnit;
        const int dec = stepU >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(stepU)));
        const double e0 = minE_, e1 = minE_ + (frame_.x1 - frame_.x0) / s_;
        const double n1 = maxN_, n0 = maxN_ - (frame_.y1 - frame_.y0) / s_;
        for (double k = std::ceil(u(e0) / stepU); k * stepM <= e1 * (1 + 1e-15); k += 1) {
            const double x = toPage(0, k * stepM).x;
            m_.strokes.push_back(line({{x, frame_.y0}, {x, frame_.y1}}, 0.3, kGridGrey, "grid"));
            put_.place(label("E " + fixed(k * stepU, dec), "grid"), {{{x, frame_.y1}, {0, 1}, 2}},
                       pageBox());
        }
        for (double k = std::ceil(u(n0) / stepU); k * stepM <= n1 * (1 + 1e-15); k += 1) {
            const double y = toPage(k * stepM, 0).y;
            m_.strokes.push_back(line({{frame_.x0, y}, {frame_.x1, y}}, 0.3, kGridGrey, "grid"));
            put_.place(label("N " + fixed(k * stepU, dec), "grid"), {{{frame_.x0, y}, {-1, 0}, 2}},
                       pageBox());
        }
        Label note = label("Grid: northing N and easting E in " + o_.unitSymbol, "note");
        put_.place(note, {{{frame_.x0, frame_.y0 - 0.3 * sheet_.text}, {1, -1}, 0}}, pageBox());
    }

    void northArrow() {
        const double h = sheet_.text * 5;
        const PagePoint tip{frame_.x1 - 2.2 * sheet_.text, frame_.y0 + 2.4 * sheet_.text};
        Stroke s = line({tip,
                         {tip.x + h * 0.25, tip.y + h},
                         {tip.x, tip.y + h * 0.75},
                         {tip.x - h * 0.25, tip.y + h}},
                        0.5, kBlack, "north");
        s.closed = s.filled = true;
        m_.strokes.push_back(s);
        Label n = label("N", "north");
        n.bold = true;
        put_.place(n, {{tip, {0, -1}, 1}}, pageBox());
        put_.block({tip.x - h * 0.3, tip.y - 1, tip.x + h * 0.3, tip.y + h + 1});
    }

    void scaleBar() {
        const double target = u((frame_.x1 - frame_.x0) * 0.2 / s_);
        double lenU = niceStep(target);
        if (lenU > target) lenU /= (lenU / target > 2.2 ? 2.5 : 2.0);
        lenU = niceStep(lenU);
        const double w = lenU * o_.metresPerUnit * s_, h = sheet_.text * 0.6;
        const PagePoint o{frame_.x0 + 1.5 * sheet_.text, frame_.y1 - 2.6 * sheet_.text};
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
        const Box area = pageBox();
        put_.place(label("0", "scale"), {{{o.x, o.y}, {0, -1}, 1}}, area);
        const int dec = lenU >= 1 ? 0 : 2;
        put_.place(label(fixed(lenU, dec) + " " + o_.unitSymbol, "scale"),
                   {{{o.x + w, o.y}, {0, -1}, 1}}, area);
        if (m_.planRatio > 0)
            put_.place(label(ratioText(m_.planRatio), "scale"), {{{o.x, o.y + h}, {1, 1}, 1.5}},
                       area);
    }

    std::string ratioText(double d) const {
        std::string t = "1:" + fixed(d, 0);
        if (feet_) t += " (1 in = " + fixed(d / 12.0, 0) + " " + o_.unitSymbol + ")";
        return t;
    }

    void equationsInPlan() {
        for (const lx::StaEquation& q : o_.stationing.equations()) {
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
            put_.place(label("Stn eq. back " + station(q.staInternal - eps) + " = ahead " +
                                 station(q.staInternal),
                             "equation", kGreen),
                       besideLine(p, right, -1, {12, 22, 36}), frame_);
        }
    }

    static const char* boundaryCode(const Element* before, const Element* after) {
        if (before == nullptr) return "Start";
        if (after == nullptr) return "End";
        const lx::HKind a = before->data.kind, b = after->data.kind;
        using K = lx::HKind;
        if (a == K::Line && b == K::Spiral) return "TS";
        if (a == K::Spiral && b == K::Curve) return "SC";
        if (a == K::Curve && b == K::Spiral) return "CS";
        if (a == K::Spiral && b == K::Line) return "ST";
        if (a == K::Line && b == K::Curve) return "PC";
        if (a == K::Curve && b == K::Line) return "PT";
        if (a == K::Curve && b == K::Curve)
            return before->data.clockwise == after->data.clockwise ? "PCC" : "PRC";
        if (a == K::Spiral && b == K::Spiral) return "SS";
        return "POT";
    }

    // The change of direction across a chainage, degrees (right positive): a kink where the
    // geometry is not tangent-continuous.
    double deflectionAt(double c) const {
        double a0 = 0, a1 = 0;
        const double d = 1e-5;
        if (!a_.getAzimuthAtChainExtr(c - d, a0) || !a_.getAzimuthAtChainExtr(c + d, a1)) return 0;
        return std::remainder(a1 - a0, 360.0);
    }

    // A broken tangent is the thing a checker must not miss: kinks are placed early.
    void kinksInPlan() {
        for (size_t i = 1; i < elements_.size(); ++i) {
            const double c = elements_[i].start;
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
            put_.place(label(std::string("kink ") + (defl > 0 ? "right " : "left ") +
                                 dmsText(std::fabs(defl)),
                             "kink", kRed),
                       besideLine(p, right, 1, {6, 16, 30}), frame_);
        }
    }

    void boundariesInPlan() {
        for (size_t i = 0; i <= elements_.size(); ++i) {
            const Element* before = i > 0 ? &elements_[i - 1] : nullptr;
            const Element* after = i < elements_.size() ? &elements_[i] : nullptr;
            const double c = after ? after->start : before->end;
            PagePoint p, along, right;
            if (!at(std::clamp(c, start_, end_), p, along, right)) continue;
            // Ticks shorten where elements are short on the page, so they do not merge.
            const double shortest = std::min(before ? before->end - before->start : 1e300,
                                             after ? after->end - after->start : 1e300);
            // Boundaries closer than this on the page would merge into a band: only the ends
            // of the road are marked then.
            if (before && after && shortest * s_ < kMinBoundaryGapPt) continue;
            const double half = std::clamp(0.6 * shortest * s_, 2.5, 7.0);
            const std::vector<PagePoint> tick{add(p, right, -half), add(p, right, half)};
            m_.strokes.push_back(line(tick, 0.8, kBlue, "boundary"));
            put_.addObstacle(tick);
            put_.place(label(std::string(boundaryCode(before, after)) + " " + station(c),
                             "boundary", kBlue),
                       besideLine(p, right, -1, {half + 0.5, half + 7}), frame_);
        }
    }

    std::string elementText(const Element& el) const {
        const lx::HElement& h = el.data;
        if (h.kind == lx::HKind::Line) return "Line L=" + len(h.length);
        if (h.kind == lx::HKind::Curve)
            return std::string("Arc ") + (h.clockwise ? "right" : "left") + " R=" + len(h.radius) +
                   " L=" + len(h.length);
        const double k0 = std::isinf(h.radiusStart) ? 0.0 : 1.0 / h.radiusStart;
        const double k1 = std::isinf(h.radiusEnd) ? 0.0 : 1.0 / h.radiusEnd;
        const double a = std::sqrt(h.length / std::max(std::fabs(k1 - k0), 1e-15));
        auto radius = [&](double r) {
            return std::isinf(r) ? std::string("\u221E") : fixed(u(r), kLengthDecimals);
        };
        return "Clothoid A=" + len(a) + " L=" + len(h.length) + " R=" + radius(h.radiusStart) +
               "\u2192" + radius(h.radiusEnd) + " " + o_.unitSymbol;
    }

    void elementsInPlan() {
        for (const Element& el : elements_) {
            // An element too short on the page to tell which it is gets no annotation.
            if ((el.end - el.start) * s_ < kMinAnnotatedPt) continue;
            PagePoint p, along, right;
            if (!at((el.start + el.end) / 2, p, along, right)) continue;
            // Outside of a bend first, where the curve leaves room.
            const int outside = el.data.kind != lx::HKind::Line && el.data.clockwise ? -1 : 1;
            put_.place(label(elementText(el), "element"),
                       besideLine(p, right, outside, {8, 18, 30}), frame_);
        }
    }

    // Chainages of round design stations (multiples of `interval` metres), region by region of
    // the stationing, each with its multiple.
    std::vector<std::pair<double, long long>> roundStations(double interval) const {
        std::vector<std::pair<double, long long>> out;
        const lx::Stationing& st = o_.stationing;
        const auto& eq = st.equations();
        for (int r = 1; r <= st.regionCount(); ++r) {
            const double a = r == 1 ? start_ : std::max(start_, eq[r - 2].staInternal);
            const double b = r == st.regionCount() ? end_ : std::min(end_, eq[r - 1].staInternal);
            if (!(a <= b)) continue;
            const double sa = st.station(a), sb = sa + (b - a);
            for (double k = std::ceil(sa / interval - 1e-9); k * interval <= sb + 1e-9; k += 1) {
                const double c = st.chainageInRegion(k * interval, r);
                if (c < b || r == st.regionCount()) out.push_back({c, std::llround(k)});
            }
        }
        return out;
    }

    // The multiple of the interval (1, 2, 5, 10, 20, ... and a multiple of `of`) whose
    // stations lie at least `gap` points apart on the page (`pagePerM` points per metre).
    static long long multipleFor(double interval, double pagePerM, double gap, long long of = 1) {
        for (long long m = 1; m < 1000000000LL; m *= 10)
            for (long long f : {1, 2, 5})
                if ((f * m) % of == 0 && interval * f * m * pagePerM >= gap) return f * m;
        return 1000000000LL;
    }

    void stationsInPlan() {
        const double labelW = measureText(station(end_), sheet_.text).width;
        const long long tickM = multipleFor(interval_, s_, 4.0);
        const long long labelM = multipleFor(interval_, s_, labelW + 10, tickM);
        for (const auto& [c, k] : roundStations(interval_)) {
            if (k % tickM != 0) continue;
            PagePoint p, along, right;
            if (!at(c, p, along, right)) continue;
            const bool major = k % labelM == 0;
            const std::vector<PagePoint> tick{add(p, right, major ? -4.5 : -2.5),
                                              add(p, right, major ? 4.5 : 2.5)};
            m_.strokes.push_back(line(tick, 0.5, kBlack, "tick"));
            if (major)
                put_.place(label(station(c), "station"), besideLine(p, right, 1, {5.5, 11}),
                           frame_);
        }
    }

    // ---- profile ----

    void profile() {
        const Box& r = sheet_.profile;
        const double t = sheet_.text;
        Label title = label("Profile", "title");
        title.bold = true;
        title.size = t * 1.4;
        put_.place(title, {{{r.x0, r.y0}, {1, 1}, 0}}, pageBox());
        if (!sampleHeights() || vips_.size() < 2) {
            put_.place(label("no design profile", "note"), {{{r.x0, r.y0 + 3 * t}, {1, 1}, 0}},
                       pageBox());
            return;
        }
        pf_ = {r.x0 + 7.5 * t, r.y0 + 4.2 * t, r.x1 - 4, r.y1 - 11 * t};
        double lo = 1e300, hi = -1e300;
        for (const auto& [c, h] : heights_)
            lo = std::min(lo, h), hi = std::max(hi, h);
        for (const lx::Vip& v : vips_)
            lo = std::min(lo, v.elevation), hi = std::max(hi, v.elevation);
        const double fitH = (pf_.x1 - pf_.x0) / (end_ - start_);
        sh_ = fitH;
        double ratioH = 0;
        if (sheet_.paper) {
            ratioH = standardRatio(72.0 / 0.0254 / fitH, feet_);
            sh_ = 72.0 / 0.0254 / ratioH;
        }
        // Exaggeration: the largest usual factor that keeps the heights within 60 % of the frame,
        // leaving room above and below for the labels of crests and sags.
        const double room = (pf_.y1 - pf_.y0) * 0.6 / std::max(hi - lo, 0.01);
        exaggeration_ = 1;
        for (double f : {1.0, 2.0, 2.5, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0})
            if (sh_ * f <= room) exaggeration_ = f;
        sv_ = sh_ * exaggeration_;
        base_ = (lo + hi) / 2 - (pf_.y1 - pf_.y0) / 2 / sv_;
        std::string note = "Vertical exaggeration " +
                           fixed(exaggeration_, exaggeration_ == 2.5 ? 1 : 0) + "\u00D7";
        profileScale_ = "H " + ratioText(ratioH) + ", V " + ratioText(ratioH / exaggeration_);
        if (sheet_.paper) note += "   " + profileScale_;
        note += "   heights and grades in " + o_.unitSymbol;
        put_.place(label(note, "note"), {{{r.x0, r.y0 + 2.2 * t}, {1, 1}, 0}}, pageBox());
        profileGrid();
        profileLines();
        vipsInProfile();
        highLowPoints();
        gradesInProfile();
        stationAxis();
    }

    double px(double c) const { return pf_.x0 + (c - start_) * sh_; }
    double py(double h) const { return pf_.y1 - (h - base_) * sv_; }

    bool sampleHeights() {
        heights_.clear();
        if (a_.getNumOfVes() == 0) return false;
        for (double c : chainages_) {
            double h = 0;
            if (a_.getPosHAtChain(c, h)) heights_.push_back({c, h});
        }
        return !heights_.empty();
    }

    void profileGrid() {
        m_.strokes.push_back(rectangle(pf_, 0.6, kBlack, "frame"));
        const double stepU = niceStep(u(3.0 * sheet_.text / sv_));
        const double stepM = stepU * o_.metresPerUnit;
        const int dec = stepU >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(stepU)));
        const double top = base_ + (pf_.y1 - pf_.y0) / sv_;
        for (double k = std::ceil(u(base_) / stepU); k * stepM <= top; k += 1) {
            const double y = py(k * stepM);
            m_.strokes.push_back(line({{pf_.x0, y}, {pf_.x1, y}}, 0.3, kGridGrey, "grid"));
            put_.place(label(fixed(k * stepU, dec), "elevation"), {{{pf_.x0, y}, {-1, 0}, 2}},
                       pageBox());
        }
        Label axis = label("Elevation (" + o_.unitSymbol + ")", "axis");
        axis.vertical = true;
        put_.place(axis, {{{sheet_.profile.x0, (pf_.y0 + pf_.y1) / 2}, {1, 0}, 0}}, pageBox());
    }

    void profileLines() {
        std::vector<PagePoint> grades, design;
        for (const lx::Vip& v : vips_)
            grades.push_back({px(v.station), py(v.elevation)});
        for (const auto& [c, h] : heights_)
            design.push_back({px(c), py(h)});
        Stroke g = line(grades, 0.5, kGrey, "grades");
        g.dash = {4, 3};
        m_.strokes.push_back(g);
        m_.strokes.push_back(line(design, 1.2, kRed, "design"));
        put_.addObstacle(grades);
        put_.addObstacle(design);
    }

    double grade(size_t i) const {  // of the tangent from VIP i to VIP i + 1, as a fraction
        return (vips_[i + 1].elevation - vips_[i].elevation) /
               (vips_[i + 1].station - vips_[i].station);
    }

    double curveLength(size_t i) const {
        const lx::Vip& v = vips_[i];
        if (v.length > 0 || i == 0 || i + 1 >= vips_.size()) return v.length;
        if (v.curve == lx::VCurve::Circle) return v.radius * std::fabs(grade(i) - grade(i - 1));
        return 0.0;
    }

    void gradesInProfile() {
        for (size_t i = 0; i + 1 < vips_.size(); ++i) {
            const double g = grade(i) * 100;
            const double cm = (vips_[i].station + vips_[i + 1].station) / 2;
            const double hm = (vips_[i].elevation + vips_[i + 1].elevation) / 2;
            const PagePoint p{px(cm), py(hm)};
            // Beside the grade line, square to it on the page (above it first).
            const double dx = px(vips_[i + 1].station) - px(vips_[i].station);
            const double dy = py(vips_[i + 1].elevation) - py(vips_[i].elevation);
            const double d = std::max(std::hypot(dx, dy), 1e-9);
            const PagePoint up{dy / d, -dx / d};
            put_.place(label((g >= 0 ? "+" : "") + fixed(g, 3) + "%", "grade"),
                       besideLine(p, up, 1, {3, 9, 16}), pf_);
        }
    }

    void vipsInProfile() {
        for (size_t i = 0; i < vips_.size(); ++i) {
            const lx::Vip& v = vips_[i];
            const PagePoint p{px(v.station), py(v.elevation)};
            m_.strokes.push_back(dot(p, 2.2, kBlue, "vip"));
            put_.place(label("VIP " + station(v.station) + " EL " +
                                 fixed(u(v.elevation), heightDecimals()),
                             "vip", kBlue),
                       around(p, -1, {4, 14, 26}), pf_);
            const double L = curveLength(i);
            if (i == 0 || i + 1 >= vips_.size() || !(L > 0)) continue;
            const double dA = std::fabs(grade(i) - grade(i - 1)) * 100;
            std::string t = v.curve == lx::VCurve::Circle ? "R=" + len(v.radius) + " " : "";
            t += "L=" + len(L) + " K=" + (dA > 1e-9 ? fixed(u(L) / dA, 1) : std::string("-"));
            // The curve's ends on the design line.
            for (double c : {v.station - L / 2, v.station + L / 2}) {
                double h = 0;
                if (!a_.getPosHAtChain(std::clamp(c, start_, end_), h)) continue;
                const PagePoint e{px(c), py(h)};
                m_.strokes.push_back(line({{e.x, e.y - 4}, {e.x, e.y + 4}}, 0.6, kBlue, "vcend"));
            }
            const int sagFirst = grade(i) > grade(i - 1) ? 1 : -1;  // sag: text below the VIP
            put_.place(label(t, "vcurve", kBlue), around(p, sagFirst, {6, 16, 28}), pf_);
        }
    }

    // Crests and sags whose grades change sign have a high or low point inside the curve; it is
    // found on the library's own heights (a golden-section search, exact to well below 1 mm).
    void highLowPoints() {
        for (size_t i = 1; i + 1 < vips_.size(); ++i) {
            const double g0 = grade(i - 1), g1 = grade(i), L = curveLength(i);
            if (!(L > 0) || g0 * g1 >= 0) continue;
            const bool high = g0 > 0;
            double a = std::max(vips_[i].station - L / 2, start_);
            double b = std::min(vips_[i].station + L / 2, end_);
            auto f = [&](double c) {
                double h = 0;
                a_.getPosHAtChain(c, h);
                return high ? h : -h;
            };
            const double phi = (std::sqrt(5.0) - 1) / 2;
            for (int k = 0; k < 80 && b - a > 1e-7; ++k) {
                const double c1 = b - phi * (b - a), c2 = a + phi * (b - a);
                if (f(c1) < f(c2))
                    a = c1;
                else
                    b = c2;
            }
            const double c = (a + b) / 2, h = high ? f(c) : -f(c);
            const PagePoint p{px(c), py(h)};
            Stroke tri = line(
                {{p.x, p.y}, {p.x - 3, p.y + (high ? -5 : 5)}, {p.x + 3, p.y + (high ? -5 : 5)}},
                0.5, kGreen, "highlow");
            tri.closed = tri.filled = true;
            m_.strokes.push_back(tri);
            put_.place(label(std::string(high ? "High pt " : "Low pt ") + station(c) + " EL " +
                                 fixed(u(h), heightDecimals()),
                             "highlow", kGreen),
                       around(p, high ? 1.0 : -1.0, {7, 16, 28}), pf_);
        }
    }

    void stationAxis() {
        const double t = sheet_.text;
        const double labelW = measureText(station(end_), t).width;
        const long long tickM = multipleFor(interval_, sh_, 4.0);
        const long long labelM = multipleFor(interval_, sh_, labelW + 8, tickM);
        // Heights are written upwards, so they need only a line's height of room each.
        const long long bandM = multipleFor(interval_, sh_, 1.6 * t, tickM);
        const double bandTop = pf_.y1 + 2.6 * t, bandBottom = sheet_.profile.y1 - 0.5 * t;
        const Box band{pf_.x0 - 2 * t, bandTop, pf_.x1 + 2 * t, bandBottom};
        m_.strokes.push_back(line({{pf_.x0, bandTop}, {pf_.x1, bandTop}}, 0.4, kBlack, "band"));
        Label name = label("Design height (" + o_.unitSymbol + ")", "axis");
        name.vertical = true;
        put_.place(name, {{{sheet_.profile.x0 + 2.5 * t, (bandTop + bandBottom) / 2}, {0, 0}, 0}},
                   pageBox());
        for (const auto& [c, k] : roundStations(interval_)) {
            if (k % tickM != 0) continue;
            const double x = px(c);
            const bool major = k % labelM == 0;
            m_.strokes.push_back(
                line({{x, pf_.y1}, {x, pf_.y1 + (major ? 4.0 : 2.0)}}, 0.5, kBlack, "tick"));
            if (major) {
                m_.strokes.push_back(line({{x, pf_.y0}, {x, pf_.y1}}, 0.3, kGridGrey, "grid"));
                put_.place(label(station(c), "axis"), {{{x, pf_.y1 + 4}, {0, 1}, 1}}, pageBox());
            }
            double h = 0;
            if (k % bandM != 0 || !a_.getPosHAtChain(c, h)) continue;
            Label l = label(fixed(u(h), heightDecimals()), "height");
            l.vertical = true;
            put_.place(l, {{{x, bandTop}, {0, 1}, 2}}, band);
        }
    }

    // ---- title ----

    void titleBlock() {
        const std::string name = static_cast<const char*>(a_.getName());
        const std::string file = o_.fileName.empty() ? "built-in road" : o_.fileName;
        if (!sheet_.paper) {
            Label l = label(name + "   \u2014   " + file + "   \u2014   unit " + o_.unitSymbol +
                                "   \u2014   " + o_.date,
                            "title");
            l.size = sheet_.text * 1.3;
            l.bold = true;
            put_.place(l, {{{sheet_.title.x0, sheet_.title.y0}, {1, 1}, 0}}, pageBox());
        }
    }

    void titleFrame() {
        const Box& b = sheet_.title;
        m_.strokes.push_back(rectangle({b.x0, b.y0, b.x1, b.y1}, 0.8, kBlack, "titleblock"));
        m_.strokes.push_back(
            rectangle({sheet_.plan.x0 - 6, sheet_.plan.y0 - 6, sheet_.width - sheet_.plan.x0 + 6,
                       sheet_.height - sheet_.plan.y0 + 6},
                      1.0, kBlack, "border"));
        const std::string name = static_cast<const char*>(a_.getName());
        const std::string file = o_.fileName.empty() ? "built-in road" : o_.fileName;
        const std::string stations = station(start_) + " to " + station(end_);
        const std::vector<std::pair<std::string, std::string>> rows{
            {"Alignment", name},
            {"File", file},
            {"Stations", stations},
            {"Unit", o_.unitSymbol + " (coordinates, lengths, heights)"},
            {"Plan scale", ratioText(m_.planRatio)},
            {"Profile scale", profileScale_},
            {"Date", o_.date}};
        const double rowH = (b.y1 - b.y0) / rows.size();
        for (size_t i = 0; i < rows.size(); ++i) {
            const double y = b.y0 + i * rowH;
            if (i > 0)
                m_.strokes.push_back(line({{b.x0, y}, {b.x1, y}}, 0.3, kBlack, "titleblock"));
            Label key = label(rows[i].first, "title");
            put_.place(key, {{{b.x0 + 3, y + rowH / 2}, {1, 0}, 0}}, b);
            Label value = label(fitted(rows[i].second, b.x1 - b.x0 - 12 * sheet_.text), "title");
            value.bold = i == 0;
            put_.place(value, {{{b.x0 + 9 * sheet_.text, y + rowH / 2}, {1, 0}, 0}}, b);
        }
    }

    // A text shortened from the front ("...") to fit a width, so a long path keeps its name.
    std::string fitted(std::string text, double width) const {
        if (measureText(text, sheet_.text, true).width <= width) return text;
        while (text.size() > 4 && measureText("..." + text, sheet_.text, true).width > width)
            text.erase(0, 1);
        while (!text.empty() && (static_cast<unsigned char>(text[0]) & 0xC0) == 0x80)
            text.erase(0, 1);  // not inside a UTF-8 sequence
        return "..." + text;
    }

    const CAlnt& a_;
    const PlotOptions& o_;
    PlotModel& m_;
    Placer put_;
    Sheet sheet_;
    bool feet_ = false;
    double start_ = 0, end_ = 0, step_ = 1, interval_ = 20;
    std::vector<Element> elements_;
    std::vector<lx::Vip> vips_;
    std::vector<double> chainages_;
    std::vector<std::vector<std::pair<double, double>>> world_;  // north, east per line
    std::vector<std::pair<double, double>> heights_;             // chainage, height
    // plan frame and world-to-page mapping
    Box frame_;
    double s_ = 1, minE_ = 0, maxN_ = 0;
    // profile frame and mapping
    Box pf_;
    double sh_ = 1, sv_ = 1, base_ = 0, exaggeration_ = 1;
    std::string profileScale_ = "none";
};

}  // namespace

std::optional<Paper> parsePaper(const std::string& name) {
    std::string n;
    for (char c : name)
        n += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (n == "A4") return Paper::A4;
    if (n == "A3") return Paper::A3;
    if (n == "A1") return Paper::A1;
    return std::nullopt;
}

bool layoutPlot(const CAlnt& alnt, const PlotOptions& options, PlotModel& model,
                std::string& error) {
    model = PlotModel{};
    return Layout(alnt, options, model).run(error);
}

}  // namespace road
