#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/GridTin.h"
#include "velmorutils/zelmath/alignment/AlntBuildFunctions.h"
#include "velmorutils/zelmath/sections/SlopeStake.h"

using namespace zel_math;

namespace {

// North along east 2000 from chainage 0 at 100.000, level: offset o lies at east 2000 + o.
struct Road {
    AlntBuilder b{5000, 2000, 0, 0};
    CRoadCorridor corridor{b.alnt()};
    Road() {
        b.line(400);
        b.vip(0, 100, VipCurve::None, 0, 0);
        b.vip(400, 100, VipCurve::None, 0, 0);
        TRoadTemplate t;
        t.left = t.right = {{"lane", 3.5, -2.5}, {"shoulder", 1.0, -4.0}};
        t.cutHVLeft = t.cutHVRight = 2.0;
        t.fillHVLeft = t.fillHVRight = 3.0;
        std::string error;
        corridor.setTemplate(t, {}, error);
    }
};
constexpr double kHinge = 100 - 0.0875 - 0.04;  // both hinges, 4.5 m out

// A ground TIN of 10 m cells round the road (jitter in metres, none keeps a fold on grid lines).
template <class Height>
std::shared_ptr<CTinSurface> tin(Height h, double jitter = 0.0, double east0 = 1900) {
    return std::make_shared<CTinSurface>(test_tins::gridTin(4900, east0, 60, 20, 10, h, jitter));
}

// Where the line y = hinge + rise * (u - 4.5) meets the ground y = c + m * u (u outwards).
double meet(double rise, double c, double m) {
    return (c - kHinge + 4.5 * rise) / (rise - m);
}

// One road, one answer and one message for each test.
class SlopeStake : public ::testing::Test {
protected:
    Road road;
    TSlopeStake s;
    std::string error;
};

}  // namespace

// A tilted plane; the left climbs (cut 2:1), the right falls (fill 3:1). Offset stakes 3 m out.
TEST_F(SlopeStake, CatchPointsOnAPlanarGroundAreTheAnalyticOnes) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> station(10, 390), tiltN(-0.004, 0.004),
        tiltE(-0.2, -0.05);
    for (int i = 0; i < 50; ++i) {
        const double gn = tiltN(rng), ge = tiltE(rng), x = station(rng);
        auto plane = [&](double n, double e) { return 100.2 + gn * (n - 5000) + ge * (e - 2000); };
        const TGround ground{tin(plane, 2.0), nullptr};
        const double c = plane(5000 + x, 2000);
        for (bool right : {false, true}) {
            ASSERT_TRUE(slopeStake(road.corridor, ground, x, right, 50, 3, s, error)) << error;
            ASSERT_TRUE(s.caught) << s.note;
            const double m = right ? ge : -ge;  // ground slope outwards
            const bool cut = c + 4.5 * m > kHinge;
            const double u = meet(cut ? 0.5 : -1.0 / 3, c, m);
            EXPECT_EQ(s.cut, cut);
            EXPECT_NEAR(s.catchOffset, right ? u : -u, 1e-3);
            EXPECT_NEAR(s.catchHeight, c + m * u, 1e-3);
            EXPECT_NEAR(s.cutFill, c + m * u - kHinge, 1e-3);
            EXPECT_NEAR(s.catchNorth, 5000 + x, 1e-6);
            EXPECT_NEAR(s.catchEast, 2000 + s.catchOffset, 1e-6);
            EXPECT_NEAR(s.stakeOffset, s.catchOffset + (right ? 3 : -3), 1e-9);
            EXPECT_NEAR(s.stakeCutFillToHinge, c + m * (u + 3) - kHinge, 1e-3);
            EXPECT_EQ(s.slopeHV, cut ? 2.0 : 3.0);
        }
    }
}

