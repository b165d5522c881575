#include "host/themes/FormStyleHook.h"

#include "host/graphics/Canvas.h"
#include "host/vcl/Forms.h"

namespace vcl {

TFormStyleHook::TFormStyleHook(TWinControl* form)
    : TMouseTrackControlStyleHook(form),
      FButtons([this] {
        InvalidateNC();
        UpdateWindow(Handle());
      }),
      FActive(Handle() && GetActiveWindow() == Handle()) {
  SetOverridePaintNC(true);
  SetOverrideEraseBkgnd(StyleElementsContain(seClient));
  UpdateColors();
}

void TFormStyleHook::UpdateColors() {
  TStyleHook::UpdateColors();
  TColor c = Control()->Color();
  SetColors(StyleElementsContain(seClient) ? StyleServices()->GetSystemColor(c) : c, FontColor());
}

TCustomForm* TFormStyleHook::Form() const { return dynamic_cast<TCustomForm*>(Control()); }

bool TFormStyleHook::BorderFollowsStyle() const {
  if (TStyleManager::FormBorderStyle() != TStyleManager::fbsCurrentStyle) return false;
  if (!StyleElementsContain(seBorder) || !IsWindow(Handle())) return false;
  return HasStyledWindowFrame(Handle());
}

TStyledFrameInfo TFormStyleHook::FrameInfo() const {
  return StyledWindowFrameInfo(Handle(), FActive, FButtons.Hot(), FButtons.Pressed());
}

LRESULT TFormStyleHook::HitTest(TPoint screen) const {
  return StyledWindowHitTest(Handle(), StyleServices(), FrameInfo(), screen);
}

void TFormStyleHook::MouseLeave() { FButtons.MouseLeave(); }

void TFormStyleHook::CalcSize(TMessage& msg) {
  TRect* r = msg.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(msg.LParam)->rgrc[0]
                        : reinterpret_cast<TRect*>(msg.LParam);
  StyledWindowCalcClientRect(Handle(), StyleServices(), *r);
  msg.Result = 0;
  SetHandled(true);
}

void TFormStyleHook::Close() { SendMessageW(Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }

void TFormStyleHook::Help() { SendMessageW(Handle(), WM_SYSCOMMAND, SC_CONTEXTHELP, 0); }

void TFormStyleHook::Maximize() {
  FButtons.Set(0, 0);
  SendMessageW(Handle(), WM_SYSCOMMAND, CaptionButtonCommand(Handle(), HTMAXBUTTON), 0);
}

void TFormStyleHook::Minimize() {
  FButtons.Set(0, 0);
  SendMessageW(Handle(), WM_SYSCOMMAND, CaptionButtonCommand(Handle(), HTMINBUTTON), 0);
}

void TFormStyleHook::Restore() {
  FButtons.Set(0, 0);
  SendMessageW(Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TFormStyleHook::Command(LRESULT button) {
  switch (button) {
    case HTCLOSE: Close(); break;
    case HTMAXBUTTON: Maximize(); break;
    case HTMINBUTTON: Minimize(); break;
    case HTHELP: Help(); break;
    default: break;
  }
}

void TFormStyleHook::WndProc(TMessage& msg) {
  bool styled = BorderFollowsStyle();
  SetOverridePaintNC(styled);
  if (msg.Msg == CM_STYLEELEMENTSCHANGED) SetOverrideEraseBkgnd(StyleElementsContain(seClient));
  if (msg.Msg == WM_NCACTIVATE) FActive = msg.WParam != 0;  // kept for a later styled frame too
  if (!styled) {
    TMouseTrackControlStyleHook::WndProc(msg);
    return;
  }
  HWND h = Handle();
  switch (msg.Msg) {
    case WM_NCCALCSIZE:
      if (!msg.LParam) break;
      CalcSize(msg);
      return;
    case WM_NCHITTEST:
      msg.Result = HitTest(LParamToPoint(msg.LParam));
      SetHandled(true);
      return;
    case WM_NCACTIVATE:
      // The default processing would paint the system caption; the result lets the
      // activation change.
      msg.Result = 1;
      SetHandled(true);
      InvalidateNC();
      return;
    case WM_GETMINMAXINFO: {
      CallDefaultProc(msg);
      auto* mmi = reinterpret_cast<MINMAXINFO*>(msg.LParam);
      if (mmi) {
        DWORD style = DWORD(GetWindowLongW(h, GWL_STYLE)), ex = DWORD(GetWindowLongW(h, GWL_EXSTYLE));
        TStyledFrameMetrics m = GetStyledFrameMetrics(StyleServices(), (ex & WS_EX_TOOLWINDOW) != 0,
                                                      (style & WS_CAPTION) == WS_CAPTION, int(GetDpiForWindow(h)));
        mmi->ptMinTrackSize.Y = std::max(mmi->ptMinTrackSize.Y, LONG(m.Top + m.Bottom));
      }
      SetHandled(true);
      return;
    }
    case WM_NCMOUSEMOVE:
      FButtons.NCMouseMove(h, LRESULT(msg.WParam));
      break;  // the mouse tracking goes on
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      // Caption and borders: moving, sizing, maximising by a double click.
      if (!FButtons.NCButtonDown(h, LRESULT(msg.WParam), FrameInfo())) break;
      msg.Result = 0;
      SetHandled(true);
      return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
      if (!FButtons.Tracking(h)) break;
      TPoint p = LParamToPoint(msg.LParam);
      ClientToScreen(h, &p);
      msg.Result = 0;
      SetHandled(true);
      if (LRESULT released = FButtons.Track(msg.Msg == WM_LBUTTONUP, HitTest(p)))
        Command(released);  // may end the window: nothing after it
      return;
    }
    case WM_CAPTURECHANGED:
      FButtons.CaptureChanged();
      break;
    case WM_SETTEXT:
    case WM_SETICON:
      CallDefaultProc(msg);
      InvalidateNC();
      SetHandled(true);
      return;
    default: break;
  }
  TMouseTrackControlStyleHook::WndProc(msg);
}

void TFormStyleHook::PaintNC(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  DrawStyledFrame(dc, StyleServices(), FrameInfo());
  DrawStyledScrollBars(dc, Handle(), StyleServices());
}

}  // namespace vcl
