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
    /// With the caller's object id (0: none).
    explicit CAlntHeIp(int objId) : CAlntHe(objId) {}
    CAlntHeIp(const CAlntHeIp& o);
    /// A copy of o with the caller's object id objId.
    CAlntHeIp(const CAlntHeIp& o, int objId);
    CAlntHeIp& operator=(const CAlntHeIp& o);
    ~CAlntHeIp() override;

    /// The element kind.
    static TAlntHeType static_type() { return alntHeIp; }
    ///@{
    /// The element as this kind, or null when it is another kind.
    static CAlntHeIp* cast(CAlntHe* he);
    static const CAlntHeIp* cast(const CAlntHe* he);
    ///@}

    void copy(const CAlntHeIp& o);
    ///@{
    /// The IP curve (world frame); set_data() replaces it.
    const CCurveIp& get_data() const { return m_ip; }
    CCurveIp& get_data() { return m_ip; }
    void set_data(const CCurveIp& ip) { m_ip = ip; }
    ///@}

    /// The IP (north, east), the entry spiral length, the curve radius and the exit spiral length,
    /// all in metres; see CCurveIp::setIp().
    bool setIp(double ipN, double ipE, double lenIn, double radius, double lenOut) {
        return m_ip.setIp(ipN, ipE, lenIn, radius, lenOut);
    }
    /// No curve at this IP: the alignment bends there.
    void setSimplePoint() { m_ip.setSimplePoint(); }

    ///@{
    /// The element queries of CAlntHe, answered by the IP curve (straight to the TS, spirals, arc):
    /// metres, degrees clockwise from north, 1/m positive right, lengths from the element's start.
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
    ///@}
    CAlntHe* clone() const override;

protected:
    void onSetIndex(const CAlntH& alnt, int index) override;

private:
    CCurveIp m_ip;
};
