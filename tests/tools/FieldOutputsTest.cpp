// Stake points for the data collector and the as-built check, through the tool as a user runs
// them: files read back, summaries against a plain computation of the deviations placed.

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include <velmorutils/landxml/StakePoints.h>
#include <velmorutils/landxml/StakeoutStations.h>
#include <velmorutils/zelmath/alignment/AlntEvaluation.h>

#include "DesignInput.h"
#include "PointFile.h"
#include "ToolRun.h"

namespace {

constexpr double kUsft = 1200.0 / 3937.0;

// A road in US survey feet with a coordinate system (and one attribute LandXML 1.2 lacks).
const char* kFeetRoad = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2" date="2026-01-01" time="00:00:00">
<Units><Imperial linearUnit="USSurveyFoot" areaUnit="squareFoot" volumeUnit="cubicFeet" angularUnit="decimal degrees" directionUnit="decimal degrees"/></Units>
<CoordinateSystem name="NAD83 / Texas Central (ftUS)" epsgCode="2277" horizontalDatum="NAD83" verticalDatum="NAVD88" vendorThing="x"/>
<Alignments><Alignment name="FM 1626" staStart="1000">
<CoordGeom>
<Line><Start>10000000 3000000</Start><End>10000500 3000000</End></Line>
<Curve rot="cw" crvType="arc" radius="1000" length="400"/>
</CoordGeom>
<Profile><ProfAlign name="design"><PVI>1000 500</PVI><ParaCurve length="200">1300 506</ParaCurve><PVI>1900 503</PVI></ProfAlign></Profile>
</Alignment></Alignments></LandXML>
)xml";

// The library's points of the same stake-out, in metres.
std::vector<zel_landxml::StakePoint> expectedPoints(const road::Design& d, double intervalM,
                                                    std::vector<double> offsetsM, long long first,
                                                    zel_landxml::LinearUnit unit) {
    zel_landxml::StakePointOptions o;
    o.request = zel_landxml::stakeoutRequest(d.stationing, intervalM);
    o.offsets = std::move(offsetsM);
    o.startNumber = first;
    o.style.unit = unit;
    std::vector<zel_landxml::StakePoint> pts;
    std::string error;
    EXPECT_TRUE(zel_landxml::stakePoints(d.alnt, d.stationing, o, pts, error)) << error;
    return pts;
}

// Each format of each road reads back through the tool's point reader to the library's points:
// the same numbers, descriptions and (to the written decimals) coordinates and heights; the
// stake table itself has the same positions in the same order.
TEST(StakePoints, EveryFormatReadsBackToTheSamePoints) {
    FilesScratch dir;
    dir.write("feet.xml", kFeetRoad);
    struct Road {
        std::string file, interval;
        double intervalM, unitM;
        zel_landxml::LinearUnit unit;
    } roads[] = {
        {"builtin", "20", 20.0, 1.0, zel_landxml::LinearUnit::Meter},
        {dir.native("feet.xml"), "50", 50.0 * kUsft, kUsft, zel_landxml::LinearUnit::USSurveyFoot}};
    for (const Road& r : roads) {
        const road::Design d = LoadDesign(r.file);
        const auto want =
            expectedPoints(d, r.intervalM, {-3.5 * r.unitM, 0.0, 3.5 * r.unitM}, 700, r.unit);
        ASSERT_GT(want.size(), 30u);
        for (const std::string format : {"pnezd", "penzd", "landxml"}) {
            const ToolRun run =
                RunTool({"stakeout", r.file, "--interval", r.interval, "--offsets=-3.5,0,3.5",
                         "--csv", "--points-out", dir.native("pts." + format), "--format", format,
                         "--start-number", "700"});
            ASSERT_EQ(run.code, 0) << run.err;
            const auto table = CsvRows(run.out);
            ASSERT_EQ(table.size(), want.size() + 1) << format;
            const road::PointFile back =
                road::readPointFile(dir.read("pts." + format),
                                    road::ColumnLayout{format == "penzd" ? "PENZD" : "PNEZD"});
            EXPECT_TRUE(back.bad.empty()) << back.bad.front().reason;
            EXPECT_EQ(back.hasUnit, format == "landxml");
            ASSERT_EQ(back.points.size(), want.size()) << format;
            for (size_t i = 0; i < want.size(); ++i) {
                const road::MeasuredPoint& g = back.points[i];
                EXPECT_EQ(g.name, std::to_string(want[i].number));
                EXPECT_EQ(g.code, want[i].description);
                EXPECT_NEAR(std::stod(table[i + 1][3]) * r.unitM, want[i].north, 1e-4 * r.unitM);
                EXPECT_NEAR(std::stod(table[i + 1][4]) * r.unitM, want[i].east, 1e-4 * r.unitM);
                EXPECT_NEAR(g.north * r.unitM, want[i].north, 0.5e-4 * r.unitM);
                EXPECT_NEAR(g.east * r.unitM, want[i].east, 0.5e-4 * r.unitM);
                EXPECT_NEAR(g.height * r.unitM, want[i].height, 0.5e-3 * r.unitM);
            }
        }
    }
}

