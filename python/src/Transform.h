#pragma once

#include <pybind11/pybind11.h>

namespace pyvelmor {

// velmorutils.transform, where the module is built with the proj component; without it the
// module has no transform (hasattr(velmorutils, "transform") says which).
void bindTransform(pybind11::module_& m);

}  // namespace pyvelmor
