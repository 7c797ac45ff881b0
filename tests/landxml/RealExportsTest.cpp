// Files as design programs write them: arcs, spirals and profiles in the forms exports use; one
// bad alignment among good ones, writers' rounding, several profiles, long chains of rounded
// elements, and what the writer gives back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/ProfileCheck.h>
#include <velmorutils/landxml/Stationing.h>

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
    const Document doc = readOk(xml);
    return !doc.alignments.empty() && build(doc.alignments[0], alnt, report);
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

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string landXml(const std::string& alignments, const char* unit = "meter") {
    return std::string("<?xml version=\"1.0\"?>\n<LandXML version=\"1.2\"><Units><") +
           (std::strcmp(unit, "meter") == 0 ? "Metric" : "Imperial") + " linearUnit=\"" + unit +
           "\"/></Units>\n<Alignments>\n" + alignments + "</Alignments></LandXML>\n";
}

// A 1000 m road due north from (north, 0), with what follows its geometry.
std::string road(const std::string& name, double north, const std::string& rest,
                 const std::string& attrs = "") {
    return "<Alignment name=\"" + name + "\" staStart=\"0\"" + attrs + "><CoordGeom><Line><Start>" +
           fixed(north, 3) + " 0</Start><End>" + fixed(north + 1000, 3) +
           " 0</End></Line></CoordGeom>\n" + rest + "</Alignment>\n";
}

std::string designProfile(const std::string& vips) {
    return std::string("<Profile><ProfAlign name=\"design\">\n") + vips +
           "</ProfAlign></Profile>\n";
}

// Grades +2 %, -4 %, 0 % through VIPs at 400 (108 m) and 600 (100 m) with parabolas of the
// lengths given, written with the decimals given.
std::string crestAndSag(double l1, double l2, int decimals) {
    return designProfile("<PVI>0 100</PVI>\n<ParaCurve length=\"" + fixed(l1, decimals) +
                         "\">400 108</ParaCurve>\n<ParaCurve length=\"" + fixed(l2, decimals) +
                         "\">600 100</ParaCurve>\n<PVI>1000 100</PVI>\n");
}

bool contains(const std::vector<std::string>& texts, const std::string& part) {
    for (const std::string& t : texts)
        if (t.find(part) != std::string::npos) return true;
    return false;
}

// Height of a symmetric parabola of length L at VIP (x0, y0) between grades g1 and g2.
double parabola(double g1, double g2, double L, double x0, double y0, double s) {
    const double x = s - (x0 - L / 2);
    return y0 - g1 * L / 2 + g1 * x + (g2 - g1) / (2 * L) * x * x;
}

std::string point(const char* tag, NE p) {
    return std::string("<") + tag + ">" + fixed(p.n, 6) + " " + fixed(p.e, 6) + "</" + tag + ">";
}

// A 14 km railway of 200 m straights and 200 m arcs of R 1000 turning either way. Each element
// is computed from its own Start and direction; the file's End lies 0.3 mm off the true end, the
// next Start 0.5 mm off that End and its direction 1.5" off the true end tangent, all to the
// same side, as a writer's rounding may do.
struct Railway {
    std::string xml;
    std::vector<NE> ends;  // the file's End of each element
};

