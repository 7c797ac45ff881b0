#include "velmorutils/zelmath/curves/CCurveIp.h"

#include <cmath>

#include "velmorutils/zelmath/angles/MathCommon.h"
#include "zelmath/curves/CurveSupport.h"
#include "zelmath/primitives/LineIntersection.h"

using curve_support::distance;
using curve_support::reportAt;
using zel_math::isNearZero;
using zel_math::isSet;
using zel_math::isUnset;
using zel_math::kUnset;

namespace {

// The turn from one azimuth to another, in (-pi, pi]: positive turns right.
double deflection(const CMathAngle& from, const CMathAngle& to) {
    double d = to.getRad() - from.getRad();
    while (d <= -zel_math::kPi)
        d += zel_math::kTwoPi;
    while (d > zel_math::kPi)
        d -= zel_math::kTwoPi;
    return d;
}

// Within a millimetre of a piece's end, a length belongs to that piece.
void snapToEnd(double& s, double pieceLength) {
    if (std::fabs(s - pieceLength) < roadTolerance) s = pieceLength;
}

}  // namespace

CCurveIp::CCurveIp() {
    reset();
}

CCurveIp::CCurveIp(const CCurveIp& o)
    : m_ipN(o.m_ipN),
      m_ipE(o.m_ipE),
      m_pointId(o.m_pointId),
      m_simplePoint(o.m_simplePoint),
      m_startSegment(o.m_startSegment),
      m_startSpiral(o.m_startSpiral),
      m_arc(o.m_arc),
      m_finalSpiral(o.m_finalSpiral),
      m_flags(o.m_flags) {
    m_flags.setFlags(0);
}

void CCurveIp::reset() {
    m_ipN = kUnset;
    m_ipE = kUnset;
    m_simplePoint = true;
    m_startSegment.reset();
    m_startSegment.setOrgAz(0.0, 0.0, CMathAngle(0.0));
    m_startSegment.get_data().setLen(0.0);
    m_startSpiral.reset();
    m_arc.reset();
    m_finalSpiral.reset();
    m_pointId = 0;
    m_flags.setFlags(0);
}

bool CCurveIp::setIp(double N, double E, double Ls1, double R, double Ls2) {
    m_ipN = N;
    m_ipE = E;
    m_simplePoint = isNearZero(Ls1) && isNearZero(R) && isNearZero(Ls2);

    // An IP that already knows its way out is solved again with the new curve.
    CMathAngle outgoing;
    if (!m_finalSpiral.getFinalAzimut(outgoing)) outgoing.reset();

    // Both spirals start as right turns; the real direction follows from the tangents.
    m_startSpiral.get_data().setLenAndR(Ls1, R, true, true);
    m_finalSpiral.get_data().setLenAndR(Ls2, R, true, false);

    if (outgoing.isok()) return doSetFinalAz(outgoing);
    return true;
}

bool CCurveIp::setIp(double N, double E, double Ls1, AlntElementLengthDisplay ls1Display, double R,
                     AlntElementRadiusDisplay radiusDisplay, double Ls2,
                     AlntElementLengthDisplay ls2Display, UNITS) {
    m_flags.setRadiusDisplay(radiusDisplay);
    m_flags.setLengthDisplay(ls1Display);
    m_flags.setLength2Display(ls2Display);
    return setIp(N, E, Ls1, R, Ls2);
}

void CCurveIp::getIpElement(double& N, double& E, double& Ls1, double& R, double& Ls2) const {
    N = m_ipN;
    E = m_ipE;
    Ls1 = getTsscLen();
    R = std::fabs(getR());
    Ls2 = getCsstLen();
}

void CCurveIp::getIpElement(double& N, double& E, double& Ls1, AlntElementLengthDisplay& ls1Display,
                            double& R, AlntElementRadiusDisplay& radiusDisplay, double& Ls2,
                            AlntElementLengthDisplay& ls2Display, UNITS) const {
    getIpElement(N, E, Ls1, R, Ls2);
    ls1Display = m_flags.getLengthDisplay();
    radiusDisplay = m_flags.getRadiusDisplay();
    ls2Display = m_flags.getLength2Display();
}

void CCurveIp::setSimplePoint(double N, double E) {
    m_ipN = N;
    m_ipE = E;
    m_simplePoint = true;
}

