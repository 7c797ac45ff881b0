#pragma once

#include <memory>
#include <string>

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/sections/CrossSectionSet.h"
#include "velmorutils/zelmath/sections/RoadCorridor.h"
#include "velmorutils/zelmath/surfaces/TinSurface.h"

namespace zel_math {

/// The existing ground: a TIN when there is one (it wins), else ground sections (heights
/// absolute, metres), interpolated in chainage as sections are.
struct TGround {
    std::shared_ptr<const CTinSurface> tin;
    std::shared_ptr<const CCrossSectionSet> sections;
};

/// A slope stake on one side at one chainage. Metres; offsets right positive; heights absolute.
struct TSlopeStake {
    double chainage = 0;
    bool right = true;
    double hingeOffset = 0, hingeHeight = 0;
    /// False when the slope meets no ground within the search width, or there is no ground at
    /// the hinge; note says which. Catch and stake values are then NaN.
    bool caught = false;
    double catchOffset = 0, catchHeight = 0, catchNorth = 0, catchEast = 0;
    /// Cut when the ground at the hinge lies above it (the cut slope rises outwards), else fill.
    /// At the boundary (ground within 1e-9 m of the hinge) it is a fill caught at the hinge,
    /// cutFill 0.
    bool cut = false;
    /// The slope used, horizontal run per unit of height (2.0 is 2:1).
    double slopeHV = 0;
    /// Catch height minus hinge height: positive is a cut (ground above grade), as "C 2.35".
    double cutFill = 0;
    /// The offset stake stakeDistance beyond the catch point, its plan position, the ground
    /// there (NaN without ground) and ground minus hinge height (positive: cut), as field books
    /// write "C 2.35 @ 15.20 R".
    double stakeOffset = 0, stakeNorth = 0, stakeEast = 0, stakeGround = 0;
    double stakeCutFillToHinge = 0;
    /// The design's own daylight point on this side, and catch offset minus its offset.
    bool hasFileDaylight = false;
    double daylightOffset = 0, daylightHeight = 0, daylightOffsetDiff = 0;
    std::string note;
};

/// The slope stake at a chainage (metres) on one side. The hinge and its slopes come from the
/// corridor's profile there (profileAt: a coded hinge or the outer end of the finished surface;
/// the template's slopes, else the file's own hinge-to-daylight slope for cut and fill alike).
/// The ground along the section outwards from the hinge to searchWidth metres beyond it (a TIN
/// along the normal to the alignment, or the ground section there) is taken piece by piece and
/// the slope line met with each in turn by ComputeCatchPoint; the first meeting within its piece
/// is the catch point (1e-9 m). False with error only when the stake cannot be asked (no design
/// profile there, no side slope, no ground given, a search width not above 0); no catch is a
/// true result with caught false.
VELMORUTILS_API bool slopeStake(const CRoadCorridor& road, const TGround& ground, double chainage,
                                bool right, double searchWidth, double stakeDistance,
                                TSlopeStake& stake, std::string& error);

}  // namespace zel_math
