// Internal structures of the window manager, shared by its source files only.
#pragma once
#include <cairo.h>

#include <deque>
#include <memory>
#include <unordered_set>
#include <vector>

#include "host/gdi/GdiInternal.h"
#include "host/win/DesktopPort.h"
#include "host/win/WinUser.h"

namespace vcl {

struct WndProcInstance;

struct ClassObject {
  String Name;
  ATOM Atom = 0;
  UINT Style = 0;
  WNDPROC Proc = nullptr;
  int ClsExtra = 0;
  int WndExtra = 0;
  HINSTANCE Instance = nullptr;
  HICON Icon = nullptr;
  HICON IconSm = nullptr;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
  String MenuName;
  bool System = false;
  std::vector<BYTE> Extra;
  int WindowCount = 0;
};

struct ScrollData {
  bool Exists = false;  // a bar has scroll information only once it is set (or created with it)
  int Min = 0;
  int Max = 0;
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  UINT Disabled = 0;  // ESB_DISABLE_xxx
};

struct PropEntry {
  String Name;
  HANDLE Data;
};

// A top-level window's backend surface and back buffer.
struct SurfaceState {
  wm::SurfaceId Id = 0;
  BitmapObject* Buffer = nullptr;  // wraps the port's back buffer (not owning its pixels)
  cairo_region_t* Dirty = nullptr; // surface coordinates, waiting to be presented
  bool Shown = false;
  ~SurfaceState();
};

struct WindowObject {
  ClassObject* Class = nullptr;
  WNDPROC Proc = nullptr;
  WndProcInstance* ProcInstance = nullptr;  // when Proc is an object instance
  HINSTANCE Instance = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  WindowObject* Parent = nullptr;  // the desktop (or message root) for top-level windows
  WindowObject* Owner = nullptr;
  std::vector<WindowObject*> Children;  // front() is the top of the z-order

  // Both in the parent's client coordinates (screen coordinates for top-level windows).
  TRect WindowRect;
  TRect ClientRect;

  String Text;
  LONG_PTR UserData = 0;
  LONG_PTR Id = 0;
  HMENU Menu = nullptr;
  std::vector<BYTE> Extra;
  std::vector<PropEntry> Props;
  HICON IconBig = nullptr;
  HICON IconSmall = nullptr;

  // Painting. The update region is in window coordinates (origin at WindowRect's top left).
  cairo_region_t* Update = nullptr;
  bool EraseNeeded = false;
  bool FrameNeeded = false;   // WM_NCPAINT owed
  bool InternalPaint = false;
  bool PaintQueued = false;   // counted in WinState::PendingPaint
  bool InPaint = false;       // between BeginPaint and EndPaint

  // Placement.
  TRect NormalRect;           // restored bounds (parent coordinates)
  TPoint MaxPos{-1, -1};
  TPoint MinPos{-1, -1};
  bool RestoreToMaximized = false;
  bool NormalRectValid = false;

  cairo_region_t* WindowRgn = nullptr;  // window coordinates; nullptr = rectangular
  ScrollData Scroll[3];                 // SB_HORZ, SB_VERT, SB_CTL
  BYTE Alpha = 255;
  COLORREF ColorKey = 0;
  DWORD LayeredFlags = 0;
  // UpdateLayeredWindow: the window shows the pixels it was given and is not painted; the
  // shape keeps its visible pixels (window coordinates; nullptr = all).
  bool LayeredUpdate = false;
  cairo_region_t* LayeredShape = nullptr;
  UINT Dpi = 96;
  WORD UiState = 0;           // UISF_xxx keyboard-cue state
  int ScrollHot = 0;          // hot scroll-bar part: (bar + 1) << 4 | part
  int HotNcButton = 0;        // caption button under the mouse (HTxxx) for the default frame
  int PressedNcButton = 0;
  bool NcActive = false;      // the caption is drawn active
  bool Destroying = false;    // DestroyWindow is under way
  bool Dead = false;          // WM_NCDESTROY sent; freed when no call holds it
  int Lock = 0;               // calls in progress that hold the window
  HWND LastActivePopup = nullptr;
  std::unique_ptr<SurfaceState> Surface;  // top-level windows only

  ~WindowObject();
  bool IsChildStyle() const { return (Style & WS_CHILD) != 0; }
};

// Keeps a window's memory alive across calls that may destroy it.
class WindowLock {
 public:
  explicit WindowLock(WindowObject* w);
  ~WindowLock();
  WindowLock(const WindowLock&) = delete;
  WindowLock& operator=(const WindowLock&) = delete;

