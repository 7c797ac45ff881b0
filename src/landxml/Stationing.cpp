#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/alignment/AlntValidity.h>

#include <velmorutils/formats/StationText.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace zel_landxml {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
// Two stations closer than this are one: far below any printed decimal, above the rounding of
// a double at a hundred kilometres.
constexpr double kSameStationM = 1e-7;
// Text magnitudes beyond this (in the text's unit) are not stations of any road; the bound keeps
// the formatter's integer of nano-units inside 64 bits.
constexpr double kMaxTextValue = 1e9;
constexpr int kMaxDecimals = 6;

int clampedDecimals(int decimals) {
    return decimals < 0 ? 0 : (decimals > kMaxDecimals ? kMaxDecimals : decimals);
}

// One formatter for every station text of the library, the tool and Python.
std::string formatValue(double value, double stationLength, int decimals) {
    return zel_formats::FormatStationText(value, stationLength, decimals);
}

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    const size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

bool wholeNumber(const std::string& s, double& v) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// A decimal number without sign, exponent or hexadecimal form.
bool plainNumber(const std::string& s, double& v) {
    if (s.empty() || s.find_first_not_of("0123456789.") != std::string::npos) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// Splits a trailing region "R2" off the text; 0 when there is none.
bool splitRegion(std::string& text, int& region) {
    region = 0;
    const size_t blank = text.find_last_of(" \t");
    const std::string last = blank == std::string::npos ? text : text.substr(blank + 1);
    if (last.size() < 2 || (last[0] != 'R' && last[0] != 'r')) return true;
    double n = 0.0;
    if (!wholeNumber(last.substr(1), n) || n < 1.0 || n > 1e6) return false;
    if (blank == std::string::npos) return false;  // "R2" alone is no station
    region = static_cast<int>(n);
    text = trimmed(text.substr(0, blank));
    return true;
}

// "12+345.68", "-0+090.00" or a plain "1049.84" into a value in the text's unit.
bool parseValue(std::string text, double stationLength, double& value) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.erase(0, 1);
    }
    const size_t plus = text.find('+');
    if (plus == std::string::npos) {
        if (!plainNumber(text, value)) return false;
    } else {
        double number = 0.0, rest = 0.0;
        if (!wholeNumber(text.substr(0, plus), number) || !plainNumber(text.substr(plus + 1), rest))
            return false;
        if (rest >= stationLength) return false;  // "0+1000.00" names no station
        value = number * stationLength + rest;
    }
    if (!(std::fabs(value) <= kMaxTextValue)) return false;
    if (negative) value = -value;
    return true;
}

}  // namespace

double StationStyle::length() const {
    if (stationLength > 0.0) return stationLength;
    return unit == LinearUnit::Meter ? 1000.0 : 100.0;
}

const char* unitSymbol(LinearUnit unit) {
    return zel_math::linearUnitSymbol(unit);
}

bool unitFromText(const std::string& text, LinearUnit& unit) {
    if (text == "m" || text == "meter" || text == "metre") {
        unit = LinearUnit::Meter;
    } else if (text == "usft" || text == "USSurveyFoot") {
        unit = LinearUnit::USSurveyFoot;
    } else if (text == "ft" || text == "foot" || text == "internationalFoot") {
        unit = LinearUnit::InternationalFoot;
    } else {
        return false;
    }
    return true;
}

bool Stationing::assign(double startChainageM, std::vector<StaEquation> equations,
                        std::string& error) {
    // The library's rules for equations, as every door applies them; the end is checked where
    // the road's length is known.
    std::vector<zel_math::EquationValues> values;
    for (const StaEquation& e : equations)
        values.push_back({e.staInternal, e.staBack, e.staAhead, e.line});
    const zel_math::Verdict verdict = zel_math::checkStationEquations(
        startChainageM, values, std::numeric_limits<double>::quiet_NaN());
    if (!verdict) {
        error = verdict.message;
        return false;
    }
    double startStation = startChainageM;
    std::vector<StaEquation> kept;
    for (const StaEquation& e : equations) {
        // An equation at the start only renames the first station.
        if (kept.empty() && e.staInternal == startChainageM) {
            startStation = e.staAhead;
            continue;
        }
        kept.push_back(e);
    }
    start_ = startChainageM;
    startStation_ = startStation;
    equations_ = std::move(kept);
    return true;
}

