// TBitmap: alpha formats, row order, sizes and formats, BMP files.
#include <cstring>
#include <string>

#include "GraphicsTest.h"
#include "host/gdi/Codecs.h"
#include "host/gdi/GdiInternal.h"
#include "host/rtl/Streams.h"

using namespace vcl;
using namespace gfxtest;

TEST(Bitmap, AlphaFormatConversionsOnKnownPixels) {
  TBitmap b;
  Make32(b, 5, 1);
  // Straight pixels: half-transparent orange, invisible colour, opaque, nearly invisible white,
  // and one whose premultiplied channels round up.
  const std::uint32_t straight[5] = {0x80FF8040, 0x00123456, 0xFFABCDEF, 0x01FFFFFF, 0xC0030201};
  for (int x = 0; x < 5; ++x) Px(b, x, 0) = straight[x];
  TCounter changes;
  b.SetOnChange(changes.Event());

  b.SetAlphaFormat(afPremultiplied);  // (c * a + 127) / 255
  EXPECT_EQ(Hex(Px(b, 0, 0)), "80804020");
  EXPECT_EQ(Hex(Px(b, 1, 0)), "00000000");
  EXPECT_EQ(Hex(Px(b, 2, 0)), "FFABCDEF");
  EXPECT_EQ(Hex(Px(b, 3, 0)), "01010101");
  EXPECT_EQ(Hex(Px(b, 4, 0)), "C0020201");
  EXPECT_EQ(changes.Count, 1);

  b.SetAlphaFormat(afDefined);  // (c * 255 + a / 2) / a
  EXPECT_EQ(Hex(Px(b, 0, 0)), "80FF8040");
  EXPECT_EQ(Hex(Px(b, 1, 0)), "00000000");  // the colour of an invisible pixel is gone
  EXPECT_EQ(Hex(Px(b, 2, 0)), "FFABCDEF");
  EXPECT_EQ(Hex(Px(b, 3, 0)), "01FFFFFF");
  EXPECT_EQ(Hex(Px(b, 4, 0)), "C0030301");  // green 2 -> 2 -> 3: premultiplying lost it
  EXPECT_EQ(changes.Count, 2);

  // Between the two straight formats nothing moves; setting the same format is no change.
  b.SetAlphaFormat(afIgnored);
  EXPECT_EQ(Hex(Px(b, 0, 0)), "80FF8040");
  b.SetAlphaFormat(afIgnored);
  EXPECT_EQ(changes.Count, 3);
  // afIgnored -> afPremultiplied premultiplies, afPremultiplied -> afIgnored un-premultiplies.
  b.SetAlphaFormat(afPremultiplied);
  EXPECT_EQ(Hex(Px(b, 0, 0)), "80804020");
  b.SetAlphaFormat(afIgnored);
  EXPECT_EQ(Hex(Px(b, 0, 0)), "80FF8040");

  // Rows of other depths have no alpha to convert.
  TBitmap rgb;
  rgb.SetPixelFormat(pf24bit);
  rgb.SetSize(1, 1);
  auto* p = static_cast<Byte*>(rgb.ScanLine(0));
  p[0] = 10, p[1] = 20, p[2] = 30;
  rgb.SetAlphaFormat(afPremultiplied);
  EXPECT_EQ(p[0] + p[1] * 256 + p[2] * 65536, 10 + 20 * 256 + 30 * 65536);
}

TEST(Bitmap, UnpremultiplyThenPremultiplyGivesBackEveryPremultipliedPixel) {
  // Every valid premultiplied (channel, alpha) pair, channel in the blue byte, red = alpha.
  TBitmap b;
  Make32(b, 256, 256);
  for (int a = 0; a < 256; ++a)
    for (int c = 0; c < 256; ++c)
      Px(b, c, a) = c <= a ? (std::uint32_t(a) << 24) | (std::uint32_t(a) << 16) | c : 0;
  HBITMAP h = b.ReleaseHandle();
  TBitmap pre;
  pre.SetHandle(h, afPremultiplied);
  ASSERT_EQ(pre.PixelFormat(), pf32bit);
  pre.SetAlphaFormat(afDefined);
  pre.SetAlphaFormat(afPremultiplied);
  int wrong = 0;
  for (int a = 0; a < 256; ++a)
    for (int c = 0; c <= a; ++c)
      wrong += Px(pre, c, a) != ((std::uint32_t(a) << 24) | (std::uint32_t(a) << 16) | c);
  EXPECT_EQ(wrong, 0);
}

