#include "velmorutils/zelmath/sections/Superelevation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "velmorutils/zelmath/alignment/CAlnt.h"
#include "zelmath/sections/SectionSupport.h"

namespace zel_math {

namespace {

// Curvature (1/m) below which the road runs straight.
constexpr double kStraight = 1e-9;
// Longest step (metres) between curvature samples when looking for the curve.
constexpr double kCurveSample = 0.5;

struct Key {
    double chainage;
    double slope;
};

// The stations where the outside slope bends, in order, with the slope there. Missing runout
// stations continue the runoff's rate; a missing runoff station leaves one straight run.
std::vector<Key> outsideKeys(const TSuperelevation& s, double normal) {
    const double full = std::abs(s.fullRatePercent);
    const double away = std::abs(normal);
    std::vector<Key> keys;
    double beginRunout = s.beginRunout;
    if (std::isnan(beginRunout) && !std::isnan(s.beginRunoff)) {
        const double length = s.fullSuper - s.beginRunoff;
        beginRunout = full > 0 ? s.beginRunoff - away * length / full : s.beginRunoff;
    }
    double endOfRunout = s.endOfRunout;
    if (std::isnan(endOfRunout) && !std::isnan(s.startOfRunout)) {
        const double length = s.startOfRunout - s.runoff;
        endOfRunout = full > 0 ? s.startOfRunout + away * length / full : s.startOfRunout;
    }
    const Key all[] = {{beginRunout, normal}, {s.beginRunoff, 0.0},   {s.fullSuper, full},
                       {s.runoff, full},      {s.startOfRunout, 0.0}, {endOfRunout, normal}};
    for (const Key& k : all) {
        if (!std::isnan(k.chainage)) keys.push_back(k);
    }
    return keys;
}

// The given stations of a superelevation, with their LandXML names, in the order they must keep.
std::vector<std::pair<const char*, double>> orderedStations(const TSuperelevation& s) {
    return {{"BeginRunoutSta", s.beginRunout},     {"BeginRunoffSta", s.beginRunoff},
            {"FullSuperSta", s.fullSuper},         {"RunoffSta", s.runoff},
            {"StartofRunoutSta", s.startOfRunout}, {"EndofRunoutSta", s.endOfRunout}};
}

void span(const TSuperelevation& s, double& lo, double& hi) {
    lo = std::numeric_limits<double>::infinity();
    hi = -lo;
    for (const auto& [name, x] : orderedStations(s)) {
        if (!std::isnan(x)) lo = std::min(lo, x), hi = std::max(hi, x);
    }
    if (!std::isnan(s.staStart)) lo = std::min(lo, s.staStart);
    if (!std::isnan(s.staEnd)) hi = std::max(hi, s.staEnd);
}

}  // namespace

bool checkSuperelevation(const TSuperelevation& s, std::string& error) {
    if (!std::isfinite(s.fullRatePercent)) {
        error = "FullSuperelev is not a finite rate";
        return false;
    }
    if (std::isnan(s.fullSuper) || std::isnan(s.runoff)) {
        error = std::isnan(s.fullSuper) ? "FullSuperSta is missing" : "RunoffSta is missing";
        return false;
    }
    if (std::isnan(s.beginRunout) && std::isnan(s.beginRunoff)) {
        error = "neither BeginRunoutSta nor BeginRunoffSta is given";
        return false;
    }
    if (std::isnan(s.startOfRunout) && std::isnan(s.endOfRunout)) {
        error = "neither StartofRunoutSta nor EndofRunoutSta is given";
        return false;
    }
    const char* lastName = nullptr;
    double last = 0;
    for (const auto& [name, x] : orderedStations(s)) {
        if (std::isnan(x)) continue;
        if (!std::isfinite(x)) {
            error = std::string(name) + " is not a finite station";
            return false;
        }
        if (lastName && x < last) {
            error = std::string(name) + " " + section_support::metresText(x) + " is before " +
                    lastName + " " + section_support::metresText(last);
            return false;
        }
        lastName = name, last = x;
    }
    if (!std::isnan(s.staStart) && !std::isnan(s.staEnd) && s.staEnd < s.staStart) {
        error = "staEnd " + section_support::metresText(s.staEnd) + " is before staStart " +
                section_support::metresText(s.staStart);
        return false;
    }
    return true;
}

namespace {

// The sign of the first curvature met from lo to hi: +1 turning right, -1 left, 0 none.
int firstTurn(const CAlnt& alnt, double lo, double hi) {
    if (!(lo <= hi)) return 0;
    const double steps = std::min(1e6, std::ceil((hi - lo) / kCurveSample));
    for (double i = 0; i <= steps; ++i) {
        const double x = steps > 0 ? lo + (hi - lo) * i / steps : lo;
        double k = 0;
        if (alnt.getCurvatureAtChainage(x, k) && std::abs(k) > kStraight) return k > 0 ? 1 : -1;
    }
    return 0;
}

}  // namespace

bool superelevationOutsideIsRight(const CAlnt& alnt, const TSuperelevation& s, bool& outsideRight,
                                  std::string& error) {
    double lo = s.staStart, hi = s.staEnd;
    if (std::isnan(lo) || std::isnan(hi)) span(s, lo, hi);
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        error = "the superelevation has no stations";
        return false;
    }
    // The full rate is held on the curve itself; on a reverse curve the region's start may lie on
    // the curve before, so the curve under the full rate is asked first.
    int turn = firstTurn(alnt, s.fullSuper, s.runoff);
    if (turn == 0) turn = firstTurn(alnt, lo, hi);
    if (turn == 0) {
        error = "no arc or spiral lies between " + section_support::metresText(lo) + " and " +
                section_support::metresText(hi);
        return false;
    }
    // Turning right puts the centre on the right and the outside on the left.
    outsideRight = (turn < 0) != s.adverse;
    return true;
}

double superOutsideSlopePercent(const TSuperelevation& s, double chainage, double normalPercent) {
    const std::vector<Key> keys = outsideKeys(s, normalPercent);
    if (keys.empty() || chainage <= keys.front().chainage || chainage >= keys.back().chainage) {
        return normalPercent;
    }
    // The first key after the chainage, and the one before it.
    std::size_t i = 1;
    while (i < keys.size() && keys[i].chainage <= chainage)
        ++i;
    const Key& a = keys[i - 1];
    const Key& b = keys[i];
    const double length = b.chainage - a.chainage;
    if (length <= 0) return b.slope;
    return a.slope + (b.slope - a.slope) * (chainage - a.chainage) / length;
}

double superInsideSlopePercent(const TSuperelevation& s, double chainage, double normalPercent,
                               double outsideNormalPercent) {
    return std::min(normalPercent, -superOutsideSlopePercent(s, chainage, outsideNormalPercent));
}

int superelevationAt(const std::vector<TSuperelevation>& table, double chainage) {
    int best = -1;
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < table.size(); ++i) {
        double lo = 0, hi = 0;
        span(table[i], lo, hi);
        if (!(chainage >= lo && chainage <= hi)) continue;
        // Where two curves' transitions overlap, the curve whose full rate is nearer decides.
        const double away =
            std::max({table[i].fullSuper - chainage, chainage - table[i].runoff, 0.0});
        if (away < nearest) best = static_cast<int>(i), nearest = away;
    }
    return best;
}

}  // namespace zel_math
