#include "velmorutils/zelmath/alignment/CAlntH.h"

#include <cmath>

#include "velmorutils/inlines/CObjId2ObjIdMap.h"
#include "velmorutils/utils/ReportAssertion.h"
#include "velmorutils/zelmath/alignment/AlntEvaluation.h"
#include "velmorutils/zelmath/alignment/CAlntHeArc.h"
#include "velmorutils/zelmath/alignment/CAlntHeIp.h"
#include "velmorutils/zelmath/alignment/CAlntHeSpiral.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/cogo/PlaneCogo.h"
#include "zelmath/primitives/LineIntersection.h"

namespace {

constexpr const char* kSource = "zelmath/mathAlnts";
constexpr int kLineStartPtNotMapped = 996;
constexpr int kLineIpPtNotMapped = 1007;
constexpr int kLineIpIdNotReplaced = 1013;
constexpr int kLineIpNotMoved = 981;

// A point off the centre line by no more than this needs no side.
constexpr double kSideTolerance = 0.01;

}  // namespace

// ---- construction and copying ----

CAlntH::CAlntH(const CAlntH& o) : CAlntBase() {
    copy(o);
}

CAlntH::CAlntH(const CAlntH& o, int objId) : CAlntBase() {
    copy(o);
    setObjId(objId);
}

CAlntH& CAlntH::operator=(const CAlntH& o) {
    copy(o);
    return *this;
}

CAlntH::~CAlntH() {
    removeAllHes();
}

void CAlntH::copy(const CAlntH& o) {
    if (this == &o) return;
    removeAllHes();
    CAlntBase::copy(o);
    m_startN = o.m_startN;
    m_startE = o.m_startE;
    m_startPtId = o.m_startPtId;
    for (int i = 0; i < o.m_elements.GetSize(); ++i)
        m_elements.Add(o.m_elements[i]->clone());
    onElementsChanged();
}

// ---- chaining ----

void CAlntH::doHPostUpdate(int from) {
    onElementsChanged();
    if (isInBulkUpdate()) return;
    invalidateTotalHLength();
    const int count = m_elements.GetSize();
    if (count <= from) return;
    // Starting one early lets an IP element before the change see its new successor.
    for (int k = from > 0 ? from - 1 : from; k < count; ++k)
        m_elements[k]->onSetIndex(*this, k);
    onElementsChanged();
}

bool CAlntH::doObtainTotalHLength(double& len) const {
    len = 0.0;
    for (int i = 0; i < m_elements.GetSize(); ++i) {
        double l = 0.0;
        if (!m_elements[i]->getHLengthInM(l)) return false;
        len += l;
    }
    return true;
}

// ---- changes ----

void CAlntH::setStartChainageInM(double c) {
    CAlntBase::setStartChainageInM(c);
    doHPostUpdate(0);
}

void CAlntH::onBulkUpdateFinished() {
    CAlntBase::onBulkUpdateFinished();
    if (m_elements.GetSize() > 0) doHPostUpdate(0);
}

void CAlntH::setStartPos(double n, double e, double /*h: a plan alignment has no height*/) {
    m_startN = n;
    m_startE = e;
    if (m_elements.GetSize() > 0) doHPostUpdate(0);
}

void CAlntH::setStartPt(int ptId, double n, double e, double h) {
    m_startPtId = ptId;
    setStartPos(n, e, h);
}

bool CAlntH::appendElement(const CAlntHe& he) {
    if (!he.isok()) return false;
    const int index = m_elements.Add(he.clone());
    doHPostUpdate(index);
    return true;
}

bool CAlntH::insertElement(int index, const CAlntHe& he) {
    if (!he.isok()) return false;
    doInsertHe(index, he.clone());
    return true;
}

bool CAlntH::replaceElement(int index, const CAlntHe& he) {
    if (!he.isok()) return false;
    // Clone before deleting: he may be the very element being replaced.
    CAlntHe* fresh = he.clone();
    CAlntHe* old = m_elements[index];
    m_elements.SetAt(index, fresh);
    delete old;
    doHPostUpdate(index);
    return true;
}

