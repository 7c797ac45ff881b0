#include "velmorutils/formats/ValueFormats.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "formats/DmsCarry.h"
#include "velmorutils/formats/NumberParsing.h"

using zel_text::CZelStringT;

// The degree sign in the formats below is the single byte 0xB0 ("\xB0"), as the field software's
// code page writes it.
namespace zel_formats {
namespace {

constexpr double kDegPerRadFactor = 57.29577951308232;
// Angle texts show their seconds to this many decimals and carry accordingly.
constexpr int kSecondDecimals = 5;

// A whole number as an int. Values outside the int range (and NaN) give INT_MIN, the value the
// processor's own conversion produces, instead of undefined behaviour: formatting never fails.
int toInt(double v) {
    if (!(v > static_cast<double>(INT_MIN) - 1.0 && v < static_cast<double>(INT_MAX) + 1.0)) {
        return INT_MIN;
    }
    return static_cast<int>(v);
}

// v + delta, held at the ends of the int range instead of wrapping: a carry into degrees or
// minutes that are already out of any angle's range cannot make them more wrong.
int addSaturated(int v, int delta) {
    const long long r = static_cast<long long>(v) + delta;
    return static_cast<int>(std::clamp<long long>(r, INT_MIN, INT_MAX));
}

struct Dms {
    int deg;
    int min;
    double sec;
};

// Degrees split by truncation; all three parts carry the sign of a negative angle.
Dms splitDegrees(double deg) {
    const double whole = std::trunc(deg);
    const double fraction = deg - whole;
    const double minutes = std::trunc(fraction * 60.0);
    const double seconds = (fraction - minutes / 60.0) * 3600.0;
    return {toInt(whole), toInt(minutes), seconds};
}

Dms splitAndCarry(double deg) {
    Dms dms = splitDegrees(deg);
    check60round(dms.deg, dms.min, dms.sec, kSecondDecimals);
    return dms;
}

// Whether |sec| is written as 60 or more with the given decimals, judged by the same
// formatted output that writes it.
bool printsAsSixtyOrMore(double sec, int decimals) {
    const double magnitude = std::fabs(sec);
    if (!(magnitude >= 59.0)) return false;  // also NaN
    if (std::isinf(magnitude)) return true;
    if (decimals < 0) decimals = 0;
    if (decimals > 17) decimals = 17;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, magnitude);
    return std::strtod(text, nullptr) >= 60.0;
}

CZelStringT<char> hemisphereText(double deg, bool precise, char positive, char negative) {
    const char letter = deg > 0 ? positive : negative;
    const Dms dms = splitAndCarry(std::fabs(deg));
    CZelStringT<char> text;
    if (precise) {
        text.Format("%3d\xB0%02d'%08.5f\"%c", dms.deg, dms.min, dms.sec, letter);
    } else {
        // Tenths of seconds are truncated, not rounded.
        const double tenths = std::trunc(dms.sec * 10.0) / 10.0;
        text.Format("%3d\xB0%02d'%03.1f\"%c", dms.deg, dms.min, tenths, letter);
    }
    return text;
}

// Text comparison of two-character fields, padded on the right with '0'.
CZelStringT<char> twoCharField(const CZelStringT<char>& text) {
    CZelStringT<char> field = text.Left(2);
    while (field.GetLength() < 2)
        field += '0';
    return field;
}

bool isDigitOrPoint(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

}  // namespace

CZelStringT<char> TimeSpanToString(const CTimeSpan& span) {
    const std::int64_t total = span.GetTotalSeconds();
    const std::int64_t hours = total / 3600;
    const std::int64_t minutes = total / 60 - hours * 60;
    const std::int64_t seconds = total - (total / 60) * 60;
    CZelStringT<char> text;
    text.Format("%02lld:%02d:%02d", static_cast<long long>(hours), static_cast<int>(minutes),
                static_cast<int>(seconds));
    return text;
}

double FormatFloat(double v, int decimals) {
    double scale = 1.0;
    for (int i = 0; i < decimals && std::isfinite(scale); ++i)
        scale *= 10.0;
    const double whole = std::trunc(v);
    return whole + std::trunc((v - whole) * scale + 0.5) / scale;
}

CZelStringT<char> IntToString(int v) {
    CZelStringT<char> text;
    text.Format("%d", v);
    return text;
}

CZelStringT<char> DoubleToString(double v) {
    CZelStringT<char> text;
    text.Format("%.12lf", v);
    // Trailing zeros go, then a point left last; the first character always stays.
    int length = text.GetLength();
    while (length > 1 && text[length - 1] == '0')
        --length;
    if (length > 1 && text[length - 1] == '.') --length;
    text = text.Left(length);
    // The cut truncates; without a point it also cuts integer digits.
    return text.Left(text.Find('.') >= 0 ? 15 : 14);
}

CZelStringT<char> DoubleToString(double v, int decimals) {
    CZelStringT<char> text;
    // One decimal is padded to three characters; every other count, negative ones included, is
    // written into the format as it is ("%.<n>lf").
    if (decimals == 1) {
        text.Format("%3.1lf", v);
        return text;
    }
    CZelStringT<char> format;
    format.Format("%%.%dlf", decimals);
    text.Format(format, v);
    return text;
}

CZelStringT<char> AltitudeToString(double h) {
    CZelStringT<char> text;
    text.Format("%.3f", h);
    return text;
}

CZelStringT<char> AngleToString(double deg) {
    const Dms dms = splitAndCarry(deg);
    CZelStringT<char> text;
    text.Format("%3d\xB0%02d'%7.5f\"", dms.deg, dms.min, dms.sec);
    return text;
}

// The whole-second forms truncate the seconds after the carry: an angle whose seconds carry
// into the next minute shows 0 seconds there rather than the 59 of the minute it left.
CZelStringT<char> ShortAngleToString(double deg) {
    const Dms dms = splitAndCarry(deg);
    CZelStringT<char> text;
    text.Format("%3d\xB0%2d'%d\"", dms.deg, dms.min, toInt(std::trunc(dms.sec)));
    return text;
}

CZelStringT<char> AngleToStringDDDMMSS(double deg) {
    const Dms dms = splitAndCarry(deg);
    CZelStringT<char> text;
    text.Format("%3d\xB0%02d'%02d\"", dms.deg, dms.min, toInt(std::trunc(dms.sec)));
    return text;
}

CZelStringT<char> LatitudeToString(double deg, bool precise) {
    return hemisphereText(deg, precise, 'N', 'S');
}

CZelStringT<char> LongitudeToString(double deg, bool precise) {
    return hemisphereText(deg, precise, 'E', 'W');
}

CZelStringT<char> TimeToString(double hours) {
    const double h = std::trunc(hours);
    const double m = std::trunc((hours - h) * 60.0);
    const double s = (hours - h - m / 60.0) * 3600.0;
    CZelStringT<char> text;
    text.Format("%2d:%2d:%5.3f", toInt(h), toInt(m), s);
    return text;
}

// Seconds carry when they would be written as 60 (59.999995 and up with five decimals), not
// only from 60.9 on: a text never shows 60 seconds. The carry goes away from zero: negative
// seconds (of a negative angle) take a minute off, and 60 minutes either way move the degrees.
void check60round(int& deg, int& min, double& sec, int decimals) {
    if (!printsAsSixtyOrMore(sec, decimals)) return;
    const bool negative = sec < 0;
    sec = 0.0;
    if (!negative) {
        min = addSaturated(min, 1);
        if (min >= 60) {
            min -= 60;
            deg = addSaturated(deg, deg >= 0 ? 1 : -1);
        }
        return;
    }
    min = addSaturated(min, -1);
    if (min <= -60) {
        min += 60;
        deg = addSaturated(deg, -1);
    }
}

double Deg2DDDMMSS(double deg, int decimals) {
    // Seconds this close to 60 would show as 60 at the given decimals.
    const TDmsParts dms = SplitDegreesWithCarry(deg, 6.0 * std::pow(10.0, 3 - decimals));
    const double packed = dms.deg + dms.min / 100.0 + dms.sec / 10000.0;
    return deg < 0 ? -packed : packed;
}

double DDDMMSS2Deg(double packed) {
    const double a = std::fabs(packed);
    const double x = std::fmod(a, 360.0);
    TDmsParts dms;
    dms.deg = std::floor(x);
    const double y = (x - dms.deg) * 100.0;
    dms.min = std::floor(y);
    dms.sec = (y - dms.min) * 100.0;
    // A minutes field such as 29.9999999 is read as 30.
    if (dms.min + 1.0 - y < 1e-7) {
        dms.min += 1.0;
        dms.sec = 0.0;
    }
    // Seconds within 1e-7 degree of a whole minute.
    CarryDms(dms, 0.00036);
    const double deg = dms.deg + dms.min / 60.0 + dms.sec / 3600.0;
    return packed < 0 ? -deg : deg;
}

CZelStringT<char> DDDMMSS2String(double packed) {
    const double d = std::trunc(packed / 10000.0);
    const double m = std::trunc((packed - d * 10000.0) / 100.0);
    const double s = std::trunc(packed - d * 10000.0 - m * 100.0);
    CZelStringT<char> text;
    text.Format("%3d\xB0%2d'%2d\"", toInt(d), toInt(m), toInt(s));
    return text;
}

double AngleToRad(const CZelStringT<char>& d, const CZelStringT<char>& m,
                  const CZelStringT<char>& s) {
    return (StringToDouble(d) + StringToDouble(m) / 60.0 + StringToDouble(s) / 3600.0) /
           kDegPerRadFactor;
}

bool CheckValidDMSVal(const CZelStringT<char>& value, const CZelStringT<char>& maxDeg,
                      bool allowMax) {
    CZelStringT<char> text = ReplaceCommasWithDecPt(value);
    const CZelStringT<char> maximum = ReplaceCommasWithDecPt(maxDeg);
    text.Trim();
    if (!text.IsEmpty() && text[0] == '-') text = text.Mid(1);

    int points = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (!isDigitOrPoint(text[i])) return false;
        if (text[i] == '.') ++points;
    }
    if (points > 1) return false;

