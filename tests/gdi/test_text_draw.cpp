// DrawTextW / DrawTextExW: measuring, line breaking, prefixes, ellipses, alignment, clipping.
#include "tests/gdi/test_text_support.h"

using namespace vcl;
using namespace texttest;

namespace {

int Lines(const Canvas& c, const TRect& r) { return r.Height() / c.Metrics().tmHeight; }

}  // namespace

TEST(DrawText, CalcRectMeasuresLinesAndWidths) {
  Canvas c(10, 10);
  const int lh = c.Metrics().tmHeight;
  TRect r = c.Calc(u"Button1", DT_SINGLELINE);
  EXPECT_EQ(r, (TRect{0, 0, c.Extent(u"Button1").cx, lh}));
  // Left/top are kept, whatever the alignment.
  TRect moved{5, 7, 500, 100};
  int h = DrawTextW(c.Dc, String(u"Button1"), &moved, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_CALCRECT);
  EXPECT_EQ(h, (93 - lh) / 2 + lh);  // centred: the offset of the text's bottom
  EXPECT_EQ(moved, (TRect{5, 7, 5 + c.Extent(u"Button1").cx, 7 + lh}));

  // Each of CR, LF, CR LF and LF CR is one break; a final break adds no line.
  EXPECT_EQ(Lines(c, c.Calc(u"a\nb\nc", 0)), 3);
  EXPECT_EQ(Lines(c, c.Calc(u"a\r\n\r\nb", 0)), 3);
  EXPECT_EQ(Lines(c, c.Calc(u"a\rb", 0)), 2);
  EXPECT_EQ(Lines(c, c.Calc(u"a\n\rb", 0)), 2);
  EXPECT_EQ(Lines(c, c.Calc(u"a\r\rb", 0)), 3);
  EXPECT_EQ(Lines(c, c.Calc(u"a\n", 0)), 1);
  EXPECT_EQ(Lines(c, c.Calc(u"\n", 0)), 1);
  // The widest line sets the width.
  EXPECT_EQ(c.Calc(u"ab\nabcdef\nabc", 0).Width(), c.Extent(u"abcdef").cx);
  // Single line: breaks show as spaces.
  r = c.Calc(u"ab\r\ncd", DT_SINGLELINE);
  EXPECT_EQ(r.Height(), lh);
  EXPECT_EQ(r.Width(), c.Extent(u"ab  cd").cx);
  // Empty text on several lines: one line high, an empty rectangle.
  r = c.Calc(u"", 0);
  EXPECT_EQ(r, (TRect{0, 0, 0, 0}));
  TRect empty{3, 4, 50, 50};
  EXPECT_EQ(DrawTextW(c.Dc, u"", 0, &empty, DT_CALCRECT), lh);

  // External leading joins the line height on request.
  TEXTMETRICW tm = c.Metrics();
  EXPECT_EQ(c.Calc(u"a\nb", DT_EXTERNALLEADING).Height(), 2 * (tm.tmHeight + tm.tmExternalLeading));

  // Margins widen the measured rectangle; uiLengthDrawn reports the characters processed.
  DRAWTEXTPARAMS dtp;
  dtp.iLeftMargin = 4;
  dtp.iRightMargin = 6;
  TRect m{0, 0, 0, 0};
  DrawTextExW(c.Dc, u"Margins", -1, &m, DT_CALCRECT | DT_SINGLELINE, &dtp);
  EXPECT_EQ(m.Width(), c.Extent(u"Margins").cx + 10);
  EXPECT_EQ(dtp.uiLengthDrawn, 7u);
}

