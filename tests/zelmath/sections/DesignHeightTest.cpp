#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <random>

#include "support/FilesScratch.h"
#include "velmorutils/zelmath/alignment/AlntBuildFunctions.h"
#include "velmorutils/zelmath/sections/RoadCorridor.h"

using namespace zel_math;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// North from (5000, 2000), a 1 % grade from 100.000 at chainage 0; then curves as asked.
AlntBuilder road(double straight, std::vector<std::pair<double, bool>> arcs, double radius) {
    AlntBuilder b(5000, 2000, 0, 0);
    b.line(straight);
    double length = straight;
    for (auto [arc, right] : arcs)
        b.arc(arc, radius, right), length += arc;
    b.line(200);
    b.vip(0, 100, VipCurve::None, 0, 0);
    b.vip(length + 200, 100 + 0.01 * (length + 200), VipCurve::None, 0, 0);
    return b;
}

TSuperelevation super(double bRo, double bRf, double fS, double rF, double sRo, double eRo) {
    return {bRo, eRo, bRo, bRf, fS, rF, sRo, eRo, 6.0, false};
}

// The outside lanes' slope through a curve with runout 25 m and runoff 60 m at 6 %, written
// out case by case from the design's stations (entry from a, exit from b).
double outsideSlope(double x, double a, double b) {
    if (x <= a || x >= b + 85) return -2.5;
    if (x < a + 25) return -2.5 + 2.5 * (x - a) / 25;
    if (x < a + 85) return 6.0 * (x - a - 25) / 60;
    if (x <= b) return 6.0;
    if (x < b + 60) return 6.0 * (b + 60 - x) / 60;
    return -2.5 * (x - b - 60) / 25;
}

// Lane 3.5 m and shoulder 1.0 m (-4 %) from the centre line at the given lane slope (%, rising
// away).
double across(double o, double lane) {
    const double d = std::abs(o);
    return lane * std::min(d, 3.5) / 100 - 0.04 * std::max(0.0, d - 3.5);
}

std::string writeTemplate(const FilesScratch& dir, const std::string& extra) {
    const std::string path = dir.native("road.ini");
    std::ofstream(path)
        << "[left]       ; and [right]: centre line outwards\n"
           "segments = lane 3.50 -2.5, shoulder 1.00 -4.0\ncut = 2.0\nfill = 3.0\n"
           "[right]\nsegments = lane 3.50 -2.5, shoulder 1.00 -4.0\ncut = 2\nfill = 3:1\n"
        << extra;
    return path;
}

}  // namespace

// A right-hand curve (arc 200 to 500): normal crown, runout and runoff on entry and exit, full
// super; the outside is the left. Rotation about the centre line, then about the left lane edge.
// Then right and left (arcs 200-400 and 400-600): the outside changes side with the curve.
TEST(DesignHeight, TemplateThroughSuperelevatedCurvesMatchesTheClosedForm) {
    FilesScratch dir;
    for (const auto& [reverse, pivot] : {std::pair{false, 0.0}, {false, -3.5}, {true, 0.0}}) {
        AlntBuilder b =
            reverse ? road(200, {{200, true}, {200, false}}, 300) : road(200, {{300, true}}, 400);
        TRoadTemplate t;
        std::string error;
        const std::string extra = pivot != 0 ? "[road]\npivot = -3.5\n" : "";
        ASSERT_TRUE(readRoadTemplate(writeTemplate(dir, extra).c_str(), 1.0, t, error)) << error;
        CRoadCorridor corridor(b.alnt());
        ASSERT_TRUE(corridor.setTemplate(t,
                                         reverse ? std::vector{super(115, 140, 200, 230, 290, 315),
                                                               super(315, 340, 400, 430, 490, 515)}
                                                 : std::vector{super(125, 150, 210, 490, 550, 575)},
                                         error))
            << error;
        std::mt19937 rng(11);
        std::uniform_real_distribution<double> station(0, 700), offset(-4.5, 4.5);
        int cases[4] = {0, 0, 0, 0};  // normal, runout, runoff, full
        for (int i = 0; i < 1000; ++i) {
            const double x = station(rng), o = offset(rng);
            const bool second = reverse && x >= 315;  // its outside is the right
            const double out = !reverse ? outsideSlope(x, 125, 490)
                                        : outsideSlope(x, second ? 315 : 115, second ? 430 : 230);
            const double in = out < 2.5 ? -2.5 : -out;
            auto shape = [&](double off) { return across(off, (off > 0) == second ? out : in); };
            const double want = 100 + 0.01 * x + shape(o) - shape(pivot) + across(pivot, -2.5);
            double h = 0;
            std::string code;
            ASSERT_TRUE(corridor.designHeight(x, o, h, &code)) << x << " " << o;
            EXPECT_NEAR(h, want, 1e-3) << "station " << x << " offset " << o << " pivot " << pivot;
            EXPECT_EQ(code, std::abs(o) < 3.5 - 1e-3
                                ? "lane"
                                : (std::abs(o) > 3.5 + 1e-3 ? "shoulder" : code));
            ++cases[out == -2.5 ? 0 : out < 0 ? 1 : out < 6 ? 2 : 3];
        }
        for (int n : cases)
            EXPECT_GT(n, 50);
        if (reverse) continue;
        double h = 0;
        EXPECT_FALSE(corridor.designHeight(300, 4.6, h));
        double ch[3] = {300, 300, 1e6}, off[3] = {0, 9, 0}, hs[3];
        EXPECT_EQ(corridor.designHeights(ch, off, 3, hs), 1u);
        EXPECT_NEAR(hs[0], 103 + across(pivot, -2.5) - across(pivot, pivot < 0 ? 6 : -6), 1e-9);
        EXPECT_TRUE(std::isnan(hs[1]) && std::isnan(hs[2]));
    }
}

