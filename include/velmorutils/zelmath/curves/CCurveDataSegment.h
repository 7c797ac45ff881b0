#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/TAlntHeType.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/curves/AlntElementFlags.h"

template <class T>
class COrgAzCurveT;

/// A straight in its own local frame: it starts at the origin and runs either to a given end
/// point or for a given length along its own azimuth. The other pair is derived on first use and
/// cached, which is why const getters fill fields.
class VELMORUTILS_API CCurveDataSegment {
public:
    CCurveDataSegment();
    CCurveDataSegment(const CCurveDataSegment&) = default;
    CCurveDataSegment& operator=(const CCurveDataSegment&) = default;
    void copy(const CCurveDataSegment& o) { *this = o; }

    static TAlntHeType static_type() { return alntHeSegment; }

    void reset();
    void setFinalNE(double dN, double dE);
    void setLen(double len);

    bool isok() const;
    double getTotalLength() const;
    double getFinalNorthing() const;
    double getFinalEasting() const;
    const CMathAngle& getAzimuth() const;
    bool getFinalAzimut(CMathAngle& az) const;
    double GetAzimuth(double len) const;
    double getCurvatureAtLength(double) const { return 0.0; }
    bool getPosAtLength(double len, double& N, double& E) const;
    double getStepForDeviation(double len, double maxDev) const;
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    unsigned getFlags() const { return m_flags.getFlags(); }
    void setFlags(unsigned flags) { m_flags.setFlags(flags); }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }
    const AlntElementFlags& getAlntElementFlags() const { return m_flags; }

private:
    /// In its own frame a straight heads where its definition says; the placement adds the world
    /// rotation. Only the placement may turn the local direction.
    template <class T>
    friend class COrgAzCurveT;
    void setAz(const CMathAngle& az);
    void setAzRad(double rad);
    void setAzDeg(double deg);

    mutable double m_finalN;
    mutable double m_finalE;
    mutable double m_length;
    mutable CMathAngle m_azimuth;
    AlntElementFlags m_flags;
};
