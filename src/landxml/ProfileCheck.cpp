#include <velmorutils/landxml/ProfileCheck.h>
#include <velmorutils/landxml/Stationing.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zel_landxml {
namespace {

// Where the horizontal extent of a vertical curve ends on each side of its VIP (metres along
// the chainage). A parabola spans half its length each way; a circle spans its tangent length
// R tan(|d|/2), d the change of grade angle, projected on the chainage along each grade.
struct Extent {
    double back = 0.0;
    double ahead = 0.0;
};

struct Grades {
    double in = 0.0;
    double out = 0.0;
};

Extent curveExtent(const Vip& v, const Grades& g) {
    if (v.curve == VCurve::Parabola) return {v.length / 2.0, v.length / 2.0};
    if (v.curve != VCurve::Circle) return {};
    const double a1 = std::atan(g.in), a2 = std::atan(g.out);
    const double t = v.radius * std::tan(std::fabs(a2 - a1) / 2.0);
    return {t * std::cos(a1), t * std::cos(a2)};
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
        if (!dropRepeats()) return false;
        // From here on only the kept points count: a repeated point is gone.
        if (kept_.size() == 1) return fail("a profile needs at least two points");
        if (!gradesAndExtents()) return false;
        for (size_t i = 0; i + 1 < kept_.size(); ++i)
            if (!fit(i)) return false;
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

    std::string lengthText(double m) const {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.4f %s", fromMetres(m, unit_), unitSymbol(unit_));
        return buf;
    }

    std::string describe(const Vip& v) const {
        const char* kind = v.curve == VCurve::Circle ? "CircCurve" : "ParaCurve";
        return std::string(kind) + " at line " + std::to_string(v.line) + " (VIP station " +
               stationText(v.station) + ")";
    }

    static bool same(const Vip& a, const Vip& b) {
        return a.station == b.station && a.elevation == b.elevation && a.curve == b.curve &&
               a.length == b.length && a.radius == b.radius;
    }

    // A point written twice is one point; two different points at one station are no profile.
    bool dropRepeats() {
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
            if (!kept.empty() && !(v.station > kept.back().station))
                return fail(std::string("the ") + kindOf(v) + " at line " + std::to_string(v.line) +
                            " (station " + stationText(v.station) +
                            ") does not lie after the point of line " +
                            std::to_string(kept.back().line) +
                            ": stations of a profile must increase");
            kept.push_back(v);
            negative.push_back(i < negative_.size() && negative_[i]);
        }
        kept_ = std::move(kept);
        keptNegative_ = std::move(negative);
        return true;
    }

    Grades gradesAt(size_t i) const {
        const std::vector<Vip>& p = kept_;
        return {(p[i].elevation - p[i - 1].elevation) / (p[i].station - p[i - 1].station),
                (p[i + 1].elevation - p[i].elevation) / (p[i + 1].station - p[i].station)};
    }

    bool gradesAndExtents() {
        const size_t n = kept_.size();
        ext_.assign(n, Extent());
        for (size_t i = 0; i < n; ++i) {
            Vip& v = kept_[i];
            if (v.curve == VCurve::None) continue;
            if (i == 0 || i + 1 == n) {
                if (v.curve == VCurve::Parabola && v.length == 0.0) continue;
                return fail(describe(v) +
                            ": a vertical curve at the first or last VIP has no grade on one side");
            }
            const Grades g = gradesAt(i);
            ext_[i] = curveExtent(v, g);
            // A circle's length is its arc, from the radius and the change of grade angle.
            if (v.curve == VCurve::Circle)
                v.length = v.radius * std::fabs(std::atan(g.out) - std::atan(g.in));
            if (v.curve == VCurve::Circle && keptNegative_[i] && g.out > g.in)
                notes_.push_back("line " + std::to_string(v.line) +
                                 ": CircCurve: the radius is negative (a crest) but the grades "
                                 "make a sag; the grades are followed");
        }
        return true;
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

    // Curves that reach past a neighbouring curve, or past the neighbouring VIP, give heights
    // that belong to no design; within the touch tolerance they were meant to touch.
    bool fit(size_t i) {
        const Vip& a = kept_[i];
        const Vip& b = kept_[i + 1];
        const double room = b.station - a.station;
        const double overlap = ext_[i].ahead + ext_[i + 1].back - room;
        if (overlap <= 0.0) return true;
        const double tolerance =
            std::max(kTouchToleranceM, 2.0 * std::max(a.writtenStep, b.writtenStep));
        if (overlap <= tolerance) {
            // A nanometre more, so that the touch survives the rounding of the sums.
            const double cut = overlap + 1e-9;
            const bool both = a.curve != VCurve::None && b.curve != VCurve::None;
            if (a.curve != VCurve::None) shorten(i, both ? cut / 2.0 : cut, true);
            if (b.curve != VCurve::None) shorten(i + 1, both ? cut / 2.0 : cut, false);
            return true;
        }
        const std::string by = lengthText(overlap);
        if (a.curve != VCurve::None && b.curve != VCurve::None)
            return fail("the vertical curves " + describe(a) + " and " + describe(b) +
                        " overlap by " + by + "; heights from this profile would be wrong");
        const Vip& curve = a.curve != VCurve::None ? a : b;
        const Vip& other = a.curve != VCurve::None ? b : a;
        return fail("the vertical curve " + describe(curve) +
                    " is longer than its tangent to the VIP at line " + std::to_string(other.line) +
                    " (station " + stationText(other.station) + ") by " + by);
    }

    std::vector<Vip>& p_;
    const std::vector<bool>& negative_;
    const LinearUnit unit_;
    std::vector<std::string>& notes_;
    std::string& error_;
    std::vector<Vip> kept_;
    std::vector<bool> keptNegative_;
    std::vector<Extent> ext_;
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