bool CAlntH::removeHe(int index) {
    CAlntHe* old = m_elements[index];
    m_elements.RemoveAt(index);
    delete old;
    onElementsChanged();
    // Also when the last element goes: the cached length must not outlive it.
    invalidateTotalHLength();
    if (m_elements.GetSize() > 0) doHPostUpdate(index < 1 ? 0 : index - 1);
    return true;
}

void CAlntH::removeAllHes() {
    for (int i = 0; i < m_elements.GetSize(); ++i)
        delete m_elements[i];
    m_elements.RemoveAll();
    invalidateTotalHLength();
    onElementsChanged();
}

void CAlntH::doInsertHe(int i, CAlntHe* he) {
    m_elements.InsertAt(i, he);
    doHPostUpdate(i);
}

void CAlntH::internal_updateElementId(int i, int id) {
    m_elements[i]->internal_updateObjId(id);
}

// ---- queries ----

const CAlntHe* CAlntH::getFirstHe() const {
    return m_elements.GetSize() > 0 ? m_elements[0] : nullptr;
}

const CAlntHe* CAlntH::getLastHe() const {
    const int count = m_elements.GetSize();
    return count > 0 ? m_elements[count - 1] : nullptr;
}

bool CAlntH::hasRefToPoint(int ptId) const {
    if (ptId == 0) return false;
    if (ptId == m_startPtId) return true;
    for (int i = 0; i < m_elements.GetSize(); ++i) {
        const CAlntHeIp* ip = CAlntHeIp::cast(m_elements[i]);
        if (ip != nullptr && ip->get_data().getPointID() == ptId) return true;
    }
    return false;
}

bool CAlntH::getFinalPosNe(double& n, double& e) const {
    const CAlntHe* last = getLastHe();
    if (last == nullptr) {
        n = m_startN;
        e = m_startE;
        return true;
    }
    return last->getFinalPosNe(n, e);
}

// The element that holds `chain` is the last one whose start chainage is at or before it, so
// that at a shared boundary (and across zero-length elements) the later element answers; before
// the first start, the first element answers. A start chainage that is unset anywhere from the
// end back to the answer makes the search fail.
const CAlntHe* CAlntH::getAlntHeAtChain(double chain, double* dist) const {
    const int index = m_search.find(m_elements, chain);
    if (index < 0) return nullptr;
    const CAlntHe* he = m_elements[index];
    double len = 0.0;
    if (!he->getHLengthInM(len)) return nullptr;
    double start = 0.0;
    he->getStartChainageInM(start);
    const double d = chain - start;
    if (d > len + roadTolerance) return nullptr;
    if (dist != nullptr) *dist = d;
    return he;
}

bool CAlntH::getPosNeAtChain(double chain, double& n, double& e) const {
    double d = 0.0;
    const CAlntHe* he = getAlntHeAtChain(chain, &d);
    return he != nullptr && he->getPosNeAtLength(d, n, e);
}

bool CAlntH::getAzimuthAtChain(double chain, double& az) const {
    double d = 0.0;
    const CAlntHe* he = getAlntHeAtChain(chain, &d);
    return he != nullptr && he->getAzimuthAtLength(d, az);
}

bool CAlntH::getCurvatureAtChainage(double chain, double& k) const {
    double d = 0.0;
    const CAlntHe* he = getAlntHeAtChain(chain, &d);
    return he != nullptr && he->getCurvatureAtLength(d, k);
}

bool CAlntH::getPosNeAtChainExtr(double chain, double& n, double& e) const {
    return getPosNeAtChainAndOffsetExtr(chain, 0.0, n, e);
}

bool CAlntH::getPosNeAtChainAndOffsetExtr(double chain, double off, double& n, double& e) const {
    double pn = 0.0;
    double pe = 0.0;
    double az = 0.0;
    if (getPosNeAtChain(chain, pn, pe)) {
        if (!getAzimuthAtChain(chain, az)) return false;
    } else if (!alntEndTangentAt(*this, chain, pn, pe, az)) {
        return false;
    }
    CAlntHe::applyOffset(pn, pe, az, off, n, e);
    return true;
}

