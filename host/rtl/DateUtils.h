// Dates and times of the host run-time. A TDateTime is a double: the integral part counts days
// since 30 December 1899, the fraction is the time of day. Before that day the integral part
// is negative while the fraction still counts forward from midnight: -1.25 is 29 December 1899
// 06:00. Valid values cover 1 January 0001 to 31 December 9999; decoding anything else (or NaN)
// raises EConvertError. Precision is one millisecond.
#pragma once
#include <functional>

#include "host/rtl/FormatSettings.h"
#include "host/rtl/System.h"

namespace vcl {

using TDateTime = double;
using TDate = double;
using TTime = double;

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerDay = 24 * 60;
inline constexpr int SecsPerDay = MinsPerDay * 60;
inline constexpr int MSecsPerDay = SecsPerDay * 1000;
// Days from 1 January 0001 (day 1) to 30 December 1899 (TDateTime 0).
inline constexpr int DateDelta = 693594;
inline constexpr TDateTime MinDateTime = -693593.0;           // 0001-01-01 00:00
inline constexpr TDateTime MaxDateTime = 2958465.99999999;    // 9999-12-31 23:59:59.999

// Days per month, [leap year][month 1..12]; index 0 is unused.
inline constexpr Word MonthDays[2][13] = {
    {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Gregorian rule: every 4th year, except centuries not divisible by 400.
constexpr bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}
// Days of a month (month 1..12, else EConvertError), of a year.
Word DaysInAMonth(int year, int month);
Word DaysInAYear(int year);

bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int min, int sec, int msec);

// Year 1..9999, month 1..12, day 1..days of that month; else EConvertError (Encode) or false.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
// Hour 0..23, minutes and seconds 0..59, milliseconds 0..999.
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec,
                       TDateTime& value);

void DecodeDate(TDateTime value, Word& year, Word& month, Word& day);
// Also the day of the week (1 = Sunday); returns whether the year is a leap year.
bool DecodeDateFully(TDateTime value, Word& year, Word& month, Word& day, Word& dayOfWeek);
void DecodeTime(TDateTime value, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min,
                    Word& sec, Word& msec);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);
// ISO numbering: 1 = Monday ... 7 = Sunday.
int DayOfTheWeek(TDateTime value);
Word DayOfTheYear(TDateTime value);
// ISO 8601 week (weeks start on Monday; week 1 holds the year's first Thursday).
Word WeekOfTheYear(TDateTime value);
Word YearOf(TDateTime value);
Word MonthOf(TDateTime value);
Word DayOf(TDateTime value);
Word HourOf(TDateTime value);
Word MinuteOf(TDateTime value);
Word SecondOf(TDateTime value);
Word MilliSecondOf(TDateTime value);

TDateTime DateOf(TDateTime value);  // midnight of the same day
TDateTime TimeOf(TDateTime value);  // time of day, 0 <= result < 1

// Calendar arithmetic keeps the time of day. Month steps clamp the day to the target month's
// length (31 January + 1 month = 28 or 29 February).
void IncAMonth(Word& year, Word& month, Word& day, int numberOfMonths = 1);
TDateTime IncMonth(TDateTime value, int numberOfMonths = 1);
TDateTime IncYear(TDateTime value, int numberOfYears = 1);
TDateTime IncWeek(TDateTime value, int numberOfWeeks = 1);
TDateTime IncDay(TDateTime value, int numberOfDays = 1);
TDateTime IncHour(TDateTime value, Int64 numberOfHours = 1);
TDateTime IncMinute(TDateTime value, Int64 numberOfMinutes = 1);
TDateTime IncSecond(TDateTime value, Int64 numberOfSeconds = 1);
TDateTime IncMilliSecond(TDateTime value, Int64 numberOfMilliSeconds = 1);

