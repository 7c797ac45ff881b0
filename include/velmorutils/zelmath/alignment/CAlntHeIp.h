#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/alignment/CAlntHe.h"
#include "velmorutils/zelmath/curves/CCurveIp.h"

/// An element defined by an intersection point: the straight from the previous element's end
/// towards the IP and the curve (entry spiral, arc, exit spiral) fitted there. The curve is
/// solved only when the next element is an IP too; otherwise the IP is a bare vertex.
class VELMORUTILS_API CAlntHeIp : public CAlntHe {
public:
    CAlntHeIp() = default;
    explicit CAlntHeIp(int objId) : CAlntHe(objId) {}
    CAlntHeIp(const CAlntHeIp& o);
    CAlntHeIp(const CAlntHeIp& o, int objId);
    CAlntHeIp& operator=(const CAlntHeIp& o);
    ~CAlntHeIp() override;

    static TAlntHeType static_type() { return alntHeIp; }
    static CAlntHeIp* cast(CAlntHe* he);
    static const CAlntHeIp* cast(const CAlntHe* he);

    void copy(const CAlntHeIp& o);
    const CCurveIp& get_data() const { return m_ip; }
    CCurveIp& get_data() { return m_ip; }
    void set_data(const CCurveIp& ip) { m_ip = ip; }

    /// The IP, the entry spiral length, the curve radius and the exit spiral length.
    bool setIp(double ipN, double ipE, double lenIn, double radius, double lenOut) {
        return m_ip.setIp(ipN, ipE, lenIn, radius, lenOut);
    }
    void setSimplePoint() { m_ip.setSimplePoint(); }

    bool isok() const override;
    bool getHLengthInM(double& len) const override;
    TAlntHeType getType() const override { return alntHeIp; }
    bool getStartPosNe(double& n, double& e) const override;
    bool getFinalPosNe(double& n, double& e) const override;
    void getStartAzimut(CMathAngle& a) const override;
    bool getFinalAzimut(CMathAngle& a) const override;
    bool getPosNeAtLength(double len, double& n, double& e) const override;
    bool getAzimuthAtLength(double len, double& az) const override;
    bool getCurvatureAtLength(double len, double& k) const override;
    double getStepForDeviation(double chain, double maxDev) const override;
    bool getShortestDistAndCurveLen(double n, double e, double& dist, double& len) const override;
    CAlntHe* clone() const override;

protected:
    void onSetIndex(const CAlntH& alnt, int index) override;

private:
    CCurveIp m_ip;
};
