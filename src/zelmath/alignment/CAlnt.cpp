#include "velmorutils/zelmath/alignment/CAlnt.h"

CAlnt::CAlnt(const CAlnt& o) : CAlntH() {
    doCopy(o);
}

CAlnt& CAlnt::operator=(const CAlnt& o) {
    if (this != &o) copy(o);
    return *this;
}

CAlnt::~CAlnt() {
    doRemoveAll();
}

void CAlnt::setStartChainageInM(double c) {
    CAlntH::setStartChainageInM(c);
    m_valnt.setStartChainageInM(c);
}

// The plan position goes to the horizontal part, the height to the vertical one.
void CAlnt::setStartPos(double n, double e, double h) {
    CAlntH::setStartPos(n, e, 0.0);
    m_valnt.setStartHeight(h);
}

bool CAlnt::appendElement(const CAlntHe& he) {
    return CAlntH::appendElement(he);
}

bool CAlnt::insertElement(int index, const CAlntHe& he) {
    return CAlntH::insertElement(index, he);
}

bool CAlnt::replaceElement(int index, const CAlntHe& he) {
    return CAlntH::replaceElement(index, he);
}

bool CAlnt::removeHe(int index) {
    return CAlntH::removeHe(index);
}

void CAlnt::setChainageIntervalInM(double interval) {
    m_interval = interval;
}

bool CAlnt::appendElement(const CAlntVe& ve) {
    return m_valnt.appendElement(ve);
}

bool CAlnt::insertElement(int index, const CAlntVe& ve) {
    return m_valnt.insertElement(index, ve);
}

bool CAlnt::replaceElement(int index, const CAlntVe& ve) {
    return m_valnt.replaceElement(index, ve);
}

bool CAlnt::removeVe(int index) {
    return m_valnt.removeVe(index);
}

void CAlnt::removeAll() {
    doRemoveAll();
}

void CAlnt::copy(const CAlnt& o) {
    doCopy(o);
}

void CAlnt::doRemoveAll() {
    m_valnt.removeAllVes();
    removeAllHes();
}

void CAlnt::doCopy(const CAlnt& o) {
    if (this == &o) return;
    removeAll();
    CAlntH::copy(o);
    m_interval = o.m_interval;
    m_valnt.copy(o.m_valnt);
}

bool CAlnt::getPosHAtChain(double chain, double& h) const {
    double d = 0.0;
    const CAlntVe* ve = getAlntVeAtChain(chain, &d);
    return ve != nullptr && ve->getHtAtLen(d, h) == ecOk;
}

bool CAlnt::getGradeAtChainage(double chain, double& g) const {
    double d = 0.0;
    const CAlntVe* ve = getAlntVeAtChain(chain, &d);
    return ve != nullptr && ve->getGradeAtLength(d, g);
}