// The ground level 12 m right of the centre line, then rising 1:10: a fold on grid lines. Hinge
// heights above the ground from 0.5 to 4 m put the catch on either facet; the same ground as a
// section line gives the same catch.
TEST_F(SlopeStake, CatchPointsOnAFoldedGroundAndAGroundSection) {
    for (double drop = 0.5; drop <= 4.0; drop += 0.25) {
        const double base = kHinge - drop;
        auto folded = [&](double, double e) { return base + (e > 2012 ? 0.1 * (e - 2012) : 0.0); };
        auto sections = std::make_shared<CCrossSectionSet>();
        for (double ch : {0.0, 400.0}) {
            sections->add({ch, "EG", {{-60, base, ""}, {12, base, ""}, {60, base + 4.8, ""}}},
                          error);
        }
        const double onFlat = 4.5 + 3 * drop;
        const double want = onFlat <= 12 ? onFlat : (3 * drop + 4.5 + 3 * 1.2) / 1.3;
        for (TGround ground : {TGround{std::make_shared<CTinSurface>(
                                           test_tins::gridTin(4900, 1900, 150, 50, 4, folded)),
                                       nullptr},
                               TGround{nullptr, sections}}) {
            ASSERT_TRUE(slopeStake(road.corridor, ground, 123.4, true, 100, 0, s, error)) << error;
            ASSERT_TRUE(s.caught);
            EXPECT_FALSE(s.cut);
            EXPECT_NEAR(s.catchOffset, want, 1e-3) << "drop " << drop;
            EXPECT_NEAR(s.cutFill, -(want - 4.5) / 3, 1e-3);
        }
    }
}

TEST_F(SlopeStake, NoCatchAndTheBoundaryBetweenCutAndFill) {
    // Falling 1:2 from 1 m below the hinge: the 3:1 fill never reaches it.
    auto steep = [](double, double e) { return kHinge - 1 - 0.5 * (e - 2004.5); };
    TGround ground{tin(steep), nullptr};
    ASSERT_TRUE(slopeStake(road.corridor, ground, 100, true, 100, 3, s, error)) << error;
    EXPECT_FALSE(s.caught);
    EXPECT_EQ(s.note, "no catch within 100.000 m");
    EXPECT_TRUE(std::isnan(s.catchOffset));
    // The catch would lie 30 m out; a search of 20 m does not reach it.
    auto flat = [](double, double) { return kHinge - 10; };
    ground.tin = tin(flat);
    ASSERT_TRUE(slopeStake(road.corridor, ground, 100, false, 40, 3, s, error));
    EXPECT_NEAR(s.catchOffset, -34.5, 1e-9);
    ASSERT_TRUE(slopeStake(road.corridor, ground, 100, false, 20, 3, s, error));
    EXPECT_FALSE(s.caught);
    // No ground under the hinge.
    ground.tin = tin(flat, 0.0, 2010);
    ASSERT_TRUE(slopeStake(road.corridor, ground, 100, true, 40, 3, s, error));
    EXPECT_EQ(s.note, "no ground at the hinge");
    // Ground through the hinge itself, falling outwards: a fill caught at the hinge, 0.000; a
    // millimetre higher and rising: a cut caught within millimetres of it.
    for (double lift : {0.0, 0.001}) {
        auto through = [&](double, double e) {
            return kHinge + lift + (lift > 0 ? 0.1 : -0.1) * (e - 2004.5);
        };
        ground.tin = tin(through);
        ASSERT_TRUE(slopeStake(road.corridor, ground, 100, true, 40, 0, s, error));
        ASSERT_TRUE(s.caught);
        EXPECT_EQ(s.cut, lift > 0);
        EXPECT_NEAR(s.catchOffset, 4.5 + lift / 0.4, 1e-9);
        EXPECT_NEAR(s.cutFill, lift * 1.25, 1e-9);
    }
    EXPECT_FALSE(slopeStake(road.corridor, TGround{}, 100, true, 40, 0, s, error));
    EXPECT_FALSE(slopeStake(road.corridor, ground, 100, true, 0, 0, s, error));
    EXPECT_FALSE(slopeStake(road.corridor, ground, 500, true, 40, 0, s, error));
}

