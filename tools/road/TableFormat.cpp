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

void appendFixed(std::string& out, double value, int decimals) {
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

std::string TableStyle::angle(double degrees) const {
    const double d = pos360(degrees);
    if (angles == AngleStyle::Gon) {
        // 400 gon to the circle; a value that rounds to 400.00000 is 0.
        const double gon = d * 400.0 / 360.0;
        return fixed(gon >= 399.999995 ? 0.0 : gon, 5);
    }
    if (angles == AngleStyle::Degrees || csv) return fixed(d >= 359.9999995 ? 0.0 : d, 6);
    return dmsText(d);
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
