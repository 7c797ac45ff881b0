#pragma once

#include <cstdint>

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/angles/UNITS.h"
#include "velmorutils/zelmath/curves/AlntElementFlags.h"
#include "velmorutils/zelmath/curves/CCurveDataArc.h"
#include "velmorutils/zelmath/curves/CCurveDataSegment.h"
#include "velmorutils/zelmath/curves/CCurveDataSpiral.h"
#include "velmorutils/zelmath/curves/COrgAzCurveT.h"
#include "velmorutils/zelmath/curves/TAlntHeType.h"
#include "velmorutils/zelmath/curves/TIpNodes.h"

/// One intersection point of an alignment defined by IPs, in world coordinates: the straight
/// from the element's origin towards the IP, and the curve fitted at the IP (entry spiral TS-SC,
/// circular arc SC-CS, exit spiral CS-ST) that joins the incoming tangent to the outgoing one.
/// The curve is solved once both tangents are known; until then, or when it cannot be placed,
/// the IP is a simple point and the alignment merely bends there.
/// Works in world coordinates: positions north, east in metres, azimuths clockwise from north,
/// lengths (s) measured from the element's origin along the straight and the curve. Spiral
/// lengths and the radius in metres; the arc turns right when the deflection (outgoing minus
/// incoming azimuth, in (-pi, pi]) is >= 0. Spirals that need more deflection than the tangents
/// give are not refused: the arc then turns the other way (a negative central angle).
class VELMORUTILS_API CCurveIp {
public:
    CCurveIp();
    /// A copy starts without display kinds; assignment and copy() carry them.
    CCurveIp(const CCurveIp& o);
    CCurveIp& operator=(const CCurveIp&) = default;
    void copy(const CCurveIp& o) { *this = o; }

    /// The element kind that holds this curve.
    static TAlntHeType static_type() { return alntHeIp; }

    /// A simple point at an unset position, its straight at (0, 0) with length 0.
    void reset();
    /// The IP (north, east in metres), entry spiral length Ls1, radius R and exit spiral length Ls2
    /// (metres; all three below 1e-12 make a bare bend). Re-solves with the outgoing direction
    /// already known, if any.
    bool setIp(double N, double E, double Ls1, double R, double Ls2);
    /// The same, remembering the display kinds (no conversion; `units` is ignored).
    bool setIp(double N, double E, double Ls1, AlntElementLengthDisplay ls1Display, double R,
               AlntElementRadiusDisplay radiusDisplay, double Ls2,
               AlntElementLengthDisplay ls2Display, UNITS units);
    /// The IP, the spiral lengths and |R| in metres.
    void getIpElement(double& N, double& E, double& Ls1, double& R, double& Ls2) const;
    /// The same with the display kinds (no conversion; `units` is ignored).
    void getIpElement(double& N, double& E, double& Ls1, AlntElementLengthDisplay& ls1Display,
                      double& R, AlntElementRadiusDisplay& radiusDisplay, double& Ls2,
                      AlntElementLengthDisplay& ls2Display, UNITS units) const;
    /// A bare bend at (N, E) metres, without a curve.
    void setSimplePoint(double N, double E);
    /// Makes the IP a bare bend at its stored position.
    void setSimplePoint() { m_simplePoint = true; }
    /// Where the incoming tangent starts (metres); it points at the IP. Solves the curve.
    bool setOrg(double N, double E);
    /// The next IP of the alignment (metres) gives the outgoing direction; the curve is solved.
    /// False when it could not be placed (the IP then bends without a curve).
    bool onSetNextIp(double N, double E);
    /// Forgets where the incoming tangent starts.
    void resetOrgAz() { m_startSegment.resetOrgAz(); }

    /// Whether the incoming tangent's start and direction are known.
    bool isOrgAzOk() const { return m_startSegment.isOrgAzOk(); }
    /// IP known and the incoming tangent placed.
    bool isok() const;
    /// Spiral lengths and radius all below 1e-12.
    bool isSimplePointByDef() const;
    /// No curve at present: by definition, or the outgoing direction is not known yet, or the
    /// tangents are parallel.
    bool isSimplePoint() const;
    ///@{
    /// The IP, north and east in metres.
    double getIpNorth() const { return m_ipN; }
    double getIpEast() const { return m_ipE; }
    ///@}
    /// Entry spiral length, metres.
    double getTsscLen() const { return m_startSpiral.get_data().getTotalLength(); }
    /// Radius in metres, signed: positive for a right turn.
    double getR() const { return m_startSpiral.get_data().getRadius(); }
    /// Exit spiral length, metres.
    double getCsstLen() const { return m_finalSpiral.get_data().getTotalLength(); }
    ///@{
    /// The caller's point id of the IP (0: none).
    void setPointID(std::int32_t id) { m_pointId = id; }
    std::int32_t getPointID() const { return m_pointId; }
    ///@}

