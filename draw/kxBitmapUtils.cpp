// Pixel packing, alpha helpers, alpha-blended drawing and bidirectional text formats.
#include "draw/kxBitmapUtils.h"

#include <algorithm>
#include <cstring>

#include "draw/kxPixels.h"
#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiText.h"
#include "host/graphics/Canvas.h"

namespace kx {

using namespace vcl;
using detail::Rows32;
using detail::TPixelRows;

namespace {

template <class F>
void ForEachRow(TBitmap* bitmap, F&& f) {
  TPixelRows rows;
  if (!Rows32(bitmap, rows)) return;
  for (int y = 0; y < rows.Height; ++y) f(rows.Row(y), rows.Width);
}

template <class P>
bool AnyPixel(TBitmap* bitmap, P&& pred) {
  TPixelRows rows;
  if (!Rows32(bitmap, rows)) return false;
  for (int y = 0; y < rows.Height; ++y) {
    const std::uint32_t* row = rows.Row(y);
    for (int x = 0; x < rows.Width; ++x)
      if (pred(row[x] >> 24)) return true;
  }
  return false;
}

}  // namespace

std::uint32_t ColorToARGB(TColor color, Byte alpha) {
  COLORREF rgb = vcl::ColorToRGB(color);
  return std::uint32_t(alpha) << 24 | std::uint32_t(GetRValue(rgb)) << 16 |
         std::uint32_t(GetGValue(rgb)) << 8 | GetBValue(rgb);
}

void SetBitmapAlpha(TBitmap* bitmap, Byte value) {
  std::uint32_t a = std::uint32_t(value) << 24;
  ForEachRow(bitmap, [a](std::uint32_t* row, int w) {
    for (int x = 0; x < w; ++x) row[x] = (row[x] & 0x00FFFFFFu) | a;
  });
}

void DivideBitmapAlpha(TBitmap* bitmap, Byte divisor) {
  std::uint32_t d = divisor == 0 ? 1 : divisor;
  ForEachRow(bitmap, [d](std::uint32_t* row, int w) {
    for (int x = 0; x < w; ++x) row[x] = (row[x] & 0x00FFFFFFu) | ((row[x] >> 24) / d) << 24;
  });
}

void FillBitmap(TBitmap* bitmap, std::uint32_t pixel) {
  ForEachRow(bitmap, [pixel](std::uint32_t* row, int w) {
    if (pixel == 0 || pixel == 0xFFFFFFFFu)
      std::memset(row, int(pixel & 0xFF), size_t(w) * 4);
    else
      std::fill_n(row, w, pixel);
  });
}

bool HasAlphaPixels(TBitmap* bitmap) {
  return AnyPixel(bitmap, [](std::uint32_t a) { return a != 0; });
}

bool UsesAlphaChannel(TBitmap* bitmap) {
  return AnyPixel(bitmap, [](std::uint32_t a) { return a != 255; });
}

void MarkAlphaFormat(TBitmap* bitmap, TAlphaFormat format) {
  if (!bitmap || bitmap->AlphaFormat() == format) return;
  // Re-adopting its own handle declares the format without touching the rows.
  bitmap->SetHandle(bitmap->Handle(), format);
}

void AlphaDrawBitmap(TBitmap* bitmap, TCanvas* canvas, int x, int y, Byte alpha) {
  if (!bitmap || !canvas || bitmap->Empty() || alpha == 0) return;
  HDC dst = canvas->HandleNoSelect();
  HDC src = bitmap->Canvas()->HandleNoSelect();
  if (!dst || !src) return;
  BLENDFUNCTION blend;
  blend.BlendOp = AC_SRC_OVER;
  blend.SourceConstantAlpha = alpha;
  blend.AlphaFormat = AC_SRC_ALPHA;
  int w = bitmap->Width(), h = bitmap->Height();
  AlphaBlend(dst, x, y, w, h, src, 0, 0, w, h, blend);
}

UINT DrawTextBiDiFlags(UINT flags, bool rightToLeft) {
  if (!rightToLeft) return flags;
  if (flags & DT_RIGHT)
    flags &= ~DT_RIGHT;
  else if (!(flags & DT_CENTER))
    flags |= DT_RIGHT;
  return flags | DT_RTLREADING;
}

}  // namespace kx
