#include "velmorutils/zelmath/curves/CCurveDataSpiral1R.h"

#include <algorithm>
#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/curves/CCurveDataArc.h"
#include "velmorutils/zelmath/curves/COrgAzCurveT.h"
#include "zelmath/curves/CurveSupport.h"

using curve_support::checkLengthRange;
using curve_support::distance;
using curve_support::reportAt;
using zel_math::isNearZero;

namespace {
// Seeds of the projection lie no more than this turn (radians) apart, and no more than a
// kSeedsPerLength-th of the stretch: a foot (where the distance has a local minimum) turns the
// normal through it, and two feet lie about pi apart in turn, so every sign change of the along
// component shows between two seeds.
constexpr double kSeedTurn = 0.75;
constexpr double kSeedsPerLength = 8.0;
// Newton steps on a foot end once a step is below this fraction of the spiral's length; the
// next one would be below its square.
constexpr double kFootTolerance = 1e-11;
constexpr int kMaxFootSteps = 60;

// Position, unit tangent and signed curvature (positive turning right) at s.
struct Probe {
    double s = 0.0;
    double n = 0.0;
    double e = 0.0;
    double tn = 1.0;
    double te = 0.0;
    double k = 0.0;
    double along = 0.0;  // (X - P) . T: negative before the foot, positive after
    double dist = 0.0;
};

bool probeAt(const CCurveDataSpiral1R& sp, double N, double E, double s, Probe& p) {
    p.s = s;
    if (!sp.getPosAtLength(s, p.n, p.e)) return false;
    const double az = sp.GetAzimuth(s) * zel_math::kRadPerDeg;
    p.tn = std::cos(az);
    p.te = std::sin(az);
    p.k = sp.getCurvatureAtLength(s);
    p.along = (p.n - N) * p.tn + (p.e - E) * p.te;
    p.dist = distance(N, E, p.n, p.e);
    return true;
}

// The foot between a (along < 0) and b (along >= 0): Newton on the along component, whose
// derivative is 1 + k (X - P) . normal, kept inside the bracket by bisection.
bool footBetween(const CCurveDataSpiral1R& sp, double N, double E, Probe a, Probe b, double tol,
                 Probe& foot) {
    double s = a.s - a.along * (b.s - a.s) / (b.along - a.along);
    for (int step = 0; step < kMaxFootSteps; ++step) {
        if (!probeAt(sp, N, E, s, foot)) return false;
        if (foot.along == 0.0) return true;
        (foot.along < 0.0 ? a : b) = foot;
        // The right normal of the tangent (tn, te) is (-te, tn).
        const double slope = 1.0 + foot.k * (-(foot.n - N) * foot.te + (foot.e - E) * foot.tn);
        double next = slope > 0.0 ? s - foot.along / slope : a.s - 1.0;
        if (!(next >= a.s && next <= b.s)) next = 0.5 * (a.s + b.s);
        if (std::fabs(next - s) <= tol) return probeAt(sp, N, E, next, foot);
        s = next;
    }
    return true;
}

// The next seed after s: a kSeedTurn of turn at the larger curvature ahead, at most hMax on.
double nextSeed(const CCurveDataSpiral1R& sp, double s, double hi, double hMax) {
    const double kAhead = std::max(std::fabs(sp.getCurvatureAtLength(s)),
                                   std::fabs(sp.getCurvatureAtLength(std::min(s + hMax, hi))));
    const double h = kAhead * hMax > kSeedTurn ? kSeedTurn / kAhead : hMax;
    return s + h >= hi - 1e-3 * h ? hi : s + h;
}
}  // namespace

CCurveDataSpiral1R::CCurveDataSpiral1R() {
    m_flags.setRadiusDisplay(ardRadius);
    m_flags.setRadius2Display(ardRadius);
    m_flags.setLengthDisplay(aldLength);
}

bool CCurveDataSpiral1R::setLenAndR(double L, double R, bool turnRight, bool isTSSC) {
    // A curve-to-tangent spiral is stored as the mirror image of its tangent-to-curve twin.
    CCurveSpiralTStoSC::setLenAndR(L, R, isTSSC ? turnRight : !turnRight);
    m_isTSSC = isTSSC;
    return true;
}

bool CCurveDataSpiral1R::setLenAndR(double L, AlntElementLengthDisplay lenDisplay, double R,
                                    AlntElementRadiusDisplay radiusDisplay, bool turnRight,
                                    bool isTSSC, UNITS) {
    setLenAndR(L, R, turnRight, isTSSC);
    m_flags.setRadiusDisplay(radiusDisplay);
    m_flags.setLengthDisplay(lenDisplay);
    return true;
}

bool CCurveDataSpiral1R::setLenAndSpPrm(double L, double P, bool isTSSC) {
    CCurveSpiralTStoSC::setLenAndSpPrm(L, P);
    m_isTSSC = isTSSC;
    return true;
}

bool CCurveDataSpiral1R::setTurnRight(bool turnRight) {
    if (!isok()) return false;  // nothing defined yet to turn
    return setLenAndR(CCurveSpiralTStoSC::getTotalLength(), getRadius(), turnRight, m_isTSSC);
}

double CCurveDataSpiral1R::getRadius() const {
    return m_isTSSC ? m_radius : -m_radius;
}

bool CCurveDataSpiral1R::isToTheRight() const {
    return m_isTSSC ? m_radius > 0.0 : m_radius <= 0.0;
}

