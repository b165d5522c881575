#include "host/rtl/DateUtils.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "host/rtl/Math.h"
#include "host/rtl/NumFormat.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

namespace {

constexpr Int64 kMSecsPerDay = MSecsPerDay;
constexpr int kMinDay = -693593;  // 0001-01-01 relative to 1899-12-30
constexpr int kMaxDay = 2958465;  // 9999-12-31

// A moment as whole days relative to 1899-12-30 plus milliseconds into that day.
struct TStamp {
  Int64 Day = 0;   // negative before 1899-12-30
  Int64 MSec = 0;  // 0 .. MSecsPerDay-1

  Int64 Linear() const { return Day * kMSecsPerDay + MSec; }
  static TStamp FromLinear(Int64 ms) {
    TStamp s;
    s.Day = ms / kMSecsPerDay;
    s.MSec = ms % kMSecsPerDay;
    if (s.MSec < 0) {
      s.MSec += kMSecsPerDay;
      --s.Day;
    }
    return s;
  }
};

[[noreturn]] void RaiseInvalidValue(TDateTime value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "Invalid date and time value %.17g", value);
  throw EConvertError(buf);
}

// The integral part counts days toward zero; the fraction's magnitude is the time of day.
TStamp ToStamp(TDateTime value) {
  if (!std::isfinite(value) || value <= kMinDay - 1.0 || value >= kMaxDay + 1.0)
    RaiseInvalidValue(value);
  const Int64 ms = Round(value * static_cast<double>(kMSecsPerDay));
  TStamp s;
  s.Day = ms / kMSecsPerDay;
  s.MSec = (ms < 0 ? -ms : ms) % kMSecsPerDay;
  if (s.Day < kMinDay || s.Day > kMaxDay) RaiseInvalidValue(value);
  return s;
}

TDateTime FromStamp(const TStamp& s) {
  if (s.Day < kMinDay || s.Day > kMaxDay) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Date out of range: day %lld is outside 0001-01-01..9999-12-31",
                  static_cast<long long>(s.Day));
    throw EConvertError(buf);
  }
  const double time = static_cast<double>(s.MSec) / static_cast<double>(kMSecsPerDay);
  const double day = static_cast<double>(s.Day);
  return s.Day >= 0 ? day + time : day - time;
}

// Day number relative to 1899-12-30 of a valid date.
Int64 DayNumber(int year, int month, int day) {
  const bool leap = IsLeapYear(year);
  Int64 d = day;
  for (int m = 1; m < month; ++m) d += MonthDays[leap][m];
  const Int64 y = year - 1;
  d += y * 365 + y / 4 - y / 100 + y / 400;
  return d - DateDelta;
}

struct TYmd {
  Word Year, Month, Day;
};

TYmd CivilFromDay(Int64 dayNumber) {
  Int64 t = dayNumber + DateDelta - 1;  // days since 0001-01-01
  constexpr Int64 D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
  Int64 y = 1;
  y += t / D400 * 400;
  t %= D400;
  Int64 i = t / D100, d = t % D100;
  if (i == 4) {
    --i;
    d += D100;
  }
  y += i * 100;
  y += d / D4 * 4;
  d %= D4;
  i = d / D1;
  d %= D1;
  if (i == 4) {
    --i;
    d += D1;
  }
  y += i;
  const bool leap = IsLeapYear(static_cast<int>(y));
  int m = 1;
  while (d >= MonthDays[leap][m]) {
    d -= MonthDays[leap][m];
    ++m;
  }
  return {static_cast<Word>(y), static_cast<Word>(m), static_cast<Word>(d + 1)};
}

std::string DateText(int year, int month, int day) {
  return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day);
}

std::function<TDateTime()>& NowProvider() {
  static std::function<TDateTime()> provider;
  return provider;
}

TDateTime SystemNow() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t secs = system_clock::to_time_t(now);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&secs, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                        static_cast<int>(ms < 0 ? ms + 1000 : ms));
}

}  // namespace

// ---- calendar facts ----

