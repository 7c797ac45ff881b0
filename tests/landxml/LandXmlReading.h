#pragma once

// What the LandXML tests share: a text that must read and a height on the road a read alignment
// builds (a part of a message is checked with the tests' shared Says).

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>

#include "support/Says.h"

namespace landxml_test {

// A LandXML text that must read; a failure carries the reader's message.
inline zel_landxml::Document readOk(const std::string& xml) {
    zel_landxml::Document doc;
    std::string err;
    EXPECT_TRUE(zel_landxml::parse(xml, doc, err)) << err;
    return doc;
}

// The design height (metres) at a running chainage of the road an alignment builds; NaN and a
// failure when it does not build or has no height there.
inline double heightAt(const zel_landxml::Alignment& a, double chainage) {
    CAlnt alnt;
    zel_landxml::BuildReport report;
    std::string err;
    double h = NAN;
    EXPECT_TRUE(zel_landxml::buildAlignment(a, alnt, report, err)) << err;
    EXPECT_TRUE(alnt.getPosHAtChain(chainage, h)) << chainage;
    return h;
}

}  // namespace landxml_test
