#pragma once

#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/CAlnt.h>

#include <velmorutils/landxml/Model.h>

namespace zel_landxml {

// What a user should know after reading a file: how far the library's geometry and the file's
// own end points disagree. Each element starts where its predecessor ends (the chain), not where
// the file says, so any disagreement shows up here rather than as a jump in the stake-out.
// largestEndDifference is the absolute distance (what a stake-out would show); warnings name the
// elements where a new disagreement arises. Stations in messages are design stations (after the
// alignment's equations) in metres.
struct BuildReport {
    double largestEndDifference = 0.0;  // metres
    int worstElement = -1;              // 0-based, -1 when no End was given
    int checkedEnds = 0;
    int anchoredDirections = 0;         // elements whose own direction was kept (a kink)
    std::vector<std::string> warnings;  // one per element whose own end is more than 1 mm off
    // Angle points (joints that are not tangent, with the deflection) and gaps between one
    // element's End and the next one's Start: each reported once, at its joint.
    std::vector<std::string> notes;
};

// Above this (about 2 seconds of arc) an element's direction in the file is taken as a real kink
// and kept; below it the element continues its predecessor's tangent, so rounding in the file
// does not put tiny kinks into a tangent-continuous road.
inline constexpr double kKinkToleranceRad = 1e-5;
// Ends within a millimetre agree: stake-out is not more precise than that.
inline constexpr double kEndWarningM = 0.001;

// Builds the combined alignment of a file's alignment. False with a message naming the element
// and line when the geometry cannot be built.
bool buildAlignment(const Alignment& in, CAlnt& out, BuildReport& report, std::string& error);

// Describes an alignment as LandXML data: segments, arcs and spirals one for one; a curve at an
// intersection point as its tangent, spirals and arc; the profile as its VIPs.
bool describeAlignment(const CAlnt& alnt, Alignment& out, std::string& error);

// The profile's vertical intersection points with their curves.
bool describeProfile(const CAlnt& alnt, std::vector<Vip>& out, std::string& error);

// A chainage as metric station text without equations ("0+049.84", "1+000.00"); a file's own
// stations, units and equations are Stationing's.
std::string stationText(double chainage);

}  // namespace zel_landxml
