#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntHeCurveT.h"
#include "velmorutils/zelmath/curves/CCurveDataSegment.h"

/// A straight element.
class VELMORUTILS_API CAlntHeSegment : public CAlntHeCurveT<CCurveDataSegment> {
public:
    CAlntHeSegment() = default;
    /// With the caller's object id (0: none).
    explicit CAlntHeSegment(int objId) : CAlntHeCurveT(objId) {}
    CAlntHeSegment(const CAlntHeSegment&) = default;
    CAlntHeSegment& operator=(const CAlntHeSegment&) = default;
    ~CAlntHeSegment() override;

    /// The element kind.
    static TAlntHeType static_type() { return alntHeSegment; }
    ///@{
    /// The element as this kind, or null when it is another kind.
    static CAlntHeSegment* cast(CAlntHe* he);
    static const CAlntHeSegment* cast(const CAlntHe* he);
    ///@}

    CAlntHe* clone() const override;
};
