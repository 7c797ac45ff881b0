#pragma once

#include <cstddef>

#include "velmorutils/platform/Export.h"

// Base of the classes whose objects live on the library heap: every form of new and delete
// (plain, array and placement) of a derived class goes through dlmalloc/dlfree, so an object
// created inside the library may be deleted by a caller and the reverse.
// A heap that cannot supply memory makes operator new throw std::bad_alloc, as the global one
// does; the placement forms only hand back the storage they are given.
class VELMORUTILS_API CZelHeapObject {
public:
    static void* operator new(std::size_t size);
    static void* operator new[](std::size_t size);
    static void* operator new(std::size_t, void* where) noexcept { return where; }
    static void* operator new[](std::size_t, void* where) noexcept { return where; }
    static void operator delete(void* p) noexcept;
    static void operator delete[](void* p) noexcept;
    static void operator delete(void*, void*) noexcept {}
    static void operator delete[](void*, void*) noexcept {}

protected:
    CZelHeapObject() = default;
    ~CZelHeapObject() = default;
};
