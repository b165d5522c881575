// Image lists: adding, replacing and removing images, and drawing them (masks, background
// colours, blending, per-pixel alpha, DC origins and clipping) onto known backgrounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/gdi/Gdi.h"
#include "host/gdi/GdiInternal.h"
#include "host/gdi/ImageList.h"

using namespace vcl;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;
constexpr std::uint32_t kMagenta = 0xFFFF00FFu, kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;

// A memory DC drawing into a top-down 32-bit DIB filled with one colour.
struct Canvas {
  HDC Dc = nullptr;
  HBITMAP Bmp = nullptr;
  std::uint32_t* Px = nullptr;
  int W;
  Canvas(int w, int h, std::uint32_t fill) : W(w) {
    void* bits = nullptr;
    Bmp = CreateDIB32(w, h, &bits);
    Px = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) Px[i] = fill;
    Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bmp);
  }
  ~Canvas() {
    DeleteDC(Dc);
    DeleteObject(Bmp);
  }
  std::uint32_t At(int x, int y) const { return Px[y * W + x]; }
};

// A top-down 32-bit bitmap of w x h premultiplied pixels from a function of (x, y).
template <class F>
HBITMAP MakeBitmap(int w, int h, F&& fn) {
  void* bits = nullptr;
  HBITMAP b = CreateDIB32(w, h, &bits);
  auto* px = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[y * w + x] = fn(x, y);
  return b;
}

HBITMAP Solid(int w, int h, std::uint32_t c) {
  return MakeBitmap(w, h, [c](int, int) { return c; });
}

// The colour of pixel (x, y) of image i, read through GetImageInfo.
std::uint32_t StoredPixel(HIMAGELIST il, int i, int x, int y) {
  IMAGEINFO info;
  if (!ImageList_GetImageInfo(il, i, &info)) return 0xDEADBEEFu;
  const BYTE* row = BitmapRow(info.hbmImage, info.rcImage.Top + y);
  return reinterpret_cast<const std::uint32_t*>(row)[info.rcImage.Left + x];
}

// A 4x4 list image: left half red, right half blue, with the right half masked out.
struct HalfMasked {
  HIMAGELIST Il = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 1, 1);
  HalfMasked() {
    HBITMAP img = MakeBitmap(4, 4, [](int x, int) { return x < 2 ? kRed : kBlue; });
    // Monochrome mask, WORD-aligned rows: 0011 -> right half transparent.
    const BYTE bits[8] = {0x30, 0, 0x30, 0, 0x30, 0, 0x30, 0};
    HBITMAP mask = CreateBitmap(4, 4, 1, 1, bits);
    EXPECT_EQ(ImageList_Add(Il, img, mask), 0);
    DeleteObject(img);
    DeleteObject(mask);
  }
  ~HalfMasked() { ImageList_Destroy(Il); }
};

}  // namespace

