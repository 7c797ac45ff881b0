#include "velmorutils/zelmath/alignment/AlntValidity.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace zel_math {
namespace {

double above(double bound) {
    return bound * (1.0 + kBoundSlack);
}

std::string equationName(const EquationValues& e, size_t index) {
    if (e.line > 0) return "station equation at line " + std::to_string(e.line);
    return "station equation " + std::to_string(index + 1);
}

}  // namespace

Verdict checkSpiral(double lengthM, double radiusStartM, double radiusEndM, LinearUnit unit) {
    if (std::isinf(radiusStartM) && std::isinf(radiusEndM))
        return Verdict::fail("a spiral between two infinite radii is a line");
    if (radiusStartM == radiusEndM) return Verdict::fail("a spiral between equal radii is an arc");
    // The whole clothoid runs from its tangent point (curvature 0) to the sharper end.
    const double k1 = 1.0 / radiusStartM, k2 = 1.0 / radiusEndM;  // 0 for a tangent end
    const double kMax = std::max(k1, k2), kMin = std::min(k1, k2);
    const double wholeLength = lengthM * kMax / (kMax - kMin);
    const double turn = wholeLength * kMax / 2.0;
    if (turn <= above(kMaxSpiralTurnRad)) return Verdict::pass();
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "the clothoid turns through %.3g rad from its tangent point over %.6g %s; a "
                  "spiral may turn at most 4 pi (12.57 rad)",
                  turn, metresToUnit(wholeLength, unit), linearUnitSymbol(unit));
    return Verdict::fail(buf);
}

Verdict checkIpCurve(double radiusM, double spiralInM, double spiralOutM) {
    if (radiusM == 0.0 && (spiralInM > 0.0 || spiralOutM > 0.0))
        return Verdict::fail(
            "a spiral needs a radius to lead into (the radius is 0: a bare vertex)");
    return Verdict::pass();
}

Verdict checkStationEquations(double startChainageM, const std::vector<EquationValues>& equations,
                              double endChainageM) {
    if (!std::isfinite(startChainageM))
        return Verdict::fail("the start station is not a finite number");
    double previous = startChainageM;
    for (size_t i = 0; i < equations.size(); ++i) {
        const EquationValues& e = equations[i];
        const std::string name = equationName(e, i);
        if (!std::isfinite(e.chainageM) || !std::isfinite(e.stationAheadM) ||
            std::isinf(e.stationBackM))
            return Verdict::fail(name +
                                 ": staInternal and staAhead must be finite numbers, staBack "
                                 "finite or absent");
        if (i == 0 && e.chainageM == startChainageM) continue;  // renames the first station
        if (!(e.chainageM > previous))
            return Verdict::fail(name +
                                 ": staInternal must lie after the alignment's start and after "
                                 "the previous equation");
        if (e.chainageM > endChainageM)
            return Verdict::fail(name + ": staInternal lies beyond the alignment's end");
        previous = e.chainageM;
    }
    return Verdict::pass();
}

Verdict checkChainageOnAlignment(double chainageM, double startM, double endM, double toleranceM) {
    if (!(chainageM >= startM - toleranceM))
        return Verdict::fail("lies before the alignment's start");
    if (!(chainageM <= endM + toleranceM)) return Verdict::fail("lies after the alignment's end");
    return Verdict::pass();
}

double halfLastDigit(const std::string& text) {
    double half = 0.5;
    const size_t point = text.find('.');
    if (point == std::string::npos) return half;
    for (size_t i = point + 1; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
         ++i)
        half /= 10.0;
    return half;
}

}  // namespace zel_math
