// Integer and floating-point text conversion: IntToStr/StrToInt, FloatToStr(F), FormatFloat,
// StrToFloat. Every case pins its settings.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "host/rtl/NumFormat.h"
#include "host/rtl/SysUtils.h"

using namespace vcl;

namespace {

const TFormatSettings kUS;  // en-US
const TFormatSettings kDE = TFormatSettings::Create("de-DE");

std::string U8(const String& s) { return StringToUtf8(s); }

}  // namespace

TEST(IntText, IntToStrAndHex) {
  EXPECT_EQ(IntToStr(0), u"0");
  EXPECT_EQ(IntToStr(-5), u"-5");
  EXPECT_EQ(IntToStr(std::numeric_limits<Int64>::min()), u"-9223372036854775808");
  EXPECT_EQ(IntToStr(std::numeric_limits<Integer>::min()), u"-2147483648");
  EXPECT_EQ(IntToStr(4294967295u), u"4294967295");
  EXPECT_EQ(UIntToStr(std::numeric_limits<UInt64>::max()), u"18446744073709551615");
  EXPECT_EQ(IntToHex(255, 4), u"00FF");
  EXPECT_EQ(IntToHex(0x1234), u"00001234");
  EXPECT_EQ(IntToHex(-1, 2), u"FFFFFFFF");  // an Integer keeps its 32 bits
  EXPECT_EQ(IntToHex(Int64(-1), 2), u"FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(Word(0xABCD)), u"ABCD");
}

TEST(IntText, StrToIntAcceptsBlanksSignsAndHex) {
  EXPECT_EQ(StrToInt(u"123"), 123);
  EXPECT_EQ(StrToInt(u"   42"), 42);
  EXPECT_EQ(StrToInt(u"+7"), 7);
  EXPECT_EQ(StrToInt(u"-2147483648"), std::numeric_limits<Integer>::min());
  EXPECT_EQ(StrToInt(u"$FF"), 255);
  EXPECT_EQ(StrToInt(u"0x1f"), 31);
  EXPECT_EQ(StrToInt(u"X10"), 16);
  EXPECT_EQ(StrToInt(u"-$10"), -16);
  EXPECT_EQ(StrToInt(u"$FFFFFFFF"), -1);  // hexadecimal takes the full 32 bits
  EXPECT_EQ(StrToInt64(u"9223372036854775807"), std::numeric_limits<Int64>::max());
  EXPECT_EQ(StrToInt64(u"-9223372036854775808"), std::numeric_limits<Int64>::min());
  EXPECT_EQ(StrToInt64(u"$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64(u"4294967296"), 4294967296LL);
}

TEST(IntText, StrToIntRejects) {
  for (const char16_t* bad : {u"", u" ", u"-", u"$", u"0x", u"42 ", u"1a", u"1.0", u"2147483648",
                              u"-2147483649", u"$100000000", u"++1", u"1 2", u"\u0661"}) {
    Integer v = 99;
    EXPECT_FALSE(TryStrToInt(bad, v)) << U8(bad);
    EXPECT_EQ(v, 99) << "failed parse must not touch the output";
  }
  Int64 v64;
  EXPECT_FALSE(TryStrToInt64(u"9223372036854775808", v64));
  EXPECT_FALSE(TryStrToInt64(u"$10000000000000000", v64));
  EXPECT_EQ(StrToIntDef(u"zz", 7), 7);
  EXPECT_EQ(StrToInt64Def(u"12", 7), 12);
  try {
    StrToInt(u"abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'abc' is not a valid integer value");
  }
}

TEST(FloatText, FloatToStrShortestOfFixedAndScientific) {
  EXPECT_EQ(FloatToStr(0, kUS), u"0");
  EXPECT_EQ(FloatToStr(-0.0, kUS), u"0");
  EXPECT_EQ(FloatToStr(0.1, kUS), u"0.1");
  EXPECT_EQ(FloatToStr(0.1 + 0.2, kUS), u"0.3");
  EXPECT_EQ(FloatToStr(1.0 / 3, kUS), u"0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3, kUS), u"0.666666666666667");
  EXPECT_EQ(FloatToStr(-123.456, kUS), u"-123.456");
  EXPECT_EQ(FloatToStr(1e14, kUS), u"100000000000000");
  EXPECT_EQ(FloatToStr(1e15, kUS), u"1E15");
  EXPECT_EQ(FloatToStr(123456789012345678.0, kUS), u"1.23456789012346E17");
  EXPECT_EQ(FloatToStr(0.0001, kUS), u"0.0001");
  EXPECT_EQ(FloatToStr(0.00001, kUS), u"1E-5");
  EXPECT_EQ(FloatToStr(-1.5e-7, kUS), u"-1.5E-7");
  EXPECT_EQ(FloatToStr(DBL_MAX, kUS), u"1.79769313486232E308");
  EXPECT_EQ(FloatToStr(std::nan(""), kUS), u"NAN");
  EXPECT_EQ(FloatToStr(HUGE_VAL, kUS), u"INF");
  EXPECT_EQ(FloatToStr(-HUGE_VAL, kUS), u"-INF");
  EXPECT_EQ(FloatToStr(1.5, kDE), u"1,5");
  EXPECT_EQ(FloatToStr(999999999999999.9, kUS), u"1E15");  // rounding carries into a 16th digit
}

TEST(FloatText, FixedRoundsHalvesAwayFromZero) {
  EXPECT_EQ(FloatToStrF(1234.5678, ffFixed, 15, 2, kUS), u"1234.57");
  EXPECT_EQ(FloatToStrF(2.5, ffFixed, 15, 0, kUS), u"3");
  EXPECT_EQ(FloatToStrF(-2.5, ffFixed, 15, 0, kUS), u"-3");
  EXPECT_EQ(FloatToStrF(0.125, ffFixed, 15, 2, kUS), u"0.13");
  // 1.005 is stored as 1.00499999999999989...: the digits, not the literal, decide.
  EXPECT_EQ(FloatToStrF(1.005, ffFixed, 15, 2, kUS), u"1.00");
  EXPECT_EQ(FloatToStrF(9.996, ffFixed, 15, 2, kUS), u"10.00");
  EXPECT_EQ(FloatToStrF(0.004, ffFixed, 15, 2, kUS), u"0.00");
  EXPECT_EQ(FloatToStrF(-0.004, ffFixed, 15, 2, kUS), u"0.00");  // no "-0.00"
  EXPECT_EQ(FloatToStrF(123.456, ffFixed, 4, 2, kUS), u"123.50");  // four significant digits
  EXPECT_EQ(FloatToStrF(1e20, ffFixed, 15, 2, kUS), u"1E20");      // too wide: general form
  EXPECT_EQ(FloatToStrF(0.5, ffFixed, 15, 3, kDE), u"0,500");
}

TEST(FloatText, NumberAndCurrencyGroupThousands) {
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2, kUS), u"1,234,567.89");
  EXPECT_EQ(FloatToStrF(-1234.5, ffNumber, 15, 0, kUS), u"-1,235");
  EXPECT_EQ(FloatToStrF(999.5, ffNumber, 15, 0, kUS), u"1,000");
  EXPECT_EQ(FloatToStrF(123, ffNumber, 15, 2, kUS), u"123.00");
  EXPECT_EQ(FloatToStrF(100000, ffNumber, 15, 0, kUS), u"100,000");
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2, kDE), u"1.234.567,89");

  EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2, kUS), u"$1,234.50");
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, kUS), u"($1,234.50)");
  EXPECT_EQ(U8(FloatToStrF(1234.5, ffCurrency, 15, 2, kDE)), "1.234,50 \u20AC");
  EXPECT_EQ(U8(FloatToStrF(-1234.5, ffCurrency, 15, 2, kDE)), "-1.234,50 \u20AC");
  TFormatSettings fs;
  fs.CurrencyString = u"EUR";
  const struct {
    int format;
    const char16_t* text;
  } negatives[] = {{1, u"-EUR5.00"},  {2, u"EUR-5.00"},  {3, u"EUR5.00-"},   {4, u"(5.00EUR)"},
                   {5, u"-5.00EUR"},  {6, u"5.00-EUR"},  {7, u"5.00EUR-"},   {8, u"-5.00 EUR"},
                   {9, u"-EUR 5.00"}, {10, u"5.00 EUR-"}, {11, u"EUR 5.00-"}, {12, u"EUR -5.00"},
                   {13, u"5.00- EUR"}, {14, u"(EUR 5.00)"}, {15, u"(5.00 EUR)"}};
  for (const auto& n : negatives) {
    fs.NegCurrFormat = static_cast<Byte>(n.format);
    EXPECT_EQ(FloatToStrF(-5, ffCurrency, 15, 2, fs), n.text) << n.format;
  }
  const char16_t* positives[] = {u"EUR5.00", u"5.00EUR", u"EUR 5.00", u"5.00 EUR"};
  for (int f = 0; f < 4; ++f) {
    fs.CurrencyFormat = static_cast<Byte>(f);
    EXPECT_EQ(FloatToStrF(5, ffCurrency, 15, 2, fs), positives[f]) << f;
  }
}

