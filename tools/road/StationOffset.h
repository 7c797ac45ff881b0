#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/CAlnt.h>

namespace road {

struct MeasuredPoint {
    std::string name;
    double north = 0.0;
    double east = 0.0;
    double height = 0.0;
    bool hasHeight = false;
};

// Reads "name,northing,easting[,height]" lines; a first line that does not parse is a header.
// False with the line number when a later line is not a point.
bool readPoints(const std::string& text, std::vector<MeasuredPoint>& points, std::string& error);

struct PointOnRoad {
    bool onRoad = false;  // false: not square to any element, or beyond the road's ends
    double chainage = 0.0;
    double offset = 0.0;  // right of increasing chainage positive
    bool hasDesignHeight = false;
    double heightDifference = 0.0;  // measured minus design
};

PointOnRoad locatePoint(const CAlnt& alnt, const MeasuredPoint& p);

void writeStationOffset(std::FILE* out, const CAlnt& alnt, const std::vector<MeasuredPoint>& points,
                        bool csv);

}  // namespace road
