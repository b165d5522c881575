#include <gtest/gtest.h>

#include "host/rtl/SysUtils.h"

using namespace vcl;

TEST(Utf, RoundTripsEveryPlane) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a é € 😀 z
  String s = Utf8ToString(text);
  ASSERT_EQ(s.size(), 6u);  // the emoji takes a surrogate pair
  EXPECT_EQ(s[1], u'\u00E9');
  EXPECT_EQ(s[2], u'\u20AC');
  EXPECT_EQ(s[3], 0xD83D);
  EXPECT_EQ(s[4], 0xDE00);
  EXPECT_EQ(StringToUtf8(s), text);
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
  // Lone continuation byte, overlong '/', truncated sequence at the end, encoded surrogate.
  String s = Utf8ToString("\x80" "A" "\xC0\xAF" "B" "\xED\xA0\x80" "C" "\xE2\x82");
  EXPECT_EQ(s, u"\uFFFDA\uFFFDB\uFFFDC\uFFFD");
  // An unpaired surrogate in UTF-16 encodes as U+FFFD.
  EXPECT_EQ(StringToUtf8(String(u"x") + Char(0xD800) + u"y"), "x\xEF\xBF\xBDy");
}

TEST(Exceptions, CarryTheirMessageInBothEncodings) {
  try {
    throw EReadError("Cannot read \xE2\x80\x9C" "file.png\xE2\x80\x9D");
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), u"Cannot read \u201Cfile.png\u201D");
    EXPECT_STREQ(e.what(), "Cannot read \xE2\x80\x9C" "file.png\xE2\x80\x9D");
  }
  Exception e(String(u"first"));
  e.SetMessage(u"second");
  EXPECT_STREQ(e.what(), "second");
}
