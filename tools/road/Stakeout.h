#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/CAlnt.h>

namespace road {

// The chainages of a stake-out: every multiple of the interval within the road, the road's
// start and end, and every element boundary, in order and without repeats (1 mm apart at
// least, so a boundary on a round station is staked once).
struct StakeoutStation {
    double chainage = 0.0;
    bool boundary = false;  // an element starts or ends here
};
std::vector<StakeoutStation> stakeoutChainages(const CAlnt& alnt, double interval);

struct StakeoutRow {
    double chainage = 0.0;
    double offset = 0.0;
    double north = 0.0;
    double east = 0.0;
    double height = 0.0;
    bool hasHeight = false;
    double azimuthDeg = 0.0;
    bool boundary = false;  // an element starts or ends here
};

// One row per chainage and offset. False when a position cannot be computed.
bool stakeoutRow(const CAlnt& alnt, double chainage, double offset, StakeoutRow& row);

struct StakeoutOptions {
    double interval = 20.0;
    std::vector<double> offsets{0.0};
    bool csv = false;
    // Called now and then with the share done (0 to 1); the caller decides where it shows.
    std::function<void(double)> progress;
};

// Writes the table; false with a message when a row cannot be computed.
bool writeStakeout(std::FILE* out, const CAlnt& alnt, const StakeoutOptions& options,
                   std::string& error);

// Degrees-minutes-seconds text of an azimuth in [0, 360), for people (UTF-8 degree sign).
std::string azimuthText(double deg);

}  // namespace road
