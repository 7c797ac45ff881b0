// Superelevation periods of an alignment: the stations of the runout, runoff and full rate, and
// the full rate itself.

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "landxml/ReaderCorridor.h"
#include "landxml/ReaderGeometry.h"

namespace zel_landxml::reader_corridor {
namespace {

using reader_text::childNamed;
using reader_text::localName;
using reader_text::toNumber;
using reader_text::trimmed;
using zel_math::Quantity;

// A rate of this magnitude or less is a fraction (0.06), above it a percent (6): no road is
// superelevated by a fifth of a percent, nor by a fifth of its width.
constexpr double kLargestFraction = 0.2;

// A value written as a child element or an attribute of that name; absent: node() is empty.
struct Field {
    pugi::xml_node node;
    std::string text;
};

Field field(const pugi::xml_node& n, const char* name) {
    const pugi::xml_node child = childNamed(n, name);
    if (child) return {child, trimmed(child.text().get())};
    const pugi::xml_attribute a = n.attribute(name);
    if (a) return {n, trimmed(a.value())};
    return {};
}

bool station(const pugi::xml_node& n, const ReadContext& c, const char* name, double& v,
             std::string& error) {
    const Field f = field(n, name);
    if (!f.node) return true;
    return c.quantity(f.node, name, f.text, Quantity::Station, v, error);
}

bool fullRate(const pugi::xml_node& n, const ReadContext& c, SuperelevationRecord& s,
              std::string& error) {
    const Field f = field(n, "FullSuperelev");
    if (!f.node) return true;
    double raw = 0.0;
    if (!toNumber(f.text, raw) || std::fabs(raw) > 100.0)
        return c.fail(f.node, "FullSuperelev is not a rate in percent: '" + f.text + "'", error);
    const double magnitude = std::fabs(raw);
    s.fullRatePercent = magnitude;
    if (magnitude > 0.0 && magnitude <= kLargestFraction) {
        s.fullRatePercent = magnitude * 100.0;
        char percent[32];
        std::snprintf(percent, sizeof percent, "%g", s.fullRatePercent);
        c.warn(f.node, "FullSuperelev " + f.text + " is read as a fraction: " + percent + " %");
    }
    return true;
}

bool adverse(const pugi::xml_node& n, const ReadContext& c, SuperelevationRecord& s,
             std::string& error) {
    const Field f = field(n, "AdverseSE");
    if (!f.node || f.text.empty() || f.text == "non-adverse" || f.text == "nonAdverse") return true;
    if (f.text == "adverse") {
        s.adverse = true;
        return true;
    }
    double rate = 0.0;
    if (!toNumber(f.text, rate))
        return c.fail(
            f.node, "AdverseSE is not 'adverse', 'non-adverse' or a rate: '" + f.text + "'", error);
    s.adverse = rate != 0.0;
    if (s.adverse) s.adversePercent = std::fabs(rate);
    return true;
}

struct Named {
    const char* name;
    double SuperelevationRecord::*value;
};
constexpr Named kStations[] = {{"staStart", &SuperelevationRecord::staStart},
                               {"BeginRunoutSta", &SuperelevationRecord::beginRunout},
                               {"BeginRunoffSta", &SuperelevationRecord::beginRunoff},
                               {"FullSuperSta", &SuperelevationRecord::fullSuper},
                               {"RunoffSta", &SuperelevationRecord::runoff},
                               {"StartofRunoutSta", &SuperelevationRecord::startOfRunout},
                               {"EndofRunoutSta", &SuperelevationRecord::endOfRunout},
                               {"staEnd", &SuperelevationRecord::staEnd}};

// The stations the period gives stand in the order of kStations (equal ones allowed).
bool checkOrder(const pugi::xml_node& n, const ReadContext& c, const SuperelevationRecord& s,
                std::string& error) {
    const Named* last = nullptr;
    for (const Named& k : kStations) {
        const double v = s.*(k.value);
        if (std::isnan(v)) continue;
        if (last != nullptr && v < s.*(last->value)) {
            const Field f = field(n, k.name);
            return c.fail(f.node ? f.node : n,
                          std::string(k.name) + " " + reader_geometry::lengthText(v, c.unit()) +
                              " lies before " + last->name + " " +
                              reader_geometry::lengthText(s.*(last->value), c.unit()) +
                              ": superelevation stations must not run backwards",
                          error);
        }
        last = &k;
    }
    return true;
}

// What a period cannot do without: its region, the full rate and where it is held.
bool required(const pugi::xml_node& n, const ReadContext& c, const SuperelevationRecord& s,
              std::string& error) {
    const std::pair<const char*, double> needed[] = {{"staStart", s.staStart},
                                                     {"staEnd", s.staEnd},
                                                     {"FullSuperSta", s.fullSuper},
                                                     {"RunoffSta", s.runoff},
                                                     {"FullSuperelev", s.fullRatePercent}};
    for (const auto& [name, value] : needed)
        if (std::isnan(value)) return c.fail(n, std::string(name) + " is missing", error);
    return true;
}

double firstStation(const SuperelevationRecord& s) {
    for (const Named& k : kStations)
        if (!std::isnan(s.*(k.value))) return s.*(k.value);
    return std::nan("");
}
double lastStation(const SuperelevationRecord& s) {
    double v = std::nan("");
    for (const Named& k : kStations)
        if (!std::isnan(s.*(k.value))) v = s.*(k.value);
    return v;
}

bool readPeriod(const pugi::xml_node& n, const ReadContext& c, const Alignment& a,
                SuperelevationRecord& s, std::string& error) {
    s.line = c.lineOf(n);
    for (const Named& k : kStations)
        if (!station(n, c, k.name, s.*(k.value), error)) return false;
    if (!fullRate(n, c, s, error) || !adverse(n, c, s, error) || !required(n, c, s, error) ||
        !checkOrder(n, c, s, error))
        return false;
    if (a.superelevation.empty() || std::isnan(firstStation(s))) return true;
    const double before = lastStation(a.superelevation.back());
    if (firstStation(s) < before)
        return c.fail(
            n,
            "the period starts at " + reader_geometry::lengthText(firstStation(s), c.unit()) +
                ", before the period of line " + std::to_string(a.superelevation.back().line) +
                " ends (" + reader_geometry::lengthText(before, c.unit()) +
                "): superelevation periods must stand in increasing station",
            error);
    return true;
}

}  // namespace

void readSuperelevation(const pugi::xml_node& superelevation, const ReadContext& c, Alignment& a) {
    if (!a.superelevationError.empty()) return;
    SuperelevationRecord s;
    std::string error;
    if (readPeriod(superelevation, c, a, s, error)) {
        a.superelevation.push_back(s);
        return;
    }
    a.superelevationError = error;
    a.superelevation.clear();
}

}  // namespace zel_landxml::reader_corridor
