#pragma once

#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/CAlnt.h>

namespace road {

struct PlotOptions {
    double width = 1000.0;         // pixels
    std::vector<double> offsets;   // offset lines drawn beside the centre line
    double stationInterval = 0.0;  // 0: chosen from the road's length
};

// The plan (centre line, element boundaries, station ticks and labels, offset lines) above the
// profile (design heights, VIPs, grade lines), as one SVG document.
std::string plotSvg(const CAlnt& alnt, const PlotOptions& options);

}  // namespace road
