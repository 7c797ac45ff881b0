#pragma once

#include <pybind11/pybind11.h>

namespace pyvelmor {

// Alignment.to_layers: the road's CAD/GIS layers as GeoJSON-like dicts, from the library's one
// layer builder (zel_landxml::buildRoadLayers), with no GDAL involved.
void bindLayers(pybind11::module_& m);

}  // namespace pyvelmor
