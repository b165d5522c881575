// Text with a glow: where the halo and the text go, how strong the halo is, and the cache.
//
// The text is drawn in pure blue and the halo in pure red over opaque black, so the blue
// channel is the text alone and, where there is no blue, the red channel is the halo alone.
#include <memory>

#include "DrawTest.h"
#include "draw/kxGlow.h"
#include "host/gdi/GdiText.h"

using namespace vcl;
using namespace kx;
using namespace drawtest;

namespace {

constexpr UINT kCentred = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP;

struct TGlowText {
  TRect R = Rect(40, 20, 160, 50);
  const char16_t* Text = u"Glow";
  UINT Flags = kCentred;
  int Offset = 0;
  int Size = 5;
  bool Intensive = true;
  Byte Alpha = 255;
  bool Rtl = false;
  bool NoPrefix = false;
  int FontHeight = -16;
  int Ppi = 96;

  void Prepare(TTarget& t) const {
    t.Canvas()->Font()->SetPixelsPerInch(Ppi);
    UseFont(t.Canvas(), FontHeight, clBlue, true);
  }
  void Draw(TTarget& t) const {
    Prepare(t);
    DrawTextWithGlow(t.Canvas(), R, Text, Flags, Offset, clRed, Size, Intensive, Alpha, Rtl,
                     NoPrefix);
  }
  void DrawCached(TTarget& t, std::unique_ptr<TBitmap>& cache, bool rebuild) const {
    Prepare(t);
    DrawTextWithGlowCached(cache, rebuild, t.Canvas(), R, Text, Flags, Offset, clRed, Size,
                           Intensive, Alpha, Rtl, NoPrefix);
  }
};

// The plain text alone, as DrawTextW lays it out in r.
void DrawPlain(TTarget& t, const TGlowText& g, TRect r) {
  g.Prepare(t);
  HDC dc = t.Canvas()->Handle();
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, g.Text, &r, g.Flags);
}

// The halo's strength and spread: red where there is no text.
struct THalo {
  long Strength = 0;
  int Pixels = 0;
};
THalo Halo(TTarget& t) {
  THalo h;
  for (int y = 0; y < t.H(); ++y)
    for (int x = 0; x < t.W(); ++x) {
      std::uint32_t p = t.At(x, y);
      if (Blue(p) == 0 && Red(p) > 0) {
        h.Strength += Red(p);
        ++h.Pixels;
      }
    }
  return h;
}

}  // namespace

TEST(TextGlow, TheOffsetMovesOnlyTheHalo) {
  TGlowText g;
  TTarget a(200, 70), b(200, 70);
  g.Draw(a);
  g.Offset = 3;
  g.Draw(b);
  ASSERT_GT(a.Count(0), 20);
  ASSERT_GT(Halo(a).Pixels, 100);
  int compared = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 190; ++x) {
      ASSERT_EQ(Blue(a.At(x, y)), Blue(b.At(x, y))) << x << "," << y;  // the text stays
      if (Blue(a.At(x, y)) == 0 && Blue(b.At(x + 3, y + 3)) == 0) {
        ASSERT_EQ(Red(a.At(x, y)), Red(b.At(x + 3, y + 3))) << x << "," << y;
        ++compared;
      }
    }
  EXPECT_GT(compared, 5000);
  TRect ea = a.Extent(16), eb = b.Extent(16);
  EXPECT_EQ(eb, ea.Offsetted(3, 3));
}

TEST(TextGlow, NarrowRectanglesAreWidenedForTheTextToo) {
  TGlowText g;
  g.Size = 12;
  g.R = Rect(60, 30, 70, 34);  // 10 x 4, less than 2 x 12 both ways
  g.Text = u"Hi";
  TTarget narrow(200, 80), wide(200, 80), plainNarrow(200, 80), plainWide(200, 80);
  g.Draw(narrow);
  TGlowText w = g;
  w.R = Rect(60, 30, 84, 54);
  w.Draw(wide);
  EXPECT_EQ(Pixels(narrow.Bitmap), Pixels(wide.Bitmap));
  // Centred text sits in the widened rectangle, not in the one given.
  DrawPlain(plainWide, g, w.R);
  DrawPlain(plainNarrow, g, g.R);
  EXPECT_EQ(narrow.Extent(0), plainWide.Extent(0));
  EXPECT_GT(narrow.Extent(0).Left, plainNarrow.Extent(0).Left + 5);
  EXPECT_GT(narrow.Extent(0).Top, plainNarrow.Extent(0).Top + 5);
}

