#include "velmorutils/alloc/CZelHeapObject.h"

#include <new>

#include "velmorutils/alloc/DlMalloc.h"

namespace {

void* heapAllocate(std::size_t size) {
    void* p = dlmalloc(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

}  // namespace

void* CZelHeapObject::operator new(std::size_t size) {
    return heapAllocate(size);
}

void* CZelHeapObject::operator new[](std::size_t size) {
    return heapAllocate(size);
}

void CZelHeapObject::operator delete(void* p) noexcept {
    dlfree(p);
}

void CZelHeapObject::operator delete[](void* p) noexcept {
    dlfree(p);
}
