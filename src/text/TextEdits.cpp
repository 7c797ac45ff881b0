#include "velmorutils/text/TextEdits.h"

#include <cstring>

using zel_text::CZelStringT;

int replaceChars(const char* src, const char* chars, const char* replacement,
                 CZelStringT<char>& out) {
    if (chars == nullptr || *chars == '\0') {
        out.Empty();
        return 0;
    }
    // Built aside: src may be out's own text.
    CZelStringT<char> built;
    int runs = 0;
    for (const char* p = src ? src : ""; *p != '\0';) {
        if (std::strchr(chars, *p) == nullptr) {
            built += *p++;
            continue;
        }
        while (*p != '\0' && std::strchr(chars, *p) != nullptr)
            ++p;
        if (replacement) built += replacement;
        ++runs;
    }
    out = built;
    return runs;
}
