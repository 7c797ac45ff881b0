#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/C2dPos.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

/// Which way a direction points: the signs of its north and east components.
struct VELMORUTILS_API TQuadrant {
    bool northPositive = true;
    bool eastPositive = true;

    /// The signs of the north and east components (true: positive).
    TQuadrant(bool north = true, bool east = true) : northPositive(north), eastPositive(east) {}
    ///@{
    /// Quadrants are numbered clockwise from north: 1 NE, 2 SE, 3 SW, 4 NW.
    void set(int quadrant);
    int get() const;
    ///@}
};

/// A direction, central angle or deflection in radians, folded into the closed range [-pi, pi],
/// with its sine and cosine computed on first use. Azimuths run clockwise from north, so a step
/// along azimuth a changes north by cos a and east by sin a.
class VELMORUTILS_API CMathAngle {
public:
    /// From degrees (any value; folded into [-pi, pi] rad). The default is 0, a valid angle.
    CMathAngle(double deg = 0.0);
    CMathAngle(const CMathAngle&) = default;
    CMathAngle& operator=(const CMathAngle&) = default;

    void copy(const CMathAngle& o) { *this = o; }
    /// Makes the angle unset (isnan() true); getRad() and getDeg() then read 0.
    void reset();
    ///@{
    /// Whether the angle is unset (the reset() marker), and its negation.
    bool isnan() const;
    bool isok() const { return !isnan(); }
    ///@}

    /// Radians in [-pi, pi] (both ends possible); 0 when unset.
    double getRad() const;
    /// Degrees in [-180, 180]; 0 when unset.
    double getDeg() const;
    /// Whole degrees in [-359, 359], whole minutes in [0, 59] and seconds in [0, 60) of
    /// getDeg(); 60 seconds carry (within 1e-12) into a minute, 60 minutes into a degree. The
    /// sign rides on the degrees alone, so an angle between -1 and 0 degrees loses its sign
    /// (-0.5 gives 0, 30, 0). An angle that is NaN (a chord longer than the diameter in
    /// setChordAndR, an infinite or NaN input to a set operation) gives d = 0, m = 0 and
    /// s = NaN: test std::isnan(s) before printing. An unset angle reads as 0 degrees and gives
    /// 0, 0, 0.
    void getDMS(int& d, int& m, double& s) const;
    /// The quadrant of the angle read as an azimuth; a boundary (90 degrees) belongs to the next
    /// quadrant clockwise.
    TQuadrant getQuadrant() const;
    ///@{
    /// Sine and cosine of the stored angle (cached). Unset angles give a NaN: test isok() first.
    double getSin() const {
        if (zel_math::isUnset(sine)) fillTrigCache();
        return sine;
    }
    double getCos() const {
        if (zel_math::isUnset(cosine)) fillTrigCache();
        return cosine;
    }
    ///@}
    /// tan of the angle; 0 where the cosine is below 1e-12.
    double getTg() const;
    /// cot of the angle; 0 where the sine is below 1e-12.
    double getCtg() const;
    /// Whether |angle| < pi/2, strict; false when unset.
    bool isSharp() const;
    /// Whether the step from a to b points along this azimuth (north and east each within 1e-12 m).
    bool isSameAsAzimuth(const C2dPos& a, const C2dPos& b) const;
    ///@{
    /// Unit vector of the azimuth: north = cos, east = sin.
    void getDir(C2dPos& out) const;
    C2dPos getDir() const;
    ///@}

    ///@{
    /// Rotation of a (north, east) pair clockwise by this angle, as an azimuth turns:
    /// north' = c n - s e, east' = s n + c e (c, s the cosine and sine). Rotating a local curve
    /// frame (heading north) by the start azimuth puts it into the world frame.
    double getRotatedNorth(double n, double e) const;
    double getRotatedEast(double n, double e) const;
    void getRotated(double& n, double& e) const;
    ///@}
    ///@{
    /// The inverse rotation (anticlockwise): world differences into a frame heading along this
    /// azimuth.
    double getRotatedBackNorth(double n, double e) const;
    double getRotatedBackEast(double n, double e) const;
    void getRotatedBack(double& n, double& e) const;
    ///@}
    /// out = centre + (p - centre) rotated clockwise by this angle.
    void getRotatedPoint(const C2dPos& centre, const C2dPos& p, C2dPos& out) const;

