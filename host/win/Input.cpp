// Input: backend events become queued mouse and keyboard messages (after the low-level
// hooks), hit-tested and routed to windows; key state; mouse tracking; cursors; keyboard
// translation.
#include <algorithm>

#include "host/win/WinInternal.h"

namespace vcl {

namespace {

// The key state of the raw event being routed (mouse messages carry it).
const wm::PortEvent* gEvent = nullptr;

WPARAM MouseKeys() {
  if (gEvent) {
    WPARAM r = 0;
    std::uint8_t b = gEvent->Buttons, m = gEvent->Mods;
    if (b & 1) r |= MK_LBUTTON;
    if (b & 2) r |= MK_RBUTTON;
    if (b & 4) r |= MK_MBUTTON;
    if (b & 8) r |= MK_XBUTTON1;
    if (b & 16) r |= MK_XBUTTON2;
    if (m & 1) r |= MK_SHIFT;
    if (m & 2) r |= MK_CONTROL;
    return r;
  }
  const BYTE* k = Wm().AsyncKeyState;
  WPARAM r = 0;
  if (k[VK_LBUTTON] & 0x80) r |= MK_LBUTTON;
  if (k[VK_RBUTTON] & 0x80) r |= MK_RBUTTON;
  if (k[VK_MBUTTON] & 0x80) r |= MK_MBUTTON;
  if (k[VK_XBUTTON1] & 0x80) r |= MK_XBUTTON1;
  if (k[VK_XBUTTON2] & 0x80) r |= MK_XBUTTON2;
  if (k[VK_SHIFT] & 0x80) r |= MK_SHIFT;
  if (k[VK_CONTROL] & 0x80) r |= MK_CONTROL;
  return r;
}

void SetKey(BYTE* state, int vk, bool down, bool toggle) {
  if (vk <= 0 || vk > 255) return;
  if (down) {
    if (toggle && !(state[vk] & 0x80)) state[vk] ^= 0x01;
    state[vk] |= 0x80;
  } else {
    state[vk] &= ~0x80;
  }
}

// The left/right variant of a generic modifier key.
int SideKey(int vk, bool extended, int scan) {
  switch (vk) {
    case VK_SHIFT: return scan == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
    default: return 0;
  }
}

int ButtonVk(int button) {
  switch (button) {
    case 1: return VK_LBUTTON;
    case 2: return VK_RBUTTON;
    case 3: return VK_MBUTTON;
    case 4: return VK_XBUTTON1;
    case 5: return VK_XBUTTON2;
    default: return 0;
  }
}

// Client message of a button: {down, up, double-click}.
struct ButtonMsgs {
  UINT Down, Up, Dbl;
};
ButtonMsgs ClientButtonMsgs(int button) {
  switch (button) {
    case 2: return {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK};
    case 3: return {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK};
    case 4:
    case 5: return {WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK};
    default: return {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
  }
}
ButtonMsgs NcButtonMsgs(int button) {
  switch (button) {
    case 2: return {WM_NCRBUTTONDOWN, WM_NCRBUTTONUP, WM_NCRBUTTONDBLCLK};
    case 3: return {WM_NCMBUTTONDOWN, WM_NCMBUTTONUP, WM_NCMBUTTONDBLCLK};
    case 4:
    case 5: return {WM_NCXBUTTONDOWN, WM_NCXBUTTONUP, WM_NCXBUTTONDBLCLK};
    default: return {WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_NCLBUTTONDBLCLK};
  }
}

MSG InputMsg(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, std::uint32_t time) {
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wp;
  m.lParam = lp;
  m.time = time;
  m.pt = gEvent ? gEvent->ScreenPos : Wm().CursorPos;
  return m;
}

bool CallMouseLL(UINT msg, TPoint pt, DWORD data, std::uint32_t time) {
  if (!HasHooks(WH_MOUSE_LL)) return false;
  MSLLHOOKSTRUCT ms;
  ms.pt = pt;
  ms.mouseData = data;
  ms.time = time;
  return CallHooks(WH_MOUSE_LL, HC_ACTION, msg, reinterpret_cast<LPARAM>(&ms)) != 0;
}

// Leave and hover tracking, on every pointer movement.
void UpdateTracking(WindowObject* target, LRESULT hit, TPoint pt) {
  WinState& s = Wm();
  MouseTrackState& t = s.Track;
  WindowObject* tw = Live(t.Hwnd);
  if (!tw) {
    t = {};
    return;
  }
  bool nc = (t.Flags & TME_NONCLIENT) != 0;
  bool inArea = target == tw && (nc ? hit != HTCLIENT : hit == HTCLIENT);
  if (!inArea) {
    DWORD flags = t.Flags;
    t = {};
    if (flags & TME_LEAVE) PostMessageW(tw, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return;
  }
  int hw = GetSystemMetricsForDpi(SM_CXDOUBLECLK, tw->Dpi) / 2;
  if (std::abs(pt.X - t.HoverPos.X) > hw || std::abs(pt.Y - t.HoverPos.Y) > hw) {
    t.HoverPos = pt;
    t.HoverStart = Now();
  }
}

void CheckHover() {
  WinState& s = Wm();
  MouseTrackState& t = s.Track;
  if (!(t.Flags & TME_HOVER)) return;
  WindowObject* tw = Live(t.Hwnd);
  if (!tw) {
    t = {};
    return;
  }
  if (std::int32_t(Now() - (t.HoverStart + t.HoverTime)) < 0) return;
  t.Flags &= ~TME_HOVER;
  if (t.Flags & TME_NONCLIENT) {
    PostMessageW(tw, WM_NCMOUSEHOVER, WPARAM(s.MouseHit), PointToLParam(s.CursorPos));
  } else {
    TPoint p = s.CursorPos - ClientOrigin(tw);
    PostMessageW(tw, WM_MOUSEHOVER, MouseKeys(), PointToLParam(p));
  }
  if (!(t.Flags & TME_LEAVE)) t = {};
}

WindowObject* MouseTarget(TPoint pt, LRESULT* hit) {
  WinState& s = Wm();
  if (WindowObject* c = Live(s.Capture)) {
    *hit = HTCLIENT;
    return c;
  }
  return HitTestWindow(pt, hit);
}

void RouteMove(TPoint pt, std::uint32_t time) {
  WinState& s = Wm();
  LRESULT hit = HTNOWHERE;
  WindowObject* target = MouseTarget(pt, &hit);
  UpdateTracking(target, hit, pt);
  s.MouseWindow = target;
  s.MouseHit = hit;
  if (!target) return;
  WindowLock lock(target);
  if (!Live(s.Capture)) {
    SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                 MAKELPARAM(WORD(hit), WORD(WM_MOUSEMOVE)));
    if (!Live(target)) return;
  }
  if (hit == HTERROR) return;
  if (hit == HTCLIENT)
    PostInput(InputMsg(target, WM_MOUSEMOVE, MouseKeys(), PointToLParam(pt - ClientOrigin(target)), time));
  else
    PostInput(InputMsg(target, WM_NCMOUSEMOVE, WPARAM(hit), PointToLParam(pt), time));
}

void RouteButton(int button, bool down, TPoint pt, std::uint32_t time) {
  WinState& s = Wm();
  LRESULT hit = HTNOWHERE;
  WindowObject* target = MouseTarget(pt, &hit);
  s.MouseWindow = target;
  s.MouseHit = hit;
  if (!target) return;
  WindowLock lock(target);
  bool client = hit == HTCLIENT;
  ButtonMsgs msgs = client ? ClientButtonMsgs(button) : NcButtonMsgs(button);
  UINT clientDown = ClientButtonMsgs(button).Down;
  WPARAM xbit = button == 4 ? XBUTTON1 : button == 5 ? XBUTTON2 : 0;
  if (down) {
    if (hit == HTERROR) {
      SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                   MAKELPARAM(WORD(HTERROR), WORD(clientDown)));
      // A click on a window disabled by a modal pop-up brings that pop-up forward.
      WindowObject* root = target;
      while (root->Owner) root = root->Owner;
      WindowObject* popup = Live(GetLastActivePopup(root));
      if (popup && popup != target) SetForegroundWindow(popup);
      return;
    }
    bool eat = false;
    WindowObject* top = TopLevelOf(target);
    if (top && (top != Live(s.Active) || !s.AppActive)) {
      LRESULT ma = SendMessageW(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                MAKELPARAM(WORD(hit), WORD(clientDown)));
      if (!Live(target)) return;
      eat = ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT;
      if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT) && !(top->ExStyle & WS_EX_NOACTIVATE) &&
          Live(top)) {
        SetActiveInternal(top, WA_CLICKACTIVE);
        if (!Live(target)) return;
      }
    }
    if (!Live(s.Capture)) {
      SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                   MAKELPARAM(WORD(hit), WORD(clientDown)));
      if (!Live(target)) return;
    }
    if (eat) return;
    // Double clicks: the same button on the same window, soon and close enough.
    bool dbl = false;
    UINT limit = wm::Port().DoubleClickTime();
    int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (s.LastClickHwnd == target && s.LastClickMsg == msgs.Down && !s.LastClickWasDouble &&
        std::uint32_t(time - s.LastClickTime) <= limit &&
        std::abs(pt.X - s.LastClickPos.X) <= cx && std::abs(pt.Y - s.LastClickPos.Y) <= cy &&
        (!client || (target->Class->Style & CS_DBLCLKS)))
      dbl = true;
    s.LastClickHwnd = target;
    s.LastClickMsg = msgs.Down;
    s.LastClickTime = time;
    s.LastClickPos = pt;
    s.LastClickWasDouble = dbl;
    UINT m = dbl ? msgs.Dbl : msgs.Down;
    if (client)
      PostInput(InputMsg(target, m, MouseKeys() | (xbit << 16), PointToLParam(pt - ClientOrigin(target)), time));
    else
      PostInput(InputMsg(target, m, WPARAM(hit) | (xbit << 16), PointToLParam(pt), time));
  } else {
    if (hit == HTERROR) return;
    if (client)
      PostInput(InputMsg(target, msgs.Up, MouseKeys() | (xbit << 16), PointToLParam(pt - ClientOrigin(target)), time));
    else
      PostInput(InputMsg(target, msgs.Up, WPARAM(hit) | (xbit << 16), PointToLParam(pt), time));
  }
}

