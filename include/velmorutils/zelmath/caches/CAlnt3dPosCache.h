#pragma once

#include "velmorutils/alloc/CZelHeapObject.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/caches/CAlnt2dPosCache.h"
#include "velmorutils/zelmath/caches/CAlntHtPosCache.h"

/// A plane cache and a height cache of one road, loaded separately, answered together.
class VELMORUTILS_API CAlnt3dPosCache : public CZelHeapObject {
public:
    ///@{
    /// The plane cache and the height cache, to load and to read.
    CAlnt2dPosCache& get2dPosCache() { return m_2d; }
    const CAlnt2dPosCache& get2dPosCache() const { return m_2d; }
    CAlntHtPosCache& getHtPosCache() { return m_ht; }
    const CAlntHtPosCache& getHtPosCache() const { return m_ht; }
    ///@}

    /// The chainage range the two caches cover together (0.0 and 0.0 first); false when
    /// neither holds a sample.
    bool getMinMaxStationing(double& minSts, double& maxSts) const;
    /// The nearer of the two caches' next vertices after sts. A next vertex at index 0 (sts
    /// before a cache's first sample) does not count here; false when neither cache has one.
    bool getNextVertexStationing(double sts, double& next) const;

private:
    CAlnt2dPosCache m_2d;
    CAlntHtPosCache m_ht;
};
