#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntElBase.h"
#include "velmorutils/zelmath/alignment/TAlntHeType.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"

class CAlntH;

/// One stretch of a road centre line in plan. An element answers by chainage, by length along
/// itself and with a perpendicular offset (positive to the right of increasing chainage), and
/// extrapolates along its end tangents. Inside an alignment it is chained: it starts at its
/// predecessor's final point, chainage and (unless fixed) azimuth.
class VELMORUTILS_API CAlntHe : public CAlntElBase {
    friend class CAlntH;

public:
    ~CAlntHe() override;

    virtual TAlntHeType getType() const = 0;
    virtual bool getStartPosNe(double& n, double& e) const = 0;
    virtual bool getFinalPosNe(double& n, double& e) const = 0;
    virtual void getStartAzimut(CMathAngle& a) const = 0;
    virtual bool getFinalAzimut(CMathAngle& a) const = 0;
    virtual bool getPosNeAtChain(double chain, double& n, double& e) const;
    virtual bool getAzimuthAtChain(double chain, double& az) const;
    virtual bool getPosNeAtLength(double len, double& n, double& e) const = 0;
    virtual bool getAzimuthAtLength(double len, double& az) const = 0;
    virtual bool getCurvatureAtLength(double len, double& k) const = 0;
    virtual bool getPosNeAtChainExtr(double chain, double& n, double& e) const;
    virtual bool getPosNeAtChainAndOffsetExtr(double chain, double off, double& n, double& e) const;
    virtual bool getAzimuthAtChainExtr(double chain, double& az) const;
    virtual double getStepForDeviation(double chain, double maxDev) const = 0;
    virtual bool getShortestDistAndCurveLen(double n, double e, double& dist,
                                            double& len) const = 0;
    virtual bool getPosAtLengthAndOffset(double len, double off, double& n, double& e) const;
    virtual CAlntHe* clone() const = 0;

    /// The chainage one deviation-limited step further, with the position there; position caches
    /// walk an element with it.
    double getNextPosForDeviation(double chain, double maxDev, double& n, double& e) const;

protected:
    CAlntHe() = default;
    explicit CAlntHe(int objId) : CAlntElBase(objId) {}
    CAlntHe(const CAlntHe&) = default;
    CAlntHe(const CAlntHe& o, int objId) : CAlntElBase(o, objId) {}
    CAlntHe& operator=(const CAlntHe&) = default;

    /// Takes the start point, start chainage and start azimuth from the element before it.
    virtual void onSetIndex(const CAlntH& alnt, int index) = 0;

    /// Where an element at `index` of `alnt` starts: the predecessor's final values, or the
    /// alignment's start for the first element. A value the predecessor cannot give stays 0.
    static void chainStartOf(const CAlntH& alnt, int index, double& chain, double& n, double& e,
                             CMathAngle& az);

    /// The point at distance |off| square to direction az (degrees) from (n0, e0): to the right
    /// for a positive offset, to the left for a negative one; offsets below smallNumTolerance
    /// leave the point on the centre line.
    static void applyOffset(double n0, double e0, double az, double off, double& n, double& e);
};
