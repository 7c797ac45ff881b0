#include "velmorutils/zelmath/primitives/CArc.h"

#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/cogo/PlaneCogo.h"

namespace {

// A finish this far (or farther) from where the start rotates to is not on the start's circle.
constexpr double kOnCircle = 0.001;

CMathAngle quarterTurn() {
    return CMathAngle(90.0);
}

// Where two lines, each through a point with an azimuth, meet. False for parallel lines.
bool meet(const C2dPos& p1, const CMathAngle& az1, const C2dPos& p2, const CMathAngle& az2,
          C2dPos& out) {
    double E = 0.0, N = 0.0;
    if (!ComputeENIntersectionPoint(p1.east, p1.north, az1.getDeg(), p2.east, p2.north,
                                    az2.getDeg(), E, N))
        return false;
    if (!std::isfinite(E) || !std::isfinite(N)) return false;
    out = C2dPos(N, E);
    return true;
}

// The perpendicular bisector of a-b as a point and an azimuth; false when a and b coincide.
bool bisector(const C2dPos& a, const C2dPos& b, C2dPos& mid, CMathAngle& az) {
    if (!az.setAz(a, b)) return false;
    az += quarterTurn();
    mid = C2dPos((a.north + b.north) / 2.0, (a.east + b.east) / 2.0);
    return true;
}

// Is the tangent `tg` at point p turning clockwise about `centre`? A clockwise tangent points a
// quarter turn to the right of the radius from the centre.
bool turnsClockwise(const CMathAngle& tg, const C2dPos& centre, const C2dPos& p, bool& cw) {
    CMathAngle radial;
    if (!radial.setAz(centre, p)) return false;
    CMathAngle diff = tg;
    diff -= radial;
    cw = diff.getRad() >= 0.0;
    return true;
}

}  // namespace

void CArc::set_start_center_cAngle(const C2dPos& s, const C2dPos& c, const CMathAngle& a, bool cw) {
    start = s;
    centre = c;
    cAngle = a;
    clockwise = cw;
    // A half circle (+pi or -pi) is stored with the sign of its turning direction.
    CMathAngle plusHalf = cAngle;
    plusHalf += CMathAngle(180.0);
    if (plusHalf == CMathAngle(0.0) && !signAgrees()) cAngle.changeSign();
}

void CArc::set_start_r_length(const C2dPos& s, const CMathAngle& startTgDir, double r,
                              double length, bool cw) {
    // The length is signed like cAngle (positive clockwise): an arc that turns left is given a
    // negative length. A length of more than half the circle folds to the opposite sign and so
    // becomes the longer way round.
    CMathAngle a;
    a.setRad(zel_math::isNearZero(r) ? 0.0 : length / r);
    C2dPos c;
    startTgDir.getPosAcross(cw ? r : -r, s, c);
    set_start_center_cAngle(s, c, a, cw);
}

void CArc::set_r_start_center_finish(double r, const CMathAngle& azStart, const C2dPos& c,
                                     const CMathAngle& azFinish, bool cw) {
    C2dPos s;
    azStart.getPosAlong(r, c, s);
    CMathAngle a = azFinish;
    a -= azStart;
    set_start_center_cAngle(s, c, a, cw);
}

bool CArc::set_start_center_finish(const C2dPos& s, const C2dPos& c, const C2dPos& finish,
                                   bool cw) {
    CMathAngle a;
    if (!a.setAngle(s, c, finish)) return false;
    C2dPos rotated;
    a.getRotatedPoint(c, s, rotated);
    // A finish off the start's circle: keep whichever turn lands nearer to it.
    if (std::fabs(rotated.north - finish.north) >= kOnCircle ||
        std::fabs(rotated.east - finish.east) >= kOnCircle) {
        CMathAngle minus;
        minus.setRad(-a.getRad());
        C2dPos other;
        minus.getRotatedPoint(c, s, other);
        if (other.distanceTo(finish) < rotated.distanceTo(finish)) a = minus;
    }
    set_start_center_cAngle(s, c, a, cw);
    return true;
}

