#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "velmorutils/alloc/DlMalloc.h"

namespace zel_mem {

// A standard allocator on the library heap, used by the library's containers so that their
// storage lives where the rest of the library's memory lives.
template <class T>
class zel_dl_allocator {
public:
    using value_type = T;
    using pointer = T*;
    using const_pointer = const T*;
    using reference = T&;
    using const_reference = const T&;
    using size_type = size_t;
    using difference_type = ptrdiff_t;
    using propagate_on_container_move_assignment = std::true_type;
    using is_always_equal = std::true_type;

    template <class U>
    struct rebind {
        using other = zel_dl_allocator<U>;
    };

    constexpr zel_dl_allocator() noexcept = default;
    template <class U>
    constexpr zel_dl_allocator(const zel_dl_allocator<U>&) noexcept {}

    // The heap's null result is handed on as it is: callers of the containers never see a
    // bad_alloc from this allocator.
    T* allocate(size_type n) { return static_cast<T*>(dlmalloc(n * sizeof(T))); }
    void deallocate(T* p, size_type) noexcept { dlfree(p); }

    // Sizes stay 32-bit: UINT32_MAX / sizeof(T), at least 1.
    size_type max_size() const noexcept {
        const size_type n = size_type{UINT32_MAX} / sizeof(T);
        return n == 0 ? 1 : n;
    }

    template <class U>
    bool operator==(const zel_dl_allocator<U>&) const noexcept {
        return true;
    }
    template <class U>
    bool operator!=(const zel_dl_allocator<U>&) const noexcept {
        return false;
    }
};

}  // namespace zel_mem