bool CAlntH::getAzimuthAtChainExtr(double chain, double& az) const {
    if (getAzimuthAtChain(chain, az)) return true;
    double n = 0.0;
    double e = 0.0;
    return alntEndTangentAt(*this, chain, n, e, az);
}

bool CAlntH::FindChainageAndOffset(double n, double e, double& chain, double& off) const {
    const int count = m_elements.GetSize();
    if (count == 0) return false;
    chain = 0.0;
    off = 0.0;
    int best = 0;
    bool found = false;
    for (int i = 0; i < count; ++i) {
        double dist = 0.0;
        double len = 0.0;
        if (!m_elements[i]->getShortestDistAndCurveLen(n, e, dist, len)) continue;
        // A later element wins a near tie: at a joint the point belongs to what follows.
        if (!found || dist <= off + roadTolerance) {
            chain = len;
            off = dist;
            best = i;
            found = true;
        }
    }
    const CAlntHe* he = m_elements[best];
    double start = 0.0;
    if (!he->getStartChainageInM(start)) return false;
    if (!found) {
        chain = start;
        off = 0.0;
        return true;
    }
    const double len = chain;
    chain = len + start;
    if (off <= kSideTolerance) return true;

    double pn = 0.0;
    double pe = 0.0;
    double az = 0.0;
    if (!he->getPosNeAtLength(len, pn, pe) || !he->getAzimuthAtLength(len, az)) return true;
    // Only a point square to the element (within a degree) has a chainage and offset on it.
    const double bearing = GetRefAziPts(e - pe, n - pn);
    double a = std::fmod(std::fabs(bearing - az), 360.0);
    if (a > 180.0) a -= 180.0;
    if (a <= 89.0 || a >= 91.0) return false;
    double across = 0.0;
    double along = 0.0;
    double height = 0.0;
    dENSoutInfo(e - pe, n - pn, 0.0, az, &across, &along, &height);
    if (across < 0.0) off = -off;
    return true;
}

// ---- intersection points ----

namespace {

// A tangent-to-curve spiral that ends on the arc's radius leads into the arc, unless the arc's
// start azimuth is held fixed (then the two are not chained as one curve).
bool leadsInto(const CAlntHeSpiral* spiral, const CAlntHeArc* arc) {
    if (spiral == nullptr || arc == nullptr) return false;
    const CCurveDataSpiral& s = spiral->get_data().get_data();
    if (!s.isTSSC() || arc->hasFixedStartAzimuth()) return false;
    return zel_math::isNearZero(s.getRadius() - arc->get_data().get_data().getRadius());
}

bool leadsOutOf(const CAlntHeSpiral* spiral, const CAlntHeArc* arc) {
    if (spiral == nullptr || arc == nullptr) return false;
    const CCurveDataSpiral& s = spiral->get_data().get_data();
    if (!s.isCSST() || spiral->hasFixedStartAzimuth()) return false;
    return zel_math::isNearZero(s.getRadius() - arc->get_data().get_data().getRadius());
}

// The IP of a curve: where the start tangent of `first` meets the end tangent of `last`.
bool tangentIntersection(const CAlntHe& first, const CAlntHe& last, double& n, double& e) {
    double n1 = 0.0;
    double e1 = 0.0;
    double n2 = 0.0;
    double e2 = 0.0;
    CMathAngle a1;
    CMathAngle a2;
    if (!first.getStartPosNe(n1, e1) || !last.getFinalPosNe(n2, e2)) return false;
    first.getStartAzimut(a1);
    if (!last.getFinalAzimut(a2)) return false;
    const C2dPos d1 = a1.getDir();
    double t = 0.0;
    double tLast = 0.0;
    if (!IntersectLines(C2dPos(n1, e1), d1, C2dPos(n2, e2), a2.getDir(), t, tLast)) return false;
    n = n1 + t * d1.north;
    e = e1 + t * d1.east;
    return true;
}

}  // namespace

