// The window manager's view of the platform: the clock, monitors, top-level surfaces with their
// back buffers, input events, the cursor, the clipboard and the shell. One implementation sits
// over the platform backend (DesktopPort.cpp); the window manager uses nothing else of it.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <vector>

#include "host/gdi/Types.h"
#include "host/rtl/System.h"

namespace vcl::wm {

struct PortMonitor {
  TRect Bounds;
  TRect Work;
  int Dpi = 96;
  bool Primary = false;
};

enum class SurfaceKind : std::uint8_t { Normal, Popup, Tooltip };

using SurfaceId = std::uintptr_t;  // 0 = none

enum class PortEventKind : std::uint8_t {
  None,
  MouseMove,
  MouseLeave,   // the pointer left our surfaces
  MouseDown,
  MouseUp,
  Wheel,
  KeyDown,
  KeyUp,
  Text,
  FocusLost,    // the application lost the keyboard focus to another program
  FocusGained,
  CloseRequest, // the user asked to close a surface (window manager button, Alt+F4 outside us)
  SurfaceMoved, // the desktop moved or resized a surface (Bounds: new screen bounds)
  Expose,       // a surface must show its contents again (Bounds: surface-relative area)
  MonitorsChanged,
  Quit,         // the session asks the application to end
  Composition,  // Text: the input method's composition string (empty: cancelled)
};

struct PortEvent {
  PortEventKind Kind = PortEventKind::None;
  SurfaceId Surface = 0;
  TPoint ScreenPos;     // pointer position in screen coordinates (mouse events)
  int Button = 0;       // 1 left, 2 right, 3 middle, 4 X1, 5 X2
  int WheelX = 0;       // wheel notches (positive: right), in WHEEL_DELTA units
  int WheelY = 0;       // positive: away from the user
  std::uint8_t Buttons = 0;  // buttons held after the event: 1 left, 2 right, 4 middle, 8 X1, 16 X2
  std::uint8_t Mods = 0;     // 1 Shift, 2 Ctrl, 4 Alt held at the time of the event
  int Vk = 0;           // virtual-key code (key events)
  int ScanCode = 0;
  bool Extended = false;
  bool Repeat = false;
  String Text;          // Text events: characters as they reach WM_CHAR (they follow the
                        // KeyDown that produced them)
  TRect Bounds;
  std::uint32_t Time = 0;
};

class DesktopPort {
 public:
  virtual ~DesktopPort() = default;

  virtual std::uint32_t TickCount() = 0;
  // False for a desktop without a user (headless): no input ever arrives by itself and the
  // clock moves only when told to.
  virtual bool IsInteractive() = 0;
  // Whether key presses are followed by Text events with the characters they produce.
  virtual bool KeyTextProvided() = 0;
  virtual std::vector<PortMonitor> Monitors() = 0;

  // A hidden surface with an ARGB32 back buffer of bounds' size, positioned in screen
  // coordinates; an owned surface stays above its owner.
  virtual SurfaceId CreateSurface(SurfaceKind kind, const TRect& bounds, bool topmost,
                                  SurfaceId owner) = 0;
  virtual void DestroySurface(SurfaceId id) = 0;
  // The back buffer (owned by the port; valid until the next resize or destruction).
  virtual cairo_surface_t* BackBuffer(SurfaceId id) = 0;
  // Moves and resizes; a size change replaces the back buffer (contents undefined).
  virtual void SetBounds(SurfaceId id, const TRect& bounds) = 0;
  virtual void Show(SurfaceId id, bool visible) = 0;
  // Stacking of our surfaces, bottom first.
  virtual void Restack(const std::vector<SurfaceId>& bottomToTop) = 0;
  virtual void SetTopmost(SurfaceId id, bool topmost) = 0;
  virtual void SetOpacity(SurfaceId id, double opacity) = 0;
  virtual void SetTitle(SurfaceId id, const String& title) = 0;
  // Only these surface-relative rectangles show and take pointer input (window regions).
  virtual void SetShape(SurfaceId id, const std::vector<TRect>& rects) = 0;
  virtual void ResetShape(SurfaceId id) = 0;
  // Makes the back buffer's rectangles visible.
  virtual void Present(SurfaceId id, const std::vector<TRect>& rects) = 0;
  // Asks the desktop to give our application the keyboard focus on this surface.
  virtual void RequestFocus(SurfaceId id) = 0;
  // Routes every pointer event to the surface, also outside it (0 releases).
  virtual void CapturePointer(SurfaceId id) = 0;

  virtual bool PollEvent(PortEvent& out) = 0;
  // Waits until an event arrives or timeoutMs passes (-1: no limit). Returns at once when no
  // event can ever arrive (a headless desktop).
  virtual void WaitEvent(int timeoutMs) = 0;

  virtual TPoint CursorPos() = 0;
  virtual void SetCursorPos(TPoint pt) = 0;
  virtual void SetCursorShape(SurfaceId id, int idc) = 0;  // IDC_xxx; 0 hides the cursor
  virtual unsigned DoubleClickTime() = 0;
  virtual void SetDoubleClickTime(unsigned ms) = 0;

  virtual String ClipboardText() = 0;
  virtual bool HasClipboardText() = 0;
  virtual void SetClipboardText(const String& text) = 0;
  virtual bool OpenUrl(const String& url) = 0;
  // Text input with an input method at the caret rectangle (surface pixels), and its end.
  virtual void StartTextInput(SurfaceId id, const TRect& caret) { (void)id; (void)caret; }
  virtual void StopTextInput() {}
  virtual void Beep() = 0;
};

// The port of the current platform backend (created on first use).
DesktopPort& Port();

}  // namespace vcl::wm