void RouteWheel(int delta, bool horizontal, TPoint pt, std::uint32_t time) {
  WinState& s = Wm();
  LRESULT hit = HTNOWHERE;
  WindowObject* target = MouseTarget(pt, &hit);
  if (!target || hit == HTERROR) target = Live(s.Focus);
  if (!target) return;
  PostInput(InputMsg(target, horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL,
                     MAKEWPARAM(WORD(MouseKeys()), WORD(SHORT(delta))), PointToLParam(pt), time));
}

// The key message a key event becomes.
void RouteKey(const wm::PortEvent& e, bool down, String text) {
  WinState& s = Wm();
  int vk = e.Vk;
  bool alt = (e.Mods & 4) != 0 || (vk == VK_MENU && down);
  bool ctrl = (e.Mods & 2) != 0;
  WindowObject* target = Live(s.Focus);
  bool sys = (alt && !ctrl) || vk == VK_F10 || (vk == VK_MENU);
  if (!target) {
    target = Live(s.Active);
    sys = true;  // without a focus window keys go to the active window as system keys
  }
  if (!target) return;
  LPARAM lp = 1 | (LPARAM(e.ScanCode & 0xFF) << 16) | (e.Extended ? LPARAM(1) << 24 : 0);
  if (alt) lp |= LPARAM(1) << 29;
  if (!down || e.Repeat) lp |= LPARAM(1) << 30;
  if (!down) lp |= LPARAM(1) << 31;
  UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  PostInput(InputMsg(target, msg, WPARAM(vk), lp, e.Time), std::move(text));
}