TEST(FloatText, ExponentAndGeneralForms) {
  EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 4, 2, kUS), u"1.235E+03");
  EXPECT_EQ(FloatToStrF(0.00012345, ffExponent, 3, 0, kUS), u"1.23E-4");
  EXPECT_EQ(FloatToStrF(-1234.5, ffExponent, 15, 3, kUS), u"-1.23450000000000E+003");
  EXPECT_EQ(FloatToStrF(9.9996, ffExponent, 4, 2, kUS), u"1.000E+01");
  EXPECT_EQ(FloatToStrF(0, ffExponent, 3, 2, kUS), u"0.00E+00");
  EXPECT_EQ(FloatToStrF(1234.5678, ffGeneral, 6, 0, kUS), u"1234.57");
  EXPECT_EQ(FloatToStrF(1234567, ffGeneral, 4, 0, kUS), u"1.235E6");
  EXPECT_EQ(FloatToStrF(1234567, ffGeneral, 4, 2, kUS), u"1.235E06");
  EXPECT_EQ(FloatToStrF(0.000123, ffGeneral, 15, 0, kUS), u"0.000123");
  EXPECT_EQ(FloatToStrF(100, ffGeneral, 2, 0, kUS), u"1E2");
}

TEST(FormatFloatPicture, DigitsDecimalsAndGrouping) {
  EXPECT_EQ(FormatFloat(u"0.00", 1234.567, kUS), u"1234.57");
  EXPECT_EQ(FormatFloat(u"#,##0.00", 1234567.891, kUS), u"1,234,567.89");
  EXPECT_EQ(FormatFloat(u"#,##0.00", 0.5, kUS), u"0.50");
  EXPECT_EQ(FormatFloat(u"#,##0", 999.6, kUS), u"1,000");
  EXPECT_EQ(FormatFloat(u"#,##0", 12, kUS), u"12");
  EXPECT_EQ(FormatFloat(u"0,000", 5, kUS), u"0,005");
  EXPECT_EQ(FormatFloat(u"#.##", 0.5, kUS), u".5");
  EXPECT_EQ(FormatFloat(u"#.##", 5, kUS), u"5");  // no dangling decimal separator
  EXPECT_EQ(FormatFloat(u"0.##", 5.1, kUS), u"5.1");
  EXPECT_EQ(FormatFloat(u"0.#0", 5.1, kUS), u"5.10");
  EXPECT_EQ(FormatFloat(u"00000", 123, kUS), u"00123");
  EXPECT_EQ(FormatFloat(u"00.00", 1.5, kUS), u"01.50");
  EXPECT_EQ(FormatFloat(u"0", 123456, kUS), u"123456");  // extra digits go before the first place
  EXPECT_EQ(FormatFloat(u"0.0", 9.96, kUS), u"10.0");
  EXPECT_EQ(FormatFloat(u"#", 0, kUS), u"");
  EXPECT_EQ(FormatFloat(u"#,##0.00", 1234567.891, kDE), u"1.234.567,89");
  EXPECT_EQ(FormatFloat(u"", 1.5, kUS), u"1.5");
  EXPECT_EQ(FormatFloat(u"0.00", 1e20, kUS), u"1E20");  // beyond 18 digits: general form
  EXPECT_EQ(FormatFloat(u"0.00", std::nan(""), kUS), u"NAN");
}

