#pragma once

#include <vector>

#include <velmorutils/landxml/Model.h>

namespace pyvelmor {

// One call of the AlignmentBuilder as the user made it, in the builder's unit: what the call
// was and its numbers in the order of RoadBuilder's methods (unused ones 0).
struct BuilderCall {
    enum Op : int { line = 0, arc = 1, spiral = 2, ip = 3, vip = 4, equation = 5 };
    int op = line;
    double values[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
};

// How an alignment was made, kept with it so that it can be made again, by the same steps, into
// an alignment that answers bit for bit like it (pickling, deep copies, other processes). The
// steps, not the library's derived geometry, are kept: the library derives the same doubles
// from the same inputs, and a few numbers per element are all a copy costs.
struct AlignmentRecipe {
    enum class Source { none, landxml, builder };
    Source source = Source::none;
    // landxml: the file's alignment as read, its profile in use chosen (metres).
    zel_landxml::Alignment model;
    // builder: the start (northing, easting, chainage, azimuth in degrees) and every call that
    // succeeded, in order, in the builder's unit.
    double start[4] = {0.0, 0.0, 0.0, 0.0};
    std::vector<BuilderCall> calls;
};

}  // namespace pyvelmor
