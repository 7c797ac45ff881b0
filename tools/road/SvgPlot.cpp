#include "SvgPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Stationing.h>

namespace road {

using zel_landxml::describeProfile;
namespace {

constexpr double kMargin = 50.0;
constexpr double kProfileHeight = 280.0;
constexpr int kMaxSamples = 6000;

std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

// A round interval giving about ten ticks.
double niceInterval(double length) {
    const double raw = length / 10.0;
    const double p = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-3))));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * p) return m * p;
    return 10.0 * p;
}

struct Frame {  // world to pixels, same scale on both axes
    double minE, maxN, scale, left, top;
    double x(double e) const { return left + (e - minE) * scale; }
    double y(double n) const { return top + (maxN - n) * scale; }
};

std::string polyline(const std::vector<std::pair<double, double>>& pts, const std::string& style) {
    std::string d;
    for (size_t i = 0; i < pts.size(); ++i)
        d += (i ? " L" : "M") + fmt(pts[i].first) + " " + fmt(pts[i].second);
    return "<path d=\"" + d + "\" " + style + "/>\n";
}

class Plotter {
public:
    Plotter(const CAlnt& alnt, const PlotOptions& o) : a_(alnt), o_(o) {
        start_ = a_.getStartChainageInM();
        end_ = start_;
        a_.getFinalChainageInM(end_);
        step_ = std::max((end_ - start_) / kMaxSamples, 0.5);
    }

    std::string run() {
        std::vector<std::vector<std::pair<double, double>>> world(1 + o_.offsets.size());
        for (double c = start_;; c = std::min(c + step_, end_)) {
            sampleAt(c, world);
            if (c >= end_) break;
        }
        double minN = 1e300, maxN = -1e300, minE = 1e300, maxE = -1e300;
        for (const auto& line : world)
            for (const auto& [n, e] : line) {
                minN = std::min(minN, n), maxN = std::max(maxN, n);
                minE = std::min(minE, e), maxE = std::max(maxE, e);
            }
        const double inner = o_.width - 2 * kMargin;
        const double scale = inner / std::max({maxE - minE, maxN - minN, 1.0});
        const Frame f{minE, maxN, scale, kMargin, kMargin + 20.0};
        const double planHeight = (maxN - minN) * scale;
        const double profileTop = f.top + planHeight + 2 * kMargin;
        const double total = profileTop + kProfileHeight + kMargin;

        out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + fmt(o_.width) +
                "\" height=\"" + fmt(total) + "\" viewBox=\"0 0 " + fmt(o_.width) + " " +
                fmt(total) + "\" font-family=\"sans-serif\" font-size=\"11\">\n";
        out_ += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
        out_ += "<text x=\"" + fmt(kMargin) + "\" y=\"24\" font-size=\"15\">" +
                escaped(static_cast<const char*>(a_.getName())) + ": plan (" +
                unitSymbol(o_.style.unit) + ")</text>\n";
        drawPlan(f, world);
        drawProfile(profileTop);
        out_ += "</svg>\n";
        return out_;
    }

private:
    void sampleAt(double c, std::vector<std::vector<std::pair<double, double>>>& world) const {
        double n = 0, e = 0;
        if (a_.getPosNeAtChainAndOffsetExtr(c, 0.0, n, e)) world[0].push_back({n, e});
        for (size_t i = 0; i < o_.offsets.size(); ++i)
            if (a_.getPosNeAtChainAndOffsetExtr(c, o_.offsets[i], n, e))
                world[i + 1].push_back({n, e});
    }

    std::vector<std::pair<double, double>> toPixels(
        const Frame& f, const std::vector<std::pair<double, double>>& w) {
        std::vector<std::pair<double, double>> px;
        px.reserve(w.size());
        for (const auto& [n, e] : w)
            px.push_back({f.x(e), f.y(n)});
        return px;
    }

    // A short mark square to the road at a chainage, half on each side.
    void tick(const Frame& f, double c, double halfPx, const std::string& style,
              const std::string& label) {
        double n = 0, e = 0, az = 0;
        if (!a_.getPosNeAtChainAndOffsetExtr(c, 0.0, n, e) || !a_.getAzimuthAtChainExtr(c, az))
            return;
        const double r = az * M_PI / 180.0;
        const double dx = std::cos(r) * halfPx, dy = std::sin(r) * halfPx;  // square to travel
        const double x = f.x(e), y = f.y(n);
        out_ += "<line x1=\"" + fmt(x - dx) + "\" y1=\"" + fmt(y - dy) + "\" x2=\"" + fmt(x + dx) +
                "\" y2=\"" + fmt(y + dy) + "\" " + style + "/>\n";
        if (!label.empty())
            out_ += "<text x=\"" + fmt(x + dx + 3) + "\" y=\"" + fmt(y + dy + 4) + "\">" +
                    escaped(label) + "</text>\n";
    }

