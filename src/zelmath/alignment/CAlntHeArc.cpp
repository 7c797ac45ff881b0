#include "velmorutils/zelmath/alignment/CAlntHeArc.h"

CAlntHeArc::~CAlntHeArc() = default;

CAlntHeArc* CAlntHeArc::cast(CAlntHe* he) {
    return he != nullptr && he->getType() == alntHeArc ? static_cast<CAlntHeArc*>(he) : nullptr;
}

const CAlntHeArc* CAlntHeArc::cast(const CAlntHe* he) {
    return he != nullptr && he->getType() == alntHeArc ? static_cast<const CAlntHeArc*>(he)
                                                       : nullptr;
}

CAlntHe* CAlntHeArc::clone() const {
    return new CAlntHeArc(*this);
}

bool CAlntHeArc::getArc(CArc& arc) const {
    CMathAngle startAz;
    getStartAzimut(startAz);
    C2dPos start;
    C2dPos finish;
    if (!getStartPosNe(start.north, start.east) || !getFinalPosNe(finish.north, finish.east)) {
        return false;
    }
    return arc.set_start_finish_startTgDir(start, finish, startAz);
}

void CAlntHeArc::setArc(const CArc& arc) {
    CMathAngle tangent;
    arc.get_start_tgdir(tangent);
    setFixedStartAzimuthDeg(tangent.getDeg());
    const double radius = arc.start.distanceTo(arc.centre);
    get_data().get_data().setCAngleR(arc.cAngle, radius, arc.clockwise);
}
