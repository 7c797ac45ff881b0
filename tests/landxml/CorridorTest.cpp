#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Corridor.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

#include "landxml/LandXmlReading.h"
#include "support/FilesScratch.h"

using namespace landxml_test;

namespace {

constexpr double kFt = 1200.0 / 3937.0;  // US survey foot in metres
const std::string kData =
    (std::filesystem::path(VELMORUTILS_SOURCE_DIR) / "tests/landxml/data").string();

std::string note(const std::vector<std::string>& notes, const std::string& part) {
    for (const std::string& n : notes)
        if (n.find(part) != std::string::npos) return n;
    return "";
}

// A file's first alignment with its corridor, as the tool and Python build it.
struct Road {
    zel_landxml::Document doc;
    CAlnt alnt;
    zel_math::CRoadCorridor corridor{alnt};
    zel_math::TGround ground;
    std::vector<std::string> notes;
    std::string error;

    bool load(const std::string& path, const zel_landxml::CorridorOptions& o = {}) {
        zel_landxml::BuildReport report;
        return zel_landxml::readFile(path, doc, error) &&
               zel_landxml::buildAlignment(doc.alignments[0], alnt, report, error) &&
               zel_landxml::buildCorridor(doc, 0, o, corridor, ground, notes, error);
    }
    double height(double chainage, double offset, std::string* code = nullptr) const {
        double h = NAN;
        return corridor.designHeight(chainage, offset, h, code) ? h : NAN;
    }
};

std::string file(const std::string& units, const std::string& alignmentBody,
                 const std::string& surfaces = "") {
    return "<?xml version=\"1.0\"?>\n<LandXML>\n" + units + "<Alignments><Alignment name=\"A\">\n" +
           "<CoordGeom><Line><Start>0 0</Start><End>100 0</End></Line></CoordGeom>\n" +
           alignmentBody + "</Alignment></Alignments>\n" + surfaces + "</LandXML>\n";
}
const std::string kMetres = "<Units><Metric linearUnit=\"meter\"/></Units>\n";

std::string section(const std::string& sta, const std::string& points) {
    return "<CrossSect sta=\"" + sta + "\"><DesignCrossSectSurf name=\"Top\">" + points +
           "</DesignCrossSectSurf></CrossSect>\n";
}

bool startsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

std::string tinError(const std::string& pnts, const std::string& faces) {
    const zel_landxml::Document doc = readOk(file(
        kMetres, "",
        "<Surfaces><Surface name=\"G\"><Definition surfType=\"TIN\">\n"
        "<Pnts>" +
            pnts + "</Pnts>\n<Faces>\n" + faces + "</Faces></Definition></Surface></Surfaces>\n"));
    zel_math::CTinSurface tin;
    std::string error;
    return zel_landxml::buildTinSurface(doc.surfaces.at(0), tin, error) ? "" : error;
}

const std::string kPoints =
    "<P id=\"7\">0 0 10</P><P id=\"3000000000\">0 10 11</P>"
    "<P id=\"42\">10 0 12</P><P id=\"5\">5 5 11</P>";

}  // namespace

// The feet export: absolute heights, a curb with a vertical face, ground sections beside them.
TEST(LandXmlCorridor, FeetSectionsGiveTheEdgeItsOwnHeight) {
    Road r;
    ASSERT_TRUE(r.load(kData + "/sections_feet.xml")) << r.error;
    EXPECT_EQ(r.doc.alignments[0].sections.size(), 9u);
    EXPECT_NE(note(r.notes, "DesignCrossSectSurf 'Top'"), "");
    EXPECT_NE(note(r.notes, "ground from 'ExistingGround'"), "");
    std::string code;
    // 0+00: the edge of travelled way 12 ft right lies 0.24 ft below the crown.
    EXPECT_NEAR(r.height(0.0, 12.0 * kFt - 1e-4, &code) / kFt, 77.666, 1e-3);
    EXPECT_NEAR(r.height(0.0, 0.0) / kFt, 77.906, 1e-6);
    // The vertical face carries the top of curb; between sections the grade runs on.
    EXPECT_NEAR(r.height(0.0, -12.0 * kFt) / kFt, 78.326, 1e-6);
    EXPECT_NEAR(r.height(12.5 * kFt, 6.0 * kFt) / kFt, 77.906 + 0.125 - 0.12, 1e-6);
    ASSERT_TRUE(r.ground.sections);
    EXPECT_FALSE(r.ground.tin);
}

