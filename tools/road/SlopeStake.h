#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <velmorutils/zelmath/sections/SlopeStake.h>

#include "TableFormat.h"

namespace road {

// One row of the slope-stake table: a station's side, or why it has no stake.
struct SlopeStakeRow {
    std::string station;  // as the design writes it
    bool asked = false;   // false: the stake could not be asked (why in `error`)
    zel_math::TSlopeStake stake;
    std::string error;
};

// The slope-stake table: text for the crew, or CSV with the columns station, chainage, side,
// hinge_offset, hinge_height, catch_offset, catch_height, catch_northing, catch_easting, slope,
// cut_fill (each length with its unit), then the offset stake and the file's daylight.
class SlopeStakeTable {
public:
    explicit SlopeStakeTable(const TableStyle& style) : s_(style) {}
    void writeHeader(std::FILE* out);
    void writeRow(std::FILE* out, const SlopeStakeRow& row);
    void writeFooter(std::FILE* out, double stakeDistanceM) const;

private:
    std::vector<std::string> cells(const SlopeStakeRow& row) const;

    const TableStyle& s_;
    std::vector<std::size_t> widths_;
};

// The offset stake as field books write it: the cut (C) or fill (F) from the ground at the stake
// to the hinge, "@" the stake's distance from the centre line and its side: "C 2.35 @ 15.20 R".
std::string fieldBookText(const TableStyle& style, const zel_math::TSlopeStake& stake);

// A side slope as H:V with the kind: "2:1 cut", "1.5:1 fill".
std::string slopeText(const zel_math::TSlopeStake& stake);

}  // namespace road
