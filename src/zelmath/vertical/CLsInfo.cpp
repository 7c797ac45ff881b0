#include "velmorutils/zelmath/vertical/CLsInfo.h"

#include "velmorutils/zelmath/angles/MathCommon.h"

bool CLsInfo::hasCurve() const {
    return !zel_math::isNearZero(m_curveLength);
}

bool CLsInfo::isSameAs(const CLsInfo& o) const {
    using zel_math::isNearZero;
    return isNearZero(m_chainage - o.m_chainage) && isNearZero(m_height - o.m_height) &&
           isNearZero(m_curveLength - o.m_curveLength) &&
           isNearZero(m_curveStartChainage - o.m_curveStartChainage) &&
           isNearZero(m_radius - o.m_radius);
}
