#include "velmorutils/zelmath/caches/CAlntHtPosCache.h"

#include <cmath>

#include "velmorutils/zelmath/vertical/CAlntVe.h"

void CAlntHtPosCache::clear() {
    RemoveAll();
    m_nodes.RemoveAll();
    m_vips.clear();
    m_minH = m_maxH = 0.0;
}

void CAlntHtPosCache::addHtAndSt(double ht, double sts, bool isNode) {
    const bool first = IsEmpty();
    bool inserted = false;
    const int at = addSorted(CHtAndSt{ht, sts}, inserted);
    if (inserted) {
        if (first) {
            m_minH = m_maxH = ht;
        } else {
            if (ht < m_minH) m_minH = ht;
            if (ht > m_maxH) m_maxH = ht;
        }
    }
    if (isNode) m_nodes.Add(at);
}

bool CAlntHtPosCache::loadNodesAndPosWithStep(const CAlntVe& ve, double step) {
    clear();
    if (!std::isfinite(step) || step < 0.001) return false;
    double c = 0.0, len = 0.0, h = 0.0;
    if (!ve.isok() || !ve.getStartChainageInM(c) || !ve.getHLengthInM(len)) return false;
    if (!ve.getHtAtChain(c, h)) return false;
    addHtAndSt(h, c, true);
    // Only whole steps inside the element: its end is not a sample of this loader.
    const double end = c + len;
    for (;;) {
        c += step;
        if (c >= end) return true;
        if (!ve.getHtAtChain(c, h)) return false;
        addHtAndSt(h, c, false);
    }
}

bool CAlntHtPosCache::loadNodesAndPosForDeviation(const CAlntVe& ve, double maxDev) {
    clear();
    double c = 0.0, len = 0.0, h = 0.0;
    if (!ve.isok() || !ve.getStartChainageInM(c) || !ve.getHLengthInM(len)) return false;
    if (!ve.getHtAtChain(c, h)) return false;
    addHtAndSt(h, c, true);
    const double end = c + len;
    while (!zel_math::isNearZero(c - end) && c < end) {
        const double next = c + ve.getStepForDeviation(c, maxDev);
        // A step that does not move on would repeat for ever; only a faulty curve gives one.
        if (!(next > c) || !ve.getHtAtChain(next, h)) return false;
        c = next;
        addHtAndSt(h, c, zel_math::isNearZero(c - end));
    }
    return true;
}
