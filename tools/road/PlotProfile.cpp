#include <algorithm>
#include <cmath>

#include "PlotLayout.h"

namespace road {
namespace {

// The profile: grid, the grade lines and the design line, VIPs and vertical curves, high and
// low points, grades, and the station axis with its band of design heights.
class ProfileLayout {
public:
    explicit ProfileLayout(Drawing& d) : d_(d), m_(d.m), put_(d.put), vips_(d.vips) {}

    void run() {
        const Box& r = d_.sheet.profile;
        const double t = d_.sheet.text;
        Label title = d_.label("Profile", "title");
        title.bold = true;
        title.size = t * 1.4;
        put_.place(title, {{{r.x0, r.y0}, {1, 1}, 0}}, d_.pageBox());
        if (!sampleHeights() || vips_.size() < 2) {
            put_.place(d_.label("no design profile", "note"), {{{r.x0, r.y0 + 3 * t}, {1, 1}, 0}},
                       d_.pageBox());
            return;
        }
        pf_ = {r.x0 + 7.5 * t, r.y0 + 4.2 * t, r.x1 - 4, r.y1 - 11 * t};
        mapping();
        std::string note = "Vertical exaggeration " +
                           fixed(exaggeration_, exaggeration_ == 2.5 ? 1 : 0) + "\u00D7";
        if (d_.sheet.paper) note += "   " + d_.profileScale;
        note += "   heights and grades in " + d_.o.unitSymbol;
        put_.place(d_.label(note, "note"), {{{r.x0, r.y0 + 2.2 * t}, {1, 1}, 0}}, d_.pageBox());
        grid();
        lines();
        // A profile sheet must show every grade: grades are placed before the longer texts of
        // the VIPs and curves at their ends, which have more places to go.
        gradeLabels();
        vipLabels();
        highLowPoints();
        stationAxis();
    }

private:
    // Horizontal scale (the frame's width, or on paper the next standard scale) and the
    // vertical exaggeration.
    void mapping() {
        double lo = 1e300, hi = -1e300;
        for (const auto& [c, h] : heights_)
            lo = std::min(lo, h), hi = std::max(hi, h);
        for (const lx::Vip& v : vips_)
            lo = std::min(lo, v.elevation), hi = std::max(hi, v.elevation);
        sh_ = (pf_.x1 - pf_.x0) / (d_.end - d_.start);
        double ratioH = 0;
        if (d_.sheet.paper) {
            ratioH = standardRatio(72.0 / 0.0254 / sh_, d_.feet);
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
        d_.profileScale =
            "H " + d_.ratioText(ratioH) + ", V " + d_.ratioText(ratioH / exaggeration_);
    }

    double px(double c) const { return pf_.x0 + (c - d_.start) * sh_; }
    double py(double h) const { return pf_.y1 - (h - base_) * sv_; }

    bool sampleHeights() {
        heights_.clear();
        if (d_.a.getNumOfVes() == 0) return false;
        for (double c : d_.chainages) {
            double h = 0;
            if (d_.heightAt(c, h)) heights_.push_back({c, h});
        }
        return !heights_.empty();
    }

    void grid() {
        m_.strokes.push_back(rectangle(pf_, 0.6, kBlack, "frame"));
        const double stepU = niceStep(d_.u(3.0 * d_.sheet.text / sv_));
        const double stepM = stepU * d_.o.metresPerUnit;
        const int dec = stepU >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(stepU)));
        const double top = base_ + (pf_.y1 - pf_.y0) / sv_;
        for (double k = std::ceil(d_.u(base_) / stepU); k * stepM <= top; k += 1) {
            const double y = py(k * stepM);
            m_.strokes.push_back(line({{pf_.x0, y}, {pf_.x1, y}}, 0.3, kGridGrey, "grid"));
            put_.place(d_.label(fixed(k * stepU, dec), "elevation"), {{{pf_.x0, y}, {-1, 0}, 2}},
                       d_.pageBox());
        }
        Label axis = d_.label("Elevation (" + d_.o.unitSymbol + ")", "axis");
        axis.vertical = true;
        put_.place(axis, {{{d_.sheet.profile.x0, (pf_.y0 + pf_.y1) / 2}, {1, 0}, 0}}, d_.pageBox());
    }

