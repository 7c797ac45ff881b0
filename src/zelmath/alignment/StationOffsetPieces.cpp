#include <algorithm>
#include <cmath>
#include <string>
#include <type_traits>

#include "zelmath/alignment/StationOffsetGeometry.h"

// The pieces of the station/offset index: lines, arcs and clothoids placed as the elements place
// them, evaluated along their length.

namespace station_offset {

Point evalPiece(const Piece& pc, double s) {
    Point q;
    switch (pc.kind) {
        case PieceKind::line:
            q.tan = pc.dir;
            q.pos = pc.p0 + s * q.tan;
            return q;
        case PieceKind::arc: {
            const double th = pc.az0 + pc.k * s;
            q.tan = dirOf(th);
            q.pos = pc.centre + (1.0 / pc.k) * Vec{q.tan.e, -q.tan.n};
            q.k = pc.k;
            return q;
        }
        case PieceKind::clothoid:
            break;
    }
    // The basic spiral is only ever asked inside its length, so it never reports.
    const double u = std::clamp(pc.u0 + pc.sigma * s, 0.0, pc.basicLength);
    double bn = 0.0;
    double be = 0.0;
    pc.basic.getPosAtLength(u, bn, be);
    q.pos = pc.c + Vec{bn * pc.cosT - be * pc.sinT, bn * pc.sinT + be * pc.cosT};
    const double phi = 0.5 * u * u * pc.invRL;
    q.tan = dirOf(pc.theta + phi + (pc.sigma < 0.0 ? zel_math::kPi : 0.0));
    q.k = pc.sigma * u * pc.invRL;
    return q;
}

double maxCurvature(const Piece& pc, const Point& a, const Point& b) {
    if (pc.kind == PieceKind::line) return 0.0;
    return std::max(std::fabs(a.k), std::fabs(b.k));
}

Box spanBox(const Point& a, const Point& b, double h, double evalError) {
    const double c = std::max(0.0, norm(b.pos - a.pos) - 2.0 * evalError);
    const double grow = 0.5 * std::sqrt(std::max(0.0, h * h - c * c)) + 2.0 * evalError + 1e-9;
    Box box;
    box.add(a.pos, grow);
    box.add(b.pos, grow);
    return box;
}

bool Builder::addElement(const CAlntH& alnt, int i) {
    const CAlntHe* he = alnt.getHe(i);
    const std::string which = "element " + std::to_string(i);
    if (!he->isok()) return fail(which + " is not defined");
    double start = 0.0, length = 0.0;
    if (!he->getStartChainageInM(start)) return fail(which + " has no start chainage");
    if (!he->getHLengthInM(length) || !std::isfinite(length) || length < 0.0)
        return fail(which + " has no length");
    ElementPrint print;
    print.type = he->getType();
    print.startChainage = start;
    print.length = length;
    CMathAngle az;
    he->getStartAzimut(az);
    print.startAz = az.getRad();
    if (!he->getStartPosNe(print.startN, print.startE) ||
        !he->getFinalPosNe(print.finalN, print.finalE) || !he->getFinalAzimut(az))
        return fail(which + " has no end points");
    print.finalAz = az.getRad();
    m_g.prints.push_back(print);
    m_g.elementStarts.push_back(start);
    m_firstPiece.push_back(static_cast<int>(m_g.pieces.size()));

    bool ok = true;
    if (const auto* seg = CAlntHeSegment::cast(he)) {
        ok = addPlaced(seg->get_data(), i, 0.0, start);
    } else if (const auto* arc = CAlntHeArc::cast(he)) {
        ok = addPlaced(arc->get_data(), i, 0.0, start);
    } else if (const auto* sp = CAlntHeSpiral::cast(he)) {
        ok = addPlaced(sp->get_data(), i, 0.0, start);
    } else if (const auto* ip = CAlntHeIp::cast(he)) {
        const CCurveIp& curve = ip->get_data();
        double offset = 0.0;
        const auto& seg = curve.getSolutionStartSegment();
        ok = addPlaced(seg, i, offset, start);
        if (ok && !curve.isSimplePoint()) {
            offset += seg.getTotalLength();
            ok = addPlaced(curve.getSolutionStartSpiral(), i, offset, start + offset);
            offset += curve.getSolutionStartSpiral().getTotalLength();
            ok = ok && addPlaced(curve.getSolutionArc(), i, offset, start + offset);
            offset += curve.getSolutionArc().getTotalLength();
            ok = ok && addPlaced(curve.getSolutionFinalSpiral(), i, offset, start + offset);
        }
    } else {
        return fail(which + " is of an unknown kind");
    }
    if (!ok) return fail(which + " has a piece that cannot be evaluated");
    return checkElement(*he, i, length);
}

template <class T>
bool Builder::addPlaced(const COrgAzCurveT<T>& placed, int element, double elemOffset,
                        double chainage0) {
    const double length = placed.getTotalLength();
    if (zel_math::isUnset(length) || !std::isfinite(length)) return false;
    if (length < kMinPieceLength) return true;
    if (!placed.isOrgAzOk()) return false;
    Piece pc;
    pc.element = element;
    pc.elemOffset = elemOffset;
    pc.chainage0 = chainage0;
    pc.length = length;
    pc.p0 = Vec{placed.getOrgNorthing(), placed.getOrgEasting()} - m_g.origin;
    // An arc given by its central angle knows its radius only once asked; its azimuth needs it.
    double radius = 0.0;
    if constexpr (std::is_same_v<T, CCurveDataArc>) radius = placed.get_data().getRadius();
    pc.az0 = placed.GetAzimuth(0.0) * zel_math::kRadPerDeg;
    pc.dir = dirOf(pc.az0);
    if constexpr (std::is_same_v<T, CCurveDataSpiral>) {
        addSpiral(placed, pc);
        if (pc.basicLength <= 0.0 || pc.invRL == 0.0 || !std::isfinite(pc.invRL)) {
            pc.kind = PieceKind::line;  // a spiral of no turn is a straight
        }
    } else if constexpr (std::is_same_v<T, CCurveDataArc>) {
        pc.k = 1.0 / radius;
        if (std::isfinite(pc.k) && std::fabs(pc.k) > 1e-15) {
            pc.kind = PieceKind::arc;
            pc.centre = pc.p0 - (1.0 / pc.k) * Vec{dirOf(pc.az0).e, -dirOf(pc.az0).n};
        } else {
            pc.k = 0.0;
        }
    }
    m_g.pieces.push_back(pc);
    return true;
}

// Places the element's basic spiral so that our clothoid is the element's: tangent-to-curve
// spirals (and compound ones that tighten) run forwards along the basic spiral from the
// section's start length; curve-to-tangent ones (and compound ones that widen) run backwards from
// its end. The rotation follows from the start azimuths, the translation from the start point.
void Builder::addSpiral(const COrgAzCurveT<CCurveDataSpiral>& placed, Piece& pc) {
    const CCurveDataSpiral& sp = placed.get_data();
    pc.basic = sp.getSimpleSpiral();
    pc.basicLength = pc.basic.getTotalLength();
    const double radius = pc.basic.getFinalRadius();
    pc.invRL = 1.0 / (radius * pc.basicLength);
    if (!std::isfinite(pc.invRL)) return;
    pc.kind = PieceKind::clothoid;
    const bool forwards = static_cast<const CCurveDataSpiral1R&>(sp).isTSSC();
    pc.sigma = forwards ? 1.0 : -1.0;
    pc.u0 = forwards ? sp.getStartLength() : pc.basicLength;
    const double phi0 = 0.5 * pc.u0 * pc.u0 * pc.invRL;
    pc.theta = pc.az0 - phi0 + (forwards ? 0.0 : zel_math::kPi);
    pc.cosT = std::cos(pc.theta);
    pc.sinT = std::sin(pc.theta);
    double bn = 0.0, be = 0.0;
    pc.basic.getPosAtLength(pc.u0, bn, be);
    pc.c = pc.p0 - Vec{bn * pc.cosT - be * pc.sinT, bn * pc.sinT + be * pc.cosT};
    // The clothoid's positions are within 1e-15 of the basic spiral's length at any turn; a
    // thousand times that bounds them with room to spare.
    pc.evalError = 1e-12 * pc.basicLength;
}

bool Builder::positionOnElement(int element, double len, Vec& pos) const {
    const int first = m_firstPiece[element];
    const int last = static_cast<int>(m_g.pieces.size());
    if (first == last) return false;
    int k = first;
    while (k + 1 < last && m_g.pieces[k + 1].element == element &&
           m_g.pieces[k + 1].elemOffset <= len)
        ++k;
    const Piece& pc = m_g.pieces[k];
    pos = evalPiece(pc, std::clamp(len - pc.elemOffset, 0.0, pc.length)).pos;
    return true;
}

bool Builder::checkElement(const CAlntHe& he, int element, double length) {
    if (m_firstPiece[element] == static_cast<int>(m_g.pieces.size())) return true;
    for (const double f : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        double n = 0.0, e = 0.0;
        Vec ours;
        if (!he.getPosNeAtLength(f * length, n, e) || !positionOnElement(element, f * length, ours))
            return fail("element " + std::to_string(element) + " cannot be evaluated");
        if (!(norm(Vec{n, e} - m_g.origin - ours) <= kBuildCheck))
            return fail("element " + std::to_string(element) +
                        " is not reproduced to a micrometre by its pieces");
    }
    return true;
}

}  // namespace station_offset
