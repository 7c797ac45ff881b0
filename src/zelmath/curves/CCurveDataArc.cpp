#include "velmorutils/zelmath/curves/CCurveDataArc.h"

#include <algorithm>
#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/cogo/PlaneCogo.h"
#include "zelmath/curves/CurveSupport.h"

using curve_support::checkLengthRange;
using curve_support::distance;
using curve_support::reportAt;
using zel_math::isNearZero;
using zel_math::isSet;
using zel_math::isUnset;
using zel_math::kUnset;

namespace {
// Longest arc walked in one deviation step, pi/16 (11.25 degrees), so that a polyline of a
// large, flat curve still follows its bend.
constexpr double kMaxStepAngle = 0.19634954084936207;
// A radius the arc falls back to when it can neither be read nor derived.
constexpr double kFallbackRadius = 1e-6;
}  // namespace

CCurveDataArc::CCurveDataArc() : m_centerAngle(0.0) {
    reset();
    m_flags.setRadiusDisplay(ardRadius);
    m_flags.setLengthDisplay(aldLength);
}

void CCurveDataArc::reset() {
    m_finalN = kUnset;
    m_finalE = kUnset;
    m_length = kUnset;
    m_radius = kUnset;
    m_centerAngle.reset();
}

void CCurveDataArc::clearCaches() {
    m_finalN = kUnset;
    m_finalE = kUnset;
    m_centerAngle.reset();
}

void CCurveDataArc::SetElement(double len, double R, bool turnRight) {
    clearCaches();
    m_length = std::fabs(len);
    m_radius = turnRight ? std::fabs(R) : -std::fabs(R);
}

void CCurveDataArc::SetElement(double len, AlntElementLengthDisplay lenDisplay, double R,
                               AlntElementRadiusDisplay radiusDisplay, bool turnRight, UNITS) {
    SetElement(len, R, turnRight);
    m_flags.setLengthDisplay(lenDisplay);
    m_flags.setRadiusDisplay(radiusDisplay);
}

void CCurveDataArc::GetElement(double& len, double& R, bool& turnRight) const {
    len = m_length;
    R = std::fabs(m_radius);
    turnRight = m_radius >= 0.0;
}

void CCurveDataArc::GetElement(double& len, AlntElementLengthDisplay& lenDisplay, double& R,
                               AlntElementRadiusDisplay& radiusDisplay, bool& turnRight,
                               UNITS) const {
    GetElement(len, R, turnRight);
    lenDisplay = m_flags.getLengthDisplay();
    radiusDisplay = m_flags.getRadiusDisplay();
}

void CCurveDataArc::setLen(double len) {
    clearCaches();
    m_length = std::fabs(len);
}

void CCurveDataArc::setCAngleR(const CMathAngle& delta, double R, bool turnRight) {
    clearCaches();
    m_radius = R;
    // An angle against the turn is the long way round: -90 degrees turning right is 270.
    double a = delta.getRad();
    if (turnRight && a < 0.0) a += zel_math::kTwoPi;
    if (!turnRight && a > 0.0) a -= zel_math::kTwoPi;
    m_length = std::fabs(a * R);
    m_radius = turnRight ? std::fabs(R) : -std::fabs(R);
    m_centerAngle = delta;
}

void CCurveDataArc::setCAngleR(const CMathAngle& delta, double R) {
    setCAngleR(delta, R, delta.getRad() >= 0.0);
}

bool CCurveDataArc::isok() const {
    return isSet(m_length) && isSet(m_radius);
}

double CCurveDataArc::getTotalLength() const {
    if (isSet(m_length)) return m_length;
    if (!m_centerAngle.isok() || isUnset(m_radius)) return 0.0;
    m_length = std::fabs(m_centerAngle.getRad() * m_radius);
    return m_length;
}

double CCurveDataArc::getRadius() const {
    if (isSet(m_radius)) return m_radius;
    if (isUnset(m_length) || !m_centerAngle.isok() || isNearZero(m_centerAngle.getRad())) {
        reportAt(__LINE__);
        m_radius = kFallbackRadius;
        return m_radius;
    }
    m_radius = m_length / m_centerAngle.getRad();
    return m_radius;
}

const CMathAngle& CCurveDataArc::getCenterAngle() const {
    if (m_centerAngle.isok()) return m_centerAngle;
    if (isSet(m_length) && isSet(m_radius)) {
        m_centerAngle.setRad(isNearZero(m_radius) ? 0.0 : m_length / m_radius);
    } else {
        reportAt(__LINE__);
        m_centerAngle.setRad(0.0);
    }
    return m_centerAngle;
}

double CCurveDataArc::getFinalNorthing() const {
    if (isUnset(m_finalN) || isUnset(m_finalE)) {
        if (!isok()) return 0.0;
        const CMathAngle& delta = getCenterAngle();
        m_finalN = m_radius * delta.getSin();
        m_finalE = m_radius * (1.0 - delta.getCos());
    }
    return m_finalN;
}

