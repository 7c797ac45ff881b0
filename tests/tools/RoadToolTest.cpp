#include <gtest/gtest.h>

#include "SampleRoad.h"
#include "ToolRun.h"

// The built-in road (spirals, and a curve given by its intersection point) exported as LandXML
// and loaded again as the tool loads a design: the same road at every station.
TEST(RoadBuild, ExportedRoadReadsBackAsTheSameRoad) {
    FilesScratch dir;
    ASSERT_EQ(RunTool({"export-landxml", "--out", dir.native("b.xml")}).code, 0);
    const road::Design back = LoadDesign(dir.native("b.xml"));
    CAlnt sample;
    road::buildSampleRoad(sample);
    double end = 0;
    ASSERT_TRUE(sample.getFinalChainageInM(end));
    for (double c = 0; c <= end; c += 7.5) {
        double n1, e1, n2, e2, h1, h2;
        ASSERT_TRUE(sample.getPosNeAtChainExtr(c, n1, e1) && sample.getPosHAtChain(c, h1));
        ASSERT_TRUE(back.alnt.getPosNeAtChainExtr(c, n2, e2) && back.alnt.getPosHAtChain(c, h2));
        EXPECT_NEAR(n1, n2, 1e-6) << c;
        EXPECT_NEAR(e1, e2, 1e-6) << c;
        EXPECT_NEAR(h1, h2, 1e-6) << c;
    }
}
