#pragma once

#include <vector>

#include "velmorutils/alloc/CZelHeapObject.h"
#include "velmorutils/alloc/ZelDlAllocator.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/caches/C2dPosAndSts.h"
#include "velmorutils/zelmath/caches/CNodePosIndexes.h"
#include "velmorutils/zelmath/caches/I2dPosUpdateCallback.h"
#include "velmorutils/zelmath/curves/TIpNodes.h"

class CAlntH;
class CAlntHe;

/// A horizontal alignment sampled once into a polyline of positions with chainages, so that
/// positions at a chainage cost a bisection and the part of the road nearest to a point costs
/// one pass over chords, without evaluating spirals and arcs. The cache is its own sample
/// sequence; besides it keeps the plane extents of the samples, the sample indexes of the
/// element boundaries and the key points of every curve at an intersection point. It keeps no
/// link to the alignment: after a change the caller loads it again.
/// Units: chainages, steps, deviations and positions in metres; positions world north, east.
///
/// Accuracy of what it answers: positions come from chords. Loaded for a deviation maxDev, every
/// chord stays within maxDev of the true curve (arcs are judged by their middle ordinate; chords
/// are also limited to an arc of pi/16). Loaded with a fixed step on a curve of radius R, a chord
/// deviates by about step^2 / (8 R) (20 m on R = 200: 0.25 m). Refine on the element itself
/// (posIndex2AlntElementIndex(), then CAlntHe::getShortestDistAndCurveLen()) where it matters.
class VELMORUTILS_API CAlnt2dPosCache : public C2dPosAndSts, public CZelHeapObject {
public:
    using TIpNodesArray = std::vector<TIpNodes, zel_mem::zel_dl_allocator<TIpNodes>>;

    CAlnt2dPosCache() = default;
    CAlnt2dPosCache(const CAlnt2dPosCache&) = default;
    CAlnt2dPosCache& operator=(const CAlnt2dPosCache&) = default;
    ~CAlnt2dPosCache() = default;

    /// Each loader empties the cache first. True when the walk ended normally; false when the
    /// alignment is empty or an element could not give its position, length or chainage, with
    /// the samples stored up to then kept.
    /// Samples only the start and the end of every element.
    bool loadOnlyNodes(const CAlntH& alnt);
    /// A step finer than a millimetre (the walk's snap distance) or not finite is refused
    /// with false and an empty cache: it could only stall the walk. A deviation needs no such
    /// guard, since steps below a millimetre make the walk leave the element.
    /// Element boundaries plus points every `step` metres from each element's start; a step landing
    /// within 0.001 m of an element's end jumps to that end.
    bool loadNodesAndPosWithStep(const CAlntH& alnt, double step);
    /// Element boundaries plus points spaced so that each chord stays within maxDev metres of the
    /// element (the elements' getStepForDeviation()).
    bool loadNodesAndPosForDeviation(const CAlntH& alnt, double maxDev);
    /// One element: its start (a node) and points every `step` metres; its end is not added.
    bool loadNodesAndPosWithStep(const CAlntHe& el, double step);
    /// One element: its start and deviation steps up to its end (a node).
    bool loadNodesAndPosForDeviation(const CAlntHe& el, double maxDev);

    /// Passes every sample, then the IP, TS, SC and CS of every IP record, through cb and
    /// recomputes the extents. The first false stops it with false; what was moved stays moved.
    /// Chainages do not change.
    bool updatePositions(I2dPosUpdateCallback& cb);

    /// Stores a sample unless one is present at its chainage; the first sample sets the
    /// extents, later ones widen them. A node records the index of the sample at sts (new or
    /// already present).
    void addPosAndSt(const C2dPos& pos, double sts, bool isNode);
    /// Empties samples, node indexes and IP records and zeroes the extents.
    void clear();

    ///@{
    /// The samples, the sample indexes of the element boundaries, and the TS, SC, CS and IP points
    /// (metres) of every IP curve met while loading.
    const C2dPosAndSts& getPosAndSts() const { return *this; }
    const CNodePosIndexes& getNodePosIndexes() const { return m_nodes; }
    const TIpNodesArray& getIpNodes() const { return m_ipNodes; }
    int getNumOfIpNodes() const { return static_cast<int>(m_ipNodes.size()); }
    ///@}
    ///@{
    /// Plane extents of the samples, metres (0 when empty).
    double getMinNorth() const { return m_minN; }
    double getMaxNorth() const { return m_maxN; }
    double getMinEast() const { return m_minE; }
    double getMaxEast() const { return m_maxE; }
    ///@}

    /// The element whose part of the polyline holds sample posIndex (see CNodePosIndexes).
    int posIndex2AlntElementIndex(int posIndex) const {
        return m_nodes.posIndex2AlntElementIndex(posIndex);
    }

private:
    void widenExtents(const C2dPos& p, bool first);
    void collectIpNodes(const CAlntHe& el);
    template <class NextStep>
    bool walk(const CAlntH& alnt, NextStep nextStep);

    double m_minN = 0.0;
    double m_maxN = 0.0;
    double m_minE = 0.0;
    double m_maxE = 0.0;
    CNodePosIndexes m_nodes;
    TIpNodesArray m_ipNodes;
};
