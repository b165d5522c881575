// GDI+ text: private fonts loaded from memory (the icon font), system families, drawing,
// measuring, alignment, wrapping and the text rendering hints.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "tests/gdi/test_gdiplus_support.h"

using namespace vcl;
using gptest::Canvas;

namespace {

constexpr const char* kIconFont = "/usr/share/fonts/truetype/font-awesome/fontawesome-webfont.ttf";
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

std::vector<char> ReadFile(const char* path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

struct Ink {
  int Count = 0, X0 = 1 << 30, Y0 = 1 << 30, X1 = -1, Y1 = -1, Partial = 0;
};

// Pixels that differ from white; partial: neither white nor the full ink colour.
Ink FindInk(const Canvas& cv, std::uint32_t ink) {
  Ink r;
  for (int y = 0; y < cv.H; ++y)
    for (int x = 0; x < cv.W; ++x) {
      if (cv.At(x, y) == kWhite) continue;
      ++r.Count;
      r.Partial += cv.At(x, y) != ink;
      r.X0 = std::min(r.X0, x);
      r.Y0 = std::min(r.Y0, y);
      r.X1 = std::max(r.X1, x);
      r.Y1 = std::max(r.Y1, y);
    }
  return r;
}

class IconFont : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<char> data = ReadFile(kIconFont);
    ASSERT_GT(data.size(), 100000u) << kIconFont;
    ASSERT_EQ(Fonts.AddMemoryFont(data.data(), int(data.size())), Ok);
    // The collection keeps its own copy: the caller's bytes may go.
    std::fill(data.begin(), data.end(), 0);
  }
  TGPPrivateFontCollection Fonts;
};

}  // namespace

TEST_F(IconFont, FamilyComesFromTheFace) {
  ASSERT_EQ(Fonts.GetFamilyCount(), 1);
  TGPFontFamily fam[1];
  int found = 0;
  ASSERT_EQ(Fonts.GetFamilies(1, fam, &found), Ok);
  ASSERT_EQ(found, 1);
  String name;
  ASSERT_EQ(fam[0].GetFamilyName(name), Ok);
  EXPECT_EQ(name, u"FontAwesome");
  TGPFontFamily byName(u"fontawesome", &Fonts);
  EXPECT_EQ(byName.GetLastStatus(), Ok);
  EXPECT_GT(byName.GetEmHeight(FontStyleRegular), 0);
  TGPFontFamily missing(u"Tahoma", &Fonts);
  EXPECT_EQ(missing.GetLastStatus(), FontFamilyNotFound) << "a collection only knows its own families";
  EXPECT_FALSE(missing.IsAvailable());
}

TEST_F(IconFont, HomeGlyphDrawsInsideItsLayoutRectangle) {
  TGPFontFamily fam(u"FontAwesome", &Fonts);
  TGPFont font(&fam, 32, FontStyleRegular, UnitPixel);
  ASSERT_EQ(font.GetLastStatus(), Ok);
  TGPStringFormat fmt(StringFormatFlagsNoClip);
  fmt.SetAlignment(StringAlignmentCenter);
  TGPSolidBrush brush(0xFF202020u);
  const Char home[] = u"\uF015";
  Canvas cv(64, 64);
  TGPGraphics g(cv.Dc);
  g.SetSmoothingMode(SmoothingModeHighQuality);
  g.SetPixelOffsetMode(PixelOffsetModeHalf);
  g.SetTextRenderingHint(TextRenderingHintAntiAlias);
  const TGPRectF layout{10, 12, 40, 32};
  ASSERT_EQ(g.DrawString(home, 1, &font, layout, &fmt, &brush), Ok);
  Ink ink = FindInk(cv, 0xFF202020u);
  EXPECT_GT(ink.Count, 200) << "a 32 px house is a solid shape";
  EXPECT_GE(ink.X0, 10);
  EXPECT_LE(ink.X1, 49);
  EXPECT_GE(ink.Y0, 12);
  EXPECT_LE(ink.Y1, 43);
  // Centred: about as much room left as right.
  EXPECT_NEAR(ink.X0 - 10, 49 - ink.X1, 2);
  EXPECT_GT(ink.Partial, 0) << "antialiased edges";

  TGPRectF box;
  ASSERT_EQ(g.MeasureString(home, 1, &font, layout, &fmt, &box), Ok);
  EXPECT_GT(box.Width, 20);
  EXPECT_GT(box.Height, 20);
  EXPECT_NEAR(box.X + box.Width / 2, 30, 1) << "the measured box is centred like the drawing";

  // Without antialiasing the glyph has only full pixels.
  Canvas mono(64, 64);
  TGPGraphics gm(mono.Dc);
  gm.SetTextRenderingHint(TextRenderingHintSingleBitPerPixel);
  ASSERT_EQ(gm.DrawString(home, 1, &font, layout, &fmt, &brush), Ok);
  Ink m = FindInk(mono, 0xFF202020u);
  EXPECT_GT(m.Count, 200);
  EXPECT_EQ(m.Partial, 0);
}

