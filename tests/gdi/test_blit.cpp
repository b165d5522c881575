// Block transfers, raster operations, stretching, blending and gradients on known pixels.
#include "DrawFixture.h"

using namespace kxtest;

namespace {
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

std::uint32_t Unique(int x, int y) { return 0xFF000000u | std::uint32_t(y * 1000 + x); }
}  // namespace

TEST(Blit, SrcCopyTransfersAllFourBytesAndStaysOnTheSource) {
  Canvas src(10, 10, 0x80402010u);
  src.Ref(0, 0) = 0x00000000u;
  Canvas dst(20, 20);
  ASSERT_TRUE(BitBlt(dst.Dc, 5, 5, 10, 10, src.Dc, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.At(5, 5), 0u);
  EXPECT_EQ(dst.At(6, 5), 0x80402010u);
  EXPECT_EQ(dst.At(14, 14), 0x80402010u);
  EXPECT_EQ(dst.At(15, 15), kWhite);
  // Only pixels that exist on the source are transferred.
  dst.Clear(kWhite);
  BitBlt(dst.Dc, 0, 0, 20, 20, src.Dc, -3, 4, SRCCOPY);
  EXPECT_EQ(dst.Changed(kWhite), TRect(3, 0, 13, 6));
  // Negative extents are normalised.
  dst.Clear(kWhite);
  BitBlt(dst.Dc, 10, 10, -4, -4, src.Dc, 8, 8, SRCCOPY);
  EXPECT_EQ(dst.Changed(kWhite), TRect(6, 6, 10, 10));
  EXPECT_FALSE(BitBlt(dst.Dc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
}

TEST(Blit, OverlappingScrollWithinOneDc) {
  for (TPoint d : {TPoint(5, 3), TPoint(-4, -6), TPoint(3, -2), TPoint(0, 1)}) {
    Canvas c(40, 40);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) c.Ref(x, y) = Unique(x, y);
    // A clip made of several rectangles must not change the result.
    ExcludeClipRect(c.Dc, 16, 16, 20, 20);
    ASSERT_TRUE(BitBlt(c.Dc, 10 + d.X, 10 + d.Y, 20, 20, c.Dc, 10, 10, SRCCOPY));
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        TPoint p{10 + d.X + x, 10 + d.Y + y};
        if (TRect(16, 16, 20, 20).Contains(p)) continue;
        ASSERT_EQ(c.At(p.X, p.Y), Unique(10 + x, 10 + y)) << d.X << "," << d.Y << " at " << x << "," << y;
      }
    // And with a raster operation that reads the destination too.
    Canvas e(40, 40);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) e.Ref(x, y) = Unique(x, y);
    BitBlt(e.Dc, 10 + d.X, 10 + d.Y, 20, 20, e.Dc, 10, 10, SRCINVERT);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x)
        ASSERT_EQ(e.At(10 + d.X + x, 10 + d.Y + y),
                  0xFF000000u | ((Unique(10 + x, 10 + y) ^ Unique(10 + d.X + x, 10 + d.Y + y)) & 0xFFFFFF));
  }
}

TEST(Blit, RasterOperationsOnKnownPixels) {
  const std::uint32_t d = 0x0F0F0F, s = 0x00FF33, p = 0xAA55F0;
  struct Case {
    DWORD Rop;
    std::uint32_t Expect;
  } cases[] = {
      {SRCPAINT, s | d},        {SRCAND, s & d},         {SRCINVERT, s ^ d},
      {SRCERASE, s & ~d},       {NOTSRCCOPY, ~s},        {NOTSRCERASE, ~(s | d)},
      {MERGECOPY, p & s},       {MERGEPAINT, ~s | d},    {PATCOPY, p},
      {PATPAINT, p | ~s | d},   {PATINVERT, p ^ d},      {DSTINVERT, ~d},
      {BLACKNESS, 0},           {WHITENESS, 0xFFFFFF},   {0x00E20746, ((p ^ d) & s) ^ d},
      {0x00AA0029, d},
  };
  Canvas src(4, 4, 0xFF000000u | s);
  for (const Case& k : cases) {
    Canvas dst(4, 4, 0xFF000000u | d);
    dst.Brush(CreateSolidBrush(RGB(0xAA, 0x55, 0xF0)));
    ASSERT_TRUE(BitBlt(dst.Dc, 1, 1, 2, 2, src.Dc, 0, 0, k.Rop));
    EXPECT_EQ(dst.At(1, 1), 0xFF000000u | (k.Expect & 0xFFFFFF)) << std::hex << k.Rop;
    EXPECT_EQ(dst.At(0, 0), 0xFF000000u | d);
  }
  // Pattern-only operations work without a source, and a hatched pattern follows the brush origin.
  Canvas c(16, 4, 0xFF000000u | d);
  HBRUSH hatch = c.Own(CreateHatchBrush(HS_VERTICAL, RGB(255, 255, 255)));
  SelectObject(c.Dc, hatch);
  SetBkColor(c.Dc, RGB(0, 0, 0));
  ASSERT_TRUE(PatBlt(c.Dc, 0, 0, 16, 2, PATINVERT));
  EXPECT_EQ(c.Count(0xFF000000u | (~d & 0xFFFFFF), {0, 0, 16, 2}), 4);
  PatBlt(c.Dc, 0, 0, 16, 2, PATINVERT);
  EXPECT_EQ(c.Count(0xFF000000u | d), 64);
  EXPECT_FALSE(PatBlt(c.Dc, 0, 0, 2, 2, SRCCOPY));
  ASSERT_TRUE(PatBlt(c.Dc, 16, 4, -16, -2, WHITENESS));
  EXPECT_EQ(c.Count(kWhite), 32);
}

