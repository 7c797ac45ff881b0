#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/C2dPos.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"
#include "velmorutils/zelmath/vertical/CAlntVeArc.h"
#include "velmorutils/zelmath/vertical/CVerticalElement.h"

/// A vertical intersection point (VIP) with a circular vertical curve of a given radius. The
/// element runs along the grade from its start towards the VIP and then along the arc whose
/// tangents meet at the VIP. Until its neighbours are known it is only the VIP: a zero-length
/// straight and a degenerate arc there.
class VELMORUTILS_API CAlntVeLsWithArc : public CAlntVe {
public:
    CAlntVeLsWithArc() { reset(); }
    /// With the caller's object id (0: none).
    explicit CAlntVeLsWithArc(int objId) : CAlntVe(objId) { reset(); }
    /// VIP at chainage ch and height ht (metres) with a circular curve of radius r (metres,
    /// positive for a sag, 0 for none).
    CAlntVeLsWithArc(double ch, double ht, double r, int objId = 0);
    CAlntVeLsWithArc(const CAlntVeLsWithArc&) = default;
    CAlntVeLsWithArc& operator=(const CAlntVeLsWithArc&) = default;
    ~CAlntVeLsWithArc() override;

    bool isok() const override;
    TAlntVeType getType() const override { return avtLsWithArc; }
    double getStartHt() const override { return m_straight.getStartHt(); }
    double getFinalHt() const override { return m_arc.getFinalHt(); }
    double getFinalChain() const override { return m_arc.getFinalChain(); }
    double getLen() const override { return m_straight.getLen() + m_arc.getLen(); }
    double getStartGrade() const override { return m_straight.getStartGrade(); }
    double getEndGrade() const override { return m_arc.getEndGrade(); }
    bool getStartChainageInM(double& ch) const override {
        return m_straight.getStartChainageInM(ch);
    }
    errCodes getHtAtLen(double s, double& h) const override;
    bool getGradeAtLength(double s, double& g) const override;
    double getStepForDeviation(double ch, double maxDev) const override;
    bool getAsLs(CLsInfo& info) const override;
    CAlntVe* clone() const override;
    bool setStartHtAndChain(double ht, double ch) override {
        return m_straight.setStartHtAndChain(ht, ch);
    }
    bool onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next) override;

    /// The VIP (metres) and the radius (metres).
    void setIpAndR(double ch, double ht, double r);
    /// The VIP as (chainage, height) in metres, and the radius.
    void setIpAndR(const C2dPos& vip, double r);
    /// Radius in metres (positive sag, negative crest, 0 none).
    void setRadius(double r) { m_radius = r; }
    /// Back to a bare VIP at chainage 0, height 0.
    void reset();

    ///@{
    /// The VIP as (chainage, height), metres; the radius in metres.
    const C2dPos& getIpStaAndHt() const { return m_vip; }
    double getRadius() const { return m_radius; }
    ///@}
    ///@{
    /// The arc and the grade before it.
    const CAlntVeArc& getArc() const { return m_arc; }
    const CVerticalElement& getStartSegment() const { return m_straight; }
    ///@}
    /// No curve at this VIP.
    bool isSimplePoint() const { return m_arc.isSimplePoint(); }
    /// End of the arc as (chainage, height), metres.
    C2dPos getFinalStaAndHt() const { return m_arc.getFinalStaAndHt(); }

private:
    void buildSimple();

    CVerticalElement m_straight;
    CAlntVeArc m_arc;
    C2dPos m_vip;
    double m_radius = 0.0;
};
