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

    /// The element kind that holds this curve.
    static TAlntHeType static_type() { return alntHeSpiral; }

    /// Unset, and no longer compound.
    void reset();
    ///@{
    /// A simple spiral: length L and radius R in metres (see CCurveDataSpiral1R).
    bool setLenAndR(double L, double R, bool turnRight, bool isTSSC);
    /// The same, remembering the display kinds (no conversion).
    bool setLenAndR(double L, AlntElementLengthDisplay lenDisplay, double R,
                    AlntElementRadiusDisplay radiusDisplay, bool turnRight, bool isTSSC,
                    UNITS units);
    /// Compound spiral of length L from radius R1 at its start to R2 at its end (metres, signs
    /// ignored, both finite). It tightens when R1 > R2; the section starts l0 = L Rmin / (Rmax -
    /// Rmin) along the underlying clothoid.
    bool setLenAndR(double L, double R1, double R2, bool turnRight);
    /// Whole-number radii would otherwise be ambiguous between the simple setter (whose third
    /// argument is the direction) and the compound one: a number there is always a radius.
    template <class TL, class TR1, class TR2>
    requires(std::is_arithmetic_v<TR2> &&
             !std::is_same_v<TR2, bool>) bool setLenAndR(TL L, TR1 R1, TR2 R2, bool turnRight) {
        return setLenAndR(static_cast<double>(L), static_cast<double>(R1), static_cast<double>(R2),
                          turnRight);
    }
    /// The compound setter remembering the three display kinds.
    bool setLenAndR(double L, AlntElementLengthDisplay lenDisplay, double R1,
                    AlntElementRadiusDisplay r1Display, double R2,
                    AlntElementRadiusDisplay r2Display, bool turnRight, UNITS units);
    /// The same simple spiral turning the given way. A compound spiral loses its second radius.
    bool setTurnRight(bool turnRight);

    /// Whether the spiral runs between two finite radii.
    bool isCompoundSpiral() const;
    /// Direction of travel of a simple spiral; both false for a compound one.
    bool isTSSC() const;
    bool isCSST() const;
    ///@}
    /// Length of this spiral (the section), metres.
    double getTotalLength() const;
    /// The smaller radius (metres), signed like the turn.
    double getRadius() const { return CCurveDataSpiral1R::getRadius(); }
    /// Radius at the start, metres, signed like the turn; NaN (infinite) for a tangent-to-curve
    /// start.
    double getStartRadius() const;
    /// Radius at the end, metres, signed like the turn; NaN (infinite) for a curve-to-tangent end.
    double getFinalRadius() const;
    /// A^2 of the underlying clothoid, square metres.
    double getSpiralParam() const { return CCurveDataSpiral1R::getSpiralParam(); }
    /// Tangent direction at arc length s of the section, degrees from its start direction.
    double GetAzimuth(double s) const;
    /// Curvature at arc length s of the section, 1/m, signed like the turn.
    double getCurvatureAtLength(double s) const;
    /// Change of direction over the section.
    bool getFinalAzimut(CMathAngle& az) const;
    ///@{
    /// End point of the section, local north and east in metres.
    double getFinalNorthing() const;
    double getFinalEasting() const;
    ///@}
    /// Local point at arc length s of the section (start at the origin heading north); accuracy as
    /// CCurveSpiralTStoSC::getPosAtLength(). False outside [0, total] by 0.001 m or more.
    bool getPosAtLength(double s, double& N, double& E) const;
    /// The longest step from s whose chord stays within maxDev metres; 0 when s is out of range.
    double getStepForDeviation(double s, double maxDev) const;
    /// Nearest point of the section to the local point (N, E), as CCurveDataSpiral1R does it; false
    /// when the foot falls before the section's start.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    /// Length, start and end radius (metres, non-negative; NaN for infinite) and the turn.
    void GetSpiralElement(double& L, double& R1, double& R2, bool& turnRight) const;
    /// The compound form with the three display kinds.
    void GetSpiralElement(double& L, AlntElementLengthDisplay& lenDisplay, double& R1,
                          AlntElementRadiusDisplay& r1Display, double& R2,
                          AlntElementRadiusDisplay& r2Display, bool& turnRight, UNITS units) const;
    /// Length, |radius| (metres), the turn and the direction of travel (simple spirals).
    void GetSpiralElement(double& L, double& R, bool& turnRight, bool& isTSSC) const;
    /// The simple form with the display kinds.
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