double Stationing::station(double chainageM, int* region) const {
    int k = 0;  // equations at or before the chainage
    while (k < static_cast<int>(equations_.size()) && chainageM >= equations_[k].staInternal)
        ++k;
    if (region != nullptr) *region = k + 1;
    if (k == 0) return startStation_ + (chainageM - start_);
    const StaEquation& e = equations_[k - 1];
    return e.staAhead + (chainageM - e.staInternal);
}

double Stationing::chainageInRegion(double stationM, int region) const {
    if (region <= 1 || equations_.empty()) return start_ + (stationM - startStation_);
    const StaEquation& e = equations_[std::min<size_t>(region - 1, equations_.size()) - 1];
    return e.staInternal + (stationM - e.staAhead);
}

double Stationing::regionFirstStation(int region) const {
    return region <= 1 ? startStation_ : equations_[region - 2].staAhead;
}

double Stationing::regionLastStation(int region) const {
    if (region > static_cast<int>(equations_.size())) return kInf;
    const double chainageStart = region <= 1 ? start_ : equations_[region - 2].staInternal;
    return regionFirstStation(region) + (equations_[region - 1].staInternal - chainageStart);
}

bool Stationing::holds(double stationM, int region, double toleranceM) const {
    if (region == 1 && stationM < startStation_) return true;
    return stationM >= regionFirstStation(region) - toleranceM &&
           stationM <= regionLastStation(region) + toleranceM;
}

std::vector<int> Stationing::regionsOf(double stationM) const {
    std::vector<int> out;
    double lastChainage = -kInf;
    for (int k = 1; k <= regionCount(); ++k) {
        if (!holds(stationM, k, kSameStationM) || (k == 1 && stationM < startStation_)) continue;
        // Where a region's last station is the next one's first, both name the same point.
        const double c = chainageInRegion(stationM, k);
        if (!out.empty() && std::fabs(c - lastChainage) <= kSameStationM) continue;
        out.push_back(k);
        lastChainage = c;
    }
    // Before the start the first region goes on backwards (stake-out before the road begins).
    if (out.empty() && stationM < startStation_) out.push_back(1);
    return out;
}

std::string Stationing::text(double chainageM, const StationStyle& style) const {
    int region = 1;
    const double value = fromMetres(station(chainageM, &region), style.unit);
    std::string text = formatValue(value, style.length(), style.decimals);
    // The region is named where the printed station, read back, would be ambiguous or, rounded
    // past the end of its region, would name another point or none.
    double printed = 0.0;
    if (!parseValue(text, style.length(), printed)) return text;
    const std::vector<int> regions = regionsOf(toMetres(printed, style.unit));
    if (regions.size() != 1 || regions.front() != region) text += " R" + std::to_string(region);
    return text;
}

bool Stationing::chainage(const std::string& input, const StationStyle& style, double& chainageM,
                          std::string& error) const {
    std::string text = trimmed(input);
    int region = 0;
    double value = 0.0;
    if (!splitRegion(text, region) || !parseValue(text, style.length(), value)) {
        error = "'" + input +
                "' is not a station (forms: 12+345.68, -0+090.00, 1049.84, R2 after " +
                "a station in an overlap)";
        return false;
    }
    const double stationM = toMetres(value, style.unit);
    const std::vector<int> regions = regionsOf(stationM);
    const std::string shown = formatValue(value, style.length(), style.decimals);
    if (region > regionCount()) {
        error = "station " + shown + ": region R" + std::to_string(region) +
                " does not exist (the alignment has " + std::to_string(regionCount()) + ")";
        return false;
    }
    if (region != 0) {
        // A station with its region may lie up to half its last digit outside the region: it
        // was rounded when printed.
        double half = 0.5;
        for (int i = 0; i < clampedDecimals(style.decimals); ++i)
            half /= 10.0;
        if (!holds(stationM, region, toMetres(half, style.unit) + kSameStationM)) {
            error = "station " + shown + " does not lie in region R" + std::to_string(region);
            return false;
        }
        chainageM = chainageInRegion(stationM, region);
        return true;
    }
    if (regions.empty()) {
        error = "station " + shown + " does not exist: it lies in the gap of a station equation";
        return false;
    }
    if (regions.size() > 1) {
        error = "station " + shown + " occurs in regions";
        for (size_t i = 0; i < regions.size(); ++i)
            error += (i == 0 ? " R" : (i + 1 == regions.size() ? " and R" : ", R")) +
                     std::to_string(regions[i]);
        error += " (an overlap of station equations); add the region, e.g. '" + shown + " R" +
                 std::to_string(regions.back()) + "'";
        return false;
    }
    region = regions.front();
    chainageM = chainageInRegion(stationM, region);
    return true;
}