Word DaysInAMonth(int year, int month) {
  if (month < 1 || month > 12)
    throw EConvertError("Invalid month " + std::to_string(month) + " (year " + std::to_string(year) + ")");
  return MonthDays[IsLeapYear(year)][month];
}

Word DaysInAYear(int year) { return IsLeapYear(year) ? 366 : 365; }

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= MonthDays[IsLeapYear(year)][month];
}

bool IsValidTime(int hour, int min, int sec, int msec) {
  return hour >= 0 && hour < 24 && min >= 0 && min < 60 && sec >= 0 && sec < 60 && msec >= 0 &&
         msec < 1000;
}

// ---- encoding and decoding ----

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (!IsValidDate(year, month, day)) return false;
  date = static_cast<double>(DayNumber(year, month, day));
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d))
    throw EConvertError("Invalid argument to date encode: " + DateText(year, month, day));
  return d;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (!IsValidTime(hour, min, sec, msec)) return false;
  const Int64 ms = ((static_cast<Int64>(hour) * 60 + min) * 60 + sec) * 1000 + msec;
  time = static_cast<double>(ms) / static_cast<double>(kMSecsPerDay);
  return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t))
    throw EConvertError("Invalid argument to time encode: " + std::to_string(hour) + ":" +
                        std::to_string(min) + ":" + std::to_string(sec) + "." + std::to_string(msec));
  return t;
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec,
                       TDateTime& value) {
  if (!IsValidDate(year, month, day) || !IsValidTime(hour, min, sec, msec)) return false;
  TStamp s;
  s.Day = DayNumber(year, month, day);
  s.MSec = ((static_cast<Int64>(hour) * 60 + min) * 60 + sec) * 1000 + msec;
  value = FromStamp(s);
  return true;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec) {
  EncodeDate(year, month, day);  // raises with the date's own message
  EncodeTime(hour, min, sec, msec);
  TDateTime v = 0;
  TryEncodeDateTime(year, month, day, hour, min, sec, msec, v);
  return v;
}

void DecodeDate(TDateTime value, Word& year, Word& month, Word& day) {
  const TYmd d = CivilFromDay(ToStamp(value).Day);
  year = d.Year;
  month = d.Month;
  day = d.Day;
}

bool DecodeDateFully(TDateTime value, Word& year, Word& month, Word& day, Word& dayOfWeek) {
  const TStamp s = ToStamp(value);
  const TYmd d = CivilFromDay(s.Day);
  year = d.Year;
  month = d.Month;
  day = d.Day;
  dayOfWeek = static_cast<Word>((s.Day + DateDelta) % 7 + 1);
  return IsLeapYear(year);
}

void DecodeTime(TDateTime value, Word& hour, Word& min, Word& sec, Word& msec) {
  Int64 ms = ToStamp(value).MSec;
  msec = static_cast<Word>(ms % 1000);
  ms /= 1000;
  sec = static_cast<Word>(ms % 60);
  ms /= 60;
  min = static_cast<Word>(ms % 60);
  hour = static_cast<Word>(ms / 60);
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min,
                    Word& sec, Word& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, min, sec, msec);
}

// ---- parts ----

int DayOfWeek(TDateTime value) { return static_cast<int>((ToStamp(value).Day + DateDelta) % 7 + 1); }

int DayOfTheWeek(TDateTime value) {
  const int d = DayOfWeek(value);
  return d == 1 ? 7 : d - 1;
}

Word DayOfTheYear(TDateTime value) {
  const Int64 day = ToStamp(value).Day;
  const TYmd d = CivilFromDay(day);
  return static_cast<Word>(day - DayNumber(d.Year, 1, 1) + 1);
}

Word WeekOfTheYear(TDateTime value) {
  const Int64 day = ToStamp(value).Day;
  const int iso = DayOfTheWeek(static_cast<double>(day));
  Int64 thursday = day - iso + 4;
  // The first days of 0001 belong to a week of year 0, which we do not have: count from day 1.
  if (thursday < kMinDay) thursday = kMinDay;
  if (thursday > kMaxDay) thursday = kMaxDay;
  const TYmd t = CivilFromDay(thursday);
  return static_cast<Word>((thursday - DayNumber(t.Year, 1, 1)) / 7 + 1);
}

