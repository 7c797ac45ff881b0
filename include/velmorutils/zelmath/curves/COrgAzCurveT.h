#pragma once

#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

/// A curve of the local frame (segment, arc or spiral: it starts at the origin heading north)
/// placed in the world: the origin is the world position of its start and the rotation the
/// world azimuth of its local north axis. Local results are rotated by the rotation and moved by
/// the origin; world points are carried back the same way before a projection.
template <class T>
class COrgAzCurveT {
public:
    COrgAzCurveT() = default;

    /// World position (north, east in metres) of the local origin, and the world azimuth of the
    /// local north axis.
    void setOrgAz(double n, double e, const CMathAngle& rotation) {
        m_orgN = n;
        m_orgE = e;
        m_rotation = rotation;
    }
    /// The same with the rotation in degrees.
    void setOrgAzDeg(double n, double e, double rotationDeg) {
        setOrgAz(n, e, CMathAngle(rotationDeg));
    }
    /// World position of the start only (metres).
    void setOrg(double n, double e) {
        m_orgN = n;
        m_orgE = e;
    }
    ///@{
    /// World azimuth of the local north axis only (radians inside CMathAngle, or degrees).
    void setRotation(const CMathAngle& rotation) { m_rotation = rotation; }
    void setRotationDeg(double deg) { m_rotation.setDeg(deg); }
    ///@}
    /// Placement and shape unset.
    void reset() {
        m_orgN = zel_math::kUnset;
        m_orgE = zel_math::kUnset;
        m_rotation.reset();
        m_data.reset();
    }
    /// Forgets where the curve lies but keeps its shape.
    void resetOrgAz() {
        m_orgN = zel_math::kUnset;
        m_orgE = zel_math::kUnset;
        m_rotation.reset();
    }

    ///@{
    /// World start point (metres) and rotation.
    double getOrgNorthing() const { return m_orgN; }
    double getOrgEasting() const { return m_orgE; }
    const CMathAngle& getRotation() const { return m_rotation; }
    ///@}
    ///@{
    /// The curve in its local frame.
    const T& get_data() const { return m_data; }
    T& get_data() { return m_data; }
    void set_data(const T& data) { m_data = data; }
    ///@}

    /// Origin and rotation known.
    bool isOrgAzOk() const {
        return zel_math::isSet(m_orgN) && zel_math::isSet(m_orgE) && m_rotation.isok();
    }
    /// Placement complete and the curve valid.
    bool isok() const { return isOrgAzOk() && m_data.isok(); }

    /// World point (metres) at arc length s; false when the placement is incomplete or the local
    /// query fails.
    bool getPosAtLength(double s, double& n, double& e) const {
        if (!isOrgAzOk()) return false;
        double ln = 0.0, le = 0.0;
        if (!m_data.getPosAtLength(s, ln, le)) return false;
        m_rotation.getRotated(ln, le);
        n = m_orgN + ln;
        e = m_orgE + le;
        return true;
    }
    /// World tangent azimuth in degrees at arc length s; the local one when the rotation is not
    /// known.
    double GetAzimuth(double s) const {
        const double local = m_data.GetAzimuth(s);
        return m_rotation.isok() ? local + m_rotation.getDeg() : local;
    }
    ///@{
    /// Curvature (1/m, positive right), deviation step (metres) and length (metres) of the local
    /// curve: a rotation changes none of them.
    double getCurvatureAtLength(double s) const { return m_data.getCurvatureAtLength(s); }
    double getStepForDeviation(double s, double maxDev) const {
        return m_data.getStepForDeviation(s, maxDev);
    }
    double getTotalLength() const { return m_data.getTotalLength(); }
    ///@}

    /// World start azimuth (the rotation; 0 when unknown).
    void getStartAzimut(CMathAngle& az) const {
        if (m_rotation.isok()) {
            az = m_rotation;
        } else {
            az.setRad(0.0);
        }
    }
    /// World end azimuth; false when the rotation or the curve's end azimuth is unknown.
    bool getFinalAzimut(CMathAngle& az) const {
        if (!m_rotation.isok()) return false;
        CMathAngle local;
        if (!m_data.getFinalAzimut(local)) return false;
        local += m_rotation;
        az = local;
        return true;
    }
    ///@{
    /// World end point, metres (the unrotated local one plus the origin when the rotation is
    /// unknown).
    double getFinalNorthing() const {
        const double ln = m_data.getFinalNorthing();
        const double le = m_data.getFinalEasting();
        return m_orgN + (isOrgAzOk() ? m_rotation.getRotatedNorth(ln, le) : ln);
    }
    double getFinalEasting() const {
        const double ln = m_data.getFinalNorthing();
        const double le = m_data.getFinalEasting();
        return m_orgE + (isOrgAzOk() ? m_rotation.getRotatedEast(ln, le) : le);
    }
    ///@}

    /// dist (metres) from the world point (n, e) to the curve and len, the arc length of the
    /// nearest point; false when the placement is incomplete.
    bool getShortestDistAndCurveLen(double n, double e, double& dist, double& len) const {
        if (!isOrgAzOk()) return false;
        double ln = n - m_orgN;
        double le = e - m_orgE;
        m_rotation.getRotatedBack(ln, le);
        return m_data.getShortestDistAndCurveLen(ln, le, dist, len);
    }

private:
    double m_orgN = 0.0;
    double m_orgE = 0.0;
    CMathAngle m_rotation;
    T m_data;
};