double CCurveDataSpiral1R::getFinalAzimutInRad() const {
    return m_isTSSC ? m_tau.getRad() : -m_tau.getRad();
}

bool CCurveDataSpiral1R::getFinalAzimut(CMathAngle& az) const {
    az.setRad(getFinalAzimutInRad());
    return isok();
}

double CCurveDataSpiral1R::GetAzimuth(double s) const {
    if (m_isTSSC) return CCurveSpiralTStoSC::GetAzimuth(s);
    return CCurveSpiralTStoSC::GetAzimuth(m_length - s) - m_tau.getDeg();
}

double CCurveDataSpiral1R::getCurvatureAtLength(double s) const {
    if (m_isTSSC) return CCurveSpiralTStoSC::getCurvatureAtLength(s);
    // Run backwards, the curvature falls from 1/R at the start to 0 at the end; the stored
    // radius is mirrored, so its sign is turned back to that of the real turn.
    return -CCurveSpiralTStoSC::getCurvatureAtLength(m_length - s);
}

bool CCurveDataSpiral1R::getPosAtLength(double s, double& N, double& E) const {
    if (!isok()) return false;
    if (m_isTSSC) return CCurveSpiralTStoSC::getPosAtLength(s, N, E);
    // Walk the basic spiral backwards from its end: the vector from the basic end to the basic
    // point at L - s, seen from the end looking back along the spiral (azimuth tau + pi).
    double n = 0.0, e = 0.0;
    if (!CCurveSpiralTStoSC::getPosAtLength(m_length - s, n, e)) return false;
    n -= CCurveSpiralTStoSC::getFinalNorthing();
    e -= CCurveSpiralTStoSC::getFinalEasting();
    m_tau.getRotatedBack(n, e);
    N = -n;
    E = -e;
    return true;
}

double CCurveDataSpiral1R::getFinalNorthing() const {
    if (m_isTSSC) return CCurveSpiralTStoSC::getFinalNorthing();
    const double n = CCurveSpiralTStoSC::getFinalNorthing();
    const double e = CCurveSpiralTStoSC::getFinalEasting();
    return m_tau.getRotatedBackNorth(n, e);
}

double CCurveDataSpiral1R::getFinalEasting() const {
    if (m_isTSSC) return CCurveSpiralTStoSC::getFinalEasting();
    const double n = CCurveSpiralTStoSC::getFinalNorthing();
    const double e = CCurveSpiralTStoSC::getFinalEasting();
    return m_tau.getRotatedBackEast(n, e);
}

double CCurveDataSpiral1R::getStepForDeviation(double s, double maxDev) const {
    const double L = m_length;
    if (!checkLengthRange(s, L)) reportAt(__LINE__);
    double step = L - s;
    // The check runs on the basic spiral, where a curve-to-tangent stretch lies mirrored.
    const double sBasic = m_isTSSC ? s : L - s;
    while (!checkStepForDeviation(step, sBasic, maxDev) && !isNearZero(step))
        step /= 2.0;
    return isNearZero(step) ? L - s : step;
}

bool CCurveDataSpiral1R::getShortestDistAndCurveLen(double N, double E, double& dist,
                                                    double& len) const {
    return projectOnto(N, E, 0.0, m_length, dist, len);
}

bool CCurveDataSpiral1R::projectOnto(double N, double E, double lo, double hi, double& dist,
                                     double& len) const {
    if (isNearZero(hi - lo)) {
        double n = 0.0, e = 0.0;
        if (!isNearZero(lo) && !getPosAtLength(lo, n, e)) return false;
        dist = distance(N, E, n, e);
        len = lo;
        return true;
    }
    // Seeds along the stretch; every sign change of the along component between two seeds holds
    // a foot, an end where the distance grows inwards is one, and the nearest wins (the earlier
    // on a tie).
    const double hMax = (hi - lo) / kSeedsPerLength;
    const double tol = kFootTolerance * std::max(1.0, hi);
    Probe prev, best;
    if (!probeAt(*this, N, E, lo, prev)) return false;
    best = prev;
    while (prev.s < hi) {
        Probe next;
        if (!probeAt(*this, N, E, nextSeed(*this, prev.s, hi, hMax), next)) return false;
        if (prev.along < 0.0 && next.along >= 0.0) {
            Probe foot;
            if (!footBetween(*this, N, E, prev, next, tol, foot)) return false;
            if (foot.dist < best.dist) best = foot;
        }
        if (next.dist < best.dist) best = next;
        prev = next;
    }
    dist = best.dist;
    len = best.s;
    return true;
}

void CCurveDataSpiral1R::GetSpiralElement(double& L, double& R, bool& turnRight,
                                          bool& isTSSC) const {
    L = CCurveSpiralTStoSC::getTotalLength();
    R = std::fabs(getRadius());
    turnRight = isToTheRight();
    isTSSC = m_isTSSC;
}

void CCurveDataSpiral1R::GetSpiralElement(double& L, AlntElementLengthDisplay& lenDisplay,
                                          double& R, AlntElementRadiusDisplay& radiusDisplay,
                                          bool& turnRight, bool& isTSSC, UNITS) const {
    GetSpiralElement(L, R, turnRight, isTSSC);
    lenDisplay = m_flags.getLengthDisplay();
    radiusDisplay = m_flags.getRadiusDisplay();
}
