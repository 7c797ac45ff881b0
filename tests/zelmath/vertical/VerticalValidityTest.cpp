#include <gtest/gtest.h>

#include <cmath>

#include "support/Refused.h"
#include "velmorutils/zelmath/vertical/VerticalValidity.h"

using namespace zel_math;

namespace {

VipValues pvi(double c, double h) {
    return {c, h, VipCurve::None, 0.0, 0.0, 0};
}
VipValues para(double c, double h, double len) {
    return {c, h, VipCurve::Parabola, len, 0.0, 0};
}
VipValues circ(double c, double h, double r) {
    return {c, h, VipCurve::Circle, 0.0, r, 0};
}

// 0+000 at 100, a crest at 0+100 (103), a sag at 0+200 (100), 0+400 at 100: the two curves share
// 100 m of room, 50 m each when they just touch.
std::vector<VipValues> twoCurves(double firstLen, double secondLen) {
    return {pvi(0, 100), para(100, 103, firstLen), para(200, 100, secondLen), pvi(400, 100)};
}

}  // namespace

TEST(VerticalValidity, CurvesTouchWithinTheToleranceNotOutrunTheirTangentsStationsIncrease) {
    EXPECT_TRUE(checkVerticalCurves(twoCurves(100.0, 100.0)));
    EXPECT_TRUE(checkVerticalCurves(twoCurves(100.0, 100.0018)));  // 0.9 mm over
    EXPECT_TRUE(refused(checkVerticalCurves(twoCurves(100.0, 100.0022)),
                        "the vertical curves ParaCurve (VIP station 100.000) and ParaCurve (VIP "
                        "station 200.000) overlap by 0.0011 m"));
    // The tolerance of a file written to the centimetre: 4 mm touch, 6 mm overlap.
    ProfileCheck coarse;
    coarse.touchToleranceM = 0.005;
    EXPECT_TRUE(checkVerticalCurves(twoCurves(100.0, 100.008), coarse));
    EXPECT_FALSE(checkVerticalCurves(twoCurves(100.0, 100.012), coarse));
    // +2 % to -2 %: the tangent length is R * 0.02 exactly, R * 0.02 / sqrt(1.0004) along the
    // chainage; the VIP behind is 100 m away.
    const auto profile = [](double r) {
        return std::vector<VipValues>{pvi(0, 100), circ(100, 102, r), pvi(200, 100)};
    };
    EXPECT_TRUE(checkVerticalCurves(profile(5000.0)));  // 99.980 m
    EXPECT_TRUE(refused(checkVerticalCurves(profile(5002.0)),
                        "the vertical curve CircCurve (VIP station 100.000) is longer than its "
                        "tangent to the VIP (station 0.000) by 0.0200 m"));
    const VipExtent e = vipCurveExtent(circ(100, 102, 5000.0), 0.02, -0.02);
    EXPECT_NEAR(e.back, 100.0 / std::sqrt(1.0004), 1e-9);
    EXPECT_NEAR(circleArcLength(5000.0, 0.02, -0.02), 10000.0 * std::atan(0.02), 1e-9);
    // A parabola past the VIP ahead; a circle past the last VIP of a steep drop.
    EXPECT_FALSE(checkVerticalCurves({pvi(0, 100), para(100, 103, 180), pvi(180, 100)}));
    EXPECT_FALSE(checkVerticalCurves({pvi(0, 100), circ(90, 102, 2000), pvi(99, 99)}));
    // Order, ends and values.
    EXPECT_TRUE(refused(checkVerticalCurves({pvi(0, 100), pvi(0, 101)}),
                        "stations of a profile must increase (PVI (VIP station 0.000) follows"));
    EXPECT_TRUE(refused(checkVerticalCurves({pvi(0, 100)}), "a profile needs at least two"));
    EXPECT_TRUE(refused(checkVerticalCurves({pvi(0, 100), para(100, 101, 50)}),
                        "ParaCurve (VIP station 100.000): a vertical curve at the first or last"));
    EXPECT_TRUE(checkVerticalCurves({para(0, 100, 0), pvi(100, 101)}));  // a plain VIP
    EXPECT_TRUE(refused(checkVerticalCurves({pvi(0, 100), pvi(100, NAN)}), "VIP 2: height is"));
    EXPECT_FALSE(checkVerticalCurves({pvi(0, 100), circ(50, 101, 0.0), pvi(100, 100)}));
    // A profile being typed in: its last curve waits for its neighbour, but a parabola that
    // already reaches past the VIP behind is refused at once.
    ProfileCheck open;
    open.openEnd = true;
    EXPECT_TRUE(checkVerticalCurves({pvi(0, 100)}, open));
    EXPECT_TRUE(checkVerticalCurves({pvi(0, 100), circ(100, 101, 9e5)}, open));
    EXPECT_FALSE(checkVerticalCurves({pvi(0, 100), para(100, 101, 202)}, open));
}
