#include "host/themes/SysFrameHook.h"

#include "host/graphics/Canvas.h"
#include "host/win/WinUser.h"

namespace vcl {

namespace {

int ButtonIndex(LRESULT hit) {
  switch (hit) {
    case HTCLOSE: return scbClose;
    case HTMAXBUTTON: return scbMax;
    case HTMINBUTTON: return scbMin;
    case HTHELP: return scbHelp;
    default: return -1;
  }
}

TPoint ScreenToWindow(HWND h, TPoint screen) {
  TRect wr;
  GetWindowRect(h, &wr);
  return screen - wr.TopLeft();
}

}  // namespace

TSysFrameStyleHook::TSysFrameStyleHook(HWND handle)
    : TSysStyleHook(handle), FActive(GetActiveWindow() == handle) {
  SetOverridePaintNC(true);
}

bool TSysFrameStyleHook::Framed() const {
  DWORD style = DWORD(GetWindowLongW(Handle(), GWL_STYLE));
  if (style & WS_CHILD) return false;
  return (style & WS_CAPTION) == WS_CAPTION || (style & WS_THICKFRAME);
}

TStyledFrameInfo TSysFrameStyleHook::FrameInfo() const {
  HWND h = Handle();
  DWORD style = DWORD(GetWindowLongW(h, GWL_STYLE)), ex = DWORD(GetWindowLongW(h, GWL_EXSTYLE));
  TStyledFrameInfo f;
  TRect wr;
  GetWindowRect(h, &wr);
  f.Size = wr.Size();
  f.Caption = GetWindowText(h);
  f.HasCaption = (style & WS_CAPTION) == WS_CAPTION;
  f.ToolWindow = (ex & WS_EX_TOOLWINDOW) != 0;
  f.Active = FActive;
  f.Maximized = (style & WS_MAXIMIZE) != 0;
  f.Sizeable = (style & WS_THICKFRAME) != 0;
  f.Dpi = int(GetDpiForWindow(h));
  bool sys = (style & WS_SYSMENU) != 0;
  f.ShowIcon = sys && !(ex & WS_EX_DLGMODALFRAME);
  f.Icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL, 0));
  if (!f.Icon) f.Icon = reinterpret_cast<HICON>(GetClassLongPtrW(h, GCLP_HICONSM));
  bool minmax = (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0;
  f.Buttons[scbClose] = sys;
  f.Buttons[scbMax] = f.Buttons[scbMin] = sys && minmax;
  f.Buttons[scbHelp] = sys && (ex & WS_EX_CONTEXTHELP);
  bool enabled[StyledCaptionButtonCount] = {!(GetClassLongPtrW(h, GCL_STYLE) & CS_NOCLOSE),
                                            (style & WS_MAXIMIZEBOX) != 0, (style & WS_MINIMIZEBOX) != 0, true};
  static constexpr LRESULT Codes[StyledCaptionButtonCount] = {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP};
  for (int b = 0; b < StyledCaptionButtonCount; ++b) {
    if (!enabled[b]) f.States[b] = sbsDisabled;
    else if (FPressed == Codes[b] && FHot == Codes[b]) f.States[b] = sbsPressed;
    else if (FHot == Codes[b]) f.States[b] = sbsHot;
  }
  return f;
}

LRESULT TSysFrameStyleHook::HitTest(TPoint screen) const {
  HWND h = Handle();
  TPoint p = ScreenToWindow(h, screen);
  LRESULT hit = StyledFrameHitTest(StyleServices(), FrameInfo(), p);
  if (hit != HTCLIENT) return hit;
  // The frame's inside holds the client area and the scroll bars.
  TRect wr;
  GetWindowRect(h, &wr);
  const LONG ids[2] = {OBJID_VSCROLL, OBJID_HSCROLL};
  TRect bars[2];
  for (int i = 0; i < 2; ++i) {
    SCROLLBARINFO sbi;
    if (GetScrollBarInfo(h, ids[i], &sbi) && !(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE)) bars[i] = sbi.rcScrollBar;
    if (bars[i].Contains(screen)) return i == 0 ? HTVSCROLL : HTHSCROLL;
  }
  if (!bars[0].IsEmpty() && !bars[1].IsEmpty() &&
      TRect(bars[0].Left, bars[1].Top, bars[0].Right, bars[1].Bottom).Contains(screen))
    return (GetWindowLongW(h, GWL_STYLE) & WS_THICKFRAME) ? HTBOTTOMRIGHT : HTSIZE;
  return HTCLIENT;
}

void TSysFrameStyleHook::SetButtons(LRESULT hot, LRESULT pressed) {
  if (hot == FHot && pressed == FPressed) return;
  FHot = hot;
  FPressed = pressed;
  InvalidateNC();
  UpdateWindow(Handle());
}

