#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <string>

#include "text/StringTestSupport.h"
#include "velmorutils/velmorutils.h"

using zel_text::CZelStringT;

namespace {

// Expected angle texts are written with '@' for the degree sign, the byte 0xB0.
std::string deg(std::string text) {
    for (char& c : text) {
        if (c == '@') c = '\xB0';
    }
    return text;
}

}  // namespace

TEST(DoubleToString, ShortestFormCutsZerosThenLengthOrFixedDecimals) {
    const std::pair<CZelStringT<char>, const char*> cases[] = {
        {DoubleToString(2.5), "2.5"},
        {DoubleToString(100.0), "100"},
        {DoubleToString(-1e-15), "-0"},
        {DoubleToString(-2.0 / 3), "-0.666666666667"},
        {DoubleToString(1234567.123456789), "1234567.1234567"},
        {DoubleToString(123456789012345.0), "12345678901234"},
        {DoubleToString(5.0, 1), "5.0"},
        {DoubleToString(2.0, 0), "2"},
        {DoubleToString(-0.004, 2), "-0.00"},
        {DoubleToString(1.5, 10), "1.5000000000"}};
    for (const auto& [got, want] : cases)
        EXPECT_EQ(str(got), want);
}

TEST(FormatFloat, RoundsTheFractionTowardZerosSide) {
    EXPECT_DOUBLE_EQ(FormatFloat(1.26, 1), 1.3);
    EXPECT_DOUBLE_EQ(FormatFloat(-1.26, 1), -1.2);
    EXPECT_DOUBLE_EQ(FormatFloat(-2.5, -3), -2.0);
    // An absurd count ends at once instead of multiplying two billion times.
    EXPECT_TRUE(std::isnan(FormatFloat(1.5, 2000000000)));
}

TEST(AngleToString, SignsReachEveryFieldAndSecondsThatWouldShowAsSixtyCarry) {
    EXPECT_EQ(str(AngleToString(123.5)), deg("123@30'0.00000\""));
    EXPECT_EQ(str(AngleToString(5.25)), deg("  5@15'0.00000\""));
    EXPECT_EQ(str(AngleToString(-10.5)), deg("-10@-30'0.00000\""));
    EXPECT_EQ(str(AngleToString(-0.5)), deg("  0@-30'0.00000\""));
    EXPECT_EQ(str(ShortAngleToString(-(10 + 5 / 60.0 + 7.5 / 3600))), deg("-10@-5'-7\""));
    EXPECT_EQ(str(AngleToStringDDDMMSS(7 + 5 / 60.0 + 7.5 / 3600)), deg("  7@05'07\""));
    // 59.99999 s still shows as it is...
    EXPECT_EQ(str(AngleToString(10 + 30 / 60.0 + 59.99999 / 3600)), deg(" 10@30'59.99999\""));
    // ...59.999997 s would show as 60.00000 and goes into the minutes, and on into degrees.
    EXPECT_EQ(str(AngleToString(10 + 30 / 60.0 + 59.999997 / 3600)), deg(" 10@31'0.00000\""));
    EXPECT_EQ(str(ShortAngleToString(10 + 30 / 60.0 + 59.999997 / 3600)), deg(" 10@31'0\""));
    EXPECT_EQ(str(AngleToString(10.999999999)), deg(" 11@00'0.00000\""));
    EXPECT_EQ(str(AngleToString(-10.999999999)), deg("-11@00'0.00000\""));
    EXPECT_EQ(str(AngleToStringDDDMMSS(-(30 + 59.999997 / 3600))), deg("-30@-1'00\""));
    EXPECT_EQ(str(AngleToString(-(59.999998 / 3600))), deg("  0@-1'0.00000\""));
}

