// `list` of an existing-ground export: a file of TIN surfaces and no alignment shows its
// surfaces; a file with neither still fails, naming what is missing.
#include <gtest/gtest.h>

#include <string>

#include "ToolRun.h"
#include "support/FilesScratch.h"

namespace {

TEST(ListSurfaces, GroundOnlyFileListsItsSurfaceAndEmptyFileFails) {
    FilesScratch dir;
    dir.write("eg.xml", R"(<?xml version="1.0"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
<Units><Imperial linearUnit="USSurveyFoot"/></Units>
<Surfaces><Surface name="EG"><Definition surfType="TIN"><Pnts>
<P id="1">5000 2000 310.5</P><P id="2">5000 2100 312</P><P id="3">5100 2000 315.25</P></Pnts>
<Faces><F>1 2 3</F></Faces></Definition></Surface></Surfaces></LandXML>)");
    const ToolRun r = RunTool({"list", dir.native("eg.xml")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Says(r.out, "EG                   3 points, 1 triangle"));
    EXPECT_TRUE(Says(r.out,
                     "northing 5000.000 to 5100.000, easting 2000.000 to 2100.000, height "
                     "310.500 to 315.250"));
    EXPECT_EQ(r.out.find("profiles"), std::string::npos) << "no alignment table without rows";

    dir.write("none.xml", "<LandXML><Units><Metric linearUnit=\"meter\"/></Units></LandXML>");
    const ToolRun none = RunTool({"list", dir.native("none.xml")});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(Says(none.err, "line 1: the file holds no Alignment"));
}

}  // namespace
