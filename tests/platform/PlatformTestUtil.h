// Helpers shared by the platform tests.
#pragma once
#include <cairo.h>

#include <vector>

#include "host/platform/headless/HeadlessBackend.h"

namespace vcl::platform::test {

inline std::vector<Event> Drain(Backend& b) {
  std::vector<Event> out;
  Event e;
  while (b.PollEvent(e)) out.push_back(e);
  return out;
}

inline std::vector<Event> OfType(const std::vector<Event>& all, EventType t) {
  std::vector<Event> out;
  for (const Event& e : all)
    if (e.Type == t) out.push_back(e);
  return out;
}

// Fills the whole back buffer with an opaque colour (0xRRGGBB).
inline void Fill(Backend& b, SurfaceId s, std::uint32_t rgb) {
  cairo_t* cr = cairo_create(b.BackBuffer(s));
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
  cairo_paint(cr);
  cairo_destroy(cr);
}

inline SurfaceId MakeSurface(Backend& b, Rect r, SurfaceKind kind = SurfaceKind::Normal,
                             bool show = true) {
  SurfaceParams p;
  p.Kind = kind;
  p.Bounds = r;
  SurfaceId s = b.CreateSurface(p);
  if (show) b.Show(s);
  return s;
}

}  // namespace vcl::platform::test
