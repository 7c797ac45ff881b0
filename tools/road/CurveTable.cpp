#include "CurveTable.h"

#include <velmorutils/velmorutils.h>

namespace {

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

void printRow(std::FILE* out, const char* entered, double typed, const Quantities& q) {
    int d = 0, m = 0;
    double s = 0.0;
    CMathAngle(q.delta).getDMS(d, m, s);
    // The terminal gets UTF-8; the library's own angle texts use the single byte 0xB0.
    std::fprintf(
        out,
        "%-22s %12.5f %11.4f %9.5f %9.5f %4d\u00B0%02d'%05.2f\" %10.4f %10.4f %10.4f %9.4f "
        "%9.4f %10.4f\n",
        entered, typed, q.radius, q.degCurve, q.degChord, d, m, s, q.length, q.chord, q.tangent,
        q.midOrd, q.external, q.spiralA);
}

}  // namespace

void printCurveTable(std::FILE* out, double radius, double length) {
    const Quantities truth = relationsOf(radius, length);
    std::fprintf(out, "Circular curve R = %.4f m, L = %.4f m (degree of curve on a 100 m base)\n\n",
                 radius, length);
    std::fprintf(out, "%-22s %12s %11s %9s %9s %14s %10s %10s %10s %9s %9s %10s\n", "entered as",
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
    for (const RadiusEntry& e : radii) {
        const double r = getRadiusValueFromDisplay(e.shown, e.kind);
        printRow(out, e.name, e.shown, relationsOf(r, length));
    }
    for (const LengthEntry& e : lengths) {
        const double l = getLengthValueFromDisplay(e.shown, radius, e.kind);
        printRow(out, e.name, e.shown, relationsOf(radius, l));
    }
}
