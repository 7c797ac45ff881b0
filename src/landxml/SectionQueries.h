#pragma once

// What the stake points and the as-built check ask of a section model, in one place: the
// design height and code at an offset, and the section point a code names. Metres, internal
// chainage, offsets right positive.

#include <string>
#include <vector>

#include <velmorutils/zelmath/sections/SectionProfile.h>

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

// Whether two codes are the same, without regard to ASCII case (files differ in case).
bool sameCode(const std::string& a, const std::string& b);

// Every section point of the codes asked for, left to right; of points within kSamePointM of
// each other (a vertical face, a closed course's repeated point) the upper one. Empty where there
// is no section. This is the stake-out table's rule for --codes.
std::vector<zel_math::TSectionPoint> codedPoints(const zel_math::CRoadCorridor& corridor,
                                                 double chainage,
                                                 const std::vector<std::string>& codes);

// The section point a shot at an offset was meant for: of its code the one nearest to it, or
// without a code the nearest point of the section (codes compared as sameCode). False with why (no
// section there, no point of that code).
bool sectionPointFor(const zel_math::CRoadCorridor& corridor, double chainage, double offset,
                     const std::string& code, double& designOffset, std::string& designCode,
                     std::string& error);

// The design height at a chainage and offset; an offset beyond the finished surface's end by
// at most `beyond` (metres) takes the end piece's slope on. False with why.
bool designHeightAt(const zel_math::CRoadCorridor& corridor, double chainage, double offset,
                    double beyond, double& height, std::string& error);

}  // namespace zel_landxml
