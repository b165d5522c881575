// Date and time encoding, calendar arithmetic and the injectable clock.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>

#include "host/rtl/DateUtils.h"
#include "host/rtl/SysUtils.h"

using namespace vcl;

namespace {

struct TParts {
  Word Y, M, D, H, N, S, Z;
  bool operator==(const TParts&) const = default;
};

TParts Parts(TDateTime v) {
  TParts p{};
  DecodeDateTime(v, p.Y, p.M, p.D, p.H, p.N, p.S, p.Z);
  return p;
}

std::ostream& operator<<(std::ostream& os, const TParts& p) {
  return os << p.Y << '-' << p.M << '-' << p.D << ' ' << p.H << ':' << p.N << ':' << p.S << '.' << p.Z;
}

// Restores the system clock after a test that pins it.
struct TPinnedClock {
  explicit TPinnedClock(TDateTime now) {
    SetNowProvider([now] { return now; });
  }
  ~TPinnedClock() { ResetNowProvider(); }
};

}  // namespace

TEST(DateEncode, KnownDayNumbers) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(1970, 1, 1), 25569);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  EXPECT_DOUBLE_EQ(EncodeTime(18, 0, 0, 0), 0.75);
}

TEST(DateEncode, InvalidPartsRaiseOrFail) {
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);
  EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
  EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
  EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(EncodeDate(10000, 1, 1), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 4, 31), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 1, 0), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
  EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
  TDateTime d = 123;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, d));
  EXPECT_EQ(d, 123);
  try {
    EncodeDate(2023, 2, 30);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_NE(std::string(e.what()).find("2023-2-30"), std::string::npos) << e.what();
  }
}

TEST(DateDecode, NegativeValuesCountTimeForward) {
  EXPECT_EQ(Parts(-1.25), (TParts{1899, 12, 29, 6, 0, 0, 0}));
  EXPECT_EQ(Parts(-1.75), (TParts{1899, 12, 29, 18, 0, 0, 0}));
  EXPECT_EQ(Parts(-0.5), (TParts{1899, 12, 30, 12, 0, 0, 0}));
  EXPECT_DOUBLE_EQ(DateOf(-1.25), -1);
  EXPECT_DOUBLE_EQ(TimeOf(-1.25), 0.25);
}

TEST(DateDecode, TimeRoundsToTheMillisecond) {
  // Just short of midnight rounds into the next day instead of producing 24:00.
  EXPECT_EQ(Parts(EncodeDate(2024, 1, 1) + 0.9999999999), (TParts{2024, 1, 2, 0, 0, 0, 0}));
  // Every millisecond survives an encode/decode round trip (truncation would lose some).
  for (int ms = 0; ms < MSecsPerDay; ms += 7777) {
    const int h = ms / 3600000, n = ms / 60000 % 60, s = ms / 1000 % 60, z = ms % 1000;
    Word H, N, S, Z;
    DecodeTime(EncodeDate(2024, 6, 1) + EncodeTime(h, n, s, z), H, N, S, Z);
    ASSERT_EQ((TParts{0, 0, 0, H, N, S, Z}), (TParts{0, 0, 0, Word(h), Word(n), Word(s), Word(z)}));
  }
}

TEST(DateDecode, OutOfRangeValuesRaise) {
  Word y, m, d;
  EXPECT_THROW(DecodeDate(std::nan(""), y, m, d), EConvertError);
  EXPECT_THROW(DecodeDate(3e6, y, m, d), EConvertError);
  EXPECT_THROW(DecodeDate(-693594.5, y, m, d), EConvertError);
  EXPECT_NO_THROW(DecodeDate(-693593.5, y, m, d));  // 0001-01-01 12:00
  EXPECT_EQ(y, 1);
}

