// Sending, posting and retrieving messages; timers; hooks.
#include <algorithm>

#include "host/win/WinInternal.h"

namespace vcl {

std::uint32_t Now() { return wm::Port().TickCount(); }

DWORD GetTickCount() { return Now(); }

UInt64 GetTickCount64() {
  // Extends the 32-bit clock across wrap-arounds seen between calls.
  static std::uint32_t last = 0;
  static UInt64 high = 0;
  std::uint32_t now = Now();
  if (now < last) high += UInt64(1) << 32;
  last = now;
  return high | now;
}

// ---- Hooks ----------------------------------------------------------------------------------------

namespace {

void PurgeDeadHooks() {
  WinState& s = Wm();
  if (s.HookDepth > 0) return;
  auto dead = std::remove_if(s.Hooks.begin(), s.Hooks.end(), [](HookObject* h) {
    if (!h->Dead) return false;
    delete h;
    return true;
  });
  s.Hooks.erase(dead, s.Hooks.end());
}

LRESULT CallHookFrom(size_t start, int type, int code, WPARAM wp, LPARAM lp) {
  WinState& s = Wm();
  for (size_t i = start; i < s.Hooks.size(); ++i) {
    HookObject* h = s.Hooks[i];
    if (h->Dead || h->Type != type) continue;
    ++s.HookDepth;
    LRESULT r = h->Proc(code, wp, lp);
    --s.HookDepth;
    PurgeDeadHooks();
    return r;
  }
  return 0;
}

}  // namespace

bool HasHooks(int type) {
  for (HookObject* h : Wm().Hooks)
    if (!h->Dead && h->Type == type) return true;
  return false;
}

LRESULT CallHooks(int type, int code, WPARAM wp, LPARAM lp) {
  return CallHookFrom(0, type, code, wp, lp);
}

BOOL CallMsgFilterW(MSG* msg, int code) {
  if (!msg || !HasHooks(WH_MSGFILTER)) return false;
  return CallHooks(WH_MSGFILTER, code, 0, reinterpret_cast<LPARAM>(msg)) != 0;
}

HHOOK SetWindowsHookExW(int idHook, HOOKPROC proc, HINSTANCE, DWORD) {
  if (!proc) return nullptr;
  switch (idHook) {
    case WH_MOUSE_LL:
    case WH_KEYBOARD_LL:
    case WH_CALLWNDPROC:
    case WH_CALLWNDPROCRET:
    case WH_CBT:
    case WH_GETMESSAGE:
    case WH_MOUSE:
    case WH_KEYBOARD:
    case WH_MSGFILTER: break;
    default: return nullptr;
  }
  auto* h = new HookObject;
  h->Type = idHook;
  h->Proc = proc;
  WinState& s = Wm();
  s.Hooks.insert(s.Hooks.begin(), h);
  return h;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  WinState& s = Wm();
  auto it = std::find(s.Hooks.begin(), s.Hooks.end(), hook);
  if (it == s.Hooks.end() || hook->Dead) return false;
  hook->Dead = true;
  PurgeDeadHooks();
  return true;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wp, LPARAM lp) {
  WinState& s = Wm();
  auto it = std::find(s.Hooks.begin(), s.Hooks.end(), hook);
  if (it == s.Hooks.end()) return 0;
  return CallHookFrom(size_t(it - s.Hooks.begin()) + 1, hook->Type, code, wp, lp);
}

// ---- Sending ----------------------------------------------------------------------------------------

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WinState& s = Wm();
  if (hwnd == HWND_BROADCAST) {
    std::vector<WindowObject*> snap = s.Desktop->Children;
    for (WindowObject* w : snap)
      if (Live(w)) SendMessageW(w, msg, wp, lp);
    return 1;
  }
  WindowObject* w = Live(hwnd);
  if (!w) return 0;
  WindowLock lock(w);
  if (HasHooks(WH_CALLWNDPROC)) {
    CWPSTRUCT cwp{lp, wp, msg, w};
    CallHooks(WH_CALLWNDPROC, HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp));
    if (!Live(w)) return 0;
  }
  ++s.SendDepth;
  LRESULT r = InvokeProc(w->Proc, w->ProcInstance, w, msg, wp, lp);
  --s.SendDepth;
  if (HasHooks(WH_CALLWNDPROCRET)) {
    CWPRETSTRUCT ret{r, lp, wp, msg, w};
    CallHooks(WH_CALLWNDPROCRET, HC_ACTION, 1, reinterpret_cast<LPARAM>(&ret));
  }
  return r;
}