// A ground TIN in metres from another file pairs with the feet alignment; the hole of the
// invisible face stays without ground. (Slope stakes on it are the corridor's own, checked with
// the library and from Python.)
TEST(LandXmlCorridor, GroundFileInItsOwnUnitCatchesTheFilesDaylight) {
    Road r;
    zel_landxml::CorridorOptions o;
    o.groundFile = kData + "/ground_metres.xml";
    ASSERT_TRUE(r.load(kData + "/sections_feet.xml", o)) << r.error;
    ASSERT_TRUE(r.ground.tin);
    EXPECT_FALSE(r.ground.sections);
    double h = 0.0;
    ASSERT_TRUE(r.ground.tin->heightAt(1100.0 * kFt, 5003.0 * kFt, h));
    EXPECT_NEAR(h / kFt, 76.906, 1e-4);
    EXPECT_FALSE(r.ground.tin->heightAt(990.0 * kFt, 4945.0 * kFt, h));
    EXPECT_TRUE(r.ground.tin->heightAt(990.0 * kFt, 4965.0 * kFt, h));
}

// Relative heights written as "0. 0.", a pavement course as a closed polygon, codes in Feature
// children, a left shoulder written with positive offsets.
TEST(LandXmlCorridor, RelativeHeightsClosedCourseAndFeatureCodes) {
    Road r;
    ASSERT_TRUE(r.load(kData + "/sections_relative.xml")) << r.error;
    const auto& surfaces = r.doc.alignments[0].sections[0].surfaces;
    ASSERT_EQ(surfaces.size(), 4u);
    EXPECT_TRUE(surfaces[0].closed);
    EXPECT_NE(note(r.notes, "ground heights relative"), "");
    std::string code;
    EXPECT_NEAR(r.height(10.0, 0.0), 100.1, 1e-9);
    EXPECT_NEAR(r.height(10.0, 2.0), 100.1 - 0.04, 1e-9);
    EXPECT_NEAR(r.height(10.0, 3.5, &code), 100.1 - 0.07, 1e-9);
    EXPECT_EQ(code, "ETW");
    EXPECT_NEAR(r.height(10.0, -4.0), 100.1 - 0.095, 1e-9);
    EXPECT_NEAR(r.height(10.0, 4.0), 100.1 - 0.09, 1e-9);
    EXPECT_NEAR(r.height(30.0, -4.5, &code), 100.3 - 0.12, 1e-9);
    EXPECT_EQ(code, "EOS");
    // Overruled: the same numbers as absolute heights.
    Road a;
    zel_landxml::CorridorOptions o;
    o.sectionHeights = zel_landxml::SectionHeights::Absolute;
    ASSERT_TRUE(a.load(kData + "/sections_relative.xml", o)) << a.error;
    EXPECT_NEAR(a.height(10.0, 2.0), -0.04, 1e-9);
}

TEST(LandXmlCorridor, SurfaceChoiceByName) {
    Road r;
    zel_landxml::CorridorOptions o;
    o.sectionSurface = "Pavement";
    o.groundSection = "EG";
    ASSERT_TRUE(r.load(kData + "/sections_relative.xml", o)) << r.error;
    EXPECT_TRUE(std::isnan(r.height(10.0, 4.0)));  // the shoulders are not taken
    o.groundSection = "Subgrade";
    Road bad;
    EXPECT_FALSE(bad.load(kData + "/sections_relative.xml", o));
    EXPECT_NE(bad.error.find("no section surface named 'Subgrade'"), std::string::npos);
    EXPECT_NE(bad.error.find("CrossSectSurf 'EG'"), std::string::npos);
}

