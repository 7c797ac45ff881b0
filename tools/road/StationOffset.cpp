#include "StationOffset.h"

#include <cmath>

namespace road {

PointOnRoad locatePoint(const CAlnt& alnt, double northM, double eastM) {
    PointOnRoad r;
    double start = alnt.getStartChainageInM(), end = start;
    if (!alnt.FindChainageAndOffset(northM, eastM, r.chainage, r.offset)) return r;
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
        const double across = (eastM - e) * std::cos(a) - (northM - n) * std::sin(a);
        r.offset = across < 0.0 ? -std::fabs(r.offset) : std::fabs(r.offset);
    }
    return r;
}

StationOffsetRow stationOffsetRow(const CAlnt& alnt, const MeasuredPoint& p, Unit fileUnit) {
    StationOffsetRow row;
    row.where = locatePoint(alnt, toMetres(p.north, fileUnit), toMetres(p.east, fileUnit));
    if (!row.where.onRoad || alnt.getNumOfVes() == 0) return row;
    row.hasDesignHeight = alnt.getPosHAtChain(row.where.chainage, row.designHeight);
    if (row.hasDesignHeight && p.hasHeight)
        row.heightDifference = toMetres(p.height, fileUnit) - row.designHeight;
    return row;
}

namespace {

// A CSV field that needs quoting (a name or code with a comma or quote) gets it; numbers
// never do.
std::string csvText(const std::string& s) {
    if (s.find_first_of(",\"\n") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

}  // namespace

void writeStationOffset(std::FILE* out, const CAlnt& alnt, const std::vector<MeasuredPoint>& points,
                        Unit pointUnit, const TableStyle& s) {
    if (s.csv)
        std::fprintf(out, "name,station,%s,%s,%s,%s,code,note\n", s.heading("chainage").c_str(),
                     s.heading("offset").c_str(), s.heading("cl_design_height").c_str(),
                     s.heading("dheight").c_str());
    else
        std::fprintf(out, "%-12s %13s %13s %16s %13s  %s\n", "point", "station",
                     s.heading("offset").c_str(), s.heading("CL height").c_str(),
                     s.heading("dh").c_str(), "code");
    for (const MeasuredPoint& p : points) {
        const StationOffsetRow r = stationOffsetRow(alnt, p, pointUnit);
        if (!r.where.onRoad) {
            if (s.csv)
                std::fprintf(out, "%s,,,,,,%s,off the road\n", csvText(p.name).c_str(),
                             csvText(p.code).c_str());
            else
                std::fprintf(out, "%-12s %13s %13s %16s %13s  %s\n", p.name.c_str(), "off road",
                             "-", "-", "-", p.code.c_str());
            continue;
        }
        const std::string station = s.station(r.where.chainage);
        const std::string design = r.hasDesignHeight ? s.length(r.designHeight, 3) : "";
        const std::string dh =
            r.hasDesignHeight && p.hasHeight ? s.length(r.heightDifference, 3) : "";
        if (s.csv)
            std::fprintf(out, "%s,%s,%s,%s,%s,%s,%s,\n", csvText(p.name).c_str(), station.c_str(),
                         s.length(r.where.chainage, 4).c_str(), s.length(r.where.offset, 3).c_str(),
                         design.c_str(), dh.c_str(), csvText(p.code).c_str());
        else
            std::fprintf(out, "%-12s %13s %13s %16s %13s  %s\n", p.name.c_str(), station.c_str(),
                         s.length(r.where.offset, 3).c_str(), design.empty() ? "-" : design.c_str(),
                         dh.empty() ? "-" : dh.c_str(), p.code.c_str());
    }
    if (!s.csv)
        std::fprintf(out,
                     "(offset right of increasing station positive; dh: measured height minus "
                     "the centre line's design height)\n");
}

}  // namespace road