BOOL SendNotifyMessageW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (hwnd != HWND_BROADCAST && !Live(hwnd)) return false;
  SendMessageW(hwnd, msg, wp, lp);
  return true;
}

BOOL InSendMessage() { return false; }

// ---- Posting --------------------------------------------------------------------------------------

namespace {

MSG MakeMsg(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wp;
  m.lParam = lp;
  m.time = Now();
  m.pt = Wm().CursorPos;
  return m;
}

}  // namespace

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WinState& s = Wm();
  if (hwnd == HWND_BROADCAST) {
    for (WindowObject* w : s.Desktop->Children) s.Posted.push_back({MakeMsg(w, msg, wp, lp), {}});
    return true;
  }
  if (hwnd && !Live(hwnd)) return false;
  s.Posted.push_back({MakeMsg(hwnd, msg, wp, lp), {}});
  return true;
}

BOOL PostThreadMessageW(DWORD, UINT msg, WPARAM wp, LPARAM lp) {
  Wm().Posted.push_back({MakeMsg(nullptr, msg, wp, lp), {}});
  return true;
}

void PostQuitMessage(int exitCode) {
  WinState& s = Wm();
  s.QuitPosted = true;
  s.QuitCode = exitCode;
}

void PostInput(const MSG& msg, String text) {
  WinState& s = Wm();
  // Consecutive moves of the mouse over one window collapse into the latest.
  if ((msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) && !s.Input.empty()) {
    MSG& last = s.Input.back().Msg;
    if (last.message == msg.message && last.hwnd == msg.hwnd && last.wParam == msg.wParam) {
      last = msg;
      return;
    }
  }
  s.Input.push_back({msg, std::move(text)});
}

void RemoveMessagesFor(HWND hwnd) {
  WinState& s = Wm();
  auto pred = [hwnd](const QueuedMessage& q) { return q.Msg.hwnd == hwnd; };
  s.Posted.erase(std::remove_if(s.Posted.begin(), s.Posted.end(), pred), s.Posted.end());
  s.Input.erase(std::remove_if(s.Input.begin(), s.Input.end(), pred), s.Input.end());
}

UINT RegisterWindowMessageW(const Char* name) {
  if (!name || !*name) return 0;
  WinState& s = Wm();
  String n(name);
  for (auto& [k, v] : s.RegisteredMessages)
    if (k.size() == n.size() && std::equal(k.begin(), k.end(), n.begin(), [](Char a, Char b) {
          auto f = [](Char c) { return (c >= u'a' && c <= u'z') ? Char(c - 32) : c; };
          return f(a) == f(b);
        }))
      return v;
  UINT id = 0xC000 + UINT(s.RegisteredMessages.size());
  s.RegisteredMessages.push_back({n, id});
  return id;
}

// ---- Timers ---------------------------------------------------------------------------------------

