#pragma once

#include <memory>

#include <pybind11/pybind11.h>

#include "RoadAlignment.h"

namespace pyvelmor {

namespace py = pybind11;

// The pickled state of an Alignment: the steps it was made by (AlignmentRecipe), not its
// geometry, so that the copy is made the same way and answers bit for bit like the original.
//
//   (version, unit, name, parts)
//
//   version  kStateVersion of the writer; a reader refuses a newer one, naming both versions
//   unit     "m", "usft" or "ft"
//   name     the alignment's name
//   parts    a tuple of (tag, bytes) pairs; each bytes holds fixed-size records of
//            little-endian float64 (a few per element, exact, about a tenth of the LandXML text):
//     "landxml-plan"       staStart, staIncrement (NaN: none), then 15 per element: kind
//                          (0 line, 1 curve, 2 spiral), staStart, length, clockwise (1/0),
//                          radius, radiusStart, radiusEnd, then start, end, center and PI
//                          (north, east; NaN where the file gave none), all in metres
//     "landxml-profile"    6 per VIP: station, elevation, curve (0 none, 1 parabola,
//                          2 circle), length, radius, writtenStep (metres)
//     "landxml-equations"  3 per equation: staInternal, staBack, staAhead (metres)
//     "crs"                the design's CRS text (read_landxml), UTF-8
//     "corridor-source"    the road beyond the centre line: the design file, the alignment's
//                          index, a digest of the files' bytes and the read_landxml options, one
//                          a line; the copy reads the same files again (and refuses them when
//                          they changed), since sections and surfaces are the files' own data
//     "builder"            northing, easting, chainage, azimuth of the start, then 6 per
//                          successful call: BuilderCall::op and its 5 values (builder's unit)
//
// Adding a part (cross-sections, superelevation, surfaces, ...): give it a new tag, write it in
// alignmentState() when the alignment has one, read it by its tag in alignmentFromState() (a
// pickle made before it simply lacks the tag), keep it in AlignmentRecipe or beside it, and
// raise kStateVersion, so that an older reader refuses the pickle as newer rather than dropping
// the part. Tags a reader does not know are refused by name for the same reason.
inline constexpr int kStateVersion = 2;

py::tuple alignmentState(const RoadAlignment& a);
// The alignment the state describes; ValueError naming what is wrong with a state that does not.
std::shared_ptr<RoadAlignment> alignmentFromState(const py::tuple& state);

}  // namespace pyvelmor
