// Fonts, metrics, extents, TextOut/ExtTextOut and tabbed text.
#include "host/gdi/TextInternal.h"
#include "tests/gdi/test_text_support.h"

using namespace vcl;
using namespace texttest;

namespace {

TEXTMETRICW MetricsOf(HFONT font, int dpi = 96) {
  HDC dc = CreateCompatibleDC(nullptr);
  SetDcDpi(dc, dpi);
  SelectObject(dc, font);
  TEXTMETRICW tm;
  EXPECT_TRUE(GetTextMetricsW(dc, &tm));
  DeleteDC(dc);
  return tm;
}

String FaceOf(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, font);
  Char buf[LF_FACESIZE];
  int n = GetTextFaceW(dc, LF_FACESIZE, buf);
  EXPECT_EQ(n, GetTextFaceW(dc, 0, nullptr));
  DeleteDC(dc);
  return String(buf);
}

}  // namespace

TEST(TextFonts, HeightSemanticsFollowWin32) {
  OwnedFont em11(-11);
  TEXTMETRICW tm = MetricsOf(em11);
  // fonts-wine Tahoma: em 11 gives a 13 or 14 pixel cell.
  EXPECT_TRUE(tm.tmHeight == 13 || tm.tmHeight == 14) << tm.tmHeight;
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 11);
  EXPECT_GT(tm.tmAscent, tm.tmDescent);

  // A positive height asks for that cell height: the same font again.
  OwnedFont cell(tm.tmHeight);
  TEXTMETRICW tc = MetricsOf(cell);
  EXPECT_EQ(tc.tmHeight, tm.tmHeight);
  EXPECT_EQ(tc.tmAscent, tm.tmAscent);
  EXPECT_EQ(tc.tmInternalLeading, tm.tmInternalLeading);
  for (int h : {16, 20, 27, 40}) EXPECT_EQ(MetricsOf(OwnedFont(h)).tmHeight, h);
  // ... and an em height the same number of pixels is taller.
  EXPECT_GT(MetricsOf(OwnedFont(-20)).tmHeight, 20);

  // Height 0: 8 pt at the DC's density.
  OwnedFont deflt(0);
  EXPECT_EQ(MetricsOf(deflt).tmHeight, tm.tmHeight);
  EXPECT_EQ(MetricsOf(deflt, 192).tmHeight, MetricsOf(OwnedFont(-21)).tmHeight);
  // Explicit heights are pixels whatever the density.
  EXPECT_EQ(MetricsOf(em11, 192).tmHeight, tm.tmHeight);

  TEXTMETRICW bold = MetricsOf(OwnedFont(-11, u"Tahoma", FW_BOLD));
  EXPECT_EQ(bold.tmWeight, FW_BOLD);
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  EXPECT_GT(tm.tmAveCharWidth, 0);
  EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
  {
    // The average width is that of ordinary text (not of the whole glyph repertoire).
    Canvas c(10, 10);
    double letters = c.Extent(u"abcdefghijklmnopqrstuvwxyz").cx / 26.0;
    EXPECT_NEAR(c.Metrics().tmAveCharWidth, letters, 1.0);
  }
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);  // set means variable pitch
  EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_SWISS);
  TEXTMETRICW mono = MetricsOf(OwnedFont(-12, u"Courier New"));
  EXPECT_FALSE(mono.tmPitchAndFamily & TMPF_FIXED_PITCH);
  EXPECT_EQ(mono.tmPitchAndFamily & 0xF0, FF_MODERN);

  LOGFONTW lf;
  lf.lfHeight = -12;
  lf.lfItalic = 1;
  lf.lfUnderline = 1;
  lf.lfStrikeOut = 1;
  TEXTMETRICW deco = MetricsOf(OwnedFont(CreateFontIndirectW(lf)));
  EXPECT_EQ(deco.tmItalic, 1);
  EXPECT_EQ(deco.tmUnderlined, 1);
  EXPECT_EQ(deco.tmStruckOut, 1);
}

