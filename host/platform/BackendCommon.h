// What both backends share: surface bookkeeping and back buffers, the event queue, and the
// input logic that turns raw pointer/keyboard/focus reports into Events (capture routing,
// click counting, wheel notches, key state, control characters). A backend implements the
// system side through the Sys* hooks and feeds raw input through the Deliver* calls.
#pragma once
#include <array>
#include <deque>
#include <map>

#include "host/platform/Platform.h"
#include "host/platform/VirtualKeys.h"

namespace vcl::platform {

// Counts repeated presses: same button on the same surface, within the double-click time of
// the previous press and inside the double-click rectangle centred on it.
class ClickTracker {
 public:
  int Press(SurfaceId target, MouseButton b, Point screen, std::uint64_t time,
            unsigned doubleClickTime);
  void Reset() { FCount = 0; }

 private:
  SurfaceId FTarget = NoSurface;
  MouseButton FButton = MouseButton::Left;
  Point FPos;
  std::uint64_t FTime = 0;
  int FCount = 0;
};

// Turns fine wheel deltas (120 per notch) into whole notches, keeping the remainder for the
// next report.
class WheelAccumulator {
 public:
  int Add(int fineDelta);  // returns a multiple of WheelDelta
  int Remainder() const { return FRest; }
  void Reset() { FRest = 0; }

 private:
  int FRest = 0;
};

// Reads KX_DPI: 0 when unset or empty; throws EPlatformError for a value that is not an
// integer 48..960.
int DpiOverride();
// Refuses what must never reach a URL handler's command line.
bool IsAcceptableUrl(const std::string& url);

class CommonBackend : public Backend {
 public:
  CommonBackend();
  ~CommonBackend() override;

  SurfaceId CreateSurface(const SurfaceParams& params) override;
  void DestroySurface(SurfaceId s) override;
  bool SurfaceExists(SurfaceId s) const override;
  SurfaceKind Kind(SurfaceId s) const override;
  void SetBounds(SurfaceId s, const Rect& screenBounds) override;
  Rect Bounds(SurfaceId s) const override;
  void Show(SurfaceId s) override;
  void Hide(SurfaceId s) override;
  bool Visible(SurfaceId s) const override;
  void Raise(SurfaceId s) override;
  void PlaceBelow(SurfaceId s, SurfaceId above) override;
  void SetTopmost(SurfaceId s, bool topmost) override;
  bool Topmost(SurfaceId s) const override;
  void SetOpacity(SurfaceId s, std::uint8_t opacity) override;
  std::uint8_t Opacity(SurfaceId s) const override;
  void SetTitle(SurfaceId s, const std::string& utf8) override;
  std::string Title(SurfaceId s) const override;
  void SetShape(SurfaceId s, std::span<const Rect> rects) override;
  void ResetShape(SurfaceId s) override;
  bool Shaped(SurfaceId s) const override;
  void SetCursor(SurfaceId s, CursorShape shape) override;
  CursorShape Cursor(SurfaceId s) const override;
  void Activate(SurfaceId s) override;
  SurfaceId FocusSurface() const override { return FFocus; }
  cairo_surface_t* BackBuffer(SurfaceId s) override;
  void Present(SurfaceId s, std::span<const Rect> dirty) override;
  using Backend::Present;

  void SetMouseCapture(SurfaceId s) override;
  SurfaceId MouseCapture() const override { return FCapture; }
  Point CursorPos() const override { return FMousePos; }
  std::uint8_t MouseButtons() const override { return FButtons; }
  std::uint8_t Modifiers() const override;
  bool IsKeyDown(std::uint16_t vk) const override;

  bool PollEvent(Event& e) override;
  unsigned DoubleClickTime() const override { return FDoubleClickTime; }
  void SetDoubleClickTime(unsigned ms) override;
  std::vector<MonitorInfo> Monitors() const override;

  // The pointer shape in effect: that of the capturing surface, else of the surface under the
  // pointer, else the arrow.
  CursorShape CurrentCursor() const;

 protected:
  struct Surface {
    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    virtual ~Surface();
    SurfaceId Id = NoSurface;
    SurfaceKind Kind = SurfaceKind::Normal;
    SurfaceId Owner = NoSurface;
    Rect Bounds;
    std::string Title;
    bool Visible = false;
    bool Topmost = false;
    std::uint8_t Opacity = 255;
    CursorShape Cursor = CursorShape::Arrow;
    bool IsShaped = false;
    std::vector<Rect> Shape;  // surface-relative, when IsShaped
    cairo_surface_t* Back = nullptr;
    // Whether a surface-relative point is inside the shape (always, when unshaped).
    bool InShape(int x, int y) const;
  };

