#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cmath>
#include <cstdio>
#include <string>

#include "AlignmentBuilder.h"
#include "LandXmlModel.h"
#include "SampleRoad.h"
#include "Stakeout.h"
#include "StationOffset.h"
#include "SvgPlot.h"

namespace {

struct NE {
    double n, e;
};

NE along(NE p, double azRad, double d) {
    return {p.n + d * std::cos(azRad), p.e + d * std::sin(azRad)};
}

// Clothoid from a tangent, computed independently of the library: Simpson's rule on
// cos and sin of u^2 / (2 R L), turning right.
NE spiralEnd(NE p, double az, double L, double R) {
    const int n = 2000;
    const double h = L / n;
    double x = 0, y = 0;
    for (int i = 0; i <= n; ++i) {
        const double u = i * h;
        const double w = (i == 0 || i == n) ? 1 : (i % 2 ? 4 : 2);
        const double t = u * u / (2 * R * L);
        x += w * std::cos(t);
        y += w * std::sin(t);
    }
    x *= h / 3;
    y *= h / 3;
    return {p.n + x * std::cos(az) - y * std::sin(az), p.e + x * std::sin(az) + y * std::cos(az)};
}

// A road designed by hand: 100 m north, a 60 m spiral into a 200 m right-hand curve of 100 m,
// then 50 m of straight.
struct HandRoad {
    NE p0{1000.0, 500.0}, p1, p2, centre, p3, p4;
    double az1 = 0, az2 = 0;
    HandRoad() {
        p1 = along(p0, 0.0, 100.0);
        p2 = spiralEnd(p1, 0.0, 60.0, 200.0);
        az1 = 60.0 / (2 * 200.0);
        centre = along(p2, az1 + M_PI / 2, 200.0);
        az2 = az1 + 100.0 / 200.0;
        p3 = along(centre, az2 - M_PI / 2, 200.0);
        p4 = along(p3, az2, 50.0);
    }
};

std::string pt(NE p, double k) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.6f %.6f", p.n * k, p.e * k);
    return buf;
}

// k converts metres into the file's unit.
std::string handFile(const HandRoad& r, const char* unitsXml, double k, NE curveEnd) {
    char len[64];
    auto L = [&](double m) {
        std::snprintf(len, sizeof len, "%.6f", m * k);
        return std::string(len);
    };
    return std::string("<?xml version=\"1.0\"?>\n<LandXML version=\"1.2\">\n") + unitsXml +
           "\n<Alignments><Alignment name=\"hand\" staStart=\"" + L(2000.0) + "\">\n<CoordGeom>\n" +
           "<Line><Start>" + pt(r.p0, k) + "</Start><End>" + pt(r.p1, k) + "</End></Line>\n" +
           "<Spiral rot=\"cw\" spiType=\"clothoid\" length=\"" + L(60) +
           "\" radiusStart=\"INF\" "
           "radiusEnd=\"" +
           L(200) + "\"><Start>" + pt(r.p1, k) + "</Start><End>" + pt(r.p2, k) +
           "</End></Spiral>\n" + "<Curve rot=\"cw\" crvType=\"arc\" radius=\"" + L(200) +
           "\" length=\"" + L(100) + "\"><Start>" + pt(r.p2, k) + "</Start><Center>" +
           pt(r.centre, k) + "</Center><End>" + pt(curveEnd, k) + "</End></Curve>\n" +
           "<Line><Start>" + pt(r.p3, k) + "</Start><End>" + pt(r.p4, k) + "</End></Line>\n" +
           "</CoordGeom>\n<Profile><ProfAlign name=\"p\"><PVI>" + L(2000) + " " + L(50) +
           "</PVI><ParaCurve length=\"" + L(80) + "\">" + L(2150) + " " + L(53) +
           "</ParaCurve><PVI>" + L(2310) + " " + L(50.6) +
           "</PVI></ProfAlign></Profile>\n</Alignment></Alignments></LandXML>\n";
}

bool build(const std::string& xml, CAlnt& alnt, road::BuildReport& report) {
    landxml::Document doc;
    std::string err;
    if (!landxml::parse(xml, doc, err)) return ADD_FAILURE() << err, false;
    if (!road::buildAlignment(doc.alignments[0], alnt, report, err))
        return ADD_FAILURE() << err, false;
    return true;
}

void expectPos(const CAlnt& a, double chain, NE want, double tol) {
    double n = 0, e = 0;
    ASSERT_TRUE(a.getPosNeAtChainExtr(chain, n, e)) << chain;
    EXPECT_NEAR(n, want.n, tol) << chain;
    EXPECT_NEAR(e, want.e, tol) << chain;
}

}  // namespace

TEST(RoadBuild, HandDesignedMetreFileAgreesWithTheLibrary) {
    const HandRoad r;
    CAlnt alnt;
    road::BuildReport report;
    ASSERT_TRUE(build(handFile(r, "<Units><Metric linearUnit=\"meter\"/></Units>", 1.0, r.p3), alnt,
                      report));
    EXPECT_TRUE(report.warnings.empty());
    EXPECT_EQ(report.checkedEnds, 4);
    EXPECT_LT(report.largestEndDifference, 1e-5);
    EXPECT_EQ(report.anchoredDirections, 0);  // tangent-continuous: nothing re-anchored
    expectPos(alnt, 2000.0, r.p0, 1e-9);
    expectPos(alnt, 2160.0, r.p2, 1e-5);
    expectPos(alnt, 2310.0, r.p4, 1e-5);
    // The parabola through the VIP at 2150 (2 % in, -1.5 % out, 80 m): at the VIP the curve
    // lies below it by (g2 - g1) L / 8 = 0.035 x 80 / 8 = 0.35 m.
    double h = 0;
    ASSERT_TRUE(alnt.getPosHAtChain(2150.0, h));
    EXPECT_NEAR(h, 53.0 - 0.35, 1e-9);
}

