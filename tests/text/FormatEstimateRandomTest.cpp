#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "../../src/text/PrintfWalker.h"
#include "StringTestSupport.h"

// Many generated formats and arguments: the length estimate must never be below what is then
// printed, for either width of string, so no print is ever cut short or writes past its block.

namespace {

template <class C>
long long estimateOf(const C* fmt, ...) {
    zel_printf::VaSource src;
    va_start(src.ap, fmt);
    const long long n = zel_printf::estimate(fmt, src).length;
    va_end(src.ap);
    return n;
}

// What the walker prints when given all the room it could want.
template <class C>
std::basic_string<C> printedOf(const C* fmt, ...) {
    std::vector<C> big(1 << 16);
    zel_printf::VaSource src;
    va_start(src.ap, fmt);
    const long long n = zel_printf::print(fmt, src, big.data(), static_cast<long long>(big.size()));
    va_end(src.ap);
    return std::basic_string<C>(big.data(), static_cast<size_t>(n));
}

// Own and Other: text of the string's own width and of the other width.
enum class ArgKind { Int, Int64, Double, Narrow, Wide, Own, Other, Pointer, Char, None };

struct Generated {
    std::string format;  // ASCII, widened for the 16-bit string
    ArgKind kind = ArgKind::None;
    int stars = 0;
    bool glibcSafe = true;  // same meaning in glibc's printf
};

class FormatGenerator {
public:
    explicit FormatGenerator(unsigned seed) : rng_(seed) {}

    Generated next() {
        Generated g;
        g.format = literal() + '%';
        for (int i = pick(0, 3); i > 0; --i)
            g.format += "-+ 0#"[pick(0, 4)];
        const int width = pick(0, 3);  // none, 0 to 60, 1 to 9, a star
        if (width == 1 || width == 2)
            g.format += std::to_string(width == 1 ? pick(0, 60) : pick(1, 9));
        if (width == 3) g.format += '*', ++g.stars;
        const int precision = pick(0, 3);  // none, .0 to .60, a bare dot, a star
        if (precision == 1) g.format += '.' + std::to_string(pick(0, 60));
        if (precision == 2) g.format += '.';
        if (precision == 3) g.format += ".*", ++g.stars;
        struct Conv {
            const char* text;
            ArgKind kind;
            bool glibc;
        };
        using K = ArgKind;
        static const Conv kConvs[] = {
            {"d", K::Int, true},      {"i", K::Int, true},       {"u", K::Int, true},
            {"x", K::Int, true},      {"X", K::Int, true},       {"o", K::Int, true},
            {"hd", K::Int, true},     {"I64d", K::Int64, false}, {"I64x", K::Int64, false},
            {"lld", K::Int64, true},  {"f", K::Double, true},    {"e", K::Double, true},
            {"E", K::Double, true},   {"g", K::Double, true},    {"G", K::Double, true},
            {"a", K::Double, true},   {"A", K::Double, true},    {"s", K::Own, true},
            {"hs", K::Narrow, false}, {"S", K::Other, false},    {"ls", K::Wide, false},
            {"c", K::Char, true},     {"C", K::Char, false},     {"lc", K::Char, false},
            {"p", K::Pointer, false}, {"y", K::None, false},     {"", K::None, false}};
        const Conv& c = kConvs[pick(0, static_cast<int>(std::size(kConvs)) - 1)];
        g.format += c.text;
        g.kind = c.kind;
        g.glibcSafe = c.glibc && g.stars == 0 && g.format.find('0') == std::string::npos;
        if (c.text[0] != '\0') g.format += literal();
        return g;
    }

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    double value() {
        const int kind = pick(0, 4);
        if (kind == 0) return pick(-1000, 1000);
        if (kind == 1) return std::uniform_real_distribution<double>(-1e6, 1e6)(rng_);
        if (kind == 2)
            return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(rng_),
                              pick(-1070, 1023));
        if (kind == 3) return pick(0, 1) ? INFINITY : -NAN;
        return std::nextafter(std::pow(10.0, pick(0, 15)), 0.0);
    }
    long long integer() {
        return std::uniform_int_distribution<long long>(LLONG_MIN, LLONG_MAX)(rng_) >> pick(0, 63);
    }
    std::string narrowText() {
        std::string s;
        for (int i = pick(0, 40); i > 0; --i)
            s += static_cast<char>(pick(1, 255));
        return s;
    }
    std::u16string wideText() {
        std::u16string s;
        for (int i = pick(0, 40); i > 0; --i) {  // ASCII, any unit, stray or paired halves
            const int k = pick(0, 3);
            s += static_cast<char16_t>(k == 0 ? pick(0xD800, 0xDFFF)
                                              : pick(1, k == 1 ? 0x7F : 0xFFFF));
        }
        return s;
    }
    int star() { return pick(-40, 70); }

private:
    std::string literal() {
        std::string s;
        for (int i = pick(0, 4); i > 0; --i)
            s += pick(0, 5) == 0 ? "%%" : "ab";
        return s;
    }
    std::mt19937 rng_;
};