bool CCurveIp::setOrg(double N, double E) {
    m_startSegment.setOrg(N, E);
    CMathAngle toIp;
    if (isSet(m_ipN) && isSet(m_ipE) && toIp.setAz(N, E, m_ipN, m_ipE))
        m_startSegment.setRotation(toIp);
    m_startSpiral.setRotation(m_startSegment.getRotation());
    return doSolve();
}

bool CCurveIp::onSetNextIp(double N, double E) {
    if (isSimplePointByDef()) return true;
    CMathAngle outgoing;
    if (isUnset(m_ipN) || isUnset(m_ipE) || !outgoing.setAz(m_ipN, m_ipE, N, E)) outgoing.reset();
    return doSetFinalAz(outgoing);
}

bool CCurveIp::isok() const {
    return isSet(m_ipN) && isSet(m_ipE) && isOrgAzOk();
}

bool CCurveIp::isSimplePointByDef() const {
    return isNearZero(getTsscLen()) && isNearZero(getR()) && isNearZero(getCsstLen());
}

bool CCurveIp::isSimplePoint() const {
    return m_simplePoint || isSimplePointByDef() || !m_finalSpiral.getRotation().isok();
}

bool CCurveIp::getFinalAzimut(CMathAngle& az) const {
    if (isSimplePoint()) return m_startSegment.getFinalAzimut(az);
    return m_finalSpiral.getFinalAzimut(az);
}

double CCurveIp::getFinalNorthing() const {
    return isSimplePoint() ? m_ipN : m_finalSpiral.getFinalNorthing();
}

double CCurveIp::getFinalEasting() const {
    return isSimplePoint() ? m_ipE : m_finalSpiral.getFinalEasting();
}

double CCurveIp::getTotalLength() const {
    double total = m_startSegment.getTotalLength();
    if (!isSimplePoint()) {
        total += m_startSpiral.getTotalLength() + m_arc.getTotalLength() +
                 m_finalSpiral.getTotalLength();
    }
    return total;
}

bool CCurveIp::checkIsTurnRight(bool& right) const {
    right = true;
    if (!m_startSegment.getRotation().isok()) return false;
    CMathAngle out;
    if (!getFinalAzimut(out) || !out.isok()) return false;
    right = deflection(m_startSegment.getRotation(), out) >= 0.0;
    return true;
}

bool CCurveIp::doSetFinalAz(const CMathAngle& outgoing) {
    CMathAngle in;
    getStartAzimut(in);
    const bool right = deflection(in, outgoing) >= 0.0;
    m_startSpiral.get_data().setTurnRight(right);
    m_finalSpiral.get_data().setTurnRight(right);

    // Turn the exit spiral so that it ends on the outgoing azimuth.
    CMathAngle phi;
    const bool phiKnown = m_finalSpiral.get_data().getFinalAzimut(phi);
    if (phiKnown && outgoing.isok()) {
        CMathAngle rotation = outgoing;
        rotation -= phi;
        m_finalSpiral.setRotation(rotation);
    }
    if (phiKnown) m_simplePoint = false;
    if (phiKnown && outgoing.isok()) return doSolve();
    return false;
}

void CCurveIp::layStartSegmentToIp() {
    const double sn = getStartNorthing();
    const double se = getStartEasting();
    CCurveDataSegment& seg = m_startSegment.get_data();
    seg.reset();
    if (isUnset(m_ipN) || isUnset(m_ipE) || isUnset(sn) || isUnset(se)) {
        seg.setLen(0.0);
        return;
    }
    seg.setLen(distance(sn, se, m_ipN, m_ipE));
    CMathAngle toIp;
    if (toIp.setAz(sn, se, m_ipN, m_ipE)) m_startSegment.setRotation(toIp);
}

void CCurveIp::makeSimplePoint() {
    setSimplePoint();
    layStartSegmentToIp();
}