 private:
  WindowObject* FWindow;
};

struct QueuedMessage {
  MSG Msg;
  String Text;  // key messages: the characters the key produced, when the backend knew them
};

struct TimerEntry {
  HWND Hwnd = nullptr;
  UINT_PTR Id = 0;
  UINT Interval = 0;
  std::uint32_t Due = 0;
  TIMERPROC Proc = nullptr;
  bool System = false;  // WM_SYSTIMER
  std::uint64_t Seq = 0;
};

struct HookObject {
  int Type = 0;
  HOOKPROC Proc = nullptr;
  bool Dead = false;
};

struct MonitorObject {
  wm::PortMonitor Info;
  int Index = 0;
};

struct CursorObject {
  int StandardId = 0;     // IDC_/IDI_ id of a standard cursor or icon; 0 for others
  bool Shared = false;    // loaded standard objects are never destroyed
  BitmapObject* Image = nullptr;  // an icon's image (32-bit, premultiplied), owned
  TPoint HotSpot;
};

// Non-client tracking states (scroll bars, move and size, caption buttons); run without a
// nested loop: the messages of the tracked window are routed to the tracker while it runs.
// Mouse messages a tracker treats alike: the non-client forms of a move and a left release
// (routed before the tracker took the capture) count as the client ones.
inline UINT TrackedMessage(UINT m) {
  if (m == WM_NCMOUSEMOVE) return WM_MOUSEMOVE;
  if (m == WM_NCLBUTTONUP) return WM_LBUTTONUP;
  return m;
}

struct Tracker {
  virtual ~Tracker() = default;
  HWND Hwnd = nullptr;
  // Returns true when it consumed the message.
  virtual bool OnMessage(const MSG& msg) = 0;
  virtual void OnTimer(UINT_PTR id) {}
  virtual void Cancel() = 0;
};

// Scroll-bar tracking, as the bar drawing needs to see it.
struct ScrollTrackerBase : Tracker {
  int Bar = 0;
  virtual int PressedPart() const = 0;  // 0 when the pressed part is not under the pointer
  virtual int DragPos() const = 0;      // -1 unless the thumb is dragged
};

// Rectangles of the default caption, in window coordinates (empty when absent).
struct CaptionLayout {
  TRect Caption, Icon, SysMenu, Text, Close, Max, Min, Help;
  bool MinEnabled = false;
  bool MaxEnabled = false;
};

struct CaretState {
  HWND Hwnd = nullptr;
  TRect Rect;          // client coordinates
  HBITMAP Bitmap = nullptr;
  int HideCount = 1;   // shown when 0
  bool On = false;     // currently drawn (inverted)
  bool Paused = false; // taken away while its window paints
  UINT BlinkTime = 530;
};

struct MouseTrackState {
  HWND Hwnd = nullptr;
  DWORD Flags = 0;       // TME_HOVER | TME_LEAVE | TME_NONCLIENT
  DWORD HoverTime = 400;
  TPoint HoverPos;       // screen
  std::uint32_t HoverStart = 0;
};

struct WinState {
  WinState();
  std::vector<std::unique_ptr<ClassObject>> Classes;
  std::unordered_set<WindowObject*> Windows;
  WindowObject* Desktop = nullptr;
  WindowObject* MessageRoot = nullptr;

  std::deque<QueuedMessage> Posted;
  std::deque<QueuedMessage> Input;
  std::deque<wm::PortEvent> Raw;  // backend events not yet turned into messages
  bool QuitPosted = false;
  int QuitCode = 0;
  MSG LastMessage;          // the last retrieved message (time, position)
  String LastKeyText;       // characters of the last retrieved key-down message
  MSG LastKeyMsg;
  bool TextPendingForLastKey = false;  // retrieved but not yet translated
  bool BackendGivesText = false;       // key events are followed by their characters
  bool LastEventWasKeyDown = false;
  int PendingPaint = 0;     // windows with PaintQueued
  int SendDepth = 0;

  std::vector<TimerEntry> Timers;
  std::uint64_t TimerSeq = 0;
  UINT_PTR NextThreadTimerId = 0x7FFF;

  std::vector<HookObject*> Hooks;  // newest first
  int HookDepth = 0;

  HWND Focus = nullptr;
  HWND Active = nullptr;
  HWND LastActive = nullptr;      // reactivated when the application gets the focus back
  HWND Capture = nullptr;
  bool AppActive = false;
  BYTE KeyState[256] = {};        // synchronous (as of the last retrieved message)
  BYTE AsyncKeyState[256] = {};   // physical
  TPoint CursorPos;
  HCURSOR Cursor = nullptr;
  int CursorShown = 0;            // ShowCursor counter
  HWND MouseWindow = nullptr;     // window under the mouse at the last move
  LRESULT MouseHit = HTNOWHERE;
  MouseTrackState Track;
  // Double-click detection.
  UINT DblClickTime = 500;
  HWND LastClickHwnd = nullptr;
  UINT LastClickMsg = 0;
  std::uint32_t LastClickTime = 0;
  TPoint LastClickPos;
  bool LastClickWasDouble = false;