Railway railway(int pairs) {
    const double aside = M_PI / 2, kink = 1.5 / 206264.8;
    Railway r;
    NE s{5000000, 300000};
    double az = 0.3;
    std::string geom;
    for (int i = 0; i < 2 * pairs; ++i) {
        NE t;
        double endAz = az;
        if (i % 2 == 0) {
            t = {s.n + 200 * std::cos(az), s.e + 200 * std::sin(az)};
        } else {
            const double side = (i / 2) % 2 == 0 ? 1.0 : -1.0;  // right, then left
            const NE c{s.n + 1000 * std::cos(az + side * aside),
                       s.e + 1000 * std::sin(az + side * aside)};
            const double from = az - side * aside + side * 0.2;
            t = {c.n + 1000 * std::cos(from), c.e + 1000 * std::sin(from)};
            endAz = az + side * 0.2;
            geom += std::string("<Curve rot=\"") + (side > 0 ? "cw" : "ccw") +
                    "\" radius=\"1000\" length=\"200\">" + point("Start", s) + point("Center", c);
        }
        const NE end{t.n + 0.0003 * std::cos(az + aside), t.e + 0.0003 * std::sin(az + aside)};
        if (i % 2 == 0) geom += "<Line length=\"200\">" + point("Start", s);
        geom += point("End", end) + (i % 2 == 0 ? "</Line>\n" : "</Curve>\n");
        r.ends.push_back(end);
        s = {end.n + 0.0005 * std::cos(endAz + aside), end.e + 0.0005 * std::sin(endAz + aside)};
        az = endAz + kink;
    }
    r.xml = landXml("<Alignment name=\"rail\" staStart=\"0\"><CoordGeom>\n" + geom +
                    "</CoordGeom></Alignment>\n");
    return r;
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
                const Document doc = readOk(file(u, body, "2.0"));
                const Alignment& a = doc.alignments.at(0);
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
    const Document doc = readOk(file(kMetres, body));
    EXPECT_EQ(doc.alignments.at(0).elements.size(), 1u);
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_TRUE(Says(doc.warnings[0], "line 5: Line: zero length"));
    ASSERT_EQ(doc.alignments.at(0).profile.size(), 3u);
    EXPECT_NEAR(doc.alignments.at(0).profile[2].elevation, 12.0, 1e-9);
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
        EXPECT_TRUE(Says(err, u.perMetre == 1.0
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
        const Document doc = readOk(
            file(u, profile(u, "<CircCurve radius=\"-" + num(R, u) + "\">" + num(400, u) + " " +
                                   num(108, u) + "</CircCurve><CircCurve radius=\"" + num(R, u) +
                                   "\">" + num(600, u) + " " + num(100, u) + "</CircCurve>")));
        EXPECT_TRUE(doc.warnings.empty());
        EXPECT_NEAR(doc.alignments.at(0).profile[1].radius, R, 1e-6);
        EXPECT_NEAR(heightAt(doc.alignments.at(0), touch), 108 - 0.04 * (touch - 400), 1e-6);
        EXPECT_NEAR(heightAt(doc.alignments.at(0), 400),
                    circleHeight(0.02, -0.04, R, 400, 108, 400), 1e-6);
        EXPECT_NEAR(heightAt(doc.alignments.at(0), 600), circleHeight(-0.04, 0.0, R, 600, 100, 600),
                    1e-6);
    }
    // A negative radius on a sag contradicts the grades: read by the grades, with a warning.
    const Document doc =
        readOk(file(kMetres, profile(kMetres, "<CircCurve radius=\"-5000\">500 90</CircCurve>")));
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_TRUE(Says(doc.warnings[0], "sag")) << doc.warnings[0];
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
            const Document doc = readOk(file(u, body));
            CAlnt alnt;
            BuildReport report;
            ASSERT_TRUE(build(doc.alignments.at(0), alnt, report));
            ASSERT_EQ(report.notes.size(), c.notes.size()) << c.gap;
            EXPECT_TRUE(Says(report.notes[0], "station 0+100.00 ")) << report.notes[0];
            for (std::size_t i = 0; i < c.notes.size(); ++i)
                EXPECT_TRUE(Says(report.notes[i], c.notes[i])) << report.notes[i];
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
        EXPECT_TRUE(Says(report.warnings[0], part)) << report.warnings[0];
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

// Six alignments: a broken profile refuses its own alignment only; an equation outside its road,
// a repeated VIP and a declared length that misses an element are warnings.
TEST(FileVerdicts, OneBrokenProfileAmongSixRefusesOnlyItsAlignment) {
    const std::string xml = landXml(
        road("A", 0, crestAndSag(200, 200, 3)) + road("B", 2000, "") +
        road("C", 4000, "<StaEquation staInternal=\"1500\" staBack=\"1500\" staAhead=\"0\"/>\n") +
        road("D", 6000, crestAndSag(240, 240, 3)) +
        road("E", 8000,
             designProfile("<PVI>0 100</PVI>\n<PVI>500 110</PVI>\n<PVI>500 110</PVI>\n"
                           "<PVI>1000 100</PVI>\n")) +
        road("F", 10000, "", " length=\"1082.5\""));
    const Document doc = readOk(xml);
    ASSERT_EQ(doc.alignments.size(), 5u);
    ASSERT_EQ(doc.refused.size(), 1u);
    EXPECT_EQ(doc.refused[0].name, "D");
    EXPECT_EQ(doc.refused[0].line, 17);
    EXPECT_TRUE(Says(doc.refused[0].message,
                     "line 18: ProfAlign: the vertical curves ParaCurve at "
                     "line 20 (VIP station 0+400.000)"))
        << doc.refused[0].message;
    EXPECT_TRUE(contains(doc.warnings,
                         "line 15: StaEquation: staInternal 1+500.000 lies after "
                         "the alignment's end 1+000.000"));
    EXPECT_TRUE(stationingOf(doc.alignments[2]).equations().empty());
    EXPECT_TRUE(contains(doc.warnings,
                         "line 29: PVI: repeats the profile point of line 28 "
                         "(station 0+500.000); counted once"));
    EXPECT_EQ(doc.alignments[3].profile.size(), 3u);
    EXPECT_NEAR(heightAt(doc.alignments[3], 750.0), 105.0, 1e-9);
    EXPECT_TRUE(contains(doc.warnings,
                         "line 33: Alignment: the declared length 1082.5000 m differs from the "
                         "sum of the elements' lengths 1000.0000 m"));
    EXPECT_EQ(doc.warnings.size(), 3u);

    // When no alignment can be read the file is refused with each one's reason, unless the
    // caller asks for the refusals.
    const std::string none =
        landXml(road("D", 0, crestAndSag(240, 240, 3)) +
                road("G", 0, designProfile("<PVI>0 1</PVI><PVI>500 1</PVI><PVI>500 2</PVI>")));
    Document all;
    std::string err;
    EXPECT_FALSE(parse(none, all, err));
    EXPECT_TRUE(Says(err, "alignment 'D': line 5: ProfAlign")) << err;
    EXPECT_TRUE(Says(err,
                     "alignment 'G': line 13: ProfAlign: stations of a profile must increase "
                     "(PVI at line 14 (VIP station 0+500.000) follows PVI at line 14"))
        << err;
    ASSERT_TRUE(parseKeepingRefused(none, all, err)) << err;
    EXPECT_EQ(all.refused.size(), 2u);
}

// Touching compound curves written to 6 decimals overlap by 0.6 mm: read as touching, heights
// those of the file's own parabolas. 1.5 mm at 6 decimals is an overlap; 15 mm written to 2
// decimals is within their rounding.
TEST(FileVerdicts, CurvesThatTouchWithinTheWritersRoundingAreRead) {
    const double l1 = 246.913579, l2 = 153.087621;  // (l1 + l2) / 2 = 200.0006
    const Document doc = readOk(landXml(road("A", 0, crestAndSag(l1, l2, 6))));
    const Alignment& a = doc.alignments.at(0);
    for (double s : {300.0, 400.0, 450.0, 523.4})
        EXPECT_NEAR(heightAt(a, s), parabola(0.02, -0.04, l1, 400, 108, s), 1e-4) << s;
    for (double s : {523.5, 600.0, 650.0})
        EXPECT_NEAR(heightAt(a, s), parabola(-0.04, 0.0, l2, 600, 100, s), 1e-4) << s;
    EXPECT_TRUE(doc.warnings.empty());
    // Described back: plain VIPs stay plain, curves keep their kind.
    CAlnt alnt;
    BuildReport report;
    std::string err;
    std::vector<Vip> described;
    ASSERT_TRUE(buildAlignment(a, alnt, report, err) && describeProfile(alnt, described, err));
    ASSERT_EQ(described.size(), 4u);
    EXPECT_EQ(described[0].curve, VCurve::None);
    EXPECT_EQ(described[1].curve, VCurve::Parabola);
    EXPECT_EQ(described[3].curve, VCurve::None);

    err = refusal(landXml(road("A", 0, crestAndSag(l1 + 0.0018, l2, 6))));
    EXPECT_TRUE(Says(err, "overlap by 0.0015 m")) << err;
    readOk(landXml(road("A", 0, crestAndSag(246.93, 153.10, 2))));
}

// Equations as writers give them: without staBack, outside the road, twice at one point, and
// with a staBack a little off.
TEST(FileVerdicts, StationEquationsAsWritersGiveThem) {
    const Document doc = readOk(
        landXml(road("A", 0,
                     "<StaEquation staInternal=\"300\" staAhead=\"350\"/>\n"
                     "<StaEquation staInternal=\"-50\" staBack=\"-50\" staAhead=\"20\"/>\n")));
    const Alignment& a = doc.alignments.at(0);
    ASSERT_EQ(a.equations.size(), 1u);
    EXPECT_EQ(a.equations[0].staBack, 300.0);
    EXPECT_EQ(stationingOf(a).text(400.0, StationStyle()), "0+450.00");
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_TRUE(Says(doc.warnings[0],
                     "line 6: StaEquation: staInternal -0+050.000 lies before the "
                     "alignment's start 0+000.000: the equation cannot apply"))
        << doc.warnings[0];

    std::vector<std::string> warnings;
    std::string err;
    for (double at : {0.0, 400.0}) {
        std::vector<StaEquation> twice{{at, at, 1000, 7}, {at, at, 2000, 9}};
        EXPECT_FALSE(checkEquations(0, 1000, twice, LinearUnit::Meter, warnings, err));
        EXPECT_TRUE(Says(err, "line 9: StaEquation: stands at the same internal station")) << err;
        EXPECT_TRUE(Says(err, "equation at line 7")) << err;
    }
    std::vector<StaEquation> off{{400, 400.005, 500, 4}, {600, 700.0005, 650, 5}};
    ASSERT_TRUE(checkEquations(0, 1000, off, LinearUnit::Meter, warnings, err)) << err;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(Says(warnings[0], "line 4: StaEquation: staBack 0+400.005 differs")) << warnings[0];
}

// The road keeps the file's positions to the millimetre over 14 km (what is written back is the
// road's own: WhatIsWritten below).
TEST(FileVerdicts, ALongChainOfRoundedElementsDoesNotDrift) {
    const Railway rail = railway(35);  // 14 km
    const Document doc = readOk(rail.xml);
    CAlnt alnt;
    BuildReport report;
    std::string err;
    ASSERT_TRUE(buildAlignment(doc.alignments.at(0), alnt, report, err)) << err;
    EXPECT_TRUE(report.warnings.empty()) << report.warnings[0];
    EXPECT_TRUE(report.notes.empty()) << report.notes[0];
    EXPECT_EQ(report.checkedEnds, 70);
    EXPECT_LT(report.largestEndDifference, 0.0004);
    for (size_t k = 0; k < rail.ends.size(); ++k) {
        double n = 0, e = 0;
        ASSERT_TRUE(alnt.getPosNeAtChain(200.0 * (k + 1) - 1e-9, n, e));
        ASSERT_LT(std::hypot(n - rail.ends[k].n, e - rail.ends[k].e), 0.001) << k;
    }
}

// Two design profiles: the first is used unless another is chosen; both are written back under
// their names.
TEST(FileVerdicts, SeveralProfilesEachUnderItsName) {
    const std::string two =
        "<Profile name=\"road\"><ProfSurf name=\"ground\"/>"
        "<ProfAlign name=\"design\"><PVI>0 100</PVI><PVI>1000 110</PVI>"
        "</ProfAlign></Profile>\n<Profile name=\"alt\"><ProfAlign>"
        "<PVI>0 100</PVI><PVI>1000 121</PVI></ProfAlign></Profile>\n";
    Document doc = readOk(landXml(road("A", 0, two)));
    Alignment& a = doc.alignments.at(0);
    ASSERT_EQ(a.profiles.size(), 2u);  // the second named by its Profile
    EXPECT_NEAR(heightAt(a, 500.0), 105.0, 1e-9);
    std::string err;
    ASSERT_TRUE(useProfile(a, "alt", err)) << err;
    EXPECT_NEAR(heightAt(a, 500.0), 110.5, 1e-9);
    EXPECT_FALSE(useProfile(a, "final", err));
    EXPECT_TRUE(Says(err, "no profile named 'final'; its profiles are 'design', 'alt'")) << err;
    const Document back = readOk(write(doc, LinearUnit::InternationalFoot));
    ASSERT_EQ(back.alignments.at(0).profiles.size(), 2u);
    EXPECT_EQ(back.alignments[0].profiles[1].name, "alt");
    EXPECT_NEAR(back.alignments[0].profiles[1].vips[1].elevation, 121.0, 1e-9);
}

// An arc of R 200 m and 628.318 m (a half circle to the millimetre) has its PI 150,744 km away,
// an arc of R 5e8 m its Center beyond the bound: both are written without them and read back.
// A road whose computed end lies beyond the bound is refused when it is built.
TEST(WhatIsWritten, ReadsBack) {
    const std::string arcs =
        "<Alignment name=\"a\" staStart=\"0\"><CoordGeom>"
        "<Curve rot=\"cw\" radius=\"200\" length=\"628.318\"><Start>1000 1000</Start>"
        "<Center>1000 1200</Center></Curve><Curve rot=\"ccw\" radius=\"5e8\" length=\"100\"/>"
        "</CoordGeom></Alignment>\n";
    const Document doc = readOk(landXml(arcs));
    CAlnt alnt;
    BuildReport report;
    std::string err;
    ASSERT_TRUE(buildAlignment(doc.alignments.at(0), alnt, report, err)) << err;
    Document out;
    out.alignments.resize(1);
    ASSERT_TRUE(describeAlignment(alnt, out.alignments[0], err)) << err;
    for (LinearUnit unit : {LinearUnit::Meter, LinearUnit::USSurveyFoot}) {
        const Document back = readOk(write(out, unit));
        const std::vector<HElement>& e = back.alignments.at(0).elements;
        ASSERT_EQ(e.size(), 2u);
        EXPECT_FALSE(e[0].pi.present());
        EXPECT_FALSE(e[1].center.present());
        EXPECT_NEAR(e[0].end.north, 1000 + 200 * std::sin(628.318 / 200), 1e-9);
        EXPECT_NEAR(e[0].end.east, 1200 - 200 * std::cos(628.318 / 200), 1e-9);
    }
    const Document far = readOk(landXml(
        "<Alignment name=\"far\"><CoordGeom><Curve rot=\"cw\" radius=\"1000\" length=\"100\">"
        "<Start>99999950 0</Start><Center>99999950 1000</Center></Curve></CoordGeom>"
        "</Alignment>\n"));
    EXPECT_FALSE(buildAlignment(far.alignments.at(0), alnt, report, err));
    EXPECT_TRUE(Says(err,
                     "element 1 (Curve, line 4): its computed end lies beyond the coordinate "
                     "bound"))
        << err;
}

// A station of 477200 ft is written 477200, not 477199.99999999994; feet numbers come back
// within 1e-9 m, and bit for bit near the bound where a double's step is coarser; no "-0"; a
// name with quotes and brackets comes back as it was.
TEST(WhatIsWritten, FeetNumbersAndNamesReadBack) {
    Document doc = readOk(
        landXml("<Alignment name=\"a\" staStart=\"477200\"><CoordGeom><Line><Start>-0 1e-13</Start>"
                "<End>0.1 -1e-13</End></Line></CoordGeom></Alignment>\n",
                "USSurveyFoot"));
    doc.alignments[0].name = "Ramp \"A\" <B> & C";
    const std::string text = write(doc, LinearUnit::USSurveyFoot);
    EXPECT_TRUE(Says(text, "staStart=\"477200\"")) << text;
    EXPECT_TRUE(Says(text, "<Start>0 1")) << text;
    EXPECT_EQ(text.find("-0"), std::string::npos) << text;
    EXPECT_EQ(write(doc, LinearUnit::Meter).find("-0"), std::string::npos);
    EXPECT_EQ(readOk(text).alignments.at(0).name, doc.alignments[0].name);

    // Northings up to the bound: exactly where metres / foot converts back exactly (a double's
    // step there is coarser than 1e-9 m), else within a few units in the last place.
    Alignment& a = doc.alignments[0];
    for (int i = 0; i < 400; ++i) {
        const double m = 9.9e7 + i * 1234.5678901;
        a.elements[0].start.north = m;
        const Document back = readOk(write(doc, LinearUnit::USSurveyFoot));
        const double got = back.alignments.at(0).elements.at(0).start.north;
        if (toMetres(fromMetres(m, LinearUnit::USSurveyFoot), LinearUnit::USSurveyFoot) == m)
            ASSERT_EQ(got, m) << i;
        else
            ASSERT_NEAR(got, m, 4 * (std::nextafter(m, 1e300) - m)) << i;
    }
}

// The bound itself: a coordinate on it reads, in metres and written from metres in feet.
TEST(WhatIsWritten, ValuesOnTheBoundRead) {
    const std::string onBound = landXml(
        "<Alignment name=\"a\"><CoordGeom><Line><Start>100000000 -100000000</Start>"
        "<End>99999900 -100000000</End></Line></CoordGeom></Alignment>\n");
    const Document doc = readOk(onBound);
    for (LinearUnit unit : {LinearUnit::USSurveyFoot, LinearUnit::InternationalFoot}) {
        const Document back = readOk(write(doc, unit));
        EXPECT_NEAR(back.alignments.at(0).elements.at(0).start.north, 1e8, 1e-6);
    }
    // A feet text whose metres lie a few units in the last place beyond the bound.
    double v = fromMetres(1e8, LinearUnit::USSurveyFoot);
    while (toMetres(v, LinearUnit::USSurveyFoot) <= 1e8)
        v = std::nextafter(v, 1e300);
    ASSERT_LE(toMetres(v, LinearUnit::USSurveyFoot), 1e8 * (1 + kBoundSlack));
    char feet[64];
    std::snprintf(feet, sizeof feet, "%.17g", v);
    readOk(landXml(std::string("<Alignment name=\"a\"><CoordGeom><Line><Start>") + feet +
                       " 0</Start><End>328083000 0</End></Line></CoordGeom></Alignment>\n",
                   "USSurveyFoot"));
    // The end station counts from staStart: 99,999,950 + 1000 m ends beyond 1e8.
    const std::string err =
        refusal(landXml("<Alignment name=\"A\" staStart=\"99999950\"><CoordGeom><Line>"
                        "<Start>0 0</Start><End>1000 0</End></Line></CoordGeom></Alignment>\n"));
    EXPECT_TRUE(Says(err, "ends beyond station 1e8 m")) << err;
}