// A typical section turned by the file's superelevation on a right-hand curve: the outside
// (left) lanes rise at the full rate, the inside ones fall at it.
TEST(LandXmlCorridor, TemplateWithTheFilesSuperelevation) {
    FilesScratch dir;
    const std::string side = "segments = lane 3.50 -2.5, shoulder 1.00 -4.0\ncut = 2\nfill = 3\n";
    dir.write("road.ini", "[left]\n" + side + "[right]\n" + side);
    dir.write(
        "c.xml",
        "<?xml version=\"1.0\"?>\n<LandXML><Alignments><Alignment name=\"C\">\n<CoordGeom>"
        "<Line><Start>0 0</Start><End>100 0</End></Line>"
        "<Curve rot=\"cw\" radius=\"300\" length=\"200\"/><Line><Start>285.510941 64.233822</Start>"
        "<End>364.099667 126.070802</End></Line></CoordGeom>\n"
        "<Profile><ProfAlign><PVI>0 50</PVI><PVI>400 50</PVI></ProfAlign></Profile>\n"
        "<Superelevation staStart=\"40\" staEnd=\"360\" BeginRunoutSta=\"40\" "
        "BeginRunoffSta=\"60\" FullSuperSta=\"120\" FullSuperelev=\"6\" RunoffSta=\"280\" "
        "StartofRunoutSta=\"340\" EndofRunoutSta=\"360\"/>\n</Alignment></Alignments></LandXML>\n");
    zel_landxml::CorridorOptions o;
    o.templateFile = dir.native("road.ini");
    Road r;
    ASSERT_TRUE(r.load(dir.native("c.xml"), o)) << r.error;
    EXPECT_NEAR(r.height(200.0, -3.5), 50.0 + 0.21, 1e-9);
    EXPECT_NEAR(r.height(200.0, 3.5), 50.0 - 0.21, 1e-9);
    EXPECT_NEAR(r.height(10.0, 3.5), 50.0 - 0.0875, 1e-9);
    // Template lengths in feet: the lanes become 3.5 ft, 4 ft out lies on the shoulder.
    o.templateUnit = zel_landxml::LinearUnit::InternationalFoot;
    Road feet;
    ASSERT_TRUE(feet.load(dir.native("c.xml"), o)) << feet.error;
    EXPECT_NEAR(feet.height(10.0, 4.0 * 0.3048), 50.0 - 0.025 * 3.5 * 0.3048 - 0.04 * 0.5 * 0.3048,
                1e-9);
}

// Faults of sections stay with the sections: the centre line still reads, the message names the
// line and the field.
TEST(LandXmlCorridorInput, SectionFaultsNameLineAndField) {
    const std::string two = "<CrossSectPnt>-3 1</CrossSectPnt><CrossSectPnt>3 1</CrossSectPnt>";
    zel_landxml::Document doc;
    auto errorOf = [&doc](const std::string& sections) {
        doc = readOk(file(kMetres, "<CrossSects>\n" + sections + "</CrossSects>\n"));
        return doc.alignments[0].sectionsError;
    };
    std::string e = errorOf(section("20", two) + section("10", two));
    EXPECT_TRUE(startsWith(e, "line 8: CrossSect: attribute 'sta' 10")) << e;
    EXPECT_TRUE(doc.alignments[0].sections.empty());
    EXPECT_TRUE(Says(errorOf(section("20", two) + section("20", two)), "does not follow"));
    e = errorOf(section("0", "<CrossSectPnt>-3</CrossSectPnt>"));
    EXPECT_TRUE(startsWith(e,
                           "line 7: CrossSectPnt: expected 'offset elevation' (two numbers), "
                           "found '-3'"))
        << e;
    e = errorOf(
        "<CrossSect sta=\"0\"><CrossSectSurf name=\"EG\"><PntList2D>-10 1 0 1.5 10"
        "</PntList2D></CrossSectSurf></CrossSect>");
    EXPECT_TRUE(Says(e, "pair 3: expected 'offset elevation'")) << e;
    // buildCorridor refuses what the reader kept.
    CAlnt alnt;
    zel_landxml::BuildReport report;
    std::string error;
    ASSERT_TRUE(zel_landxml::buildAlignment(doc.alignments[0], alnt, report, error));
    zel_math::CRoadCorridor road(alnt);
    zel_math::TGround ground;
    std::vector<std::string> notes;
    EXPECT_FALSE(zel_landxml::buildCorridor(doc, 0, {}, road, ground, notes, error));
    EXPECT_TRUE(Says(error, "pair 3"));
}