double CCurveDataArc::getFinalEasting() const {
    getFinalNorthing();
    return isUnset(m_finalE) ? 0.0 : m_finalE;
}

double CCurveDataArc::getFinalAzimutInRad() const {
    return getCenterAngle().getRad();
}

bool CCurveDataArc::getFinalAzimut(CMathAngle& az) const {
    if (!isok()) return false;
    az = getCenterAngle();
    return true;
}

double CCurveDataArc::getChordLength() const {
    if (!isok() || isNearZero(m_radius)) return 0.0;
    // From the unfolded angle, so that an arc beyond a half circle keeps a positive chord.
    return 2.0 * m_radius * std::sin(m_length / m_radius / 2.0);
}

void CCurveDataArc::getCenterNE(double& N, double& E) const {
    N = 0.0;
    E = getRadius();
}

bool CCurveDataArc::isToTheRight() const {
    return m_radius > 0.0;
}

double CCurveDataArc::GetAzimuth(double len) const {
    if (!isok() || isNearZero(m_radius)) return 0.0;
    return len / m_radius * zel_math::kDegPerRad;
}

double CCurveDataArc::getCurvatureAtLength(double) const {
    if (!isok() || isNearZero(m_radius)) return 0.0;
    return 1.0 / m_radius;
}

bool CCurveDataArc::getPosAtLength(double len, double& N, double& E) const {
    if (!isok()) return false;
    if (!checkLengthRange(len, m_length)) {
        reportAt(__LINE__);
        return false;
    }
    const double R = m_radius;
    const double theta = isNearZero(R) ? 0.0 : len / R;
    N = R * std::sin(theta);
    E = R * (1.0 - std::cos(theta));
    return true;
}

double CCurveDataArc::getStepForDeviation(double len, double maxDev) const {
    const double total = getTotalLength();
    if (!checkLengthRange(len, total)) reportAt(__LINE__);
    const double r = std::fabs(m_radius);
    const bool chordRule = isok() && !isNearZero(r) && maxDev > 0.0;
    // A deviation beyond the radius cannot be met by any chord; a half circle is the most.
    if (r < maxDev) maxDev = r;
    double step = total - len;
    if (chordRule) {
        // The arc whose middle ordinate equals the allowed deviation.
        step = 2.0 * r * std::acos(1.0 - maxDev / r);
        const double cap = r * kMaxStepAngle;
        if (!isNearZero(cap) && step > cap) step = cap;
    }
    return std::min(step, total - len);
}

bool CCurveDataArc::getShortestDistAndCurveLen(double N, double E, double& dist,
                                               double& len) const {
    const double total = getTotalLength();
    if (isNearZero(total)) {
        dist = std::hypot(N, E);
        len = 0.0;
        return true;
    }
    const double R = getRadius();
    const double centreN = 0.0;
    const double centreE = R;

    // The nearest point of a circle lies on the line through the point and the centre.
    double la, lb, lc, ca, cb, cc;
    ComputeEqVars(E, N, centreE, centreN, la, lb, lc);
    ComputeCircleEqVars(centreE, centreN, R, ca, cb, cc);
    double e1 = 0.0, n1 = 0.0, e2 = 0.0, n2 = 0.0;
    const int count = IntersectionCoordsOfLineAndCircle(ca, cb, cc, la, lb, lc, e1, n1, e2, n2);
    if (count == 0) {
        // Only a point (almost) at the centre gives no line: every arc point is R away, and
        // the end answers as it does for any tie.
        if (std::fabs(N - centreN) < smallNumTolerance &&
            std::fabs(E - centreE) < smallNumTolerance) {
            dist = std::fabs(R);
        } else {
            dist = distance(N, E, getFinalNorthing(), getFinalEasting());
        }
        len = total;
        return true;
    }

    const double startAz = GetRefAziPts(0.0 - centreE, 0.0 - centreN);
    auto arcLengthOf = [&](double pe, double pn) {
        double angle = GetRefAziPts(pe - centreE, pn - centreN) - startAz;
        if (R < 0.0) angle = 360.0 - angle;
        angle = std::fmod(angle, 360.0);
        if (angle < 0.0) angle += 360.0;
        return std::fabs(R * angle * zel_math::kRadPerDeg);
    };
    const double len1 = arcLengthOf(e1, n1);
    const double len2 = arcLengthOf(e2, n2);
    const double d1 = distance(N, E, n1, e1);
    const double d2 = distance(N, E, n2, e2);
    const bool on1 = len1 < total;
    const bool on2 = len2 < total;

    if (on1 && on2) {
        if (d1 + roadTolerance < d2) {
            dist = d1;
            len = len1;
        } else {
            dist = d2;
            len = len2;
        }
        return true;
    }
    if (on2) {
        dist = d2;
        len = len2;
        return true;
    }
    if (on1) {
        dist = d1;
        len = len1;
        return true;
    }
    curve_support::nearerEnd(N, E, getFinalNorthing(), getFinalEasting(), total, dist, len);
    return true;
}
