#pragma once

#include <type_traits>

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/curves/CCurveDataSpiral1R.h"

/// A clothoid spiral of the alignment: either a simple spiral (tangent to curve or curve to
/// tangent) or a compound spiral, the stretch of a clothoid between two finite radii. A
/// compound spiral is held as the section [l0, l0 + L] of an underlying simple spiral; when that
/// one runs tangent to curve, the section is moved to the origin and turned to azimuth 0.
class VELMORUTILS_API CCurveDataSpiral : public CCurveDataSpiral1R {
public:
    CCurveDataSpiral();
    CCurveDataSpiral(const CCurveDataSpiral&) = default;
    CCurveDataSpiral& operator=(const CCurveDataSpiral&) = default;
    void copy(const CCurveDataSpiral& o) { *this = o; }

    static TAlntHeType static_type() { return alntHeSpiral; }

    void reset();
    bool setLenAndR(double L, double R, bool turnRight, bool isTSSC);
    bool setLenAndR(double L, AlntElementLengthDisplay lenDisplay, double R,
                    AlntElementRadiusDisplay radiusDisplay, bool turnRight, bool isTSSC,
                    UNITS units);
    /// Compound spiral from radius R1 at its start to R2 at its end.
    bool setLenAndR(double L, double R1, double R2, bool turnRight);
    /// Whole-number radii would otherwise be ambiguous between the simple setter (whose third
    /// argument is the direction) and the compound one: a number there is always a radius.
    template <class TL, class TR1, class TR2>
    requires(std::is_arithmetic_v<TR2> &&
             !std::is_same_v<TR2, bool>) bool setLenAndR(TL L, TR1 R1, TR2 R2, bool turnRight) {
        return setLenAndR(static_cast<double>(L), static_cast<double>(R1), static_cast<double>(R2),
                          turnRight);
    }
    bool setLenAndR(double L, AlntElementLengthDisplay lenDisplay, double R1,
                    AlntElementRadiusDisplay r1Display, double R2,
                    AlntElementRadiusDisplay r2Display, bool turnRight, UNITS units);
    bool setTurnRight(bool turnRight);

    bool isCompoundSpiral() const;
    bool isTSSC() const;
    bool isCSST() const;
    double getTotalLength() const;
    double getRadius() const { return CCurveDataSpiral1R::getRadius(); }
    double getStartRadius() const;
    double getFinalRadius() const;
    double getSpiralParam() const { return CCurveDataSpiral1R::getSpiralParam(); }
    double GetAzimuth(double s) const;
    double getCurvatureAtLength(double s) const;
    bool getFinalAzimut(CMathAngle& az) const;
    double getFinalNorthing() const;
    double getFinalEasting() const;
    bool getPosAtLength(double s, double& N, double& E) const;
    double getStepForDeviation(double s, double maxDev) const;
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    void GetSpiralElement(double& L, double& R1, double& R2, bool& turnRight) const;
    void GetSpiralElement(double& L, AlntElementLengthDisplay& lenDisplay, double& R1,
                          AlntElementRadiusDisplay& r1Display, double& R2,
                          AlntElementRadiusDisplay& r2Display, bool& turnRight, UNITS units) const;
    void GetSpiralElement(double& L, double& R, bool& turnRight, bool& isTSSC) const;
    void GetSpiralElement(double& L, AlntElementLengthDisplay& lenDisplay, double& R,
                          AlntElementRadiusDisplay& radiusDisplay, bool& turnRight, bool& isTSSC,
                          UNITS units) const;

    /// The length of the underlying spiral before the section starts (0 for a simple spiral).
    double getStartLength() const { return m_startLength; }

private:
    /// Where along the underlying spiral a length of this one lies.
    double underlyingLength(double s) const;

    CMathAngle m_offsetAngle;
    double m_sectionN;
    double m_sectionE;
    double m_startLength;
    double m_radius2;
};