  std::unique_ptr<Tracker> ActiveTracker;
  CaretState Caret;

  std::vector<std::unique_ptr<MonitorObject>> Monitors;  // never shrinks: handles stay valid
  size_t ActiveMonitors = 0;
  bool MonitorsValid = false;

  UINT BeepCount = 0;
  std::vector<std::pair<String, UINT>> RegisteredMessages;
};

WinState& Wm();

// ---- Window helpers (Window.cpp) -------------------------------------------------------------------
WindowObject* Live(HWND hwnd);                 // nullptr for invalid, destroyed or special handles
bool IsTopLevel(const WindowObject* w);        // parent is the desktop
WindowObject* TopLevelOf(WindowObject* w);     // the top-level ancestor (w itself if top-level)
bool IsDescendant(const WindowObject* ancestor, const WindowObject* w);
bool IsVisibleTree(const WindowObject* w);     // w and every ancestor have WS_VISIBLE
ClassObject* FindWindowClass(StringView name);
LRESULT InvokeProc(WNDPROC proc, WndProcInstance* inst, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CallProc(WindowObject* w, UINT msg, WPARAM wp, LPARAM lp);  // no hooks
void SendParentNotify(WindowObject* w, UINT event);
// Services that keep per-window records (animations, composition attributes) forget a window
// here, as it is freed (after WM_NCDESTROY, while its handle is still recognisable).
void AddWindowFreedObserver(void (*observer)(WindowObject* w));
TRect ParentToWindowRect(WindowObject* w);  // WindowRect moved to window coordinates (0,0,...)

// Z-order (Window.cpp).
void Unlink(WindowObject* w);
// Links w into parent's children: insertAfter is HWND_TOP, HWND_BOTTOM, HWND_TOPMOST,
// HWND_NOTOPMOST or a sibling (w goes directly below it).
void LinkWindow(WindowObject* w, WindowObject* parent, HWND insertAfter);
void RaiseOwnedAbove(WindowObject* owner);
void RestackSurfaces();

// ---- Coordinates (Geometry.cpp) --------------------------------------------------------------------
TPoint ClientOrigin(const WindowObject* w);   // screen position of the client area's origin
TPoint WindowOrigin(const WindowObject* w);   // screen position of the window's top left
TRect ScreenWindowRect(const WindowObject* w);
TRect ScreenClientRect(const WindowObject* w);
TRect ClientRectInWindow(const WindowObject* w);  // client area in window coordinates
TPoint SurfaceOffset(const WindowObject* w);  // window origin in its top-level's back buffer
// The window under a screen point, with its hit-test code; sends WM_NCHITTEST.
WindowObject* HitTestWindow(TPoint screen, LRESULT* hit);
BOOL SetWindowPosInternal(WindowObject* w, HWND insertAfter, int x, int y, int cx, int cy,
                          UINT flags);
// Window positions and sizes are 16-bit quantities: positions -32768..32767, sizes 0..32767.
constexpr int kMinWindowCoord = -32768;
constexpr int kMaxWindowCoord = 32767;
constexpr int kMaxWindowSize = 32767;
void ClampWindowPos(int& x, int& y, int& cx, int& cy);
void GetMinMaxInfo(WindowObject* w, MINMAXINFO* mmi);
void CheckDpiChange(WindowObject* top);
// Hands a top-level window's shape (window region and layered pixels) to its surface.
void ApplySurfaceShape(WindowObject* top);
// Back to ordinary painting after UpdateLayeredWindow (layering switched off or re-set).
void EndLayeredUpdate(WindowObject* w);
UINT DpiAt(const TRect& screenRect);
void ActivateOtherWindow(WindowObject* w);
// Non-client size of a style: the borders, caption and scroll bars around the client area.
TRect NonClientInsets(DWORD style, DWORD exStyle, UINT dpi, bool menu);

// ---- Messages (Message.cpp) ------------------------------------------------------------------------
void PostInput(const MSG& msg, String text = {});
void RemoveMessagesFor(HWND hwnd);
LRESULT CallHooks(int type, int code, WPARAM wp, LPARAM lp);
bool HasHooks(int type);
void KillTimersFor(HWND hwnd);
UINT_PTR SetSystemTimer(HWND hwnd, UINT_PTR id, UINT elapse);
BOOL KillSystemTimer(HWND hwnd, UINT_PTR id);
std::uint32_t Now();

// ---- Painting (Paint.cpp) --------------------------------------------------------------------------
void EnsureSurface(WindowObject* top);
void DestroySurface(WindowObject* top);
void SyncSurfaceBounds(WindowObject* top);
void ShowSurface(WindowObject* top, bool show);
void FlushPresents();
void PresentNow(WindowObject* top);
void ExposeSurface(WindowObject* top, const TRect& area);  // shows that part again
void SetPaintQueued(WindowObject* w);
// Sends WM_NCPAINT at once for a part of the frame (window coordinates), so that a window that
// paints its own frame also paints the parts the window manager redraws by itself.
void SendNcPaintNow(WindowObject* w, const TRect& area);
WindowObject* FindPaintWindow(WindowObject* filter);
// Invalidation in window coordinates (rgn nullptr: the whole window or client per flags).
void RedrawWindowInternal(WindowObject* w, const cairo_region_t* rgnWindowCoords, UINT flags);
void ReleaseWindowDcs(WindowObject* w);
// The region a window may draw into, in back-buffer coordinates.
cairo_region_t* VisibleRegion(WindowObject* w, DWORD dcxFlags);

// ---- Non-client and scroll bars (NonClient.cpp, ScrollBar.cpp) -------------------------------------
LRESULT DefNcCalcSize(WindowObject* w, WPARAM wp, LPARAM lp);
LRESULT DefNcHitTest(WindowObject* w, TPoint screen);
void DefNcPaint(WindowObject* w, HRGN clip);
void DefNcActivate(WindowObject* w, bool active);
LRESULT DefNcLButtonDown(WindowObject* w, WPARAM hit, LPARAM lp);
LRESULT DefNcLButtonDblClk(WindowObject* w, WPARAM hit, LPARAM lp);
LRESULT DefNcMouseMove(WindowObject* w, WPARAM hit, LPARAM lp);
void DefNcMouseLeave(WindowObject* w);
LRESULT DefSysCommand(WindowObject* w, WPARAM cmd, LPARAM lp);
CaptionLayout GetCaptionLayout(const WindowObject* w);
void DrawNonClient(WindowObject* w, HDC dc);  // dc origin at the window's top left
void RedrawFrameNow(WindowObject* w);
void ScrollHotTrack(WindowObject* w, int bar, TPoint screen);  // bar -1 clears
bool ScrollBarVisible(const WindowObject* w, int bar);
// Scroll bar rectangle in window coordinates (empty when not shown).
TRect ScrollBarRect(WindowObject* w, int bar);
void DrawScrollBar(WindowObject* w, HDC dc, int bar, const TRect& rect, bool vertical);
void StartScrollTracking(WindowObject* w, int bar, TPoint screen);
LRESULT ScrollBarControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// The scroll information of the bars a window is created with (range 0..100).
void InitScrollInfo(WindowObject* w);
// The popup menu window class "#32768" (ctl/MenuWindow.cpp).
LRESULT MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Ends the menu tracked for a window (DefWindowProc's WM_CANCELMODE); false when none is.
bool EndMenuOf(HWND owner);

// ---- Drawing helpers (WinDraw.cpp) ------------------------------------------------------------------
void WmFillSolid(HDC dc, const TRect& r, COLORREF color);
void WmFillRect(HDC dc, const TRect& r, HBRUSH brush);
void DrawWindowIcon(WindowObject* w, HDC dc, const TRect& r);
void DrawCaptionText(HDC dc, const TRect& r, const String& text, COLORREF color, UINT dpi);
void ClearUpdates(WindowObject* w);  // drops the update state of a window tree

// ---- Input (Input.cpp, Focus.cpp) ------------------------------------------------------------------
HWND SetActiveInternal(WindowObject* w, WPARAM how);
void SyntheticMouseMove();
void PumpBackendEvents();  // polls the backend into the raw input queue
bool RouteRawInput();      // turns the oldest raw event into messages; false when none
void UpdateSyncKeyState(const MSG& msg);
void FocusLostForWindow(WindowObject* w);  // the window (or an ancestor) is being destroyed/hidden
void CancelTracking();
void CaretOnDestroy(HWND hwnd);
void CaretHideForPaint(WindowObject* w, bool hide);
void CaretBlink();

// ---- Desktop (Desktop.cpp) --------------------------------------------------------------------------
void RefreshMonitors();
MonitorObject* MonitorForRect(const TRect& r, DWORD flags);
TRect PrimaryWorkArea();

}  // namespace vcl
