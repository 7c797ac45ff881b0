#include "velmorutils/zelmath/alignment/CAlntHeSegment.h"

CAlntHeSegment::~CAlntHeSegment() = default;

CAlntHeSegment* CAlntHeSegment::cast(CAlntHe* he) {
    return he != nullptr && he->getType() == alntHeSegment ? static_cast<CAlntHeSegment*>(he)
                                                           : nullptr;
}

const CAlntHeSegment* CAlntHeSegment::cast(const CAlntHe* he) {
    return he != nullptr && he->getType() == alntHeSegment ? static_cast<const CAlntHeSegment*>(he)
                                                           : nullptr;
}

CAlntHe* CAlntHeSegment::clone() const {
    return new CAlntHeSegment(*this);
}
