#pragma once

#include <new>

#include "velmorutils/platform/Export.h"

// The memory exception of the string class: thrown when a string block, an OLE string or a
// formatted message cannot be made. It is a std::bad_alloc, so generic handlers catch it too.
class VELMORUTILS_API CMemoryException : public std::bad_alloc {
public:
    const char* what() const noexcept override;
};

// Throws CMemoryException.
[[noreturn]] VELMORUTILS_API void AfxThrowMemoryException();
