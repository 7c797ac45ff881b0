#pragma once

#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/CAlnt.h>

#include "TableFormat.h"

namespace road {

struct PlotOptions {
    double width = 1000.0;         // pixels
    std::vector<double> offsets;   // offset lines drawn beside the centre line
    double stationInterval = 0.0;  // metres; 0: a round length of the unit, about ten ticks
    TableStyle style;              // unit of the labels and the design's station text
};

// The plan (centre line, element boundaries, station ticks and labels, offset lines) above the
// profile (design heights, VIPs, grade lines), as one SVG document.
std::string plotSvg(const CAlnt& alnt, const PlotOptions& options);

}  // namespace road
