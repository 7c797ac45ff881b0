#pragma once

#include "velmorutils/platform/Export.h"

/// A vertical intersection point (VIP) as the vertical elements see it: where the two grade
/// lines meet, and the vertical curve that rounds the corner there. A parabolic curve is
/// symmetric about the VIP, so its start lies half its length before it; a circular curve
/// carries its own start chainage and its radius.
class VELMORUTILS_API CLsInfo {
public:
    CLsInfo() = default;
    /// A bare VIP at chainage and height (metres).
    CLsInfo(double chainage, double height) { set(chainage, height); }
    /// A VIP with a symmetric curve of the given horizontal length (metres).
    CLsInfo(double chainage, double height, double curveLength) {
        set(chainage, height, curveLength);
    }

    /// A bare VIP: no curve.
    void set(double chainage, double height) { set(chainage, height, 0.0); }
    /// A VIP with a symmetric curve of the given horizontal length.
    void set(double chainage, double height, double curveLength) {
        set(chainage, height, curveLength, chainage - curveLength / 2.0, 0.0);
    }
    /// Every field: VIP chainage and height, curve length and start chainage (metres), radius
    /// (metres, 0 for a parabola or none).
    void set(double chainage, double height, double curveLength, double curveStartChainage,
             double radius) {
        m_chainage = chainage;
        m_height = height;
        m_curveLength = curveLength;
        m_curveStartChainage = curveStartChainage;
        m_radius = radius;
    }

    ///@{
    /// VIP chainage and height, curve length, start and end chainage, radius: metres.
    double getChainage() const { return m_chainage; }
    double getHeight() const { return m_height; }
    double getCurveLength() const { return m_curveLength; }
    double getCurveStartChainage() const { return m_curveStartChainage; }
    double getCurveEndChainage() const { return m_curveStartChainage + m_curveLength; }
    double getRadius() const { return m_radius; }
    ///@}
    /// Whether a curve rounds the VIP.
    bool hasCurve() const;

    /// Equal when no field differs by 1e-12 or more.
    bool isSameAs(const CLsInfo& o) const;

private:
    double m_chainage = 0.0;
    double m_height = 0.0;
    double m_curveLength = 0.0;
    double m_curveStartChainage = 0.0;
    double m_radius = 0.0;
};
