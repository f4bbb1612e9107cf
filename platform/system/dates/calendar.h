// Inside the date services: the handheld's file-time count and the proleptic Gregorian
// calendar, without the host's time functions (which stop short of the handheld's range).
#pragma once

#include <cstdint>

#include "platform/system/windows.h"

namespace platform::dates {

inline constexpr std::uint64_t kTicksPerSecond = 10000000;         // file-time units (100 ns) per second
inline constexpr std::uint64_t kTicksPerDay = kTicksPerSecond * 86400;
inline constexpr std::int64_t kDaysFrom1601To1970 = 134774;
inline constexpr std::uint64_t kLargestFileTime = 0x7FFFFFFFFFFFFFFFull;  // the handheld refuses larger values

inline std::uint64_t ticksOf(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}
inline FILETIME fileTimeOf(std::uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

// Year, month (1..12) and day (1..31) of a day counted from 1970-01-01 (may be negative).
void civilFromDays(std::int64_t daysSince1970, std::int64_t& year, unsigned& month, unsigned& day);
// The day count from 1970-01-01 of a calendar date.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day);
// 28..31; 0 for a month outside 1..12.
unsigned daysInMonth(std::int64_t year, unsigned month);
// 0 = Sunday ... 6 = Saturday.
unsigned dayOfWeek(std::int64_t daysSince1970);

}  // namespace platform::dates