TEST(FormatFloatPicture, RoundingAndSigns) {
  EXPECT_EQ(FormatFloat(u"0", 2.5, kUS), u"3");
  EXPECT_EQ(FormatFloat(u"0", -2.5, kUS), u"-3");
  EXPECT_EQ(FormatFloat(u"0", 0.4, kUS), u"0");
  EXPECT_EQ(FormatFloat(u"0", -0.4, kUS), u"0");
  EXPECT_EQ(FormatFloat(u"0.00", 0.125, kUS), u"0.13");
  EXPECT_EQ(FormatFloat(u"'$'#,##0.00", -1234.5, kUS), u"-$1,234.50");  // sign leads
}

TEST(FormatFloatPicture, LiteralsAndSections) {
  EXPECT_EQ(FormatFloat(u"\"Total: \"0", 5, kUS), u"Total: 5");
  EXPECT_EQ(FormatFloat(u"0 'units'", 5, kUS), u"5 units");
  EXPECT_EQ(FormatFloat(u"0.0'%'", 12.34, kUS), u"12.3%");
  EXPECT_EQ(FormatFloat(u"'#0;'0", 7, kUS), u"#0;7");  // quotes hide placeholders and ";"
  EXPECT_EQ(FormatFloat(u"#,##0.00;(#,##0.00)", -1234.5, kUS), u"(1,234.50)");
  EXPECT_EQ(FormatFloat(u"#,##0.00;(#,##0.00)", 1234.5, kUS), u"1,234.50");
  EXPECT_EQ(FormatFloat(u"0.00;-0.00;'zero'", 0, kUS), u"zero");
  EXPECT_EQ(FormatFloat(u"0.00;-0.00;'zero'", 0.001, kUS), u"zero");  // rounds to zero
  EXPECT_EQ(FormatFloat(u"0.00;;'zero'", -5, kUS), u"-5.00");  // empty negative section
  EXPECT_EQ(FormatFloat(u"0.00;(0.00)", 0, kUS), u"0.00");     // no zero section
  EXPECT_EQ(FormatFloat(u"0.0;'minus'", -1, kUS), u"minus");
}

