#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <velmorutils/landxml/Model.h>

#include "landxml/LandXmlReading.h"
#include "support/FilesScratch.h"

using landxml_test::readOk;

namespace {

std::string wrap(const std::string& units, const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" "
           "version=\"1.2\">\n" +
           units + "<Alignments>\n" + body + "</Alignments>\n</LandXML>\n";
}

const char* kMetric = "<Units><Metric linearUnit=\"meter\"/></Units>\n";

// A metric file with the coordinate system element given (on line 4) and one straight.
std::string withCoordinateSystem(const std::string& element) {
    return wrap(std::string(kMetric) + element + "\n",
                "<Alignment staStart=\"0\"><CoordGeom><Line><Start>0 0</Start><End>0 10</End>"
                "</Line></CoordGeom></Alignment>");
}

// A metric file of one alignment with the geometry given.
std::string geom(const std::string& elements) {
    return wrap(kMetric,
                "<Alignment staStart=\"0\"><CoordGeom>" + elements + "</CoordGeom></Alignment>");
}

const std::string kRoad = R"(<Alignment name="Main &amp; 1st" staStart="1000" length="400">
<CoordGeom>
<Line length="100"><Start>5000 2000</Start><End>5100 2000</End></Line>
<Spiral rot="cw" spiType="clothoid" length="60" radiusStart="INF" radiusEnd="300">
  <Start>5100 2000</Start><End>5159.8 2002</End></Spiral>
<Curve rot="cw" crvType="arc" radius="300" length="80">
  <Start>5159.8 2002</Start><Center>5150 2300</Center><End>5230 2030</End></Curve>
<Spiral rot="ccw" length="40" radiusStart="300" radiusEnd="600"/>
</CoordGeom>
<Profile name="p"><ProfSurf name="ground"/><ProfAlign name="design">
<PVI>1000 50</PVI>
<ParaCurve length="120">1150 53</ParaCurve>
<CircCurve length="80" radius="4000">1300 51.5</CircCurve>
<PVI>1400 52.25</PVI>
</ProfAlign></Profile>
</Alignment>
)";

// A Civil 3D style export in a State Plane zone, with a WKT holding quotes, an ampersand and a
// line break.
const char* kCivil =
    R"xml(<CoordinateSystem name="CA83-VF" epsgCode=" 2229 " ogcWktCode="PROJCS[&quot;NAD83 / California zone 5 (ftUS)&quot;,&#10;GEOGCS[&quot;NAD83 &amp; co&quot;]]" horizontalDatum="NAD83" verticalDatum="NAVD88" horizontalCoordinateSystemName="NAD83 / California zone 5 (ftUS)" ellipsoidName="GRS1980"/>)xml";

}  // namespace

TEST(LandXmlRead, ReadsGeometryProfileAndAttributes) {
    const zel_landxml::Document doc = readOk(wrap(kMetric, kRoad));
    ASSERT_EQ(doc.alignments.size(), 1u);
    const zel_landxml::Alignment& a = doc.alignments[0];
    EXPECT_EQ(a.name, "Main & 1st");
    // Positions, radii and profile curves are held by the roads built from files elsewhere;
    // here what only the model shows: element kinds, their lines, a compound spiral between two
    // radii turning left without an End.
    ASSERT_EQ(a.elements.size(), 4u);
    using zel_landxml::HKind;
    const HKind kinds[] = {HKind::Line, HKind::Spiral, HKind::Curve, HKind::Spiral};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(a.elements[i].kind, kinds[i]) << i;
    EXPECT_EQ(a.elements[2].line, 10);
    EXPECT_FALSE(a.elements[3].clockwise || a.elements[3].end.present());
    EXPECT_EQ(a.elements[3].radiusEnd, 600.0);
    ASSERT_EQ(a.profile.size(), 4u);
    EXPECT_EQ(a.profile[2].curve, zel_landxml::VCurve::Circle);
}

