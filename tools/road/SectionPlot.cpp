#include "SectionPlot.h"

#include <algorithm>
#include <cmath>

#include <velmorutils/zelmath/alignment/AlntEvaluation.h>

#include "PlotLayout.h"
#include "RoadModel.h"

namespace road {

namespace {

// Ground is drawn this far beyond the outermost design or catch point (at least).
constexpr double kGroundMarginM = 5.0;
constexpr double kGroundMarginShare = 0.1;
// Sections per sheet: columns and rows.
struct Grid {
    int cols, rows;
};
Grid gridFor(Paper p) {
    switch (p) {
        case Paper::A4:
            return {2, 2};
        case Paper::A3:
            return {3, 2};
        case Paper::A1:
            return {4, 3};
        case Paper::Fit:
            break;
    }
    return {1, 3};
}

// Runs of ground along the section from a TIN's pieces: touching pieces join, gaps split.
void groundRuns(const std::vector<zel_math::TGroundPiece>& pieces, SectionView& v) {
    for (const zel_math::TGroundPiece& p : pieces) {
        auto& runs = v.ground;
        if (runs.empty() || std::fabs(runs.back().back().first - p.dFrom) > 1e-6)
            runs.push_back({{p.dFrom, p.hFrom}});
        runs.back().push_back({p.dTo, p.hTo});
    }
}

// The offsets the drawing must show: the design's ends and the catch points.
void designSpan(const SectionView& v, double& lo, double& hi) {
    for (const zel_math::TSectionPoint& p : v.design.points)
        lo = std::min(lo, p.offset), hi = std::max(hi, p.offset);
    for (int s = 0; s < 2; ++s)
        if (v.staked[s] && v.stakes[s].caught)
            lo = std::min(lo, v.stakes[s].catchOffset), hi = std::max(hi, v.stakes[s].catchOffset);
}

}  // namespace

SectionView sectionView(const RoadModel& model, double chainage, std::string station,
                        double searchM) {
    SectionView v;
    v.chainage = chainage;
    v.station = std::move(station);
    v.hasDesign = model.hasModel() && model.corridor->profileAt(chainage, v.design, v.why);
    if (!v.hasDesign) return v;
    for (int s = 0; s < 2 && model.hasGround(); ++s) {
        std::string error;
        v.staked[s] = zel_math::slopeStake(*model.corridor, model.ground, chainage, s == 1, searchM,
                                           0.0, v.stakes[s], error);
    }
    double lo = 0.0, hi = 0.0;
    designSpan(v, lo, hi);
    const double margin = std::max(kGroundMarginM, kGroundMarginShare * (hi - lo));
    lo -= margin, hi += margin;
    if (model.ground.tin) {
        TAlntEval at;
        if (!evaluateAlnt(model.corridor->alnt(), chainage, at)) return v;
        std::vector<zel_math::TGroundPiece> pieces;
        model.ground.tin->profileAlong(at.north, at.east, at.azimuthDeg + 90.0, lo, hi, pieces);
        groundRuns(pieces, v);
    } else if (model.ground.sections) {
        zel_math::TSectionProfile g;
        std::string error;
        if (model.ground.sections->profileAt(chainage, g, error) && !g.points.empty()) {
            v.ground.emplace_back();
            for (const zel_math::TSectionPoint& p : g.points)
                v.ground.back().push_back({p.offset, p.height});
        }
    }
    return v;
}

namespace {

// The common frame of every drawing: the offsets shown and the scales.
struct SectionScale {
    double lo = 0, hi = 0;  // offsets shown, metres
    double sh = 1, sv = 1;  // points per metre across and up
    double ratio = 0;       // 1:ratio across on paper, 0 without
    double exaggeration = 1;
};

class SectionSheets {
public:
    SectionSheets(const std::vector<SectionView>& views, const SectionPlotOptions& o,
                  std::vector<PlotModel>& pages)
        : views_(views), o_(o), pages_(pages), feet_(o.unitSymbol != "m") {}

