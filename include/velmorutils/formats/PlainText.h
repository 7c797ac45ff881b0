#pragma once

#include <string_view>

#include "velmorutils/formats/Verdict.h"
#include "velmorutils/platform/Export.h"

// Whether bytes read from a file are 8-bit text (UTF-8, ASCII or a code page) that a line-based
// reader may take as it is. UTF-16 read as 8-bit text silently loses every other character, and a
// zero byte ends a C string wherever it stands: both are refused, with the line they stand on.
// One check for every reader of text files: the road tool's design and point files, LandXML.
namespace zel_formats {

// The text of a file, or one of its lines (lineNumber: the line text starts on, from 1). A
// UTF-16 byte-order mark counts only at the start of a file (lineNumber 1). On failure,
// faultLine is the line of the fault and the message one of:
//   "UTF-16 text; save the file as UTF-8 or plain ASCII"
//   "a zero byte; the file is not plain text (UTF-16 or binary?)"
VELMORUTILS_API Verdict checkPlainText(std::string_view text, int lineNumber, int& faultLine);

}  // namespace zel_formats