Word YearOf(TDateTime value) { return CivilFromDay(ToStamp(value).Day).Year; }
Word MonthOf(TDateTime value) { return CivilFromDay(ToStamp(value).Day).Month; }
Word DayOf(TDateTime value) { return CivilFromDay(ToStamp(value).Day).Day; }
Word HourOf(TDateTime value) { return static_cast<Word>(ToStamp(value).MSec / 3600000); }
Word MinuteOf(TDateTime value) { return static_cast<Word>(ToStamp(value).MSec / 60000 % 60); }
Word SecondOf(TDateTime value) { return static_cast<Word>(ToStamp(value).MSec / 1000 % 60); }
Word MilliSecondOf(TDateTime value) { return static_cast<Word>(ToStamp(value).MSec % 1000); }

TDateTime DateOf(TDateTime value) { return static_cast<double>(ToStamp(value).Day); }

TDateTime TimeOf(TDateTime value) {
  return static_cast<double>(ToStamp(value).MSec) / static_cast<double>(kMSecsPerDay);
}

// ---- arithmetic ----

void IncAMonth(Word& year, Word& month, Word& day, int numberOfMonths) {
  const Int64 total = static_cast<Int64>(year) * 12 + (month - 1) + numberOfMonths;
  const Int64 y = total >= 0 ? total / 12 : (total - 11) / 12;
  const int m = static_cast<int>(total - y * 12) + 1;
  if (y < 1 || y > 9999)
    throw EConvertError("Invalid argument to date encode: year " + std::to_string(y) +
                        " after adding " + std::to_string(numberOfMonths) + " months");
  year = static_cast<Word>(y);
  month = static_cast<Word>(m);
  const Word last = MonthDays[IsLeapYear(year)][month];
  if (day > last) day = last;
}

TDateTime IncMonth(TDateTime value, int numberOfMonths) {
  TStamp s = ToStamp(value);
  const TYmd d = CivilFromDay(s.Day);
  Word y = d.Year, m = d.Month, day = d.Day;
  IncAMonth(y, m, day, numberOfMonths);
  s.Day = DayNumber(y, m, day);
  return FromStamp(s);
}

TDateTime IncYear(TDateTime value, int numberOfYears) {
  return IncMonth(value, static_cast<int>(EnsureRange<Int64>(static_cast<Int64>(numberOfYears) * 12,
                                                             -200000, 200000)));
}

namespace {
TDateTime AddMilliseconds(TDateTime value, Int64 delta, Int64 unit) {
  // Far beyond the valid range either way; FromStamp reports it.
  constexpr Int64 kLimit = Int64(1) << 50;
  if (delta > kLimit / unit || delta < -kLimit / unit) {
    throw EConvertError("Date out of range: adding " + std::to_string(delta) + " units of " +
                        std::to_string(unit) + " ms");
  }
  return FromStamp(TStamp::FromLinear(ToStamp(value).Linear() + delta * unit));
}
}  // namespace

TDateTime IncWeek(TDateTime value, int numberOfWeeks) { return AddMilliseconds(value, numberOfWeeks, 7 * kMSecsPerDay); }
TDateTime IncDay(TDateTime value, int numberOfDays) { return AddMilliseconds(value, numberOfDays, kMSecsPerDay); }
TDateTime IncHour(TDateTime value, Int64 n) { return AddMilliseconds(value, n, 3600000); }
TDateTime IncMinute(TDateTime value, Int64 n) { return AddMilliseconds(value, n, 60000); }
TDateTime IncSecond(TDateTime value, Int64 n) { return AddMilliseconds(value, n, 1000); }
TDateTime IncMilliSecond(TDateTime value, Int64 n) { return AddMilliseconds(value, n, 1); }

TDateTime StartOfTheDay(TDateTime value) { return DateOf(value); }

