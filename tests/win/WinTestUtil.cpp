#include "tests/win/WinTestUtil.h"

#include "host/gdi/GdiInternal.h"
#include "host/platform/headless/HeadlessBackend.h"

namespace vcl::wintest {

platform::HeadlessBackend& Headless() {
  return dynamic_cast<platform::HeadlessBackend&>(platform::CurrentBackend());
}

void AdvanceClock(unsigned ms) { Headless().AdvanceClock(ms); }

std::uint32_t PixelAt(HWND top, int x, int y) {
  HDC dc = GetWindowDC(top);
  cairo_surface_t* s = dc->BeginDraw();
  std::uint32_t v = 0;
  if (s) {
    TPoint o = dc->DcOrg;
    int stride;
    std::uint32_t* px = SurfacePixels(s, stride);
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    if (x + o.X >= 0 && y + o.Y >= 0 && x + o.X < w && y + o.Y < h)
      v = px[size_t(y + o.Y) * size_t(stride) + size_t(x + o.X)] & 0xFFFFFF;
  }
  ReleaseDC(top, dc);
  return v;
}

}  // namespace vcl::wintest

namespace vcl::wintest {

void FillDc(HDC dc, const TRect& r, COLORREF c) {
  cairo_t* cr = dc->Cairo();
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
  cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
  cairo_fill(cr);
  cairo_restore(cr);
  dc->EndDraw();
}

}  // namespace vcl::wintest
