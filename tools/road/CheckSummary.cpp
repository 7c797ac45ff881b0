// The as-built summary as words, a text table and CSV.

#include <cmath>
#include <cstdio>

#include "CheckReport.h"
#include "Plot.h"

namespace road {
namespace {

std::string percent(double share) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f%%", share * 100.0);
    return buf;
}

std::string offsetsText(const std::vector<double>& offsetsM, const TableStyle& s) {
    std::string t;
    for (const double o : offsetsM)
        t += (t.empty() ? "" : ", ") + plainNumber(fromMetres(o, s.unit));
    return t;
}

long long badOf(const CheckRun& run, const zel_landxml::AsBuiltStats& st) {
    return st.all ? badShots(run) : st.bad;
}

}  // namespace

long long badShots(const CheckRun& run) {
    long long bad = run.unreadLines;
    for (const zel_landxml::AsBuiltResult& r : run.results)
        bad += !r.ok;
    return bad;
}

std::string checkBasis(const CheckRun& run, const TableStyle& s) {
    if (run.options.corridor != nullptr)
        return "across the road against the section point of each shot's code (without a code: "
               "the nearest section point); heights against the design height at each shot's "
               "own offset";
    const std::vector<double>& off = run.options.offsets;
    const bool centreOnly = off.size() == 1 && off[0] == 0.0;
    return std::string("no section model: across the road against ") +
           (centreOnly ? "the centre line"
                       : "the nearest of the offset lines " + offsetsText(off, s) + " " +
                             unitSymbol(s.unit)) +
           "; heights against the centre line's design height at each shot's station";
}

std::vector<std::vector<std::string>> summaryCells(const CheckRun& run, const TableStyle& s) {
    const std::string u = std::string(" [") + unitSymbol(s.unit) + "]";
    std::vector<std::vector<std::string>> rows{
        {"code", "shots", "bad", "h count", "h mean" + u, "h RMS" + u, "h max" + u, "h within",
         "v count", "v mean" + u, "v RMS" + u, "v max" + u, "v within"}};
    for (const zel_landxml::AsBuiltStats& st : run.stats) {
        const long long bad = badOf(run, st);
        std::vector<std::string> r{st.all ? "all" : (st.code.empty() ? "(none)" : st.code),
                                   std::to_string(st.h.count + bad), std::to_string(bad)};
        for (const zel_landxml::DeviationStats* d : {&st.h, &st.v}) {
            r.push_back(std::to_string(d->count));
            for (const double v : {d->mean, d->rms, d->maxAbs})
                r.push_back(d->count > 0 ? s.length(v, 3) : "-");
            r.push_back(d->count > 0 ? percent(d->share()) : "-");
        }
        rows.push_back(r);
    }
    return rows;
}

std::string summaryText(const CheckRun& run, const TableStyle& s) {
    const auto cells = summaryCells(run, s);
    std::vector<size_t> width(cells[0].size(), 0);
    for (const auto& row : cells)
        for (size_t i = 0; i < row.size(); ++i)
            width[i] = std::max(width[i], row[i].size());
    std::string t = "as-built check of " + run.shotFile + " against " + run.design + "\n" +
                    checkBasis(run, s) + "\ntolerance: horizontal " +
                    s.length(run.options.toleranceHM, 3) + " " + unitSymbol(s.unit) +
                    ", vertical " + s.length(run.options.toleranceVM, 3) + " " +
                    unitSymbol(s.unit) + "\n";
    for (const auto& row : cells) {
        for (size_t i = 0; i < row.size(); ++i)
            t += (i == 0 ? padRight(row[i], width[i])
                         : "  " + std::string(width[i] - row[i].size(), ' ') + row[i]);
        t += "\n";
    }
    return t;
}

std::string summaryCsv(const CheckRun& run, const TableStyle& s) {
    TableStyle csv = s;
    csv.csv = true;
    std::string t = "code,shots,bad";
    for (const char* d : {"h", "v"}) {
        const std::string p = d;
        t += "," + p + "_count," + csv.heading(p + "_mean") + "," + csv.heading(p + "_rms") + "," +
             csv.heading(p + "_max") + "," + p + "_within_percent";
    }
    t += "\n";
    for (const zel_landxml::AsBuiltStats& st : run.stats) {
        const long long bad = badOf(run, st);
        t += (st.all ? std::string("all") : st.code) + "," + std::to_string(st.h.count + bad) +
             "," + std::to_string(bad);
        for (const zel_landxml::DeviationStats* d : {&st.h, &st.v}) {
            t += "," + std::to_string(d->count);
            for (const double v : {d->mean, d->rms, d->maxAbs})
                t += "," + (d->count > 0 ? s.length(v, 4) : std::string());
            t += "," + (d->count > 0 ? fixed(d->share() * 100.0, 2) : std::string());
        }
        t += "\n";
    }
    return t;
}

bool reportFormatOk(const std::string& path) {
    const std::optional<PlotFormat> f = plotFormatOf(path);
    return f && *f != PlotFormat::Svg;
}

}  // namespace road