TEST(DrawText, WordBreakAtSpacesAndHyphens) {
  Canvas c(10, 10);
  const int two = c.Extent(u"aaa bbb").cx;
  TRect r = c.Calc(u"aaa bbb ccc", DT_WORDBREAK, two);
  EXPECT_EQ(Lines(c, r), 2);
  EXPECT_EQ(r.Width(), two);
  r = c.Calc(u"aaa bbb ccc", DT_WORDBREAK, two - 1);
  EXPECT_EQ(Lines(c, r), 2);  // "aaa" / "bbb ccc"
  EXPECT_EQ(r.Width(), c.Extent(u"bbb ccc").cx);
  r = c.Calc(u"aaa bbb ccc", DT_WORDBREAK, c.Extent(u"aaa").cx);
  EXPECT_EQ(Lines(c, r), 3);
  EXPECT_EQ(r.Width(), c.Extent(u"aaa").cx);
  // Spaces at the break do not count; several of them are dropped together.
  r = c.Calc(u"aaa     bbb", DT_WORDBREAK, c.Extent(u"aaa ").cx);
  EXPECT_EQ(Lines(c, r), 2);
  EXPECT_EQ(r.Width(), c.Extent(u"aaa").cx);
  // After a hyphen inside a word.
  r = c.Calc(u"well-lit", DT_WORDBREAK, c.Extent(u"well-").cx + 2);
  EXPECT_EQ(Lines(c, r), 2);
  EXPECT_EQ(r.Width(), c.Extent(u"well-").cx);
  EXPECT_EQ(Lines(c, c.Calc(u"a -b", DT_WORDBREAK, c.Extent(u"a -").cx)), 2);  // "a" / "-b"
  // Hard breaks still apply.
  EXPECT_EQ(Lines(c, c.Calc(u"a\nb c", DT_WORDBREAK, 1000)), 2);
  // Single line wins over word break.
  EXPECT_EQ(Lines(c, c.Calc(u"aaa bbb ccc", DT_WORDBREAK | DT_SINGLELINE, two)), 1);

  // An over-long word is kept whole and widens the result...
  const int word = c.Extent(u"extraordinarily").cx;
  r = c.Calc(u"an extraordinarily long word", DT_WORDBREAK, 40);
  EXPECT_EQ(r.Width(), word);
  EXPECT_EQ(Lines(c, r), 4);
  // ... unless DT_EDITCONTROL, which breaks it between characters.
  r = c.Calc(u"an extraordinarily long word", DT_WORDBREAK | DT_EDITCONTROL, 40);
  EXPECT_LE(r.Width(), 40);
  EXPECT_GT(Lines(c, r), 4);
  // Zero width: one word per line.
  EXPECT_EQ(Lines(c, c.Calc(u"one two three", DT_WORDBREAK, 0)), 3);

  // Text outside Latin-1 wraps the same way.
  String cyr = u"\u043e\u0434\u0438\u043d \u0434\u0432\u0430 \u0442\u0440\u0438";
  r = c.Calc(cyr, DT_WORDBREAK, c.Extent(u"\u043e\u0434\u0438\u043d \u0434\u0432\u0430").cx);
  EXPECT_EQ(Lines(c, r), 2);
}

TEST(DrawText, TabsExpandToStops) {
  Canvas c(10, 10);
  const int ave = c.Metrics().tmAveCharWidth;
  const int b = c.Extent(u"b").cx;
  EXPECT_EQ(c.Calc(u"a\tb", DT_EXPANDTABS | DT_SINGLELINE).Width(), 8 * ave + b);
  // DT_TABSTOP: the interval in bits 8..15 (3 also sets DT_NOCLIP and DT_EXTERNALLEADING).
  Canvas wide(200, 30);
  TRect t{0, 0, 200, 30};
  DrawTextW(wide.Dc, String(u"\tI"), &t, DT_EXPANDTABS | DT_TABSTOP | (3 << 8));
  TRect ink = wide.InkBounds();
  EXPECT_GE(ink.Left, 3 * ave);
  EXPECT_LE(ink.Left, 3 * ave + 2);
  EXPECT_EQ(c.Calc(u"a\tb", DT_SINGLELINE).Width(), c.Extent(u"a b").cx);
  DRAWTEXTPARAMS dtp;
  dtp.iTabLength = 2;
  TRect r{0, 0, 0, 0};
  DrawTextExW(c.Dc, u"a\tb", -1, &r, DT_CALCRECT | DT_EXPANDTABS, &dtp);
  EXPECT_EQ(r.Width(), 2 * ave + b);
  // Stops are measured from the start of each line.
  EXPECT_EQ(c.Calc(u"x\na\tb", DT_EXPANDTABS).Width(), 8 * ave + b);
}

