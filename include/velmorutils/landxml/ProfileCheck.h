#pragma once

#include <string>
#include <vector>

#include <velmorutils/landxml/Model.h>

namespace zel_landxml {

// Vertical curves that meet or overlap by no more than this, or by no more than twice the step of
// the decimals the file wrote (Vip::writtenStep), whichever is larger, touch: designs of
// compound curves written to a few decimals overlap by their rounding.
inline constexpr double kTouchToleranceM = 0.001;

// Checks a design profile given as plain values (stations in running chainage, metres) and makes
// it ready to build, whoever read it:
//  - a VIP repeated exactly (same station, height and curve) counts once, with a note;
//  - stations must otherwise increase, at least two VIPs, no curve at the first or last VIP;
//  - a circular curve gets its arc length from its radius and grades; a negative radius (some
//    programs' crest) that the grades make a sag is noted, the grades are followed;
//  - curves that overlap a neighbouring curve or VIP by no more than the touch tolerance are
//    shortened by the overlap so that they touch exactly (the heights move by far less than a
//    millimetre); a larger overlap is an error naming both VIPs and the overlap.
// negativeRadius may be empty or hold one flag per VIP. Messages name VIPs by their line and
// station in `unit`. False with the error when the profile cannot be used; vips then unchanged.
bool checkProfile(std::vector<Vip>& vips, const std::vector<bool>& negativeRadius, LinearUnit unit,
                  std::vector<std::string>& notes, std::string& error);

}  // namespace zel_landxml