    void drawPlan(const Frame& f,
                  const std::vector<std::vector<std::pair<double, double>>>& world) {
        out_ += "<g id=\"plan\">\n";
        for (size_t i = 1; i < world.size(); ++i)
            out_ += polyline(toPixels(f, world[i]),
                             "class=\"offset\" fill=\"none\" stroke=\"#888\" "
                             "stroke-dasharray=\"4 3\"");
        out_ += polyline(toPixels(f, world[0]),
                         "id=\"centreline\" fill=\"none\" stroke=\"#c00\" stroke-width=\"2\"");
        for (int i = 0; i < a_.getNumOfHes(); ++i) {
            double c = 0;
            if (a_.getElement(i).getStartChainageInM(c) && i > 0)
                tick(f, c, 9, "class=\"boundary\" stroke=\"#00c\" stroke-width=\"1.5\"", "");
        }
        // Ticks at round lengths of the plot's unit.
        const Unit u = o_.style.unit;
        const double interval = o_.stationInterval > 0
                                    ? o_.stationInterval
                                    : toMetres(niceInterval(fromMetres(end_ - start_, u)), u);
        for (double k = std::ceil(start_ / interval); k * interval <= end_ + 1e-9; k += 1.0)
            tick(f, k * interval, 5, "stroke=\"#000\"", station(k * interval));
        out_ += "</g>\n";
    }

    void drawProfile(double top) {
        std::vector<zel_landxml::Vip> vips;
        std::string error;
        describeProfile(a_, vips, error);
        std::vector<std::pair<double, double>> heights;
        for (double c = start_;; c = std::min(c + step_, end_)) {
            double h = 0;
            if (a_.getNumOfVes() > 0 && a_.getPosHAtChain(c, h)) heights.push_back({c, h});
            if (c >= end_) break;
        }
        out_ += "<g id=\"profile\">\n";
        out_ += "<text x=\"" + fmt(kMargin) + "\" y=\"" + fmt(top - 12) +
                "\" font-size=\"15\">profile</text>\n";
        if (heights.empty()) {
            out_ += "<text x=\"" + fmt(kMargin) + "\" y=\"" + fmt(top + 20) +
                    "\">no design profile</text>\n</g>\n";
            return;
        }
        double lo = 1e300, hi = -1e300;
        for (const auto& [c, h] : heights)
            lo = std::min(lo, h), hi = std::max(hi, h);
        for (const auto& v : vips)
            lo = std::min(lo, v.elevation), hi = std::max(hi, v.elevation);
        const double spanH = std::max(hi - lo, 1.0);
        const double inner = o_.width - 2 * kMargin;
        auto x = [&](double c) {
            return kMargin + (c - start_) / std::max(end_ - start_, 1.0) * inner;
        };
        auto y = [&](double h) { return top + (hi - h) / spanH * kProfileHeight; };
        out_ += "<rect x=\"" + fmt(kMargin) + "\" y=\"" + fmt(top) + "\" width=\"" + fmt(inner) +
                "\" height=\"" + fmt(kProfileHeight) + "\" fill=\"none\" stroke=\"#ccc\"/>\n";
        std::vector<std::pair<double, double>> grade, design;
        for (const auto& v : vips)
            grade.push_back({x(v.station), y(v.elevation)});
        for (const auto& [c, h] : heights)
            design.push_back({x(c), y(h)});
        out_ +=
            polyline(grade, "id=\"grades\" fill=\"none\" stroke=\"#888\" stroke-dasharray=\"5 4\"");
        out_ += polyline(design, "id=\"design\" fill=\"none\" stroke=\"#c00\" stroke-width=\"2\"");
        for (const auto& v : vips) {
            out_ += "<circle class=\"vip\" cx=\"" + fmt(x(v.station)) + "\" cy=\"" +
                    fmt(y(v.elevation)) + "\" r=\"3.5\" fill=\"#00c\"/>\n";
            // Labels near the right edge run leftwards so they stay inside the picture.
            const bool leftwards = x(v.station) > o_.width - 150.0;
            out_ += "<text x=\"" + fmt(x(v.station) + (leftwards ? -5 : 5)) + "\" y=\"" +
                    fmt(y(v.elevation) - 6) + "\"" + (leftwards ? " text-anchor=\"end\"" : "") +
                    ">" + escaped(station(v.station)) + " " + o_.style.length(v.elevation, 3) +
                    "</text>\n";
        }
        out_ += "<text x=\"" + fmt(kMargin) + "\" y=\"" + fmt(top + kProfileHeight + 16) + "\">" +
                o_.style.length(lo, 2) + " to " + o_.style.length(hi, 2) + " " +
                unitSymbol(o_.style.unit) + ", heights exaggerated</text>\n";
        out_ += "</g>\n";
    }

    // Station labels as the design writes them; the plain running chainage without a style.
    std::string station(double chainage) const {
        return o_.style.station ? o_.style.station(chainage)
                                : zel_landxml::Stationing().text(chainage, {});
    }

    const CAlnt& a_;
    const PlotOptions& o_;
    double start_ = 0, end_ = 0, step_ = 1;
    std::string out_;
};

}  // namespace

std::string plotSvg(const CAlnt& alnt, const PlotOptions& options) {
    return Plotter(alnt, options).run();
}

}  // namespace road
