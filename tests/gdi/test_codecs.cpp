// PNG and BMP codecs: transparency kinds, alpha helpers, round trips, hand-made BMP variants,
// truncated and mutated input.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/SharedData.h"
#include "host/gdi/Codecs.h"
#include "host/gdi/GdiInternal.h"
#include "host/rtl/SysUtils.h"

namespace fs = std::filesystem;
using namespace vcl;

namespace {

std::vector<Byte> SuiteFile(const char* name) {
  fs::path p = fs::path(KX_SHARED_DIR) / "testdata" / "pngsuite" / "png" / name;
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TDecodedImage DecodeSuite(const char* name) {
  std::vector<Byte> d = SuiteFile(name);
  return DecodePng(d.data(), d.size(), Utf8ToString(name));
}

// ---- hand-made BMP files -------------------------------------------------------------------
void Put(std::vector<Byte>& v, std::uint32_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v.push_back(Byte(x >> (8 * i)));
}

struct BmpSpec {
  int HeaderSize = 40;  // 12 = OS/2 core header
  int Width = 0;
  int Height = 0;  // negative: top-down
  int Bpp = 24;
  DWORD Compression = BI_RGB;
  std::vector<std::uint32_t> Masks;    // R, G, B[, A]
  std::vector<std::uint32_t> Palette;  // 0x00RRGGBB
  std::uint32_t ClrUsed = 0;
  std::vector<Byte> Pixels;            // raw pixel data as stored
};

std::vector<Byte> BuildBmp(const BmpSpec& s) {
  std::vector<Byte> v{'B', 'M'};
  Put(v, 0, 4);  // file size, patched below
  Put(v, 0, 4);
  Put(v, 0, 4);  // pixel offset, patched below
  Put(v, std::uint32_t(s.HeaderSize), 4);
  if (s.HeaderSize == 12) {
    Put(v, std::uint32_t(s.Width), 2);
    Put(v, std::uint32_t(s.Height), 2);
    Put(v, 1, 2);
    Put(v, std::uint32_t(s.Bpp), 2);
  } else {
    Put(v, std::uint32_t(s.Width), 4);
    Put(v, std::uint32_t(s.Height), 4);
    Put(v, 1, 2);
    Put(v, std::uint32_t(s.Bpp), 2);
    Put(v, s.Compression, 4);
    Put(v, 0, 4);
    Put(v, 2835, 4);
    Put(v, 2835, 4);
    Put(v, s.ClrUsed, 4);
    Put(v, 0, 4);
    if (s.HeaderSize > 40) {
      for (int i = 0; i < 4; ++i) Put(v, i < int(s.Masks.size()) ? s.Masks[i] : 0, 4);
      v.resize(14 + size_t(s.HeaderSize), 0);
    } else {
      for (std::uint32_t m : s.Masks) Put(v, m, 4);
    }
  }
  for (std::uint32_t c : s.Palette) Put(v, c, s.HeaderSize == 12 ? 3 : 4);
  std::uint32_t off = std::uint32_t(v.size());
  v.insert(v.end(), s.Pixels.begin(), s.Pixels.end());
  std::uint32_t size = std::uint32_t(v.size());
  std::memcpy(&v[2], &size, 4);
  std::memcpy(&v[10], &off, 4);
  return v;
}

TDecodedImage Decode(const std::vector<Byte>& d) { return DecodeBmp(d.data(), d.size(), u"test.bmp"); }

std::string DecodeError(const std::vector<Byte>& d) {
  try {
    Decode(d);
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "(accepted)";
}

std::vector<std::uint32_t> Gradient(int w, int h, bool alpha) {
  std::vector<std::uint32_t> px(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t a = alpha ? std::uint32_t((x * 37 + y * 11) & 0xFF) : 0xFF;
      px[size_t(y) * w + x] = (a << 24) | (std::uint32_t(x * 9 & 0xFF) << 16) |
                              (std::uint32_t(y * 13 & 0xFF) << 8) | std::uint32_t((x ^ y) & 0xFF);
    }
  return px;
}

}  // namespace

TEST(Codecs, TransparencyKindAndSourceFormatOfSuiteImages) {
  KX_REQUIRE_PNGSUITE();
  TDecodedImage a = DecodeSuite("basn6a08.png");
  EXPECT_EQ(a.Transparency, TImageTransparency::Partial);
  EXPECT_EQ(a.SourceColorType, 6);
  EXPECT_EQ(a.SourceBitDepth, 8);

  // Palette with a tRNS chunk whose entries are only 0 and 255.
  TDecodedImage b = DecodeSuite("tbbn3p08.png");
  EXPECT_EQ(b.Transparency, TImageTransparency::Bit);
  EXPECT_EQ(b.SourceColorType, 3);

  TDecodedImage c = DecodeSuite("basn2c08.png");
  EXPECT_EQ(c.Transparency, TImageTransparency::None);
  EXPECT_EQ(c.Width, 32);
  EXPECT_EQ(c.Height, 32);

  // A colour-key tRNS on an RGB image, and a 2-bit interlaced palette image.
  EXPECT_EQ(DecodeSuite("tbrn2c08.png").Transparency, TImageTransparency::Bit);
  TDecodedImage d = DecodeSuite("basi3p02.png");
  EXPECT_TRUE(d.Interlaced);
  EXPECT_EQ(d.SourceBitDepth, 2);
  EXPECT_EQ(d.Transparency, TImageTransparency::None);
}

TEST(Codecs, PremultiplyAndUnpremultiplyRoundExactly) {
  for (std::uint32_t a = 0; a < 256; ++a)
    for (std::uint32_t c = 0; c < 256; ++c) {
      std::uint32_t straight = (a << 24) | (c << 16) | ((255 - c) << 8) | (c / 2);
      std::uint32_t p = PremultiplyPixel(straight);
      ASSERT_EQ(p >> 24, a);
      ASSERT_EQ((p >> 16) & 0xFF, (c * a + 127) / 255) << "c=" << c << " a=" << a;
      ASSERT_EQ((p >> 8) & 0xFF, ((255 - c) * a + 127) / 255);
      if (c <= a && a > 0) {
        std::uint32_t prem = (a << 24) | (c << 16) | (c << 8) | c;
        std::uint32_t s = UnpremultiplyPixel(prem);
        ASSERT_EQ((s >> 16) & 0xFF, std::min<std::uint32_t>(255, (c * 255 + a / 2) / a));
        ASSERT_EQ(PremultiplyPixel(s), prem) << "c=" << c << " a=" << a;
      }
    }
  EXPECT_EQ(UnpremultiplyPixel(0x00123456u), 0u);
  EXPECT_EQ(PremultiplyPixel(0x00FFFFFFu), 0u);
  std::uint32_t row[3] = {0x80FF0000u, 0xFF123456u, 0x00FFFFFFu};
  PremultiplyRow(row, row, 3);
  EXPECT_EQ(row[0], 0x80800000u);
  EXPECT_EQ(row[1], 0xFF123456u);
  EXPECT_EQ(row[2], 0u);
}

TEST(Codecs, PngEncodeDecodeRoundTrip) {
  // Alpha image with a row stride wider than the image.
  const int w = 13, h = 7, stride = 16;
  std::vector<std::uint32_t> src(size_t(stride) * h, 0xDEADBEEFu);
  std::vector<std::uint32_t> grad = Gradient(w, h, true);
  for (int y = 0; y < h; ++y) std::memcpy(&src[size_t(y) * stride], &grad[size_t(y) * w], w * 4);
  std::vector<Byte> png = EncodePng(src.data(), w, h, stride);
  ASSERT_TRUE(IsPngSignature(png.data(), png.size()));
  TDecodedImage img = DecodePng(png.data(), png.size());
  EXPECT_EQ(img.Width, w);
  EXPECT_EQ(img.Height, h);
  EXPECT_EQ(img.SourceColorType, 6);
  EXPECT_EQ(img.Transparency, TImageTransparency::Partial);
  EXPECT_EQ(img.Pixels, grad);

  // Opaque pixels are written as RGB.
  std::vector<std::uint32_t> opaque = Gradient(w, h, false);
  png = EncodePng(opaque.data(), w, h, w);
  img = DecodeImage(png.data(), png.size());
  EXPECT_EQ(img.SourceColorType, 2);
  EXPECT_EQ(img.Transparency, TImageTransparency::None);
  EXPECT_EQ(img.Pixels, opaque);

  EXPECT_THROW(EncodePng(opaque.data(), 0, h, w), EInvalidGraphicOperation);
  EXPECT_THROW(EncodePng(opaque.data(), w, h, w - 1), EInvalidGraphicOperation);
}

TEST(Codecs, BmpEncodeDecodeRoundTrip) {
  const int w = 5, h = 3;  // 24-bit rows need padding at this width
  std::vector<std::uint32_t> grad = Gradient(w, h, true);
  std::vector<Byte> bmp = EncodeBmp(grad.data(), w, h, w, 32);
  ASSERT_TRUE(IsBmpSignature(bmp.data(), bmp.size()));
  TDecodedImage img = DecodeImage(bmp.data(), bmp.size());
  EXPECT_EQ(img.Pixels, grad);
  EXPECT_EQ(img.SourceBitDepth, 32);
  EXPECT_EQ(img.SourceColorType, int(BI_BITFIELDS));
  EXPECT_FALSE(img.TopDown);

  // A fully transparent image survives: the alpha mask says the zeros are meant.
  std::vector<std::uint32_t> clear(size_t(w) * h, 0x00336699u);
  bmp = EncodeBmp(clear.data(), w, h, w, 32);
  img = Decode(bmp);
  EXPECT_EQ(img.Pixels, clear);
  EXPECT_EQ(img.Transparency, TImageTransparency::Bit);

  bmp = EncodeBmp(grad.data(), w, h, w, 24);
  EXPECT_EQ(bmp.size(), 14u + 40u + 16u * h);
  img = Decode(bmp);
  for (size_t i = 0; i < grad.size(); ++i) ASSERT_EQ(img.Pixels[i], grad[i] | 0xFF000000u) << i;
  EXPECT_EQ(img.Transparency, TImageTransparency::None);

  EXPECT_THROW(EncodeBmp(grad.data(), w, h, w, 16), EInvalidGraphicOperation);
}

TEST(Codecs, BmpPaletteDepthsAndRowOrder) {
  // 1-bit, 9 pixels wide (two bytes of bits plus padding), bottom-up.
  BmpSpec s1;
  s1.Width = 9;
  s1.Height = 2;
  s1.Bpp = 1;
  s1.Palette = {0x000000FF, 0x00FF0000};  // blue, red
  s1.Pixels = {0xAA, 0x80, 0, 0,   // bottom row: 1010 1010 1
               0x00, 0x00, 0, 0};  // top row: all index 0
  TDecodedImage a = Decode(BuildBmp(s1));
  EXPECT_EQ(a.Pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(a.Pixel(0, 1), 0xFFFF0000u);
  EXPECT_EQ(a.Pixel(1, 1), 0xFF0000FFu);
  EXPECT_EQ(a.Pixel(8, 1), 0xFFFF0000u);
  EXPECT_EQ(a.SourceBitDepth, 1);

  // 4-bit, top-down, with a short colour table: index 3 lies beyond it and reads black.
  BmpSpec s4;
  s4.Width = 3;
  s4.Height = -2;
  s4.Bpp = 4;
  s4.ClrUsed = 3;
  s4.Palette = {0x00102030, 0x00405060, 0x00708090};
  s4.Pixels = {0x01, 0x20, 0, 0,  // top: 0 1 2
               0x23, 0x10, 0, 0};  // bottom: 2 3 1
  TDecodedImage b = Decode(BuildBmp(s4));
  EXPECT_TRUE(b.TopDown);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF102030u);
  EXPECT_EQ(b.Pixel(2, 0), 0xFF708090u);
  EXPECT_EQ(b.Pixel(1, 1), 0xFF000000u);
  EXPECT_EQ(b.Pixel(2, 1), 0xFF405060u);

  // 8-bit with an OS/2 core header (3-byte colour table entries, no compression field).
  BmpSpec s8;
  s8.HeaderSize = 12;
  s8.Width = 2;
  s8.Height = 1;
  s8.Bpp = 8;
  for (std::uint32_t i = 0; i < 256; ++i) s8.Palette.push_back(i * 0x010101u);
  s8.Pixels = {7, 200, 0, 0};
  TDecodedImage c = Decode(BuildBmp(s8));
  EXPECT_EQ(c.Pixel(0, 0), 0xFF070707u);
  EXPECT_EQ(c.Pixel(1, 0), 0xFFC8C8C8u);

  // 24-bit top-down.
  BmpSpec s24;
  s24.Width = 1;
  s24.Height = -2;
  s24.Pixels = {1, 2, 3, 0, 4, 5, 6, 0};
  TDecodedImage d = Decode(BuildBmp(s24));
  EXPECT_EQ(d.Pixel(0, 0), 0xFF030201u);
  EXPECT_EQ(d.Pixel(0, 1), 0xFF060504u);
}

TEST(Codecs, BmpBitfieldsAndAlpha) {
  // 16-bit BI_RGB is 5-5-5; the top bit is unused.
  BmpSpec s;
  s.Width = 2;
  s.Height = 1;
  s.Bpp = 16;
  s.Pixels = {0x00, 0xFC, 0x1F, 0x00};  // 0xFC00 (red 31, top bit set), 0x001F (blue 31)
  TDecodedImage a = Decode(BuildBmp(s));
  EXPECT_EQ(a.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(a.Pixel(1, 0), 0xFF0000FFu);

  // 16-bit 5-6-5 masks after a 40-byte header; mid values scale with rounding.
  s.Compression = BI_BITFIELDS;
  s.Masks = {0xF800, 0x07E0, 0x001F};
  std::uint16_t px = std::uint16_t((16 << 11) | (32 << 5) | 1);
  s.Pixels = {Byte(px), Byte(px >> 8), 0xE0, 0x07};
  TDecodedImage b = Decode(BuildBmp(s));
  EXPECT_EQ(b.Pixel(0, 0), 0xFF000000u | (132u << 16) | (130u << 8) | 8u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF00FF00u);

  // 32-bit with an alpha mask in a V5 header, swapped channel order.
  BmpSpec v5;
  v5.HeaderSize = 124;
  v5.Width = 1;
  v5.Height = 1;
  v5.Bpp = 32;
  v5.Compression = BI_BITFIELDS;
  v5.Masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};  // R G B A bytes
  v5.Pixels = {0x11, 0x22, 0x33, 0x80};
  TDecodedImage c = Decode(BuildBmp(v5));
  EXPECT_EQ(c.Pixel(0, 0), 0x80112233u);
  EXPECT_EQ(c.Transparency, TImageTransparency::Partial);

  // 32-bit BI_RGB: zero fourth bytes mean opaque, any non-zero one makes them alpha.
  BmpSpec rgb;
  rgb.Width = 2;
  rgb.Height = 1;
  rgb.Bpp = 32;
  rgb.Pixels = {1, 2, 3, 0, 4, 5, 6, 0};
  TDecodedImage d = Decode(BuildBmp(rgb));
  EXPECT_EQ(d.Pixel(0, 0), 0xFF030201u);
  EXPECT_EQ(d.Transparency, TImageTransparency::None);
  rgb.Pixels[7] = 0xFF;
  TDecodedImage e = Decode(BuildBmp(rgb));
  EXPECT_EQ(e.Pixel(0, 0), 0x00030201u);
  EXPECT_EQ(e.Pixel(1, 0), 0xFF060504u);
  EXPECT_EQ(e.Transparency, TImageTransparency::Bit);

  // 32-bit bit fields without an alpha mask are opaque.
  BmpSpec x;
  x.Width = 1;
  x.Height = 1;
  x.Bpp = 32;
  x.Compression = BI_BITFIELDS;
  x.Masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  x.Pixels = {9, 8, 7, 0};
  EXPECT_EQ(Decode(BuildBmp(x)).Pixel(0, 0), 0xFF070809u);
}

TEST(Codecs, BmpRleDecoding) {
  // RLE8, 4x3 bottom-up: row 0 run + absolute, row 1 skipped by a delta, row 2 a short run.
  BmpSpec s;
  s.Width = 4;
  s.Height = 3;
  s.Bpp = 8;
  s.Compression = BI_RLE8;
  s.ClrUsed = 4;
  s.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  s.Pixels = {2, 1,             // two red
              0, 3, 2, 3, 1, 0,  // absolute: green blue red, pad; red falls outside
              0, 2, 1, 1,       // delta: one right, one row up
              0, 0,             // end of line -> row 2, x 0
              1, 3,             // one blue
              0, 1};            // end of bitmap
  TDecodedImage a = Decode(BuildBmp(s));
  // File row 0 is the bottom image row.
  EXPECT_EQ(a.Pixel(0, 2), 0xFFFF0000u);
  EXPECT_EQ(a.Pixel(1, 2), 0xFFFF0000u);
  EXPECT_EQ(a.Pixel(2, 2), 0xFF00FF00u);
  EXPECT_EQ(a.Pixel(3, 2), 0xFF0000FFu);
  EXPECT_EQ(a.Pixel(0, 1), 0u);  // skipped: transparent
  EXPECT_EQ(a.Pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(a.Pixel(1, 0), 0u);
  EXPECT_EQ(a.Transparency, TImageTransparency::Bit);

  // RLE4: a run alternates the two nibbles; an absolute run of 3 takes two bytes.
  BmpSpec r4;
  r4.Width = 5;
  r4.Height = 1;
  r4.Bpp = 4;
  r4.Compression = BI_RLE4;
  r4.ClrUsed = 3;
  r4.Palette = {0x000000, 0xFF0000, 0x00FF00};
  r4.Pixels = {2, 0x12, 0, 3, 0x21, 0x00, 0, 1};
  TDecodedImage b = Decode(BuildBmp(r4));
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF00FF00u);
  EXPECT_EQ(b.Pixel(2, 0), 0xFF00FF00u);
  EXPECT_EQ(b.Pixel(3, 0), 0xFFFF0000u);
  EXPECT_EQ(b.Pixel(4, 0), 0xFF000000u);

  // Data that stops before the end-of-bitmap marker is refused.
  r4.Pixels.resize(5);
  EXPECT_NE(DecodeError(BuildBmp(r4)).find("RLE"), std::string::npos);
}

TEST(Codecs, BmpInvalidHeadersAreRefusedWithReasons) {
  BmpSpec ok;
  ok.Width = 1;
  ok.Height = 1;
  ok.Pixels = {0, 0, 0, 0};

  BmpSpec s = ok;
  s.Bpp = 2;
  EXPECT_NE(DecodeError(BuildBmp(s)).find("bit count 2"), std::string::npos);
  s = ok;
  s.Width = 0;
  EXPECT_NE(DecodeError(BuildBmp(s)).find("invalid size"), std::string::npos);
  s = ok;
  s.Width = 40000;
  EXPECT_NE(DecodeError(BuildBmp(s)).find("too large"), std::string::npos);
  s = ok;
  s.Width = 30000;
  s.Height = 30000;
  EXPECT_NE(DecodeError(BuildBmp(s)).find("too large"), std::string::npos);
  s = ok;
  s.Width = 16000;
  s.Height = 16000;
  std::string err = DecodeError(BuildBmp(s));  // 768 MB of rows in a 58-byte file
  EXPECT_NE(err.find("truncated pixel data"), std::string::npos) << err;
  EXPECT_NE(err.find("test.bmp"), std::string::npos) << err;
  s = ok;
  s.Bpp = 32;
  s.Compression = BI_BITFIELDS;
  s.Masks = {0x00F0F000, 0x0000000F, 0};
  EXPECT_NE(DecodeError(BuildBmp(s)).find("not contiguous"), std::string::npos);
  s = ok;
  s.Bpp = 8;
  s.Height = -1;
  s.Compression = BI_RLE8;
  EXPECT_NE(DecodeError(BuildBmp(s)).find("top-down"), std::string::npos);
  s = ok;
  s.Compression = 4;
  EXPECT_NE(DecodeError(BuildBmp(s)).find("JPEG"), std::string::npos);
  std::vector<Byte> bad = BuildBmp(ok);
  bad[14] = 77;  // header size
  EXPECT_NE(DecodeError(bad).find("header size 77"), std::string::npos);
  bad = BuildBmp(ok);
  bad[10] = 0xF0;  // pixel offset beyond the data
  EXPECT_NE(DecodeError(bad).find("offset"), std::string::npos);
  EXPECT_THROW(DecodeImage("GIF89a......", 12, u"x.gif"), EInvalidGraphic);
  try {
    DecodeImage("BM\0\0", 4, u"short.bmp");
    ADD_FAILURE() << "accepted";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find("BMP image 'short.bmp' is invalid: truncated"),
              std::string::npos) << e.what();
  }
  EXPECT_THROW(DecodePng(nullptr, 0), EInvalidGraphic);
  EXPECT_THROW(DecodeBmp(nullptr, 0), EInvalidGraphic);
}

TEST(Codecs, TruncatedFilesAlwaysRaise) {
  std::vector<std::uint32_t> grad = Gradient(5, 4, true);
  std::vector<Byte> png = EncodePng(grad.data(), 5, 4, 5);
  std::vector<Byte> bmp = EncodeBmp(grad.data(), 5, 4, 5, 24);
  ASSERT_NO_THROW(DecodePng(png.data(), png.size()));
  ASSERT_NO_THROW(DecodeBmp(bmp.data(), bmp.size()));
  for (size_t n = 0; n < png.size(); ++n) {
    // A copy of exactly n bytes, so any read past the end is caught by the sanitizer.
    std::vector<Byte> cut(png.begin(), png.begin() + std::ptrdiff_t(n));
    EXPECT_THROW(DecodePng(cut.data(), cut.size(), u"cut.png"), EInvalidGraphic) << n;
  }
  for (size_t n = 0; n < bmp.size(); ++n) {
    std::vector<Byte> cut(bmp.begin(), bmp.begin() + std::ptrdiff_t(n));
    EXPECT_THROW(DecodeBmp(cut.data(), cut.size(), u"cut.bmp"), EInvalidGraphic) << n;
  }
}

namespace {
std::uint32_t Crc32(const Byte* p, size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}
void PutBE(std::vector<Byte>& v, size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = Byte(x >> (24 - 8 * i));
}
// Recomputes every chunk CRC, so mutated chunk data gets past the CRC checks.
void FixCrcs(std::vector<Byte>& v) {
  size_t pos = 8;
  while (v.size() - pos >= 12) {
    std::uint32_t len = (std::uint32_t(v[pos]) << 24) | (v[pos + 1] << 16) | (v[pos + 2] << 8) | v[pos + 3];
    if (len > v.size() - pos - 12) break;
    PutBE(v, pos + 8 + len, Crc32(&v[pos + 4], len + 4));
    pos += 12 + len;
  }
}
}  // namespace

TEST(Codecs, PngSizeBombsAreRefusedBeforeAllocating) {
  std::vector<std::uint32_t> grad = Gradient(4, 4, true);
  std::vector<Byte> png = EncodePng(grad.data(), 4, 4, 4);
  auto withSize = [&](std::uint32_t w, std::uint32_t h) {
    std::vector<Byte> v = png;
    PutBE(v, 16, w);  // IHDR data starts at 16
    PutBE(v, 20, h);
    PutBE(v, 29, Crc32(&v[12], 17));
    try {
      DecodePng(v.data(), v.size(), u"bomb.png");
    } catch (const EInvalidGraphic& e) {
      return std::string(e.what());
    }
    return std::string("(accepted)");
  };
  EXPECT_NE(withSize(16000, 16000).find("too short"), std::string::npos);
  EXPECT_NE(withSize(40000, 1).find("bomb.png"), std::string::npos);
  EXPECT_NE(withSize(32768, 32768).find("too large"), std::string::npos);
}

TEST(Codecs, MutatedFilesDecodeOrRaiseButNeverCrash) {
  std::vector<std::uint32_t> grad = Gradient(6, 5, true);
  std::mt19937 rng(12345);
  for (int bits : {32, 24}) {
    std::vector<Byte> base = EncodeBmp(grad.data(), 6, 5, 6, bits);
    for (int iter = 0; iter < 1500; ++iter) {
      std::vector<Byte> v = base;
      int edits = 1 + int(rng() % 4);
      for (int e = 0; e < edits; ++e) {
        // Mostly the headers, where the interesting fields are.
        size_t at = (rng() % 4) ? rng() % std::min<size_t>(70, v.size()) : rng() % v.size();
        v[at] = Byte(rng());
      }
      if (rng() % 8 == 0) v.resize(rng() % v.size());
      try {
        TDecodedImage img = DecodeBmp(v.data(), v.size());
        ASSERT_EQ(img.Pixels.size(), size_t(img.Width) * size_t(img.Height));
      } catch (const EInvalidGraphic&) {
      }
    }
  }
  std::vector<Byte> base = EncodePng(grad.data(), 6, 5, 6);
  for (int iter = 0; iter < 1500; ++iter) {
    std::vector<Byte> v = base;
    v[8 + rng() % (v.size() - 8)] = Byte(rng());
    if (iter % 2) FixCrcs(v);
    try {
      TDecodedImage img = DecodePng(v.data(), v.size());
      ASSERT_EQ(img.Pixels.size(), size_t(img.Width) * size_t(img.Height));
    } catch (const EInvalidGraphic&) {
    }
  }
}

TEST(Codecs, DibSectionsFromAndToDecodedImages) {
  TDecodedImage img;
  img.Width = 2;
  img.Height = 2;
  img.Pixels = {0x80FF0000u, 0xFF00FF00u, 0x00FFFFFFu, 0x400000FFu};
  HBITMAP pre = CreateDibFromImage(img, true);
  ASSERT_NE(pre, nullptr);
  DIBSECTION ds;
  ASSERT_EQ(GetObject(pre, &ds), int(sizeof(DIBSECTION)));
  EXPECT_EQ(ds.dsBmih.biBitCount, 32);
  EXPECT_LT(ds.dsBmih.biHeight, 0);  // top-down
  const auto* bits = static_cast<const std::uint32_t*>(ds.dsBm.bmBits);
  EXPECT_EQ(bits[0], 0x80800000u);
  EXPECT_EQ(bits[2], 0u);
  EXPECT_EQ(bits[3], 0x40000040u);

  TDecodedImage back = ImageFromBitmap(pre, true);
  EXPECT_EQ(back.Pixel(0, 0), 0x80FF0000u);
  EXPECT_EQ(back.Pixel(1, 0), 0xFF00FF00u);
  EXPECT_EQ(back.Pixel(0, 1), 0u);
  EXPECT_EQ(back.Pixel(1, 1), 0x400000FFu);
  EXPECT_EQ(back.Transparency, TImageTransparency::Partial);

  HBITMAP straight = CreateDibFromImage(img, false);
  EXPECT_EQ(ImageFromBitmap(straight, false).Pixels, img.Pixels);
  EXPECT_EQ(CreateDibFromImage(TDecodedImage{}, true), nullptr);
  DeleteObject(pre);
  DeleteObject(straight);
}
