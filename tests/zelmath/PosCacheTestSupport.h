#pragma once

#include "velmorutils/zelmath/CAlntH.h"
#include "velmorutils/zelmath/CMathAngle.h"
#include "zelmath/AlntHTestSupport.h"

// A road of every horizontal kind: straight, spiral-arc-spiral, straight, two IPs with curves
// (the second without spirals) and a closing IP that is a bare vertex, then a straight.
inline void buildMixedRoad(CAlntH& alnt) {
    alnt.setStartPt(0, 5000.0, 3000.0, 0.0);
    alnt.setStartChainageInM(1000.0);
    alnt.appendElement(makeSegment(120.0));
    alnt.appendElement(makeSpiral(80.0, 250.0, true, true));
    alnt.appendElement(makeArc(140.0, 250.0, true));
    alnt.appendElement(makeSpiral(80.0, 250.0, true, false));
    alnt.appendElement(makeSegment(150.0));
    double n = 0.0, e = 0.0, ipN = 0.0, ipE = 0.0;
    CMathAngle az;
    alnt.getFinalPosNe(n, e);
    alnt.getLastHe()->getFinalAzimut(az);
    az.getPosAlong(220.0, n, e, ipN, ipE);
    alnt.appendElement(makeIp(ipN, ipE, 50.0, 350.0, 50.0));
    az.setDeg(az.getDeg() - 35.0);
    az.getPosAlong(300.0, ipN, ipE, ipN, ipE);
    alnt.appendElement(makeIp(ipN, ipE, 0.0, 400.0, 0.0));
    az.setDeg(az.getDeg() + 20.0);
    az.getPosAlong(260.0, ipN, ipE, ipN, ipE);
    alnt.appendElement(makeIp(ipN, ipE, 0.0, 300.0, 0.0));
    alnt.appendElement(makeSegment(100.0));
}