TEST_F(IconFont, LargerFontsDrawLargerGlyphsAndClipToTheRectangle) {
  TGPFontFamily fam(u"FontAwesome", &Fonts);
  TGPSolidBrush brush(0xFF000000u);
  const Char text[] = u"\uF015";
  auto width = [&](REAL size) {
    TGPFont font(&fam, size, FontStyleRegular, UnitPixel);
    Canvas cv(100, 100);
    TGPGraphics g(cv.Dc);
    g.DrawString(text, -1, &font, TGPPointF{5, 5}, &brush);
    Ink ink = FindInk(cv, 0xFF000000u);
    return ink.X1 - ink.X0 + 1;
  };
  int w16 = width(16), w48 = width(48);
  EXPECT_GT(w16, 10);
  EXPECT_NEAR(double(w48) / w16, 3.0, 0.3);
  // Points scale with the DPI of the DC: 12 pt at 192 DPI is 32 px.
  Canvas cv(100, 100);
  SetDcDpi(cv.Dc, 192);
  TGPGraphics g(cv.Dc);
  TGPFont pt(&fam, 12, FontStyleRegular, UnitPoint);
  EXPECT_NEAR(pt.GetHeight(&g) / pt.GetHeight(96.0f), 2.0, 1e-4);
  // Clipped to the layout rectangle without NoClip.
  Canvas clip(100, 100);
  TGPGraphics gc(clip.Dc);
  TGPFont big(&fam, 60, FontStyleRegular, UnitPixel);
  ASSERT_EQ(gc.DrawString(text, 1, &big, TGPRectF{10, 10, 30, 30}, nullptr, &brush), Ok);
  Ink ink = FindInk(clip, 0xFF000000u);
  EXPECT_GT(ink.Count, 0);
  EXPECT_GE(ink.X0, 10);
  EXPECT_LE(ink.X1, 39);
  EXPECT_LE(ink.Y1, 39);
}