// Ids sparse (one beyond 32 bits), in any order; invisible faces skipped unchecked; other
// attributes ignored. A face naming a missing point and a zero-area face are refused at their line.
TEST(LandXmlCorridorInput, TinFacesAndTheirFaults) {
    EXPECT_EQ(tinError(kPoints,
                       "<F n=\"1 2 3\">7 3000000000 5</F>\n<F i=\"1\">7 8 9</F>\n"
                       "<F b=\"1\">7 5 42</F>\n"),
              "");
    EXPECT_EQ(tinError(kPoints, "<F>7 3000000000 5</F>\n<F>7 5 43</F>\n"),
              "line 11: F: corner 3 names point 43, which the surface 'G' does not have");
    EXPECT_TRUE(startsWith(tinError(kPoints, "<F>7 3000000000 5</F>\n<F>3000000000 5 42</F>\n"),
                           "line 11: F: "));
    EXPECT_TRUE(
        startsWith(tinError(kPoints, "<F>7 5</F>\n"), "line 10: F: expected three point ids"));
    EXPECT_TRUE(Says(tinError(kPoints + "<P id=\"5\">1 1 1</P>", "<F>7 5 42</F>\n"),
                     "point id 5 is given twice"));
    EXPECT_TRUE(startsWith(tinError("<P id=\"1\">0 0</P>", ""),
                           "line 8: P: expected 'northing easting elevation'"));
}

TEST(LandXmlCorridorInput, SuperelevationRateAndOrder) {
    const std::string ok =
        "<Superelevation staStart=\"10\" staEnd=\"90\"><BeginRunoutSta>10</BeginRunoutSta>"
        "<BeginRunoffSta>20</BeginRunoffSta><FullSuperSta>40</FullSuperSta>"
        "<FullSuperelev>-0.06</FullSuperelev><RunoffSta>60</RunoffSta>"
        "<StartofRunoutSta>80</StartofRunoutSta><EndofRunoutSta>90</EndofRunoutSta>"
        "<AdverseSE>non-adverse</AdverseSE></Superelevation>\n";
    zel_landxml::Document doc = readOk(file(kMetres, ok));
    ASSERT_EQ(doc.alignments[0].superelevation.size(), 1u) << doc.alignments[0].superelevationError;
    EXPECT_DOUBLE_EQ(doc.alignments[0].superelevation[0].fullRatePercent, 6.0);
    ASSERT_EQ(doc.warnings.size(), 1u);
    EXPECT_TRUE(Says(doc.warnings[0], "read as a fraction: 6 %"));
    std::string percent = ok;
    percent.replace(percent.find("-0.06"), 5, "4.5");
    doc = readOk(file(kMetres, percent));
    EXPECT_DOUBLE_EQ(doc.alignments[0].superelevation[0].fullRatePercent, 4.5);
    EXPECT_TRUE(doc.warnings.empty());
    std::string backwards = ok;
    backwards.replace(backwards.find(">40<"), 4, ">15<");
    doc = readOk(file(kMetres, backwards));
    EXPECT_EQ(doc.alignments[0].superelevationError,
              "line 6: FullSuperSta: FullSuperSta 15.0000 m lies before BeginRunoffSta 20.0000 m: "
              "superelevation stations must not run backwards");
    doc = readOk(file(kMetres, ok + ok));
    EXPECT_TRUE(Says(doc.alignments[0].superelevationError, "line 7: Superelevation: the period"));
}

TEST(LandXmlCorridorInput, SurfaceFilesAndSummaries) {
    zel_landxml::Document doc;
    std::string error;
    const std::string data = kData + "/ground_metres.xml";
    ASSERT_TRUE(zel_landxml::readSurfaceFile(data, doc, error)) << error;
    ASSERT_EQ(doc.surfaces.size(), 1u);
    EXPECT_EQ(doc.surfaces[0].faces.size(), 142u);  // 144 cells' triangles less the invisible two
    const zel_landxml::SurfaceSummary s = zel_landxml::summarizeSurface(doc.surfaces[0]);
    const double ft = 1200.0 / 3937.0;
    EXPECT_NEAR(s.minNorth, 980 * ft, 1e-4);
    EXPECT_NEAR(s.maxEast, 5060 * ft, 1e-4);
    EXPECT_NEAR(s.maxHeight, (75.906 + 2.2) * ft, 1e-4);
    std::shared_ptr<const zel_math::CTinSurface> tin;
    EXPECT_FALSE(zel_landxml::surfaceByName(doc, "Existing", tin, error));
    EXPECT_TRUE(Says(error, "surfaces are 'EG'"));
    EXPECT_TRUE(zel_landxml::surfaceByName(doc, "", tin, error));
    EXPECT_FALSE(zel_landxml::readSurfaceFile(data + ".missing", doc, error));
}
