// Format(): specifiers, width, precision, argument indexes and the errors they raise.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "host/rtl/NumFormat.h"
#include "host/rtl/SysUtils.h"

using namespace vcl;

namespace {
const TFormatSettings kUS;
}

TEST(FormatString, Integers) {
  EXPECT_EQ(Format(u"%d", {42}, kUS), u"42");
  EXPECT_EQ(Format(u"[%5d]", {42}, kUS), u"[   42]");
  EXPECT_EQ(Format(u"[%-5d]", {42}, kUS), u"[42   ]");
  EXPECT_EQ(Format(u"%.3d", {5}, kUS), u"005");
  EXPECT_EQ(Format(u"%.3d", {-5}, kUS), u"-005");
  EXPECT_EQ(Format(u"%2.2d:%2.2d:%2.2d.%3.3d", {1, 2, 3, 4}, kUS), u"01:02:03.004");
  EXPECT_EQ(Format(u"%d", {std::numeric_limits<Int64>::min()}, kUS), u"-9223372036854775808");
  EXPECT_EQ(Format(u"%D", {7}, kUS), u"7");
  EXPECT_EQ(Format(u"%u", {-1}, kUS), u"4294967295");
  EXPECT_EQ(Format(u"%u", {Int64(-1)}, kUS), u"18446744073709551615");
  EXPECT_EQ(Format(u"%d", {std::numeric_limits<UInt64>::max()}, kUS), u"18446744073709551615");
  EXPECT_EQ(Format(u"%x", {255}, kUS), u"FF");
  EXPECT_EQ(Format(u"%.4x", {255}, kUS), u"00FF");
  EXPECT_EQ(Format(u"%x", {-1}, kUS), u"FFFFFFFF");
  EXPECT_EQ(Format(u"%x", {Int64(-1)}, kUS), u"FFFFFFFFFFFFFFFF");
}

TEST(FormatString, StringsAndPointers) {
  EXPECT_EQ(Format(u"%s, %s!", {u"Hello", String(u"World")}, kUS), u"Hello, World!");
  EXPECT_EQ(Format(u"%.2s", {u"abc"}, kUS), u"ab");
  EXPECT_EQ(Format(u"[%5s][%-5s]", {u"ab", u"cd"}, kUS), u"[   ab][cd   ]");
  EXPECT_EQ(Format(u"%s", {"caf\xC3\xA9"}, kUS), u"caf\u00E9");  // UTF-8 narrow literal
  EXPECT_EQ(Format(u"%s%s", {u'x', StringView(u"yz")}, kUS), u"xyz");
  EXPECT_EQ(Format(u"%s", {static_cast<const char16_t*>(nullptr)}, kUS), u"");
  const void* p = reinterpret_cast<const void*>(std::uintptr_t{0x1234ABCD});
  EXPECT_EQ(Format(u"%p", {p}, kUS), u"000000001234ABCD");
  EXPECT_EQ(Format(u"100%% of %s", {u"it"}, kUS), u"100% of it");
  EXPECT_EQ(Format(u"no specifiers", {}, kUS), u"no specifiers");
}

TEST(FormatString, Floats) {
  EXPECT_EQ(Format(u"%f", {1234.5}, kUS), u"1234.50");
  EXPECT_EQ(Format(u"%.0f", {2.5}, kUS), u"3");
  EXPECT_EQ(Format(u"%.1f", {-0.25}, kUS), u"-0.3");
  EXPECT_EQ(Format(u"%e", {1234.5}, kUS), u"1.23450000000000E+003");
  EXPECT_EQ(Format(u"%.3e", {1234.5}, kUS), u"1.23E+003");
  EXPECT_EQ(Format(u"%g", {1234.5}, kUS), u"1234.5");
  EXPECT_EQ(Format(u"%.3g", {0.0001234}, kUS), u"0.000123");
  EXPECT_EQ(Format(u"%n", {1234567.891}, kUS), u"1,234,567.89");
  EXPECT_EQ(Format(u"%m", {1234.5}, kUS), u"$1,234.50");
  EXPECT_EQ(Format(u"%m", {-1234.5}, kUS), u"($1,234.50)");
  EXPECT_EQ(Format(u"%.0m", {2.5}, kUS), u"$3");
  EXPECT_EQ(Format(u"[%8.2f]", {3.14159}, kUS), u"[    3.14]");
  EXPECT_EQ(Format(u"%.2f", {1.5f}, kUS), u"1.50");
  const TFormatSettings de = TFormatSettings::Create("de-DE");
  EXPECT_EQ(Format(u"%.2f|%n", {1.5, 1234.5}, de), u"1,50|1.234,50");
}

TEST(FormatString, IndexesAndStars) {
  EXPECT_EQ(Format(u"%1:s %0:s", {u"a", u"b"}, kUS), u"b a");
  EXPECT_EQ(Format(u"%0:s %s %0:s", {u"a", u"b"}, kUS), u"a b a");  // counting resumes after the index
  EXPECT_EQ(Format(u"%1:5s|", {u"a", u"b"}, kUS), u"    b|");
  EXPECT_EQ(Format(u"%*d", {5, 42}, kUS), u"   42");
  EXPECT_EQ(Format(u"%-*d|", {4, 7}, kUS), u"7   |");
  EXPECT_EQ(Format(u"%*d|", {-4, 7}, kUS), u"7   |");  // negative width left-justifies
  EXPECT_EQ(Format(u"%.*f", {1, 2.25}, kUS), u"2.3");
  EXPECT_EQ(Format(u"%*.*f", {8, 3, 3.14159}, kUS), u"   3.142");
}

TEST(FormatString, ErrorsNameTheFormat) {
  auto message = [](StringView fmt, std::initializer_list<TVarRec> args) -> std::string {
    try {
      Format(fmt, args, kUS);
    } catch (const EConvertError& e) {
      return StringToUtf8(e.Message());
    }
    return "no error";
  };
  EXPECT_EQ(message(u"%d", {u"abc"}), "Format '%d' invalid or incompatible with argument");
  EXPECT_EQ(message(u"%f", {1}), "Format '%f' invalid or incompatible with argument");
  EXPECT_EQ(message(u"%s", {5}), "Format '%s' invalid or incompatible with argument");
  EXPECT_EQ(message(u"%x", {1.5}), "Format '%x' invalid or incompatible with argument");
  EXPECT_EQ(message(u"%p", {7}), "Format '%p' invalid or incompatible with argument");
  EXPECT_EQ(message(u"a %d b %d", {1}), "No argument for format 'a %d b %d'");
  EXPECT_EQ(message(u"%d", {}), "No argument for format '%d'");
  EXPECT_EQ(message(u"%2:s", {u"a", u"b"}), "No argument for format '%2:s'");
  EXPECT_EQ(message(u"%1:s %s", {u"a", u"b"}), "No argument for format '%1:s %s'");
  EXPECT_EQ(message(u"50%", {}), "Format '50%' invalid or incompatible with argument");
  EXPECT_EQ(message(u"%5", {1}), "Format '%5' invalid or incompatible with argument");
  EXPECT_EQ(message(u"%q", {1}), "Format '%q' invalid or incompatible with argument");
  EXPECT_EQ(message(u"%*d", {u"x", 1}), "Format '%*d' invalid or incompatible with argument");
  EXPECT_EQ(message(u"%99999999d", {1}), "Format '%99999999d' invalid or incompatible with argument");
}
