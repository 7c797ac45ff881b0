#include <gtest/gtest.h>

#include "velmorutils/zelmath/sections/SectionProfile.h"

using namespace zel_math;

// The pavement's top line (its crown point written twice), the pavement course as a closed
// polygon, a curb block with vertical faces, and a level course from -2 to 2 that the crown
// rises through: the boundary keeps both ends of each vertical step and the crossings.
TEST(SectionProfile, UpperBoundaryOfCoursesFacesAndCrossingsAndItsSides) {
    const std::vector<std::vector<TSectionPoint>> surfaces = {
        {{-3.5, 9.9125, "ETW"}, {0, 10, "CL"}, {0, 10, "CL"}, {3.5, 9.9125, "ETW"}},
        {{-3.5, 9.9125, ""},
         {0, 10, ""},
         {3.5, 9.9125, ""},
         {3.5, 9.7, ""},
         {0, 9.75, ""},
         {-3.5, 9.7, ""},
         {-3.5, 9.9125, ""}},
        {{3.5, 9.8, "FL"},
         {3.5, 10.0625, "TC"},
         {4.0, 10.0625, "BC"},
         {4.0, 9.8, ""},
         {3.5, 9.8, "FL"}},
        {{-2, 9.97, ""}, {2, 9.97, ""}},
    };
    const std::vector<TSectionPoint> want = {
        {-3.5, 9.9125, "ETW"}, {-2, 9.95, ""},       {-2, 9.97, ""},      {-1.2, 9.97, ""},
        {0, 10, "CL"},         {1.2, 9.97, ""},      {2, 9.97, ""},       {2, 9.95, ""},
        {3.5, 9.9125, "ETW"},  {3.5, 10.0625, "TC"}, {4.0, 10.0625, "BC"}};
    const std::vector<TSectionPoint> got = sectionUpperBoundary(surfaces);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(got[i].offset, want[i].offset, 1e-9) << i;
        EXPECT_NEAR(got[i].height, want[i].height, 1e-9) << i;
        EXPECT_EQ(got[i].code, want[i].code) << i;
    }
    TSectionProfile p{0, got, {}, {}};
    double h = 0;
    std::string code;
    // At 3.5 the top of the curb face.
    for (const auto& [off, want, wantCode] :
         {std::tuple{3.5, 10.0625, "TC"}, {3.7, 10.0625, "BC"}, {-2.7, 9.9325, "ETW"}}) {
        ASSERT_TRUE(sectionHeightAt(p, off, h, &code)) << off;
        EXPECT_NEAR(h, want, 1e-12) << off;
        EXPECT_EQ(code, wantCode) << off;
    }
    EXPECT_FALSE(sectionHeightAt(p, 4.01, h));
    EXPECT_FALSE(sectionHeightAt(p, -3.5001, h));
    EXPECT_TRUE(sectionUpperBoundary({}).empty());
    // Sides: hinge by code, else just inside the daylight, else the outer end.
    TSectionProfile sides{0,
                          {{-9, 97, "DL"},
                           {-6, 98, ""},
                           {-5, 98.2, "EOS"},
                           {0, 98.3, "CL"},
                           {5, 98.2, "HingeCut"},
                           {7, 99, ""}},
                          {},
                          {}};
    findSectionSides(sides);
    EXPECT_EQ(sides.left.hinge, 1);  // just inside the daylight
    EXPECT_EQ(sides.left.daylight, 0);
    EXPECT_DOUBLE_EQ(sides.left.fillHV, 3.0);
    EXPECT_EQ(sides.right.hinge, 4);  // coded; the outer end is then its daylight
    EXPECT_EQ(sides.right.daylight, 5);
    EXPECT_NEAR(sides.right.cutHV, 2.5, 1e-12);
    sides.points[0].code.clear();
    findSectionSides(sides);
    EXPECT_EQ(sides.left.hinge, 0);
    EXPECT_EQ(sides.left.daylight, -1);
}
