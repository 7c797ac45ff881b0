#pragma once

#include <cstddef>
#include <cstdint>

#include "velmorutils/platform/Export.h"

// The library heap. Every container of the library (strings, arrays, INI maps, caches, alignment
// objects) takes its memory from here, and memory from here goes back here: never mix these
// functions with malloc/free or new/delete.
//
// Sizes keep the 32-bit limits of the interface: a request (or a calloc product) that does not
// fit in 4 GiB minus the heap's bookkeeping is impossible and gives null.
extern "C" {

// At least n bytes, 16-byte aligned, or null when no memory is left. n = 0 gives a minimal block.
VELMORUTILS_API void* dlmalloc(size_t n);

// Returns a block to the heap; null does nothing.
VELMORUTILS_API void dlfree(void* p);

// count * size zero bytes; an overflowing product gives null. A zero factor gives a minimal block.
VELMORUTILS_API void* dlcalloc(size_t count, size_t size);

// Resizes p keeping its contents up to the smaller size. p null: dlmalloc(n). n = 0 keeps a
// minimal block (p is never freed to give null). On failure null is returned and p stays valid.
VELMORUTILS_API void* dlrealloc(void* p, size_t n);
}

namespace zel_mem {

// The largest request the heap accepts, in bytes.
inline constexpr size_t kMaxHeapRequest = 0xFFFFFFFFu - 64u;

// The heap's own accounting.
struct HeapStatistics {
    size_t maxSystemBytes;  // highest footprint reached
    size_t systemBytes;     // memory currently obtained from the system
    size_t inUseBytes;      // bytes in allocated blocks
};

VELMORUTILS_API HeapStatistics heapStatistics();

// Writes the three lines of the heap's statistics report to standard error.
VELMORUTILS_API void reportHeapStatistics();

}  // namespace zel_mem
