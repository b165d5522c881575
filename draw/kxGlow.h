// Glow rendering: the stack blur, glow masks of text and images, and drawing text and image-list
// images with a soft coloured halo.
//
// A glow bitmap is a premultiplied 32-bit bitmap (AlphaFormat afPremultiplied) ready for
// AlphaDrawBitmap. A control that glows keeps its last one in a field of its own and passes it
// to the cached variants, asking for a rebuild only when what the glow depends on changed
// (caption, font, size, colour, glow size, layout); repaints then only blend the kept halo.
#pragma once
#include <memory>

#include "draw/kxStates.h"
#include "host/gdi/Types.h"
#include "host/rtl/System.h"

namespace vcl {
class TBitmap;
class TCanvas;
class TCustomImageList;
}  // namespace vcl

namespace kx {

enum TkxReadingOrder { kxroLeftToRight, kxroRightToLeft };
enum TkxPrefixMode { kxpmPrefix, kxpmNoPrefix };

// How glowing text is laid out: DrawTextW flags, reading order and prefix processing.
struct TkxGlowTextFormat {
  vcl::UINT Flags = 0;
  TkxReadingOrder Reading = kxroLeftToRight;
  TkxPrefixMode Prefix = kxpmPrefix;
};

// Where a control keeps its last halo: dropped first when Rebuild, made when empty, reused
// otherwise.
struct TkxGlowCache {
  std::unique_ptr<vcl::TBitmap>& Buffer;
  bool Rebuild = false;
};

// Stack blur of the blue, green and red channels with a triangle of weights radius + 1 - |k|
// over the distances -radius..radius, first along the rows, then along the columns; positions
// outside the bitmap take the nearest edge pixel, and each pass divides its sums by
// (radius + 1)^2, rounding down. Every pixel ends opaque (the input alpha is ignored). The
// work per pixel does not depend on the radius. Nothing happens for a radius of 0 or less.
void BlurBitmap(vcl::TBitmap* bitmap, int radius);

// A white-on-black mask into a halo: blurred by `radius`, then every pixel becomes `color`
// with the pixel's red value as its opacity, premultiplied.
void ColorizeGlowMask(vcl::TBitmap* bitmap, int radius, vcl::TColor color);

// The glow of an image: `glow` becomes (width + 2 glowSize) x (height + 2 glowSize) with the
// image's shape, offset by glowSize, turned into a halo of `color`. The shape is every pixel
// with a non-zero alpha of a 32-bit image that uses its alpha channel, and otherwise every
// pixel that differs from the image's top-left pixel.
void MakeImageGlow(vcl::TBitmap* glow, vcl::TBitmap* image, int glowSize, vcl::TColor color);
// The same for image `index` of a list; false (glow untouched) for a missing list or a bad
// index.
bool MakeImageListGlow(vcl::TBitmap* glow, vcl::TCustomImageList* images, int index,
                       vcl::TColor color, int glowSize);

// Text with a glow, in the canvas's font and font colour: a rectangle narrower or lower than
// 2 glowSize is widened (from its left edge) or heightened (from its top) to 2 glowSize; the
// text is masked in that rectangle with `flags` (plus DT_NOPREFIX for noPrefix, then
// DrawTextBiDiFlags), once or, when intensive, four times moved by one pixel left, right, up
// and down; the halo is blended with alphaValue, moved `offset` pixels right and down; then
// the text is drawn over it, unmoved, in the same rectangle and format.
void DrawTextWithGlow(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::StringView text,
                      vcl::UINT flags, int offset, vcl::TColor color, int glowSize,
                      bool intensive, vcl::Byte alphaValue, bool rightToLeft = false,
                      bool noPrefix = false);
// The same from option records (the halo's look from TkxGlowEffect::GetParams, or from the
// state rule of TkxButtonGlowEffect), the halo kept in `cache` when one is given (the text is laid
// out in the widened rectangle on every paint). DrawTextWithGlow and DrawTextWithGlowCached
// are entry points over it.
void DrawGlowText(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::StringView text,
                  const TkxGlowTextFormat& format, const TkxGlowParams& glow,
                  TkxGlowCache* cache = nullptr);
// The same with the halo kept in glowBuffer: dropped first when `rebuild`, made when the
// buffer is empty, and reused otherwise.
void DrawTextWithGlowCached(std::unique_ptr<vcl::TBitmap>& glowBuffer, bool rebuild,
                            vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::StringView text,
                            vcl::UINT flags, int offset, vcl::TColor color, int glowSize,
                            bool intensive, vcl::Byte alphaValue, bool rightToLeft = false,
                            bool noPrefix = false);

// Image `index` of a list at (x, y) over its glow, which is blended with alphaValue at
// (x + offset - glowSize, y + offset - glowSize). A list that shares its images draws through
// ImageList_DrawEx (no background or foreground colour, ILD_NORMAL), any other through its own
// drawing. Nothing for a missing list or a bad index.
void DrawImageWithGlow(vcl::TCanvas* canvas, int x, int y, vcl::Byte alphaValue, int glowSize,
                       vcl::TColor color, int offset, int index, vcl::TCustomImageList* images);
void DrawImageWithGlowCached(std::unique_ptr<vcl::TBitmap>& glowBuffer, bool rebuild,
                             vcl::TCanvas* canvas, int x, int y, vcl::Byte alphaValue,
                             int glowSize, vcl::TColor color, int offset, int index,
                             vcl::TCustomImageList* images);

// Image `index` of a list at (x, y) with the constant opacity `alpha`: images of 32-bit lists
// (and of the library's own image lists) with their alpha, images of other lists opaque
// except the pixels of their top-left pixel's colour.
void DrawImageWithAlpha(vcl::TCanvas* canvas, int x, int y, vcl::Byte alpha, int index,
                        vcl::TCustomImageList* images);

}  // namespace kx
