#include "velmorutils/inlines/ObjName.h"

#include "velmorutils/text/TextEdits.h"

namespace {
constexpr char kBlanks[] = " \t";
}

void ObjName::normalizeName(zel_text::CZelStringT<char>& out,
                            const zel_text::CZelStringT<char>& in) {
    zel_text::CZelStringT<char> trimmed(in);
    trimmed.TrimRight(kBlanks);
    trimmed.TrimLeft(kBlanks);
    replaceChars(trimmed, kBlanks, " ", out);
}
