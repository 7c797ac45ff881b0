#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include <velmorutils/landxml/Corridor.h>

#include "RoadAlignment.h"

namespace pyvelmor {

namespace py = pybind11;

// The road beyond an alignment's centre line, built by the LandXML component's buildCorridor on
// the alignment's own CAlnt (so it lives as long as the alignment, and its queries take the
// alignment's lock): the design model, the ground and what the build noted.
class RoadCorridorModel {
public:
    explicit RoadCorridorModel(const CAlnt& alnt) : road(alnt) {}
    zel_math::CRoadCorridor road;
    zel_math::TGround ground;
    std::vector<std::string> notes;
};

// read_landxml's keyword arguments for the road beyond the centre line (section_surface,
// ground_section, section_heights, ground, ground_file, design_surface, design_surface_file,
// template_file); paths may be path-like. A typical section's lengths are in `unit`. TypeError
// for an unknown keyword or a value that is not text, ValueError for a section_heights other
// than "auto", "absolute", "relative".
zel_landxml::CorridorOptions corridorOptions(const py::kwargs& kwargs, LinearUnit unit);

// Builds the corridor of doc.alignments[index] on the alignment and attaches it when there is a
// design or a ground. False with the component's message (file, line and field).
bool attachCorridor(RoadAlignment& alignment, const zel_landxml::Document& doc, std::size_t index,
                    const zel_landxml::CorridorOptions& options, std::string& error);

// Alignment.design_height, Alignment.slope_stake, Alignment.corridor_notes, read_surface and
// Surface, added to the module after Alignment is.
void registerCorridor(py::module_& m);
// read_surface and Surface (GroundSurface.cpp).
void registerSurface(py::module_& m);

}  // namespace pyvelmor