TEST(FormatFloatPicture, Scientific) {
  EXPECT_EQ(FormatFloat(u"0.00E+00", 12345, kUS), u"1.23E+04");
  EXPECT_EQ(FormatFloat(u"0.00E+00", 0.000123, kUS), u"1.23E-04");
  EXPECT_EQ(FormatFloat(u"0.00E-00", 12345, kUS), u"1.23E04");
  EXPECT_EQ(FormatFloat(u"0.00e-0", 0.000123, kUS), u"1.23e-4");
  EXPECT_EQ(FormatFloat(u"00.0E+0", 12345, kUS), u"12.3E+3");
  EXPECT_EQ(FormatFloat(u"0.0E+0", 9.96, kUS), u"1.0E+1");
  EXPECT_EQ(FormatFloat(u"0.00E+00", -12355, kUS), u"-1.24E+04");
  EXPECT_EQ(FormatFloat(u"0E+0", 0, kUS), u"0E+0");
  EXPECT_EQ(FormatFloat(u"0.00E+0000", 1e100, kUS), u"1.00E+0100");
}

TEST(FloatParse, PinnedSeparators) {
  EXPECT_DOUBLE_EQ(StrToFloat(u"1.5", kUS), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloat(u"  -1.5e3  ", kUS), -1500);
  EXPECT_DOUBLE_EQ(StrToFloat(u".5", kUS), 0.5);
  EXPECT_DOUBLE_EQ(StrToFloat(u"5.", kUS), 5);
  EXPECT_DOUBLE_EQ(StrToFloat(u"+2E-2", kUS), 0.02);
  EXPECT_DOUBLE_EQ(StrToFloat(u"1,5", kDE), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloat(u"1e-400", kUS), 0);  // underflow is zero
  EXPECT_TRUE(std::isinf(StrToFloat(u"-INF", kUS)));
  EXPECT_TRUE(std::isnan(StrToFloat(u"nan", kUS)));
  for (const char16_t* bad : {u"", u"  ", u"-", u".", u"e5", u"1e", u"1e+", u"1,5", u"1,234.5",
                              u"1.5x", u"1 .5", u"1e400", u"0x10"}) {
    double v = 42;
    EXPECT_FALSE(TryStrToFloat(bad, v, kUS)) << U8(bad);
    EXPECT_EQ(v, 42);
  }
  double v;
  EXPECT_FALSE(TryStrToFloat(u"1.5", v, kDE));
  EXPECT_DOUBLE_EQ(StrToFloatDef(u"abc", 2.5, kUS), 2.5);
  try {
    StrToFloat(u"abc", kUS);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'abc' is not a valid floating point value");
  }
}

TEST(FloatParse, ReadsBackWhatFloatToStrWrites) {
  for (double x : {0.1, -2.5, 123456.789, 1e-5, 6.02214076e23, -4.5e-300}) {
    for (const TFormatSettings* fs : {&kUS, &kDE}) {
      const double back = StrToFloat(FloatToStr(x, *fs), *fs);
      EXPECT_NEAR(back, x, std::fabs(x) * 1e-14) << U8(FloatToStr(x, *fs));
    }
  }
  EXPECT_EQ(CurrToStr(1234.56789, kUS), u"1234.5679");
  EXPECT_EQ(CurrToStr(2, kUS), u"2");
}