TEST(ImageList, AddReplaceRemoveAndCounts) {
  HIMAGELIST il = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 1, 1);
  ASSERT_NE(il, nullptr);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(il, &cx, &cy));
  EXPECT_EQ(cx, 4);
  EXPECT_EQ(cy, 4);

  // A 12-pixel-wide strip adds three images; a narrower bitmap adds none.
  const std::uint32_t colors[3] = {kRed, kGreen, kBlue};
  HBITMAP strip = MakeBitmap(12, 4, [&](int x, int) { return colors[x / 4]; });
  EXPECT_EQ(ImageList_Add(il, strip, nullptr), 0);
  EXPECT_EQ(ImageList_GetImageCount(il), 3);
  HBITMAP one = Solid(4, 4, kMagenta);
  EXPECT_EQ(ImageList_Add(il, one, nullptr), 3);  // grows past the initial capacity
  HBITMAP narrow = Solid(3, 4, kBlack);
  EXPECT_EQ(ImageList_Add(il, narrow, nullptr), -1);
  EXPECT_EQ(ImageList_GetImageCount(il), 4);

  IMAGEINFO info;
  ASSERT_TRUE(ImageList_GetImageInfo(il, 2, &info));
  EXPECT_EQ(info.rcImage, Bounds(0, 8, 4, 4));
  EXPECT_NE(info.hbmMask, nullptr);
  EXPECT_FALSE(ImageList_GetImageInfo(il, 4, &info));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(StoredPixel(il, i, 3, 3), colors[i]) << i;
  EXPECT_EQ(StoredPixel(il, 3, 0, 0), kMagenta);

  EXPECT_TRUE(ImageList_Remove(il, 1));
  EXPECT_EQ(ImageList_GetImageCount(il), 3);
  EXPECT_EQ(StoredPixel(il, 1, 0, 0), kBlue);
  EXPECT_EQ(StoredPixel(il, 2, 0, 0), kMagenta);
  EXPECT_FALSE(ImageList_Remove(il, 3));

  EXPECT_TRUE(ImageList_Replace(il, 0, one, nullptr));
  EXPECT_EQ(StoredPixel(il, 0, 1, 1), kMagenta);
  EXPECT_FALSE(ImageList_Replace(il, 5, one, nullptr));

  EXPECT_TRUE(ImageList_Copy(il, 0, il, 1, ILCF_SWAP));
  EXPECT_EQ(StoredPixel(il, 0, 0, 0), kBlue);
  EXPECT_EQ(StoredPixel(il, 1, 0, 0), kMagenta);
  EXPECT_TRUE(ImageList_Copy(il, 2, il, 0, ILCF_MOVE));
  EXPECT_EQ(StoredPixel(il, 2, 0, 0), kBlue);
  EXPECT_EQ(ImageList_GetImageCount(il), 3);

  HIMAGELIST dup = ImageList_Duplicate(il);
  ASSERT_NE(dup, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(dup), 3);
  EXPECT_EQ(StoredPixel(dup, 1, 0, 0), kMagenta);
  EXPECT_TRUE(ImageList_Remove(dup, -1));
  EXPECT_EQ(ImageList_GetImageCount(dup), 0);
  EXPECT_EQ(ImageList_GetImageCount(il), 3);

  EXPECT_TRUE(ImageList_SetImageCount(il, 6));
  EXPECT_EQ(ImageList_GetImageCount(il), 6);
  EXPECT_EQ(StoredPixel(il, 5, 0, 0), 0u);
  EXPECT_TRUE(ImageList_SetImageCount(il, 2));
  EXPECT_EQ(ImageList_GetImageCount(il), 2);

  EXPECT_TRUE(ImageList_SetIconSize(il, 8, 6));
  EXPECT_EQ(ImageList_GetImageCount(il), 0);
  ASSERT_TRUE(ImageList_GetIconSize(il, &cx, &cy));
  EXPECT_EQ(cx, 8);
  EXPECT_EQ(cy, 6);
  HBITMAP big = Solid(16, 6, kGreen);
  EXPECT_EQ(ImageList_Add(il, big, nullptr), 0);
  EXPECT_EQ(ImageList_GetImageCount(il), 2);

  EXPECT_EQ(ImageList_SetBkColor(il, RGB(1, 2, 3)), CLR_NONE);
  EXPECT_EQ(ImageList_GetBkColor(il), RGB(1, 2, 3));

  EXPECT_TRUE(ImageList_Destroy(il));
  EXPECT_TRUE(ImageList_Destroy(dup));
  // Destroyed handles are refused, not used.
  EXPECT_FALSE(ImageList_Destroy(il));
  EXPECT_EQ(ImageList_GetImageCount(il), 0);
  EXPECT_EQ(ImageList_Add(il, one, nullptr), -1);
  EXPECT_EQ(ImageList_Create(0, 4, ILC_COLOR32, 1, 1), nullptr);
  for (HBITMAP b : {strip, one, narrow, big}) DeleteObject(b);
}

