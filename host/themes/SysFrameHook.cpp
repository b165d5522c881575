#include "host/themes/SysFrameHook.h"

#include "host/graphics/Canvas.h"
#include "host/win/WinUser.h"

namespace vcl {

TSysFrameStyleHook::TSysFrameStyleHook(HWND handle)
    : TSysStyleHook(handle),
      FButtons([this] {
        InvalidateNC();
        UpdateWindow(Handle());
      }),
      FActive(GetActiveWindow() == handle) {
  SetOverridePaintNC(true);
}

bool TSysFrameStyleHook::Framed() const { return HasStyledWindowFrame(Handle()); }

TStyledFrameInfo TSysFrameStyleHook::FrameInfo() const {
  return StyledWindowFrameInfo(Handle(), FActive, FButtons.Hot(), FButtons.Pressed());
}

LRESULT TSysFrameStyleHook::HitTest(TPoint screen) const {
  return StyledWindowHitTest(Handle(), StyleServices(), FrameInfo(), screen);
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
    case WM_NCMOUSEMOVE:
      if (FButtons.NCMouseMove(h, LRESULT(msg.WParam))) {
        msg.Result = 0;
        SetHandled(true);
        return;
      }
      break;  // scroll-bar hot tracking
    case WM_NCMOUSELEAVE:
      FButtons.MouseLeave();
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (!FButtons.NCButtonDown(h, LRESULT(msg.WParam), FrameInfo())) break;
      msg.Result = 0;
      SetHandled(true);
      return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
      if (!FButtons.Tracking(h)) break;
      TPoint p = LParamToPoint(msg.LParam);
      ClientToScreen(h, &p);
      LRESULT released = FButtons.Track(msg.Msg == WM_LBUTTONUP, HitTest(p));
      msg.Result = 0;
      SetHandled(true);
      if (WPARAM cmd = CaptionButtonCommand(h, released)) SendMessageW(h, WM_SYSCOMMAND, cmd, 0);
      return;
    }
    case WM_CAPTURECHANGED:
      FButtons.CaptureChanged();
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
