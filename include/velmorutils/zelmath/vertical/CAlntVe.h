#pragma once

#include "velmorutils/alloc/CZelHeapObject.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/errCodes.h"
#include "velmorutils/zelmath/vertical/CLsInfo.h"
#include "velmorutils/zelmath/vertical/TAlntVeType.h"

/// A vertical element: one stretch of the longitudinal profile, measured by horizontal distance
/// from its start. Chainages, lengths and heights are in metres, grades in percent. The
/// vertical alignment owns clones of its elements and tells each one its neighbours whenever
/// the chain changes, so that it starts where its predecessor ends.
class VELMORUTILS_API CAlntVe : public CZelHeapObject {
public:
    CAlntVe() = default;
    explicit CAlntVe(int objId) : m_objId(objId) {}
    virtual ~CAlntVe();

    virtual bool isok() const;
    virtual TAlntVeType getType() const = 0;
    virtual double getStartHt() const = 0;
    virtual double getFinalHt() const = 0;
    virtual double getFinalChain() const = 0;
    virtual double getLen() const = 0;
    virtual double getStartGrade() const = 0;
    virtual double getEndGrade() const = 0;
    virtual bool getStartChainageInM(double& ch) const = 0;
    virtual errCodes getHtAtLen(double s, double& h) const = 0;
    virtual bool getGradeAtLength(double s, double& g) const = 0;
    /// The longest step forward from chainage ch whose chord stays within maxDev of the curve.
    virtual double getStepForDeviation(double ch, double maxDev) const = 0;
    virtual bool getAsLs(CLsInfo& info) const = 0;
    virtual CAlntVe* clone() const = 0;
    virtual bool setStartHtAndChain(double ht, double ch) = 0;
    /// Starts the element at its predecessor's end; VIP kinds also learn the next VIP.
    virtual bool onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next);

    int getObjId() const { return m_objId; }
    void internal_updateObjId(int id) { m_objId = id; }

    bool getFinalChainageInM(double& ch) const {
        ch = getFinalChain();
        return true;
    }
    bool getHLengthInM(double& len) const;
    bool getHtAtChain(double ch, double& h) const;
    bool getPosHeightInM(double s, double& h) const { return getHtAtLen(s, h) == ecOk; }

protected:
    CAlntVe(const CAlntVe&) = default;
    CAlntVe& operator=(const CAlntVe&) = default;

private:
    int m_objId = 0;
};
