#pragma once

#include <string>

#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/AlntStakeout.h>

namespace zel_landxml {

// The stake-out of an alignment in its design stationing: the library's one stake-out rule
// (alntStakeoutStations) fed with this stationing's start station and equations as plain data.
// Interval and range in metres (range in running chainage; infinite: the whole road).
TAlntStakeoutRequest stakeoutRequest(const Stationing& stationing, double intervalM,
                                     double fromM = -std::numeric_limits<double>::infinity(),
                                     double toM = std::numeric_limits<double>::infinity());

// The station text of a stake-out row, as the road tool and the Python module print it: the
// design station of its chainage (Stationing::text), and on the back row of a station equation
// the station behind it (the region before), with " R<k>" where that text alone would read back
// to another point.
std::string stakeoutStationText(const Stationing& stationing, const TAlntStakeoutStation& station,
                                const StationStyle& style);

}  // namespace zel_landxml
