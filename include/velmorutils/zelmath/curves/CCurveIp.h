#pragma once

#include <cstdint>

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/TAlntHeType.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/angles/UNITS.h"
#include "velmorutils/zelmath/curves/AlntElementFlags.h"
#include "velmorutils/zelmath/curves/CCurveDataArc.h"
#include "velmorutils/zelmath/curves/CCurveDataSegment.h"
#include "velmorutils/zelmath/curves/CCurveDataSpiral.h"
#include "velmorutils/zelmath/curves/COrgAzCurveT.h"
#include "velmorutils/zelmath/curves/TIpNodes.h"

/// One intersection point of an alignment defined by IPs, in world coordinates: the straight
/// from the element's origin towards the IP, and the curve fitted at the IP (entry spiral TS-SC,
/// circular arc SC-CS, exit spiral CS-ST) that joins the incoming tangent to the outgoing one.
/// The curve is solved once both tangents are known; until then, or when it cannot be placed,
/// the IP is a simple point and the alignment merely bends there.
class VELMORUTILS_API CCurveIp {
public:
    CCurveIp();
    /// A copy starts without display kinds; assignment and copy() carry them.
    CCurveIp(const CCurveIp& o);
    CCurveIp& operator=(const CCurveIp&) = default;
    void copy(const CCurveIp& o) { *this = o; }

    static TAlntHeType static_type() { return alntHeIp; }

    void reset();
    bool setIp(double N, double E, double Ls1, double R, double Ls2);
    bool setIp(double N, double E, double Ls1, AlntElementLengthDisplay ls1Display, double R,
               AlntElementRadiusDisplay radiusDisplay, double Ls2,
               AlntElementLengthDisplay ls2Display, UNITS units);
    void getIpElement(double& N, double& E, double& Ls1, double& R, double& Ls2) const;
    void getIpElement(double& N, double& E, double& Ls1, AlntElementLengthDisplay& ls1Display,
                      double& R, AlntElementRadiusDisplay& radiusDisplay, double& Ls2,
                      AlntElementLengthDisplay& ls2Display, UNITS units) const;
    void setSimplePoint(double N, double E);
    void setSimplePoint() { m_simplePoint = true; }
    bool setOrg(double N, double E);
    bool onSetNextIp(double N, double E);
    void resetOrgAz() { m_startSegment.resetOrgAz(); }

    bool isOrgAzOk() const { return m_startSegment.isOrgAzOk(); }
    bool isok() const;
    bool isSimplePointByDef() const;
    bool isSimplePoint() const;
    double getIpNorth() const { return m_ipN; }
    double getIpEast() const { return m_ipE; }
    double getTsscLen() const { return m_startSpiral.get_data().getTotalLength(); }
    double getR() const { return m_startSpiral.get_data().getRadius(); }
    double getCsstLen() const { return m_finalSpiral.get_data().getTotalLength(); }
    void setPointID(std::int32_t id) { m_pointId = id; }
    std::int32_t getPointID() const { return m_pointId; }

    double getStartNorthing() const { return m_startSegment.getOrgNorthing(); }
    double getStartEasting() const { return m_startSegment.getOrgEasting(); }
    void getStartAzimut(CMathAngle& az) const { m_startSegment.getStartAzimut(az); }
    bool getFinalAzimut(CMathAngle& az) const;
    double getFinalNorthing() const;
    double getFinalEasting() const;
    double getTotalLength() const;
    bool checkIsTurnRight(bool& right) const;

    bool getPosAtLength(double s, double& N, double& E) const;
    double GetAzimuth(double s) const;
    double getCurvatureAtLength(double s) const;
    double getStepForDeviation(double s, double maxDev) const;
    double getNextPosForDeviation(double s, double maxDev, double& N, double& E) const;
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;
    void getIpNodes(TIpNodes& nodes) const;

    const COrgAzCurveT<CCurveDataSegment>& getSolutionStartSegment() const {
        return m_startSegment;
    }
    const COrgAzCurveT<CCurveDataSpiral>& getSolutionStartSpiral() const { return m_startSpiral; }
    const COrgAzCurveT<CCurveDataArc>& getSolutionArc() const { return m_arc; }
    const COrgAzCurveT<CCurveDataSpiral>& getSolutionFinalSpiral() const { return m_finalSpiral; }

    unsigned getFlags() const { return m_flags.getFlags(); }
    void setFlags(unsigned flags) { m_flags.setFlags(flags); }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }
    const AlntElementFlags& getAlntElementFlags() const { return m_flags; }

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
