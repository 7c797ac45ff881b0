#include "velmorutils/platform/CodePage.h"

#include <iconv.h>

#include <array>
#include <cstdint>

namespace {

constexpr uint16_t kReplacementUnit = 0xFFFD;
constexpr char kDefaultChar = '?';

bool isHighSurrogate(uint16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLowSurrogate(uint16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Windows-1252 is a single-byte code page, so the C library's converter is asked once per byte
// and the answers are kept in two tables; every later conversion is a table look-up.
class Cp1252Tables {
public:
    Cp1252Tables() {
        toByte_.fill(0);
        fillFromIconv();
        for (int b = 0; b < 256; ++b) {
            const uint16_t u = toUnit_[b];
            if (u != kReplacementUnit) toByte_[u] = static_cast<unsigned char>(b);
        }
    }

    uint16_t unit(unsigned char b) const { return toUnit_[b]; }
    // 0 for the zero unit itself and for units without a byte; callers tell them apart.
    unsigned char byte(uint16_t u) const { return toByte_[u]; }

private:
    void fillFromIconv() {
        iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1252");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            fillLatin1();  // no converter installed: the code page's Latin-1 part still holds
            return;
        }
        for (int b = 0; b < 256; ++b) {
            char in = static_cast<char>(b);
            unsigned char out[4] = {};
            char* inp = &in;
            char* outp = reinterpret_cast<char*>(out);
            size_t inLeft = 1;
            size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
            const bool ok = rc != static_cast<size_t>(-1) && sizeof out - outLeft == 2;
            toUnit_[b] = ok ? static_cast<uint16_t>(out[0] | (out[1] << 8)) : kReplacementUnit;
        }
        iconv_close(cd);
    }

    void fillLatin1() {
        for (int b = 0; b < 256; ++b)
            toUnit_[b] = (b >= 0x80 && b < 0xA0) ? kReplacementUnit : static_cast<uint16_t>(b);
    }

    std::array<uint16_t, 256> toUnit_{};
    std::array<unsigned char, 65536> toByte_{};
};

const Cp1252Tables& tables() {
    static const Cp1252Tables t;
    return t;
}

template <class C>
int measure(const C* src) {
    int n = 0;
    while (src[n] != 0)
        ++n;
    return n + 1;
}

}  // namespace

namespace zel_platform {

int MultiByteToWideChar(const char* src, int srcLen, unsigned short* dst, int dstCap) {
    if (src == nullptr || srcLen < -1 || dstCap < 0) return 0;
    if (srcLen == -1) srcLen = measure(src);
    if (dstCap == 0) return srcLen;
    if (dstCap < srcLen || dst == nullptr) return 0;
    const Cp1252Tables& t = tables();
    for (int i = 0; i < srcLen; ++i)
        dst[i] = t.unit(static_cast<unsigned char>(src[i]));
    return srcLen;
}

int WideCharToMultiByte(const unsigned short* src, int srcLen, char* dst, int dstCap) {
    if (src == nullptr || srcLen < -1 || dstCap < 0) return 0;
    if (srcLen == -1) srcLen = measure(src);
    const Cp1252Tables& t = tables();
    int written = 0;
    for (int i = 0; i < srcLen; ++i) {
        const uint16_t u = src[i];
        char c = 0;
        if (u != 0) {
            const unsigned char b = t.byte(u);
            c = b != 0 ? static_cast<char>(b) : kDefaultChar;
            // A pair of surrogates is one character, so it gets one default character.
            if (isHighSurrogate(u) && i + 1 < srcLen && isLowSurrogate(src[i + 1])) ++i;
        }
        if (dstCap != 0) {
            if (written >= dstCap || dst == nullptr) return 0;
            dst[written] = c;
        }
        ++written;
    }
    return written;
}

}  // namespace zel_platform