    ///@{
    /// The point d metres from (pn, pe) along this azimuth: n = pn + d cos, e = pe + d sin.
    void getPosAlong(double d, double pn, double pe, double& n, double& e) const;
    void getPosAlong(double d, const C2dPos& p0, C2dPos& out) const;
    ///@}
    ///@{
    /// The point d metres square to this azimuth, positive to the right (azimuth + 90 degrees):
    /// n = pn - d sin, e = pe + d cos.
    void getPosAcross(double d, double pn, double pe, double& n, double& e) const;
    void getPosAcross(double d, const C2dPos& p0, C2dPos& out) const;
    ///@}

    /// From radians, folded into [-pi, pi].
    void setRad(double r);
    /// From degrees, folded into [-180, 180].
    void setDeg(double d);
    /// From degrees, minutes, seconds; the sign is taken from d alone (so -0 degrees 30 minutes is
    /// +0.5).
    void setDMS(int d, int m, double s);
    /// atan2(y, x) in radians; false (unchanged) when both are below 1e-12.
    bool setTg(double y, double x);
    /// Azimuth of a coordinate difference in metres (north first), clockwise from north; false and
    /// unchanged when both differences are below 1e-12 m.
    bool setAz(double dN, double dE);
    /// Azimuth from A to B (north, east in metres); false when they coincide within 1e-12 m.
    bool setAz(double nA, double eA, double nB, double eB);
    /// Azimuth of the difference d (north, east in metres); false when both are below 1e-12 m.
    bool setAz(const C2dPos& d);
    /// Azimuth from p1 to p2; false when they coincide within 1e-12 m.
    bool setAz(const C2dPos& p1, const C2dPos& p2);
    /// The angle at vertex turned clockwise from the direction to a to the direction to b, in
    /// [-pi, pi]; false (unchanged) when either point coincides with the vertex.
    bool setAngle(const C2dPos& a, const C2dPos& vertex, const C2dPos& b);
    /// The central angle in radians subtending a chord of the given length in a circle of radius r
    /// (same unit): 2 atan2(sqrt(r^2 - c^2/4), c/2). A chord longer than 2r gives a NaN.
    void setChordAndR(double chord, double r);
    /// pi/2 minus this angle; no effect on an unset angle.
    void set90MinusThis() { setComplimentary(); }
    /// pi/2 minus this angle; no effect on an unset angle.
    void setComplimentary();
    /// pi minus this angle; no effect on an unset angle.
    void set180MinusThis() { setSupplementary(); }
    /// pi minus this angle; no effect on an unset angle.
    void setSupplementary();
    /// -angle; no effect on an unset angle.
    void changeSign();
    /// Azimuth from one geographic position to another: latitudes and longitudes in degrees, h the
    /// height above the ellipsoid in metres. Taken in the local plane at the mean latitude
    /// (GetNeOffsetFromLatLon() with the WGS 84 radius), so good for short lines only; false when
    /// the points coincide.
    bool setAzFromLatLon(double lat1, double lon1, double lat2, double lon2, double h);

    ///@{
    /// Sum, difference, multiple, folded into [-pi, pi]. No effect on an unset angle. Dividing by a
    /// factor below 1e-12 makes the angle unset.
    CMathAngle& operator+=(const CMathAngle& o);
    CMathAngle& operator-=(const CMathAngle& o);
    CMathAngle& operator*=(double k);
    CMathAngle& operator/=(double k);
    ///@}
    ///@{
    /// Equal within 1e-12 rad. The ordering operators compare radians without tolerance and without
    /// wrap-around (-pi < pi).
    bool operator==(const CMathAngle& o) const;
    bool operator!=(const CMathAngle& o) const { return !(*this == o); }
    bool operator<(const CMathAngle& o) const { return getRad() < o.getRad(); }
    bool operator<=(const CMathAngle& o) const { return getRad() <= o.getRad(); }
    bool operator>(const CMathAngle& o) const { return getRad() > o.getRad(); }
    bool operator>=(const CMathAngle& o) const { return getRad() >= o.getRad(); }
    ///@}

private:
    void fillTrigCache() const;

    double angle;
    mutable double sine;
    mutable double cosine;
};
