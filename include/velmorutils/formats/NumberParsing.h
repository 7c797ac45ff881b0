#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"

// Numbers read from text. A decimal comma is read as a point wherever a real number is read.
// Reading takes the leading number and ignores what follows ("12abc" gives 12).

// 0.0 for an empty text or one that does not start with a number.
VELMORUTILS_API double StringToDouble(const zel_text::CZelStringT<char>& s);
VELMORUTILS_API float StringToFloat(const zel_text::CZelStringT<char>& s);
// 0 when nothing can be read.
VELMORUTILS_API int StringToInt(const zel_text::CZelStringT<char>& s);

// 1 with the number in v, or 0 with v set to zero for a null, empty or unreadable text. The
// caller's text is never changed.
VELMORUTILS_API int StringToDouble(const char* s, double& v);
VELMORUTILS_API int StringToFloat(const char* s, float& v);
VELMORUTILS_API int StringToInt(const char* s, int& v);
VELMORUTILS_API int StringToLong(const char* s, long& v);
VELMORUTILS_API int StringToUint(const char* s, unsigned& v);
VELMORUTILS_API int StringToShort(const char* s, short& v);

// A copy of s with every ',' turned into '.'.
VELMORUTILS_API zel_text::CZelStringT<char> ReplaceCommasWithDecPt(
    const zel_text::CZelStringT<char>& s);
