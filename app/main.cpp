// The demonstration program. Until the main window exists it shows the drawing core's sheet
// in a window of its own.
//
//   kx_demo                      a window on the current display (Escape or closing it ends)
//   kx_demo --screenshot FILE    renders headlessly and writes FILE (PNG)
//   kx_demo --dpi N              draws at N pixels per inch (default: the monitor's)
#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/TestSheet.h"
#include "host/gdi/GdiInternal.h"
#include "host/platform/Platform.h"
#include "host/platform/VirtualKeys.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/rtl/SysUtils.h"

namespace {

namespace pf = vcl::platform;

struct Options {
  std::string Screenshot;
  int Dpi = 0;
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* name) -> std::string {
      if (i + 1 >= argc) throw vcl::EArgumentException("Option " + std::string(name) + " needs a value");
      return argv[++i];
    };
    if (a == "--screenshot") {
      o.Screenshot = value("--screenshot");
    } else if (a == "--dpi") {
      std::string v = value("--dpi");
      char* end = nullptr;
      long dpi = std::strtol(v.c_str(), &end, 10);
      if (end == v.c_str() || *end || dpi < 48 || dpi > 480)
        throw vcl::EArgumentException("Option --dpi: '" + v + "' is not a density from 48 to 480");
      o.Dpi = int(dpi);
    } else {
      throw vcl::EArgumentException("Unknown option '" + a + "' (use --screenshot FILE, --dpi N)");
    }
  }
  return o;
}

// Renders the sheet into the surface's back buffer and shows it.
void PaintSurface(pf::Backend& backend, pf::SurfaceId id, int dpi) {
  cairo_surface_t* target = backend.BackBuffer(id);
  const int w = cairo_image_surface_get_width(target), h = cairo_image_surface_get_height(target);
  void* bits = nullptr;
  vcl::HBITMAP bmp = vcl::CreateDIB32(w, h, &bits);
  vcl::HDC dc = vcl::CreateCompatibleDC(nullptr);
  vcl::HBITMAP old = vcl::SelectObject(dc, bmp);
  vcl::SetDcDpi(dc, dpi);
  app::PaintTestSheet(dc, dpi);
  vcl::GdiFlush();

  cairo_surface_flush(target);
  auto* dst = cairo_image_surface_get_data(target);
  const int stride = cairo_image_surface_get_stride(target);
  for (int y = 0; y < h; ++y)
    std::memcpy(dst + size_t(y) * stride, static_cast<const uint8_t*>(bits) + size_t(y) * w * 4, size_t(w) * 4);
  cairo_surface_mark_dirty(target);
  vcl::SelectObject(dc, old);
  vcl::DeleteDC(dc);
  vcl::DeleteObject(bmp);
  pf::Rect all{0, 0, w, h};
  backend.Present(id, {&all, 1});
}

pf::MonitorInfo PrimaryMonitor(pf::Backend& backend) {
  auto monitors = backend.Monitors();
  for (auto& m : monitors)
    if (m.Primary) return m;
  return monitors.at(0);
}

int Run(const Options& opt) {
  if (!opt.Screenshot.empty()) pf::SetCurrentBackend(std::make_unique<pf::HeadlessBackend>());
  pf::Backend& backend = pf::CurrentBackend();
  pf::MonitorInfo mon = PrimaryMonitor(backend);
  const int dpi = opt.Dpi ? opt.Dpi : mon.Dpi;
  const int w = vcl::MulDiv(app::kSheetWidth, dpi, 96), h = vcl::MulDiv(app::kSheetHeight, dpi, 96);
  pf::SurfaceParams params;
  params.Title = "Kexora for C++";
  params.Bounds = pf::Rect::FromSize(mon.WorkArea.Left + std::max(0, (mon.WorkArea.Width() - w) / 2),
                                     mon.WorkArea.Top + std::max(0, (mon.WorkArea.Height() - h) / 2), w, h);
  pf::SurfaceId id = backend.CreateSurface(params);
  backend.Show(id);
  backend.Activate(id);
  PaintSurface(backend, id, dpi);

  if (!opt.Screenshot.empty()) {
    static_cast<pf::HeadlessBackend&>(backend).SaveSurfacePng(id, opt.Screenshot);
    std::printf("%s\n", opt.Screenshot.c_str());
    backend.DestroySurface(id);
    return 0;
  }
  for (;;) {
    pf::Event e;
    if (!backend.WaitEvent(e, 1000)) continue;
    switch (e.Type) {
      case pf::EventType::Quit:
        backend.DestroySurface(id);
        return 0;
      case pf::EventType::Close:
        if (e.Surface == id) {
          backend.DestroySurface(id);
          return 0;
        }
        break;
      case pf::EventType::KeyDown:
        if (e.VirtualKey == vcl::VK_ESCAPE) {
          backend.DestroySurface(id);
          return 0;
        }
        break;
      case pf::EventType::Expose:
      case pf::EventType::Resized:
        PaintSurface(backend, id, dpi);
        break;
      default:
        break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(ParseOptions(argc, argv));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kx_demo: %s\n", e.what());
    return 1;
  }
}
