// GDI+ bitmaps and image drawing: pixel access, formats, wrapped memory, interpolation modes,
// the pixel-offset convention, source rectangles and edge handling.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/SharedData.h"
#include "host/gdi/Codecs.h"
#include "host/rtl/Streams.h"
#include "tests/gdi/test_gdiplus_support.h"

using namespace vcl;
using gptest::Canvas;
using gptest::Checker;
using gptest::MakeBitmap;

namespace {

std::unique_ptr<TGPBitmap> Board(int n) { return std::unique_ptr<TGPBitmap>(MakeBitmap(n, n, Checker)); }

}  // namespace

TEST(GdiPlusImages, PixelAccessKeepsStraightAlphaInEveryFormat) {
  for (PixelFormat f : {PixelFormat32bppARGB, PixelFormat32bppPARGB}) {
    TGPBitmap b(3, 2, f);
    ASSERT_EQ(b.GetLastStatus(), Ok);
    EXPECT_EQ(b.GetWidth(), 3u);
    EXPECT_EQ(b.GetHeight(), 2u);
    EXPECT_EQ(b.GetPixelFormat(), f);
    ARGB c = 1;
    ASSERT_EQ(b.GetPixel(2, 1, &c), Ok);
    EXPECT_EQ(c, 0u) << "new bitmaps are transparent";
    ASSERT_EQ(b.SetPixel(1, 0, 0x80FF0000u), Ok);
    ASSERT_EQ(b.GetPixel(1, 0, &c), Ok);
    EXPECT_EQ(c, 0x80FF0000u);
  }
  TGPBitmap rgb(2, 2, PixelFormat32bppRGB);
  ARGB c = 0;
  rgb.SetPixel(0, 0, 0x10203040u);
  rgb.GetPixel(0, 0, &c);
  EXPECT_EQ(c, 0xFF203040u) << "an RGB bitmap drops alpha";
}

TEST(GdiPlusImages, LockBitsConvertsAndWritesBack) {
  TGPBitmap b(4, 3, PixelFormat32bppARGB);
  b.SetPixel(1, 1, 0x80FF0000u);
  BitmapData d;
  TGPRect r{1, 1, 2, 2};
  ASSERT_EQ(b.LockBits(&r, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppPARGB, &d), Ok);
  EXPECT_EQ(d.Width, 2u);
  EXPECT_EQ(d.Height, 2u);
  auto* row0 = static_cast<std::uint32_t*>(d.Scan0);
  EXPECT_EQ(row0[0], 0x80800000u) << "premultiplied on request";
  BitmapData again;
  EXPECT_EQ(b.LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &again), WrongState);
  ARGB c;
  EXPECT_EQ(b.GetPixel(0, 0, &c), WrongState);
  auto* row1 = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(d.Scan0) + d.Stride);
  row1[1] = 0xFF00FF00u;
  ASSERT_EQ(b.UnlockBits(&d), Ok);
  ASSERT_EQ(b.GetPixel(2, 2, &c), Ok);
  EXPECT_EQ(c, 0xFF00FF00u);
  ASSERT_EQ(b.GetPixel(1, 1, &c), Ok);
  EXPECT_EQ(c, 0x80FF0000u);

  // In-place locking in the bitmap's own format; the drawing sees the change.
  ASSERT_EQ(b.LockBits(nullptr, ImageLockModeWrite, PixelFormat32bppARGB, &d), Ok);
  static_cast<std::uint32_t*>(d.Scan0)[0] = 0xFF0000FFu;
  ASSERT_EQ(b.UnlockBits(&d), Ok);
  Canvas cv(4, 3);
  TGPGraphics g(cv.Dc);
  ASSERT_EQ(g.DrawImage(&b, 0, 0), Ok);
  EXPECT_EQ(cv.At(0, 0), 0xFF0000FFu);
  EXPECT_EQ(cv.At(2, 2), 0xFF00FF00u);

  // 24-bit rows and caller-supplied buffers.
  std::vector<BYTE> user(4 * 3 * 3 + 16);
  d.Scan0 = user.data();
  d.Stride = 12;
  ASSERT_EQ(b.LockBits(nullptr, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat24bppRGB, &d), Ok);
  EXPECT_EQ(user[0], 0xFF);  // blue of (0, 0)
  EXPECT_EQ(user[1], 0x00);
  EXPECT_EQ(b.UnlockBits(&d), Ok);
  EXPECT_EQ(b.UnlockBits(&d), WrongState);
}

