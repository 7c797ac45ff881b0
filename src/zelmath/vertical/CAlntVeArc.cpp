#include "velmorutils/zelmath/vertical/CAlntVeArc.h"

#include <algorithm>
#include <cmath>

#include "zelmath/curves/CurveSupport.h"
#include "zelmath/primitives/LineIntersection.h"

using zel_math::isNearZero;

namespace {

// The steepest chord the step search takes: the turn of 1/16 of a half circle.
constexpr double kMaxStepAngle = 0.19634954084936207;

CMathAngle angleOfGrade(double g) {
    CMathAngle a;
    a.setRad(std::atan(g / 100.0));
    return a;
}

bool isFinite(const C2dPos& p) {
    return std::isfinite(p.north) && std::isfinite(p.east);
}

}  // namespace

CAlntVeArc::CAlntVeArc(double startHt, double startChain, double g1, double g2, double r)
    : m_start(startChain, startHt) {
    setGradesAndR(g1, g2, r);
}

CAlntVeArc::~CAlntVeArc() = default;

bool CAlntVeArc::isok() const {
    return m_startDir.isok() && isFinite(m_start) && std::isfinite(m_radius) &&
           std::isfinite(m_arcLen);
}

double CAlntVeArc::getEndGrade() const {
    if (isSimplePoint()) return getStartGrade();
    CMathAngle end = m_startDir;
    CMathAngle central;
    getCentralAngle(central);
    end += central;
    return 100.0 * end.getTg();
}

bool CAlntVeArc::getStartChainageInM(double& ch) const {
    ch = m_start.north;
    return true;
}

errCodes CAlntVeArc::getHtAtLen(double s, double& h) const {
    if (!curve_support::checkLengthRange(s, getLen())) {
        curve_support::reportAt(__LINE__);
        return s < 0.0 ? ecBeforeStart : ecBeyondEnd;
    }
    if (isSimplePoint()) {
        h = m_start.east;
        return ecOk;
    }
    const C2dPos c = getCenterStaAndHt();
    const double x = m_start.north + s - c.north;
    // Rounding may put the far end a hair outside the circle's span: the root is then 0.
    const double root = std::sqrt(std::max(0.0, m_radius * m_radius - x * x));
    h = m_radius > 0.0 ? c.east - root : c.east + root;
    return ecOk;
}

bool CAlntVeArc::getGradeAtLength(double, double&) const {
    return false;
}

double CAlntVeArc::getStepForDeviation(double ch, double maxDev) const {
    double s = ch - m_start.north;
    if (!curve_support::checkLengthRange(s, getLen()) || maxDev <= 0.0) {
        curve_support::reportAt(__LINE__);
        return 0.0;
    }
    ch = m_start.north + s;
    const double rem = getFinalChain() - ch;
    if (getLen() < roadTolerance) return rem;
    double h = 0.0;
    if (!isok() || !getHtAtChain(ch, h) || isSimplePoint()) return rem;

    // The chord of a circle that sags maxDev below it subtends 2 acos(1 - maxDev / r).
    const double r = std::fabs(m_radius);
    maxDev = std::min(maxDev, r);
    double theta = std::min(2.0 * std::acos(1.0 - maxDev / r), kMaxStepAngle);
    if (m_radius < 0.0) theta = -theta;
    CMathAngle turn;
    turn.setRad(theta);
    C2dPos ahead;
    turn.getRotatedPoint(getCenterStaAndHt(), C2dPos(ch, h), ahead);
    const double step = ahead.north - ch;
    if (rem < step || std::fabs(rem - step) < roadTolerance) return rem;
    return step;
}

bool CAlntVeArc::getAsLs(CLsInfo& info) const {
    // The VIP is where the start and end tangents meet.
    CMathAngle endDir = m_startDir;
    CMathAngle central;
    getCentralAngle(central);
    endDir += central;
    const C2dPos p1 = m_start;
    const C2dPos p2 = getFinalStaAndHt();
    const C2dPos d1 = m_startDir.getDir();
    double t = 0.0;
    double tEnd = 0.0;
    if (!IntersectLines(p1, d1, p2, endDir.getDir(), t, tEnd)) {
        curve_support::reportAt(__LINE__);
        return false;
    }
    info.set(p1.north + t * d1.north, p1.east + t * d1.east, getLen(), m_start.north, m_radius);
    return true;
}

CAlntVe* CAlntVeArc::clone() const {
    return new CAlntVeArc(*this);
}

bool CAlntVeArc::setStartHtAndChain(double ht, double ch) {
    m_start = C2dPos(ch, ht);
    clearCaches();
    return true;
}

void CAlntVeArc::setGradesAndR(double g1, double g2, double r) {
    // The sign of the radius follows the grades: a rising grade makes a sag.
    if (isNearZero(g1 - g2)) {
        r = 0.0;
    } else {
        r = g1 < g2 ? std::fabs(r) : -std::fabs(r);
    }
    m_startDir = angleOfGrade(g1);
    m_radius = r;
    m_arcLen = isSimplePoint()
                   ? 0.0
                   : std::fabs((angleOfGrade(g2).getRad() - m_startDir.getRad()) * m_radius);
    clearCaches();
}

bool CAlntVeArc::setGradesAndLen(double g1, double g2, double len) {
    double r = 0.0;
    if (!computeRadius(r, g1, g2, len)) return false;
    setGradesAndR(g1, g2, r);
    return true;
}

void CAlntVeArc::setCenterGradesAndR(const C2dPos& centre, double g1, double g2, double r) {
    setGradesAndR(g1, g2, r);
    // The centre lies the signed radius across the start direction from the start point.
    m_startDir.getPosAcross(-m_radius, centre, m_start);
    clearCaches();
}

void CAlntVeArc::setRadius(double r) {
    m_radius = r;
    clearCaches();
}

void CAlntVeArc::reset() {
    m_startDir = CMathAngle();
    m_start = C2dPos();
    m_arcLen = 0.0;
    m_radius = 0.0;
    clearCaches();
}

bool CAlntVeArc::computeRadius(double& r, double g1, double g2, double len) {
    return computeRadius(r, angleOfGrade(g1), angleOfGrade(g2), len);
}

bool CAlntVeArc::computeRadius(double& r, const CMathAngle& a1, const CMathAngle& a2, double len) {
    const double s = std::sin(a2.getRad() - a1.getRad());
    if (isNearZero(s)) return false;
    r = len / s;
    return true;
}

void CAlntVeArc::getCentralAngle(CMathAngle& a) const {
    a.setRad(isSimplePoint() ? 0.0 : m_arcLen / m_radius);
}

C2dPos CAlntVeArc::getCenterStaAndHt() const {
    if (zel_math::isUnset(m_centre.north)) m_startDir.getPosAcross(m_radius, m_start, m_centre);
    return m_centre;
}

C2dPos CAlntVeArc::getFinalStaAndHt() const {
    if (isSimplePoint()) return m_start;
    if (zel_math::isUnset(m_end.north)) {
        CMathAngle central;
        getCentralAngle(central);
        central.getRotatedPoint(getCenterStaAndHt(), m_start, m_end);
    }
    return m_end;
}
