#pragma once

#include "velmorutils/zelmath/alignment/CAlntHe.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/curves/COrgAzCurveT.h"

/// The element kinds that hold one local-frame curve (segment, arc, spiral) placed in the world.
/// Chaining moves the placement's origin to the predecessor's end and turns it to the
/// predecessor's final azimuth, unless the start azimuth is held fixed.
///
/// The element queries of CAlntHe are answered by the placed curve: positions north, east in
/// metres, azimuths in degrees clockwise from north, curvature in 1/m (positive right), lengths
/// from the element's start in metres.
template <class T>
class CAlntHeCurveT : public CAlntHe {
public:
    /// Whether the curve and its placement are defined.
    bool isok() const override { return m_curve.isok(); }
    /// Length of the curve, metres; false while unknown.
    bool getHLengthInM(double& len) const override {
        const double total = m_curve.getTotalLength();
        if (zel_math::isUnset(total)) return false;
        len = total;
        return true;
    }
    /// The kind of the curve held.
    TAlntHeType getType() const override { return T::static_type(); }
    /// World start point (the placement's origin), metres.
    bool getStartPosNe(double& n, double& e) const override {
        n = m_curve.getOrgNorthing();
        e = m_curve.getOrgEasting();
        return true;
    }
    /// World end point, metres.
    bool getFinalPosNe(double& n, double& e) const override {
        n = m_curve.getFinalNorthing();
        e = m_curve.getFinalEasting();
        return true;
    }
    /// World start azimuth (the placement's rotation).
    void getStartAzimut(CMathAngle& a) const override { m_curve.getStartAzimut(a); }
    /// World end azimuth; false while the placement is unknown.
    bool getFinalAzimut(CMathAngle& a) const override { return m_curve.getFinalAzimut(a); }
    /// World point at a length (metres) from the start.
    bool getPosNeAtLength(double len, double& n, double& e) const override {
        return m_curve.getPosAtLength(len, n, e);
    }
    /// World tangent azimuth (degrees) at a length.
    bool getAzimuthAtLength(double len, double& az) const override {
        az = m_curve.GetAzimuth(len);
        return true;
    }
    /// Curvature (1/m, positive right) at a length.
    bool getCurvatureAtLength(double len, double& k) const override {
        k = m_curve.getCurvatureAtLength(len);
        return true;
    }
    /// Longest step (metres) from a chainage within maxDev metres of the curve.
    double getStepForDeviation(double chain, double maxDev) const override {
        double d = zel_math::kUnset;
        chainage2Distance(chain, d);
        return m_curve.getStepForDeviation(d, maxDev);
    }
    /// Nearest point of the curve to a world point: distance and length from the start, metres.
    bool getShortestDistAndCurveLen(double n, double e, double& dist, double& len) const override {
        return m_curve.getShortestDistAndCurveLen(n, e, dist, len);
    }

    /// The placed curve, to read and to change.
    const COrgAzCurveT<T>& get_data() const { return m_curve; }
    /// The placed curve, to change it.
    COrgAzCurveT<T>& get_data() { return m_curve; }
    /// Replaces the curve's shape, keeping the placement.
    void set_data(const T& data) { m_curve.set_data(data); }

    /// Holds the start azimuth: chaining then moves the element's start but no longer turns it.
    void setFixedStartAzimuthDeg(double deg) {
        m_curve.setRotationDeg(deg);
        m_fixedStartAzimuth = true;
    }
    /// Whether chaining leaves the start azimuth alone.
    bool hasFixedStartAzimuth() const { return m_fixedStartAzimuth; }
    /// Holds the start point (north, east in metres) and start azimuth (degrees) where a design
    /// file places the element: chaining then gives it its start chainage but neither moves nor
    /// turns it, so the file's own sub-millimetre gaps and sub-second kinks stay at their joints
    /// instead of being carried along the road. Unlike a fixed start azimuth this is no angle
    /// point: the element still chains with its neighbours into one curve.
    void setHeldStart(double n, double e, double azDeg) {
        m_curve.setOrg(n, e);
        m_curve.setRotationDeg(azDeg);
        m_heldStart = true;
    }
    /// Whether chaining leaves the start point and azimuth alone.
    bool hasHeldStart() const { return m_heldStart; }

protected:
    CAlntHeCurveT() = default;
    /// With the caller's object id.
    explicit CAlntHeCurveT(int objId) : CAlntHe(objId) {}
    CAlntHeCurveT(const CAlntHeCurveT&) = default;
    CAlntHeCurveT& operator=(const CAlntHeCurveT&) = default;

    /// Moves the start to the predecessor's end and (unless fixed) turns it to its final azimuth.
    void onSetIndex(const CAlntH& alnt, int index) override {
        double chain = 0.0;
        double n = 0.0;
        double e = 0.0;
        CMathAngle az;
        chainStartOf(alnt, index, chain, n, e, az);
        onStartChainageUpdate(chain);
        if (m_heldStart) return;
        m_curve.setOrg(n, e);
        if (!m_fixedStartAzimuth) m_curve.setRotation(az);
    }

private:
    COrgAzCurveT<T> m_curve;
    bool m_fixedStartAzimuth = false;
    bool m_heldStart = false;
};
