#include "velmorutils/zelmath/alignment/CAlntHeSpiral.h"

CAlntHeSpiral::~CAlntHeSpiral() = default;

CAlntHeSpiral* CAlntHeSpiral::cast(CAlntHe* he) {
    return he != nullptr && he->getType() == alntHeSpiral ? static_cast<CAlntHeSpiral*>(he)
                                                          : nullptr;
}

const CAlntHeSpiral* CAlntHeSpiral::cast(const CAlntHe* he) {
    return he != nullptr && he->getType() == alntHeSpiral ? static_cast<const CAlntHeSpiral*>(he)
                                                          : nullptr;
}

CAlntHe* CAlntHeSpiral::clone() const {
    return new CAlntHeSpiral(*this);
}
