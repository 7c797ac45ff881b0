#include <velmorutils/landxml/ProfileCheck.h>
#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/vertical/VerticalValidity.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zel_landxml {
namespace {

using zel_math::VipCurve;
using zel_math::VipExtent;
using zel_math::VipValues;

struct Grades {
    double in = 0.0;
    double out = 0.0;
};

VipValues valuesOf(const Vip& v) {
    VipValues x;
    x.chainageM = v.station;
    x.heightM = v.elevation;
    x.curve = v.curve == VCurve::Circle     ? VipCurve::Circle
              : v.curve == VCurve::Parabola ? VipCurve::Parabola
                                            : VipCurve::None;
    x.lengthM = v.length;
    x.radiusM = v.radius;
    x.line = v.line;
    x.writtenStepM = v.writtenStep;
    return x;
}

VipExtent curveExtent(const Vip& v, const Grades& g) {
    return zel_math::vipCurveExtent(valuesOf(v), g.in, g.out);
}

const char* kindOf(const Vip& v) {
    if (v.curve == VCurve::Circle) return "CircCurve";
    return v.curve == VCurve::Parabola ? "ParaCurve" : "PVI";
}

class ProfileChecker {
public:
    ProfileChecker(std::vector<Vip>& vips, const std::vector<bool>& negative, LinearUnit unit,
                   std::vector<std::string>& notes, std::string& error)
        : p_(vips), negative_(negative), unit_(unit), notes_(notes), error_(error) {}

    bool run() {
        dropRepeats();
        // From here on only the kept points count: a repeated point is gone. The library's
        // rules judge the profile, as for every other door; what follows only prepares it.
        std::vector<VipValues> values;
        for (const Vip& v : kept_)
            values.push_back(valuesOf(v));
        zel_math::ProfileCheck how;
        how.touchToleranceM = kTouchToleranceM;
        how.unit = unit_;
        how.stationText = [this](double m) { return stationText(m); };
        const zel_math::Verdict verdict = zel_math::checkVerticalCurves(values, how);
        if (!verdict) return fail(verdict.message);
        gradesAndExtents();
        for (size_t i = 0; i + 1 < kept_.size(); ++i)
            touch(i, zel_math::vipTouchTolerance(values[i], values[i + 1], how));
        return true;
    }
    // The profile as checked, once run() succeeded.
    std::vector<Vip>& checked() { return kept_; }

private:
    bool fail(const std::string& message) {
        error_ = message;
        return false;
    }

    std::string stationText(double m) const {
        StationStyle style;
        style.unit = unit_;
        style.decimals = 3;
        return Stationing().text(m, style);
    }

    static bool same(const Vip& a, const Vip& b) {
        return a.station == b.station && a.elevation == b.elevation && a.curve == b.curve &&
               a.length == b.length && a.radius == b.radius;
    }

    // A point written twice is one point.
    void dropRepeats() {
        std::vector<Vip> kept;
        std::vector<bool> negative;
        for (size_t i = 0; i < p_.size(); ++i) {
            const Vip& v = p_[i];
            if (!kept.empty() && same(v, kept.back())) {
                notes_.push_back("line " + std::to_string(v.line) + ": " + kindOf(v) +
                                 ": repeats the profile point of line " +
                                 std::to_string(kept.back().line) + " (station " +
                                 stationText(v.station) + "); counted once");
                continue;
            }
            kept.push_back(v);
            negative.push_back(i < negative_.size() && negative_[i]);
        }
        kept_ = std::move(kept);
        keptNegative_ = std::move(negative);
    }

    Grades gradesAt(size_t i) const {
        const std::vector<Vip>& p = kept_;
        return {(p[i].elevation - p[i - 1].elevation) / (p[i].station - p[i - 1].station),
                (p[i + 1].elevation - p[i].elevation) / (p[i + 1].station - p[i].station)};
    }

    // Extents and circle lengths of a profile the rules accepted: no curve at either end.
    void gradesAndExtents() {
        const size_t n = kept_.size();
        ext_.assign(n, VipExtent());
        for (size_t i = 1; i + 1 < n; ++i) {
            Vip& v = kept_[i];
            if (v.curve == VCurve::None) continue;
            const Grades g = gradesAt(i);
            ext_[i] = curveExtent(v, g);
            // A circle's length is its arc, from the radius and the change of grade angle.
            if (v.curve == VCurve::Circle)
                v.length = zel_math::circleArcLength(v.radius, g.in, g.out);
            if (v.curve == VCurve::Circle && keptNegative_[i] && g.out > g.in)
                notes_.push_back("line " + std::to_string(v.line) +
                                 ": CircCurve: the radius is negative (a crest) but the grades "
                                 "make a sag; the grades are followed");
        }
    }

    // Shortens the curve at i so that its extent on the side facing its neighbour (ahead, or
    // back) shrinks by `by` metres; a symmetric curve shrinks on both.
    void shorten(size_t i, double by, bool ahead) {
        Vip& v = kept_[i];
        if (v.curve == VCurve::Parabola) {
            v.length = std::max(0.0, v.length - 2.0 * by);
        } else if (v.curve == VCurve::Circle) {
            const double side = ahead ? ext_[i].ahead : ext_[i].back;
            const double f = side > by ? (side - by) / side : 0.0;
            v.radius *= f;
            v.length *= f;
        }
        ext_[i] = curveExtent(v, gradesAt(i));
    }

    // Curves that overlap within the touch tolerance were meant to touch: each is shortened
    // by its share so that they touch exactly.
    void touch(size_t i, double tolerance) {
        const Vip& a = kept_[i];
        const Vip& b = kept_[i + 1];
        const double overlap = ext_[i].ahead + ext_[i + 1].back - (b.station - a.station);
        if (overlap <= 0.0 || overlap > tolerance) return;
        // A nanometre more, so that the touch survives the rounding of the sums.
        const double cut = overlap + 1e-9;
        const bool both = a.curve != VCurve::None && b.curve != VCurve::None;
        if (a.curve != VCurve::None) shorten(i, both ? cut / 2.0 : cut, true);
        if (b.curve != VCurve::None) shorten(i + 1, both ? cut / 2.0 : cut, false);
    }

    std::vector<Vip>& p_;
    const std::vector<bool>& negative_;
    const LinearUnit unit_;
    std::vector<std::string>& notes_;
    std::string& error_;
    std::vector<Vip> kept_;
    std::vector<bool> keptNegative_;
    std::vector<VipExtent> ext_;
};

}  // namespace

bool checkProfile(std::vector<Vip>& vips, const std::vector<bool>& negativeRadius, LinearUnit unit,
                  std::vector<std::string>& notes, std::string& error) {
    std::vector<std::string> found;
    ProfileChecker checker(vips, negativeRadius, unit, found, error);
    if (!checker.run()) return false;
    vips = std::move(checker.checked());
    notes.insert(notes.end(), found.begin(), found.end());
    return true;
}

}  // namespace zel_landxml