    bool run(std::string& error) {
        if (views_.empty()) return error = "no section lies in the range asked for", false;
        grid_ = gridFor(o_.paper);
        sheet_ = sheetFor(o_.paper, 1.0);
        if (!sheet_.paper) {
            sheet_.height = 2 * kMargin + kTitleH + grid_.rows * (kFitCellH + kCellGap);
            sheet_.title = {kMargin, kMargin, sheet_.width - kMargin, kMargin + kTitleH};
        }
        area_ = sheet_.paper ? Box{kMargin, kMargin, sheet_.width - kMargin, sheet_.title.y0 - 8}
                             : Box{kMargin, sheet_.title.y1 + 4, sheet_.width - kMargin,
                                   sheet_.height - kMargin};
        cellW_ = (area_.x1 - area_.x0 - (grid_.cols - 1) * kCellGap) / grid_.cols;
        cellH_ = (area_.y1 - area_.y0 - (grid_.rows - 1) * kCellGap) / grid_.rows;
        scale();
        const std::size_t perSheet = static_cast<std::size_t>(grid_.cols * grid_.rows);
        sheets_ = (views_.size() + perSheet - 1) / perSheet;
        for (std::size_t first = 0; first < views_.size(); first += perSheet)
            page(first, std::min(views_.size(), first + perSheet));
        return true;
    }

private:
    static constexpr double kMargin = 20.0, kTitleH = 22.0, kFitCellH = 330.0, kCellGap = 10.0;

    double t() const { return sheet_.text; }
    double u(double metres) const { return metres / o_.metresPerUnit; }
    int heightDecimals() const { return feet_ ? 2 : 3; }

    // The frame inside a cell, where the section itself is drawn.
    Box frameOf(const Box& cell) const {
        return {cell.x0 + 7.5 * t(), cell.y0 + 2.8 * t(), cell.x1 - t(), cell.y1 - 3.2 * t()};
    }

    void scale() {
        double lo = 0, hi = 0, range = 0.01;
        for (const SectionView& v : views_) {
            designSpan(v, lo, hi);
            double hLo = 1e300, hHi = -1e300;
            heightRange(v, hLo, hHi);
            if (hHi >= hLo) range = std::max(range, hHi - hLo);
        }
        const double margin = std::max(kGroundMarginM * 0.6, 0.06 * (hi - lo));
        s_.lo = lo - margin, s_.hi = hi + margin;
        const Box f = frameOf({0, 0, cellW_, cellH_});
        s_.sh = (f.x1 - f.x0) / (s_.hi - s_.lo);
        if (sheet_.paper) {
            s_.ratio = standardRatio(72.0 / 0.0254 / s_.sh, feet_);
            s_.sh = 72.0 / 0.0254 / s_.ratio;
            const double mid = (s_.lo + s_.hi) / 2, half = (f.x1 - f.x0) / s_.sh / 2;
            s_.lo = mid - half, s_.hi = mid + half;
        }
        // Flat sections are drawn with their heights exaggerated by the largest usual factor
        // that keeps the tallest within 70 % of the frame; a section too tall even at 1:1 is
        // drawn at the factor below 1 that fits.
        const double room = (f.y1 - f.y0) * 0.7 / range;
        s_.exaggeration = std::min(1.0, room / s_.sh);
        for (double k : {1.0, 2.0, 2.5, 5.0, 10.0})
            if (s_.sh * k <= room) s_.exaggeration = k;
        s_.sv = s_.sh * s_.exaggeration;
    }

    // Heights the drawing shows: design, catch points and the ground within the offsets shown.
    void heightRange(const SectionView& v, double& lo, double& hi) const {
        for (const zel_math::TSectionPoint& p : v.design.points)
            lo = std::min(lo, p.height), hi = std::max(hi, p.height);
        for (int s = 0; s < 2; ++s)
            if (v.staked[s] && v.stakes[s].caught)
                lo = std::min(lo, v.stakes[s].catchHeight),
                hi = std::max(hi, v.stakes[s].catchHeight);
        double dlo = 0, dhi = 0;
        designSpan(v, dlo, dhi);
        for (const auto& run : v.ground)
            for (const auto& [off, h] : run)
                if (off >= dlo - kGroundMarginM && off <= dhi + kGroundMarginM)
                    lo = std::min(lo, h), hi = std::max(hi, h);
    }