TEST(GdiPlusText, SystemFamilyTahomaDrawsAndMeasuresText) {
  TGPFontFamily tahoma(u"Tahoma");
  ASSERT_EQ(tahoma.GetLastStatus(), Ok);
  EXPECT_EQ(tahoma.FamilyName(), u"Tahoma");
  TGPFontFamily none(u"No Such Family 4711");
  EXPECT_EQ(none.GetLastStatus(), FontFamilyNotFound);
  TGPFont fallback(u"No Such Family 4711", 10);
  EXPECT_EQ(fallback.GetLastStatus(), FontFamilyNotFound);
  EXPECT_TRUE(fallback.IsAvailable()) << "an unknown name falls back to the sans-serif family";

  TGPFont font(&tahoma, 11, FontStyleRegular, UnitPixel);
  Canvas cv(200, 60);
  TGPGraphics g(cv.Dc);
  TGPSolidBrush black(0xFF000000u);
  const Char* text = u"Hello, world";
  ASSERT_EQ(g.DrawString(text, -1, &font, TGPRectF{0, 0, 200, 20}, nullptr, &black), Ok);
  Ink ink = FindInk(cv, 0xFF000000u);
  EXPECT_GT(ink.Count, 60);
  EXPECT_GE(ink.X0, 1) << "left padding of the default format";
  EXPECT_LT(ink.X1, 90);
  EXPECT_LT(ink.Y1, 16);

  TGPRectF box;
  int fitted = 0, lines = 0;
  ASSERT_EQ(g.MeasureString(text, -1, &font, TGPRectF{0, 0, 200, 0}, nullptr, &box, &fitted, &lines), Ok);
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(fitted, 12);
  EXPECT_GT(box.Width, 50);
  EXPECT_LT(box.Width, 90);
  EXPECT_NEAR(box.Height, 13.3, 1.5);
  // The typographic format has no padding.
  TGPRectF tight;
  g.MeasureString(text, -1, &font, TGPPointF{0, 0}, TGPStringFormat::GenericTypographic(), &tight);
  EXPECT_NEAR(box.Width - tight.Width, 11.0 / 3, 0.01);

  // Word wrap in a narrow rectangle; NoWrap keeps one line.
  const Char* longText = u"one two three four five six seven";
  ASSERT_EQ(g.MeasureString(longText, -1, &font, TGPRectF{0, 0, 60, 0}, nullptr, &box, nullptr, &lines), Ok);
  EXPECT_GE(lines, 3);
  EXPECT_LE(box.Width, 60.5);
  TGPStringFormat nowrap(StringFormatFlagsNoWrap);
  ASSERT_EQ(g.MeasureString(longText, -1, &font, TGPRectF{0, 0, 60, 0}, &nowrap, &box, nullptr, &lines), Ok);
  EXPECT_EQ(lines, 1);
  EXPECT_GT(box.Width, 120);
}

TEST(GdiPlusText, AlignmentPlacesTheTextInTheRectangle) {
  TGPFont font(u"Tahoma", 12, FontStyleBold, UnitPixel);
  ASSERT_EQ(font.GetLastStatus(), Ok);
  TGPSolidBrush black(0xFF000000u);
  auto inkFor = [&](StringAlignment h, StringAlignment v, int flags = 0) {
    Canvas cv(200, 100);
    TGPGraphics g(cv.Dc);
    TGPStringFormat fmt(flags);
    fmt.SetAlignment(h);
    fmt.SetLineAlignment(v);
    g.DrawString(u"Wide text", -1, &font, TGPRectF{0, 0, 200, 100}, &fmt, &black);
    return FindInk(cv, 0xFF000000u);
  };
  Ink nearNear = inkFor(StringAlignmentNear, StringAlignmentNear);
  Ink center = inkFor(StringAlignmentCenter, StringAlignmentCenter);
  Ink farFar = inkFor(StringAlignmentFar, StringAlignmentFar);
  Ink rtl = inkFor(StringAlignmentNear, StringAlignmentNear, StringFormatFlagsDirectionRightToLeft);
  EXPECT_LT(nearNear.X0, 5);
  EXPECT_LT(nearNear.Y0, 6);
  EXPECT_NEAR((center.X0 + center.X1) / 2.0, 100, 3);
  EXPECT_NEAR((center.Y0 + center.Y1) / 2.0, 50, 4);
  EXPECT_GT(farFar.X1, 193);
  EXPECT_GT(farFar.Y1, 90);
  EXPECT_GT(rtl.X1, 193) << "right-to-left text starts at the right";
}

