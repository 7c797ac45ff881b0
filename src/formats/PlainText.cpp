#include "velmorutils/formats/PlainText.h"

#include <algorithm>

namespace zel_formats {

Verdict checkPlainText(std::string_view text, int lineNumber, int& faultLine) {
    const bool utf16 = text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF";
    if (lineNumber == 1 && utf16) {
        faultLine = 1;
        return Verdict::fail("UTF-16 text; save the file as UTF-8 or plain ASCII");
    }
    const size_t zero = text.find('\0');
    if (zero == std::string_view::npos) return Verdict::pass();
    faultLine = lineNumber + static_cast<int>(std::count(text.begin(), text.begin() + zero, '\n'));
    return Verdict::fail("a zero byte; the file is not plain text (UTF-16 or binary?)");
}

}  // namespace zel_formats
