#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/AlntEvaluation.h>
#include <velmorutils/zelmath/alignment/AlntStakeout.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>
#include <velmorutils/zelmath/alignment/CAlntStationOffset.h>

namespace pyvelmor {

using zel_landxml::LinearUnit;
class RoadCorridorModel;

// A finished road alignment as the Python module shows it: the library's combined alignment in
// metres, its stationing (station equations) and the user's linear unit. Every length that
// enters or leaves is in that unit and converted at this edge, so the geometry itself is the
// library's, unchanged. Nothing here touches the interpreter: the batch calls run with the
// interpreter lock released.
//
// The library's alignment fills caches inside its const queries, so one lock serialises the
// geometry queries of one alignment across threads. The station/offset inverse is an immutable
// snapshot and needs none.
class RoadAlignment {
public:
    RoadAlignment(std::string name, LinearUnit unit, const CAlnt& alnt,
                  zel_landxml::Stationing stationing);

    const std::string& name() const { return name_; }
    LinearUnit unit() const { return unit_; }
    // In the alignment's unit.
    double startChainage() const { return fromM(startM_); }
    double endChainage() const { return fromM(endM_); }
    double length() const { return fromM(endM_ - startM_); }
    bool hasProfile() const { return alnt_.getNumOfVes() > 0; }
    const CAlnt& alnt() const { return alnt_; }
    // The road beyond the centre line (RoadCorridor.h), built on alnt(); null when there is
    // none. Its queries use alnt() and so take alntLock().
    void setCorridor(std::shared_ptr<const RoadCorridorModel> c) { corridor_ = std::move(c); }
    const RoadCorridorModel* corridor() const { return corridor_.get(); }
    std::mutex& alntLock() const { return lock_; }
    const zel_landxml::Stationing& stationing() const { return stationing_; }

    double toM(double v) const { return zel_landxml::toMetres(v, unit_); }
    double fromM(double m) const { return zel_landxml::fromMetres(m, unit_); }

    // The library's one evaluation per chainage (evaluateAlnt), for count chainages in the
    // alignment's unit; the answers are the library's, in metres. ok[i] false: the chainage is
    // not finite or could not be evaluated.
    void evaluate(const double* chainage, std::size_t count, TAlntEval* at, bool* ok) const;

    // Batch queries over count chainages (and offsets), in the alignment's unit, each answered
    // by that evaluation. A chainage before the start or after the end is extrapolated along
    // the end tangent for positions and azimuths (curvature 0 there); heights and grades are NaN
    // outside the profile and where there is none (grades along circular vertical curves are
    // the circle's slope), and every result of a chainage that is not a finite number is NaN.
    void positions(const double* chainage, const double* offset, std::size_t count, double* north,
                   double* east) const;
    void azimuths(const double* chainage, std::size_t count, double* deg) const;
    void curvatures(const double* chainage, std::size_t count, double* k) const;
    void heights(const double* chainage, std::size_t count, double* h) const;
    void grades(const double* chainage, std::size_t count, double* percent) const;

    // The nearest foot of each point; NaN points and points without a foot get status -1.
    struct Foot {
        double chainage;
        double offset;
        int element;
        int status;  // TAlntFootStatus, or -1 for none
        TAlntJointSide side;
    };
    void stationOffsets(const double* north, const double* east, std::size_t count,
                        Foot* feet) const;
    // Empty when the inverse could be built, else why not.
    const std::string& inverseError() const { return inverse_.buildError(); }

    // The stations of a stake-out at round design stations every `interval` (alignment unit),
    // as the library's one stake-out rule gives them (alntStakeoutStations, in metres): the
    // start, the end, every round station in each station region, every element boundary and
    // key point, every equation and angle point (a back and an ahead row).
    std::vector<TAlntStakeoutStation> stakeoutStations(double interval) const;
    // Their chainages, in the alignment's unit.
    std::vector<double> stakeoutChainages(double interval) const;
    // One stake-out row per station and offset (offset in the alignment's unit): north, east,
    // height and azimuth from one evaluation per station, from the station's own side.
    struct StakeRow {
        double north, east, height, azimuth;
    };
    void stakeoutRows(const std::vector<TAlntStakeoutStation>& stations,
                      const std::vector<double>& offsets, StakeRow* rows) const;
    // The station text of a stake-out row (the back station on an equation's back row).
    std::string stakeoutStationText(const TAlntStakeoutStation& station, int decimals) const;

    // Station text of a chainage in the design's stationing, and back; false with a message
    // when the text is not a station of this alignment.
    std::string stationText(double chainage, int decimals) const;
    bool chainageOf(const std::string& text, double& chainage, std::string& error) const;

    // The lock of the geometry queries, for callers that run the library's own loops on alnt().
    std::mutex& geometryLock() const { return lock_; }

private:
    zel_landxml::StationStyle style(int decimals) const;

    std::string name_;
    LinearUnit unit_;
    CAlnt alnt_;
    zel_landxml::Stationing stationing_;
    CAlntStationOffset inverse_;
    double startM_ = 0.0;
    double endM_ = 0.0;
    mutable std::mutex lock_;
    std::shared_ptr<const RoadCorridorModel> corridor_;
};

}  // namespace pyvelmor