TEST(Blit, MonochromeConversions) {
  // 1-bit source: 0 bits take the destination's text colour, 1 bits its background colour.
  BYTE bits[2] = {0xA0, 0x00};
  HBITMAP mono = CreateBitmap(8, 1, 1, 1, bits);
  HDC mdc = CreateCompatibleDC(nullptr);
  SelectObject(mdc, mono);
  Canvas c(8, 1);
  SetTextColor(c.Dc, RGB(255, 0, 0));
  SetBkColor(c.Dc, RGB(0, 0, 255));
  BitBlt(c.Dc, 0, 0, 8, 1, mdc, 0, 0, SRCCOPY);
  const std::uint32_t red = Px(RGB(255, 0, 0)), blue = Px(RGB(0, 0, 255));
  EXPECT_EQ(c.At(0, 0), blue);
  EXPECT_EQ(c.At(1, 0), red);
  EXPECT_EQ(c.At(2, 0), blue);
  EXPECT_EQ(c.At(3, 0), red);
  // Colour to monochrome: the source's background colour becomes white, the rest black.
  c.Ref(0, 0) = Px(RGB(0, 255, 0));
  c.Ref(1, 0) = Px(RGB(255, 0, 0));
  c.Ref(2, 0) = Px(RGB(0, 255, 0));
  c.Ref(3, 0) = Px(RGB(0, 0, 0));
  SetBkColor(c.Dc, RGB(0, 255, 0));
  BitBlt(mdc, 0, 0, 4, 1, c.Dc, 0, 0, SRCCOPY);
  EXPECT_EQ(mono->Bits[0] & 0xF0, 0xA0);
  DeleteDC(mdc);
  DeleteObject(mono);
}

TEST(Blit, StretchNearestMapsCentresAndMirrors) {
  Canvas src(4, 4);
  const std::uint32_t col[4] = {0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.Ref(x, y) = col[x] + (std::uint32_t(y) << 8);
  Canvas dst(8, 8);
  SetStretchBltMode(dst.Dc, COLORONCOLOR);
  ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 8, 1, src.Dc, 0, 0, 4, 1, SRCCOPY));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.At(x, 0), col[x / 2]) << x;
  StretchBlt(dst.Dc, 0, 1, 3, 1, src.Dc, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(dst.At(0, 1), col[0]);
  EXPECT_EQ(dst.At(1, 1), col[2]);
  EXPECT_EQ(dst.At(2, 1), col[3]);
  EXPECT_EQ(dst.At(3, 1), kWhite);
  // A negative destination width covers [x + w, x) mirrored; so does a negative source width.
  StretchBlt(dst.Dc, 8, 2, -8, 1, src.Dc, 0, 0, 4, 1, SRCCOPY);
  StretchBlt(dst.Dc, 0, 3, 8, 1, src.Dc, 4, 0, -4, 1, SRCCOPY);
  StretchBlt(dst.Dc, 8, 4, -8, 1, src.Dc, 4, 0, -4, 1, SRCCOPY);
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(dst.At(x, 2), col[3 - x / 2]) << x;
    EXPECT_EQ(dst.At(x, 3), col[3 - x / 2]) << x;
    EXPECT_EQ(dst.At(x, 4), col[x / 2]) << x;
  }
  // Vertical mirror with a raster operation.
  dst.Clear(0xFF000000u);
  StretchBlt(dst.Dc, 0, 8, 1, -8, src.Dc, 0, 0, 1, 4, SRCPAINT);
  for (int y = 0; y < 8; ++y) EXPECT_EQ(dst.At(0, y), col[0] + (std::uint32_t(3 - y / 2) << 8)) << y;
}

