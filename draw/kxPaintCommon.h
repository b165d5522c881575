// What the styled painting routines share (not part of the drawing core's interface): the
// services that paint a control, the density a style draws its parts at, element drawing on a
// canvas and into transparent bitmaps, and the rounding the glyph geometry uses.
#pragma once
#include <algorithm>
#include <cmath>

#include "draw/kxStates.h"
#include "host/graphics/Graphic.h"
#include "host/themes/StyleServices.h"

namespace vcl {
class TCanvas;
class TComponent;
}  // namespace vcl

namespace kx::detail {

// Rounds halves to the even neighbour, as the geometry of the glyphs is defined.
inline int Round(double v) { return int(std::nearbyint(v)); }
// A scale factor below 1 counts as 1.
inline double EffectiveScale(double scale) { return scale < 1 ? 1.0 : scale; }
// The pixels per inch a part is rendered at for a scale factor: round(96 x scale).
inline int ScaleDpi(double scale) { return Round(96 * EffectiveScale(scale)); }

// The services that paint a control and whether they draw the themed look.
struct TPaintStyle {
  vcl::TCustomStyleServices* Services = nullptr;
  bool Enabled = false;  // themed (false: the classic look)
  bool Custom = false;   // a custom style is in effect for the control
  bool System() const { return Services && Services->IsSystemStyle(); }
  // A system colour as the style shows it while it is themed, else the system's own.
  vcl::TColor Color(vcl::TColor color) const;
  // The element's text colour, or `fallback` when the style has none.
  vcl::TColor TextColor(const vcl::TThemedElementDetails& details, vcl::TColor fallback) const;
};
TPaintStyle PaintStyleOf(const vcl::TComponent* control);

// Draws a detail into r on the canvas at `dpi`; false when the style cannot draw it.
bool DrawDetail(vcl::TCanvas* canvas, const TPaintStyle& style,
                const vcl::TThemedElementDetails& details, const vcl::TRect& r, int dpi = 96);

// A transparent 32-bit bitmap of the rectangle's size (false for an empty rectangle).
bool MakeLayer(vcl::TBitmap& layer, const vcl::TRect& r);
// A transparent layer of the rectangle's size with the detail drawn into it, blended onto the
// canvas at `alpha`; false when the style cannot draw the detail.
bool BlendDetail(vcl::TCanvas* canvas, const vcl::TRect& r, const TPaintStyle& style,
                 const vcl::TThemedElementDetails& details, vcl::Byte alpha);
// A layer of the rectangle's size in one opaque colour, blended onto the canvas at `alpha`.
void BlendColor(vcl::TCanvas* canvas, const vcl::TRect& r, vcl::TColor color, vcl::Byte alpha);
// The four-state mapping of most elements: normal, hot (and focused), pressed, disabled.
template <class T>
T FourState(TkxsCtrlState state, T normal, T hot, T pressed, T disabled) {
  switch (state) {
    case kxsHot:
    case kxsFocused: return hot;
    case kxsPressed: return pressed;
    case kxsDisabled: return disabled;
    default: return normal;
  }
}

// Clips the canvas's DC to a rectangle; the previous clip returns on destruction.
class TClipScope {
 public:
  TClipScope(vcl::TCanvas* canvas, const vcl::TRect& clip);
  ~TClipScope();
  TClipScope(const TClipScope&) = delete;
  TClipScope& operator=(const TClipScope&) = delete;

 private:
  vcl::HDC FDC = nullptr;
  vcl::HRGN FSaved = nullptr;  // the previous clip region (nullptr: none)
};

// A rectangle of one colour through the DC (the canvas brush is left alone).
void FillSolid(vcl::TCanvas* canvas, const vcl::TRect& r, vcl::TColor color);

}  // namespace kx::detail
