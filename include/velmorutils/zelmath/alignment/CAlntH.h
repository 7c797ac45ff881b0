#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntHe.h"
#include "velmorutils/zelmath/vertical/CAlntBase.h"
#include "velmorutils/zelmath/vertical/CPtrArrayT.h"
#include "velmorutils/zelmath/vertical/TStartChainageSearch.h"

class CObjId2ObjIdMap;

/// The horizontal alignment of a road: an owned, ordered chain of horizontal elements that
/// starts at a given point and chainage. After every change (outside bulk update) the elements
/// from one before the change onwards are re-chained, so that each starts where its
/// predecessor ends. The alignment stores clones of the elements it is given.
///
/// Units and frame: chainages, lengths, offsets and positions in metres; positions are world grid
/// north, east; azimuths in degrees clockwise from north; offsets positive to the right of
/// increasing chainage. A chainage may lie up to 0.001 m (roadTolerance) past the last element
/// and still be on the alignment; the ...Extr queries extrapolate along the end tangents instead.
class VELMORUTILS_API CAlntH : public CAlntBase {
public:
    CAlntH() = default;
    /// With the caller's object id (0: none).
    explicit CAlntH(int objId) : CAlntBase(objId) {}
    CAlntH(const CAlntH& o);
    /// A copy of o with the caller's object id objId.
    CAlntH(const CAlntH& o, int objId);
    CAlntH& operator=(const CAlntH& o);
    ~CAlntH() override;

    /// Takes o's base fields, start point and clones of its elements as they are chained.
    void copy(const CAlntH& o);

    /// Chainage of the start point, metres; re-chains all elements.
    void setStartChainageInM(double c) override;
    /// Ends a bulk update and re-chains all elements once.
    void onBulkUpdateFinished() override;
    /// Maps the start point id and the IP point ids into another data base (an id without a target
    /// becomes 0 and is reported).
    void convertIds(const CObjId2ObjIdMap& map) override;

    /// Tangent azimuth (degrees) at a chainage on the alignment; false off it.
    virtual bool getAzimuthAtChain(double chain, double& az) const;
    /// The same, beyond the ends the start or end tangent's azimuth.
    virtual bool getAzimuthAtChainExtr(double chain, double& az) const;
    /// Start point, north and east in metres (h, a height, is kept by CAlnt only); re-chains.
    virtual void setStartPos(double n, double e, double h);
    /// Start point with the caller's point id.
    virtual void setStartPt(int ptId, double n, double e, double h);
    /// Appends a clone of he and re-chains; false (nothing stored) when he is not valid.
    virtual bool appendElement(const CAlntHe& he);
    /// Inserts a clone of he before index (0 to count) and re-chains; false when he is not valid.
    virtual bool insertElement(int index, const CAlntHe& he);
    /// Replaces element index (0 to count - 1) by a clone of he and re-chains; false when not
    /// valid.
    virtual bool replaceElement(int index, const CAlntHe& he);
    /// Removes and deletes element index and re-chains.
    virtual bool removeHe(int index);

    ///@{
    /// Number of elements.
    int getNumOfHes() const { return m_elements.GetSize(); }
    int getNumOfElements() const { return m_elements.GetSize(); }
    ///@}
    ///@{
    /// Element i (0 to count - 1, not checked).
    const CAlntHe* getHe(int i) const { return m_elements[i]; }
    const CAlntHe& getElement(int i) const { return *m_elements[i]; }
    ///@}
    ///@{
    /// First and last element; null when there is none.
    const CAlntHe* getFirstHe() const;
    const CAlntHe* getLastHe() const;
    ///@}
    /// The owned elements in order.
    const CPtrArrayT<CAlntHe>& getElements() const { return m_elements; }

    ///@{
    /// Start point, north and east in metres, and the caller's point id (0: none).
    double getStartPosN() const { return m_startN; }
    double getStartPosE() const { return m_startE; }
    int getStartPtId() const { return m_startPtId; }
    ///@}
    /// Whether the start point or an IP refers to the caller's point ptId (never for 0).
    bool hasRefToPoint(int ptId) const;

