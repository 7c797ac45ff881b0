#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>

#include "SampleRoad.h"

namespace {

namespace landxml = zel_landxml;

bool build(const std::string& xml, CAlnt& alnt, landxml::BuildReport& report) {
    landxml::Document doc;
    std::string err;
    if (!landxml::parse(xml, doc, err)) return ADD_FAILURE() << err, false;
    if (!landxml::buildAlignment(doc.alignments[0], alnt, report, err))
        return ADD_FAILURE() << err, false;
    return true;
}

}  // namespace

TEST(RoadBuild, LandXmlRoundTripKeepsElementEndsAndVips) {
    CAlnt sample;
    road::buildSampleRoad(sample);
    landxml::Document doc;
    doc.alignments.resize(1);
    std::string err;
    ASSERT_TRUE(landxml::describeAlignment(sample, doc.alignments[0], err)) << err;
    // The IP curve comes out as its tangent, spirals and arc.
    EXPECT_GT(doc.alignments[0].elements.size(), static_cast<size_t>(sample.getNumOfHes()));
    for (auto unit : {landxml::LinearUnit::Meter, landxml::LinearUnit::USSurveyFoot}) {
        CAlnt once, twice;
        landxml::BuildReport report;
        ASSERT_TRUE(build(landxml::write(doc, unit), once, report));
        EXPECT_LT(report.largestEndDifference, 1e-6);
        // Written and read once more, against the original road: every station agrees, IP
        // curve included.
        landxml::Document again;
        again.alignments.resize(1);
        ASSERT_TRUE(landxml::describeAlignment(once, again.alignments[0], err)) << err;
        ASSERT_TRUE(build(landxml::write(again, unit), twice, report));
        ASSERT_EQ(twice.getNumOfHes(), once.getNumOfHes());
        double end = 0;
        ASSERT_TRUE(sample.getFinalChainageInM(end));
        for (double c = 0; c <= end; c += 7.5) {
            double n1, e1, n2, e2, h1, h2;
            ASSERT_TRUE(sample.getPosNeAtChainExtr(c, n1, e1));
            ASSERT_TRUE(twice.getPosNeAtChainExtr(c, n2, e2));
            EXPECT_NEAR(n1, n2, 1e-6) << c;
            EXPECT_NEAR(e1, e2, 1e-6) << c;
            ASSERT_TRUE(sample.getPosHAtChain(c, h1));
            ASSERT_TRUE(twice.getPosHAtChain(c, h2));
            EXPECT_NEAR(h1, h2, 1e-6) << c;
        }
    }
}