TEST(Bitmap, ScanLineCountsRowsFromTheTop) {
  TBitmap b;
  b.SetSize(3, 4);
  EXPECT_EQ(b.PixelFormat(), pfDevice);
  EXPECT_EQ(b.HandleType(), bmDDB);
  auto* row0 = static_cast<Byte*>(b.ScanLine(0));
  EXPECT_EQ(b.PixelFormat(), pf32bit);  // direct row access makes it a DIB
  auto* row1 = static_cast<Byte*>(b.ScanLine(1));
  EXPECT_EQ(row1 - row0, b.RowBytes());
  EXPECT_EQ(b.RowBytes(), 12);

  // Rows written directly are the rows the canvas sees, top first, and the other way round.
  Px(b, 0, 0) = 0xFFFF0000;  // red
  Px(b, 0, 3) = 0xFF0000FF;  // blue
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), TColor(RGB(255, 0, 0)));
  EXPECT_EQ(b.Canvas()->Pixels(0, 3), TColor(RGB(0, 0, 255)));
  b.Canvas()->Brush()->SetColor(clLime);
  b.Canvas()->FillRect(Rect(0, 1, 3, 2));
  EXPECT_EQ(Hex(Px(b, 2, 1)), "FF00FF00");
  EXPECT_EQ(Hex(Px(b, 2, 0)), "00000000");

  // 24-bit rows are blue, green, red bytes, also top first.
  TBitmap c;
  c.SetPixelFormat(pf24bit);
  c.SetSize(2, 2);
  c.Canvas()->Brush()->SetColor(TColor(RGB(1, 2, 3)));
  c.Canvas()->FillRect(Rect(0, 1, 2, 2));
  auto* bottom = static_cast<Byte*>(c.ScanLine(1));
  EXPECT_EQ(bottom[0], 3);
  EXPECT_EQ(bottom[1], 2);
  EXPECT_EQ(bottom[2], 1);
  EXPECT_EQ(static_cast<Byte*>(c.ScanLine(0))[2], 0);

  try {
    b.ScanLine(4);
    ADD_FAILURE() << "row 4 of 4 accepted";
  } catch (const EInvalidGraphicOperation& e) {
    EXPECT_NE(std::string(e.what()).find("4"), std::string::npos) << e.what();
  }
  EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
  TBitmap empty;
  EXPECT_THROW(empty.ScanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmap, ResizingKeepsTheTopLeftPixelsAndFormatsConvert) {
  TBitmap b;
  Make32(b, 2, 2, 0xFF112233);
  b.SetSize(3, 1);
  EXPECT_EQ(Hex(Px(b, 0, 0)), "FF112233");
  EXPECT_EQ(Hex(Px(b, 1, 0)), "FF112233");
  EXPECT_EQ(Hex(Px(b, 2, 0)), "00000000");
  b.SetSize(0, 5);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Handle(), nullptr);
  EXPECT_THROW(b.SetSize(-1, 2), EInvalidGraphicOperation);
  EXPECT_THROW(b.SetSize(40000, 1), EInvalidGraphicOperation);

  Make32(b, 2, 1);
  Px(b, 0, 0) = 0xFF102030;
  Px(b, 1, 0) = 0xFFFEFEFE;
  b.SetPixelFormat(pf24bit);
  EXPECT_EQ(b.BitsPerPixel(), 24);
  auto* p = static_cast<Byte*>(b.ScanLine(0));
  EXPECT_EQ(p[0], 0x30);
  EXPECT_EQ(p[2], 0x10);
  b.SetPixelFormat(pf1bit);  // nearest of black and white
  EXPECT_TRUE(b.Monochrome());
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlack);
  EXPECT_EQ(b.Canvas()->Pixels(1, 0), clWhite);
  b.SetPixelFormat(pf32bit);
  EXPECT_EQ(Hex(Px(b, 1, 0)), "FFFFFFFF");
  EXPECT_THROW(b.SetPixelFormat(pf16bit), EInvalidGraphicOperation);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
}

