#include "velmorutils/zelmath/geodesy/GeodeticFunctions.h"

#include <cmath>

#include "velmorutils/zelmath/angles/AngleConversions.h"
#include "velmorutils/zelmath/angles/CMathAngle.h"
#include "velmorutils/zelmath/angles/MathCommon.h"
#include "velmorutils/zelmath/cogo/PlaneCogo.h"

using zel_math::isNearZero;
using zel_math::kDegPerRad;
using zel_math::kPi;
using zel_math::kRadPerDeg;
using zel_math::kTwoPi;

namespace {

// WGS 84.
constexpr double kWgsA = 6378137.0;
constexpr double kWgsRf = 298.257223563;
constexpr double kWgsB = 6356752.314245179;
constexpr double kWgsE2 = 0.006694379990141317;

// The sphere of the bearing-and-distance step, and its degrees per metre (180 / (pi R)).
constexpr double kSphereR = 6.371e6;
constexpr double kSphereDegPerM = 8.993216059187306e-6;

// A cosine of latitude below this (within a few metres of a pole) leaves the longitude alone.
constexpr double kPoleCos = 1e-6;
// Likewise a parallel of radius below this (metres) on the sphere.
constexpr double kPoleRadius = 1e-6;

double localRadius(double latDeg) {
    const double s = std::sin(latDeg * kRadPerDeg);
    return kWgsB / (1.0 - kWgsE2 * s * s);
}

// The same radius from an ellipsoid's axis and inverse flattening.
double localRadius(double a, double rf, double latDeg) {
    const double f = 1.0 / rf;
    const double e2 = (2.0 - f) * f;
    const double s = std::sin(latDeg * kRadPerDeg);
    return a * std::sqrt(1.0 - e2) / (1.0 - e2 * s * s);
}

// One step of the WGS 84 offset: latitude by R, longitude by R cos(latitude of the step).
void offsetStep(double lat1, double lon1, double dE, double dN, double R, double cosLat,
                double& lat2, double& lon2) {
    lat2 = lat1 + kDegPerRad * dN / R;
    lon2 = cosLat >= kPoleCos ? lon1 + kDegPerRad * dE / (cosLat * R) : lon1;
}

// Azimuth in degrees [0, 360) from atan3; a hair below 0 lifted by 2 pi can round to 360.
double azimuthDeg(double num, double den) {
    double r = atan3(num, den);
    if (r < 0.0) r += kTwoPi;
    double deg = r * kDegPerRad;
    if (deg >= 360.0) deg -= 360.0;
    return deg;
}

// The reduced latitude's sine and cosine.
void reduced(double latDeg, double f, double& sinU, double& cosU) {
    const double sB = std::sin(latDeg * kRadPerDeg);
    const double cB = std::cos(latDeg * kRadPerDeg);
    const double g = (1.0 - f) * sB;
    sinU = g / std::sqrt(g * g + cB * cB);
    cosU = std::sqrt(1.0 - sinU * sinU);
}

// The quantities of one pass on the auxiliary sphere for a trial longitude difference lambda.
struct Pass {
    double sinLambda, cosLambda;
    double sinSigma, cosSigma, sigma;
    double cos2Alpha, cos2SigmaM;
};

Pass makePass(double lambda, double L, double sinU1, double cosU1, double sinU2, double cosU2,
              bool longWay) {
    Pass p;
    p.sinLambda = std::sin(lambda);
    // Points half the globe apart in longitude: the sine is noise, the meridian is exact.
    if (std::fabs(kPi - std::fabs(L)) < 2e-11) p.sinLambda = 0.0;
    p.cosLambda = std::cos(lambda);
    const double t = cosU1 * sinU2 - sinU1 * cosU2 * p.cosLambda;
    const double u = cosU2 * p.sinLambda;
    p.sinSigma = std::sqrt(u * u + t * t);
    if (longWay) p.sinSigma = -p.sinSigma;
    p.cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * p.cosLambda;
    p.sigma = atan3(p.sinSigma, p.cosSigma);
    if (longWay) p.sigma += kTwoPi;
    const double sinAlpha = cosU1 * cosU2 * p.sinLambda / (p.sinSigma == 0.0 ? 1e-13 : p.sinSigma);
    p.cos2Alpha = 1.0 - sinAlpha * sinAlpha;
    p.cos2SigmaM = p.cosSigma - 2.0 * sinU1 * sinU2 / (p.cos2Alpha + 1e-13);
    return p;
}

// The longitude difference on the auxiliary sphere as a series in f (to f^3) from a first pass
// made with the ellipsoidal difference L. This replaces Vincenty's iteration: one series
// evaluation and a second pass give millimetre distances for ordinary lines.
double lambdaSeries(const Pass& first, double L, double f, double sinU1, double cosU1, double sinU2,
                    double cosU2) {
    const double sigma = first.sigma;
    if (std::fabs(sigma) < 1e-14) return L;
    // As in the pass itself, an exact zero sine (antipodal points) is replaced by 1e-13.
    const double s = first.sinSigma == 0.0 ? 1e-13 : first.sinSigma;
    const double c = first.cosSigma;
    const double q = c / s;
    const double p = sinU1 * sinU2;
    const double sA = std::sin(L) * cosU1 * cosU2 / s;
    const double K = 1.0 - sA * sA;
    const double f2 = f * f;
    const double f3 = f2 * f;
    const double sg2 = sigma * sigma;
    const double sg3 = sg2 * sigma;
    const double T1 = (f + f2 + f3) * sigma;
    const double T2 = (-0.5 * f2 - f3) * s + (-f2 - 4.0 * f3) * sg2 / s + 1.5 * f3 * sg3 * q / s;
    const double T3 = (-1.25 * f2 - 3.0 * f3) * sigma + (0.25 * f2 + 0.5 * f3) * s * c +
                      (f2 + 4.0 * f3) * sg2 * q - 0.5 * f3 * sg3 - 1.5 * f3 * sg3 * q * q;
    const double T4 = 1.9375 * f3 * sigma - 0.4375 * f3 * s * c + 0.5 * f3 * sg3 -
                      0.125 * f3 * s * s * s * c - 4.5 * f3 * sg2 * q + 0.5 * f3 * sigma * c * c +
                      2.5 * f3 * sg3 * q * q;
    const double T5 = 4.5 * f3 * sg2 / s - 1.5 * f3 * sigma * c - 3.5 * f3 * sg3 * q / s -
                      0.5 * f3 * s * c * c + f3 * s;
    const double T6 = f3 * sigma + 0.5 * f3 * s * c + f3 * sg3 / (s * s);
    return L + sA * (T1 + p * T2 + K * T3 + K * K * T4 + p * K * T5 + p * p * T6);
}

}  // namespace

