#include "PlotLayout.h"

#include <velmorutils/landxml/StakeoutStations.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace road {
namespace {

constexpr double kPtPerMm = 72.0 / 25.4;
// Samples along the road: fine enough that a chord never strays visibly from an arc at any
// scale a sheet can hold, few enough that tens of kilometres stay quick.
constexpr int kMaxSamples = 8000;
constexpr double kMinSampleStepM = 0.25;
// Default station spacing without a file interval: the usual staking spacing.
constexpr double kDefaultIntervalM = 20.0;
constexpr double kDefaultIntervalFt = 50.0;
// Lengths, radii and spiral parameters to the millimetre (or thousandth of a foot), as a
// design is set out.
constexpr int kLengthDecimals = 3;

// The elements and VIPs as a design names them, and the station interval.
bool describe(Drawing& d, std::string& error) {
    d.start = d.a.getStartChainageInM();
    if (!d.a.getFinalChainageInM(d.end) || !(d.end > d.start))
        return error = "the alignment has no length to draw", false;
    lx::Alignment described;
    if (!lx::describeAlignment(d.a, described, error)) return false;
    double c = d.start;
    for (const lx::HElement& h : described.elements) {
        d.elements.push_back({h, c, c + h.length});
        c += h.length;
    }
    if (d.a.getNumOfVes() > 0 && !lx::describeProfile(d.a, d.vips, error)) return false;
    d.feet = d.o.unitSymbol != "m";
    d.interval = d.o.intervalM > 0
                     ? d.o.intervalM
                     : (d.feet ? kDefaultIntervalFt * d.o.metresPerUnit : kDefaultIntervalM);
    return true;
}

// The centre line and each offset line, sampled along the road.
bool sampleLines(Drawing& d) {
    const double step = std::max((d.end - d.start) / kMaxSamples, kMinSampleStepM);
    d.world.assign(1 + d.o.offsets.size(), {});
    d.chainages.clear();
    for (double c = d.start;; c = std::min(c + step, d.end)) {
        d.chainages.push_back(c);
        if (c >= d.end) break;
    }
    for (size_t k = 0; k < d.world.size(); ++k) {
        const double off = k == 0 ? 0.0 : d.o.offsets[k - 1];
        for (double c : d.chainages) {
            TAlntEval at;
            double n = 0, e = 0;
            if (!d.at(c, at)) return false;
            alntOffsetPoint(at, off, n, e);
            d.world[k].push_back({n, e});
        }
    }
    return true;
}

}  // namespace

double niceStep(double minimum) {
    const double p = std::pow(10.0, std::floor(std::log10(std::max(minimum, 1e-9))));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= minimum * (1 - 1e-12)) return m * p;
    return 10.0 * p;
}

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

std::string Drawing::len(double metres) const {
    return fixed(u(metres), kLengthDecimals) + " " + o.unitSymbol;
}

bool Drawing::at(double chainage, TAlntEval& e, TAlntJointSide side) const {
    return evaluateAlnt(a, chainage, e, side);
}

bool Drawing::heightAt(double chainage, double& h) const {
    TAlntEval e;
    if (!evaluateAlnt(a, chainage, e) || !e.hasHeight) return false;
    h = e.height;
    return true;
}

std::vector<TAlntStakeoutStation> Drawing::keyPoints() const {
    // An interval no road reaches: round stations are not asked for.
    constexpr double kNoRoundStationsM = 1e15;
    std::vector<TAlntStakeoutStation> keys;
    for (const TAlntStakeoutStation& s :
         alntStakeoutStations(a, lx::stakeoutRequest(o.stationing, kNoRoundStationsM)))
        if (s.boundary && s.side != TAlntJointSide::back) keys.push_back(s);
    return keys;
}

std::string Drawing::station(double chainage) const {
    return o.stationing.text(chainage, o.stationStyle);
}

std::string Drawing::ratioText(double d) const {
    std::string t = "1:" + fixed(d, 0);
    if (feet) t += " (1 in = " + fixed(d / 12.0, 0) + " " + o.unitSymbol + ")";
    return t;
}

Label Drawing::label(std::string text, std::string role, Rgb colour) const {
    Label l;
    l.text = std::move(text);
    l.role = std::move(role);
    l.size = sheet.text;
    l.colour = colour;
    return l;
}

std::vector<std::pair<double, long long>> Drawing::roundStations(double step) const {
    std::vector<std::pair<double, long long>> out;
    const lx::Stationing& st = o.stationing;
    const auto& eq = st.equations();
    for (int r = 1; r <= st.regionCount(); ++r) {
        const double a = r == 1 ? start : std::max(start, eq[r - 2].staInternal);
        const double b = r == st.regionCount() ? end : std::min(end, eq[r - 1].staInternal);
        if (!(a <= b)) continue;
        const double sa = st.station(a), sb = sa + (b - a);
        for (double k = std::ceil(sa / step - 1e-9); k * step <= sb + 1e-9; k += 1) {
            const double c = st.chainageInRegion(k * step, r);
            if (c < b || r == st.regionCount()) out.push_back({c, std::llround(k)});
        }
    }
    return out;
}

long long multipleFor(double interval, double pagePerM, double gap, long long of) {
    for (long long m = 1; m < 1000000000LL; m *= 10)
        for (long long f : {1, 2, 5})
            if ((f * m) % of == 0 && interval * f * m * pagePerM >= gap) return f * m;
    return 1000000000LL;
}

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
    Drawing d(alnt, options, model);
    if (!describe(d, error)) return false;
    if (!sampleLines(d)) return error = "the alignment cannot be evaluated along its length", false;
    WorldBox w;
    for (const auto& l : d.world)
        for (const auto& [n, e] : l) {
            w.minN = std::min(w.minN, n), w.maxN = std::max(w.maxN, n);
            w.minE = std::min(w.minE, e), w.maxE = std::max(w.maxE, e);
        }
    d.sheet =
        sheetFor(options.paper, std::max(w.maxN - w.minN, 1.0) / std::max(w.maxE - w.minE, 1.0));
    model.width = d.sheet.width;
    model.height = d.sheet.height;
    layoutTitleLine(d);
    layoutPlan(d, w);
    layoutProfile(d);
    layoutTitleBlock(d);
    return true;
}

}  // namespace road
