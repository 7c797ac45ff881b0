#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>

#include "landxml/LandXmlReading.h"

using namespace zel_landxml;
using namespace landxml_test;

namespace {

// A file unit: its LandXML header and the factor from metres into it.
struct Unit {
    const char* xml;
    double perMetre;
};
const Unit kMetres{"<Units><Metric linearUnit=\"meter\"/></Units>", 1.0};
const Unit kUsFeet{"<Units><Imperial linearUnit=\"USSurveyFoot\"/></Units>", 3937.0 / 1200.0};
const Unit kUnits[] = {kMetres, kUsFeet};

struct NE {
    double n, e;
};

// Numbers and points in the file's unit, from metres.
std::string num(double m, const Unit& u) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", m * u.perMetre);
    return buf;
}
std::string pt(const char* tag, NE p, const Unit& u) {
    return std::string("<") + tag + ">" + num(p.n, u) + " " + num(p.e, u) + "</" + tag + ">";
}

std::string file(const Unit& u, const std::string& alignments, const char* ns = "1.2") {
    return std::string(
               "<?xml version=\"1.0\"?>\n<LandXML xmlns=\"http://www.landxml.org/schema/"
               "LandXML-") +
           ns + "\" version=\"" + ns + "\">\n" + u.xml + "\n<Alignments>\n" + alignments +
           "</Alignments>\n</LandXML>\n";
}

// The hand road: 100 m north from 1000,500, an arc of radius 200 and length 100 (right or left),
// then 50 m of straight. Positions from the circle's own equation.
struct HandRoad {
    double side;  // +1 right, -1 left
    NE p0{1000, 500}, p1{1100, 500}, centre, p2, p3, pi;
    explicit HandRoad(double s) : side(s) {
        centre = {1100, 500 + side * 200};
        p2 = {centre.n + 200 * std::sin(0.5), centre.e - side * 200 * std::cos(0.5)};
        p3 = {p2.n + 50 * std::cos(0.5), p2.e + side * 50 * std::sin(0.5)};
        pi = {1100 + 200 * std::tan(0.25), 500};
    }
};

void expectAt(const CAlnt& a, double chainage, NE want, double tol) {
    double n = 0, e = 0;
    ASSERT_TRUE(a.getPosNeAtChainExtr(chainage, n, e)) << chainage;
    EXPECT_NEAR(n, want.n, tol) << chainage;
    EXPECT_NEAR(e, want.e, tol) << chainage;
}

bool read(const std::string& xml, Document& doc) {
    std::string err;
    if (!parse(xml, doc, err)) return ADD_FAILURE() << err, false;
    return true;
}

bool build(const Alignment& a, CAlnt& alnt, BuildReport& report) {
    std::string err;
    if (!buildAlignment(a, alnt, report, err)) return ADD_FAILURE() << err, false;
    return true;
}

std::string refusal(const std::string& xml) {
    Document doc;
    std::string err;
    EXPECT_FALSE(parse(xml, doc, err)) << xml;
    return err;
}

NE along(NE p, double azRad, double d) {
    return {p.n + d * std::cos(azRad), p.e + d * std::sin(azRad)};
}

// A road designed by hand: 100 m north, a 60 m spiral into a 200 m right-hand curve of 100 m,
// then 50 m of straight.
struct SpiralRoad {
    NE p0{1000.0, 500.0}, p1, p2, centre, p3, p4;
    SpiralRoad() {
        p1 = along(p0, 0.0, 100.0);
        // The clothoid's end by Simpson's rule on cos and sin of u^2 / (2 R L), computed apart
        // from the library: 59.865141 m along the tangent, 2.995182 m to its right.
        p2 = {p1.n + 59.865140552006366, p1.e + 2.9951820217774396};
        const double az1 = 60.0 / (2 * 200.0), az2 = az1 + 100.0 / 200.0;
        centre = along(p2, az1 + M_PI / 2, 200.0);
        p3 = along(centre, az2 - M_PI / 2, 200.0);
        p4 = along(p3, az2, 50.0);
    }
};

