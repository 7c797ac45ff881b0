#include "velmorutils/formats/StationText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace zel_formats {
namespace {

// Text magnitudes beyond this are not stations of any road; the bound keeps the integer of
// nano-units inside 64 bits.
constexpr double kMaxTextValue = 1e9;
constexpr int kFixedDecimals = 9;
constexpr int kMaxDecimals = 6;

int clampedDecimals(int decimals) {
    return decimals < 0 ? 0 : (decimals > kMaxDecimals ? kMaxDecimals : decimals);
}

unsigned long long wholeLength(double length) {
    if (!(length >= 1.0) || length > 1e6) return 0;
    return static_cast<unsigned long long>(std::llround(length));
}

int digitsOf(unsigned long long v) {
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

unsigned long long powerOfTen(int n) {
    unsigned long long p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

}  // namespace

// The carry into the station number comes from integer arithmetic on the rounded figure, so
// that a rest of a whole station never shows.
std::string FormatStationText(double value, double stationLength, int decimals) {
    const int d = clampedDecimals(decimals);
    const unsigned long long length = wholeLength(stationLength);
    char buf[96];
    if (!std::isfinite(value) || std::fabs(value) > kMaxTextValue || length == 0) {
        std::snprintf(buf, sizeof buf, "%g", value);
        return buf;
    }
    // to_chars rounds as printf does (the correctly rounded decimal of the binary value), at a
    // fraction of its cost: a stake-out writes one station text per station.
    const std::to_chars_result fixedText = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                                         std::chars_format::fixed, kFixedDecimals);
    unsigned long long nano = 0;
    for (const char* c = buf; c != fixedText.ptr; ++c)
        if (*c != '.') nano = nano * 10 + static_cast<unsigned long long>(*c - '0');
    const unsigned long long drop = powerOfTen(kFixedDecimals - d);
    const unsigned long long scaled = (nano + drop / 2) / drop;
    const unsigned long long unit = powerOfTen(d);
    const unsigned long long perStation = length * unit;
    const unsigned long long number = scaled / perStation;
    const unsigned long long rest = scaled % perStation;
    const int width = digitsOf(length - 1);
    std::string text = scaled == 0 || value > 0 ? "" : "-";
    text += std::to_string(number) + "+";
    const std::string whole = std::to_string(rest / unit);
    text.append(width > static_cast<int>(whole.size()) ? width - whole.size() : 0, '0');
    text += whole;
    if (d > 0) {
        const std::string frac = std::to_string(rest % unit);
        text += '.';
        text.append(static_cast<size_t>(d) - frac.size(), '0');
        text += frac;
    }
    return text;
}

}  // namespace zel_formats