// Two sections 50 m apart, the road widened from 3.5 to 5.0 m lanes: points move with their code.
TEST(DesignHeight, SectionsAreInterpolatedPointWithPointByCode) {
    AlntBuilder b = road(400, {}, 0);
    CCrossSectionSet set;
    std::string error;
    auto section = [](double ch, double w, double cl, double lane) {
        return TCrossSection{ch,
                             "",
                             {{-w - 1, cl + lane - 0.04, "EOS"},
                              {-w, cl + lane, "ETW"},
                              {0, cl, "CL"},
                              {w, cl + lane, "ETW"},
                              {w + 1, cl + lane - 0.04, "EOS"}}};
    };
    ASSERT_TRUE(set.add(section(100, 3.5, 101, -0.0875), error));
    ASSERT_TRUE(set.add(section(150, 5.0, 101.5, -0.125), error));
    // Out of order, and a section that adds a curb point: refused, naming both stations.
    EXPECT_FALSE(set.add(section(120, 3.5, 101, 0), error));
    EXPECT_NE(error.find("120.000 is not after the section at 150.000"), std::string::npos)
        << error;
    TCrossSection curb = section(200, 5.0, 102, -0.125);
    curb.points.push_back({6.5, 102, "Curb"});
    ASSERT_TRUE(set.add(curb, error));
    CRoadCorridor corridor(b.alnt());
    corridor.setSections(set);
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> u(0, 1), off(-1, 1);
    for (int i = 0; i < 1000; ++i) {
        const double t = u(rng), x = 100 + 50 * t;
        const double w = 3.5 + 1.5 * t, cl = 101 + 0.5 * t, lane = -0.0875 - 0.0375 * t;
        const double o = off(rng) * (w + 1), d = std::abs(o);
        const double want = d <= w ? cl + lane * d / w : cl + lane - 0.04 * (d - w);
        double h = 0;
        ASSERT_TRUE(corridor.designHeight(x, o, h)) << x;
        EXPECT_NEAR(h, want, 1e-3) << x << " " << o;
    }
    double h = 0;
    std::string why;
    EXPECT_FALSE(corridor.designHeight(175, 0, h, nullptr, &why));
    EXPECT_NE(why.find("150.000 and 200.000 cannot be matched"), std::string::npos) << why;
    EXPECT_FALSE(corridor.designHeight(99, 0, h));
    EXPECT_TRUE(corridor.designHeight(200, 6.5, h));
}

TEST(DesignHeight, BadTemplatesAndSuperelevationsAreNamedByFileLineAndKey) {
    FilesScratch dir;
    TRoadTemplate t;
    std::string error;
    const std::string path = dir.native("bad.ini");
    const std::pair<const char*, const char*> bad[] = {
        {"[left]\nsegments = lane 3.5 -2.5\n[right]\ncut = 2\n",
         ", line 3, [right] segments: no segments (give \"code width slope%, ...\")"},
        {"[left]\n\nsegments = lane -3.5 -2.5\n[right]\nsegments = lane 3.5 -2.5\n",
         ", line 3, [left] segments: segment 1 \"lane -3.5 -2.5\" has a width that is not "
         "above 0"},
        {"[left]\nsegments = lane 3.5\n[right]\nsegments = lane 3.5 -2.5\n",
         ", line 2, [left] segments: segment 1 \"lane 3.5\" is not"},
        {"[left]\nsegments = lane 12 -2\nfill = -3\n[right]\nsegments = lane 12 -2\n",
         ", line 3, [left] fill"}};
    for (const auto& [text, why] : bad) {
        std::ofstream(path) << text;
        EXPECT_FALSE(readRoadTemplate(path.c_str(), 1.0, t, error));
        EXPECT_EQ(error.rfind(path + why, 0), 0u) << error;
    }
    // Feet: 12 US survey feet is 3.6576 m.
    std::ofstream(path)
        << "[left]\nsegments = lane 12 -2\n[right]\nsegments = lane 12 -2\nditch=4 2\n";
    ASSERT_TRUE(readRoadTemplate(path.c_str(), 1200.0 / 3937.0, t, error)) << error;
    EXPECT_NEAR(t.left[0].width, 3.6576073, 1e-7);
    EXPECT_NEAR(t.ditchDepthRight, 0.6096012, 1e-7);
    EXPECT_FALSE(readRoadTemplate(dir.native("none.ini").c_str(), 1.0, t, error));

    AlntBuilder b = road(200, {{300, true}}, 400);
    CRoadCorridor corridor(b.alnt());
    EXPECT_FALSE(corridor.setTemplate(t, {super(125, 150, 140, 490, 550, 575)}, error));
    EXPECT_EQ(error,
              "superelevation from 125.000: FullSuperSta 140.000 is before BeginRunoffSta 150.000");
    EXPECT_FALSE(corridor.setTemplate(t, {super(0, 10, 20, 30, 40, 50)}, error));
    EXPECT_NE(error.find("no arc or spiral"), std::string::npos) << error;
    EXPECT_TRUE(corridor.setTemplate(t, {super(kNaN, 150, 210, 490, 550, kNaN)}, error)) << error;
}
