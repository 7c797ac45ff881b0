#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/curves/AlntElementFlags.h"
#include "velmorutils/zelmath/curves/TAlntHeType.h"

template <class T>
class COrgAzCurveT;

/// A straight in its own local frame: it starts at the origin (north 0, east 0) and runs either to
/// a given end point or for a given length along its own azimuth (clockwise from north). The other
/// pair is derived on first use and cached, which is why const getters fill fields. Lengths and
/// coordinates in metres (the caller's linear unit; nothing is converted).
///
/// The query set is that of every curve object (segment, arc, spiral, IP curve):
/// - getPosAtLength(s): local (north, east) at arc length s; s may lie up to 0.001 m
///   (roadTolerance) outside [0, total] and is then taken as the end; further out: false.
/// - GetAzimuth(s): tangent azimuth in degrees relative to the local north axis.
/// - getCurvatureAtLength(s): 1/m, positive turning right.
/// - getStepForDeviation(s, maxDev): the longest step from s (metres) whose chord stays within
///   maxDev metres of the curve, never past the end.
/// - getShortestDistAndCurveLen(N, E): the nearest point of the piece to a local point: dist in
///   metres, len the arc length from the start. Beyond the ends the nearer end is taken (the end
///   when both are within 0.001 m).
class VELMORUTILS_API CCurveDataSegment {
public:
    CCurveDataSegment();
    CCurveDataSegment(const CCurveDataSegment&) = default;
    CCurveDataSegment& operator=(const CCurveDataSegment&) = default;
    void copy(const CCurveDataSegment& o) { *this = o; }

    /// The element kind that holds this curve.
    static TAlntHeType static_type() { return alntHeSegment; }

    /// Length and end point unknown, azimuth 0.
    void reset();
    /// Defines the straight by its end point (metres, north first); length and azimuth follow.
    void setFinalNE(double dN, double dE);
    /// Defines the length (metres); the azimuth is the one the placement gives.
    void setLen(double len);

    /// End point known, or azimuth and length known.
    bool isok() const;
    /// Length in metres; 0 when not isok().
    double getTotalLength() const;
    ///@{
    /// End point, local north and east in metres.
    double getFinalNorthing() const;
    double getFinalEasting() const;
    ///@}
    /// The straight's direction (clockwise from the local north axis).
    const CMathAngle& getAzimuth() const;
    /// The direction at the end, the same as getAzimuth(); false when not isok().
    bool getFinalAzimut(CMathAngle& az) const;
    /// The direction in degrees, whatever len.
    double GetAzimuth(double len) const;
    /// 0: a straight does not curve.
    double getCurvatureAtLength(double) const { return 0.0; }
    /// Local point at length len (metres); false (and a logged assertion) when not isok() or len is
    /// outside [0, total] by 0.001 m or more.
    bool getPosAtLength(double len, double& N, double& E) const;
    /// The rest of the straight, total - len: a straight never leaves its chord.
    double getStepForDeviation(double len, double maxDev) const;
    /// Perpendicular foot when it falls strictly inside, else the nearer end (the end on a 0.001 m
    /// tie). False only when the foot cannot be formed.
    bool getShortestDistAndCurveLen(double N, double E, double& dist, double& len) const;

    ///@{
    /// The display kinds the values were typed in (see AlntElementFlags).
    unsigned getFlags() const { return m_flags.getFlags(); }
    void setFlags(unsigned flags) { m_flags.setFlags(flags); }
    AlntElementFlags& getAlntElementFlags() { return m_flags; }
    const AlntElementFlags& getAlntElementFlags() const { return m_flags; }
    ///@}

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
