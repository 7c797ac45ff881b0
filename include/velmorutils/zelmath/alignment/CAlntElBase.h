#pragma once

#include "velmorutils/alloc/CZelHeapObject.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

/// Base of every horizontal element: the element's object id and the chainage at which it
/// starts. Only the owning alignment moves the start chainage (while it re-chains).
class VELMORUTILS_API CAlntElBase : public CZelHeapObject {
protected:
    /// Declared first: the destructor takes the first slot of the element table.
    virtual ~CAlntElBase();

public:
    ///@{
    /// The caller's object id of the element (0: none).
    int getObjId() const { return m_objId; }
    void internal_updateObjId(int id) { m_objId = id; }
    ///@}

    /// Chainage of the element's start in metres; each of these fails only while the start chainage
    /// holds the unset marker.
    bool getStartChainageInM(double& c) const {
        if (zel_math::isUnset(m_startChainage)) return false;
        c = m_startChainage;
        return true;
    }
    /// Chainage of the element's end, metres.
    bool getFinalChainageInM(double& c) const;
    /// Chainage (metres) of the point d metres along the element.
    bool distance2Chainage(double d, double& c) const {
        if (zel_math::isUnset(m_startChainage)) return false;
        c = m_startChainage + d;
        return true;
    }
    /// Distance along the element (metres) of chainage c; negative before its start.
    bool chainage2Distance(double c, double& d) const {
        if (zel_math::isUnset(m_startChainage)) return false;
        d = c - m_startChainage;
        return true;
    }

    /// Whether the element is fully defined.
    virtual bool isok() const = 0;
    /// Horizontal length of the element, metres.
    virtual bool getHLengthInM(double& len) const = 0;

protected:
    CAlntElBase() = default;
    /// With the caller's object id (0: none).
    explicit CAlntElBase(int objId) : m_objId(objId) {}
    CAlntElBase(const CAlntElBase&) = default;
    /// A copy of o with the caller's object id objId.
    CAlntElBase(const CAlntElBase& o, int objId) : CAlntElBase(o) { m_objId = objId; }
    CAlntElBase& operator=(const CAlntElBase&) = default;

    void copy(const CAlntElBase& o) {
        m_objId = o.m_objId;
        m_startChainage = o.m_startChainage;
    }
    /// Stores the start chainage (metres); only the owning alignment calls it while chaining.
    void onStartChainageUpdate(double c) { m_startChainage = c; }

private:
    int m_objId = 0;
    double m_startChainage = 0.0;
};
