#include "ArrayArgs.h"

#include <string>

namespace pyvelmor {

py::array_t<double> asDoubles(const py::object& value, const char* name) {
    const py::module_ np = py::module_::import("numpy");
    py::array arr;
    try {
        arr = np.attr("asarray")(value);
    } catch (py::error_already_set& e) {
        // A ragged list, for one: name the argument instead of NumPy's generic complaint.
        throw py::value_error(std::string(name) + ": not an array of numbers (" + e.what() + ")");
    }
    // Booleans, integers and floats of any width are numbers; complex values, text, dates and
    // Python objects (None among them) are not, and a silent cast would hide the caller's error.
    const char kind = arr.dtype().kind();
    if (kind != 'f' && kind != 'i' && kind != 'u' && kind != 'b') {
        throw py::type_error(std::string(name) + ": expected real numbers, got an array of dtype " +
                             py::str(arr.dtype()).cast<std::string>());
    }
    // Aligned as well as contiguous: arrays rebuilt from bytes (a pickle, another process's
    // buffer) may start at any address, and the loops read whole doubles.
    arr = np.attr("require")(arr, "float64", "CA");
    return py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(arr);
}

Broadcast::Broadcast(const std::vector<py::object>& args, const std::vector<const char*>& names) {
    std::vector<py::array_t<double>> converted;
    py::list list;
    for (std::size_t i = 0; i < args.size(); ++i) {
        converted.push_back(asDoubles(args[i], names[i]));
        if (converted.back().ndim() != 0) scalar_ = false;
        list.append(converted.back());
    }
    const py::module_ np = py::module_::import("numpy");
    py::tuple views;
    try {
        views = np.attr("broadcast_arrays")(*list);
    } catch (py::error_already_set&) {
        std::string msg = "the shapes of ";
        for (std::size_t i = 0; i < args.size(); ++i) {
            msg += (i ? ", " : "") + std::string(names[i]) + " " +
                   py::str(py::tuple(converted[i].attr("shape"))).cast<std::string>();
        }
        throw py::value_error(msg + " do not broadcast together");
    }
    for (const py::handle v : views)
        inputs_.push_back(
            py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(v));
    const py::array& first = inputs_.front();
    shape_.assign(first.shape(), first.shape() + first.ndim());
    size_ = static_cast<std::size_t>(first.size());
}

py::object Broadcast::finish(const py::array_t<double>& out) const {
    if (scalar_) return py::float_(*out.data());
    return out;
}

}  // namespace pyvelmor
