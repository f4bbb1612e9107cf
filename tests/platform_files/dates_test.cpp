// Dates: file times to calendar fields and local time, and the date formatter.
#include <gtest/gtest.h>
#include <time.h>

#include <QDate>
#include <QLocale>
#include <cstdlib>
#include <string>

#include "platform/system/windows.h"

namespace {

FILETIME fileTime(std::uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}
std::uint64_t ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}
constexpr std::uint64_t kSecond = 10000000;
constexpr std::uint64_t kUnixEpoch = 11644473600ull * kSecond;

SYSTEMTIME fieldsOf(std::uint64_t value) {
  SYSTEMTIME out{};
  const FILETIME time = fileTime(value);
  EXPECT_TRUE(FileTimeToSystemTime(&time, &out));
  return out;
}

TEST(FileTimeToSystemTimeTest, KnownInstantsAcrossTheRange) {
  SYSTEMTIME t = fieldsOf(0);
  EXPECT_EQ(t.wYear, 1601);
  EXPECT_EQ(t.wMonth, 1);
  EXPECT_EQ(t.wDay, 1);
  EXPECT_EQ(t.wDayOfWeek, 1);  // a Monday

  t = fieldsOf(kUnixEpoch + 951782400ull * kSecond + 12345678);  // 2000-02-29 00:00:01.234 UTC
  EXPECT_EQ(t.wYear, 2000);
  EXPECT_EQ(t.wMonth, 2);
  EXPECT_EQ(t.wDay, 29);
  EXPECT_EQ(t.wDayOfWeek, 2);  // a Tuesday
  EXPECT_EQ(t.wSecond, 1);
  EXPECT_EQ(t.wMilliseconds, 234);

  t = fieldsOf(kUnixEpoch + (1767225600ull - 1) * kSecond);  // 2025-12-31 23:59:59 UTC
  EXPECT_EQ(t.wYear, 2025);
  EXPECT_EQ(t.wMonth, 12);
  EXPECT_EQ(t.wDay, 31);
  EXPECT_EQ(t.wHour, 23);
  EXPECT_EQ(t.wMinute, 59);
  EXPECT_EQ(t.wDayOfWeek, 3);  // a Wednesday

  t = fieldsOf(0x7FFFFFFFFFFFFFFFull);  // the last representable instant
  EXPECT_EQ(t.wYear, 30828);
  SYSTEMTIME untouched{};
  const FILETIME tooLarge = fileTime(0x8000000000000000ull);
  EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &untouched));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// Runs a body with the host's time zone set to `zone`.
template <typename Body>
void inTimeZone(const char* zone, Body body) {
  const char* previous = std::getenv("TZ");
  const std::string saved = previous ? previous : "";
  ::setenv("TZ", zone, 1);
  ::tzset();
  body();
  if (previous) ::setenv("TZ", saved.c_str(), 1);
  else ::unsetenv("TZ");
  ::tzset();
}

