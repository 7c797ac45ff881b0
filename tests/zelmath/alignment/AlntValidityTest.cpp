#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/Refused.h"
#include "velmorutils/zelmath/alignment/AlntBuildFunctions.h"
#include "velmorutils/zelmath/alignment/AlntValidity.h"

using namespace zel_math;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST(AlntValidity, BoundsHoldOnTheBoundAndInFeet) {
    EXPECT_TRUE(checkQuantity(1e6, Quantity::Length, "length"));
    EXPECT_TRUE(refused(checkQuantity(1e6 * (1 + 1e-11), Quantity::Length, "length"),
                        "length is 1000000.00001 meter: a length must lie between 0 and 1e6 m"));
    EXPECT_TRUE(refused(checkQuantity(kNaN, Quantity::Coordinate, "northing"),
                        "northing is not a finite number: 'nan'"));
    // The smallest radius written in feet comes back a hair below 0.1 m and still holds.
    const auto feet = [](double v) { return unitToMetres(v, LinearUnit::Foot); };
    EXPECT_TRUE(checkQuantity(feet(0.1 / 0.3048), Quantity::Radius, "r", LinearUnit::Foot));
    EXPECT_TRUE(refused(checkQuantity(feet(0.25), Quantity::Radius, "radius", LinearUnit::Foot),
                        "radius is 0.25 foot: a radius must lie between 0.1 m and 1e9 m"));
    EXPECT_TRUE(refused(checkElementLength(0.0, "length"),
                        "length is 0 meter: an element needs a length above 0"));
    EXPECT_FALSE(checkQuantity(-1e5 * 1.001, Quantity::Elevation, "h"));
    EXPECT_TRUE(checkQuantity(-1e8, Quantity::Station, "s"));
}

TEST(AlntValidity, SpiralsTurnAtMostFourPiFromTheirTangentPoint) {
    EXPECT_TRUE(refused(checkSpiral(100, kInf, kInf), "a spiral between two infinite radii is a"));
    EXPECT_TRUE(refused(checkSpiral(100, 300, 300), "a spiral between equal radii is an arc"));
    // From a tangent: L / (2 R); 4 pi at R 100 is 2513.27 m.
    EXPECT_TRUE(checkSpiral(2513.0, kInf, 100.0));
    EXPECT_TRUE(checkSpiral(2513.0, 100.0, kInf));
    EXPECT_TRUE(refused(checkSpiral(2514.0, kInf, 100.0),
                        "the clothoid turns through 12.6 rad from its tangent point over 2514 m; "
                        "a spiral may turn at most 4 pi (12.57 rad)"));
    // Between 200 m and 100 m the whole clothoid is twice as long: 1300 m of it turn 13 rad.
    EXPECT_TRUE(checkSpiral(1000.0, 200.0, 100.0));
    EXPECT_TRUE(
        refused(checkSpiral(1300.0, 100.0, 200.0, LinearUnit::Foot),
                "the clothoid turns through 13 rad from its tangent point over 8530.18 ft"));
}

TEST(AlntValidity, IpCurvesAndStationEquations) {
    const char* noRadius = "a spiral needs a radius to lead into (the radius is 0: a bare vertex)";
    EXPECT_TRUE(refused(checkIpCurve(0.0, 0.0, 40.0), noRadius));
    EXPECT_TRUE(refused(checkIpCurve(0.0, 40.0, 0.0), noRadius));
    EXPECT_TRUE(checkIpCurve(0.0, 0.0, 0.0));
    EXPECT_TRUE(checkIpCurve(350.0, 40.0, 40.0));

    const char* order =
        ": staInternal must lie after the alignment's start and after the previous equation";
    EXPECT_TRUE(checkStationEquations(1000, {{1000, 1000, 5000, 0}, {1200, kNaN, 5300, 0}}, 1500));
    EXPECT_TRUE(refused(checkStationEquations(1000, {{900, 900, 5000, 7}}, 1500),
                        std::string("station equation at line 7") + order));
    EXPECT_TRUE(refused(checkStationEquations(1000, {{1200, 0, 5000, 0}, {1200, 0, 6000, 0}}, kNaN),
                        std::string("station equation 2") + order));
    EXPECT_TRUE(checkStationEquations(1000, {{1500, 0, 5000, 0}}, 1500));
    EXPECT_TRUE(refused(checkStationEquations(1000, {{1500.5, 0, 5000, 0}}, 1500),
                        "station equation 1: staInternal lies beyond the alignment's end"));
    EXPECT_TRUE(refused(checkStationEquations(1000, {{1200, kInf, 5000, 0}}, 1500),
                        "station equation 1: staInternal and staAhead must be finite numbers"));
    EXPECT_FALSE(checkStationEquations(kNaN, {}, 1500));
}

