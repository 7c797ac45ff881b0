#include "Stakeout.h"

#include <algorithm>
#include <cmath>

#include <velmorutils/zelmath/angles/AngleConversions.h>

namespace road {
namespace {

bool roadRange(const CAlnt& alnt, double& start, double& end) {
    start = alnt.getStartChainageInM();
    return alnt.getFinalChainageInM(end);
}

// The multiples of the interval strictly between `from` and `to`, region by region of the
// design's stations, and the chainage of every equation in the range.
void roundStations(const zel_landxml::Stationing& st, double interval, double from, double to,
                   std::vector<StakeoutStation>& all) {
    const std::vector<zel_landxml::StaEquation>& eq = st.equations();
    for (int r = 1; r <= st.regionCount(); ++r) {
        const double a = r == 1 ? from : std::max(from, eq[r - 2].staInternal);
        const double b = r == st.regionCount() ? to : std::min(to, eq[r - 1].staInternal);
        if (r > 1 && a < to && a == eq[r - 2].staInternal) all.push_back({a, false});
        if (!(a < b)) continue;
        const double sa = st.station(a), sb = sa + (b - a);
        for (double k = std::floor(sa / interval) + 1.0; k * interval < sb; k += 1.0)
            all.push_back({st.chainageInRegion(k * interval, r), false});
    }
}

}  // namespace

std::vector<StakeoutStation> stakeoutChainages(const CAlnt& alnt, double interval, double from,
                                               double to,
                                               const zel_landxml::Stationing* stationing) {
    std::vector<StakeoutStation> all;
    double start = 0.0, end = 0.0;
    if (!roadRange(alnt, start, end) || !(interval > 0.0)) return all;
    from = std::max(from, start);
    to = std::min(to, end);
    if (from > to) return all;
    if (stationing != nullptr)
        roundStations(*stationing, interval, from, to, all);
    else
        for (double k = std::floor(from / interval) + 1.0; k * interval < to; k += 1.0)
            all.push_back({k * interval, false});
    for (int i = 0; i < alnt.getNumOfHes(); ++i) {
        double c = 0.0;
        if (alnt.getElement(i).getStartChainageInM(c) && c >= from && c <= to)
            all.push_back({c, true});
    }
    all.push_back({from, from == start});
    all.push_back({to, to == end});
    // Boundaries sort before a round station at the same chainage, so the merged entry keeps
    // its boundary mark.
    std::sort(all.begin(), all.end(), [](const StakeoutStation& a, const StakeoutStation& b) {
        return a.chainage < b.chainage || (a.chainage == b.chainage && a.boundary && !b.boundary);
    });
    std::vector<StakeoutStation> out;
    for (const StakeoutStation& s : all) {
        if (!out.empty() && s.chainage - out.back().chainage < 0.001) {
            out.back().boundary = out.back().boundary || s.boundary;
            continue;
        }
        out.push_back(s);
    }
    return out;
}

std::vector<StakeoutStation> stakeoutChainages(const CAlnt& alnt, double interval) {
    return stakeoutChainages(alnt, interval, -1e300, 1e300);
}

bool stakeoutRow(const CAlnt& alnt, double chainage, double offset, StakeoutRow& row) {
    row.chainage = chainage;
    row.offset = offset;
    if (!alnt.getPosNeAtChainAndOffsetExtr(chainage, offset, row.north, row.east)) return false;
    if (!alnt.getAzimuthAtChainExtr(chainage, row.azimuthDeg)) return false;
    row.azimuthDeg = pos360(row.azimuthDeg);
    row.hasHeight = alnt.getNumOfVes() > 0 && alnt.getPosHAtChain(chainage, row.height);
    return std::isfinite(row.north) && std::isfinite(row.east) && std::isfinite(row.azimuthDeg) &&
           (!row.hasHeight || std::isfinite(row.height));
}

long long stakeoutRowCount(const CAlnt& alnt, const StakeoutOptions& options) {
    double start = 0.0, end = 0.0;
    if (!(options.interval > 0.0) || !roadRange(alnt, start, end)) return -1;
    const double span = std::min(end, options.to) - std::max(start, options.from);
    if (span < 0.0) return 0;
    const double stations = span / options.interval + alnt.getNumOfHes() + 2.0;
    const double rows = stations * static_cast<double>(options.offsets.size());
    return rows > 1e18 ? static_cast<long long>(1e18) : static_cast<long long>(rows);
}

namespace {

void writeHeader(std::FILE* out, const TableStyle& s) {
    if (s.csv) {
        std::fprintf(out, "station,%s,%s,%s,%s,%s,%s,boundary\n", s.heading("chainage").c_str(),
                     s.heading("offset").c_str(), s.heading("northing").c_str(),
                     s.heading("easting").c_str(), s.heading("cl_design_height").c_str(),
                     s.angleHeading("azimuth").c_str());
        return;
    }
    std::fprintf(out, "%13s %13s %15s %15s %16s  %s\n", "station", s.heading("offset").c_str(),
                 s.heading("northing").c_str(), s.heading("easting").c_str(),
                 s.heading("CL height").c_str(), s.angleHeading("azimuth").c_str());
}

void writeRow(std::FILE* out, const TableStyle& s, const StakeoutRow& r) {
    const std::string station = s.station(r.chainage);
    const std::string height = r.hasHeight ? s.length(r.height, 3) : std::string();
    if (s.csv) {
        std::fprintf(out, "%s,%s,%s,%s,%s,%s,%s,%d\n", station.c_str(),
                     s.length(r.chainage, 4).c_str(), s.length(r.offset, 3).c_str(),
                     s.length(r.north, 4).c_str(), s.length(r.east, 4).c_str(), height.c_str(),
                     s.angle(r.azimuthDeg).c_str(), r.boundary ? 1 : 0);
        return;
    }
    std::fprintf(out, "%13s %13s %15s %15s %16s  %s%s\n", station.c_str(),
                 s.length(r.offset, 3).c_str(), s.length(r.north, 4).c_str(),
                 s.length(r.east, 4).c_str(), r.hasHeight ? height.c_str() : "-",
                 r.boundary ? (padRight(s.angle(r.azimuthDeg), 14) + " *").c_str()
                            : s.angle(r.azimuthDeg).c_str(),
                 "");
}

}  // namespace

bool writeStakeout(std::FILE* out, const CAlnt& alnt, const StakeoutOptions& options,
                   std::string& error) {
    const std::vector<StakeoutStation> stations =
        stakeoutChainages(alnt, options.interval, options.from, options.to, options.stationing);
    if (stations.empty()) {
        error = "no station of the road lies in the range asked for";
        return false;
    }
    writeHeader(out, options.style);
    const size_t every = std::max<size_t>(1, stations.size() / 100);
    for (size_t i = 0; i < stations.size(); ++i) {
        for (double offset : options.offsets) {
            StakeoutRow row;
            if (!stakeoutRow(alnt, stations[i].chainage, offset, row)) {
                error = "no position at station " + options.style.station(stations[i].chainage);
                return false;
            }
            row.boundary = stations[i].boundary;
            writeRow(out, options.style, row);
        }
        if (options.progress && i % every == 0)
            options.progress(static_cast<double>(i) / static_cast<double>(stations.size()));
    }
    if (!options.style.csv)
        std::fprintf(out,
                     "(* element boundary. CL height: the centre line's design height at the "
                     "station, on offset rows too; cross slopes are not applied.)\n");
    return true;
}

}  // namespace road
