// The as-built report: one A4 landscape page with the summary table, a histogram of each
// deviation against its tolerance, and a plan of the shots coloured by result, drawn by the
// plots' own layer (PlotModel, renderPlot).

#include <algorithm>
#include <cmath>
#include <utility>

#include <velmorutils/zelmath/alignment/AlntEvaluation.h>

#include "CheckReport.h"
#include "FileIo.h"
#include "Plot.h"

namespace road {
namespace {

constexpr double kPageW = 842.0;  // A4 landscape, points
constexpr double kPageH = 595.0;
constexpr double kMargin = 30.0;
constexpr int kMaxBins = 48;
constexpr size_t kMaxCodeRows = 12;
const Rgb kPass{0.10, 0.55, 0.20};
const Rgb kFail{0.85, 0.10, 0.10};
const Rgb kGrey{0.55, 0.55, 0.55};
const Rgb kBlack{0.0, 0.0, 0.0};

void label(PlotModel& m, const std::string& text, double x, double y, double size,
           bool bold = false, Rgb colour = kBlack, const std::string& role = "note") {
    Label l;
    l.text = text;
    l.role = role;
    l.x = x;
    l.y = y;
    l.size = size;
    l.bold = bold;
    l.colour = colour;
    const TextExtent e = measureText(text, size, bold);
    l.box = {x, y - e.ascent, x + e.width, y + e.descent};
    m.labels.push_back(l);
}

// Right-aligned at x.
void labelRight(PlotModel& m, const std::string& text, double x, double y, double size,
                bool bold = false) {
    label(m, text, x - measureText(text, size, bold).width, y, size, bold);
}

void line(PlotModel& m, std::vector<PagePoint> pts, double width, Rgb colour,
          const std::string& role, std::vector<double> dash = {}) {
    Stroke s;
    s.points = std::move(pts);
    s.width = width;
    s.colour = colour;
    s.role = role;
    s.dash = std::move(dash);
    m.strokes.push_back(s);
}

void box(PlotModel& m, const Box& b, Rgb colour, bool filled, const std::string& role) {
    Stroke s;
    s.points = {{b.x0, b.y0}, {b.x1, b.y0}, {b.x1, b.y1}, {b.x0, b.y1}};
    s.closed = true;
    s.filled = filled;
    s.width = 0.5;
    s.colour = colour;
    s.role = role;
    m.strokes.push_back(s);
}

// The summary table; returns the y below it.
double summaryTable(PlotModel& m, const CheckRun& run, const TableStyle& s, double y) {
    auto cells = summaryCells(run, s);
    // The page holds the all row and the first codes; --summary holds every code.
    const size_t shown = std::min(cells.size(), kMaxCodeRows + 2);
    const size_t more = cells.size() - shown;
    cells.resize(shown);
    const double colW = (kPageW - 2 * kMargin - 60.0) / static_cast<double>(cells[0].size() - 1);
    for (size_t r = 0; r < cells.size(); ++r) {
        y += 11.0;
        label(m, cells[r][0], kMargin, y, 7.5, r == 0);
        for (size_t c = 1; c < cells[r].size(); ++c)
            labelRight(m, cells[r][c], kMargin + 60.0 + colW * static_cast<double>(c), y, 7.5,
                       r == 0);
        if (r == 0) line(m, {{kMargin, y + 3}, {kPageW - kMargin, y + 3}}, 0.5, kBlack, "grid");
    }
    if (more > 0)
        label(m, std::to_string(more) + " more codes: --summary FILE.csv lists every one", kMargin,
              y += 11.0, 7.5);
    return y + 8.0;
}

// Bins of a histogram: the tolerance is a bin edge, so no bar mixes shots within it and
// shots beyond it.
struct Bins {
    double width = 0.0;
    double range = 0.0;  // the axis runs from -range to +range
    int count = 0;
};

Bins binsFor(const std::vector<std::pair<double, bool>>& devs, double tol) {
    double extent = 2.0 * tol;
    for (const auto& d : devs)
        extent = std::max(extent, std::fabs(d.first));
    Bins b;
    b.width = tol / 4.0;
    // A deviation far beyond the tolerance widens the bins by whole tolerances.
    if (extent / b.width > kMaxBins / 2) b.width = tol * std::ceil(extent / (tol * kMaxBins / 2));
    b.count = 2 * static_cast<int>(std::ceil(extent / b.width - 1e-9));
    b.range = b.width * b.count / 2.0;
    return b;
}

// A histogram of one deviation in a frame: in each bin the shots within tolerance green, the
// others red above them.
// devs: each deviation with whether it passed (the check's own verdict).
void histogram(PlotModel& m, const std::vector<std::pair<double, bool>>& devs, double tol,
               const Box& f, const std::string& title, const TableStyle& s) {
    box(m, f, kBlack, false, "frame");
    label(m, title, f.x0, f.y0 - 4.0, 8.5, true);
    const Bins b = binsFor(devs, tol);
    std::vector<int> pass(b.count, 0), failed(b.count, 0);
    for (const auto& [d, passed] : devs) {
        const int i =
            std::clamp(static_cast<int>(std::floor((d + b.range) / b.width)), 0, b.count - 1);
        ++(passed ? pass : failed)[i];
    }
    int top = 1;
    for (int i = 0; i < b.count; ++i)
        top = std::max(top, pass[i] + failed[i]);
    const double xOf = (f.x1 - f.x0) / (2.0 * b.range);
    const auto x = [&](double d) { return f.x0 + (d + b.range) * xOf; };
    const double perShot = (f.y1 - f.y0 - 14.0) / top;
    for (int i = 0; i < b.count; ++i) {
        const double lo = -b.range + i * b.width, hi = lo + b.width;
        const double hp = perShot * pass[i], hf = perShot * failed[i];
        if (pass[i] > 0) box(m, {x(lo) + 0.5, f.y1 - hp, x(hi) - 0.5, f.y1}, kPass, true, "bar");
        if (failed[i] > 0)
            box(m, {x(lo) + 0.5, f.y1 - hp - hf, x(hi) - 0.5, f.y1 - hp}, kFail, true, "bar");
    }
    for (const double t : {-tol, tol})
        line(m, {{x(t), f.y0}, {x(t), f.y1}}, 0.8, kBlack, "tolerance", {3.0, 2.0});
    line(m, {{x(0), f.y1}, {x(0), f.y1 + 3}}, 0.5, kBlack, "grid");
    const std::string u = std::string(" ") + unitSymbol(s.unit);
    label(m, s.length(-b.range, 3), f.x0, f.y1 + 10.0, 7.0);
    labelRight(m, s.length(b.range, 3) + u, f.x1, f.y1 + 10.0, 7.0);
    label(m, "tolerance " + s.length(tol, 3) + u, x(tol) + 2.0, f.y0 + 9.0, 7.0);
    label(m, "0", x(0) - 2.0, f.y1 + 10.0, 7.0);
    label(m, "tallest bar " + std::to_string(top) + (top == 1 ? " shot" : " shots"), f.x0 + 2.0,
          f.y0 + 9.0, 7.0);
}

// A label beside a point of the plan, on whichever side keeps it inside the frame.
void endLabel(PlotModel& m, const std::string& text, PagePoint p, const Box& f) {
    const double w = measureText(text, 7.0).width;
    const double x = p.x + 4.0 + w <= f.x1 ? p.x + 4.0 : p.x - 4.0 - w;
    label(m, text, std::max(x, f.x0 + 2.0), std::clamp(p.y + 3.0, f.y0 + 9.0, f.y1 - 3.0), 7.0);
}

struct PlanFrame {
    double minN = 1e300, maxN = -1e300, minE = 1e300, maxE = -1e300;
    void add(double n, double e) {
        minN = std::min(minN, n), maxN = std::max(maxN, n);
        minE = std::min(minE, e), maxE = std::max(maxE, e);
    }
};

// The plan, north up: the centre line and every checked shot, green where both deviations
// pass, red where one fails.
void plan(PlotModel& m, const CAlnt& alnt, const CheckRun& run, const TableStyle& style,
          const Box& f) {
    box(m, f, kBlack, false, "frame");
    label(m, "plan of the shots (north up): green pass, red fail", f.x0, f.y0 - 4.0, 8.5, true);
    std::vector<std::pair<double, double>> cl;
    const double start = alnt.getStartChainageInM();
    double end = start;
    alnt.getFinalChainageInM(end);
    PlanFrame pf;
    for (int i = 0; i <= 400; ++i) {
        TAlntEval at;
        if (!evaluateAlnt(alnt, start + (end - start) * i / 400.0, at)) continue;
        cl.emplace_back(at.north, at.east);
        pf.add(at.north, at.east);
    }
    for (size_t i = 0; i < run.shots.size(); ++i)
        if (run.results[i].ok) pf.add(run.shots[i].north, run.shots[i].east);
    const double span = std::max({pf.maxN - pf.minN, pf.maxE - pf.minE, 1.0});
    const double k = std::min((f.x1 - f.x0 - 20.0) / std::max(pf.maxE - pf.minE, span * 0.01),
                              (f.y1 - f.y0 - 20.0) / std::max(pf.maxN - pf.minN, span * 0.01));
    const double cx = (f.x0 + f.x1) / 2.0, cy = (f.y0 + f.y1) / 2.0;
    const double mn = (pf.minN + pf.maxN) / 2.0, me = (pf.minE + pf.maxE) / 2.0;
    const auto page = [&](double n, double e) -> PagePoint {
        return {cx + (e - me) * k, cy - (n - mn) * k};
    };
    std::vector<PagePoint> pts;
    for (const auto& [n, e] : cl)
        pts.push_back(page(n, e));
    line(m, pts, 0.8, kGrey, "centreline");
    if (!pts.empty()) {
        endLabel(m, "start " + style.station(start), pts.front(), f);
        endLabel(m, "end " + style.station(end), pts.back(), f);
    }
    for (size_t i = 0; i < run.shots.size(); ++i) {
        const zel_landxml::AsBuiltResult& r = run.results[i];
        if (!r.ok) continue;
        const PagePoint p = page(run.shots[i].north, run.shots[i].east);
        const bool pass = r.hPass && (!r.hasV || r.vPass);
        box(m, {p.x - 1.8, p.y - 1.8, p.x + 1.8, p.y + 1.8}, pass ? kPass : kFail, true, "shot");
    }
}

}  // namespace

bool writeCheckReport(const std::string& path, const CAlnt& alnt, const CheckRun& run,
                      const TableStyle& style, std::string& error) {
    const std::optional<PlotFormat> format = plotFormatOf(path);
    if (!format || *format == PlotFormat::Svg)
        return error = path + ": the report is written as .pdf or .png", false;
    PlotModel m;
    m.width = kPageW;
    m.height = kPageH;
    label(m,
          "As-built check: " + plotFileName(run.shotFile) + " against " + plotFileName(run.design),
          kMargin, kMargin + 6, 13.0, true, kBlack, "title");
    label(m, checkBasis(run, style), kMargin, kMargin + 22, 7.5);
    const std::string u = std::string(" ") + unitSymbol(style.unit);
    label(m,
          "tolerance: horizontal " + style.length(run.options.toleranceHM, 3) + u + ", vertical " +
              style.length(run.options.toleranceVM, 3) + u +
              "; mean of signed deviations, max of their sizes",
          kMargin, kMargin + 33, 7.5);
    const double y = summaryTable(m, run, style, kMargin + 36);
    std::vector<std::pair<double, bool>> h, v;
    for (const zel_landxml::AsBuiltResult& r : run.results) {
        if (!r.ok) continue;
        h.emplace_back(r.hDev, r.hPass);
        if (r.hasV) v.emplace_back(r.vDev, r.vPass);
    }
    const double top = y + 16.0, bottom = kPageH - kMargin - 12.0, mid = (top + bottom) / 2.0;
    const double split = kMargin + 330.0;
    histogram(m, h, run.options.toleranceHM, {kMargin, top, split, mid - 16.0},
              "horizontal deviation (offset minus design)", style);
    histogram(m, v, run.options.toleranceVM, {kMargin, mid + 12.0, split, bottom},
              "vertical deviation (height minus design)", style);
    plan(m, alnt, run, style, {split + 30.0, top, kPageW - kMargin, bottom});
    std::string bytes;
    if (!renderPlot(m, *format, bytes, error)) return error = path + ": " + error, false;
    return writeFileAtomically(path, bytes, error);
}

}  // namespace road
