#include "velmorutils/zelmath/angles/CMathAngle.h"

#include <cmath>
#include <limits>

#include "formats/DmsCarry.h"
#include "velmorutils/zelmath/angles/AngleConversions.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

using zel_math::isNearZero;
using zel_math::isUnset;
using zel_math::kUnset;

void TQuadrant::set(int quadrant) {
    northPositive = quadrant == 1 || quadrant == 4;
    eastPositive = quadrant == 1 || quadrant == 2;
}

int TQuadrant::get() const {
    if (northPositive) return eastPositive ? 1 : 4;
    return eastPositive ? 2 : 3;
}

CMathAngle::CMathAngle(double deg) : angle(kUnset), sine(kUnset), cosine(kUnset) {
    setDeg(deg);
}

void CMathAngle::reset() {
    angle = kUnset;
    sine = kUnset;
    cosine = kUnset;
}

bool CMathAngle::isnan() const {
    return isUnset(angle);
}

double CMathAngle::getRad() const {
    return isnan() ? 0.0 : angle;
}

double CMathAngle::getDeg() const {
    return isnan() ? 0.0 : zel_math::kDegPerRad * angle;
}

void CMathAngle::getDMS(int& d, int& m, double& s) const {
    const double deg = getDeg();
    // A NaN angle (setChordAndR without a solution, a non-finite input) has no degrees to cut
    // into whole parts; the seconds carry the NaN so that a caller can still see it.
    if (!std::isfinite(deg)) {
        d = 0;
        m = 0;
        s = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    const bool negative = deg < 0;
    // Seconds that come out as 59.999...9 (floating residue, the near-zero test) are a whole
    // minute; minutes and degrees carry on.
    const zel_formats::TDmsParts dms = zel_formats::SplitDegreesWithCarry(deg, 1e-12);
    d = static_cast<int>(dms.deg);
    m = static_cast<int>(dms.min);
    s = dms.sec;
    // Minutes and seconds carry no sign, so between -1 and 0 degrees the sign is lost (d = 0).
    if (negative) d = -d;
}

TQuadrant CMathAngle::getQuadrant() const {
    const double a = toRange(getRad(), 0.0, zel_math::kTwoPi);
    const int q = static_cast<int>(std::trunc(2.0 * a / zel_math::kPi)) + 1;
    TQuadrant result;
    result.set(q);
    return result;
}

void CMathAngle::fillTrigCache() const {
    const double s = std::sin(angle);
    const double c = std::cos(angle);
    if (isUnset(sine)) sine = s;
    if (isUnset(cosine)) cosine = c;
}

double CMathAngle::getTg() const {
    const double c = getCos();
    return isNearZero(c) ? 0.0 : getSin() / c;
}

double CMathAngle::getCtg() const {
    const double s = getSin();
    return isNearZero(s) ? 0.0 : getCos() / s;
}

bool CMathAngle::isSharp() const {
    if (isnan()) return false;
    return angle > -zel_math::kHalfPi && angle < zel_math::kHalfPi;
}

bool CMathAngle::isSameAsAzimuth(const C2dPos& a, const C2dPos& b) const {
    const double d = a.distanceTo(b);
    return isNearZero(a.north + d * getCos() - b.north) &&
           isNearZero(a.east + d * getSin() - b.east);
}

void CMathAngle::getDir(C2dPos& out) const {
    out.north = getCos();
    out.east = getSin();
}

C2dPos CMathAngle::getDir() const {
    return {getCos(), getSin()};
}

double CMathAngle::getRotatedNorth(double n, double e) const {
    return getCos() * n - getSin() * e;
}

double CMathAngle::getRotatedEast(double n, double e) const {
    return getSin() * n + getCos() * e;
}

void CMathAngle::getRotated(double& n, double& e) const {
    const double n0 = n;
    n = getRotatedNorth(n0, e);
    e = getRotatedEast(n0, e);
}

double CMathAngle::getRotatedBackNorth(double n, double e) const {
    return getCos() * n + getSin() * e;
}

double CMathAngle::getRotatedBackEast(double n, double e) const {
    return -getSin() * n + getCos() * e;
}

void CMathAngle::getRotatedBack(double& n, double& e) const {
    const double n0 = n;
    n = getRotatedBackNorth(n0, e);
    e = getRotatedBackEast(n0, e);
}

void CMathAngle::getRotatedPoint(const C2dPos& centre, const C2dPos& p, C2dPos& out) const {
    double n = p.north - centre.north;
    double e = p.east - centre.east;
    getRotated(n, e);
    out.north = centre.north + n;
    out.east = centre.east + e;
}

void CMathAngle::getPosAlong(double d, double pn, double pe, double& n, double& e) const {
    n = pn + d * getCos();
    e = pe + d * getSin();
}

void CMathAngle::getPosAlong(double d, const C2dPos& p0, C2dPos& out) const {
    getPosAlong(d, p0.north, p0.east, out.north, out.east);
}

void CMathAngle::getPosAcross(double d, double pn, double pe, double& n, double& e) const {
    // Square to the direction, positive to the right (azimuth + 90 degrees).
    n = pn - d * getSin();
    e = pe + d * getCos();
}

void CMathAngle::getPosAcross(double d, const C2dPos& p0, C2dPos& out) const {
    getPosAcross(d, p0.north, p0.east, out.north, out.east);
}

void CMathAngle::setRad(double r) {
    reset();
    angle = toRange(r, -zel_math::kPi, zel_math::kPi);
}

void CMathAngle::setDeg(double d) {
    setRad(d * zel_math::kRadPerDeg);
}

void CMathAngle::setDMS(int d, int m, double s) {
    // The sign comes from the degrees alone: -0 degrees 30 minutes cannot be expressed.
    const double deg = d >= 0 ? d + m / 60.0 + s / 3600.0 : d - m / 60.0 - s / 3600.0;
    setDeg(deg);
}

bool CMathAngle::setTg(double y, double x) {
    if (isNearZero(y) && isNearZero(x)) return false;
    setRad(std::atan2(y, x));
    return true;
}

bool CMathAngle::setAz(double dN, double dE) {
    return setTg(dE, dN);
}

bool CMathAngle::setAz(double nA, double eA, double nB, double eB) {
    return setAz(nB - nA, eB - eA);
}

bool CMathAngle::setAz(const C2dPos& d) {
    return setAz(d.north, d.east);
}

bool CMathAngle::setAz(const C2dPos& p1, const C2dPos& p2) {
    return setAz(p1.north, p1.east, p2.north, p2.east);
}

bool CMathAngle::setAngle(const C2dPos& a, const C2dPos& vertex, const C2dPos& b) {
    CMathAngle toA;
    CMathAngle toB;
    if (!toA.setAz(vertex, a) || !toB.setAz(vertex, b)) return false;
    setRad(toB.getRad() - toA.getRad());
    return true;
}

void CMathAngle::setChordAndR(double chord, double r) {
    // A chord longer than the diameter leaves a NaN here (a value, not the unset marker).
    const double h = chord / 2.0;
    setRad(2.0 * std::atan2(std::sqrt(r * r - h * h), h));
}

void CMathAngle::setComplimentary() {
    if (isnan()) return;
    const double s = sine;
    const double c = cosine;
    angle = toRange(zel_math::kHalfPi - angle, -zel_math::kPi, zel_math::kPi);
    // sin(90 - a) = cos a and cos(90 - a) = sin a: the caches swap.
    sine = c;
    cosine = s;
}

void CMathAngle::setSupplementary() {
    if (isnan()) return;
    angle = toRange(zel_math::kPi - angle, -zel_math::kPi, zel_math::kPi);
    // sin(180 - a) = sin a, cos(180 - a) = -cos a.
    if (!isUnset(cosine)) cosine = -cosine;
}

void CMathAngle::changeSign() {
    if (isnan()) return;
    angle = -angle;
    if (!isUnset(sine)) sine = -sine;
}

CMathAngle& CMathAngle::operator+=(const CMathAngle& o) {
    if (!isnan()) setRad(angle + o.getRad());
    return *this;
}

CMathAngle& CMathAngle::operator-=(const CMathAngle& o) {
    if (!isnan()) setRad(angle - o.getRad());
    return *this;
}

CMathAngle& CMathAngle::operator*=(double k) {
    if (!isnan()) setRad(k * angle);
    return *this;
}

CMathAngle& CMathAngle::operator/=(double k) {
    if (isnan()) return *this;
    // Dividing by (nearly) nothing has no meaningful angle: the value becomes unset.
    if (isNearZero(k)) {
        reset();
        return *this;
    }
    setRad(angle / k);
    return *this;
}

bool CMathAngle::operator==(const CMathAngle& o) const {
    return isNearZero(getRad() - o.getRad());
}
