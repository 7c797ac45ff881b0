#include "velmorutils/zelmath/alignment/CAlntElBase.h"

CAlntElBase::~CAlntElBase() = default;

bool CAlntElBase::getFinalChainageInM(double& c) const {
    if (zel_math::isUnset(m_startChainage)) return false;
    double len = 0.0;
    if (!getHLengthInM(len)) return false;
    c = m_startChainage + len;
    return true;
}
