#include "velmorutils/zelmath/areas/C3dLineWithCtlCodes.h"

#include "velmorutils/zelmath/alignment/AlntBuildFunctions.h"
#include "velmorutils/zelmath/alignment/CAlnt.h"
#include "velmorutils/zelmath/alignment/CAlntHeArc.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/primitives/CArc.h"
#include "velmorutils/zelmath/vertical/CVerticalElement.h"

using zel_math::isUnset;
using zel_math::kUnset;

namespace {

// Extends the profile by a grade from where it ends to chainage f at height h. With no
// vertical element yet the profile starts at chainage 0 at the alignment's start height; an
// unset h keeps the height level.
bool addVerticalGrade(CAlnt& alnt, double f, double h) {
    double start = 0.0;
    double startHeight = alnt.getStartPosH();
    const CAlntVe* last = alnt.getLastVe();
    double lastFinal = 0.0;
    if (last != nullptr && last->getFinalChainageInM(lastFinal)) {
        start = lastFinal;
        startHeight = last->getFinalHt();
    }
    const double endHeight = isUnset(h) ? startHeight : h;
    if (isUnset(f)) return false;
    CVerticalElement grade;
    grade.setStraight(start, startHeight, f, endHeight);
    return alnt.appendElement(grade);
}

double finalChainageOf(const CAlnt& alnt) {
    double f = kUnset;
    if (!alnt.getFinalChainageInM(f)) return kUnset;
    return f;
}

double heightOf(const T3dPosWithCtlCode& p) {
    return p.hasHeight() ? p.height() : kUnset;
}

}  // namespace

int C3dLineWithCtlCodes::findCtlCode(TCtlCodeEnum code, int from) const {
    const int n = static_cast<int>(count());
    // A negative start searches the whole line.
    for (int i = from < 0 ? 0 : from; i < n; ++i) {
        if (carries(i, code)) return i;
    }
    return -1;
}

bool C3dLineWithCtlCodes::carries(int i, TCtlCodeEnum code) const {
    return i >= 0 && i < static_cast<int>(count()) && get_at(i).hasCtlCode(code);
}

bool C3dLineWithCtlCodes::addPoint(CAlnt& alnt, const T3dPosWithCtlCode& p) const {
    if (!p.hasPlanPos() || !appendSegmentToAlnt(p.getPos(), alnt)) return false;
    return addVerticalGrade(alnt, finalChainageOf(alnt), heightOf(p));
}

bool C3dLineWithCtlCodes::convertToAlnt(CAlnt& alnt, bool close) const {
    alnt.removeAll();
    alnt.setStartChainageInM(0.0);
    for (const T3dPosWithCtlCode& p : *this) {
        if (!p.hasPlanPos()) return false;
    }
    const int n = static_cast<int>(count());
    if (n == 0) return true;

    const T3dPosWithCtlCode& first = get_at(0);
    alnt.setStartPos(first.north(), first.east(), first.height());
    if (n == 3 && findCtlCode(ccRectangle, 0) >= 0) return addRectangle(alnt);

    const bool closeFigure = close || findCtlCode(ccClose, 0) >= 0;
    bool ok = true;
    for (int i = 0; ok && i < n; ++i) {
        if (i > 0) ok = addPoint(alnt, get_at(i));
        if (ok && carries(i, ccCurveStart)) i = runCurvePasses(alnt, i);
    }
    if (ok && closeFigure) ok = addPoint(alnt, first);
    return ok;
}

int C3dLineWithCtlCodes::runCurvePasses(CAlnt& alnt, int from) const {
    int k = from;
    bool goOn = false;
    while (goOn || carries(k, ccCurveStart)) {
        const int reached = runCurvePass(alnt, k, goOn);
        if (reached < 0) break;
        k = reached;
    }
    return k;
}