TEST(GdiPlusImages, WrappedBottomUpRowsAreReadAndWrittenInPlace) {
  // Rows stored bottom-up, as a GDI bitmap keeps them: scan0 is the last row, stride negative.
  const int w = 3, h = 4;
  std::vector<std::uint32_t> mem(size_t(w * h), 0u);
  mem[size_t((h - 1) * w)] = 0xFFFF0000u;  // memory row h-1 is image row 0
  TGPBitmap b(w, h, -w * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(mem.data() + (h - 1) * w));
  ASSERT_EQ(b.GetLastStatus(), Ok);
  ARGB c;
  ASSERT_EQ(b.GetPixel(0, 0, &c), Ok);
  EXPECT_EQ(c, 0xFFFF0000u);
  // The owner changes its memory: the next draw shows it.
  mem[size_t((h - 1) * w + 1)] = 0xFF00FF00u;
  Canvas cv(w, h);
  TGPGraphics g(cv.Dc);
  ASSERT_EQ(g.DrawImage(&b, 0, 0), Ok);
  EXPECT_EQ(cv.At(1, 0), 0xFF00FF00u);
  // Drawing into the bitmap writes into the owner's memory (row 3 is memory row 0).
  TGPGraphics gb(&b);
  TGPSolidBrush blue(0xFF0000FFu);
  ASSERT_EQ(gb.FillRectangle(&blue, 0, 3, 3, 1), Ok);
  EXPECT_EQ(mem[0], 0xFF0000FFu);
  EXPECT_EQ(mem[2], 0xFF0000FFu);
  EXPECT_EQ(mem[size_t((h - 1) * w)], 0xFFFF0000u);
}

TEST(GdiPlusImages, FromHBITMAPCopiesOpaquePixelsAndCloneTakesARectangle) {
  void* bits = nullptr;
  HBITMAP hbm = CreateDIB32(3, 2, &bits);
  auto* px = static_cast<std::uint32_t*>(bits);
  px[0] = 0x00112233u;
  px[5] = 0x80405060u;
  std::unique_ptr<TGPBitmap> b(TGPBitmap::FromHBITMAP(hbm));
  ASSERT_EQ(b->GetLastStatus(), Ok);
  EXPECT_EQ(b->GetPixelFormat(), PixelFormat32bppRGB);
  ARGB c;
  b->GetPixel(0, 0, &c);
  EXPECT_EQ(c, 0xFF112233u);
  b->GetPixel(2, 1, &c);
  EXPECT_EQ(c, 0xFF405060u);
  DeleteObject(hbm);

  std::unique_ptr<TGPBitmap> part(b->Clone(1, 1, 2, 1, PixelFormat32bppARGB));
  ASSERT_EQ(part->GetLastStatus(), Ok);
  EXPECT_EQ(part->GetWidth(), 2u);
  part->GetPixel(1, 0, &c);
  EXPECT_EQ(c, 0xFF405060u);
  std::unique_ptr<TGPBitmap> bad(b->Clone(2, 0, 2, 1, PixelFormat32bppARGB));
  EXPECT_EQ(bad->GetLastStatus(), InvalidParameter);

  HBITMAP out = nullptr;
  ASSERT_EQ(part->GetHBITMAP(0xFFFFFFFFu, &out), Ok);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uint32_t*>(out->Bits)[1], 0xFF405060u);
  DeleteObject(out);
}