namespace {

UINT_PTR AddTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc, bool system) {
  WinState& s = Wm();
  elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  if (!hwnd && !system) {
    bool exists = id && std::any_of(s.Timers.begin(), s.Timers.end(), [&](const TimerEntry& t) {
      return !t.Hwnd && t.Id == id && !t.System;
    });
    if (!exists) id = ++s.NextThreadTimerId;
  }
  for (TimerEntry& t : s.Timers)
    if (t.Hwnd == hwnd && t.Id == id && t.System == system) {
      t.Interval = elapse;
      t.Due = Now() + elapse;
      t.Proc = proc;
      t.Seq = ++s.TimerSeq;
      return id ? id : 1;
    }
  TimerEntry t;
  t.Hwnd = hwnd;
  t.Id = id;
  t.Interval = elapse;
  t.Due = Now() + elapse;
  t.Proc = proc;
  t.System = system;
  t.Seq = ++s.TimerSeq;
  s.Timers.push_back(t);
  return id ? id : 1;
}

BOOL RemoveTimer(HWND hwnd, UINT_PTR id, bool system) {
  WinState& s = Wm();
  for (auto it = s.Timers.begin(); it != s.Timers.end(); ++it)
    if (it->Hwnd == hwnd && it->Id == id && it->System == system) {
      s.Timers.erase(it);
      return true;
    }
  return false;
}

bool Due(const TimerEntry& t, std::uint32_t now) { return std::int32_t(now - t.Due) >= 0; }

}  // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  if (hwnd && !Live(hwnd)) return 0;
  return AddTimer(hwnd, id, elapseMs, proc, false);
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) { return RemoveTimer(hwnd, id, false); }

UINT_PTR SetSystemTimer(HWND hwnd, UINT_PTR id, UINT elapse) {
  if (!Live(hwnd)) return 0;
  return AddTimer(hwnd, id, elapse, nullptr, true);
}

BOOL KillSystemTimer(HWND hwnd, UINT_PTR id) { return RemoveTimer(hwnd, id, true); }

void KillTimersFor(HWND hwnd) {
  WinState& s = Wm();
  s.Timers.erase(std::remove_if(s.Timers.begin(), s.Timers.end(),
                                [hwnd](const TimerEntry& t) { return t.Hwnd == hwnd; }),
                 s.Timers.end());
}

// ---- Retrieval ------------------------------------------------------------------------------------

namespace {

bool HwndMatches(HWND filter, HWND hwnd) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(std::intptr_t(-1))) return hwnd == nullptr;
  if (hwnd == filter) return true;
  WindowObject* w = Live(hwnd);
  WindowObject* f = Live(filter);
  return w && f && IsDescendant(f, w);
}

bool MsgMatches(UINT min, UINT max, UINT msg) {
  if (min == 0 && max == 0) return true;
  if (min <= max) return msg >= min && msg <= max;
  return msg >= min || msg <= max;  // a reversed range excludes the gap
}

bool TakeFrom(std::deque<QueuedMessage>& q, MSG* out, HWND filter, UINT min, UINT max, bool remove,
              bool input) {
  WinState& s = Wm();
  for (auto it = q.begin(); it != q.end(); ++it) {
    if (!HwndMatches(filter, it->Msg.hwnd) || !MsgMatches(min, max, it->Msg.message)) continue;
    *out = it->Msg;
    if (input && (out->message == WM_KEYDOWN || out->message == WM_SYSKEYDOWN)) {
      s.LastKeyText = it->Text;
      s.LastKeyMsg = *out;
    }
    if (remove) {
      q.erase(it);
      if (input) UpdateSyncKeyState(*out);
    }
    return true;
  }
  return false;
}

bool TakeTimer(MSG* out, HWND filter, UINT min, UINT max, bool remove) {
  WinState& s = Wm();
  std::uint32_t now = Now();
  TimerEntry* best = nullptr;
  for (TimerEntry& t : s.Timers) {
    UINT msg = t.System ? WM_SYSTIMER : WM_TIMER;
    if (!Due(t, now) || !HwndMatches(filter, t.Hwnd) || !MsgMatches(min, max, msg)) continue;
    if (!best || std::int32_t(t.Due - best->Due) < 0 || (t.Due == best->Due && t.Seq < best->Seq))
      best = &t;
  }
  if (!best) return false;
  *out = MakeMsg(best->Hwnd, best->System ? WM_SYSTIMER : WM_TIMER, best->Id,
                 reinterpret_cast<LPARAM>(best->Proc));
  if (remove) best->Due = now + best->Interval;
  return true;
}