TEST(RoadBuild, SurveyFootFileGivesTheSameRoadInMetres) {
    const HandRoad r;
    const double k = 3937.0 / 1200.0;
    CAlnt alnt;
    road::BuildReport report;
    ASSERT_TRUE(
        build(handFile(r, "<Units><Imperial linearUnit=\"USSurveyFoot\"/></Units>", k, r.p3), alnt,
              report));
    EXPECT_TRUE(report.warnings.empty());
    EXPECT_NEAR(alnt.getStartChainageInM(), 2000.0, 1e-6);
    expectPos(alnt, 2310.0, r.p4, 1e-5);
}

TEST(RoadBuild, AnEndFiveCentimetresOffIsReportedWithElementAndStation) {
    const HandRoad r;
    CAlnt alnt;
    road::BuildReport report;
    const NE wrongEnd{r.p3.n + 0.05, r.p3.e};
    ASSERT_TRUE(build(handFile(r, "", 1.0, wrongEnd), alnt, report));
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("element 3 (Curve, line 8)"), std::string::npos)
        << report.warnings[0];
    EXPECT_NE(report.warnings[0].find("2+260.00"), std::string::npos) << report.warnings[0];
    EXPECT_NE(report.warnings[0].find("0.0500"), std::string::npos) << report.warnings[0];
    EXPECT_EQ(report.worstElement, 2);
    // The file's error does not move the road: the next element still starts at the true end.
    expectPos(alnt, 2310.0, r.p4, 1e-5);
}

TEST(RoadBuild, LandXmlRoundTripKeepsElementEndsAndVips) {
    CAlnt sample;
    road::buildSampleRoad(sample);
    landxml::Document doc;
    doc.alignments.resize(1);
    std::string err;
    ASSERT_TRUE(road::describeAlignment(sample, doc.alignments[0], err)) << err;
    // The IP curve comes out as its tangent, spirals and arc.
    EXPECT_GT(doc.alignments[0].elements.size(), static_cast<size_t>(sample.getNumOfHes()));
    for (auto unit : {landxml::LinearUnit::Meter, landxml::LinearUnit::USSurveyFoot}) {
        CAlnt once, twice;
        road::BuildReport report;
        ASSERT_TRUE(build(landxml::write(doc, unit), once, report));
        EXPECT_LT(report.largestEndDifference, 1e-6);
        landxml::Document again;
        again.alignments.resize(1);
        ASSERT_TRUE(road::describeAlignment(once, again.alignments[0], err)) << err;
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
        ASSERT_TRUE(road::stakeoutRow(alnt, stations[i].chainage, 0.0, row));
        EXPECT_TRUE(row.hasHeight);
        boundaries += stations[i].boundary;
        if (i > 0) {
            const double step = stations[i].chainage - stations[i - 1].chainage;
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
    EXPECT_EQ(boundaries, alnt.getNumOfHes() + 1);
}

TEST(StationOffset, PointsStakedFromTheRoadComeBackToTheirStations) {
    CAlnt alnt;
    road::buildSampleRoad(alnt);
    double end = 0;
    ASSERT_TRUE(alnt.getFinalChainageInM(end));
    for (double c = 5.0; c < end - 5.0; c += 37.0) {
        for (double off : {-7.5, -0.005, 3.25}) {
            road::StakeoutRow row;
            ASSERT_TRUE(road::stakeoutRow(alnt, c, off, row));
            road::MeasuredPoint p;
            p.north = row.north;
            p.east = row.east;
            p.height = row.height + 0.12;
            p.hasHeight = true;
            const road::StationOffsetRow r = road::stationOffsetRow(alnt, p, road::Unit::Metre);
            ASSERT_TRUE(r.where.onRoad) << c << " " << off;
            EXPECT_NEAR(r.where.chainage, c, 1e-3);
            EXPECT_NEAR(r.where.offset, off, 1e-3);
            ASSERT_TRUE(r.hasDesignHeight);
            EXPECT_NEAR(r.heightDifference, 0.12 - 0.0, 1e-3);
        }
    }
    road::StakeoutRow first;
    ASSERT_TRUE(road::stakeoutRow(alnt, -50.0, 0.0, first));  // 50 m before the start
    EXPECT_FALSE(road::locatePoint(alnt, first.north, first.east).onRoad);
}

TEST(SvgPlot, IsXmlWithPlanAndProfilePaths) {
    CAlnt alnt;
    road::buildSampleRoad(alnt);
    road::PlotOptions options;
    options.offsets = {-3.5, 3.5};
    const std::string svg = road::plotSvg(alnt, options);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(svg.c_str())) << svg.substr(0, 200);
    const pugi::xml_node root = doc.child("svg");
    ASSERT_TRUE(root);
    EXPECT_TRUE(root.find_node(
        [](pugi::xml_node n) { return std::string(n.attribute("id").value()) == "centreline"; }));
    EXPECT_TRUE(root.find_node(
        [](pugi::xml_node n) { return std::string(n.attribute("id").value()) == "design"; }));
    EXPECT_EQ(root.select_nodes("//*[@class='offset']").size(), 2u);
    EXPECT_EQ(root.select_nodes("//*[@class='boundary']").size(),
              static_cast<size_t>(alnt.getNumOfHes() - 1));
    EXPECT_EQ(root.select_nodes("//*[@class='vip']").size(),
              static_cast<size_t>(alnt.getNumOfVes()));
}