TEST(Blit, HalftoneAveragesTheCoveredArea) {
  Canvas src(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.Ref(x, y) = ((x + y) & 1) ? 0xFFFFFFFFu : 0xFF000000u;
  Canvas dst(8, 8, 0);
  SetStretchBltMode(dst.Dc, HALFTONE);
  ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 2, 2, src.Dc, 0, 0, 4, 4, SRCCOPY));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(dst.At(x, y), 0xFF808080u);
  // Enlarging a flat colour keeps it exactly.
  Canvas flat(1, 1, 0xC0102030u);
  StretchBlt(dst.Dc, 0, 3, 5, 5, flat.Dc, 0, 0, 1, 1, SRCCOPY);
  EXPECT_EQ(dst.Count(0xC0102030u), 25);
  // A 3:1 reduction of a ramp gives the mean of each group of three.
  Canvas ramp(6, 1);
  for (int x = 0; x < 6; ++x) ramp.Ref(x, 0) = 0xFF000000u | std::uint32_t(x * 30);
  StretchBlt(dst.Dc, 5, 0, 2, 1, ramp.Dc, 0, 0, 6, 1, SRCCOPY);
  EXPECT_EQ(dst.At(5, 0), 0xFF00001Eu);
  EXPECT_EQ(dst.At(6, 0), 0xFF000078u);
  // Mirrored, the groups swap places.
  StretchBlt(dst.Dc, 7, 1, -2, 1, ramp.Dc, 0, 0, 6, 1, SRCCOPY);
  EXPECT_EQ(dst.At(5, 1), 0xFF000078u);
  EXPECT_EQ(dst.At(6, 1), 0xFF00001Eu);
}

namespace {
// The documented blend with exact rounding: products divided by 255 to the nearest integer.
std::uint32_t ReferenceBlend(std::uint32_t s, std::uint32_t d, int sca, bool perPixel) {
  if (!perPixel) s |= 0xFF000000u;
  auto div255 = [](int v) { return (v + 127) / 255; };
  int sc[4], dc[4];
  for (int i = 0; i < 4; ++i) {
    sc[i] = div255(int((s >> (8 * i)) & 0xFF) * sca);
    dc[i] = int((d >> (8 * i)) & 0xFF);
  }
  std::uint32_t out = 0;
  for (int i = 0; i < 4; ++i) out |= std::uint32_t(std::min(255, sc[i] + div255(dc[i] * (255 - sc[3])))) << (8 * i);
  return out;
}
}  // namespace

TEST(Blit, AlphaBlendOnKnownPremultipliedPixels) {
  Canvas src(4, 1);
  Canvas dst(4, 4);
  auto blend = [&](std::uint32_t s, std::uint32_t d, BYTE sca, BYTE format) {
    src.Ref(0, 0) = s;
    dst.Ref(0, 0) = d;
    EXPECT_TRUE(AlphaBlend(dst.Dc, 0, 0, 1, 1, src.Dc, 0, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, sca, format}));
    return dst.At(0, 0);
  };
  // Per-pixel alpha: half-transparent dark red over opaque blue.
  EXPECT_EQ(blend(0x80400000u, 0xFF0000FFu, 255, AC_SRC_ALPHA), 0xFF40007Fu);
  // Constant alpha only: the source's alpha byte is ignored.
  EXPECT_EQ(blend(0x00FF0000u, 0xFF0000FFu, 128, 0), 0xFF80007Fu);
  // Both.
  EXPECT_EQ(blend(0x80800000u, 0xFF00FF00u, 128, AC_SRC_ALPHA), 0xFF40BF00u);
  // Onto a transparent destination the scaled source is the result.
  EXPECT_EQ(blend(0xC0604020u, 0x00000000u, 255, AC_SRC_ALPHA), 0xC0604020u);
  EXPECT_EQ(blend(0xC0604020u, 0x00000000u, 64, AC_SRC_ALPHA), 0x30181008u);
  // A fully transparent source leaves the destination alone.
  EXPECT_EQ(blend(0x00000000u, 0x12345678u, 255, AC_SRC_ALPHA), 0x12345678u);

  // Every source alpha at several constant alphas, over opaque and half-transparent pixels.
  Canvas ramp(256, 1);
  for (int a = 0; a < 256; ++a) ramp.Ref(a, 0) = std::uint32_t(a) << 24 | std::uint32_t(a) << 16 | std::uint32_t(a / 2) << 8 | std::uint32_t(a / 3);
  for (BYTE format : {BYTE(0), AC_SRC_ALPHA}) {
    for (int sca : {0, 1, 77, 128, 200, 254, 255}) {
      for (std::uint32_t d : {0xFF80C040u, 0x80402010u}) {
        Canvas out(256, 1, d);
        ASSERT_TRUE(AlphaBlend(out.Dc, 0, 0, 256, 1, ramp.Dc, 0, 0, 256, 1,
                               BLENDFUNCTION{AC_SRC_OVER, 0, BYTE(sca), format}));
        for (int a = 0; a < 256; ++a)
          ASSERT_EQ(out.At(a, 0), ReferenceBlend(ramp.At(a, 0), d, sca, format == AC_SRC_ALPHA))
              << "alpha " << a << " sca " << sca << " format " << int(format);
      }
    }
  }
}

