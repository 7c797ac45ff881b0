#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "StringTestSupport.h"

namespace {

TEST(StringFormat, BlockIsSizedByTheEstimateAndWindowsLengthsStarsAndNullTextsPrint) {
    S8 s;
    s.Format("%s|%d", "abc", 7);
    EXPECT_EQ(str(s), "abc|7");
    EXPECT_EQ(s.GetLength(), 5);
    EXPECT_EQ(s.GetAllocLength(), 36);  // 3 + 1 + 32
    S16 w16;
    w16.Format(w(u"%s|%d"), w(u"abc"), 7);
    EXPECT_EQ(u16(w16), u"abc|7");
    EXPECT_EQ(w16.GetAllocLength(), 36);
    // Windows lengths, stars and null texts.
    s.Format("%I64d %I64u %lld", static_cast<long long>(-9000000000LL),
             static_cast<unsigned long long>(18000000000ULL), 42LL);
    EXPECT_EQ(str(s), "-9000000000 18000000000 42");
    s.Format("%*d|%-*d|%.*f|%s", 5, 42, 4, 7, 2, 3.14159, static_cast<const char*>(nullptr));
    EXPECT_EQ(str(s), "   42|7   |3.14|(null)");
    // A null text is cut to the precision like any other, also where glibc would drop it.
    s.Format("[%.3s][%8.2s]", static_cast<const char*>(nullptr), static_cast<const char*>(nullptr));
    EXPECT_EQ(str(s), "[(nu][      (n]");
}

TEST(StringFormat, ArgumentsFromTheStringItselfAreSafe) {
    S8 s("station");
    s.GetBuffer(100);  // room enough to print in place
    s.Format("%s %s", static_cast<const char*>(s), static_cast<const char*>(s));
    EXPECT_EQ(str(s), "station station");
    S8 fmt("%d-%d");
    fmt.Format(fmt, 1, 2);
    EXPECT_EQ(str(fmt), "1-2");
}

TEST(StringFormat, FixedConversionEstimateMatchesItsMeasurement) {
    // The block is the length of the value printed with six more decimals than asked for
    // (nine here), whatever the magnitude.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> exponent(-10.0, 20.0);
    for (int i = 0; i < 2000; ++i) {
        double v = std::pow(10.0, exponent(rng)) * ((i & 1) ? -1 : 1);
        if (i % 7 == 0) v = std::nearbyint(v) - 1e-13;  // near a carry into a new digit
        S8 s;
        s.Format("%.3f", v);
        const int measured = std::snprintf(nullptr, 0, "%.9f", v);
        ASSERT_EQ(s.GetAllocLength(), measured) << v;
        char printed[400];
        std::snprintf(printed, sizeof printed, "%.3f", v);
        ASSERT_EQ(str(s), printed);
    }
}

}  // namespace
