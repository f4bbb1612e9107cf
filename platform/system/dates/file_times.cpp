// File times: turning the handheld's 100-ns counts into local time and calendar fields, and the
// current local time.
#include <time.h>

#include "platform/system/dates/calendar.h"
#include "platform/system/windows.h"

using namespace platform::dates;

namespace {

void fillSystemTime(std::uint64_t ticks, SYSTEMTIME& out) {
  const auto days = static_cast<std::int64_t>(ticks / kTicksPerDay) - kDaysFrom1601To1970;
  const std::uint64_t withinDay = ticks % kTicksPerDay;
  std::int64_t year = 0;
  unsigned month = 0;
  unsigned day = 0;
  civilFromDays(days, year, month, day);
  out.wYear = static_cast<WORD>(year);
  out.wMonth = static_cast<WORD>(month);
  out.wDayOfWeek = static_cast<WORD>(dayOfWeek(days));
  out.wDay = static_cast<WORD>(day);
  const std::uint64_t seconds = withinDay / kTicksPerSecond;
  out.wHour = static_cast<WORD>(seconds / 3600);
  out.wMinute = static_cast<WORD>(seconds / 60 % 60);
  out.wSecond = static_cast<WORD>(seconds % 60);
  out.wMilliseconds = static_cast<WORD>(withinDay % kTicksPerSecond / 10000);
}

}  // namespace

BOOL FileTimeToSystemTime(const FILETIME* time, SYSTEMTIME* out) {
  if (time == nullptr || out == nullptr || ticksOf(*time) > kLargestFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  fillSystemTime(ticksOf(*time), *out);
  return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
  if (utc == nullptr || local == nullptr || ticksOf(*utc) > kLargestFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::uint64_t ticks = ticksOf(*utc);
  // The host's offset from UTC at that instant (daylight saving included), as a desktop user
  // reads the dates of their files.
  const time_t seconds = static_cast<time_t>(static_cast<std::int64_t>(ticks / kTicksPerSecond) -
                                             kDaysFrom1601To1970 * 86400);
  struct tm fields {};
  long offsetSeconds = 0;
  if (::localtime_r(&seconds, &fields) != nullptr) offsetSeconds = fields.tm_gmtoff;
  const std::int64_t shifted = static_cast<std::int64_t>(ticks) + static_cast<std::int64_t>(offsetSeconds) *
                                                                      static_cast<std::int64_t>(kTicksPerSecond);
  if (shifted < 0 || static_cast<std::uint64_t>(shifted) > kLargestFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *local = fileTimeOf(static_cast<std::uint64_t>(shifted));
  return TRUE;
}

void GetLocalTime(SYSTEMTIME* out) {
  if (out == nullptr) return;
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  struct tm fields {};
  ::localtime_r(&now.tv_sec, &fields);
  const std::int64_t localSeconds = static_cast<std::int64_t>(now.tv_sec) + fields.tm_gmtoff;
  const std::uint64_t ticks = static_cast<std::uint64_t>(localSeconds + kDaysFrom1601To1970 * 86400) * kTicksPerSecond +
                              static_cast<std::uint64_t>(now.tv_nsec) / 100;
  fillSystemTime(ticks, *out);
}
