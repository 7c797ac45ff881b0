#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <velmorutils/landxml/Stationing.h>

using namespace zel_landxml;

namespace {

constexpr double kUsFoot = 1200.0 / 3937.0;
constexpr double kFoot = 0.3048;

StationStyle style(LinearUnit unit) {
    return {unit};
}

// An alignment from 0+000 with a gap at running chainage 1200 (1+200.00 back = 1+250.00 ahead)
// and an overlap at 2000 (2+050.00 back = 1+980.00 ahead): the regions run
// R1 0..1200, R2 1250..2050, R3 1980.. onwards.
Stationing twoEquations() {
    Stationing s;
    std::string err;
    EXPECT_TRUE(s.assign(0.0, {{1200.0, 1200.0, 1250.0, 3}, {2000.0, 2050.0, 1980.0, 4}}, err))
        << err;
    return s;
}

}  // namespace

TEST(StationText, MetresAndFeetRoundAndCarry) {
    struct Case {
        double value;  // in the style's unit
        const char* metres;
        const char* feet;
    };
    const Case cases[] = {
        {0.0, "0+000.00", "0+00.00"},
        {49.84, "0+049.84", "0+49.84"},
        {999.995, "1+000.00", "10+00.00"},
        {1000.0, "1+000.00", "10+00.00"},
        {-90.0, "-0+090.00", "-0+90.00"},
        {-0.004, "0+000.00", "0+00.00"},
        {123456.785, "123+456.79", "1234+56.79"},
    };
    const Stationing plain;
    for (const Case& c : cases) {
        EXPECT_EQ(plain.text(c.value, style(LinearUnit::Meter)), c.metres) << c.value;
        EXPECT_EQ(plain.text(c.value * kUsFoot, style(LinearUnit::USSurveyFoot)), c.feet)
            << c.value;
        EXPECT_EQ(plain.text(c.value * kFoot, style(LinearUnit::InternationalFoot)), c.feet)
            << c.value;
    }
    StationStyle custom = style(LinearUnit::Meter);
    custom.stationLength = 100.0;
    custom.decimals = 3;
    EXPECT_EQ(plain.text(1234.5675, custom), "12+34.568");
    custom.decimals = 0;
    EXPECT_EQ(plain.text(99.5, custom), "1+00");
}

TEST(StationText, ReadsEveryFormAndRefusesOthers) {
    const Stationing plain;
    struct Case {
        const char* text;
        LinearUnit unit;
        double metres;
    };
    const Case good[] = {
        {"12+345.68", LinearUnit::Meter, 12345.68},
        {" -0+090.00 ", LinearUnit::Meter, -90.0},
        {"1049.84", LinearUnit::Meter, 1049.84},
        {"1+49.84", LinearUnit::Meter, 1049.84},
        {"12+34.56", LinearUnit::USSurveyFoot, 1234.56 * kUsFoot},
        {"12+34.56", LinearUnit::InternationalFoot, 1234.56 * kFoot},
        {"5+000 R1", LinearUnit::Meter, 5000.0},
    };
    for (const Case& c : good) {
        double m = 0.0;
        std::string err;
        ASSERT_TRUE(plain.chainage(c.text, style(c.unit), m, err)) << c.text << ": " << err;
        EXPECT_NEAR(m, c.metres, 1e-9) << c.text;
    }
    for (const char* bad : {"", "+", "0+1000.00", "1+-5", "1e3x", "nan", "inf", "12+3a", "R2",
                            "1+000 R0", "1+000 R2", "0x10", "1,5"}) {
        double m = 7.0;
        std::string err;
        EXPECT_FALSE(plain.chainage(bad, style(LinearUnit::Meter), m, err)) << bad;
        EXPECT_EQ(m, 7.0) << bad;
        EXPECT_FALSE(err.empty()) << bad;
    }
}

TEST(StationEquations, GapAndOverlapMapBothWays) {
    const Stationing s = twoEquations();
    struct Case {
        double chainage;
        double station;
        int region;
        const char* text;
    };
    const Case cases[] = {
        {-90.0, -90.0, 1, "-0+090.00"},
        {1199.99, 1199.99, 1, "1+199.99"},
        {1200.0, 1250.0, 2, "1+250.00"},  // at the equation: the road ahead
        {1500.0, 1550.0, 2, "1+550.00"},
        {1960.0, 2010.0, 2, "2+010.00 R2"},  // 2010 occurs again 30 m later
        {1990.0, 2040.0, 2, "2+040.00 R2"},
        {2000.0, 1980.0, 3, "1+980.00 R3"},
        {2030.0, 2010.0, 3, "2+010.00 R3"},
        {2070.0, 2050.0, 3, "2+050.00 R3"},  // the overlap's last station
        {2070.01, 2050.01, 3, "2+050.01"},
    };
    for (const Case& c : cases) {
        int region = 0;
        EXPECT_NEAR(s.station(c.chainage, &region), c.station, 1e-9) << c.chainage;
        EXPECT_EQ(region, c.region) << c.chainage;
        const std::string text = s.text(c.chainage, style(LinearUnit::Meter));
        EXPECT_EQ(text, c.text) << c.chainage;
        double back = 0.0;
        std::string err;
        ASSERT_TRUE(s.chainage(text, style(LinearUnit::Meter), back, err)) << text << ": " << err;
        EXPECT_NEAR(back, c.chainage, 1e-9) << text;
    }
}

