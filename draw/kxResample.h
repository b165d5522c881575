// Bilinear rescaling of 32-bit bitmaps and drawing them at a scale factor.
#pragma once
#include "host/gdi/Types.h"
#include "host/rtl/System.h"

namespace vcl {
class TBitmap;
class TCanvas;
}  // namespace vcl

namespace kx {

// Bilinear rescaling (16.16 fixed point, every channel alpha included) of a 32-bit source into
// dest's current size; dest becomes pf32bit with the source's alpha format. Equal sizes copy.
// An empty source or an empty destination leaves dest as it is.
void ResampleBitmap(vcl::TBitmap* source, vcl::TBitmap* dest);
// The premultiplied bitmap drawn at (x, y) with opacity `alpha`: as it is at scale 1, else
// resampled to round(scale x width) by round(scale x height). Nothing for an empty bitmap, an
// empty scaled size or a scale that is not a positive number.
void DrawScaledBitmap(vcl::TBitmap* bitmap, vcl::TCanvas* canvas, int x, int y, double scale,
                      vcl::Byte alpha = 255);

}  // namespace kx
