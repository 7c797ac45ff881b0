#include "velmorutils/zelmath/curves/CCurveDataSegment.h"

#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/cogo/PlaneCogo.h"
#include "zelmath/curves/CurveSupport.h"

using curve_support::checkLengthRange;
using curve_support::distance;
using curve_support::reportAt;
using zel_math::isSet;
using zel_math::isUnset;
using zel_math::kUnset;

CCurveDataSegment::CCurveDataSegment() : m_azimuth(0.0) {
    reset();
    m_flags.setFlags(0);
}

void CCurveDataSegment::reset() {
    m_azimuth.setRad(0.0);
    m_finalN = kUnset;
    m_finalE = kUnset;
    m_length = kUnset;
}

void CCurveDataSegment::setFinalNE(double dN, double dE) {
    reset();
    m_finalN = dN;
    m_finalE = dE;
    // The direction now follows from the end point.
    m_azimuth.reset();
}

void CCurveDataSegment::setLen(double len) {
    // A straight defined by its end point keeps that direction when it is given a new length.
    getAzimuth();
    m_length = len;
    m_finalN = kUnset;
    m_finalE = kUnset;
}

void CCurveDataSegment::setAz(const CMathAngle& az) {
    m_azimuth = az;
    m_finalN = kUnset;
    m_finalE = kUnset;
}

void CCurveDataSegment::setAzRad(double rad) {
    CMathAngle a;
    a.setRad(rad);
    setAz(a);
}

void CCurveDataSegment::setAzDeg(double deg) {
    setAz(CMathAngle(deg));
}

bool CCurveDataSegment::isok() const {
    if (isSet(m_finalN) && isSet(m_finalE)) return true;
    return m_azimuth.isok() && isSet(m_length);
}

double CCurveDataSegment::getTotalLength() const {
    if (!isok()) return 0.0;
    if (isUnset(m_length)) m_length = std::hypot(m_finalN, m_finalE);
    return m_length;
}

double CCurveDataSegment::getFinalNorthing() const {
    if (isUnset(m_finalN)) {
        if (!isok()) return 0.0;
        m_finalN = getAzimuth().getCos() * m_length;
    }
    return m_finalN;
}

double CCurveDataSegment::getFinalEasting() const {
    if (isUnset(m_finalE)) {
        if (!isok()) return 0.0;
        m_finalE = getAzimuth().getSin() * m_length;
    }
    return m_finalE;
}

const CMathAngle& CCurveDataSegment::getAzimuth() const {
    if (!m_azimuth.isok() && isSet(m_finalN) && isSet(m_finalE))
        m_azimuth.setAz(m_finalN, m_finalE);
    return m_azimuth;
}

bool CCurveDataSegment::getFinalAzimut(CMathAngle& az) const {
    if (!isok()) return false;
    az = getAzimuth();
    return true;
}

double CCurveDataSegment::GetAzimuth(double) const {
    return getAzimuth().getDeg();
}

bool CCurveDataSegment::getPosAtLength(double len, double& N, double& E) const {
    if (!isok()) {
        reportAt(__LINE__);
        return false;
    }
    if (!checkLengthRange(len, getTotalLength())) {
        reportAt(__LINE__);
        return false;
    }
    const CMathAngle& az = getAzimuth();
    N = az.getCos() * len;
    E = az.getSin() * len;
    return true;
}

double CCurveDataSegment::getStepForDeviation(double len, double) const {
    const double total = getTotalLength();
    if (!checkLengthRange(len, total)) reportAt(__LINE__);
    // A straight never leaves its chord: the rest of it is one step.
    return total - len;
}

bool CCurveDataSegment::getShortestDistAndCurveLen(double N, double E, double& dist,
                                                   double& len) const {
    const double total = getTotalLength();
    if (zel_math::isNearZero(total)) {
        dist = std::hypot(N, E);
        len = 0.0;
        return true;
    }
    const double endN = getFinalNorthing();
    const double endE = getFinalEasting();

    // Foot of the perpendicular: the segment's line meets the line through P at right angles.
    double a1, b1, c1, a2, b2, c2;
    ComputeEqVars(0.0, 0.0, endE, endN, a1, b1, c1);
    ComputeEqVars(getAzimuth().getDeg() + 90.0, E, N, a2, b2, c2);
    double footE = 0.0, footN = 0.0;
    if (GetIntersectionPointFromEqVars(a1, b1, c1, a2, b2, c2, footE, footN) == 0) {
        reportAt(__LINE__);
        return false;
    }
    const double dot = footN * (footN - endN) + footE * (footE - endE);
    if (dot < 0.0) {
        dist = distance(N, E, footN, footE);
        len = std::hypot(footN, footE);
        return true;
    }
    // The foot falls outside: the nearer end answers, the far end winning a near tie.
    curve_support::nearerEnd(N, E, endN, endE, total, dist, len);
    return true;
}
