#include <velmorutils/landxml/AlignmentBuilder.h>

#include <cmath>
#include <cstdio>

#include <velmorutils/formats/ValueFormats.h>
#include <velmorutils/zelmath/alignment/CAlntHeArc.h>
#include <velmorutils/zelmath/alignment/CAlntHeIp.h>
#include <velmorutils/zelmath/alignment/CAlntHeSegment.h>
#include <velmorutils/zelmath/alignment/CAlntHeSpiral.h>
#include <velmorutils/zelmath/angles/MathCommon.h>
#include <velmorutils/zelmath/primitives/CArc.h>
#include <velmorutils/zelmath/vertical/CAlntVeLsWithArc.h>
#include <velmorutils/zelmath/vertical/CLsInfo.h>
#include <velmorutils/zelmath/vertical/CVerticalLSElement.h>

namespace zel_landxml {
namespace {

const char* kindName(HKind k) {
    switch (k) {
        case HKind::Line:
            return "Line";
        case HKind::Curve:
            return "Curve";
        default:
            return "Spiral";
    }
}

std::string where(const HElement& e, int index) {
    return "element " + std::to_string(index + 1) + " (" + kindName(e.kind) + ", line " +
           std::to_string(e.line) + ")";
}

bool azimuth(const Point& from, const Point& to, CMathAngle& az) {
    return from.present() && to.present() && az.setAz(to.north - from.north, to.east - from.east);
}

// The direction the file gives an element at its start, when it gives one.
bool fileStartDirection(const HElement& e, CMathAngle& az) {
    switch (e.kind) {
        case HKind::Line:
            return azimuth(e.start, e.end, az);
        case HKind::Curve:
            // The centre lies to the right of a clockwise curve: the tangent is square to the
            // radius.
            if (azimuth(e.start, e.center, az)) {
                az += CMathAngle(e.clockwise ? -90.0 : 90.0);
                return true;
            }
            return azimuth(e.start, e.pi, az);
        case HKind::Spiral:
            return azimuth(e.start, e.pi, az);
    }
    return false;
}

template <class Element>
void orient(Element& el, const HElement& e, int index, const CAlnt& alnt, BuildReport& report) {
    CMathAngle fileAz;
    if (!fileStartDirection(e, fileAz)) return;  // nothing to compare: continue the chain
    CMathAngle chainAz;
    const CAlntHe* last = alnt.getLastHe();
    const bool chained = index > 0 && last != nullptr && last->getFinalAzimut(chainAz);
    CMathAngle diff = fileAz;
    diff -= chainAz;
    if (chained && std::fabs(diff.getRad()) <= kKinkToleranceRad) return;
    el.setFixedStartAzimuthDeg(fileAz.getDeg());
    if (index > 0) ++report.anchoredDirections;
}

bool appendHorizontal(const HElement& e, int index, CAlnt& alnt, BuildReport& report,
                      std::string& error) {
    bool ok = false;
    if (e.kind == HKind::Line) {
        CAlntHeSegment seg;
        seg.get_data().get_data().setLen(e.length);
        orient(seg, e, index, alnt, report);
        ok = alnt.appendElement(seg);
    } else if (e.kind == HKind::Curve) {
        CAlntHeArc arc;
        arc.get_data().get_data().SetElement(e.length, e.radius, e.clockwise);
        orient(arc, e, index, alnt, report);
        ok = alnt.appendElement(arc);
    } else {
        CAlntHeSpiral spiral;
        CCurveDataSpiral& data = spiral.get_data().get_data();
        if (std::isinf(e.radiusStart))
            ok = data.setLenAndR(e.length, e.radiusEnd, e.clockwise, true);
        else if (std::isinf(e.radiusEnd))
            ok = data.setLenAndR(e.length, e.radiusStart, e.clockwise, false);
        else
            ok = data.setLenAndR(e.length, e.radiusStart, e.radiusEnd, e.clockwise);
        if (ok) {
            orient(spiral, e, index, alnt, report);
            ok = alnt.appendElement(spiral);
        }
    }
    if (!ok) error = where(e, index) + ": the library cannot build this element";
    return ok;
}

void compareEnd(const HElement& e, int index, const CAlnt& alnt, BuildReport& report) {
    double n = 0.0, en = 0.0;
    if (!e.end.present() || !alnt.getLastHe()->getFinalPosNe(n, en)) return;
    const double d = std::hypot(n - e.end.north, en - e.end.east);
    ++report.checkedEnds;
    if (report.worstElement < 0 || d > report.largestEndDifference) {
        report.largestEndDifference = d;
        report.worstElement = index;
    }
    if (d <= kEndWarningM) return;
    double finalChain = 0.0;
    alnt.getLastHe()->getFinalChainageInM(finalChain);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", d);
    report.warnings.push_back(where(e, index) + " ending at station " + stationText(finalChain) +
                              ": the computed end differs from the file's End by " + buf + " m");
}

bool appendProfile(const Alignment& in, CAlnt& alnt, std::string& error) {
    for (const Vip& v : in.profile) {
        bool ok = false;
        if (v.curve == VCurve::Circle)
            ok = alnt.appendElement(CAlntVeLsWithArc(v.station, v.elevation, v.radius));
        else
            ok = alnt.appendElement(CVerticalLSElement(CLsInfo(v.station, v.elevation, v.length)));
        if (!ok) {
            error = "profile point at line " + std::to_string(v.line) +
                    ": the library cannot fit this vertical curve between its neighbours";
            return false;
        }
    }
    return true;
}

// --- describing an alignment -------------------------------------------------------------

Point point(double n, double e) {
    Point p;
    p.north = n;
    p.east = e;
    return p;
}

// Where the start tangent meets the end tangent; absent for parallel tangents.
Point tangentIntersection(const Point& a, const CMathAngle& azA, const Point& b,
                          const CMathAngle& azB) {
    const double c = azA.getCos() * azB.getSin() - azA.getSin() * azB.getCos();
    if (std::fabs(c) < 1e-9) return {};
    const double dn = b.north - a.north, de = b.east - a.east;
    const double t = (dn * azB.getSin() - de * azB.getCos()) / c;
    return point(a.north + t * azA.getCos(), a.east + t * azA.getSin());
}

template <class T>
void ends(const COrgAzCurveT<T>& c, HElement& e) {
    e.start = point(c.getOrgNorthing(), c.getOrgEasting());
    e.end = point(c.getFinalNorthing(), c.getFinalEasting());
    e.length = c.getTotalLength();
}

template <class T>
void tangentPi(const COrgAzCurveT<T>& c, HElement& e) {
    CMathAngle a0, a1;
    c.getStartAzimut(a0);
    if (c.getFinalAzimut(a1)) e.pi = tangentIntersection(e.start, a0, e.end, a1);
}

HElement describe(const COrgAzCurveT<CCurveDataSegment>& c) {
    HElement e;
    e.kind = HKind::Line;
    ends(c, e);
    return e;
}

HElement describe(const COrgAzCurveT<CCurveDataArc>& c) {
    HElement e;
    e.kind = HKind::Curve;
    ends(c, e);
    const CCurveDataArc& arc = c.get_data();
    e.radius = std::fabs(arc.getRadius());
    e.clockwise = arc.isToTheRight();
    double cn = 0.0, ce = 0.0;
    arc.getCenterNE(cn, ce);
    c.getRotation().getRotated(cn, ce);
    e.center = point(c.getOrgNorthing() + cn, c.getOrgEasting() + ce);
    if (e.length / e.radius < zel_math::kPi - 1e-6) tangentPi(c, e);
    return e;
}

HElement describe(const COrgAzCurveT<CCurveDataSpiral>& c) {
    HElement e;
    e.kind = HKind::Spiral;
    ends(c, e);
    double L = 0.0, r1 = 0.0, r2 = 0.0;
    bool right = true;
    c.get_data().GetSpiralElement(L, r1, r2, right);
    e.clockwise = right;
    e.radiusStart = zel_math::isUnset(r1) || r1 == 0.0 ? kInfinite : r1;
    e.radiusEnd = zel_math::isUnset(r2) || r2 == 0.0 ? kInfinite : r2;
    tangentPi(c, e);
    return e;
}

// Zero-length pieces (a curve without spirals, a bare vertex) are left out.
template <class T>
void addPiece(const COrgAzCurveT<T>& c, std::vector<HElement>& out) {
    const double len = c.getTotalLength();
    if (zel_math::isUnset(len) || len < 1e-9) return;
    out.push_back(describe(c));
}

bool describeHorizontal(const CAlntHe& he, int index, std::vector<HElement>& out,
                        std::string& error) {
    if (const CAlntHeSegment* s = CAlntHeSegment::cast(&he)) {
        out.push_back(describe(s->get_data()));
    } else if (const CAlntHeArc* a = CAlntHeArc::cast(&he)) {
        out.push_back(describe(a->get_data()));
    } else if (const CAlntHeSpiral* sp = CAlntHeSpiral::cast(&he)) {
        out.push_back(describe(sp->get_data()));
    } else if (const CAlntHeIp* ip = CAlntHeIp::cast(&he)) {
        const CCurveIp& c = ip->get_data();
        addPiece(c.getSolutionStartSegment(), out);
        addPiece(c.getSolutionStartSpiral(), out);
        addPiece(c.getSolutionArc(), out);
        addPiece(c.getSolutionFinalSpiral(), out);
    } else {
        error = "element " + std::to_string(index + 1) + " is of a kind LandXML cannot hold";
        return false;
    }
    return true;
}

}  // namespace

std::string stationText(double chainage) {
    const zel_text::CZelStringT<char> s = StnToString(chainage, 1000.0);
    return std::string(static_cast<const char*>(s));
}

bool buildAlignment(const Alignment& in, CAlnt& out, BuildReport& report, std::string& error) {
    report = BuildReport();
    out.removeAll();
    if (in.elements.empty() || !in.elements.front().start.present()) {
        error = "alignment at line " + std::to_string(in.line) +
                ": the first element has no Start, so the road cannot be placed";
        return false;
    }
    const Point& start = in.elements.front().start;
    out.setStartChainageInM(in.staStart);
    out.setStartPos(start.north, start.east,
                    in.profile.empty() ? 0.0 : in.profile.front().elevation);
    for (size_t i = 0; i < in.elements.size(); ++i) {
        const int index = static_cast<int>(i);
        if (!appendHorizontal(in.elements[i], index, out, report, error)) return false;
        compareEnd(in.elements[i], index, out, report);
    }
    return appendProfile(in, out, error);
}

bool describeProfile(const CAlnt& alnt, std::vector<Vip>& out, std::string& error) {
    for (int i = 0; i < alnt.getNumOfVes(); ++i) {
        const CAlntVe* ve = alnt.getVe(i);
        Vip v;
        if (const auto* arc = dynamic_cast<const CAlntVeLsWithArc*>(ve)) {
            v.station = arc->getIpStaAndHt().north;
            v.elevation = arc->getIpStaAndHt().east;
            v.radius = std::fabs(arc->getRadius());
            v.curve = v.radius > 0.0 ? VCurve::Circle : VCurve::None;
            v.length = v.radius > 0.0 ? arc->getArc().getLen() : 0.0;
        } else {
            CLsInfo info;
            if (!ve->getAsLs(info)) {
                error = "profile element " + std::to_string(i + 1) +
                        " is not a vertical intersection point";
                return false;
            }
            v.station = info.getChainage();
            v.elevation = info.getHeight();
            v.length = info.getCurveLength();
            v.curve = v.length > 0.0 ? VCurve::Parabola : VCurve::None;
        }
        out.push_back(v);
    }
    return true;
}

bool describeAlignment(const CAlnt& alnt, Alignment& out, std::string& error) {
    Alignment a;
    a.name = static_cast<const char*>(alnt.getName());
    a.staStart = alnt.getStartChainageInM();
    for (int i = 0; i < alnt.getNumOfHes(); ++i)
        if (!describeHorizontal(alnt.getElement(i), i, a.elements, error)) return false;
    if (!describeProfile(alnt, a.profile, error)) return false;
    out = std::move(a);
    return true;
}

}  // namespace zel_landxml
