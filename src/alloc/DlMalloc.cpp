#include "velmorutils/alloc/DlMalloc.h"

#include <sched.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "velmorutils/platform/FailureReport.h"

// The heap rests on the C runtime's allocator: it neither replaces the host program's malloc nor
// runs an allocation algorithm of its own. What it adds is the interface's contracts (32-bit size
// limits, minimal blocks for zero bytes, a realloc that never frees to give null), one spin lock
// taken by every call, and its own accounting for the statistics report.

namespace {

constexpr uint32_t kMagic = 0x58585858u;
constexpr uint32_t kFreedMagic = 0u;

// Precedes every block, keeping the caller's part 16-byte aligned like the runtime's own blocks.
struct alignas(16) BlockHeader {
    uint64_t size;  // bytes the caller asked for
    uint32_t magic;
    uint32_t reserved;
};
static_assert(sizeof(BlockHeader) == 16);

// Spin lock on one 32-bit word: compare-exchange 0 -> 1, yield the processor between attempts,
// release by exchanging in 0.
class SpinLock {
public:
    void lock() noexcept {
        uint32_t expected = 0;
        while (!word_.compare_exchange_weak(expected, 1, std::memory_order_acquire,
                                            std::memory_order_relaxed)) {
            expected = 0;
            sched_yield();
        }
    }
    void unlock() noexcept { word_.exchange(0, std::memory_order_release); }

private:
    std::atomic<uint32_t> word_{0};
};

class LockGuard {
public:
    explicit LockGuard(SpinLock& l) noexcept : lock_(l) { lock_.lock(); }
    ~LockGuard() { lock_.unlock(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    SpinLock& lock_;
};

// The footprint counts what was obtained from the runtime, header included.
size_t grossSize(size_t n) noexcept {
    return n + sizeof(BlockHeader);
}

struct Heap {
    SpinLock lock;
    size_t inUse = 0;
    size_t footprint = 0;
    size_t maxFootprint = 0;

    void add(size_t n) noexcept {
        inUse += n;
        footprint += grossSize(n);
        if (footprint > maxFootprint) maxFootprint = footprint;
    }
    void remove(size_t n) noexcept {
        inUse -= n;
        footprint -= grossSize(n);
    }
};

// Constant-initialised, so the heap is ready before any static constructor of any module.
constinit Heap g_heap;

BlockHeader* headerOf(void* p) noexcept {
    return static_cast<BlockHeader*>(p) - 1;
}
void* payloadOf(BlockHeader* h) noexcept {
    return h + 1;
}

void* allocate(size_t n, bool zero) noexcept {
    if (n > zel_mem::kMaxHeapRequest) return nullptr;
    void* raw = zero ? std::calloc(1, grossSize(n)) : std::malloc(grossSize(n));
    if (raw == nullptr) return nullptr;
    auto* h = static_cast<BlockHeader*>(raw);
    h->size = n;
    h->magic = kMagic;
    h->reserved = 0;
    {
        LockGuard guard(g_heap.lock);
        g_heap.add(n);
    }
    return payloadOf(h);
}

// A pointer that never came from this heap, or came back twice, is reported instead of being
// handed to the runtime, which would corrupt the host program's heap.
bool isOurs(BlockHeader* h) noexcept {
    if (h->magic == kMagic) return true;
    zel_platform::ReportFailure("alloc/DlMalloc", __LINE__);
    return false;
}

}  // namespace

extern "C" {

void* dlmalloc(size_t n) {
    return allocate(n, false);
}

void dlfree(void* p) {
    if (p == nullptr) return;
    BlockHeader* h = headerOf(p);
    if (!isOurs(h)) return;
    const size_t size = h->size;
    h->magic = kFreedMagic;
    {
        LockGuard guard(g_heap.lock);
        g_heap.remove(size);
    }
    std::free(h);
}

void* dlcalloc(size_t count, size_t size) {
    size_t bytes = 0;
    if (__builtin_mul_overflow(count, size, &bytes)) return nullptr;
    return allocate(bytes, true);
}

void* dlrealloc(void* p, size_t n) {
    if (p == nullptr) return dlmalloc(n);
    if (n > zel_mem::kMaxHeapRequest) return nullptr;
    BlockHeader* h = headerOf(p);
    if (!isOurs(h)) return nullptr;
    const size_t oldSize = h->size;
    void* raw = std::realloc(h, grossSize(n));  // grossSize(0) > 0: a minimal block stays
    if (raw == nullptr) return nullptr;
    h = static_cast<BlockHeader*>(raw);
    h->size = n;
    {
        LockGuard guard(g_heap.lock);
        g_heap.remove(oldSize);
        g_heap.add(n);
    }
    return payloadOf(h);
}
}

namespace zel_mem {

HeapStatistics heapStatistics() {
    LockGuard guard(g_heap.lock);
    return {g_heap.maxFootprint, g_heap.footprint, g_heap.inUse};
}

void reportHeapStatistics() {
    const HeapStatistics s = heapStatistics();
    std::fprintf(stderr, "max system bytes = %10lu\n",
                 static_cast<unsigned long>(s.maxSystemBytes));
    std::fprintf(stderr, "system bytes     = %10lu\n", static_cast<unsigned long>(s.systemBytes));
    std::fprintf(stderr, "in use bytes     = %10lu\n", static_cast<unsigned long>(s.inUseBytes));
}

}  // namespace zel_mem
