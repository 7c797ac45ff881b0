#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>

using namespace zel_landxml;

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

bool build(const std::string& xml, CAlnt& alnt, BuildReport& report) {
    Document doc;
    std::string err;
    if (!parse(xml, doc, err)) return ADD_FAILURE() << err, false;
    if (!buildAlignment(doc.alignments[0], alnt, report, err)) return ADD_FAILURE() << err, false;
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
    BuildReport report;
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

TEST(RoadBuild, AnEndFiveCentimetresOffIsReportedWithElementAndStation) {
    const HandRoad r;
    CAlnt alnt;
    BuildReport report;
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
