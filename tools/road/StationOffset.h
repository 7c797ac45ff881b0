#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/CAlnt.h>

#include "PointFile.h"
#include "TableFormat.h"

namespace road {

// Where a point lies against the road, in metres.
struct PointOnRoad {
    bool onRoad = false;  // false: not square to any element, or beyond the road's ends
    double chainage = 0.0;
    double offset = 0.0;  // right of increasing chainage positive
};

// Locates a point (metres) on the road: the one place that decides station and offset.
PointOnRoad locatePoint(const CAlnt& alnt, double northM, double eastM);

// A row of the station/offset table, in metres.
struct StationOffsetRow {
    PointOnRoad where;
    bool hasDesignHeight = false;
    double designHeight = 0.0;      // the centre line's design height at the station
    double heightDifference = 0.0;  // measured minus design
};

// Locates a measured point whose coordinates are in `fileUnit`.
StationOffsetRow stationOffsetRow(const CAlnt& alnt, const MeasuredPoint& p, Unit fileUnit);

// The table: name, station, offset, the centre line's design height, measured minus design
// height, code; with `carried`, also the station each point carries and the located minus the
// carried station. Off-road points keep their row with a note, so no point is ever dropped.
void writeStationOffset(std::FILE* out, const CAlnt& alnt, const std::vector<MeasuredPoint>& points,
                        Unit pointUnit, const TableStyle& style, bool carried = false);

}  // namespace road