TEST(DateCalendar, AgreesWithTheProlepticGregorianCalendarAcrossAllYears) {
  using namespace std::chrono;
  for (int n = -693593; n <= 2958465; n += 13) {
    const sys_days day{days{n - 25569}};
    const year_month_day ymd{day};
    Word y, m, d, dow;
    DecodeDateFully(n, y, m, d, dow);
    ASSERT_EQ(y, static_cast<int>(ymd.year())) << n;
    ASSERT_EQ(m, static_cast<unsigned>(ymd.month())) << n;
    ASSERT_EQ(d, static_cast<unsigned>(ymd.day())) << n;
    ASSERT_EQ(dow, weekday{day}.c_encoding() + 1) << n;
    ASSERT_EQ(EncodeDate(y, m, d), n);
  }
}

TEST(DateCalendar, DayOfWeekAcrossCenturies) {
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(1900, 1, 1)), 2);    // Monday
  EXPECT_EQ(DayOfWeek(EncodeDate(2000, 1, 1)), 7);
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 2, 29)), 5);   // Thursday
  EXPECT_EQ(DayOfWeek(EncodeDate(1776, 7, 4)), 5);
  EXPECT_EQ(DayOfWeek(EncodeDate(1582, 10, 15)), 6);  // Friday
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);
  EXPECT_EQ(DayOfWeek(EncodeDate(9999, 12, 31)), 6);
  EXPECT_EQ(DayOfWeek(EncodeDateTime(1899, 12, 29, 23, 0, 0, 0)), 6);  // negative value
  EXPECT_EQ(DayOfTheWeek(EncodeDate(2023, 1, 1)), 7);  // ISO Sunday
  EXPECT_EQ(DayOfTheWeek(EncodeDate(2023, 1, 2)), 1);
}

TEST(DateCalendar, LeapYearsMonthLengthsAndWeeks) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAMonth(2023, 2), 28);
  EXPECT_EQ(DaysInAMonth(2023, 4), 30);
  EXPECT_THROW(DaysInAMonth(2023, 0), EConvertError);
  EXPECT_EQ(DaysInAYear(2024), 366);
  EXPECT_EQ(DayOfTheYear(EncodeDate(2024, 12, 31)), 366);
  EXPECT_EQ(WeekOfTheYear(EncodeDate(2021, 1, 3)), 53);
  EXPECT_EQ(WeekOfTheYear(EncodeDate(2021, 1, 4)), 1);
  EXPECT_EQ(WeekOfTheYear(EncodeDate(2020, 12, 31)), 53);
  EXPECT_EQ(WeekOfTheYear(EncodeDate(2024, 12, 30)), 1);
  EXPECT_EQ(WeekOfTheYear(EncodeDate(2026, 1, 1)), 1);
}

TEST(DateArithmetic, MonthStepsClampTheDay) {
  const struct {
    int y, m, d, add, ey, em, ed;
  } cases[] = {
      {2023, 1, 31, 1, 2023, 2, 28},  {2024, 1, 31, 1, 2024, 2, 29},  {2024, 3, 31, -1, 2024, 2, 29},
      {2024, 2, 29, 12, 2025, 2, 28}, {2023, 12, 15, 1, 2024, 1, 15}, {2023, 1, 15, -1, 2022, 12, 15},
      {2023, 5, 31, -15, 2022, 2, 28}, {2024, 8, 31, 1, 2024, 9, 30}, {2000, 2, 29, -1200, 1900, 2, 28},
      {2024, 5, 10, 0, 2024, 5, 10},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IncMonth(EncodeDate(c.y, c.m, c.d), c.add), EncodeDate(c.ey, c.em, c.ed))
        << c.y << '-' << c.m << '-' << c.d << " + " << c.add;
  }
  EXPECT_EQ(Parts(IncMonth(EncodeDateTime(2023, 1, 31, 13, 45, 0, 0))), (TParts{2023, 2, 28, 13, 45, 0, 0}));
  EXPECT_EQ(Parts(IncMonth(EncodeDateTime(1899, 11, 30, 6, 0, 0, 0))), (TParts{1899, 12, 30, 6, 0, 0, 0}));
  EXPECT_EQ(IncYear(EncodeDate(2024, 2, 29)), EncodeDate(2025, 2, 28));
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1)), EConvertError);
  EXPECT_THROW(IncMonth(EncodeDate(1, 1, 1), -1), EConvertError);
}