TEST(StationEquations, RefusesStationsInAGapOrWithoutTheirRegion) {
    const Stationing s = twoEquations();
    double m = 0.0;
    std::string err;
    EXPECT_FALSE(s.chainage("1+220.00", style(LinearUnit::Meter), m, err));
    EXPECT_NE(err.find("gap"), std::string::npos) << err;
    EXPECT_FALSE(s.chainage("2+000.00", style(LinearUnit::Meter), m, err));
    EXPECT_NE(err.find("R2 and R3"), std::string::npos) << err;
    EXPECT_FALSE(s.chainage("1+100.00 R2", style(LinearUnit::Meter), m, err));
    EXPECT_NE(err.find("region R2"), std::string::npos) << err;
    ASSERT_TRUE(s.chainage("2+000.00 r3", style(LinearUnit::Meter), m, err)) << err;
    EXPECT_NEAR(m, 2020.0, 1e-9);
    // The gap's back end names the equation point (its ahead end does, in the table above).
    ASSERT_TRUE(s.chainage("1+200", style(LinearUnit::Meter), m, err)) << err;
    EXPECT_NEAR(m, 1200.0, 1e-9);
    // In feet the same road: 1+980.00 m is ahead of the overlap, in two regions.
    EXPECT_FALSE(s.chainage("65+00.00", style(LinearUnit::InternationalFoot), m, err));
    EXPECT_NE(err.find("R2 and R3"), std::string::npos) << err;
}

TEST(StationEquations, TextToChainageToTextRoundTripsInEachUnit) {
    const Stationing s = twoEquations();
    for (LinearUnit unit :
         {LinearUnit::Meter, LinearUnit::USSurveyFoot, LinearUnit::InternationalFoot}) {
        const double halfHundredth = toMetres(0.005, unit) + 1e-9;
        for (long cm = -5000; cm <= 300000; cm += 37) {
            const double chainage = cm / 100.0;
            const std::string text = s.text(chainage, style(unit));
            double back = 0.0;
            std::string err;
            ASSERT_TRUE(s.chainage(text, style(unit), back, err)) << text << ": " << err;
            ASSERT_NEAR(back, chainage, halfHundredth) << text;
            // The back station of a gap reads as the equation point, which prints ahead.
            const bool atEquation = std::fabs(back - 1200.0) < 1e-9;
            if (!atEquation) {
                ASSERT_EQ(s.text(back, style(unit)), text) << chainage;
            }
        }
    }
}

// An equation at the start renames the first station; equations out of order are refused (the
// library's rule, held here by its line).
TEST(StationEquations, AnEquationAtTheStartAndOutOfOrder) {
    Stationing s;
    std::string err;
    ASSERT_TRUE(s.assign(0.0, {{0.0, 0.0, 1000.0, 2}, {500.0, 1500.0, 1600.0, 3}}, err)) << err;
    EXPECT_EQ(s.text(0.0, style(LinearUnit::Meter)), "1+000.00");
    EXPECT_EQ(s.text(-10.0, style(LinearUnit::Meter)), "0+990.00");
    EXPECT_EQ(s.text(500.0, style(LinearUnit::Meter)), "1+600.00");
    double c = 0.0;
    ASSERT_TRUE(s.chainage("1+050", style(LinearUnit::Meter), c, err)) << err;
    EXPECT_NEAR(c, 50.0, 1e-9);
    EXPECT_FALSE(s.assign(0.0, {{500.0, 500.0, 600.0, 7}, {400.0, 400.0, 300.0, 8}}, err));
    EXPECT_NE(err.find("line 8"), std::string::npos) << err;
    EXPECT_EQ(s.regionCount(), 2);  // unchanged
}

// A start at 1000 ft (304.8006 m) prints as 0+304.80, just before the road, where a later
// region also has that station: the region is named, and the text reads back to the start.
TEST(StationEquations, RoundingPastARegionEndNamesTheRegion) {
    Stationing s;
    std::string err;
    ASSERT_TRUE(s.assign(304.8006, {{400.0, 400.0, 200.0, 2}}, err)) << err;
    const std::string text = s.text(304.8006, style(LinearUnit::Meter));
    EXPECT_EQ(text, "0+304.80 R1");
    double c = 0.0;
    ASSERT_TRUE(s.chainage(text, style(LinearUnit::Meter), c, err)) << err;
    EXPECT_NEAR(c, 304.8006, 0.005);
    // Region 1 ends at 0+299.996; its last millimetre prints as 0+300.00 R1 and reads back
    // there, half a hundredth beyond the region's end.
    ASSERT_TRUE(s.assign(0.0, {{299.996, 299.996, 250.0, 2}}, err)) << err;
    EXPECT_EQ(s.text(299.995, style(LinearUnit::Meter)), "0+300.00 R1");
    ASSERT_TRUE(s.chainage("0+300.00 R1", style(LinearUnit::Meter), c, err)) << err;
    EXPECT_NEAR(c, 300.0, 1e-9);
    EXPECT_FALSE(s.chainage("0+300.01 R1", style(LinearUnit::Meter), c, err));
}