// A design section with its own hinge and daylight: the file's slope is used and the catch
// against the ground is compared with the file's daylight.
TEST_F(SlopeStake, SectionsFromAFileUseTheirHingeSlopeAndDaylight) {
    CCrossSectionSet design;
    for (double ch : {0.0, 400.0}) {
        design.add({ch,
                    "",
                    {{-10.5, 98, "Daylight"},
                     {-4.5, 100, "Hinge_Point"},
                     {0, 100.1, "CL"},
                     {4.5, 100, "HINGE"},
                     {8.5, 102, "daylight_cut"}}},
                   error);
    }
    road.corridor.setSections(design);
    auto ground = std::make_shared<CCrossSectionSet>();
    for (double ch : {0.0, 400.0})
        ground->add({ch, "", {{-50, 94.9, ""}, {50, 104.9, ""}}}, error);
    ASSERT_TRUE(slopeStake(road.corridor, TGround{nullptr, ground}, 50, true, 50, 2, s, error))
        << error;
    // Right: cut 2:1 (the file's, hinge to daylight) from (4.5, 100) meets 99.9 + 0.1 u.
    EXPECT_TRUE(s.cut);
    EXPECT_DOUBLE_EQ(s.slopeHV, 2.0);
    EXPECT_NEAR(s.catchOffset, 2.15 / 0.4, 1e-9);
    ASSERT_TRUE(s.hasFileDaylight);
    EXPECT_NEAR(s.daylightOffsetDiff, 2.15 / 0.4 - 8.5, 1e-9);
    EXPECT_NEAR(s.stakeCutFillToHinge, 99.9 + 0.1 * (2.15 / 0.4 + 2) - 100, 1e-9);
    // Left: fill 3:1 meets 99.9 - 0.1 u (u outwards).
    ASSERT_TRUE(slopeStake(road.corridor, TGround{nullptr, ground}, 50, false, 50, 2, s, error));
    EXPECT_FALSE(s.cut);
    EXPECT_DOUBLE_EQ(s.slopeHV, 3.0);
    EXPECT_NEAR(s.hingeOffset, -4.5, 1e-12);
    EXPECT_NEAR(s.catchOffset, -1.6 / (1.0 / 3 - 0.1), 1e-9);
}

// A finished-grade TIN as the design: heights under the point, the section's ends as hinges,
// the side slopes and a 1.0 x 0.5 m ditch from a template laid over it.
TEST_F(SlopeStake, ADesignSurfaceWithSlopesAndADitchFromATemplate) {
    auto grade = [](double n, double e) {
        return 100 + 0.01 * (n - 5000) - 0.02 * std::abs(e - 2000);
    };
    road.corridor.setDesignSurface(
        std::make_shared<CTinSurface>(test_tins::gridTin(4990, 1994, 210, 6, 2, grade)), 50);
    double h = 0;
    ASSERT_TRUE(road.corridor.designHeight(250, -3, h));
    EXPECT_NEAR(h, 102.5 - 0.06, 1e-9);
    EXPECT_FALSE(road.corridor.designHeight(250, 6.5, h));
    TRoadTemplate slopes;
    slopes.cutHVRight = 2, slopes.fillHVRight = 3, slopes.ditchWidthRight = 1,
    slopes.ditchDepthRight = 0.5;
    road.corridor.setSideSlopes(slopes);
    // Ground 1:10 rising from 2 m above the hinge at 6 m right: the cut starts at the ditch bottom.
    const double hinge = 102.5 - 0.12;
    auto rising = [&](double, double e) { return hinge + 2 + 0.1 * (e - 2006); };
    const TGround ground{tin(rising), nullptr};
    ASSERT_TRUE(slopeStake(road.corridor, ground, 250, true, 50, 0, s, error)) << error;
    EXPECT_NEAR(s.hingeOffset, 6, 1e-6);
    EXPECT_TRUE(s.cut);
    // hinge - 0.5 + (u - 7) / 2 = hinge + 2 + 0.1 (u - 6)
    EXPECT_NEAR(s.catchOffset, (2.5 + 3.5 - 0.6) / 0.4, 1e-6);
    EXPECT_FALSE(slopeStake(road.corridor, ground, 250, false, 50, 0, s, error));  // no left slopes
}
