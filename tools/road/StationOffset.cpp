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

namespace {

// One table row as cells: name, station, chainage (CSV only), offset, CL height, dh,
// [carried station, dstation], code, note (CSV only).
std::vector<std::string> cells(const CAlnt& alnt, const MeasuredPoint& p, Unit pointUnit,
                               const TableStyle& s, bool carried) {
    const StationOffsetRow r = stationOffsetRow(alnt, p, pointUnit);
    const bool on = r.where.onRoad;
    std::vector<std::string> c{p.name, on ? s.station(r.where.chainage) : ""};
    if (s.csv) c.push_back(on ? s.length(r.where.chainage, 4) : "");
    c.push_back(on ? s.length(r.where.offset, 3) : "");
    c.push_back(r.hasDesignHeight ? s.length(r.designHeight, 3) : "");
    c.push_back(r.hasDesignHeight && p.hasHeight ? s.length(r.heightDifference, 3) : "");
    if (carried) {
        c.push_back(p.station);
        c.push_back(on && p.hasChainage ? s.length(r.where.chainage - p.chainageM, 3) : "");
    }
    c.push_back(p.code);
    if (s.csv) c.push_back(on ? "" : "off the road");
    return c;
}

std::vector<std::string> headings(const TableStyle& s, bool carried) {
    std::vector<std::string> h{s.csv ? "name" : "point", "station"};
    if (s.csv) h.push_back(s.heading("chainage"));
    h.push_back(s.heading("offset"));
    h.push_back(s.heading(s.csv ? "cl_design_height" : "CL height"));
    h.push_back(s.heading(s.csv ? "dheight" : "dh"));
    if (carried) {
        h.push_back(s.csv ? "carried_station" : "carried");
        h.push_back(s.heading(s.csv ? "dstation" : "dstation"));
    }
    h.push_back("code");
    if (s.csv) h.push_back("note");
    return h;
}

void writeCells(std::FILE* out, const std::vector<std::string>& c, bool csv, bool offRoad) {
    std::string line;
    for (size_t i = 0; i < c.size(); ++i) {
        if (csv) {
            line += (i ? "," : "") + csvText(c[i]);
            continue;
        }
        // Text: the name left, the numbers right in their columns, the code last.
        const std::string v = c[i].empty() ? (i == 1 && offRoad ? "off road" : "-") : c[i];
        char buf[128];
        if (i == 0)
            std::snprintf(buf, sizeof buf, "%-12s", c[i].c_str());
        else if (i + 1 == c.size())
            std::snprintf(buf, sizeof buf, "  %s", c[i].c_str());
        else
            std::snprintf(buf, sizeof buf, " %15s", v.c_str());
        line += buf;
    }
    std::fprintf(out, "%s\n", line.c_str());
}

}  // namespace

void writeStationOffset(std::FILE* out, const CAlnt& alnt, const std::vector<MeasuredPoint>& points,
                        Unit pointUnit, const TableStyle& s, bool carried) {
    writeCells(out, headings(s, carried), s.csv, false);
    for (const MeasuredPoint& p : points) {
        const std::vector<std::string> c = cells(alnt, p, pointUnit, s, carried);
        writeCells(out, c, s.csv, c[1].empty());
    }
    if (!s.csv)
        std::fprintf(out,
                     "(offset right of increasing station positive; dh: measured height minus "
                     "the centre line's design height%s)\n",
                     carried ? "; dstation: located minus carried station" : "");
}

}  // namespace road