bool CCurveIp::doSolve() {
    if (isSimplePoint()) {
        layStartSegmentToIp();
        return true;
    }
    CMathAngle aIn;
    getStartAzimut(aIn);
    CMathAngle aOut;
    if (!getFinalAzimut(aOut)) {
        makeSimplePoint();
        return false;
    }

    // The arc centre lies at y1 from the incoming tangent and y2 from the outgoing one: the
    // spiral's offset at its curve end plus the radius seen across the tangent there.
    const CCurveDataSpiral& entry = m_startSpiral.get_data();
    const CCurveDataSpiral& exit = m_finalSpiral.get_data();
    double y1 = entry.getFinalEasting();
    double y2 = -exit.getSimpleSpiral().getFinalEasting();
    CMathAngle tau1, tau2;
    if (!entry.getFinalAzimut(tau1) || !exit.getFinalAzimut(tau2)) {
        makeSimplePoint();
        return false;
    }
    const double R = entry.getRadius();
    y1 += tau1.getCos() * R;
    y2 += tau2.getCos() * R;

    C2dPos p1, p2;
    aIn.getPosAcross(y1, m_ipN, m_ipE, p1.north, p1.east);
    aOut.getPosAcross(y2, m_ipN, m_ipE, p2.north, p2.east);
    const C2dPos d1 = aIn.getDir();
    const C2dPos d2 = aOut.getDir();
    double t = 0.0;
    double tOut = 0.0;
    if (!IntersectLines(p1, d1, p2, d2, t, tOut)) {
        // Parallel tangents: no curve fits, the alignment passes straight through.
        makeSimplePoint();
        return true;
    }
    const C2dPos centre = p1 + d1 * t;

    CMathAngle thetaSC;
    if (!m_startSpiral.getFinalAzimut(thetaSC)) {
        makeSimplePoint();
        return false;
    }
    const CMathAngle thetaCS = m_finalSpiral.getRotation();
    C2dPos sc, cs;
    thetaSC.getPosAcross(-R, centre, sc);
    thetaCS.getPosAcross(-R, centre, cs);

    m_finalSpiral.setOrg(cs.north, cs.east);

    // The entry spiral ends at the SC: its start is the SC less its own end vector.
    m_startSpiral.setOrg(0.0, 0.0);
    const C2dPos ts(sc.north - m_startSpiral.getFinalNorthing(),
                    sc.east - m_startSpiral.getFinalEasting());
    m_startSpiral.setOrg(ts.north, ts.east);

    m_arc.setOrgAz(sc.north, sc.east, thetaSC);
    CMathAngle toCS, toSC;
    toCS.setAz(centre, cs);
    toSC.setAz(centre, sc);
    CMathAngle delta = toCS;
    delta -= toSC;
    m_arc.get_data().setCAngleR(delta, R);

    // The straight runs from the origin to the TS; a TS behind the origin or off the incoming
    // tangent leaves no straight at all.
    const C2dPos start(getStartNorthing(), getStartEasting());
    CCurveDataSegment& seg = m_startSegment.get_data();
    seg.reset();
    const double len = start.distanceTo(ts);
    C2dPos end;
    aIn.getPosAlong(len, start, end);
    const bool onTangent = std::fabs(end.north - ts.north) < roadTolerance &&
                           std::fabs(end.east - ts.east) < roadTolerance;
    seg.setLen(onTangent ? len : 0.0);
    return true;
}

CCurveIp::Piece CCurveIp::locate(double& s, double zeroSnap) const {
    if (std::fabs(s) < zeroSnap) s = 0.0;
    if (!(s >= 0.0)) return Piece::none;
    const double segLen = m_startSegment.getTotalLength();
    snapToEnd(s, segLen);
    if (segLen >= s || isSimplePoint()) return Piece::startSegment;
    s -= segLen;
    const double len1 = m_startSpiral.getTotalLength();
    snapToEnd(s, len1);
    if (len1 >= s) return Piece::startSpiral;
    s -= len1;
    const double lenArc = m_arc.getTotalLength();
    snapToEnd(s, lenArc);
    if (lenArc >= s) return Piece::arc;
    s -= lenArc;
    const double len2 = m_finalSpiral.getTotalLength();
    snapToEnd(s, len2);
    if (len2 >= s) return Piece::finalSpiral;
    return Piece::none;
}

namespace {
// Smallest length taken as the origin by the non-positional queries.
constexpr double kZeroLength = 1e-12;
}  // namespace

bool CCurveIp::getPosAtLength(double s, double& N, double& E) const {
    switch (locate(s, roadTolerance)) {
        case Piece::startSegment:
            return m_startSegment.getPosAtLength(s, N, E);
        case Piece::startSpiral:
            return m_startSpiral.getPosAtLength(s, N, E);
        case Piece::arc:
            return m_arc.getPosAtLength(s, N, E);
        case Piece::finalSpiral:
            return m_finalSpiral.getPosAtLength(s, N, E);
        case Piece::none:
            break;
    }
    return false;
}