    const int point = text.Find('.');
    CZelStringT<char> degrees = text;
    CZelStringT<char> rest;
    if (point > 0) {
        degrees = text.Left(point);
        rest = text.Mid(point);
        if (rest.GetLength() > 1) rest = rest.Mid(1);
    }

    // Degrees compare as text, right-aligned against the maximum.
    const int width = maximum.GetLength();
    if (degrees.GetLength() > width) return false;
    if (degrees.GetLength() < width) {
        degrees = CZelStringT<char>(' ', width - degrees.GetLength()) + degrees;
    }
    const int order = degrees.CompareNoCase(maximum);
    if (order > 0) return false;
    const char* limit = "59";
    if (order == 0) {
        if (!allowMax) return false;
        limit = "00";
    }

    if (rest.IsEmpty()) return true;
    if (twoCharField(rest).Compare(limit) > 0) return false;
    if (rest.GetLength() <= 2) return true;
    return twoCharField(rest.Mid(2)).Compare(limit) <= 0;
}

CZelStringT<char> StnToString(double chainage, double stationLength) {
    const int stations = toInt(std::trunc(chainage / stationLength));
    const double remainder = chainage - stations * stationLength;
    CZelStringT<char> text;
    text.Format("%d+%.2f", stations, remainder);
    return text;
}

int StnFromString(const CZelStringT<char>& text, double& chainage, double stationLength) {
    const CZelStringT<char> t = ReplaceCommasWithDecPt(text);
    if (t.Find('+') >= 0) {
        int stations = 0;
        double remainder = 0.0;
        if (std::sscanf(t, "%d+%lf", &stations, &remainder) != 2) return 0;
        chainage = stations * stationLength + remainder;
        return 1;
    }
    double value = 0.0;
    if (std::sscanf(t, "%lf", &value) != 1) return 0;
    chainage = value;
    return 1;
}

}  // namespace zel_formats
