#include <cstdlib>

#include <velmorutils/landxml/StakePoints.h>

#include "PointFile.h"

namespace road {

bool looksLikeXml(const std::string& text) {
    const size_t bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const size_t first = text.find_first_not_of(" \t\r\n", bom);
    return first != std::string::npos && text[first] == '<';
}

namespace {

// The D field of a CgPoint: its description, led by its code.
std::string descriptionOf(const zel_landxml::CgPointRecord& r) {
    if (r.desc.empty()) return r.code;
    if (r.code.empty() || r.desc.compare(0, r.code.size(), r.code) == 0) return r.desc;
    return r.code + " " + r.desc;
}

}  // namespace

PointFile readCgPointFile(const std::string& text) {
    PointFile out;
    zel_landxml::CgPointList list;
    std::string error;
    if (!zel_landxml::readCgPoints(text, list, error)) {
        const size_t colon = error.find(": ");
        const int line = error.rfind("line ", 0) == 0 ? std::atoi(error.c_str() + 5) : 1;
        out.bad.push_back(
            {line, std::string(), colon != std::string::npos ? error.substr(colon + 2) : error});
        return out;
    }
    out.hasUnit = true;
    out.unit = list.unit;
    out.crs = zel_landxml::crsDefinition(list.coordinateSystem);
    out.verticalDatum = list.coordinateSystem.verticalDatum;
    for (const zel_landxml::CgPointRecord& r : list.points) {
        MeasuredPoint p;
        p.name = r.name;
        p.north = r.north;
        p.east = r.east;
        p.hasHeight = r.height == r.height;
        p.height = p.hasHeight ? r.height : 0.0;
        p.code = descriptionOf(r);
        p.line = r.line;
        out.points.push_back(std::move(p));
    }
    for (const auto& [line, why] : list.bad)
        out.bad.push_back({line, std::string(), why});
    return out;
}

}  // namespace road
