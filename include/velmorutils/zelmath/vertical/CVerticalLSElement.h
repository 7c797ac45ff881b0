#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"
#include "velmorutils/zelmath/vertical/CLsInfo.h"
#include "velmorutils/zelmath/vertical/CVerticalElement.h"

/// A vertical intersection point (VIP) with a symmetric parabola. The element runs from its
/// start (its predecessor's end) along the grade towards its VIP, as far as the curve start,
/// and then along the parabola that joins the grade in to the grade out towards the next VIP.
/// It is complete only once its start and the next VIP are known; the last VIP of a profile
/// has no curve and its element ends at the VIP.
class VELMORUTILS_API CVerticalLSElement : public CAlntVe {
public:
    CVerticalLSElement() = default;
    /// With the caller's object id (0: none).
    explicit CVerticalLSElement(int objId) : CAlntVe(objId) {}
    /// The element of the VIP vip (chainages and height in metres).
    explicit CVerticalLSElement(const CLsInfo& vip, int objId = 0);
    CVerticalLSElement(const CVerticalLSElement&) = default;
    CVerticalLSElement& operator=(const CVerticalLSElement&) = default;
    ~CVerticalLSElement() override;

    bool isok() const override { return m_ok; }
    TAlntVeType getType() const override { return avtLs; }
    double getStartHt() const override { return m_straight.getStartHt(); }
    double getFinalHt() const override;
    double getFinalChain() const override;
    double getLen() const override;
    double getStartGrade() const override { return m_straight.getStartGrade(); }
    double getEndGrade() const override;
    bool getStartChainageInM(double& ch) const override;
    errCodes getHtAtLen(double s, double& h) const override;
    bool getGradeAtLength(double s, double& g) const override;
    double getStepForDeviation(double ch, double maxDev) const override;
    bool getAsLs(CLsInfo& info) const override;
    CAlntVe* clone() const override;
    bool setStartHtAndChain(double ht, double ch) override;
    bool onNeighbourUpdate(const CAlntVe* prev, const CAlntVe* next) override;

    /// This VIP (chainage, height, curve length in metres); false when it is not usable.
    bool setCurrLSElement(const CLsInfo& vip);
    /// The next VIP, which fixes the grade out and so the parabola.
    void setNextLSElement(const CLsInfo& vip);
    /// This VIP; false when none is set.
    bool getCurrLSElement(CLsInfo& vip) const {
        vip = m_curr;
        return m_hasCurr;
    }

    ///@{
    /// The grade from the start to the curve, and the parabola (null without one).
    const CVerticalElement& getStartSegment() const { return m_straight; }
    const CVerticalElement* getParabole() const { return m_hasParabola ? &m_parabola : nullptr; }
    ///@}

private:
    bool setUpData();

    bool m_ok = false;
    bool m_hasParabola = false;
    CLsInfo m_curr;
    CLsInfo m_next;
    double m_startHt = 0.0;
    double m_startChain = zel_math::kUnset;
    bool m_hasCurr = false;
    bool m_hasNext = false;
    CVerticalElement m_straight;
    CVerticalElement m_parabola;
};