TEST(Bitmap, AssignCopiesPixelsAndSettings) {
  TBitmap a;
  Make32(a, 2, 2, 0x80402010);
  a.SetAlphaFormat(afDefined);
  a.SetTransparentColor(clRed);
  a.SetTransparent(true);
  TBitmap b;
  b.Assign(&a);
  Px(a, 0, 0) = 0;
  EXPECT_EQ(Hex(Px(b, 0, 0)), "80402010");
  EXPECT_EQ(b.AlphaFormat(), afDefined);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_EQ(b.TransparentColor(), clRed);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, TransparentColorFollowsTheBottomLeftPixelUntilFixed) {
  TBitmap b;
  Make32(b, 2, 2, 0xFF0000FF);
  Px(b, 0, 1) = 0xFF00FF00;
  EXPECT_EQ(b.TransparentMode(), tmAuto);
  EXPECT_EQ(b.TransparentColor(), clLime);
  b.SetTransparentColor(clBtnFace);
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_EQ(b.TransparentColor(), TColor(GetSysColor(COLOR_BTNFACE)));
  b.SetTransparentMode(tmAuto);
  EXPECT_EQ(b.TransparentColor(), clLime);
}

TEST(Bitmap, BmpFilesRoundTripAndBadFilesLeaveTheBitmapAlone) {
  // 32 bits: premultiplied rows are written straight and read back as afIgnored rows.
  TBitmap a;
  Make32(a, 3, 2, 0xFF203040);
  Px(a, 1, 0) = 0x80402010;
  Px(a, 2, 1) = 0x00000000;
  a.SetHandle(a.ReleaseHandle(), afPremultiplied);
  TBytesStream s;
  a.SaveToStream(&s);
  s.WriteBuffer("tail", 4);  // data after the file stays unread
  s.SetPosition(0);
  TBitmap b;
  b.LoadFromStream(&s);
  EXPECT_EQ(s.Position(), s.Size() - 4);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(b.AlphaFormat(), afIgnored);
  EXPECT_EQ(Hex(Px(b, 1, 0)), "80804020");
  b.SetAlphaFormat(afPremultiplied);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Hex(Px(b, x, y)), Hex(Px(a, x, y))) << x << "," << y;

  // 24 bits stay 24 bits.
  TBitmap c;
  c.SetPixelFormat(pf24bit);
  c.SetSize(5, 3);
  c.Canvas()->Brush()->SetColor(TColor(RGB(9, 8, 7)));
  c.Canvas()->FillRect(Rect(1, 1, 4, 3));
  TBytesStream s24;
  c.SaveToStream(&s24);
  s24.SetPosition(0);
  TBitmap d;
  d.LoadFromStream(&s24);
  EXPECT_EQ(d.PixelFormat(), pf24bit);
  EXPECT_EQ(d.Canvas()->Pixels(2, 2), TColor(RGB(9, 8, 7)));
  EXPECT_EQ(d.Canvas()->Pixels(0, 0), clBlack);

  // A truncated file: the error names the source and the bitmap keeps its pixels.
  std::vector<Byte> bytes(s24.Bytes().begin(), s24.Bytes().begin() + 40);
  TBytesStream bad(bytes);
  TCounter changes;
  d.SetOnChange(changes.Event());
  EXPECT_THROW(d.LoadFromStream(&bad), EInvalidGraphic);
  EXPECT_EQ(bad.Position(), 0);
  EXPECT_EQ(changes.Count, 0);
  EXPECT_EQ(d.Width(), 5);
  EXPECT_EQ(d.Canvas()->Pixels(2, 2), TColor(RGB(9, 8, 7)));
  TStringStream text("not an image");
  EXPECT_THROW(d.LoadFromStream(&text), EInvalidGraphic);
}

TEST(Bitmap, LoadFromFileNamesTheFile) {
  TBitmap b;
  try {
    b.LoadFromFile(u"/nonexistent/picture.bmp");
    ADD_FAILURE() << "loaded";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("picture.bmp"), std::string::npos) << e.what();
  }
}
