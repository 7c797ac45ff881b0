#pragma once

#include <cstddef>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

namespace pyvelmor {

namespace py = pybind11;

// Numeric arguments of the vectorised calls, broadcast against each other as NumPy does. Each
// input becomes a C-contiguous float64 array of the common shape, so the C++ loops run over
// plain pointers with the interpreter lock released. Lists, integers, float32 and strided views
// are converted; text, objects, complex numbers and shapes that do not broadcast raise
// TypeError or ValueError naming the argument.
class Broadcast {
public:
    // names[i] is the parameter name of args[i], for messages.
    Broadcast(const std::vector<py::object>& args, const std::vector<const char*>& names);

    // True when every argument was a scalar (a Python number or a 0-d array): results are then
    // returned as Python floats, not arrays.
    bool scalar() const { return scalar_; }
    std::size_t size() const { return size_; }
    const std::vector<py::ssize_t>& shape() const { return shape_; }
    const double* data(std::size_t i) const { return inputs_[i].data(); }

    // A new float64 array of the common shape, for one output.
    py::array_t<double> newOutput() const { return py::array_t<double>(shape_); }
    // An output as the caller receives it: a float for scalar calls, else the array.
    py::object finish(const py::array_t<double>& out) const;

private:
    std::vector<py::array_t<double>> inputs_;
    std::vector<py::ssize_t> shape_;
    std::size_t size_ = 0;
    bool scalar_ = true;
};

// Converts one argument to a float64 array (any shape), refusing what is not a real number.
py::array_t<double> asDoubles(const py::object& value, const char* name);

}  // namespace pyvelmor
