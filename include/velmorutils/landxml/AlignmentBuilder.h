#pragma once

#include <string>
#include <vector>

#include <velmorutils/zelmath/alignment/AlntEvaluation.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

#include <velmorutils/landxml/Model.h>

namespace zel_landxml {

// What a user should know after reading a file: how far the library's geometry and the file's
// own end points disagree. Each element is placed where the file puts it (its own Start and
// direction, where the file gives them; else where the road so far ends, in its direction), so
// nothing of one element's rounding is carried to the next: an element consistent with itself
// ends within its own rounding of the file's End however long the road. A gap or kink in the
// file stays at its joint (noted there once). largestEndDifference is the absolute distance (what a
// stake-out would show); warnings name the elements where a new disagreement arises. Stations in
// messages are design stations (after the alignment's equations) in metres.
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

// Above this (about 2 seconds of arc) a difference between an element's direction in the file and
// the end direction of the road before it is an angle point of the design, noted at its joint;
// below it it is the file's rounding and passes silently (the element keeps the file's direction
// either way, and chains with its neighbours into one curve).
inline constexpr double kKinkToleranceRad = kAlntAnglePointRad;
// Ends within a millimetre agree: stake-out is not more precise than that.
inline constexpr double kEndWarningM = 0.001;

// Builds the combined alignment of a file's alignment. False with a message naming the element
// and line when the geometry cannot be built, or when an element's computed end lies beyond
// kMaxCoordinateM (such a road could not be written back).
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
