#pragma once

#include <cstddef>
#include <stdexcept>
#include <vector>

#include "velmorutils/alloc/ZelDlAllocator.h"

namespace zel_templ {

// The storage rules the library's arrays share: vectors on the library heap that grow by half
// their capacity (at least to what is needed), and refuse sizes beyond the heap's limit with
// the standard "vector<T> too long".
template <class T>
struct HeapVectorGrowth {
    using Vector = std::vector<T, zel_mem::zel_dl_allocator<T>>;

    static size_t maxSize() { return zel_mem::zel_dl_allocator<T>().max_size(); }

    // Negative counts become huge and are refused as too long, as the vector would refuse them.
    static size_t toSize(int n) { return static_cast<size_t>(static_cast<ptrdiff_t>(n)); }

    [[noreturn]] static void tooLong() { throw std::length_error("vector<T> too long"); }

    // The capacity an insertion needing `needed` elements grows to, or 0 when it fits.
    static size_t grownCapacity(const Vector& v, size_t needed) {
        if (needed > maxSize()) tooLong();
        const size_t old = v.capacity();
        if (needed <= old) return 0;
        size_t grown = old + old / 2;
        if (grown > maxSize()) grown = 0;
        return grown < needed ? needed : grown;
    }

    static void growFor(Vector& v, size_t needed) {
        const size_t capacity = grownCapacity(v, needed);
        if (capacity != 0) v.reserve(capacity);
    }
};

}  // namespace zel_templ
