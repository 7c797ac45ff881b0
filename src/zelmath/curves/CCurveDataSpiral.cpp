#include "velmorutils/zelmath/curves/CCurveDataSpiral.h"

#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"
#include "zelmath/curves/CurveSupport.h"

using curve_support::checkLengthRange;
using curve_support::reportAt;
using zel_math::isNearZero;
using zel_math::isSet;
using zel_math::isUnset;
using zel_math::kUnset;

CCurveDataSpiral::CCurveDataSpiral() : m_offsetAngle(0.0) {
    reset();
}

void CCurveDataSpiral::reset() {
    CCurveDataSpiral1R::reset();
    m_radius2 = kUnset;
    m_startLength = 0.0;
    m_sectionN = 0.0;
    m_sectionE = 0.0;
    m_offsetAngle.setRad(0.0);
}

bool CCurveDataSpiral::setLenAndR(double L, double R, bool turnRight, bool isTSSC) {
    reset();
    return CCurveDataSpiral1R::setLenAndR(L, R, turnRight, isTSSC);
}

bool CCurveDataSpiral::setLenAndR(double L, AlntElementLengthDisplay lenDisplay, double R,
                                  AlntElementRadiusDisplay radiusDisplay, bool turnRight,
                                  bool isTSSC, UNITS units) {
    reset();
    return CCurveDataSpiral1R::setLenAndR(L, lenDisplay, R, radiusDisplay, turnRight, isTSSC,
                                          units);
}

bool CCurveDataSpiral::setLenAndR(double L, double R1, double R2, bool turnRight) {
    reset();
    R1 = std::fabs(R1);
    R2 = std::fabs(R2);
    // A tightening curve is the later part of a tangent-to-curve clothoid, a widening one the
    // earlier part of a curve-to-tangent one; either way the clothoid ends at the smaller radius.
    const bool underlyingTSSC = R1 > R2;
    const double rMax = underlyingTSSC ? R1 : R2;
    const double rMin = underlyingTSSC ? R2 : R1;
    const double d = rMax - rMin;
    // Length of the clothoid from its tangent point to radius rMax: the curvature grows
    // linearly, so l0 / (l0 + L) = rMin / rMax.
    const double l0 = isNearZero(d) ? 0.0 : L * rMin / d;
    m_startLength = l0;
    m_radius2 = rMax;
    CCurveDataSpiral1R::setLenAndR(L + l0, rMin, turnRight, underlyingTSSC);
    if (underlyingTSSC) {
        // Move the section start to the origin and turn it to heading north.
        m_offsetAngle.setDeg(-CCurveDataSpiral1R::GetAzimuth(l0));
        CCurveDataSpiral1R::getPosAtLength(l0, m_sectionN, m_sectionE);
    }
    if (getRadius() < 0.0) m_radius2 = -m_radius2;
    return true;
}

bool CCurveDataSpiral::setLenAndR(double L, AlntElementLengthDisplay lenDisplay, double R1,
                                  AlntElementRadiusDisplay r1Display, double R2,
                                  AlntElementRadiusDisplay r2Display, bool turnRight, UNITS) {
    setLenAndR(L, R1, R2, turnRight);
    m_flags.setLengthDisplay(lenDisplay);
    m_flags.setRadiusDisplay(r1Display);
    m_flags.setRadius2Display(r2Display);
    return true;
}

bool CCurveDataSpiral::setTurnRight(bool turnRight) {
    if (!isok()) return false;  // nothing defined yet to turn
    // A compound spiral keeps both radii and its length when its direction changes: only the
    // side it bends to is new.
    if (isCompoundSpiral()) {
        return setLenAndR(getTotalLength(), getStartRadius(), getFinalRadius(), turnRight);
    }
    return setLenAndR(getTotalLength(), getRadius(), turnRight, CCurveDataSpiral1R::isTSSC());
}

bool CCurveDataSpiral::isCompoundSpiral() const {
    return isSet(m_radius2);
}

bool CCurveDataSpiral::isTSSC() const {
    return !isCompoundSpiral() && CCurveDataSpiral1R::isTSSC();
}

bool CCurveDataSpiral::isCSST() const {
    return !isCompoundSpiral() && CCurveDataSpiral1R::isCSST();
}

double CCurveDataSpiral::getTotalLength() const {
    const double underlying = CCurveDataSpiral1R::getTotalLength();
    if (isUnset(underlying)) return underlying;
    return underlying - m_startLength;
}

double CCurveDataSpiral::getStartRadius() const {
    return CCurveDataSpiral1R::isCSST() ? getRadius() : m_radius2;
}