TEST(GdiPlusImages, NearestNeighbourUpscaleGivesExactBlocks) {
  auto src = Board(4);
  for (PixelOffsetMode mode : {PixelOffsetModeDefault, PixelOffsetModeHalf}) {
    Canvas cv(8, 8, 0xFF808080u);
    TGPGraphics g(cv.Dc);
    g.SetInterpolationMode(InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(mode);
    ASSERT_EQ(g.DrawImage(src.get(), 0, 0, 8, 8), Ok);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(cv.At(x, y), Checker(x / 2, y / 2)) << x << "," << y << " mode " << mode;
  }
}

TEST(GdiPlusImages, BilinearBlendsAndPixelOffsetShiftsTheSamplingGrid) {
  // Two pixels, black and white, drawn 2x wide.
  std::unique_ptr<TGPBitmap> src(MakeBitmap(2, 1, [](int x, int) { return x ? 0xFFFFFFFFu : 0xFF000000u; }));
  auto row = [&](PixelOffsetMode mode) {
    Canvas cv(4, 1, 0xFF0000FFu);
    TGPGraphics g(cv.Dc);
    g.SetInterpolationMode(InterpolationModeBilinear);
    g.SetPixelOffsetMode(mode);
    EXPECT_EQ(g.DrawImage(src.get(), 0, 0, 4, 1), Ok);
    std::vector<int> v;
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(cv.Alpha(x, 0), 255) << "edges are clamped, never see-through";
      v.push_back(cv.Green(x, 0));
    }
    return v;
  };
  // Half: destination centres 0.5..3.5 map to source 0.25..1.75.
  std::vector<int> half = row(PixelOffsetModeHalf);
  EXPECT_EQ(half[0], 0);
  EXPECT_NEAR(half[1], 64, 1);
  EXPECT_NEAR(half[2], 191, 1);
  EXPECT_EQ(half[3], 255);
  // Default: both grids centred on integers; destination 1 lands between the two pixels.
  std::vector<int> none = row(PixelOffsetModeNone);
  EXPECT_EQ(none[0], 0);
  EXPECT_NEAR(none[1], 128, 1);
  EXPECT_EQ(none[2], 255);
  EXPECT_EQ(none[3], 255);
  EXPECT_EQ(row(PixelOffsetModeHighQuality), half);
  EXPECT_EQ(row(PixelOffsetModeDefault), none);
}

TEST(GdiPlusImages, HighQualityDownscaleAveragesInsteadOfAliasing) {
  auto src = Board(96);
  for (InterpolationMode mode : {InterpolationModeHighQualityBicubic, InterpolationModeHighQuality,
                                 InterpolationModeHighQualityBilinear}) {
    for (PixelOffsetMode pom : {PixelOffsetModeDefault, PixelOffsetModeHalf}) {
      Canvas cv(16, 16, 0xFFFF0000u);
      TGPGraphics g(cv.Dc);
      g.SetInterpolationMode(mode);
      g.SetPixelOffsetMode(pom);
      ASSERT_EQ(g.DrawImage(src.get(), 0, 0, 16, 16), Ok);
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          ASSERT_NEAR(cv.Green(x, y), 128, 4) << x << "," << y << " mode " << mode;
          ASSERT_EQ(cv.Red(x, y), cv.Green(x, y)) << "grey, and nothing of the background shows";
        }
    }
  }
  // Plain bilinear samples the board and aliases to solid colours.
  Canvas cv(16, 16, 0xFFFF0000u);
  TGPGraphics g(cv.Dc);
  g.SetInterpolationMode(InterpolationModeBilinear);
  g.DrawImage(src.get(), 0, 0, 16, 16);
  int extreme = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) extreme += cv.Green(x, y) < 30 || cv.Green(x, y) > 225;
  EXPECT_GT(extreme, 200);
}

