#pragma once

// One walker over printf-style formats, shared by the length estimate and the printing of the
// string class and by the message formatter, so that both always read the same conversions and
// consume the same arguments.
//
// The conventions are those of the Windows runtime the interface was made for, not glibc's:
// `%s`/`%c` take text of the output's own width, `%S`/`%C` the other width, `h` forces 8-bit and
// `l`/`w` 16-bit text or characters; "I64" is a 64-bit integer prefix; `%p` prints the pointer as
// upper-case hexadecimal digits without "0x"; `%n` consumes its pointer but writes nothing; `F`
// and `N` are ignored prefixes. Numbers themselves are printed by the C library.

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "velmorutils/platform/CodePage.h"

namespace zel_printf {

using Unit16 = unsigned short;

enum class Size : unsigned char { None, HH, H, L, LL, BigL, J, Z, T, I32, I64, Ptr, Wide };

struct Spec {
    bool minus = false;
    bool plus = false;
    bool space = false;
    bool zero = false;
    bool hash = false;
    bool starUsed = false;       // width or precision came from the arguments
    bool ignoredPrefix = false;  // an F or N prefix, which glibc does not know
    int width = 0;               // never negative
    int precision = -1;          // -1: none given
    Size size = Size::None;
    char conv = 0;       // 0: the format ended inside the conversion
    int textLength = 0;  // characters from '%' through the conversion character
};

// The value a conversion consumed.
struct Arg {
    long long i = 0;
    unsigned long long u = 0;
    double d = 0.0;
    long double ld = 0.0L;
    const void* p = nullptr;
};

// Arguments read from a va_list.
struct VaSource {
    va_list ap;
    int nextInt() { return va_arg(ap, int); }
    long nextLong() { return va_arg(ap, long); }
    long long nextLongLong() { return va_arg(ap, long long); }
    double nextDouble() { return va_arg(ap, double); }
    long double nextLongDouble() { return va_arg(ap, long double); }
    const void* nextPointer() { return va_arg(ap, const void*); }
};

inline bool isDigit(unsigned c) {
    return c >= '0' && c <= '9';
}

template <class C>
int readNumber(const C*& s) {
    long long v = 0;
    while (isDigit(static_cast<unsigned>(*s))) {
        if (v < 100000000) v = v * 10 + (static_cast<unsigned>(*s) - '0');
        ++s;
    }
    return static_cast<int>(v);
}

// Parses the conversion at s (which points at '%'), reading '*' values from src. Returns the
// position after the conversion (at the terminating zero when the format ended inside it).
template <class C, class Source>
const C* parseSpec(const C* s, Source& src, Spec& spec) {
    const C* const start = s;
    ++s;
    bool widthSet = false;
    for (; *s != 0; ++s) {
        const unsigned c = static_cast<unsigned>(*s);
        if (c == '#')
            spec.hash = true;
        else if (c == '-')
            spec.minus = true;
        else if (c == '+')
            spec.plus = true;
        else if (c == '0')
            spec.zero = true;
        else if (c == ' ')
            spec.space = true;
        else if (c == '*') {
            int w = src.nextInt();
            spec.starUsed = true;
            widthSet = true;
            if (w < 0) {
                spec.minus = true;
                w = w == INT32_MIN ? INT32_MAX : -w;
            }
            spec.width = w;
        } else
            break;
    }
    if (!widthSet) spec.width = readNumber(s);
    if (*s == '.') {
        ++s;
        if (*s == '*') {
            const int p = src.nextInt();
            spec.starUsed = true;
            spec.precision = p < 0 ? -1 : p;
            ++s;
        } else {
            spec.precision = readNumber(s);
        }
    }
    const auto at = [&](int k, char ch) { return static_cast<unsigned>(s[k]) == unsigned(ch); };
    if (at(0, 'I') && at(1, '6') && at(2, '4')) {
        spec.size = Size::I64;
        s += 3;
    } else if (at(0, 'I') && at(1, '3') && at(2, '2')) {
        spec.size = Size::I32;
        s += 3;
    } else if (at(0, 'I')) {
        spec.size = Size::Ptr;
        s += 1;
    } else if (at(0, 'h')) {
        spec.size = at(1, 'h') ? Size::HH : Size::H;
        s += at(1, 'h') ? 2 : 1;
    } else if (at(0, 'l')) {
        spec.size = at(1, 'l') ? Size::LL : Size::L;
        s += at(1, 'l') ? 2 : 1;
    } else if (at(0, 'w')) {
        spec.size = Size::Wide;
        s += 1;
    } else if (at(0, 'L')) {
        spec.size = Size::BigL;
        s += 1;
    } else if (at(0, 'j') || at(0, 'z') || at(0, 't')) {
        spec.size = at(0, 'j') ? Size::J : at(0, 'z') ? Size::Z : Size::T;
        s += 1;
    } else if (at(0, 'F') || at(0, 'N')) {
        spec.ignoredPrefix = true;
        s += 1;
    }
    const unsigned conv = static_cast<unsigned>(*s);
    spec.conv = conv < 128 ? static_cast<char>(conv) : '?';
    if (conv != 0) ++s;
    spec.textLength = static_cast<int>(s - start);
    return s;
}

enum class Kind { Int, Unsigned, Float, Char, Text, Pointer, Count, Unknown, End };

inline Kind kindOf(char conv) {
    switch (conv) {
        case 'd':
        case 'i':
            return Kind::Int;
        case 'u':
        case 'x':
        case 'X':
        case 'o':
            return Kind::Unsigned;
        case 'e':
        case 'E':
        case 'f':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            return Kind::Float;
        case 'c':
        case 'C':
            return Kind::Char;
        case 's':
        case 'S':
            return Kind::Text;
        case 'p':
            return Kind::Pointer;
        case 'n':
            return Kind::Count;
        case 0:
            return Kind::End;
        default:
            return Kind::Unknown;
    }
}

template <class Source>
long long fetchSigned(Size size, Source& src) {
    switch (size) {
        case Size::HH:
            return static_cast<signed char>(src.nextInt());
        case Size::H:
            return static_cast<short>(src.nextInt());
        case Size::L:
            return src.nextLong();
        case Size::LL:
        case Size::I64:
        case Size::J:
        case Size::Z:
        case Size::T:
        case Size::Ptr:
            return src.nextLongLong();
        default:
            return src.nextInt();
    }
}

template <class Source>
unsigned long long fetchUnsigned(Size size, Source& src) {
    switch (size) {
        case Size::HH:
            return static_cast<unsigned char>(src.nextInt());
        case Size::H:
            return static_cast<unsigned short>(src.nextInt());
        case Size::L:
            return static_cast<unsigned long>(src.nextLong());
        case Size::LL:
        case Size::I64:
        case Size::J:
        case Size::Z:
        case Size::T:
        case Size::Ptr:
            return static_cast<unsigned long long>(src.nextLongLong());
        default:
            return static_cast<unsigned int>(src.nextInt());
    }
}

// Consumes the argument of a conversion.
template <class Source>
Arg fetchArg(const Spec& spec, Source& src) {
    Arg a;
    switch (kindOf(spec.conv)) {
        case Kind::Int:
            a.i = fetchSigned(spec.size, src);
            break;
        case Kind::Unsigned:
            a.u = fetchUnsigned(spec.size, src);
            break;
        case Kind::Float:
            if (spec.size == Size::BigL)
                a.ld = src.nextLongDouble();
            else
                a.d = src.nextDouble();
            break;
        case Kind::Char:
            a.i = src.nextInt();
            break;
        case Kind::Text:
        case Kind::Pointer:
        case Kind::Count:
            a.p = src.nextPointer();
            break;
        default:
            break;
    }
    return a;
}

// Whether a text or character conversion takes 8-bit data, for output characters of type C.
template <class C>
bool takesNarrow(const Spec& spec) {
    if (spec.size == Size::H || spec.size == Size::HH) return true;
    if (spec.size == Size::L || spec.size == Size::Wide) return false;
    const bool own = spec.conv == 's' || spec.conv == 'c';
    return own == (sizeof(C) == 1);
}

inline size_t boundedLength(const char* s, int limit) {
    return limit < 0 ? std::strlen(s) : strnlen(s, static_cast<size_t>(limit));
}
inline size_t boundedLength(const Unit16* s, int limit) {
    size_t n = 0;
    const size_t cap = limit < 0 ? SIZE_MAX : static_cast<size_t>(limit);
    while (n < cap && s[n] != 0)
        ++n;
    return n;
}

// Length of "%*.*f" of v with width w and precision q, without printing it in the common case.
template <class F>
long long fixedLength(F v, int w, int q) {
    constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double a = std::fabs(static_cast<double>(v));
    long long len = -1;
    if (std::isfinite(a) && a < 1e15 && q <= 40) {
        int digits = 1;
        while (digits < 15 && a >= kPow10[digits])
            ++digits;
        // Rounding to q decimals may carry into a new integer digit; let the printer decide.
        double unit = 1.0;  // 10^-q
        for (int k = 0; k < q; ++k)
            unit *= 0.1;
        const bool nearCarry = a >= 1.0 && kPow10[digits] - a <= unit;
        if (!nearCarry)
            len = (std::signbit(static_cast<double>(v)) ? 1 : 0) + digits + (q > 0 ? q + 1 : 0);
    }
    if (len < 0) {
        if constexpr (sizeof(F) > sizeof(double))
            len = std::snprintf(nullptr, 0, "%*.*Lf", 0, q, static_cast<long double>(v));
        else
            len = std::snprintf(nullptr, 0, "%*.*f", 0, q, static_cast<double>(v));
    }
    return len > w ? len : w;
}

// Upper bound of the characters a conversion prints; C is the output character type.
template <class C>
long long estimateItem(const Spec& spec, const Arg& a) {
    const long long w = spec.width;
    const long long p = spec.precision > 0 ? spec.precision : 0;
    long long len = 0;
    bool textRow = false;
    switch (kindOf(spec.conv)) {
        case Kind::Char:
            len = 2;
            textRow = true;
            break;
        case Kind::Text:
            textRow = true;
            if (a.p == nullptr)
                len = 6;
            else if (takesNarrow<C>(spec))
                len = static_cast<long long>(boundedLength(
                    static_cast<const char*>(a.p), spec.precision > 0 ? spec.precision : -1));
            else
                len = static_cast<long long>(boundedLength(
                    static_cast<const Unit16*>(a.p), spec.precision > 0 ? spec.precision : -1));
            if (len < 1) len = 1;
            break;
        case Kind::Int:
        case Kind::Unsigned:
        case Kind::Pointer:
            // A sign beside a precision of 32 or more digits needs one more.
            len = std::max({32LL, w + p, p + 1});
            break;
        case Kind::Float:
            if (spec.conv == 'f') {
                const int q = static_cast<int>(p) + 6;
                len = spec.size == Size::BigL ? fixedLength(a.ld, spec.width, q)
                                              : fixedLength(a.d, spec.width, q);
                if (spec.plus || spec.space) ++len;  // the measurement prints no sign flag
            } else {
                // Sign, digit, point, p digits and the longest exponent stay below p + 16.
                len = std::max({128LL, w + p, p + 16});
            }
            break;
        case Kind::Count:
            len = 0;
            break;
        default:  // an unknown conversion or an unfinished one is copied as it stands
            return spec.textLength;
    }
    if (textRow) {
        if (p != 0 && len > p) len = p;
        if (len < w) len = w;
    }
    return len + (spec.hash ? 2 : 0);
}

// Output of a conversion into a bounded buffer of C; it never writes past capacity.
template <class C>
class Writer {
public:
    Writer(C* buffer, long long capacity) : buf_(buffer), cap_(capacity) {}
    void put(C c) {
        if (n_ < cap_) buf_[n_] = c;
        ++n_;
    }
    void putRepeat(C c, long long count) {
        if (count <= 0) return;
        const long long k = std::min(count, room());
        for (long long j = 0; j < k; ++j)
            buf_[n_ + j] = c;
        n_ += count;
    }
    void putAscii(const char* s, size_t len) {
        for (size_t k = 0; k < len; ++k)
            put(static_cast<C>(static_cast<unsigned char>(s[k])));
    }
    template <class D>
    void putUnits(const D* s, size_t len) {
        for (size_t k = 0; k < len; ++k)
            put(static_cast<C>(s[k]));
    }
    long long count() const { return n_; }
    long long room() const { return n_ < cap_ ? cap_ - n_ : 0; }

private:
    C* buf_;
    long long cap_;
    long long n_ = 0;
};

inline void appendSpecForC(std::string& f, const Spec& spec, const char* lengthMod, char conv,
                           int precisionOverride = -2) {
    f += '%';
    if (spec.minus) f += '-';
    if (spec.plus) f += '+';
    if (spec.space) f += ' ';
    if (spec.zero) f += '0';
    if (spec.hash) f += '#';
    if (spec.width > 0) f += std::to_string(spec.width);
    const int prec = precisionOverride == -2 ? spec.precision : precisionOverride;
    if (prec >= 0) {
        f += '.';
        f += std::to_string(prec);
    }
    f += lengthMod;
    f += conv;
}

// Prints a number with the C library into w.
template <class C, class V>
void printNumber(Writer<C>& w, const std::string& f, V value) {
    char small[128];
    const int need = std::snprintf(small, sizeof small, f.c_str(), value);
    if (need < 0) return;
    if (static_cast<size_t>(need) < sizeof small) {
        w.putAscii(small, static_cast<size_t>(need));
        return;
    }
    std::string big(static_cast<size_t>(need) + 1, '\0');
    std::snprintf(big.data(), big.size(), f.c_str(), value);
    w.putAscii(big.data(), static_cast<size_t>(need));
}

// Pads text of len units (already converted to C) to the width.
template <class C>
void printPadded(Writer<C>& w, const Spec& spec, const C* text, size_t len) {
    const long long pad =
        spec.width > static_cast<long long>(len) ? spec.width - static_cast<long long>(len) : 0;
    const C fill = spec.zero && !spec.minus ? C('0') : C(' ');
    if (!spec.minus) w.putRepeat(fill, pad);
    w.putUnits(text, len);
    if (spec.minus) w.putRepeat(C(' '), pad);
}

template <class C>
std::basic_string<C> convertText(const char* s, size_t len) {
    if constexpr (sizeof(C) == 1) {
        return std::basic_string<C>(s, len);
    } else {
        std::basic_string<C> out(len, C(0));
        if (len > 0)
            zel_platform::MultiByteToWideChar(s, static_cast<int>(len),
                                              reinterpret_cast<Unit16*>(out.data()),
                                              static_cast<int>(len));
        return out;
    }
}
template <class C>
std::basic_string<C> convertText(const Unit16* s, size_t len) {
    if constexpr (sizeof(C) == 2) {
        return std::basic_string<C>(reinterpret_cast<const C*>(s), len);
    } else {
        std::basic_string<C> out(len, C(0));
        int n = 0;
        if (len > 0)
            n = zel_platform::WideCharToMultiByte(s, static_cast<int>(len), out.data(),
                                                  static_cast<int>(len));
        out.resize(static_cast<size_t>(n));
        return out;
    }
}

template <class C>
void printText(Writer<C>& w, const Spec& spec, const Arg& a) {
    std::basic_string<C> text;
    const bool narrow = takesNarrow<C>(spec);
    if (a.p == nullptr) {
        text = convertText<C>("(null)", 6);
    } else if (narrow) {
        const char* s = static_cast<const char*>(a.p);
        text = convertText<C>(s, boundedLength(s, spec.precision));
    } else {
        const Unit16* s = static_cast<const Unit16*>(a.p);
        text = convertText<C>(s, boundedLength(s, spec.precision));
    }
    if (spec.precision >= 0 && text.size() > static_cast<size_t>(spec.precision))
        text.resize(static_cast<size_t>(spec.precision));
    printPadded(w, spec, text.data(), text.size());
}

template <class C>
void printChar(Writer<C>& w, const Spec& spec, const Arg& a) {
    std::basic_string<C> text;
    if (takesNarrow<C>(spec)) {
        const char c = static_cast<char>(a.i);
        text = convertText<C>(&c, 1);
    } else {
        const Unit16 u = static_cast<Unit16>(a.i);
        text = convertText<C>(&u, 1);
    }
    printPadded(w, spec, text.data(), text.size());
}

template <class C>
void printItem(Writer<C>& w, const Spec& spec, const Arg& a, const C* specText) {
    std::string f;
    switch (kindOf(spec.conv)) {
        case Kind::Int:
            appendSpecForC(f, spec, "ll", spec.conv);
            printNumber(w, f, a.i);
            break;
        case Kind::Unsigned:
            appendSpecForC(f, spec, "ll", spec.conv);
            printNumber(w, f, a.u);
            break;
        case Kind::Float:
            if (spec.size == Size::BigL) {
                appendSpecForC(f, spec, "L", spec.conv);
                printNumber(w, f, a.ld);
            } else {
                appendSpecForC(f, spec, "", spec.conv);
                printNumber(w, f, a.d);
            }
            break;
        case Kind::Pointer:
            appendSpecForC(f, spec, "ll", 'X',
                           spec.precision >= 0 ? spec.precision : int(2 * sizeof(void*)));
            printNumber(w, f, static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(a.p)));
            break;
        case Kind::Char:
            printChar(w, spec, a);
            break;
        case Kind::Text:
            printText(w, spec, a);
            break;
        case Kind::Count:
            break;  // writing through the pointer is refused, as the original runtime does
        default:
            w.putUnits(specText, static_cast<size_t>(spec.textLength));
            break;
    }
}

