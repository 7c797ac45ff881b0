#include "velmorutils/formats/NumberParsing.h"

#include <cstdio>

using zel_text::CZelStringT;

namespace {

bool isNullOrEmpty(const char* s) {
    return s == nullptr || *s == '\0';
}

// Reads one value with a single-conversion scanf format; v is zero unless it was read.
template <class T>
int scanOne(const char* s, const char* format, T& v) {
    v = T{};
    if (isNullOrEmpty(s)) return 0;
    T read{};
    if (std::sscanf(s, format, &read) != 1) return 0;
    v = read;
    return 1;
}

}  // namespace

CZelStringT<char> ReplaceCommasWithDecPt(const CZelStringT<char>& s) {
    CZelStringT<char> copy(s);
    copy.Replace(',', '.');
    return copy;
}

double StringToDouble(const CZelStringT<char>& s) {
    if (s.IsEmpty()) return 0.0;
    double v = 0.0;
    scanOne(static_cast<const char*>(ReplaceCommasWithDecPt(s)), "%lf", v);
    return v;
}

float StringToFloat(const CZelStringT<char>& s) {
    return static_cast<float>(StringToDouble(s));
}

int StringToInt(const CZelStringT<char>& s) {
    int v = 0;
    scanOne(static_cast<const char*>(s), "%d", v);
    return v;
}

int StringToDouble(const char* s, double& v) {
    v = 0.0;
    if (isNullOrEmpty(s)) return 0;
    return scanOne(static_cast<const char*>(ReplaceCommasWithDecPt(s)), "%lf", v);
}

int StringToFloat(const char* s, float& v) {
    v = 0.0f;
    if (isNullOrEmpty(s)) return 0;
    return scanOne(static_cast<const char*>(ReplaceCommasWithDecPt(s)), "%f", v);
}

int StringToInt(const char* s, int& v) {
    return scanOne(s, "%d", v);
}
int StringToLong(const char* s, long& v) {
    return scanOne(s, "%ld", v);
}
int StringToUint(const char* s, unsigned& v) {
    return scanOne(s, "%u", v);
}
int StringToShort(const char* s, short& v) {
    return scanOne(s, "%hd", v);
}
