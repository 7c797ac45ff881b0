#pragma once

#include <pybind11/pybind11.h>

namespace pyvelmor {

// Adds stakeout_points and check to the module's Alignment class (defined before this call).
void addFieldOutputs(pybind11::module_& m);

}  // namespace pyvelmor
