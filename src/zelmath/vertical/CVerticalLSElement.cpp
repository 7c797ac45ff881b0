#include "velmorutils/zelmath/vertical/CVerticalLSElement.h"

#include <cmath>

#include "zelmath/vertical/VerticalSupport.h"

using vertical_support::gradeBetween;
using vertical_support::snapLength;
using zel_math::isNearZero;
using zel_math::isUnset;

namespace {

// Whether VIP b may follow VIP a: b's curve must not start more than a millimetre before a's
// curve ends, and two VIPs at the same chainage leave no room for a curve at the second.
bool vipsFit(const CLsInfo& a, const CLsInfo& b) {
    if (b.getCurveStartChainage() - a.getCurveEndChainage() < -roadTolerance) return false;
    return std::fabs(b.getChainage() - a.getChainage()) >= roadTolerance || !b.hasCurve();
}

}  // namespace

CVerticalLSElement::CVerticalLSElement(const CLsInfo& vip, int objId) : CAlntVe(objId) {
    setCurrLSElement(vip);
}

CVerticalLSElement::~CVerticalLSElement() = default;

double CVerticalLSElement::getFinalHt() const {
    if (m_hasCurr && m_curr.getCurveLength() == 0.0) return m_curr.getHeight();
    return m_hasParabola ? m_parabola.getFinalHt() : m_straight.getFinalHt();
}

double CVerticalLSElement::getFinalChain() const {
    if (isUnset(m_startChain)) return zel_math::kUnset;
    return getLen() + m_startChain;
}

double CVerticalLSElement::getLen() const {
    return m_straight.getLen() + (m_hasParabola ? m_parabola.getLen() : 0.0);
}

double CVerticalLSElement::getEndGrade() const {
    return m_hasParabola ? m_parabola.getEndGrade() : m_straight.getEndGrade();
}

bool CVerticalLSElement::getStartChainageInM(double& ch) const {
    if (isUnset(m_startChain)) {
        ch = 0.0;
        return false;
    }
    ch = m_startChain;
    return true;
}

errCodes CVerticalLSElement::getHtAtLen(double s, double& h) const {
    if (!m_ok) return ecBeyondEnd;
    const errCodes r = m_straight.getHtAtLen(s, h);
    if (r != ecBeyondEnd) return r;
    if (!m_hasParabola) return ecBeyondEnd;
    return m_parabola.getHtAtLen(s - m_straight.getLen(), h);
}

bool CVerticalLSElement::getGradeAtLength(double s, double& g) const {
    if (!m_ok || isUnset(m_startChain)) return false;
    const double len = getLen();
    s = snapLength(s, len);
    if (s < 0.0 || s > len) return false;
    if (m_hasParabola && m_parabola.getLen() >= roadTolerance) {
        const double straightLen = m_straight.getLen();
        if (std::fabs(s - straightLen) < roadTolerance) s = straightLen;
        if (s <= straightLen) return m_straight.getGradeAtLength(s, g);
        return m_parabola.getGradeAtLength(s - straightLen, g);
    }
    return m_straight.getGradeAtLength(s > m_straight.getLen() ? m_straight.getLen() : s, g);
}

double CVerticalLSElement::getStepForDeviation(double ch, double maxDev) const {
    if (!m_ok || isUnset(m_startChain)) return 0.0;
    const double given = ch;
    const double end = getFinalChain();
    if (isNearZero(ch - m_startChain)) ch = m_startChain;
    if (std::fabs(ch - end) < roadTolerance) ch = end;
    if (ch < m_startChain || ch > end) return 0.0;
    if (!m_hasParabola || m_parabola.getLen() < roadTolerance) return end - given;
    const double straightEnd = m_straight.getFinalChain();
    if (std::fabs(ch - straightEnd) < roadTolerance) ch = straightEnd;
    const double step = ch < straightEnd ? m_straight.getStepForDeviation(ch, maxDev)
                                         : m_parabola.getStepForDeviation(ch, maxDev);
    return step + (ch - given);
}

bool CVerticalLSElement::getAsLs(CLsInfo& info) const {
    info = m_curr;
    return m_hasCurr;
}

CAlntVe* CVerticalLSElement::clone() const {
    return new CVerticalLSElement(*this);
}

bool CVerticalLSElement::setStartHtAndChain(double ht, double ch) {
    m_startHt = ht;
    m_startChain = ch;
    setUpData();
    return true;
}

bool CVerticalLSElement::setCurrLSElement(const CLsInfo& vip) {
    m_curr = vip;
    m_hasCurr = true;
    return setUpData();
}

void CVerticalLSElement::setNextLSElement(const CLsInfo& vip) {
    m_next = vip;
    m_hasNext = true;
}

bool CVerticalLSElement::onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next) {
    // The first VIP of a profile is where the profile starts.
    if (prev == nullptr && m_hasCurr) setStartHtAndChain(m_curr.getHeight(), m_curr.getChainage());
    if (prev != nullptr && !setStartHtAndChain(prev->getFinalHt(), prev->getFinalChain())) {
        return false;
    }
    if (!vertical_support::isVipKind(next)) {
        m_hasNext = false;
        setUpData();
        return true;
    }
    CLsInfo nextVip;
    if (!next->getAsLs(nextVip)) return true;
    if (m_hasCurr && !vipsFit(m_curr, nextVip)) return false;
    m_next = nextVip;
    m_hasNext = true;
    if (!m_hasCurr) return true;
    return setUpData();
}

bool CVerticalLSElement::setUpData() {
    if (isUnset(m_startChain) || isUnset(m_startHt)) return false;
    if (!m_hasCurr) return m_ok;
    m_straight.reset();
    m_parabola.reset();
    m_hasParabola = false;
    m_ok = false;

    if (!vipsFit(CLsInfo(m_startChain, m_startHt), m_curr)) return false;
    const double gradeIn =
        gradeBetween(m_startChain, m_startHt, m_curr.getChainage(), m_curr.getHeight());
    // With a next VIP the grade runs on only to where the curve begins; the last VIP of a
    // profile has no curve and the element ends at the VIP itself.
    double straightLen =
        (m_hasNext ? m_curr.getCurveStartChainage() : m_curr.getChainage()) - m_startChain;
    if (isNearZero(straightLen)) straightLen = 0.0;
    if (straightLen < 0.0) return false;
    if (m_hasNext && !vipsFit(m_curr, m_next)) return false;

    m_straight.setStartHtAndChain(m_startHt, m_startChain);
    m_straight.setStraight(straightLen, gradeIn);
    if (m_hasNext) {
        const double gradeOut = gradeBetween(m_curr.getChainage(), m_curr.getHeight(),
                                             m_next.getChainage(), m_next.getHeight());
        m_parabola.setStartHtAndChain(m_straight.getFinalHt(), m_straight.getFinalChain());
        if (m_curr.getCurveLength() != 0.0) {
            m_hasParabola = true;
            m_parabola.setParabola(m_curr.getCurveLength(), gradeIn, gradeOut);
        }
    }
    m_ok = true;
    return true;
}