void GetNeOffsetFromLatLon(double& dN, double& dE, double lat1, double lon1, double lat2,
                           double lon2, double h, double R) {
    if (R == 0.0) R = (localRadius(lat1) + localRadius(lat2)) / 2.0;
    R += h;
    dN = (lat2 - lat1) * R * kPi / 180.0;
    dE = std::cos((lat1 + lat2) / 2.0 * kRadPerDeg) * R * (lon2 - lon1) * kPi / 180.0;
}

void GetOffsetLatLon(double& lat2, double& lon2, double lat1, double lon1, double dN, double dE,
                     double h, double R) {
    if (R == 0.0) R = localRadius(lat1);
    R += h;
    lat2 = lat1 + kDegPerRad * dN / R;
    const double c = std::cos((lat1 + lat2) / 2.0 * kRadPerDeg) * R;
    lon2 = isNearZero(c) ? lon1 : lon1 + kDegPerRad * dE / c;
}

void GetBL2FromBL1AndDeDn(double lat1, double lon1, double dE, double dN, double& lat2,
                          double& lon2) {
    const double R1 = localRadius(kWgsA, kWgsRf, lat1);
    double estLat = 0.0, estLon = 0.0;
    offsetStep(lat1, lon1, dE, dN, R1, std::cos(lat1 * kRadPerDeg), estLat, estLon);
    // One refinement with the radius and meridian convergence at the mean latitude.
    const double m = (lat1 + estLat) / 2.0;
    offsetStep(lat1, lon1, dE, dN, localRadius(kWgsA, kWgsRf, m), std::cos(m * kRadPerDeg), lat2,
               lon2);
}