TEST(TextFonts, FaceNamesResolveToInstalledFaces) {
  EXPECT_EQ(FaceOf(OwnedFont(-11, u"Tahoma")), u"Tahoma");
  EXPECT_EQ(FaceOf(OwnedFont(-11, u"MS Shell Dlg 2")), u"Tahoma");
  EXPECT_EQ(FaceOf(OwnedFont(-11, u"ms shell dlg")), u"Tahoma");
  EXPECT_EQ(FaceOf(OwnedFont(-11, u"MS Sans Serif")), u"Tahoma");
  EXPECT_EQ(FaceOf(OwnedFont(-12, u"Segoe UI")), u"Tahoma");
  EXPECT_EQ(FaceOf(OwnedFont(-11, u"")), u"Tahoma");
  EXPECT_EQ(FaceOf(OwnedFont(-11, u"Marlett")), u"Marlett");
  EXPECT_EQ(FaceOf(OwnedFont(-11, u"DejaVu Sans")), u"DejaVu Sans");
  EXPECT_EQ(FaceOf(OwnedFont(-11, u"Courier New")), u"DejaVu Sans Mono");

  // A short buffer receives a truncated, terminated name.
  HDC dc = CreateCompatibleDC(nullptr);
  OwnedFont font(-11);
  HFONT old = SelectObject(dc, font);
  Char buf[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(GetTextFaceW(dc, 4, buf), 4);
  EXPECT_EQ(String(buf), u"Tah");
  SelectObject(dc, old);
  DeleteDC(dc);
}

TEST(TextFonts, StockFontsFollowTheDcDensity) {
  HDC dc = CreateCompatibleDC(nullptr);
  // A new DC draws with SYSTEM_FONT: bold, 16 pixels high.
  TEXTMETRICW sys;
  GetTextMetricsW(dc, &sys);
  EXPECT_EQ(sys.tmHeight, 16);
  EXPECT_EQ(sys.tmWeight, FW_BOLD);

  HFONT gui = AsFont(GetStockObject(DEFAULT_GUI_FONT));
  ASSERT_NE(gui, nullptr);
  LOGFONTW lf;
  GetObject(gui, &lf);
  EXPECT_EQ(lf.lfHeight, -11);
  DeleteObject(gui);  // stock objects survive
  EXPECT_EQ(GetObjectType(gui), OBJ_FONT);
  EXPECT_EQ(MetricsOf(gui).tmHeight, MetricsOf(OwnedFont(-11)).tmHeight);
  EXPECT_EQ(MetricsOf(gui, 192).tmHeight, MetricsOf(OwnedFont(-22)).tmHeight);
  EXPECT_EQ(FaceOf(gui), u"Tahoma");
  for (int index : {ANSI_VAR_FONT, ANSI_FIXED_FONT, OEM_FIXED_FONT, DEVICE_DEFAULT_FONT})
    EXPECT_GT(MetricsOf(AsFont(GetStockObject(index))).tmHeight, 8) << index;
  DeleteDC(dc);
}

TEST(TextFonts, ExtentsAreAdditiveAndAgreeWithShaping) {
  Canvas c(10, 10);
  TEXTMETRICW tm = c.Metrics();
  TSize button = c.Extent(u"Button1");
  EXPECT_GT(button.cx, 20);
  EXPECT_EQ(button.cy, tm.tmHeight);
  EXPECT_EQ(c.Extent(u"").cx, 0);
  EXPECT_EQ(c.Extent(u"").cy, tm.tmHeight);
  // No kerning (as GDI): a kerned pair measures as its two letters.
  EXPECT_EQ(c.Extent(u"AV").cx, c.Extent(u"A").cx + c.Extent(u"V").cx);
  EXPECT_EQ(c.Extent(u"Button1").cx, c.Extent(u"Butt").cx + c.Extent(u"on1").cx);

  // The advance table (Latin-1) and shaping agree, in regular and bold faces.
  OwnedFont bold(-13, u"Tahoma", FW_BOLD), dejavu(-15, u"DejaVu Sans");
  for (HFONT f : {c.Font, bold.H, dejavu.H}) {
    FontRef font = FontDataFor(f, 96);
    for (const char16_t* s : {u"Button1", u"The quick brown fox, jumps!", u"\u00c9t\u00e9 \u00e0 l'\u00eele",
                              u"{[(|)]} #$%&*+-/=@~"})
      EXPECT_EQ(TextWidth(font, s), ShapedTextWidth(font, s)) << StringToUtf8(s);
  }

  // Text outside Latin-1 is shaped; partial extents end at the full extent.
  String cyr = u"\u041f\u0440\u0438\u0432\u0435\u0442 \u20ac 5";
  int dx[16] = {};
  int fit = -1;
  TSize size;
  ASSERT_TRUE(GetTextExtentExPointW(c.Dc, cyr.data(), int(cyr.size()), 1000, &fit, dx, &size));
  EXPECT_EQ(fit, int(cyr.size()));
  EXPECT_EQ(dx[cyr.size() - 1], size.cx);
  for (size_t i = 1; i < cyr.size(); ++i) EXPECT_GE(dx[i], dx[i - 1]);
  ASSERT_TRUE(GetTextExtentExPointW(c.Dc, cyr.data(), int(cyr.size()), dx[3], &fit, nullptr, nullptr));
  EXPECT_EQ(fit, 4);
  ASSERT_TRUE(GetTextExtentExPointW(c.Dc, cyr.data(), int(cyr.size()), dx[3] - 1, &fit, nullptr, nullptr));
  EXPECT_EQ(fit, 3);

  // A surrogate pair is one character: its advance sits on the second unit.
  String emoji = u"a\U0001F600b";
  ASSERT_TRUE(GetTextExtentExPointW(c.Dc, emoji.data(), int(emoji.size()), 1000, &fit, dx, &size));
  EXPECT_EQ(dx[1], dx[0]);
  EXPECT_GT(dx[2], dx[1]);

  // Character extra is added after every character.
  int plain = c.Extent(u"abcd").cx;
  SetTextCharacterExtra(c.Dc, 3);
  EXPECT_EQ(GetTextCharacterExtra(c.Dc), 3);
  EXPECT_EQ(c.Extent(u"abcd").cx, plain + 12);
  SetTextCharacterExtra(c.Dc, 0);

  int widths[3];
  ASSERT_TRUE(GetCharWidth32W(c.Dc, 'a', 'c', widths));
  EXPECT_EQ(widths[0], c.Extent(u"a").cx);
  EXPECT_EQ(widths[2], c.Extent(u"c").cx);
  ABC abc[2];
  ASSERT_TRUE(GetCharABCWidthsW(c.Dc, 'H', 'I', abc));
  EXPECT_EQ(abc[0].abcA + int(abc[0].abcB) + abc[0].abcC, c.Extent(u"H").cx);
  EXPECT_GT(abc[0].abcB, abc[1].abcB);  // H is wider than I
}

TEST(TextFonts, TextOutPlacesTheCellByTextAlign) {
  Canvas c(200, 60);
  TEXTMETRICW tm = c.Metrics();
  int w = c.Extent(u"Hello").cx;
  ASSERT_TRUE(TextOutW(c.Dc, 50, 20, u"Hello", 5));
  TRect ink = c.InkBounds();
  EXPECT_GE(ink.Left, 50);
  EXPECT_LE(ink.Right, 50 + w);
  EXPECT_GE(ink.Top, 20);
  EXPECT_LE(ink.Bottom, 20 + tm.tmAscent);  // no descenders in "Hello"
  EXPECT_GE(ink.Bottom, 20 + tm.tmAscent - 1);

  c.Clear();
  SetTextAlign(c.Dc, TA_RIGHT | TA_BASELINE);
  TextOutW(c.Dc, 150, 40, u"Hello", -1);
  ink = c.InkBounds();
  EXPECT_LE(ink.Right, 150);
  EXPECT_GE(ink.Right, 150 - 2);
  EXPECT_LE(ink.Bottom, 40);
  EXPECT_GE(ink.Bottom, 39);

  c.Clear();
  EXPECT_EQ(SetTextAlign(c.Dc, TA_CENTER | TA_BOTTOM), TA_RIGHT | TA_BASELINE);
  TextOutW(c.Dc, 100, 50, u"Hello", -1);
  ink = c.InkBounds();
  EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 100, 2);
  EXPECT_LE(ink.Bottom, 50 - tm.tmDescent);

  // TA_UPDATECP draws at, and advances, the current position.
  c.Clear();
  SetTextAlign(c.Dc, TA_UPDATECP);
  c.Dc->CurPos = {10, 5};
  TextOutW(c.Dc, 0, 0, u"Hello", -1);
  EXPECT_EQ(c.Dc->CurPos.X, 10 + w);
  EXPECT_EQ(c.Dc->CurPos.Y, 5);
  EXPECT_GE(c.InkBounds().Left, 10);
  EXPECT_GE(c.InkBounds().Top, 5);
}