TEST(AlntValidity, TypedStationsLieOnTheRoadToTheirLastDigit) {
    EXPECT_EQ(halfLastDigit("49+00"), 0.5);
    EXPECT_EQ(halfLastDigit("49+00.00"), 0.005);
    EXPECT_DOUBLE_EQ(halfLastDigit("1049.840 R2"), 0.0005);
    EXPECT_TRUE(checkChainageOnAlignment(4900.004, 2103, 4900, 0.005));
    EXPECT_TRUE(refused(checkChainageOnAlignment(4900.006, 2103, 4900, 0.005), "lies after"));
    EXPECT_TRUE(refused(checkChainageOnAlignment(2102.99, 2103, 4900, 0.005), "lies before"));
    EXPECT_FALSE(checkChainageOnAlignment(kNaN, 2103, 4900, 0.005));
}

TEST(AlntValidity, OneLinearUnit) {
    EXPECT_EQ(metresPerUnit(LinearUnit::USSurveyFoot), 1200.0 / 3937.0);
    EXPECT_EQ(metresPerUnit(LinearUnit::Foot), 0.3048);
    for (const LinearUnit u : {LinearUnit::Metre, LinearUnit::USSurveyFoot, LinearUnit::Foot}) {
        EXPECT_EQ(parseLinearUnit(linearUnitSymbol(u)), u);
        EXPECT_EQ(parseLinearUnit(linearUnitName(u)), u);
    }
    EXPECT_EQ(parseLinearUnit("internationalFoot"), LinearUnit::InternationalFoot);
    EXPECT_FALSE(parseLinearUnit("yd"));
}

// The builder applies the rules with its call in front, and a refused step changes nothing.
TEST(AlntBuilder, RefusesWhatTheRulesRefuseAndKeepsWhatItHad) {
    AlntBuilder b(5000, 2000, 1000, 30);
    ASSERT_TRUE(b.line(100));
    EXPECT_TRUE(refused(b.spiral(60, 300, 300, true), "spiral: a spiral between equal radii"));
    EXPECT_TRUE(refused(b.spiral(2514, kInf, 100, true), "spiral: the clothoid turns through 1"));
    EXPECT_TRUE(refused(b.ip(5300, 2000, 0.0, 0.0, 40.0), "ip: a spiral needs a radius"));
    EXPECT_TRUE(refused(b.line(kNaN), "line: length is not a finite number"));
    EXPECT_TRUE(refused(b.arc(10, 0.05, true), "arc: radius is 0.05 meter"));
    EXPECT_EQ(b.alnt().getNumOfHes(), 1);

    ASSERT_TRUE(b.vip(1000, 100, VipCurve::None, 0, 0));
    ASSERT_TRUE(b.vip(1050, 103, VipCurve::Parabola, 60, 0));
    // Overlapping parabolas (the old builder gave heights of 0 and grades of 34 % here).
    EXPECT_TRUE(refused(b.vip(1090, 100, VipCurve::Parabola, 40, 0),
                        "vip: the vertical curves ParaCurve (VIP station 1050.000) and ParaCurve "
                        "(VIP station 1090.000) overlap by 10.0000 m"));
    EXPECT_EQ(b.alnt().getNumOfVes(), 2);
    // A curve at the last VIP is judged when the alignment is finished.
    EXPECT_TRUE(refused(b.finish(), "build: ParaCurve (VIP station 1050.000): a vertical curve"));
    ASSERT_TRUE(b.vip(1100, 101, VipCurve::None, 0, 0));
    EXPECT_TRUE(b.equation(1200, kNaN, 5000));
    EXPECT_TRUE(refused(b.finish(), "build: station equation 1: staInternal lies beyond"));
    EXPECT_TRUE(refused(AlntBuilder(kNaN, 0, 0, 0).line(10), "start: northing is not a finite"));
}
