// GetDateFormat: a calendar date as text, in the desktop locale's short or long date format, or
// following a picture string in the handheld's notation ("yyyy/MM/dd", "ddd, d MMMM yyyy" ...).
#include <QDate>
#include <QLocale>
#include <QString>
#include <algorithm>

#include "platform/system/dates/calendar.h"
#include "platform/system/qt_units.h"
#include "platform/system/windows.h"

namespace {

constexpr WORD kFirstYear = 1601;   // the handheld's calendar starts with file time 0
constexpr WORD kLastYear = 30827;   // and ends with the largest file time

bool isValidDate(const SYSTEMTIME& date) {
  return date.wYear >= kFirstYear && date.wYear <= kLastYear && date.wMonth >= 1 && date.wMonth <= 12 &&
         date.wDay >= 1 && date.wDay <= platform::dates::daysInMonth(date.wYear, date.wMonth);
}

QString twoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

// Expands a picture: runs of d, M, y and g are date fields, text in single quotes is literal
// ('' is a quote), anything else is copied.
QString expandPicture(const QString& picture, const QDate& date, const QLocale& locale) {
  QString text;
  qsizetype i = 0;
  while (i < picture.size()) {
    const QChar c = picture[i];
    if (c == QLatin1Char('\'') && i + 1 < picture.size() && picture[i + 1] == QLatin1Char('\'')) {
      text += QLatin1Char('\'');  // '' outside quoted text is a quote too
      i += 2;
      continue;
    }
    if (c == QLatin1Char('\'')) {
      ++i;
      while (i < picture.size()) {
        if (picture[i] == QLatin1Char('\'')) {
          if (i + 1 < picture.size() && picture[i + 1] == QLatin1Char('\'')) {
            text += QLatin1Char('\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        text += picture[i++];
      }
      continue;
    }
    qsizetype run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    if (c == QLatin1Char('d')) {
      if (run == 1) text += QString::number(date.day());
      else if (run == 2) text += twoDigits(date.day());
      else text += locale.dayName(date.dayOfWeek(), run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
    } else if (c == QLatin1Char('M')) {
      if (run == 1) text += QString::number(date.month());
      else if (run == 2) text += twoDigits(date.month());
      else text += locale.monthName(date.month(), run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
    } else if (c == QLatin1Char('y')) {
      if (run == 1) text += QString::number(date.year() % 100);
      else if (run == 2) text += twoDigits(date.year() % 100);
      else text += QString::number(date.year());
    } else if (c == QLatin1Char('g')) {
      text += QStringLiteral("A.D.");  // the Gregorian calendar's one era
    } else {
      text += QString(run, c);
    }
    i += run;
  }
  return text;
}

int fail(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

int GetDateFormat(DWORD /*locale: the desktop's own locale serves every request*/, DWORD flags,
                  const SYSTEMTIME* date, LPCWSTR format, LPWSTR out, int outCount) {
  if (outCount < 0 || (out == nullptr && outCount != 0)) return fail(ERROR_INVALID_PARAMETER);
  if ((flags & DATE_SHORTDATE) != 0 && (flags & DATE_LONGDATE) != 0) return fail(ERROR_INVALID_FLAGS);
  if (format != nullptr && (flags & (DATE_SHORTDATE | DATE_LONGDATE)) != 0) return fail(ERROR_INVALID_FLAGS);
  SYSTEMTIME today{};
  if (date == nullptr) {
    GetLocalTime(&today);
    date = &today;
  }
  if (!isValidDate(*date)) return fail(ERROR_INVALID_PARAMETER);

  const QDate calendarDate(date->wYear, date->wMonth, date->wDay);
  const QLocale locale = QLocale::system();
  QString text;
  if (format != nullptr) {
    text = expandPicture(platform::zeroTerminatedToQString(format), calendarDate, locale);
  } else {
    text = locale.toString(calendarDate, (flags & DATE_LONGDATE) != 0 ? QLocale::LongFormat : QLocale::ShortFormat);
  }
  const qsizetype needed = text.size() + 1;
  if (needed > 0x7FFFFFFF) return fail(ERROR_INSUFFICIENT_BUFFER);
  if (outCount == 0) return static_cast<int>(needed);  // a size query
  if (needed > outCount) return fail(ERROR_INSUFFICIENT_BUFFER);
  std::copy(text.utf16(), text.utf16() + text.size(), out);
  out[text.size()] = 0;
  return static_cast<int>(needed);
}