// Runs one generated case on the string of character type C: f(fmt, args...) is called with
// the stars and the value the format asks for.
template <class C, class F>
void dispatch(const Generated& g, FormatGenerator& gen, F f) {
    const std::basic_string<C> fmt(g.format.begin(), g.format.end());
    const int s1 = gen.star();
    const int s2 = gen.star();
    auto withStars = [&](auto value) {
        if (g.stars == 0) f(fmt.c_str(), value);
        if (g.stars == 1) f(fmt.c_str(), s1, value);
        if (g.stars == 2) f(fmt.c_str(), s1, s2, value);
    };
    const std::string narrow = gen.narrowText();
    const std::u16string wide = gen.wideText();
    ArgKind kind = g.kind;
    if (kind == ArgKind::Own) kind = sizeof(C) == 1 ? ArgKind::Narrow : ArgKind::Wide;
    if (kind == ArgKind::Other) kind = sizeof(C) == 1 ? ArgKind::Wide : ArgKind::Narrow;
    if (kind == ArgKind::Int) return withStars(static_cast<int>(gen.integer()));
    if (kind == ArgKind::Int64) return withStars(gen.integer());
    if (kind == ArgKind::Double) return withStars(gen.value());
    if (kind == ArgKind::Narrow) return withStars(gen.pick(0, 9) == 0 ? nullptr : narrow.c_str());
    if (kind == ArgKind::Wide) return withStars(gen.pick(0, 9) == 0 ? nullptr : w(wide.c_str()));
    if (kind == ArgKind::Pointer) return withStars(reinterpret_cast<void*>(gen.integer()));
    if (kind == ArgKind::Char) return withStars(gen.pick(0, 0xFFFF));
    withStars(0);
}

// The estimate covers the walker's output, Format prints exactly that, and where glibc gives
// the conversion the same meaning, it prints the same. The 8-bit block is the estimate itself.
template <class C>
void checkGeneratedFormats(unsigned seed) {
    FormatGenerator gen(seed);
    for (int i = 0; i < 20000; ++i) {
        const Generated g = gen.next();
        dispatch<C>(g, gen, [&](const C* fmt, auto... args) {
            const long long est = estimateOf(fmt, args...);
            const std::basic_string<C> printed = printedOf(fmt, args...);
            ASSERT_GE(est, static_cast<long long>(printed.size())) << g.format;
            zel_text::CZelStringT<C> s;
            s.Format(fmt, args...);
            ASSERT_EQ(std::basic_string<C>(s, static_cast<size_t>(s.GetLength())), printed)
                << g.format;
            if constexpr (sizeof(C) == 1) {
                ASSERT_EQ(s.GetAllocLength(), est) << g.format;
                if (!g.glibcSafe) return;
                std::vector<char> ref(1 << 16);
                const int n = std::snprintf(ref.data(), ref.size(), fmt, args...);
                ASSERT_EQ(printed, std::string(ref.data(), static_cast<size_t>(n))) << g.format;
            }
        });
    }
}

TEST(FormatEstimate, NeverBelowThePrintedLengthForEightAndSixteenBitStrings) {
    checkGeneratedFormats<char>(20261205);
    checkGeneratedFormats<unsigned short>(4091);
}

// Beyond what the generator reaches: a precision far over 60 on a tiny exponent.
TEST(FormatEstimate, LongPrecisionBeyondTheGeneratedRangeStillFits) {
    S8 s;
    s.Format("%.120e", -1.5e-300);
    EXPECT_EQ(s.GetLength(), 128);
}

}  // namespace
