#pragma once

#include <string>

// The application framework's string type. On this platform the framework string is the standard
// string, so code written against the framework's name compiles unchanged.
template <class T>
using CStringT = std::basic_string<T>;
