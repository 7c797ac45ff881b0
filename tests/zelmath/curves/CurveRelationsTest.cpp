#include <gtest/gtest.h>

#include <cmath>

#include "velmorutils/zelmath/curves/CurveRelations.h"

TEST(CurveRelations, DegreeOfCurveArcAndChordDefinitions) {
    EXPECT_NEAR(GetRadiusFromDegOfCurve(1.0), 5729.5779513082325, 1e-9);
    EXPECT_NEAR(GetDegOfCurveFromRadius(GetRadiusFromDegOfCurve(1.0)), 1.0, 1e-14);
    EXPECT_NEAR(GetRadiusFromDegOfChord(1.0), 50.0 / std::sin(0.5 * M_PI / 180.0), 1e-9);
    EXPECT_NEAR(GetDegOfChordFromRadius(GetRadiusFromDegOfChord(3.0)), 3.0, 1e-12);
    // Guards: below 1e-5 rad or 1e-5 units, and negative values, give 0.
    EXPECT_EQ(GetRadiusFromDegOfCurve(0.0005), 0.0);
    EXPECT_EQ(GetRadiusFromDegOfChord(-1.0), 0.0);
    EXPECT_EQ(GetDegOfCurveFromRadius(-100.0), 0.0);
    EXPECT_EQ(GetDegOfChordFromRadius(5e-6), 0.0);
    EXPECT_TRUE(std::isnan(GetDegOfChordFromRadius(40.0)));  // no 100-unit chord fits
}

TEST(CurveRelations, CentralAngleRelationsAgreeOnOneCurve) {
    const double R = 450.0, L = 180.0;
    const double delta = GetDeltaFromLength(L, R);
    EXPECT_NEAR(delta, 22.918311805232928, 1e-12);
    EXPECT_NEAR(GetLengthFromDelta(delta, R), L, 1e-12);
    const double C = GetChordLenFromDelta(delta, R);
    EXPECT_NEAR(GetDeltaFromChordLength(C, R), delta, 1e-10);
    EXPECT_NEAR(GetLengthFromChordLength(C, R), L, 1e-9);
    const double T = GetTangentFromLength(L, R);
    EXPECT_NEAR(T, R * std::tan(0.2), 1e-10);
    EXPECT_NEAR(GetLengthFromTangent(T, R), L, 1e-9);
    const double M = GetMidOrdFromLength(L, R);
    EXPECT_NEAR(M, R * (1 - std::cos(0.2)), 1e-10);
    EXPECT_NEAR(GetLengthFromMidOrd(M, R), L, 1e-7);
    const double E = GetExternalFromLength(L, R);
    EXPECT_NEAR(E, R / std::cos(0.2) - R, 1e-10);
    EXPECT_NEAR(GetLengthFromExternal(E, R), L, 1e-7);
    EXPECT_NEAR(GetChordLenFromLength(L, R), C, 1e-12);
}

TEST(CurveRelations, GuardsReturnZero) {
    EXPECT_EQ(GetDeltaFromLength(100.0, 0.0), 0.0);
    EXPECT_EQ(GetDeltaFromLength(100.0, -50.0), 0.0);  // signed comparison
    EXPECT_NEAR(GetDeltaFromChordLength(200.0, 100.0), 180.0, 1e-12);
    EXPECT_EQ(GetDeltaFromChordLength(200.0 + 1e-9, 100.0), 0.0);
    EXPECT_EQ(GetDeltaFromChordLength(10.0, 1e-13), 0.0);
    EXPECT_EQ(GetTangentFromDelta(180.0, 100.0), 0.0);
    EXPECT_EQ(GetTangentFromDelta(-180.000009, 100.0), 0.0);
    EXPECT_NE(GetTangentFromDelta(179.9999, 100.0), 0.0);
    EXPECT_EQ(GetExternalFromDelta(-180.0, 100.0), 0.0);
    EXPECT_EQ(GetExternalFromDelta(180.000009, 100.0), 0.0);
    EXPECT_NE(GetExternalFromDelta(180.00002, 100.0), 0.0);
    EXPECT_EQ(GetDeltaFromMidOrd(250.0, 100.0), 0.0);  // beyond 2R
    EXPECT_NEAR(GetDeltaFromMidOrd(200.0, 100.0), 360.0, 1e-12);
    EXPECT_EQ(GetDeltaFromMidOrd(5.0, 0.0), 0.0);
    EXPECT_EQ(GetDeltaFromExternal(5.0, 0.0), 0.0);
    EXPECT_EQ(GetDeltaFromTangent(0.0, 0.0), 0.0);
    EXPECT_NEAR(GetDeltaFromTangent(100.0, 100.0), 90.0, 1e-12);
    EXPECT_EQ(GetSpiralLength(240.0, 5e-6), 0.0);
}

