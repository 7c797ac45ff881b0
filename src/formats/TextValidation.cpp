#include "velmorutils/formats/TextValidation.h"

#include <cstring>

using zel_text::CZelStringT;

namespace {

constexpr int kMaxNameLength = 40;
constexpr int kMaxPointNameLength = 20;
// '%' appears twice, as it always has in this table; it does no harm.
constexpr char kPointNameForbidden[] = "!,?%*@#$%^&'\"\\/|~;[]{}()<>`\t\r\n+=";

constexpr char kDateMask[] = "9999-99-99";
constexpr char kDateTimeMask[] = "9999-99-99 99:99:99";

// Character classes on the byte value, independent of the locale and safe for bytes above 127.
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int safeLength(const char* s) {
    return s ? static_cast<int>(std::strlen(s)) : 0;
}

// The leading decimal digits of a field as a number (0 when there are none). Fields here are
// at most four characters, so no overflow is possible.
int fieldValue(const char* p, int length) {
    int v = 0;
    for (int i = 0; i < length && isDigit(p[i]); ++i)
        v = v * 10 + (p[i] - '0');
    return v;
}

// s holds "yyyy-mm-dd" at its start (checked by the mask); the year is not checked.
bool isValidDate(const char* s) {
    const int month = fieldValue(s + 5, 2);
    const int day = fieldValue(s + 8, 2);
    if (month < 1 || month > 12) return false;
    if (day < 1 || day > 31) return false;
    return month != 2 || day <= 29;
}

// s holds "hh:mm:ss" (checked by the mask). 24 hours is accepted, as the end of a day.
bool isValidTime(const char* s) {
    return fieldValue(s, 2) < 25 && fieldValue(s + 3, 2) < 60 && fieldValue(s + 6, 2) < 60;
}

}  // namespace

bool CheckFormat(const char* text, const char* mask) {
    const int length = safeLength(text);
    if (length != safeLength(mask)) return false;
    for (int i = 0; i < length; ++i) {
        const char c = text[i];
        const char m = mask[i];
        if (isDigit(c)) {
            if (m != '9') return false;
        } else if (isLetter(c)) {
            if (m != '9' && m != c) return false;
        } else if (m != c) {
            return false;
        }
    }
    return true;
}

TTextValType getTextValType(const char* s) {
    if (s == nullptr) return tvtEmpty;
    const char* p = s;
    while (isBlank(*p))
        ++p;
    if (*p == '\0') return tvtEmpty;
    if (*p == '-') ++p;
    const char* const digits = p;
    while (isDigit(*p))
        ++p;
    if (*p == '\0') return tvtInteger;

    if (CheckFormat(s, kDateMask)) {
        // A date that fails is not tried as a date-time (it could not be one anyway).
        if (isValidDate(s)) return tvtDate;
    } else if (CheckFormat(s, kDateTimeMask) && isValidDate(s) && isValidTime(s + 11)) {
        return tvtDateTime;
    }

    const char c = *p;
    if (c == '.') {
        const bool digitsBefore = p > digits;
        ++p;
        const char* const afterPoint = p;
        while (isDigit(*p))
            ++p;
        // A lone point, with or without a sign, is no number.
        if (!digitsBefore && p == afterPoint) return tvtText;
    }
    while (isBlank(*p))
        ++p;
    if (*p != '\0') return tvtText;
    return c == '.' ? tvtReal : tvtInteger;
}

bool IsAdmisibleCharacter(char c) {
    return c == '_' || isDigit(c) || isLetter(c);
}

bool IsValidName(const CZelStringT<char>& s) {
    const int length = s.GetLength();
    if (length == 0 || length > kMaxNameLength) return false;
    for (int i = 0; i < length; ++i) {
        if (!IsAdmisibleCharacter(s[i])) return false;
    }
    return true;
}

bool IsValidFilename(CZelStringT<char>& s) {
    return IsValidName(s);
}

const CZelStringT<char> MakePointNameCorrect(const CZelStringT<char>& name) {
    if (name.IsEmpty()) return name;
    CZelStringT<char> fixed = name.Left(kMaxPointNameLength);
    for (int i = 0; i < fixed.GetLength(); ++i) {
        const char c = fixed[i];
        if (c != '\0' && std::strchr(kPointNameForbidden, c) != nullptr) fixed.SetAt(i, '_');
    }
    return fixed;
}
