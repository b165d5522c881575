// Vector drawing on a device context with cairo, for layers above the drawing core that paint
// vector recipes (the style engine): a scope that hands out a cairo context on the DC's surface
// without exposing the DC's internals.
#pragma once
#include <cairo.h>

#include "host/gdi/Gdi.h"

namespace vcl {

// While alive, Context() draws on dc's surface in logical coordinates with the DC's effective
// clip applied (nullptr when the DC has no surface). The context's state is saved on entry and
// restored on exit, and the surface is flushed and marked changed, so pixel access and GDI
// calls after the scope see what was drawn.
class TDcCairo {
 public:
  explicit TDcCairo(HDC dc);
  ~TDcCairo();
  TDcCairo(const TDcCairo&) = delete;
  TDcCairo& operator=(const TDcCairo&) = delete;

  cairo_t* Context() const { return FCr; }
  explicit operator bool() const { return FCr != nullptr; }

 private:
  HDC FDc;
  cairo_t* FCr = nullptr;
};

}  // namespace vcl
