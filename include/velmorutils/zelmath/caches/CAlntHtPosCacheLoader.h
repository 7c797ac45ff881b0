#pragma once

#include <cmath>

#include "velmorutils/zelmath/caches/CAlntHtPosCache.h"
#include "velmorutils/zelmath/caches/TAlntElWalkerT.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"
#include "velmorutils/zelmath/vertical/TVIpNode.h"

/// Reaches the vertical elements of a combined alignment (CAlnt) or a bare one (CAlntV).
template <class T>
struct TAlntVeWalkerAccess {
    ///@{
    /// How the walker reaches the vertical elements: their number and element i.
    static int count(const T& alnt) { return alnt.getNumOfVes(); }
    static const CAlntVe* element(const T& alnt, int i) { return alnt.getVe(i); }
    ///@}
};

/// Fills a height cache from the vertical elements of T (CAlnt or CAlntV). The walks are those
/// of the plane cache: every element start is a node, steps snap to an element end within a
/// millimetre, the end of the last element is the final node, and each element entered gives
/// its VIP record when it has one. Each load empties the cache first; false when the profile
/// is empty or an element cannot give its length, chainage or height, keeping the samples
/// stored up to then.
template <class T>
class CAlntHtPosCacheLoader {
public:
    using Walker = TAlntElWalkerT<T, CAlntVe, TAlntVeWalkerAccess<T>>;

    /// Samples only the start height and the end of every element (chainages, heights in metres).
    static bool loadOnlyNodes(CAlntHtPosCache& cache, const T& alnt) {
        cache.clear();
        double c = alnt.getStartChainageInM();
        cache.addHtAndSt(alnt.getStartPosH(), c, true);
        if (alnt.getNumOfVes() == 0) return false;
        for (int i = 0; i < alnt.getNumOfVes(); ++i) {
            const CAlntVe* ve = alnt.getVe(i);
            double len = 0.0;
            if (ve == nullptr || !ve->getHLengthInM(len)) return false;
            c += len;
            cache.addHtAndSt(ve->getFinalHt(), c, true);
        }
        return true;
    }

    /// Element boundaries plus points every `step` metres from each element start. A step finer
    /// than a millimetre (the walk's snap distance) or not finite is refused.
    static bool loadNodesAndPosWithStep(CAlntHtPosCache& cache, const T& alnt, double step) {
        cache.clear();
        if (!std::isfinite(step) || step < 0.001) return false;
        return walk(cache, alnt, [step](const Walker&) { return step; });
    }

    /// Element boundaries plus points spaced so that each chord stays within maxDev metres (height)
    /// of the profile.
    static bool loadNodesAndPosForDeviation(CAlntHtPosCache& cache, const T& alnt, double maxDev) {
        cache.clear();
        return walk(cache, alnt, [maxDev](const Walker& w) { return deviationStep(w, maxDev); });
    }

private:
    template <class NextStep>
    static bool walk(CAlntHtPosCache& cache, const T& alnt, NextStep nextStep) {
        Walker walker(alnt);
        return walkAlignment(
            walker, nextStep,
            [&cache](const CAlntVe& ve) {
                TVIpNode vip;
                if (getVIp(ve, vip)) cache.addVIpNode(vip);
            },
            [&cache](const Walker& w) {
                double h = 0.0;
                if (!w.getElement()->getHtAtChain(w.getChainage(), h)) return false;
                cache.addHtAndSt(h, w.getChainage(), w.isAtNode());
                return true;
            });
    }
};
