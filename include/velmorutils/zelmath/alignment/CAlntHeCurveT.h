#pragma once

#include "velmorutils/zelmath/alignment/CAlntHe.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/curves/COrgAzCurveT.h"

/// The element kinds that hold one local-frame curve (segment, arc, spiral) placed in the world.
/// Chaining moves the placement's origin to the predecessor's end and turns it to the
/// predecessor's final azimuth, unless the start azimuth is held fixed.
template <class T>
class CAlntHeCurveT : public CAlntHe {
public:
    bool isok() const override { return m_curve.isok(); }
    bool getHLengthInM(double& len) const override {
        const double total = m_curve.getTotalLength();
        if (zel_math::isUnset(total)) return false;
        len = total;
        return true;
    }
    TAlntHeType getType() const override { return T::static_type(); }
    bool getStartPosNe(double& n, double& e) const override {
        n = m_curve.getOrgNorthing();
        e = m_curve.getOrgEasting();
        return true;
    }
    bool getFinalPosNe(double& n, double& e) const override {
        n = m_curve.getFinalNorthing();
        e = m_curve.getFinalEasting();
        return true;
    }
    void getStartAzimut(CMathAngle& a) const override { m_curve.getStartAzimut(a); }
    bool getFinalAzimut(CMathAngle& a) const override { return m_curve.getFinalAzimut(a); }
    bool getPosNeAtLength(double len, double& n, double& e) const override {
        return m_curve.getPosAtLength(len, n, e);
    }
    bool getAzimuthAtLength(double len, double& az) const override {
        az = m_curve.GetAzimuth(len);
        return true;
    }
    bool getCurvatureAtLength(double len, double& k) const override {
        k = m_curve.getCurvatureAtLength(len);
        return true;
    }
    double getStepForDeviation(double chain, double maxDev) const override {
        double d = zel_math::kUnset;
        chainage2Distance(chain, d);
        return m_curve.getStepForDeviation(d, maxDev);
    }
    bool getShortestDistAndCurveLen(double n, double e, double& dist, double& len) const override {
        return m_curve.getShortestDistAndCurveLen(n, e, dist, len);
    }

    const COrgAzCurveT<T>& get_data() const { return m_curve; }
    COrgAzCurveT<T>& get_data() { return m_curve; }
    void set_data(const T& data) { m_curve.set_data(data); }

    /// Holds the start azimuth: chaining then moves the element's start but no longer turns it.
    void setFixedStartAzimuthDeg(double deg) {
        m_curve.setRotationDeg(deg);
        m_fixedStartAzimuth = true;
    }
    bool hasFixedStartAzimuth() const { return m_fixedStartAzimuth; }

protected:
    CAlntHeCurveT() = default;
    explicit CAlntHeCurveT(int objId) : CAlntHe(objId) {}
    CAlntHeCurveT(const CAlntHeCurveT&) = default;
    CAlntHeCurveT& operator=(const CAlntHeCurveT&) = default;

    void onSetIndex(const CAlntH& alnt, int index) override {
        double chain = 0.0;
        double n = 0.0;
        double e = 0.0;
        CMathAngle az;
        chainStartOf(alnt, index, chain, n, e, az);
        onStartChainageUpdate(chain);
        m_curve.setOrg(n, e);
        if (!m_fixedStartAzimuth) m_curve.setRotation(az);
    }

private:
    COrgAzCurveT<T> m_curve;
    bool m_fixedStartAzimuth = false;
};