// Descriptions as a crew reads them, in the unit of the file.
TEST(StakePoints, DescriptionsNameCodeSideOffsetAndStation) {
    const zel_landxml::StationStyle m;
    EXPECT_EQ(zel_landxml::stakeDescription("CL", 0.0, "0+100.00", TAlntJointSide::none, m),
              "CL 0+100.00");
    EXPECT_EQ(zel_landxml::stakeDescription("O", -3.5, "0+100.00", TAlntJointSide::none, m),
              "O 3.50 L 0+100.00");
    EXPECT_EQ(zel_landxml::stakeDescription("ETW", 3.6, "0+100.00", TAlntJointSide::none, m),
              "ETW R 0+100.00");
    EXPECT_EQ(zel_landxml::stakeDescription("SC", 0.0, "0+869.59", TAlntJointSide::back, m),
              "SC 0+869.59 back");
    zel_landxml::StationStyle ft;
    ft.unit = zel_landxml::LinearUnit::USSurveyFoot;
    EXPECT_EQ(
        zel_landxml::stakeDescription("O", 12.0 * kUsft, "10+00.00", TAlntJointSide::none, ft),
        "O 12.00 R 10+00.00");
}

// The LandXML stake file uses LandXML 1.2's names only, carries the design's unit and
// coordinate system (less the attribute 1.2 lacks), and is refused nowhere a reader looks.
TEST(StakePoints, LandXmlHasTheSchemaNamesUnitAndCoordinateSystem) {
    FilesScratch dir;
    dir.write("feet.xml", kFeetRoad);
    const ToolRun run = RunTool({"stakeout", dir.native("feet.xml"), "--points-out",
                                 dir.native("p.xml"), "--format", "landxml"});
    ASSERT_EQ(run.code, 0) << run.err;
    pugi::xml_document x;
    ASSERT_TRUE(x.load_string(dir.read("p.xml").c_str()));
    const pugi::xml_node root = x.document_element();
    EXPECT_STREQ(root.attribute("xmlns").value(), "http://www.landxml.org/schema/LandXML-1.2");
    EXPECT_FALSE(std::string(root.attribute("date").value()).empty());
    const std::map<std::string, std::set<std::string>> allowed{
        {"LandXML", {"xmlns", "version", "date", "time"}},
        {"Units", {}},
        {"Imperial", {"linearUnit", "areaUnit", "volumeUnit", "angularUnit", "directionUnit"}},
        {"CoordinateSystem", {"name", "epsgCode", "horizontalDatum", "verticalDatum"}},
        {"Application", {"name", "manufacturer"}},
        {"CgPoints", {"name"}},
        {"CgPoint", {"name", "code", "desc"}}};
    const std::function<void(const pugi::xml_node&)> walk = [&](const pugi::xml_node& n) {
        ASSERT_TRUE(allowed.count(n.name())) << n.name();
        for (const pugi::xml_attribute& a : n.attributes())
            EXPECT_TRUE(allowed.at(n.name()).count(a.name())) << n.name() << " " << a.name();
        for (const pugi::xml_node& c : n.children())
            if (c.type() == pugi::node_element) walk(c);
    };
    walk(root);
    EXPECT_STREQ(root.child("Units").child("Imperial").attribute("linearUnit").value(),
                 "USSurveyFoot");
    EXPECT_STREQ(root.child("CoordinateSystem").attribute("epsgCode").value(), "2277");
    EXPECT_GT(root.child("CgPoints").select_nodes("CgPoint").size(), 10u);
}

// A file not written at all when the stake-out fails: the previous one stays.
TEST(StakePoints, NothingIsWrittenWhenTheStakeOutFails) {
    FilesScratch dir;
    dir.write("p.csv", "old\n");
    const ToolRun run =
        RunTool({"stakeout", "builtin", "--from", "9+000", "--points-out", dir.native("p.csv")});
    EXPECT_NE(run.code, 0);
    EXPECT_EQ(dir.read("p.csv"), "old\n");
    EXPECT_EQ(RunTool({"stakeout", "builtin", "--format", "pnezd"}).code, road::kExitUsage);
}

}  // namespace
