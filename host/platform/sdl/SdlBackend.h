// The SDL2 backend: every surface is a borderless SDL window (X11 when a display is present),
// presented through SDL's window framebuffer (shared-memory images on X11, no GL context).
// Monitor DPI is SDL's measured DPI rounded to the nearest 25 % step, at least 96.
// Pointer events carry the pointer's screen position as read when the batch of system events
// is translated; surface coordinates are relative to the bounds last set or reported.
#pragma once
#include <array>
#include <unordered_map>

#include "host/platform/BackendCommon.h"
#include "host/platform/Spawn.h"

struct SDL_Window;
struct SDL_Cursor;
struct SDL_Surface;
union SDL_Event;

namespace vcl::platform {

class SdlBackend final : public CommonBackend {
 public:
  // Starts SDL's video subsystem (the X11 driver when DISPLAY is set and SDL_VIDEODRIVER is
  // not); throws EPlatformError with SDL's reason when it cannot. One instance at a time.
  SdlBackend();
  ~SdlBackend() override;

  const char* Name() const override { return "sdl"; }
  std::string VideoDriver() const;  // "x11", "wayland", "dummy", ...
  // The SDL window behind a surface (for native services the interface does not cover).
  SDL_Window* NativeWindow(SurfaceId s) const;

  std::uint64_t TickCount() const override;
  bool WaitEvent(Event& e, int timeoutMs) override;
  void Wake() override;

  Point CursorPos() const override;
  void SetCursorPos(Point screen) override;

  std::string ClipboardText() const override;
  bool HasClipboardText() const override;
  void SetClipboardText(const std::string& utf8) override;
  // Starts the URL handler (SetOpenUrlProgram) with the URL as its only argument.
  bool OpenUrl(const std::string& url) override;
  void Beep() override;
  void StartTextInput(SurfaceId s, const Rect& caret) override;
  void StopTextInput() override;

  // The URL handler program, looked up in PATH; "xdg-open" by default.
  void SetOpenUrlProgram(std::string program) { FUrlProgram = std::move(program); }
  // Waits for the URL handlers started so far; returns how many exited successfully.
  int WaitForUrlHandlers() { return FChildren.WaitAll(); }

 protected:
  struct SdlSurface;
  std::unique_ptr<Surface> SysCreate(SurfaceId id, const SurfaceParams& params) override;
  void SysDestroy(Surface& s) override;
  void SysSetBounds(Surface& s, const Rect& old, bool sizeChanged) override;
  void SysShow(Surface& s) override;
  void SysHide(Surface& s) override;
  void SysRaise(Surface& s) override;
  void SysPlaceBelow(Surface& s, Surface& above) override;
  void SysSetTopmost(Surface& s) override;
  void SysSetOpacity(Surface& s) override;
  void SysSetTitle(Surface& s) override;
  void SysSetShape(Surface& s) override;
  void SysActivate(Surface& s) override;
  void SysPresent(Surface& s, std::span<const Rect> rects) override;
  void SysApplyCursor(CursorShape shape) override;
  void SysSetCapture(Surface* s) override;
  void Pump() override;
  std::vector<MonitorInfo> SystemMonitors() const override;

 private:
  // Translates one SDL event; returns false for the wake-up event.
  bool Translate(const SDL_Event& ev);
  void FinishPump();
  SdlSurface* ByWindowId(std::uint32_t windowId) const;
  void Refresh(SdlSurface& s);  // shows the whole presented contents again
  // Brings the window framebuffer up to date for `rects`, or wholly when it is new or stale
  // (full = true). Throws EPlatformError when SDL cannot give the window a framebuffer.
  SDL_Surface* SyncFramebuffer(SdlSurface& s, std::span<const Rect> rects, bool& full);
  std::uint64_t EventTime(std::uint32_t sdlTimestamp) const;

  std::uint32_t FWakeType = 0;
  std::unordered_map<std::uint32_t, SurfaceId> FByWindow;
  std::array<SDL_Cursor*, 15> FCursors{};
  bool FPendingFocusLoss = false;
  bool FWoken = false;  // a wake-up was consumed by PollEvent
  bool FDisplayChanged = false;
  bool FHavePointer = false;  // FPointer is current for this pump
  Point FPointer;
  bool FHaveEventRoot = false;  // FEventRoot belongs to the next pointer event
  Point FEventRoot;
  mutable bool FMonitorsDirty = true;
  mutable std::vector<MonitorInfo> FMonitorCache;
  std::string FUrlProgram = "xdg-open";
  ChildProcesses FChildren;
};

}  // namespace vcl::platform
