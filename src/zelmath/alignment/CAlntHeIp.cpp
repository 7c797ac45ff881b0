#include "velmorutils/zelmath/alignment/CAlntHeIp.h"

#include "velmorutils/zelmath/alignment/CAlntH.h"

// Copies keep the curve's display flags: the curve is assigned, not copy-constructed (a
// copy-constructed curve starts with no flags).
CAlntHeIp::CAlntHeIp(const CAlntHeIp& o) : CAlntHe(o) {
    m_ip = o.m_ip;
}

CAlntHeIp::CAlntHeIp(const CAlntHeIp& o, int objId) : CAlntHe(o, objId) {
    m_ip = o.m_ip;
}

CAlntHeIp& CAlntHeIp::operator=(const CAlntHeIp& o) {
    copy(o);
    return *this;
}

CAlntHeIp::~CAlntHeIp() = default;

void CAlntHeIp::copy(const CAlntHeIp& o) {
    if (this == &o) return;
    CAlntElBase::copy(o);
    m_ip = o.m_ip;
}

CAlntHeIp* CAlntHeIp::cast(CAlntHe* he) {
    return he != nullptr && he->getType() == alntHeIp ? static_cast<CAlntHeIp*>(he) : nullptr;
}

const CAlntHeIp* CAlntHeIp::cast(const CAlntHe* he) {
    return he != nullptr && he->getType() == alntHeIp ? static_cast<const CAlntHeIp*>(he) : nullptr;
}

bool CAlntHeIp::isok() const {
    return m_ip.isok();
}

bool CAlntHeIp::getHLengthInM(double& len) const {
    len = m_ip.getTotalLength();
    return true;
}

bool CAlntHeIp::getStartPosNe(double& n, double& e) const {
    n = m_ip.getStartNorthing();
    e = m_ip.getStartEasting();
    return true;
}

bool CAlntHeIp::getFinalPosNe(double& n, double& e) const {
    n = m_ip.getFinalNorthing();
    e = m_ip.getFinalEasting();
    return true;
}

void CAlntHeIp::getStartAzimut(CMathAngle& a) const {
    m_ip.getStartAzimut(a);
}

bool CAlntHeIp::getFinalAzimut(CMathAngle& a) const {
    return m_ip.getFinalAzimut(a);
}

bool CAlntHeIp::getPosNeAtLength(double len, double& n, double& e) const {
    return m_ip.getPosAtLength(len, n, e);
}

bool CAlntHeIp::getAzimuthAtLength(double len, double& az) const {
    az = m_ip.GetAzimuth(len);
    return true;
}

bool CAlntHeIp::getCurvatureAtLength(double len, double& k) const {
    k = m_ip.getCurvatureAtLength(len);
    return true;
}

double CAlntHeIp::getStepForDeviation(double chain, double maxDev) const {
    double d = zel_math::kUnset;
    chainage2Distance(chain, d);
    return m_ip.getStepForDeviation(d, maxDev);
}

bool CAlntHeIp::getShortestDistAndCurveLen(double n, double e, double& dist, double& len) const {
    return m_ip.getShortestDistAndCurveLen(n, e, dist, len);
}

CAlntHe* CAlntHeIp::clone() const {
    return new CAlntHeIp(*this);
}

void CAlntHeIp::onSetIndex(const CAlntH& alnt, int index) {
    double chain = 0.0;
    double n = 0.0;
    double e = 0.0;
    if (index < 1) {
        chain = alnt.getStartChainageInM();
        n = alnt.getStartPosN();
        e = alnt.getStartPosE();
    } else {
        const CAlntHe* prev = alnt.getHe(index - 1);
        if (prev->getFinalChainageInM(chain)) {
            prev->getFinalPosNe(n, e);
        } else {
            chain = 0.0;
        }
    }
    onStartChainageUpdate(chain);
    m_ip.setOrg(n, e);

    // The curve at this IP can only be fitted once the outgoing tangent is known, and that
    // runs towards the next IP.
    const CAlntHeIp* next = index + 1 < alnt.getNumOfHes() ? cast(alnt.getHe(index + 1)) : nullptr;
    if (next != nullptr) {
        m_ip.onSetNextIp(next->m_ip.getIpNorth(), next->m_ip.getIpEast());
    } else {
        m_ip.setSimplePoint();
    }
}
