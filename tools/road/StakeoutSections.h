#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <velmorutils/zelmath/sections/RoadCorridor.h>

namespace road {

struct StakeoutRow;

// The rows of a stake-out with a section model: every offset row takes the design height at its
// own offset (and the code of the surface there), and the section points of the codes asked for
// are staked on each side, left to right, after the offsets asked for. One station at a time:
// offsetsAt, then (rows computed at those offsets) fill.
class SectionRows {
public:
    // Keeps a reference to the corridor. Codes are compared without regard to case.
    SectionRows(const zel_math::CRoadCorridor& corridor, std::vector<double> offsetsM,
                std::vector<std::string> codes);

    // The offsets (metres, right positive) of the rows of the station at this chainage.
    const std::vector<double>& offsetsAt(double chainageM);
    // Sets the design height and code of each row offsetsAt asked for; a row off the model keeps
    // no height (never the centre line's).
    void fill(std::vector<StakeoutRow>& rows) const;

    // What the table's reader should know, once the table is written: stations beyond the
    // model, codes not found (with the codes the model has).
    std::vector<std::string> notes() const;

private:
    void addCodeRows();

    const zel_math::CRoadCorridor& corridor_;
    std::vector<double> asked_;
    std::vector<std::string> codes_;
    // The current station.
    double chainage_ = 0.0;
    bool hasProfile_ = false;
    zel_math::TSectionProfile profile_;
    std::vector<double> offsets_;
    std::vector<std::size_t> points_;  // per code row: index into profile_.points
    // Counts over the stations.
    long long stations_ = 0, withoutProfile_ = 0;
    std::vector<long long> found_;   // per code: stations where it was found
    std::vector<std::string> seen_;  // codes the model has, in order of first sight
    std::string firstError_;
};

// Whether two codes are the same, without regard to ASCII case.
bool sameCode(const std::string& a, const std::string& b);

}  // namespace road