    /// End point (north, east metres); the start point when there is no element.
    bool getFinalPosNe(double& n, double& e) const;
    /// The element that holds a chainage (metres): searched from the last element back, so at a
    /// shared boundary the later element answers. A chainage before the start gives element 0 (with
    /// a negative *dist); past the end by more than 0.001 m gives null. *dist receives the distance
    /// from that element's start, metres.
    const CAlntHe* getAlntHeAtChain(double chain, double* dist) const;
    /// The index of the element getAlntHeAtChain() would answer with (no check of the distance
    /// past the end): 0 before the start, -1 without elements or with an unset start chainage.
    int getElementIndexAtChain(double chain) const { return m_search.find(m_elements, chain); }
    /// Centre-line point (north, east metres) at a chainage; false off the alignment.
    bool getPosNeAtChain(double chain, double& n, double& e) const;
    /// Curvature at a chainage, 1/m, positive turning right; false off the alignment.
    bool getCurvatureAtChainage(double chain, double& k) const;
    /// Centre-line point at a chainage, extrapolated along the end tangents beyond either end.
    bool getPosNeAtChainExtr(double chain, double& n, double& e) const;
    /// The point at chainage `chain` and perpendicular offset `off` (metres, positive to the right
    /// of increasing chainage; below 1e-5 m no offset), extrapolated along the end tangents beyond
    /// either end. A chainage within 0.001 m of an end is taken on the element.
    bool getPosNeAtChainAndOffsetExtr(double chain, double off, double& n, double& e) const;
    /// Station and offset of a measured point: the chainage and signed perpendicular offset
    /// (metres, positive right of increasing chainage) of the point (n, e) (world north, east in
    /// metres).
    ///
    /// Walks every element in order and projects the point onto each (nearest point of its curve;
    /// an element's ends included). The nearest element wins; a later element wins any tie within
    /// 1 mm (roadTolerance), so a point square to a joint belongs to the element that follows.
    /// chain = that element's start chainage + the length of the foot along it.
    ///
    /// The side: a point within 1 cm (0.01 m) of the centre line gets no side (off >= 0). Otherwise
    /// the line from the foot to the point must be square to the element's tangent within 1 degree
    /// (89 to 91 degrees); then off takes the sign of the across component. A point that is not
    /// square to any element, which is a point beyond either end of the alignment or in the gap on
    /// the outside of a kink, returns false with chain and off at the nearest point found (off
    /// unsigned). No extrapolation beyond the ends: use the position caches for that. False when
    /// there is no element.
    bool FindChainageAndOffset(double n, double e, double& chain, double& off) const;
    /// The intersection point (north, east metres) of the curve that element i belongs to: the IP
    /// of an IP element, or where the tangents before and after an arc and its leading and trailing
    /// spirals meet. False for a straight, for a spiral without its arc and for parallel tangents.
    bool getIpPosForElement(int i, double& n, double& e) const;

    /// Sets element i's object id.
    void internal_updateElementId(int i, int id);
    /// The caller's point ptId moved to (n, e, h) metres: the start point and every IP that refers
    /// to it follow, re-chained once.
    void refreshPtCoords(int ptId, double n, double e, double h);

protected:
    /// Deletes all elements.
    void removeAllHes();
    /// Inserts he at i (ownership passes) and re-chains.
    void doInsertHe(int i, CAlntHe* he);

private:
    bool doObtainTotalHLength(double& len) const override;
    void doHPostUpdate(int from);
    void onElementsChanged() const { m_search.invalidate(); }

    double m_startN = 0.0;
    double m_startE = 0.0;
    int m_startPtId = 0;
    CPtrArrayT<CAlntHe> m_elements;
    TStartChainageSearch<CPtrArrayT<CAlntHe>> m_search;
};
