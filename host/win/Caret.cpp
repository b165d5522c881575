// The caret: one per thread, drawn by inverting its rectangle on the window, blinking on a
// window-manager timer.
#include <algorithm>

#include "host/win/WinInternal.h"

namespace vcl {

namespace {

constexpr UINT_PTR kCaretTimer = 0xFFFF;

// Inverts the caret rectangle on its window (drawing it or taking it away).
void InvertCaret() {
  CaretState& c = Wm().Caret;
  WindowObject* w = Live(c.Hwnd);
  if (!w) return;
  HDC dc = GetDCEx(w, nullptr, DCX_CACHE | DCX_USESTYLE);
  if (!dc) return;
  cairo_surface_t* s = dc->BeginDraw();
  if (s) {
    TPoint off = dc->Offset();
    TRect r = c.Rect.Offsetted(off.X, off.Y);
    int stride;
    std::uint32_t* px = SurfacePixels(s, stride);
    std::uint32_t mask = reinterpret_cast<std::uintptr_t>(c.Bitmap) == 1 ? 0x00808080u : 0x00FFFFFFu;
    BitmapObject* pattern = reinterpret_cast<std::uintptr_t>(c.Bitmap) > 1 ? c.Bitmap : nullptr;
    ForEachClipRect(dc->Clip(), r, [&](const TRect& cr) {
      for (int y = cr.Top; y < cr.Bottom; ++y)
        for (int x = cr.Left; x < cr.Right; ++x) {
          std::uint32_t m = mask;
          if (pattern) {
            int bx = x - r.Left, by = y - r.Top;
            if (bx >= pattern->Width || by >= pattern->Height) continue;
            cairo_surface_t* ps = BitmapSurface(pattern);
            int ps2;
            m = SurfacePixels(ps, ps2)[by * ps2 + bx] & 0x00FFFFFFu;
          }
          px[y * stride + x] ^= m;
        }
    });
    dc->EndDraw();
  }
  ReleaseDC(w, dc);
}

void SetOn(bool on) {
  CaretState& c = Wm().Caret;
  if (c.On == on) return;
  InvertCaret();
  c.On = on;
}

void RestartBlink() {
  CaretState& c = Wm().Caret;
  if (Live(c.Hwnd)) SetSystemTimer(c.Hwnd, kCaretTimer, c.BlinkTime);
}

// Text input (an input method's candidate window) follows the caret.
void PlaceTextInput() {
  CaretState& c = Wm().Caret;
  WindowObject* w = Live(c.Hwnd);
  WindowObject* top = w ? TopLevelOf(w) : nullptr;
  if (!top || !top->Surface) return;
  TPoint p = c.Rect.TopLeft();
  ClientToScreen(w, &p);
  TRect r = TRect::FromSize(p.X - top->WindowRect.Left, p.Y - top->WindowRect.Top,
                            c.Rect.Width(), c.Rect.Height());
  wm::Port().StartTextInput(top->Surface->Id, r);
}

}  // namespace

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
  WindowObject* w = Live(hwnd);
  if (!w) return false;
  DestroyCaret();
  CaretState& c = Wm().Caret;
  if (reinterpret_cast<std::uintptr_t>(bitmap) > 1) {
    width = bitmap->Width;
    height = bitmap->Height;
  }
  if (width <= 0) width = GetSystemMetricsForDpi(SM_CXBORDER, w->Dpi);
  if (height <= 0) height = GetSystemMetricsForDpi(SM_CYBORDER, w->Dpi);
  c.Hwnd = w;
  c.Bitmap = bitmap;
  c.Rect = TRect::FromSize(0, 0, width, height);
  c.HideCount = 1;
  c.On = false;
  c.Paused = false;
  PlaceTextInput();
  return true;
}

BOOL DestroyCaret() {
  CaretState& c = Wm().Caret;
  if (!c.Hwnd) return false;
  if (c.On && !c.Paused) InvertCaret();
  if (Live(c.Hwnd)) KillSystemTimer(c.Hwnd, kCaretTimer);
  UINT blink = c.BlinkTime;
  c = {};
  c.BlinkTime = blink;
  wm::Port().StopTextInput();
  return true;
}

void CaretOnDestroy(HWND hwnd) {
  if (Wm().Caret.Hwnd == hwnd) DestroyCaret();
}

BOOL ShowCaret(HWND hwnd) {
  CaretState& c = Wm().Caret;
  if (!Live(c.Hwnd) || (hwnd && hwnd != c.Hwnd) || c.HideCount == 0) return false;
  if (--c.HideCount == 0 && !c.Paused) {
    SetOn(true);
    RestartBlink();
  }
  return true;
}

BOOL HideCaret(HWND hwnd) {
  CaretState& c = Wm().Caret;
  if (!Live(c.Hwnd) || (hwnd && hwnd != c.Hwnd)) return false;
  if (c.HideCount == 0 && !c.Paused) SetOn(false);
  ++c.HideCount;
  return true;
}

BOOL SetCaretPos(int x, int y) {
  CaretState& c = Wm().Caret;
  if (!Live(c.Hwnd)) return false;
  if (c.Rect.Left == x && c.Rect.Top == y) return true;
  bool visible = c.HideCount == 0 && !c.Paused;
  if (visible) SetOn(false);
  c.Rect = TRect::FromSize(x, y, c.Rect.Width(), c.Rect.Height());
  PlaceTextInput();
  if (visible) {
    SetOn(true);
    RestartBlink();
  }
  return true;
}

BOOL GetCaretPos(TPoint* pt) {
  CaretState& c = Wm().Caret;
  if (!Live(c.Hwnd) || !pt) return false;
  *pt = c.Rect.TopLeft();
  return true;
}

UINT GetCaretBlinkTime() { return Wm().Caret.BlinkTime; }

BOOL SetCaretBlinkTime(UINT ms) {
  if (ms == 0) return false;
  Wm().Caret.BlinkTime = ms;
  RestartBlink();
  return true;
}

void CaretBlink() {
  CaretState& c = Wm().Caret;
  if (!Live(c.Hwnd) || c.HideCount != 0 || c.Paused) return;
  SetOn(!c.On);
}

void CaretHideForPaint(WindowObject* w, bool hide) {
  CaretState& c = Wm().Caret;
  if (c.Hwnd != w) return;
  if (hide) {
    if (c.Paused) return;
    if (c.On) SetOn(false);
    c.Paused = true;
  } else {
    if (!c.Paused) return;
    c.Paused = false;
    if (c.HideCount == 0) SetOn(true);
  }
}

}  // namespace vcl