// The hand road as a file without Units, the curve's End where given.
std::string handFile(const SpiralRoad& r, NE curveEnd) {
    const Unit& m = kMetres;
    return std::string("<?xml version=\"1.0\"?>\n<LandXML version=\"1.2\">\n") +
           "\n<Alignments><Alignment name=\"hand\" staStart=\"2000\">\n<CoordGeom>\n<Line>" +
           pt("Start", r.p0, m) + pt("End", r.p1, m) +
           "</Line>\n<Spiral rot=\"cw\" spiType=\"clothoid\" length=\"60\" radiusStart=\"INF\" "
           "radiusEnd=\"200\">" +
           pt("Start", r.p1, m) + pt("End", r.p2, m) +
           "</Spiral>\n<Curve rot=\"cw\" crvType=\"arc\" radius=\"200\" length=\"100\">" +
           pt("Start", r.p2, m) + pt("Center", r.centre, m) + pt("End", curveEnd, m) +
           "</Curve>\n<Line>" + pt("Start", r.p3, m) + pt("End", r.p4, m) +
           "</Line>\n</CoordGeom>\n<Profile><ProfAlign name=\"p\"><PVI>2000 50</PVI><ParaCurve "
           "length=\"80\">2150 53</ParaCurve><PVI>2310 50.6</PVI></ProfAlign></Profile>\n"
           "</Alignment></Alignments></LandXML>\n";
}

bool buildFile(const std::string& xml, CAlnt& alnt, BuildReport& report) {
    Document doc;
    return read(xml, doc) && build(doc.alignments[0], alnt, report);
}

// A profile from VIPs (station, elevation) with a vertical curve at the middle one.
std::string profile(const Unit& u, const std::string& middle) {
    return "<Alignment name=\"a\" staStart=\"0\"><CoordGeom><Line><Start>0 0</Start><End>" +
           num(1000, u) + " 0</End></Line></CoordGeom><Profile><ProfAlign name=\"d\"><PVI>0 " +
           num(100, u) + "</PVI>" + middle + "<PVI>" + num(1000, u) + " " + num(100, u) +
           "</PVI></ProfAlign></Profile></Alignment>\n";
}

// Height on a circular vertical curve of radius R tangent to grades g1 and g2 through the VIP
// (x0, y0), from the circle's centre: R from both grade lines, below them for a crest.
double circleHeight(double g1, double g2, double R, double x0, double y0, double s) {
    const double side = g2 < g1 ? 1.0 : -1.0;
    const double s1 = std::sqrt(1 + g1 * g1), s2 = std::sqrt(1 + g2 * g2);
    const double xc = x0 + side * R * (s1 - s2) / (g1 - g2);
    const double yc = y0 + g1 * (xc - x0) - side * R * s1;
    return yc + side * std::sqrt(R * R - (s - xc) * (s - xc));
}

}  // namespace

// LandXML 2.0 with no staStart, lines without length and arcs that carry only their points, in
// either direction; and arcs given by PI, radius and length alone. Where the road lies (from
// station 0) holds the arcs' length and turn.
TEST(RealExports, ArcsFromPointsOrFromTheirPiInEitherDirection) {
    for (const Unit& u : kUnits) {
        for (double side : {1.0, -1.0}) {
            const HandRoad r(side);
            // Without rot: the side of the PI decides the turn.
            const std::string byPoints = "<Curve>" + pt("Start", r.p1, u) +
                                         pt("Center", r.centre, u) + pt("End", r.p2, u) +
                                         pt("PI", r.pi, u) + "</Curve>";
            const std::string byPi = std::string("<Curve rot=\"") + (side > 0 ? "cw" : "ccw") +
                                     "\" radius=\"" + num(200, u) + "\" length=\"" + num(100, u) +
                                     "\">" + pt("PI", r.pi, u) + "</Curve>";
            for (const std::string& curve : {byPoints, byPi}) {
                const std::string body = "<Alignment name=\"a\"><CoordGeom><Line>" +
                                         pt("Start", r.p0, u) + pt("End", r.p1, u) + "</Line>" +
                                         curve + "<Line>" + pt("Start", r.p2, u) +
                                         pt("End", r.p3, u) + "</Line></CoordGeom></Alignment>\n";
                Document doc;
                ASSERT_TRUE(read(file(u, body, "2.0"), doc));
                const Alignment& a = doc.alignments[0];
                ASSERT_EQ(a.elements.size(), 3u);
                CAlnt alnt;
                BuildReport report;
                ASSERT_TRUE(build(a, alnt, report));
                EXPECT_TRUE(report.notes.empty()) << report.notes[0];
                EXPECT_LT(report.largestEndDifference, 1e-6);
                expectAt(
                    alnt, 150.0,
                    {r.centre.n + 200 * std::sin(0.25), r.centre.e - side * 200 * std::cos(0.25)},
                    1e-6);
                expectAt(alnt, 250.0, r.p3, 1e-6);
            }
        }
    }
}

