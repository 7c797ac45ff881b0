#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/primitives/C2dPos.h"

// Which way a direction points: the signs of its north and east components.
struct VELMORUTILS_API TQuadrant {
    bool northPositive = true;
    bool eastPositive = true;

    TQuadrant(bool north = true, bool east = true) : northPositive(north), eastPositive(east) {}
    // Quadrants are numbered clockwise from north: 1 NE, 2 SE, 3 SW, 4 NW.
    void set(int quadrant);
    int get() const;
};

// A direction, central angle or deflection in radians, folded into the closed range [-pi, pi],
// with its sine and cosine computed on first use. Azimuths run clockwise from north, so a step
// along azimuth a changes north by cos a and east by sin a.
class VELMORUTILS_API CMathAngle {
public:
    CMathAngle(double deg = 0.0);
    CMathAngle(const CMathAngle&) = default;
    CMathAngle& operator=(const CMathAngle&) = default;

    void copy(const CMathAngle& o) { *this = o; }
    void reset();
    bool isnan() const;
    bool isok() const { return !isnan(); }

    double getRad() const;
    double getDeg() const;
    // Whole degrees in [-359, 359], whole minutes in [0, 59] and seconds in [0, 60) of getDeg();
    // the sign rides on the degrees alone, so -0.5 degrees gives 0, 30, 0. An angle that is NaN
    // (a chord longer than the diameter in setChordAndR, an infinite or NaN input to a set
    // operation) gives d = 0, m = 0 and s = NaN: test std::isnan(s) before printing. An unset
    // angle reads as 0 degrees and gives 0, 0, 0.
    void getDMS(int& d, int& m, double& s) const;
    TQuadrant getQuadrant() const;
    // Both caches are filled together: the compiler evaluates sine and cosine in one go.
    double getSin() const {
        if (zel_math::isUnset(sine)) fillTrigCache();
        return sine;
    }
    double getCos() const {
        if (zel_math::isUnset(cosine)) fillTrigCache();
        return cosine;
    }
    double getTg() const;
    double getCtg() const;
    bool isSharp() const;
    bool isSameAsAzimuth(const C2dPos& a, const C2dPos& b) const;
    void getDir(C2dPos& out) const;
    C2dPos getDir() const;

    double getRotatedNorth(double n, double e) const;
    double getRotatedEast(double n, double e) const;
    void getRotated(double& n, double& e) const;
    double getRotatedBackNorth(double n, double e) const;
    double getRotatedBackEast(double n, double e) const;
    void getRotatedBack(double& n, double& e) const;
    void getRotatedPoint(const C2dPos& centre, const C2dPos& p, C2dPos& out) const;

    void getPosAlong(double d, double pn, double pe, double& n, double& e) const;
    void getPosAlong(double d, const C2dPos& p0, C2dPos& out) const;
    void getPosAcross(double d, double pn, double pe, double& n, double& e) const;
    void getPosAcross(double d, const C2dPos& p0, C2dPos& out) const;

    void setRad(double r);
    void setDeg(double d);
    void setDMS(int d, int m, double s);
    bool setTg(double y, double x);
    bool setAz(double dN, double dE);
    bool setAz(double nA, double eA, double nB, double eB);
    bool setAz(const C2dPos& d);
    bool setAz(const C2dPos& p1, const C2dPos& p2);
    bool setAngle(const C2dPos& a, const C2dPos& vertex, const C2dPos& b);
    void setChordAndR(double chord, double r);
    void set90MinusThis() { setComplimentary(); }
    void setComplimentary();
    void set180MinusThis() { setSupplementary(); }
    void setSupplementary();
    void changeSign();
    // Azimuth from one geographic position to another (degrees, height in metres).
    bool setAzFromLatLon(double lat1, double lon1, double lat2, double lon2, double h);

    CMathAngle& operator+=(const CMathAngle& o);
    CMathAngle& operator-=(const CMathAngle& o);
    CMathAngle& operator*=(double k);
    CMathAngle& operator/=(double k);
    bool operator==(const CMathAngle& o) const;
    bool operator!=(const CMathAngle& o) const { return !(*this == o); }
    bool operator<(const CMathAngle& o) const { return getRad() < o.getRad(); }
    bool operator<=(const CMathAngle& o) const { return getRad() <= o.getRad(); }
    bool operator>(const CMathAngle& o) const { return getRad() > o.getRad(); }
    bool operator>=(const CMathAngle& o) const { return getRad() >= o.getRad(); }

private:
    void fillTrigCache() const;

    double angle;
    mutable double sine;
    mutable double cosine;
};