double CCurveDataSpiral::getFinalRadius() const {
    return CCurveDataSpiral1R::isTSSC() ? getRadius() : m_radius2;
}

double CCurveDataSpiral::underlyingLength(double s) const {
    return CCurveDataSpiral1R::isTSSC() ? s + m_startLength : s;
}

double CCurveDataSpiral::GetAzimuth(double s) const {
    return m_offsetAngle.getDeg() + CCurveDataSpiral1R::GetAzimuth(underlyingLength(s));
}

double CCurveDataSpiral::getCurvatureAtLength(double s) const {
    return CCurveDataSpiral1R::getCurvatureAtLength(underlyingLength(s));
}

bool CCurveDataSpiral::getFinalAzimut(CMathAngle& az) const {
    az.setDeg(GetAzimuth(getTotalLength()));
    return isok();
}

double CCurveDataSpiral::getFinalNorthing() const {
    double n = 0.0, e = 0.0;
    return getPosAtLength(getTotalLength(), n, e) ? n : 0.0;
}

double CCurveDataSpiral::getFinalEasting() const {
    double n = 0.0, e = 0.0;
    return getPosAtLength(getTotalLength(), n, e) ? e : 0.0;
}

bool CCurveDataSpiral::getPosAtLength(double s, double& N, double& E) const {
    if (!isok()) return false;
    if (!checkLengthRange(s, getTotalLength())) {
        reportAt(__LINE__);
        return false;
    }
    if (!CCurveDataSpiral1R::isTSSC() || m_startLength == 0.0) {
        return CCurveDataSpiral1R::getPosAtLength(s, N, E);
    }
    double n = 0.0, e = 0.0;
    if (!CCurveDataSpiral1R::getPosAtLength(s + m_startLength, n, e)) return false;
    n -= m_sectionN;
    e -= m_sectionE;
    m_offsetAngle.getRotated(n, e);
    N = n;
    E = e;
    return true;
}

double CCurveDataSpiral::getStepForDeviation(double s, double maxDev) const {
    const double total = getTotalLength();
    if (!checkLengthRange(s, total)) {
        reportAt(__LINE__);
        return 0.0;
    }
    double step = CCurveDataSpiral1R::getStepForDeviation(underlyingLength(s), maxDev);
    if (s + step > total) step = total - s;
    return step;
}

bool CCurveDataSpiral::getShortestDistAndCurveLen(double N, double E, double& dist,
                                                  double& len) const {
    const bool shifted = CCurveDataSpiral1R::isTSSC() && m_startLength != 0.0;
    if (shifted) {
        // Back into the frame of the underlying spiral.
        m_offsetAngle.getRotatedBack(N, E);
        N += m_sectionN;
        E += m_sectionE;
    }
    // Only the section belongs to this spiral: the search stays inside it.
    const double lo = CCurveDataSpiral1R::isTSSC() ? m_startLength : 0.0;
    if (!projectOnto(N, E, lo, lo + getTotalLength(), dist, len)) return false;
    len -= lo;
    return len >= 0.0;
}

void CCurveDataSpiral::GetSpiralElement(double& L, double& R1, double& R2, bool& turnRight) const {
    L = getTotalLength();
    R1 = getStartRadius();
    R2 = getFinalRadius();
    if (isSet(R1)) R1 = std::fabs(R1);
    if (isSet(R2)) R2 = std::fabs(R2);
    turnRight = isToTheRight();
}

void CCurveDataSpiral::GetSpiralElement(double& L, AlntElementLengthDisplay& lenDisplay, double& R1,
                                        AlntElementRadiusDisplay& r1Display, double& R2,
                                        AlntElementRadiusDisplay& r2Display, bool& turnRight,
                                        UNITS) const {
    GetSpiralElement(L, R1, R2, turnRight);
    lenDisplay = m_flags.getLengthDisplay();
    r1Display = m_flags.getRadiusDisplay();
    r2Display = m_flags.getRadius2Display();
}

void CCurveDataSpiral::GetSpiralElement(double& L, double& R, bool& turnRight, bool& isTSSC) const {
    L = getTotalLength();
    R = std::fabs(getRadius());
    turnRight = isToTheRight();
    isTSSC = this->isTSSC();
}

void CCurveDataSpiral::GetSpiralElement(double& L, AlntElementLengthDisplay& lenDisplay, double& R,
                                        AlntElementRadiusDisplay& radiusDisplay, bool& turnRight,
                                        bool& isTSSC, UNITS) const {
    GetSpiralElement(L, R, turnRight, isTSSC);
    lenDisplay = m_flags.getLengthDisplay();
    radiusDisplay = m_flags.getRadiusDisplay();
}