TDateTime StartOfTheDay(TDateTime value);
TDateTime EndOfTheDay(TDateTime value);  // 23:59:59.999
TDateTime StartOfTheMonth(TDateTime value);
TDateTime EndOfTheMonth(TDateTime value);
TDateTime StartOfAMonth(int year, int month);
TDateTime EndOfAMonth(int year, int month);
TDateTime StartOfTheYear(TDateTime value);
TDateTime EndOfTheYear(TDateTime value);

// Whole days between two moments (time of day counted), always >= 0.
Int64 DaysBetween(TDateTime a, TDateTime b);
Int64 MilliSecondsBetween(TDateTime a, TDateTime b);
// -1, 0, 1 by calendar day / by moment (to the millisecond).
int CompareDate(TDateTime a, TDateTime b);
int CompareDateTime(TDateTime a, TDateTime b);
bool SameDate(TDateTime a, TDateTime b);

// The clock: local time from the system, or from the provider set for tests. Passing an empty
// function restores the system clock.
TDateTime Now();
TDateTime Date();
TDateTime Time();
Word CurrentYear();
void SetNowProvider(std::function<TDateTime()> provider);
void ResetNowProvider();

// Picture tokens (letters in either case):
//   c          ShortDateFormat, then " " and LongTimeFormat unless the time is midnight
//   d dd       day 1..31, two digits       ddd dddd  short/long day name
//   ddddd      ShortDateFormat             dddddd    LongDateFormat
//   e ee       year (no padding / two digits at least)
//   m mm       month (minute right after an h/hh)   mmm mmmm  short/long month name
//   yy yyyy    two/four-digit year
//   h hh       hour (12-hour when an am/pm token follows)   n nn  minute   s ss  second
//   z zzz      millisecond                 t tt      ShortTimeFormat / LongTimeFormat
//   am/pm a/p  "am"/"pm" or "a"/"p" in the picture's own letter case
//   ampm       TimeAMString / TimePMString
//   /          DateSeparator              :         TimeSeparator
//   'x' "x"    literal text; any other character is copied
// An empty picture means "c".
String FormatDateTime(StringView format, TDateTime value);
String FormatDateTime(StringView format, TDateTime value, const TFormatSettings& fs);
String DateToStr(TDateTime value);
String DateToStr(TDateTime value, const TFormatSettings& fs);
String TimeToStr(TDateTime value);
String TimeToStr(TDateTime value, const TFormatSettings& fs);
String DateTimeToStr(TDateTime value);
String DateTimeToStr(TDateTime value, const TFormatSettings& fs);

// Dates are two or three numbers separated by DateSeparator in the order of ShortDateFormat
// (day, month or year first). A missing year is the current one; a year of one or two digits
// is placed in the 100 years that start TwoDigitYearCenturyWindow years before the current
// year (in the current century when the window is 0). Times are hours[:min[:sec[.fraction]]]
// with TimeSeparator and DecimalSeparator and an optional AM/PM (TimeAMString/TimePMString or
// the English words) before or after. Blanks around the parts are allowed.
TDateTime StrToDate(StringView s);
TDateTime StrToDate(StringView s, const TFormatSettings& fs);
bool TryStrToDate(StringView s, TDateTime& value);
bool TryStrToDate(StringView s, TDateTime& value, const TFormatSettings& fs);
TDateTime StrToDateDef(StringView s, TDateTime defaultValue);
TDateTime StrToTime(StringView s);
TDateTime StrToTime(StringView s, const TFormatSettings& fs);
bool TryStrToTime(StringView s, TDateTime& value);
bool TryStrToTime(StringView s, TDateTime& value, const TFormatSettings& fs);
// A date followed by an optional time, or a time alone.
TDateTime StrToDateTime(StringView s);
TDateTime StrToDateTime(StringView s, const TFormatSettings& fs);
bool TryStrToDateTime(StringView s, TDateTime& value);
bool TryStrToDateTime(StringView s, TDateTime& value, const TFormatSettings& fs);

}  // namespace vcl
