#include "velmorutils/zelmath/vertical/CVerticalElement.h"

#include <cmath>

#include "zelmath/vertical/VerticalSupport.h"

using vertical_support::snapLength;
using zel_math::isNearZero;

CVerticalElement::CVerticalElement(double startHt, double startChain, double len, double grade)
    : m_startHt(startHt), m_startChain(startChain), m_len(len), m_g1(grade), m_g2(grade) {}

CVerticalElement::CVerticalElement(double startHt, double startChain, double len, double g1,
                                   double g2)
    : m_startHt(startHt), m_startChain(startChain), m_len(len), m_g1(g1), m_g2(g2) {}

CVerticalElement::~CVerticalElement() = default;

double CVerticalElement::getFinalHt() const {
    double h = 0.0;
    if (!getHtAtChain(getFinalChain(), h)) return zel_math::kUnset;
    return h;
}

errCodes CVerticalElement::getHtAtLen(double s, double& h) const {
    s = snapLength(s, m_len);
    if (s < 0.0) return ecBeforeStart;
    if (s > m_len) return ecBeyondEnd;
    if (isParabola()) {
        h = m_len == 0.0
                ? m_startHt
                : (getParabolaCoefficientA() * s + getParabolaCoefficientB()) * s + m_startHt;
    } else {
        h = m_g1 / 100.0 * s + m_startHt;
    }
    return ecOk;
}

bool CVerticalElement::getGradeAtLength(double s, double& g) const {
    s = snapLength(s, m_len);
    if (s < 0.0 || s > m_len) return false;
    if (isParabola() && m_len != 0.0) {
        g = (2.0 * getParabolaCoefficientA() * s + getParabolaCoefficientB()) * 100.0;
    } else {
        g = m_g1;
    }
    return true;
}

double CVerticalElement::getStepForDeviation(double ch, double maxDev) const {
    const double end = getFinalChain();
    if (isNearZero(ch - m_startChain)) ch = m_startChain;
    if (std::fabs(ch - end) < roadTolerance) ch = end;
    if (m_len < 0.0 || ch < m_startChain || ch > end) return 0.0;
    const double rem = end - ch;
    if (isStraight() || m_len < roadTolerance) return rem;
    // A parabola deviates from its chord by A (d/2)^2 at the chord's middle, wherever the chord
    // lies: so the chord that deviates by maxDev has the same length everywhere.
    const double d = 2.0 * std::sqrt(std::fabs(maxDev / getParabolaCoefficientA()));
    if (rem < d || std::fabs(rem - d) < roadTolerance) return rem;
    return d;
}

bool CVerticalElement::getAsLs(CLsInfo& info) const {
    if (!isok() || zel_math::isUnset(m_startChain)) return false;
    if (isStraight()) {
        info.set(getFinalChain(), getFinalHt());
        return true;
    }
    const double half = m_len / 2.0;
    info.set(m_startChain + half, m_startHt + m_g1 * half / 100.0, m_len);
    return true;
}

CAlntVe* CVerticalElement::clone() const {
    return new CVerticalElement(*this);
}

bool CVerticalElement::setStartHtAndChain(double ht, double ch) {
    m_startHt = ht;
    m_startChain = ch;
    return true;
}

void CVerticalElement::setStraight(double len, double grade) {
    m_len = len;
    m_g1 = m_g2 = grade;
}

void CVerticalElement::setParabola(double len, double g1, double g2) {
    m_len = len;
    m_g1 = g1;
    m_g2 = g2;
}

// A zero length leaves no curve to fit: both setters then give a level element of that
// length rather than infinite grades. A zero radius means no curvature (g2 = g1).
void CVerticalElement::setParabolaByCR(double len, double hVip, double r) {
    if (isNearZero(len)) return setParabola(len, 0.0, 0.0);
    const double g1 = 200.0 * hVip / len;
    const double g2 = isNearZero(r) ? g1 : 100.0 * (2.0 * hVip / len - len / r);
    setParabola(len, g1, g2);
}

void CVerticalElement::setParabolaByCF(double len, double hVip, double f) {
    if (isNearZero(len)) return setParabola(len, 0.0, 0.0);
    setParabola(len, 200.0 * hVip / len, 100.0 * (2.0 * hVip / len - 8.0 * f / len));
}

void CVerticalElement::setStraight(double ch1, double ht1, double ch2, double ht2) {
    if (ch2 < ch1 || isNearZero(ch2 - ch1)) {
        ch2 = ch1;
        ht2 = ht1;
    }
    setStartHtAndChain(ht1, ch1);
    const double len = ch2 - ch1;
    setStraight(len, len == 0.0 ? 0.0 : (ht2 - ht1) * 100.0 / len);
}

void CVerticalElement::reset() {
    m_startHt = m_startChain = m_len = m_g1 = m_g2 = 0.0;
}

double CVerticalElement::getParabolaCoefficientA() const {
    if (m_len == 0.0) return 0.0;
    return (m_g2 - m_g1) / (200.0 * m_len);
}

// A straight has no finite K value; it reports 0 instead of an infinity.
double CVerticalElement::getParabolaCoefficientKv() const {
    const double a = getParabolaCoefficientA();
    if (a == 0.0) return 0.0;
    return 1.0 / (2.0 * a);
}

bool CVerticalElement::getParabolaExtremum(double& ch, double& h, bool& inside) const {
    if (isStraight() || m_len == 0.0) return false;
    const double a = getParabolaCoefficientA();
    const double b = getParabolaCoefficientB();
    double x = -b / (2.0 * a);
    h = (a * x + b) * x + m_startHt;
    if (std::fabs(x) < roadTolerance) x = 0.0;
    if (std::fabs(x - m_len) < roadTolerance) x = m_len;
    ch = m_startChain + x;
    inside = x >= 0.0 && x <= m_len;
    return true;
}
