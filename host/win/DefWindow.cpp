// DefWindowProcW: the default handling of every message.
#include <algorithm>

#include "host/win/WinInternal.h"

namespace vcl {

namespace {

constexpr UINT_PTR kCaretTimer = 0xFFFF;

HBRUSH ResolveBrush(HBRUSH b) {
  auto v = reinterpret_cast<std::uintptr_t>(b);
  if (v > 0 && v <= std::uintptr_t(COLOR_COUNT)) return GetSysColorBrush(int(v) - 1);
  return b;
}

void SetTreeRedraw(WindowObject* w) {
  // Redrawing off: nothing stays invalid, and the window counts as invisible until redrawing
  // is switched on again.
  ClearUpdates(w);
  w->Style &= ~WS_VISIBLE;
}

LRESULT DefSetCursor(WindowObject* w, WPARAM wp, LPARAM lp) {
  short hit = SHORT(LOWORD(std::uintptr_t(lp)));
  UINT msg = HIWORD(std::uintptr_t(lp));
  if (w->Style & WS_CHILD) {
    if (hit < HTLEFT || hit > HTBOTTOMRIGHT) {
      WindowObject* parent = w->Parent;
      if (parent && parent != Wm().Desktop && SendMessageW(parent, WM_SETCURSOR, wp, lp)) return 1;
    }
  }
  if (hit == HTERROR) {
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
        msg == WM_XBUTTONDOWN)
      MessageBeep(0);
  }
  int id = IDC_ARROW;
  switch (hit) {
    case HTCLIENT: {
      // The class cursor of the window under the pointer (wParam), which is not this one when
      // a child asked its parent first.
      WindowObject* under = Live(reinterpret_cast<HWND>(wp));
      HCURSOR c = (under ? under : w)->Class->Cursor;
      if (!c) return 0;
      SetCursor(c);
      return 1;
    }
    case HTLEFT:
    case HTRIGHT: id = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: id = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: id = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: id = IDC_SIZENESW; break;
    default: break;
  }
  SetCursor(LoadCursorW(nullptr, id));
  return 1;
}

void DefPrint(WindowObject* w, HDC dc, LPARAM flags) {
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(w)) return;
  WindowLock lock(w);
  if (flags & PRF_NONCLIENT) DrawNonClient(w, dc);
  TRect c = ClientRectInWindow(w);
  int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, c.Left, c.Top, nullptr);
  IntersectClipRect(dc, 0, 0, c.Width(), c.Height());
  if (flags & PRF_ERASEBKGND) SendMessageW(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if (Live(w) && (flags & PRF_CLIENT))
    SendMessageW(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
  if (Live(w) && (flags & PRF_CHILDREN)) {
    std::vector<WindowObject*> kids = w->Children;
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
      WindowObject* k = *it;
      if (!Live(k) || !(k->Style & WS_VISIBLE)) continue;
      int s2 = SaveDC(dc);
      OffsetViewportOrgEx(dc, k->WindowRect.Left, k->WindowRect.Top, nullptr);
      IntersectClipRect(dc, 0, 0, k->WindowRect.Width(), k->WindowRect.Height());
      SendMessageW(k, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                   (flags & ~PRF_CHECKVISIBLE) | PRF_NONCLIENT);
      RestoreDC(dc, s2);
    }
  }
  RestoreDC(dc, saved);
}

LRESULT DefCtlColor(UINT msg, HDC dc) {
  int back = COLOR_WINDOW;
  switch (msg) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORMSGBOX: back = COLOR_3DFACE; break;
    case WM_CTLCOLORSCROLLBAR: back = COLOR_SCROLLBAR; break;
    default: break;
  }
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(back));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
}

bool gAltAlone = false;

}  // namespace

