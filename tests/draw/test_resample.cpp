// Bilinear rescaling against hand-computed pixels, and drawing at a scale.
#include <cmath>
#include <limits>

#include "DrawTest.h"
#include "draw/kxResample.h"

using namespace vcl;
using namespace kx;
using namespace drawtest;

TEST(Resample, EnlargingStepsByTheSourceOverKPlusSizeMinusOne) {
  TBitmap src, dst;
  Make32(src, 2, 1);
  Px(src, 0, 0) = 0x00000000u;
  Px(src, 1, 0) = 0xFFC86432u;
  Make32(dst, 3, 1);
  ResampleBitmap(&src, &dst);
  // k = 3 div 2 = 1, step = 2 * 65536 div 3 = 43690: the middle pixel is 43690 / 65536 of the
  // way to the second (255 -> 170, 200 -> 133, 100 -> 67, 50 -> 33); the last one, at
  // 87380, lies on the second pixel with its right neighbour clamped to itself.
  EXPECT_EQ(Hex(Px(dst, 0, 0)), Hex(0x00000000u));
  EXPECT_EQ(Hex(Px(dst, 1, 0)), Hex(0xAA854321u));
  EXPECT_EQ(Hex(Px(dst, 2, 0)), Hex(0xFFC86432u));
}

TEST(Resample, EnlargingTwoByTwoToFiveByFiveTellsTheEnlargingStep) {
  // k = 5 div 2 = 2, step = 2 * 65536 div (2 + 5 - 1) = 21845 (the shrinking step would be
  // 26214, putting the second column at 102 instead of 85).
  TBitmap src, dst;
  Make32(src, 2, 2);
  for (int y = 0; y < 2; ++y) {
    Px(src, 0, y) = 0x00000000u;
    Px(src, 1, y) = 0xFFFFFFFFu;
  }
  Make32(dst, 5, 5);
  ResampleBitmap(&src, &dst);
  const std::uint32_t expected[] = {0x00000000u, 0x55555555u, 0xAAAAAAAAu, 0xFFFFFFFFu,
                                    0xFFFFFFFFu};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(Hex(Px(dst, x, y)), Hex(expected[x])) << x << "," << y;
}

TEST(Resample, ShrinkingBlendsTheFourNeighboursRoundingToNearest) {
  // 3 x 3 -> 2 x 2: step 1.5, so the second column and row sit half-way between two pixels.
  TBitmap src, dst;
  Make32(src, 3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) Px(src, x, y) = std::uint32_t(10 * (x + 3 * y) + 1);
  // Alpha, red and green of the four pixels around (1.5, 1.5): sums 2, 3 and 1 over 4.
  Px(src, 1, 1) |= 0x01010000u;
  Px(src, 2, 2) |= 0x01010100u;
  Px(src, 2, 1) |= 0x00010000u;
  Make32(dst, 2, 2);
  ResampleBitmap(&src, &dst);
  EXPECT_EQ(Hex(Px(dst, 0, 0)), Hex(0x00000001u));
  EXPECT_EQ(Px(dst, 1, 0), std::uint32_t((11 + 21) / 2));             // 16
  EXPECT_EQ(Px(dst, 0, 1), std::uint32_t((31 + 61 + 1) / 2));         // 46
  EXPECT_EQ(Hex(Px(dst, 1, 1)), Hex(0x01010000u | (41 + 51 + 71 + 81) / 4));  // .5 up, .75 up, .25 down

  // 4 x 4 -> 2 x 2: step 2, whole pixels.
  TBitmap big;
  Make32(big, 4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) Px(big, x, y) = 0x01000000u * std::uint32_t(x + 4 * y) | 0x7F;
  ResampleBitmap(&big, &dst);
  EXPECT_EQ(Px(dst, 0, 0), 0x0000007Fu);
  EXPECT_EQ(Px(dst, 1, 0), 0x0200007Fu);
  EXPECT_EQ(Px(dst, 0, 1), 0x0800007Fu);
  EXPECT_EQ(Px(dst, 1, 1), 0x0A00007Fu);
}

TEST(Resample, CopiesEqualSizesAndSurvivesEmptyBitmaps) {
  TBitmap src, dst;
  Make32(src, 3, 2, 0x80402010u);
  src.SetAlphaFormat(afPremultiplied);  // premultiplies the rows: 0x80201008
  Make32(dst, 3, 2, 0);
  ResampleBitmap(&src, &dst);
  EXPECT_EQ(Pixels(dst), Pixels(src));
  EXPECT_EQ(dst.AlphaFormat(), afPremultiplied);
  // A resampled premultiplied source stays premultiplied, rows unconverted.
  TBitmap half;
  Make32(half, 6, 4, 0);
  ResampleBitmap(&src, &half);
  EXPECT_EQ(half.AlphaFormat(), afPremultiplied);
  EXPECT_EQ(Px(half, 5, 3), 0x80201008u);

  TBitmap empty, keep;
  Make32(keep, 2, 2, 0x12345678u);
  ResampleBitmap(&empty, &keep);
  EXPECT_EQ(Px(keep, 1, 1), 0x12345678u);
  ResampleBitmap(&src, &empty);
  EXPECT_TRUE(empty.Empty());
  ResampleBitmap(nullptr, &keep);
  ResampleBitmap(&src, nullptr);
}

TEST(Resample, ScaledDrawingRoundsTheSizeAndDrawsNothingForNothing) {
  TBitmap one;
  Make32(one, 1, 1, 0xFF336699u);
  one.SetAlphaFormat(afPremultiplied);
  auto drawn = [&](double scale, Byte alpha = 255) {
    TTarget t(8, 8);
    DrawScaledBitmap(&one, t.Canvas(), 1, 1, scale, alpha);
    return t.Extent(0);
  };
  EXPECT_EQ(drawn(1), Rect(1, 1, 2, 2));
  EXPECT_EQ(drawn(2), Rect(1, 1, 3, 3));
  EXPECT_EQ(drawn(2.5), Rect(1, 1, 3, 3));  // half to even
  EXPECT_EQ(drawn(3.5), Rect(1, 1, 5, 5));
  EXPECT_EQ(drawn(0.2), TRect{});           // rounds to no pixels
  EXPECT_EQ(drawn(0), TRect{});
  EXPECT_EQ(drawn(-2), TRect{});
  EXPECT_EQ(drawn(std::numeric_limits<double>::quiet_NaN()), TRect{});
  EXPECT_EQ(drawn(std::numeric_limits<double>::infinity()), TRect{});
  TTarget t(8, 8);
  DrawScaledBitmap(&one, t.Canvas(), 0, 0, 3, 0x80);
  EXPECT_EQ(Hex(t.At(2, 2)), Hex(0xFF1A334Du));  // half of 33 66 99 over black
  TBitmap empty;
  DrawScaledBitmap(&empty, t.Canvas(), 0, 0, 2);
  DrawScaledBitmap(nullptr, t.Canvas(), 0, 0, 2);
  EXPECT_THROW(DrawScaledBitmap(&one, t.Canvas(), 0, 0, 1e6), EInvalidGraphicOperation);
}
