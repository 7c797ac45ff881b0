#pragma once

#include "velmorutils/platform/CTimeSpan.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"

// The texts in which survey values are shown and typed: angles in degrees, minutes and seconds
// (the degree sign is the byte 0xB0), latitudes and longitudes with their hemisphere letter,
// heights, times, plain numbers and chainages as stations, and the packed numbers in which
// degrees-minutes-seconds are typed. Packed DDD.MMSS: 12.3015 is 12 deg 30 min 15 s.
//
// The functions live in zel_formats and are also declared at global scope, where most of the
// application's code has always called them.
namespace zel_formats {

// "hh:mm:ss" of total hours (not limited to 24), minutes and seconds.
VELMORUTILS_API zel_text::CZelStringT<char> TimeSpanToString(const CTimeSpan& span);

// v rounded to the given decimals; the fraction is rounded half up in magnitude toward zero's
// side of the whole part (-1.26 to one decimal gives -1.2).
VELMORUTILS_API double FormatFloat(double v, int decimals);

VELMORUTILS_API zel_text::CZelStringT<char> IntToString(int v);

// The shortest form with at most 12 decimals, cut (not rounded) to 15 characters with a point
// or 14 without: 2.5 -> "2.5", 100.0 -> "100", 1.0 / 3 -> "0.333333333333".
VELMORUTILS_API zel_text::CZelStringT<char> DoubleToString(double v);
// A fixed number of decimals (one decimal is written at least 3 wide).
VELMORUTILS_API zel_text::CZelStringT<char> DoubleToString(double v, int decimals);

// "%.3f".
VELMORUTILS_API zel_text::CZelStringT<char> AltitudeToString(double h);

// Degrees as "ddd°mm'ss.sssss\"" (minutes and seconds carry the sign of a negative angle:
// -10.5 gives "-10°-30'0.00000\""), as whole seconds with unpadded minutes, and as whole
// seconds with two-digit fields.
VELMORUTILS_API zel_text::CZelStringT<char> AngleToString(double deg);
VELMORUTILS_API zel_text::CZelStringT<char> ShortAngleToString(double deg);
VELMORUTILS_API zel_text::CZelStringT<char> AngleToStringDDDMMSS(double deg);

// Hemisphere 'N'/'E' above 0, 'S'/'W' at or below 0. Precise: seconds to 5 decimals; otherwise
// to 1 decimal, truncated.
VELMORUTILS_API zel_text::CZelStringT<char> LatitudeToString(double deg, bool precise);
VELMORUTILS_API zel_text::CZelStringT<char> LongitudeToString(double deg, bool precise);

// Decimal hours as "h:m:s.sss" without carries.
VELMORUTILS_API zel_text::CZelStringT<char> TimeToString(double hours);

// Carries seconds that would be written as 60 with the given number of decimals into the
// minutes (and minutes of 60 into the degrees), so that a text never shows 60 seconds.
VELMORUTILS_API void check60round(int& deg, int& min, double& sec, int decimals);

// Decimal degrees to packed DDD.MMSS, seconds within 6 / 10^(decimals - 3) of 60 carried; the
// result is not rounded. Packed DDD.MMSS back to decimal degrees.
VELMORUTILS_API double Deg2DDDMMSS(double deg, int decimals);
VELMORUTILS_API double DDDMMSS2Deg(double packed);

// A whole number DDDMMSS (1234556 = 123°45'56") as "%3d°%2d'%2d\"".
VELMORUTILS_API zel_text::CZelStringT<char> DDDMMSS2String(double packed);

// Degrees, minutes and seconds typed as three texts, in radians. Each text is read on its own,
// so a sign on the degrees does not carry to the others (-10, 30, 0 is -9.5 degrees).
VELMORUTILS_API double AngleToRad(const zel_text::CZelStringT<char>& d,
                                  const zel_text::CZelStringT<char>& m,
                                  const zel_text::CZelStringT<char>& s);

// Whether a typed packed DDD.MMSS is well formed, with minutes and seconds up to 59, and its
// degrees not above maxDeg (equal only when allowMax, and then with zero minutes and seconds).
VELMORUTILS_API bool CheckValidDMSVal(const zel_text::CZelStringT<char>& value,
                                      const zel_text::CZelStringT<char>& maxDeg, bool allowMax);

// A chainage as "N+R" with stations of the given length: 1234.567 with 100 is "12+34.57".
VELMORUTILS_API zel_text::CZelStringT<char> StnToString(double chainage, double stationLength);
// "N+R" or a plain number back to a chainage; 1 when read, 0 with chainage unchanged otherwise.
VELMORUTILS_API int StnFromString(const zel_text::CZelStringT<char>& text, double& chainage,
                                  double stationLength);

}  // namespace zel_formats

using zel_formats::AltitudeToString;
using zel_formats::AngleToRad;
using zel_formats::AngleToString;
using zel_formats::AngleToStringDDDMMSS;
using zel_formats::check60round;
using zel_formats::CheckValidDMSVal;
using zel_formats::DDDMMSS2Deg;
using zel_formats::DDDMMSS2String;
using zel_formats::Deg2DDDMMSS;
using zel_formats::DoubleToString;
using zel_formats::FormatFloat;
using zel_formats::IntToString;
using zel_formats::LatitudeToString;
using zel_formats::LongitudeToString;
using zel_formats::ShortAngleToString;
using zel_formats::StnFromString;
using zel_formats::StnToString;
using zel_formats::TimeSpanToString;
using zel_formats::TimeToString;
