#include "CurveTable.h"

#include <cmath>

#include <velmorutils/velmorutils.h>

#include "TableFormat.h"

using road::fromMetres;
using road::toMetres;
using road::Unit;
using road::unitSymbol;

namespace {

// A radius from 1 mm to 1000 km: what a curve table can show with its decimals.
constexpr double kMinCurveRadiusM = 0.001;
constexpr double kMaxCurveRadiusM = 1e6;

struct Quantities {
    double radius, degCurve, degChord, delta, length, chord, tangent, midOrd, external, spiralA;
};

Quantities relationsOf(double radius, double length) {
    return {radius,
            getDisplayValueFromRadius(radius, ardDegOfCurve),
            getDisplayValueFromRadius(radius, ardDegOfChord),
            getDisplayValueFromLength(length, radius, aldDelta),
            length,
            getDisplayValueFromLength(length, radius, aldChord),
            getDisplayValueFromLength(length, radius, aldTangent),
            getDisplayValueFromLength(length, radius, aldMidOrd),
            getDisplayValueFromLength(length, radius, aldExternal),
            getDisplayValueFromLength(length, radius, aldSpiralParam)};
}

// The central angle in degrees from the arc itself, so the test for "past 180" does not
// depend on the display value.
double centralAngleDeg(const Quantities& q) {
    return q.length / q.radius * 180.0 / M_PI;
}

// Every relation of a real curve is positive: the library's 0 (and a NaN or a negative value)
// means the relation has no answer, and is never printed as a number.
std::string cell(double v, int decimals, bool exists = true) {
    if (!exists || !std::isfinite(v) || !(v > 0.0)) return "no solution";
    return road::fixed(v, decimals);
}

void printRow(std::FILE* out, const char* entered, double typed, const Quantities& q) {
    const bool valid =
        std::isfinite(q.radius) && q.radius > 0.0 && std::isfinite(q.length) && q.length > 0.0;
    const double delta = valid ? centralAngleDeg(q) : NAN;
    // Past half a circle the tangents meet behind the curve: no tangent length, no external.
    const bool behind = !(delta < 180.0);
    const std::string deltaText =
        valid && delta < 360.0 ? road::dmsText(delta) : std::string("no solution");
    std::fprintf(out, "%-22s %12s %11s %9s %9s %14s %10s %10s %11s %9s %11s %10s\n", entered,
                 cell(typed, 5).c_str(), cell(q.radius, 4, valid).c_str(),
                 cell(q.degCurve, 5, valid).c_str(), cell(q.degChord, 5, valid).c_str(),
                 deltaText.c_str(), cell(q.length, 4, valid).c_str(),
                 cell(q.chord, 4, valid).c_str(), cell(q.tangent, 4, valid && !behind).c_str(),
                 cell(q.midOrd, 4, valid).c_str(), cell(q.external, 4, valid && !behind).c_str(),
                 cell(q.spiralA, 4, valid).c_str());
}

}  // namespace

bool checkCurve(double radius, double length, std::string& error, Unit unit) {
    const double radiusM = toMetres(radius, unit);
    if (!std::isfinite(radius) || radiusM < kMinCurveRadiusM || radiusM > kMaxCurveRadiusM) {
        const std::string u = std::string(" ") + unitSymbol(unit);
        error = "RADIUS must lie between " + road::plainNumber(fromMetres(kMinCurveRadiusM, unit)) +
                u + " and " + road::plainNumber(fromMetres(kMaxCurveRadiusM, unit)) + u;
        return false;
    }
    if (!std::isfinite(length) || length <= 0.0)
        return error = std::string("LENGTH must be a positive number of ") + unitSymbol(unit),
               false;
    if (length >= 2.0 * M_PI * radius)
        return error = "LENGTH is at least the whole circle (2 pi RADIUS)", false;
    return true;
}

void printCurveTable(std::FILE* out, double radius, double length, Unit unit) {
    const Quantities truth = relationsOf(radius, length);
    const char* u = unitSymbol(unit);
    std::fprintf(out,
                 "Circular curve R = %s %s, L = %s %s (lengths in %s, degree of curve on a 100 %s "
                 "base, angles in degrees)\n\n",
                 road::fixed(radius, 4).c_str(), u, road::fixed(length, 4).c_str(), u, u, u);
    std::fprintf(out, "%-22s %12s %11s %9s %9s %14s %10s %10s %11s %9s %11s %10s\n", "entered as",
                 "value", "radius", "D arc", "D chord", "delta", "length", "chord", "tangent",
                 "mid ord", "external", "spiral A");

    struct RadiusEntry {
        const char* name;
        AlntElementRadiusDisplay kind;
        double shown;
    };
    struct LengthEntry {
        const char* name;
        AlntElementLengthDisplay kind;
        double shown;
    };
    const RadiusEntry radii[] = {{"radius", ardRadius, truth.radius},
                                 {"degree of curve (arc)", ardDegOfCurve, truth.degCurve},
                                 {"degree of chord", ardDegOfChord, truth.degChord}};
    const LengthEntry lengths[] = {{"central angle", aldDelta, truth.delta},
                                   {"arc length", aldLength, truth.length},
                                   {"long chord", aldChord, truth.chord},
                                   {"tangent", aldTangent, truth.tangent},
                                   {"middle ordinate", aldMidOrd, truth.midOrd},
                                   {"external", aldExternal, truth.external},
                                   {"spiral parameter", aldSpiralParam, truth.spiralA}};

    // Each row turns the displayed value back into the stored one, as a user's entry would be.
    // A value that has no solution itself gives a row of "no solution", never a number.
    for (const RadiusEntry& e : radii) {
        const double r = std::isfinite(e.shown) ? getRadiusValueFromDisplay(e.shown, e.kind) : NAN;
        printRow(out, e.name, e.shown, relationsOf(r, length));
    }
    const double delta = centralAngleDeg(truth);
    for (const LengthEntry& e : lengths) {
        const bool behind = !(delta < 180.0) && (e.kind == aldTangent || e.kind == aldExternal);
        const double l = std::isfinite(e.shown) && e.shown >= 0.0 && !behind
                             ? getLengthValueFromDisplay(e.shown, radius, e.kind)
                             : NAN;
        printRow(out, e.name, behind ? NAN : e.shown, relationsOf(radius, l));
    }
    if (delta > 180.0)
        std::fprintf(out,
                     "\nThe central angle exceeds 180 degrees: the chord and middle ordinate "
                     "entered back give the shorter arc of the same circle.\n");
}
