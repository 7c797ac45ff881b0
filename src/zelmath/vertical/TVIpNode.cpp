#include "velmorutils/zelmath/vertical/TVIpNode.h"

#include "velmorutils/utils/ReportAssertion.h"
#include "velmorutils/zelmath/vertical/CAlntVeArc.h"
#include "velmorutils/zelmath/vertical/CAlntVeLsWithArc.h"
#include "velmorutils/zelmath/vertical/CVerticalElement.h"
#include "velmorutils/zelmath/vertical/CVerticalLSElement.h"

namespace {

const CAlntVe* curvePartOf(const CAlntVe& ve) {
    switch (ve.getType()) {
        case avtStraight:
        case avtParabola:
        case avtArc:
            return &ve;
        case avtLs:
            return static_cast<const CVerticalLSElement&>(ve).getParabole();
        case avtLsWithArc:
            return &static_cast<const CAlntVeLsWithArc&>(ve).getArc();
    }
    ReportAssertion("zelmath/mathAlntCache", __LINE__);
    return nullptr;
}

}  // namespace

bool getVIp(const CAlntVe& ve, TVIpNode& node) {
    const CAlntVe* part = curvePartOf(ve);
    if (part == nullptr || !part->isok()) return false;
    CLsInfo vip;
    double start = 0.0;
    if (!part->getAsLs(vip) || !part->getStartChainageInM(start)) return false;
    node.startHeight = part->getStartHt();
    node.startChainage = start;
    node.finalHeight = part->getFinalHt();
    node.finalChainage = part->getFinalChain();
    node.vipHeight = vip.getHeight();
    node.vipChainage = vip.getChainage();
    return true;
}
