#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/C2dPos.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/vertical/CAlntVe.h"

/// A circular vertical curve in the chainage-height plane. Points are C2dPos with the chainage
/// as the first and the height as the second coordinate; a direction is the angle whose tangent
/// is grade / 100. The radius is signed: positive for a sag (the grade increases, centre above
/// the curve), negative for a crest (centre below), 0 for no curve at all (a simple point).
class VELMORUTILS_API CAlntVeArc : public CAlntVe {
public:
    CAlntVeArc() = default;
    /// With the caller's object id (0: none).
    explicit CAlntVeArc(int objId) : CAlntVe(objId) {}
    /// Start height and chainage (metres), grades in and out (percent), radius (metres, signed as
    /// above).
    CAlntVeArc(double startHt, double startChain, double g1, double g2, double r);
    CAlntVeArc(const CAlntVeArc&) = default;
    CAlntVeArc& operator=(const CAlntVeArc&) = default;
    ~CAlntVeArc() override;

    bool isok() const override;
    TAlntVeType getType() const override { return avtArc; }
    double getStartHt() const override { return m_start.east; }
    double getFinalHt() const override { return getFinalStaAndHt().east; }
    double getFinalChain() const override { return getFinalStaAndHt().north; }
    double getLen() const override { return getFinalChain() - m_start.north; }
    double getStartGrade() const override { return 100.0 * m_startDir.getTg(); }
    double getEndGrade() const override;
    bool getStartChainageInM(double& ch) const override;
    /// Height at horizontal distance s (metres) from the start, on the circle.
    errCodes getHtAtLen(double s, double& h) const override;
    /// Grades along a circular vertical curve are not given: always false.
    bool getGradeAtLength(double s, double& g) const override;
    double getStepForDeviation(double ch, double maxDev) const override;
    bool getAsLs(CLsInfo& info) const override;
    CAlntVe* clone() const override;
    bool setStartHtAndChain(double ht, double ch) override;

    /// Grades in percent, radius in metres (signed).
    void setGradesAndR(double g1, double g2, double r);
    /// Grades in percent and horizontal length in metres; the radius follows.
    bool setGradesAndLen(double g1, double g2, double len);
    /// Centre (chainage, height in metres), grades in percent and radius in metres.
    void setCenterGradesAndR(const C2dPos& centre, double g1, double g2, double r);
    /// Radius in metres, signed (positive sag, negative crest, 0 none).
    void setRadius(double r);
    /// Back to a simple point at chainage 0, height 0, level.
    void reset();

    /// The radius (metres, signed) of the arc of horizontal length len (metres) that turns from
    /// grade g1 to grade g2 (percent).
    static bool computeRadius(double& r, double g1, double g2, double len);
    /// The same from the two tangent directions (angles whose tangent is grade / 100).
    static bool computeRadius(double& r, const CMathAngle& a1, const CMathAngle& a2, double len);

    /// Radius in metres, signed: positive sag, negative crest, 0 a simple point.
    double getRadius() const { return m_radius; }
    ///@{
    /// No curve (radius below 1e-12 m); convex upwards (a crest, R < 0); convex downwards (a sag).
    bool isSimplePoint() const { return zel_math::isNearZero(m_radius); }
    bool isConvexUpwards() const { return m_radius < 0.0; }
    bool isConvexDownwards() const { return m_radius > 0.0; }
    ///@}
    /// Length along the arc, metres.
    double getArcLen() const { return m_arcLen; }
    /// The angle turned over the arc (radians).
    void getCentralAngle(CMathAngle& a) const;
    ///@{
    /// Centre and end as (chainage, height), metres.
    C2dPos getCenterStaAndHt() const;
    C2dPos getFinalStaAndHt() const;
    ///@}
    /// Direction at the start: the angle whose tangent is the start grade / 100.
    const CMathAngle& getStartDir() const { return m_startDir; }

private:
    void clearCaches() {
        m_centre = C2dPos(zel_math::kUnset, zel_math::kUnset);
        m_end = m_centre;
    }

    CMathAngle m_startDir;
    C2dPos m_start;
    double m_arcLen = 0.0;
    double m_radius = 0.0;
    mutable C2dPos m_centre{zel_math::kUnset, zel_math::kUnset};
    mutable C2dPos m_end{zel_math::kUnset, zel_math::kUnset};
};
