#pragma once

#include <string>
#include <vector>

#include "velmorutils/platform/Export.h"

class CAlnt;

namespace zel_math {

/// One superelevated curve as LandXML's Superelevation gives it. Stations are internal
/// chainages in metres (NaN where the file gives none): the region staStart..staEnd; on entry
/// beginRunout (outside lanes at their normal slope), beginRunoff (level), fullSuper (full
/// rate); on exit runoff (last chainage at the full rate), startOfRunout (level), endOfRunout
/// (normal). fullRatePercent is the full rate in percent (sign ignored: the curve decides the
/// side; reading 0.06 as 6 % is the reader's business). adverse turns the rotation the other
/// way (the curve's outside falls), as AdverseSE marks it.
struct TSuperelevation {
    double staStart;
    double staEnd;
    double beginRunout;
    double beginRunoff;
    double fullSuper;
    double runoff;
    double startOfRunout;
    double endOfRunout;
    double fullRatePercent;
    bool adverse = false;
};

/// The order the stations must keep: beginRunout <= beginRunoff <= fullSuper <= runoff <=
/// startOfRunout <= endOfRunout among those given, fullSuper and runoff given, staStart <=
/// staEnd, a finite rate. error names the first pair out of order ("FullSuperSta 1250.000 is
/// before BeginRunoffSta 1260.000"), chainages in metres.
VELMORUTILS_API bool checkSuperelevation(const TSuperelevation& s, std::string& error);

/// The side of the curve's outside: away from the centre of the first arc or spiral met, first
/// between fullSuper and runoff (the full rate is held on the curve itself: on a reverse curve
/// staStart may lie on the curve before), else between staStart and staEnd; curvature sampled
/// every 0.5 m at most, beyond 1e-9 1/m. A right-turning curve has its outside on the left.
/// adverse swaps it. False when no curvature lies in the region.
VELMORUTILS_API bool superelevationOutsideIsRight(const CAlnt& alnt, const TSuperelevation& s,
                                                  bool& outsideRight, std::string& error);

/// Cross slope (percent, positive rising away from the centre line) at a chainage of a lane on
/// the outside whose normal slope is normalPercent: linear from normal at beginRunout to level
/// at beginRunoff and on to +full rate at fullSuper, held to runoff, then back through level at
/// startOfRunout to normal at endOfRunout. A missing runout station continues the runoff's rate
/// (at the rate level-to-full, from normal to level); a missing runoff station makes one
/// straight run normal-to-full between the stations around it. Outside the stations: normal.
VELMORUTILS_API double superOutsideSlopePercent(const TSuperelevation& s, double chainage,
                                                double normalPercent);

/// Cross slope (percent, rising away from the centre line positive) of an inside lane whose
/// normal slope is normalPercent, while the outside lanes (normal slope outsideNormalPercent)
/// turn: its normal slope until the outside reaches its mirror image (reverse crown), then one
/// plane with the outside, falling at the outside's rate: min(normal, -outside).
VELMORUTILS_API double superInsideSlopePercent(const TSuperelevation& s, double chainage,
                                               double normalPercent, double outsideNormalPercent);

/// The superelevation that holds a chainage: the one whose given stations (and staStart..staEnd)
/// span it; where the transitions of two curves overlap (a reverse curve), the one whose full
/// rate (fullSuper..runoff) is nearer. -1 for none (normal crown there).
VELMORUTILS_API int superelevationAt(const std::vector<TSuperelevation>& table, double chainage);

}  // namespace zel_math
