#pragma once

// What the stake points and the as-built check ask of a section model, in one place: the
// design height and code at an offset, and the section point a code names. Metres, internal
// chainage, offsets right positive.

#include <string>

namespace zel_math {
class CRoadCorridor;
}

namespace zel_landxml {

// Section points closer than this to an offset stand at it.
inline constexpr double kSamePointM = 0.001;

// The design height at an offset (NaN off the model) and the code of the section point within
// kSamePointM of it ("" where none is).
void sectionAtOffset(const zel_math::CRoadCorridor& corridor, double chainage, double offset,
                     double& height, std::string& code);

// The section point of a code on one side of the centre line (the one nearest to it), with its
// own height. False where the section has none there.
bool codedPoint(const zel_math::CRoadCorridor& corridor, double chainage, const std::string& code,
                bool right, double& offset, double& height);

// The section point a shot at an offset was meant for: of its code the one nearest to it, or
// without a code the nearest point of the section. False with why (no section there, no point
// of that code).
bool sectionPointFor(const zel_math::CRoadCorridor& corridor, double chainage, double offset,
                     const std::string& code, double& designOffset, std::string& designCode,
                     std::string& error);

// The design height at a chainage and offset; false with why.
bool designHeightAt(const zel_math::CRoadCorridor& corridor, double chainage, double offset,
                    double& height, std::string& error);

}  // namespace zel_landxml