void UpdateAsyncKey(const wm::PortEvent& e, bool down) {
  BYTE* a = Wm().AsyncKeyState;
  bool toggle = e.Vk == VK_CAPITAL || e.Vk == VK_NUMLOCK || e.Vk == VK_SCROLL;
  SetKey(a, e.Vk, down, toggle);
  if (int side = SideKey(e.Vk, e.Extended, e.ScanCode)) SetKey(a, side, down, false);
}

// Attaches typed characters to the key press that produced them, when it is still waiting in
// the queue; otherwise they arrive as characters of their own.
// The window an input-method composition runs in (between WM_IME_STARTCOMPOSITION and
// WM_IME_ENDCOMPOSITION).
HWND gComposing = nullptr;

void EndComposition() {
  HWND h = gComposing;
  gComposing = nullptr;
  if (Live(h)) SendMessageW(h, WM_IME_ENDCOMPOSITION, 0, 0);
}

// A composition string reaches the focused window at once: WM_IME_STARTCOMPOSITION first,
// then WM_IME_COMPOSITION with lParam pointing to the zero-terminated string (valid during
// the call); an empty string ends it. The result follows as WM_CHAR.
void Compose(const String& text) {
  WinState& s = Wm();
  if (text.empty()) {
    EndComposition();
    return;
  }
  HWND target = Live(s.Focus) ? s.Focus : nullptr;
  if (gComposing != target) {
    EndComposition();
    if (!target) return;
    gComposing = target;
    SendMessageW(target, WM_IME_STARTCOMPOSITION, 0, 0);
  }
  if (Live(target)) SendMessageW(target, WM_IME_COMPOSITION, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void AttachText(const String& text) {
  WinState& s = Wm();
  if (gComposing) EndComposition();
  for (auto it = s.Input.rbegin(); it != s.Input.rend(); ++it) {
    UINT m = it->Msg.message;
    if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
      it->Text += text;
      return;
    }
    if (m == WM_KEYUP || m == WM_SYSKEYUP) break;
  }
  if (s.LastKeyMsg.message && s.TextPendingForLastKey) {
    s.LastKeyText += text;
    return;
  }
  WindowObject* target = Live(s.Focus);
  if (!target) target = Live(s.Active);
  if (!target) return;
  for (Char c : text) PostMessageW(target, WM_CHAR, WPARAM(c), 1);
}

WindowObject* TopOfSurface(wm::SurfaceId id) {
  if (!id) return nullptr;
  for (WindowObject* t : Wm().Desktop->Children)
    if (t->Surface && t->Surface->Id == id) return t;
  return nullptr;
}

void HandleEvent(const wm::PortEvent& e) {
  WinState& s = Wm();
  switch (e.Kind) {
    case wm::PortEventKind::MouseMove: {
      if (CallMouseLL(WM_MOUSEMOVE, e.ScreenPos, 0, e.Time)) return;
      RouteMove(e.ScreenPos, e.Time);
      break;
    }
    case wm::PortEventKind::MouseLeave: {
      if (Live(s.Capture)) break;
      UpdateTracking(nullptr, HTNOWHERE, e.ScreenPos);
      s.MouseWindow = nullptr;
      s.MouseHit = HTNOWHERE;
      break;
    }
    case wm::PortEventKind::MouseDown:
    case wm::PortEventKind::MouseUp: {
      bool down = e.Kind == wm::PortEventKind::MouseDown;
      ButtonMsgs m = ClientButtonMsgs(e.Button);
      DWORD data = e.Button == 4 ? DWORD(XBUTTON1) << 16 : e.Button == 5 ? DWORD(XBUTTON2) << 16 : 0;
      if (CallMouseLL(down ? m.Down : m.Up, e.ScreenPos, data, e.Time)) return;
      RouteButton(e.Button, down, e.ScreenPos, e.Time);
      break;
    }
    case wm::PortEventKind::Wheel: {
      if (e.WheelY) {
        DWORD data = DWORD(WORD(SHORT(e.WheelY))) << 16;
        if (!CallMouseLL(WM_MOUSEWHEEL, e.ScreenPos, data, e.Time))
          RouteWheel(e.WheelY, false, e.ScreenPos, e.Time);
      }
      if (e.WheelX) {
        DWORD data = DWORD(WORD(SHORT(e.WheelX))) << 16;
        if (!CallMouseLL(WM_MOUSEHWHEEL, e.ScreenPos, data, e.Time))
          RouteWheel(e.WheelX, true, e.ScreenPos, e.Time);
      }
      break;
    }
    case wm::PortEventKind::KeyDown:
    case wm::PortEventKind::KeyUp: {
      bool down = e.Kind == wm::PortEventKind::KeyDown;
      // The characters the key produced follow it.
      String text;
      if (down)
        while (!s.Raw.empty() && s.Raw.front().Kind == wm::PortEventKind::Text) {
          text += s.Raw.front().Text;
          s.Raw.pop_front();
        }
      if (HasHooks(WH_KEYBOARD_LL)) {
        bool alt = (e.Mods & 4) != 0;
        KBDLLHOOKSTRUCT k;
        k.vkCode = DWORD(e.Vk);
        k.scanCode = DWORD(e.ScanCode);
        k.flags = (e.Extended ? LLKHF_EXTENDED : 0) | (down ? 0 : LLKHF_UP) | (alt ? LLKHF_ALTDOWN : 0);
        k.time = e.Time;
        WPARAM m = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
        if (CallHooks(WH_KEYBOARD_LL, HC_ACTION, m, reinterpret_cast<LPARAM>(&k))) return;
      }
      RouteKey(e, down, std::move(text));
      break;
    }
    case wm::PortEventKind::Text: AttachText(e.Text); break;
    case wm::PortEventKind::Composition: Compose(e.Text); break;
    case wm::PortEventKind::FocusLost: {
      // Another program took the focus: for the mouse hooks this is a click outside every
      // window of ours (pop-ups close on it).
      TPoint outside{-32768, -32768};
      CallMouseLL(WM_LBUTTONDOWN, outside, 0, e.Time);
      CallMouseLL(WM_LBUTTONUP, outside, 0, e.Time);
      if (s.AppActive) {
        WindowObject* act = Live(s.Active);
        if (act) {
          SetActiveInternal(nullptr, WA_INACTIVE);
        }
        s.AppActive = false;
        std::vector<WindowObject*> tops = s.Desktop->Children;
        for (WindowObject* t : tops)
          if (Live(t)) SendMessageW(t, WM_ACTIVATEAPP, 0, 0);
        s.LastActive = act;
      }
      break;
    }
    case wm::PortEventKind::FocusGained: {
      WindowObject* t = TopOfSurface(e.Surface);
      if (!t || !(t->Style & WS_VISIBLE)) t = Live(s.LastActive);
      if (t && !Live(s.Active)) SetActiveInternal(t, WA_ACTIVE);
      break;
    }
    case wm::PortEventKind::CloseRequest: {
      if (WindowObject* t = TopOfSurface(e.Surface)) PostMessageW(t, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    }
    case wm::PortEventKind::SurfaceMoved: {
      WindowObject* t = TopOfSurface(e.Surface);
      if (t && !(t->Style & WS_MINIMIZE) && t->WindowRect != e.Bounds)
        SetWindowPosInternal(t, nullptr, e.Bounds.Left, e.Bounds.Top, e.Bounds.Width(),
                             e.Bounds.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case wm::PortEventKind::Expose: {
      if (WindowObject* t = TopOfSurface(e.Surface)) ExposeSurface(t, e.Bounds);
      break;
    }
    case wm::PortEventKind::Quit: PostQuitMessage(0); break;
    case wm::PortEventKind::MonitorsChanged: {
      RefreshMonitors();
      std::vector<WindowObject*> tops = s.Desktop->Children;
      for (WindowObject* t : tops)
        if (Live(t)) CheckDpiChange(t);
      SendMessageW(HWND_BROADCAST, WM_DISPLAYCHANGE, 32, 0);
      break;
    }
    default: break;
  }
  s.LastEventWasKeyDown = e.Kind == wm::PortEventKind::KeyDown;
}

bool gPumping = false;

// The physical state changes as soon as the backend reports it (GetAsyncKeyState); the
// messages follow when the queue gets to them.
void UpdatePhysicalState(const wm::PortEvent& e) {
  WinState& s = Wm();
  switch (e.Kind) {
    case wm::PortEventKind::MouseMove:
    case wm::PortEventKind::Wheel: s.CursorPos = e.ScreenPos; break;
    case wm::PortEventKind::MouseDown:
    case wm::PortEventKind::MouseUp:
      s.CursorPos = e.ScreenPos;
      SetKey(s.AsyncKeyState, ButtonVk(e.Button), e.Kind == wm::PortEventKind::MouseDown, false);
      break;
    case wm::PortEventKind::KeyDown:
    case wm::PortEventKind::KeyUp: UpdateAsyncKey(e, e.Kind == wm::PortEventKind::KeyDown); break;
    default: break;
  }
}

}  // namespace

void PumpBackendEvents() {
  if (gPumping) return;
  gPumping = true;
  WinState& s = Wm();
  wm::PortEvent e;
  while (wm::Port().PollEvent(e)) {
    UpdatePhysicalState(e);
    s.Raw.push_back(std::move(e));
  }
  CheckHover();
  gPumping = false;
}

bool RouteRawInput() {
  WinState& s = Wm();
  if (s.Raw.empty()) return false;
  wm::PortEvent e = std::move(s.Raw.front());
  s.Raw.pop_front();
  const wm::PortEvent* outer = gEvent;
  gEvent = &e;
  HandleEvent(e);
  gEvent = outer;
  return true;
}

void SyntheticMouseMove() {
  WinState& s = Wm();
  const wm::PortEvent* outer = gEvent;
  gEvent = nullptr;
  RouteMove(s.CursorPos, Now());
  gEvent = outer;
}

void UpdateSyncKeyState(const MSG& msg) {
  WinState& s = Wm();
  BYTE* k = s.KeyState;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
      int vk = int(msg.wParam);
      bool toggle = vk == VK_CAPITAL || vk == VK_NUMLOCK || vk == VK_SCROLL;
      SetKey(k, vk, down, toggle);
      int scan = int((msg.lParam >> 16) & 0xFF);
      bool ext = (msg.lParam >> 24) & 1;
      if (int side = SideKey(vk, ext, scan)) SetKey(k, side, down, false);
      // Alt reported by the message itself (a key pressed while Alt was already down).
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: SetKey(k, VK_LBUTTON, true, false); break;
    case WM_LBUTTONUP: SetKey(k, VK_LBUTTON, false, false); break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: SetKey(k, VK_RBUTTON, true, false); break;
    case WM_RBUTTONUP: SetKey(k, VK_RBUTTON, false, false); break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: SetKey(k, VK_MBUTTON, true, false); break;
    case WM_MBUTTONUP: SetKey(k, VK_MBUTTON, false, false); break;
    default: break;
  }
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
    s.TextPendingForLastKey = true;
}

SHORT GetKeyState(int vk) {
  if (vk <= 0 || vk > 255) return 0;
  BYTE b = Wm().KeyState[vk];
  return SHORT(((b & 0x80) ? 0xFF80 : 0) | (b & 0x01));
}

SHORT GetAsyncKeyState(int vk) {
  if (vk <= 0 || vk > 255) return 0;
  PumpBackendEvents();
  return SHORT((Wm().AsyncKeyState[vk] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* state) {
  if (!state) return false;
  std::copy_n(Wm().KeyState, 256, state);
  return true;
}

BOOL GetCursorPos(TPoint* pt) {
  if (!pt) return false;
  PumpBackendEvents();
  *pt = Wm().CursorPos;
  return true;
}

BOOL SetCursorPos(int x, int y) {
  wm::Port().SetCursorPos({x, y});
  Wm().CursorPos = {x, y};
  PumpBackendEvents();
  return true;
}

UINT GetDoubleClickTime() { return wm::Port().DoubleClickTime(); }

BOOL SetDoubleClickTime(UINT ms) {
  wm::Port().SetDoubleClickTime(ms ? ms : 500);
  return true;
}

// ---- Mouse tracking ------------------------------------------------------------------------------

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  WinState& s = Wm();
  if (!tme || tme->cbSize < sizeof(TRACKMOUSEEVENT)) return false;
  MouseTrackState& t = s.Track;
  if (tme->dwFlags & TME_QUERY) {
    tme->dwFlags = t.Hwnd ? t.Flags : 0;
    tme->hwndTrack = t.Hwnd;
    tme->dwHoverTime = t.HoverTime;
    return true;
  }
  WindowObject* w = Live(tme->hwndTrack);
  if (!w) return false;
  DWORD want = tme->dwFlags & (TME_HOVER | TME_LEAVE);
  bool nc = (tme->dwFlags & TME_NONCLIENT) != 0;
  if (tme->dwFlags & TME_CANCEL) {
    if (t.Hwnd == w && ((t.Flags & TME_NONCLIENT) != 0) == nc) {
      t.Flags &= ~want;
      if (!(t.Flags & (TME_HOVER | TME_LEAVE))) t = {};
    }
    return true;
  }
  PumpBackendEvents();
  bool over = s.MouseWindow == w && (nc ? s.MouseHit != HTCLIENT : s.MouseHit == HTCLIENT);
  if (!over) {
    if (want & TME_LEAVE) PostMessageW(w, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return true;
  }
  if (t.Hwnd != w || ((t.Flags & TME_NONCLIENT) != 0) != nc) t = {};
  t.Hwnd = w;
  t.Flags |= want | (nc ? TME_NONCLIENT : 0);
  if (want & TME_HOVER) {
    t.HoverTime = tme->dwHoverTime == HOVER_DEFAULT ? 400 : std::max<DWORD>(1, tme->dwHoverTime);
    t.HoverPos = s.CursorPos;
    t.HoverStart = Now();
  }
  return true;
}

// ---- Cursors ---------------------------------------------------------------------------------------

namespace {

CursorObject* StandardCursor(int id) {
  static auto* cache = new std::vector<std::pair<int, CursorObject*>>;  // process lifetime
  auto& table = *cache;
  for (auto& [k, v] : table)
    if (k == id) return v;
  auto* c = new CursorObject;
  c->StandardId = id;
  c->Shared = true;
  table.push_back({id, c});
  return c;
}

bool KnownCursor(int id) {
  switch (id) {
    case IDC_ARROW: case IDC_IBEAM: case IDC_WAIT: case IDC_CROSS: case IDC_UPARROW:
    case IDC_SIZENWSE: case IDC_SIZENESW: case IDC_SIZEWE: case IDC_SIZENS: case IDC_SIZEALL:
    case IDC_NO: case IDC_HAND: case IDC_APPSTARTING: case IDC_HELP: return true;
    default: return false;
  }
}

void ApplyCursor() {
  WinState& s = Wm();
  WindowObject* over = Live(s.Capture);
  if (!over) over = Live(s.MouseWindow);
  WindowObject* top = over ? TopLevelOf(over) : nullptr;
  if (!top || !top->Surface) return;
  int id = s.CursorShown < 0 || !s.Cursor ? 0 : (s.Cursor->StandardId ? s.Cursor->StandardId : IDC_ARROW);
  wm::Port().SetCursorShape(top->Surface->Id, id);
}

}  // namespace

HCURSOR LoadCursorW(HINSTANCE, int id) {
  if (!KnownCursor(id)) return nullptr;
  return StandardCursor(id);
}

HICON LoadIconW(HINSTANCE, int id) {
  if (id < IDI_APPLICATION || id > IDI_SHIELD) return nullptr;
  return StandardCursor(0x10000 + id);
}

HCURSOR CopyCursor(HCURSOR cursor) { return cursor; }

BOOL DestroyCursor(HCURSOR cursor) {
  if (!cursor || cursor->Shared) return cursor != nullptr;
  if (Wm().Cursor == cursor) Wm().Cursor = nullptr;
  if (cursor->Image) cursor->Image->Stock = false, DeleteObject(cursor->Image);
  delete cursor;
  return true;
}

BOOL DestroyIcon(HICON icon) { return DestroyCursor(icon); }

HCURSOR SetCursor(HCURSOR cursor) {
  WinState& s = Wm();
  HCURSOR old = s.Cursor;
  s.Cursor = cursor;
  if (old != cursor) ApplyCursor();
  return old;
}

HCURSOR GetCursor() { return Wm().Cursor; }

int ShowCursor(BOOL show) {
  WinState& s = Wm();
  s.CursorShown += show ? 1 : -1;
  ApplyCursor();
  return s.CursorShown;
}

// ---- Keyboard translation --------------------------------------------------------------------------

namespace {

// The US layout: the character of a key with and without Shift.
Char UsChar(int vk, bool shift, bool caps) {
  if (vk >= 'A' && vk <= 'Z') return Char((shift != caps) ? vk : vk + 32);
  if (vk >= '0' && vk <= '9') return shift ? Char(u")!@#$%^&*("[vk - '0']) : Char(vk);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Char('0' + vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE: return u' ';
    case VK_OEM_1: return shift ? u':' : u';';
    case VK_OEM_PLUS: return shift ? u'+' : u'=';
    case VK_OEM_COMMA: return shift ? u'<' : u',';
    case VK_OEM_MINUS: return shift ? u'_' : u'-';
    case VK_OEM_PERIOD: return shift ? u'>' : u'.';
    case VK_OEM_2: return shift ? u'?' : u'/';
    case VK_OEM_3: return shift ? u'~' : u'`';
    case VK_OEM_4: return shift ? u'{' : u'[';
    case VK_OEM_5: return shift ? u'|' : u'\\';
    case VK_OEM_6: return shift ? u'}' : u']';
    case VK_OEM_7: return shift ? u'"' : u'\'';
    case VK_MULTIPLY: return u'*';
    case VK_ADD: return u'+';
    case VK_SUBTRACT: return u'-';
    case VK_DECIMAL: return u'.';
    case VK_DIVIDE: return u'/';
    default: return 0;
  }
}

// The characters a key press produces with the given key state.
String KeyChars(int vk, const BYTE* k) {
  bool shift = (k[VK_SHIFT] & 0x80) != 0;
  bool ctrl = (k[VK_CONTROL] & 0x80) != 0;
  bool alt = (k[VK_MENU] & 0x80) != 0;
  bool caps = (k[VK_CAPITAL] & 0x01) != 0;
  switch (vk) {
    case VK_BACK: return String(1, ctrl ? Char(0x7F) : Char(0x08));
    case VK_TAB: return ctrl ? String() : String(1, Char(0x09));
    case VK_RETURN: return String(1, ctrl ? Char(0x0A) : Char(0x0D));
    case VK_ESCAPE: return String(1, Char(0x1B));
    case VK_CANCEL: return ctrl ? String(1, Char(0x03)) : String();
    default: break;
  }
  if (ctrl && !alt) {
    if (vk >= 'A' && vk <= 'Z') return String(1, Char(vk - 'A' + 1));
    switch (vk) {
      case VK_OEM_4: return String(1, Char(0x1B));
      case VK_OEM_5: return String(1, Char(0x1C));
      case VK_OEM_6: return String(1, Char(0x1D));
      case VK_SPACE: return String(1, u' ');
      default: return {};
    }
  }
  if (ctrl && alt) return {};
  Char c = UsChar(vk, shift, caps);
  return c ? String(1, c) : String();
}

}  // namespace

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return false;
  UINT m = msg->message;
  if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN) return m == WM_KEYUP || m == WM_SYSKEYUP;
  WinState& s = Wm();
  String chars;
  const MSG& last = s.LastKeyMsg;
  bool same = last.hwnd == msg->hwnd && last.message == msg->message && last.wParam == msg->wParam &&
              last.lParam == msg->lParam && last.time == msg->time;
  if (same) chars = s.LastKeyText;
  // Without characters from the backend, the US layout gives them; Alt+key menu mnemonics
  // always get one (the backend reports no text for them).
  if (chars.empty() && (!s.BackendGivesText || m == WM_SYSKEYDOWN))
    chars = KeyChars(int(msg->wParam), s.KeyState);
  if (same) s.TextPendingForLastKey = false;
  UINT charMsg = m == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  for (Char c : chars) PostMessageW(msg->hwnd, charMsg, WPARAM(c), msg->lParam);
  return true;
}

UINT MapVirtualKeyW(UINT code, UINT mapType) {
  if (mapType == MAPVK_VK_TO_CHAR) {
    Char c = UsChar(int(code), false, false);
    if (code >= 'A' && code <= 'Z') return code;
    return c;
  }
  return 0;
}

SHORT VkKeyScanW(Char ch) {
  for (int vk = 1; vk < 256; ++vk) {
    if (UsChar(vk, false, false) == ch) return SHORT(vk);
    if (UsChar(vk, true, false) == ch) return SHORT(vk | 0x100);
  }
  return -1;
}

}  // namespace vcl
