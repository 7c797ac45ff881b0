#pragma once

#include "velmorutils/inlines/CZelArray.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"
#include "velmorutils/text/TextEdits.h"  // replaceChars, declared beside the string

// Delimited text split into fields and joined again (runs of characters are replaced by
// replaceChars, which lives beside the string).

using CZelStringArray =
    zel_templ::CZelArray<zel_text::CZelStringT<char>, const zel_text::CZelStringT<char>&>;
using CZelUIntArray = zel_templ::CZelArray<unsigned int, const unsigned int&>;

// Splits text at `delim` and appends the fields, each trimmed of white space and cleared of CR
// and LF, to out (which is not cleared). A delimiter as the very first character does not split:
// the whole text is then one field; an empty text gives one empty field. Returns false as soon
// as a field holds a character of `forbidden` (the fields before it stay in out).
VELMORUTILS_API bool ParseValues(const zel_text::CZelStringT<char>& text, CZelStringArray& out,
                                 char delim, const zel_text::CZelStringT<char>& forbidden);

// Splits text at any character of `delims`, fields treated as by ParseValues. A delimiter that
// starts the remaining text does not split it. Always true.
VELMORUTILS_API bool ParseDelimitersValues(const zel_text::CZelStringT<char>& text,
                                           CZelStringArray& out,
                                           const zel_text::CZelStringT<char>& delims);

// The elements joined with ',', "" for an empty array.
VELMORUTILS_API const zel_text::CZelStringT<char> StringArrayToString(const CZelStringArray& a);

// Case-sensitive membership.
VELMORUTILS_API bool IsStringInStringArray(const CZelStringArray& a,
                                           const zel_text::CZelStringT<char>& s);
VELMORUTILS_API bool IsUIntInUIntArray(const CZelUIntArray& a, int v);

// The next token of s at or after pos, skipping leading delimiters; pos moves past the
// delimiter that ends it. When no token is left, pos becomes -1 and the result is "". Without
// delimiters the rest of the text from pos is the token and pos stays.
VELMORUTILS_API zel_text::CZelStringT<char> Tokenize(zel_text::CZelStringT<char>& s,
                                                     const char* delims, int& pos);
