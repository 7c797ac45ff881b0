#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"

/// The basic clothoid from a tangent (curvature 0 at the origin, heading north) to a circular
/// curve of radius R after length L: the curvature at arc length s is s / (R L), the parameter
/// A satisfies A^2 = R L, and the whole spiral turns by tau = L / (2R) radians. A positive radius
/// turns right. Lengths, radii and coordinates in metres (the caller's unit), local frame as for
/// every curve object (north axis along the start tangent, east to its right). The end point is
/// a cache filled on first use.
///
/// Positions come from the Fresnel integrals of the tangent angle t = s^2 / (2 R L) at s:
///   N = integral_0^s cos(t u^2 / s^2) du,  E = integral_0^s sin(t u^2 / s^2) du,
/// evaluated in double precision by one of three methods, each where it converges:
///  - |t| <= 4: the Taylor series of both integrals, 8 to 17 terms by |t| (the rest below 1e-18
///    of s), summed by Estrin's scheme. Cancellation costs at most e^4 / 8, about 7 units in the
///    last place.
///  - 4 < |t| < 64: N + iE = s (sqrt(pi / (2|t|)) (1 + i) / 2 - exp(i|t|) h(|t|)), the limit point
///    of the clothoid less what lies beyond s, where h is the auxiliary function (for large t,
///    h ~ i / (2t)); 2t h(t) is a pair of polynomials of degree 15 in 1/t on each of [4, 8],
///    [8, 16], [16, 32] and [32, 64], fitted at Chebyshev nodes to 40-digit values (fit error
///    below 1e-18).
///  - |t| >= 64: the same with h from its continued fraction (that of the complementary error
///    function), 7 steps down to 4 as t grows, each count measured to reach a unit in the last
///    place at the lower end of its range.
/// A left turn (t < 0) is the mirror image. Measured against 40-digit values (mpmath) at 3,600
/// points with lengths from 1 m to 1000 km and |t| from 1e-4 to 1000 rad (300 of them within 0.1
/// rad of the switch at 4): the position error is at most 1e-15 of the length s, 0.8 nm at
/// 1000 km. Directions are exact: GetAzimuth() is the closed form t in degrees.
/// Derived spirals (curve to tangent, compound sections) take differences of two such points of
/// the underlying clothoid, so their error is about 1e-15 of the underlying length l0 + L, not of
/// the section's length L. A compound section between radii R1 and R2 has l0 = L Rmin / (Rmax -
/// Rmin): it stays within 1e-9 L while the radii differ by more than 0.001 % (l0 < 1e5 L), and
/// within 1 um while l0 + L is below 1e8 m.
/// The truncated series used before (summed until its terms fell below 1e-5) was off the exact
/// clothoid by up to 2e-11 of the length at 0.1 rad, 1e-8 at 0.25 to 0.5 rad (0.98 um on a
/// 100 m spiral to R 200 m), 2e-8 at 0.58 rad and 1e-7 at 1.22 rad; results moved by that much.
class VELMORUTILS_API CCurveSpiralTStoSC {
public:
    CCurveSpiralTStoSC();
    CCurveSpiralTStoSC(const CCurveSpiralTStoSC&) = default;
    CCurveSpiralTStoSC& operator=(const CCurveSpiralTStoSC&) = default;

    /// Length, radius and end point unknown.
    void reset();
    /// Length and spiral angle known.
    bool isok() const;
    /// Length L and end radius R in metres; turnRight forces the sign of R (0 stays 0, a straight).
    bool setLenAndR(double L, double R, bool turnRight);
    /// Length L (metres) and P = A^2 = R L (square metres; its sign is the turn); R = P / L.
    bool setLenAndSpPrm(double L, double P);

    /// L in metres.
    double getTotalLength() const { return m_length; }
    /// The stored signed radius R at the SC end, metres.
    double getFinalRadius() const { return m_radius; }
    /// A^2 = L R in square metres, signed like R.
    double getSpiralParam() const { return m_length * m_radius; }
    /// Tangent direction at arc length s: s^2 / (2 R L) in degrees from the start (the sign of R);
    /// 0 when not isok() or L or R is zero.
    double GetAzimuth(double s) const;
    /// s / (L R) in 1/m, positive turning right; 0 when not isok().
    double getCurvatureAtLength(double s) const;
    /// tau = L / (2R), radians, signed like R.
    const CMathAngle& getFinalAzimut() const { return m_tau; }
    ///@{
    /// End point (local north and east, metres).
    double getFinalNorthing() const;
    double getFinalEasting() const;
    ///@}
    /// Local point at arc length s (see the accuracy above); s may lie up to 0.001 m outside
    /// the spiral. False (with a logged assertion) when not isok() or s is out of range; any
    /// valid spiral yields a position, at any turn.
    bool getPosAtLength(double s, double& N, double& E) const;
    /// Whether a chord of length step (metres) from s stays within maxDev metres of the spiral,
    /// judged on the osculating circle: tan(x) step < maxDev where x is half the azimuth change
    /// over the step. Refuses any step whose half azimuth change reaches pi/16.
    bool checkStepForDeviation(double step, double s, double maxDev) const;
    ///@{
    /// R > 0.
    bool isToTheRight() const { return m_radius > 0.0; }
    bool isToTheLeft() const { return !isToTheRight(); }
    ///@}

protected:
    /// Computes the end point once (getPosAtLength(L)) and keeps it.
    void fillFinalCache() const;

    double m_length;
    double m_radius;
    CMathAngle m_tau;
    mutable double m_finalN;
    mutable double m_finalE;
};
