#pragma once

#include <pybind11/pybind11.h>

#include <vector>

#include <velmorutils/landxml/AsBuiltCheck.h>

namespace pyvelmor {

class RoadAlignment;

// The as-built check of shots as Alignment.check takes them (lengths in the alignment's unit;
// tolerances default 0.02 m and 0.01 m; ValueError on arrays of different lengths, non-finite
// values or tolerances that are not positive): the shots in metres, one result each and the
// summary. to_layers' check layer is made from the same.
struct CheckedShots {
    std::vector<zel_landxml::AsBuiltShot> shots;
    std::vector<zel_landxml::AsBuiltResult> results;
    std::vector<zel_landxml::AsBuiltStats> stats;
};
CheckedShots checkShots(const RoadAlignment& a, const pybind11::object& northing,
                        const pybind11::object& easting, const pybind11::object& height,
                        const pybind11::object& names, const pybind11::object& codes,
                        const pybind11::object& tolH, const pybind11::object& tolV,
                        const pybind11::object& offsets, const pybind11::object& corridor);

// Adds stakeout_points and check to the module's Alignment class (defined before this call).
void addFieldOutputs(pybind11::module_& m);

}  // namespace pyvelmor
