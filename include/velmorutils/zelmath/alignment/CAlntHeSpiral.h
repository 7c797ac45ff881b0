#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntHeCurveT.h"
#include "velmorutils/zelmath/curves/CCurveDataSpiral.h"

/// A clothoid transition element: tangent to curve, curve to tangent, or between two radii.
class VELMORUTILS_API CAlntHeSpiral : public CAlntHeCurveT<CCurveDataSpiral> {
public:
    CAlntHeSpiral() = default;
    /// With the caller's object id (0: none).
    explicit CAlntHeSpiral(int objId) : CAlntHeCurveT(objId) {}
    CAlntHeSpiral(const CAlntHeSpiral&) = default;
    CAlntHeSpiral& operator=(const CAlntHeSpiral&) = default;
    ~CAlntHeSpiral() override;

    /// The element kind.
    static TAlntHeType static_type() { return alntHeSpiral; }
    ///@{
    /// The element as this kind, or null when it is another kind.
    static CAlntHeSpiral* cast(CAlntHe* he);
    static const CAlntHeSpiral* cast(const CAlntHe* he);
    ///@}

    CAlntHe* clone() const override;
};
