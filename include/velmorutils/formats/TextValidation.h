#pragma once

#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"

// What a text holds, and whether it is fit to be a name.

enum TTextValType {
    tvtText = 0,      // anything else
    tvtInteger = 1,   // optional '-', digits, optional surrounding white space
    tvtReal = 2,      // an integer followed by '.' and optional further digits
    tvtEmpty = 3,     // null, empty or only white space
    tvtDate = 4,      // "9999-99-99" with a valid month and day
    tvtDateTime = 5,  // "9999-99-99 99:99:99" with a valid date and time
};

// text matches mask character by character: a digit fits '9', a letter fits '9' or itself, any
// other character only itself. Texts of different length (null has length 0) never match.
VELMORUTILS_API bool CheckFormat(const char* text, const char* mask);

VELMORUTILS_API TTextValType getTextValType(const char* s);

// '_', digits and ASCII letters.
VELMORUTILS_API bool IsAdmisibleCharacter(char c);
// 1 to 40 admissible characters.
VELMORUTILS_API bool IsValidName(const zel_text::CZelStringT<char>& s);
VELMORUTILS_API bool IsValidFilename(zel_text::CZelStringT<char>& s);

// The name cut to 20 characters, with every character that a point name may not hold
// (punctuation used by the data formats, quotes, brackets, TAB, CR, LF) replaced by '_'.
// Blanks are allowed.
VELMORUTILS_API const zel_text::CZelStringT<char> MakePointNameCorrect(
    const zel_text::CZelStringT<char>& name);
