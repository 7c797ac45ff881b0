#pragma once

#include "velmorutils/alloc/CZelHeapObject.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

class CObjId2ObjIdMap;

/// Base of every alignment container (horizontal, vertical, road): object id, name, start
/// chainage, a cache of the total horizontal length and the bulk-update flag.
class VELMORUTILS_API CAlntBase : public CZelHeapObject {
public:
    CAlntBase() = default;
    /// With the caller's object id (0: none).
    explicit CAlntBase(int objId) : m_objId(objId) {}
    virtual ~CAlntBase();

    /// A name is usable when it has 1 to 40 bytes and none of the characters that the
    /// application's files and data base reserve.
    static bool checkAlntName(const zel_text::CZelStringT<char>& name);

    ///@{
    /// The caller's object id (0: none) and the alignment's name.
    int getObjId() const { return m_objId; }
    void setObjId(int id) { m_objId = id; }
    const zel_text::CZelStringT<char>& getName() const { return m_name; }
    void setName(const zel_text::CZelStringT<char>& name) { m_name = name; }
    ///@}

    /// Chainage of the start, metres.
    virtual double getStartChainageInM() const;
    /// Sets the start chainage (metres); derived alignments re-chain.
    virtual void setStartChainageInM(double c);
    /// Ends a bulk update (derived alignments re-chain once).
    virtual void onBulkUpdateFinished();
    /// Maps the caller's point ids into another data base; the base holds none.
    virtual void convertIds(const CObjId2ObjIdMap& map);

    /// Sum of the element lengths in metres (cached); false when an element has none.
    bool getTotalHLengthInM(double& len) const;
    /// Start chainage plus total length, metres.
    bool getFinalChainageInM(double& c) const;
    /// Forgets the cached total length.
    void invalidateTotalHLength() { m_totalHLength = zel_math::kUnset; }
    ///@{
    /// Defers re-chaining until onBulkUpdateFinished(); isInBulkUpdate() tells.
    void beginBulkUpdate() { m_bulkUpdate = true; }
    bool isInBulkUpdate() const { return m_bulkUpdate; }
    ///@}

protected:
    CAlntBase(const CAlntBase& o) { copy(o); }
    CAlntBase& operator=(const CAlntBase& o) {
        if (this != &o) copy(o);
        return *this;
    }
    /// Copies id, name, start chainage and the length cache; a batch in progress on the source
    /// is not carried over, the copy is not in bulk update.
    void copy(const CAlntBase& o);

private:
    virtual bool doObtainTotalHLength(double& len) const = 0;

    int m_objId = 0;
    zel_text::CZelStringT<char> m_name;
    double m_startChainage = 0.0;
    mutable double m_totalHLength = zel_math::kUnset;
    bool m_bulkUpdate = false;
};