// Feature, Property and program extensions anywhere: ignored, the geometry read as without them.
// So are zero-length pieces (with a warning) and VIPs written as curves of no size.
TEST(RealExports, NonGeometryAndEmptyPiecesAreNotRefused) {
    const std::string body =
        "<Alignment name=\"a\" staStart=\"0\"><Feature code=\"x\"><Property label=\"p\" "
        "value=\"1\"/></Feature><CoordGeom><acad:Ext xmlns:acad=\"urn:x\"/><Line><Start>1000 500"
        "</Start><Feature/><End>1100 500</End></Line><Feature name=\"f\"/><Line length=\"0\">"
        "<Start>1100 500</Start><End>1100 500</End></Line></CoordGeom><Profile><Feature/>"
        "<ProfAlign name=\"d\"><Property label=\"q\"/><ParaCurve length=\"0\">0 10</ParaCurve>"
        "<Feature/><CircCurve radius=\"0\">50 11</CircCurve><PVI>100 12</PVI></ProfAlign>"
        "</Profile><Feature/></Alignment>\n";
    Document doc;
    ASSERT_TRUE(read(file(kMetres, body), doc));
    EXPECT_EQ(doc.alignments[0].elements.size(), 1u);
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_TRUE(has(doc.warnings[0], "line 5: Line: zero length"));
    ASSERT_EQ(doc.alignments[0].profile.size(), 3u);
    EXPECT_NEAR(doc.alignments[0].profile[2].elevation, 12.0, 1e-9);
}

// Curves of 240 m at VIPs 400 and 600 overlap by 40 m: refused naming both by the file's lines
// and stations, in the file's unit.
TEST(RealExports, OverlappingVerticalCurvesAreNamedByLineAndStation) {
    for (const Unit& u : kUnits) {
        std::string two;
        for (double vip : {400.0, 600.0})
            two += "<ParaCurve length=\"" + num(240, u) + "\">" + num(vip, u) + " " +
                   num(vip == 400.0 ? 108 : 100, u) + "</ParaCurve>\n";
        const std::string err = refusal(file(u, profile(u, two)));
        EXPECT_TRUE(has(err, u.perMetre == 1.0
                                 ? "ParaCurve at line 5 (VIP station 0+400.000) and ParaCurve "
                                   "at line 6 (VIP station 0+600.000) overlap by 40.0000 m"
                                 : "ParaCurve at line 5 (VIP station 13+12.333) and ParaCurve "
                                   "at line 6 (VIP station 19+68.500) overlap by 131.2333 usft"))
            << err;
    }
}

// A crest at 400 (written with a negative radius, as some programs do) and a sag at 600 whose
// arcs meet exactly on the -4 % grade between them.
TEST(RealExports, SignedAndTouchingCircularCurvesGiveTheCirclesHeights) {
    const double a1 = std::atan(0.02), a2 = std::atan(-0.04), a3 = 0.0;
    const double R = 200.0 / (std::cos(a2) * (std::tan((a1 - a2) / 2) + std::tan((a3 - a2) / 2)));
    const double touch = 400 + R * std::tan((a1 - a2) / 2) * std::cos(a2);
    for (const Unit& u : kUnits) {
        Document doc;
        ASSERT_TRUE(read(
            file(u, profile(u, "<CircCurve radius=\"-" + num(R, u) + "\">" + num(400, u) + " " +
                                   num(108, u) + "</CircCurve><CircCurve radius=\"" + num(R, u) +
                                   "\">" + num(600, u) + " " + num(100, u) + "</CircCurve>")),
            doc));
        EXPECT_TRUE(doc.warnings.empty());
        EXPECT_NEAR(doc.alignments[0].profile[1].radius, R, 1e-6);
        EXPECT_NEAR(heightAt(doc.alignments[0], touch), 108 - 0.04 * (touch - 400), 1e-6);
        EXPECT_NEAR(heightAt(doc.alignments[0], 400), circleHeight(0.02, -0.04, R, 400, 108, 400),
                    1e-6);
        EXPECT_NEAR(heightAt(doc.alignments[0], 600), circleHeight(-0.04, 0.0, R, 600, 100, 600),
                    1e-6);
    }
    // A negative radius on a sag contradicts the grades: read by the grades, with a warning.
    Document doc;
    ASSERT_TRUE(read(
        file(kMetres, profile(kMetres, "<CircCurve radius=\"-5000\">500 90</CircCurve>")), doc));
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_TRUE(has(doc.warnings[0], "sag")) << doc.warnings[0];
}

