// Window geometry: coordinates, SetWindowPos and ShowWindow with their message sequences,
// minimise/maximise, placement, window regions, hit testing and DPI changes.
#include <algorithm>

#include "host/win/WinInternal.h"

namespace vcl {

// ---- Coordinates --------------------------------------------------------------------------------------

TPoint ClientOrigin(const WindowObject* w) {
  WinState& s = Wm();
  TPoint p{};
  for (; w && w != s.Desktop && w != s.MessageRoot; w = w->Parent) p = p + w->ClientRect.TopLeft();
  return p;
}

TPoint WindowOrigin(const WindowObject* w) {
  WinState& s = Wm();
  if (!w || w == s.Desktop || w == s.MessageRoot) return {};
  return ClientOrigin(w->Parent) + w->WindowRect.TopLeft();
}

TRect ScreenWindowRect(const WindowObject* w) {
  WinState& s = Wm();
  if (w == s.Desktop) return w->WindowRect;
  TPoint o = ClientOrigin(w->Parent);
  return w->WindowRect.Offsetted(o.X, o.Y);
}

TRect ScreenClientRect(const WindowObject* w) {
  WinState& s = Wm();
  if (w == s.Desktop) return w->ClientRect;
  TPoint o = ClientOrigin(w->Parent);
  return w->ClientRect.Offsetted(o.X, o.Y);
}

TRect ClientRectInWindow(const WindowObject* w) {
  return w->ClientRect.Offsetted(-w->WindowRect.Left, -w->WindowRect.Top);
}

TPoint SurfaceOffset(const WindowObject* w) {
  WindowObject* top = TopLevelOf(const_cast<WindowObject*>(w));
  if (!top) return {};
  return WindowOrigin(w) - top->WindowRect.TopLeft();
}

BOOL GetWindowRect(HWND hwnd, TRect* rect) {
  WindowObject* w = Live(hwnd);
  if (!w || !rect) return false;
  *rect = ScreenWindowRect(w);
  return true;
}

BOOL GetClientRect(HWND hwnd, TRect* rect) {
  WindowObject* w = Live(hwnd);
  if (!w || !rect) return false;
  *rect = {0, 0, w->ClientRect.Width(), w->ClientRect.Height()};
  return true;
}

BOOL ClientToScreen(HWND hwnd, TPoint* pt) {
  WindowObject* w = Live(hwnd);
  if (!w || !pt) return false;
  *pt = *pt + ClientOrigin(w);
  return true;
}

BOOL ScreenToClient(HWND hwnd, TPoint* pt) {
  WindowObject* w = Live(hwnd);
  if (!w || !pt) return false;
  *pt = *pt - ClientOrigin(w);
  return true;
}

int MapWindowPoints(HWND from, HWND to, TPoint* points, UINT count) {
  WindowObject* f = from ? Live(from) : nullptr;
  WindowObject* t = to ? Live(to) : nullptr;
  if ((from && !f) || (to && !t)) return 0;
  TPoint d = (f ? ClientOrigin(f) : TPoint{}) - (t ? ClientOrigin(t) : TPoint{});
  for (UINT i = 0; points && i < count; ++i) points[i] = points[i] + d;
  return int(MAKELONG(WORD(d.X), WORD(d.Y)));
}

int MapWindowPoints(HWND from, HWND to, TRect* rect) {
  if (!rect) return 0;
  TPoint pts[2] = {rect->TopLeft(), rect->BottomRight()};
  int r = MapWindowPoints(from, to, pts, 2);
  *rect = {pts[0], pts[1]};
  return r;
}

// ---- Non-client metrics ---------------------------------------------------------------------------------

TRect NonClientInsets(DWORD style, DWORD exStyle, UINT dpi, bool menu) {
  auto m = [dpi](int idx) { return GetSystemMetricsForDpi(idx, dpi); };
  int frame = 0;
  if (style & WS_THICKFRAME)
    frame = m(SM_CXFRAME) + m(SM_CXPADDEDBORDER);
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    frame = m(SM_CXDLGFRAME);
  else if (style & WS_BORDER)
    frame = m(SM_CXBORDER);
  int edge = 0;
  if (exStyle & WS_EX_CLIENTEDGE) edge += m(SM_CXEDGE);
  if (exStyle & WS_EX_STATICEDGE) edge += m(SM_CXBORDER);
  TRect r{frame + edge, frame + edge, frame + edge, frame + edge};
  if ((style & WS_CAPTION) == WS_CAPTION)
    r.Top += (exStyle & WS_EX_TOOLWINDOW) ? m(SM_CYSMCAPTION) : m(SM_CYCAPTION);
  if (menu) r.Top += m(SM_CYMENU);
  return r;
}

BOOL AdjustWindowRectExForDpi(TRect* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) {
  if (!rect) return false;
  TRect i = NonClientInsets(style, exStyle, dpi, menu);
  rect->Left -= i.Left;
  rect->Top -= i.Top;
  rect->Right += i.Right;
  rect->Bottom += i.Bottom;
  return true;
}

BOOL AdjustWindowRectEx(TRect* rect, DWORD style, BOOL menu, DWORD exStyle) {
  return AdjustWindowRectExForDpi(rect, style, menu, exStyle, GetDpiForSystem());
}

LRESULT DefNcCalcSize(WindowObject* w, WPARAM wp, LPARAM lp) {
  if (!lp) return 0;
  TRect* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<TRect*>(lp);
  if (w == Wm().Desktop) return 0;
  TRect in = NonClientInsets(w->Style, w->ExStyle, w->Dpi, IsTopLevel(w) && w->Menu);
  r->Left += in.Left;
  r->Top += in.Top;
  r->Right -= in.Right;
  r->Bottom -= in.Bottom;
  int cxv = GetSystemMetricsForDpi(SM_CXVSCROLL, w->Dpi);
  int cyh = GetSystemMetricsForDpi(SM_CYHSCROLL, w->Dpi);
  if ((w->Style & WS_VSCROLL) && r->Width() >= cxv) {
    if (w->ExStyle & WS_EX_LEFTSCROLLBAR)
      r->Left += cxv;
    else
      r->Right -= cxv;
  }
  if ((w->Style & WS_HSCROLL) && r->Height() >= cyh) r->Bottom -= cyh;
  if (r->Right < r->Left) r->Right = r->Left;
  if (r->Bottom < r->Top) r->Bottom = r->Top;
  return 0;
}

// ---- Min/max ------------------------------------------------------------------------------------------------

void GetMinMaxInfo(WindowObject* w, MINMAXINFO* mmi) {
  TRect in = NonClientInsets(w->Style & ~(WS_VSCROLL | WS_HSCROLL), w->ExStyle, w->Dpi, false);
  int xinc = in.Left, yinc = in.Left;
  *mmi = {};
  TRect area;
  if (IsTopLevel(w)) {
    MonitorObject* mon = MonitorForRect(w->WindowRect, MONITOR_DEFAULTTONEAREST);
    area = mon ? mon->Info.Work : PrimaryWorkArea();
  } else {
    area = {0, 0, w->Parent->ClientRect.Width(), w->Parent->ClientRect.Height()};
  }
  mmi->ptMaxSize = {area.Width() + 2 * xinc, area.Height() + 2 * yinc};
  mmi->ptMaxPosition = {area.Left - xinc, area.Top - yinc};
  if ((w->Style & WS_CAPTION) == WS_CAPTION)
    mmi->ptMinTrackSize = {GetSystemMetricsForDpi(SM_CXMINTRACK, w->Dpi),
                           GetSystemMetricsForDpi(SM_CYMINTRACK, w->Dpi)};
  else
    mmi->ptMinTrackSize = {2 * xinc, 2 * yinc};
  mmi->ptMaxTrackSize = {GetSystemMetricsForDpi(SM_CXMAXTRACK, w->Dpi),
                         GetSystemMetricsForDpi(SM_CYMAXTRACK, w->Dpi)};
  if (w->MaxPos.X != -1 || w->MaxPos.Y != -1) mmi->ptMaxPosition = w->MaxPos;
  SendMessageW(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(mmi));
  mmi->ptMaxTrackSize.X = std::max(mmi->ptMaxTrackSize.X, mmi->ptMinTrackSize.X);
  mmi->ptMaxTrackSize.Y = std::max(mmi->ptMaxTrackSize.Y, mmi->ptMinTrackSize.Y);
}

namespace {

// Changes the min/max state for a show command; returns SetWindowPos flags and the new rect.
UINT MinMaximize(WindowObject* w, int cmd, TRect* out) {
  *out = w->WindowRect;
  if (!(w->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
    w->NormalRect = w->WindowRect;
    w->NormalRectValid = true;
  }
  auto maximize = [&] {
    MINMAXINFO mmi;
    GetMinMaxInfo(w, &mmi);
    w->Style = (w->Style & ~WS_MINIMIZE) | WS_MAXIMIZE;
    *out = TRect::FromSize(mmi.ptMaxPosition.X, mmi.ptMaxPosition.Y, mmi.ptMaxSize.X,
                           mmi.ptMaxSize.Y);
  };
  switch (cmd) {
    case SW_MINIMIZE: {
      if (w->Style & WS_MINIMIZE) return SWP_NOSIZE | SWP_NOMOVE;
      w->RestoreToMaximized = (w->Style & WS_MAXIMIZE) != 0;
      w->Style = (w->Style & ~WS_MAXIMIZE) | WS_MINIMIZE;
      int cx = GetSystemMetricsForDpi(SM_CXMINIMIZED, w->Dpi);
      int cy = GetSystemMetricsForDpi(SM_CYMINIMIZED, w->Dpi);
      if (IsTopLevel(w)) {
        *out = TRect::FromSize(-32000, -32000, cx, cy);
      } else {
        int ph = w->Parent->ClientRect.Height();
        *out = TRect::FromSize(0, ph - cy, cx, cy);
      }
      if (w->MinPos.X != -1 || w->MinPos.Y != -1) *out = TRect::FromSize(w->MinPos.X, w->MinPos.Y, cx, cy);
      return SWP_NOCOPYBITS | SWP_STATECHANGED | SWP_FRAMECHANGED;
    }
    case SW_MAXIMIZE: {
      if ((w->Style & WS_MAXIMIZE) && !(w->Style & WS_MINIMIZE)) return SWP_NOSIZE | SWP_NOMOVE;
      maximize();
      return SWP_STATECHANGED | SWP_FRAMECHANGED;
    }
    default: {  // restore
      if (w->Style & WS_MINIMIZE) {
        w->Style &= ~WS_MINIMIZE;
        if (w->RestoreToMaximized) {
          w->RestoreToMaximized = false;
          maximize();
          return SWP_STATECHANGED | SWP_FRAMECHANGED;
        }
      } else if (w->Style & WS_MAXIMIZE) {
        w->Style &= ~WS_MAXIMIZE;
      } else {
        return SWP_NOSIZE | SWP_NOMOVE;
      }
      *out = w->NormalRectValid ? w->NormalRect : w->WindowRect;
      return SWP_STATECHANGED | SWP_FRAMECHANGED;
    }
  }
}

bool IsSpecialInsertAfter(HWND h) {
  return h == HWND_TOP || h == HWND_BOTTOM || h == HWND_TOPMOST || h == HWND_NOTOPMOST;
}

void SetTopmostTree(WindowObject* w, bool topmost) {
  if (topmost)
    w->ExStyle |= WS_EX_TOPMOST;
  else
    w->ExStyle &= ~WS_EX_TOPMOST;
  if (w->Surface && w->Surface->Id) wm::Port().SetTopmost(w->Surface->Id, topmost);
  // Owned windows share the band of their owner.
  for (WindowObject* t : Wm().Desktop->Children)
    if (t->Owner == w && t != w) SetTopmostTree(t, topmost);
}

cairo_region_t* RectRegion(const TRect& r) {
  cairo_rectangle_int_t c{r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height())};
  return cairo_region_create_rectangle(&c);
}

// Invalidates part of a parent's client area (parent client coordinates) with its children.
void InvalidateParentArea(WindowObject* parent, const cairo_region_t* area) {
  if (!parent || parent == Wm().Desktop || parent == Wm().MessageRoot) return;
  cairo_region_t* r = cairo_region_copy(area);
  TRect c = ClientRectInWindow(parent);
  cairo_region_translate(r, c.Left, c.Top);
  RedrawWindowInternal(parent, r, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  cairo_region_destroy(r);
}

}  // namespace

void ClampWindowPos(int& x, int& y, int& cx, int& cy) {
  x = std::clamp(x, kMinWindowCoord, kMaxWindowCoord);
  y = std::clamp(y, kMinWindowCoord, kMaxWindowCoord);
  cx = std::clamp(cx, 0, kMaxWindowSize);
  cy = std::clamp(cy, 0, kMaxWindowSize);
}

BOOL SetWindowPosInternal(WindowObject* w, HWND after, int x, int y, int cx, int cy, UINT flags) {
  WinState& s = Wm();
  if (!w || w == s.Desktop || w == s.MessageRoot) return false;
  WindowLock lock(w);
  bool top = IsTopLevel(w);

  WINDOWPOS wp{w, after, x, y, cx, cy, flags};
  if (w->Style & WS_VISIBLE) {
    wp.flags &= ~SWP_SHOWWINDOW;
  } else {
    wp.flags &= ~SWP_HIDEWINDOW;
    if (!(wp.flags & SWP_SHOWWINDOW)) wp.flags |= SWP_NOREDRAW;
  }
  ClampWindowPos(wp.x, wp.y, wp.cx, wp.cy);
  TRect cur = w->WindowRect;
  if (!(wp.flags & SWP_NOSIZE) && cur.Width() == wp.cx && cur.Height() == wp.cy) wp.flags |= SWP_NOSIZE;
  if (!(wp.flags & SWP_NOMOVE) && cur.Left == wp.x && cur.Top == wp.y) wp.flags |= SWP_NOMOVE;
  if (after == w) wp.flags |= SWP_NOZORDER;
  if (!(wp.flags & SWP_NOZORDER)) {
    if (!top && (after == HWND_TOPMOST || after == HWND_NOTOPMOST)) wp.hwndInsertAfter = HWND_TOP;
    if (!IsSpecialInsertAfter(wp.hwndInsertAfter)) {
      WindowObject* a = Live(wp.hwndInsertAfter);
      if (!a) return false;
      if (a->Parent != w->Parent) wp.flags |= SWP_NOZORDER;  // not a sibling: the order stays
    }
  }

  if (!(wp.flags & SWP_NOSENDCHANGING)) {
    SendMessageW(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!Live(w)) return false;
    wp.hwnd = w;
    cur = w->WindowRect;
    ClampWindowPos(wp.x, wp.y, wp.cx, wp.cy);  // the handler may have asked for anything
  }

  TRect newWin = cur;
  if (!(wp.flags & SWP_NOMOVE)) newWin = TRect::FromSize(wp.x, wp.y, cur.Width(), cur.Height());
  if (!(wp.flags & SWP_NOSIZE)) {
    newWin.Right = newWin.Left + std::max(0, wp.cx);
    newWin.Bottom = newWin.Top + std::max(0, wp.cy);
  }
  bool sized = newWin.Width() != cur.Width() || newWin.Height() != cur.Height();
  bool moved = newWin.Left != cur.Left || newWin.Top != cur.Top;
  TRect oldClient = w->ClientRect;
  TRect newClient = oldClient.Offsetted(newWin.Left - cur.Left, newWin.Top - cur.Top);
  if (sized || (wp.flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = newWin;
    params.rgrc[1] = cur;
    params.rgrc[2] = oldClient;
    params.lppos = &wp;
    SendMessageW(w, WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params));
    if (!Live(w)) return false;
    newClient = params.rgrc[0];
  }
  if (newClient.Width() == oldClient.Width() && newClient.Height() == oldClient.Height())
    wp.flags |= SWP_NOCLIENTSIZE;
  if (newClient.Left == oldClient.Left && newClient.Top == oldClient.Top)
    wp.flags |= SWP_NOCLIENTMOVE;

  bool wasDrawn = IsVisibleTree(w) && !(wp.flags & SWP_NOREDRAW);
  bool showing = (wp.flags & SWP_SHOWWINDOW) != 0;
  bool hiding = (wp.flags & SWP_HIDEWINDOW) != 0;
  bool zchanged = false;

  bool wasTopmost = (w->ExStyle & WS_EX_TOPMOST) != 0;
  if (!(wp.flags & SWP_NOZORDER)) {
    HWND ia = wp.hwndInsertAfter;
    if (top) {
      if (ia == HWND_TOPMOST)
        SetTopmostTree(w, true);
      else if (ia == HWND_NOTOPMOST || (ia == HWND_BOTTOM))
        SetTopmostTree(w, false);
    }
    auto& sib = w->Parent->Children;
    size_t oldIndex = size_t(std::find(sib.begin(), sib.end(), w) - sib.begin());
    Unlink(w);
    LinkWindow(w, w->Parent, ia);
    if (top && !(wp.flags & SWP_NOOWNERZORDER) && ia != HWND_BOTTOM) RaiseOwnedAbove(w);
    size_t newIndex = size_t(std::find(sib.begin(), sib.end(), w) - sib.begin());
    zchanged = oldIndex != newIndex;
    if (top) RestackSurfaces();
  }

  // A call that changes nothing (a window raised where it already is, for one) only
  // activates: no repainting, no WM_WINDOWPOSCHANGED.
  if (!moved && !sized && !zchanged && !showing && !hiding &&
      wasTopmost == ((w->ExStyle & WS_EX_TOPMOST) != 0) && newClient == oldClient &&
      !(wp.flags & (SWP_FRAMECHANGED | SWP_STATECHANGED | SWP_NOSENDCHANGING))) {
    if (!(wp.flags & SWP_NOACTIVATE) && (w->Style & WS_VISIBLE)) {
      if ((w->Style & (WS_CHILD | WS_POPUP)) == WS_CHILD && !top)
        SendMessageW(w, WM_CHILDACTIVATE, 0, 0);
      else if (top)
        SetForegroundWindow(w);
    }
    return true;
  }

  w->WindowRect = newWin;
  w->ClientRect = newClient;
  if (showing) w->Style |= WS_VISIBLE;
  if (hiding) w->Style &= ~WS_VISIBLE;
  bool nowDrawn = IsVisibleTree(w) && !(wp.flags & SWP_NOREDRAW);

  if (top) {
    if (moved || sized) SyncSurfaceBounds(w);
    if (showing || hiding) ShowSurface(w, showing && !(w->Style & WS_MINIMIZE));
    else if (wp.flags & SWP_STATECHANGED) ShowSurface(w, (w->Style & WS_VISIBLE) && !(w->Style & WS_MINIMIZE));
  }

  // Repainting.
  bool frameChanged = (wp.flags & SWP_FRAMECHANGED) != 0;
  if (top) {
    if (nowDrawn && (showing || sized || frameChanged))
      RedrawWindowInternal(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  } else if (!(wp.flags & SWP_NOREDRAW) || showing || hiding) {
    WindowObject* parent = w->Parent;
    bool parentDrawn = IsVisibleTree(parent);
    if (parentDrawn && (hiding || (wasDrawn && (moved || sized || zchanged)))) {
      // What the window no longer covers shows the parent and the siblings beneath.
      cairo_region_t* uncovered = RectRegion(cur);
      if (!hiding) {
        cairo_rectangle_int_t nr{newWin.Left, newWin.Top, newWin.Width(), newWin.Height()};
        if (!zchanged) cairo_region_subtract_rectangle(uncovered, &nr);
      }
      InvalidateParentArea(parent, uncovered);
      cairo_region_destroy(uncovered);
    }
    if (nowDrawn && (showing || moved || zchanged || frameChanged)) {
      RedrawWindowInternal(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    } else if (nowDrawn && sized) {
      UINT cs = w->Class->Style;
      bool full = ((cs & CS_HREDRAW) && newWin.Width() != cur.Width()) ||
                  ((cs & CS_VREDRAW) && newWin.Height() != cur.Height());
      if (full) {
        RedrawWindowInternal(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      } else {
        // The newly exposed part of the client area, and the frame.
        TRect keep = TRect::Intersect(ClientRectInWindow(w),
                                      oldClient.Offsetted(-cur.Left, -cur.Top));
        cairo_region_t* exposed = RectRegion(TRect(0, 0, newWin.Width(), newWin.Height()));
        cairo_rectangle_int_t k{keep.Left, keep.Top, keep.Width(), keep.Height()};
        if (!keep.IsEmpty()) cairo_region_subtract_rectangle(exposed, &k);
        RedrawWindowInternal(w, exposed, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        // The frame alone: the kept part of the client area stays valid.
        TRect client = ClientRectInWindow(w);
        if (client != TRect(0, 0, newWin.Width(), newWin.Height())) {
          cairo_region_t* frame = RectRegion(TRect(0, 0, newWin.Width(), newWin.Height()));
          cairo_rectangle_int_t c{client.Left, client.Top, client.Width(), client.Height()};
          cairo_region_subtract_rectangle(frame, &c);
          RedrawWindowInternal(w, frame, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
          cairo_region_destroy(frame);
        }
        cairo_region_destroy(exposed);
      }
    }
  }

  // Leaving the screen: the active window or the focus moves elsewhere.
  if (hiding && top && s.Active == w) ActivateOtherWindow(w);
  if (!Live(w)) return true;

  // Activation comes before the erasing, so a window appearing active draws its frame once,
  // in the active look.
  if (!(wp.flags & SWP_NOACTIVATE) && (w->Style & WS_VISIBLE) && !hiding) {
    if ((w->Style & (WS_CHILD | WS_POPUP)) == WS_CHILD && !top)
      SendMessageW(w, WM_CHILDACTIVATE, 0, 0);
    else if (top)
      SetForegroundWindow(w);
    if (!Live(w)) return true;
  }

  // Backgrounds and frames are drawn now; the client contents wait for WM_PAINT.
  if (!(wp.flags & SWP_DEFERERASE) && (nowDrawn || hiding)) {
    WindowObject* scope = (top || hiding) ? (top ? w : w->Parent) : w->Parent;
    if (scope && scope != s.Desktop && IsVisibleTree(scope))
      RedrawWindowInternal(scope, nullptr, RDW_ERASENOW | RDW_ALLCHILDREN);
    if (!Live(w)) return true;
  }

  if (!zchanged) wp.flags |= SWP_NOZORDER;

  WINDOWPOS done = wp;
  done.x = newWin.Left;
  done.y = newWin.Top;
  done.cx = newWin.Width();
  done.cy = newWin.Height();
  SendMessageW(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&done));
  if (!Live(w)) return true;
  if (top && (moved || sized) && !(w->Style & WS_MINIMIZE)) CheckDpiChange(w);
  return true;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  return SetWindowPosInternal(Live(hwnd), insertAfter, x, y, cx, cy, flags);
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  WinState& s = Wm();
  WindowObject* w = Live(hwnd);
  if (!w || w == s.Desktop) return false;
  WindowLock lock(w);
  bool wasVisible = (w->Style & WS_VISIBLE) != 0;
  bool show = true;
  bool child = (w->Style & WS_CHILD) != 0;
  UINT swp = 0;
  TRect r = w->WindowRect;
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return false;
      show = false;
      swp |= SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (w != s.Active) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
      swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      [[fallthrough]];
    case SW_SHOWMINIMIZED:
      swp |= SWP_SHOWWINDOW;
      swp |= MinMaximize(w, SW_MINIMIZE, &r);
      break;
    case SW_SHOWMAXIMIZED:
      if (!wasVisible) swp |= SWP_SHOWWINDOW;
      swp |= SWP_FRAMECHANGED;
      swp |= MinMaximize(w, SW_MAXIMIZE, &r);
      break;
    case SW_SHOWNA:
      swp |= SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (child) swp |= SWP_NOZORDER;
      break;
    case SW_SHOW:
      if (wasVisible) return true;
      swp |= SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
      if (child) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWNOACTIVATE:
      swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      [[fallthrough]];
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
    case SW_RESTORE:
      if (!wasVisible) swp |= SWP_SHOWWINDOW;
      if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE))
        swp |= MinMaximize(w, SW_RESTORE, &r);
      else
        swp |= SWP_NOSIZE | SWP_NOMOVE;
      if (child && !(swp & SWP_STATECHANGED)) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    default: return wasVisible;
  }
  if (w->ExStyle & WS_EX_NOACTIVATE) swp |= SWP_NOACTIVATE;
  if ((show != wasVisible || cmd == SW_SHOWNA) && cmd != SW_SHOWMAXIMIZED && !(swp & SWP_STATECHANGED)) {
    SendMessageW(w, WM_SHOWWINDOW, show ? 1 : 0, 0);
    if (!Live(w)) return wasVisible;
  }
  SetWindowPosInternal(w, HWND_TOP, r.Left, r.Top, r.Width(), r.Height(), swp);
  if (!Live(w)) return wasVisible;
  if (cmd == SW_HIDE && s.Focus && (s.Focus == w || IsDescendant(w, s.Focus))) {
    WindowObject* parent = w->Parent;
    SetFocus((child && parent != s.Desktop && parent != s.MessageRoot) ? parent : nullptr);
    if (!Live(w)) return wasVisible;
  }
  if ((w->Style & WS_MINIMIZE) && s.Active == w) ActivateOtherWindow(w);
  return wasVisible;
}

BOOL CloseWindow(HWND hwnd) { return Live(hwnd) && (ShowWindow(hwnd, SW_MINIMIZE), true); }
BOOL OpenIcon(HWND hwnd) { return Live(hwnd) && (ShowWindow(hwnd, SW_RESTORE), true); }

// ---- Placement --------------------------------------------------------------------------------------

namespace {
TPoint WorkspaceOffset(const WindowObject* w) {
  if (!IsTopLevel(w) || (w->ExStyle & WS_EX_TOOLWINDOW)) return {};
  return PrimaryWorkArea().TopLeft();
}
}  // namespace

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp) {
  WindowObject* w = Live(hwnd);
  if (!w || !wp) return false;
  wp->flags = w->RestoreToMaximized ? WPF_RESTORETOMAXIMIZED : 0;
  if (w->Style & WS_MINIMIZE)
    wp->showCmd = SW_SHOWMINIMIZED;
  else if (w->Style & WS_MAXIMIZE)
    wp->showCmd = SW_SHOWMAXIMIZED;
  else
    wp->showCmd = SW_SHOWNORMAL;
  wp->ptMinPosition = w->MinPos;
  wp->ptMaxPosition = w->MaxPos;
  TRect n = (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) && w->NormalRectValid ? w->NormalRect : w->WindowRect;
  TPoint o = WorkspaceOffset(w);
  wp->rcNormalPosition = n.Offsetted(-o.X, -o.Y);
  return true;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp) {
  WindowObject* w = Live(hwnd);
  if (!w || !wp) return false;
  TPoint o = WorkspaceOffset(w);
  w->NormalRect = wp->rcNormalPosition.Offsetted(o.X, o.Y);
  w->NormalRectValid = true;
  if (wp->flags & WPF_SETMINPOSITION) w->MinPos = wp->ptMinPosition;
  w->MaxPos = wp->ptMaxPosition;
  w->RestoreToMaximized = (wp->flags & WPF_RESTORETOMAXIMIZED) != 0;
  if (!(w->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
    TRect n = w->NormalRect;
    SetWindowPosInternal(w, nullptr, n.Left, n.Top, n.Width(), n.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (Live(w)) ShowWindow(w, int(wp->showCmd));
  return true;
}

// ---- Deferred positions -------------------------------------------------------------------------------

struct DeferPosObject {
  std::vector<WINDOWPOS> Items;
};

HDWP BeginDeferWindowPos(int count) {
  if (count < 0) return nullptr;
  auto* d = new DeferPosObject;
  d->Items.reserve(size_t(count));
  return d;
}

HDWP DeferWindowPos(HDWP info, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (!info) return nullptr;
  if (!Live(hwnd)) {
    delete info;
    return nullptr;
  }
  for (WINDOWPOS& p : info->Items)
    if (p.hwnd == hwnd) {  // a later call for the same window replaces the parts it sets
      if (!(flags & SWP_NOMOVE)) {
        p.x = x;
        p.y = y;
        p.flags &= ~SWP_NOMOVE;
      }
      if (!(flags & SWP_NOSIZE)) {
        p.cx = cx;
        p.cy = cy;
        p.flags &= ~SWP_NOSIZE;
      }
      if (!(flags & SWP_NOZORDER)) {
        p.hwndInsertAfter = insertAfter;
        p.flags &= ~SWP_NOZORDER;
      }
      p.flags |= flags & ~(SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
      return info;
    }
  info->Items.push_back({hwnd, insertAfter, x, y, cx, cy, flags});
  return info;
}

BOOL EndDeferWindowPos(HDWP info) {
  if (!info) return false;
  std::unique_ptr<DeferPosObject> hold(info);
  bool ok = true;
  for (const WINDOWPOS& p : hold->Items)
    if (Live(p.hwnd))
      ok = SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags) && ok;
  return ok;
}

// ---- Window regions ---------------------------------------------------------------------------------

int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw) {
  WindowObject* w = Live(hwnd);
  if (!w) return 0;
  if (w->WindowRgn) cairo_region_destroy(w->WindowRgn);
  w->WindowRgn = rgn ? cairo_region_copy(rgn->Rgn) : nullptr;
  if (rgn) DeleteObject(rgn);
  ApplySurfaceShape(w);
  SetWindowPosInternal(w, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                           (redraw ? SWP_FRAMECHANGED : SWP_NOREDRAW));
  if (Live(w) && redraw && !IsTopLevel(w) && IsVisibleTree(w->Parent)) {
    cairo_region_t* area = RectRegion(w->WindowRect);
    InvalidateParentArea(w->Parent, area);
    cairo_region_destroy(area);
  }
  return 1;
}

void ApplySurfaceShape(WindowObject* w) {
  if (!IsTopLevel(w) || !w->Surface || !w->Surface->Id) return;
  if (!w->WindowRgn && !w->LayeredShape) {
    wm::Port().ResetShape(w->Surface->Id);
    return;
  }
  cairo_region_t* shape = cairo_region_copy(w->WindowRgn ? w->WindowRgn : w->LayeredShape);
  if (w->WindowRgn && w->LayeredShape) cairo_region_intersect(shape, w->LayeredShape);
  std::vector<TRect> rects;
  int n = cairo_region_num_rectangles(shape);
  rects.reserve(size_t(n));
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t c;
    cairo_region_get_rectangle(shape, i, &c);
    rects.push_back(TRect::FromSize(c.x, c.y, c.width, c.height));
  }
  cairo_region_destroy(shape);
  wm::Port().SetShape(w->Surface->Id, rects);
}

int GetWindowRgn(HWND hwnd, HRGN rgn) {
  WindowObject* w = Live(hwnd);
  if (!w || !rgn || !w->WindowRgn) return ERROR;
  cairo_region_destroy(rgn->Rgn);
  rgn->Rgn = cairo_region_copy(w->WindowRgn);
  int n = cairo_region_num_rectangles(rgn->Rgn);
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL GetWindowInfo(HWND hwnd, WINDOWINFO* info) {
  WindowObject* w = Live(hwnd);
  if (!w || !info) return false;
  info->rcWindow = ScreenWindowRect(w);
  info->rcClient = ScreenClientRect(w);
  info->dwStyle = w->Style;
  info->dwExStyle = w->ExStyle;
  info->dwWindowStatus = (Wm().Active == w) ? WS_ACTIVECAPTION : 0;
  TRect in = NonClientInsets(w->Style & ~(WS_CAPTION & ~WS_BORDER), w->ExStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), w->Dpi, false);
  info->cxWindowBorders = UINT(in.Left);
  info->cyWindowBorders = UINT(in.Top);
  info->atomWindowType = w->Class->Atom;
  info->wCreatorVersion = 0x0A00;
  return true;
}

// ---- Hit testing ---------------------------------------------------------------------------------------

namespace {

bool InWindowShape(const WindowObject* w, TPoint screen) {
  TRect r = ScreenWindowRect(w);
  if (!r.Contains(screen)) return false;
  // Fully transparent pixels of a layered window let the pointer through.
  if (w->LayeredShape && !cairo_region_contains_point(w->LayeredShape, screen.X - r.Left, screen.Y - r.Top))
    return false;
  if (!w->WindowRgn) return true;
  return cairo_region_contains_point(w->WindowRgn, screen.X - r.Left, screen.Y - r.Top);
}

bool ClickThrough(const WindowObject* w) {
  return (w->ExStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT);
}

WindowObject* SearchChildren(WindowObject* w, TPoint pt, LRESULT* hit) {
  if (!(w->Style & WS_DISABLED) && !(w->Style & WS_MINIMIZE) && ScreenClientRect(w).Contains(pt)) {
    std::vector<WindowObject*> kids = w->Children;
    for (WindowObject* c : kids) {
      if (!Live(c) || !(c->Style & WS_VISIBLE) || (c->Style & WS_DISABLED)) continue;
      if (ClickThrough(c) || !InWindowShape(c, pt)) continue;
      if (WindowObject* r = SearchChildren(c, pt, hit)) return r;
    }
  }
  LRESULT h = SendMessageW(w, WM_NCHITTEST, 0, PointToLParam(pt));
  if (!Live(w) || h == HTTRANSPARENT) return nullptr;
  *hit = h;
  return w;
}

}  // namespace

WindowObject* HitTestWindow(TPoint pt, LRESULT* hit) {
  WinState& s = Wm();
  LRESULT dummy;
  if (!hit) hit = &dummy;
  *hit = HTNOWHERE;
  std::vector<WindowObject*> tops = s.Desktop->Children;
  for (WindowObject* t : tops) {
    if (!Live(t) || !(t->Style & WS_VISIBLE) || (t->Style & WS_MINIMIZE)) continue;
    if (!t->Surface || !t->Surface->Shown || ClickThrough(t) || !InWindowShape(t, pt)) continue;
    if (t->Style & WS_DISABLED) {
      *hit = HTERROR;
      return t;
    }
    if (WindowObject* r = SearchChildren(t, pt, hit)) return r;
  }
  return nullptr;
}

HWND WindowFromPoint(TPoint pt) {
  LRESULT hit;
  WindowObject* w = HitTestWindow(pt, &hit);
  return (w && hit != HTERROR) ? w : nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, TPoint pt, UINT flags) {
  WindowObject* p = Live(parent);
  if (!p) return nullptr;
  if (!TRect(0, 0, p->ClientRect.Width(), p->ClientRect.Height()).Contains(pt)) return nullptr;
  TPoint scr = pt + ClientOrigin(p);
  for (WindowObject* c : p->Children) {
    if ((flags & CWP_SKIPINVISIBLE) && !(c->Style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->Style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->ExStyle & WS_EX_TRANSPARENT)) continue;
    if (InWindowShape(c, scr)) return c;
  }
  return p;
}

HWND ChildWindowFromPoint(HWND parent, TPoint pt) { return ChildWindowFromPointEx(parent, pt, CWP_ALL); }

HWND RealChildWindowFromPoint(HWND parent, TPoint pt) {
  WindowObject* p = Live(parent);
  if (!p) return nullptr;
  TPoint scr = pt + ClientOrigin(p);
  std::vector<WindowObject*> kids = p->Children;
  for (WindowObject* c : kids) {
    if (!Live(c) || !(c->Style & WS_VISIBLE) || !InWindowShape(c, scr)) continue;
    if (SendMessageW(c, WM_NCHITTEST, 0, PointToLParam(scr)) == HTTRANSPARENT) continue;
    return c;
  }
  return p;
}

// ---- DPI ------------------------------------------------------------------------------------------------

UINT DpiAt(const TRect& r) {
  MonitorObject* m = MonitorForRect(r, MONITOR_DEFAULTTONEAREST);
  return m ? UINT(m->Info.Dpi) : 96;
}

namespace {

bool gInDpiChange = false;

void SetTreeDpi(WindowObject* w, UINT dpi) {
  for (WindowObject* c : w->Children) {
    c->Dpi = dpi;
    SetTreeDpi(c, dpi);
  }
}

void NotifyTree(WindowObject* w, UINT msg) {
  std::vector<WindowObject*> kids = w->Children;
  for (WindowObject* c : kids) {
    if (!Live(c)) continue;
    SendMessageW(c, msg, 0, 0);
    if (Live(c)) NotifyTree(c, msg);
  }
}

void RecalcFrames(WindowObject* w) {
  std::vector<WindowObject*> kids = w->Children;
  for (WindowObject* c : kids) {
    if (!Live(c)) continue;
    TRect in = NonClientInsets(c->Style, c->ExStyle, c->Dpi, false);
    if (in.Left || in.Top || (c->Style & (WS_VSCROLL | WS_HSCROLL)))
      SetWindowPosInternal(c, nullptr, 0, 0, 0, 0,
                           SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (Live(c)) RecalcFrames(c);
  }
}

}  // namespace

void CheckDpiChange(WindowObject* top) {
  if (gInDpiChange || !IsTopLevel(top)) return;
  UINT dpi = DpiAt(top->WindowRect);
  if (dpi == top->Dpi) return;
  gInDpiChange = true;
  WindowLock lock(top);
  UINT old = top->Dpi;
  top->Dpi = dpi;
  SetTreeDpi(top, dpi);
  NotifyTree(top, WM_DPICHANGED_BEFOREPARENT);
  if (Live(top)) {
    TRect r = top->WindowRect;
    int w = MulDiv(r.Width(), int(dpi), int(old));
    int h = MulDiv(r.Height(), int(dpi), int(old));
    TPoint c = r.CenterPoint();
    TRect suggested = TRect::FromSize(c.X - w / 2, c.Y - h / 2, w, h);
    SendMessageW(top, WM_DPICHANGED, MAKEWPARAM(WORD(dpi), WORD(dpi)),
                 reinterpret_cast<LPARAM>(&suggested));
  }
  if (Live(top)) RecalcFrames(top);
  if (Live(top)) NotifyTree(top, WM_DPICHANGED_AFTERPARENT);
  gInDpiChange = false;
}

UINT GetDpiForWindow(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  return w ? w->Dpi : 0;
}

}  // namespace vcl