    void lines() {
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

    // Every grade is labelled: beside the part of its tangent that the design line follows
    // (between the vertical curves at its ends), square to it on the page and above it first;
    // a grade too short or too crowded for that gets its label further off, with a leader.
    void gradeLabels() {
        for (size_t i = 0; i + 1 < vips_.size(); ++i) {
            const double g = grade(i) * 100;
            const double c0 = vips_[i].station + (i > 0 ? curveLength(i) / 2 : 0.0);
            const double c1 = vips_[i + 1].station - curveLength(i + 1) / 2;
            const double cm =
                c0 < c1 ? (c0 + c1) / 2 : (vips_[i].station + vips_[i + 1].station) / 2;
            const double hm = vips_[i].elevation + grade(i) * (cm - vips_[i].station);
            const PagePoint p{px(cm), py(hm)};
            const double dx = px(vips_[i + 1].station) - px(vips_[i].station);
            const double dy = py(vips_[i + 1].elevation) - py(vips_[i].elevation);
            const double d = std::max(std::hypot(dx, dy), 1e-9);
            const PagePoint up{dy / d, -dx / d};
            std::vector<Spot> spots = besideLine(p, up, 1, {3, 9, 16});
            for (const Spot& s : around(p, up.y < 0 ? -1 : 1, {24, 40, 60, 90}))
                spots.push_back(s);
            put_.place(d_.label((g >= 0 ? "+" : "") + fixed(g, 3) + "%", "grade"), spots, pf_);
        }
    }

    // The curve's ends on the design line, each a short upright tick.
    void curveEnds(const lx::Vip& v, double L) {
        for (double c : {v.station - L / 2, v.station + L / 2}) {
            double h = 0;
            if (!d_.heightAt(std::clamp(c, d_.start, d_.end), h)) continue;
            const PagePoint e{px(c), py(h)};
            m_.strokes.push_back(line({{e.x, e.y - 4}, {e.x, e.y + 4}}, 0.6, kBlue, "vcend"));
        }
    }

    void vipLabels() {
        for (size_t i = 0; i < vips_.size(); ++i) {
            const lx::Vip& v = vips_[i];
            const PagePoint p{px(v.station), py(v.elevation)};
            m_.strokes.push_back(dot(p, 2.2, kBlue, "vip"));
            put_.place(d_.label("VIP " + d_.station(v.station) + " EL " +
                                    fixed(d_.u(v.elevation), d_.heightDecimals()),
                                "vip", kBlue),
                       around(p, -1, {4, 14, 26}), pf_);
            const double L = curveLength(i);
            if (i == 0 || i + 1 >= vips_.size() || !(L > 0)) continue;
            const double dA = std::fabs(grade(i) - grade(i - 1)) * 100;
            std::string t = v.curve == lx::VCurve::Circle ? "R=" + d_.len(v.radius) + " " : "";
            t += "L=" + d_.len(L) + " K=" + (dA > 1e-9 ? fixed(d_.u(L) / dA, 1) : std::string("-"));
            curveEnds(v, L);
            const int sagFirst = grade(i) > grade(i - 1) ? 1 : -1;  // sag: text below the VIP
            put_.place(d_.label(t, "vcurve", kBlue), around(p, sagFirst, {6, 16, 28}), pf_);
        }
    }

    // The chainage of the highest (or lowest) design height between a and b, by a
    // golden-section search on the library's own heights (exact to well below 1 mm).
    double extremum(double a, double b, bool high) const {
        auto f = [&](double c) {
            double h = 0;
            d_.heightAt(c, h);
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
        return (a + b) / 2;
    }

    // Crests and sags whose grades change sign have a high or low point inside the curve.
    void highLowPoints() {
        for (size_t i = 1; i + 1 < vips_.size(); ++i) {
            const double g0 = grade(i - 1), g1 = grade(i), L = curveLength(i);
            if (!(L > 0) || g0 * g1 >= 0) continue;
            const bool high = g0 > 0;
            const double c = extremum(std::max(vips_[i].station - L / 2, d_.start),
                                      std::min(vips_[i].station + L / 2, d_.end), high);
            double h = 0;
            d_.heightAt(c, h);
            const PagePoint p{px(c), py(h)};
            Stroke tri = line(
                {{p.x, p.y}, {p.x - 3, p.y + (high ? -5 : 5)}, {p.x + 3, p.y + (high ? -5 : 5)}},
                0.5, kGreen, "highlow");
            tri.closed = tri.filled = true;
            m_.strokes.push_back(tri);
            put_.place(d_.label(std::string(high ? "High pt " : "Low pt ") + d_.station(c) +
                                    " EL " + fixed(d_.u(h), d_.heightDecimals()),
                                "highlow", kGreen),
                       around(p, high ? 1.0 : -1.0, {7, 16, 28}), pf_);
        }
    }

    void stationAxis() {
        const double t = d_.sheet.text;
        const double labelW = measureText(d_.station(d_.end), t).width;
        const long long tickM = multipleFor(d_.interval, sh_, 4.0);
        const long long labelM = multipleFor(d_.interval, sh_, labelW + 8, tickM);
        // Heights are written upwards, so they need only a line's height of room each.
        const long long bandM = multipleFor(d_.interval, sh_, 1.6 * t, tickM);
        const double bandTop = pf_.y1 + 2.6 * t, bandBottom = d_.sheet.profile.y1 - 0.5 * t;
        const Box band{pf_.x0 - 2 * t, bandTop, pf_.x1 + 2 * t, bandBottom};
        m_.strokes.push_back(line({{pf_.x0, bandTop}, {pf_.x1, bandTop}}, 0.4, kBlack, "band"));
        Label name = d_.label("Design height (" + d_.o.unitSymbol + ")", "axis");
        name.vertical = true;
        put_.place(name, {{{d_.sheet.profile.x0 + 2.5 * t, (bandTop + bandBottom) / 2}, {0, 0}, 0}},
                   d_.pageBox());
        for (const auto& [c, k] : d_.roundStations(d_.interval)) {
            if (k % tickM != 0) continue;
            const double x = px(c);
            const bool major = k % labelM == 0;
            m_.strokes.push_back(
                line({{x, pf_.y1}, {x, pf_.y1 + (major ? 4.0 : 2.0)}}, 0.5, kBlack, "tick"));
            if (major) {
                m_.strokes.push_back(line({{x, pf_.y0}, {x, pf_.y1}}, 0.3, kGridGrey, "grid"));
                put_.place(d_.label(d_.station(c), "axis"), {{{x, pf_.y1 + 4}, {0, 1}, 1}},
                           d_.pageBox());
            }
            double h = 0;
            if (k % bandM != 0 || !d_.heightAt(c, h)) continue;
            Label l = d_.label(fixed(d_.u(h), d_.heightDecimals()), "height");
            l.vertical = true;
            put_.place(l, {{{x, bandTop}, {0, 1}, 2}}, band);
        }
    }

    Drawing& d_;
    PlotModel& m_;
    Placer& put_;
    const std::vector<lx::Vip>& vips_;
    std::vector<std::pair<double, double>> heights_;  // chainage, height
    Box pf_;                                          // the profile's frame
    double sh_ = 1, sv_ = 1;                          // points per metre along and up (exaggerated)
    double base_ = 0;                                 // height at the frame's bottom edge
    double exaggeration_ = 1;
};

}  // namespace

void layoutProfile(Drawing& d) {
    ProfileLayout(d).run();
}

}  // namespace road
