#pragma once

#include <limits>
#include <vector>

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/AlntEvaluation.h"

class CAlnt;

// The stations of a stake-out: the one rule behind the road tool's table and the Python
// module's. Chainages and stations in metres.

// A station equation as plain data (the LandXML component reads them; the geometry needs only
// the numbers): from running chainage `chainageInM` on, the design stations start anew at
// `aheadStationInM`. The station behind it is that of the region before, run on to this chainage.
struct TAlntStationEquation {
    double chainageInM = 0.0;
    double aheadStationInM = 0.0;
};

struct TAlntStakeoutRequest {
    // Round stations are the multiples of this (metres of design station), region by region.
    double intervalInM = 20.0;
    // The range in running chainage (metres), both ends included and staked; clipped to the road.
    double fromInM = -std::numeric_limits<double>::infinity();
    double toInM = std::numeric_limits<double>::infinity();
    // The design station of the road's start chainage; NaN: the start chainage itself.
    double startStationInM = std::numeric_limits<double>::quiet_NaN();
    // In increasing chainage, each after the road's start.
    std::vector<TAlntStationEquation> equations;
};

// Stations closer than this (metres) are one stake: a round station on a key point is staked
// once, at the key point.
inline constexpr double kAlntSameStakeM = 0.001;

struct TAlntStakeoutStation {
    double chainageInM = 0.0;
    // The design station (metres): at an equation the back row has the station behind it, the
    // ahead row the one ahead; `region` counts from 1 (region k + 1 after equation k).
    double stationInM = 0.0;
    int region = 1;
    // back / ahead: one of the two rows of an angle point or a station equation, each staked
    // from its own side of the joint (see TAlntJointSide); none elsewhere.
    TAlntJointSide side = TAlntJointSide::none;
    bool round = false;       // a multiple of the interval
    bool boundary = false;    // an element starts or ends here, or a key point inside one
    bool equation = false;    // a station equation stands here
    bool anglePoint = false;  // the tangents differ here by more than kAlntAnglePointRad
    // The key point's code: "TS", "SC", "CS", "ST", "PC", "PT", "PCC", "PRC", "SS", "POT", "Start"
    // or "End" (the range's ends: "Start"/"End" only at the road's own); "" for a round station.
    const char* code = "";
};

// Every station of the stake-out, in increasing chainage (a back row before its ahead row): the
// range's ends, every round station, every element boundary and every key point of the curves
// (TS, SC, CS, ST, PC, PT), those inside elements defined at an intersection point included, and
// every station equation. Stations closer than kAlntSameStakeM merge into the most telling one
// (an equation, then a key point, then a range end, then a round station) at its chainage.
// Empty when the interval is not a positive number, the road has no length or the range misses
// it.
VELMORUTILS_API std::vector<TAlntStakeoutStation> alntStakeoutStations(
    const CAlnt& alnt, const TAlntStakeoutRequest& request);

// Evaluates a stake-out station from its own side of the joint: an offset stake of a back row
// lies on the incoming element's normal, of an ahead row on the outgoing element's. Offsets then
// follow with alntOffsetPoint().
VELMORUTILS_API bool evaluateStakeoutStation(const CAlnt& alnt, const TAlntStakeoutStation& station,
                                             TAlntEval& at);
