// The headless backend: a virtual screen for tests and screenshots. Nothing touches the
// display; time is a virtual clock that only moves when the test (or WaitEvent) advances it;
// input is injected; what surfaces presented can be captured as pixels or PNG files.
#pragma once
#include <atomic>

#include "host/platform/BackendCommon.h"

namespace vcl::platform {

// Pixels of a capture, row-major, 0xAARRGGBB (cairo ARGB32 values, premultiplied).
struct PixelBuffer {
  int Left = 0, Top = 0;  // screen position of pixel (0, 0) for screen captures
  int Width = 0, Height = 0;
  std::vector<std::uint32_t> Pixels;
  std::uint32_t At(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
};

class HeadlessBackend final : public CommonBackend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;

  const char* Name() const override { return "headless"; }

  // ---- Time ----------------------------------------------------------------------------------
  // The virtual clock starts at 1'000'000 ms.
  std::uint64_t TickCount() const override { return FClock; }
  void AdvanceClock(std::uint64_t ms) { FClock += ms; }

  bool WaitEvent(Event& e, int timeoutMs) override;
  void Wake() override { FWoken.store(true); }

  // ---- Monitors ------------------------------------------------------------------------------
  // Default: one 1920x1080 monitor at 96 DPI whose work area leaves a 40 px task bar at the
  // bottom. SetMonitors validates (non-empty bounds, work area inside them, DPI 48..960, at
  // most one primary; the first becomes primary when none is) and queues DisplayChanged.
  void SetMonitors(std::vector<MonitorInfo> monitors);

  // ---- Input injection -----------------------------------------------------------------------
  // Pointer input goes to the capturing surface, else to the surface a button was pressed on
  // while buttons are held, else to the topmost visible surface under the point. Consecutive
  // moves to one surface collapse into the latest, as Win32 does.
  void InjectMouseMove(int screenX, int screenY);
  void InjectMouseButton(MouseButton b, bool down);  // at the current pointer position
  void InjectClick(int screenX, int screenY, MouseButton b = MouseButton::Left);
  // delta in 120ths of a notch, accumulated like the SDL backend's fine deltas.
  void InjectWheel(int delta, bool horizontal = false);
  // Key presses report to the focused surface; VK_SHIFT/VK_CONTROL/VK_MENU mean the left key.
  // A press of a key already down is an auto-repeat.
  void InjectKey(std::uint16_t vk, bool down);
  void InjectText(const std::string& utf8);
  // An input-method composition string (empty: the composition is cancelled); commit it
  // with InjectText.
  void InjectComposition(const std::string& utf8);
  // Text input as the window manager last asked for it (the caret rectangle in surface
  // pixels).
  void StartTextInput(SurfaceId s, const Rect& caret) override {
    FTextInput = true;
    FTextInputSurface = s;
    FTextInputRect = caret;
  }
  void StopTextInput() override { FTextInput = false; }
  bool TextInputActive() const { return FTextInput; }
  SurfaceId TextInputSurface() const { return FTextInputSurface; }
  Rect TextInputRect() const { return FTextInputRect; }
  // The application gains (the last focused, else the topmost visible Normal surface gets the
  // focus) or loses the system focus.
  void InjectFocus(bool gained);
  void InjectClose(SurfaceId s);
  void InjectExpose(SurfaceId s);
  void InjectQuit();
  // The system (a window manager) moved or resized a surface.
  void InjectSystemBounds(SurfaceId s, const Rect& screenBounds);

  void SetCursorPos(Point screen) override { InjectMouseMove(screen.X, screen.Y); }

  // ---- Inspection ----------------------------------------------------------------------------
  std::vector<SurfaceId> ZOrder() const;  // all surfaces, topmost first
  // The topmost visible surface whose shape contains the point; NoSurface if none.
  SurfaceId SurfaceAt(int screenX, int screenY) const;
  const std::vector<std::string>& OpenedUrls() const { return FUrls; }
  int BeepCount() const { return FBeeps; }

  // ---- Capture -------------------------------------------------------------------------------
  // A surface's back buffer as drawn (alpha included).
  PixelBuffer CaptureSurface(SurfaceId s) const;
  // The virtual screen (bounding box of all monitors): the desktop colour, then every visible
  // surface's presented contents bottom to top, opaque but for its Opacity. Alpha is 255.
  PixelBuffer CaptureScreen() const;
  // PNG files of the same (the surface opaque, as it is shown). Throw EPlatformError naming
  // the path when the file cannot be written.
  void SaveSurfacePng(SurfaceId s, const std::string& path) const;
  void SaveScreenPng(const std::string& path) const;
  void SetDesktopColor(std::uint32_t rgb) { FDesktop = rgb & 0xFFFFFF; }

  // ---- Clipboard, shell ----------------------------------------------------------------------
  std::string ClipboardText() const override { return FClipboard; }
  bool HasClipboardText() const override { return FHasClipboard; }
  void SetClipboardText(const std::string& utf8) override;
  // Records acceptable URLs (see Backend::OpenUrl) instead of launching anything.
  bool OpenUrl(const std::string& url) override;
  void Beep() override { ++FBeeps; }

 protected:
  struct HSurface;
  std::unique_ptr<Surface> SysCreate(SurfaceId id, const SurfaceParams& params) override;
  void SysDestroy(Surface& s) override;
  // The presented copy is brought to size by the next present.
  void SysSetBounds(Surface&, const Rect&, bool) override {}
  void SysShow(Surface& s) override;
  void SysHide(Surface&) override {}
  void SysRaise(Surface& s) override;
  void SysPlaceBelow(Surface& s, Surface& above) override;
  void SysSetTopmost(Surface& s) override;
  void SysSetOpacity(Surface&) override {}
  void SysSetTitle(Surface&) override {}
  void SysSetShape(Surface&) override {}
  void SysActivate(Surface& s) override;
  void SysPresent(Surface& s, std::span<const Rect> rects) override;
  void SysApplyCursor(CursorShape) override {}
  void SysSetCapture(Surface*) override {}
  void Pump() override {}
  std::vector<MonitorInfo> SystemMonitors() const override { return FMonitors; }

 private:
  void Restack(SurfaceId s, size_t pos);
  size_t BandTop(bool topmost) const;  // index just above the band's highest surface
  Rect VirtualScreen() const;  // bounding box of the monitors
  cairo_surface_t* ComposeScreen() const;

  std::uint64_t FClock = 1'000'000;
  std::atomic<bool> FWoken{false};
  std::vector<MonitorInfo> FMonitors;
  std::vector<SurfaceId> FZ;  // bottom to top; topmost surfaces above all others
  SurfaceId FLastFocus = NoSurface;
  std::string FClipboard;
  bool FHasClipboard = false;
  std::vector<std::string> FUrls;
  int FBeeps = 0;
  bool FTextInput = false;
  SurfaceId FTextInputSurface = NoSurface;
  Rect FTextInputRect;
  std::uint32_t FDesktop = 0x000000;
};

}  // namespace vcl::platform