TEST(GdiPlusImages, SourceRectangleSelectsTheRegionWithoutBleeding) {
  // Each pixel a distinct colour.
  std::unique_ptr<TGPBitmap> src(MakeBitmap(4, 4, [](int x, int y) { return 0xFF000000u | ARGB(x * 60) << 16 | ARGB(y * 60); }));
  Canvas cv(20, 20, 0xFFFFFFFFu);
  TGPGraphics g(cv.Dc);
  ASSERT_EQ(g.DrawImage(src.get(), TGPRectF{10, 10, 2, 2}, 1, 2, 2, 2, UnitPixel), Ok);
  ARGB c;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      src->GetPixel(1 + x, 2 + y, &c);
      EXPECT_EQ(cv.At(10 + x, 10 + y), c);
    }
  EXPECT_EQ(cv.At(9, 10), 0xFFFFFFFFu);
  EXPECT_EQ(cv.At(12, 11), 0xFFFFFFFFu);

  // Left half red, right half blue; the red half drawn large never picks up blue, whatever
  // the filter, and the destination's edges stay opaque.
  std::unique_ptr<TGPBitmap> halves(MakeBitmap(8, 8, [](int x, int) { return x < 4 ? 0xFFFF0000u : 0xFF0000FFu; }));
  for (InterpolationMode mode : {InterpolationModeBilinear, InterpolationModeHighQualityBicubic,
                                 InterpolationModeNearestNeighbor, InterpolationModeBicubic}) {
    Canvas big(40, 40, 0xFF00FF00u);
    TGPGraphics gb(big.Dc);
    gb.SetInterpolationMode(mode);
    ASSERT_EQ(gb.DrawImage(halves.get(), TGPRectF{5, 5, 30, 30}, 0, 0, 4, 8, UnitPixel), Ok);
    for (int y = 5; y < 35; ++y)
      for (int x = 5; x < 35; ++x) ASSERT_EQ(big.At(x, y), 0xFFFF0000u) << x << "," << y << " mode " << mode;
    EXPECT_EQ(big.At(4, 20), 0xFF00FF00u);
    EXPECT_EQ(big.At(35, 20), 0xFF00FF00u);
  }
}

TEST(GdiPlusImages, MirroringAndRotationDrawTheImage) {
  std::unique_ptr<TGPBitmap> src(MakeBitmap(2, 1, [](int x, int) { return x ? 0xFF0000FFu : 0xFFFF0000u; }));
  Canvas cv(10, 10, 0xFFFFFFFFu);
  TGPGraphics g(cv.Dc);
  g.SetInterpolationMode(InterpolationModeNearestNeighbor);
  ASSERT_EQ(g.DrawImage(src.get(), 4.0f, 0.0f, -4.0f, 2.0f), Ok);  // mirrored into [0, 4)
  EXPECT_EQ(cv.At(0, 0), 0xFF0000FFu);
  EXPECT_EQ(cv.At(3, 1), 0xFFFF0000u);
  // A quarter turn about (5, 5): the image's x axis points down.
  g.TranslateTransform(5, 5);
  g.RotateTransform(90);
  ASSERT_EQ(g.DrawImage(src.get(), 0.0f, -1.0f, 4.0f, 2.0f), Ok);
  EXPECT_EQ(cv.At(5, 6), 0xFFFF0000u);
  EXPECT_EQ(cv.At(5, 8), 0xFF0000FFu);
}

TEST(GdiPlusImages, DrawingHonoursClipAndOriginOfTheDc) {
  auto src = Board(4);
  Canvas cv(30, 30, 0xFFFF0000u);
  SetViewportOrgEx(cv.Dc, 10, 10, nullptr);
  IntersectClipRect(cv.Dc, 0, 0, 6, 6);
  TGPGraphics g(cv.Dc);
  g.SetInterpolationMode(InterpolationModeNearestNeighbor);
  ASSERT_EQ(g.DrawImage(src.get(), 0, 0, 8, 8), Ok);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      bool inside = x >= 10 && x < 16 && y >= 10 && y < 16;
      if (inside)
        ASSERT_EQ(cv.At(x, y), Checker((x - 10) / 2, (y - 10) / 2)) << x << "," << y;
      else
        ASSERT_EQ(cv.At(x, y), 0xFFFF0000u) << x << "," << y;
    }
}

