#include <gtest/gtest.h>

#include <cmath>

#include "velmorutils/zelmath/curves/CurveRelations.h"

TEST(CurveRelations, DefinitionsAndCentralAngleRelationsAgreeOnOneCurveGuardsReturnZero) {
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