TEST(TextFonts, ExtTextOutBackgroundClipAndSpacing) {
  Canvas c(200, 60);
  TEXTMETRICW tm = c.Metrics();
  // ETO_OPAQUE with no text fills the rectangle with the background colour.
  SetBkColor(c.Dc, RGB(0, 0, 255));
  TRect r{10, 10, 30, 20};
  ASSERT_TRUE(ExtTextOutW(c.Dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  EXPECT_EQ(c.At(10, 10), 0xFF0000FFu);
  EXPECT_EQ(c.At(29, 19), 0xFF0000FFu);
  EXPECT_EQ(c.At(30, 19), kWhite);
  EXPECT_EQ(c.At(29, 20), kWhite);

  // OPAQUE mode fills exactly the text cell; the text colour is used for the glyphs.
  c.Clear();
  SetBkMode(c.Dc, OPAQUE);
  SetBkColor(c.Dc, RGB(0, 255, 0));
  SetTextColor(c.Dc, RGB(255, 0, 0));
  int w = c.Extent(u"Hex").cx;
  ExtTextOutW(c.Dc, 20, 10, 0, nullptr, u"Hex", 3, nullptr);
  EXPECT_EQ(c.InkBounds(), (TRect{20, 10, 20 + w, 10 + tm.tmHeight}));
  bool red = false;
  for (int y = 10; y < 10 + tm.tmHeight; ++y)
    for (int x = 20; x < 20 + w; ++x) red |= c.At(x, y) == 0xFFFF0000u;
  EXPECT_TRUE(red);
  EXPECT_EQ(c.At(20, 10), 0xFF00FF00u);

  // ETO_CLIPPED keeps the text inside the rectangle.
  c.Clear();
  SetBkMode(c.Dc, TRANSPARENT);
  TRect clip{20, 0, 30, 60};
  ExtTextOutW(c.Dc, 15, 10, ETO_CLIPPED, &clip, u"WWWW", 4, nullptr);
  TRect ink = c.InkBounds();
  EXPECT_GE(ink.Left, 20);
  EXPECT_LE(ink.Right, 30);
  EXPECT_FALSE(ink.IsEmpty());

  // dx spaces the characters as given.
  c.Clear();
  const int dx[3] = {30, 30, 30};
  ExtTextOutW(c.Dc, 10, 10, 0, nullptr, u"iii", 3, dx);
  ink = c.InkBounds();
  EXPECT_GE(ink.Width(), 60);
  EXPECT_LE(ink.Width(), 64);
  EXPECT_GT(c.InkCount({38, 0, 42, 60}), 0);  // the second i near x = 40

  // An underlined font rules the whole text below the baseline; a struck-out one through the
  // letters, at the same place in TextOut and DrawText.
  LOGFONTW lf;
  lf.lfHeight = -11;
  lf.lfUnderline = 1;
  Canvas u(200, 40, CreateFontIndirectW(lf));
  const int uw = u.Extent(u"Hello").cx;
  TextOutW(u.Dc, 10, 5, u"Hello", 5);
  TRect rule = u.InkBounds({0, 5 + tm.tmAscent, 200, 5 + tm.tmHeight});
  EXPECT_EQ(rule.Left, 10);
  EXPECT_EQ(rule.Right, 10 + uw);
  Canvas u2(200, 40, CreateFontIndirectW(lf));
  TRect dr{10, 5, 190, 35};
  DrawTextW(u2.Dc, String(u"Hello"), &dr, DT_SINGLELINE);
  EXPECT_TRUE(u.SamePixels(u2));
  lf.lfUnderline = 0;
  lf.lfStrikeOut = 1;
  Canvas st(200, 40, CreateFontIndirectW(lf));
  TextOutW(st.Dc, 10, 5, u"oooo", 4);
  Canvas plainO(200, 40);
  TextOutW(plainO.Dc, 10, 5, u"oooo", 4);
  // The strike-out fills the gaps between the letters, inside the letter band.
  const int ow = plainO.Extent(u"oooo").cx;
  EXPECT_GT(st.InkCount({10, 0, 10 + ow, 40}), plainO.InkCount({10, 0, 10 + ow, 40}) + ow / 2);
  EXPECT_EQ(st.InkBounds().Bottom, plainO.InkBounds().Bottom);
}

TEST(TextFonts, QualityEscapementAndSymbolFace) {
  // Antialiased text has intermediate shades; NONANTIALIASED_QUALITY only full ones.
  auto shades = [](HFONT font) {
    Canvas c(200, 40, font);
    TextOutW(c.Dc, 2, 2, u"Rounded 0123", -1);
    bool partial = false, full = false;
    for (int i = 0; i < c.W * c.H; ++i) {
      std::uint32_t p = c.Px[i];
      if (p == 0xFF000000u) full = true;
      else if (p != kWhite) partial = true;
    }
    return std::pair{partial, full};
  };
  auto [aaPartial, aaFull] = shades(MakeFont(-15, u"DejaVu Sans"));
  EXPECT_TRUE(aaPartial);
  auto [monoPartial, monoFull] = shades(MakeFont(-15, u"DejaVu Sans", FW_NORMAL, NONANTIALIASED_QUALITY));
  EXPECT_FALSE(monoPartial);
  EXPECT_TRUE(monoFull);

  // lfEscapement 900 turns the text upward.
  LOGFONTW lf;
  lf.lfHeight = -11;
  lf.lfEscapement = 900;
  Canvas up(100, 100, CreateFontIndirectW(lf));
  TextOutW(up.Dc, 50, 90, u"Hello world", -1);
  TRect ink = up.InkBounds();
  EXPECT_GT(ink.Height(), 2 * ink.Width());
  EXPECT_LE(ink.Bottom, 91);

  // Marlett draws its own glyphs for plain letters: "6" is a triangle pointing down.
  Canvas m(40, 40, MakeFont(-16, u"Marlett"));
  TextOutW(m.Dc, 4, 4, u"6", 1);
  TRect tri = m.InkBounds();
  ASSERT_FALSE(tri.IsEmpty());
  int topRow = m.InkCount({0, tri.Top, 40, tri.Top + 1});
  int bottomRow = m.InkCount({0, tri.Bottom - 1, 40, tri.Bottom});
  EXPECT_GT(topRow, bottomRow + 3);
}

TEST(TextFonts, TabbedTextStops) {
  Canvas c(300, 40);
  TEXTMETRICW tm = c.Metrics();
  const int interval = 8 * tm.tmAveCharWidth;
  int b = c.Extent(u"b").cx, cc = c.Extent(u"c").cx;
  auto extent = [&](const char16_t* s, int n, const int* tabs) {
    DWORD e = GetTabbedTextExtentW(c.Dc, s, -1, n, tabs);
    EXPECT_EQ(int(e >> 16), tm.tmHeight);
    return int(e & 0xFFFF);
  };
  EXPECT_EQ(extent(u"a\tb", 0, nullptr), interval + b);
  const int every[1] = {50};
  EXPECT_EQ(extent(u"a\tb\tc", 1, every), 100 + cc);
  const int stops[2] = {30, 80};
  EXPECT_EQ(extent(u"a\tb\tc", 2, stops), 80 + cc);
  EXPECT_EQ(extent(u"a\tb\tc\td", 2, stops), (80 + cc) / interval * interval + interval + c.Extent(u"d").cx);

  // Drawing puts the text after a tab at the stop, relative to the tab origin.
  LONG r = TabbedTextOutW(c.Dc, 10, 5, u"\tI", -1, 1, every, 0);
  EXPECT_EQ(r & 0xFFFF, 50 + c.Extent(u"I").cx - 10);
  TRect ink = c.InkBounds();
  EXPECT_GE(ink.Left, 50);
  EXPECT_LT(ink.Left, 50 + c.Extent(u"I").cx);
}
