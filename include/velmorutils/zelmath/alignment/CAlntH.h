#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntBase.h"
#include "velmorutils/zelmath/alignment/CAlntHe.h"
#include "velmorutils/zelmath/alignment/CPtrArrayT.h"
#include "velmorutils/zelmath/alignment/TStartChainageSearch.h"

class CObjId2ObjIdMap;

/// The horizontal alignment of a road: an owned, ordered chain of horizontal elements that
/// starts at a given point and chainage. After every change (outside bulk update) the elements
/// from one before the change onwards are re-chained, so that each starts where its
/// predecessor ends. The alignment stores clones of the elements it is given.
class VELMORUTILS_API CAlntH : public CAlntBase {
public:
    CAlntH() = default;
    explicit CAlntH(int objId) : CAlntBase(objId) {}
    CAlntH(const CAlntH& o);
    CAlntH(const CAlntH& o, int objId);
    CAlntH& operator=(const CAlntH& o);
    ~CAlntH() override;

    /// Takes o's base fields, start point and clones of its elements as they are chained.
    void copy(const CAlntH& o);

    void setStartChainageInM(double c) override;
    void onBulkUpdateFinished() override;
    void convertIds(const CObjId2ObjIdMap& map) override;

    virtual bool getAzimuthAtChain(double chain, double& az) const;
    virtual bool getAzimuthAtChainExtr(double chain, double& az) const;
    virtual void setStartPos(double n, double e, double h);
    virtual void setStartPt(int ptId, double n, double e, double h);
    virtual bool appendElement(const CAlntHe& he);
    virtual bool insertElement(int index, const CAlntHe& he);
    virtual bool replaceElement(int index, const CAlntHe& he);
    virtual bool removeHe(int index);

    int getNumOfHes() const { return m_elements.GetSize(); }
    int getNumOfElements() const { return m_elements.GetSize(); }
    const CAlntHe* getHe(int i) const { return m_elements[i]; }
    const CAlntHe& getElement(int i) const { return *m_elements[i]; }
    const CAlntHe* getFirstHe() const;
    const CAlntHe* getLastHe() const;
    const CPtrArrayT<CAlntHe>& getElements() const { return m_elements; }

    double getStartPosN() const { return m_startN; }
    double getStartPosE() const { return m_startE; }
    int getStartPtId() const { return m_startPtId; }
    bool hasRefToPoint(int ptId) const;

    bool getFinalPosNe(double& n, double& e) const;
    const CAlntHe* getAlntHeAtChain(double chain, double* dist) const;
    bool getPosNeAtChain(double chain, double& n, double& e) const;
    bool getCurvatureAtChainage(double chain, double& k) const;
    bool getPosNeAtChainExtr(double chain, double& n, double& e) const;
    bool getPosNeAtChainAndOffsetExtr(double chain, double off, double& n, double& e) const;
    bool FindChainageAndOffset(double n, double e, double& chain, double& off) const;
    bool getIpPosForElement(int i, double& n, double& e) const;

    void internal_updateElementId(int i, int id);
    void refreshPtCoords(int ptId, double n, double e, double h);

protected:
    void removeAllHes();
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
