#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/AlntStakeout.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

#include "TableFormat.h"

namespace road {

class SectionRows;

// The stations of a stake-out between `from` and `to` (metres of running chainage, both
// included), as the library's one stake-out rule gives them (alntStakeoutStations): round
// stations at the interval, every element boundary and key point (TS, SC, CS, ST, PC, PT, those
// of curves at an intersection point included) and every station equation, a back and an ahead
// row at angle points and equations. With a stationing the round stations are round in the
// design's own stations, region by region; without one, in running chainage.
using StakeoutStation = TAlntStakeoutStation;
std::vector<StakeoutStation> stakeoutChainages(const CAlnt& alnt, double interval, double from,
                                               double to,
                                               const zel_landxml::Stationing* stationing = nullptr);
// The same over the whole road.
std::vector<StakeoutStation> stakeoutChainages(const CAlnt& alnt, double interval);

struct StakeoutRow {
    double chainage = 0.0;
    double offset = 0.0;
    double north = 0.0;
    double east = 0.0;
    // The centre line's design height, also on an offset row; with a section model the design
    // height at the row's offset.
    double height = 0.0;
    bool hasHeight = false;
    std::string code;  // with a section model: the code of the section point or surface there
    double azimuthDeg = 0.0;
    bool boundary = false;  // an element starts or ends here, or a key point
};

// One row per chainage and offset (the alignment's own element at a joint). False when a
// position cannot be computed.
bool stakeoutRow(const CAlnt& alnt, double chainage, double offset, StakeoutRow& row);
// The rows of one station at every offset, from one evaluation from the station's own side.
bool stakeoutRows(const CAlnt& alnt, const StakeoutStation& station,
                  const std::vector<double>& offsets, std::vector<StakeoutRow>& rows);

// Limits that keep a stake-out a table a crew can use rather than a run out of memory.
inline constexpr double kMinIntervalM = 0.001;
inline constexpr double kMaxIntervalM = 100000.0;
inline constexpr long long kMaxStakeoutRows = 10000000;
inline constexpr double kMaxAbsOffsetM = 10000.0;

// Columns after a row's own (the stake in another CRS): their headings, ready to append to the
// header line, and a function that appends a row's cells (false with a message when it cannot).
struct StakeoutExtraColumns {
    std::string headings;
    std::function<bool(const StakeoutRow&, std::string& cells, std::string& error)> cells;
};

struct StakeoutOptions {
    double interval = 20.0;  // metres
    double from = -1e300;    // metres of running chainage; clipped to the road
    double to = 1e300;
    std::vector<double> offsets{0.0};  // metres, right of increasing chainage positive
    const zel_landxml::Stationing* stationing = nullptr;  // round stations in design stations
    // Station text; the stationing's (or plain running chainage) and metres by default.
    zel_landxml::StationStyle stationStyle;
    TableStyle style;
    // Called now and then with the share done (0 to 1); the caller decides where it shows.
    std::function<void(double)> progress;
    // With a section model: the rows of each station (offsets and codes) and their design
    // heights; the table then says "design height" and has a code column.
    SectionRows* sections = nullptr;
    StakeoutExtraColumns extra;  // none by default
};

// The rows the table would have, counted before any is computed, so a huge request is refused
// up front. -1 when the interval is not positive.
long long stakeoutRowCount(const CAlnt& alnt, const StakeoutOptions& options);

// Writes the table; false with a message when a row cannot be computed or the range is empty.
bool writeStakeout(std::FILE* out, const CAlnt& alnt, const StakeoutOptions& options,
                   std::string& error);

}  // namespace road