TEST(Check60Round, CarriesAwayFromZeroAtTheGivenDecimals) {
    int d = 10, m = 59;
    double s = 59.94;
    check60round(d, m, s, 1);
    EXPECT_EQ(d * 100 + m, 1059);
    EXPECT_DOUBLE_EQ(s, 59.94);
    s = 59.96;  // "60.0" at one decimal: carries through the minutes into the degrees
    check60round(d, m, s, 1);
    EXPECT_EQ(d * 100 + m, 1100);
    EXPECT_EQ(s, 0.0);
    d = 0, m = 0, s = -59.999996;
    check60round(d, m, s, 5);
    EXPECT_EQ(d * 100 + m, -1);
}

TEST(Check60Round, CarriesStopAtTheEndsOfTheIntRange) {
    // Degrees and minutes already at the int limits stay there instead of wrapping around.
    const struct {
        int d, m;
        double s;
        int wantD, wantM;
    } cases[] = {{INT_MIN, 59, 60.0, INT_MIN, 0},
                 {INT_MAX, 59, 60.0, INT_MAX, 0},
                 {7, INT_MAX, 60.0, 8, INT_MAX - 60},
                 {7, INT_MIN, -60.0, 6, INT_MIN + 60},
                 {INT_MIN, -59, -60.0, INT_MIN, 0}};
    for (const auto& c : cases) {
        int d = c.d, m = c.m;
        double s = c.s;
        check60round(d, m, s, 5);
        EXPECT_EQ(d, c.wantD) << c.d << " " << c.m;
        EXPECT_EQ(m, c.wantM) << c.d << " " << c.m;
        EXPECT_EQ(s, 0.0);
    }
}

TEST(LatitudeToString, HemisphereLetterTakesTheSign) {
    EXPECT_EQ(str(LatitudeToString(0.0, true)), deg("  0@00'00.00000\"S"));
    EXPECT_EQ(str(LongitudeToString(-12.3456, true)), deg(" 12@20'44.16000\"W"));
    EXPECT_EQ(str(LongitudeToString(179.9999999999, true)), deg("180@00'00.00000\"E"));
    // Tenths are truncated: 59.96 s shows as 59.9.
    EXPECT_EQ(str(LatitudeToString(10 + 59 / 60.0 + 59.96 / 3600, false)), deg(" 10@59'59.9\"N"));
}

TEST(PackedDms, ConversionsBothWaysAndRoundTripWithinTheSecondsMargin) {
    EXPECT_DOUBLE_EQ(Deg2DDDMMSS(12.5, 5), 12.3);
    EXPECT_DOUBLE_EQ(Deg2DDDMMSS(-30.25, 5), -30.15);
    // 59.99964 s lie within 0.06 s of 60 and carry through minutes into degrees.
    EXPECT_DOUBLE_EQ(Deg2DDDMMSS(10.99999, 5), 11.0);
    EXPECT_DOUBLE_EQ(Deg2DDDMMSS(359.99999, 5), 0.0);
    EXPECT_NEAR(Deg2DDDMMSS(370.5, 5), 10.3, 1e-12);
    EXPECT_NEAR(DDDMMSS2Deg(12.0075), 12 + 75 / 3600.0, 1e-12);  // 75 s are simply added
    EXPECT_NEAR(DDDMMSS2Deg(29.2999999999), 29.5, 1e-12);        // minutes 29.9999999 -> 30
    EXPECT_EQ(DDDMMSS2Deg(12.29599999), 12.5);  // seconds 59.9999 read as a whole minute
    EXPECT_NEAR(DDDMMSS2Deg(-45.3015), -(45 + 30 / 60.0 + 15 / 3600.0), 1e-12);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> angle(-720.0, 720.0);
    for (int i = 0; i < 20000; ++i) {
        const double a = angle(rng);
        const double back = DDDMMSS2Deg(Deg2DDDMMSS(a, 5));
        // Equal modulo 360; only seconds within 0.06 of 60 are moved, to the next minute.
        EXPECT_LT(std::fabs(std::remainder(back - a, 360.0)), 0.0601 / 3600) << a;
    }
}

