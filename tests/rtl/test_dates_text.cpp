// FormatDateTime tokens and StrToDate/StrToTime/StrToDateTime with pinned settings.
#include <gtest/gtest.h>

#include "host/rtl/DateUtils.h"
#include "host/rtl/SysUtils.h"

using namespace vcl;

namespace {

const TFormatSettings kUS;
// Tuesday, 5 March 2024, 14:07:09.045.
const TDateTime kWhen = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);

String F(const char16_t* format, TDateTime value = kWhen, const TFormatSettings& fs = kUS) {
  return FormatDateTime(format, value, fs);
}

struct TPinnedClock {
  explicit TPinnedClock(TDateTime now) { SetNowProvider([now] { return now; }); }
  ~TPinnedClock() { ResetNowProvider(); }
};

}  // namespace

TEST(DateFormat, NumericTokens) {
  EXPECT_EQ(F(u"yyyy-mm-dd hh:nn:ss.zzz"), u"2024-03-05 14:07:09.045");
  EXPECT_EQ(F(u"d/m/yy"), u"5/3/24");
  EXPECT_EQ(F(u"yy", EncodeDate(2005, 1, 1)), u"05");
  EXPECT_EQ(F(u"e ee", EncodeDate(7, 1, 1)), u"7 07");
  EXPECT_EQ(F(u"h n s z"), u"14 7 9 45");
  EXPECT_EQ(F(u"zz"), u"45");
  EXPECT_EQ(F(u"h:nn", EncodeTime(0, 7, 0, 0)), u"0:07");
  EXPECT_EQ(F(u"YYYY-MM-DD"), u"2024-03-05");  // letters in either case
}

TEST(DateFormat, NamesAndSettingsPictures) {
  EXPECT_EQ(F(u"ddd dddd"), u"Tue Tuesday");
  EXPECT_EQ(F(u"mmm mmmm"), u"Mar March");
  EXPECT_EQ(F(u"aaa aaaa"), u"Tue Tuesday");
  EXPECT_EQ(F(u"ddddd"), u"3/5/2024");
  EXPECT_EQ(F(u"dddddd"), u"Tuesday, March 5, 2024");
  EXPECT_EQ(F(u"c"), u"3/5/2024 2:07:09 PM");
  EXPECT_EQ(F(u""), u"3/5/2024 2:07:09 PM");
  EXPECT_EQ(F(u"c", EncodeDate(2024, 3, 5)), u"3/5/2024");  // midnight: no time
  EXPECT_EQ(F(u"t"), u"2:07 PM");
  EXPECT_EQ(F(u"tt"), u"2:07:09 PM");
  const TFormatSettings de = TFormatSettings::Create("de-DE");
  EXPECT_EQ(StringToUtf8(F(u"dddd, d. mmmm yyyy", kWhen, de)), "Dienstag, 5. M\u00E4rz 2024");
  EXPECT_EQ(DateToStr(kWhen, de), u"05.03.2024");
  EXPECT_EQ(TimeToStr(kWhen, de), u"14:07:09");
  EXPECT_EQ(DateTimeToStr(kWhen, de), u"05.03.2024 14:07:09");
  EXPECT_EQ(DateToStr(kWhen, TFormatSettings::Create("en-GB")), u"05/03/2024");
  EXPECT_EQ(DateToStr(kWhen, TFormatSettings::Invariant()), u"03/05/2024");
}