bool CAlntH::getIpPosForElement(int i, double& n, double& e) const {
    const int count = m_elements.GetSize();
    auto arcAt = [&](int k) {
        return k >= 0 && k < count ? CAlntHeArc::cast(m_elements[k]) : nullptr;
    };
    auto spiralAt = [&](int k) {
        return k >= 0 && k < count ? CAlntHeSpiral::cast(m_elements[k]) : nullptr;
    };
    const CAlntHe* he = m_elements[i];

    if (const CAlntHeIp* ip = CAlntHeIp::cast(he)) {
        n = ip->get_data().getIpNorth();
        e = ip->get_data().getIpEast();
        return true;
    }
    if (const CAlntHeArc* arc = CAlntHeArc::cast(he)) {
        const CAlntHeSpiral* in = spiralAt(i - 1);
        const CAlntHeSpiral* out = spiralAt(i + 1);
        const CAlntHe* first = leadsInto(in, arc) ? static_cast<const CAlntHe*>(in) : arc;
        const CAlntHe* last = leadsOutOf(out, arc) ? static_cast<const CAlntHe*>(out) : arc;
        return tangentIntersection(*first, *last, n, e);
    }
    const CAlntHeSpiral* spiral = CAlntHeSpiral::cast(he);
    if (spiral == nullptr) return false;
    if (spiral->get_data().get_data().isTSSC()) {
        const CAlntHeArc* arc = arcAt(i + 1);
        if (!leadsInto(spiral, arc)) return false;
        const CAlntHeSpiral* out = spiralAt(i + 2);
        const CAlntHe* last = leadsOutOf(out, arc) ? static_cast<const CAlntHe*>(out) : arc;
        return tangentIntersection(*spiral, *last, n, e);
    }
    const CAlntHeArc* arc = arcAt(i - 1);
    if (!leadsOutOf(spiral, arc)) return false;
    const CAlntHeSpiral* in = spiralAt(i - 2);
    const CAlntHe* first = leadsInto(in, arc) ? static_cast<const CAlntHe*>(in) : arc;
    return tangentIntersection(*first, *spiral, n, e);
}

// ---- ids and points of the caller's data base ----

void CAlntH::convertIds(const CObjId2ObjIdMap& map) {
    if (m_startPtId != 0) {
        m_startPtId = map.src2trg(m_startPtId);
        if (m_startPtId == 0) ReportAssertion(kSource, kLineStartPtNotMapped);
    }
    for (int i = 0; i < m_elements.GetSize(); ++i) {
        const CAlntHeIp* ip = CAlntHeIp::cast(m_elements[i]);
        if (ip == nullptr || ip->get_data().getPointID() == 0) continue;
        const int target = map.src2trg(ip->get_data().getPointID());
        if (target == 0) ReportAssertion(kSource, kLineIpPtNotMapped);
        CAlntHeIp copy(*ip);
        copy.get_data().setPointID(target);
        if (!replaceElement(i, copy)) ReportAssertion(kSource, kLineIpIdNotReplaced);
    }
}

void CAlntH::refreshPtCoords(int ptId, double n, double e, double h) {
    if (ptId == 0) return;
    bool changed = false;
    if (ptId == m_startPtId) {
        beginBulkUpdate();
        changed = true;
        setStartPt(ptId, n, e, h);
    }
    for (int i = 0; i < m_elements.GetSize(); ++i) {
        const CAlntHeIp* ip = CAlntHeIp::cast(m_elements[i]);
        if (ip == nullptr || ip->get_data().getPointID() != ptId) continue;
        double ipN = 0.0;
        double ipE = 0.0;
        double lenIn = 0.0;
        double radius = 0.0;
        double lenOut = 0.0;
        ip->get_data().getIpElement(ipN, ipE, lenIn, radius, lenOut);
        if (zel_math::isNearZero(ipN - n) && zel_math::isNearZero(ipE - e)) continue;
        CAlntHeIp copy(*ip);
        if (!copy.get_data().setIp(n, e, lenIn, radius, lenOut)) {
            ReportAssertion(kSource, kLineIpNotMoved);
            continue;
        }
        if (!changed) {
            beginBulkUpdate();
            changed = true;
        }
        if (!replaceElement(i, copy)) ReportAssertion(kSource, kLineIpNotMoved);
    }
    // One re-chaining for all the moves.
    if (changed) onBulkUpdateFinished();
}
