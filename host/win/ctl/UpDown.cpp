// The up-down window class "msctls_updown32": a 32-bit range (inverted when the minimum is
// above the maximum), an optional buddy window that shows the position (UDS_SETBUDDYINT),
// takes the arrow keys (UDS_ARROWKEYS) and is placed beside it (UDS_ALIGNLEFT/RIGHT), wrapping,
// held buttons that repeat and accelerate, and UDN_DELTAPOS before every step followed by
// WM_VSCROLL (WM_HSCROLL with UDS_HORZ) to the parent.
//
// The parent may destroy the up-down or its buddy inside any notification; each message holds
// the state alive and every send is followed by a check.
#include "host/win/ctl/UpDown.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

#include "host/gdi/GdiDraw.h"
#include "host/win/WinUser.h"

namespace vcl {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;

enum class Part { None, Up, Down };

struct UpDownState {
  HWND Hwnd = nullptr;
  bool Dead = false;
  int Min = 0, Max = 100, Pos = 0;
  int Base = 10;
  HWND Buddy = nullptr;
  WNDPROC BuddyProc = nullptr;
  std::vector<UDACCEL> Accel{{0, 1}, {2, 5}, {5, 20}};
  Part Pressed = Part::None;
  DWORD PressTime = 0;
  bool KeyHeld = false;
};

using UpDownPtr = std::shared_ptr<UpDownState>;

std::unordered_map<HWND, UpDownPtr>& UpDowns() {
  static auto* map = new std::unordered_map<HWND, UpDownPtr>;  // process lifetime
  return *map;
}

std::unordered_map<HWND, HWND>& Buddies() {  // buddy -> up-down
  static auto* map = new std::unordered_map<HWND, HWND>;
  return *map;
}

DWORD StyleOf(const UpDownState& s) { return DWORD(GetWindowLongW(s.Hwnd, GWL_STYLE)); }

// ---- buddy --------------------------------------------------------------------------------------

String FormatPos(const UpDownState& s, int pos) {
  if (s.Base == 16) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    String hex;
    unsigned v = unsigned(pos);
    do {
      hex.insert(hex.begin(), digits[v & 15]);
      v >>= 4;
    } while (v);
    while (hex.size() < 4) hex.insert(hex.begin(), u'0');
    return u"0x" + hex;
  }
  String digits;
  long long v = pos < 0 ? -(long long)pos : pos;
  int n = 0;
  bool thousands = !(StyleOf(s) & UDS_NOTHOUSANDS);
  do {
    if (thousands && n && n % 3 == 0) digits.insert(digits.begin(), u',');
    digits.insert(digits.begin(), Char(u'0' + v % 10));
    v /= 10;
    ++n;
  } while (v);
  if (pos < 0) digits.insert(digits.begin(), u'-');
  return digits;
}

// The buddy's number, or false when its text is not one.
bool ParseBuddy(const UpDownState& s, int& out) {
  int len = GetWindowTextLengthW(s.Buddy);
  String text(size_t(len) + 1, u'\0');
  GetWindowTextW(s.Buddy, text.data(), len + 1);
  text.resize(size_t(len));
  long long v = 0;
  bool neg = false, any = false;
  size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  if (s.Base == 16) {
    if (text.compare(i, 2, u"0x") == 0 || text.compare(i, 2, u"0X") == 0) i += 2;
    for (; i < text.size(); ++i) {
      Char c = text[i];
      int d = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'a' && c <= u'f' ? c - u'a' + 10
              : c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
      if (d < 0) return false;
      v = v * 16 + d;
      any = true;
      if (v > 0xFFFFFFFFLL) return false;
    }
    out = int(unsigned(v));
    return any;
  }
  if (i < text.size() && text[i] == u'-') {
    neg = true;
    ++i;
  }
  for (; i < text.size(); ++i) {
    Char c = text[i];
    if (c == u',') continue;
    if (c < u'0' || c > u'9') break;
    v = v * 10 + (c - u'0');
    any = true;
    if (v > 0x80000000LL) return false;
  }
  while (i < text.size() && text[i] == u' ') ++i;
  if (!any || i != text.size()) return false;
  v = neg ? -v : v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  out = int(v);
  return true;
}

void ShowPos(UpDownState& s) {
  if (s.Buddy && IsWindow(s.Buddy) && (StyleOf(s) & UDS_SETBUDDYINT))
    SetWindowTextW(s.Buddy, FormatPos(s, s.Pos).c_str());
}

