// 32-bit bitmap utilities: pixel packing, alpha helpers, alpha-blended drawing and
// bidirectional text formats.
//
// A pixel is one 32-bit word: blue in the low byte, then green, red, and alpha in the high
// byte. The helpers act on whole bitmaps; a bitmap that is not 32 bits per pixel is converted
// to pf32bit first, and an empty bitmap is left alone.
#pragma once
#include <cstdint>

#include "host/graphics/Graphic.h"

namespace vcl {
class TCanvas;
}

namespace kx {

// The pixel word of a host colour (system colours resolved), not premultiplied:
// alpha << 24 | red << 16 | green << 8 | blue.
std::uint32_t ColorToARGB(vcl::TColor color, vcl::Byte alpha = 255);

void SetBitmapAlpha(vcl::TBitmap* bitmap, vcl::Byte value);
// Integer division of every alpha byte; a divisor of 0 counts as 1.
void DivideBitmapAlpha(vcl::TBitmap* bitmap, vcl::Byte divisor);
void FillBitmap(vcl::TBitmap* bitmap, std::uint32_t pixel);
// Any pixel with a non-zero alpha.
bool HasAlphaPixels(vcl::TBitmap* bitmap);
// Any pixel with an alpha other than 255.
bool UsesAlphaChannel(vcl::TBitmap* bitmap);
// Declares how the rows hold alpha without converting them (SetAlphaFormat converts).
void MarkAlphaFormat(vcl::TBitmap* bitmap, vcl::TAlphaFormat format);

// The whole (premultiplied) bitmap at (x, y), source-over with per-pixel alpha and the
// constant opacity `alpha`.
void AlphaDrawBitmap(vcl::TBitmap* bitmap, vcl::TCanvas* canvas, int x, int y,
                     vcl::Byte alpha = 255);

// For right-to-left text: right-aligned becomes left-aligned, left-aligned (neither DT_CENTER
// nor DT_RIGHT) becomes right-aligned, and DT_RTLREADING is added. Otherwise flags unchanged.
vcl::UINT DrawTextBiDiFlags(vcl::UINT flags, bool rightToLeft);

}  // namespace kx