TDateTime EndOfTheDay(TDateTime value) {
  TStamp s = ToStamp(value);
  s.MSec = kMSecsPerDay - 1;
  return FromStamp(s);
}

TDateTime StartOfAMonth(int year, int month) { return EncodeDate(year, month, 1); }

TDateTime EndOfAMonth(int year, int month) {
  return EncodeDateTime(year, month, DaysInAMonth(year, month), 23, 59, 59, 999);
}

TDateTime StartOfTheMonth(TDateTime value) {
  const TYmd d = CivilFromDay(ToStamp(value).Day);
  return StartOfAMonth(d.Year, d.Month);
}

TDateTime EndOfTheMonth(TDateTime value) {
  const TYmd d = CivilFromDay(ToStamp(value).Day);
  return EndOfAMonth(d.Year, d.Month);
}

TDateTime StartOfTheYear(TDateTime value) { return EncodeDate(YearOf(value), 1, 1); }
TDateTime EndOfTheYear(TDateTime value) { return EncodeDateTime(YearOf(value), 12, 31, 23, 59, 59, 999); }

Int64 MilliSecondsBetween(TDateTime a, TDateTime b) {
  const Int64 d = ToStamp(a).Linear() - ToStamp(b).Linear();
  return d < 0 ? -d : d;
}

Int64 DaysBetween(TDateTime a, TDateTime b) { return MilliSecondsBetween(a, b) / kMSecsPerDay; }

int CompareDate(TDateTime a, TDateTime b) {
  const Int64 x = ToStamp(a).Day, y = ToStamp(b).Day;
  return x < y ? -1 : (x > y ? 1 : 0);
}

int CompareDateTime(TDateTime a, TDateTime b) {
  const Int64 x = ToStamp(a).Linear(), y = ToStamp(b).Linear();
  return x < y ? -1 : (x > y ? 1 : 0);
}

bool SameDate(TDateTime a, TDateTime b) { return CompareDate(a, b) == 0; }

// ---- clock ----

TDateTime Now() {
  const auto& provider = NowProvider();
  return provider ? provider() : SystemNow();
}

TDateTime Date() { return DateOf(Now()); }
TDateTime Time() { return TimeOf(Now()); }
Word CurrentYear() { return YearOf(Now()); }

void SetNowProvider(std::function<TDateTime()> provider) { NowProvider() = std::move(provider); }
void ResetNowProvider() { NowProvider() = nullptr; }

// ---- formatting ----

namespace {

class TDateFormatter {
 public:
  TDateFormatter(TDateTime value, const TFormatSettings& fs) : FSettings(fs) {
    const TStamp s = ToStamp(value);
    const TYmd d = CivilFromDay(s.Day);
    FYear = d.Year;
    FMonth = d.Month;
    FDay = d.Day;
    FDayOfWeek = static_cast<int>((s.Day + DateDelta) % 7 + 1);
    FMSecOfDay = s.MSec;
    FHour = static_cast<int>(s.MSec / 3600000);
    FMin = static_cast<int>(s.MSec / 60000 % 60);
    FSec = static_cast<int>(s.MSec / 1000 % 60);
    FMSec = static_cast<int>(s.MSec % 1000);
  }

  String Run(StringView format) {
    if (format.empty()) format = u"C";
    Append(format, 0);
    return FOut;
  }

 private:
  static Char Upper(Char c) { return c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c; }

  void Number(int value, int minDigits) {
    String s = IntToStr(value);
    if (static_cast<int>(s.size()) < minDigits) FOut.append(static_cast<size_t>(minDigits) - s.size(), u'0');
    FOut += s;
  }

  static bool StartsWithIgnoreCase(StringView s, size_t at, const char* word) {
    for (size_t k = 0; word[k]; ++k)
      if (at + k >= s.size() || Upper(s[at + k]) != static_cast<Char>(word[k])) return false;
    return true;
  }

