#pragma once

#include <vector>

#include "velmorutils/alloc/CZelHeapObject.h"
#include "velmorutils/alloc/ZelDlAllocator.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/caches/CHtAndSts.h"
#include "velmorutils/zelmath/caches/CNodePosIndexes.h"
#include "velmorutils/zelmath/vertical/TVIpNode.h"

class CAlntVe;

/// A vertical alignment sampled into a profile polyline of heights with chainages: the height
/// at a chainage costs a bisection. Besides the samples it keeps the height range, the sample
/// indexes of the element boundaries and the VIP record of every element met while loading.
/// Whole alignments are loaded by CAlntHtPosCacheLoader.
/// Chainages, steps, heights and deviations in metres. Heights between samples are linear; loaded
/// for a deviation, the chord stays within maxDev metres of the profile in height.
class VELMORUTILS_API CAlntHtPosCache : public CHtAndSts, public CZelHeapObject {
public:
    using TVIpNodes = std::vector<TVIpNode, zel_mem::zel_dl_allocator<TVIpNode>>;

    CAlntHtPosCache() = default;
    CAlntHtPosCache(const CAlntHtPosCache&) = default;
    CAlntHtPosCache& operator=(const CAlntHtPosCache&) = default;
    ~CAlntHtPosCache() = default;

    /// One element: its start (a node) and whole steps inside it, not its end. A step finer
    /// than a millimetre or not finite is refused with false and an empty cache.
    bool loadNodesAndPosWithStep(const CAlntVe& ve, double step);
    /// One element: its start and deviation steps up to its end (a node). False when the
    /// element cannot give a height on the way.
    bool loadNodesAndPosForDeviation(const CAlntVe& ve, double maxDev);

    /// Stores a sample unless one is present at its chainage; the first sample sets the height
    /// range, later ones widen it. A node records the index of the sample at sts.
    void addHtAndSt(double ht, double sts, bool isNode);
    /// Records a VIP (chainages and heights in metres).
    void addVIpNode(const TVIpNode& vip) { m_vips.push_back(vip); }
    /// Empties samples, node indexes and VIP records and zeroes the height range.
    void clear();

    ///@{
    /// The samples, the sample indexes of the element boundaries, and the VIP records.
    const CHtAndSts& getHtAndSts() const { return *this; }
    const CNodePosIndexes& getNodePosIndexes() const { return m_nodes; }
    const TVIpNodes& getVIpNodes() const { return m_vips; }
    int getNumOfVIpNodes() const { return static_cast<int>(m_vips.size()); }
    ///@}
    ///@{
    /// Height range of the samples, metres (0 when empty).
    double getMinHeight() const { return m_minH; }
    double getMaxHeight() const { return m_maxH; }
    ///@}

    /// The element whose part of the profile holds sample posIndex (see CNodePosIndexes).
    int posIndex2AlntElementIndex(int posIndex) const {
        return m_nodes.posIndex2AlntElementIndex(posIndex);
    }

private:
    double m_minH = 0.0;
    double m_maxH = 0.0;
    CNodePosIndexes m_nodes;
    TVIpNodes m_vips;
};
