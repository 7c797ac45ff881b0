#pragma once

// Cross-section drawings: one per section, several to a sheet, on sheets like the plan's, with
// the same drawing layer (Plot.h).

#include <array>
#include <string>
#include <utility>
#include <vector>

#include <velmorutils/zelmath/sections/SlopeStake.h>

#include "Plot.h"

namespace road {

struct RoadModel;

// What one drawing shows, in metres (offsets right positive, absolute heights).
struct SectionView {
    double chainage = 0.0;
    std::string station;  // as the design writes it
    bool hasDesign = false;
    std::string why;  // without a design: why (beyond the sections, ...)
    zel_math::TSectionProfile design;
    // The ground across the section, as runs of (offset, height) with no gap inside a run.
    std::vector<std::vector<std::pair<double, double>>> ground;
    // The slope stakes, left then right; `staked` false where none could be asked.
    std::array<zel_math::TSlopeStake, 2> stakes{};
    std::array<bool, 2> staked{false, false};
};

// The view of the road at a chainage: the finished surface, the ground from searchM beyond the
// ends of the finished surface (at least), and the slope stakes of both sides when there is a
// ground. Everything through the library (corridor, ground, slopeStake).
SectionView sectionView(const RoadModel& model, double chainage, std::string station,
                        double searchM);

struct SectionPlotOptions {
    Paper paper = Paper::Fit;
    double metresPerUnit = 1.0;  // every number printed is in this unit
    std::string unitSymbol = "m";
    std::string alignment, fileName, date;  // for the title
};

// Lays out the drawings on as many sheets as they need, the same scale for all of them (the
// widest and tallest section sets it; on paper a standard scale), heights exaggerated by a
// usual factor when the sections are flat. False with a message when there is nothing to draw.
bool layoutSections(const std::vector<SectionView>& views, const SectionPlotOptions& options,
                    std::vector<PlotModel>& pages, std::string& error);

}  // namespace road
