#pragma once

// The road beyond its centre line as the commands see it: the options that choose a design model
// (sections, a typical section, a finished-grade TIN) and a ground, and the model the LandXML
// component builds from them. The tool never computes a design height itself: every height at
// an offset comes from the corridor built here.

#include <cstdio>
#include <memory>
#include <string>

#include <velmorutils/zelmath/sections/RoadCorridor.h>
#include <velmorutils/zelmath/sections/SlopeStake.h>

#include "DesignInput.h"

namespace CLI {
class App;
}

namespace road {

// The options of the commands that take a design; empty strings are "not given".
struct SectionArgs {
    std::string sectionSurface;  // the file's section surface that holds the design
    std::string groundSection;   // the file's section surface that holds the ground
    std::string sectionHeights;  // "absolute", "relative" or empty (decided from the data)
    std::string ground;          // the file's TIN surface that is the ground
    std::string groundFile;      // a LandXML file whose surface is the ground
    std::string designSurface;   // the file's TIN surface that is the finished grade
    std::string designSurfaceFile;
    std::string templateFile;  // an INI typical section, in the output unit
};

// Adds the options above to a command.
void addSectionOptions(CLI::App* cmd, SectionArgs& a);

// The design model and the ground of one alignment. The corridor refers to the design's
// alignment, which must outlive it where it is.
struct RoadModel {
    std::unique_ptr<zel_math::CRoadCorridor> corridor;
    zel_math::TGround ground;

    bool hasModel() const { return corridor && corridor->hasModel(); }
    bool hasGround() const { return ground.tin != nullptr || ground.sections != nullptr; }
    // The design height (metres) at a chainage and offset; false off the model.
    bool designHeight(double chainageM, double offsetM, double& heightM,
                      std::string* code = nullptr) const {
        return hasModel() && corridor->designHeight(chainageM, offsetM, heightM, code);
    }
};

// Builds the model of the design's alignment from its file and the options (through the LandXML
// component's one call), saying on standard error which surfaces were taken and how heights
// were read. A design without sections and without options has no model, which is no error.
// The design then refers to the model's corridor (null without a model), for the field outputs.
int loadRoadModel(const SectionArgs& a, const Common& c, Design& d, RoadModel& model,
                  std::FILE* err);

}  // namespace road
