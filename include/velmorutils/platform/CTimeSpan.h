#pragma once

#include <compare>
#include <cstdint>

// A signed span of whole seconds. The parts follow 64-bit integer division, which truncates
// toward zero, so a negative span has negative (or zero) parts throughout.
class CTimeSpan {
public:
    constexpr CTimeSpan() = default;
    // Implicit, as the platform's own span converts from a count of seconds.
    constexpr CTimeSpan(std::int64_t seconds) : m_seconds(seconds) {}
    constexpr CTimeSpan(std::int64_t days, int hours, int minutes, int seconds)
        : m_seconds(((days * 24 + hours) * 60 + minutes) * 60 + seconds) {}

    constexpr std::int64_t GetTotalSeconds() const { return m_seconds; }
    constexpr std::int64_t GetTotalMinutes() const { return m_seconds / 60; }
    constexpr std::int64_t GetTotalHours() const { return m_seconds / 3600; }
    constexpr std::int64_t GetDays() const { return m_seconds / 86400; }

    // Within the next larger unit.
    constexpr int GetHours() const { return static_cast<int>(GetTotalHours() - GetDays() * 24); }
    constexpr int GetMinutes() const {
        return static_cast<int>(GetTotalMinutes() - GetTotalHours() * 60);
    }
    constexpr int GetSeconds() const {
        return static_cast<int>(m_seconds - GetTotalMinutes() * 60);
    }

    constexpr CTimeSpan operator+(CTimeSpan o) const { return CTimeSpan(m_seconds + o.m_seconds); }
    constexpr CTimeSpan operator-(CTimeSpan o) const { return CTimeSpan(m_seconds - o.m_seconds); }
    constexpr auto operator<=>(const CTimeSpan&) const = default;

private:
    std::int64_t m_seconds = 0;
};