LRESULT BuddyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void ReleaseBuddy(UpDownState& s) {
  if (!s.Buddy) return;
  Buddies().erase(s.Buddy);
  if (s.BuddyProc && IsWindow(s.Buddy) &&
      GetWindowLongPtrW(s.Buddy, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&BuddyProc))
    SetWindowLongPtrW(s.Buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s.BuddyProc));
  s.Buddy = nullptr;
  s.BuddyProc = nullptr;
}

// Places the up-down beside its buddy (shrinking the buddy) for UDS_ALIGNLEFT / RIGHT.
void Align(UpDownState& s) {
  DWORD st = StyleOf(s);
  if (!s.Buddy || !(st & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT))) return;
  HWND parent = GetParent(s.Hwnd);
  if (GetParent(s.Buddy) != parent) return;
  TRect b, me;
  GetWindowRect(s.Buddy, &b);
  GetWindowRect(s.Hwnd, &me);
  MapWindowPoints(nullptr, parent, &b);
  int w = me.Width() > 0 ? me.Width() : MulDiv(17, int(GetDpiForWindow(s.Hwnd)), 96);
  if (st & UDS_ALIGNRIGHT) {
    SetWindowPos(s.Buddy, nullptr, b.Left, b.Top, std::max(0, b.Width() - w), b.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(s.Hwnd, nullptr, b.Right - w, b.Top, w, b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(s.Buddy, nullptr, b.Left + w, b.Top, std::max(0, b.Width() - w), b.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(s.Hwnd, nullptr, b.Left, b.Top, w, b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void SetBuddy(UpDownState& s, HWND buddy) {
  ReleaseBuddy(s);
  if (!buddy || !IsWindow(buddy) || Buddies().count(buddy)) return;
  s.Buddy = buddy;
  Buddies()[buddy] = s.Hwnd;
  if (StyleOf(s) & UDS_ARROWKEYS)
    s.BuddyProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BuddyProc)));
  Align(s);
  ShowPos(s);
}

// ---- stepping -----------------------------------------------------------------------------------

int Increment(const UpDownState& s) {
  if (s.Pressed == Part::None && !s.KeyHeld) return s.Accel.empty() ? 1 : int(s.Accel[0].nInc);
  UINT held = (GetTickCount() - s.PressTime) / 1000;
  int inc = 1;
  for (const UDACCEL& a : s.Accel)
    if (a.nSec <= held) inc = int(a.nInc);
  return inc;
}

// One step up (+1) or down (-1); false when the up-down did not survive a notification.
bool Step(UpDownState& s, int direction) {
  DWORD st = StyleOf(s);
  if (s.Buddy && (st & UDS_SETBUDDYINT)) {
    int v;
    if (ParseBuddy(s, v)) s.Pos = std::clamp(v, std::min(s.Min, s.Max), std::max(s.Min, s.Max));
  }
  int delta = direction * Increment(s) * (s.Min > s.Max ? -1 : 1);
  HWND parent = GetParent(s.Hwnd);
  if (parent) {
    NMUPDOWN nm;
    nm.hwndFrom = s.Hwnd;
    nm.idFrom = UINT_PTR(GetDlgCtrlID(s.Hwnd));
    nm.code = UDN_DELTAPOS;
    nm.iPos = s.Pos;
    nm.iDelta = delta;
    LRESULT refused = SendMessageW(parent, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
    if (s.Dead) return false;
    if (refused) return true;
    delta = nm.iDelta;
  }
  int lo = std::min(s.Min, s.Max), hi = std::max(s.Min, s.Max);
  long long next = (long long)s.Pos + delta;
  if (next > hi) next = (st & UDS_WRAP) ? lo : hi;
  if (next < lo) next = (st & UDS_WRAP) ? hi : lo;
  if (int(next) == s.Pos) return true;
  s.Pos = int(next);
  ShowPos(s);
  if (parent) {
    UINT msg = (st & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    SendMessageW(parent, msg, MAKEWPARAM(SB_THUMBPOSITION, WORD(s.Pos)), reinterpret_cast<LPARAM>(s.Hwnd));
    if (s.Dead) return false;
  }
  return true;
}

bool EndScroll(UpDownState& s) {
  HWND parent = GetParent(s.Hwnd);
  if (!parent) return true;
  UINT msg = (StyleOf(s) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
  SendMessageW(parent, msg, MAKEWPARAM(SB_ENDSCROLL, WORD(s.Pos)), reinterpret_cast<LPARAM>(s.Hwnd));
  return !s.Dead;
}

// ---- geometry and painting ----------------------------------------------------------------------

// The button that increases (Up: top, or right with UDS_HORZ) and the one that decreases.
TRect PartRect(const UpDownState& s, Part p) {
  TRect c;
  GetClientRect(s.Hwnd, &c);
  if (StyleOf(s) & UDS_HORZ) {
    int mid = c.Width() / 2;
    return p == Part::Up ? TRect(mid, 0, c.Right, c.Bottom) : TRect(0, 0, mid, c.Bottom);
  }
  int mid = c.Height() / 2;
  return p == Part::Up ? TRect(0, 0, c.Right, mid) : TRect(0, mid, c.Right, c.Bottom);
}

Part PartAt(const UpDownState& s, TPoint p) {
  if (PartRect(s, Part::Up).Contains(p)) return Part::Up;
  if (PartRect(s, Part::Down).Contains(p)) return Part::Down;
  return Part::None;
}

void Paint(UpDownState& s, HDC dc) {
  bool horz = StyleOf(s) & UDS_HORZ;
  bool enabled = IsWindowEnabled(s.Hwnd);
  for (Part p : {Part::Up, Part::Down}) {
    TRect r = PartRect(s, p);
    UINT state = horz ? (p == Part::Up ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT)
                      : (p == Part::Up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
    if (s.Pressed == p) state |= DFCS_PUSHED;
    if (!enabled) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &r, DFC_SCROLL, state);
  }
}

// ---- messages -----------------------------------------------------------------------------------

LRESULT UpDownMessage(UpDownState& s, UINT msg, WPARAM wp, LPARAM lp) {
  HWND h = s.Hwnd;
  switch (msg) {
    case WM_CREATE: {
      if (StyleOf(s) & UDS_AUTOBUDDY) {
        // The previous sibling in z-order.
        HWND prev = GetWindow(h, GW_HWNDPREV);
        if (prev) SetBuddy(s, prev);
      }
      return 0;
    }
    case WM_PAINT: {
      if (wp) {
        Paint(s, reinterpret_cast<HDC>(wp));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      Paint(s, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: Paint(s, reinterpret_cast<HDC>(wp)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_ENABLE: InvalidateRect(h, nullptr, false); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      Part p = PartAt(s, LParamToPoint(lp));
      if (p == Part::None || !IsWindowEnabled(h)) return 0;
      if (s.Buddy && IsWindow(s.Buddy) && GetFocus() != s.Buddy) {
        SetFocus(s.Buddy);
        if (s.Dead) return 0;
      }
      s.Pressed = p;
      s.PressTime = GetTickCount();
      SetCapture(h);
      InvalidateRect(h, nullptr, false);
      if (!Step(s, p == Part::Up ? 1 : -1)) return 0;
      SetTimer(h, kRepeatTimer, kUpDownFirstRepeatMs, nullptr);
      return 0;
    }
    case WM_TIMER: {
      if (wp != kRepeatTimer || s.Pressed == Part::None) return 0;
      SetTimer(h, kRepeatTimer, kUpDownRepeatMs, nullptr);
      TPoint p;
      GetCursorPos(&p);
      ScreenToClient(h, &p);
      if (PartAt(s, p) == s.Pressed) Step(s, s.Pressed == Part::Up ? 1 : -1);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
      if (s.Pressed == Part::None) return 0;
      s.Pressed = Part::None;
      KillTimer(h, kRepeatTimer);
      InvalidateRect(h, nullptr, false);
      if (msg == WM_LBUTTONUP && GetCapture() == h) ReleaseCapture();
      if (s.Dead) return 0;
      EndScroll(s);
      return 0;
    }
    case UDM_SETRANGE:
      s.Min = short(HIWORD(DWORD(lp)));
      s.Max = short(LOWORD(DWORD(lp)));
      return 0;
    case UDM_GETRANGE: return MAKELONG(WORD(s.Max), WORD(s.Min));
    case UDM_SETRANGE32:
      s.Min = int(INT_PTR(wp));
      s.Max = int(lp);
      return 0;
    case UDM_GETRANGE32:
      if (wp) *reinterpret_cast<int*>(wp) = s.Min;
      if (lp) *reinterpret_cast<int*>(lp) = s.Max;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      int old = s.Pos;
      int v = msg == UDM_SETPOS ? short(LOWORD(DWORD(lp))) : int(lp);
      s.Pos = std::clamp(v, std::min(s.Min, s.Max), std::max(s.Min, s.Max));
      ShowPos(s);
      return msg == UDM_SETPOS ? LRESULT(short(old)) : LRESULT(old);
    }
    case UDM_GETPOS:
    case UDM_GETPOS32: {
      // Read from the buddy when it shows the position; an unreadable text is an error.
      bool error = false;
      if (s.Buddy && (StyleOf(s) & UDS_SETBUDDYINT) && IsWindow(s.Buddy)) {
        int v;
        if (ParseBuddy(s, v) && v >= std::min(s.Min, s.Max) && v <= std::max(s.Min, s.Max)) s.Pos = v;
        else error = true;
      }
      if (msg == UDM_GETPOS32) {
        if (lp) *reinterpret_cast<BOOL*>(lp) = error;
        return s.Pos;
      }
      return MAKELONG(WORD(s.Pos), WORD(error ? 1 : 0));
    }
    case UDM_SETBUDDY: {
      HWND old = s.Buddy;
      SetBuddy(s, reinterpret_cast<HWND>(wp));
      return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(s.Buddy);
    case UDM_SETACCEL: {
      if (!wp || !lp) return 0;
      auto* a = reinterpret_cast<const UDACCEL*>(lp);
      s.Accel.assign(a, a + wp);
      return 1;
    }
    case UDM_GETACCEL: {
      if (wp && lp) {
        UINT n = std::min<UINT>(*reinterpret_cast<UINT*>(wp), UINT(s.Accel.size()));
        std::copy(s.Accel.begin(), s.Accel.begin() + n, reinterpret_cast<UDACCEL*>(lp));
      }
      return LRESULT(s.Accel.size());
    }
    case UDM_SETBASE: {
      if (wp != 10 && wp != 16) return 0;
      int old = s.Base;
      s.Base = int(wp);
      ShowPos(s);
      return old;
    }
    case UDM_GETBASE: return s.Base;
    default: return DefWindowProcW(h, msg, wp, lp);
  }
}

// The buddy's subclass (UDS_ARROWKEYS): Up and Down step the up-down.
LRESULT BuddyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto b = Buddies().find(hwnd);
  UpDownPtr keep;
  if (b != Buddies().end()) {
    auto u = UpDowns().find(b->second);
    if (u != UpDowns().end()) keep = u->second;
  }
  if (!keep) return DefWindowProcW(hwnd, msg, wp, lp);
  WNDPROC next = keep->BuddyProc;
  if (msg == WM_KEYDOWN && (wp == VK_UP || wp == VK_DOWN) && IsWindowEnabled(keep->Hwnd)) {
    if (!keep->KeyHeld) keep->PressTime = GetTickCount();
    keep->KeyHeld = true;
    Step(*keep, wp == VK_UP ? 1 : -1);
    return 0;
  }
  if (msg == WM_KEYUP && (wp == VK_UP || wp == VK_DOWN) && keep->KeyHeld) {
    keep->KeyHeld = false;
    EndScroll(*keep);
    return 0;
  }
  if (msg == WM_GETDLGCODE) return CallWindowProcW(next, hwnd, msg, wp, lp) | DLGC_WANTARROWS;
  if (msg == WM_NCDESTROY) {
    ReleaseBuddy(*keep);
    return CallWindowProcW(next, hwnd, msg, wp, lp);
  }
  return CallWindowProcW(next, hwnd, msg, wp, lp);
}

}  // namespace

LRESULT UpDownWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto& all = UpDowns();
  if (msg == WM_NCCREATE) {
    auto s = std::make_shared<UpDownState>();
    s->Hwnd = hwnd;
    all[hwnd] = s;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  auto it = all.find(hwnd);
  if (it == all.end()) return DefWindowProcW(hwnd, msg, wp, lp);
  UpDownPtr keep = it->second;
  if (msg == WM_NCDESTROY) {
    keep->Dead = true;
    KillTimer(hwnd, kRepeatTimer);
    ReleaseBuddy(*keep);
    all.erase(hwnd);
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  if (keep->Dead) return 0;
  return UpDownMessage(*keep, msg, wp, lp);
}

}  // namespace vcl
