#include "RoadAlignment.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include <velmorutils/landxml/StakeoutStations.h>
#include <velmorutils/zelmath/alignment/AlntValidity.h>
#include <velmorutils/zelmath/angles/AngleConversions.h>

namespace pyvelmor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

RoadAlignment::RoadAlignment(std::string name, LinearUnit unit, const CAlnt& alnt,
                             zel_landxml::Stationing stationing)
    : name_(std::move(name)),
      unit_(unit),
      alnt_(alnt),
      stationing_(std::move(stationing)),
      pattern_(alnt) {
    startM_ = alnt_.getStartChainageInM();
    if (!alnt_.getFinalChainageInM(endM_)) endM_ = startM_;
    inverse_.build(alnt_);
}

RoadAlignment::Lease::Lease(const RoadAlignment& owner) : owner_(owner) {
    // One lock for taking a copy and for making one: two copies made of the pattern at once
    // would both read it, and a copy is made only while the pool is growing.
    const std::lock_guard<std::mutex> guard(owner_.copiesLock_);
    if (owner_.copies_.empty()) {
        copy_ = std::make_unique<CAlnt>(owner_.pattern_);
        return;
    }
    copy_ = std::move(owner_.copies_.back());
    owner_.copies_.pop_back();
}

RoadAlignment::Lease::~Lease() {
    const std::lock_guard<std::mutex> guard(owner_.copiesLock_);
    try {
        owner_.copies_.push_back(std::move(copy_));
    } catch (const std::bad_alloc&) {
        // No room to keep it: the copy is freed and the next lease makes another.
    }
}

void RoadAlignment::evaluate(const double* chainage, std::size_t count, TAlntEval* at,
                             bool* ok) const {
    const Lease lease(*this);
    for (std::size_t i = 0; i < count; ++i)
        ok[i] = evaluateAlnt(lease.alnt(), toM(chainage[i]), at[i]);
}

namespace {

// Evaluates a batch in blocks, so that a call of any size needs a bounded buffer, and hands each
// answer (or null) to the caller's sink.
template <class Sink>
void eachEvaluated(const RoadAlignment& a, const double* chainage, std::size_t count, Sink sink) {
    constexpr std::size_t kBlock = 256;
    TAlntEval at[kBlock];
    bool ok[kBlock];
    for (std::size_t i = 0; i < count; i += kBlock) {
        const std::size_t n = std::min(kBlock, count - i);
        a.evaluate(chainage + i, n, at, ok);
        for (std::size_t j = 0; j < n; ++j)
            sink(i + j, ok[j] ? &at[j] : nullptr);
    }
}

}  // namespace

void RoadAlignment::positions(const double* chainage, const double* offset, std::size_t count,
                              double* north, double* east) const {
    eachEvaluated(*this, chainage, count, [&](std::size_t i, const TAlntEval* e) {
        north[i] = east[i] = kNaN;
        if (e == nullptr || !std::isfinite(offset[i])) return;
        double n = 0.0, e2 = 0.0;
        alntOffsetPoint(*e, toM(offset[i]), n, e2);
        north[i] = fromM(n);
        east[i] = fromM(e2);
    });
}

void RoadAlignment::azimuths(const double* chainage, std::size_t count, double* deg) const {
    eachEvaluated(*this, chainage, count, [&](std::size_t i, const TAlntEval* e) {
        deg[i] = e != nullptr ? e->azimuthDeg : kNaN;
    });
}

void RoadAlignment::curvatures(const double* chainage, std::size_t count, double* k) const {
    eachEvaluated(*this, chainage, count, [&](std::size_t i, const TAlntEval* e) {
        // Curvature is per unit length: per foot the metre value times the foot's metres.
        k[i] = e != nullptr ? e->curvature * toM(1.0) : kNaN;
    });
}

void RoadAlignment::heights(const double* chainage, std::size_t count, double* h) const {
    eachEvaluated(*this, chainage, count, [&](std::size_t i, const TAlntEval* e) {
        h[i] = e != nullptr && e->hasHeight ? fromM(e->height) : kNaN;
    });
}

void RoadAlignment::grades(const double* chainage, std::size_t count, double* percent) const {
    eachEvaluated(*this, chainage, count, [&](std::size_t i, const TAlntEval* e) {
        percent[i] = e != nullptr && e->hasGrade ? e->gradePercent : kNaN;
    });
}

void RoadAlignment::stationOffsets(const double* north, const double* east, std::size_t count,
                                   Foot* feet) const {
    for (std::size_t i = 0; i < count; ++i) {
        TAlntFoot f;
        if (inverse_.findNearest(toM(north[i]), toM(east[i]), f)) {
            feet[i] = {fromM(f.chainageInM), fromM(f.offsetInM), f.element,
                       static_cast<int>(f.status), f.side};
        } else {
            feet[i] = {kNaN, kNaN, -1, -1, TAlntJointSide::none};
        }
    }
}

std::vector<TAlntStakeoutStation> RoadAlignment::stakeoutStations(double interval) const {
    return alntStakeoutStations(alnt_, zel_landxml::stakeoutRequest(stationing_, toM(interval)));
}

std::vector<double> RoadAlignment::stakeoutChainages(double interval) const {
    std::vector<double> out;
    for (const TAlntStakeoutStation& s : stakeoutStations(interval))
        out.push_back(fromM(s.chainageInM));
    return out;
}

void RoadAlignment::stakeoutRows(const std::vector<TAlntStakeoutStation>& stations,
                                 const std::vector<double>& offsets, StakeRow* rows) const {
    const std::lock_guard<std::mutex> guard(lock_);
    std::size_t r = 0;
    for (const TAlntStakeoutStation& s : stations) {
        TAlntEval at;
        const bool ok = evaluateStakeoutStation(alnt_, s, at);
        for (const double offset : offsets) {
            StakeRow& row = rows[r++];
            row = {kNaN, kNaN, kNaN, kNaN};
            if (!ok) continue;
            // In metres, as the tool computes it, and converted once at the end.
            alntOffsetPoint(at, toM(offset), row.north, row.east);
            row.north = fromM(row.north);
            row.east = fromM(row.east);
            row.height = at.hasHeight ? fromM(at.height) : kNaN;
            row.azimuth = at.azimuthDeg;
        }
    }
}

std::string RoadAlignment::stakeoutStationText(const TAlntStakeoutStation& station,
                                               int decimals) const {
    return zel_landxml::stakeoutStationText(stationing_, station, style(decimals));
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
