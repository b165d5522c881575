// The cairo drawing scope of a device context.
#include "host/gdi/GdiCairo.h"

#include "host/gdi/GdiInternal.h"

namespace vcl {

TDcCairo::TDcCairo(HDC dc) : FDc(dc) {
  if (!dc || !dc->BeginDraw()) {
    FDc = nullptr;
    return;
  }
  FCr = dc->Cairo();
  if (FCr) cairo_save(FCr);
}

TDcCairo::~TDcCairo() {
  if (!FDc) return;
  if (FCr) {
    cairo_restore(FCr);
    cairo_surface_flush(cairo_get_target(FCr));
  }
  FDc->EndDraw();
}

}  // namespace vcl
