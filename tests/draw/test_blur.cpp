// The pixel helpers, the stack blur (exact integer results against a direct weighted sum) and
// colourised glow masks.
#include <random>

#include "DrawTest.h"
#include "draw/kxBitmapUtils.h"
#include "draw/kxGlow.h"
#include "host/gdi/GdiText.h"

using namespace vcl;
using namespace kx;
using namespace drawtest;

namespace {

// The blur computed directly: for each pixel the weighted sum over -r..r with the weights
// r + 1 - |k| and clamped positions, divided by (r + 1)^2 rounding down; rows first, then
// columns of the row results.
std::vector<std::uint32_t> ReferenceBlur(const std::vector<std::uint32_t>& px, int w, int h,
                                         int r) {
  const int s = (r + 1) * (r + 1);
  std::vector<int> tmp(size_t(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) {
        long sum = 0;
        for (int k = -r; k <= r; ++k)
          sum += long(r + 1 - std::abs(k)) * Chan(px[size_t(y) * w + std::clamp(x + k, 0, w - 1)], c * 8);
        tmp[(size_t(y) * w + x) * 3 + c] = int(sum / s);
      }
  std::vector<std::uint32_t> out(px.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t p = 0xFF000000u;
      for (int c = 0; c < 3; ++c) {
        long sum = 0;
        for (int k = -r; k <= r; ++k)
          sum += long(r + 1 - std::abs(k)) * tmp[(size_t(std::clamp(y + k, 0, h - 1)) * w + x) * 3 + c];
        p |= std::uint32_t(sum / s) << (c * 8);
      }
      out[size_t(y) * w + x] = p;
    }
  return out;
}

void Fill(TBitmap& b, const std::vector<std::uint32_t>& px) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) Px(b, x, y) = px[size_t(y) * b.Width() + x];
}

std::vector<std::uint32_t> Random(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint32_t> v(static_cast<size_t>(n));
  for (auto& p : v) p = rng();
  return v;
}

}  // namespace

TEST(PixelHelpers, AlphaFillAndPacking) {
  TBitmap b;
  Make32(b, 3, 2, 0x80102030u);
  EXPECT_TRUE(HasAlphaPixels(&b));
  EXPECT_TRUE(UsesAlphaChannel(&b));
  DivideBitmapAlpha(&b, 3);
  EXPECT_EQ(Px(b, 2, 1), 0x2A102030u);  // 128 div 3
  DivideBitmapAlpha(&b, 0);             // counts as 1
  EXPECT_EQ(Px(b, 0, 0), 0x2A102030u);
  SetBitmapAlpha(&b, 255);
  EXPECT_EQ(Px(b, 1, 0), 0xFF102030u);
  EXPECT_FALSE(UsesAlphaChannel(&b));
  Px(b, 1, 1) = 0xFE000000u;
  EXPECT_TRUE(UsesAlphaChannel(&b));
  SetBitmapAlpha(&b, 0);
  EXPECT_FALSE(HasAlphaPixels(&b));
  EXPECT_EQ(Px(b, 1, 1), 0x00000000u);
  for (std::uint32_t fill : {0u, 0xFFFFFFFFu, 0x12345678u}) {
    FillBitmap(&b, fill);
    for (std::uint32_t p : Pixels(b)) ASSERT_EQ(p, fill) << Hex(fill);
  }
  // A 24-bit bitmap is worked on as 32 bits.
  TBitmap deep;
  deep.SetPixelFormat(pf24bit);
  deep.SetSize(2, 2);
  FillBitmap(&deep, 0xFF336699u);
  EXPECT_EQ(deep.PixelFormat(), pf32bit);
  EXPECT_EQ(Px(deep, 1, 1), 0xFF336699u);
  TBitmap empty;
  EXPECT_FALSE(HasAlphaPixels(&empty));
  EXPECT_FALSE(UsesAlphaChannel(nullptr));

  EXPECT_EQ(ColorToARGB(clRed, 0x80), 0x80FF0000u);
  EXPECT_EQ(ColorToARGB(TColor(RGB(1, 2, 3))), 0xFF010203u);
  const COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(ColorToARGB(clHighlight, 7),
            0x07000000u | GetRValue(hl) << 16 | GetGValue(hl) << 8 | GetBValue(hl));
}

TEST(PixelHelpers, BiDiFormats) {
  EXPECT_EQ(DrawTextBiDiFlags(DT_LEFT | DT_SINGLELINE, false), DT_LEFT | DT_SINGLELINE);
  EXPECT_EQ(DrawTextBiDiFlags(DT_RIGHT | DT_VCENTER, false), DT_RIGHT | DT_VCENTER);
  EXPECT_EQ(DrawTextBiDiFlags(DT_LEFT | DT_SINGLELINE, true), DT_RIGHT | DT_SINGLELINE | DT_RTLREADING);
  EXPECT_EQ(DrawTextBiDiFlags(DT_RIGHT | DT_WORDBREAK, true), DT_WORDBREAK | DT_RTLREADING);
  EXPECT_EQ(DrawTextBiDiFlags(DT_CENTER, true), DT_CENTER | DT_RTLREADING);
}

