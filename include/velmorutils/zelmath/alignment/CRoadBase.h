#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntBase.h"

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
    explicit CRoadBase(int objId) : CAlntBase(objId) {}
    CRoadBase(const CRoadBase& o);
    CRoadBase(const CRoadBase& o, int objId);
    CRoadBase& operator=(const CRoadBase& o);
    ~CRoadBase() override;
    void copy(const CRoadBase& o);

    virtual bool getAzimuthAtChain(double chain, double& az) const;
    virtual bool getAzimuthAtChainExtr(double chain, double& az) const;
    virtual void setChainageIntervalInM(double interval) { m_chainageInterval = interval; }
    virtual void setHal(const CAlntH* hal);
    virtual void setVal(const CAlntV* val);
    virtual void setXsSf(const CXsSf* xsSf);
    virtual void setLayerId(int layerId) { m_layerId = layerId; }

    double getChainageIntervalInM() const { return m_chainageInterval; }
    const CAlntH* getHAlnt() const { return m_hal; }
    const CAlntV* getVAlnt() const { return m_val; }
    const CXsSf* getXsSf() const { return m_xsSf; }
    int getLayerId() const { return m_layerId; }

    int getNumOfHes() const;
    const CAlntHe* getFirstHe() const;
    const CAlntHe* getLastHe() const;
    const CAlntHe* getHe(int i) const;
    int getNumOfVes() const;
    const CAlntVe* getFirstVe() const;
    const CAlntVe* getLastVe() const;
    const CAlntVe* getVe(int i) const;

    double getStartPosN() const;
    double getStartPosE() const;
    double getStartPosH() const;
    bool getFinalPosNe(double& n, double& e) const;
    bool getFinalPosH(double& h) const;
    bool getPosNeAtChain(double chain, double& n, double& e) const;
    bool getPosNeAtChainExtr(double chain, double& n, double& e) const;
    bool getPosNeAtChainAndOffsetExtr(double chain, double off, double& n, double& e) const;
    /// The point at a chainage and offset (metres, positive right), on the alignment only.
    bool getPosAtChainAndOffset(double chain, double off, double& n, double& e) const;
    const CAlntHe* getAlntHeAtChain(double chain, double* dist) const;
    bool getIpPosForElement(int i, double& n, double& e) const;
    bool getHtAtChain(double chain, double& h) const;
    bool getPosHAtChainExtr(double chain, double& h) const;
    bool getPosHAtChain(double chain, double& h) const;
    const CAlntVe* getAlntVeAtChain(double chain, double* dist) const;
    bool hasRefToPoint(int ptId) const;

    bool getFinalChainageInM(double& c) const;
    bool getHLengthInM(double& len) const;
    /// Chainage of a distance from the road's start, and back (metres).
    double distance2Chainage(double d) const;
    double chainage2Distance(double c) const;

private:
    bool doObtainTotalHLength(double& len) const override;

    double m_chainageInterval = 100.0;
    const CAlntH* m_hal = nullptr;
    const CAlntV* m_val = nullptr;
    const CXsSf* m_xsSf = nullptr;
    int m_layerId = 0;
};
