#include "velmorutils/platform/TickCount.h"

#include <atomic>
#include <chrono>

namespace zel_platform {

namespace {

std::atomic<TickSource> g_source{nullptr};

std::uint32_t MonotonicTicks() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

}  // namespace

std::uint32_t GetTickCount32() {
    const TickSource source = g_source.load(std::memory_order_acquire);
    return source ? source() : MonotonicTicks();
}

TickSource SetTickSource(TickSource source) {
    return g_source.exchange(source, std::memory_order_acq_rel);
}

}  // namespace zel_platform
