#include "TableFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include <velmorutils/formats/ValueFormats.h>
#include <velmorutils/landxml/Stationing.h>
#include <velmorutils/zelmath/angles/AngleConversions.h>

namespace road {

std::string standardStationText(double chainageM) {
    static const zel_landxml::Stationing none;
    return none.text(chainageM, zel_landxml::StationStyle());
}

std::string plainNumber(double value, int significant) {
    if (!std::isfinite(value) || value == 0.0) return fixed(value, 0);
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    std::string text = fixed(value, std::max(0, significant - 1 - magnitude));
    if (text.find('.') == std::string::npos) return text;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

namespace {

// Powers of ten held exactly by a double.
constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr int kMaxFastDecimals = 9;
// Scaled values below this keep a fraction finer than a quarter (so "near a half" is decidable).
constexpr double kMaxFastScaled = 1125899906842624.0;  // 2^50

// The common case without the general conversion: |value| * 10^decimals is one rounding away
// from the exact product (within half an ulp), so the rounded digits are certain unless the
// fraction lies within an ulp of one half; then (and for large or odd values) false, and the
// caller takes the exact path. Never a negative zero, as appendFixed promises.
bool appendFixedFast(std::string& out, double value, int decimals) {
    if (decimals < 0 || decimals > kMaxFastDecimals) return false;
    const double scaled = std::fabs(value) * kPow10[decimals];
    if (!(scaled < kMaxFastScaled)) return false;  // NaN and infinity too
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;  // exact below 2^52
    if (std::fabs(fraction - 0.5) <= scaled * 2.3e-16) return false;
    unsigned long long n = static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
    const bool negative = value < 0.0 && n > 0;
    char buf[32];
    char* p = buf + sizeof buf;
    for (int k = 0; k < decimals; ++k, n /= 10)
        *--p = static_cast<char>('0' + n % 10);
    if (decimals > 0) *--p = '.';
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    if (negative) *--p = '-';
    out.append(p, buf + sizeof buf);
    return true;
}

}  // namespace

void appendFixed(std::string& out, double value, int decimals) {
    if (appendFixedFast(out, value, decimals)) return;
    // to_chars rounds exactly as printf does (the shortest correctly rounded decimal of the
    // binary value), several times faster, which a table of a million points feels.
    char buf[64];
    const std::to_chars_result r =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    const char* end = r.ptr;
    if (r.ec != std::errc()) end = buf + std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    const char* begin = buf;
    if (buf[0] == '-' &&
        std::string_view(buf, end - buf).find_first_not_of("-0.") == std::string_view::npos)
        ++begin;
    out.append(begin, end);
}

std::string fixed(double value, int decimals) {
    std::string s;
    appendFixed(s, value, decimals);
    return s;
}

std::string padRight(const std::string& text, size_t width) {
    size_t chars = 0;
    for (unsigned char c : text)
        chars += (c & 0xC0) != 0x80;
    return chars >= width ? text : text + std::string(width - chars, ' ');
}

std::string counted(long long n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string dmsText(double degrees) {
    const zel_text::CZelStringT<char> s = AngleToStringDDDMMSS(pos360(degrees));
    // The library writes the degree sign as the single byte 0xB0; a terminal wants UTF-8.
    std::string out;
    const char* p = s;
    while (*p == ' ')
        ++p;  // the library pads to three digits of degrees
    for (; *p; ++p) {
        if (static_cast<unsigned char>(*p) == 0xB0)
            out += "\u00B0";
        else
            out += *p;
    }
    return out;
}

std::string TableStyle::length(double metres, int decimals) const {
    return fixed(fromMetres(metres, unit), decimals);
}

void TableStyle::appendLength(std::string& out, double metres, int decimals) const {
    appendFixed(out, fromMetres(metres, unit), decimals);
}

void TableStyle::appendAngle(std::string& out, double degrees) const {
    const double d = pos360(degrees);
    if (angles == AngleStyle::Gon) {
        // 400 gon to the circle; a value that rounds to 400.00000 is 0.
        const double gon = d * 400.0 / 360.0;
        appendFixed(out, gon >= 399.999995 ? 0.0 : gon, 5);
    } else if (angles == AngleStyle::Degrees || csv) {
        appendFixed(out, d >= 359.9999995 ? 0.0 : d, 6);
    } else {
        out += dmsText(d);
    }
}

std::string TableStyle::angle(double degrees) const {
    std::string s;
    appendAngle(s, degrees);
    return s;
}

std::string TableStyle::heading(const std::string& name) const {
    if (csv) return name + "_" + unitSymbol(unit);
    return name + " [" + unitSymbol(unit) + "]";
}

std::string TableStyle::angleHeading(const std::string& name) const {
    const char* a = angles == AngleStyle::Dms && csv ? "deg" : angleSymbol(angles);
    return csv ? name + "_" + a : name + " [" + a + "]";
}

std::string cutFillText(const TableStyle& style, double metres, int decimals) {
    const std::string magnitude = style.length(std::fabs(metres), decimals);
    if (magnitude.find_first_not_of("0.") == std::string::npos) return magnitude;
    return (metres > 0 ? "C " : "F ") + magnitude;
}

}  // namespace road