TEST(Blit, AlphaBlendStretchesAndRejectsBadRectangles) {
  Canvas src(2, 2);
  src.Ref(0, 0) = 0xFF0000FFu;
  src.Ref(1, 0) = 0xFF00FF00u;
  src.Ref(0, 1) = 0xFFFF0000u;
  src.Ref(1, 1) = 0x00000000u;
  Canvas dst(8, 8, 0xFF101010u);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(AlphaBlend(dst.Dc, 0, 0, 4, 4, src.Dc, 0, 0, 2, 2, bf));
  EXPECT_EQ(dst.At(1, 1), 0xFF0000FFu);
  EXPECT_EQ(dst.At(2, 1), 0xFF00FF00u);
  EXPECT_EQ(dst.At(1, 2), 0xFFFF0000u);
  EXPECT_EQ(dst.At(3, 3), 0xFF101010u);
  EXPECT_FALSE(AlphaBlend(dst.Dc, 0, 0, 4, 4, src.Dc, 1, 0, 2, 2, bf));
  EXPECT_FALSE(AlphaBlend(dst.Dc, 0, 0, -4, 4, src.Dc, 0, 0, 2, 2, bf));
  EXPECT_FALSE(AlphaBlend(dst.Dc, 0, 0, 4, 4, src.Dc, 0, 0, 0, 2, bf));
  bf.BlendOp = 1;
  EXPECT_FALSE(AlphaBlend(dst.Dc, 0, 0, 4, 4, src.Dc, 0, 0, 2, 2, bf));
}

TEST(Blit, TransparentBltSkipsTheKeyColour) {
  Canvas src(2, 2, Px(RGB(255, 0, 255)));
  src.Ref(1, 0) = Px(RGB(10, 20, 30));
  src.Ref(0, 1) = Px(RGB(40, 50, 60));
  Canvas dst(8, 8);
  ASSERT_TRUE(TransparentBlt(dst.Dc, 0, 0, 4, 4, src.Dc, 0, 0, 2, 2, RGB(255, 0, 255)));
  EXPECT_EQ(dst.At(0, 0), kWhite);
  EXPECT_EQ(dst.At(3, 1), Px(RGB(10, 20, 30)));
  EXPECT_EQ(dst.At(1, 3), Px(RGB(40, 50, 60)));
  EXPECT_EQ(dst.At(3, 3), kWhite);
  EXPECT_EQ(dst.Count(kWhite), 64 - 8);
  EXPECT_FALSE(TransparentBlt(dst.Dc, 0, 0, -4, 4, src.Dc, 0, 0, 2, 2, 0));
}

TEST(Blit, MaskBltChoosesTheOperationPerMaskBit) {
  BYTE bits[4] = {0xC0, 0, 0x30, 0};  // row 0: 1100, row 1: 0011
  HBITMAP mask = CreateBitmap(4, 2, 1, 1, bits);
  Canvas src(4, 2, 0xFF123456u);
  Canvas dst(4, 2, 0xFF0000FFu);
  ASSERT_TRUE(MaskBlt(dst.Dc, 0, 0, 4, 2, src.Dc, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, DSTINVERT)));
  EXPECT_EQ(dst.At(0, 0), 0xFF123456u);
  EXPECT_EQ(dst.At(1, 0), 0xFF123456u);
  EXPECT_EQ(dst.At(2, 0), 0xFFFFFF00u);
  EXPECT_EQ(dst.At(0, 1), 0xFFFFFF00u);
  EXPECT_EQ(dst.At(3, 1), 0xFF123456u);
  EXPECT_FALSE(MaskBlt(dst.Dc, 0, 0, 4, 2, src.Dc, 0, 0, mask, 1, 0, SRCCOPY));
  DeleteObject(mask);
}

