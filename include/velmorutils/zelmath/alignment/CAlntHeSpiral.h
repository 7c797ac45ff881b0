#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntHeCurveT.h"
#include "velmorutils/zelmath/curves/CCurveDataSpiral.h"

/// A clothoid transition element: tangent to curve, curve to tangent, or between two radii.
class VELMORUTILS_API CAlntHeSpiral : public CAlntHeCurveT<CCurveDataSpiral> {
public:
    CAlntHeSpiral() = default;
    explicit CAlntHeSpiral(int objId) : CAlntHeCurveT(objId) {}
    CAlntHeSpiral(const CAlntHeSpiral&) = default;
    CAlntHeSpiral& operator=(const CAlntHeSpiral&) = default;
    ~CAlntHeSpiral() override;

    static TAlntHeType static_type() { return alntHeSpiral; }
    static CAlntHeSpiral* cast(CAlntHe* he);
    static const CAlntHeSpiral* cast(const CAlntHe* he);

    CAlntHe* clone() const override;
};
