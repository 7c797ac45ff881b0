#include "StakeoutSections.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "Stakeout.h"
#include "TableFormat.h"

namespace road {
namespace {

// Section points closer than this across are one point to stake (a vertical face, a closed
// course's repeated point): the upper one is staked.
constexpr double kSameOffsetM = 0.001;

}  // namespace

bool sameCode(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

SectionRows::SectionRows(const zel_math::CRoadCorridor& corridor, std::vector<double> offsetsM,
                         std::vector<std::string> codes)
    : corridor_(corridor),
      asked_(std::move(offsetsM)),
      codes_(std::move(codes)),
      found_(codes_.size(), 0) {}

const std::vector<double>& SectionRows::offsetsAt(double chainageM) {
    chainage_ = chainageM;
    offsets_ = asked_;
    points_.clear();
    std::string error;
    hasProfile_ = corridor_.profileAt(chainageM, profile_, error);
    ++stations_;
    if (!hasProfile_) {
        ++withoutProfile_;
        if (firstError_.empty()) firstError_ = error;
        return offsets_;
    }
    addCodeRows();
    return offsets_;
}

// The points of each code asked for, left to right; of points at one place the upper.
void SectionRows::addCodeRows() {
    for (const zel_math::TSectionPoint& p : profile_.points)
        if (!p.code.empty() && std::none_of(seen_.begin(), seen_.end(), [&](const std::string& s) {
                return sameCode(s, p.code);
            }))
            seen_.push_back(p.code);
    std::vector<std::size_t> picked;
    for (std::size_t c = 0; c < codes_.size(); ++c) {
        bool any = false;
        for (std::size_t i = 0; i < profile_.points.size(); ++i) {
            const zel_math::TSectionPoint& p = profile_.points[i];
            if (!sameCode(p.code, codes_[c])) continue;
            any = true;
            auto same = std::find_if(picked.begin(), picked.end(), [&](std::size_t k) {
                return std::fabs(profile_.points[k].offset - p.offset) < kSameOffsetM;
            });
            if (same == picked.end())
                picked.push_back(i);
            else if (p.height > profile_.points[*same].height)
                *same = i;
        }
        found_[c] += any;
    }
    std::sort(picked.begin(), picked.end(), [&](std::size_t a, std::size_t b) {
        return profile_.points[a].offset < profile_.points[b].offset;
    });
    for (std::size_t i : picked) {
        points_.push_back(i);
        offsets_.push_back(profile_.points[i].offset);
    }
}

void SectionRows::fill(std::vector<StakeoutRow>& rows) const {
    for (std::size_t k = 0; k < rows.size(); ++k) {
        StakeoutRow& r = rows[k];
        r.code.clear();
        if (k >= asked_.size()) {
            const zel_math::TSectionPoint& p = profile_.points[points_[k - asked_.size()]];
            r.height = p.height;
            r.hasHeight = true;
            r.code = p.code;
            continue;
        }
        r.hasHeight = hasProfile_ && corridor_.designHeight(chainage_, r.offset, r.height, &r.code);
    }
}

std::vector<std::string> SectionRows::notes() const {
    std::vector<std::string> out;
    if (withoutProfile_ > 0)
        out.push_back(
            counted(withoutProfile_, "station", "stations") + " of " + std::to_string(stations_) +
            " have no design section, so no design heights (the first: " + firstError_ + ")");
    std::string have;
    for (const std::string& s : seen_)
        have += (have.empty() ? "" : ", ") + s;
    for (std::size_t c = 0; c < codes_.size(); ++c) {
        if (found_[c] == stations_ - withoutProfile_) continue;
        std::string n = "--codes: '" + codes_[c] + "' ";
        n += found_[c] == 0 ? std::string("is at no station")
                            : "is missing at " + counted(stations_ - withoutProfile_ - found_[c],
                                                         "station", "stations");
        if (found_[c] == 0) n += have.empty() ? "; the sections have no codes" : "; codes: " + have;
        out.push_back(n);
    }
    return out;
}

}  // namespace road
