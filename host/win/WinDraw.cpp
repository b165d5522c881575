// Small drawing helpers of the window manager's own painting (frames, scroll bars, carets).
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

void DrawWindowIcon(WindowObject*, HDC, const TRect&) {}

void DrawCaptionText(HDC, const TRect&, const String&, COLORREF, UINT) {}

}  // namespace vcl