TEST(CurveRelations, SignsAreDroppedWhereRelationsSaySo) {
    EXPECT_EQ(GetDeltaFromExternal(9.0, -450.0), GetDeltaFromExternal(9.0, 450.0));
    EXPECT_EQ(GetDeltaFromExternal(-9.0, 450.0), GetDeltaFromExternal(9.0, 450.0));
    EXPECT_EQ(GetExternalFromDelta(30.0, -450.0), GetExternalFromDelta(30.0, 450.0));
    EXPECT_EQ(GetSpiralConstant(-80.0, 450.0), GetSpiralConstant(80.0, 450.0));
    EXPECT_EQ(GetSpiralLength(240.0, -450.0), GetSpiralLength(240.0, 450.0));
    EXPECT_NEAR(GetSpiralLength(GetSpiralConstant(80.0, 450.0), 450.0), 80.0, 1e-12);
}

TEST(CurveRelations, DisplayDispatchRoundTripsEveryKind) {
    const double R = 300.0, L = 120.0;
    for (int k = 0; k <= 8; ++k) {
        const auto kind = static_cast<AlntElementLengthDisplay>(k);
        const double shown = getDisplayValueFromLength(L, R, kind);
        EXPECT_NEAR(getLengthValueFromDisplay(shown, R, kind), L, 1e-8) << k;
    }
    for (int k = 0; k <= 3; ++k) {
        const auto kind = static_cast<AlntElementRadiusDisplay>(k);
        const double shown = getDisplayValueFromRadius(R, kind);
        EXPECT_NEAR(getRadiusValueFromDisplay(shown, kind), R, 1e-9) << k;
    }
    // Kind 0 passes the value through.
    const auto none = static_cast<AlntElementLengthDisplay>(0);
    const auto noR = static_cast<AlntElementRadiusDisplay>(0);
    EXPECT_TRUE(getDisplayValueFromLength(L, R, none) == L &&
                getLengthValueFromDisplay(17.5, R, none) == 17.5);
    EXPECT_TRUE(getRadiusValueFromDisplay(17.5, noR) == 17.5 &&
                getDisplayValueFromRadius(17.5, noR) == 17.5);
    EXPECT_NEAR(getDisplayValueFromLength(L, R, aldSpiralParam), 189.73665961010275, 1e-9);
}

TEST(AlntElementFlags, FieldsOccupyTheirBitsAndKeepTheRest) {
    AlntElementFlags f;
    f.setFlags(0xFFFF000Fu);
    f.setRadiusDisplay(ardDegOfCurve);
    f.setLengthDisplay(aldExternal);
    f.setLength2Display(aldSpiralParam);
    f.setRadius2Display(ardDegOfChord);
    EXPECT_EQ(f.getFlags(), 0xFFFF000Fu | (3u << 4) | (7u << 6) | (6u << 9) | (2u << 12));
    EXPECT_TRUE(f.getLength2Display() == aldSpiralParam && f.getRadius2Display() == ardDegOfChord);
    f.setLengthDisplay(aldLength);  // narrows only its own field
    EXPECT_EQ(f.getFlags() & 0x1C0u, 2u << 6);
    EXPECT_EQ(f.getRadiusDisplay(), ardDegOfCurve);
}
