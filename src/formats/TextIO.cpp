#include "velmorutils/formats/TextIO.h"

#include <cstring>

using zel_text::CZelStringT;

namespace {

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}
bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isAllBlank(const CZelStringT<char>& s) {
    for (int i = 0; i < s.GetLength(); ++i) {
        if (!isBlank(s[i])) return false;
    }
    return true;
}

}  // namespace

void ASCII2CString(const char* s, CZelStringT<char>& out) {
    out = s;
}

void CString2ASCII(const char* src, int srcLen, char* dst, int maxLen) {
    if (dst == nullptr || maxLen < 0) return;
    int n = srcLen < maxLen ? srcLen : maxLen;
    if (src == nullptr || n < 0) n = 0;
    if (n > 0) std::memcpy(dst, src, static_cast<size_t>(n));
    dst[n] = '\0';
}

void ReadLine(CFile& file, CZelStringT<char>& line) {
    line.Empty();
    // Bytes gather in a small block before they join the line, so that a long line does not
    // reallocate the string for every byte.
    char pending[128];
    int count = 0;
    const auto flush = [&] {
        if (count > 0) line += CZelStringT<char>(pending, count);
        count = 0;
    };
    char c = 0;
    while (file.Read(&c, 1) == 1) {
        if (!isLineBreak(c)) {
            pending[count++] = c;
            if (count == static_cast<int>(sizeof pending)) flush();
            continue;
        }
        // The break with every CR and LF right after it; the first other byte goes back.
        while (file.Read(&c, 1) == 1) {
            if (!isLineBreak(c)) {
                file.Seek(-1, CFile::current);
                break;
            }
        }
        break;
    }
    flush();
    if (isAllBlank(line)) line.Empty();
}

bool WriteString(std::FILE* f, const CZelStringT<char>& s) {
    if (f == nullptr) return false;
    for (int i = 0; i < s.GetLength(); ++i) {
        if (std::fputc(static_cast<unsigned char>(s[i]), f) == EOF) return false;
    }
    return true;
}
