// Files as design programs write them: one bad alignment among good ones, writers' rounding,
// several profiles, long chains of rounded elements, and what the writer gives back.
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

std::string profile(const std::string& vips, const char* name = "design") {
    return std::string("<Profile><ProfAlign name=\"") + name + "\">\n" + vips +
           "</ProfAlign></Profile>\n";
}

// Grades +2 %, -4 %, 0 % through VIPs at 400 (108 m) and 600 (100 m) with parabolas of the
// lengths given, written with the decimals given.
std::string crestAndSag(double l1, double l2, int decimals) {
    return profile("<PVI>0 100</PVI>\n<ParaCurve length=\"" + fixed(l1, decimals) +
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

}  // namespace

// Six alignments: a broken profile refuses its own alignment only; an equation outside its road,
// a repeated VIP and a declared length that misses an element are warnings.
TEST(FileVerdicts, OneBrokenProfileAmongSixRefusesOnlyItsAlignment) {
    const std::string xml = landXml(
        road("A", 0, crestAndSag(200, 200, 3)) + road("B", 2000, "") +
        road("C", 4000, "<StaEquation staInternal=\"1500\" staBack=\"1500\" staAhead=\"0\"/>\n") +
        road("D", 6000, crestAndSag(240, 240, 3)) +
        road("E", 8000,
             profile("<PVI>0 100</PVI>\n<PVI>500 110</PVI>\n<PVI>500 110</PVI>\n"
                     "<PVI>1000 100</PVI>\n")) +
        road("F", 10000, "", " length=\"1082.5\""));
    const Document doc = readOk(xml);
    ASSERT_EQ(doc.alignments.size(), 5u);
    ASSERT_EQ(doc.refused.size(), 1u);
    EXPECT_EQ(doc.refused[0].name, "D");
    EXPECT_EQ(doc.refused[0].line, 17);
    EXPECT_TRUE(has(doc.refused[0].message,
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
                road("G", 0, profile("<PVI>0 1</PVI><PVI>500 1</PVI><PVI>500 2</PVI>")));
    Document all;
    std::string err;
    EXPECT_FALSE(parse(none, all, err));
    EXPECT_TRUE(has(err, "alignment 'D': line 5: ProfAlign")) << err;
    EXPECT_TRUE(has(err,
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

    Document refused;
    EXPECT_FALSE(parse(landXml(road("A", 0, crestAndSag(l1 + 0.0018, l2, 6))), refused, err));
    EXPECT_TRUE(has(err, "overlap by 0.0015 m")) << err;
    EXPECT_TRUE(parse(landXml(road("A", 0, crestAndSag(246.93, 153.10, 2))), refused, err)) << err;
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
    EXPECT_TRUE(has(doc.warnings[0],
                    "line 6: StaEquation: staInternal -0+050.000 lies before the "
                    "alignment's start 0+000.000: the equation cannot apply"))
        << doc.warnings[0];

    std::vector<std::string> warnings;
    std::string err;
    for (double at : {0.0, 400.0}) {
        std::vector<StaEquation> twice{{at, at, 1000, 7}, {at, at, 2000, 9}};
        EXPECT_FALSE(checkEquations(0, 1000, twice, LinearUnit::Meter, warnings, err));
        EXPECT_TRUE(has(err, "line 9: StaEquation: stands at the same internal station")) << err;
        EXPECT_TRUE(has(err, "equation at line 7")) << err;
    }
    std::vector<StaEquation> off{{400, 400.005, 500, 4}, {600, 700.0005, 650, 5}};
    ASSERT_TRUE(checkEquations(0, 1000, off, LinearUnit::Meter, warnings, err)) << err;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(has(warnings[0], "line 4: StaEquation: staBack 0+400.005 differs")) << warnings[0];
}

namespace {

struct NE {
    double n, e;
};

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
    EXPECT_TRUE(has(err, "no profile named 'final'; its profiles are 'design', 'alt'")) << err;
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
    EXPECT_TRUE(has(err,
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
    EXPECT_TRUE(has(text, "staStart=\"477200\"")) << text;
    EXPECT_TRUE(has(text, "<Start>0 1")) << text;
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
    Document refused;
    std::string err;
    EXPECT_FALSE(
        parse(landXml("<Alignment name=\"A\" staStart=\"99999950\"><CoordGeom><Line>"
                      "<Start>0 0</Start><End>1000 0</End></Line></CoordGeom></Alignment>\n"),
              refused, err));
    EXPECT_TRUE(has(err, "ends beyond station 1e8 m")) << err;
}