    Label label(std::string text, std::string role, Rgb colour = kBlack, double k = 1.0) const {
        Label l;
        l.text = std::move(text);
        l.role = std::move(role);
        l.size = t() * k;
        l.colour = colour;
        return l;
    }

    std::string scaleText() const {
        std::string t = "heights exaggerated " + plainNumber(s_.exaggeration, 3) + "\u00D7";
        if (s_.ratio > 0)
            t = "H 1:" + fixed(s_.ratio, 0) + ", V 1:" + plainNumber(s_.ratio / s_.exaggeration, 4);
        return t + "   offsets and heights in " + o_.unitSymbol;
    }

    void page(std::size_t first, std::size_t last) {
        pages_.emplace_back();
        PlotModel& m = pages_.back();
        m.width = sheet_.width;
        m.height = sheet_.height;
        Placer put(m);
        const std::size_t number = pages_.size();
        titles(m, put, first, last, number);
        for (std::size_t i = first; i < last; ++i) {
            const std::size_t k = i - first;
            const int col = static_cast<int>(k % grid_.cols),
                      row = static_cast<int>(k / grid_.cols);
            const double x0 = area_.x0 + col * (cellW_ + kCellGap);
            const double y0 = area_.y0 + row * (cellH_ + kCellGap);
            drawSection(m, put, views_[i], {x0, y0, x0 + cellW_, y0 + cellH_});
        }
    }

    void titles(PlotModel& m, Placer& put, std::size_t first, std::size_t last,
                std::size_t number) {
        const std::string sheetText = std::to_string(number) + " of " + std::to_string(sheets_);
        const std::string file = plotFileName(o_.fileName);
        const Box page{0, 0, sheet_.width, sheet_.height};
        if (!sheet_.paper) {
            Label l = label("Cross sections   \u2014   " + o_.alignment + "   \u2014   " + file +
                                "   \u2014   " + scaleText() + "   \u2014   sheet " + sheetText +
                                "   \u2014   " + o_.date,
                            "title", kBlack, 1.3);
            l.bold = true;
            put.place(l, {{{sheet_.title.x0, sheet_.title.y0}, {1, 1}, 0}}, page);
            return;
        }
        const Box& b = sheet_.title;
        m.strokes.push_back(rectangle(b, 0.8, kBlack, "titleblock"));
        m.strokes.push_back(rectangle(
            {kMargin - 6, kMargin - 6, sheet_.width - kMargin + 6, sheet_.height - kMargin + 6},
            1.0, kBlack, "border"));
        const std::vector<std::pair<std::string, std::string>> rows{
            {"Cross sections", o_.alignment},
            {"File", file},
            {"Stations", views_[first].station + " to " + views_[last - 1].station},
            {"Unit", o_.unitSymbol + " (offsets, heights)"},
            {"Scale", scaleText().substr(0, scaleText().find("   "))},
            {"Sheet", sheetText},
            {"Date", o_.date}};
        const double rowH = (b.y1 - b.y0) / rows.size();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const double y = b.y0 + i * rowH;
            if (i > 0) m.strokes.push_back(line({{b.x0, y}, {b.x1, y}}, 0.3, kBlack, "titleblock"));
            put.place(label(rows[i].first, "title"), {{{b.x0 + 3, y + rowH / 2}, {1, 0}, 0}}, b);
            Label value = label(rows[i].second, "title");
            value.bold = i == 0;
            put.place(value, {{{b.x0 + 10 * t(), y + rowH / 2}, {1, 0}, 0}}, b);
        }
        legend(m, put, {kMargin, b.y0, b.x0 - 12, b.y1});
    }