TEST(Blit, GradientFillEndpointsAndMidpoint) {
  Canvas c(300, 40);
  TRIVERTEX v[2];
  v[0].x = 0;
  v[0].y = 0;
  v[1].x = 256;
  v[1].y = 2;
  v[1].Red = v[1].Green = v[1].Blue = 0xFF00;
  GRADIENT_RECT r{0, 1};
  ASSERT_TRUE(GradientFill(c.Dc, v, 2, &r, 1, GRADIENT_FILL_RECT_H));
  for (int x = 0; x < 256; ++x) ASSERT_EQ(c.At(x, 1), 0xFF000000u | std::uint32_t(x * 0x010101)) << x;
  EXPECT_EQ(c.At(256, 1), kWhite);
  // 11 pixels: exact colours at both ends and halfway.
  TRIVERTEX w[2];
  w[0].x = 20, w[0].y = 10, w[0].Red = 10 << 8, w[0].Green = 20 << 8, w[0].Blue = 30 << 8;
  w[1].x = 9, w[1].y = 21, w[1].Red = 200 << 8, w[1].Green = 100 << 8, w[1].Blue = 0;
  // UpperLeft lies right of LowerRight: the colours follow the positions.
  ASSERT_TRUE(GradientFill(c.Dc, w, 2, &r, 1, GRADIENT_FILL_RECT_H));
  EXPECT_EQ(c.At(9, 15), Px(RGB(200, 100, 0)));
  EXPECT_EQ(c.At(19, 15), Px(RGB(10, 20, 30)));
  EXPECT_EQ(c.At(14, 15), Px(RGB(105, 60, 15)));
  EXPECT_EQ(c.At(20, 15), kWhite);
  w[0].x = 30, w[1].x = 31;
  ASSERT_TRUE(GradientFill(c.Dc, w, 2, &r, 1, GRADIENT_FILL_RECT_V));
  EXPECT_EQ(c.At(30, 10), Px(RGB(10, 20, 30)));
  EXPECT_EQ(c.At(30, 20), Px(RGB(200, 100, 0)));
  EXPECT_EQ(c.At(30, 15), Px(RGB(105, 60, 15)));
  GRADIENT_RECT bad{0, 2};
  EXPECT_FALSE(GradientFill(c.Dc, w, 2, &bad, 1, GRADIENT_FILL_RECT_H));
}

TEST(Blit, GradientTrianglesTileWithoutGaps) {
  Canvas c(40, 40);
  TRIVERTEX v[4];
  v[0].x = 5, v[0].y = 5, v[1].x = 25, v[1].y = 5, v[2].x = 25, v[2].y = 25, v[3].x = 5, v[3].y = 25;
  for (auto& t : v) t.Red = 0xFF00;
  GRADIENT_TRIANGLE first{0, 1, 2};
  ASSERT_TRUE(GradientFill(c.Dc, v, 4, &first, 1, GRADIENT_FILL_TRIANGLE));
  for (auto& t : v) t.Red = 0, t.Blue = 0xFF00;
  GRADIENT_TRIANGLE second{0, 2, 3};
  ASSERT_TRUE(GradientFill(c.Dc, v, 4, &second, 1, GRADIENT_FILL_TRIANGLE));
  EXPECT_EQ(c.Changed(kWhite), TRect(5, 5, 25, 25));
  int red = c.Count(Px(RGB(255, 0, 0))), blue = c.Count(Px(RGB(0, 0, 255)));
  EXPECT_EQ(red + blue, 400);
  EXPECT_EQ(red, 210);  // the diagonal belongs to the first triangle
  // Vertex colours dominate next to their vertices.
  Canvas d(40, 40);
  TRIVERTEX t[3];
  t[0].x = 0, t[0].y = 0, t[0].Red = 0xFF00;
  t[1].x = 30, t[1].y = 0, t[1].Green = 0xFF00;
  t[2].x = 0, t[2].y = 30, t[2].Blue = 0xFF00;
  GRADIENT_TRIANGLE tri{0, 1, 2};
  GradientFill(d.Dc, t, 3, &tri, 1, GRADIENT_FILL_TRIANGLE);
  EXPECT_GT((d.At(0, 0) >> 16) & 0xFF, 230u);
  EXPECT_GT((d.At(28, 0) >> 8) & 0xFF, 220u);
  EXPECT_GT(d.At(0, 28) & 0xFF, 220u);
  EXPECT_EQ(d.At(20, 20), kWhite);
}