TEST(DrawText, PrefixesAreHiddenAndUnderlined) {
  Canvas c(200, 40);
  TEXTMETRICW tm = c.Metrics();
  EXPECT_EQ(c.Calc(u"&File", DT_SINGLELINE).Width(), c.Extent(u"File").cx);
  EXPECT_EQ(c.Calc(u"&File", DT_SINGLELINE | DT_NOPREFIX).Width(), c.Extent(u"&File").cx);
  EXPECT_EQ(c.Calc(u"Save && Exit", DT_SINGLELINE).Width(), c.Extent(u"Save & Exit").cx);
  EXPECT_EQ(c.Calc(u"End&", DT_SINGLELINE).Width(), c.Extent(u"End").cx);

  // "&&" draws one ampersand.
  TRect r{10, 10, 190, 30};
  DrawTextW(c.Dc, String(u"a&&b"), &r, DT_SINGLELINE);
  Canvas plain(200, 40);
  DrawTextW(plain.Dc, String(u"a&b"), &r, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_TRUE(c.SamePixels(plain));

  // The underline sits below the baseline, under the prefixed character only ("Fil" has
  // nothing below the baseline).
  const TRect below{0, 10 + tm.tmAscent, 200, 10 + tm.tmHeight};
  const int fw = c.Extent(u"F").cx, iw = c.Extent(u"Fi").cx;
  c.Clear();
  DrawTextW(c.Dc, String(u"Fi&l"), &r, DT_SINGLELINE);
  TRect ul = c.InkBounds(below);
  ASSERT_FALSE(ul.IsEmpty());
  EXPECT_GE(ul.Left, 10 + iw - 1);
  EXPECT_LE(ul.Right, 10 + c.Extent(u"Fil").cx + 1);
  c.Clear();
  DrawTextW(c.Dc, String(u"&Fil"), &r, DT_SINGLELINE);
  ul = c.InkBounds(below);
  ASSERT_FALSE(ul.IsEmpty());
  EXPECT_LE(ul.Right, 10 + fw + 1);
  // DT_HIDEPREFIX removes the '&' but draws no underline.
  c.Clear();
  DrawTextW(c.Dc, String(u"&Fil"), &r, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_EQ(c.InkCount(below), 0);
  EXPECT_GT(c.InkCount(r), 0);
  // DT_PREFIXONLY draws only the underline.
  c.Clear();
  DrawTextW(c.Dc, String(u"&Fil"), &r, DT_SINGLELINE | DT_PREFIXONLY);
  EXPECT_EQ(c.InkBounds(), ul);
}

TEST(DrawText, EllipsesFitTheWidth) {
  Canvas c(10, 10);
  const String text = u"The quick brown fox jumps over";
  const int width = 90;
  for (UINT e : {DT_END_ELLIPSIS, DT_WORD_ELLIPSIS, DT_PATH_ELLIPSIS}) {
    TRect r = c.Calc(text, DT_SINGLELINE | e, width);
    EXPECT_LE(r.Width(), width) << e;
    EXPECT_GT(r.Width(), width / 2) << e;
  }
  // A text that fits is left alone.
  EXPECT_EQ(c.Calc(u"Fox", DT_SINGLELINE | DT_END_ELLIPSIS, width).Width(), c.Extent(u"Fox").cx);

  auto shown = [&](const String& s, UINT flags, int w) {
    Char buf[128] = {};
    std::copy(s.begin(), s.end(), buf);
    TRect r{0, 0, w, 20};
    DrawTextExW(c.Dc, buf, int(s.size()), &r, flags | DT_SINGLELINE | DT_MODIFYSTRING | DT_CALCRECT, nullptr);
    return String(buf);
  };
  String end = shown(text, DT_END_ELLIPSIS, width);
  ASSERT_GT(end.size(), 3u);
  EXPECT_EQ(end.substr(end.size() - 3), u"...");
  EXPECT_EQ(text.substr(0, end.size() - 3), end.substr(0, end.size() - 3));
  EXPECT_LE(c.Extent(end).cx, width);

  String word = shown(text, DT_WORD_ELLIPSIS, width);
  ASSERT_GT(word.size(), 3u);
  String kept = word.substr(0, word.size() - 3);
  EXPECT_EQ(word.substr(word.size() - 3), u"...");
  EXPECT_EQ(text.substr(0, kept.size()), kept);
  EXPECT_EQ(text[kept.size()], u' ');  // cut at the end of a whole word
  EXPECT_LE(c.Extent(word).cx, width);

  const String path = u"C:\\Program Files\\Vendor\\Product\\file.txt";
  const int pw = c.Extent(u"C:\\Prog...\\file.txt").cx;
  String p = shown(path, DT_PATH_ELLIPSIS, pw);
  EXPECT_LE(c.Extent(p).cx, pw);
  ASSERT_GT(p.size(), 12u);
  EXPECT_EQ(p.substr(p.size() - 12), u"...\\file.txt");
  EXPECT_EQ(p.substr(0, 3), u"C:\\");
}

TEST(DrawText, AlignmentPutsInkWhereExpected) {
  Canvas c(220, 80);
  const int lh = c.Metrics().tmHeight;
  TRect r{10, 10, 210, 70};
  int h = DrawTextW(c.Dc, String(u"Hi"), &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const int top = 10 + (60 - lh) / 2;
  EXPECT_EQ(h, top - 10 + lh);
  TRect ink = c.InkBounds();
  EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 110, 1.5);
  EXPECT_GE(ink.Top, top);
  EXPECT_LE(ink.Bottom, top + lh);

  c.Clear();
  DrawTextW(c.Dc, String(u"Hi"), &r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
  ink = c.InkBounds();
  EXPECT_LE(ink.Right, 210);
  EXPECT_GE(ink.Right, 207);
  EXPECT_LE(ink.Bottom, 70);
  EXPECT_GE(ink.Top, 70 - lh);

  // Without DT_SINGLELINE, vertical centring does nothing.
  c.Clear();
  DrawTextW(c.Dc, String(u"Hi"), &r, DT_VCENTER);
  ink = c.InkBounds();
  EXPECT_LT(ink.Top, 10 + lh);
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Left, 12);

  // Lines of a centred paragraph centre one by one.
  c.Clear();
  DrawTextW(c.Dc, String(u"Wide line here\nI"), &r, DT_CENTER);
  TRect second = c.InkBounds({0, 10 + lh, 220, 10 + 2 * lh});
  EXPECT_NEAR((second.Left + second.Right) / 2.0, 110, 1.5);

  // Right-to-left reading: the paragraph direction moves trailing punctuation to the left,
  // and a right-aligned line ends at the right edge.
  Canvas rtl(220, 80), ltr(220, 80);
  DrawTextW(rtl.Dc, String(u"abc!"), &r, DT_SINGLELINE | DT_RTLREADING);
  DrawTextW(ltr.Dc, String(u"!abc"), &r, DT_SINGLELINE);
  EXPECT_TRUE(rtl.SamePixels(ltr));
  rtl.Clear();
  DrawTextW(rtl.Dc, String(u"abc"), &r, DT_SINGLELINE | DT_RIGHT | DT_RTLREADING);
  ink = rtl.InkBounds();
  EXPECT_GE(ink.Right, 207);
  EXPECT_LE(ink.Right, 210);
}

TEST(DrawText, ClippingOriginsAndColours) {
  Canvas c(200, 60);
  const TRect r{20, 10, 60, 30};
  const String wide = u"Wide text that overflows";
  DrawTextW(c.Dc, wide, const_cast<TRect*>(&r), DT_SINGLELINE);
  TRect ink = c.InkBounds();
  EXPECT_GE(ink.Left, 20);
  EXPECT_LE(ink.Right, 60);
  c.Clear();
  TRect r2 = r;
  DrawTextW(c.Dc, wide, &r2, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(c.InkBounds().Right, 100);

  // The measured rectangle holds all the ink: clipped and unclipped drawing agree.
  Canvas a(200, 60), b(200, 60);
  TRect m{5, 5, 5, 5};
  DrawTextW(a.Dc, String(u"Wyjg\u00c9q|"), &m, DT_CALCRECT);
  DrawTextW(a.Dc, String(u"Wyjg\u00c9q|"), &m, 0);
  DrawTextW(b.Dc, String(u"Wyjg\u00c9q|"), &m, DT_NOCLIP);
  EXPECT_TRUE(a.SamePixels(b));
  EXPECT_FALSE(a.InkBounds().IsEmpty());

  // Window and viewport origins move the text; the DC's clip region holds.
  c.Clear();
  SetViewportOrgEx(c.Dc, 100, 20, nullptr);
  SetWindowOrgEx(c.Dc, 10, 0, nullptr);
  TRect o{10, 0, 100, 20};
  DrawTextW(c.Dc, String(u"Origin"), &o, DT_SINGLELINE);
  ink = c.InkBounds();
  EXPECT_GE(ink.Left, 100);
  EXPECT_LE(ink.Left, 102);
  EXPECT_GE(ink.Top, 20);
  c.Clear();
  IntersectClipRect(c.Dc, 10, 0, 20, 20);  // logical: device x 100..110
  DrawTextW(c.Dc, String(u"Origin"), &o, DT_SINGLELINE);
  ink = c.InkBounds();
  EXPECT_FALSE(ink.IsEmpty());
  EXPECT_LE(ink.Right, 110);
  SelectClipRgn(c.Dc, nullptr);
  SetViewportOrgEx(c.Dc, 0, 0, nullptr);
  SetWindowOrgEx(c.Dc, 0, 0, nullptr);

  // Text colour for the glyphs; in OPAQUE mode the line's cell gets the background colour.
  c.Clear();
  SetTextColor(c.Dc, RGB(200, 0, 0));
  SetBkColor(c.Dc, RGB(0, 0, 255));
  SetBkMode(c.Dc, OPAQUE);
  TRect t{10, 10, 190, 50};
  DrawTextW(c.Dc, String(u"Red"), &t, DT_SINGLELINE);
  const int w = c.Extent(u"Red").cx, lh = c.Metrics().tmHeight;
  EXPECT_EQ(c.InkBounds(), (TRect{10, 10, 10 + w, 10 + lh}));
  EXPECT_EQ(c.At(10, 10), 0xFF0000FFu);
  bool red = false;
  for (int y = 10; y < 10 + lh; ++y)
    for (int x = 10; x < 10 + w; ++x) red |= c.At(x, y) == 0xFFC80000u;
  EXPECT_TRUE(red);
}

TEST(DrawText, EditControlDropsPartialLastLine) {
  Canvas c(200, 100);
  const int lh = c.Metrics().tmHeight;
  TRect r{0, 0, 200, lh * 2 + lh / 2};
  DRAWTEXTPARAMS dtp;
  String text = u"one\ntwo\nthree";
  DrawTextExW(c.Dc, text.data(), int(text.size()), &r, DT_EDITCONTROL, &dtp);
  EXPECT_EQ(c.InkCount({0, 2 * lh, 200, 100}), 0);
  EXPECT_GT(c.InkCount({0, lh, 200, 2 * lh}), 0);
  EXPECT_EQ(dtp.uiLengthDrawn, 8u);  // "one\ntwo\n"
  c.Clear();
  DrawTextExW(c.Dc, text.data(), int(text.size()), &r, 0, &dtp);
  EXPECT_GT(c.InkCount({0, 2 * lh, 200, 100}), 0);
  EXPECT_EQ(dtp.uiLengthDrawn, 13u);
}

TEST(DrawText, OddTextIsMeasuredAndDrawnSafely) {
  Canvas c(300, 200);
  const String odd[] = {
      String(u"nul\0inside", 10), u"\uFFFF\uFFFE", u"\xD800lone\xDC00surrogates\xD800",
      u"e\u0301\u0301 combining", u"\u0645\u0631\u062d\u0628\u0627 \u05e9\u05dc\u05d5\u05dd mixed",
      u"\U0001F600\U0001F600 emoji", u"\u6f22\u5b57\u304b\u306a\u6f22\u5b57\u304b\u306a\u6f22\u5b57",
      u"&", u"&&&", u"\t\t\t", u"\r\n\r\n", u"a\u2028b\u2029c"};
  const UINT flagSets[] = {0,
                           DT_SINGLELINE | DT_CENTER | DT_VCENTER,
                           DT_WORDBREAK | DT_EXPANDTABS,
                           DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS,
                           DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_RTLREADING,
                           DT_WORD_ELLIPSIS | DT_RIGHT | DT_NOCLIP};
  for (const String& s : odd)
    for (UINT f : flagSets) {
      TRect r{0, 0, 40, 0};
      int h = DrawTextW(c.Dc, s, &r, f | DT_CALCRECT);
      if (f & DT_VCENTER)
        EXPECT_GT(h, 0);  // centred in an empty rectangle: the offset of the text's bottom
      else
        EXPECT_GE(h, c.Metrics().tmHeight);
      EXPECT_GE(r.Width(), 0);
      TRect d{10, 10, 50, 190};
      EXPECT_GT(DrawTextW(c.Dc, s, &d, f), 0);
      TSize size;
      EXPECT_TRUE(GetTextExtentPoint32W(c.Dc, s.data(), int(s.size()), &size));
      EXPECT_TRUE(TextOutW(c.Dc, 5, 5, s.data(), int(s.size())));
    }
  // Ideographs break between characters when word breaking; not with DT_NOFULLWIDTHCHARBREAK.
  const String cjk = odd[6];
  const int w = c.Extent(cjk.substr(0, 3)).cx;
  EXPECT_GE(Lines(c, c.Calc(cjk, DT_WORDBREAK, w)), 3);
  EXPECT_EQ(Lines(c, c.Calc(cjk, DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK, w)), 1);

  // A long text measures in full.
  String big;
  for (int i = 0; i < 2000; ++i) big += u"word ";
  TRect r = c.Calc(big, DT_WORDBREAK, 300);
  EXPECT_GT(Lines(c, r), 30);
  EXPECT_LE(r.Width(), 300);

  // Null arguments fail without crashing.
  TRect any{0, 0, 10, 10};
  EXPECT_EQ(DrawTextW(nullptr, u"x", 1, &any, 0), 0);
  EXPECT_EQ(DrawTextW(c.Dc, u"x", 1, nullptr, 0), 0);
  EXPECT_EQ(DrawTextW(c.Dc, nullptr, 3, &any, 0), 0);
  EXPECT_FALSE(TextOutW(nullptr, 0, 0, u"x", 1));
  EXPECT_FALSE(GetTextExtentPoint32W(c.Dc, u"x", 1, nullptr));
}
