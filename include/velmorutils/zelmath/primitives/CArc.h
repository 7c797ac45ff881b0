#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/C2dPos.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"

/// A circular arc in the plane, held by its start point, centre, signed central angle and
/// turning direction.
///
/// cAngle runs from the start to the end, positive clockwise, within [-pi, pi]. When its sign
/// agrees with `clockwise` (positive and true, or not positive and false) the arc sweeps cAngle;
/// when it disagrees the arc goes the longer way round, sweeping 2 pi - |cAngle| in the direction
/// `clockwise` gives. So arcs up to a full circle fit an angle in [-pi, pi]. A half circle is
/// stored with the sign that agrees with `clockwise`.
class VELMORUTILS_API CArc {
public:
    C2dPos start;
    C2dPos centre;
    CMathAngle cAngle;
    bool clockwise = false;  ///< with cAngle 0: an empty arc, not a full circle

    /// Stores the four fields as given (positions north, east in metres; cAngle radians, clockwise
    /// positive); a half circle whose sign disagrees with `clockwise` is flipped to agree.
    void set_start_center_cAngle(const C2dPos& start, const C2dPos& centre,
                                 const CMathAngle& cAngle, bool clockwise);
    /// Arc of radius r and length `length` (metres) leaving `start` along the azimuth startTgDir,
    /// turning right when `clockwise`. The centre lies r to the right (or left) of the tangent.
    /// Lengths up to the full circle 2 pi r are held; r below 1e-12 gives an empty arc.
    void set_start_r_length(const C2dPos& start, const CMathAngle& startTgDir, double r,
                            double length, bool clockwise);
    /// Arc of radius r (metres) about `centre`, from the point at azimuth azStart from the centre
    /// to the direction azFinish (azimuths from the centre, clockwise from north).
    void set_r_start_center_finish(double r, const CMathAngle& azStart, const C2dPos& centre,
                                   const CMathAngle& azFinish, bool clockwise);
    /// Arc about `centre` from `start` to the direction of `finish`. When the finish lies 0.001 m
    /// or more off the start's circle (in north or east), the sweep that lands nearer it is taken.
    /// False when start or finish coincides with the centre.
    bool set_start_center_finish(const C2dPos& start, const C2dPos& centre, const C2dPos& finish,
                                 bool clockwise);
    /// Arc from `start` to `finish` leaving `start` along the azimuth startTgDir; the turning
    /// direction follows from the tangent. False when the tangent runs along the chord (no circle).
    bool set_start_finish_startTgDir(const C2dPos& start, const C2dPos& finish,
                                     const CMathAngle& startTgDir);
    /// Arc from `start` to `finish` arriving along the azimuth finishTgDir; false when the tangent
    /// runs along the chord.
    bool set_start_finish_finishTgDir(const C2dPos& start, const C2dPos& finish,
                                      const CMathAngle& finishTgDir);
    /// Arc through three points (start, through, finish); false when they are collinear.
    bool set_start_finish_plusPos(const C2dPos& start, const C2dPos& finish, const C2dPos& through);
    /// Arc from `start` to `finish` whose tangent turns by `turn` (radians, clockwise positive);
    /// false when start and finish coincide.
    bool set_start_finish_turn(const C2dPos& start, const C2dPos& finish, const CMathAngle& turn);
    /// The shorter arc of radius r (metres) from `start` to `finish` turning right when
    /// `clockwise`; false when the points coincide within 1e-12 m or lie more than 2r apart.
    bool set_r_start_finish(double r, const C2dPos& start, const C2dPos& finish, bool clockwise);

    /// The azimuth of the arc's tangent at its start (clockwise from north).
    void get_start_tgdir(CMathAngle& dir) const;
    /// The point halfway along the arc (north, east in metres).
    void get_middle_pos_on_the_arc(C2dPos& pos) const;

private:
    /// Does the sign of cAngle agree with the turning direction (the arc sweeps cAngle itself)?
    bool signAgrees() const { return (cAngle.getRad() > 0.0) == clockwise; }
};
