#include "velmorutils/zelmath/caches/CAlnt3dPosCache.h"

#include <algorithm>

bool CAlnt3dPosCache::getMinMaxStationing(double& minSts, double& maxSts) const {
    minSts = 0.0;
    maxSts = 0.0;
    const bool has2d = !m_2d.IsEmpty();
    const bool hasHt = !m_ht.IsEmpty();
    if (!has2d && !hasHt) return false;
    if (has2d && hasHt) {
        minSts = std::min(m_2d[0].sts, m_ht[0].sts);
        maxSts = std::max(m_2d[m_2d.GetSize() - 1].sts, m_ht[m_ht.GetSize() - 1].sts);
    } else if (has2d) {
        minSts = m_2d[0].sts;
        maxSts = m_2d[m_2d.GetSize() - 1].sts;
    } else {
        minSts = m_ht[0].sts;
        maxSts = m_ht[m_ht.GetSize() - 1].sts;
    }
    return true;
}

bool CAlnt3dPosCache::getNextVertexStationing(double sts, double& next) const {
    const int i2d = m_2d.getNextVertexIndex(sts);
    const int iHt = m_ht.getNextVertexIndex(sts);
    const bool has2d = i2d >= 1;
    const bool hasHt = iHt >= 1;
    if (has2d && hasHt) {
        next = std::min(m_2d[i2d].sts, m_ht[iHt].sts);
    } else if (has2d) {
        next = m_2d[i2d].sts;
    } else if (hasHt) {
        next = m_ht[iHt].sts;
    } else {
        return false;
    }
    return true;
}
