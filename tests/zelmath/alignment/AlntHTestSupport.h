#pragma once

#include <vector>

#include "velmorutils/zelmath/alignment/CAlntH.h"
#include "velmorutils/zelmath/alignment/CAlntHeArc.h"
#include "velmorutils/zelmath/alignment/CAlntHeIp.h"
#include "velmorutils/zelmath/alignment/CAlntHeSegment.h"
#include "velmorutils/zelmath/alignment/CAlntHeSpiral.h"

// Element builders for the alignment tests: lengths in metres, radii positive, turn given.
inline CAlntHeSegment makeSegment(double len) {
    CAlntHeSegment s;
    s.get_data().get_data().setLen(len);
    return s;
}

inline CAlntHeArc makeArc(double len, double radius, bool right) {
    CAlntHeArc a;
    a.get_data().get_data().SetElement(len, radius, right);
    return a;
}

inline CAlntHeSpiral makeSpiral(double len, double radius, bool right, bool tangentToCurve) {
    CAlntHeSpiral s;
    s.get_data().get_data().setLenAndR(len, radius, right, tangentToCurve);
    return s;
}

inline CAlntHeIp makeIp(double n, double e, double lenIn, double radius, double lenOut) {
    CAlntHeIp ip;
    ip.setIp(n, e, lenIn, radius, lenOut);
    return ip;
}

// A segment that records every re-chaining it receives, to see what an edit re-chains.
class CountingSegment : public CAlntHeSegment {
public:
    explicit CountingSegment(double len, std::vector<int>* log) : m_log(log) {
        get_data().get_data().setLen(len);
    }
    CAlntHe* clone() const override { return new CountingSegment(*this); }

protected:
    void onSetIndex(const CAlntH& alnt, int index) override {
        m_log->push_back(index);
        CAlntHeSegment::onSetIndex(alnt, index);
    }

private:
    std::vector<int>* m_log;
};

// A road as designed by elements and by IPs: straight, entry spiral, arc, exit spiral,
// straight, three IPs (the first two with curves, the last a bare vertex), a fixed-azimuth arc
// continuing the last tangent, and a closing straight. Returns the fixed arc's azimuth.
inline double buildMixedRoad(CAlntH& alnt, double startChainage) {
    alnt.setStartPt(0, 1000.0, 2000.0, 0.0);
    alnt.setStartChainageInM(startChainage);
    alnt.appendElement(makeSegment(100.0));
    alnt.appendElement(makeSpiral(60.0, 300.0, true, true));
    alnt.appendElement(makeArc(150.0, 300.0, true));
    alnt.appendElement(makeSpiral(60.0, 300.0, true, false));
    alnt.appendElement(makeSegment(120.0));

    double n = 0.0, e = 0.0, ipN = 0.0, ipE = 0.0;
    CMathAngle az;
    alnt.getFinalPosNe(n, e);
    alnt.getLastHe()->getFinalAzimut(az);
    // IPs ahead on the last tangent, then 30 degrees left, then 25 degrees right.
    az.getPosAlong(200.0, n, e, ipN, ipE);
    alnt.appendElement(makeIp(ipN, ipE, 40.0, 400.0, 40.0));
    az.setDeg(az.getDeg() - 30.0);
    az.getPosAlong(250.0, ipN, ipE, ipN, ipE);
    alnt.appendElement(makeIp(ipN, ipE, 0.0, 500.0, 0.0));
    az.setDeg(az.getDeg() + 25.0);
    az.getPosAlong(300.0, ipN, ipE, ipN, ipE);
    alnt.appendElement(makeIp(ipN, ipE, 30.0, 250.0, 30.0));
    const double fixedAz = az.getDeg();

    CAlntHeArc fixedArc = makeArc(80.0, 200.0, false);
    fixedArc.setFixedStartAzimuthDeg(fixedAz);
    alnt.appendElement(fixedArc);
    alnt.appendElement(makeSegment(90.0));
    return fixedAz;
}