TEST(DateFormat, MinutesAfterHoursAndTwelveHourClock) {
  EXPECT_EQ(F(u"h:mm"), u"14:07");      // m right after h means minutes
  EXPECT_EQ(F(u"mm/dd"), u"03/05");     // elsewhere months
  EXPECT_EQ(F(u"hh'h'mm"), u"14h07");   // a quoted literal keeps the hour context
  EXPECT_EQ(F(u"h:mm am/pm"), u"2:07 pm");
  EXPECT_EQ(F(u"hh:mm AM/PM"), u"02:07 PM");
  EXPECT_EQ(F(u"h a/p"), u"2 p");
  EXPECT_EQ(F(u"h A/P"), u"2 P");
  EXPECT_EQ(F(u"h ampm"), u"2 PM");
  EXPECT_EQ(F(u"h am/pm", EncodeTime(0, 30, 0, 0)), u"12 am");
  EXPECT_EQ(F(u"h am/pm", EncodeTime(12, 30, 0, 0)), u"12 pm");
  EXPECT_EQ(F(u"h:nn 'am/pm'"), u"14:07 am/pm");  // quoted: not a token, stays 24-hour
  TFormatSettings fs;
  fs.TimeAMString = u"vorm.";
  fs.TimePMString = u"nachm.";
  fs.TimeSeparator = u'.';
  fs.DateSeparator = u'-';
  EXPECT_EQ(F(u"h:nn ampm", kWhen, fs), u"2.07 nachm.");
  EXPECT_EQ(F(u"dd/mm/yyyy", kWhen, fs), u"05-03-2024");
}

TEST(DateFormat, LiteralsNegativeValuesAndErrors) {
  EXPECT_EQ(F(u"'Today is' dddd"), u"Today is Tuesday");
  EXPECT_EQ(F(u"\"h\"h"), u"h14");
  EXPECT_EQ(F(u"yyyy 'unterminated"), u"2024 unterminated");
  EXPECT_EQ(F(u"[yyyy] #"), u"[2024] #");
  EXPECT_EQ(F(u"yyyy-mm-dd hh:nn", -1.25), u"1899-12-29 06:00");
  TFormatSettings loop;
  loop.ShortDateFormat = u"ddddd c";  // refers to itself: expansion stops
  EXPECT_NO_THROW(F(u"c", kWhen, loop));
  EXPECT_THROW(F(u"yyyy", 1e9), EConvertError);
}

TEST(DateParse, FollowsTheShortDateOrder) {
  TPinnedClock clock(EncodeDate(2024, 6, 15));
  TDateTime d;
  EXPECT_EQ(StrToDate(u"3/5/2024", kUS), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(u" 3 / 5 / 2024 ", kUS), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(u"3/5", kUS), EncodeDate(2024, 3, 5));  // current year
  TFormatSettings dmy;
  dmy.ShortDateFormat = u"dd.MM.yyyy";
  dmy.DateSeparator = u'.';
  EXPECT_EQ(StrToDate(u"05.03.2024", dmy), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(u"5.3", dmy), EncodeDate(2024, 3, 5));
  EXPECT_FALSE(TryStrToDate(u"5.3.", d, dmy));  // a separator promises a year
  TFormatSettings ymd;
  ymd.ShortDateFormat = u"yyyy-MM-dd";
  ymd.DateSeparator = u'-';
  EXPECT_EQ(StrToDate(u"2024-03-05", ymd), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(u"03-05", ymd), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(u"05.03.2024", TFormatSettings::Create("de-DE")), EncodeDate(2024, 3, 5));
  for (const char16_t* bad : {u"", u"3", u"3/", u"2/30/2024", u"13/1/2024", u"3-5-2024",
                              u"3/5/2024x", u"3/5/2024 10:00", u"a/b/c", u"3//5", u"3/5/12345"}) {
    d = 7;
    EXPECT_FALSE(TryStrToDate(bad, d, kUS)) << StringToUtf8(bad);
    EXPECT_EQ(d, 7);
  }
  try {
    StrToDate(u"31/12/2024", kUS);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'31/12/2024' is not a valid date");
  }
}