  // Whether an h at position `from` shows a 12-hour clock: an am/pm token comes first after
  // it, before the next h, outside quotes.
  static bool TwelveHour(StringView f, size_t from) {
    bool quoted = false;
    for (size_t p = from; p < f.size(); ++p) {
      const Char c = f[p];
      if (c == u'\'' || c == u'"') {
        quoted = !quoted;
      } else if (!quoted && (c == u'a' || c == u'A')) {
        return StartsWithIgnoreCase(f, p, "AM/PM") || StartsWithIgnoreCase(f, p, "A/P") ||
               StartsWithIgnoreCase(f, p, "AMPM");
      } else if (!quoted && (c == u'h' || c == u'H')) {
        return false;
      }
    }
    return false;
  }

  void Append(StringView f, int depth) {
    // Nested pictures (a ShortDateFormat that holds "c") stop two levels down.
    if (depth > 2) return;
    Char lastToken = 0;
    size_t i = 0;
    while (i < f.size()) {
      const Char starter = f[i];
      Char token = Upper(starter);
      if (token >= u'A' && token <= u'Z') {
        if (token == u'M' && lastToken == u'H') token = u'N';
        lastToken = token;
      }
      size_t count = 1;
      auto takeRun = [&]() {
        while (i + count < f.size() && f[i + count] == starter) ++count;
      };
      switch (token) {
        case u'Y':
          takeRun();
          if (count <= 2) Number(FYear % 100, 2);
          else Number(FYear, 4);
          break;
        case u'E':
          takeRun();
          Number(FYear, count >= 2 ? 2 : 1);
          break;
        case u'M':
          takeRun();
          if (count <= 2) Number(FMonth, static_cast<int>(count));
          else if (count == 3) FOut += FSettings.ShortMonthNames[FMonth];
          else FOut += FSettings.LongMonthNames[FMonth];
          break;
        case u'D':
          takeRun();
          if (count <= 2) Number(FDay, static_cast<int>(count));
          else if (count == 3) FOut += FSettings.ShortDayNames[FDayOfWeek];
          else if (count == 4) FOut += FSettings.LongDayNames[FDayOfWeek];
          else if (count == 5) Append(FSettings.ShortDateFormat, depth + 1);
          else Append(FSettings.LongDateFormat, depth + 1);
          break;
        case u'H': {
          takeRun();
          int h = FHour;
          if (TwelveHour(f, i + count)) {
            if (h == 0) h = 12;
            else if (h > 12) h -= 12;
          }
          Number(h, count >= 2 ? 2 : 1);
          break;
        }
        case u'N':
          takeRun();
          Number(FMin, count >= 2 ? 2 : 1);
          break;
        case u'S':
          takeRun();
          Number(FSec, count >= 2 ? 2 : 1);
          break;
        case u'Z':
          takeRun();
          Number(FMSec, count >= 3 ? 3 : static_cast<int>(count));
          break;
        case u'T':
          takeRun();
          Append(count == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, depth + 1);
          break;
        case u'C':
          takeRun();
          Append(FSettings.ShortDateFormat, depth + 1);
          if (FMSecOfDay != 0) {
            FOut += u' ';
            Append(FSettings.LongTimeFormat, depth + 1);
          }
          break;
        case u'A':
          if (StartsWithIgnoreCase(f, i, "AM/PM")) {
            FOut.append(f.substr(i + (FHour >= 12 ? 3 : 0), 2));
            count = 5;
          } else if (StartsWithIgnoreCase(f, i, "A/P")) {
            FOut += f[i + (FHour >= 12 ? 2 : 0)];
            count = 3;
          } else if (StartsWithIgnoreCase(f, i, "AMPM")) {
            FOut += FHour >= 12 ? FSettings.TimePMString : FSettings.TimeAMString;
            count = 4;
          } else if (StartsWithIgnoreCase(f, i, "AAAA")) {
            FOut += FSettings.LongDayNames[FDayOfWeek];
            count = 4;
          } else if (StartsWithIgnoreCase(f, i, "AAA")) {
            FOut += FSettings.ShortDayNames[FDayOfWeek];
            count = 3;
          } else {
            FOut += starter;
          }
          break;
        case u'/':
          if (FSettings.DateSeparator) FOut += FSettings.DateSeparator;
          break;
        case u':':
          if (FSettings.TimeSeparator) FOut += FSettings.TimeSeparator;
          break;
        case u'\'':
        case u'"': {
          size_t j = f.find(starter, i + 1);
          if (j == StringView::npos) j = f.size();
          FOut.append(f.substr(i + 1, j - i - 1));
          count = (j < f.size() ? j + 1 : j) - i;
          break;
        }
        default:
          FOut += starter;
          break;
      }
      i += count;
    }
  }

