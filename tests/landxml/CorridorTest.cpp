#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Corridor.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>

#include "support/FilesScratch.h"

namespace {

constexpr double kFt = 1200.0 / 3937.0;  // US survey foot in metres
const std::string kData =
    (std::filesystem::path(VELMORUTILS_SOURCE_DIR) / "tests/landxml/data").string();

std::string has(const std::vector<std::string>& notes, const std::string& part) {
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

}  // namespace

// The feet export: absolute heights, a curb with a vertical face, ground sections beside them.
TEST(LandXmlCorridor, FeetSectionsGiveTheEdgeItsOwnHeight) {
    Road r;
    ASSERT_TRUE(r.load(kData + "/sections_feet.xml")) << r.error;
    EXPECT_EQ(r.doc.alignments[0].sections.size(), 9u);
    EXPECT_NE(has(r.notes, "DesignCrossSectSurf 'Top'"), "");
    EXPECT_NE(has(r.notes, "ground from 'ExistingGround'"), "");
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
    EXPECT_NE(has(r.notes, "ground heights relative"), "");
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
