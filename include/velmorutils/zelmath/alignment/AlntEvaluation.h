#pragma once

#include <cstddef>
#include <cstdint>

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/curves/TAlntHeType.h"

class CAlnt;
class CAlntH;

// Which element answers at a joint of two elements. Elsewhere the choice changes nothing.
//   none   the alignment's own rule: the element that starts there (the later one)
//   back   the element that ends there: its end point, its end tangent and its normal
//   ahead  the element that starts there (as none, but named: a stake-out row or a foot says it)
// At an angle point (a joint whose tangents differ) an offset taken back and one taken ahead are
// two different points: a crew stakes both edges.
enum class TAlntJointSide : std::uint8_t { none = 0, back = 1, ahead = 2 };

// A joint whose tangents differ by more than this (radians, about 2 seconds of arc) is an angle
// point of the design: the stake-out stakes it twice, back and ahead, and the station/offset
// inverse names the side of a foot there. Below it the difference is a design file's rounding of
// its directions (a road read element by element where the file puts it keeps such joints), and
// the two normals of the joint stay within 1e-5 of the offset of each other: 0.1 mm at 10 m.
// The LandXML reader notes angle points by the same bound.
inline constexpr double kAlntAnglePointRad = 1e-5;

// "back", "ahead", or "" for none: the words the stake-out tables and the station/offset
// inverse use.
VELMORUTILS_API const char* alntJointSideText(TAlntJointSide side);

// Everything one chainage of a road answers, from one lookup of its horizontal element and one of
// its vertical element. Units and frame as CAlntH and CAlntV: metres, world north and east,
// azimuths in degrees clockwise from north, curvature in 1/m positive turning right (clockwise),
// grades in percent (rise per 100 m of chainage, positive up).
struct TAlntEval {
    double chainageInM = 0.0;
    // The centre-line point and the direction of increasing chainage there, azimuth in [0, 360).
    double north = 0.0;
    double east = 0.0;
    double azimuthDeg = 0.0;
    // 1/m, positive turning right; 0 beyond the ends, where the road runs on along its end
    // tangents.
    double curvature = 0.0;
    // The element that answered (index from 0, and its kind); beyond the ends the end element
    // whose tangent was followed. -1 when nothing answered.
    int element = -1;
    TAlntHeType kind = alntHeSegment;
    // The chainage lies before the start or after the end (by more than 0.001 m): position and
    // azimuth follow the end tangent.
    bool beyondEnds = false;
    // Design height and grade of the profile; false off the profile or without one. The grade
    // is also given along circular vertical curves (the circle's slope), where the element's
    // own getGradeAtLength() gives none.
    bool hasHeight = false;
    double height = 0.0;
    bool hasGrade = false;
    double gradePercent = 0.0;
};

// Evaluates the road at one running chainage (metres). On the alignment (within 0.001 m past
// its last element, as CAlntH allows) the element holding the chainage answers; at a joint the
// side chooses which (see TAlntJointSide). Beyond the ends position and azimuth follow the end
// tangent, as CAlntH's ...Extr queries do. False (and `at` holding nothing useful) when the
// chainage is not finite, the road has no elements or the element cannot be evaluated.
VELMORUTILS_API bool evaluateAlnt(const CAlnt& alnt, double chainageInM, TAlntEval& at,
                                  TAlntJointSide side = TAlntJointSide::none);

// The point at a perpendicular offset (metres, positive to the right of increasing chainage)
// from an evaluated chainage: square to its azimuth. Offsets below 1e-5 m are none. The same
// numbers as CAlntH::getPosNeAtChainAndOffsetExtr() at that chainage.
VELMORUTILS_API void alntOffsetPoint(const TAlntEval& at, double offsetInM, double& north,
                                     double& east);

// evaluateAlnt() for count chainages; ok[i] (when ok is not null) says whether at[i] was
// evaluated. Returns how many were.
VELMORUTILS_API std::size_t evaluateAlntBatch(const CAlnt& alnt, const double* chainageInM,
                                              std::size_t count, TAlntEval* at, bool* ok = nullptr);

// The rule beyond the ends of a horizontal alignment, kept in this one place: before the start
// (a chainage below the final one that is not on the alignment) the road runs back along the
// first element's start tangent from its start point, at or after the end on along the last
// element's end tangent from its end point. Point in metres, azimuth in degrees. False without
// elements or when an end element cannot give its point or tangent.
VELMORUTILS_API bool alntEndTangentAt(const CAlntH& alnt, double chainageInM, double& north,
                                      double& east, double& azimuthDeg);
