#include "velmorutils/formats/TextLists.h"

#include <cstring>

using zel_text::CZelStringT;

namespace {

CZelStringT<char> cleanField(CZelStringT<char> field) {
    field.Trim();
    field.Remove('\r');
    field.Remove('\n');
    return field;
}

}  // namespace

bool ParseValues(const CZelStringT<char>& text, CZelStringArray& out, char delim,
                 const CZelStringT<char>& forbidden) {
    const int length = text.GetLength();
    int pos = 0;
    do {
        const int at = text.Find(delim, pos);
        CZelStringT<char> field;
        if (at > 0) {
            field = text.Mid(pos, at - pos);
            pos = at + 1;
        } else {
            field = text.Mid(pos);
            pos = length;
        }
        field = cleanField(field);
        if (!forbidden.IsEmpty() && field.FindOneOf(forbidden) >= 0) return false;
        out.Add(field);
    } while (pos < length);
    return true;
}

bool ParseDelimitersValues(const CZelStringT<char>& text, CZelStringArray& out,
                           const CZelStringT<char>& delims) {
    CZelStringT<char> rest(text);
    do {
        const int at = rest.FindOneOf(delims);
        CZelStringT<char> field;
        if (at > 0) {
            field = rest.Left(at);
            rest = rest.Mid(at + 1);
        } else {
            field = rest;
            rest.Empty();
        }
        out.Add(cleanField(field));
    } while (!rest.IsEmpty());
    return true;
}

const CZelStringT<char> StringArrayToString(const CZelStringArray& a) {
    CZelStringT<char> joined;
    for (int i = 0; i < a.GetSize(); ++i) {
        if (i > 0) joined += ',';
        joined += a[i];
    }
    return joined;
}

bool IsStringInStringArray(const CZelStringArray& a, const CZelStringT<char>& s) {
    for (int i = 0; i < a.GetSize(); ++i) {
        if (a[i].Compare(s) == 0) return true;
    }
    return false;
}

bool IsUIntInUIntArray(const CZelUIntArray& a, int v) {
    // The comparison is the language's unsigned one: -1 matches 0xFFFFFFFF.
    const unsigned wanted = static_cast<unsigned>(v);
    for (int i = 0; i < a.GetSize(); ++i) {
        if (a[i] == wanted) return true;
    }
    return false;
}

CZelStringT<char> Tokenize(CZelStringT<char>& s, const char* delims, int& pos) {
    if (pos < 0) return CZelStringT<char>();
    const int length = s.GetLength();
    if (delims == nullptr || *delims == '\0') {
        if (pos < length) return s.Mid(pos);
        pos = -1;
        return CZelStringT<char>();
    }
    if (pos < length) {
        // strspn and strcspn stop at the terminator (or at an embedded zero), never beyond.
        const char* text = s;
        const int start = pos + static_cast<int>(std::strspn(text + pos, delims));
        if (start < length) {
            const int count = static_cast<int>(std::strcspn(text + start, delims));
            pos = start + count + 1;
            return s.Mid(start, count);
        }
    }
    pos = -1;
    return CZelStringT<char>();
}
