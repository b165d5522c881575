// Styled painting of selections, header sections, borders, focus rectangles, separators and
// 3D frames.
#include "draw/kxStyledPaintBorders.h"

#include "draw/kxBitmapUtils.h"
#include "draw/kxPaintCommon.h"
#include "draw/kxPixels.h"
#include "draw/kxStyleUtils.h"
#include "draw/kxSystem.h"
#include "host/gdi/GdiDraw.h"
#include "host/graphics/Canvas.h"

namespace kx {

using namespace vcl;
using detail::BlendColor;
using detail::BlendDetail;
using detail::DrawDetail;
using detail::PaintStyleOf;
using detail::TPaintStyle;

namespace {

// A frame `width` pixels wide inside the rectangle in one colour.
void SolidFrame(TCanvas* canvas, const TRect& rect, TColor color, int width) {
  HDC dc = canvas->Handle();
  if (!dc) return;
  HBRUSH brush = CreateSolidBrush(vcl::ColorToRGB(color));
  TRect r = rect;
  for (int i = 0; i < width && !r.IsEmpty(); ++i) {
    FrameRect(dc, &r, brush);
    r.Inflate(-1, -1);
  }
  DeleteObject(brush);
}

void ClassicSunken2(TCanvas* canvas, const TRect& rect) {
  TRect r = rect;
  DrawFrame3D(canvas, r, clBtnShadow, clBtnHighlight);
  DrawFrame3D(canvas, r, cl3DDkShadow, cl3DLight);
}

// The dotted ring of a focus rectangle as pixels, clockwise from the top-left corner.
template <class SetDot>
void DottedRing(const TRect& r, SetDot&& dot) {
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  const int phase = (w % 2 == 0 && h % 2 == 0) ? 0 : 1;
  int i = 0;
  auto step = [&](int x, int y) {
    if ((i + phase) % 2 == 0) dot(x, y);
    ++i;
  };
  const int l = r.Left, t = r.Top, rr = r.Right - 1, b = r.Bottom - 1;
  for (int x = l; x <= rr; ++x) step(x, t);
  for (int y = t + 1; y <= b; ++y) step(rr, y);
  if (b > t)
    for (int x = rr - 1; x >= l; --x) step(x, b);
  if (rr > l)
    for (int y = b - 1; y > t; --y) step(l, y);
}

void DottedRings(HDC dc, const TRect& rect, COLORREF color, double scale) {
  if (!dc) return;
  auto dot = [&](int x, int y) { SetPixelV(dc, x, y, color); };
  DottedRing(rect, dot);
  if (scale >= 1.5) DottedRing(rect.Inflated(-1, -1), dot);
}

TColor SeparatorColor(const TPaintStyle& style, TColor color) { return style.Color(color); }

// The 2-pixel separator layer: the first line in the shadow colour, the second in the
// highlight colour, across (horizontal) or down (vertical).
void Separator(TCanvas* canvas, int x, int y, int length, bool vertical,
               const TComponent* control) {
  if (!canvas || length <= 0) return;
  TPaintStyle style = PaintStyleOf(control);
  const std::uint32_t shadow = ColorToARGB(SeparatorColor(style, clBtnShadow), 255);
  const std::uint32_t light = ColorToARGB(SeparatorColor(style, clBtnHighlight), 255);
  TBitmap layer;
  detail::Make32(layer, vertical ? 2 : length, vertical ? length : 2);
  detail::TPixelRows rows;
  if (!detail::Rows32(&layer, rows)) return;
  for (int yy = 0; yy < rows.Height; ++yy) {
    std::uint32_t* row = rows.Row(yy);
    for (int xx = 0; xx < rows.Width; ++xx)
      row[xx] = ((vertical ? xx : yy) == 0) ? shadow : light;
  }
  AlphaDrawBitmap(&layer, canvas, x, y, 125);
}

}  // namespace

void DrawSelection(TCanvas* canvas, const TRect& rect, Byte alpha, const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Custom)
    BlendDetail(canvas, rect, style, GetElementDetails(tgCellSelected), alpha);
  else if (style.Enabled && !IsWindowsXP())
    BlendDetail(canvas, rect, style, GetElementDetails(tmcGridCellBackgroundSelected), alpha);
  else
    BlendColor(canvas, rect, clHighlight, alpha);
}

