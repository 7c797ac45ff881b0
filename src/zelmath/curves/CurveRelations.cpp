#include "velmorutils/zelmath/curves/CurveRelations.h"

#include <cmath>

#include "velmorutils/zelmath/angles/AngleConversions.h"
#include "velmorutils/zelmath/angles/MathCommon.h"

using zel_math::isNearZero;
using zel_math::kDegPerRad;
using zel_math::kRadPerDeg;

namespace {

// The degree of curve is defined on a 100-unit arc (or chord) in every unit system.
constexpr double kArcBase = 100.0;
constexpr double kArcBaseDeg = 5729.5779513082325;  // 100 / (pi / 180)
// Half a turn has no tangent and no external distance; this literal is kept apart from
// smallNumTolerance on purpose although it has the same value.
constexpr double kHalfTurnGuard = 1e-5;

// An inverse sine or cosine has an answer only for arguments in [-1, 1].
bool inUnitRange(double x) {
    return !(x > 1.0) && !(x < -1.0);
}

}  // namespace

double GetRadiusFromDegOfCurve(double D) {
    const double dr = D * kRadPerDeg;
    return dr < smallNumTolerance ? 0.0 : kArcBase / dr;
}

double GetDegOfCurveFromRadius(double R) {
    return R < smallNumTolerance ? 0.0 : kArcBaseDeg / R;
}

double GetRadiusFromDegOfChord(double D) {
    const double dr = D * kRadPerDeg;
    return dr < smallNumTolerance ? 0.0 : (kArcBase / 2.0) / std::sin(dr / 2.0);
}

double GetDegOfChordFromRadius(double R) {
    // Below a radius of 50 no 100-unit chord fits: asin of more than 1 gives a NaN on purpose.
    return R < smallNumTolerance ? 0.0 : 2.0 * std::asin((kArcBase / 2.0) / R) * kDegPerRad;
}

double GetDeltaFromLength(double L, double R) {
    return R < smallNumTolerance ? 0.0 : L / R * kDegPerRad;
}

double GetLengthFromDelta(double delta, double R) {
    return delta * kRadPerDeg * R;
}

double GetDeltaFromChordLength(double C, double R) {
    if (isNearZero(R)) return 0.0;
    const double x = C / (2.0 * R);
    return inUnitRange(x) ? 2.0 * std::asin(x) * kDegPerRad : 0.0;
}

double GetChordLenFromDelta(double delta, double R) {
    return 2.0 * std::sin(delta * kRadPerDeg / 2.0) * R;
}

double GetDeltaFromTangent(double T, double R) {
    return 2.0 * atan3(T, R) * kDegPerRad;
}

double GetTangentFromDelta(double delta, double R) {
    if (std::fabs(std::fabs(delta) - 180.0) < kHalfTurnGuard) return 0.0;
    return std::tan(delta * kRadPerDeg / 2.0) * R;
}

double GetDeltaFromMidOrd(double M, double R) {
    if (isNearZero(R)) return 0.0;
    const double x = 1.0 - M / R;
    return inUnitRange(x) ? 2.0 * std::acos(x) * kDegPerRad : 0.0;
}

double GetMidOrdFromDelta(double delta, double R) {
    return (1.0 - std::cos(delta * kRadPerDeg / 2.0)) * R;
}

double GetDeltaFromExternal(double E, double R) {
    R = std::fabs(R);
    E = std::fabs(E);
    if (isNearZero(R)) return 0.0;
    const double x = R / (E + R);
    return inUnitRange(x) ? 2.0 * std::acos(x) * kDegPerRad : 0.0;
}

double GetExternalFromDelta(double delta, double R) {
    R = std::fabs(R);
    if (std::fabs(std::fabs(delta) - 180.0) <= kHalfTurnGuard) return 0.0;
    return std::fabs(R / std::cos(delta * kRadPerDeg / 2.0) - R);
}

double GetLengthFromChordLength(double C, double R) {
    return GetLengthFromDelta(GetDeltaFromChordLength(C, R), R);
}
double GetChordLenFromLength(double L, double R) {
    return GetChordLenFromDelta(GetDeltaFromLength(L, R), R);
}
double GetLengthFromTangent(double T, double R) {
    return GetLengthFromDelta(GetDeltaFromTangent(T, R), R);
}
double GetTangentFromLength(double L, double R) {
    return GetTangentFromDelta(GetDeltaFromLength(L, R), R);
}
double GetLengthFromMidOrd(double M, double R) {
    return GetLengthFromDelta(GetDeltaFromMidOrd(M, R), R);
}
double GetMidOrdFromLength(double L, double R) {
    return GetMidOrdFromDelta(GetDeltaFromLength(L, R), R);
}
double GetLengthFromExternal(double E, double R) {
    return GetLengthFromDelta(GetDeltaFromExternal(E, R), R);
}
double GetExternalFromLength(double L, double R) {
    return GetExternalFromDelta(GetDeltaFromLength(L, R), R);
}

double GetSpiralLength(double A, double R) {
    R = std::fabs(R);
    return R < smallNumTolerance ? 0.0 : A * A / R;
}

double GetSpiralConstant(double L, double R) {
    return std::sqrt(std::fabs(L) * std::fabs(R));
}

double getRadiusValueFromDisplay(double value, AlntElementRadiusDisplay kind) {
    switch (kind) {
        case ardDegOfChord:
            return GetRadiusFromDegOfChord(value);
        case ardDegOfCurve:
            return GetRadiusFromDegOfCurve(value);
        default:
            return value;
    }
}

double getDisplayValueFromRadius(double R, AlntElementRadiusDisplay kind) {
    switch (kind) {
        case ardDegOfChord:
            return GetDegOfChordFromRadius(R);
        case ardDegOfCurve:
            return GetDegOfCurveFromRadius(R);
        default:
            return R;
    }
}

double getLengthValueFromDisplay(double value, double R, AlntElementLengthDisplay kind) {
    switch (kind) {
        case aldDelta:
            return GetLengthFromDelta(value, R);
        case aldChord:
            return GetLengthFromChordLength(value, R);
        case aldTangent:
            return GetLengthFromTangent(value, R);
        case aldMidOrd:
            return GetLengthFromMidOrd(value, R);
        case aldSpiralParam:
            return GetSpiralLength(value, R);
        case aldExternal:
            return GetLengthFromExternal(value, R);
        default:
            return value;
    }
}

double getDisplayValueFromLength(double L, double R, AlntElementLengthDisplay kind) {
    const double delta = GetDeltaFromLength(L, R);
    switch (kind) {
        case aldDelta:
            return delta;
        case aldChord:
            return GetChordLenFromDelta(delta, R);
        case aldTangent:
            return GetTangentFromDelta(delta, R);
        case aldMidOrd:
            return GetMidOrdFromDelta(delta, R);
        case aldExternal:
            return GetExternalFromDelta(delta, R);
        case aldSpiralParam:
            return GetSpiralConstant(L, R);
        default:
            return L;
    }
}
