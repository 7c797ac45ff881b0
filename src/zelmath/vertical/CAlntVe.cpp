#include "velmorutils/zelmath/vertical/CAlntVe.h"

CAlntVe::~CAlntVe() = default;

bool CAlntVe::isok() const {
    return true;
}

bool CAlntVe::onNeighbourUpdate(const CAlntVe* prev, const CAlntVe*) {
    if (prev == nullptr) return true;
    return setStartHtAndChain(prev->getFinalHt(), prev->getFinalChain());
}

bool CAlntVe::getHLengthInM(double& len) const {
    if (!isok()) {
        len = 0.0;
        return false;
    }
    len = getLen();
    return true;
}

bool CAlntVe::getHtAtChain(double ch, double& h) const {
    double start = 0.0;
    if (!getStartChainageInM(start)) return false;
    return getHtAtLen(ch - start, h) == ecOk;
}
