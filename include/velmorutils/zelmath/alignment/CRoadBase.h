#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/vertical/CAlntBase.h"

class CAlntH;
class CAlntHe;
class CAlntV;
class CAlntVe;
/// A cross-section surface of the calling application; the road only keeps the pointer.
class CXsSf;

/// A road: a horizontal alignment, a vertical alignment and a cross-section surface, none of them
/// owned. Position, azimuth and height questions are passed on to the alignment that knows;
/// without it the answer is false, null or 0. The road's start chainage is its own.
/// Units as for CAlntH and CAlntV: metres, north before east, azimuths in degrees clockwise from
/// north, offsets positive to the right, heights in metres.
class VELMORUTILS_API CRoadBase : public CAlntBase {
public:
    CRoadBase() = default;
    /// With the caller's object id (0: none).
    explicit CRoadBase(int objId) : CAlntBase(objId) {}
    CRoadBase(const CRoadBase& o);
    /// A copy of o with the caller's object id objId.
    CRoadBase(const CRoadBase& o, int objId);
    CRoadBase& operator=(const CRoadBase& o);
    ~CRoadBase() override;
    void copy(const CRoadBase& o);

    ///@{
    /// Tangent azimuth in degrees at a chainage (metres), on the alignment or extrapolated.
    virtual bool getAzimuthAtChain(double chain, double& az) const;
    virtual bool getAzimuthAtChainExtr(double chain, double& az) const;
    ///@}
    /// The station interval in metres (100 by default).
    virtual void setChainageIntervalInM(double interval) { m_chainageInterval = interval; }
    ///@{
    /// The alignments and cross-section surface it refers to (not owned), and the caller's layer
    /// id.
    virtual void setHal(const CAlntH* hal);
    virtual void setVal(const CAlntV* val);
    virtual void setXsSf(const CXsSf* xsSf);
    virtual void setLayerId(int layerId) { m_layerId = layerId; }
    ///@}

    ///@{
    /// The station interval, the referred alignments and surface, the layer id.
    double getChainageIntervalInM() const { return m_chainageInterval; }
    const CAlntH* getHAlnt() const { return m_hal; }
    const CAlntV* getVAlnt() const { return m_val; }
    const CXsSf* getXsSf() const { return m_xsSf; }
    int getLayerId() const { return m_layerId; }
    ///@}

    ///@{
    /// The elements of the referred alignments (0 or null without them).
    int getNumOfHes() const;
    const CAlntHe* getFirstHe() const;
    const CAlntHe* getLastHe() const;
    const CAlntHe* getHe(int i) const;
    int getNumOfVes() const;
    const CAlntVe* getFirstVe() const;
    const CAlntVe* getLastVe() const;
    const CAlntVe* getVe(int i) const;
    ///@}

    ///@{
    /// Start point: north, east and height in metres (0 without the alignment).
    double getStartPosN() const;
    double getStartPosE() const;
    double getStartPosH() const;
    ///@}
    ///@{
    /// End point (metres) and height at the end.
    bool getFinalPosNe(double& n, double& e) const;
    bool getFinalPosH(double& h) const;
    ///@}
    ///@{
    /// Centre-line point (north, east in metres) at a chainage; on the alignment, extrapolated, or
    /// with an offset (metres, positive right), as CAlntH gives them.
    bool getPosNeAtChain(double chain, double& n, double& e) const;
    bool getPosNeAtChainExtr(double chain, double& n, double& e) const;
    bool getPosNeAtChainAndOffsetExtr(double chain, double off, double& n, double& e) const;
    /// The point at a chainage and offset (metres, positive right), on the alignment only.
    bool getPosAtChainAndOffset(double chain, double off, double& n, double& e) const;
    ///@}
    /// The horizontal element holding a chainage, and the distance into it (metres).
    const CAlntHe* getAlntHeAtChain(double chain, double* dist) const;
    /// The IP (north, east in metres) of element i's curve; see CAlntH::getIpPosForElement().
    bool getIpPosForElement(int i, double& n, double& e) const;
    ///@{
    /// Design height in metres at a chainage: on the profile, extrapolated along its end grades.
    bool getHtAtChain(double chain, double& h) const;
    bool getPosHAtChainExtr(double chain, double& h) const;
    bool getPosHAtChain(double chain, double& h) const;
    ///@}
    /// The vertical element holding a chainage, and the distance into it (metres).
    const CAlntVe* getAlntVeAtChain(double chain, double* dist) const;
    /// Whether the horizontal alignment refers to the caller's point ptId.
    bool hasRefToPoint(int ptId) const;

    ///@{
    /// Final chainage and horizontal length of the horizontal alignment, metres.
    bool getFinalChainageInM(double& c) const;
    bool getHLengthInM(double& len) const;
    ///@}
    ///@{
    /// Chainage of a distance from the road's start, and back (metres).
    double distance2Chainage(double d) const;
    double chainage2Distance(double c) const;
    ///@}

private:
    bool doObtainTotalHLength(double& len) const override;

    double m_chainageInterval = 100.0;
    const CAlntH* m_hal = nullptr;
    const CAlntV* m_val = nullptr;
    const CXsSf* m_xsSf = nullptr;
    int m_layerId = 0;
};
