#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <velmorutils/landxml/Model.h>

namespace {

using zel_landxml::CoordinateSystem;
using zel_landxml::Document;

std::string withCoordinateSystem(const std::string& element) {
    return "<?xml version=\"1.0\"?>\n<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" "
           "version=\"1.2\">\n<Units><Imperial linearUnit=\"USSurveyFoot\"/></Units>\n" +
           element +
           "\n<Alignments><Alignment name=\"A\" staStart=\"0\" length=\"100\"><CoordGeom>\n"
           "<Line length=\"100\"><Start>1837000 6484000</Start><End>1837100 6484000</End></Line>\n"
           "</CoordGeom></Alignment></Alignments>\n</LandXML>\n";
}

// A Civil 3D style export in a State Plane zone, with a WKT holding quotes, an ampersand and a
// line break.
const char* kCivil =
    R"xml(<CoordinateSystem name="CA83-VF" epsgCode=" 2229 " ogcWktCode="PROJCS[&quot;NAD83 / California zone 5 (ftUS)&quot;,&#10;GEOGCS[&quot;NAD83 &amp; co&quot;]]" horizontalDatum="NAD83" verticalDatum="NAVD88" horizontalCoordinateSystemName="NAD83 / California zone 5 (ftUS)" ellipsoidName="GRS1980"/>)xml";

TEST(LandXmlCoordinateSystem, ReadsEveryAttributeAndWritesItBackInEachUnit) {
    Document doc;
    std::string error;
    ASSERT_TRUE(zel_landxml::parse(withCoordinateSystem(kCivil), doc, error)) << error;
    const auto fields = [](const CoordinateSystem& c) {
        return std::vector<std::string>{c.name,          c.epsgCode,
                                        c.ogcWktCode,    c.horizontalDatum,
                                        c.verticalDatum, c.horizontalCoordinateSystemName};
    };
    const CoordinateSystem& cs = doc.coordinateSystem;
    EXPECT_EQ(fields(cs),
              (std::vector<std::string>{
                  "CA83-VF", "2229",  // blanks around the code dropped
                  "PROJCS[\"NAD83 / California zone 5 (ftUS)\",\nGEOGCS[\"NAD83 & co\"]]", "NAD83",
                  "NAVD88", "NAD83 / California zone 5 (ftUS)"}));
    EXPECT_EQ(cs.line, 4);
    EXPECT_EQ(zel_landxml::crsDefinition(cs), "EPSG:2229");
    for (auto unit : {zel_landxml::LinearUnit::Meter, zel_landxml::LinearUnit::USSurveyFoot}) {
        Document back;
        ASSERT_TRUE(zel_landxml::parse(zel_landxml::write(doc, unit), back, error)) << error;
        EXPECT_EQ(fields(back.coordinateSystem), fields(cs));
    }
}

TEST(LandXmlCoordinateSystem, DefinitionFallsBackFromCodeToWktToName) {
    CoordinateSystem cs;
    EXPECT_FALSE(cs.present());
    EXPECT_EQ(zel_landxml::crsDefinition(cs), "");
    cs.horizontalCoordinateSystemName = "NAD83 / Texas Central (ftUS)";
    EXPECT_EQ(zel_landxml::crsDefinition(cs), "NAD83 / Texas Central (ftUS)");
    cs.ogcWktCode = "PROJCS[\"x\"]";
    EXPECT_EQ(zel_landxml::crsDefinition(cs), "PROJCS[\"x\"]");
    // A code that is not a whole number is not an EPSG code.
    cs.epsgCode = "2229a";
    EXPECT_EQ(zel_landxml::crsDefinition(cs), "PROJCS[\"x\"]");
    cs.epsgCode = "3878";
    EXPECT_EQ(zel_landxml::crsDefinition(cs), "EPSG:3878");
}

TEST(LandXmlCoordinateSystem, AFileWithoutOneWritesNone) {
    Document doc;
    std::string error;
    ASSERT_TRUE(zel_landxml::parse(withCoordinateSystem(""), doc, error)) << error;
    EXPECT_FALSE(doc.coordinateSystem.present());
    EXPECT_EQ(zel_landxml::write(doc, zel_landxml::LinearUnit::Meter).find("CoordinateSystem"),
              std::string::npos);
    // An element with only attributes the model does not keep is not a coordinate system.
    ASSERT_TRUE(
        zel_landxml::parse(withCoordinateSystem("<CoordinateSystem desc=\"x\"/>"), doc, error));
    EXPECT_FALSE(doc.coordinateSystem.present());
}

}  // namespace
