#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/vertical/CAlntBase.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"
#include "velmorutils/zelmath/vertical/CPtrArrayT.h"
#include "velmorutils/zelmath/vertical/TStartChainageSearch.h"

class CObjId2ObjIdMap;

/// The vertical alignment (longitudinal profile): an owned chain of vertical elements along
/// the chainage axis from a start chainage and start height. After every change (outside bulk
/// update) the elements from one before the change onwards are told their neighbours again, so
/// that each starts where its predecessor ends and a VIP element knows the next VIP. The
/// alignment stores clones of the elements it is given.
class VELMORUTILS_API CAlntV : public CAlntBase {
public:
    CAlntV() = default;
    /// With the caller's object id (0: none).
    explicit CAlntV(int objId) : CAlntBase(objId) {}
    CAlntV(const CAlntV& o);
    /// A copy of o with the caller's object id objId.
    CAlntV(const CAlntV& o, int objId);
    CAlntV& operator=(const CAlntV& o);
    ~CAlntV() override;

    /// Takes o's base fields, start height, start point and clones of its elements as they
    /// are joined.
    void copy(const CAlntV& o);

    /// A profile that begins with a VIP element begins at that VIP.
    double getStartChainageInM() const override;
    void setStartChainageInM(double c) override;
    void onBulkUpdateFinished() override;
    void convertIds(const CObjId2ObjIdMap& map) override;

    /// Start height in metres; the plan position means nothing to a profile.
    virtual void setStartPos(double n, double e, double h);
    ///@{
    /// Start at the caller's point id with height h (metres); the plan position is not used.
    virtual void setStartPt(int id, double h);
    virtual void setStartPt(int id, double n, double e, double h);
    ///@}
    /// Start height in metres.
    virtual void setStartHeight(double h);

    ///@{
    /// Start height in metres, and the caller's point id of the start (0: none).
    double getStartPosH() const;
    int getStartPtId() const { return m_startPtId; }
    ///@}
    /// Whether the start refers to the caller's point id (never for 0).
    bool hasRefToPoint(int id) const { return id != 0 && id == m_startPtId; }
    /// The caller's point id moved: a start that refers to it takes the new height h (metres).
    void refreshPtCoords(int id, double n, double e, double h);

    ///@{
    /// The owned elements: all, their number, the first, the last and element i (not checked).
    const CPtrArrayT<CAlntVe>& getElements() const { return m_elements; }
    int getNumOfVes() const { return m_elements.GetSize(); }
    const CAlntVe* getFirstVe() const;
    const CAlntVe* getLastVe() const;
    const CAlntVe* getVe(int i) const { return m_elements[i]; }
    ///@}

    ///@{
    /// Stores a clone of ve (append, insert before i, replace i) or removes element i, then joins
    /// the elements again; false when ve is not valid.
    bool appendElement(const CAlntVe& ve);
    bool insertElement(int i, const CAlntVe& ve);
    bool replaceElement(int i, const CAlntVe& ve);
    bool removeVe(int i);
    ///@}
    /// Deletes all elements.
    void removeAllVes();
    /// Inserts ve at i and takes ownership of it.
    void doInsertVe(int i, CAlntVe* ve);
    /// Sets element i's object id.
    void internal_updateElementId(int i, int id);

    /// The element holding chainage ch (metres), and in *s (when given) the distance into it;
    /// searched from the last element back, so at a shared boundary the later element answers;
    /// past the end by more than 0.001 m: null.
    const CAlntVe* getAlntVeAtChain(double ch, double* s) const;
    /// Design height in metres at a chainage on the profile; false off it.
    bool getHeightAtChain(double ch, double& h) const;
    /// Grade in percent at a chainage (false on circular vertical curves).
    bool getGradeAtChainage(double ch, double& g) const;
    /// Height at a chainage; beyond either end the first or last grade is continued.
    bool getHeightAtChainExtr(double ch, double& h) const;
    /// Height at the profile's end, metres.
    bool getFinalHeight(double& h) const;

protected:
    /// Whether ve may stand between the elements prevIndex and nextIndex: every element may.
    bool checkIfOk(int prevIndex, int nextIndex, const CAlntVe& ve) const;

private:
    bool doObtainTotalHLength(double& len) const override;
    void doVPostUpdate(int i);

    double m_startHt = 0.0;
    int m_startPtId = 0;
    CPtrArrayT<CAlntVe> m_elements;
    TStartChainageSearch<CPtrArrayT<CAlntVe>> m_search;
};
