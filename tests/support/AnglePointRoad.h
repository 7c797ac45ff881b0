#pragma once

#include <velmorutils/zelmath/alignment/CAlnt.h>
#include <velmorutils/zelmath/alignment/CAlntHeArc.h>
#include <velmorutils/zelmath/alignment/CAlntHeSegment.h>
#include <velmorutils/zelmath/vertical/CAlntVeLsWithArc.h>
#include <velmorutils/zelmath/vertical/CLsInfo.h>
#include <velmorutils/zelmath/vertical/CVerticalLSElement.h>

// A road with angle points, shared by the library's and the tool's stake-out tests.
namespace test_roads {

inline void straight(CAlnt& a, double len, double azimuthDeg) {
    CAlntHeSegment s;
    s.get_data().get_data().setLen(len);
    s.setFixedStartAzimuthDeg(azimuthDeg);
    a.appendElement(s);
}

// North 100 m, an angle point of 0.14 degrees to the right (as in a real export), 100 m, an
// angle point of 90 degrees to the right, 100 m east, then a right arc; a circular vertical curve
// in the profile.
inline void anglePointRoad(CAlnt& a) {
    a.setStartPos(1000.0, 500.0, 100.0);
    straight(a, 100.0, 0.0);
    straight(a, 100.0, 0.14);
    straight(a, 100.0, 90.14);
    CAlntHeArc arc;
    arc.get_data().get_data().SetElement(60.0, 200.0, true);
    a.appendElement(arc);
    a.appendElement(CVerticalLSElement(CLsInfo(0.0, 100.0, 0.0)));
    a.appendElement(CAlntVeLsWithArc(150.0, 103.0, 3000.0));
    a.appendElement(CVerticalLSElement(CLsInfo(360.0, 101.0, 0.0)));
}

}  // namespace test_roads