void TSysFrameStyleHook::PaintScrollBarsOnly(TMessage& msg) {
  CallDefaultProc(msg);
  DWORD style = DWORD(GetWindowLongW(Handle(), GWL_STYLE));
  if (style & (WS_VSCROLL | WS_HSCROLL)) {
    HDC dc = GetWindowDC(Handle());
    DrawStyledScrollBars(dc, Handle(), StyleServices());
    ReleaseDC(Handle(), dc);
  }
  msg.Result = 0;
  SetHandled(true);
}

void TSysFrameStyleHook::WndProc(TMessage& msg) {
  HWND h = Handle();
  if (!Framed()) {
    // Only the scroll bars are styled.
    if (msg.Msg == WM_NCPAINT) PaintScrollBarsOnly(msg);
    else TSysStyleHook::WndProc(msg);
    return;
  }
  switch (msg.Msg) {
    case WM_NCCALCSIZE: {
      if (!msg.LParam) break;
      TRect* r = msg.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(msg.LParam)->rgrc[0]
                            : reinterpret_cast<TRect*>(msg.LParam);
      DWORD style = DWORD(GetWindowLongW(h, GWL_STYLE)), ex = DWORD(GetWindowLongW(h, GWL_EXSTYLE));
      UINT dpi = GetDpiForWindow(h);
      TStyledFrameMetrics m = GetStyledFrameMetrics(StyleServices(), (ex & WS_EX_TOOLWINDOW) != 0,
                                                    (style & WS_CAPTION) == WS_CAPTION, int(dpi));
      r->Left += m.Left;
      r->Top += m.Top;
      r->Right -= m.Right;
      r->Bottom -= m.Bottom;
      int cxv = GetSystemMetricsForDpi(SM_CXVSCROLL, dpi), cyh = GetSystemMetricsForDpi(SM_CYHSCROLL, dpi);
      if ((style & WS_VSCROLL) && r->Width() >= cxv) {
        if (ex & WS_EX_LEFTSCROLLBAR) r->Left += cxv;
        else r->Right -= cxv;
      }
      if ((style & WS_HSCROLL) && r->Height() >= cyh) r->Bottom -= cyh;
      if (r->Right < r->Left) r->Right = r->Left;
      if (r->Bottom < r->Top) r->Bottom = r->Top;
      msg.Result = 0;
      SetHandled(true);
      return;
    }
    case WM_NCHITTEST:
      msg.Result = HitTest(LParamToPoint(msg.LParam));
      SetHandled(true);
      return;
    case WM_NCACTIVATE:
      FActive = msg.WParam != 0;
      CallDefaultProc(msg);
      msg.Result = 1;
      InvalidateNC();
      SetHandled(true);
      return;
    case WM_NCMOUSEMOVE: {
      int b = ButtonIndex(LRESULT(msg.WParam));
      if (b >= 0) {
        SetButtons(LRESULT(msg.WParam), FPressed);
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
        tme.hwndTrack = h;
        TrackMouseEvent(&tme);
        msg.Result = 0;
        SetHandled(true);
        return;
      }
      if (FHot && !FPressed) SetButtons(0, 0);
      break;  // scroll-bar hot tracking
    }
    case WM_NCMOUSELEAVE:
      if (!FPressed) SetButtons(0, 0);
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      int b = ButtonIndex(LRESULT(msg.WParam));
      if (b < 0) break;
      if (FrameInfo().States[b] != sbsDisabled) {
        SetCapture(h);
        SetButtons(LRESULT(msg.WParam), LRESULT(msg.WParam));
      }
      msg.Result = 0;
      SetHandled(true);
      return;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
      if (!FPressed || GetCapture() != h) break;
      TPoint p = LParamToPoint(msg.LParam);
      ClientToScreen(h, &p);
      bool over = HitTest(p) == FPressed;
      if (msg.Msg == WM_MOUSEMOVE) {
        SetButtons(over ? FPressed : 0, FPressed);
      } else {
        LRESULT button = FPressed;
        SetButtons(0, 0);
        ReleaseCapture();
        if (over) {
          WPARAM cmd = button == HTCLOSE ? SC_CLOSE
                       : button == HTMINBUTTON ? SC_MINIMIZE
                       : button == HTHELP ? SC_CONTEXTHELP
                       : IsZoomed(h) ? SC_RESTORE : SC_MAXIMIZE;
          SendMessageW(h, WM_SYSCOMMAND, cmd, 0);
        }
      }
      msg.Result = 0;
      SetHandled(true);
      return;
    }
    case WM_CAPTURECHANGED:
      if (FPressed) SetButtons(0, 0);
      break;
    case WM_SETTEXT:
    case WM_SETICON:
      msg.Result = CallDefaultProc(msg);
      InvalidateNC();
      SetHandled(true);
      return;
    default: break;
  }
  TSysStyleHook::WndProc(msg);
}

void TSysFrameStyleHook::PaintNC(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  DrawStyledFrame(dc, StyleServices(), FrameInfo());
  DrawStyledScrollBars(dc, Handle(), StyleServices());
}

}  // namespace vcl