TEST(TextGlow, TheCachedHaloIsReusedAndTheTextKeepsItsWidenedPlace) {
  TGlowText g;
  g.Size = 12;
  g.R = Rect(60, 30, 70, 44);
  g.Text = u"Ab";
  TTarget uncached(200, 80), first(200, 80), again(200, 80);
  g.Draw(uncached);
  std::unique_ptr<TBitmap> cache;
  g.DrawCached(first, cache, false);
  ASSERT_TRUE(cache);
  EXPECT_EQ(cache->AlphaFormat(), afPremultiplied);
  EXPECT_EQ(cache->Width(), 24 + 2 * 12);
  TBitmap* kept = cache.get();
  g.DrawCached(again, cache, false);
  EXPECT_EQ(cache.get(), kept);
  EXPECT_EQ(Pixels(first.Bitmap), Pixels(uncached.Bitmap));
  EXPECT_EQ(Pixels(again.Bitmap), Pixels(uncached.Bitmap));

  // Without a rebuild the old halo stays even when the text changed; with one it follows.
  TGlowText other = g;
  other.Text = u"Wide text";
  other.R = Rect(20, 30, 180, 44);
  TTarget stale(200, 80), rebuilt(200, 80), fresh(200, 80);
  other.DrawCached(stale, cache, false);
  EXPECT_EQ(cache.get(), kept);
  EXPECT_EQ(cache->Width(), 48);
  other.DrawCached(rebuilt, cache, true);
  EXPECT_EQ(cache->Width(), 160 + 24);
  other.Draw(fresh);
  EXPECT_EQ(Pixels(rebuilt.Bitmap), Pixels(fresh.Bitmap));
  EXPECT_NE(Pixels(stale.Bitmap), Pixels(fresh.Bitmap));
}

TEST(TextGlow, IntensiveHalosAreWiderAndStronger) {
  TGlowText g;
  g.Text = u"l l l";  // one-pixel strokes
  g.FontHeight = -14;
  g.Size = 4;
  TTarget thin(200, 70), thick(200, 70);
  g.Intensive = false;
  g.Draw(thin);
  g.Intensive = true;
  g.Draw(thick);
  THalo a = Halo(thin), b = Halo(thick);
  ASSERT_GT(a.Pixels, 0);
  EXPECT_GT(b.Pixels, a.Pixels);
  EXPECT_GT(b.Strength, a.Strength * 3 / 2);
  EXPECT_EQ(Blue(thin.At(0, 0)), 0);
  // The text itself is the same either way.
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(Blue(thin.At(x, y)), Blue(thick.At(x, y)));
}

TEST(TextGlow, NoAlphaNoHaloAndNoSizeACrispCopy) {
  TGlowText g;
  g.Alpha = 0;
  TTarget none(200, 70);
  g.Draw(none);
  EXPECT_GT(none.Count(0), 20);
  EXPECT_EQ(none.Count(16), 0);

  // Size 0: the halo is the text's own mask, placed exactly under the text.
  g.Alpha = 255;
  g.Size = 0;
  g.Intensive = false;
  TTarget crisp(200, 70);
  std::unique_ptr<TBitmap> mask;
  g.DrawCached(crisp, mask, false);
  ASSERT_TRUE(mask);
  ASSERT_EQ(mask->Width(), g.R.Width());
  int inked = 0;
  for (int y = 0; y < mask->Height(); ++y)
    for (int x = 0; x < mask->Width(); ++x) {
      bool halo = Alpha(Px(*mask, x, y)) != 0;
      bool text = Blue(crisp.At(g.R.Left + x, g.R.Top + y)) != 0;
      ASSERT_EQ(halo, text) << x << "," << y;
      inked += halo;
    }
  EXPECT_GT(inked, 20);
}

TEST(TextGlow, FormatsPrefixesAndRightToLeft) {
  TGlowText g;
  g.Flags = DT_SINGLELINE | DT_NOCLIP;
  g.Text = u"&File";
  TTarget prefixed(200, 70), literal(200, 70);
  g.Draw(prefixed);
  g.NoPrefix = true;
  g.Draw(literal);
  EXPECT_GT(literal.Extent(0).Width(), prefixed.Extent(0).Width());

  // Right to left: left-aligned text goes to the right edge, and so does its halo.
  g.NoPrefix = false;
  g.Text = u"abc";
  g.Rtl = true;
  TTarget rtl(200, 70);
  g.Draw(rtl);
  TRect text = rtl.Extent(0);
  EXPECT_GT(text.Left, 120);
  EXPECT_LE(text.Right, g.R.Right);
  EXPECT_GT(rtl.Extent(16).Right, text.Right);

  // Measuring flags draw anyway.
  g.Rtl = false;
  g.Flags = kCentred | DT_CALCRECT;
  TTarget calc(200, 70);
  g.Draw(calc);
  EXPECT_GT(calc.Count(0), 20);
}

TEST(TextGlow, TheHaloFollowsTheFontAtHighDensity) {
  TGlowText g;
  g.Ppi = 192;
  g.FontHeight = -32;
  g.Size = 3;
  g.R = Rect(20, 20, 280, 80);
  TTarget t(300, 100);
  g.Draw(t);
  TRect text = t.Extent(0), halo = t.Extent(16);
  ASSERT_GT(text.Height(), 18);  // a 32-pixel font
  EXPECT_LE(halo.Left, text.Left - 2);
  EXPECT_GE(halo.Right, text.Right + 2);
  EXPECT_LE(halo.Top, text.Top - 2);
  EXPECT_GE(halo.Bottom, text.Bottom + 2);
}
