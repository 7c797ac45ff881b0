#include "velmorutils/zelmath/sections/SlopeStake.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "velmorutils/zelmath/alignment/CAlnt.h"
#include "velmorutils/zelmath/cogo/CatchPoint.h"
#include "zelmath/sections/SectionSupport.h"

namespace zel_math {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// A catch point this far outside its ground piece still lies on it (metres).
constexpr double kOnPiece = 1e-9;

// The ground outwards from the hinge, as pieces in distance outwards (offset times the side's
// sign) from lo to hi. groundSection receives the ground section when that is the source.
bool groundPieces(const CAlnt& alnt, const TGround& ground, double chainage, double sign, double lo,
                  double hi, std::vector<TGroundPiece>& pieces, TSectionProfile& groundSection,
                  std::string& error) {
    pieces.clear();
    if (ground.tin) {
        double n = 0, e = 0, az = 0;
        if (!alnt.getPosNeAtChain(chainage, n, e) || !alnt.getAzimuthAtChain(chainage, az)) {
            error = "chainage " + section_support::metresText(chainage) + " is off the alignment";
            return false;
        }
        ground.tin->profileAlong(n, e, az + sign * 90.0, lo, hi, pieces);
        return true;
    }
    if (!ground.sections) {
        error = "no ground is given (a surface or ground sections)";
        return false;
    }
    std::string why;
    if (!ground.sections->profileAt(chainage, groundSection, why)) {
        error = "ground: " + why;
        return false;
    }
    const auto& pts = groundSection.points;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        // Outwards on the left runs right to left.
        const TSectionPoint& a = sign > 0 ? pts[i] : pts[pts.size() - 1 - i];
        const TSectionPoint& b = sign > 0 ? pts[i + 1] : pts[pts.size() - 2 - i];
        const double da = sign * a.offset, db = sign * b.offset;
        if (db < lo || da > hi) continue;
        pieces.push_back({da, a.height, db, b.height});
    }
    return true;
}

bool groundAt(const std::vector<TGroundPiece>& pieces, double d, double& h) {
    for (const TGroundPiece& p : pieces) {
        if (p.dFrom > d + kOnPiece || p.dTo < d - kOnPiece) continue;
        const double run = p.dTo - p.dFrom;
        h = run > 0 ? p.hFrom + (p.hTo - p.hFrom) * std::clamp((d - p.dFrom) / run, 0.0, 1.0)
                    : std::max(p.hFrom, p.hTo);
        return true;
    }
    return false;
}

// The first meeting of the slope line from (x0, y0) with the pieces, in distance outwards. Ground
// through the start itself (to 1e-9 m) is caught there.
bool firstCatch(const std::vector<TGroundPiece>& pieces, double x0, double y0, bool cut,
                double slope, double limit, double& x, double& y) {
    double g = 0;
    if (groundAt(pieces, x0, g) && std::abs(g - y0) <= kOnPiece) {
        x = x0, y = g;
        return true;
    }
    for (const TGroundPiece& p : pieces) {
        if (p.dTo < x0 - kOnPiece || p.dFrom > limit) continue;
        double cx = 0, cy = 0, dir = 0;
        const int hit = ComputeCatchPoint(x0, y0, true, slope, cut, slope, !cut, p.dFrom, p.hFrom,
                                          p.dTo, p.hTo, cx, cy, dir);
        if (hit == 0 || cx < p.dFrom - kOnPiece || cx > p.dTo + kOnPiece || cx > limit + kOnPiece) {
            continue;
        }
        x = cx, y = cy;
        return true;
    }
    return false;
}

}  // namespace

bool slopeStake(const CRoadCorridor& road, const TGround& ground, double chainage, bool right,
                double searchWidth, double stakeDistance, TSlopeStake& stake, std::string& error) {
    if (!(searchWidth > 0) || !std::isfinite(searchWidth) || !std::isfinite(stakeDistance)) {
        error = "the search width must be above 0 and the stake distance a number";
        return false;
    }
    TSectionProfile profile;
    if (!road.profileAt(chainage, profile, error)) return false;
    const TSectionSide& side = right ? profile.right : profile.left;
    const char* sideName = right ? "right" : "left";
    if (side.hinge < 0) {
        error = std::string("no finished surface on the ") + sideName + " at " +
                section_support::metresText(chainage);
        return false;
    }
    stake = TSlopeStake();
    stake.chainage = chainage;
    stake.right = right;
    stake.hingeOffset = profile.points[side.hinge].offset;
    stake.hingeHeight = profile.points[side.hinge].height;
    stake.catchOffset = stake.catchHeight = stake.catchNorth = stake.catchEast = kNaN;
    stake.stakeOffset = stake.stakeNorth = stake.stakeEast = stake.stakeGround = kNaN;
    stake.stakeCutFillToHinge = stake.cutFill = stake.daylightOffsetDiff = kNaN;
    stake.daylightOffset = stake.daylightHeight = kNaN;
    if (side.daylight >= 0) {
        stake.hasFileDaylight = true;
        stake.daylightOffset = profile.points[side.daylight].offset;
        stake.daylightHeight = profile.points[side.daylight].height;
    }
    const double sign = right ? 1.0 : -1.0;
    const double hingeOut = sign * stake.hingeOffset;
    const double limit = hingeOut + searchWidth;
    std::vector<TGroundPiece> pieces;
    TSectionProfile groundSection;
    if (!groundPieces(road.alnt(), ground, chainage, sign, hingeOut, limit, pieces, groundSection,
                      error)) {
        return false;
    }
    double groundHinge = 0;
    if (!groundAt(pieces, hingeOut, groundHinge)) {
        stake.note = "no ground at the hinge";
        return true;
    }
    stake.cut = groundHinge > stake.hingeHeight + kOnPiece;
    stake.slopeHV = stake.cut ? side.cutHV : side.fillHV;
    if (!(stake.slopeHV > 0)) {
        error = std::string("no ") + (stake.cut ? "cut" : "fill") + " slope on the " + sideName +
                " at " + section_support::metresText(chainage);
        return false;
    }
    // A cut with a ditch starts its slope at the ditch bottom.
    const bool ditch = stake.cut && side.ditchWidth > 0;
    const double x0 = hingeOut + (ditch ? side.ditchWidth : 0.0);
    const double y0 = stake.hingeHeight - (ditch ? side.ditchDepth : 0.0);
    double x = 0, y = 0;
    if (!firstCatch(pieces, x0, y0, stake.cut, stake.slopeHV, limit, x, y)) {
        stake.note = "no catch within " + section_support::metresText(searchWidth) + " m";
        return true;
    }
    stake.caught = true;
    stake.catchOffset = sign * x;
    stake.catchHeight = y;
    stake.cutFill = y - stake.hingeHeight;
    road.alnt().getPosNeAtChainAndOffsetExtr(chainage, stake.catchOffset, stake.catchNorth,
                                             stake.catchEast);
    if (stake.hasFileDaylight) stake.daylightOffsetDiff = stake.catchOffset - stake.daylightOffset;
    stake.stakeOffset = sign * (x + stakeDistance);
    road.alnt().getPosNeAtChainAndOffsetExtr(chainage, stake.stakeOffset, stake.stakeNorth,
                                             stake.stakeEast);
    double g = 0;
    const bool hasGround = ground.tin ? ground.tin->heightAt(stake.stakeNorth, stake.stakeEast, g)
                                      : sectionHeightAt(groundSection, stake.stakeOffset, g);
    if (hasGround) {
        stake.stakeGround = g;
        stake.stakeCutFillToHinge = g - stake.hingeHeight;
    }
    return true;
}

}  // namespace zel_math