TEST(ImageList, MaskedDrawingWithBackgroundColours) {
  HalfMasked h;
  Canvas c(8, 8, kGreen);
  // Default background CLR_NONE: the masked half leaves the destination.
  ASSERT_TRUE(ImageList_Draw(h.Il, 0, c.Dc, 2, 2, ILD_NORMAL));
  EXPECT_EQ(c.At(2, 2), kRed);
  EXPECT_EQ(c.At(3, 5), kRed);
  EXPECT_EQ(c.At(4, 2), kGreen);
  EXPECT_EQ(c.At(1, 2), kGreen);  // outside the image

  // A list background fills the masked half, unless ILD_TRANSPARENT.
  ImageList_SetBkColor(h.Il, RGB(255, 255, 0));
  ImageList_Draw(h.Il, 0, c.Dc, 2, 2, ILD_NORMAL);
  EXPECT_EQ(c.At(5, 5), 0xFFFFFF00u);
  Canvas t(8, 8, kGreen);
  ImageList_Draw(h.Il, 0, t.Dc, 2, 2, ILD_TRANSPARENT);
  EXPECT_EQ(t.At(5, 5), kGreen);
  EXPECT_EQ(t.At(2, 2), kRed);
  // An explicit background overrides the list's.
  ImageList_DrawEx(h.Il, 0, t.Dc, 2, 2, 0, 0, RGB(255, 255, 255), CLR_DEFAULT, ILD_NORMAL);
  EXPECT_EQ(t.At(5, 5), kWhite);

  // The mask itself, copied and ANDed; the image without its mask.
  Canvas m(4, 4, kGreen);
  ImageList_Draw(h.Il, 0, m.Dc, 0, 0, ILD_MASK);
  EXPECT_EQ(m.At(0, 0), kBlack);
  EXPECT_EQ(m.At(3, 0), kWhite);
  Canvas ma(4, 4, kGreen);
  ImageList_Draw(h.Il, 0, ma.Dc, 0, 0, ILD_MASK | ILD_TRANSPARENT);
  EXPECT_EQ(ma.At(0, 0), kBlack);
  EXPECT_EQ(ma.At(3, 0), kGreen);
  Canvas im(4, 4, kGreen);
  ImageList_Draw(h.Il, 0, im.Dc, 0, 0, ILD_IMAGE);
  EXPECT_EQ(im.At(3, 3), kBlue);

  // Part of the image only.
  Canvas p(4, 4, kGreen);
  ImageList_DrawEx(h.Il, 0, p.Dc, 0, 0, 1, 2, CLR_NONE, CLR_NONE, ILD_NORMAL);
  EXPECT_EQ(p.At(0, 1), kRed);
  EXPECT_EQ(p.At(1, 1), kGreen);
  EXPECT_EQ(p.At(0, 2), kGreen);

  EXPECT_FALSE(ImageList_Draw(h.Il, 1, c.Dc, 0, 0, ILD_NORMAL));
  EXPECT_FALSE(ImageList_Draw(h.Il, 0, nullptr, 0, 0, ILD_NORMAL));
}

TEST(ImageList, BlendedDrawing) {
  HalfMasked h;
  Canvas c(4, 4, kGreen);
  // 50 % white into red: (0 * 2 + 255 * 2 + 2) / 4 = 128 for green and blue.
  ImageList_DrawEx(h.Il, 0, c.Dc, 0, 0, 0, 0, CLR_NONE, RGB(255, 255, 255), ILD_BLEND50);
  EXPECT_EQ(c.At(0, 0), 0xFFFF8080u);
  EXPECT_EQ(c.At(3, 0), kGreen);  // masked pixels are not blended

  // 25 % of the highlight colour for CLR_DEFAULT.
  COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
  auto mix25 = [](std::uint32_t v, std::uint32_t f) { return (3 * v + f + 2) / 4; };
  std::uint32_t want = 0xFF000000u | (mix25(255, GetRValue(hl)) << 16) |
                       (mix25(0, GetGValue(hl)) << 8) | mix25(0, GetBValue(hl));
  ImageList_DrawEx(h.Il, 0, c.Dc, 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_FOCUS);
  EXPECT_EQ(c.At(1, 1), want);
  ImageList_Draw(h.Il, 0, c.Dc, 0, 0, ILD_SELECTED);  // ImageList_Draw blends with highlight too
  auto mix50 = [](std::uint32_t v, std::uint32_t f) { return (2 * v + 2 * f + 2) / 4; };
  EXPECT_EQ(c.At(1, 1), 0xFF000000u | (mix50(255, GetRValue(hl)) << 16) |
                            (mix50(0, GetGValue(hl)) << 8) | mix50(0, GetBValue(hl)));

  // CLR_NONE: the image is half transparent over the destination.
  Canvas d(4, 4, kGreen);
  ImageList_DrawEx(h.Il, 0, d.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_BLEND50);
  EXPECT_EQ(d.At(0, 0), 0xFF807F00u);
}