void ClearUpdates(WindowObject* w) {
  if (w->Update) {
    cairo_region_destroy(w->Update);
    w->Update = nullptr;
  }
  w->EraseNeeded = w->FrameNeeded = w->InternalPaint = false;
  SetPaintQueued(w);
  for (WindowObject* c : w->Children) ClearUpdates(c);
}

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WindowObject* w = Live(hwnd);
  if (!w) return 0;
  WinState& s = Wm();
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      if (cs && cs->lpszName) w->Text = cs->lpszName;
      return 1;
    }
    case WM_NCCALCSIZE: return DefNcCalcSize(w, wp, lp);
    case WM_NCHITTEST: return DefNcHitTest(w, LParamToPoint(lp));
    case WM_NCPAINT: DefNcPaint(w, reinterpret_cast<HRGN>(wp)); return 0;
    case WM_NCACTIVATE:
      if (lp != -1) DefNcActivate(w, wp != 0);
      else w->NcActive = wp != 0;
      return 1;
    case WM_NCLBUTTONDOWN: return DefNcLButtonDown(w, wp, lp);
    case WM_NCLBUTTONDBLCLK: return DefNcLButtonDblClk(w, wp, lp);
    case WM_NCMOUSEMOVE: return DefNcMouseMove(w, wp, lp);
    case WM_NCMOUSELEAVE: DefNcMouseLeave(w); return 0;
    case WM_NCRBUTTONUP:
      if (wp == HTCAPTION || wp == HTSYSMENU)
        SendMessageW(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w), lp);
      return 0;
    case WM_RBUTTONUP: {
      TPoint p = LParamToPoint(lp);
      ClientToScreen(w, &p);
      SendMessageW(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w), PointToLParam(p));
      return 0;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_HELP:
    case WM_APPCOMMAND:
      if (w->Style & WS_CHILD) {
        WindowObject* p = w->Parent;
        if (p && p != s.Desktop && p != s.MessageRoot) return SendMessageW(p, msg, wp, lp);
      }
      return 0;
    case WM_SYSCOMMAND: return DefSysCommand(w, wp, lp);

    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(w, &ps);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH b = ResolveBrush(w->Class->Background);
      if (!b || !wp) return 0;
      HDC dc = reinterpret_cast<HDC>(wp);
      TRect r;
      GetClipBox(dc, &r);
      WmFillRect(dc, r, b);
      return 1;
    }
    case WM_PRINT: DefPrint(w, reinterpret_cast<HDC>(wp), lp); return 0;
    case WM_PRINTCLIENT: return 0;
    case WM_SETREDRAW:
      if (wp) {
        w->Style |= WS_VISIBLE;
      } else if (w->Style & WS_VISIBLE) {
        SetTreeRedraw(w);
      }
      return 0;
    case WM_SYNCPAINT:
      RedrawWindowInternal(w, nullptr, RDW_ERASENOW | RDW_ALLCHILDREN);
      return 0;

    case WM_SETTEXT: {
      const Char* t = reinterpret_cast<const Char*>(lp);
      w->Text = t ? String(t) : String();
      if (IsTopLevel(w) && w->Surface) wm::Port().SetTitle(w->Surface->Id, w->Text);
      if ((w->Style & WS_CAPTION) == WS_CAPTION) RedrawFrameNow(w);
      return 1;
    }
    case WM_GETTEXT: {
      if (wp == 0 || !lp) return 0;
      auto* buf = reinterpret_cast<Char*>(lp);
      size_t n = std::min<size_t>(w->Text.size(), size_t(wp) - 1);
      std::copy_n(w->Text.data(), n, buf);
      buf[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(w->Text.size());
    case WM_GETICON: return reinterpret_cast<LRESULT>(wp == ICON_BIG ? w->IconBig : w->IconSmall);
    case WM_SETICON: {
      HICON& slot = wp == ICON_BIG ? w->IconBig : w->IconSmall;
      HICON old = slot;
      slot = reinterpret_cast<HICON>(lp);
      if ((w->Style & WS_CAPTION) == WS_CAPTION) RedrawFrameNow(w);
      return reinterpret_cast<LRESULT>(old);
    }

    case WM_CLOSE: DestroyWindow(w); return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return 1;
    case WM_SETCURSOR: return DefSetCursor(w, wp, lp);
    case WM_MOUSEACTIVATE:
      if (w->Style & WS_CHILD) {
        WindowObject* p = w->Parent;
        if (p && p != s.Desktop && p != s.MessageRoot) {
          LRESULT r = SendMessageW(p, WM_MOUSEACTIVATE, wp, lp);
          if (r) return r;
        }
      }
      return (TopLevelOf(w) && (TopLevelOf(w)->ExStyle & WS_EX_NOACTIVATE)) ? MA_NOACTIVATE
                                                                          : MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && !(w->Style & WS_MINIMIZE)) SetFocus(w);
      return 0;
    case WM_CANCELMODE:
      EndMenuOf(w);
      if (s.ActiveTracker && s.ActiveTracker->Hwnd == w) CancelTracking();
      if (s.Capture == w) ReleaseCapture();
      return 0;

    case WM_WINDOWPOSCHANGING: {
      auto* p = reinterpret_cast<WINDOWPOS*>(lp);
      if (p && !(p->flags & SWP_NOSIZE) &&
          ((w->Style & WS_THICKFRAME) || !(w->Style & (WS_POPUP | WS_CHILD))) &&
          !(w->Style & WS_MINIMIZE)) {
        MINMAXINFO mmi;
        GetMinMaxInfo(w, &mmi);
        if (!(w->Style & WS_MAXIMIZE)) {
          p->cx = std::clamp(p->cx, std::min(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X), mmi.ptMaxTrackSize.X);
          p->cy = std::clamp(p->cy, std::min(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y), mmi.ptMaxTrackSize.Y);
        }
      }
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* p = reinterpret_cast<const WINDOWPOS*>(lp);
      if (!p) return 0;
      WindowLock lock(w);
      if (!(p->flags & SWP_NOCLIENTMOVE))
        SendMessageW(w, WM_MOVE, 0, MAKELPARAM(WORD(w->ClientRect.Left), WORD(w->ClientRect.Top)));
      if (Live(w) && (!(p->flags & SWP_NOCLIENTSIZE) || (p->flags & SWP_STATECHANGED))) {
        if (w->Style & WS_MINIMIZE) {
          SendMessageW(w, WM_SIZE, SIZE_MINIMIZED, 0);
        } else {
          WPARAM kind = (w->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
          SendMessageW(w, WM_SIZE, kind,
                       MAKELPARAM(WORD(w->ClientRect.Width()), WORD(w->ClientRect.Height())));
        }
      }
      return 0;
    }
    case WM_DPICHANGED: {
      auto* r = reinterpret_cast<const TRect*>(lp);
      if (r && IsTopLevel(w))
        SetWindowPosInternal(w, nullptr, r->Left, r->Top, r->Width(), r->Height(),
                             SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      return 0;
    }

    case WM_SYSKEYDOWN:
      if (wp == VK_MENU) {
        gAltAlone = true;
      } else {
        gAltAlone = false;
        if (wp == VK_F4 && (lp & (LPARAM(1) << 29))) {
          WindowObject* root = TopLevelOf(w);
          if (root) PostMessageW(root, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
      }
      return 0;
    case WM_KEYDOWN:
      gAltAlone = false;
      return 0;
    case WM_SYSKEYUP:
    case WM_KEYUP:
      if ((wp == VK_MENU && gAltAlone) || (wp == VK_F10 && msg == WM_SYSKEYUP)) {
        gAltAlone = false;
        WindowObject* root = TopLevelOf(w);
        if (root) SendMessageW(root, WM_SYSCOMMAND, SC_KEYMENU, 0);
      }
      return 0;
    case WM_SYSCHAR: {
      gAltAlone = false;
      WindowObject* root = TopLevelOf(w);
      if (root && wp != VK_RETURN && wp != VK_ESCAPE && wp != VK_TAB)
        SendMessageW(root, WM_SYSCOMMAND, SC_KEYMENU, wp);
      return 0;
    }

    case WM_SYSTIMER:
      if (wp == kCaretTimer)
        CaretBlink();
      else if (s.ActiveTracker && s.ActiveTracker->Hwnd == w)
        s.ActiveTracker->OnTimer(wp);
      return 0;

    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return DefCtlColor(msg, reinterpret_cast<HDC>(wp));

    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: return -1;
    case WM_NOTIFYFORMAT: return 2;  // NFR_UNICODE
    case WM_QUERYUISTATE: return LRESULT(w->UiState);
    case WM_CHANGEUISTATE:
      if (w->Style & WS_CHILD) {
        WindowObject* p = w->Parent;
        if (p && p != s.Desktop && p != s.MessageRoot) return SendMessageW(p, msg, wp, lp);
      }
      SendMessageW(w, WM_UPDATEUISTATE, wp, lp);
      return 0;
    case WM_UPDATEUISTATE: {
      WORD action = LOWORD(wp), bits = HIWORD(wp);
      if (action == 1) w->UiState |= bits;          // UIS_SET
      else if (action == 2) w->UiState &= ~bits;    // UIS_CLEAR
      std::vector<WindowObject*> kids = w->Children;
      for (WindowObject* k : kids)
        if (Live(k)) SendMessageW(k, WM_UPDATEUISTATE, wp, lp);
      return 0;
    }
    default: return 0;
  }
}

}  // namespace vcl
