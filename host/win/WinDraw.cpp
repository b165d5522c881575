// Small drawing helpers of the window manager's own painting (frames, scroll bars, carets).
#include <algorithm>

#include "host/win/WinInternal.h"

namespace vcl {

void WmFillSolid(HDC dc, const TRect& r, COLORREF color) {
  if (!dc || r.IsEmpty()) return;
  cairo_t* cr = dc->Cairo();
  if (!cr) return;
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, GetRValue(color) / 255.0, GetGValue(color) / 255.0,
                       GetBValue(color) / 255.0);
  cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
  cairo_fill(cr);
  cairo_restore(cr);
  dc->EndDraw();
}

void WmFillRect(HDC dc, const TRect& r, HBRUSH brush) {
  if (!brush) return;
  auto v = reinterpret_cast<std::uintptr_t>(brush);
  if (v > 0 && v <= std::uintptr_t(COLOR_COUNT)) brush = GetSysColorBrush(int(v) - 1);
  if (brush->Style == BS_NULL) return;
  COLORREF c = brush->Color;
  if (brush->UsesDcColor) c = dc->DcBrushColor;
  if (brush->SysColorIndex >= 0) c = GetSysColor(brush->SysColorIndex);
  WmFillSolid(dc, r, c);
}

namespace {

// The caption font of a density, created once.
HFONT CaptionFont(UINT dpi) {
  // Kept for the whole process, like the stock fonts.
  static auto* cache = new std::vector<std::pair<UINT, HFONT>>;
  auto& fonts = *cache;
  for (auto& [d, f] : fonts)
    if (d == dpi) return f;
  NONCLIENTMETRICSW m;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0, dpi);
  HFONT f = CreateFontIndirectW(m.lfCaptionFont);
  fonts.push_back({dpi, f});
  return f;
}

void DrawIconIn(HICON icon, HDC dc, const TRect& r) {
  if (icon && icon->Image) {
    cairo_surface_t* src = BitmapSurface(icon->Image);
    cairo_t* cr = dc->Cairo();
    if (!src || !cr) return;
    cairo_save(cr);
    cairo_translate(cr, r.Left, r.Top);
    cairo_scale(cr, double(r.Width()) / icon->Image->Width, double(r.Height()) / icon->Image->Height);
    cairo_set_source_surface(cr, src, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    dc->EndDraw();
    return;
  }
  // The generic application icon: a small window with a blue title bar.
  int u = std::max(1, r.Width() / 16);
  TRect f = r;
  f.Inflate(-u, -2 * u);
  WmFillSolid(dc, f, RGB(96, 96, 96));
  TRect in = f;
  in.Inflate(-u, -u);
  WmFillSolid(dc, in, RGB(255, 255, 255));
  WmFillSolid(dc, TRect(in.Left, in.Top, in.Right, in.Top + 3 * u), RGB(0, 120, 215));
}

}  // namespace

void DrawWindowIcon(WindowObject* w, HDC dc, const TRect& r) {
  HICON icon = w->IconSmall ? w->IconSmall : w->IconBig;
  if (!icon) icon = w->Class->IconSm ? w->Class->IconSm : w->Class->Icon;
  DrawIconIn(icon, dc, r);
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH, UINT flags) {
  if (!dc || !icon) return false;
  if (cx == 0) cx = (flags & DI_DEFAULTSIZE) || !icon->Image ? GetSystemMetrics(SM_CXICON) : icon->Image->Width;
  if (cy == 0) cy = (flags & DI_DEFAULTSIZE) || !icon->Image ? GetSystemMetrics(SM_CYICON) : icon->Image->Height;
  DrawIconIn(icon, dc, TRect::FromSize(x, y, cx, cy));
  return true;
}

void DrawCaptionText(HDC dc, const TRect& r, const String& text, COLORREF color, UINT dpi) {
  if (text.empty() || r.IsEmpty()) return;
  int saved = SaveDC(dc);
  SelectObject(dc, CaptionFont(dpi));
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  TRect t = r;
  DrawTextW(dc, text, &t, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_LEFT);
  RestoreDC(dc, saved);
}

}  // namespace vcl
