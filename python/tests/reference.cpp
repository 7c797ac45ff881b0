// The same questions the Python tests ask, answered by the C++ library directly, so the tests
// can hold the module to the library's numbers. Reads a LandXML file (metres) and then lines
// from standard input:
//   p CHAINAGE OFFSET  ->  northing easting height azimuth   (NaN where there is none)
//   b CHAINAGE OFFSET  ->  the same from the element that ends there (back side of a joint)
//   s NORTHING EASTING ->  chainage offset element status side (0 none, 1 back, 2 ahead)
#include <cstdio>
#include <iostream>
#include <limits>
#include <string>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/zelmath/alignment/AlntEvaluation.h>
#include <velmorutils/zelmath/alignment/CAlnt.h>
#include <velmorutils/zelmath/alignment/CAlntStationOffset.h>
#include <velmorutils/zelmath/angles/AngleConversions.h>

int main(int argc, char** argv) {
    zel_landxml::Document doc;
    std::string error;
    if (argc < 2 || !zel_landxml::readFile(argv[1], doc, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    CAlnt alnt;
    zel_landxml::BuildReport report;
    if (!zel_landxml::buildAlignment(doc.alignments.front(), alnt, report, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const CAlntStationOffset inverse(alnt);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::string op;
    double a = 0.0, b = 0.0;
    while (std::cin >> op >> a >> b) {
        if (op == "p") {
            double n = nan, e = nan, h = nan, az = nan;
            if (!alnt.getPosNeAtChainAndOffsetExtr(a, b, n, e)) n = e = nan;
            if (!alnt.getPosHAtChain(a, h)) h = nan;
            if (alnt.getAzimuthAtChainExtr(a, az)) az = pos360(az);
            std::printf("%.17g %.17g %.17g %.17g\n", n, e, h, az);
        } else if (op == "b") {
            TAlntEval at;
            double n = nan, e = nan;
            if (evaluateAlnt(alnt, a, at, TAlntJointSide::back)) alntOffsetPoint(at, b, n, e);
            std::printf("%.17g %.17g %.17g %.17g\n", n, e, at.hasHeight ? at.height : nan,
                        at.azimuthDeg);
        } else {
            TAlntFoot f;
            if (inverse.findNearest(a, b, f))
                std::printf("%.17g %.17g %d %d %d\n", f.chainageInM, f.offsetInM, f.element,
                            static_cast<int>(f.status), static_cast<int>(f.side));
            else
                std::printf("nan nan -1 -1 0\n");
        }
    }
    return 0;
}
