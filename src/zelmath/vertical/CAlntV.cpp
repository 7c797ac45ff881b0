#include "velmorutils/zelmath/vertical/CAlntV.h"

#include <cmath>

#include "velmorutils/inlines/CObjId2ObjIdMap.h"
#include "zelmath/vertical/VerticalSupport.h"

using vertical_support::kAlntsSource;

CAlntV::CAlntV(const CAlntV& o) : CAlntBase() {
    copy(o);
}

CAlntV::CAlntV(const CAlntV& o, int objId) : CAlntBase() {
    copy(o);
    setObjId(objId);
}

CAlntV& CAlntV::operator=(const CAlntV& o) {
    if (this != &o) copy(o);
    return *this;
}

CAlntV::~CAlntV() {
    removeAllVes();
}

void CAlntV::copy(const CAlntV& o) {
    if (this == &o) return;
    removeAllVes();
    CAlntBase::copy(o);
    m_startHt = o.m_startHt;
    m_startPtId = o.m_startPtId;
    for (int i = 0; i < o.m_elements.GetSize(); ++i)
        m_elements.Add(o.m_elements[i]->clone());
    m_search.invalidate();
}

double CAlntV::getStartChainageInM() const {
    const CAlntVe* first = getFirstVe();
    CLsInfo vip;
    if (vertical_support::isVipKind(first) && first->getAsLs(vip)) return vip.getChainage();
    return CAlntBase::getStartChainageInM();
}

double CAlntV::getStartPosH() const {
    const CAlntVe* first = getFirstVe();
    CLsInfo vip;
    if (vertical_support::isVipKind(first) && first->getAsLs(vip)) return vip.getHeight();
    return m_startHt;
}

void CAlntV::setStartChainageInM(double c) {
    CAlntBase::setStartChainageInM(c);
    if (!m_elements.IsEmpty()) doVPostUpdate(0);
}

void CAlntV::setStartHeight(double h) {
    m_startHt = h;
    if (!m_elements.IsEmpty()) doVPostUpdate(0);
}

void CAlntV::setStartPos(double, double, double h) {
    setStartHeight(h);
}

void CAlntV::setStartPt(int id, double h) {
    m_startPtId = id;
    setStartHeight(h);
}

void CAlntV::setStartPt(int id, double, double, double h) {
    setStartPt(id, h);
}

void CAlntV::refreshPtCoords(int id, double, double, double h) {
    if (id != 0 && id == m_startPtId) setStartPt(id, h);
}

void CAlntV::convertIds(const CObjId2ObjIdMap& map) {
    if (m_startPtId == 0) return;
    m_startPtId = map.src2trg(m_startPtId);
    if (m_startPtId == 0) ReportAssertion(kAlntsSource, __LINE__);
}

void CAlntV::onBulkUpdateFinished() {
    CAlntBase::onBulkUpdateFinished();
    if (!m_elements.IsEmpty()) doVPostUpdate(0);
}

bool CAlntV::doObtainTotalHLength(double& len) const {
    len = 0.0;
    for (int i = 0; i < m_elements.GetSize(); ++i)
        len += m_elements[i]->getLen();
    return true;
}

const CAlntVe* CAlntV::getFirstVe() const {
    return m_elements.IsEmpty() ? nullptr : m_elements[0];
}

const CAlntVe* CAlntV::getLastVe() const {
    return m_elements.IsEmpty() ? nullptr : m_elements[m_elements.GetSize() - 1];
}

bool CAlntV::checkIfOk(int, int, const CAlntVe&) const {
    return true;
}

// Indexes outside the list are refused (false, nothing changed) rather than left to corrupt
// the list.
bool CAlntV::appendElement(const CAlntVe& ve) {
    const int count = m_elements.GetSize();
    if (!checkIfOk(count - 1, -1, ve)) return false;
    doVPostUpdate(m_elements.Add(ve.clone()));
    return true;
}

bool CAlntV::insertElement(int i, const CAlntVe& ve) {
    if (i < 0 || i > m_elements.GetSize()) return false;
    if (!checkIfOk(i - 1, i, ve)) return false;
    doInsertVe(i, ve.clone());
    return true;
}