    // What the colours mean, in the strip beside the title block.
    void legend(PlotModel& m, Placer& put, const Box& where) {
        double x = where.x0 + 4;
        const double y = where.y0 + 2 * t();
        const std::pair<Rgb, const char*> items[] = {{kRed, "design surface"},
                                                     {kGreen, "ground"},
                                                     {kBlue, "hinge"},
                                                     {kGreen, "catch point"}};
        for (const auto& [colour, text] : items) {
            m.strokes.push_back(line({{x, y}, {x + 2 * t(), y}}, 1.2, colour, "legend"));
            put.place(label(text, "note"), {{{x + 2.5 * t(), y}, {1, 0}, 0}}, where);
            x += 2.5 * t() + measureText(text, t()).width + 2 * t();
        }
    }

    void drawSection(PlotModel& m, Placer& put, const SectionView& v, const Box& cell) {
        const Box f = frameOf(cell);
        Label title = label(v.station, "title", kBlack, 1.2);
        title.bold = true;
        put.place(title, {{{f.x0, cell.y0}, {1, 1}, 0}}, cell);
        m.strokes.push_back(rectangle(f, 0.5, kBlack, "frame"));
        if (!v.hasDesign) {
            put.place(label("no design section: " + v.why, "note"),
                      {{{(f.x0 + f.x1) / 2, (f.y0 + f.y1) / 2}, {0, 0}, 0}}, cell);
            return;
        }
        double lo = 1e300, hi = -1e300;
        heightRange(v, lo, hi);
        base_ = (lo + hi) / 2 - (f.y1 - f.y0) / 2 / s_.sv;
        frame_ = f;
        grid(m, put, cell);
        for (const auto& run : v.ground)
            addLine(m, put, run, 0.9, kGreen, "ground");
        std::vector<std::pair<double, double>> design;
        for (const zel_math::TSectionPoint& p : v.design.points)
            design.push_back({p.offset, p.height});
        addLine(m, put, design, 1.3, kRed, "design");
        stakes(m, put, v);
        codes(put, v);
    }

    double px(double off) const { return frame_.x0 + (off - s_.lo) * s_.sh; }
    double py(double h) const { return frame_.y1 - (h - base_) * s_.sv; }
    PagePoint at(double off, double h) const { return {px(off), py(h)}; }

    // A line cut at the frame's left and right edges (a ground running far beyond the design
    // ends at the frame); heights stay within it by the choice of scale.
    void addLine(PlotModel& m, Placer& put, const std::vector<std::pair<double, double>>& pts,
                 double width, Rgb colour, const char* role) {
        std::vector<PagePoint> page;
        auto flush = [&] {
            if (page.size() >= 2) {
                put.addObstacle(page);
                m.strokes.push_back(line(page, width, colour, role));
            }
            page.clear();
        };
        auto inside = [&](double off) { return off >= s_.lo && off <= s_.hi; };
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const auto [off, h] = pts[i];
            if (i > 0) {
                // Where the piece from the point before crosses an edge, the line starts or ends.
                const auto [off0, h0] = pts[i - 1];
                for (const double edge : {s_.lo, s_.hi}) {
                    if ((off0 - edge) * (off - edge) >= 0 || off0 == off) continue;
                    const double k = (edge - off0) / (off - off0);
                    page.push_back(at(edge, h0 + k * (h - h0)));
                    if (!inside(off)) flush();
                }
            }
            if (inside(off)) page.push_back(at(off, h));
        }
        flush();
    }

