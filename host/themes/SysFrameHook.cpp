#include "host/themes/SysFrameHook.h"

#include "host/graphics/Canvas.h"
#include "host/win/WinUser.h"

namespace vcl {

TSysFrameStyleHook::TSysFrameStyleHook(HWND handle)
    : TSysStyleHook(handle), FActive(GetActiveWindow() == handle) {
  SetOverridePaintNC(true);
}

bool TSysFrameStyleHook::Framed() const { return HasStyledWindowFrame(Handle()); }

TStyledFrameInfo TSysFrameStyleHook::FrameInfo() const {
  return StyledWindowFrameInfo(Handle(), FActive, FHot, FPressed);
}

LRESULT TSysFrameStyleHook::HitTest(TPoint screen) const {
  return StyledWindowHitTest(Handle(), StyleServices(), FrameInfo(), screen);
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
      StyledWindowCalcClientRect(h, StyleServices(), *r);
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
      int b = StyledCaptionButtonOf(LRESULT(msg.WParam));
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
      int b = StyledCaptionButtonOf(LRESULT(msg.WParam));
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
