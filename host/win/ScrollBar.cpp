// Scroll bars: the standard non-client bars of WS_VSCROLL/WS_HSCROLL windows and the
// SCROLLBAR control class: state, layout, drawing, and mouse tracking with auto-repeat on
// the backend clock.
#include <algorithm>

#include "host/win/PlatformFacts.h"
#include "host/win/WinInternal.h"

namespace vcl {

namespace {

constexpr UINT kFirstDelay = 200;
constexpr UINT kRepeatDelay = 50;
constexpr UINT_PTR kScrollTimer = 0xFFFE;

enum Part { None = 0, ArrowUp = 1, PageUp = 2, Thumb = 3, PageDown = 4, ArrowDown = 5 };

// The storage of a bar's state (all zero until the information is created). SB_CTL is only
// reached from the scroll-bar procedure and its tracking: the API functions send the control
// its SBM_ messages.
ScrollData* Data(WindowObject* w, int bar) {
  if (!w) return nullptr;
  if (bar == SB_HORZ) return &w->Scroll[0];
  if (bar == SB_VERT) return &w->Scroll[1];
  if (bar == SB_CTL) return &w->Scroll[2];
  return nullptr;
}

// A bar's scroll information, nullptr while it has none unless `create` makes it, with the
// defaults of a new bar: 0..100 for a window's own bars, 0..0 for a scroll-bar control.
ScrollData* Info(WindowObject* w, int bar, bool create) {
  ScrollData* d = Data(w, bar);
  if (!d || d->Exists) return d;
  if (!create) return nullptr;
  *d = ScrollData{};
  d->Exists = true;
  d->Max = bar == SB_CTL ? 0 : 100;
  return d;
}

bool Vertical(WindowObject* w, int bar) {
  if (bar == SB_CTL) return (w->Style & SBS_VERT) != 0;
  return bar == SB_VERT;
}

int MaxPos(const ScrollData& d) { return d.Max - std::max(int(d.Page) - 1, 0); }

bool CanScroll(const ScrollData& d) { return d.Min < MaxPos(d); }

// Layout along the bar's axis, relative to the bar rectangle's start.
struct BarLayout {
  int Length = 0;      // whole bar
  int Arrow = 0;       // each arrow button
  int ThumbPos = 0;    // start of the thumb (0 when there is none)
  int ThumbLen = 0;    // 0: no thumb
  int TrackStart() const { return Arrow; }
  int TrackEnd() const { return Length - Arrow; }
};

BarLayout Layout(WindowObject* w, int bar, const TRect& r, const ScrollData& d, int dragPos = -1) {
  BarLayout l;
  bool vert = Vertical(w, bar);
  l.Length = vert ? r.Height() : r.Width();
  int cross = vert ? r.Width() : r.Height();
  int arrow = GetSystemMetricsForDpi(vert ? SM_CYVSCROLL : SM_CXHSCROLL, w->Dpi);
  (void)cross;
  l.Arrow = std::min(arrow, l.Length / 2);
  int track = l.TrackEnd() - l.TrackStart();
  bool disabled = (d.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH ||
                  (w->Style & WS_DISABLED) != 0;
  if (!CanScroll(d) || disabled || track <= 0) return l;
  int thumb;
  int minThumb = MulDiv(8, int(w->Dpi), 96);
  if (d.Page) {
    long long range = (long long)d.Max - d.Min + 1;
    thumb = int(std::max<long long>(minThumb, (long long)track * d.Page / range));
  } else {
    thumb = GetSystemMetricsForDpi(vert ? SM_CYVTHUMB : SM_CXHTHUMB, w->Dpi);
  }
  if (thumb > track) return l;
  int pos = dragPos >= 0 ? dragPos : d.Pos;
  pos = std::clamp(pos, d.Min, MaxPos(d));
  long long span = (long long)MaxPos(d) - d.Min;
  l.ThumbLen = thumb;
  l.ThumbPos = l.TrackStart() + int(span ? (long long)(pos - d.Min) * (track - thumb) / span : 0);
  return l;
}

// The position a thumb start corresponds to, rounded to the nearest.
int PosFromThumb(const BarLayout& l, const ScrollData& d, int thumbStart) {
  int free = (l.TrackEnd() - l.TrackStart()) - l.ThumbLen;
  if (free <= 0) return d.Min;
  long long span = (long long)MaxPos(d) - d.Min;
  long long off = std::clamp(thumbStart - l.TrackStart(), 0, free);
  return d.Min + int((off * span * 2 + free) / (2 * free));
}

Part PartAt(const BarLayout& l, int along) {
  if (along < 0 || along >= l.Length) return None;
  if (along < l.Arrow) return ArrowUp;
  if (along >= l.Length - l.Arrow) return ArrowDown;
  if (!l.ThumbLen) return along < l.Length / 2 ? PageUp : PageDown;
  if (along < l.ThumbPos) return PageUp;
  if (along < l.ThumbPos + l.ThumbLen) return Thumb;
  return PageDown;
}

// The bar's rectangle in screen coordinates.
TRect ScreenBarRect(WindowObject* w, int bar) {
  if (bar == SB_CTL) return ScreenClientRect(w);
  TRect r = ScrollBarRect(w, bar);
  TPoint o = WindowOrigin(w);
  return r.Offsetted(o.X, o.Y);
}

int Along(WindowObject* w, int bar, TPoint screen) {
  TRect r = ScreenBarRect(w, bar);
  return Vertical(w, bar) ? screen.Y - r.Top : screen.X - r.Left;
}

void RedrawBar(WindowObject* w, int bar) {
  if (!IsVisibleTree(w)) return;
  if (bar == SB_CTL) {
    RedrawWindowInternal(w, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    return;
  }
  // Through WM_NCPAINT, so a window (or style hook) painting its own bars paints them.
  SendNcPaintNow(w, ScrollBarRect(w, bar));
}

// Sends a scroll notification: to the window for its own bars, to the parent for a control.
void Notify(WindowObject* w, int bar, WORD code, int pos) {
  bool vert = Vertical(w, bar);
  UINT msg = vert ? WM_VSCROLL : WM_HSCROLL;
  WPARAM wp = MAKEWPARAM(code, WORD(pos));
  if (bar == SB_CTL) {
    WindowObject* p = w->Parent;
    if (p && p != Wm().Desktop && p != Wm().MessageRoot)
      SendMessageW(p, msg, wp, reinterpret_cast<LPARAM>(w));
  } else {
    SendMessageW(w, msg, wp, 0);
  }
}

}  // namespace

// ---- Geometry ------------------------------------------------------------------------------------

bool ScrollBarVisible(const WindowObject* w, int bar) {
  return (w->Style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

TRect ScrollBarRect(WindowObject* w, int bar) {
  if (bar != SB_VERT && bar != SB_HORZ) return {};
  if (!ScrollBarVisible(w, bar)) return {};
  TRect c = ClientRectInWindow(w);
  int cxv = GetSystemMetricsForDpi(SM_CXVSCROLL, w->Dpi);
  int cyh = GetSystemMetricsForDpi(SM_CYHSCROLL, w->Dpi);
  TRect whole(0, 0, w->WindowRect.Width(), w->WindowRect.Height());
  TRect r;
  if (bar == SB_VERT) {
    r = (w->ExStyle & WS_EX_LEFTSCROLLBAR) ? TRect(c.Left - cxv, c.Top, c.Left, c.Bottom)
                                           : TRect(c.Right, c.Top, c.Right + cxv, c.Bottom);
  } else {
    r = TRect(c.Left, c.Bottom, c.Right, c.Bottom + cyh);
  }
  if (!whole.Contains(r)) return {};
  return r;
}

// ---- Drawing ----------------------------------------------------------------------------------------

namespace {

constexpr COLORREF kTrack = RGB(240, 240, 240);
constexpr COLORREF kThumb = RGB(205, 205, 205);
constexpr COLORREF kThumbHot = RGB(166, 166, 166);
constexpr COLORREF kThumbPressed = RGB(96, 96, 96);
constexpr COLORREF kArrowGlyph = RGB(96, 96, 96);
constexpr COLORREF kArrowGlyphDisabled = RGB(191, 191, 191);
constexpr COLORREF kArrowHot = RGB(218, 218, 218);
constexpr COLORREF kArrowPressed = RGB(96, 96, 96);

// A filled triangle pointing up, down, left or right, centred in r.
void Triangle(HDC dc, const TRect& r, int dir, COLORREF c, UINT dpi) {
  int base = MulDiv(7, int(dpi), 96) | 1;
  int h = (base + 1) / 2;
  TPoint m = r.CenterPoint();
  for (int i = 0; i < h; ++i) {
    int half = i;  // row i spans 2*i+1 pixels
    switch (dir) {
      case 0: WmFillSolid(dc, TRect(m.X - half, m.Y - h / 2 + i, m.X + half + 1, m.Y - h / 2 + i + 1), c); break;
      case 1: WmFillSolid(dc, TRect(m.X - half, m.Y + h / 2 - i, m.X + half + 1, m.Y + h / 2 - i + 1), c); break;
      case 2: WmFillSolid(dc, TRect(m.X - h / 2 + i, m.Y - half, m.X - h / 2 + i + 1, m.Y + half + 1), c); break;
      default: WmFillSolid(dc, TRect(m.X + h / 2 - i, m.Y - half, m.X + h / 2 - i + 1, m.Y + half + 1), c); break;
    }
  }
}

}  // namespace

void DrawScrollBar(WindowObject* w, HDC dc, int bar, const TRect& r, bool vertical) {
  ScrollData* d = Data(w, bar);
  if (!d || r.IsEmpty()) return;
  WinState& s = Wm();
  int dragPos = -1, pressed = None;
  if (s.ActiveTracker && s.ActiveTracker->Hwnd == w) {
    if (auto* t = dynamic_cast<ScrollTrackerBase*>(s.ActiveTracker.get()); t && t->Bar == bar) {
      pressed = t->PressedPart();
      dragPos = t->DragPos();
    }
  }
  int hot = (w->ScrollHot >> 4) == bar + 1 ? (w->ScrollHot & 0xF) : None;
  BarLayout l = Layout(w, bar, r, *d, dragPos);
  WmFillSolid(dc, r, kTrack);
  bool disabledAll = (d->Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH ||
                     (w->Style & WS_DISABLED) || !CanScroll(*d);
  auto seg = [&](int a, int b) {
    return vertical ? TRect(r.Left, r.Top + a, r.Right, r.Top + b)
                    : TRect(r.Left + a, r.Top, r.Left + b, r.Bottom);
  };
  auto arrow = [&](Part part, int a, int b, int dir, bool disabled) {
    TRect ar = seg(a, b);
    COLORREF glyph = disabled ? kArrowGlyphDisabled : kArrowGlyph;
    if (!disabled && pressed == part) {
      WmFillSolid(dc, ar, kArrowPressed);
      glyph = RGB(255, 255, 255);
    } else if (!disabled && hot == part) {
      WmFillSolid(dc, ar, kArrowHot);
      glyph = RGB(0, 0, 0);
    }
    Triangle(dc, ar, dir, glyph, w->Dpi);
  };
  arrow(ArrowUp, 0, l.Arrow, vertical ? 0 : 2, disabledAll || (d->Disabled & ESB_DISABLE_LTUP));
  arrow(ArrowDown, l.Length - l.Arrow, l.Length, vertical ? 1 : 3,
        disabledAll || (d->Disabled & ESB_DISABLE_RTDN));
  if (l.ThumbLen) {
    TRect t = seg(l.ThumbPos, l.ThumbPos + l.ThumbLen);
    int inset = std::max(1, MulDiv(1, int(w->Dpi), 96));
    if (vertical)
      t.Inflate(-inset, 0);
    else
      t.Inflate(0, -inset);
    COLORREF c = pressed == Thumb ? kThumbPressed : hot == Thumb ? kThumbHot : kThumb;
    WmFillSolid(dc, t, c);
  }
}

// ---- API ---------------------------------------------------------------------------------------------
// The window's own bars are handled here; a scroll-bar control (SB_CTL) is sent its SBM_
// messages, so that a subclassed control sees every call and any window whose procedure hands
// them to the scroll-bar procedure is a scroll bar.

namespace {

int SetInfo(WindowObject* w, int bar, const SCROLLINFO* info, BOOL redraw) {
  ScrollData* d = Info(w, bar, true);
  if (!d || !info) return 0;
  UINT mask = info->fMask;
  if ((mask & SIF_RANGE) &&
      (info->nMin > info->nMax || (unsigned long long)((long long)info->nMax - info->nMin) >= 0x80000000ull))
    return d->Pos;
  WindowLock lock(w);
  ScrollData before = *d;
  if (mask & SIF_PAGE) d->Page = info->nPage;
  if (mask & SIF_RANGE) {
    d->Min = info->nMin;
    d->Max = info->nMax;
  }
  long long range = (long long)d->Max - d->Min + 1;
  if ((long long)d->Page > range) d->Page = UINT(std::max<long long>(0, range));
  if (mask & SIF_POS) d->Pos = info->nPos;
  d->Pos = std::clamp(d->Pos, d->Min, std::max(d->Min, MaxPos(*d)));
  // The arrows' state changes only with the range or page (or SIF_DISABLENOSCROLL): a range that
  // no longer scrolls hides a window's bar, or disables it when asked to; one that scrolls again
  // enables it (a change of the page alone does not re-enable a disabled bar).
  if (mask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
    if (!CanScroll(*d)) {
      if (mask & SIF_DISABLENOSCROLL) {
        d->Disabled = ESB_DISABLE_BOTH;
        if (bar != SB_CTL && !ScrollBarVisible(w, bar)) ShowScrollBar(w, bar, true);
      } else if (bar != SB_CTL && (mask & (SIF_RANGE | SIF_PAGE)) && ScrollBarVisible(w, bar)) {
        ShowScrollBar(w, bar, false);
      }
    } else {
      bool pageOnly = (mask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) == SIF_PAGE;
      if (d->Disabled == ESB_DISABLE_BOTH && (bar != SB_CTL || !pageOnly)) d->Disabled = 0;
      if (bar != SB_CTL && (mask & (SIF_RANGE | SIF_PAGE)) && !ScrollBarVisible(w, bar))
        ShowScrollBar(w, bar, true);
    }
  }
  if (!Live(w)) return 0;
  bool arrowsChanged = before.Disabled != d->Disabled;
  // A control disabled as a whole is a disabled window, and enabled again with its arrows.
  if (bar == SB_CTL && arrowsChanged &&
      (d->Disabled == ESB_DISABLE_BOTH || before.Disabled == ESB_DISABLE_BOTH)) {
    EnableWindow(w, d->Disabled != ESB_DISABLE_BOTH);
    if (!Live(w)) return 0;
  }
  bool changed = before.Min != d->Min || before.Max != d->Max || before.Page != d->Page ||
                 before.Pos != d->Pos;
  // Without the redraw flag only a change of the arrows' state is shown.
  if ((redraw && (changed || arrowsChanged)) || arrowsChanged) RedrawBar(w, bar);
  return d->Pos;
}

BOOL GetInfo(WindowObject* w, int bar, SCROLLINFO* info) {
  ScrollData* d = Info(w, bar, false);
  if (!d || !info) return false;
  UINT mask = info->fMask;
  if (mask & SIF_RANGE) {
    info->nMin = d->Min;
    info->nMax = d->Max;
  }
  if (mask & SIF_PAGE) info->nPage = d->Page;
  if (mask & SIF_POS) info->nPos = d->Pos;
  if (mask & SIF_TRACKPOS) info->nTrackPos = d->TrackPos;
  return (mask & SIF_ALL) != 0;
}

int SetPos(WindowObject* w, int bar, int pos, BOOL redraw) {
  ScrollData* d = Info(w, bar, true);
  if (!d) return 0;
  int old = d->Pos;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetInfo(w, bar, &si, redraw);
  return old;
}

int SetRange(WindowObject* w, int bar, int minPos, int maxPos, BOOL redraw) {
  ScrollData* d = Info(w, bar, true);
  if (!d) return 0;
  int old = d->Pos;
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = minPos;
  si.nMax = maxPos;
  SetInfo(w, bar, &si, redraw);
  return old;
}

// Returns whether anything changed; a control answers TRUE whatever it had, and its window is
// disabled and enabled with both arrows.
BOOL EnableArrows(WindowObject* w, int bar, UINT arrows) {
  arrows &= ESB_DISABLE_BOTH;
  bool changed = false;
  auto apply = [&](int b) {
    ScrollData* d = Info(w, b, true);
    if (!d || d->Disabled == arrows) return;
    d->Disabled = arrows;
    changed = true;
    RedrawBar(w, b);
  };
  if (bar == SB_BOTH) {
    apply(SB_HORZ);
    if (Live(w)) apply(SB_VERT);
    return changed;
  }
  if (bar != SB_HORZ && bar != SB_VERT && bar != SB_CTL) return false;
  apply(bar);
  if (bar != SB_CTL) return changed;
  if (Live(w) && (arrows == ESB_DISABLE_BOTH || arrows == ESB_ENABLE_BOTH))
    EnableWindow(w, arrows == ESB_ENABLE_BOTH);
  return true;
}

BOOL BarInfo(WindowObject* w, int bar, SCROLLBARINFO* info) {
  if (!w || !info) return false;
  ScrollData none;  // a bar without information: empty range
  none.Max = 0;
  ScrollData* d = Info(w, bar, false);
  if (!d) {
    if (bar != SB_HORZ && bar != SB_VERT) return false;
    d = &none;
  }
  for (DWORD& st : info->rgstate) st = 0;
  // A control reports its own visibility; a window's bar, whether its style shows it.
  bool shown = bar == SB_CTL ? (w->Style & WS_VISIBLE) != 0 : ScrollBarVisible(w, bar);
  TRect r = bar == SB_CTL ? ScreenClientRect(w) : ScreenBarRect(w, bar);
  if (bar != SB_CTL && !shown) {
    // Where the bar would be, empty.
    TRect c = ScreenClientRect(w);
    r = bar == SB_VERT ? TRect(c.Right, c.Top, c.Right, c.Bottom) : TRect(c.Left, c.Bottom, c.Right, c.Bottom);
  }
  info->rcScrollBar = r;
  WinState& s = Wm();
  int dragPos = -1, pressed = None;
  if (s.ActiveTracker && s.ActiveTracker->Hwnd == w)
    if (auto* t = dynamic_cast<ScrollTrackerBase*>(s.ActiveTracker.get()); t && t->Bar == bar) {
      pressed = t->PressedPart();
      dragPos = t->DragPos();
    }
  BarLayout l = Layout(w, bar, r, *d, dragPos);
  info->dxyLineButton = l.Arrow;
  info->xyThumbTop = l.ThumbLen ? l.ThumbPos : 0;
  info->xyThumbBottom = l.ThumbLen ? l.ThumbPos + l.ThumbLen : 0;
  if (!shown) info->rgstate[0] |= STATE_SYSTEM_INVISIBLE;
  if (!CanScroll(*d) || (d->Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH)
    info->rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
  if (d->Disabled & ESB_DISABLE_LTUP) info->rgstate[1] |= STATE_SYSTEM_UNAVAILABLE;
  if (d->Disabled & ESB_DISABLE_RTDN) info->rgstate[5] |= STATE_SYSTEM_UNAVAILABLE;
  if (!l.ThumbLen) info->rgstate[3] |= STATE_SYSTEM_INVISIBLE;
  if (pressed) info->rgstate[pressed] |= STATE_SYSTEM_PRESSED;
  if ((w->ScrollHot >> 4) == bar + 1 && (w->ScrollHot & 0xF))
    info->rgstate[w->ScrollHot & 0xF] |= STATE_SYSTEM_HOTTRACKED;
  return true;
}

}  // namespace

void InitScrollInfo(WindowObject* w) {
  if (w->Style & WS_HSCROLL) Info(w, SB_HORZ, true);
  if (w->Style & WS_VSCROLL) Info(w, SB_VERT, true);
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
  WindowObject* w = Live(hwnd);
  if (!w || !info) return 0;
  if (bar == SB_CTL)
    return int(SendMessageW(w, SBM_SETSCROLLINFO, WPARAM(redraw), reinterpret_cast<LPARAM>(info)));
  return SetInfo(w, bar, info, redraw);
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
  WindowObject* w = Live(hwnd);
  if (!w || !info) return false;
  if (bar == SB_CTL)
    return SendMessageW(w, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)) != 0;
  return GetInfo(w, bar, info);
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  WindowObject* w = Live(hwnd);
  if (!w) return 0;
  if (bar == SB_CTL) return int(SendMessageW(w, SBM_SETPOS, WPARAM(pos), redraw));
  return SetPos(w, bar, pos, redraw);
}

int GetScrollPos(HWND hwnd, int bar) {
  WindowObject* w = Live(hwnd);
  if (!w) return 0;
  if (bar == SB_CTL) return int(SendMessageW(w, SBM_GETPOS, 0, 0));
  ScrollData* d = Info(w, bar, false);
  return d ? d->Pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
  WindowObject* w = Live(hwnd);
  if (!w) return false;
  if (bar == SB_CTL) {
    SendMessageW(w, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, WPARAM(minPos), LPARAM(maxPos));
    return true;
  }
  if (!Data(w, bar)) return false;
  SetRange(w, bar, minPos, maxPos, redraw);
  return true;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
  WindowObject* w = Live(hwnd);
  if (!w || !minPos || !maxPos || !Data(w, bar)) return false;
  if (bar == SB_CTL) {
    *minPos = *maxPos = 0;
    SendMessageW(w, SBM_GETRANGE, reinterpret_cast<WPARAM>(minPos), reinterpret_cast<LPARAM>(maxPos));
    return true;
  }
  ScrollData* d = Info(w, bar, false);  // a bar without information reads 0..0
  *minPos = d ? d->Min : 0;
  *maxPos = d ? d->Max : 0;
  return true;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  WindowObject* w = Live(hwnd);
  if (!w) return false;
  if (bar == SB_CTL) {
    ShowWindow(w, show ? SW_SHOW : SW_HIDE);
    return true;
  }
  DWORD bits = bar == SB_VERT ? WS_VSCROLL : bar == SB_HORZ ? WS_HSCROLL : bar == SB_BOTH ? (WS_VSCROLL | WS_HSCROLL) : 0;
  if (!bits) return false;
  DWORD old = w->Style;
  if (show)
    w->Style |= bits;
  else
    w->Style &= ~bits;
  if (old != w->Style)
    SetWindowPosInternal(w, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  WindowObject* w = Live(hwnd);
  if (!w) return false;
  if (bar == SB_CTL) {
    // A scroll bar always answers TRUE; anything else leaves the message unanswered.
    if (SendMessageW(w, SBM_ENABLE_ARROWS, WPARAM(arrows), 0)) return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return EnableArrows(w, int(bar), arrows);
}

BOOL GetScrollBarInfo(HWND hwnd, LONG objectId, SCROLLBARINFO* info) {
  WindowObject* w = Live(hwnd);
  if (!w || !info) return false;
  if (objectId == OBJID_CLIENT)
    return SendMessageW(w, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(info)) != 0;
  int bar = objectId == OBJID_VSCROLL ? SB_VERT : objectId == OBJID_HSCROLL ? SB_HORZ : -1;
  return BarInfo(w, bar, info);
}

// ---- Tracking ----------------------------------------------------------------------------------------

namespace {

struct ScrollTracker final : ScrollTrackerBase {
  Part Target = None;     // the part pressed
  bool Over = true;       // the pointer is over that part
  int GrabOffset = 0;     // pointer offset inside the thumb
  int Drag = -1;          // position the thumb is dragged to
  int Repeats = 0;

  int PressedPart() const override { return Over ? int(Target) : 0; }
  int DragPos() const override { return Target == Thumb ? Drag : -1; }

  WindowObject* Window() const { return Live(Hwnd); }

  void Step() {
    WindowObject* w = Window();
    ScrollData* d = Data(w, Bar);
    if (!d) return;
    TRect r = ScreenBarRect(w, Bar);
    BarLayout l = Layout(w, Bar, r, *d);
    // Paging stops once the thumb has reached the pointer.
    Part now = PartAt(l, Along(w, Bar, Wm().CursorPos));
    Over = now == Target;
    if (!Over) return;
    switch (Target) {
      case ArrowUp: Notify(w, Bar, SB_LINEUP, 0); break;
      case ArrowDown: Notify(w, Bar, SB_LINEDOWN, 0); break;
      case PageUp: Notify(w, Bar, SB_PAGEUP, 0); break;
      case PageDown: Notify(w, Bar, SB_PAGEDOWN, 0); break;
      default: break;
    }
  }

  bool OnMessage(const MSG& msg) override {
    WindowObject* w = Window();
    if (!w) return false;
    if (GetCapture() != w) {
      End(false);
      return false;
    }
    switch (TrackedMessage(msg.message)) {
      case WM_MOUSEMOVE: Move(msg.pt); return true;
      case WM_LBUTTONUP:
        Move(msg.pt);
        End(true);
        return true;
      case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) End(false);
        return true;
      default:
        return (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
               (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCXBUTTONDBLCLK);
    }
  }

  void Move(TPoint pt) {
    WindowObject* w = Window();
    ScrollData* d = Data(w, Bar);
    if (!d) return;
    TRect r = ScreenBarRect(w, Bar);
    BarLayout l = Layout(w, Bar, r, *d, Drag);
    int along = Along(w, Bar, pt);
    if (Target == Thumb) {
      int pos = PosFromThumb(l, *d, along - GrabOffset);
      if (pos != Drag) {
        Drag = pos;
        d->TrackPos = pos;
        RedrawBar(w, Bar);
        if (Live(w)) Notify(w, Bar, SB_THUMBTRACK, pos);
      }
      return;
    }
    bool over = PartAt(l, along) == Target;
    if (over != Over) {
      Over = over;
      RedrawBar(w, Bar);
    }
  }

  void OnTimer(UINT_PTR id) override {
    if (id != kScrollTimer || Target == Thumb) return;
    WindowObject* w = Window();
    if (!w) return;
    if (Repeats++ == 0) SetSystemTimer(w, kScrollTimer, kRepeatDelay);
    Step();
    if (Live(w)) RedrawBar(w, Bar);
  }

  void End(bool notify) {
    HWND h = Hwnd;
    int bar = Bar;
    Part target = Target;
    int drag = Drag;
    Wm().ActiveTracker.reset();  // deletes this
    WindowObject* w = Live(h);
    if (!w) return;
    KillSystemTimer(w, kScrollTimer);
    if (GetCapture() == w) ReleaseCapture();
    if (!Live(w)) return;
    ScrollData* d = Data(w, bar);
    if (notify && target == Thumb && drag >= 0) Notify(w, bar, SB_THUMBPOSITION, drag);
    if (Live(w) && d) d->TrackPos = d->Pos;
    if (Live(w)) Notify(w, bar, SB_ENDSCROLL, 0);
    if (Live(w)) RedrawBar(w, bar);
  }

  void Cancel() override { End(false); }
};

}  // namespace

void StartScrollTracking(WindowObject* w, int bar, TPoint screen) {
  WinState& s = Wm();
  ScrollData* d = Data(w, bar);
  if (!d) return;
  TRect r = ScreenBarRect(w, bar);
  BarLayout l = Layout(w, bar, r, *d);
  Part part = PartAt(l, Along(w, bar, screen));
  bool disabled = (d->Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH || !CanScroll(*d) ||
                  (w->Style & WS_DISABLED);
  if (part == None || disabled) return;
  if ((part == ArrowUp && (d->Disabled & ESB_DISABLE_LTUP)) ||
      (part == ArrowDown && (d->Disabled & ESB_DISABLE_RTDN)))
    return;
  if ((part == PageUp || part == PageDown) && !l.ThumbLen) return;
  CancelTracking();
  auto t = std::make_unique<ScrollTracker>();
  t->Hwnd = w;
  t->Bar = bar;
  t->Target = part;
  if (part == Thumb) {
    t->GrabOffset = Along(w, bar, screen) - l.ThumbPos;
    t->Drag = d->Pos;
    d->TrackPos = d->Pos;
  }
  ScrollTracker* raw = t.get();
  s.ActiveTracker = std::move(t);
  SetCapture(w);
  if (!Live(w) || s.ActiveTracker.get() != raw) return;
  if (part != Thumb) {
    raw->Step();
    if (!Live(w) || s.ActiveTracker.get() != raw) return;
    SetSystemTimer(w, kScrollTimer, kFirstDelay);
  }
  RedrawBar(w, bar);
}

void ScrollHotTrack(WindowObject* w, int bar, TPoint screen) {
  int code = 0;
  if (bar >= 0) {
    ScrollData* d = Data(w, bar);
    if (d) {
      BarLayout l = Layout(w, bar, ScreenBarRect(w, bar), *d);
      int part = PartAt(l, Along(w, bar, screen));
      if (part) code = ((bar + 1) << 4) | part;
    }
  }
  if (code == w->ScrollHot) return;
  int oldBar = (w->ScrollHot >> 4) - 1;
  w->ScrollHot = code;
  if (oldBar >= 0) RedrawBar(w, oldBar);
  if (bar >= 0 && bar != oldBar && Live(w)) RedrawBar(w, bar);
}

// ---- The SCROLLBAR control -------------------------------------------------------------------------

LRESULT ScrollBarControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WindowObject* w = Live(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_CREATE:
      w->Scroll[2] = ScrollData{};
      Info(w, SB_CTL, true);  // an empty range, 0..0
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      TRect r;
      GetClientRect(hwnd, &r);
      if (w->Style & (SBS_SIZEBOX | SBS_SIZEGRIP))
        WmFillSolid(dc, r, GetSysColor(COLOR_BTNFACE));
      else
        DrawScrollBar(w, dc, SB_CTL, r, (w->Style & SBS_VERT) != 0);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      TPoint p = LParamToPoint(lp);
      ClientToScreen(hwnd, &p);
      if (w->Style & (SBS_SIZEBOX | SBS_SIZEGRIP)) {
        WindowObject* top = TopLevelOf(w);
        if (top) SendMessageW(top, WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, PointToLParam(p));
        return 0;
      }
      StartScrollTracking(w, SB_CTL, p);
      return 0;
    }
    case WM_MOUSEMOVE: {
      TPoint p = LParamToPoint(lp);
      ClientToScreen(hwnd, &p);
      ScrollHotTrack(w, SB_CTL, p);
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_LEAVE;
      tme.hwndTrack = hwnd;
      TrackMouseEvent(&tme);
      return 0;
    }
    case WM_MOUSELEAVE: ScrollHotTrack(w, -1, {}); return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, true); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN: {
      bool vert = (w->Style & SBS_VERT) != 0;
      WORD code;
      switch (wp) {
        case VK_UP: code = vert ? SB_LINEUP : 0xFFFF; break;
        case VK_LEFT: code = vert ? 0xFFFF : SB_LINELEFT; break;
        case VK_DOWN: code = vert ? SB_LINEDOWN : 0xFFFF; break;
        case VK_RIGHT: code = vert ? 0xFFFF : SB_LINERIGHT; break;
        case VK_PRIOR: code = SB_PAGEUP; break;
        case VK_NEXT: code = SB_PAGEDOWN; break;
        case VK_HOME: code = SB_TOP; break;
        case VK_END: code = SB_BOTTOM; break;
        default: code = 0xFFFF; break;
      }
      if (code != 0xFFFF) Notify(w, SB_CTL, code, 0);
      return 0;
    }
    case WM_KEYUP:
      if (wp == VK_UP || wp == VK_DOWN || wp == VK_LEFT || wp == VK_RIGHT || wp == VK_PRIOR ||
          wp == VK_NEXT || wp == VK_HOME || wp == VK_END)
        Notify(w, SB_CTL, SB_ENDSCROLL, 0);
      return 0;
    case SBM_SETPOS: return SetPos(w, SB_CTL, int(wp), lp != 0);
    case SBM_GETPOS: return Info(w, SB_CTL, true)->Pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
      return SetRange(w, SB_CTL, int(wp), int(lp), msg == SBM_SETRANGEREDRAW);
    case SBM_GETRANGE: {
      ScrollData* d = Info(w, SB_CTL, true);
      if (wp) *reinterpret_cast<int*>(wp) = d->Min;
      if (lp) *reinterpret_cast<int*>(lp) = d->Max;
      return 0;
    }
    case SBM_ENABLE_ARROWS: return EnableArrows(w, SB_CTL, UINT(wp));
    case SBM_SETSCROLLINFO: return SetInfo(w, SB_CTL, reinterpret_cast<const SCROLLINFO*>(lp), wp != 0);
    case SBM_GETSCROLLINFO: {
      Info(w, SB_CTL, true);
      return GetInfo(w, SB_CTL, reinterpret_cast<SCROLLINFO*>(lp));
    }
    case SBM_GETSCROLLBARINFO:
      Info(w, SB_CTL, true);
      return BarInfo(w, SB_CTL, reinterpret_cast<SCROLLBARINFO*>(lp));
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace vcl
