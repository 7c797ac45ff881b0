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

using namespace landxml_test;

namespace {

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
    if (doc.surfaces.size() != 1) return "no surface";
    return zel_landxml::buildTinSurface(doc.surfaces[0], tin, error) ? "" : error;
}

const std::string kPoints =
    "<P id=\"7\">0 0 10</P><P id=\"3000000000\">0 10 11</P>"
    "<P id=\"42\">10 0 12</P><P id=\"5\">5 5 11</P>";

}  // namespace

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
    EXPECT_TRUE(has(errorOf(section("20", two) + section("20", two)), "does not follow"));
    e = errorOf(section("0", "<CrossSectPnt>-3</CrossSectPnt>"));
    EXPECT_TRUE(startsWith(e,
                           "line 7: CrossSectPnt: expected 'offset elevation' (two numbers), "
                           "found '-3'"))
        << e;
    e = errorOf(
        "<CrossSect sta=\"0\"><CrossSectSurf name=\"EG\"><PntList2D>-10 1 0 1.5 10"
        "</PntList2D></CrossSectSurf></CrossSect>");
    EXPECT_TRUE(has(e, "pair 3: expected 'offset elevation'")) << e;
    // buildCorridor refuses what the reader kept.
    CAlnt alnt;
    zel_landxml::BuildReport report;
    std::string error;
    ASSERT_TRUE(zel_landxml::buildAlignment(doc.alignments[0], alnt, report, error));
    zel_math::CRoadCorridor road(alnt);
    zel_math::TGround ground;
    std::vector<std::string> notes;
    EXPECT_FALSE(zel_landxml::buildCorridor(doc, 0, {}, road, ground, notes, error));
    EXPECT_TRUE(has(error, "pair 3"));
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
    EXPECT_TRUE(has(tinError(kPoints + "<P id=\"5\">1 1 1</P>", "<F>7 5 42</F>\n"),
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
    EXPECT_TRUE(has(doc.warnings[0], "read as a fraction: 6 %"));
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
    EXPECT_TRUE(has(doc.alignments[0].superelevationError, "line 7: Superelevation: the period"));
}

TEST(LandXmlCorridorInput, SurfaceFilesAndSummaries) {
    zel_landxml::Document doc;
    std::string error;
    const std::string data =
        (std::filesystem::path(VELMORUTILS_SOURCE_DIR) / "tests/landxml/data/ground_metres.xml")
            .string();
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
    EXPECT_TRUE(has(error, "surfaces are 'EG'"));
    EXPECT_TRUE(zel_landxml::surfaceByName(doc, "", tin, error));
    EXPECT_FALSE(zel_landxml::readSurfaceFile(data + ".missing", doc, error));
}
