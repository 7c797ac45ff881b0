#include "velmorutils/zelmath/vertical/CAlntVeLsWithArc.h"

#include <cmath>

#include "zelmath/vertical/VerticalSupport.h"

using vertical_support::gradeBetween;
using zel_math::isNearZero;
using zel_math::isUnset;

CAlntVeLsWithArc::CAlntVeLsWithArc(double ch, double ht, double r, int objId) : CAlntVe(objId) {
    setIpAndR(ch, ht, r);
}

CAlntVeLsWithArc::~CAlntVeLsWithArc() = default;

bool CAlntVeLsWithArc::isok() const {
    return m_straight.isok() && m_arc.isok() && !isUnset(m_vip.north) && !isUnset(m_vip.east);
}

errCodes CAlntVeLsWithArc::getHtAtLen(double s, double& h) const {
    if (!isok()) return ecBeyondEnd;
    const errCodes r = m_straight.getHtAtLen(s, h);
    if (r != ecBeyondEnd) return r;
    return m_arc.getHtAtLen(s - m_straight.getLen(), h);
}

bool CAlntVeLsWithArc::getGradeAtLength(double s, double& g) const {
    if (!isok()) return false;
    if (m_straight.getGradeAtLength(s, g)) return true;
    return m_arc.getGradeAtLength(s - m_straight.getLen(), g);
}

double CAlntVeLsWithArc::getStepForDeviation(double ch, double maxDev) const {
    double start = 0.0;
    if (!isok() || !getStartChainageInM(start)) return 0.0;
    const double given = ch;
    const double end = getFinalChain();
    if (isNearZero(ch - start)) ch = start;
    if (std::fabs(ch - end) < roadTolerance) ch = end;
    if (ch < start || ch > end) return 0.0;
    if (m_arc.isSimplePoint()) return end - given;
    const double straightEnd = m_straight.getFinalChain();
    if (std::fabs(ch - straightEnd) < roadTolerance) ch = straightEnd;
    const double step = ch < straightEnd ? m_straight.getStepForDeviation(ch, maxDev)
                                         : m_arc.getStepForDeviation(ch, maxDev);
    return step + (ch - given);
}

bool CAlntVeLsWithArc::getAsLs(CLsInfo& info) const {
    if (!isok()) return false;
    if (!m_arc.isSimplePoint()) return m_arc.getAsLs(info);
    info.set(m_vip.north, m_vip.east);
    return true;
}

CAlntVe* CAlntVeLsWithArc::clone() const {
    return new CAlntVeLsWithArc(*this);
}

bool CAlntVeLsWithArc::onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next) {
    if (!CAlntVe::onNeighbourUpdate(prev, next)) return false;
    double start = 0.0;
    if (!getStartChainageInM(start) || isUnset(start)) return false;

    if (prev == nullptr && isNearZero(m_vip.north - start)) {
        // The first VIP of a profile is where the profile starts.
        m_straight.setStartHtAndChain(m_vip.east, start);
        buildSimple();
        return true;
    }
    CLsInfo nextVip;
    if (isNearZero(m_radius) || !vertical_support::isVipKind(next) || !next->getAsLs(nextVip) ||
        m_vip.north < start || nextVip.getChainage() < m_vip.north) {
        buildSimple();
        return true;
    }

    const double startHt = m_straight.getStartHt();
    const double gradeIn = gradeBetween(start, startHt, m_vip.north, m_vip.east);
    const double gradeOut =
        gradeBetween(m_vip.north, m_vip.east, nextVip.getChainage(), nextVip.getHeight());
    // Build the arc about the origin, see where its tangents meet, and shift it so that they
    // meet at this VIP.
    m_arc.setCenterGradesAndR(C2dPos(), gradeIn, gradeOut, m_radius);
    CLsInfo arcVip;
    double arcStart = 0.0;
    if (!m_arc.getAsLs(arcVip)) {
        ReportAssertion(vertical_support::kAlntsSource, __LINE__);
    } else {
        const C2dPos shift(m_vip.north - arcVip.getChainage(), m_vip.east - arcVip.getHeight());
        m_arc.setCenterGradesAndR(shift, gradeIn, gradeOut, m_radius);
    }
    if (!m_arc.getStartChainageInM(arcStart)) {
        ReportAssertion(vertical_support::kAlntsSource, __LINE__);
    }
    m_straight.setStraight(arcStart - start, gradeIn);
    return true;
}

void CAlntVeLsWithArc::buildSimple() {
    double start = 0.0;
    m_straight.getStartChainageInM(start);
    m_straight.setStraight(start, m_straight.getStartHt(), m_vip.north, m_vip.east);
    const double grade = m_straight.getStartGrade();
    m_arc.setStartHtAndChain(m_vip.east, m_vip.north);
    m_arc.setGradesAndR(grade, grade, 0.0);
}

void CAlntVeLsWithArc::setIpAndR(double ch, double ht, double r) {
    setIpAndR(C2dPos(ch, ht), r);
}

void CAlntVeLsWithArc::setIpAndR(const C2dPos& vip, double r) {
    reset();
    m_radius = r;
    m_vip = vip;
    m_straight.setStraight(vip.north, vip.east, vip.north, vip.east);
    m_arc.setStartHtAndChain(vip.east, vip.north);
}

void CAlntVeLsWithArc::reset() {
    m_vip = C2dPos(zel_math::kUnset, zel_math::kUnset);
    m_straight.reset();
    m_arc.reset();
    m_radius = 0.0;
}
