#include "velmorutils/zelmath/sections/RoadCorridor.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "velmorutils/zelmath/alignment/CAlnt.h"
#include "zelmath/sections/SectionSupport.h"

namespace zel_math {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Pieces of a TIN closer than this along a section are one surface (metres).
constexpr double kJoin = 1e-6;

bool isLane(const std::string& code) {
    return section_support::lowerCase(code) == "lane";
}

// Cross slopes (percent, rising away from the centre line positive) of a side's segments at a
// chainage: lanes turned by the superelevation holding it (super null: none), the rest normal.
// Inside lanes follow the first lane of the outside (other side when this one is inside).
std::vector<double> sideSlopes(const std::vector<TTemplateSegment>& side,
                               const std::vector<TTemplateSegment>& other,
                               const TSuperelevation* super, bool outside, double chainage) {
    double outsideNormal = kNaN;
    for (const TTemplateSegment& seg : outside ? side : other) {
        if (isLane(seg.code)) {
            outsideNormal = seg.slopePercent;
            break;
        }
    }
    std::vector<double> slopes;
    for (const TTemplateSegment& seg : side) {
        double slope = seg.slopePercent;
        if (super && isLane(seg.code)) {
            if (outside) {
                slope = superOutsideSlopePercent(*super, chainage, slope);
            } else {
                // No lane on the outside: the inside lanes turn against their own mirror image.
                const double mirror = std::isnan(outsideNormal) ? slope : outsideNormal;
                slope = superInsideSlopePercent(*super, chainage, slope, mirror);
            }
        }
        slopes.push_back(slope);
    }
    return slopes;
}

// Height relative to the centre line at an offset (metres) across segments of the given widths
// and slopes, each side from the centre line outwards; beyond the last segment its slope goes on.
double relativeHeight(const std::vector<TTemplateSegment>& side, const std::vector<double>& slopes,
                      double distance) {
    double h = 0, at = 0;
    for (std::size_t i = 0; i < side.size() && at < distance; ++i) {
        const bool last = i + 1 == side.size();
        const double run = last ? distance - at : std::min(side[i].width, distance - at);
        h += run * slopes[i] / 100.0;
        at += side[i].width;
    }
    return h;
}

}  // namespace

CRoadCorridor::CRoadCorridor(const CAlnt& alnt) : alnt_(&alnt) {}

void CRoadCorridor::setSections(CCrossSectionSet sections) {
    sections_ = std::move(sections);
    model_ = Model::Sections;
}

bool CRoadCorridor::setTemplate(TRoadTemplate road, std::vector<TSuperelevation> table,
                                std::string& error) {
    std::vector<bool> outsideRight;
    for (const TSuperelevation& s : table) {
        bool right = false;
        std::string why;
        if (!checkSuperelevation(s, why) || !superelevationOutsideIsRight(*alnt_, s, right, why)) {
            error = "superelevation from " + section_support::metresText(s.staStart) + ": " + why;
            return false;
        }
        outsideRight.push_back(right);
    }
    road_ = std::move(road);
    table_ = std::move(table);
    outsideRight_ = std::move(outsideRight);
    model_ = Model::Template;
    return true;
}

void CRoadCorridor::setDesignSurface(std::shared_ptr<const CTinSurface> tin, double halfWidth) {
    tin_ = std::move(tin);
    tinHalfWidth_ = halfWidth;
    model_ = Model::Surface;
}

void CRoadCorridor::setSideSlopes(const TRoadTemplate& road) {
    slopes_ = road;
    slopesGiven_ = true;
}

void CRoadCorridor::applySideSlopes(TSectionProfile& profile) const {
    if (!slopesGiven_) return;
    auto apply = [](TSectionSide& side, double cut, double fill, double width, double depth) {
        if (cut > 0) side.cutHV = cut;
        if (fill > 0) side.fillHV = fill;
        if (width > 0) side.ditchWidth = width, side.ditchDepth = depth;
    };
    apply(profile.left, slopes_.cutHVLeft, slopes_.fillHVLeft, slopes_.ditchWidthLeft,
          slopes_.ditchDepthLeft);
    apply(profile.right, slopes_.cutHVRight, slopes_.fillHVRight, slopes_.ditchWidthRight,
          slopes_.ditchDepthRight);
}

bool CRoadCorridor::profileAt(double chainage, TSectionProfile& profile, std::string& error) const {
    bool ok = false;
    switch (model_) {
        case Model::None:
            error = "the road has no cross-section model";
            return false;
        case Model::Sections:
            ok = sections_.profileAt(chainage, profile, error);
            break;
        case Model::Template:
            ok = templateProfile(chainage, profile, error);
            break;
        case Model::Surface:
            ok = surfaceProfile(chainage, profile, error);
            break;
    }
    if (ok) applySideSlopes(profile);
    return ok;
}

