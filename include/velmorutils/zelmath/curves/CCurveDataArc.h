#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/TAlntHeType.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/angles/UNITS.h"
#include "velmorutils/zelmath/curves/AlntElementFlags.h"

template <class T>
class COrgAzCurveT;

/// A circular arc in its own local frame: it leaves the origin heading north and turns right for
/// a positive radius, left for a negative one, so its centre lies at (0, R). Length and radius
/// define it; the end point and central angle are caches filled by the const getters.
class VELMORUTILS_API CCurveDataArc {
public:
    CCurveDataArc();
    CCurveDataArc(const CCurveDataArc&) = default;
    CCurveDataArc& operator=(const CCurveDataArc&) = default;
    void copy(const CCurveDataArc& o) { *this = o; }

    static TAlntHeType static_type() { return alntHeArc; }

    void reset();
    void SetElement(double len, double R, bool turnRight);
    void SetElement(double len, AlntElementLengthDisplay lenDisplay, double R,
                    AlntElementRadiusDisplay radiusDisplay, bool turnRight, UNITS units);
    void GetElement(double& len, double& R, bool& turnRight) const;
    void GetElement(double& len, AlntElementLengthDisplay& lenDisplay, double& R,
                    AlntElementRadiusDisplay& radiusDisplay, bool& turnRight, UNITS units) const;
    void setLen(double len);
    void setCAngleR(const CMathAngle& delta, double R, bool turnRight);
    void setCAngleR(const CMathAngle& delta, double R);

    bool isok() const;
    double getTotalLength() const;
    double getRadius() const;
    const CMathAngle& getCenterAngle() const;
    double getFinalNorthing() const;
    double getFinalEasting() const;
    double getFinalAzimutInRad() const;
    bool getFinalAzimut(CMathAngle& az) const;
    double getChordLength() const;
    void getCenterNE(double& N, double& E) const;
    bool isToTheRight() const;
    bool isToTheLeft() const { return !isToTheRight(); }
    double GetAzimuth(double len) const;
    double getCurvatureAtLength(double len) const;
    bool getPosAtLength(double len, double& N, double& E) const;
    double getStepForDeviation(double len, double maxDev) const;
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    unsigned getFlags() const { return m_flags.getFlags(); }
    void setFlags(unsigned flags) { m_flags.setFlags(flags); }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }
    const AlntElementFlags& getAlntElementFlags() const { return m_flags; }

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