double CCurveIp::GetAzimuth(double s) const {
    switch (locate(s, kZeroLength)) {
        case Piece::startSegment:
            return m_startSegment.GetAzimuth(s);
        case Piece::startSpiral:
            return m_startSpiral.GetAzimuth(s);
        case Piece::arc:
            return m_arc.GetAzimuth(s);
        case Piece::finalSpiral:
            return m_finalSpiral.GetAzimuth(s);
        case Piece::none:
            break;
    }
    return 0.0;
}

double CCurveIp::getCurvatureAtLength(double s) const {
    switch (locate(s, kZeroLength)) {
        case Piece::startSegment:
            return m_startSegment.getCurvatureAtLength(s);
        case Piece::startSpiral:
            return m_startSpiral.getCurvatureAtLength(s);
        case Piece::arc:
            return m_arc.getCurvatureAtLength(s);
        case Piece::finalSpiral:
            return m_finalSpiral.getCurvatureAtLength(s);
        case Piece::none:
            break;
    }
    return 0.0;
}

double CCurveIp::pieceLength(Piece piece) const {
    switch (piece) {
        case Piece::startSegment:
            return m_startSegment.getTotalLength();
        case Piece::startSpiral:
            return m_startSpiral.getTotalLength();
        case Piece::arc:
            return m_arc.getTotalLength();
        case Piece::finalSpiral:
            return m_finalSpiral.getTotalLength();
        case Piece::none:
            break;
    }
    return 0.0;
}

double CCurveIp::stepOn(Piece piece, double s, double maxDev) const {
    switch (piece) {
        case Piece::startSegment:
            return m_startSegment.getStepForDeviation(s, maxDev);
        case Piece::startSpiral:
            return m_startSpiral.getStepForDeviation(s, maxDev);
        case Piece::arc:
            return m_arc.getStepForDeviation(s, maxDev);
        case Piece::finalSpiral:
            return m_finalSpiral.getStepForDeviation(s, maxDev);
        case Piece::none:
            break;
    }
    return 0.0;
}

double CCurveIp::getStepForDeviation(double s, double maxDev) const {
    Piece piece = locate(s, kZeroLength);
    if (piece == Piece::none) return 0.0;
    // A bare vertex has nothing beyond its straight.
    if (piece == Piece::startSegment && s > pieceLength(piece)) return 0.0;
    const double step = stepOn(piece, s, maxDev);
    if (!isNearZero(step) || isSimplePoint()) return step;
    // The end of an inner piece is answered by that piece, which has nothing left to step. A
    // walker would stall there, so the step is the one that starts the next piece with length.
    while (piece != Piece::finalSpiral) {
        piece = static_cast<Piece>(static_cast<int>(piece) + 1);
        if (!isNearZero(pieceLength(piece))) return stepOn(piece, 0.0, maxDev);
    }
    return step;
}

double CCurveIp::getNextPosForDeviation(double s, double maxDev, double& N, double& E) const {
    const double next = s + getStepForDeviation(s, maxDev);
    getPosAtLength(next, N, E);
    return next;
}

bool CCurveIp::getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const {
    double bestDist = 0.0, bestLen = 0.0;
    if (!m_startSegment.getShortestDistAndCurveLen(N, E, bestDist, bestLen)) {
        reportAt(__LINE__);
        return false;
    }
    if (!isSimplePoint()) {
        double before = m_startSegment.getTotalLength();
        // Later pieces win near ties, so a point at a shared end goes to the piece it starts.
        auto consider = [&](const auto& piece) {
            double d = 0.0, l = 0.0;
            if (!piece.getShortestDistAndCurveLen(N, E, d, l)) return false;
            if (d <= bestDist + roadTolerance) {
                bestDist = d;
                bestLen = before + l;
            }
            before += piece.getTotalLength();
            return true;
        };
        if (!consider(m_startSpiral) || !consider(m_arc) || !consider(m_finalSpiral)) {
            reportAt(__LINE__);
            return false;
        }
    }
    dist = bestDist;
    len = bestLen;
    return true;
}

void CCurveIp::getIpNodes(TIpNodes& nodes) const {
    nodes.ts = C2dPos(m_startSpiral.getOrgNorthing(), m_startSpiral.getOrgEasting());
    nodes.sc = C2dPos(m_arc.getOrgNorthing(), m_arc.getOrgEasting());
    nodes.cs = C2dPos(m_finalSpiral.getOrgNorthing(), m_finalSpiral.getOrgEasting());
    nodes.ip = C2dPos(m_ipN, m_ipE);
    nodes.curve = this;
}
