#include <gtest/gtest.h>

#include <cmath>

#include "velmorutils/zelmath/angles/LengthUnits.h"

TEST(LengthUnits, SurveyAndInternationalFeetPackedWithInchesAndEighths) {
    EXPECT_DOUBLE_EQ(USFeet2Meter(3937.0), 1200.0);
    EXPECT_EQ(Meter2USFeet(1.0), 3.28083);
    EXPECT_DOUBLE_EQ(IFeet2Meter(100.0), 30.48);
    EXPECT_EQ(Meter2IFeet(1.0), 3.28084);
    // The two feet differ by 2 ppm: 0.6 mm over a kilometre of US feet.
    EXPECT_NEAR(USFeet2Meter(3280.84) - IFeet2Meter(3280.84), 0.002, 0.0001);
    // Packed feet, inches and eighths.
    EXPECT_NEAR(Meter2FFFII(1.0, false), 3.033, 1e-12);  // 3.28084 ft = 3 ft 3 3/8 in
    EXPECT_NEAR(Meter2FFFII(-1.0, false), -3.033, 1e-12);
    // 1 ft 11.96 in: the eighths round up to 8 and carry into the inch and the foot.
    EXPECT_NEAR(Meter2FFFII((1.0 + 11.96 / 12.0) * 0.3048, false), 2.0, 1e-12);
    EXPECT_NEAR(Meter2FFFII((1.0 + 11.9375 / 12.0) * 0.3048, false), 1.117, 1e-12);
    EXPECT_NEAR(Meter2FFFII(1200.0 / 3937.0, true), 1.0, 1e-12);
    EXPECT_NEAR(FFFII2Meter(3.033, false), 1.000125, 1e-12);  // eighths are the resolution
    EXPECT_NEAR(FFFII2Meter(1.118, false), 0.6096, 1e-12);    // 8 eighths, 12 inches carry
    EXPECT_NEAR(FFFII2Meter(5.114, false), (5.0 + 11.5 / 12.0) * 0.3048, 1e-12);
    EXPECT_NEAR(FFFII2Meter(1.0, true), 1200.0 / 3937.0, 1e-12);
    EXPECT_TRUE(std::isnan(FFFII2Meter(std::nan(""), false)));
    // Half an eighth of an inch, plus the 5-decimal rounding of the feet.
    for (double m = -50.0; m <= 50.0; m += 0.0371) {
        for (bool us : {false, true}) {
            const double back = FFFII2Meter(Meter2FFFII(m, us), us);
            EXPECT_NEAR(back, m, 0.0254 / 16.0 + 2e-6) << m << (us ? " us" : " intl");
        }
    }
}