bool CAlntV::replaceElement(int i, const CAlntVe& ve) {
    if (i < 0 || i >= m_elements.GetSize()) return false;
    if (!checkIfOk(i - 1, i + 1, ve)) return false;
    CAlntVe* old = m_elements[i];
    m_elements.SetAt(i, ve.clone());
    delete old;
    doVPostUpdate(i);
    return true;
}

bool CAlntV::removeVe(int i) {
    if (i < 0 || i >= m_elements.GetSize()) return false;
    delete m_elements[i];
    m_elements.RemoveAt(i);
    m_search.invalidate();
    invalidateTotalHLength();
    if (!m_elements.IsEmpty()) doVPostUpdate(i > 0 ? i - 1 : 0);
    return true;
}

void CAlntV::removeAllVes() {
    for (int i = 0; i < m_elements.GetSize(); ++i)
        delete m_elements[i];
    m_elements.RemoveAll();
    m_search.invalidate();
    invalidateTotalHLength();
}

void CAlntV::doInsertVe(int i, CAlntVe* ve) {
    m_elements.InsertAt(i, ve);
    doVPostUpdate(i);
}

void CAlntV::internal_updateElementId(int i, int id) {
    m_elements[i]->internal_updateObjId(id);
}

void CAlntV::doVPostUpdate(int i) {
    m_search.invalidate();
    if (isInBulkUpdate()) return;
    invalidateTotalHLength();
    const int count = m_elements.GetSize();
    if (i >= count) return;
    // Starting one element early lets the element before the change learn its new successor.
    const int k = i > 0 ? i - 1 : 0;
    if (k == 0) m_elements[0]->setStartHtAndChain(m_startHt, getStartChainageInM());
    for (int j = k; j < count; ++j) {
        const CAlntVe* prev = j > 0 ? m_elements[j - 1] : nullptr;
        const CAlntVe* next = j + 1 < count ? m_elements[j + 1] : nullptr;
        m_elements[j]->onNeighbourUpdate(prev, next);
    }
}

const CAlntVe* CAlntV::getAlntVeAtChain(double ch, double* s) const {
    if (m_elements.IsEmpty()) return nullptr;
    const int i = m_search.find(m_elements, ch);
    if (i < 0) return nullptr;
    const CAlntVe* ve = m_elements[i];
    double start = 0.0, len = 0.0;
    ve->getStartChainageInM(start);
    if (!ve->getHLengthInM(len)) return nullptr;
    const double d = ch - start;
    if (d >= len + roadTolerance) return nullptr;
    if (s != nullptr) *s = d;
    return ve;
}

bool CAlntV::getHeightAtChain(double ch, double& h) const {
    double s = 0.0;
    const CAlntVe* ve = getAlntVeAtChain(ch, &s);
    return ve != nullptr && ve->getHtAtLen(s, h) == ecOk;
}

bool CAlntV::getGradeAtChainage(double ch, double& g) const {
    double s = 0.0;
    const CAlntVe* ve = getAlntVeAtChain(ch, &s);
    return ve != nullptr && ve->getGradeAtLength(s, g);
}

bool CAlntV::getHeightAtChainExtr(double ch, double& h) const {
    if (getHeightAtChain(ch, h)) return true;
    double total = 0.0;
    if (!getTotalHLengthInM(total) || zel_math::isNearZero(total)) return false;
    const double start = getStartChainageInM();
    const double end = start + total;
    if (ch < end) {
        h = getStartPosH() - getFirstVe()->getStartGrade() * (start - ch) / 100.0;
        return true;
    }
    double finalHt = 0.0;
    if (!getFinalHeight(finalHt)) return false;
    h = finalHt + getLastVe()->getEndGrade() * (ch - end) / 100.0;
    return true;
}

bool CAlntV::getFinalHeight(double& h) const {
    const CAlntVe* last = getLastVe();
    if (last == nullptr) return false;
    h = last->getFinalHt();
    return true;
}