// One arc from point i to the next curve end, at most two points on. A three-point arc is
// appended only as far as its middle point, and goOn asks for the second half, which then
// starts on the first half's end tangent. Returns the index reached, or -1 when no arc was
// appended.
int C3dLineWithCtlCodes::runCurvePass(CAlnt& alnt, int i, bool& goOn) const {
    goOn = false;
    int j = findCtlCode(ccCurveEnd, i + 1);
    if (j < 0 || j - i > 2) return -1;
    const T3dPosWithCtlCode& pa = get_at(i);
    const T3dPosWithCtlCode& pb = get_at(j);
    if (!pa.hasPlanPos() || !pb.hasPlanPos()) return -1;
    const C2dPos a = pa.getPos();
    const C2dPos b = pb.getPos();

    CArc arc;
    if (j == i + 1) {
        const CAlntHe* last = alnt.getLastHe();
        if (last != nullptr) {
            CMathAngle tangent;
            if (!last->getFinalAzimut(tangent)) return -1;
            if (!arc.set_start_finish_startTgDir(a, b, tangent)) return -1;
        } else {
            // Nothing before the arc gives its start tangent; the straight that follows it
            // gives its end tangent instead.
            if (j + 1 >= static_cast<int>(count())) return -1;
            CMathAngle tangent;
            if (!tangent.setAz(b, get_at(j + 1).getPos())) return -1;
            if (!arc.set_start_finish_finishTgDir(a, b, tangent)) return -1;
        }
    } else {
        const C2dPos m = get_at(i + 1).getPos();
        CArc whole;
        if (!whole.set_start_finish_plusPos(a, b, m)) return -1;
        if (!arc.set_start_center_finish(a, whole.centre, m, whole.clockwise)) return -1;
        j = i + 1;
        goOn = true;
    }

    CAlntHeArc element;
    element.setArc(arc);
    if (!alnt.appendElement(element)) {
        goOn = false;
        return -1;
    }
    if (!addVerticalGrade(alnt, finalChainageOf(alnt), heightOf(get_at(j)))) {
        goOn = false;
        return -1;
    }
    return j;
}

// Three corners of a rectangle: the corner between the two shorter sides is the right angle,
// and the fourth corner completes the parallelogram opposite it.
bool C3dLineWithCtlCodes::addRectangle(CAlnt& alnt) const {
    const T3dPosWithCtlCode& p0 = get_at(0);
    const T3dPosWithCtlCode& p1 = get_at(1);
    const T3dPosWithCtlCode& p2 = get_at(2);
    const double d01 = p0.getPos().distanceTo(p1.getPos());
    const double d12 = p1.getPos().distanceTo(p2.getPos());
    const double d20 = p2.getPos().distanceTo(p0.getPos());

    const T3dPosWithCtlCode* figure[3];
    C2dPos d;
    if (d20 >= d01 && d20 >= d12) {
        d = p0.getPos() + p2.getPos() - p1.getPos();
        figure[0] = &p1;
        figure[1] = &p2;
        figure[2] = nullptr;
    } else if (d01 >= d12 && d01 >= d20) {
        d = p0.getPos() + p1.getPos() - p2.getPos();
        figure[0] = &p2;
        figure[1] = &p1;
        figure[2] = nullptr;
    } else {
        d = p1.getPos() + p2.getPos() - p0.getPos();
        figure[0] = &p1;
        figure[1] = nullptr;
        figure[2] = &p2;
    }
    // The constructed corner has no measured height: its grade keeps the previous height.
    const T3dPosWithCtlCode fourth(d);
    for (const T3dPosWithCtlCode* p : figure) {
        if (!addPoint(alnt, p != nullptr ? *p : fourth)) return false;
    }
    return addPoint(alnt, p0);
}

bool C3dLineWithCtlCodes::convertFromAlnt(const CAlnt& alnt, bool close) {
    reset();
    T3dPosWithCtlCode first(alnt.getStartPosN(), alnt.getStartPosE(), alnt.getStartPosH());
    if (close) first.addCtlCode(ccClose);
    add(first);

    for (int i = 0; i < alnt.getNumOfHes(); ++i) {
        const CAlntHe* he = alnt.getHe(i);
        const CAlntHeArc* arcElement = CAlntHeArc::cast(he);
        if (he == nullptr || (arcElement == nullptr && he->getType() != alntHeSegment)) {
            return false;
        }
        if (arcElement != nullptr) {
            getLast()->addCtlCode(ccCurveStart);
            // A fixed start azimuth does not follow from the element before: only a point on
            // the arc, its middle, can say how it bends on the way back.
            if (arcElement->hasFixedStartAzimuth()) {
                CArc arc;
                if (!arcElement->getArc(arc)) return false;
                C2dPos middle;
                arc.get_middle_pos_on_the_arc(middle);
                const T3dPosWithCtlCode& prev = *getLast();
                T3dPosWithCtlCode mid(middle);
                if (prev.hasHeight()) mid.set(middle.north, middle.east, prev.height());
                add(mid);
            }
        }
        // Every later point takes the first point's height and mask, but none of its codes.
        T3dPosWithCtlCode next = first;
        next.clearCtlCodes();
        if (!he->getFinalPosNe(next.coords[0], next.coords[1])) return false;
        if (arcElement != nullptr) next.addCtlCode(ccCurveEnd);
        add(next);
    }
    return true;
}
