#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/UNITS.h"
#include "velmorutils/zelmath/curves/AlntElementFlags.h"
#include "velmorutils/zelmath/curves/CCurveSpiralTStoSC.h"
#include "velmorutils/zelmath/curves/TAlntHeType.h"

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

    /// The element kind that holds this curve.
    static TAlntHeType static_type() { return alntHeSpiral; }

    /// Length L and radius R in metres; turnRight gives the real turn, isTSSC the direction of
    /// travel (tangent to curve, or curve to tangent).
    bool setLenAndR(double L, double R, bool turnRight, bool isTSSC);
    /// The same, remembering the display kinds (no conversion; `units` is ignored).
    bool setLenAndR(double L, AlntElementLengthDisplay lenDisplay, double R,
                    AlntElementRadiusDisplay radiusDisplay, bool turnRight, bool isTSSC,
                    UNITS units);
    /// Length L (metres) and A^2 = R L (square metres).
    bool setLenAndSpPrm(double L, double P, bool isTSSC);
    /// The same spiral turning the other way (or the same way).
    bool setTurnRight(bool turnRight);

    ///@{
    /// Direction of travel: tangent to curve (TS-SC), or curve to tangent (CS-ST).
    bool isTSSC() const { return m_isTSSC; }
    bool isCSST() const { return !m_isTSSC; }
    ///@}
    /// Radius at the curve end in metres, signed like the real turn (positive right).
    double getRadius() const;
    ///@{
    /// Whether the real turn is to the right.
    bool isToTheRight() const;
    bool isToTheLeft() const { return !isToTheRight(); }
    ///@}
    /// Change of direction over the whole spiral, radians, signed like the real turn.
    double getFinalAzimutInRad() const;
    /// The same as an angle; false when not isok().
    bool getFinalAzimut(CMathAngle& az) const;
    /// Tangent direction at arc length s, degrees from the start direction.
    double GetAzimuth(double s) const;
    /// Curvature at arc length s in 1/m, signed like the real turn: s / (L R) tangent to curve,
    /// (L - s) / (L R) curve to tangent.
    double getCurvatureAtLength(double s) const;
    /// Local point (metres) at arc length s; accuracy as CCurveSpiralTStoSC::getPosAtLength().
    bool getPosAtLength(double s, double& N, double& E) const;
    ///@{
    /// End point (local north and east, metres).
    double getFinalNorthing() const;
    double getFinalEasting() const;
    ///@}
    /// The longest step from s (halving from the rest of the spiral) whose chord stays within
    /// maxDev metres, never past the end.
    double getStepForDeviation(double s, double maxDev) const;
    /// The nearest point of the spiral to the local point (N, E): dist in metres, len the arc
    /// length from the start (0 or L at an end; of equally near points the one with the smaller
    /// len). The distance along a spiral can have several local minima (one per half turn of a
    /// spiral that winds round the point), so seeds are placed no more than 0.75 rad of turn and
    /// L / 8 apart; between two seeds where the along component (X - P) . T changes from negative
    /// to non-negative, the foot is found by Newton steps on that component (bisection where a
    /// step would leave the bracket) until a step is below 1e-11 of the spiral's length; the
    /// nearest of the feet and seeds wins. Measured against dense sampling (4e5 points) on
    /// spirals turning up to 4 pi, with 3,000 points on and around each: never farther than the
    /// samples, len within 1e-9 of the length. False when a position cannot be computed.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    /// Length, |radius| (metres), the real turn and the direction of travel.
    void GetSpiralElement(double& L, double& R, bool& turnRight, bool& isTSSC) const;
    /// The same with the display kinds (no conversion; `units` is ignored).
    void GetSpiralElement(double& L, AlntElementLengthDisplay& lenDisplay, double& R,
                          AlntElementRadiusDisplay& radiusDisplay, bool& turnRight, bool& isTSSC,
                          UNITS units) const;
    /// The stored basic spiral (mirrored for a curve-to-tangent spiral).
    const CCurveSpiralTStoSC& getSimpleSpiral() const { return *this; }

    ///@{
    /// The display kinds the values were typed in (see AlntElementFlags).
    unsigned getFlags() const { return m_flags.getFlags(); }
    void setFlags(unsigned flags) { m_flags.setFlags(flags); }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }
    const AlntElementFlags& getAlntElementFlags() const { return m_flags; }
    ///@}

protected:
    /// Nearest point of the stretch [lo, hi] of this spiral; len is measured from the start of
    /// the spiral, not of the stretch.
    bool projectOnto(double N, double E, double lo, double hi, double& dist, double& len) const;

    bool m_isTSSC = true;
    AlntElementFlags m_flags;
};
