#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"

/// The basic clothoid from a tangent (curvature 0 at the origin, heading north) to a circular
/// curve of radius R after length L: the curvature at arc length s is s / (R L), the parameter
/// A satisfies A^2 = R L, and the whole spiral turns by tau = L / (2R). A positive radius turns
/// right. The end point is a cache filled on first use.
class VELMORUTILS_API CCurveSpiralTStoSC {
public:
    CCurveSpiralTStoSC();
    CCurveSpiralTStoSC(const CCurveSpiralTStoSC&) = default;
    CCurveSpiralTStoSC& operator=(const CCurveSpiralTStoSC&) = default;

    void reset();
    bool isok() const;
    bool setLenAndR(double L, double R, bool turnRight);
    /// P is the spiral parameter squared, R times L.
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
    /// Whether a chord of length step from s stays within maxDev of the spiral.
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