  // ---- System side, implemented by each backend ---------------------------------------------
  // Creates the system object for a new surface; the base fills in the common fields and the
  // back buffer afterwards. Throws EPlatformError on failure.
  virtual std::unique_ptr<Surface> SysCreate(SurfaceId id, const SurfaceParams& params) = 0;
  virtual void SysDestroy(Surface& s) = 0;
  // Called after s.Bounds changed; sizeChanged: the back buffer was recreated.
  virtual void SysSetBounds(Surface& s, const Rect& old, bool sizeChanged) = 0;
  virtual void SysShow(Surface& s) = 0;
  virtual void SysHide(Surface& s) = 0;
  virtual void SysRaise(Surface& s) = 0;
  virtual void SysPlaceBelow(Surface& s, Surface& above) = 0;
  virtual void SysSetTopmost(Surface& s) = 0;
  virtual void SysSetOpacity(Surface& s) = 0;
  virtual void SysSetTitle(Surface& s) = 0;
  virtual void SysSetShape(Surface& s) = 0;
  virtual void SysActivate(Surface& s) = 0;
  // Shows the given areas, already clipped to the surface and non-empty; the back buffer has
  // been flushed.
  virtual void SysPresent(Surface& s, std::span<const Rect> rects) = 0;
  virtual void SysApplyCursor(CursorShape shape) = 0;
  virtual void SysSetCapture(Surface* s) = 0;
  // Moves pending system events into the queue (Deliver*/Queue).
  virtual void Pump() = 0;
  virtual std::vector<MonitorInfo> SystemMonitors() const = 0;

  // ---- Raw input, reported by the backend -----------------------------------------------------
  // hit: the surface the system found under the pointer (NoSurface: none of ours).
  void DeliverMouseMove(SurfaceId hit, Point screen, std::uint64_t time);
  void DeliverMouseButton(SurfaceId hit, Point screen, MouseButton b, bool down,
                          std::uint64_t time);
  // Fine deltas: 120 per notch; positive = away from the user / to the right.
  void DeliverWheel(SurfaceId hit, Point screen, int fineY, int fineX, std::uint64_t time);
  // The pointer left every surface (and no capture holds it).
  void DeliverMouseLeftAll(std::uint64_t time);
  // vk may be a left/right variant; it is reported as the generic code.
  void DeliverKey(std::uint16_t vk, KeyScanCode scan, bool down, std::uint64_t time);
  void DeliverText(const std::string& utf8, std::uint64_t time);
  void DeliverComposition(const std::string& utf8, std::uint64_t time);
  // The system keyboard focus moved to s (NoSurface: away from the application).
  void DeliverFocus(SurfaceId s, std::uint64_t time);
  // The system changed a surface's bounds (window manager move/resize).
  void DeliverSystemBounds(SurfaceId s, const Rect& bounds, std::uint64_t time);
  void SetLockState(bool caps, bool num, bool scroll);
  void Queue(Event e);

  // Derived destructors call this first, while their system resources still exist.
  void DestroyAllSurfaces();

  Surface* Find(SurfaceId s) const;
  Surface& Get(SurfaceId s, const char* call) const;
  const std::map<SurfaceId, std::unique_ptr<Surface>>& Surfaces() const { return FSurfaces; }
  bool HasQueuedEvents() const { return !FQueue.empty(); }
  bool PopQueued(Event& e);

  // The surface pointer events currently go to, for the given surface under the pointer.
  SurfaceId PointerTarget(SurfaceId hit) const;

 private:
  void ResizeBackBuffer(Surface& s, int w, int h);
  void UpdateHover(SurfaceId target, std::uint64_t time);
  void UpdateCursor();
  Event PointerEvent(EventType type, SurfaceId target, std::uint64_t time) const;
  void ForgetSurface(SurfaceId s);

  std::map<SurfaceId, std::unique_ptr<Surface>> FSurfaces;
  SurfaceId FNextId = 1;
  std::deque<Event> FQueue;

  Point FMousePos;
  SurfaceId FMouseSurface = NoSurface;  // under the pointer, as the system reports it
  SurfaceId FHover = NoSurface;         // receiving pointer events
  SurfaceId FCapture = NoSurface;       // explicit capture
  SurfaceId FPressTarget = NoSurface;   // implicit capture while buttons are held
  std::uint8_t FButtons = 0;
  std::array<int, 5> FLastClickCount{};
  ClickTracker FClicks;
  WheelAccumulator FWheelY, FWheelX;
  unsigned FDoubleClickTime = DefaultDoubleClickTime;
  CursorShape FAppliedCursor = CursorShape::Arrow;

  std::array<bool, 256> FKeys{};
  bool FCaps = false, FNum = false, FScroll = false;
  SurfaceId FFocus = NoSurface;
};

}  // namespace vcl::platform
