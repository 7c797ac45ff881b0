#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntHeCurveT.h"
#include "velmorutils/zelmath/curves/CCurveDataArc.h"
#include "velmorutils/zelmath/primitives/CArc.h"

/// A circular-arc element.
class VELMORUTILS_API CAlntHeArc : public CAlntHeCurveT<CCurveDataArc> {
public:
    CAlntHeArc() = default;
    /// With the caller's object id (0: none).
    explicit CAlntHeArc(int objId) : CAlntHeCurveT(objId) {}
    CAlntHeArc(const CAlntHeArc&) = default;
    CAlntHeArc& operator=(const CAlntHeArc&) = default;
    ~CAlntHeArc() override;

    /// The element kind.
    static TAlntHeType static_type() { return alntHeArc; }
    ///@{
    /// The element as this kind, or null when it is another kind.
    static CAlntHeArc* cast(CAlntHe* he);
    static const CAlntHeArc* cast(const CAlntHe* he);
    ///@}

    CAlntHe* clone() const override;

    /// The element as a plane arc from its start to its end point.
    bool getArc(CArc& arc) const;
    /// Takes the arc's start tangent as a fixed start azimuth and its central angle, radius and
    /// turn as the curve; the start point still comes from the chain.
    void setArc(const CArc& arc);
};
