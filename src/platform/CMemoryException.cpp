#include "velmorutils/platform/CMemoryException.h"

const char* CMemoryException::what() const noexcept {
    return "out of memory";
}

void AfxThrowMemoryException() {
    throw CMemoryException();
}