// Angle points and gaps between the file's lines are the design's, not rounding: each one is
// noted at its joint (10 degrees and 5 cm, then 10" and 2 mm with the last line turned back
// north), and the road after a gap lies where the file puts it.
TEST(RealExports, AnglePointsAndGapsAreNotedOnceAtTheirJoint) {
    struct Case {
        double angle, gap, lastAngle;
        std::vector<const char*> notes;  // a part of each note, in order
    };
    const Case cases[] = {
        {10.0 * M_PI / 180.0, 0.05, 10.0 * M_PI / 180.0, {"10°00'00.0\" right", "0.0500 m"}},
        {10.0 / 206264.806, 0.002, 0.0, {"0°00'10.0\" right", "0.0020 m", "0°00'10.0\" left"}},
    };
    for (const Unit& u : kUnits)
        for (const Case& c : cases) {
            const NE p1{100, 0}, p2{100 + 50 * std::cos(c.angle), 50 * std::sin(c.angle)};
            const NE q{p2.n + c.gap, p2.e};
            const NE q2{q.n + 30 * std::cos(c.lastAngle), q.e + 30 * std::sin(c.lastAngle)};
            const std::string body = "<Alignment name=\"a\"><CoordGeom><Line>" +
                                     pt("Start", {0, 0}, u) + pt("End", p1, u) + "</Line><Line>" +
                                     pt("Start", p1, u) + pt("End", p2, u) + "</Line><Line>" +
                                     pt("Start", q, u) + pt("End", q2, u) +
                                     "</Line></CoordGeom></Alignment>\n";
            Document doc;
            ASSERT_TRUE(read(file(u, body), doc));
            CAlnt alnt;
            BuildReport report;
            ASSERT_TRUE(build(doc.alignments[0], alnt, report));
            ASSERT_EQ(report.notes.size(), c.notes.size()) << c.gap;
            EXPECT_TRUE(has(report.notes[0], "station 0+100.00 ")) << report.notes[0];
            for (std::size_t i = 0; i < c.notes.size(); ++i)
                EXPECT_TRUE(has(report.notes[i], c.notes[i])) << report.notes[i];
            EXPECT_TRUE(report.warnings.empty()) << report.warnings[0];
            EXPECT_LT(report.largestEndDifference, 1e-6);
            expectAt(alnt, 180.0 - 1e-9, q2, 1e-6);
        }
}

// A hand-designed file (no Units: metres) whose curve End lies 5 cm off: the road follows the
// library's spiral and curve from each Start, and the file's error is reported, not built in.
TEST(RoadBuild, HandDesignedFileAgreesWithTheLibraryAndItsWrongEndIsReported) {
    const SpiralRoad r;
    CAlnt alnt;
    BuildReport report;
    ASSERT_TRUE(buildFile(handFile(r, {r.p3.n + 0.05, r.p3.e}), alnt, report));
    EXPECT_EQ(report.checkedEnds, 4);
    EXPECT_EQ(report.anchoredDirections, 0);  // tangent-continuous: nothing re-anchored
    ASSERT_EQ(report.warnings.size(), 1u);
    for (const char* part : {"element 3 (Curve, line 8)", "2+260.00", "0.0500"})
        EXPECT_TRUE(has(report.warnings[0], part)) << report.warnings[0];
    EXPECT_EQ(report.worstElement, 2);
    expectAt(alnt, 2000.0, r.p0, 1e-9);
    expectAt(alnt, 2160.0, r.p2, 1e-5);
    expectAt(alnt, 2310.0, r.p4, 1e-5);
    // The parabola through the VIP at 2150 (2 % in, -1.5 % out, 80 m): at the VIP the curve
    // lies below it by (g2 - g1) L / 8 = 0.035 x 80 / 8 = 0.35 m.
    double h = 0;
    ASSERT_TRUE(alnt.getPosHAtChain(2150.0, h));
    EXPECT_NEAR(h, 53.0 - 0.35, 1e-9);
}