TEST(GdiPlusText, FontsFromGdiAndHotkeyPrefixes) {
  LOGFONTW lf;
  lf.lfHeight = -13;
  lf.lfWeight = FW_BOLD;
  const char16_t face[] = u"Tahoma";
  std::copy(face, face + 7, lf.lfFaceName);
  HFONT hf = CreateFontIndirectW(lf);
  Canvas cv(100, 40);
  TGPFont font(cv.Dc, hf);
  ASSERT_EQ(font.GetLastStatus(), Ok);
  EXPECT_EQ(font.GetSize(), 13);
  EXPECT_EQ(font.GetUnit(), UnitPixel);
  EXPECT_EQ(font.GetStyle(), FontStyleBold);
  TGPFontFamily fam;
  font.GetFamily(&fam);
  EXPECT_EQ(fam.FamilyName(), u"Tahoma");
  DeleteObject(hf);

  // Face names without an installed face follow the substitutions of the GDI font mapper.
  lf.lfWeight = FW_NORMAL;
  const char16_t dlg[] = u"MS Shell Dlg 2";
  std::copy(dlg, dlg + 15, lf.lfFaceName);
  lf.lfHeight = 0;
  SetDcDpi(cv.Dc, 144);
  TGPFont shell(cv.Dc, lf);
  shell.GetFamily(&fam);
  EXPECT_EQ(fam.FamilyName(), u"Tahoma");
  EXPECT_EQ(shell.GetSize(), 16) << "8 pt at 144 dpi";
  EXPECT_EQ(shell.GetStyle(), FontStyleRegular);

  TGPGraphics g(cv.Dc);
  TGPStringFormat hide, show;
  hide.SetHotkeyPrefix(HotkeyPrefixHide);
  show.SetHotkeyPrefix(HotkeyPrefixShow);
  TGPRectF a, b, plain;
  g.MeasureString(u"&Open", -1, &font, TGPPointF{}, &hide, &a);
  g.MeasureString(u"Open", -1, &font, TGPPointF{}, nullptr, &plain);
  g.MeasureString(u"&Open", -1, &font, TGPPointF{}, nullptr, &b);
  EXPECT_FLOAT_EQ(a.Width, plain.Width) << "the prefix is not drawn";
  EXPECT_GT(b.Width, plain.Width) << "without prefix processing '&' is text";
}

TEST(GdiPlusText, InvalidArgumentsAndBadFontData) {
  TGPPrivateFontCollection c;
  std::vector<char> junk(1000, 'x');
  EXPECT_EQ(c.AddMemoryFont(junk.data(), int(junk.size())), NotTrueTypeFont);
  EXPECT_EQ(c.AddMemoryFont(nullptr, 10), InvalidParameter);
  EXPECT_EQ(c.AddFontFile(u"/nonexistent/font.ttf"), FileNotFound);
  EXPECT_EQ(c.GetFamilyCount(), 0);
  TGPFontFamily nofam;
  TGPFont f(&nofam, 10);
  EXPECT_EQ(f.GetLastStatus(), InvalidParameter);
  TGPFont zero(u"Tahoma", 0);
  EXPECT_EQ(zero.GetLastStatus(), InvalidParameter);
  Canvas cv(10, 10);
  TGPGraphics g(cv.Dc);
  TGPFont ok(u"Tahoma", 10);
  TGPSolidBrush b(0xFF000000u);
  EXPECT_EQ(g.DrawString(nullptr, 3, &ok, TGPPointF{}, &b), InvalidParameter);
  EXPECT_EQ(g.DrawString(u"x", 1, nullptr, TGPPointF{}, &b), InvalidParameter);
  EXPECT_EQ(g.DrawString(u"x", 1, &ok, TGPPointF{}, nullptr), InvalidParameter);
  EXPECT_EQ(g.DrawString(u"x", 1, &f, TGPPointF{}, &b), InvalidParameter);
  TGPRectF box{1, 2, 3, 4};
  EXPECT_EQ(g.MeasureString(u"", 0, &ok, TGPPointF{7, 8}, &box), Ok);
  EXPECT_EQ(box, (TGPRectF{7, 8, 0, 0}));
  EXPECT_EQ(g.MeasureString(u"x", 1, &ok, TGPPointF{}, nullptr), InvalidParameter);
}
