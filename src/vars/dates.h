#pragma once
// Dates and times as scripts see them: formatting with the date patterns
// publications use, parsing dates typed in a given order, and day numbers
// (days since 30 December 1899, the fraction being the time of day).
//
// Every function takes the locale to use; the default argument is QLocale(),
// the system locale unless a test pinned another with QLocale::setDefault.

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

namespace tomeric {

// Formats with a pattern of these elements (letters in any case):
//   d dd          day without / with leading zero
//   ddd dddd      short / long weekday name
//   ddddd dddddd  the locale's short / long date
//   m mm          month (minutes right after an hour: h:m, hh:mm)
//   mmm mmmm      short / long month name
//   yy yyyy       two / four digit year (y: two digits)
//   h hh          hour (12-hour clock when the pattern has am/pm)
//   n nn s ss     minutes, seconds
//   z zzz         milliseconds
//   ampm am/pm a/p  the locale's AM/PM text, "am"/"pm", "a"/"p"
//   c             short date and long time
//   t tt          short / long time
//   / :           the locale's date / time separator
//   "..." '...'   literal text; any other character is copied.
// "Default" (any case) is the locale's short date.
QString FormatDateTime(const QString& pattern, const QDateTime& moment,
                       const QLocale& locale = QLocale());

// The locale's short date pattern, in the notation above (e.g. "dd/mm/yyyy").
QString ShortDatePattern(const QLocale& locale = QLocale());
// The locale's date separator (the first non-letter of its short date).
QChar DateSeparator(const QLocale& locale = QLocale());

// Parses a date written day, month and year in the order the format names:
// "Default" takes the order of the locale's short date; otherwise the first
// of the letters D, E, Y, M in the format decides: D is day/month/year, E or
// Y year/month/day, M (or none) month/day/year. "-", "\" and "/" all
// separate. Two numbers are a date in the current year; two-digit years fall
// within 50 years of today.
std::optional<QDate> ParseDate(const QString& text, const QString& format,
                               const QLocale& locale = QLocale());

// Day numbers: 0 is 30 December 1899, 36526 is 1 January 2000; the fraction
// is the time of day.
double DayNumber(const QDateTime& moment);
double DayNumber(const QDate& date);
QDateTime FromDayNumber(double dayNumber);

// The engines of DateToNum and NumToDate. DateToNum gives the whole day
// number as text, "Error" when the text is not a date. NumToDate reads a
// whole number (0 when it is not one) and formats that day.
QString DateToNum(const QString& date, const QString& format, const QLocale& locale = QLocale());
QString NumToDate(const QString& dayNumber, const QString& format,
                  const QLocale& locale = QLocale());

} // namespace tomeric
