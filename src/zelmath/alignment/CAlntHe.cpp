#include "velmorutils/zelmath/alignment/CAlntHe.h"

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/cogo/PlaneCogo.h"

CAlntHe::~CAlntHe() = default;

void CAlntHe::applyOffset(double n0, double e0, double az, double off, double& n, double& e) {
    double side = 1.0;
    if (off < 0.0) {
        side = -1.0;
        off = -off;
    }
    if (off < smallNumTolerance) {
        n = n0;
        e = e0;
        return;
    }
    Compute2DPoint(e0, n0, off, az, side * 90.0, e, n);
}

void CAlntHe::chainStartOf(const CAlntH& alnt, int index, double& chain, double& n, double& e,
                           CMathAngle& az) {
    chain = 0.0;
    n = 0.0;
    e = 0.0;
    az.setRad(0.0);
    if (index == 0) {
        chain = alnt.getStartChainageInM();
        n = alnt.getStartPosN();
        e = alnt.getStartPosE();
        return;
    }
    if (index < 0) return;
    const CAlntHe* prev = alnt.getHe(index - 1);
    double pn = 0.0;
    double pe = 0.0;
    if (!prev->getFinalPosNe(pn, pe)) return;
    n = pn;
    e = pe;
    double pc = 0.0;
    if (!prev->getFinalChainageInM(pc)) return;
    chain = pc;
    CMathAngle pa;
    if (prev->getFinalAzimut(pa)) az = pa;
}

bool CAlntHe::getPosNeAtChain(double chain, double& n, double& e) const {
    // An unset start chainage leaves d unset, which no curve accepts as a length.
    double d = zel_math::kUnset;
    chainage2Distance(chain, d);
    return getPosNeAtLength(d, n, e);
}

bool CAlntHe::getAzimuthAtChain(double chain, double& az) const {
    double d = zel_math::kUnset;
    const bool converted = chainage2Distance(chain, d);
    getAzimuthAtLength(d, az);
    return converted;
}

bool CAlntHe::getPosNeAtChainExtr(double chain, double& n, double& e) const {
    return getPosNeAtChainAndOffsetExtr(chain, 0.0, n, e);
}

bool CAlntHe::getPosNeAtChainAndOffsetExtr(double chain, double off, double& n, double& e) const {
    double d = 0.0;
    if (!chainage2Distance(chain, d)) return false;
    // An element that cannot give its length extrapolates from its start on both sides.
    double len = 0.0;
    getHLengthInM(len);

    double pn = 0.0;
    double pe = 0.0;
    double az = 0.0;
    if (d < 0.0) {
        CMathAngle a;
        getStartAzimut(a);
        double sn = 0.0;
        double se = 0.0;
        if (!getStartPosNe(sn, se)) return false;
        a.getPosAlong(d, sn, se, pn, pe);
        az = a.getDeg();
    } else if (d <= len) {
        if (!getPosNeAtLength(d, pn, pe) || !getAzimuthAtLength(d, az)) return false;
    } else {
        CMathAngle a;
        double fn = 0.0;
        double fe = 0.0;
        if (!getFinalAzimut(a) || !getFinalPosNe(fn, fe)) return false;
        a.getPosAlong(d - len, fn, fe, pn, pe);
        az = a.getDeg();
    }
    applyOffset(pn, pe, az, off, n, e);
    return true;
}

bool CAlntHe::getAzimuthAtChainExtr(double chain, double& az) const {
    double d = 0.0;
    if (!chainage2Distance(chain, d)) return false;
    double len = 0.0;
    getHLengthInM(len);
    CMathAngle a;
    if (d < 0.0) {
        getStartAzimut(a);
        az = a.getDeg();
        return true;
    }
    if (d <= len) return getAzimuthAtLength(d, az);
    // Beyond the end only the end tangent answers; without it there is no azimuth to give.
    if (!getFinalAzimut(a)) return false;
    az = a.getDeg();
    return true;
}

bool CAlntHe::getPosAtLengthAndOffset(double len, double off, double& n, double& e) const {
    double pn = 0.0;
    double pe = 0.0;
    double az = 0.0;
    if (!getPosNeAtLength(len, pn, pe) || !getAzimuthAtLength(len, az)) return false;
    applyOffset(pn, pe, az, off, n, e);
    return true;
}

double CAlntHe::getNextPosForDeviation(double chain, double maxDev, double& n, double& e) const {
    const double next = chain + getStepForDeviation(chain, maxDev);
    getPosNeAtChain(next, n, e);
    return next;
}