TEST(AngleToRad, SignOfDegreesDoesNotReachMinutes) {
    EXPECT_DOUBLE_EQ(AngleToRad("-10", "30", "0"), -9.5 / 57.29577951308232);
    EXPECT_DOUBLE_EQ(AngleToRad("45", "30,5", ""), (45 + 30.5 / 60) / 57.29577951308232);
}

TEST(CheckValidDMSVal, FieldsAndMaximum) {
    struct Case {
        const char* text;
        const char* max;
        bool decimalDegrees, valid;
    };
    const Case cases[] = {
        {"90.0000", "90", true, true},     {"90.0001", "90", true, false},
        {"90", "90", false, false},        {"45.6", "90", false, false},  // minutes "60"
        {"45.5", "90", false, true},       {"1.2.3", "90", true, false},
        {" -45,3059 ", "90", false, true}, {"45.3060", "90", false, false},
        {"45.59599", "90", false, true},  // decimals of seconds unexamined
        {"359.5959", "360", false, true},  {"45a", "90", false, false},
        {"4 5", "90", false, false}};
    for (const Case& c : cases)
        EXPECT_EQ(CheckValidDMSVal(c.text, c.max, c.decimalDegrees), c.valid) << c.text;
}

TEST(Stations, TextsOfSignsAndCarriesAndReadingWithItsFailures) {
    EXPECT_EQ(str(StnToString(1234.567, 100)), "12+34.57");
    EXPECT_EQ(str(StnToString(1999.999, 1000)), "1+1000.00");  // rounded by the format only
    EXPECT_EQ(str(StnToString(-50, 1000)), "0+-50.00");
    EXPECT_EQ(str(StnToString(-1234.5, 1000)), "-1+-234.50");
    double c = 7.0;
    for (const char* bad : {"12+", "", "   ", "km", "+5"})
        EXPECT_EQ(StnFromString(bad, c, 100), 0) << bad;
    EXPECT_EQ(c, 7.0);
    EXPECT_EQ(StnFromString("1234,5", c, 100), 1);
    EXPECT_EQ(c, 1234.5);
    EXPECT_EQ(StnFromString("1+234,5", c, 1000), 1);
    EXPECT_EQ(c, 1234.5);
}

TEST(Stations, RoundTripToTheCentimetre) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> chainage(-25000.0, 25000.0);
    for (const double length : {1000.0, 100.0, 20.0}) {
        for (int i = 0; i < 5000; ++i) {
            const double c = chainage(rng);
            double back = 0.0;
            ASSERT_EQ(StnFromString(StnToString(c, length), back, length), 1);
            EXPECT_NEAR(back, c, 0.005 + 1e-9) << c << " / " << length;
        }
    }
}

TEST(ValueFormats, AnyDoubleIsFormattedWithoutFailing) {
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    for (const double v : {nan, inf, -inf, 1e300, -1e300, 4.9e-324, -0.0}) {
        for (const CZelStringT<char>& text :
             {DoubleToString(v), DoubleToString(v, 3), DoubleToString(v, 400),
              DoubleToString(v, -1), AngleToString(v), ShortAngleToString(v),
              AngleToStringDDDMMSS(v), LatitudeToString(v, true), LongitudeToString(v, false),
              TimeToString(v), DDDMMSS2String(v), StnToString(v, 100.0), StnToString(1.0, v)}) {
            EXPECT_GT(text.GetLength(), 0);
        }
        Deg2DDDMMSS(v, 5);
        DDDMMSS2Deg(v);
        FormatFloat(v, 3);
    }
    EXPECT_NE(str(DoubleToString(nan)).find("nan"), std::string::npos);
    EXPECT_EQ(str(DoubleToString(inf, 2)), "inf");
    EXPECT_EQ(str(DoubleToString(1e300)).size(), 14u);  // integer digits cut to 14
    EXPECT_EQ(str(DoubleToString(0.25, 400)).size(), 402u);
}
