#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/angles/UNITS.h"
#include "velmorutils/zelmath/curves/AlntElementFlags.h"
#include "velmorutils/zelmath/curves/TAlntHeType.h"

template <class T>
class COrgAzCurveT;

/// A circular arc in its own local frame: it leaves the origin heading north and turns right for
/// a positive radius, left for a negative one, so its centre lies at (north 0, east R) and the
/// point at arc length s is (R sin(s/R), R (1 - cos(s/R))). Length and radius (metres) define it;
/// the end point and central angle are caches filled by the const getters. The queries follow
/// the curve-object contract described at CCurveDataSegment.
class VELMORUTILS_API CCurveDataArc {
public:
    CCurveDataArc();
    CCurveDataArc(const CCurveDataArc&) = default;
    CCurveDataArc& operator=(const CCurveDataArc&) = default;
    void copy(const CCurveDataArc& o) { *this = o; }

    /// The element kind that holds this curve.
    static TAlntHeType static_type() { return alntHeArc; }

    /// Length and radius unknown.
    void reset();
    /// Length |len| and radius |R| in metres; turnRight sets the sign of the stored radius.
    void SetElement(double len, double R, bool turnRight);
    /// The same, remembering how the values were typed (they are not converted; `units` is
    /// ignored).
    void SetElement(double len, AlntElementLengthDisplay lenDisplay, double R,
                    AlntElementRadiusDisplay radiusDisplay, bool turnRight, UNITS units);
    ///@{
    /// Length, |R| and turnRight (R >= 0), metres.
    void GetElement(double& len, double& R, bool& turnRight) const;
    /// The same with the display kinds (no conversion; `units` is ignored).
    void GetElement(double& len, AlntElementLengthDisplay& lenDisplay, double& R,
                    AlntElementRadiusDisplay& radiusDisplay, bool& turnRight, UNITS units) const;
    ///@}
    /// A new length (metres, made non-negative) on the same radius.
    void setLen(double len);
    /// Defines the arc by its central angle (radians) and radius (metres): a delta against the turn
    /// is taken the long way (-90 degrees turning right is a 270-degree arc).
    void setCAngleR(const CMathAngle& delta, double R, bool turnRight);
    /// The same, turning right when delta >= 0.
    void setCAngleR(const CMathAngle& delta, double R);

    /// Length and radius known.
    bool isok() const;
    /// Arc length in metres (non-negative).
    double getTotalLength() const;
    /// Signed radius in metres, positive turning right. 1e-6 with a logged assertion when neither
    /// radius nor length is known.
    double getRadius() const;
    /// Central angle length / R in radians, signed like the radius (0 when |R| < 1e-12).
    const CMathAngle& getCenterAngle() const;
    ///@{
    /// End point, local north and east in metres.
    double getFinalNorthing() const;
    double getFinalEasting() const;
    ///@}
    /// Tangent direction at the end relative to the start, radians (equals the central angle).
    double getFinalAzimutInRad() const;
    /// The same as an angle; false when not isok().
    bool getFinalAzimut(CMathAngle& az) const;
    /// Long chord 2 R sin(delta/2), metres (signed like R).
    double getChordLength() const;
    /// Centre in the local frame: (0, R).
    void getCenterNE(double& N, double& E) const;
    ///@{
    /// Radius > 0.
    bool isToTheRight() const;
    bool isToTheLeft() const { return !isToTheRight(); }
    ///@}
    /// Tangent direction at length len, degrees relative to the start; 0 when not isok().
    double GetAzimuth(double len) const;
    /// 1/R in 1/m, positive turning right; 0 when not isok().
    double getCurvatureAtLength(double len) const;
    /// Local point at arc length len; false when not isok() or len is outside [0, total] by 0.001 m
    /// or more.
    bool getPosAtLength(double len, double& N, double& E) const;
    /// The arc step 2 r acos(1 - maxDev/r) whose middle ordinate is maxDev (maxDev capped at r), at
    /// most an arc of pi/16 (11.25 degrees), never past the end.
    double getStepForDeviation(double len, double maxDev) const;
    /// Radial projection onto the circle; a foot on the arc (arc length strictly below the total)
    /// wins, the nearer one when both are (the second on a 0.001 m tie); otherwise the nearer end.
    /// The centre itself gives dist |R| and len = total.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    ///@{
    /// The display kinds the values were typed in (see AlntElementFlags).
    unsigned getFlags() const { return m_flags.getFlags(); }
    void setFlags(unsigned flags) { m_flags.setFlags(flags); }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }
    const AlntElementFlags& getAlntElementFlags() const { return m_flags; }
    ///@}

private:
    /// The local frame always starts at azimuth 0, so a start azimuth is not stored; setting one
    /// only invalidates the caches that a placement change could have made stale.
    template <class T>
    friend class COrgAzCurveT;
    void setStartAz(const CMathAngle&) { clearCaches(); }
    void setStartAzRad(double) { clearCaches(); }
    void setStartAzDeg(double) { clearCaches(); }

    void clearCaches();

    mutable double m_finalN;
    mutable double m_finalE;
    mutable double m_length;
    mutable double m_radius;
    mutable CMathAngle m_centerAngle;
    AlntElementFlags m_flags;
};
