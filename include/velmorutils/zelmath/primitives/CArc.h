#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/primitives/C2dPos.h"

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

    void set_start_center_cAngle(const C2dPos& start, const C2dPos& centre,
                                 const CMathAngle& cAngle, bool clockwise);
    void set_start_r_length(const C2dPos& start, const CMathAngle& startTgDir, double r,
                            double length, bool clockwise);
    void set_r_start_center_finish(double r, const CMathAngle& azStart, const C2dPos& centre,
                                   const CMathAngle& azFinish, bool clockwise);
    bool set_start_center_finish(const C2dPos& start, const C2dPos& centre, const C2dPos& finish,
                                 bool clockwise);
    bool set_start_finish_startTgDir(const C2dPos& start, const C2dPos& finish,
                                     const CMathAngle& startTgDir);
    bool set_start_finish_finishTgDir(const C2dPos& start, const C2dPos& finish,
                                      const CMathAngle& finishTgDir);
    bool set_start_finish_plusPos(const C2dPos& start, const C2dPos& finish, const C2dPos& through);
    bool set_start_finish_turn(const C2dPos& start, const C2dPos& finish, const CMathAngle& turn);
    bool set_r_start_finish(double r, const C2dPos& start, const C2dPos& finish, bool clockwise);

    void get_start_tgdir(CMathAngle& dir) const;
    void get_middle_pos_on_the_arc(C2dPos& pos) const;

private:
    /// Does the sign of cAngle agree with the turning direction (the arc sweeps cAngle itself)?
    bool signAgrees() const { return (cAngle.getRad() > 0.0) == clockwise; }
};
