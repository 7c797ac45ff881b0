#include "velmorutils/zelmath/CAlntHeArc.h"

CAlntHeArc::~CAlntHeArc() = default;

CAlntHeArc* CAlntHeArc::cast(CAlntHe* he) {
    return he != nullptr && he->getType() == alntHeArc ? static_cast<CAlntHeArc*>(he) : nullptr;
}

const CAlntHeArc* CAlntHeArc::cast(const CAlntHe* he) {
    return he != nullptr && he->getType() == alntHeArc ? static_cast<const CAlntHeArc*>(he)
                                                       : nullptr;
}

CAlntHe* CAlntHeArc::clone() const { return new CAlntHeArc(*this); }
