#pragma once

#include "velmorutils/alloc/CZelHeapObject.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/vertical/CLsInfo.h"
#include "velmorutils/zelmath/vertical/TAlntVeType.h"
#include "velmorutils/zelmath/vertical/errCodes.h"

/// A vertical element: one stretch of the longitudinal profile, measured by horizontal distance
/// from its start. Chainages, lengths and heights are in metres, grades in percent. The
/// vertical alignment owns clones of its elements and tells each one its neighbours whenever
/// the chain changes, so that it starts where its predecessor ends.
class VELMORUTILS_API CAlntVe : public CZelHeapObject {
public:
    CAlntVe() = default;
    /// With the caller's object id (0: none).
    explicit CAlntVe(int objId) : m_objId(objId) {}
    virtual ~CAlntVe();

    /// Whether the element is fully defined.
    virtual bool isok() const;
    /// The element kind.
    virtual TAlntVeType getType() const = 0;
    /// Height at the start, metres.
    virtual double getStartHt() const = 0;
    /// Height at the end, metres.
    virtual double getFinalHt() const = 0;
    /// Chainage of the end, metres.
    virtual double getFinalChain() const = 0;
    /// Horizontal length (along the chainage), metres.
    virtual double getLen() const = 0;
    /// Grade at the start, percent (rise per 100 m of chainage, positive up).
    virtual double getStartGrade() const = 0;
    /// Grade at the end, percent.
    virtual double getEndGrade() const = 0;
    /// Chainage of the start, metres.
    virtual bool getStartChainageInM(double& ch) const = 0;
    /// Height (metres) at horizontal distance s (metres) from the start. s within 1e-12 m of 0 is
    /// the start and within 0.001 m of the length the end; further out ecBeforeStart or
    /// ecBeyondEnd.
    virtual errCodes getHtAtLen(double s, double& h) const = 0;
    /// Grade in percent at distance s from the start.
    virtual bool getGradeAtLength(double s, double& g) const = 0;
    /// The longest step forward in metres from chainage ch whose chord stays within maxDev metres
    /// (height) of the curve.
    virtual double getStepForDeviation(double ch, double maxDev) const = 0;
    /// The element as a VIP record.
    virtual bool getAsLs(CLsInfo& info) const = 0;
    /// A copy on the library heap, owned by the caller (the profile).
    virtual CAlntVe* clone() const = 0;
    /// Starts the element at height ht and chainage ch (metres).
    virtual bool setStartHtAndChain(double ht, double ch) = 0;
    /// Starts the element at its predecessor's end; VIP kinds also learn the next VIP.
    virtual bool onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next);

    ///@{
    /// The caller's object id (0: none).
    int getObjId() const { return m_objId; }
    void internal_updateObjId(int id) { m_objId = id; }
    ///@}

    /// Chainage of the end, metres.
    bool getFinalChainageInM(double& ch) const {
        ch = getFinalChain();
        return true;
    }
    /// Horizontal length, metres.
    bool getHLengthInM(double& len) const;
    /// Height at a chainage (metres) on the element.
    bool getHtAtChain(double ch, double& h) const;
    /// Height (metres) at distance s (metres) from the start; false off the element.
    bool getPosHeightInM(double s, double& h) const { return getHtAtLen(s, h) == ecOk; }

protected:
    CAlntVe(const CAlntVe&) = default;
    CAlntVe& operator=(const CAlntVe&) = default;

private:
    int m_objId = 0;
};
