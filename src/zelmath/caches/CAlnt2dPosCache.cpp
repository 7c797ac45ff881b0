#include "velmorutils/zelmath/caches/CAlnt2dPosCache.h"

#include <cmath>

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/alignment/CAlntHeIp.h"
#include "velmorutils/zelmath/caches/CAlntHeWalker.h"

namespace {

// The walk snaps to an element end within a millimetre; a finer step could only stall it.
bool isUsableStep(double step) {
    return std::isfinite(step) && step >= 0.001;
}

}  // namespace

void CAlnt2dPosCache::clear() {
    RemoveAll();
    m_nodes.RemoveAll();
    m_ipNodes.clear();
    m_minN = m_maxN = m_minE = m_maxE = 0.0;
}

void CAlnt2dPosCache::widenExtents(const C2dPos& p, bool first) {
    if (first) {
        m_minN = m_maxN = p.north;
        m_minE = m_maxE = p.east;
        return;
    }
    if (p.north < m_minN) m_minN = p.north;
    if (p.north > m_maxN) m_maxN = p.north;
    if (p.east < m_minE) m_minE = p.east;
    if (p.east > m_maxE) m_maxE = p.east;
}

void CAlnt2dPosCache::addPosAndSt(const C2dPos& pos, double sts, bool isNode) {
    const bool first = IsEmpty();
    bool inserted = false;
    const int at = addSorted(C2dPosAndSt{pos, sts}, inserted);
    if (inserted) widenExtents(pos, first);
    if (isNode) m_nodes.Add(at);
}

void CAlnt2dPosCache::collectIpNodes(const CAlntHe& el) {
    const CAlntHeIp* ip = CAlntHeIp::cast(&el);
    if (ip == nullptr || ip->get_data().isSimplePoint()) return;
    TIpNodes nodes;
    ip->get_data().getIpNodes(nodes);
    m_ipNodes.push_back(nodes);
}

bool CAlnt2dPosCache::loadOnlyNodes(const CAlntH& alnt) {
    clear();
    double c = alnt.getStartChainageInM();
    addPosAndSt(C2dPos(alnt.getStartPosN(), alnt.getStartPosE()), c, true);
    // Like every loader, an empty alignment is a failed load; its start point stays stored.
    if (alnt.getNumOfHes() == 0) return false;
    for (int i = 0; i < alnt.getNumOfHes(); ++i) {
        const CAlntHe* el = alnt.getHe(i);
        double n = 0.0, e = 0.0, len = 0.0;
        if (el == nullptr || !el->getFinalPosNe(n, e) || !el->getHLengthInM(len)) return false;
        c += len;
        addPosAndSt(C2dPos(n, e), c, true);
    }
    return true;
}

template <class NextStep>
bool CAlnt2dPosCache::walk(const CAlntH& alnt, NextStep nextStep) {
    CAlntHeWalker walker(alnt);
    return walkAlignment(
        walker, nextStep, [this](const CAlntHe& el) { collectIpNodes(el); },
        [this](const CAlntHeWalker& w) {
            double n = 0.0, e = 0.0;
            if (!w.getElement()->getPosNeAtChain(w.getChainage(), n, e)) return false;
            addPosAndSt(C2dPos(n, e), w.getChainage(), w.isAtNode());
            return true;
        });
}

bool CAlnt2dPosCache::loadNodesAndPosWithStep(const CAlntH& alnt, double step) {
    clear();
    if (!isUsableStep(step)) return false;
    return walk(alnt, [step](const CAlntHeWalker&) { return step; });
}

bool CAlnt2dPosCache::loadNodesAndPosForDeviation(const CAlntH& alnt, double maxDev) {
    clear();
    return walk(alnt, [maxDev](const CAlntHeWalker& w) { return deviationStep(w, maxDev); });
}

bool CAlnt2dPosCache::loadNodesAndPosWithStep(const CAlntHe& el, double step) {
    clear();
    if (!isUsableStep(step)) return false;
    double c = 0.0, len = 0.0, n = 0.0, e = 0.0;
    if (!el.isok() || !el.getStartChainageInM(c) || !el.getHLengthInM(len)) return false;
    if (!el.getStartPosNe(n, e)) return false;
    addPosAndSt(C2dPos(n, e), c, true);
    // Only whole steps inside the element: its end point is not a sample of this loader.
    const double end = c + len;
    for (;;) {
        c += step;
        if (c >= end) return true;
        if (!el.getPosNeAtChain(c, n, e)) return false;
        addPosAndSt(C2dPos(n, e), c, false);
    }
}

bool CAlnt2dPosCache::loadNodesAndPosForDeviation(const CAlntHe& el, double maxDev) {
    clear();
    double c = 0.0, len = 0.0, n = 0.0, e = 0.0;
    if (!el.isok() || !el.getStartChainageInM(c) || !el.getHLengthInM(len)) return false;
    if (!el.getStartPosNe(n, e)) return false;
    addPosAndSt(C2dPos(n, e), c, true);
    const double end = c + len;
    while (!zel_math::isNearZero(c - end) && c < end) {
        const double next = el.getNextPosForDeviation(c, maxDev, n, e);
        // A step that does not move on would repeat for ever; only a faulty curve gives one.
        if (!(next > c)) return false;
        c = next;
        addPosAndSt(C2dPos(n, e), c, zel_math::isNearZero(c - end));
    }
    return true;
}

bool CAlnt2dPosCache::updatePositions(I2dPosUpdateCallback& cb) {
    for (int i = 0; i < GetSize(); ++i) {
        C2dPos& p = itemAt(i).pos;
        if (!cb.updatePos(p.north, p.east)) return false;
        widenExtents(p, i == 0);
    }
    for (TIpNodes& rec : m_ipNodes) {
        for (C2dPos* p : {&rec.ip, &rec.ts, &rec.sc, &rec.cs}) {
            if (!cb.updatePos(p->north, p->east)) return false;
        }
    }
    return true;
}
