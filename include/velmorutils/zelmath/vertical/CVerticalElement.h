#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"

/// A straight grade or a symmetric parabolic vertical curve. At horizontal distance s from the
/// start the height is h(s) = A s^2 + B s + C with A = (g2 - g1) / (200 len), B = g1 / 100 and
/// C the start height; equal grades make it a straight.
class VELMORUTILS_API CVerticalElement : public CAlntVe {
public:
    CVerticalElement() = default;
    /// With the caller's object id (0: none).
    explicit CVerticalElement(int objId) : CAlntVe(objId) {}
    /// A straight: start height and chainage, length in metres, grade in percent.
    CVerticalElement(double startHt, double startChain, double len, double grade);
    /// A parabola from grade g1 to g2 (percent) over the horizontal length len (metres).
    CVerticalElement(double startHt, double startChain, double len, double g1, double g2);
    CVerticalElement(const CVerticalElement&) = default;
    CVerticalElement& operator=(const CVerticalElement&) = default;
    ~CVerticalElement() override;

    TAlntVeType getType() const override { return isParabola() ? avtParabola : avtStraight; }
    double getStartHt() const override { return m_startHt; }
    double getFinalHt() const override;
    double getFinalChain() const override { return m_startChain + m_len; }
    double getLen() const override { return m_len; }
    double getStartGrade() const override { return m_g1; }
    double getEndGrade() const override { return m_g2; }
    bool getStartChainageInM(double& ch) const override {
        ch = m_startChain;
        return true;
    }
    errCodes getHtAtLen(double s, double& h) const override;
    bool getGradeAtLength(double s, double& g) const override;
    double getStepForDeviation(double ch, double maxDev) const override;
    bool getAsLs(CLsInfo& info) const override;
    CAlntVe* clone() const override;
    bool setStartHtAndChain(double ht, double ch) override;

    /// Length in metres, grade in percent.
    void setStraight(double len, double grade);
    /// Length in metres, grades in percent; equal grades make a straight.
    void setParabola(double len, double g1, double g2);
    /// hVip is the VIP's height above the start (metres), r the radius of the curve at its vertex
    /// (metres, positive for a sag; 0 gives equal grades).
    void setParabolaByCR(double len, double hVip, double r);
    /// hVip as above, f the middle ordinate (VIP to curve, metres).
    void setParabolaByCF(double len, double hVip, double f);
    /// The straight from point 1 to point 2 (chainage, height in metres); a point 2 not after
    /// point 1 (within 1e-12 m) collapses onto it.
    void setStraight(double ch1, double ht1, double ch2, double ht2);
    /// Back to a level straight of length 0 at chainage 0, height 0.
    void reset();

    ///@{
    /// Whether the grades differ (a parabola), or not (a straight).
    bool isParabola() const { return m_g1 != m_g2; }
    bool isStraight() const { return !isParabola(); }
    ///@}

    ///@{
    /// Coefficients of h(s) = A s^2 + B s + C with s in metres from the start: A in 1/m, B = g1 /
    /// 100, C the start height in metres.
    double getParabolaCoefficientA() const;
    double getParabolaCoefficientB() const { return m_g1 / 100.0; }
    double getParabolaCoefficientC() const { return m_startHt; }
    ///@}
    /// -2 A len: the change of grade over the curve as a fraction (not percent).
    double getParabolaCoefficientDs() const { return -2.0 * getParabolaCoefficientA() * m_len; }
    /// 1 / (2A): the radius of curvature at the vertex in metres, positive for a sag; 0 for a
    /// straight.
    double getParabolaCoefficientKv() const;
    /// The vertex of the parabola (chainage, height in metres; highest point of a crest, lowest of
    /// a sag), and whether it lies on the curve itself.
    bool getParabolaExtremum(double& ch, double& h, bool& inside) const;

private:
    double m_startHt = 0.0;
    double m_startChain = 0.0;
    double m_len = 0.0;
    double m_g1 = 0.0;
    double m_g2 = 0.0;
};
