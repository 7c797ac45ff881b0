#include "StationOffset.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include <velmorutils/landxml/AlignmentBuilder.h>

namespace road {

using zel_landxml::stationText;
namespace {

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : line) {
        if (c == ',' || c == ';') {
            out.push_back(cur);
            cur.clear();
        } else if (c != '\r') {
            cur += c;
        }
    }
    out.push_back(cur);
    for (std::string& f : out) {
        const size_t b = f.find_first_not_of(" \t");
        const size_t e = f.find_last_not_of(" \t");
        f = b == std::string::npos ? std::string() : f.substr(b, e - b + 1);
    }
    return out;
}

bool number(const std::string& s, double& v) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return *end == '\0' && errno != ERANGE && std::isfinite(v);
}

}  // namespace

bool readPoints(const std::string& text, std::vector<MeasuredPoint>& points, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    std::vector<MeasuredPoint> read;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        const std::vector<std::string> f = fields(line);
        MeasuredPoint p;
        bool ok = f.size() >= 3 && f.size() <= 4 && number(f[1], p.north) && number(f[2], p.east);
        if (ok && f.size() == 4 && !f[3].empty()) ok = p.hasHeight = number(f[3], p.height);
        if (!ok) {
            if (read.empty() && lineNo == 1) continue;  // a header
            error = "line " + std::to_string(lineNo) +
                    ": expected name,northing,easting[,height], found '" + line + "'";
            return false;
        }
        p.name = f[0];
        read.push_back(p);
    }
    points = std::move(read);
    return true;
}

PointOnRoad locatePoint(const CAlnt& alnt, const MeasuredPoint& p) {
    PointOnRoad r;
    double start = alnt.getStartChainageInM(), end = start;
    if (!alnt.FindChainageAndOffset(p.north, p.east, r.chainage, r.offset)) return r;
    // A point beyond an end projects onto that end; it is not on the road.
    if (!alnt.getFinalChainageInM(end) || r.chainage < start - 0.001 || r.chainage > end + 0.001)
        return r;
    r.onRoad = true;
    // Within a centimetre the alignment gives the offset without its side; a surveyor still
    // wants to know which side 5 mm lies on, so take it from the road's direction here.
    double n = 0.0, e = 0.0, az = 0.0;
    if (std::fabs(r.offset) <= 0.01 && alnt.getPosNeAtChainAndOffsetExtr(r.chainage, 0.0, n, e) &&
        alnt.getAzimuthAtChainExtr(r.chainage, az)) {
        const double a = az * M_PI / 180.0;
        const double across = (p.east - e) * std::cos(a) - (p.north - n) * std::sin(a);
        r.offset = across < 0.0 ? -std::fabs(r.offset) : std::fabs(r.offset);
    }
    double design = 0.0;
    if (p.hasHeight && alnt.getNumOfVes() > 0 && alnt.getPosHAtChain(r.chainage, design)) {
        r.hasDesignHeight = true;
        r.heightDifference = p.height - design;
    }
    return r;
}

void writeStationOffset(std::FILE* out, const CAlnt& alnt, const std::vector<MeasuredPoint>& points,
                        bool csv) {
    if (csv)
        std::fprintf(out, "name,station,chainage,offset,dheight,note\n");
    else
        std::fprintf(out, "%-12s %12s %10s %9s\n", "point", "station", "offset", "dh");
    for (const MeasuredPoint& p : points) {
        const PointOnRoad r = locatePoint(alnt, p);
        if (!r.onRoad) {
            if (csv)
                std::fprintf(out, "%s,,,,,off the road\n", p.name.c_str());
            else
                std::fprintf(out, "%-12s %s\n", p.name.c_str(), "off the road");
            continue;
        }
        char dh[32] = "";
        if (r.hasDesignHeight) std::snprintf(dh, sizeof dh, "%.3f", r.heightDifference);
        const std::string station = stationText(r.chainage);
        if (csv)
            std::fprintf(out, "%s,%s,%.4f,%.3f,%s,\n", p.name.c_str(), station.c_str(), r.chainage,
                         r.offset, dh);
        else
            std::fprintf(out, "%-12s %12s %10.3f %9s\n", p.name.c_str(), station.c_str(), r.offset,
                         r.hasDesignHeight ? dh : "-");
    }
}

}  // namespace road
