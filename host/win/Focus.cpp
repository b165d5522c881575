// Activation, keyboard focus and mouse capture.
#include <algorithm>

#include "host/win/WinInternal.h"

namespace vcl {

namespace {

bool Activatable(const WindowObject* t) {
  return t && IsTopLevel(t) && !(t->ExStyle & WS_EX_NOACTIVATE);
}

WindowObject* RootOwner(WindowObject* w) {
  while (w && w->Owner) w = w->Owner;
  return w;
}

}  // namespace

HWND SetActiveInternal(WindowObject* nw, WPARAM how) {
  WinState& s = Wm();
  WindowObject* old = Live(s.Active);
  if (old == nw) return old;
  s.Active = nw;
  if (nw) {
    s.LastActive = nw;
    if (WindowObject* root = RootOwner(nw); root && root != nw) root->LastActivePopup = nw;
  }
  if (old) {
    WindowLock lock(old);
    SendMessageW(old, WM_NCACTIVATE, 0, reinterpret_cast<LPARAM>(nw));
    if (Live(old))
      SendMessageW(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, (old->Style & WS_MINIMIZE) ? 1 : 0),
                   reinterpret_cast<LPARAM>(nw));
  }
  if (s.Active != nw) return old;  // a handler activated something else
  if (!nw) {
    if (s.Focus) SetFocus(nullptr);
    return old;
  }
  if (!Live(nw)) return old;
  WindowLock lock(nw);
  if (!s.AppActive) {
    s.AppActive = true;
    std::vector<WindowObject*> tops = s.Desktop->Children;
    for (WindowObject* t : tops)
      if (Live(t)) SendMessageW(t, WM_ACTIVATEAPP, 1, 0);
    if (!Live(nw) || s.Active != nw) return old;
  }
  if ((nw->Style & WS_VISIBLE) && IsTopLevel(nw))
    SetWindowPosInternal(nw, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!Live(nw) || s.Active != nw) return old;
  SendMessageW(nw, WM_NCACTIVATE, 1, reinterpret_cast<LPARAM>(old));
  if (!Live(nw) || s.Active != nw) return old;
  SendMessageW(nw, WM_ACTIVATE, MAKEWPARAM(WORD(how), (nw->Style & WS_MINIMIZE) ? 1 : 0),
               reinterpret_cast<LPARAM>(old));
  if (!Live(nw) || s.Active != nw) return old;
  WindowObject* f = Live(s.Focus);
  if (!f || TopLevelOf(f) != nw) SetFocus(nw);
  if (Live(nw) && nw->Surface && s.Active == nw) wm::Port().RequestFocus(nw->Surface->Id);
  return old;
}

HWND SetActiveWindow(HWND hwnd) {
  WinState& s = Wm();
  if (!hwnd) return SetActiveInternal(nullptr, WA_ACTIVE);
  WindowObject* w = Live(hwnd);
  if (!w) return nullptr;
  if ((w->Style & (WS_POPUP | WS_CHILD)) == WS_CHILD) return s.Active;
  w = TopLevelOf(w);
  if (!Activatable(w)) return s.Active;
  return SetActiveInternal(w, WA_ACTIVE);
}

HWND GetActiveWindow() { return Live(Wm().Active); }

BOOL SetForegroundWindow(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  if (!w) return false;
  w = TopLevelOf(w);
  if (!Activatable(w)) return false;
  SetActiveInternal(w, WA_ACTIVE);
  return Wm().Active == w;
}

HWND GetForegroundWindow() {
  WinState& s = Wm();
  return s.AppActive ? Live(s.Active) : nullptr;
}

void ActivateOtherWindow(WindowObject* w) {
  WinState& s = Wm();
  auto usable = [&](WindowObject* t) {
    return t && t != w && Live(t) && Activatable(t) && (t->Style & WS_VISIBLE) &&
           !(t->Style & (WS_DISABLED | WS_MINIMIZE)) && t->Surface && t->Surface->Shown &&
           !IsDescendant(w, t) && [&] {
             for (WindowObject* o = t->Owner; o; o = o->Owner)
               if (o == w) return false;
             return true;
           }();
  };
  WindowObject* next = nullptr;
  if (usable(w->Owner)) next = w->Owner;
  if (!next)
    for (WindowObject* t : s.Desktop->Children)
      if (usable(t) && !(t->ExStyle & WS_EX_TOOLWINDOW)) {
        next = t;
        break;
      }
  if (!next)
    for (WindowObject* t : s.Desktop->Children)
      if (usable(t)) {
        next = t;
        break;
      }
  SetActiveInternal(next, WA_ACTIVE);
}

HWND SetFocus(HWND hwnd) {
  WinState& s = Wm();
  WindowObject* old = Live(s.Focus);
  if (!hwnd) {
    s.Focus = nullptr;
    if (old) SendMessageW(old, WM_KILLFOCUS, 0, 0);
    return old;
  }
  WindowObject* w = Live(hwnd);
  if (!w) return nullptr;
  if (w == old) return old;
  // A disabled or minimised window (or ancestor) cannot take the focus.
  WindowObject* top = nullptr;
  for (WindowObject* c = w; c; c = c->Parent) {
    if (c == s.Desktop) break;
    if (c == s.MessageRoot) return nullptr;
    if (c->Style & (WS_DISABLED | WS_MINIMIZE)) return nullptr;
    top = c;
  }
  if (!top || !IsTopLevel(top)) return nullptr;
  // Pop-ups that never take activation never take the focus either: the opener keeps it.
  if (!Activatable(top)) return nullptr;
  if (s.Active != top) {
    WindowLock lock(w);
    SetActiveInternal(top, WA_ACTIVE);
    if (!Live(w) || s.Active != top) return nullptr;
    old = Live(s.Focus);
    if (old == w) return old;
  }
  s.Focus = w;
  WindowLock lock(w);
  if (old) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(w), 0);
  if (s.Focus != w || !Live(w)) return old;
  SendMessageW(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() { return Live(Wm().Focus); }

// ---- Capture ----------------------------------------------------------------------------------

namespace {

wm::SurfaceId SurfaceOf(WindowObject* w) {
  WindowObject* top = w ? TopLevelOf(w) : nullptr;
  return (top && top->Surface) ? top->Surface->Id : 0;
}

}  // namespace

HWND SetCapture(HWND hwnd) {
  WinState& s = Wm();
  WindowObject* old = Live(s.Capture);
  WindowObject* w = Live(hwnd);
  if (!w) return old;
  s.Capture = w;
  wm::Port().CapturePointer(SurfaceOf(w));
  if (old && old != w) SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(w));
  return old;
}

BOOL ReleaseCapture() {
  WinState& s = Wm();
  WindowObject* old = Live(s.Capture);
  s.Capture = nullptr;
  wm::Port().CapturePointer(0);
  if (old) {
    SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    // The window under the pointer learns about it at once (hover and leave tracking).
    SyntheticMouseMove();
  }
  return true;
}

HWND GetCapture() { return Live(Wm().Capture); }

}  // namespace vcl