TEST(Blur, SmallKnownBitmaps) {
  // One bright pixel in a 3 x 3 field, radius 1: weights 1 2 1, divisor 4, each pass rounding
  // down (255 -> 63, 127 across, then 31 and 15 at the sides and corners; green 96 -> 24).
  TBitmap b;
  Make32(b, 3, 3, 0x00000000u);
  Px(b, 1, 1) = 0x00FF60FFu;
  BlurBitmap(&b, 1);
  const std::uint32_t want[9] = {0xFF0F060F, 0xFF1F0C1F, 0xFF0F060F,   //
                                 0xFF1F0C1F, 0xFF3F183F, 0xFF1F0C1F,   //
                                 0xFF0F060F, 0xFF1F0C1F, 0xFF0F060F};
  std::vector<std::uint32_t> got = Pixels(b);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Hex(got[size_t(i)]), Hex(want[i])) << i;

  // A row: the edges repeat their pixel, so a step stays a step at the ends.
  TBitmap row;
  Make32(row, 5, 1);
  for (int x = 0; x < 5; ++x) Px(row, x, 0) = x < 2 ? 0x000000C8u : 0x00000000u;
  BlurBitmap(&row, 2);  // weights 1 2 3 2 1, divisor 9
  // x = 0 sees 200 200 [200] 200 0 = 1600, x = 1 sees 200 200 [200] 0 0 = 1200, then 600, 200, 0.
  const int blues[5] = {177, 133, 66, 22, 0};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(Blue(Px(row, x, 0)), blues[x]) << x;
}

TEST(Blur, MatchesTheDirectSumExactlyAtEveryRadius) {
  struct Case { int W, H, R; };
  for (Case c : {Case{7, 5, 1}, Case{16, 9, 3}, Case{33, 17, 7}, Case{5, 3, 20}, Case{40, 2, 255},
                 Case{1, 6, 2}, Case{6, 1, 4}, Case{48, 35, 5}}) {
    SCOPED_TRACE(testing::Message() << c.W << "x" << c.H << " r" << c.R);
    std::vector<std::uint32_t> px = Random(c.W * c.H, unsigned(c.W * 131 + c.R));
    TBitmap b;
    Make32(b, c.W, c.H);
    Fill(b, px);
    BlurBitmap(&b, c.R);
    EXPECT_EQ(Pixels(b), ReferenceBlur(px, c.W, c.H, c.R));
  }
}

TEST(Blur, EdgeCases) {
  // 1 x 1: the same colour, opaque, whatever the radius.
  for (int r : {1, 7, 255}) {
    TBitmap one;
    Make32(one, 1, 1, 0x00ABCDEFu);
    BlurBitmap(&one, r);
    EXPECT_EQ(Px(one, 0, 0), 0xFFABCDEFu) << r;
  }
  // Radius 0 (or less) changes nothing, not even alpha.
  TBitmap b;
  Make32(b, 4, 4, 0x11223344u);
  Px(b, 2, 2) = 0x80FFFFFFu;
  std::vector<std::uint32_t> before = Pixels(b);
  BlurBitmap(&b, 0);
  BlurBitmap(&b, -3);
  EXPECT_EQ(Pixels(b), before);
  // The largest sums (all white at radius 255) divide back to exactly 255.
  TBitmap white;
  Make32(white, 300, 3, 0x00FFFFFFu);
  BlurBitmap(&white, 255);
  for (std::uint32_t p : Pixels(white)) ASSERT_EQ(p, 0xFFFFFFFFu);
  // Empty bitmaps are left alone.
  TBitmap empty;
  BlurBitmap(&empty, 3);
  BlurBitmap(nullptr, 3);
  EXPECT_TRUE(empty.Empty());
}

TEST(GlowMask, BrightnessBecomesTheOpacityOfTheColour) {
  // Radius 0: the mask itself, crisp; white is the colour, black is transparent, greys between.
  TBitmap m;
  Make32(m, 3, 1, 0xFF000000u);
  Px(m, 1, 0) = 0xFFFFFFFFu;
  Px(m, 2, 0) = 0xFF808080u;
  ColorizeGlowMask(&m, 0, clRed);
  EXPECT_EQ(m.AlphaFormat(), afPremultiplied);
  EXPECT_EQ(Px(m, 0, 0), 0x00000000u);
  EXPECT_EQ(Px(m, 1, 0), 0xFFFF0000u);
  EXPECT_EQ(Px(m, 2, 0), 0x80800000u);

  // Blurred: the halo's opacity follows the blurred red value, the colour premultiplied by it
  // as SetAlphaFormat rounds.
  TBitmap h;
  Make32(h, 3, 3, 0xFF000000u);
  Px(h, 1, 1) = 0xFFFFFFFFu;
  ColorizeGlowMask(&h, 1, TColor(RGB(200, 100, 50)));
  auto pm = [](int c, int a) { return std::uint32_t((c * a + 127) / 255); };
  for (auto [x, y, a] : {std::tuple{1, 1, 63}, {0, 1, 31}, {0, 0, 15}}) {
    std::uint32_t want = std::uint32_t(a) << 24 | pm(200, a) << 16 | pm(100, a) << 8 | pm(50, a);
    EXPECT_EQ(Hex(Px(h, x, y)), Hex(want)) << x << "," << y;
  }
  // The same as the host's own premultiplication of straight pixels.
  TBitmap s;
  Make32(s, 1, 1, 0x1FC86432u);
  s.SetAlphaFormat(afDefined);
  s.SetAlphaFormat(afPremultiplied);
  TBitmap t;
  Make32(t, 1, 1, 0xFF1F1F1Fu);
  ColorizeGlowMask(&t, 0, TColor(RGB(200, 100, 50)));
  EXPECT_EQ(Hex(Px(t, 0, 0)), Hex(Px(s, 0, 0)));
}