bool CArc::set_start_finish_startTgDir(const C2dPos& s, const C2dPos& finish,
                                       const CMathAngle& startTgDir) {
    // The centre lies on the normal at the start and on the chord's perpendicular bisector.
    C2dPos mid;
    CMathAngle bis;
    if (!bisector(s, finish, mid, bis)) return false;
    CMathAngle normal = startTgDir;
    normal += quarterTurn();
    C2dPos c;
    if (!meet(s, normal, mid, bis, c)) return false;
    bool cw = false;
    if (!turnsClockwise(startTgDir, c, s, cw)) return false;
    return set_start_center_finish(s, c, finish, cw);
}

bool CArc::set_start_finish_finishTgDir(const C2dPos& s, const C2dPos& finish,
                                        const CMathAngle& finishTgDir) {
    C2dPos mid;
    CMathAngle bis;
    if (!bisector(s, finish, mid, bis)) return false;
    CMathAngle normal = finishTgDir;
    normal += quarterTurn();
    C2dPos c;
    if (!meet(finish, normal, mid, bis, c)) return false;
    bool cw = false;
    if (!turnsClockwise(finishTgDir, c, finish, cw)) return false;
    return set_start_center_finish(s, c, finish, cw);
}

bool CArc::set_start_finish_plusPos(const C2dPos& s, const C2dPos& finish, const C2dPos& through) {
    C2dPos mid1, mid2;
    CMathAngle bis1, bis2;
    if (!bisector(s, through, mid1, bis1) || !bisector(through, finish, mid2, bis2)) return false;
    // Collinear points have parallel bisectors: no circle.
    C2dPos c;
    if (!meet(mid1, bis1, mid2, bis2, c)) return false;
    CMathAngle first, second;
    if (!first.setAz(s, through) || !second.setAz(through, finish)) return false;
    second -= first;
    return set_start_center_finish(s, c, finish, second.getRad() >= 0.0);
}

bool CArc::set_start_finish_turn(const C2dPos& s, const C2dPos& finish, const CMathAngle& turn) {
    CMathAngle chord;
    if (!chord.setAz(s, finish)) return false;
    CMathAngle tg = turn;
    tg.set180MinusThis();
    tg /= 2.0;
    tg += chord;
    return set_start_finish_startTgDir(s, finish, tg);
}

bool CArc::set_r_start_finish(double r, const C2dPos& s, const C2dPos& finish, bool cw) {
    // The start tangent leans off the chord by half the central angle, asin(h / r), to the left
    // for a clockwise arc: the arc then has radius r and passes through both points. (The
    // chord-to-radius angle atan2(sqrt(r^2 - h^2), h) would give an arc through both points of
    // some other radius.) The shorter of the two arcs of radius r is the one built.
    const double d = s.distanceTo(finish);
    const double h = d / 2.0;
    if (zel_math::isNearZero(d) || !(h <= r)) return false;
    CMathAngle tg;
    if (!tg.setAz(s, finish)) return false;
    CMathAngle lean;
    lean.setRad(std::asin(h / r));
    if (cw) {
        tg -= lean;
    } else {
        tg += lean;
    }
    return set_start_finish_startTgDir(s, finish, tg);
}

void CArc::get_start_tgdir(CMathAngle& dir) const {
    CMathAngle radial;
    if (!radial.setAz(centre, start)) return;
    if (clockwise) {
        radial += quarterTurn();
    } else {
        radial -= quarterTurn();
    }
    dir = radial;
}

void CArc::get_middle_pos_on_the_arc(C2dPos& pos) const {
    CMathAngle h = cAngle;
    h /= 2.0;
    if (!signAgrees()) {
        // The longer way round: the middle is opposite the middle of the short way.
        if (cAngle.getRad() <= 0.0) {
            h += CMathAngle(180.0);
        } else {
            h -= CMathAngle(180.0);
        }
    }
    h.getRotatedPoint(centre, start, pos);
}
