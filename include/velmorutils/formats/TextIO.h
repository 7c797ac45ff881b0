#pragma once

#include <cstdio>

#include "velmorutils/platform/CFile.h"
#include "velmorutils/platform/Export.h"
#include "velmorutils/text/CZelStringT.h"

// Text moved between plain character buffers, files and strings.

// out = s (a null s gives "").
VELMORUTILS_API void ASCII2CString(const char* s, zel_text::CZelStringT<char>& out);

// Copies min(srcLen, maxLen) characters and a terminating zero: dst holds maxLen + 1 bytes.
VELMORUTILS_API void CString2ASCII(const char* src, int srcLen, char* dst, int maxLen);

// The next non-empty line of a text file, without its line break; "" at the end of the file or
// for a line of only white space. Any run of CR and LF counts as one line break, so empty lines
// are skipped. Reads byte by byte and gives back the one byte read past the break.
VELMORUTILS_API void ReadLine(CFile& file, zel_text::CZelStringT<char>& line);

// Writes the characters of s, without a line end; false at the first failed write.
VELMORUTILS_API bool WriteString(std::FILE* f, const zel_text::CZelStringT<char>& s);
