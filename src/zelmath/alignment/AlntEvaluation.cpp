#include "velmorutils/zelmath/alignment/AlntEvaluation.h"

#include <cmath>

#include "velmorutils/zelmath/alignment/CAlnt.h"
#include "velmorutils/zelmath/angles/AngleConversions.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/vertical/CAlntVeArc.h"
#include "velmorutils/zelmath/vertical/CAlntVeLsWithArc.h"

namespace {

// A chainage this close to an element's start is that joint, for the side's choice: the foot of
// the station/offset inverse at an element end differs from the next start by rounding only.
constexpr double kJointTolM = 1e-9;

// The element that ends at the joint where element k starts, skipping elements of no length.
int backElement(const CAlntH& alnt, int k, double chain) {
    double start = 0.0;
    if (k <= 0 || !alnt.getElement(k).getStartChainageInM(start)) return k;
    if (std::fabs(chain - start) > kJointTolM) return k;
    for (int b = k - 1; b >= 0; --b) {
        double len = 0.0;
        if (!alnt.getElement(b).getHLengthInM(len) || len > 0.0 || b == 0) return b;
    }
    return k;
}

// The element's answer at distance d from its start; false when d is off it.
bool onElement(const CAlntHe& he, double chain, TAlntEval& at) {
    double start = 0.0;
    double len = 0.0;
    if (!he.getStartChainageInM(start) || !he.getHLengthInM(len)) return false;
    const double d = chain - start;
    if (d > len + roadTolerance || !he.getPosNeAtLength(d, at.north, at.east)) return false;
    double az = 0.0;
    if (!he.getAzimuthAtLength(d, az) || !he.getCurvatureAtLength(d, at.curvature)) return false;
    at.azimuthDeg = pos360(az);
    at.kind = he.getType();
    return true;
}

bool evaluatePlan(const CAlntH& alnt, double chain, TAlntJointSide side, TAlntEval& at) {
    int k = alnt.getElementIndexAtChain(chain);
    if (k < 0) return false;
    if (side == TAlntJointSide::back) k = backElement(alnt, k, chain);
    if (onElement(alnt.getElement(k), chain, at)) {
        at.element = k;
        return true;
    }
    double az = 0.0;
    if (!alntEndTangentAt(alnt, chain, at.north, at.east, az)) return false;
    at.azimuthDeg = pos360(az);
    at.curvature = 0.0;
    at.beyondEnds = true;
    double fin = 0.0;
    alnt.getFinalChainageInM(fin);
    at.element = chain < fin ? 0 : alnt.getNumOfHes() - 1;
    at.kind = alnt.getElement(at.element).getType();
    return true;
}

// The slope of a circular vertical curve at distance s from its start, percent: the circle
// h = centre -/+ sqrt(R^2 - x^2) has the slope x / sqrt(R^2 - x^2) on a sag (R > 0) and its
// negative on a crest.
bool circleGrade(const CAlntVeArc& arc, double s, double& g) {
    if (arc.isSimplePoint()) {
        g = arc.getStartGrade();
        return true;
    }
    double start = 0.0;
    arc.getStartChainageInM(start);
    const double r = arc.getRadius();
    const double x = start + s - arc.getCenterStaAndHt().north;
    const double root = std::sqrt(std::max(0.0, r * r - x * x));
    if (!(root > 0.0)) return false;
    g = 100.0 * (r > 0.0 ? x / root : -x / root);
    return std::isfinite(g);
}

bool gradeOf(const CAlntVe& ve, double d, double& g) {
    if (ve.getGradeAtLength(d, g)) return true;
    if (ve.getType() == avtArc) return circleGrade(static_cast<const CAlntVeArc&>(ve), d, g);
    if (ve.getType() != avtLsWithArc) return false;
    const auto& ls = static_cast<const CAlntVeLsWithArc&>(ve);
    return circleGrade(ls.getArc(), d - ls.getStartSegment().getLen(), g);
}

void evaluateProfile(const CAlnt& alnt, double chain, TAlntEval& at) {
    if (alnt.getNumOfVes() == 0) return;
    double d = 0.0;
    const CAlntVe* ve = alnt.getAlntVeAtChain(chain, &d);
    if (ve == nullptr || ve->getHtAtLen(d, at.height) != ecOk) return;
    at.hasHeight = true;
    at.hasGrade = gradeOf(*ve, d, at.gradePercent);
}

}  // namespace

const char* alntJointSideText(TAlntJointSide side) {
    switch (side) {
        case TAlntJointSide::back:
            return "back";
        case TAlntJointSide::ahead:
            return "ahead";
        case TAlntJointSide::none:
            break;
    }
    return "";
}

bool evaluateAlnt(const CAlnt& alnt, double chainageInM, TAlntEval& at, TAlntJointSide side) {
    at = TAlntEval();
    at.chainageInM = chainageInM;
    if (!std::isfinite(chainageInM) || !evaluatePlan(alnt, chainageInM, side, at)) return false;
    evaluateProfile(alnt, chainageInM, at);
    return true;
}

void alntOffsetPoint(const TAlntEval& at, double offsetInM, double& north, double& east) {
    CAlntHe::applyOffset(at.north, at.east, at.azimuthDeg, offsetInM, north, east);
}

std::size_t evaluateAlntBatch(const CAlnt& alnt, const double* chainageInM, std::size_t count,
                              TAlntEval* at, bool* ok) {
    std::size_t done = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const bool good = evaluateAlnt(alnt, chainageInM[i], at[i]);
        if (ok != nullptr) ok[i] = good;
        done += good ? 1 : 0;
    }
    return done;
}

bool alntEndTangentAt(const CAlntH& alnt, double chainageInM, double& north, double& east,
                      double& azimuthDeg) {
    double fin = 0.0;
    if (alnt.getNumOfHes() == 0 || !alnt.getFinalChainageInM(fin)) return false;
    CMathAngle a;
    double n0 = 0.0;
    double e0 = 0.0;
    double along = 0.0;
    if (chainageInM < fin) {
        const CAlntHe* first = alnt.getFirstHe();
        first->getStartAzimut(a);
        if (!first->getStartPosNe(n0, e0)) return false;
        along = -(alnt.getStartChainageInM() - chainageInM);
    } else {
        const CAlntHe* last = alnt.getLastHe();
        if (!last->getFinalAzimut(a) || !last->getFinalPosNe(n0, e0)) return false;
        along = chainageInM - fin;
    }
    a.getPosAlong(along, n0, e0, north, east);
    azimuthDeg = a.getDeg();
    return true;
}