// Whether glibc would print this conversion exactly as the conventions above ask, so that an
// 8-bit format made only of such conversions can go to vsnprintf in one call.
inline bool sameInGlibc(const Spec& spec) {
    if (spec.starUsed || spec.ignoredPrefix) return false;
    switch (kindOf(spec.conv)) {
        case Kind::Int:
        case Kind::Unsigned:
            return spec.size == Size::None || spec.size == Size::H || spec.size == Size::HH ||
                   spec.size == Size::L || spec.size == Size::LL || spec.size == Size::J ||
                   spec.size == Size::Z || spec.size == Size::T;
        case Kind::Float:
            return spec.size == Size::None || spec.size == Size::L || spec.size == Size::BigL;
        case Kind::Char:
        case Kind::Text:
            return spec.conv != 'C' && spec.conv != 'S' && spec.size == Size::None && !spec.zero;
        default:
            return false;
    }
}

struct EstimateResult {
    long long length = 0;
    bool sameInGlibc = true;
    bool textInRange = false;  // a text argument points into [lo, hi)
};

// Walks fmt once, consuming the arguments, and bounds the printed length from above. It also
// tells whether a text argument lies in [lo, hi), so that a caller printing into that memory can
// print elsewhere first.
template <class C, class Source>
EstimateResult estimate(const C* fmt, Source& src, const void* lo = nullptr,
                        const void* hi = nullptr) {
    EstimateResult r;
    const C* s = fmt;
    while (*s != 0) {
        if (*s != C('%')) {
            ++r.length;
            ++s;
            continue;
        }
        if (s[1] == C('%')) {
            ++r.length;
            s += 2;
            continue;
        }
        Spec spec;
        s = parseSpec(s, src, spec);
        const Arg a = fetchArg(spec, src);
        r.length += estimateItem<C>(spec, a);
        if (kindOf(spec.conv) == Kind::Text && a.p != nullptr) {
            const auto q = reinterpret_cast<uintptr_t>(a.p);
            if (q >= reinterpret_cast<uintptr_t>(lo) && q < reinterpret_cast<uintptr_t>(hi))
                r.textInRange = true;
        }
        if (r.sameInGlibc && !sameInGlibc(spec)) r.sameInGlibc = false;
        // glibc prints a null text as "(null)" only when the precision leaves room for all of
        // it; the conventions here cut "(null)" to the precision like any other text.
        if (kindOf(spec.conv) == Kind::Text && a.p == nullptr) r.sameInGlibc = false;
    }
    return r;
}

// Prints fmt into buffer (at most capacity characters, no terminator); returns the count printed.
template <class C, class Source>
long long print(const C* fmt, Source& src, C* buffer, long long capacity) {
    Writer<C> w(buffer, capacity);
    const C* s = fmt;
    while (*s != 0) {
        if (*s != C('%')) {
            w.put(*s++);
            continue;
        }
        if (s[1] == C('%')) {
            w.put(C('%'));
            s += 2;
            continue;
        }
        Spec spec;
        const C* const specText = s;
        s = parseSpec(s, src, spec);
        const Arg a = fetchArg(spec, src);
        printItem(w, spec, a, specText);
    }
    return std::min(w.count(), capacity);
}

}  // namespace zel_printf