    void grid(PlotModel& m, Placer& put, const Box& cell) {
        const Box& f = frame_;
        const double stepU = niceStep(u(2.2 * t() / s_.sv));
        const double stepM = stepU * o_.metresPerUnit;
        const int dec = stepU >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(stepU) - 1e-9));
        const double top = base_ + (f.y1 - f.y0) / s_.sv;
        for (double k = std::ceil(u(base_) / stepU); k * stepM <= top; k += 1) {
            const double y = py(k * stepM);
            m.strokes.push_back(line({{f.x0, y}, {f.x1, y}}, 0.3, kGridGrey, "grid"));
            put.place(label(fixed(k * stepU, dec), "elevation"), {{{f.x0, y}, {-1, 0}, 2}}, cell);
        }
        const double width = measureText(fixed(-u(std::fabs(s_.lo)), 0), t()).width;
        const double offU = niceStep(u((width + 2 * t()) / s_.sh));
        const double offM = offU * o_.metresPerUnit;
        const int offDec = offU >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(offU) - 1e-9));
        for (double k = std::ceil(u(s_.lo) / offU); k * offM <= s_.hi; k += 1) {
            const double x = px(k * offM);
            m.strokes.push_back(line({{x, f.y0}, {x, f.y1}}, 0.3, kGridGrey, "grid"));
            put.place(label(fixed(k * offU, offDec), "axis"), {{{x, f.y1 + 2}, {0, 1}, 1}}, cell);
        }
        Stroke cl = line({{px(0), f.y0}, {px(0), f.y1}}, 0.5, kGrey, "centreline");
        cl.dash = {6, 2, 1, 2};
        m.strokes.push_back(cl);
        put.place(label("CL", "axis"), {{{px(0), f.y0}, {0, 1}, 1}}, f);
    }

    void stakes(PlotModel& m, Placer& put, const SectionView& v) {
        for (int s = 0; s < 2; ++s) {
            if (!v.staked[s]) continue;
            const zel_math::TSlopeStake& st = v.stakes[s];
            const PagePoint hinge = at(st.hingeOffset, st.hingeHeight);
            const double out = st.right ? 1.0 : -1.0;
            if (!st.caught) {
                put.place(label("no catch", "note", kGreen), {{hinge, {out, -1}, 6}}, frame_);
                m.strokes.push_back(dot(hinge, 2.2, kBlue, "hinge"));
                continue;
            }
            const PagePoint c = at(st.catchOffset, st.catchHeight);
            std::vector<std::pair<double, double>> slope{{st.hingeOffset, st.hingeHeight},
                                                         {st.catchOffset, st.catchHeight}};
            addLine(m, put, slope, 1.0, kRed, "slope");
            m.strokes.push_back(dot(hinge, 2.2, kBlue, "hinge"));
            Stroke tri =
                line({{c.x, c.y}, {c.x - 3, c.y - 5}, {c.x + 3, c.y - 5}}, 0.5, kGreen, "catch");
            tri.closed = tri.filled = true;
            m.strokes.push_back(tri);
            const std::string text = cutFillText(tableStyleOf(), st.cutFill, heightDecimals()) +
                                     " @ " + fixed(u(std::fabs(st.catchOffset)), 2) +
                                     (st.right ? " R" : " L");
            put.place(label(text, "catch", kGreen), around(c, -1, {7, 16, 28}), frame_);
        }
    }

    TableStyle tableStyleOf() const {
        TableStyle s;
        s.unit = feet_ ? (o_.unitSymbol == "usft" ? Unit::USSurveyFoot : Unit::Foot) : Unit::Metre;
        return s;
    }

    // The code of each design point that has one (a place with several points named once),
    // upright above the point, where it finds room.
    void codes(Placer& put, const SectionView& v) {
        std::vector<std::pair<double, std::string>> done;
        for (const zel_math::TSectionPoint& p : v.design.points) {
            if (p.code.empty()) continue;
            const bool again = std::any_of(done.begin(), done.end(), [&](const auto& d) {
                return std::fabs(d.first - p.offset) < 1e-3 && d.second == p.code;
            });
            if (again) continue;
            done.push_back({p.offset, p.code});
            Label l = label(p.code, "code", kBlack, 0.8);
            l.vertical = true;
            put.place(l,
                      {{at(p.offset, p.height), {0, -1}, 4}, {at(p.offset, p.height), {0, -1}, 24}},
                      frame_);
        }
    }

    const std::vector<SectionView>& views_;
    const SectionPlotOptions& o_;
    std::vector<PlotModel>& pages_;
    bool feet_;
    Grid grid_{1, 3};
    Sheet sheet_;
    Box area_, frame_;
    double cellW_ = 0, cellH_ = 0, base_ = 0;
    std::size_t sheets_ = 1;
    SectionScale s_;
};

}  // namespace

bool layoutSections(const std::vector<SectionView>& views, const SectionPlotOptions& options,
                    std::vector<PlotModel>& pages, std::string& error) {
    pages.clear();
    return SectionSheets(views, options, pages).run(error);
}

}  // namespace road
