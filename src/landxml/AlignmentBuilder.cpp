#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Stationing.h>

#include <cmath>
#include <cstdio>

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

// The direction the file gives an element at its start, when it gives one. `from` is where the
// element starts: its own Start, or the end of the road so far for a curve given by its PI.
bool fileStartDirection(const HElement& e, const Point& from, CMathAngle& az) {
    switch (e.kind) {
        case HKind::Line:
            return azimuth(e.start, e.end, az);
        case HKind::Curve:
            // The centre lies to the right of a clockwise curve: the tangent is square to the
            // radius.
            if (azimuth(from, e.center, az)) {
                az += CMathAngle(e.clockwise ? -90.0 : 90.0);
                return true;
            }
            return azimuth(from, e.pi, az);
        case HKind::Spiral:
            return azimuth(from, e.pi, az);
    }
    return false;
}

std::string millimetres(double m) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f m", m);
    return buf;
}

// Builds the horizontal chain element by element and notes where the file and the chain part.
class Builder {
public:
    Builder(const Alignment& in, CAlnt& alnt, BuildReport& report)
        : in_(in), alnt_(alnt), report_(report), stationing_(stationingOf(in)) {}

    bool append(const HElement& e, int index, std::string& error) {
        Point from = e.start;
        if (!from.present() && index > 0) chainEnd(from);
        noteGap(e, index);
        bool ok = false;
        if (e.kind == HKind::Line) {
            CAlntHeSegment seg;
            seg.get_data().get_data().setLen(e.length);
            orient(seg, e, from, index);
            ok = alnt_.appendElement(seg);
        } else if (e.kind == HKind::Curve) {
            CAlntHeArc arc;
            arc.get_data().get_data().SetElement(e.length, e.radius, e.clockwise);
            orient(arc, e, from, index);
            ok = alnt_.appendElement(arc);
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
                orient(spiral, e, from, index);
                ok = alnt_.appendElement(spiral);
            }
        }
        if (!ok) {
            error = where(e, index) + ": the library cannot build this element";
            return false;
        }
        compareEnd(e, index);
        Point end;
        if (chainEnd(end) && !within(end)) {
            error = where(e, index) + ": its computed end lies beyond the coordinate bound (" +
                    "1e8 m from the origin); it could not be written back";
            return false;
        }
        return true;
    }

private:
    bool chainEnd(Point& p) const {
        const CAlntHe* last = alnt_.getLastHe();
        return last != nullptr && last->getFinalPosNe(p.north, p.east);
    }

    std::string stationAt(double chainage) const {
        return stationing_.text(chainage, StationStyle());
    }

    double chainageNow() const {
        double c = in_.staStart;
        if (const CAlntHe* last = alnt_.getLastHe()) last->getFinalChainageInM(c);
        return c;
    }

    static bool within(const Point& p) {
        return !p.present() || (std::fabs(p.north) <= kMaxCoordinateM * (1.0 + kBoundSlack) &&
                                std::fabs(p.east) <= kMaxCoordinateM * (1.0 + kBoundSlack));
    }

    // A gap between the file's End of one element and the file's Start of the next is the
    // file's own; it is noted once, at that joint, where it stays: the next element starts at
    // its own Start.
    void noteGap(const HElement& e, int index) {
        if (index == 0) return;
        const HElement& prev = in_.elements[static_cast<size_t>(index) - 1];
        if (!prev.end.present() || !e.start.present()) return;
        const double d = std::hypot(e.start.north - prev.end.north, e.start.east - prev.end.east);
        if (d <= kEndWarningM) return;
        report_.notes.push_back("joint at station " + stationAt(chainageNow()) + " before " +
                                where(e, index) + ": its Start lies " + millimetres(d) +
                                " from the previous element's End (a gap in the file); the element "
                                "starts at its own Start");
    }

    // Each element is placed where the file puts it: at its own Start (else where the road so
    // far ends) and in its own direction (else the road's). Nothing of one element's rounding is
    // carried to the next, so the road cannot drift from the file however long it is. Where the
    // file's direction differs from the road's by more than the kink tolerance the joint is an
    // angle point of the design, noted once with its deflection; below it the difference is
    // the file's rounding and passes silently.
    template <class Element>
    void orient(Element& el, const HElement& e, const Point& from, int index) {
        CMathAngle fileAz;
        const bool haveDirection = fileStartDirection(e, from, fileAz);
        CMathAngle chainAz;
        const CAlntHe* last = alnt_.getLastHe();
        const bool chained = index > 0 && last != nullptr && last->getFinalAzimut(chainAz);
        if (!chained) {
            if (haveDirection) el.setFixedStartAzimuthDeg(fileAz.getDeg());
            return;
        }
        CMathAngle diff = haveDirection ? fileAz : chainAz;
        diff -= chainAz;
        const bool kink = std::fabs(diff.getRad()) > kKinkToleranceRad;
        if (kink) el.setFixedStartAzimuthDeg(fileAz.getDeg());
        if (from.present())
            el.setHeldStart(from.north, from.east, (haveDirection ? fileAz : chainAz).getDeg());
        if (kink) noteKink(e, index, diff);
    }

    void noteKink(const HElement& e, int index, const CMathAngle& diff) {
        ++report_.anchoredDirections;
        // Rounded once to tenths of a second, so 10 degrees never prints as 9°59'60.0".
        const long long tenths = std::llround(std::fabs(diff.getDeg()) * 36000.0);
        char buf[96];
        std::snprintf(buf, sizeof buf, "%lld°%02lld'%02lld.%lld\" %s", tenths / 36000,
                      tenths / 600 % 60, tenths / 10 % 60, tenths % 10,
                      diff.getRad() > 0 ? "right" : "left");
        report_.notes.push_back("joint at station " + stationAt(chainageNow()) + " before " +
                                where(e, index) + ": not tangent, the direction turns " + buf +
                                " (an angle point)");
    }

    // The absolute distance between the computed end and the file's End is what a stake-out
    // would show; a warning is raised only for what this element adds to it, so one error in
    // the file is reported once and not again at every element after it.
    void compareEnd(const HElement& e, int index) {
        Point end, start;
        const CAlntHe* last = alnt_.getLastHe();
        if (!e.end.present() || !last->getFinalPosNe(end.north, end.east)) return;
        last->getStartPosNe(start.north, start.east);
        const double d = std::hypot(end.north - e.end.north, end.east - e.end.east);
        ++report_.checkedEnds;
        if (report_.worstElement < 0 || d > report_.largestEndDifference) {
            report_.largestEndDifference = d;
            report_.worstElement = index;
        }
        if (e.start.present()) {
            shiftN_ = e.start.north - start.north;
            shiftE_ = e.start.east - start.east;
        }
        const double own =
            std::hypot(end.north + shiftN_ - e.end.north, end.east + shiftE_ - e.end.east);
        shiftN_ = e.end.north - end.north;
        shiftE_ = e.end.east - end.east;
        if (own <= kEndWarningM) return;
        report_.warnings.push_back(
            where(e, index) + " ending at station " + stationAt(chainageNow()) +
            ": the computed end differs from the file's End by " + millimetres(own));
    }

    const Alignment& in_;
    CAlnt& alnt_;
    BuildReport& report_;
    const Stationing stationing_;
    // The file's position minus the computed one at the last point where the file gave one.
    double shiftN_ = 0.0, shiftE_ = 0.0;
};

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
    return Stationing().text(chainage, StationStyle());
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
    Builder builder(in, out, report);
    for (size_t i = 0; i < in.elements.size(); ++i)
        if (!builder.append(in.elements[i], static_cast<int>(i), error)) return false;
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
