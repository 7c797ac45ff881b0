#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <velmorutils/landxml/Corridor.h>
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
    // The design's coordinate reference system as read_landxml gave it ("" none).
    std::string crs;
    // The road beyond the centre line is made again from its files: sections and surfaces are
    // the files' own data, so the copy reads them as the original did. `digest` fingerprints the
    // files' bytes when they were read; a copy refuses files that changed since (its answers
    // would no longer be the original's).
    struct CorridorSource {
        std::string path;  // the design file
        std::size_t index = 0;
        zel_landxml::CorridorOptions options;
        std::uint64_t digest = 0;
    };
    bool hasCorridor = false;
    CorridorSource corridor;
};

// FNV-1a over the bytes of the design file and of every file the options name ("" files are
// skipped); 0 when one cannot be read.
std::uint64_t corridorDigest(const AlignmentRecipe::CorridorSource& source);

}  // namespace pyvelmor