TEST(GdiPlusImages, InvalidArgumentsAreRefused) {
  EXPECT_EQ(TGPBitmap(-1, 5).GetLastStatus(), InvalidParameter);
  EXPECT_EQ(TGPBitmap(5, 0).GetLastStatus(), InvalidParameter);
  EXPECT_EQ(TGPBitmap(5, 5, 0x12345).GetLastStatus(), InvalidParameter);
  std::uint32_t mem[4];
  EXPECT_EQ(TGPBitmap(4, 1, 8, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(mem)).GetLastStatus(), InvalidParameter)
      << "stride shorter than a row";
  EXPECT_EQ(TGPBitmap(static_cast<HBITMAP>(nullptr)).GetLastStatus(), InvalidParameter);

  TGPBitmap b(4, 4);
  ARGB c;
  EXPECT_EQ(b.GetPixel(4, 0, &c), InvalidParameter);
  EXPECT_EQ(b.GetPixel(0, 0, nullptr), InvalidParameter);
  EXPECT_EQ(b.SetPixel(-1, 0, 0), InvalidParameter);
  BitmapData d;
  TGPRect outside{2, 2, 3, 1};
  EXPECT_EQ(b.LockBits(&outside, ImageLockModeRead, PixelFormat32bppARGB, &d), InvalidParameter);
  EXPECT_EQ(b.LockBits(nullptr, 0, PixelFormat32bppARGB, &d), InvalidParameter);

  Canvas cv(4, 4);
  TGPGraphics g(cv.Dc);
  EXPECT_EQ(g.DrawImage(nullptr, 0, 0), InvalidParameter);
  EXPECT_EQ(g.DrawImage(&b, TGPRectF{0, 0, 4, 4}, 0, 0, 0, 4, UnitPixel), InvalidParameter);
  EXPECT_EQ(g.DrawImage(&b, TGPRectF{0, 0, 4, 4}, 0, 0, 4, 4, UnitInch), NotImplemented);
  EXPECT_EQ(g.DrawImage(&b, TGPRectF{0, 0, NAN, 4}), InvalidParameter);
  EXPECT_EQ(g.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(g.GetLastStatus(), Ok) << "reading the status resets it";
  ASSERT_EQ(b.LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &d), Ok);
  EXPECT_EQ(g.DrawImage(&b, 0, 0), ObjectBusy);
  TGPGraphics onLocked(&b);
  EXPECT_EQ(onLocked.GetLastStatus(), ObjectBusy);
  b.UnlockBits(&d);
  TGPGraphics none(static_cast<TGPImage*>(nullptr));
  EXPECT_EQ(none.GetLastStatus(), InvalidParameter);
  TGPSolidBrush br(0xFF000000u);
  EXPECT_EQ(none.FillRectangle(&br, 0, 0, 1, 1), InvalidParameter);
}

