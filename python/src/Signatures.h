#pragma once

#include <pybind11/pybind11.h>

namespace pyvelmor {

namespace py = pybind11;

// Gives every function of the module and every method of its classes a text signature, so that
// inspect.signature() and help() show their parameters like those of any Python function.
// pybind11 writes each function's docstring as "name(arg: type = default, ...) -> result" and
// the text; CPython reads a builtin's parameters only from a first line of the form
// "name(self, arg=default, *, kw=None)\n--\n\n". This puts that line in front of pybind11's own
// (which keeps the types for help()). A default that is not a Python literal becomes "...".
// Call it last, once everything is defined.
void addTextSignatures(py::module_& m);

}  // namespace pyvelmor