TEST(FileTimeToLocalFileTimeTest, ShiftsByTheHostZonesOffsetAtThatInstant) {
  const FILETIME utc = fileTime(kUnixEpoch + 1700000000ull * kSecond);  // 2023-11-14 22:13:20 UTC
  inTimeZone("JST-9", [&] {
    FILETIME local{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    EXPECT_EQ(ticks(local) - ticks(utc), 9 * 3600 * kSecond);
    EXPECT_EQ(fieldsOf(ticks(local)).wDay, 15);  // already the next day in Tokyo
  });
  inTimeZone("UTC0", [&] {
    FILETIME local{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    EXPECT_EQ(ticks(local), ticks(utc));
  });
  // Daylight saving counts for the instant converted: summer and winter differ by an hour.
  inTimeZone("CET-1CEST,M3.5.0,M10.5.0/3", [&] {
    const FILETIME july = fileTime(kUnixEpoch + 1688169600ull * kSecond);    // 2023-07-01
    const FILETIME january = fileTime(kUnixEpoch + 1672531200ull * kSecond);  // 2023-01-01
    FILETIME summer{}, winter{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&july, &summer));
    ASSERT_TRUE(FileTimeToLocalFileTime(&january, &winter));
    EXPECT_EQ(ticks(summer) - ticks(july), 2 * 3600 * kSecond);
    EXPECT_EQ(ticks(winter) - ticks(january), 1 * 3600 * kSecond);
  });
}

TEST(GetLocalTimeTest, AgreesWithTheHostClock) {
  inTimeZone("UTC0", [] {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const time_t host = ::time(nullptr);
    struct tm fields {};
    ::gmtime_r(&host, &fields);
    EXPECT_EQ(now.wYear, fields.tm_year + 1900);
    EXPECT_EQ(now.wMonth, fields.tm_mon + 1);
    EXPECT_EQ(now.wDayOfWeek, fields.tm_wday);
  });
}

std::u16string format(const SYSTEMTIME& date, DWORD flags, const char16_t* picture, int capacity = 64) {
  std::u16string out(static_cast<std::size_t>(capacity), u'#');
  const int written = GetDateFormat(LOCALE_USER_DEFAULT, flags, &date, picture, out.data(), capacity);
  if (written == 0) return u"<failed>";
  EXPECT_EQ(out[static_cast<std::size_t>(written - 1)], 0);  // the count includes the zero
  return out.substr(0, static_cast<std::size_t>(written - 1));
}

TEST(GetDateFormatTest, PicturesInTheHandheldsNotation) {
  const SYSTEMTIME date{2026, 3, 0, 7, 10, 20, 30, 0};
  EXPECT_EQ(format(date, 0, u"yyyy/MM/dd"), u"2026/03/07");
  EXPECT_EQ(format(date, 0, u"d.M.yy"), u"7.3.26");
  EXPECT_EQ(format(date, 0, u"y"), u"26");
  EXPECT_EQ(format(date, 0, u"'Day' d 'of' yyyy"), u"Day 7 of 2026");
  EXPECT_EQ(format(date, 0, u"dd''MM"), u"07'03");  // '' is a quote
  const QLocale locale = QLocale::system();
  EXPECT_EQ(format(date, 0, u"dddd MMMM"),
            (locale.dayName(6, QLocale::LongFormat) + QStringLiteral(" ") + locale.monthName(3, QLocale::LongFormat))
                .toStdU16String());  // 2026-03-07 is a Saturday, whatever wDayOfWeek says
}

TEST(GetDateFormatTest, ShortAndLongDatesFollowTheDesktopLocale) {
  const SYSTEMTIME date{1999, 12, 5, 31, 0, 0, 0, 0};
  const QDate expected(1999, 12, 31);
  EXPECT_EQ(format(date, DATE_SHORTDATE, nullptr), QLocale::system().toString(expected, QLocale::ShortFormat).toStdU16String());
  EXPECT_EQ(format(date, 0, nullptr), format(date, DATE_SHORTDATE, nullptr));  // flags 0: the short date
  EXPECT_EQ(format(date, DATE_LONGDATE, nullptr), QLocale::system().toString(expected, QLocale::LongFormat).toStdU16String());
  EXPECT_NE(format(date, 0, nullptr).find(u"31"), std::u16string::npos);
}

TEST(GetDateFormatTest, BuffersSizesAndBadDates) {
  const SYSTEMTIME date{2026, 3, 0, 7, 0, 0, 0, 0};
  EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, &date, u"yyyy/MM/dd", nullptr, 0), 11);  // a size query
  char16_t exact[11];
  EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, &date, u"yyyy/MM/dd", exact, 11), 11);
  char16_t small[10];
  std::fill(std::begin(small), std::end(small), u'#');
  EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, &date, u"yyyy/MM/dd", small, 10), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(small[9], u'#');  // nothing written past the buffer, nor in it
  EXPECT_EQ(format(SYSTEMTIME{2026, 2, 0, 29, 0, 0, 0, 0}, 0, u"d"), u"<failed>");  // no 29 February in 2026
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(format(SYSTEMTIME{2026, 13, 0, 1, 0, 0, 0, 0}, 0, u"d"), u"<failed>");
  EXPECT_EQ(format(date, DATE_SHORTDATE, u"d"), u"<failed>");  // a picture and a format flag
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
  EXPECT_EQ(GetDateFormat(LOCALE_USER_DEFAULT, 0, &date, u"d", nullptr, 5), 0);
}

}  // namespace