void DrawItemSelection(TCanvas* canvas, const TRect& rect, bool focused, bool forceFocused,
                       const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  const bool focusLook = focused || forceFocused;
  if (style.Custom) {
    if (focusLook)
      DrawDetail(canvas, style, GetElementDetails(tgCellSelected), rect);
    else
      DrawSelection(canvas, rect, 175, control);
    return;
  }
  if (style.Enabled && !IsWindowsXP()) {
    DrawDetail(canvas, style,
               GetElementDetails(focusLook ? tmcGridCellBackgroundSelected
                                           : tmcGridCellBackgroundSelectedNotFocused),
               rect);
    return;
  }
  if (focusLook)
    detail::FillSolid(canvas, rect, clHighlight);
  else
    BlendColor(canvas, rect, clHighlight, 200);
}

void DrawHeaderSection(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                       const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled) {
    TThemedGrid part = tgFixedCellNormal;
    if (state == kxsHot || state == kxsFocused) part = tgFixedCellHot;
    if (state == kxsPressed) part = tgFixedCellPressed;
    DrawDetail(canvas, style, GetElementDetails(part), rect);
    return;
  }
  detail::FillSolid(canvas, rect, clBtnFace);
  TRect r = rect;
  if (state == kxsPressed)
    DrawFrame3D(canvas, r, clBtnShadow, clBtnHighlight);
  else
    DrawFrame3D(canvas, r, clBtnHighlight, clBtnShadow);
}

void DrawEditBorder(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                    const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (!style.Enabled) {
    ClassicSunken2(canvas, rect);
    return;
  }
  SolidFrame(canvas, rect, style.Color(clBtnFace), 2);
  TThemedEdit part = teEditBorderNoScrollNormal;
  switch (state) {
    case kxsHot: part = teEditBorderNoScrollHot; break;
    case kxsPressed:
    case kxsFocused:
      part = style.Custom ? teEditBorderNoScrollHot : teEditBorderNoScrollFocused;
      break;
    case kxsDisabled: part = teEditBorderNoScrollDisabled; break;
    default: break;
  }
  DrawDetail(canvas, style, GetElementDetails(part), rect);
}

void DrawComboBorder(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                     const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (!(style.Enabled && style.System() && IsWindows11())) {
    DrawEditBorder(canvas, rect, state, control);
    return;
  }
  SolidFrame(canvas, rect, style.Color(clBtnFace), 2);
  TThemedComboBox part = tcBorderNormal;
  switch (state) {
    case kxsHot: part = tcBorderHot; break;
    case kxsPressed:
    case kxsFocused: part = tcBorderFocused; break;
    case kxsDisabled: part = tcBorderDisabled; break;
    default: break;
  }
  DrawDetail(canvas, style, GetElementDetails(part), rect);
}

void DrawFlatBorder(TCanvas* canvas, const TRect& rect, const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TColor shadow = ColorToStyleColor(clBtnShadow, control);
  TColor window = ColorToStyleColor(clWindow, control);
  SolidFrame(canvas, rect, shadow, 1);
  SolidFrame(canvas, rect.Inflated(-1, -1), window, 1);
}

void DrawFocusRectDotted(TCanvas* canvas, const TRect& rect, double scale) {
  if (!canvas) return;
  DottedRings(canvas->Handle(), rect, vcl::ColorToRGB(canvas->Font()->Color()), scale);
}

void DrawFocusRectDotted(TCanvas* canvas, const TRect& rect, TColor color, double scale) {
  if (!canvas) return;
  canvas->Pen()->SetColor(color);
  DottedRings(canvas->Handle(), rect, vcl::ColorToRGB(canvas->Pen()->Color()), scale);
}

void DrawFocusRectDottedDC(HDC dc, const TRect& rect, TColor color, double scale) {
  if (!dc) return;
  SetDCPenColor(dc, vcl::ColorToRGB(color));
  DottedRings(dc, rect, GetDCPenColor(dc), scale);
}

void DrawHorzSeparator(TCanvas* canvas, const TRect& rect, const TComponent* control) {
  Separator(canvas, rect.Left, rect.Top, rect.Width(), false, control);
}

void DrawVertSeparator(TCanvas* canvas, const TRect& rect, const TComponent* control,
                       bool rightAligned) {
  Separator(canvas, rightAligned ? rect.Right - 2 : rect.Left, rect.Top, rect.Height(), true,
            control);
}

void DrawFrame3D(TCanvas* canvas, TRect& rect, TColor topLeft, TColor bottomRight) {
  if (!canvas) return;
  if (!rect.IsEmpty()) {
    const int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetColor(topLeft);
    const TPoint tl[] = {{l, b}, {l, t}, {r, t}};
    canvas->Polyline(tl);
    canvas->Pen()->SetColor(bottomRight);
    const TPoint br[] = {{r, t}, {r, b}, {l - 1, b}};
    canvas->Polyline(br);
  }
  rect.Inflate(-1, -1);
}

}  // namespace kx
