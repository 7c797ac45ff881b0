#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntElBase.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/curves/TAlntHeType.h"

class CAlntH;

/// One stretch of a road centre line in plan. An element answers by chainage, by length along
/// itself and with a perpendicular offset (positive to the right of increasing chainage), and
/// extrapolates along its end tangents. Inside an alignment it is chained: it starts at its
/// predecessor's final point, chainage and (unless fixed) azimuth.
/// World frame: positions north, east in metres; azimuths in degrees clockwise from north (start
/// and final azimuths as CMathAngle); chainages and lengths in metres, a length measured from
/// the element's start.
class VELMORUTILS_API CAlntHe : public CAlntElBase {
    friend class CAlntH;

public:
    ~CAlntHe() override;

    /// The element kind.
    virtual TAlntHeType getType() const = 0;
    ///@{
    /// Start and end point, metres.
    virtual bool getStartPosNe(double& n, double& e) const = 0;
    virtual bool getFinalPosNe(double& n, double& e) const = 0;
    ///@}
    ///@{
    /// Tangent azimuth at the start and at the end.
    virtual void getStartAzimut(CMathAngle& a) const = 0;
    virtual bool getFinalAzimut(CMathAngle& a) const = 0;
    ///@}
    /// Centre-line point at a chainage on the element (within 0.001 m of its ends).
    virtual bool getPosNeAtChain(double chain, double& n, double& e) const;
    /// Tangent azimuth in degrees at a chainage on the element.
    virtual bool getAzimuthAtChain(double chain, double& az) const;
    /// Centre-line point at a length from the element's start (within 0.001 m of its ends).
    virtual bool getPosNeAtLength(double len, double& n, double& e) const = 0;
    /// Tangent azimuth in degrees at a length.
    virtual bool getAzimuthAtLength(double len, double& az) const = 0;
    /// Curvature in 1/m at a length, positive turning right.
    virtual bool getCurvatureAtLength(double len, double& k) const = 0;
    /// Centre-line point at a chainage, extrapolated along the end tangents beyond either end.
    virtual bool getPosNeAtChainExtr(double chain, double& n, double& e) const;
    /// The point at a chainage and offset (metres, positive to the right), extrapolated beyond the
    /// ends; offsets below 1e-5 m are none.
    virtual bool getPosNeAtChainAndOffsetExtr(double chain, double off, double& n, double& e) const;
    /// Tangent azimuth in degrees at a chainage; the end tangents beyond the ends.
    virtual bool getAzimuthAtChainExtr(double chain, double& az) const;
    /// The longest step in metres from the chainage whose chord stays within maxDev metres of the
    /// element.
    virtual double getStepForDeviation(double chain, double maxDev) const = 0;
    /// Nearest point of the element to the world point (n, e): dist in metres, len from the start.
    /// Beyond the ends the nearer end point.
    virtual bool getShortestDistAndCurveLen(double n, double e, double& dist,
                                            double& len) const = 0;
    /// The point at a length and offset (metres, positive to the right); offsets below 1e-5 m are
    /// none.
    virtual bool getPosAtLengthAndOffset(double len, double off, double& n, double& e) const;
    /// A copy on the library heap, owned by the caller (the alignment).
    virtual CAlntHe* clone() const = 0;

    /// The chainage one deviation-limited step further, with the position there; position caches
    /// walk an element with it.
    double getNextPosForDeviation(double chain, double maxDev, double& n, double& e) const;

    /// The point at distance |off| square to direction az (degrees) from (n0, e0): to the right
    /// for a positive offset, to the left for a negative one; offsets below smallNumTolerance
    /// leave the point on the centre line.
    static void applyOffset(double n0, double e0, double az, double off, double& n, double& e);

protected:
    CAlntHe() = default;
    /// With the caller's object id (0: none).
    explicit CAlntHe(int objId) : CAlntElBase(objId) {}
    CAlntHe(const CAlntHe&) = default;
    /// A copy of o with the caller's object id objId.
    CAlntHe(const CAlntHe& o, int objId) : CAlntElBase(o, objId) {}
    CAlntHe& operator=(const CAlntHe&) = default;

    /// Takes the start point, start chainage and start azimuth from the element before it.
    virtual void onSetIndex(const CAlntH& alnt, int index) = 0;

    /// Where an element at `index` of `alnt` starts: the predecessor's final values, or the
    /// alignment's start for the first element. A value the predecessor cannot give stays 0.
    static void chainStartOf(const CAlntH& alnt, int index, double& chain, double& n, double& e,
                             CMathAngle& az);
};
