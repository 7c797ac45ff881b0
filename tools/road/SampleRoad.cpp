#include "SampleRoad.h"

#include <velmorutils/zelmath/alignment/CAlntHeArc.h>
#include <velmorutils/zelmath/alignment/CAlntHeIp.h>
#include <velmorutils/zelmath/alignment/CAlntHeSegment.h>
#include <velmorutils/zelmath/alignment/CAlntHeSpiral.h>
#include <velmorutils/zelmath/vertical/CAlntVeLsWithArc.h>
#include <velmorutils/zelmath/vertical/CLsInfo.h>
#include <velmorutils/zelmath/vertical/CVerticalLSElement.h>

namespace road {
namespace {

void line(CAlnt& a, double len) {
    CAlntHeSegment s;
    s.get_data().get_data().setLen(len);
    a.appendElement(s);
}

void arc(CAlnt& a, double len, double r, bool right) {
    CAlntHeArc e;
    e.get_data().get_data().SetElement(len, r, right);
    a.appendElement(e);
}

void spiral(CAlnt& a, double len, double r, bool right, bool intoCurve) {
    CAlntHeSpiral e;
    e.get_data().get_data().setLenAndR(len, r, right, intoCurve);
    a.appendElement(e);
}

// A right-hand curve with spirals, a straight, and a left-hand curve with spirals.
void reverseCurves(CAlnt& a) {
    spiral(a, 60.0, 400.0, true, true);
    arc(a, 120.0, 400.0, true);
    spiral(a, 60.0, 400.0, true, false);
    line(a, 100.0);
    spiral(a, 50.0, 300.0, false, true);
    arc(a, 90.0, 300.0, false);
    spiral(a, 50.0, 300.0, false, false);
    line(a, 80.0);
}

// Two intersection points ahead of the current end: a curve with spirals at the first, the
// second a bare vertex where the road ends.
void ipCurve(CAlnt& a, double deflectionDeg) {
    double n = 0.0, e = 0.0;
    CMathAngle az;
    a.getFinalPosNe(n, e);
    a.getLastHe()->getFinalAzimut(az);
    C2dPos ip1, ip2;
    az.getPosAlong(200.0, C2dPos(n, e), ip1);
    az += CMathAngle(deflectionDeg);
    az.getPosAlong(250.0, ip1, ip2);
    CAlntHeIp first, last;
    first.setIp(ip1.north, ip1.east, 40.0, 350.0, 40.0);
    last.setIp(ip2.north, ip2.east, 0.0, 0.0, 0.0);
    a.appendElement(first);
    a.appendElement(last);
}

void profile(CAlnt& a, double endChainage) {
    a.appendElement(CVerticalLSElement(CLsInfo(0.0, 100.0, 0.0)));
    a.appendElement(CVerticalLSElement(CLsInfo(300.0, 106.0, 120.0)));
    a.appendElement(CAlntVeLsWithArc(700.0, 98.0, 6000.0));
    a.appendElement(CVerticalLSElement(CLsInfo(1100.0, 104.0, 150.0)));
    a.appendElement(CVerticalLSElement(CLsInfo(endChainage, 101.0, 0.0)));
}

}  // namespace

void buildSampleRoad(CAlnt& alnt) {
    alnt.removeAll();
    alnt.setName("Sample road");
    alnt.setStartChainageInM(0.0);
    alnt.setChainageIntervalInM(20.0);
    alnt.setStartPos(5000.0, 2000.0, 100.0);
    CAlntHeSegment first;
    first.get_data().get_data().setLen(150.0);
    first.setFixedStartAzimuthDeg(30.0);
    alnt.appendElement(first);
    reverseCurves(alnt);
    ipCurve(alnt, 35.0);
    double end = 0.0;
    alnt.getFinalChainageInM(end);
    profile(alnt, end);
}

void buildLongRoad(CAlnt& alnt, double approxLengthM) {
    alnt.removeAll();
    alnt.setName("Long road");
    alnt.setChainageIntervalInM(1.0);
    alnt.setStartPos(5000.0, 2000.0, 100.0);
    CAlntHeSegment first;
    first.get_data().get_data().setLen(150.0);
    first.setFixedStartAzimuthDeg(30.0);
    alnt.appendElement(first);
    double end = 0.0;
    while (alnt.getFinalChainageInM(end) && end < approxLengthM)
        reverseCurves(alnt);
    // Grades of 2 % up and down with a parabola at each VIP.
    alnt.appendElement(CVerticalLSElement(CLsInfo(0.0, 100.0, 0.0)));
    double ch = 400.0;
    for (bool up = true; ch < end - 200.0; ch += 400.0, up = !up)
        alnt.appendElement(CVerticalLSElement(CLsInfo(ch, up ? 108.0 : 100.0, 150.0)));
    alnt.appendElement(CVerticalLSElement(CLsInfo(end, 104.0, 0.0)));
}

}  // namespace road