void Compute2DPointBLH(double lat, double lon, double dist, double az1, double az2, double* lat2,
                       double* lon2) {
    const double a = (az1 + az2) * kRadPerDeg;
    const double newLat = lat + std::cos(a) * dist * kSphereDegPerM;
    const double Rc = kSphereR * std::cos((lat + newLat) / 2.0 * kRadPerDeg);
    const double newLon = Rc >= kPoleRadius ? lon + kDegPerRad * std::sin(a) * dist / Rc : lon;
    if (lat2) *lat2 = newLat;
    if (lon2) *lon2 = newLon;
}

int ComputeBLIntersectionPoint(double lat1, double lon1, double az1, double lat2, double lon2,
                               double az2, double& lat, double& lon) {
    double dN = 0.0, dE = 0.0;
    GetNeOffsetFromLatLon(dN, dE, lat1, lon1, lat2, lon2, 0.0, 0.0);
    double E = 0.0, N = 0.0;
    if (!ComputeENIntersectionPoint(0.0, 0.0, az1, dE, dN, az2, E, N)) return 0;
    GetBL2FromBL1AndDeDn(lat1, lon1, E, N, lat, lon);
    return 1;
}

void invers(double a, double rf, double lat1, double lon1, double lat2, double lon2, double& faz,
            double& baz, double& dist, int& iterations, double& lambda, int& longWay, int& kind) {
    const double f = 1.0 / rf;
    double sinU1, cosU1, sinU2, cosU2;
    reduced(lat1, f, sinU1, cosU1);
    reduced(lat2, f, sinU2, cosU2);

    double L = (lon2 - lon1) * kRadPerDeg;
    if (L > kPi) L -= kTwoPi;
    if (L < -kPi) L += kTwoPi;
    iterations = -1;
    kind = 1;
    lambda = L;
    const bool lw = longWay == 1;

    const Pass first = makePass(L, L, sinU1, cosU1, sinU2, cosU2, lw);
    ++iterations;
    lambda = lambdaSeries(first, L, f, sinU1, cosU1, sinU2, cosU2);
    const Pass p = makePass(lambda, L, sinU1, cosU1, sinU2, cosU2, lw);
    ++iterations;

    // The back azimuth points from point 2 toward point 1: the forward azimuth there, turned.
    const double sign = lw ? -1.0 : 1.0;
    faz = azimuthDeg(sign * cosU2 * p.sinLambda,
                     sign * (cosU1 * sinU2 - sinU1 * cosU2 * p.cosLambda));
    baz = azimuthDeg(sign * -cosU1 * p.sinLambda,
                     sign * (sinU1 * cosU2 - cosU1 * sinU2 * p.cosLambda));

    const double ep2 = 1.0 / ((1.0 - f) * (1.0 - f)) - 1.0;
    const double w = std::sqrt(1.0 + ep2 * p.cos2Alpha);
    const double k1 = (w - 1.0) / (w + 1.0);
    const double A = (1.0 + k1 * k1 / 4.0) / (1.0 - k1);
    const double B = k1 * (1.0 - 0.375 * k1 * k1);
    const double c2 = p.cos2SigmaM;
    const double D = 2.0 * c2 * c2 - 1.0;
    const double deltaSigma =
        B * p.sinSigma *
        (c2 + B / 4.0 *
                  (p.cosSigma * D -
                   B / 6.0 * c2 * (4.0 * p.sinSigma * p.sinSigma - 3.0) * (2.0 * D - 1.0)));
    dist = (p.sigma - deltaSigma) * A * a * (1.0 - f);
}

void invlon(double a, double rf, double lat1, double lon1, double lat2, double lon2, double& faz,
            double& dist, double& baz) {
    int iterations = 0, longWay = 0, kind = 0;
    double lambda = 0.0;
    invers(a, rf, lat1, lon1, lat2, lon2, faz, baz, dist, iterations, lambda, longWay, kind);
    faz = pos360(faz);
    baz = pos360(baz);
}

bool CMathAngle::setAzFromLatLon(double lat1, double lon1, double lat2, double lon2, double h) {
    double dN = 0.0, dE = 0.0;
    GetNeOffsetFromLatLon(dN, dE, lat1, lon1, lat2, lon2, h, 0.0);
    return setAz(dN, dE);
}
