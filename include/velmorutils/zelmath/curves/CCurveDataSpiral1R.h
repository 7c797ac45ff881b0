#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/TAlntHeType.h"
#include "velmorutils/zelmath/angles/UNITS.h"
#include "velmorutils/zelmath/curves/AlntElementFlags.h"
#include "velmorutils/zelmath/curves/CCurveSpiralTStoSC.h"

/// A clothoid with one radius, running either from tangent to curve (TS to SC) or from curve to
/// tangent (CS to ST). A curve-to-tangent spiral is the basic spiral run backwards: it is stored
/// as the mirror image (radius of the opposite sign), and the getters undo the mirroring, so
/// radii, azimuths and curvatures come out signed like the real turn.
class VELMORUTILS_API CCurveDataSpiral1R : public CCurveSpiralTStoSC {
public:
    CCurveDataSpiral1R();
    CCurveDataSpiral1R(const CCurveDataSpiral1R&) = default;
    CCurveDataSpiral1R& operator=(const CCurveDataSpiral1R&) = default;
    void copy(const CCurveDataSpiral1R& o) { *this = o; }

    static TAlntHeType static_type() { return alntHeSpiral; }

    bool setLenAndR(double L, double R, bool turnRight, bool isTSSC);
    bool setLenAndR(double L, AlntElementLengthDisplay lenDisplay, double R,
                    AlntElementRadiusDisplay radiusDisplay, bool turnRight, bool isTSSC,
                    UNITS units);
    bool setLenAndSpPrm(double L, double P, bool isTSSC);
    bool setTurnRight(bool turnRight);

    bool isTSSC() const { return m_isTSSC; }
    bool isCSST() const { return !m_isTSSC; }
    double getRadius() const;
    bool isToTheRight() const;
    bool isToTheLeft() const { return !isToTheRight(); }
    double getFinalAzimutInRad() const;
    bool getFinalAzimut(CMathAngle& az) const;
    double GetAzimuth(double s) const;
    double getCurvatureAtLength(double s) const;
    bool getPosAtLength(double s, double& N, double& E) const;
    double getFinalNorthing() const;
    double getFinalEasting() const;
    double getStepForDeviation(double s, double maxDev) const;
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    void GetSpiralElement(double& L, double& R, bool& turnRight, bool& isTSSC) const;
    void GetSpiralElement(double& L, AlntElementLengthDisplay& lenDisplay, double& R,
                          AlntElementRadiusDisplay& radiusDisplay, bool& turnRight, bool& isTSSC,
                          UNITS units) const;
    const CCurveSpiralTStoSC& getSimpleSpiral() const { return *this; }

    unsigned getFlags() const { return m_flags.getFlags(); }
    void setFlags(unsigned flags) { m_flags.setFlags(flags); }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }
    const AlntElementFlags& getAlntElementFlags() const { return m_flags; }

protected:
    /// Nearest point of the stretch [lo, hi] of this spiral; len is measured from the start of
    /// the spiral, not of the stretch.
    bool projectOnto(double N, double E, double lo, double hi, double& dist, double& len) const;

    bool m_isTSSC = true;
    AlntElementFlags m_flags;
};