bool CRoadCorridor::templateProfile(double chainage, TSectionProfile& profile,
                                    std::string& error) const {
    double centre = 0;
    if (!alnt_->getPosHAtChain(chainage, centre)) {
        error = "chainage " + section_support::metresText(chainage) + " is off the profile";
        return false;
    }
    const int region = superelevationAt(table_, chainage);
    const TSuperelevation* super = region >= 0 ? &table_[region] : nullptr;
    const bool outsideRight = region >= 0 && outsideRight_[region];
    const std::vector<double> left =
        sideSlopes(road_.left, road_.right, super, !outsideRight, chainage);
    const std::vector<double> right =
        sideSlopes(road_.right, road_.left, super, outsideRight, chainage);
    // Rotation about the pivot: it keeps its normal-crown height.
    double shift = 0;
    if (road_.pivotOffset != 0) {
        const bool r = road_.pivotOffset > 0;
        const auto& segs = r ? road_.right : road_.left;
        std::vector<double> normal;
        for (const TTemplateSegment& seg : segs)
            normal.push_back(seg.slopePercent);
        const double d = std::abs(road_.pivotOffset);
        shift = relativeHeight(segs, normal, d) - relativeHeight(segs, r ? right : left, d);
    }
    profile = TSectionProfile();
    profile.chainage = chainage;
    double at = 0, h = centre + shift;
    for (std::size_t i = 0; i < road_.left.size(); ++i) {
        at -= road_.left[i].width;
        h += road_.left[i].width * left[i] / 100.0;
        profile.points.push_back({at, h, road_.left[i].code});
    }
    std::reverse(profile.points.begin(), profile.points.end());
    profile.points.push_back({0.0, centre + shift, "CL"});
    at = 0, h = centre + shift;
    for (std::size_t i = 0; i < road_.right.size(); ++i) {
        at += road_.right[i].width;
        h += road_.right[i].width * right[i] / 100.0;
        profile.points.push_back({at, h, road_.right[i].code});
    }
    profile.left = {
        0, -1, road_.cutHVLeft, road_.fillHVLeft, road_.ditchWidthLeft, road_.ditchDepthLeft};
    profile.right = {static_cast<int>(profile.points.size()) - 1,
                     -1,
                     road_.cutHVRight,
                     road_.fillHVRight,
                     road_.ditchWidthRight,
                     road_.ditchDepthRight};
    return true;
}

bool CRoadCorridor::surfaceProfile(double chainage, TSectionProfile& profile,
                                   std::string& error) const {
    double n = 0, e = 0, az = 0;
    if (!tin_ || !alnt_->getPosNeAtChain(chainage, n, e) ||
        !alnt_->getAzimuthAtChain(chainage, az)) {
        error = "chainage " + section_support::metresText(chainage) + " is off the alignment";
        return false;
    }
    std::vector<TGroundPiece> pieces;
    tin_->profileAlong(n, e, az + 90.0, -tinHalfWidth_, tinHalfWidth_, pieces);
    // The run of touching pieces that holds the centre line.
    std::size_t first = pieces.size();
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].dFrom <= kJoin && pieces[i].dTo >= -kJoin) {
            first = i;
            break;
        }
    }
    if (first == pieces.size()) {
        error = "the design surface does not reach the centre line at " +
                section_support::metresText(chainage);
        return false;
    }
    while (first > 0 && pieces[first - 1].dTo >= pieces[first].dFrom - kJoin)
        --first;
    profile = TSectionProfile();
    profile.chainage = chainage;
    profile.points.push_back({pieces[first].dFrom, pieces[first].hFrom, ""});
    double reach = pieces[first].dFrom;
    for (std::size_t i = first; i < pieces.size() && pieces[i].dFrom <= reach + kJoin; ++i) {
        if (pieces[i].dTo <= reach) continue;
        profile.points.push_back({pieces[i].dTo, pieces[i].hTo, ""});
        reach = pieces[i].dTo;
    }
    profile.left.hinge = 0;
    profile.right.hinge = static_cast<int>(profile.points.size()) - 1;
    return true;
}

bool CRoadCorridor::designHeight(double chainage, double offset, double& height, std::string* code,
                                 std::string* error) const {
    std::string why;
    if (model_ == Model::Surface) {
        double n = 0, e = 0;
        if (!tin_ || !alnt_->getPosNeAtChain(chainage, n, e) ||
            !alnt_->getPosNeAtChainAndOffsetExtr(chainage, offset, n, e)) {
            if (error)
                *error =
                    "chainage " + section_support::metresText(chainage) + " is off the alignment";
            return false;
        }
        if (!tin_->heightAt(n, e, height)) {
            if (error)
                *error = "the design surface does not reach offset " +
                         section_support::metresText(offset) + " at " +
                         section_support::metresText(chainage);
            return false;
        }
        if (code) code->clear();
        return true;
    }
    TSectionProfile profile;
    if (!profileAt(chainage, profile, why)) {
        if (error) *error = why;
        return false;
    }
    if (!sectionHeightAt(profile, offset, height, code)) {
        if (error)
            *error = "offset " + section_support::metresText(offset) +
                     " is beyond the finished surface at " + section_support::metresText(chainage);
        return false;
    }
    return true;
}

std::size_t CRoadCorridor::designHeights(const double* chainages, const double* offsets,
                                         std::size_t n, double* heights) const {
    std::size_t found = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double h = 0;
        if (designHeight(chainages[i], offsets[i], h)) {
            heights[i] = h;
            ++found;
        } else {
            heights[i] = kNaN;
        }
    }
    return found;
}

}  // namespace zel_math