TEST(ImageList, AddMaskedMakesTheKeyColourTransparent) {
  HBITMAP img = MakeBitmap(4, 2, [](int x, int y) { return (x + y) % 2 ? kRed : kMagenta; });
  // A list with a mask: key pixels are blackened and masked.
  HIMAGELIST masked = ImageList_Create(4, 2, ILC_COLOR24 | ILC_MASK, 1, 1);
  ASSERT_EQ(ImageList_AddMasked(masked, img, RGB(255, 0, 255)), 0);
  EXPECT_EQ(StoredPixel(masked, 0, 0, 0), kBlack);
  EXPECT_EQ(StoredPixel(masked, 0, 1, 0), kRed);
  Canvas c(4, 2, kBlue);
  ImageList_Draw(masked, 0, c.Dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(c.At(0, 0), kBlue);
  EXPECT_EQ(c.At(1, 0), kRed);
  EXPECT_EQ(c.At(0, 1), kRed);

  // A 32-bit list without a mask: key pixels become fully transparent; CLR_DEFAULT takes the
  // top-left pixel's colour (magenta here).
  HIMAGELIST alpha = ImageList_Create(4, 2, ILC_COLOR32, 1, 1);
  ASSERT_EQ(ImageList_AddMasked(alpha, img, CLR_DEFAULT), 0);
  EXPECT_EQ(StoredPixel(alpha, 0, 0, 0), 0u);
  Canvas d(4, 2, kBlue);
  ImageList_Draw(alpha, 0, d.Dc, 0, 0, ILD_NORMAL);
  EXPECT_EQ(d.At(0, 0), kBlue);
  EXPECT_EQ(d.At(1, 0), kRed);
  ImageList_Destroy(masked);
  ImageList_Destroy(alpha);
  DeleteObject(img);
}

TEST(ImageList, AlphaImagesBlendOverTheBackground) {
  // Premultiplied: half-transparent red, fully transparent, opaque green, quarter-opaque white.
  const std::uint32_t px[4] = {0x80800000u, 0x00000000u, kGreen, 0x40404040u};
  HBITMAP img = MakeBitmap(4, 1, [&](int x, int) { return px[x]; });
  HIMAGELIST il = ImageList_Create(4, 1, ILC_COLOR32 | ILC_MASK, 1, 1);
  ASSERT_EQ(ImageList_Add(il, img, nullptr), 0);
  Canvas c(4, 1, kBlue);
  ImageList_Draw(il, 0, c.Dc, 0, 0, ILD_NORMAL);
  // 0x80 red + blue * 127 / 255.
  EXPECT_EQ(c.At(0, 0), 0xFF80007Fu);
  EXPECT_EQ(c.At(1, 0), kBlue);
  EXPECT_EQ(c.At(2, 0), kGreen);
  EXPECT_EQ(c.At(3, 0), 0xFF4040FFu);
  // The mask of an alpha image comes from its zero-alpha pixels.
  Canvas m(4, 1, kBlue);
  ImageList_Draw(il, 0, m.Dc, 0, 0, ILD_MASK);
  EXPECT_EQ(m.At(0, 0), kBlack);
  EXPECT_EQ(m.At(1, 0), kWhite);

  // With a background colour the image is composed over it.
  Canvas b(4, 1, kBlue);
  ImageList_DrawEx(il, 0, b.Dc, 0, 0, 0, 0, RGB(255, 255, 255), CLR_NONE, ILD_NORMAL);
  EXPECT_EQ(b.At(0, 0), 0xFFFF7F7Fu);
  EXPECT_EQ(b.At(1, 0), kWhite);

  // A 24-bit list drops the alpha; a 32-bit image with all-zero alpha is opaque.
  HIMAGELIST rgb = ImageList_Create(4, 1, ILC_COLOR24, 1, 1);
  ImageList_Add(rgb, img, nullptr);
  Canvas r(4, 1, kBlue);
  ImageList_Draw(rgb, 0, r.Dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(r.At(0, 0), 0xFF800000u);
  EXPECT_EQ(r.At(1, 0), kBlack);
  HBITMAP noAlpha = MakeBitmap(4, 1, [](int, int) { return 0x00123456u; });
  ImageList_Add(il, noAlpha, nullptr);
  Canvas n(4, 1, kBlue);
  ImageList_Draw(il, 1, n.Dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(n.At(2, 0), 0xFF123456u);

  ImageList_Destroy(il);
  ImageList_Destroy(rgb);
  DeleteObject(img);
  DeleteObject(noAlpha);
}

TEST(ImageList, DrawingHonoursOriginsAndClip) {
  HIMAGELIST il = ImageList_Create(3, 3, ILC_COLOR24, 1, 1);
  HBITMAP img = Solid(3, 3, kRed);
  ImageList_Add(il, img, nullptr);

  Canvas c(16, 16, kGreen);
  SetViewportOrgEx(c.Dc, 10, 5, nullptr);
  SetWindowOrgEx(c.Dc, 2, 1, nullptr);
  ImageList_Draw(il, 0, c.Dc, 2, 1, ILD_NORMAL);  // logical (2,1) -> device (10,5)
  EXPECT_EQ(c.At(10, 5), kRed);
  EXPECT_EQ(c.At(12, 7), kRed);
  EXPECT_EQ(c.At(9, 5), kGreen);
  EXPECT_EQ(c.At(13, 7), kGreen);

  // Clip to logical x < 3: only the first image column reaches the surface.
  Canvas k(8, 8, kGreen);
  IntersectClipRect(k.Dc, 0, 0, 3, 8);
  ImageList_Draw(il, 0, k.Dc, 2, 2, ILD_NORMAL);
  EXPECT_EQ(k.At(2, 2), kRed);
  EXPECT_EQ(k.At(3, 2), kGreen);
  EXPECT_EQ(k.At(2, 4), kRed);

  // Partly and wholly off the surface.
  Canvas e(4, 4, kGreen);
  EXPECT_TRUE(ImageList_Draw(il, 0, e.Dc, -2, 3, ILD_NORMAL));
  EXPECT_EQ(e.At(0, 3), kRed);
  EXPECT_EQ(e.At(1, 3), kGreen);
  EXPECT_TRUE(ImageList_Draw(il, 0, e.Dc, 2000000000, 0, ILD_NORMAL));

  ImageList_Destroy(il);
  DeleteObject(img);
}

TEST(ImageList, AddsFromPaletteAndMonochromeBitmaps) {
  // An 8-bit DIB source and a 1-bit mask DIB.
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 2;
  bi.bmiHeader.biHeight = -2;
  bi.bmiHeader.biBitCount = 8;
  bi.bmiColors[1] = {0, 0, 255, 0};  // red
  bi.bmiColors[2] = {255, 0, 0, 0};  // blue
  void* bits = nullptr;
  HBITMAP img = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits);
  auto* b = static_cast<BYTE*>(bits);
  b[0] = 1, b[1] = 2, b[4] = 2, b[5] = 1;  // rows are 4 bytes
  HIMAGELIST il = ImageList_Create(2, 2, ILC_COLOR32 | ILC_MASK, 1, 1);
  const BYTE maskBits[4] = {0x40, 0, 0x80, 0};  // (1,0) and (0,1) transparent
  HBITMAP mask = CreateBitmap(2, 2, 1, 1, maskBits);
  ASSERT_EQ(ImageList_Add(il, img, mask), 0);
  Canvas c(2, 2, kGreen);
  ImageList_Draw(il, 0, c.Dc, 0, 0, ILD_NORMAL);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(1, 0), kGreen);
  EXPECT_EQ(c.At(0, 1), kGreen);
  EXPECT_EQ(c.At(1, 1), kRed);
  ImageList_Destroy(il);
  DeleteObject(img);
  DeleteObject(mask);
}
