#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/CAlntHeCurveT.h"
#include "velmorutils/zelmath/CCurveDataArc.h"

// A circular-arc element.
class VELMORUTILS_API CAlntHeArc : public CAlntHeCurveT<CCurveDataArc> {
public:
    CAlntHeArc() = default;
    explicit CAlntHeArc(int objId) : CAlntHeCurveT(objId) {}
    CAlntHeArc(const CAlntHeArc&) = default;
    CAlntHeArc& operator=(const CAlntHeArc&) = default;
    ~CAlntHeArc() override;

    static TAlntHeType static_type() { return alntHeArc; }
    static CAlntHeArc* cast(CAlntHe* he);
    static const CAlntHeArc* cast(const CAlntHe* he);

    CAlntHe* clone() const override;
};
