// The drawing-core sheet the demo shows until the main window exists: primitives, classic
// frames, gradients, alpha blending, text layout, decoded images, image lists and the GDI+
// subset (scaled images, icon-font glyphs), laid out for a given pixel density.
#pragma once
#include "host/gdi/Gdi.h"

namespace app {

// The sheet's size at 96 DPI; it scales with dpi / 96.
constexpr int kSheetWidth = 960;
constexpr int kSheetHeight = 440;

// Paints the whole sheet with (0, 0) at the DC's origin. Throws vcl::Exception when an
// embedded resource is missing or damaged.
void PaintTestSheet(vcl::HDC dc, int dpi);

}  // namespace app
