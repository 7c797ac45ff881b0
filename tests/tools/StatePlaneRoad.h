#pragma once

#include <string>

// A State Plane design in US survey feet near Los Angeles: a tangent due north from N 1840000
// E 6485000 at station 10+00 on a 4% grade from 300.000, a spiral, a 1500 ft curve and a
// spiral. `cs`: its CoordinateSystem element ("" for none).
inline std::string statePlaneRoad(const std::string& cs) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
<Units><Imperial linearUnit="USSurveyFoot"/></Units>
)" + cs + R"(
<Alignments><Alignment name="SR-2" staStart="1000" length="2300"><CoordGeom>
<Line length="800"><Start>1840000 6485000</Start><End>1840800 6485000</End></Line>
<Spiral rot="cw" spiType="clothoid" length="300" radiusStart="INF" radiusEnd="1500"/>
<Curve rot="cw" crvType="arc" radius="1500" length="900"/>
<Spiral rot="cw" spiType="clothoid" length="300" radiusStart="1500" radiusEnd="INF"/>
</CoordGeom>
<Profile name="p"><ProfAlign name="design"><PVI>1000 300</PVI><ParaCurve length="600">2500 360</ParaCurve><PVI>3300 330</PVI></ProfAlign></Profile>
</Alignment></Alignments>
</LandXML>
)";
}