  const TFormatSettings& FSettings;
  String FOut;
  int FYear, FMonth, FDay, FDayOfWeek, FHour, FMin, FSec, FMSec;
  Int64 FMSecOfDay;
};

}  // namespace

String FormatDateTime(StringView format, TDateTime value, const TFormatSettings& fs) {
  return TDateFormatter(value, fs).Run(format);
}

String FormatDateTime(StringView format, TDateTime value) {
  return FormatDateTime(format, value, FormatSettings());
}

String DateToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime(u"ddddd", value, fs); }
String DateToStr(TDateTime value) { return DateToStr(value, FormatSettings()); }
String TimeToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime(u"tt", value, fs); }
String TimeToStr(TDateTime value) { return TimeToStr(value, FormatSettings()); }
String DateTimeToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime(u"c", value, fs); }
String DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings()); }

// ---- parsing ----

namespace {

class TScanner {
 public:
  TScanner(StringView s, const TFormatSettings& fs) : FText(s), FSettings(fs) {}

  size_t Pos = 0;

  bool AtEnd() const { return Pos >= FText.size(); }

  void Blanks() {
    while (Pos < FText.size() && FText[Pos] == u' ') ++Pos;
  }

  // Up to four digits (the value stops growing at 1000 or more, like the classic scanner).
  bool Number(int& value, int& digits) {
    Blanks();
    size_t i = Pos;
    int n = 0;
    while (i < FText.size() && FText[i] >= u'0' && FText[i] <= u'9' && n < 1000) {
      n = n * 10 + (FText[i] - u'0');
      ++i;
    }
    if (i == Pos) return false;
    digits = static_cast<int>(i - Pos);
    Pos = i;
    value = n;
    return true;
  }

  bool CharIs(Char c) {
    Blanks();
    if (Pos < FText.size() && FText[Pos] == c) {
      ++Pos;
      return true;
    }
    return false;
  }

  bool Symbol(StringView word) {
    Blanks();
    if (word.empty() || FText.size() - Pos < word.size()) return false;
    for (size_t k = 0; k < word.size(); ++k) {
      Char a = FText[Pos + k], b = word[k];
      if (a >= u'a' && a <= u'z') a = static_cast<Char>(a - 32);
      if (b >= u'a' && b <= u'z') b = static_cast<Char>(b - 32);
      if (a != b) return false;
    }
    Pos += word.size();
    return true;
  }

  bool ScanDate(TDateTime& value) {
    enum { MDY, DMY, YMD } order = MDY;
    for (Char c : FSettings.ShortDateFormat) {
      const Char u = c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c;
      if (u == u'E' || u == u'Y') { order = YMD; break; }
      if (u == u'M') { order = MDY; break; }
      if (u == u'D') { order = DMY; break; }
    }
    int n1, n2, n3, l1, l2, l3;
    if (!Number(n1, l1) || !CharIs(FSettings.DateSeparator) || !Number(n2, l2)) return false;
    int y, m, d;
    if (CharIs(FSettings.DateSeparator)) {
      if (!Number(n3, l3)) return false;
      int yearLen;
      switch (order) {
        case DMY: y = n3; yearLen = l3; m = n2; d = n1; break;
        case YMD: y = n1; yearLen = l1; m = n2; d = n3; break;
        default: y = n3; yearLen = l3; m = n1; d = n2; break;
      }
      if (yearLen <= 2) {
        const int window = FSettings.TwoDigitYearCenturyWindow;
        const int base = CurrentYear() - window;
        y += base / 100 * 100;
        if (window > 0 && y < base) y += 100;
      }
    } else {
      y = CurrentYear();
      if (order == DMY) {
        d = n1;
        m = n2;
      } else {
        m = n1;
        d = n2;
      }
    }
    CharIs(FSettings.DateSeparator);
    Blanks();
    return TryEncodeDate(y, m, d, value);
  }

