#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"

// How far the spiral series can be trusted. Positions come from the Fresnel series summed until
// a pass changes the sums by less than 1e-5, so the error grows with the turning angle and, for
// a given angle, in proportion to the length. Measured against an exact evaluation (the
// Fresnel integrals as long-double Taylor series summed to full precision), at 400 points along
// each spiral, for turning angles from 1e-4 rad upwards in steps of 0.1 %: the position stays
// within 0.1 mm of the true clothoid for every turning angle tau = L / (2R) up to
//   1.22 rad for L <= 1000 m, 0.65 rad for L <= 2000 m, 0.58 rad for L <= 5000 m
// (the first failures: 1.2259, 0.6564, 0.5851 rad). Beyond that the error jumps whenever the
// series stops one pass early (millimetres at a few radians), and from about 20 rad the 24
// passes no longer converge (a 3 km spiral is 100 m off at 20 rad, 5e10 m at 30 rad). Readers of
// road files refuse spirals outside this range; the test of this bound repeats the measurement
// (CurveSpiralAccuracyTest). For a compound spiral the bound applies to its underlying simple
// spiral: length l0 + L, turning angle (l0 + L)^2 / (2 A^2).
inline constexpr double kSpiralMaxAccurateTurnRad = 0.58;    // radians, tau = L / (2R)
inline constexpr double kSpiralMaxAccurateLengthM = 5000.0;  // metres, the bound above holds
inline constexpr double kSpiralAccuracyM = 1e-4;             // metres, worst position error

// The basic clothoid from a tangent (curvature 0 at the origin, heading north) to a circular
// curve of radius R after length L: the curvature at arc length s is s / (R L), the parameter
// A satisfies A^2 = R L, and the whole spiral turns by tau = L / (2R). A positive radius turns
// right. The end point is a cache filled on first use.
class VELMORUTILS_API CCurveSpiralTStoSC {
public:
    CCurveSpiralTStoSC();
    CCurveSpiralTStoSC(const CCurveSpiralTStoSC&) = default;
    CCurveSpiralTStoSC& operator=(const CCurveSpiralTStoSC&) = default;

    void reset();
    bool isok() const;
    bool setLenAndR(double L, double R, bool turnRight);
    // P is the spiral parameter squared, R times L.
    bool setLenAndSpPrm(double L, double P);

    double getTotalLength() const { return m_length; }
    double getFinalRadius() const { return m_radius; }
    double getSpiralParam() const { return m_length * m_radius; }
    double GetAzimuth(double s) const;
    double getCurvatureAtLength(double s) const;
    const CMathAngle& getFinalAzimut() const { return m_tau; }
    double getFinalNorthing() const;
    double getFinalEasting() const;
    bool getPosAtLength(double s, double& N, double& E) const;
    // Whether a chord of length step from s stays within maxDev of the spiral.
    bool checkStepForDeviation(double step, double s, double maxDev) const;
    bool isToTheRight() const { return m_radius > 0.0; }
    bool isToTheLeft() const { return !isToTheRight(); }

protected:
    void fillFinalCache() const;

    double m_length;
    double m_radius;
    CMathAngle m_tau;
    mutable double m_finalN;
    mutable double m_finalE;
};