TEST(LandXmlRead, ConvertsSurveyAndInternationalFeet) {
    const std::string body = R"(<Alignment name="f" staStart="3937">
<CoordGeom><Line><Start>3937 0</Start><End>3937 3937</End></Line></CoordGeom>
<Profile><ProfAlign><PVI>3937 100</PVI><PVI>7874 200</PVI></ProfAlign></Profile>
<StaIncrement staIncrement="82.021"/></Alignment>
)";
    const zel_landxml::Document us =
        readOk(wrap("<Units><Imperial linearUnit=\"USSurveyFoot\"/></Units>", body));
    ASSERT_EQ(us.alignments.size(), 1u);
    EXPECT_EQ(us.unit, zel_landxml::LinearUnit::USSurveyFoot);
    EXPECT_NEAR(us.alignments[0].staStart, 1200.0, 1e-9);
    EXPECT_NEAR(us.alignments[0].staIncrement, 82.021 * 1200.0 / 3937.0, 1e-9);
    EXPECT_NEAR(readOk(wrap("<Units><Imperial linearUnit=\"foot\"/></Units>", body))
                    .alignments.at(0)
                    .staStart,
                3937.0 * 0.3048, 1e-9);
}

TEST(LandXmlRead, RefusesMalformedUnsupportedAndBoundlessFilesWithTheirLine) {
    struct Case {
        std::string text;
        std::string expected;  // part of the message
    };
    const std::string line = "<CoordGeom><Line><Start>0 0</Start><End>0 10</End></Line>";
    const Case cases[] = {
        {"<LandXML><Alignments><Alignment", "malformed XML"},
        {"<Other/>", "not LandXML"},
        {wrap(kMetric, ""), "no Alignment"},
        {wrap(kMetric, "<Alignment staStart=\"0\">\n<StaEquation staBack=\"1\" staAhead=\"2\"/>" +
                           line + "</CoordGeom></Alignment>"),
         "line 6: StaEquation: attribute 'staInternal' is missing"},
        {geom("\n<Curve rot=\"cw\" crvType=\"chord\" radius=\"100\" length=\"10\"/>"),
         "line 6: Curve: curve type 'chord'"},
        {geom("\n<Spiral rot=\"cw\" spiType=\"bloss\" length=\"10\" radiusStart=\"INF\" "
              "radiusEnd=\"100\"/>"),
         "spiral type 'bloss'"},
        {geom("<Curve rot=\"cw\" length=\"10\"/>"), "'radius' is missing"},
        {geom("<Curve rot=\"left\" radius=\"5\" length=\"10\"/>"), "'rot'"},
        {geom("<Line><Start>0 x</Start><End>1 1</End></Line>"),
         "line 5: Start: easting is not a finite number: 'x'"},
        {geom("<Line length=\"1e999\"><Start>0 0</Start><End>1 1</End></Line>"),
         "line 5: Line: attribute 'length' is not a finite number: '1e999'"},
        {geom("<IrregularLine/>"), "IrregularLine: this element is not supported"},
        {wrap("<Units><Metric linearUnit=\"millimeter\"/></Units>", ""), "millimeter"},
        // Values no road has, named by line and field in the file's unit.
        {geom("\n<Line length=\"1e308\"><Start>0 0</Start><End>1 0</End></Line>"),
         "line 6: Line: attribute 'length' is 1e308 meter: a length must lie between 0 and 1e6 m"},
        {geom("\n<Line><Start>0 0</Start><End>1e12 0</End></Line>"),
         "line 6: End: northing is 1e12 meter: a coordinate"},
        {wrap(kMetric, "<Alignment staStart=\"1e18\">" + line + "</CoordGeom></Alignment>"),
         "line 5: Alignment: attribute 'staStart' is 1e18"},
        {geom("<Curve rot=\"cw\" radius=\"1e-300\" length=\"50\"><Start>0 0</Start></Curve>"),
         "attribute 'radius' is 1e-300 meter: a radius must lie between 0.1 m and 1e9 m"},
        {wrap(kMetric, "<Alignment staStart=\"0\">" + line +
                           "</CoordGeom><Profile><ProfAlign><PVI>0 1</PVI>\n<PVI>500 1e308</PVI>"
                           "</ProfAlign></Profile></Alignment>"),
         "line 6: PVI: elevation is 1e308 meter: an elevation"},
        // A quarter circle of 1000 km radius: each value within bounds, the arc 1571 km long.
        {geom("\n<Curve rot=\"cw\" radius=\"1e6\"><Start>0 0</Start><Center>0 1e6</Center>"
              "<End>1e6 1e6</End></Curve>"),
         "line 6: Curve: Start, Center and End give an arc of 1570796.3268 m"},
    };
    for (const Case& c : cases) {
        zel_landxml::Document doc;
        doc.alignments.resize(3);  // a failed read leaves the caller's document alone
        std::string err;
        EXPECT_FALSE(zel_landxml::parse(c.text, doc, err)) << c.expected;
        EXPECT_NE(err.find(c.expected), std::string::npos) << "got: " << err;
        EXPECT_EQ(doc.alignments.size(), 3u);
    }
    // A clothoid may turn through up to 4 pi from its tangent point: 100 m into a 10 m radius
    // (5 rad) reads, 300 m (15 rad) is refused.
    const auto spiral = [](const char* length) {
        return geom(std::string("<Spiral rot=\"cw\" spiType=\"clothoid\" length=\"") + length +
                    "\" radiusStart=\"INF\" radiusEnd=\"10\"><Start>0 0</Start></Spiral>");
    };
    zel_landxml::Document doc;
    std::string err;
    EXPECT_TRUE(zel_landxml::parse(spiral("100"), doc, err)) << err;
    EXPECT_FALSE(zel_landxml::parse(spiral("300"), doc, err));
    EXPECT_NE(err.find("the clothoid turns through 15 rad"), std::string::npos) << err;
    // A spiral's tangent end written as 0 or as an enormous radius is INF.
    for (const char* tangent : {"0", "1e12", "INF"}) {
        ASSERT_TRUE(
            zel_landxml::parse(geom(std::string("<Spiral rot=\"cw\" length=\"60\" radiusStart=\"") +
                                    tangent + "\" radiusEnd=\"300\"><Start>0 0</Start></Spiral>"),
                               doc, err))
            << err;
        EXPECT_TRUE(std::isinf(doc.alignments[0].elements[0].radiusStart)) << tangent;
    }
    // A byte-order mark before the declaration is read past (zero bytes, UTF-16 and folders are
    // the text checks' own, held where the tool opens a design).
    EXPECT_TRUE(zel_landxml::parse("\xEF\xBB\xBF" + spiral("100"), doc, err)) << err;
}