  bool ScanTime(TDateTime& value) {
    int base = -1;
    if (Symbol(FSettings.TimeAMString) || Symbol(u"AM")) base = 0;
    else if (Symbol(FSettings.TimePMString) || Symbol(u"PM")) base = 12;
    int hour, min = 0, sec = 0, msec = 0, digits;
    if (!Number(hour, digits)) return false;
    if (CharIs(FSettings.TimeSeparator)) {
      if (!Number(min, digits)) return false;
      if (CharIs(FSettings.TimeSeparator)) {
        if (!Number(sec, digits)) return false;
        if (CharIs(FSettings.DecimalSeparator)) {
          // A fraction of a second: ".5" is 500 ms. More than millisecond digits is refused.
          if (!Number(msec, digits) || digits > 3) return false;
          for (; digits < 3; ++digits) msec *= 10;
        }
      }
    }
    if (base < 0) {
      if (Symbol(FSettings.TimeAMString) || Symbol(u"AM")) base = 0;
      else if (Symbol(FSettings.TimePMString) || Symbol(u"PM")) base = 12;
    }
    if (base >= 0) {
      if (hour == 0 || hour > 12) return false;
      if (hour == 12) hour = 0;
      hour += base;
    }
    Blanks();
    return TryEncodeTime(hour, min, sec, msec, value);
  }

 private:
  StringView FText;
  const TFormatSettings& FSettings;
};

}  // namespace

bool TryStrToDate(StringView s, TDateTime& value, const TFormatSettings& fs) {
  TScanner sc(s, fs);
  TDateTime d;
  if (!sc.ScanDate(d) || !sc.AtEnd()) return false;
  value = d;
  return true;
}

bool TryStrToDate(StringView s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings()); }

TDateTime StrToDate(StringView s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToDate(s, v, fs)) throw EConvertError(u"'" + String(s) + u"' is not a valid date");
  return v;
}

TDateTime StrToDate(StringView s) { return StrToDate(s, FormatSettings()); }

TDateTime StrToDateDef(StringView s, TDateTime defaultValue) {
  TDateTime v;
  return TryStrToDate(s, v) ? v : defaultValue;
}

bool TryStrToTime(StringView s, TDateTime& value, const TFormatSettings& fs) {
  TScanner sc(s, fs);
  TDateTime t;
  if (!sc.ScanTime(t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

bool TryStrToTime(StringView s, TDateTime& value) { return TryStrToTime(s, value, FormatSettings()); }

TDateTime StrToTime(StringView s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToTime(s, v, fs)) throw EConvertError(u"'" + String(s) + u"' is not a valid time");
  return v;
}

TDateTime StrToTime(StringView s) { return StrToTime(s, FormatSettings()); }

bool TryStrToDateTime(StringView s, TDateTime& value, const TFormatSettings& fs) {
  TScanner sc(s, fs);
  TDateTime d = 0, t = 0;
  if (sc.ScanDate(d)) {
    if (!sc.AtEnd() && (!sc.ScanTime(t) || !sc.AtEnd())) return false;
  } else {
    TScanner timeOnly(s, fs);
    if (!timeOnly.ScanTime(t) || !timeOnly.AtEnd()) return false;
  }
  value = d >= 0 ? d + t : d - t;
  return true;
}

bool TryStrToDateTime(StringView s, TDateTime& value) {
  return TryStrToDateTime(s, value, FormatSettings());
}

TDateTime StrToDateTime(StringView s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToDateTime(s, v, fs))
    throw EConvertError(u"'" + String(s) + u"' is not a valid date and time");
  return v;
}

TDateTime StrToDateTime(StringView s) { return StrToDateTime(s, FormatSettings()); }

}  // namespace vcl
