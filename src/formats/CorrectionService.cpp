#include "velmorutils/formats/CorrectionService.h"

#include <cstdint>

using zel_text::CZelStringT;

namespace {

struct SatFragment {
    const char* fragment;
    OmnistarSats sat;
};

// Order matters: the first fragment found anywhere in the name wins.
constexpr SatFragment kSatFragments[] = {
    {"EMS", osEMS},
    {"EA_SAT", osEA_SAT},
    {"AP_SAT", osAP_SAT},
    {"AM_SAT", osAP_SAT},
    {"OPTUS", osOPTUS},
    {"AMSC_EAST", osAMSC_EAST},
    {"AMSC_CENTRE", osAMSC_CENTRE},
    {"AMSC_WEST", osAMSC_WEST},
    {"AF_SAT", osAF_SAT},
    {"MSC_E", osMSC_E},
    {"MSC_C", osMSC_C},
    {"MSC_W", osMSC_W},
};

constexpr std::int64_t kSecondsPerWeek = 604800;
constexpr std::int64_t kMsPerDay = 86400000;
// The day is counted three hours behind GPS time.
constexpr std::int64_t kDayShiftMs = 10800000;
// Modified Julian Day of the GPS epoch, 6 January 1980, and of 31 December 1979, from which
// the calendar conversion counts (1 January 1980 is day 1).
constexpr std::int64_t kGpsEpochMjd = 44244;
constexpr std::int64_t kCalendarBaseMjd = 44238;
constexpr std::int64_t kFirstSupportedWeek = 1024;

constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int kDaysBeforeLeap[12] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};

struct CalendarDate {
    std::int64_t year;
    int month;
    int day;
};

// d counts days from 31 December 1979 (d = 1 is 1 January 1980). Within 1980 to 2099 every
// fourth year is a leap year, the first of each block of four.
CalendarDate calendarDate(std::int64_t d) {
    std::int64_t year = 1980 + 4 * (d / 1461);
    int r = static_cast<int>(d % 1461);
    bool leap = true;
    if (r == 0) {
        // The last day of the previous block: 31 December of its fourth year.
        year -= 1;
        r = 365;
        leap = false;
    } else if (r >= 367) {
        r -= 366;
        year += 1 + (r - 1) / 365;
        r = (r - 1) % 365 + 1;
        leap = false;
    }
    const int* before = leap ? kDaysBeforeLeap : kDaysBefore;
    int month = 11;
    while (month > 0 && r <= before[month])
        --month;
    return {year, month + 1, r - before[month]};
}

}  // namespace

OmnistarSats OmniStarSatNameToEnum(const CZelStringT<char>& name) {
    for (const SatFragment& f : kSatFragments) {
        if (name.Find(f.fragment) >= 0) return f.sat;
    }
    return osEA_SAT;
}

bool OmniStarHPSubscriptionToString(const CZelStringT<char>& s, CZelStringT<char>& out) {
    if (s.GetLength() < 19) return false;
    const auto digit = [&](int i) { return static_cast<unsigned long>(s[i] - '0'); };
    const unsigned long year = digit(0) * 1000 + digit(1) * 100 + digit(2) * 10 + digit(3);
    const unsigned long month = digit(5) * 10 + digit(6);
    const unsigned long day = digit(8) * 10 + digit(9);
    out.Format("%lu/%lu/%lu", month, day, year);
    return true;
}

bool QuilSubscriptionToString(long seconds, CZelStringT<char>& out) {
    if (seconds < 1) return false;
    const std::int64_t total = seconds;
    const std::int64_t week = total / kSecondsPerWeek;
    if (week < kFirstSupportedWeek) return false;
    const std::int64_t ms = (total - week * kSecondsPerWeek) * 1000;
    std::int64_t day = week * 7 + kGpsEpochMjd + ms / kMsPerDay;
    if (ms % kMsPerDay - kDayShiftMs < 0) --day;
    const CalendarDate date = calendarDate(day - kCalendarBaseMjd);
    out.Format("%lu/%lu/%lu", static_cast<unsigned long>(date.month),
               static_cast<unsigned long>(date.day), static_cast<unsigned long>(date.year));
    return true;
}