// Written in metres a document reads back to the same doubles (the shortest text of each number,
// even a 3e-10 m line, a 9e8 m radius or a northing near the bound); in feet every number reads
// back within 1e-9 m, as the shortest such text.
TEST(LandXmlWrite, EveryDocumentReadsBackInEachUnit) {
    zel_landxml::Document doc = readOk(wrap(kMetric, kRoad));
    zel_landxml::Alignment& a = doc.alignments.at(0);
    a.equations = {{1100.0, 1100.0, 1150.123456789, 0}, {1300.0, 1350.123456789, 1321.7, 0}};
    zel_landxml::HElement tiny = a.elements[0];
    tiny.length = 3e-10;
    tiny.start = {99999999.123456789, -0.1};
    tiny.end = {99999999.123456789 + 3e-10, -0.1};
    a.elements.push_back(tiny);
    zel_landxml::HElement wide = a.elements[2];
    wide.radius = 9e8;
    wide.pi = {};
    a.elements.push_back(wide);
    for (auto unit : {zel_landxml::LinearUnit::Meter, zel_landxml::LinearUnit::USSurveyFoot,
                      zel_landxml::LinearUnit::InternationalFoot}) {
        const std::string text = zel_landxml::write(doc, unit);
        const zel_landxml::Document back = readOk(text);
        const zel_landxml::Alignment& b = back.alignments.at(0);
        if (unit == zel_landxml::LinearUnit::Meter) {
            // The shortest text is unique to its double: equal texts, equal numbers.
            EXPECT_EQ(zel_landxml::write(back, unit), text);
            continue;
        }
        ASSERT_EQ(b.elements.size(), a.elements.size());
        EXPECT_GT(b.elements[4].length, 0.0);  // the 3e-10 m line is not written as 0
        for (size_t i = 0; i < a.elements.size(); ++i) {
            EXPECT_NEAR(b.elements[i].length, a.elements[i].length, 1e-9) << i;
            if (!a.elements[i].end.present()) continue;
            EXPECT_NEAR(b.elements[i].end.north, a.elements[i].end.north, 1e-9) << i;
            EXPECT_NEAR(b.elements[i].end.east, a.elements[i].end.east, 1e-9) << i;
        }
        ASSERT_EQ(b.profile.size(), a.profile.size());
        for (size_t i = 0; i < a.profile.size(); ++i)
            EXPECT_NEAR(b.profile[i].station, a.profile[i].station, 1e-9) << i;
        ASSERT_EQ(b.equations.size(), 2u);
        EXPECT_NEAR(b.equations[1].staBack, a.equations[1].staBack, 1e-9);
    }
}