TEST(DateArithmetic, DayAndTimeStepsCrossTheEpochCleanly) {
  // 1899-12-29 06:00 is -1.25; two days later is 1899-12-31 06:00 = 1.25, not 0.75.
  EXPECT_DOUBLE_EQ(IncDay(-1.25, 2), 1.25);
  EXPECT_DOUBLE_EQ(IncDay(1.25, -2), -1.25);
  EXPECT_EQ(Parts(IncHour(EncodeDateTime(2023, 12, 31, 23, 0, 0, 0))), (TParts{2024, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(Parts(IncMinute(-1.25, -361)), (TParts{1899, 12, 28, 23, 59, 0, 0}));
  EXPECT_EQ(Parts(IncMilliSecond(EncodeDate(2024, 1, 1), -1)), (TParts{2023, 12, 31, 23, 59, 59, 999}));
  EXPECT_EQ(Parts(IncSecond(EncodeDate(2024, 2, 28), 86400)), (TParts{2024, 2, 29, 0, 0, 0, 0}));
  EXPECT_EQ(IncWeek(EncodeDate(2024, 2, 26)), EncodeDate(2024, 3, 4));
  EXPECT_THROW(IncDay(EncodeDate(9999, 12, 31)), EConvertError);
  EXPECT_EQ(DaysBetween(EncodeDateTime(2024, 1, 1, 12, 0, 0, 0), EncodeDate(2024, 1, 3)), 1);
  EXPECT_EQ(DaysBetween(-1.25, 1.25), 2);
  EXPECT_EQ(CompareDate(EncodeDateTime(2024, 1, 1, 23, 0, 0, 0), EncodeDate(2024, 1, 1)), 0);
  EXPECT_EQ(CompareDateTime(-1.75, -1.25), 1);  // 18:00 is later than 06:00 on the same day
  EXPECT_TRUE(SameDate(-1.25, -1.75));
}

TEST(DateArithmetic, StartAndEndOfPeriods) {
  const TDateTime mid = EncodeDateTime(2024, 2, 15, 10, 30, 0, 0);
  EXPECT_EQ(StartOfTheMonth(mid), EncodeDate(2024, 2, 1));
  EXPECT_EQ(Parts(EndOfTheMonth(mid)), (TParts{2024, 2, 29, 23, 59, 59, 999}));
  EXPECT_EQ(Parts(EndOfTheMonth(EncodeDate(2023, 2, 3))), (TParts{2023, 2, 28, 23, 59, 59, 999}));
  EXPECT_EQ(Parts(EndOfTheMonth(EncodeDate(2023, 12, 3))), (TParts{2023, 12, 31, 23, 59, 59, 999}));
  EXPECT_EQ(StartOfTheDay(mid), EncodeDate(2024, 2, 15));
  EXPECT_EQ(Parts(EndOfTheDay(-1.25)), (TParts{1899, 12, 29, 23, 59, 59, 999}));
  EXPECT_EQ(StartOfTheYear(mid), EncodeDate(2024, 1, 1));
  EXPECT_EQ(YearOf(mid), 2024);
  EXPECT_EQ(MonthOf(mid), 2);
  EXPECT_EQ(DayOf(mid), 15);
  EXPECT_EQ(HourOf(mid), 10);
  EXPECT_EQ(MinuteOf(mid), 30);
}

TEST(DateClock, ProviderPinsNowDateAndTime) {
  const TDateTime pinned = EncodeDateTime(2024, 5, 6, 7, 8, 9, 10);
  {
    TPinnedClock clock(pinned);
    EXPECT_EQ(Now(), pinned);
    EXPECT_EQ(Date(), EncodeDate(2024, 5, 6));
    EXPECT_DOUBLE_EQ(Time(), EncodeTime(7, 8, 9, 10));
    EXPECT_EQ(CurrentYear(), 2024);
  }
  // Back on the system clock: within a day of the C library's local time.
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  const TDateTime expected = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  EXPECT_LE(std::fabs(Date() - expected), 1.0);
  EXPECT_NE(Now(), pinned);
}