namespace {
std::vector<char> ReadShared(const char* rel) {
  std::ifstream f(std::string(KX_SHARED_DIR) + rel, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
}  // namespace

TEST(GdiPlusImages, PngFromMemoryAndStreamsDecodesToStraightPixels) {
  KX_REQUIRE_PNGSUITE();
  const char* rel = "/testdata/pngsuite/png/basn6a08.png";  // 32x32 RGBA
  std::vector<char> bytes = ReadShared(rel);
  ASSERT_GT(bytes.size(), 100u);
  TDecodedImage ref = DecodePng(bytes.data(), bytes.size());
  std::unique_ptr<TGPBitmap> mem(TGPBitmap::FromData(bytes.data(), bytes.size()));
  ASSERT_EQ(mem->GetLastStatus(), Ok);
  EXPECT_EQ(mem->GetPixelFormat(), PixelFormat32bppARGB);
  ASSERT_EQ(mem->GetWidth(), 32u);
  TFileStream file(Utf8ToString(std::string(KX_SHARED_DIR) + rel), fmOpenRead);
  TGPBitmap fromStream(&file);
  ASSERT_EQ(fromStream.GetLastStatus(), Ok);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      ARGB a, b;
      mem->GetPixel(x, y, &a);
      fromStream.GetPixel(x, y, &b);
      ASSERT_EQ(a, ref.Pixel(x, y));
      ASSERT_EQ(b, a);
    }
  // An opaque image is an RGB bitmap.
  std::vector<char> rgb = ReadShared("/testdata/pngsuite/png/basn2c08.png");
  std::unique_ptr<TGPBitmap> opaque(TGPBitmap::FromData(rgb.data(), rgb.size()));
  EXPECT_EQ(opaque->GetPixelFormat(), PixelFormat32bppRGB);
  // Drawing the decoded image premultiplies it over the canvas.
  Canvas cv(32, 32, 0xFF000000u);
  TGPGraphics g(cv.Dc);
  ASSERT_EQ(g.DrawImage(mem.get(), 0, 0), Ok);
  ARGB p = ref.Pixel(5, 7);
  EXPECT_NEAR(cv.Red(5, 7), GetRed(p) * GetAlpha(p) / 255.0, 1);

  // Damaged and foreign data give status codes.
  std::unique_ptr<TGPBitmap> cut(TGPBitmap::FromData(bytes.data(), bytes.size() / 2));
  EXPECT_EQ(cut->GetLastStatus(), InvalidParameter);
  EXPECT_EQ(cut->GetWidth(), 0u);
  const char text[] = "GIF89a not an image we read";
  std::unique_ptr<TGPBitmap> gif(TGPBitmap::FromData(text, sizeof text));
  EXPECT_EQ(gif->GetLastStatus(), UnknownImageFormat);
  TMemoryStream empty;
  EXPECT_EQ(TGPBitmap(&empty).GetLastStatus(), InvalidParameter);
  EXPECT_EQ(TGPBitmap(static_cast<TStream*>(nullptr)).GetLastStatus(), InvalidParameter);
}

TEST(GdiPlusImages, RepeatedScaledDrawsFollowChangesOfThePixels) {
  // The same scaled draw twice, with the source changed in between: owned and wrapped pixels.
  std::vector<std::uint32_t> mem(16 * 16, 0xFF0000FFu);
  TGPBitmap wrapped(16, 16, 64, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(mem.data()));
  TGPBitmap owned(16, 16, PixelFormat32bppPARGB);
  {
    TGPGraphics g(&owned);
    g.Clear(0xFF0000FFu);
  }
  for (TGPBitmap* b : {&wrapped, &owned}) {
    auto drawCentre = [&] {
      Canvas cv(8, 8);
      TGPGraphics g(cv.Dc);
      g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
      EXPECT_EQ(g.DrawImage(b, 0, 0, 8, 8), Ok);
      return cv.At(4, 4);
    };
    EXPECT_EQ(drawCentre(), 0xFF0000FFu);
    EXPECT_EQ(drawCentre(), 0xFF0000FFu);
    if (b == &wrapped) {
      std::fill(mem.begin(), mem.end(), 0xFFFF0000u);
    } else {
      TGPGraphics g(b);
      g.Clear(0xFFFF0000u);
    }
    EXPECT_EQ(drawCentre(), 0xFFFF0000u);
    b->SetPixel(8, 8, 0xFF00FF00u);
    b->SetPixel(9, 8, 0xFF00FF00u);
    b->SetPixel(8, 9, 0xFF00FF00u);
    b->SetPixel(9, 9, 0xFF00FF00u);
    EXPECT_GT((drawCentre() >> 8) & 0xFF, 0x40u);
  }
}

TEST(GdiPlusImages, WrapModesOfImageAttributesChooseTheEdgeSamples) {
  // Left pixel red, right pixel blue, drawn 4x wide with bilinear filtering.
  std::unique_ptr<TGPBitmap> src(MakeBitmap(2, 1, [](int x, int) { return x ? 0xFF0000FFu : 0xFFFF0000u; }));
  auto first = [&](const TGPImageAttributes* attr) {
    Canvas cv(8, 1, 0xFFFFFFFFu);
    TGPGraphics g(cv.Dc);
    g.SetPixelOffsetMode(PixelOffsetModeHalf);
    EXPECT_EQ(g.DrawImage(src.get(), TGPRectF{0, 0, 8, 1}, 0, 0, 2, 1, UnitPixel, attr), Ok);
    return cv.At(0, 0);
  };
  EXPECT_EQ(first(nullptr), 0xFFFF0000u) << "edge repeated";
  TGPImageAttributes tile;
  tile.SetWrapMode(WrapModeTile);
  std::uint32_t t = first(&tile);
  EXPECT_GT(t & 0xFF, 0x30u) << "wraps to the blue pixel";
  EXPECT_GT((t >> 16) & 0xFF, 0x80u);
  TGPImageAttributes clamp;
  clamp.SetWrapMode(WrapModeClamp, 0x00000000u);
  std::uint32_t c = first(&clamp);
  EXPECT_GT((c >> 8) & 0xFF, 0x40u) << "transparent beyond the edge: the white canvas shows";
  EXPECT_EQ(c & 0xFF, (c >> 8) & 0xFF) << "and no blue";
  EXPECT_EQ(clamp.SetWrapMode(WrapMode(9)), InvalidParameter);
}
