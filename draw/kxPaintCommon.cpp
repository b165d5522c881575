// Shared pieces of the styled painting routines.
#include "draw/kxPaintCommon.h"

#include "draw/kxBitmapUtils.h"
#include "draw/kxPixels.h"
#include "draw/kxStyleUtils.h"
#include "host/classes/Component.h"
#include "host/gdi/GdiDraw.h"
#include "host/graphics/Canvas.h"

namespace kx::detail {

using namespace vcl;

TColor TPaintStyle::Color(TColor color) const {
  if (Enabled && Services) return TColor(Services->ColorToRGB(color));
  return TColor(vcl::ColorToRGB(color));
}

TColor TPaintStyle::TextColor(const TThemedElementDetails& details, TColor fallback) const {
  TColor c = clNone;
  if (Services && Services->GetElementColor(details, ecTextColor, c) && c != clNone) return c;
  return fallback;
}

TPaintStyle PaintStyleOf(const TComponent* control) {
  TPaintStyle s;
  s.Services = ControlStyleServices(control);
  s.Enabled = StyleServicesEnabled(s.Services);
  // As IsCustomStyle, without asking the control for its styling a second time.
  s.Custom = s.Enabled && !s.Services->IsSystemStyle() &&
             !(control && control->ComponentState().Contains(csDesigning));
  return s;
}

bool DrawDetail(TCanvas* canvas, const TPaintStyle& style, const TThemedElementDetails& details,
                const TRect& r, int dpi) {
  if (!canvas || !style.Services || r.IsEmpty()) return false;
  HDC dc = canvas->Handle();
  return dc && style.Services->DrawElement(dc, details, r, nullptr, dpi);
}

bool MakeLayer(TBitmap& layer, const TRect& r) {
  if (r.IsEmpty()) return false;
  Make32(layer, r.Width(), r.Height());
  return true;
}

// Only the clip region is saved and restored (not the whole DC), so the objects the canvas
// selects meanwhile stay selected as the canvas believes.
bool BlendDetail(TCanvas* canvas, const TRect& r, const TPaintStyle& style,
                 const TThemedElementDetails& details, Byte alpha) {
  TBitmap layer;
  if (!canvas || !style.Services || !MakeLayer(layer, r)) return false;
  HDC dc = layer.Canvas()->Handle();
  if (!dc || !style.Services->DrawElement(dc, details, TRect(0, 0, r.Width(), r.Height())))
    return false;
  // The element was drawn premultiplied over transparent pixels.
  MarkAlphaFormat(&layer, afPremultiplied);
  AlphaDrawBitmap(&layer, canvas, r.Left, r.Top, alpha);
  return true;
}

void BlendColor(TCanvas* canvas, const TRect& r, TColor color, Byte alpha) {
  TBitmap layer;
  if (!canvas || !MakeLayer(layer, r)) return;
  FillBitmap(&layer, ColorToARGB(color, 255));
  AlphaDrawBitmap(&layer, canvas, r.Left, r.Top, alpha);
}

TClipScope::TClipScope(TCanvas* canvas, const TRect& clip) {
  FDC = canvas ? canvas->Handle() : nullptr;
  if (!FDC) return;
  FSaved = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(FDC, FSaved) != 1) {
    DeleteObject(FSaved);
    FSaved = nullptr;
  }
  IntersectClipRect(FDC, clip.Left, clip.Top, clip.Right, clip.Bottom);
}

TClipScope::~TClipScope() {
  if (!FDC) return;
  SelectClipRgn(FDC, FSaved);
  if (FSaved) DeleteObject(FSaved);
}

void FillSolid(TCanvas* canvas, const TRect& r, TColor color) {
  if (!canvas || r.IsEmpty()) return;
  HDC dc = canvas->Handle();
  if (!dc) return;
  HBRUSH brush = CreateSolidBrush(vcl::ColorToRGB(color));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace kx::detail