TEST(DateParse, TwoDigitYearsUseTheCenturyWindow) {
  TPinnedClock clock(EncodeDate(2024, 6, 15));
  TFormatSettings fs;  // window 50: two-digit years fall in 1974..2073
  EXPECT_EQ(YearOf(StrToDate(u"1/1/30", fs)), 2030);
  EXPECT_EQ(YearOf(StrToDate(u"1/1/74", fs)), 1974);
  EXPECT_EQ(YearOf(StrToDate(u"1/1/73", fs)), 2073);
  EXPECT_EQ(YearOf(StrToDate(u"1/1/99", fs)), 1999);
  EXPECT_EQ(YearOf(StrToDate(u"1/1/0024", fs)), 24);  // four digits are taken as written
  fs.TwoDigitYearCenturyWindow = 0;  // the current century
  EXPECT_EQ(YearOf(StrToDate(u"1/1/99", fs)), 2099);
  fs.TwoDigitYearCenturyWindow = 10;  // 2014..2113
  EXPECT_EQ(YearOf(StrToDate(u"1/1/13", fs)), 2113);
  EXPECT_EQ(YearOf(StrToDate(u"1/1/14", fs)), 2014);
}

TEST(DateParse, Times) {
  EXPECT_DOUBLE_EQ(StrToTime(u"14:07", kUS), EncodeTime(14, 7, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime(u"14", kUS), EncodeTime(14, 0, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime(u"2:07 PM", kUS), EncodeTime(14, 7, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime(u"2:07pm", kUS), EncodeTime(14, 7, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime(u"PM 2:07", kUS), EncodeTime(14, 7, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime(u"12:00 AM", kUS), 0);
  EXPECT_DOUBLE_EQ(StrToTime(u"12:30 PM", kUS), EncodeTime(12, 30, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime(u"14:07:09.045", kUS), EncodeTime(14, 7, 9, 45));
  EXPECT_DOUBLE_EQ(StrToTime(u"14:07:09.5", kUS), EncodeTime(14, 7, 9, 500));  // a fraction
  TFormatSettings fs;
  fs.TimeSeparator = u'.';
  fs.DecimalSeparator = u',';
  fs.TimePMString = u"nachm.";
  EXPECT_DOUBLE_EQ(StrToTime(u"2.07.09,25 nachm.", fs), EncodeTime(14, 7, 9, 250));
  for (const char16_t* bad : {u"", u"25:00", u"14:60", u"14:", u"13:00 PM", u"0:00 AM",
                              u"14:07:09.1234", u"14:07 x", u"AM", u"14-07"}) {
    TDateTime t = 7;
    EXPECT_FALSE(TryStrToTime(bad, t, kUS)) << StringToUtf8(bad);
    EXPECT_EQ(t, 7);
  }
  EXPECT_THROW(StrToTime(u"noon", kUS), EConvertError);
}

TEST(DateParse, DateAndTimeTogether) {
  TPinnedClock clock(EncodeDate(2024, 6, 15));
  EXPECT_DOUBLE_EQ(StrToDateTime(u"3/5/2024 14:07:09", kUS), EncodeDateTime(2024, 3, 5, 14, 7, 9, 0));
  EXPECT_DOUBLE_EQ(StrToDateTime(u"3/5/2024", kUS), EncodeDate(2024, 3, 5));
  EXPECT_DOUBLE_EQ(StrToDateTime(u"14:07", kUS), EncodeTime(14, 7, 0, 0));
  EXPECT_DOUBLE_EQ(StrToDateTime(u"12/29/1899 6:00 AM", kUS), -1.25);
  TDateTime v;
  EXPECT_FALSE(TryStrToDateTime(u"3/5/2024 xx", v, kUS));
  EXPECT_FALSE(TryStrToDateTime(u"3/5/2024 14:07 junk", v, kUS));
  try {
    StrToDateTime(u"soon", kUS);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'soon' is not a valid date and time");
  }
}

TEST(DateParse, ReadsBackWhatDateTimeToStrWrites) {
  const TFormatSettings settings[] = {kUS, TFormatSettings::Create("de-DE"),
                                      TFormatSettings::Create("en-GB"), TFormatSettings::Invariant()};
  for (const auto& fs : settings) {
    for (TDateTime v = EncodeDate(1600, 1, 1); v < EncodeDate(2400, 1, 1); v += 97.375) {
      const TDateTime back = StrToDateTime(DateTimeToStr(v, fs), fs);
      ASSERT_NEAR(back, v, 1.0 / SecsPerDay) << StringToUtf8(DateTimeToStr(v, fs));
    }
  }
}
