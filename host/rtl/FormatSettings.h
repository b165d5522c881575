// Locale-dependent formatting settings: separators, currency layout, date and time patterns,
// month and day names. One process-wide record (FormatSettings()) serves every formatting
// function that is not handed a record of its own.
#pragma once
#include <array>
#include <initializer_list>
#include <string_view>

#include "host/rtl/System.h"

namespace vcl {

// A fixed list of names indexed from 1, like the month (1 = January) and day (1 = Sunday)
// numbers the date functions return. An index outside 1..N raises EArgumentOutOfRangeException.
template <int N>
class TNameList {
 public:
  TNameList() = default;
  TNameList(std::initializer_list<const char16_t*> names);

  const String& operator[](int index) const { return FItems[Check(index)]; }
  String& operator[](int index) { return FItems[Check(index)]; }
  static constexpr int Count() { return N; }
  bool operator==(const TNameList&) const = default;

 private:
  static int Check(int index);
  std::array<String, N> FItems;
};

using TMonthNameArray = TNameList<12>;
using TWeekNameArray = TNameList<7>;

// Record of formatting settings. Fields are plain data, read and written directly.
struct TFormatSettings {
  Char DecimalSeparator = u'.';
  Char ThousandSeparator = u',';
  String CurrencyString = u"$";
  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
  Byte CurrencyFormat = 0;
  // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-", 8 "-1 $",
  // 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)".
  Byte NegCurrFormat = 0;
  Byte CurrencyDecimals = 2;
  Char DateSeparator = u'/';
  Char TimeSeparator = u':';
  Char ListSeparator = u',';
  String ShortDateFormat = u"M/d/yyyy";
  String LongDateFormat = u"dddd, MMMM d, yyyy";
  String ShortTimeFormat = u"h:nn AMPM";
  String LongTimeFormat = u"h:nn:ss AMPM";
  String TimeAMString = u"AM";
  String TimePMString = u"PM";
  TMonthNameArray ShortMonthNames;
  TMonthNameArray LongMonthNames;
  TWeekNameArray ShortDayNames;  // 1 = Sunday
  TWeekNameArray LongDayNames;
  Word TwoDigitYearCenturyWindow = 50;

  TFormatSettings();  // the English (United States) settings

  // Settings of a named locale ("en-US", "de_DE.UTF-8", "C", ...). A few common locales are
  // built in and give the same result on every machine; other names are read from the C
  // library's locale data. "" means the locale the environment selects (LC_ALL, LC_TIME,
  // LANG...). An unknown name raises EArgumentException.
  static TFormatSettings Create(std::string_view localeName);
  // Culture-independent settings: "." decimals, "MM/dd/yyyy", "HH:nn:ss", English names.
  static TFormatSettings Invariant();

  bool operator==(const TFormatSettings&) const = default;
};

// The process-wide settings, initialised on first use from the environment's locale (the
// English (United States) settings when that is "C"/"POSIX" or unreadable). Not thread-safe
// to modify while other threads format.
TFormatSettings& FormatSettings();
// Re-reads the process-wide settings from the environment's locale.
void GetFormatSettings();

// ---- implementation of the template ----

template <int N>
TNameList<N>::TNameList(std::initializer_list<const char16_t*> names) {
  int i = 0;
  for (const char16_t* n : names) {
    if (i >= N) break;
    FItems[static_cast<size_t>(i++)] = n;
  }
}

[[noreturn]] void RaiseNameIndexError(int index, int count);

template <int N>
int TNameList<N>::Check(int index) {
  if (index < 1 || index > N) RaiseNameIndexError(index, N);
  return index - 1;
}

}  // namespace vcl
