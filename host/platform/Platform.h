// The platform backend: top-level surfaces with back buffers, input events, time, monitors,
// clipboard and shell services. The window manager sits directly on this interface.
//
// This is the lowest layer: it uses only the standard library and cairo. Text is UTF-8
// (std::string), geometry is in physical pixels, rectangles exclude their right/bottom edge.
//
// Two implementations exist: SdlBackend (real windows, host/platform/sdl/SdlBackend.h) and
// HeadlessBackend (virtual screen for tests and screenshots, host/platform/headless/
// HeadlessBackend.h). CurrentBackend() is the process-wide instance the higher layers use.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace vcl::platform {

// Every failure of this layer (bad argument, unknown surface, system refusal) is reported as
// an EPlatformError whose message names the call and the offending value.
class EPlatformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Point {
  int X = 0;
  int Y = 0;
  friend constexpr bool operator==(const Point&, const Point&) = default;
};

// Left/Top inclusive, Right/Bottom exclusive.
struct Rect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  static constexpr Rect FromSize(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(int x, int y) const {
    return x >= Left && x < Right && y >= Top && y < Bottom;
  }
  constexpr bool Contains(const Rect& r) const {
    return r.Left >= Left && r.Top >= Top && r.Right <= Right && r.Bottom <= Bottom;
  }
  // The common part; empty (all zero) when the rectangles do not overlap.
  constexpr Rect Intersect(const Rect& r) const {
    Rect x{Left > r.Left ? Left : r.Left, Top > r.Top ? Top : r.Top,
           Right < r.Right ? Right : r.Right, Bottom < r.Bottom ? Bottom : r.Bottom};
    return x.IsEmpty() ? Rect{} : x;
  }
  constexpr Rect Offset(int dx, int dy) const {
    return {Left + dx, Top + dy, Right + dx, Bottom + dy};
  }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// Surfaces are named by ids that are never reused within a backend's lifetime.
using SurfaceId = std::uint32_t;
inline constexpr SurfaceId NoSurface = 0;

// Popup and Tooltip surfaces never take the keyboard focus and are kept off the task bar.
enum class SurfaceKind : std::uint8_t { Normal, Popup, Tooltip };

// None hides the pointer while it is over the surface.
enum class CursorShape : std::uint8_t {
  Arrow, IBeam, Wait, Cross, UpArrow, SizeNWSE, SizeNESW, SizeWE, SizeNS, SizeAll,
  No, Hand, AppStarting, Help, None
};

enum class MouseButton : std::uint8_t { Left, Right, Middle, X1, X2 };

// Bit of a button in Event::Buttons and Backend::MouseButtons().
constexpr std::uint8_t ButtonBit(MouseButton b) { return std::uint8_t(1u << unsigned(b)); }

// Modifier and lock state bits (Event::Mods, Backend::Modifiers()).
enum ModifierBits : std::uint8_t {
  ModShift = 0x01,
  ModCtrl = 0x02,
  ModAlt = 0x04,
  ModCapsLock = 0x08,
  ModNumLock = 0x10,
  ModScrollLock = 0x20,
};

// One wheel notch; wheel events carry multiples of it.
inline constexpr int WheelDelta = 120;

// Win32's SM_CXDOUBLECLK/SM_CYDOUBLECLK: a second press counts as a double click when it lands
// inside a rectangle of this size centred on the previous press.
inline constexpr int DoubleClickWidth = 4;
inline constexpr int DoubleClickHeight = 4;
inline constexpr unsigned DefaultDoubleClickTime = 500;  // ms

struct SurfaceParams {
  SurfaceKind Kind = SurfaceKind::Normal;
  Rect Bounds;                   // screen pixels; width and height 0..32767
  std::string Title;             // shown by the system task bar (Normal surfaces)
  bool Topmost = false;          // kept above every non-topmost surface
  std::uint8_t Opacity = 255;    // whole-surface opacity, 0..255
  SurfaceId Owner = NoSurface;   // Normal surfaces: stays above its owner (transient window)
};

enum class EventType : std::uint8_t {
  None,
  MouseMove,     // Surface, X/Y, ScreenX/ScreenY, Buttons, Mods
  MouseLeave,    // Surface: the pointer left it and no further moves will be reported to it
  MouseDown,     // + Button, ClickCount (1, 2, 3, ... for repeated presses; see ClickCount)
  MouseUp,       // + Button, ClickCount of the press it ends
  MouseWheel,    // + WheelDelta (vertical, >0 away from the user), WheelDeltaX (>0 right)
  KeyDown,       // VirtualKey (VK_SHIFT/VK_CONTROL/VK_MENU for either side), ScanCode,
  KeyUp,         //   Extended, Repeat (KeyDown only), Mods; Surface: system keyboard focus
  Text,          // Text: UTF-8 characters typed (see Event::Text)
  FocusGained,   // Surface received the system keyboard focus
  FocusLost,     // the keyboard focus left all surfaces of this process
  Close,         // the user asked to close Surface (window manager close, Alt+F4 ...)
  Expose,        // Surface must show its contents again; Bounds: surface-relative area
  Moved,         // the system moved Surface; Bounds: new screen bounds
  Resized,       // the system resized Surface (back buffer already resized); Bounds as Moved
  DisplayChanged,// monitors, work areas or DPI changed: re-read Monitors()
  Quit,          // the session or the user asked the application to end
  Composition,   // Text: the input method's composition string, UTF-8 (empty: it ended
                 // without result; a result arrives as a Text event)
};

struct Event {
  EventType Type = EventType::None;
  SurfaceId Surface = NoSurface;
  std::uint64_t Time = 0;        // TickCount() when the event happened
  int X = 0, Y = 0;              // pointer in surface pixels (may lie outside while captured)
  int ScreenX = 0, ScreenY = 0;  // pointer in screen pixels
  MouseButton Button = MouseButton::Left;
  // Presses of the same button within DoubleClickTime() and the double-click rectangle count
  // up: 1, 2, 3, ... A window manager reports an even count as a double click.
  int ClickCount = 0;
  int WheelDelta = 0;
  int WheelDeltaX = 0;
  std::uint8_t Buttons = 0;      // ButtonBit() of the buttons held after the event
  std::uint8_t Mods = 0;         // ModifierBits at the time of the event
  std::uint16_t VirtualKey = 0;  // VK_ code (host/platform/VirtualKeys.h)
  std::uint16_t ScanCode = 0;    // set-1 scan code, without the E0 prefix
  bool Extended = false;         // E0-prefixed key (right Ctrl/Alt, arrows, keypad Enter ...)
  bool Repeat = false;           // auto-repeat of a key already down
  // Characters as they would reach WM_CHAR: printable text from the keyboard layout or input
  // method, plus the control characters a key press produces (Backspace 0x08, Tab 0x09,
  // Enter 0x0D, Ctrl+Enter 0x0A, Escape 0x1B, Ctrl+A..Z 0x01..0x1A, Ctrl+Backspace 0x7F,
  // Ctrl+[ \ ] 0x1B..0x1D), which follow their KeyDown event.
  std::string Text;
  Rect Bounds;
};

struct MonitorInfo {
  Rect Bounds;                   // screen pixels
  Rect WorkArea;                 // Bounds minus task bars and docks
  int Dpi = 96;                  // logical DPI (96 = 100 %); KX_DPI overrides it
  bool Primary = false;
  std::string Name;
};

class Backend {
 public:
  Backend() = default;
  Backend(const Backend&) = delete;
  Backend& operator=(const Backend&) = delete;
  virtual ~Backend() = default;

  virtual const char* Name() const = 0;  // "sdl" or "headless"

  // ---- Surfaces ------------------------------------------------------------------------------
  // Surfaces start hidden. Every call taking a SurfaceId throws EPlatformError for an id that
  // does not name a live surface.
  virtual SurfaceId CreateSurface(const SurfaceParams& params) = 0;
  virtual void DestroySurface(SurfaceId s) = 0;
  virtual bool SurfaceExists(SurfaceId s) const = 0;
  virtual SurfaceKind Kind(SurfaceId s) const = 0;

  // Moves and/or resizes. A size change recreates the back buffer at the new size, keeping
  // the overlapping pixels; BackBuffer() must be fetched again afterwards.
  virtual void SetBounds(SurfaceId s, const Rect& screenBounds) = 0;
  virtual Rect Bounds(SurfaceId s) const = 0;

  // Show maps the surface at the top of its band (as the X server does); it does not move
  // the keyboard focus. Hiding or destroying the focused surface clears the focus silently:
  // the caller decides which surface to Activate next.
  virtual void Show(SurfaceId s) = 0;
  virtual void Hide(SurfaceId s) = 0;
  virtual bool Visible(SurfaceId s) const = 0;

  // Z-order. Topmost surfaces form a band above the others; Raise puts a surface at the top
  // of its band, PlaceBelow directly under another surface (within the band's limits).
  virtual void Raise(SurfaceId s) = 0;
  virtual void PlaceBelow(SurfaceId s, SurfaceId above) = 0;
  virtual void SetTopmost(SurfaceId s, bool topmost) = 0;
  virtual bool Topmost(SurfaceId s) const = 0;

  virtual void SetOpacity(SurfaceId s, std::uint8_t opacity) = 0;
  virtual std::uint8_t Opacity(SurfaceId s) const = 0;
  virtual void SetTitle(SurfaceId s, const std::string& utf8) = 0;
  virtual std::string Title(SurfaceId s) const = 0;
  // Window shape (Win32 window regions): only these surface-relative rectangles are shown and
  // receive pointer input; an empty list hides the whole surface. ResetShape restores the
  // plain rectangle.
  virtual void SetShape(SurfaceId s, std::span<const Rect> rects) = 0;
  virtual void ResetShape(SurfaceId s) = 0;
  virtual bool Shaped(SurfaceId s) const = 0;

  // The pointer shape while the pointer is over the surface (or while it holds the capture).
  virtual void SetCursor(SurfaceId s, CursorShape shape) = 0;
  virtual CursorShape Cursor(SurfaceId s) const = 0;

  // Gives a Normal surface the system keyboard focus (raising it); queues FocusGained when
  // the focus changes. Popup and Tooltip surfaces are refused (EPlatformError).
  virtual void Activate(SurfaceId s) = 0;
  virtual SurfaceId FocusSurface() const = 0;  // NoSurface while the application is inactive

  // The back buffer: a cairo ARGB32 image surface of the surface's pixel size, owned by the
  // backend. Its alpha channel is not shown: surfaces are opaque apart from their Opacity.
  // The contents are retained between presents.
  virtual cairo_surface_t* BackBuffer(SurfaceId s) = 0;
  // Shows the given back-buffer areas (surface pixels; clipped to the surface). An empty list
  // shows nothing; the one-argument form shows everything.
  virtual void Present(SurfaceId s, std::span<const Rect> dirty) = 0;
  void Present(SurfaceId s);

  // ---- Pointer -------------------------------------------------------------------------------
  // While a surface holds the capture, every pointer event goes to it (coordinates relative to
  // it, possibly outside it). Without explicit capture, events go to the surface under the
  // pointer, except that a surface keeps receiving them while a button pressed on it is held.
  virtual void SetMouseCapture(SurfaceId s) = 0;  // NoSurface releases
  virtual SurfaceId MouseCapture() const = 0;
  virtual Point CursorPos() const = 0;           // screen pixels
  virtual void SetCursorPos(Point screen) = 0;   // warps the pointer (reported as a move)
  virtual std::uint8_t MouseButtons() const = 0; // ButtonBit()s held

  // ---- Keyboard ------------------------------------------------------------------------------
  virtual std::uint8_t Modifiers() const = 0;    // ModifierBits
  // Whether a key is held: any VK_ code, including VK_LSHIFT..VK_RMENU and VK_LBUTTON..
  virtual bool IsKeyDown(std::uint16_t vk) const = 0;
  // Text input with an input method: composition events follow while it runs; the caret
  // rectangle (surface pixels) places the method's candidate window.
  virtual void StartTextInput(SurfaceId s, const Rect& caret) { (void)s; (void)caret; }
  virtual void StopTextInput() {}

  // ---- Events --------------------------------------------------------------------------------
  virtual bool PollEvent(Event& e) = 0;
  // Waits up to timeoutMs (negative: no limit) for an event. Returns false on timeout or when
  // Wake() was called. The headless backend never sleeps: it advances its virtual clock by the
  // timeout instead (and returns at once for a negative timeout).
  virtual bool WaitEvent(Event& e, int timeoutMs) = 0;
  // Ends a WaitEvent in progress or the next one. The only call safe from any thread.
  virtual void Wake() = 0;

  // ---- Time ----------------------------------------------------------------------------------
  virtual std::uint64_t TickCount() const = 0;  // monotonic milliseconds
  virtual unsigned DoubleClickTime() const = 0;
  virtual void SetDoubleClickTime(unsigned ms) = 0;

  // ---- Monitors ------------------------------------------------------------------------------
  // Primary first. KX_DPI (an integer 48..960) overrides every monitor's DPI; another value
  // in KX_DPI throws EPlatformError naming it.
  virtual std::vector<MonitorInfo> Monitors() const = 0;

  // ---- Clipboard and shell -------------------------------------------------------------------
  virtual std::string ClipboardText() const = 0;  // empty when there is no text
  virtual bool HasClipboardText() const = 0;
  virtual void SetClipboardText(const std::string& utf8) = 0;
  // Opens a URL or file with the desktop's handler. Returns false when the argument is refused
  // (empty, starting with '-', containing control characters) or the handler cannot start.
  virtual bool OpenUrl(const std::string& url) = 0;
  virtual void Beep() = 0;
};

// KX_BACKEND=headless|sdl picks the backend; without it SDL is used when a display (DISPLAY,
// WAYLAND_DISPLAY) or SDL_VIDEODRIVER is set and SDL starts, else the headless backend.
// KX_BACKEND=sdl throws EPlatformError when SDL cannot start; another value throws too.
std::unique_ptr<Backend> CreateDefaultBackend();

// The process-wide backend; created by CreateDefaultBackend() on first use.
Backend& CurrentBackend();
// Replaces (and destroys) the current backend; nullptr drops it so the next CurrentBackend()
// creates a default one.
void SetCurrentBackend(std::unique_ptr<Backend> backend);
bool HasCurrentBackend();

}  // namespace vcl::platform
