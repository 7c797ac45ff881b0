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
// Distance given to a probe whose position cannot be computed, so that it never wins.
constexpr double kFarAway = 1e14;
// The coarse search halves its probe spacing down to this; the refinement stops once its
// correction is this small.
constexpr double kSearchTolerance = 1e-5;
// The osculating-circle refinement converges in a handful of passes; this only bounds it.
constexpr int kMaxRefinements = 60;
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
    auto distAt = [&](double s) {
        double n = 0.0, e = 0.0;
        if (!getPosAtLength(s, n, e)) return kFarAway;
        return distance(N, E, n, e);
    };

    // Coarse search: probe both sides of the current length at a spacing that halves each
    // pass, always moving to the nearer probe (forward on a tie).
    double s = (lo + hi) / 2.0;
    double h = (hi - lo) / 4.0;
    double previous = lo;
    {
        double n = 0.0, e = 0.0;
        if (!getPosAtLength(s, n, e)) return false;
    }
    do {
        const double sPlus = std::min(s + h, hi);
        const double sMinus = std::max(s - h, lo);
        const double dPlus = distAt(sPlus);
        const double dMinus = distAt(sMinus);
        if (dMinus < dPlus) {
            s = sMinus;
            dist = dMinus;
        } else {
            s = sPlus;
            dist = dPlus;
        }
        h /= 2.0;
        if (std::fabs(s - previous) < kSearchTolerance) break;
        previous = s;
    } while (h > kSearchTolerance);

    // Refinement: near the found point the spiral is close to its osculating circle, so the
    // point is projected onto that circle and the arc length to the foot corrects s. Away from
    // the ends only: there the circle would reach past the spiral.
    if (s - lo >= roadTolerance && hi - s >= roadTolerance) {
        const bool right = isToTheRight();
        for (int pass = 0; pass < kMaxRefinements; ++pass) {
            const double base = s - h;
            double n = 0.0, e = 0.0;
            if (!getPosAtLength(base, n, e)) break;
            const double k = std::fabs(getCurvatureAtLength(base));
            if (isNearZero(k)) break;
            const double r = 1.0 / k;
            COrgAzCurveT<CCurveDataArc> circle;
            circle.get_data().SetElement(zel_math::kTwoPi * r, r, right);
            circle.setOrgAzDeg(n, e, GetAzimuth(base));
            double circleDist = 0.0, a = 0.0;
            if (!circle.getShortestDistAndCurveLen(N, E, circleDist, a)) break;
            double phi = a / r;
            if (phi > zel_math::kPi) phi -= zel_math::kTwoPi;
            if (phi < -zel_math::kPi) phi += zel_math::kTwoPi;
            const double correction = phi * r;
            s = std::clamp(base + correction, lo, hi);
            h /= 2.0;
            if (std::fabs(correction) <= kSearchTolerance) break;
        }
        // The distance to the spiral itself, not to the last circle.
        dist = distAt(s);
    }
    len = s;
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
