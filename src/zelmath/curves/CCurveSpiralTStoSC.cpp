#include "velmorutils/zelmath/curves/CCurveSpiralTStoSC.h"

#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"
#include "zelmath/curves/ClothoidFresnel.h"
#include "zelmath/curves/CurveSupport.h"

using curve_support::checkLengthRange;
using curve_support::reportAt;
using zel_math::isNearZero;
using zel_math::isSet;
using zel_math::isUnset;
using zel_math::kUnset;

namespace {
// A step whose half azimuth change reaches pi/16 is too coarse whatever the deviation allows.
constexpr double kMaxHalfTurn = 0.19634954084936207;
}  // namespace

CCurveSpiralTStoSC::CCurveSpiralTStoSC() {
    reset();
}

void CCurveSpiralTStoSC::reset() {
    m_length = kUnset;
    m_radius = kUnset;
    m_tau.reset();
    m_finalN = kUnset;
    m_finalE = kUnset;
}

bool CCurveSpiralTStoSC::isok() const {
    return isSet(m_length) && m_tau.isok();
}

bool CCurveSpiralTStoSC::setLenAndR(double L, double R, bool turnRight) {
    reset();
    m_length = L;
    m_radius = turnRight ? std::fabs(R) : -std::fabs(R);
    m_tau.setRad(isNearZero(m_radius) ? 0.0 : L / (2.0 * m_radius));
    return true;
}

bool CCurveSpiralTStoSC::setLenAndSpPrm(double L, double P) {
    reset();
    m_length = L;
    m_radius = isNearZero(L) ? 0.0 : P / L;
    m_tau.setRad(isNearZero(P) ? 0.0 : L * L / (2.0 * P));
    return true;
}

double CCurveSpiralTStoSC::GetAzimuth(double s) const {
    if (!isok() || isNearZero(m_length) || isNearZero(m_radius)) return 0.0;
    return zel_math::kDegPerRad * s * s / (2.0 * m_radius * m_length);
}

double CCurveSpiralTStoSC::getCurvatureAtLength(double s) const {
    const double p = m_length * m_radius;
    if (!isok() || isNearZero(p)) return 0.0;
    return s / p;
}

void CCurveSpiralTStoSC::fillFinalCache() const {
    if (isSet(m_finalN) && isSet(m_finalE)) return;
    double n = 0.0, e = 0.0;
    if (!getPosAtLength(m_length, n, e)) return;
    m_finalN = n;
    m_finalE = e;
}

double CCurveSpiralTStoSC::getFinalNorthing() const {
    fillFinalCache();
    return isUnset(m_finalN) ? 0.0 : m_finalN;
}

double CCurveSpiralTStoSC::getFinalEasting() const {
    fillFinalCache();
    return isUnset(m_finalE) ? 0.0 : m_finalE;
}

bool CCurveSpiralTStoSC::getPosAtLength(double s, double& N, double& E) const {
    if (!isok()) {
        reportAt(__LINE__);
        return false;
    }
    if (!checkLengthRange(s, m_length)) {
        reportAt(__LINE__);
        return false;
    }
    if (isNearZero(m_length) || isNearZero(m_radius)) {
        N = 0.0;
        E = 0.0;
        return true;
    }
    // t is the tangent angle at s.
    const double t = s * s / (2.0 * m_radius * m_length);
    clothoid::point(s, t, N, E);
    return true;
}

bool CCurveSpiralTStoSC::checkStepForDeviation(double step, double s, double maxDev) const {
    if (!isok() || isNearZero(m_length) || isNearZero(m_radius)) return true;
    // Half the azimuth change over the step; the chord's sagitta is about tan(x) times step.
    const double x = (2.0 * s + step) * step / (4.0 * m_length * m_radius);
    if (x >= kMaxHalfTurn || x <= -kMaxHalfTurn) return false;
    return std::fabs(std::tan(x) * step) < maxDev;
}
