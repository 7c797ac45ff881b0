#include "Stakeout.h"

#include <algorithm>
#include <cmath>

#include <velmorutils/formats/ValueFormats.h>
#include <velmorutils/zelmath/angles/AngleConversions.h>

#include <velmorutils/landxml/AlignmentBuilder.h>

namespace road {

using zel_landxml::stationText;

std::vector<StakeoutStation> stakeoutChainages(const CAlnt& alnt, double interval) {
    std::vector<StakeoutStation> all;
    const double start = alnt.getStartChainageInM();
    double end = start;
    if (!alnt.getFinalChainageInM(end) || !(interval > 0.0)) return all;
    for (double k = std::floor(start / interval) + 1.0; k * interval < end; k += 1.0)
        all.push_back({k * interval, false});
    for (int i = 0; i < alnt.getNumOfHes(); ++i) {
        double c = 0.0;
        if (alnt.getElement(i).getStartChainageInM(c)) all.push_back({c, true});
    }
    all.push_back({start, false});
    all.push_back({end, true});
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

bool stakeoutRow(const CAlnt& alnt, double chainage, double offset, StakeoutRow& row) {
    row.chainage = chainage;
    row.offset = offset;
    if (!alnt.getPosNeAtChainAndOffsetExtr(chainage, offset, row.north, row.east)) return false;
    if (!alnt.getAzimuthAtChainExtr(chainage, row.azimuthDeg)) return false;
    row.azimuthDeg = pos360(row.azimuthDeg);
    row.hasHeight = alnt.getNumOfVes() > 0 && alnt.getPosHAtChain(chainage, row.height);
    return true;
}

std::string azimuthText(double deg) {
    const zel_text::CZelStringT<char> s = AngleToStringDDDMMSS(pos360(deg));
    // The library writes the degree sign as the single byte 0xB0; a terminal wants UTF-8.
    std::string out;
    for (const char* p = s; *p; ++p) {
        if (static_cast<unsigned char>(*p) == 0xB0)
            out += "\u00B0";
        else
            out += *p;
    }
    return out;
}

namespace {

void writeRow(std::FILE* out, const StakeoutRow& r, bool csv) {
    const std::string station = stationText(r.chainage);
    const std::string az = azimuthText(r.azimuthDeg);
    char height[32] = "";
    if (r.hasHeight) std::snprintf(height, sizeof height, "%.3f", r.height);
    if (csv) {
        std::fprintf(out, "%s,%.4f,%.3f,%.4f,%.4f,%s,%s,%s\n", station.c_str(), r.chainage,
                     r.offset, r.north, r.east, height, az.c_str(), r.boundary ? "boundary" : "");
        return;
    }
    std::fprintf(out, "%12s %8.3f %14.4f %14.4f %9s  %-16s%s\n", station.c_str(), r.offset, r.north,
                 r.east, r.hasHeight ? height : "-", az.c_str(), r.boundary ? " *" : "");
}

}  // namespace

bool writeStakeout(std::FILE* out, const CAlnt& alnt, const StakeoutOptions& options,
                   std::string& error) {
    const std::vector<StakeoutStation> stations = stakeoutChainages(alnt, options.interval);
    if (stations.empty()) {
        error = "the alignment has no length to stake out";
        return false;
    }
    if (options.csv)
        std::fprintf(out, "station,chainage,offset,northing,easting,height,azimuth,note\n");
    else
        std::fprintf(out, "%12s %8s %14s %14s %9s  %-16s\n", "station", "offset", "northing",
                     "easting", "height", "azimuth");
    const size_t every = std::max<size_t>(1, stations.size() / 100);
    for (size_t i = 0; i < stations.size(); ++i) {
        for (double offset : options.offsets) {
            StakeoutRow row;
            if (!stakeoutRow(alnt, stations[i].chainage, offset, row)) {
                error = "no position at station " + stationText(stations[i].chainage);
                return false;
            }
            row.boundary = stations[i].boundary;
            writeRow(out, row, options.csv);
        }
        if (options.progress && i % every == 0)
            options.progress(static_cast<double>(i) / static_cast<double>(stations.size()));
    }
    if (!options.csv) std::fprintf(out, "(* element boundary)\n");
    return true;
}

}  // namespace road
