#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/vertical/CAlntV.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"
#include "velmorutils/zelmath/vertical/CPtrArrayT.h"

/// A complete road alignment: a horizontal alignment that owns its vertical alignment, both
/// measured on the same chainage. Starting it at a chainage or at a 3D point sets both parts.
class VELMORUTILS_API CAlnt : public CAlntH {
public:
    CAlnt() = default;
    CAlnt(const CAlnt& o);
    CAlnt& operator=(const CAlnt& o);
    ~CAlnt() override;

    /// Start chainage in metres for both the horizontal and the vertical part.
    void setStartChainageInM(double c) override;
    /// Start point: north, east and height in metres (the height starts the vertical part).
    void setStartPos(double n, double e, double h) override;
    ///@{
    /// Horizontal elements, as in CAlntH.
    bool appendElement(const CAlntHe& he) override;
    bool insertElement(int index, const CAlntHe& he) override;
    bool replaceElement(int index, const CAlntHe& he) override;
    bool removeHe(int index) override;
    ///@}

    /// The station interval in metres at which callers list stations (100 by default).
    virtual void setChainageIntervalInM(double interval);
    ///@{
    /// Vertical elements: a clone is stored and the profile re-chained; false when ve is not valid.
    virtual bool appendElement(const CAlntVe& ve);
    virtual bool insertElement(int index, const CAlntVe& ve);
    virtual bool replaceElement(int index, const CAlntVe& ve);
    virtual bool removeVe(int index);
    ///@}
    /// Removes every horizontal and vertical element.
    virtual void removeAll();
    /// Takes o's plan, profile and interval.
    virtual void copy(const CAlnt& o);

    ///@{
    /// The profile and its elements.
    const CAlntV& getAlntVes() const { return m_valnt; }
    /// The horizontal elements.
    const CPtrArrayT<CAlntHe>& getHes() const { return getElements(); }
    const CPtrArrayT<CAlntVe>& getVes() const { return m_valnt.getElements(); }
    ///@}
    ///@{
    /// Number of vertical elements, the first, the last and element i.
    int getNumOfVes() const { return m_valnt.getNumOfVes(); }
    const CAlntVe* getFirstVe() const { return m_valnt.getFirstVe(); }
    const CAlntVe* getLastVe() const { return m_valnt.getLastVe(); }
    const CAlntVe* getVe(int i) const { return m_valnt.getVe(i); }
    ///@}
    /// Height of the start point, metres.
    double getStartPosH() const { return m_valnt.getStartPosH(); }
    /// The station interval in metres.
    double getChainageIntervalInM() const { return m_interval; }

    /// The vertical element holding a chainage (metres) and in *dist the distance into it; see
    /// CAlntV::getAlntVeAtChain().
    const CAlntVe* getAlntVeAtChain(double chain, double* dist) const {
        return m_valnt.getAlntVeAtChain(chain, dist);
    }
    /// Design height (metres) at a chainage on the profile; false off it.
    bool getPosHAtChain(double chain, double& h) const;
    /// Design height at a chainage, extrapolated along the end grades beyond the profile's ends.
    bool getPosHAtChainExtr(double chain, double& h) const {
        return m_valnt.getHeightAtChainExtr(chain, h);
    }
    /// Grade at a chainage in percent (rise per 100 m of chainage, positive up).
    bool getGradeAtChainage(double chain, double& g) const;
    /// Height at the profile's end, metres.
    bool getFinalPosH(double& h) const { return m_valnt.getFinalHeight(h); }

protected:
    /// Inserts ve at i in the vertical part and takes ownership of it.
    void doInsertVe(int i, CAlntVe* ve) { m_valnt.doInsertVe(i, ve); }

private:
    void doRemoveAll();
    void doCopy(const CAlnt& o);

    double m_interval = 100.0;
    CAlntV m_valnt;
};
