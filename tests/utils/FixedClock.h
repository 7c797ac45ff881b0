#pragma once

#include <atomic>
#include <cstdint>

#include "velmorutils/platform/TickCount.h"

// Holds the library's millisecond clock at a value the test sets, for as long as it lives.
class FixedClock {
public:
    explicit FixedClock(std::uint32_t ticks) {
        Set(ticks);
        m_previous = zel_platform::SetTickSource(&Now);
    }
    ~FixedClock() { zel_platform::SetTickSource(m_previous); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    static void Set(std::uint32_t ticks) { Ticks().store(ticks); }

private:
    static std::atomic<std::uint32_t>& Ticks() {
        static std::atomic<std::uint32_t> ticks{0};
        return ticks;
    }
    static std::uint32_t Now() { return Ticks().load(); }

    zel_platform::TickSource m_previous;
};
