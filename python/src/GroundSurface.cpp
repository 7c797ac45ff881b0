// A TIN surface on its own in Python: read_surface(path, name) and Surface.height.

#include <memory>
#include <string>

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <velmorutils/landxml/Corridor.h>
#include <velmorutils/landxml/Model.h>
#include <velmorutils/landxml/Stationing.h>

#include "ArrayArgs.h"
#include "RoadCorridor.h"

namespace pyvelmor {
namespace {

// A surface in the user's unit; the library's TIN inside is in metres and immutable, so its
// queries need no lock.
struct GroundSurface {
    std::string name;
    LinearUnit unit = LinearUnit::Meter;
    std::shared_ptr<const zel_math::CTinSurface> tin;
};

GroundSurface readSurface(const py::object& path, const py::object& name, const py::object& unit) {
    const py::object text = py::module_::import("os").attr("fspath")(path);
    if (!py::isinstance<py::str>(text))
        throw py::type_error("read_surface: path must be a str or a path-like object of str");
    if (!name.is_none() && !py::isinstance<py::str>(name))
        throw py::type_error("read_surface: name must be a str or None");
    zel_landxml::Document doc;
    std::string error;
    const std::string file = text.cast<std::string>();
    GroundSurface s;
    s.name = name.is_none() ? "" : name.cast<std::string>();
    {
        const py::gil_scoped_release release;
        if (zel_landxml::readSurfaceFile(file, doc, error))
            zel_landxml::surfaceByName(doc, s.name, s.tin, error);
    }
    if (!s.tin) throw py::value_error(error);
    if (s.name.empty()) s.name = doc.surfaces.front().name;
    s.unit = doc.unit;
    if (!unit.is_none()) {
        if (!py::isinstance<py::str>(unit) ||
            !zel_landxml::unitFromText(unit.cast<std::string>(), s.unit))
            throw py::value_error("unit must be \"m\", \"usft\" or \"ft\", not " +
                                  py::repr(unit).cast<std::string>());
    }
    return s;
}

py::object surfaceHeight(const GroundSurface& s, const py::object& north, const py::object& east) {
    const Broadcast b({north, east}, {"northing", "easting"});
    py::array_t<double> out = b.newOutput();
    double* h = out.mutable_data();
    {
        const py::gil_scoped_release release;
        for (std::size_t i = 0; i < b.size(); ++i) {
            double v = 0.0;
            h[i] = s.tin->heightAt(zel_landxml::toMetres(b.data(0)[i], s.unit),
                                   zel_landxml::toMetres(b.data(1)[i], s.unit), v)
                       ? zel_landxml::fromMetres(v, s.unit)
                       : std::numeric_limits<double>::quiet_NaN();
        }
    }
    return b.finish(out);
}

py::tuple extentOf(const GroundSurface& s) {
    double n0 = 0, e0 = 0, n1 = 0, e1 = 0;
    s.tin->extent(n0, e0, n1, e1);
    auto u = [&](double m) { return zel_landxml::fromMetres(m, s.unit); };
    return py::make_tuple(u(n0), u(e0), u(n1), u(e1));
}

py::tuple heightRangeOf(const GroundSurface& s) {
    double lo = 0, hi = 0;
    s.tin->heightRange(lo, hi);
    return py::make_tuple(zel_landxml::fromMetres(lo, s.unit), zel_landxml::fromMetres(hi, s.unit));
}

}  // namespace

void registerSurface(py::module_& m) {
    py::class_<GroundSurface>(m, "Surface",
                              "A TIN surface (ground or finished grade) of a LandXML file, in the "
                              "unit it was read in.")
        .def_readonly("name", &GroundSurface::name, "The surface's name in the file.")
        .def_property_readonly(
            "unit", [](const GroundSurface& s) { return zel_landxml::unitSymbol(s.unit); },
            "Linear unit of every coordinate and height: \"m\", \"usft\" or \"ft\".")
        .def("height", &surfaceHeight, py::arg("northing"), py::arg("easting"),
             "Height (unit) of the surface under plan points (unit): the plane of the triangle "
             "holding each; NaN where no triangle does (outside the surface, in its holes). Never "
             "0 for no ground.")
        .def_property_readonly("extent", &extentOf,
                               "(min northing, min easting, max northing, max easting), unit.")
        .def_property_readonly("height_range", &heightRangeOf, "(lowest, highest) height, unit.")
        .def_property_readonly(
            "triangle_count", [](const GroundSurface& s) { return s.tin->triangleCount(); },
            "Visible triangles (invisible faces of the file are left out).")
        .def("__repr__", [](const GroundSurface& s) {
            return "<velmorutils.Surface '" + s.name + "' " +
                   std::to_string(s.tin->triangleCount()) + " triangles " +
                   zel_landxml::unitSymbol(s.unit) + ">";
        });
    m.def("read_surface", &readSurface, py::arg("path"), py::arg("name") = py::none(),
          py::arg("unit") = py::none(),
          "A TIN surface (Surfaces/Surface/Definition surfType=\"TIN\") of a LandXML file, by "
          "name (None: the file's only surface), converted from the file's own unit to `unit` "
          "(\"m\", \"usft\", \"ft\"; None: the file's). ValueError with the file, line and "
          "element for a face naming a missing point or a zero-area triangle, or when the name "
          "is not there (the message lists the file's surfaces).");
}

}  // namespace pyvelmor
