#include "RoadAlignment.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <velmorutils/zelmath/alignment/AlntValidity.h>
#include <velmorutils/zelmath/angles/AngleConversions.h>

namespace pyvelmor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Stake-out stations closer than this merge into one: a round station on an element boundary
// is staked once.
constexpr double kSameStationM = 0.001;

}  // namespace

RoadAlignment::RoadAlignment(std::string name, LinearUnit unit, const CAlnt& alnt,
                             zel_landxml::Stationing stationing)
    : name_(std::move(name)), unit_(unit), alnt_(alnt), stationing_(std::move(stationing)) {
    startM_ = alnt_.getStartChainageInM();
    if (!alnt_.getFinalChainageInM(endM_)) endM_ = startM_;
    inverse_.build(alnt_);
}

void RoadAlignment::positions(const double* chainage, const double* offset, std::size_t count,
                              double* north, double* east) const {
    const std::lock_guard<std::mutex> guard(lock_);
    for (std::size_t i = 0; i < count; ++i) {
        north[i] = east[i] = kNaN;
        const double c = toM(chainage[i]), o = toM(offset[i]);
        double n = 0.0, e = 0.0;
        if (!std::isfinite(c) || !std::isfinite(o)) continue;
        if (!alnt_.getPosNeAtChainAndOffsetExtr(c, o, n, e)) continue;
        north[i] = fromM(n);
        east[i] = fromM(e);
    }
}

void RoadAlignment::azimuths(const double* chainage, std::size_t count, double* deg) const {
    const std::lock_guard<std::mutex> guard(lock_);
    for (std::size_t i = 0; i < count; ++i) {
        const double c = toM(chainage[i]);
        double az = 0.0;
        deg[i] = std::isfinite(c) && alnt_.getAzimuthAtChainExtr(c, az) ? pos360(az) : kNaN;
    }
}

void RoadAlignment::curvatures(const double* chainage, std::size_t count, double* k) const {
    // Curvature is per unit length: per foot it is the metre value times the foot's metres.
    const double perUnit = toM(1.0);
    const std::lock_guard<std::mutex> guard(lock_);
    for (std::size_t i = 0; i < count; ++i) {
        const double c = toM(chainage[i]);
        double km = 0.0;
        if (!std::isfinite(c)) {
            k[i] = kNaN;
        } else if (c < startM_ || c > endM_) {
            k[i] = 0.0;  // beyond the ends the road runs on along its end tangents
        } else {
            k[i] = alnt_.getCurvatureAtChainage(c, km) ? km * perUnit : kNaN;
        }
    }
}

void RoadAlignment::heights(const double* chainage, std::size_t count, double* h) const {
    const std::lock_guard<std::mutex> guard(lock_);
    const bool profile = hasProfile();
    for (std::size_t i = 0; i < count; ++i) {
        const double c = toM(chainage[i]);
        double hm = 0.0;
        h[i] = profile && std::isfinite(c) && alnt_.getPosHAtChain(c, hm) ? fromM(hm) : kNaN;
    }
}

void RoadAlignment::grades(const double* chainage, std::size_t count, double* percent) const {
    const std::lock_guard<std::mutex> guard(lock_);
    const bool profile = hasProfile();
    for (std::size_t i = 0; i < count; ++i) {
        const double c = toM(chainage[i]);
        double g = 0.0;
        percent[i] = profile && std::isfinite(c) && alnt_.getGradeAtChainage(c, g) ? g : kNaN;
    }
}

void RoadAlignment::stationOffsets(const double* north, const double* east, std::size_t count,
                                   Foot* feet) const {
    for (std::size_t i = 0; i < count; ++i) {
        TAlntFoot f;
        if (inverse_.findNearest(toM(north[i]), toM(east[i]), f)) {
            feet[i] = {fromM(f.chainageInM), fromM(f.offsetInM), f.element,
                       static_cast<int>(f.status)};
        } else {
            feet[i] = {kNaN, kNaN, -1, -1};
        }
    }
}

std::vector<double> RoadAlignment::stakeoutChainages(double interval) const {
    std::vector<double> all{startM_, endM_};
    for (int i = 0; i < alnt_.getNumOfHes(); ++i) {
        double c = 0.0;
        if (alnt_.getElement(i).getStartChainageInM(c)) all.push_back(c);
    }
    // Round stations region by region: after an equation the design stations start anew at its
    // staAhead, and the stake-out book wants them round there too.
    const std::vector<zel_landxml::StaEquation>& eqs = stationing_.equations();
    for (std::size_t r = 0; r <= eqs.size(); ++r) {
        const double c0 = std::max(startM_, r == 0 ? startM_ : eqs[r - 1].staInternal);
        const double c1 = std::min(endM_, r == eqs.size() ? endM_ : eqs[r].staInternal);
        if (!(c1 > c0)) continue;
        all.push_back(c0);
        const double s0 = stationing_.station(c0);
        const double firstU = fromM(s0), lastU = fromM(s0 + (c1 - c0));
        for (double k = std::floor(firstU / interval) + 1.0; k * interval < lastU; k += 1.0)
            all.push_back(stationing_.chainageInRegion(toM(k * interval), static_cast<int>(r) + 1));
    }
    std::sort(all.begin(), all.end());
    std::vector<double> out;
    for (const double c : all) {
        if (c < startM_ || c > endM_) continue;
        if (!out.empty() && c - out.back() < kSameStationM) continue;
        out.push_back(c);
    }
    for (double& c : out)
        c = fromM(c);
    return out;
}

zel_landxml::StationStyle RoadAlignment::style(int decimals) const {
    zel_landxml::StationStyle s;
    s.unit = unit_;
    s.decimals = decimals;
    return s;
}

std::string RoadAlignment::stationText(double chainage, int decimals) const {
    return stationing_.text(toM(chainage), style(decimals));
}

bool RoadAlignment::chainageOf(const std::string& text, double& chainage,
                               std::string& error) const {
    double m = 0.0;
    if (!stationing_.chainage(text, style(2), m, error)) return false;
    const zel_formats::Verdict on =
        zel_math::checkChainageOnAlignment(m, startM_, endM_, toM(zel_math::halfLastDigit(text)));
    if (!on) {
        error = "station " + text + " " + on.message + " (" + stationText(fromM(startM_), 2) +
                " to " + stationText(fromM(endM_), 2) + ")";
        return false;
    }
    chainage = fromM(m);
    return true;
}

}  // namespace pyvelmor
