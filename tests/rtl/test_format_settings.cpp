// Locale settings records: built-in locales, the C library's locale data, name lists.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "host/rtl/DateUtils.h"
#include "host/rtl/FormatSettings.h"
#include "host/rtl/NumFormat.h"
#include "host/rtl/SysUtils.h"

using namespace vcl;

// The C library keeps the LOCPATH search list of every newlocale() call; that is not ours to
// free, so the leak checker looks away during the call (when it is linked in at all).
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

TEST(FormatSettingsRecord, EnglishDefaultsAndBuiltInLocales) {
  const TFormatSettings us;
  EXPECT_EQ(us.ShortDateFormat, u"M/d/yyyy");
  EXPECT_EQ(us.ShortTimeFormat, u"h:nn AMPM");
  EXPECT_EQ(us.LongMonthNames[1], u"January");
  EXPECT_EQ(us.ShortDayNames[1], u"Sun");
  EXPECT_EQ(us.LongDayNames[7], u"Saturday");
  EXPECT_TRUE(TFormatSettings::Create("C") == us);
  EXPECT_TRUE(TFormatSettings::Create("en_US.UTF-8") == us);
  const TFormatSettings de = TFormatSettings::Create("de_DE.UTF-8");
  EXPECT_EQ(de.DecimalSeparator, u',');
  EXPECT_EQ(de.ThousandSeparator, u'.');
  EXPECT_EQ(de.ListSeparator, u';');
  EXPECT_EQ(de.ShortDayNames[2], u"Mo");
  EXPECT_TRUE(TFormatSettings::Create("de-DE") == de);
  const TFormatSettings inv = TFormatSettings::Invariant();
  EXPECT_EQ(inv.ShortDateFormat, u"MM/dd/yyyy");
  EXPECT_EQ(inv.LongTimeFormat, u"HH:nn:ss");
  EXPECT_EQ(FormatDateTime(u"t", EncodeTime(15, 4, 0, 0), inv), u"15:04");
  EXPECT_THROW(TFormatSettings::Create("xx_YY"), EArgumentException);
}

TEST(FormatSettingsRecord, NameListsIndexFromOne) {
  TFormatSettings fs;
  EXPECT_THROW(fs.LongMonthNames[0], EArgumentOutOfRangeException);
  EXPECT_THROW(fs.ShortDayNames[8], EArgumentOutOfRangeException);
  fs.LongMonthNames[12] = u"Dezember";
  EXPECT_EQ(FormatDateTime(u"mmmm", EncodeDate(2024, 12, 1), fs), u"Dezember");
}

TEST(FormatSettingsRecord, ProcessWideSettingsAreTheDefaultOfEveryFunction) {
  TFormatSettings& global = FormatSettings();
  const TFormatSettings saved = global;
  global.DecimalSeparator = u',';
  global.DateSeparator = u'.';
  global.ShortDateFormat = u"d/M/yyyy";
  EXPECT_EQ(FloatToStr(2.5), u"2,5");
  EXPECT_DOUBLE_EQ(StrToFloat(u"2,5"), 2.5);
  EXPECT_EQ(Format(u"%.1f", {2.25}), u"2,3");
  EXPECT_EQ(DateToStr(EncodeDate(2024, 3, 5)), u"5.3.2024");
  EXPECT_EQ(StrToDate(u"5.3.2024"), EncodeDate(2024, 3, 5));
  global = saved;
  EXPECT_EQ(FloatToStr(2.5), FloatToStr(2.5, saved));
}

// The C library's locale data, compiled on the fly (only C locales may be installed). An
// Austrian locale is not built in, so everything here comes from that data.
TEST(FormatSettingsRecord, ReadsTheCLibraryLocaleData) {
  namespace fs = std::filesystem;
  if (!fs::exists("/usr/share/i18n/locales/de_AT") || std::system("command -v localedef >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no locale sources or localedef on this machine";
  const fs::path dir = fs::temp_directory_path() / ("kx_locale_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string cmd = "localedef -i de_AT -f UTF-8 '" + (dir / "de_AT.UTF-8").string() + "' >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0 && !fs::exists(dir / "de_AT.UTF-8")) {
    fs::remove_all(dir);
    GTEST_SKIP() << "localedef failed";
  }
  const char* oldPath = std::getenv("LOCPATH");
  const std::string saved = oldPath ? oldPath : "";
  setenv("LOCPATH", dir.c_str(), 1);
  TFormatSettings at;
  bool created = false;
  if (__lsan_disable) __lsan_disable();
  try {
    at = TFormatSettings::Create("de_AT.UTF-8");
    created = true;
  } catch (const Exception&) {
  }
  if (__lsan_enable) __lsan_enable();
  if (oldPath) setenv("LOCPATH", saved.c_str(), 1);
  else unsetenv("LOCPATH");
  fs::remove_all(dir);
  ASSERT_TRUE(created);

  EXPECT_EQ(at.DecimalSeparator, u',');
  EXPECT_EQ(at.ThousandSeparator, u'.');
  EXPECT_EQ(at.DateSeparator, u'-');
  EXPECT_EQ(at.ShortDateFormat, u"yyyy/MM/dd");  // "/" stands for the date separator
  EXPECT_EQ(at.LongTimeFormat, u"hh:nn:ss");
  EXPECT_EQ(at.ShortTimeFormat, u"hh:nn");
  EXPECT_EQ(StringToUtf8(at.LongMonthNames[1]), "J\u00E4nner");
  EXPECT_EQ(at.ShortDayNames[1], u"So");
  EXPECT_EQ(StringToUtf8(at.CurrencyString), "\u20AC");
  EXPECT_EQ(at.CurrencyFormat, 2);  // "€ 1"
  EXPECT_EQ(at.NegCurrFormat, 9);   // "-€ 1"
  const TDateTime when = EncodeDateTime(2024, 1, 5, 9, 3, 0, 0);
  EXPECT_EQ(DateToStr(when, at), u"2024-01-05");
  EXPECT_EQ(StrToDate(u"2024-01-05", at), EncodeDate(2024, 1, 5));
  EXPECT_EQ(FormatDateTime(u"t", when, at), u"09:03");
}
