// Glyphs drawn in one colour, centred in a rectangle: filled arrows, chevrons, the drop-down
// and menu arrows, and the close cross.
//
// Every glyph takes the centre (left + width div 2, top + height div 2) and a scale factor,
// which counts as 1 below 1. The filled arrow and the chevron also snap the scale: where
// rounding it differs from truncating it, the rounded value is used (1.5 to 1.99 draw as 2,
// 1.25 stays 1.25), so their strokes land on whole pixels. Halves round to even.
#pragma once
#include "host/gdi/Types.h"

namespace vcl {
class TCanvas;
class TComponent;
}  // namespace vcl

namespace kx {

// Where an arrow or chevron points; the one direction type of every glyph routine (a chevron
// points left or right only).
enum TkxArrowDirection { kxadLeft = 1, kxadRight = 2, kxadUp = 3, kxadDown = 4 };

// The scale a glyph routine draws at: below 1 counts as 1; with `snap`, a scale whose rounded
// value differs from its truncated value becomes the rounded value.
double GlyphScale(double scale, bool snap);

// A filled triangle of round(2 x scale + 1) + 1 one-pixel lines, each 2 pixels longer than the
// one before, its tip round(2 x scale) pixels from the centre, with the canvas's pen.
void DrawArrowGlyph(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TColor color,
                    double scale, TkxArrowDirection direction);
// An open arrow of two 45-degree strokes of round(4 x scale) pixels meeting at a tip
// round(2 x scale) - 1 right of the centre (pointing right) or round(2 x scale) + 1 left of it
// (pointing left), drawn trunc(scale + 1) times, each one pixel further left. Up and down draw
// nothing.
void DrawChevronGlyph(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TColor color,
                      double scale, TkxArrowDirection direction);
// A downward chevron of half-width round(4 x scale), round(scale + 1) lines thick, its tip at
// the centre's y + round(2 x scale) - 1.
void DrawDropDownArrow(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TColor color,
                       double scale);
// The arrow of drop-down buttons. The modern look (a downward chevron of half-width
// round(5 x scale), round(scale + 1) lines thick, whose first line ends one pixel short) on
// Windows 10 and later without a custom style, with a custom style whose name contains
// "windows", and whenever the modern-arrows option is on; on Windows 8 without a custom style
// a heavy chevron; otherwise a filled downward triangle.
void DrawMenuArrow(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TColor color,
                   double scale, const vcl::TComponent* control);
// An x of round(8 x scale) pixels centred in the rectangle, round(2 x scale) strokes thick
// (each pass one pixel further right).
void DrawCloseGlyph(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TColor color,
                    double scale);

}  // namespace kx