    ///@{
    /// The element's origin (start of the incoming tangent), metres.
    double getStartNorthing() const { return m_startSegment.getOrgNorthing(); }
    double getStartEasting() const { return m_startSegment.getOrgEasting(); }
    ///@}
    /// Azimuth of the incoming tangent.
    void getStartAzimut(CMathAngle& az) const { m_startSegment.getStartAzimut(az); }
    /// Azimuth at the end (the ST, or the incoming tangent at a bare bend).
    bool getFinalAzimut(CMathAngle& az) const;
    ///@{
    /// End point (the ST, or the IP at a bare bend), metres.
    double getFinalNorthing() const;
    double getFinalEasting() const;
    ///@}
    /// Straight plus entry spiral, arc and exit spiral, metres.
    double getTotalLength() const;
    /// Whether the deflection is to the right (>= 0); false when either azimuth is not known.
    bool checkIsTurnRight(bool& right) const;

    /// World point at length s (metres from the origin). A length within 0.001 m of a piece
    /// boundary is answered by the earlier piece at its end; s below 0 by more than 0.001 m or past
    /// the end: false.
    bool getPosAtLength(double s, double& N, double& E) const;
    /// World tangent azimuth at length s, degrees; 0 outside the element.
    double GetAzimuth(double s) const;
    /// Curvature at length s, 1/m, positive turning right; 0 outside.
    double getCurvatureAtLength(double s) const;
    /// The longest step from s (metres) within maxDev metres of the curve, within the current
    /// piece.
    double getStepForDeviation(double s, double maxDev) const;
    /// s plus that step; the world point there in N, E. Returns the new length.
    double getNextPosForDeviation(double s, double maxDev, double& N, double& E) const;
    /// Nearest point of the straight and the curve pieces to the world point (N, E): dist in
    /// metres, len from the origin. A later piece wins when its distance is within 0.001 m of the
    /// best.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;
    /// The TS, SC, CS and IP points (world, metres).
    void getIpNodes(TIpNodes& nodes) const;

    ///@{
    /// The four placed pieces: the straight to the TS, the entry spiral (TS-SC), the arc (SC-CS)
    /// and the exit spiral (CS-ST).
    const COrgAzCurveT<CCurveDataSegment>& getSolutionStartSegment() const {
        return m_startSegment;
    }
    const COrgAzCurveT<CCurveDataSpiral>& getSolutionStartSpiral() const { return m_startSpiral; }
    const COrgAzCurveT<CCurveDataArc>& getSolutionArc() const { return m_arc; }
    const COrgAzCurveT<CCurveDataSpiral>& getSolutionFinalSpiral() const { return m_finalSpiral; }
    ///@}

    ///@{
    /// The display kinds the values were typed in (see AlntElementFlags).
    unsigned getFlags() const { return m_flags.getFlags(); }
    void setFlags(unsigned flags) { m_flags.setFlags(flags); }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }
    const AlntElementFlags& getAlntElementFlags() const { return m_flags; }
    ///@}

private:
    enum class Piece { none, startSegment, startSpiral, arc, finalSpiral };

    bool doSetFinalAz(const CMathAngle& outgoing);
    bool doSolve();
    /// Turns the IP into a bare vertex: the start segment runs from the origin to the IP.
    void makeSimplePoint();
    void layStartSegmentToIp();
    /// Finds the piece that holds length s (from the origin) and turns s into a length along
    /// that piece. zeroSnap is how close to 0 a length is taken as 0.
    Piece locate(double& s, double zeroSnap) const;
    double pieceLength(Piece piece) const;
    double stepOn(Piece piece, double s, double maxDev) const;

    double m_ipN;
    double m_ipE;
    std::int32_t m_pointId;
    bool m_simplePoint;
    COrgAzCurveT<CCurveDataSegment> m_startSegment;
    COrgAzCurveT<CCurveDataSpiral> m_startSpiral;
    COrgAzCurveT<CCurveDataArc> m_arc;
    COrgAzCurveT<CCurveDataSpiral> m_finalSpiral;
    AlntElementFlags m_flags;
};