TEST(LandXmlWrite, FilesAreWrittenWholeOrNotAtAll) {
    const FilesScratch dir;
    const zel_landxml::Document doc = readOk(wrap(kMetric, kRoad));
    zel_landxml::Document back;
    std::string err;
    ASSERT_TRUE(zel_landxml::writeFile(dir.native("road.xml"), doc,
                                       zel_landxml::LinearUnit::USSurveyFoot, err))
        << err;
    ASSERT_TRUE(zel_landxml::readFile(dir.native("road.xml"), back, err)) << err;
    EXPECT_EQ(back.unit, zel_landxml::LinearUnit::USSurveyFoot);
    EXPECT_EQ(back.alignments[0].elements.size(), doc.alignments[0].elements.size());
    EXPECT_FALSE(zel_landxml::writeFile(dir.native("no/such/road.xml"), doc,
                                        zel_landxml::LinearUnit::Meter, err));
    EXPECT_NE(err.find("no/such"), std::string::npos) << err;
}

TEST(LandXmlCoordinateSystem, ReadsEveryAttributeAndWritesItBackInEachUnit) {
    const zel_landxml::Document doc = readOk(withCoordinateSystem(kCivil));
    std::string error;
    const auto fields = [](const zel_landxml::CoordinateSystem& c) {
        return std::vector<std::string>{c.name,          c.epsgCode,
                                        c.ogcWktCode,    c.horizontalDatum,
                                        c.verticalDatum, c.horizontalCoordinateSystemName};
    };
    const zel_landxml::CoordinateSystem& cs = doc.coordinateSystem;
    EXPECT_EQ(fields(cs),
              (std::vector<std::string>{
                  "CA83-VF", "2229",  // blanks around the code dropped
                  "PROJCS[\"NAD83 / California zone 5 (ftUS)\",\nGEOGCS[\"NAD83 & co\"]]", "NAD83",
                  "NAVD88", "NAD83 / California zone 5 (ftUS)"}));
    EXPECT_EQ(cs.line, 4);
    EXPECT_EQ(zel_landxml::crsDefinition(cs), "EPSG:2229");
    for (auto unit : {zel_landxml::LinearUnit::Meter, zel_landxml::LinearUnit::USSurveyFoot}) {
        zel_landxml::Document back;
        ASSERT_TRUE(zel_landxml::parse(zel_landxml::write(doc, unit), back, error)) << error;
        EXPECT_EQ(fields(back.coordinateSystem), fields(cs));
    }
}

TEST(LandXmlCoordinateSystem, DefinitionFallsBackFromCodeToWktToName) {
    zel_landxml::CoordinateSystem cs;
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
    const zel_landxml::Document doc = readOk(withCoordinateSystem(""));
    EXPECT_FALSE(doc.coordinateSystem.present());
    EXPECT_EQ(zel_landxml::write(doc, zel_landxml::LinearUnit::Meter).find("CoordinateSystem"),
              std::string::npos);
    // An element with only attributes the model does not keep is not a coordinate system.
    EXPECT_FALSE(
        readOk(withCoordinateSystem("<CoordinateSystem desc=\"x\"/>")).coordinateSystem.present());
}