namespace {

std::string equationText(const StaEquation& e) {
    return "line " + std::to_string(e.line) + ": StaEquation: ";
}

std::string stationIn(double m, LinearUnit unit) {
    StationStyle style;
    style.unit = unit;
    style.decimals = 3;
    return Stationing().text(m, style);
}

// Equations that cannot apply (before the start, after the end) are left out with a warning; a
// staInternal within rounding of either end is taken as on it.
std::vector<StaEquation> applicable(double start, double end, const std::vector<StaEquation>& in,
                                    LinearUnit unit, std::vector<std::string>& warnings) {
    std::vector<StaEquation> out;
    for (StaEquation e : in) {
        if (std::fabs(e.staInternal - start) <= kSameStationM) e.staInternal = start;
        if (std::fabs(e.staInternal - end) <= kSameStationM) e.staInternal = end;
        const bool before = e.staInternal < start;
        if (before || e.staInternal > end) {
            warnings.push_back(equationText(e) + "staInternal " + stationIn(e.staInternal, unit) +
                               (before
                                    ? " lies before the alignment's start " + stationIn(start, unit)
                                    : " lies after the alignment's end " + stationIn(end, unit)) +
                               ": the equation cannot apply and is left out");
            continue;
        }
        out.push_back(e);
    }
    return out;
}

}  // namespace

bool checkEquations(double startChainageM, double endChainageM, std::vector<StaEquation>& equations,
                    LinearUnit unit, std::vector<std::string>& warnings, std::string& error) {
    for (const StaEquation& e : equations)
        if (!std::isfinite(e.staInternal) || !std::isfinite(e.staAhead) ||
            !(std::isfinite(e.staBack) || std::isnan(e.staBack))) {
            error = equationText(e) + "staInternal and staAhead must be finite numbers";
            return false;
        }
    std::vector<std::string> found;
    std::vector<StaEquation> eqs = applicable(startChainageM, endChainageM, equations, unit, found);
    std::stable_sort(eqs.begin(), eqs.end(), [](const StaEquation& x, const StaEquation& y) {
        return x.staInternal < y.staInternal;
    });
    for (size_t i = 1; i < eqs.size(); ++i)
        if (eqs[i].staInternal == eqs[i - 1].staInternal) {
            error = equationText(eqs[i]) + "stands at the same internal station " +
                    stationIn(eqs[i].staInternal, unit) + " as the equation at line " +
                    std::to_string(eqs[i - 1].line) + "; one point has one station ahead";
            return false;
        }
    double regionStart = startChainageM, regionStation = startChainageM;
    for (StaEquation& e : eqs) {
        const double running = regionStation + (e.staInternal - regionStart);
        regionStart = e.staInternal;
        regionStation = e.staAhead;
        if (std::isnan(e.staBack)) {
            e.staBack = running;
        } else if (std::fabs(e.staBack - running) > kStaBackToleranceM) {
            found.push_back(equationText(e) + "staBack " + stationIn(e.staBack, unit) +
                            " differs from the station the road behind reaches, " +
                            stationIn(running, unit) + "; stations follow the running chainage");
        }
    }
    equations = std::move(eqs);
    warnings.insert(warnings.end(), found.begin(), found.end());
    return true;
}

Stationing stationingOf(const Alignment& alignment) {
    Stationing s;
    std::string ignored;
    if (!s.assign(alignment.staStart, alignment.equations, ignored)) s = Stationing();
    return s;
}

}  // namespace zel_landxml
