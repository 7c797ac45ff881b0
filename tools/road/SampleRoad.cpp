#include "SampleRoad.h"

#include <limits>

#include <velmorutils/zelmath/alignment/AlntBuildFunctions.h>

namespace road {
namespace {

using zel_math::AlntBuilder;
using zel_math::Verdict;
using zel_math::VipCurve;

constexpr double kTangent = std::numeric_limits<double>::infinity();

// Every step of a built-in road must pass the library's validity rules; the first that does
// not is kept, so that the road comes out empty rather than half built.
struct Steps {
    AlntBuilder b;
    Verdict first;
    void take(const Verdict& v) {
        if (first && !v) first = v;
    }
};

void spiral(Steps& s, double len, double r, bool right, bool intoCurve) {
    s.take(s.b.spiral(len, intoCurve ? kTangent : r, intoCurve ? r : kTangent, right));
}

// A right-hand curve with spirals, a straight, and a left-hand curve with spirals.
void reverseCurves(Steps& s) {
    spiral(s, 60.0, 400.0, true, true);
    s.take(s.b.arc(120.0, 400.0, true));
    spiral(s, 60.0, 400.0, true, false);
    s.take(s.b.line(100.0));
    spiral(s, 50.0, 300.0, false, true);
    s.take(s.b.arc(90.0, 300.0, false));
    spiral(s, 50.0, 300.0, false, false);
    s.take(s.b.line(80.0));
}

// Two intersection points ahead of the current end: a curve with spirals at the first, the
// second a bare vertex where the road ends.
void ipCurve(Steps& s, double deflectionDeg) {
    double n = 0.0, e = 0.0;
    CMathAngle az;
    s.b.alnt().getFinalPosNe(n, e);
    s.b.alnt().getLastHe()->getFinalAzimut(az);
    C2dPos ip1, ip2;
    az.getPosAlong(200.0, C2dPos(n, e), ip1);
    az += CMathAngle(deflectionDeg);
    az.getPosAlong(250.0, ip1, ip2);
    s.take(s.b.ip(ip1.north, ip1.east, 350.0, 40.0, 40.0));
    s.take(s.b.ip(ip2.north, ip2.east, 0.0, 0.0, 0.0));
}

void profile(Steps& s, double endChainage) {
    s.take(s.b.vip(0.0, 100.0, VipCurve::None, 0.0, 0.0));
    s.take(s.b.vip(300.0, 106.0, VipCurve::Parabola, 120.0, 0.0));
    s.take(s.b.vip(700.0, 98.0, VipCurve::Circle, 0.0, 6000.0));
    s.take(s.b.vip(1100.0, 104.0, VipCurve::Parabola, 150.0, 0.0));
    s.take(s.b.vip(endChainage, 101.0, VipCurve::None, 0.0, 0.0));
}

// The road built, or an empty one when a step broke a rule.
void deliver(Steps& s, CAlnt& alnt) {
    s.take(s.b.finish());
    if (s.first)
        alnt = s.b.alnt();
    else
        alnt.removeAll();
}

Steps start(const char* name, double intervalM) {
    Steps s{AlntBuilder(5000.0, 2000.0, 0.0, 30.0), Verdict::pass()};
    s.b.alnt().setName(name);
    s.b.alnt().setChainageIntervalInM(intervalM);
    s.b.alnt().setStartPos(5000.0, 2000.0, 100.0);
    s.take(s.b.line(150.0));
    return s;
}

}  // namespace

void buildSampleRoad(CAlnt& alnt) {
    Steps s = start("Sample road", 20.0);
    reverseCurves(s);
    ipCurve(s, 35.0);
    double end = 0.0;
    s.b.alnt().getFinalChainageInM(end);
    profile(s, end);
    deliver(s, alnt);
}

void buildLongRoad(CAlnt& alnt, double approxLengthM) {
    Steps s = start("Long road", 1.0);
    double end = 0.0;
    while (s.first && s.b.alnt().getFinalChainageInM(end) && end < approxLengthM)
        reverseCurves(s);
    // Grades of 2 % up and down with a parabola at each VIP.
    s.take(s.b.vip(0.0, 100.0, VipCurve::None, 0.0, 0.0));
    double ch = 400.0;
    for (bool up = true; ch < end - 200.0; ch += 400.0, up = !up)
        s.take(s.b.vip(ch, up ? 108.0 : 100.0, VipCurve::Parabola, 150.0, 0.0));
    s.take(s.b.vip(end, 104.0, VipCurve::None, 0.0, 0.0));
    deliver(s, alnt);
}

}  // namespace road