// The application's keyboard and mouse hooks see each input message as it is retrieved; a
// hook returning nonzero for a message being removed discards it.
bool InputHookDiscards(const MSG& m, bool remove) {
  int code = remove ? HC_ACTION : HC_NOREMOVE;
  UINT id = m.message;
  if (id == WM_KEYDOWN || id == WM_KEYUP || id == WM_SYSKEYDOWN || id == WM_SYSKEYUP) {
    if (!HasHooks(WH_KEYBOARD)) return false;
    return CallHooks(WH_KEYBOARD, code, m.wParam, m.lParam) != 0 && remove;
  }
  bool nc = id >= WM_NCMOUSEMOVE && id <= WM_NCXBUTTONDBLCLK;
  if (!nc && !(id >= WM_MOUSEFIRST && id <= WM_MOUSELAST)) return false;
  if (!HasHooks(WH_MOUSE)) return false;
  MOUSEHOOKSTRUCT mh;
  mh.pt = m.pt;
  mh.hwnd = m.hwnd;
  mh.wHitTestCode = nc ? UINT(m.wParam) : UINT(HTCLIENT);
  return CallHooks(WH_MOUSE, code, id, reinterpret_cast<LPARAM>(&mh)) != 0 && remove;
}

bool PeekCore(MSG* out, HWND filter, UINT min, UINT max, UINT flags) {
  WinState& s = Wm();
  bool remove = (flags & PM_REMOVE) != 0;
  PumpBackendEvents();
  // Raw input becomes messages only when the queue gets to it, so that what the earlier
  // messages did (capture, focus) decides where it goes.
  bool got = TakeFrom(s.Posted, out, filter, min, max, remove, false);
  while (!got) {
    got = TakeFrom(s.Input, out, filter, min, max, remove, true);
    if (got && InputHookDiscards(*out, remove)) {
      got = false;
      continue;
    }
    if (got || !RouteRawInput()) break;
    got = TakeFrom(s.Posted, out, filter, min, max, remove, false);
  }
  if (!got && s.QuitPosted && (!filter) && MsgMatches(min, max, WM_QUIT)) {
    *out = MakeMsg(nullptr, WM_QUIT, WPARAM(s.QuitCode), 0);
    if (remove) s.QuitPosted = false;
    got = true;
  }
  if (!got && MsgMatches(min, max, WM_PAINT)) {
    WindowObject* f = filter == reinterpret_cast<HWND>(std::intptr_t(-1)) ? nullptr : filter;
    if (filter != reinterpret_cast<HWND>(std::intptr_t(-1))) {
      if (WindowObject* p = FindPaintWindow(f ? Live(f) : nullptr)) {
        *out = MakeMsg(p, WM_PAINT, 0, 0);
        got = true;
      }
    }
  }
  if (!got) {
    // Nothing left to paint: whatever was drawn reaches the screen now, one present per
    // top-level window.
    FlushPresents();
    got = TakeTimer(out, filter, min, max, remove);
  }
  if (!got) return false;
  s.LastMessage = *out;
  if (HasHooks(WH_GETMESSAGE)) {
    CallHooks(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE,
              reinterpret_cast<LPARAM>(out));
  }
  return true;
}

}  // namespace

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  MSG tmp;
  if (!msg) msg = &tmp;
  return PeekCore(msg, hwnd, filterMin, filterMax, removeMsg);
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  MSG tmp;
  if (!msg) msg = &tmp;
  for (;;) {
    if (PeekCore(msg, hwnd, filterMin, filterMax, PM_REMOVE)) return msg->message != WM_QUIT;
    if (!WaitMessage()) {
      // Nothing can ever arrive (a headless desktop with nothing due): the loop ends as if
      // WM_QUIT had been posted, instead of blocking forever.
      *msg = MakeMsg(nullptr, WM_QUIT, 0, 0);
      return false;
    }
  }
}

