#include "velmorutils/zelmath/alignment/CRoadBase.h"

#include <algorithm>

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/vertical/CAlntV.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"

CRoadBase::CRoadBase(const CRoadBase& o) : CAlntBase() {
    copy(o);
}

CRoadBase::CRoadBase(const CRoadBase& o, int objId) : CAlntBase() {
    copy(o);
    setObjId(objId);
}

CRoadBase& CRoadBase::operator=(const CRoadBase& o) {
    copy(o);
    return *this;
}

CRoadBase::~CRoadBase() = default;

void CRoadBase::copy(const CRoadBase& o) {
    if (this == &o) return;
    CAlntBase::copy(o);
    m_chainageInterval = o.m_chainageInterval;
    m_hal = o.m_hal;
    m_val = o.m_val;
    m_xsSf = o.m_xsSf;
    m_layerId = o.m_layerId;
}

// The road's length is not a sum of elements of its own; getFinalChainageInM answers instead.
bool CRoadBase::doObtainTotalHLength(double&) const {
    return false;
}

bool CRoadBase::getAzimuthAtChain(double chain, double& az) const {
    return m_hal != nullptr && m_hal->getAzimuthAtChain(chain, az);
}

bool CRoadBase::getAzimuthAtChainExtr(double chain, double& az) const {
    return m_hal != nullptr && m_hal->getAzimuthAtChainExtr(chain, az);
}

void CRoadBase::setHal(const CAlntH* hal) {
    m_hal = hal;
    invalidateTotalHLength();
}

void CRoadBase::setVal(const CAlntV* val) {
    m_val = val;
    invalidateTotalHLength();
}

void CRoadBase::setXsSf(const CXsSf* xsSf) {
    m_xsSf = xsSf;
    invalidateTotalHLength();
}

int CRoadBase::getNumOfHes() const {
    return m_hal != nullptr ? m_hal->getNumOfHes() : 0;
}

const CAlntHe* CRoadBase::getFirstHe() const {
    return m_hal != nullptr ? m_hal->getFirstHe() : nullptr;
}

const CAlntHe* CRoadBase::getLastHe() const {
    return m_hal != nullptr ? m_hal->getLastHe() : nullptr;
}

const CAlntHe* CRoadBase::getHe(int i) const {
    return m_hal != nullptr ? m_hal->getHe(i) : nullptr;
}

int CRoadBase::getNumOfVes() const {
    return m_val != nullptr ? m_val->getNumOfVes() : 0;
}

const CAlntVe* CRoadBase::getFirstVe() const {
    return m_val != nullptr ? m_val->getFirstVe() : nullptr;
}

const CAlntVe* CRoadBase::getLastVe() const {
    return m_val != nullptr ? m_val->getLastVe() : nullptr;
}

const CAlntVe* CRoadBase::getVe(int i) const {
    return m_val != nullptr ? m_val->getVe(i) : nullptr;
}

double CRoadBase::getStartPosN() const {
    return m_hal != nullptr ? m_hal->getStartPosN() : 0.0;
}

double CRoadBase::getStartPosE() const {
    return m_hal != nullptr ? m_hal->getStartPosE() : 0.0;
}

double CRoadBase::getStartPosH() const {
    return m_val != nullptr ? m_val->getStartPosH() : 0.0;
}

bool CRoadBase::getFinalPosNe(double& n, double& e) const {
    return m_hal != nullptr && m_hal->getFinalPosNe(n, e);
}

bool CRoadBase::getFinalPosH(double& h) const {
    const CAlntVe* last = getLastVe();
    if (last == nullptr) return false;
    h = last->getFinalHt();
    return true;
}

bool CRoadBase::getPosNeAtChain(double chain, double& n, double& e) const {
    return m_hal != nullptr && m_hal->getPosNeAtChain(chain, n, e);
}

bool CRoadBase::getPosNeAtChainExtr(double chain, double& n, double& e) const {
    return m_hal != nullptr && m_hal->getPosNeAtChainExtr(chain, n, e);
}

bool CRoadBase::getPosNeAtChainAndOffsetExtr(double chain, double off, double& n, double& e) const {
    return m_hal != nullptr && m_hal->getPosNeAtChainAndOffsetExtr(chain, off, n, e);
}

// Stake-out asks this beyond the ends as well: it extrapolates like the Extr form.
bool CRoadBase::getPosAtChainAndOffset(double chain, double off, double& n, double& e) const {
    return getPosNeAtChainAndOffsetExtr(chain, off, n, e);
}

const CAlntHe* CRoadBase::getAlntHeAtChain(double chain, double* dist) const {
    return m_hal != nullptr ? m_hal->getAlntHeAtChain(chain, dist) : nullptr;
}

bool CRoadBase::getIpPosForElement(int i, double& n, double& e) const {
    return m_hal != nullptr && m_hal->getIpPosForElement(i, n, e);
}

bool CRoadBase::getHtAtChain(double chain, double& h) const {
    return m_val != nullptr && m_val->getHeightAtChain(chain, h);
}

bool CRoadBase::getPosHAtChainExtr(double chain, double& h) const {
    return m_val != nullptr && m_val->getHeightAtChainExtr(chain, h);
}

bool CRoadBase::getPosHAtChain(double chain, double& h) const {
    double d = 0.0;
    const CAlntVe* ve = getAlntVeAtChain(chain, &d);
    return ve != nullptr && ve->getHtAtLen(d, h) == ecOk;
}

const CAlntVe* CRoadBase::getAlntVeAtChain(double chain, double* dist) const {
    return m_val != nullptr ? m_val->getAlntVeAtChain(chain, dist) : nullptr;
}

bool CRoadBase::hasRefToPoint(int ptId) const {
    return (m_hal != nullptr && m_hal->hasRefToPoint(ptId)) ||
           (m_val != nullptr && m_val->hasRefToPoint(ptId));
}

// The road ends where the shorter of its alignments ends, but never before its own start.
bool CRoadBase::getFinalChainageInM(double& c) const {
    double hFinal = 0.0;
    double vFinal = 0.0;
    const bool hOk = m_hal != nullptr && m_hal->getFinalChainageInM(hFinal);
    const bool vOk = m_val != nullptr && m_val->getFinalChainageInM(vFinal);
    if (!hOk && !vOk) return false;
    const double result = hOk && vOk ? std::min(hFinal, vFinal) : (hOk ? hFinal : vFinal);
    c = std::max(result, getStartChainageInM());
    return true;
}

bool CRoadBase::getHLengthInM(double& len) const {
    double fin = 0.0;
    const bool ok = getFinalChainageInM(fin);
    len = fin - getStartChainageInM();
    return ok;
}

double CRoadBase::distance2Chainage(double d) const {
    return m_hal != nullptr ? d + m_hal->getStartChainageInM() : d;
}

double CRoadBase::chainage2Distance(double c) const {
    return m_hal != nullptr ? c - m_hal->getStartChainageInM() : c;
}
