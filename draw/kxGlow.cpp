// Glow masks of images and text, and drawing text and image-list images over their glow.
#include "draw/kxGlow.h"

#include "draw/kxBitmapUtils.h"
#include "draw/kxImageListGlyphs.h"
#include "draw/kxPixels.h"
#include "host/gdi/GdiText.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/ImgList.h"

namespace kx {

using namespace vcl;
using detail::Make32;
using detail::Rows32;
using detail::TPixelRows;

namespace {

constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;
constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFFu;

bool ValidImage(TCustomImageList* images, int index) {
  return images && index >= 0 && index < images->Count();
}

// Image `index` as a pf32bit bitmap of the list's size (the library's own image lists draw their
// images themselves, so their pixels are had by drawing, not from the list's handle):
// premultiplied with its alpha over transparent black (afPremultiplied) for lists that keep
// alpha, opaque (afIgnored, alpha 255) for the others. False when there is nothing to fetch.
bool FetchListImage(TCustomImageList* images, int index, TBitmap& image, bool& withAlpha) {
  if (!ValidImage(images, index)) return false;
  if (IsLibraryImageList(images)) {
    Make32(image, images->Width(), images->Height());
    MarkAlphaFormat(&image, afPremultiplied);
    images->Draw(image.Canvas(), 0, 0, index, true);
    withAlpha = true;
    return true;
  }
  if (!images->GetBitmap(index, &image)) return false;
  withAlpha = images->ColorDepth() == cd32Bit;
  if (!withAlpha) SetBitmapAlpha(&image, 255);
  return true;
}

// Draws image `index` of the list itself at (x, y).
void DrawListImage(TCanvas* canvas, int x, int y, int index, TCustomImageList* images) {
  if (images->ShareImages()) {
    HDC dc = canvas->Handle();
    ImageList_DrawEx(images->Handle(), index, dc, x, y, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
  } else {
    images->Draw(canvas, x, y, index, true);
  }
}

// The rectangle text with a glow of radius g is laid out in: at least 2g wide and high.
TRect GlowTextRect(const TRect& rect, int g) {
  TRect r = rect;
  if (r.Width() < 2 * g) r.Right = r.Left + 2 * g;
  if (r.Height() < 2 * g) r.Bottom = r.Top + 2 * g;
  return r;
}

// The DrawTextW format of glowing text. Measuring and writing back the shortened string have
// no place in drawing and are left out.
UINT GlowTextFormat(UINT flags, bool rightToLeft, bool noPrefix) {
  flags &= ~(DT_CALCRECT | DT_MODIFYSTRING);
  if (noPrefix) flags |= DT_NOPREFIX;
  return DrawTextBiDiFlags(flags, rightToLeft);
}

// The halo of text laid out in r (already widened) with the canvas's font.
void MakeTextGlow(TBitmap& glow, TCanvas* canvas, const TRect& r, StringView text, UINT format,
                  TColor color, int g, bool intensive) {
  const int w = r.Width() + 2 * g, h = r.Height() + 2 * g;
  Make32(glow, w, h);
  FillBitmap(&glow, kOpaqueBlack);
  TCanvas* mask = glow.Canvas();
  TFont* font = mask->Font();
  font->SetPixelsPerInch(canvas->Font()->PixelsPerInch());
  font->Assign(canvas->Font());
  font->SetColor(clWhite);
  mask->Brush()->SetStyle(bsClear);
  HDC dc = mask->Handle();
  const TRect textRect(g, g, w - g, h - g);
  if (intensive) {
    static constexpr TPoint kMoves[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (TPoint m : kMoves) {
      TRect t = textRect.Offsetted(m.X, m.Y);
      DrawTextW(dc, text, &t, format);
    }
  } else {
    TRect t = textRect;
    DrawTextW(dc, text, &t, format);
  }
  SetBitmapAlpha(&glow, 255);
  ColorizeGlowMask(&glow, g, color);
}

// The text itself, over its halo, in the canvas's font and colour, without a background.
void DrawPlainText(TCanvas* canvas, const TRect& r, StringView text, UINT format) {
  HDC dc = canvas->Handle();
  if (!dc) return;
  int oldMode = SetBkMode(dc, TRANSPARENT);
  TRect t = r;
  DrawTextW(dc, text, &t, format);
  SetBkMode(dc, oldMode);
}



void DrawImageGlow(std::unique_ptr<TBitmap>* cache, bool rebuild, TCanvas* canvas, int x, int y,
                   Byte alphaValue, int glowSize, TColor color, int offset, int index,
                   TCustomImageList* images) {
  if (cache && rebuild) cache->reset();
  if (!canvas || !ValidImage(images, index)) return;
  const int g = std::max(glowSize, 0);
  const int gx = x + offset - g, gy = y + offset - g;
  if (cache) {
    if (!*cache) {
      auto glow = std::make_unique<TBitmap>();
      if (MakeImageListGlow(glow.get(), images, index, color, g)) *cache = std::move(glow);
    }
    if (*cache) AlphaDrawBitmap(cache->get(), canvas, gx, gy, alphaValue);
  } else if (alphaValue > 0) {
    TBitmap glow;
    if (MakeImageListGlow(&glow, images, index, color, g))
      AlphaDrawBitmap(&glow, canvas, gx, gy, alphaValue);
  }
  DrawListImage(canvas, x, y, index, images);
}

}  // namespace

void MakeImageGlow(TBitmap* glow, TBitmap* image, int glowSize, TColor color) {
  if (!glow) return;
  if (!image || image->Empty()) {
    glow->SetSize(0, 0);
    return;
  }
  const int g = std::max(glowSize, 0);
  Make32(*glow, image->Width() + 2 * g, image->Height() + 2 * g);
  FillBitmap(glow, kOpaqueBlack);
  TPixelRows out;
  Rows32(glow, out);

  TBitmap copy;
  TBitmap* src = detail::As32(image, copy);
  const bool byAlpha = src == image && UsesAlphaChannel(image);
  TPixelRows in;
  Rows32(src, in);
  const std::uint32_t key = in.Row(0)[0] & 0x00FFFFFFu;
  for (int y = 0; y < in.Height; ++y) {
    const std::uint32_t* s = in.Row(y);
    std::uint32_t* d = out.Row(y + g) + g;
    for (int x = 0; x < in.Width; ++x) {
      bool shape = byAlpha ? (s[x] >> 24) != 0 : (s[x] & 0x00FFFFFFu) != key;
      if (shape) d[x] = kOpaqueWhite;
    }
  }
  ColorizeGlowMask(glow, g, color);
}

bool MakeImageListGlow(TBitmap* glow, TCustomImageList* images, int index, TColor color,
                       int glowSize) {
  if (!glow) return false;
  TBitmap image;
  bool withAlpha = false;
  if (!FetchListImage(images, index, image, withAlpha)) return false;
  MakeImageGlow(glow, &image, glowSize, color);
  return true;
}

void DrawGlowText(TCanvas* canvas, const TRect& rect, StringView text,
                  const TkxGlowTextFormat& textFormat, const TkxGlowParams& params,
                  TkxGlowCache* cache) {
  if (!canvas) return;
  const int g = std::max(params.Size, 0);
  const bool intensive = params.Intensive;
  const TRect r = GlowTextRect(rect, g);
  const UINT format = GlowTextFormat(textFormat.Flags, textFormat.Reading == kxroRightToLeft,
                                     textFormat.Prefix == kxpmNoPrefix);
  const int gx = r.Left + params.Offset - g, gy = r.Top + params.Offset - g;
  if (cache) {
    if (cache->Rebuild) cache->Buffer.reset();
    if (!cache->Buffer) {
      auto glow = std::make_unique<TBitmap>();
      MakeTextGlow(*glow, canvas, r, text, format, params.Color, g, intensive);
      cache->Buffer = std::move(glow);
    }
    AlphaDrawBitmap(cache->Buffer.get(), canvas, gx, gy, params.Alpha);
  } else if (params.Alpha > 0) {
    TBitmap glow;
    MakeTextGlow(glow, canvas, r, text, format, params.Color, g, intensive);
    AlphaDrawBitmap(&glow, canvas, gx, gy, params.Alpha);
  }
  DrawPlainText(canvas, r, text, format);
}

namespace {

TkxGlowParams ParamsOf(int offset, TColor color, int glowSize, bool intensive, Byte alphaValue) {
  return {color, glowSize, alphaValue, intensive, offset};
}

TkxGlowTextFormat TextFormatOf(UINT flags, bool rightToLeft, bool noPrefix) {
  return {flags, rightToLeft ? kxroRightToLeft : kxroLeftToRight,
          noPrefix ? kxpmNoPrefix : kxpmPrefix};
}

}  // namespace

void DrawTextWithGlow(TCanvas* canvas, const TRect& rect, StringView text, UINT flags,
                      int offset, TColor color, int glowSize, bool intensive, Byte alphaValue,
                      bool rightToLeft, bool noPrefix) {
  DrawGlowText(canvas, rect, text, TextFormatOf(flags, rightToLeft, noPrefix),
               ParamsOf(offset, color, glowSize, intensive, alphaValue));
}

void DrawTextWithGlowCached(std::unique_ptr<TBitmap>& glowBuffer, bool rebuild, TCanvas* canvas,
                            const TRect& rect, StringView text, UINT flags, int offset,
                            TColor color, int glowSize, bool intensive, Byte alphaValue,
                            bool rightToLeft, bool noPrefix) {
  TkxGlowCache cache{glowBuffer, rebuild};
  DrawGlowText(canvas, rect, text, TextFormatOf(flags, rightToLeft, noPrefix),
               ParamsOf(offset, color, glowSize, intensive, alphaValue), &cache);
}

void DrawImageWithGlow(TCanvas* canvas, int x, int y, Byte alphaValue, int glowSize,
                       TColor color, int offset, int index, TCustomImageList* images) {
  DrawImageGlow(nullptr, false, canvas, x, y, alphaValue, glowSize, color, offset, index,
                images);
}

void DrawImageWithGlowCached(std::unique_ptr<TBitmap>& glowBuffer, bool rebuild,
                             TCanvas* canvas, int x, int y, Byte alphaValue, int glowSize,
                             TColor color, int offset, int index, TCustomImageList* images) {
  DrawImageGlow(&glowBuffer, rebuild, canvas, x, y, alphaValue, glowSize, color, offset, index,
                images);
}

void DrawImageWithAlpha(TCanvas* canvas, int x, int y, Byte alpha, int index,
                        TCustomImageList* images) {
  if (!canvas || alpha == 0) return;
  TBitmap fetched;
  bool withAlpha = false;
  if (!FetchListImage(images, index, fetched, withAlpha)) return;
  if (withAlpha) {
    AlphaDrawBitmap(&fetched, canvas, x, y, alpha);
    return;
  }
  // Opaque images: every pixel of another colour than the top-left one, opaque.
  TBitmap keyed;
  Make32(keyed, fetched.Width(), fetched.Height());
  TPixelRows in, out;
  Rows32(&fetched, in);
  Rows32(&keyed, out);
  const std::uint32_t key = in.Row(0)[0] & 0x00FFFFFFu;
  for (int yy = 0; yy < in.Height; ++yy) {
    const std::uint32_t* s = in.Row(yy);
    std::uint32_t* d = out.Row(yy);
    for (int xx = 0; xx < in.Width; ++xx)
      if ((s[xx] & 0x00FFFFFFu) != key) d[xx] = s[xx] | 0xFF000000u;
  }
  MarkAlphaFormat(&keyed, afPremultiplied);
  AlphaDrawBitmap(&keyed, canvas, x, y, alpha);
}

}  // namespace kx
