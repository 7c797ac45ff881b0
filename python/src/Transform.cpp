#include "Transform.h"

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "ArrayArgs.h"

#if VELMORUTILS_PYTHON_WITH_PROJ
#include <velmorutils/proj/CrsTransform.h>
#endif

namespace pyvelmor {

#if VELMORUTILS_PYTHON_WITH_PROJ

namespace {

// Points from one CRS to another in the library's order: (latitude, longitude) in degrees or
// (northing, easting) in metres, heights in metres. A point PROJ cannot take comes out NaN.
py::tuple transform(const std::string& from, const std::string& to, const py::object& first,
                    const py::object& second, const py::object& height) {
    zel_proj::CrsTransform t;
    std::string error;
    if (!t.create(from, to, error)) throw py::value_error("transform: " + error);
    const bool withHeight = !height.is_none();
    std::vector<py::object> args{first, second};
    if (withHeight) args.push_back(height);
    const Broadcast in(args, {"first", "second", "height"});
    py::array_t<double> a = in.newOutput(), b = in.newOutput(), h = in.newOutput();
    double* pa = a.mutable_data();
    double* pb = b.mutable_data();
    double* ph = h.mutable_data();
    {
        py::gil_scoped_release unlocked;
        for (std::size_t i = 0; i < in.size(); ++i) {
            pa[i] = in.data(0)[i];
            pb[i] = in.data(1)[i];
            ph[i] = withHeight ? in.data(2)[i] : 0.0;
            if (!t.forward(pa[i], pb[i], ph + i)) pa[i] = pb[i] = ph[i] = std::nan("");
        }
    }
    if (withHeight) return py::make_tuple(in.finish(a), in.finish(b), in.finish(h));
    return py::make_tuple(in.finish(a), in.finish(b));
}

}  // namespace

void bindTransform(py::module_& m) {
    m.def("transform", &transform, py::arg("from_crs"), py::arg("to_crs"), py::arg("first"),
          py::arg("second"), py::arg("height") = py::none(),
          "Points from one coordinate reference system to another through PROJ (EPSG codes "
          "such as \"EPSG:2229\" or \"EPSG:2229+5703\", WKT, PROJ strings). Axis order is the "
          "library's whatever the CRS declares: first is the latitude (degrees) or northing, "
          "second the longitude or easting; projected coordinates in METRES (a US survey foot "
          "grid is converted), heights in metres. Returns (first, second) or, with height, "
          "(first, second, height); arrays broadcast, scalars give floats, a point PROJ cannot "
          "take gives NaN. Raises ValueError for a CRS PROJ does not know.");
}

#else

void bindTransform(py::module_&) {}

#endif

}  // namespace pyvelmor