BOOL WaitMessage() {
  WinState& s = Wm();
  PumpBackendEvents();
  if (!s.Posted.empty() || !s.Input.empty() || !s.Raw.empty() || s.QuitPosted ||
      s.PendingPaint > 0)
    return true;
  FlushPresents();
  int timeout = -1;
  std::uint32_t now = Now();
  for (const TimerEntry& t : s.Timers) {
    int left = std::max(0, int(std::int32_t(t.Due - now)));
    if (timeout < 0 || left < timeout) timeout = left;
  }
  if (s.Track.Hwnd && (s.Track.Flags & TME_HOVER)) {
    int left = std::max(0, int(std::int32_t(s.Track.HoverStart + s.Track.HoverTime - now)));
    if (timeout < 0 || left < timeout) timeout = left;
  }
  if (timeout == 0) return true;
  // A desktop without a user (headless) delivers nothing by itself: with nothing due, waiting
  // would never end. Its clock moves on by the time waited, so a pending timer comes due.
  if (timeout < 0 && !wm::Port().IsInteractive()) return false;
  wm::Port().WaitEvent(timeout);
  PumpBackendEvents();
  return true;
}

DWORD GetQueueStatus(UINT flags) {
  WinState& s = Wm();
  PumpBackendEvents();
  DWORD st = 0;
  if (!s.Posted.empty()) st |= QS_POSTMESSAGE;
  for (const wm::PortEvent& e : s.Raw) {
    switch (e.Kind) {
      case wm::PortEventKind::KeyDown:
      case wm::PortEventKind::KeyUp:
      case wm::PortEventKind::Text: st |= QS_KEY; break;
      case wm::PortEventKind::MouseMove: st |= QS_MOUSEMOVE; break;
      case wm::PortEventKind::MouseDown:
      case wm::PortEventKind::MouseUp:
      case wm::PortEventKind::Wheel: st |= QS_MOUSEBUTTON; break;
      default: break;
    }
  }
  for (const QueuedMessage& q : s.Input) {
    UINT m = q.Msg.message;
    if (m >= WM_KEYFIRST && m <= WM_KEYLAST) st |= QS_KEY;
    else if (m == WM_MOUSEMOVE || m == WM_NCMOUSEMOVE) st |= QS_MOUSEMOVE;
    else st |= QS_MOUSEBUTTON;
  }
  if (s.PendingPaint > 0) st |= QS_PAINT;
  std::uint32_t now = Now();
  for (const TimerEntry& t : s.Timers)
    if (Due(t, now)) st |= QS_TIMER;
  st &= flags;
  return (st << 16) | st;
}

LONG GetMessageTime() { return LONG(Wm().LastMessage.time); }

DWORD GetMessagePos() {
  TPoint p = Wm().LastMessage.pt;
  return MAKELONG(WORD(p.X), WORD(p.Y));
}

// ---- Dispatch -------------------------------------------------------------------------------------

LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg) return 0;
  WinState& s = Wm();
  if ((msg->message == WM_TIMER || msg->message == WM_SYSTIMER) && msg->lParam) {
    // Only a procedure that belongs to a live timer is called.
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    bool known = std::any_of(s.Timers.begin(), s.Timers.end(), [&](const TimerEntry& t) {
      return t.Hwnd == msg->hwnd && t.Id == msg->wParam && t.Proc == proc;
    });
    if (!known) return 0;
    proc(msg->hwnd, WM_TIMER, msg->wParam, Now());
    return 0;
  }
  WindowObject* w = Live(msg->hwnd);
  if (!w) return 0;
  if (s.ActiveTracker && s.ActiveTracker->OnMessage(*msg)) return 0;
  WindowLock lock(w);
  return CallProc(w, msg->message, msg->wParam, msg->lParam);
}

}  // namespace vcl
