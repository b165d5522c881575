// The port over the platform: an in-process desktop used until the platform backend is wired
// in (one 1920x1080 monitor at 96 DPI, memory surfaces, a virtual clock).
#include <map>

#include "host/win/DesktopPort.h"

namespace vcl::wm {

namespace {

class LocalPort final : public DesktopPort {
 public:
  std::uint32_t TickCount() override { return FClock; }
  bool IsInteractive() override { return false; }
  std::vector<PortMonitor> Monitors() override {
    return {{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040), 96, true}};
  }
  SurfaceId CreateSurface(SurfaceKind, const TRect& bounds) override {
    SurfaceId id = ++FNext;
    FSurfaces[id] = {bounds, cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bounds.Width(), bounds.Height())};
    return id;
  }
  void DestroySurface(SurfaceId id) override {
    auto it = FSurfaces.find(id);
    if (it == FSurfaces.end()) return;
    cairo_surface_destroy(it->second.Buffer);
    FSurfaces.erase(it);
  }
  cairo_surface_t* BackBuffer(SurfaceId id) override {
    auto it = FSurfaces.find(id);
    return it == FSurfaces.end() ? nullptr : it->second.Buffer;
  }
  void SetBounds(SurfaceId id, const TRect& b) override {
    auto it = FSurfaces.find(id);
    if (it == FSurfaces.end()) return;
    if (b.Width() != it->second.Bounds.Width() || b.Height() != it->second.Bounds.Height()) {
      cairo_surface_destroy(it->second.Buffer);
      it->second.Buffer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, b.Width(), b.Height());
    }
    it->second.Bounds = b;
  }
  void Show(SurfaceId, bool) override {}
  void Restack(const std::vector<SurfaceId>&) override {}
  void SetTopmost(SurfaceId, bool) override {}
  void SetOpacity(SurfaceId, double) override {}
  void SetTitle(SurfaceId, const String&) override {}
  void Present(SurfaceId, const std::vector<TRect>&) override { ++Presents; }
  void RequestFocus(SurfaceId) override {}
  void CapturePointer(SurfaceId) override {}
  bool PollEvent(PortEvent&) override { return false; }
  void WaitEvent(int timeoutMs) override {
    if (timeoutMs > 0) FClock += std::uint32_t(timeoutMs);
  }
  TPoint CursorPos() override { return FCursor; }
  void SetCursorPos(TPoint pt) override { FCursor = pt; }
  void SetCursorShape(SurfaceId, int) override {}
  unsigned DoubleClickTime() override { return FDbl; }
  void SetDoubleClickTime(unsigned ms) override { FDbl = ms; }
  String ClipboardText() override { return FClip; }
  bool HasClipboardText() override { return FHasClip; }
  void SetClipboardText(const String& t) override {
    FClip = t;
    FHasClip = true;
  }
  bool OpenUrl(const String& url) override { return !url.empty(); }
  void Beep() override {}

  std::uint32_t FClock = 1000000;
  int Presents = 0;

 private:
  struct Surf {
    TRect Bounds;
    cairo_surface_t* Buffer;
  };
  std::map<SurfaceId, Surf> FSurfaces;
  SurfaceId FNext = 0;
  TPoint FCursor;
  unsigned FDbl = 500;
  String FClip;
  bool FHasClip = false;
};

}  // namespace

DesktopPort& Port() {
  static LocalPort* p = new LocalPort;
  return *p;
}

void AdvanceLocalClock(std::uint32_t ms) { static_cast<LocalPort&>(Port()).FClock += ms; }

}  // namespace vcl::wm
