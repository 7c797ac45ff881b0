#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cmath>
#include <cstdio>
#include <string>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>

#include "SampleRoad.h"
#include "Stakeout.h"

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
        landxml::Document again;
        again.alignments.resize(1);
        ASSERT_TRUE(landxml::describeAlignment(once, again.alignments[0], err)) << err;
        ASSERT_TRUE(build(landxml::write(again, unit), twice, report));
        ASSERT_EQ(twice.getNumOfHes(), once.getNumOfHes());
        for (int i = 0; i < once.getNumOfHes(); ++i) {
            double n1, e1, n2, e2;
            ASSERT_TRUE(once.getElement(i).getFinalPosNe(n1, e1));
            ASSERT_TRUE(twice.getElement(i).getFinalPosNe(n2, e2));
            EXPECT_NEAR(n1, n2, 1e-6);
            EXPECT_NEAR(e1, e2, 1e-6);
        }
        // Against the original road: every station agrees, IP curve included.
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

TEST(Stakeout, SampleRoadIsContinuousAndMarksBoundaries) {
    CAlnt alnt;
    road::buildSampleRoad(alnt);
    const auto stations = road::stakeoutChainages(alnt, 20.0);
    ASSERT_GT(stations.size(), 60u);
    int boundaries = 0;
    road::StakeoutRow prev;
    for (size_t i = 0; i < stations.size(); ++i) {
        road::StakeoutRow row;
        ASSERT_TRUE(road::stakeoutRow(alnt, stations[i].chainageInM, 0.0, row));
        EXPECT_TRUE(row.hasHeight);
        boundaries += stations[i].boundary;
        if (i > 0) {
            const double step = stations[i].chainageInM - stations[i - 1].chainageInM;
            EXPECT_GT(step, 0.0);
            EXPECT_LE(step, 20.0 + 1e-9);
            // A chord is never longer than the arc it spans, and on these curves barely shorter.
            const double chord = std::hypot(row.north - prev.north, row.east - prev.east);
            EXPECT_LE(chord, step + 1e-6);
            EXPECT_GT(chord, step * 0.999);
            EXPECT_LT(std::fabs(row.height - prev.height), step * 0.03);  // grades under 3 %
        }
        prev = row;
    }
    // Every element boundary, and TS, SC and CS inside the curve at an intersection point.
    EXPECT_EQ(boundaries, alnt.getNumOfHes() + 1 + 3);
}
