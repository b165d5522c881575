#include "host/vcl/Hints.h"

#include <algorithm>

#include "host/classes/TypInfo.h"
#include "host/vcl/Screen.h"

namespace vcl {

const TClass THintWindow::Class = TClass::Define<THintWindow, TCustomControl>(u"THintWindow");

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  FVisible = false;
  FParentColor = false;
  FParentFont = false;
  FParentShowHint = false;
  FColor = clInfoBk;
  FBrush->SetColor(FColor);
  FControlStyle.Include(csOpaque);
  Font()->Assign(Screen->HintFont());
  FCurrentPPI = Screen->PixelsPerInch();
}

THintWindow::~THintWindow() {
  if (HandleAllocated()) KillTimer(FHandle, kFadeTimer);
}

void THintWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
  params.WndParent = nullptr;
}

TRect THintWindow::CalcHintRect(int maxWidth, StringView hint, void* data) {
  if (maxWidth <= 0) maxWidth = Screen->Width() - 8;
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT old = SelectObject(dc, Font()->Handle());
  TRect r(0, 0, maxWidth, 0);
  DrawTextW(dc, hint, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX |
                             DrawTextBiDiModeFlagsReadingOnly());
  SelectObject(dc, old);
  DeleteDC(dc);
  // Room for the border and a margin around the text.
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHintData(const TRect& rect, StringView hint, void* data) {
  ActivateHint(rect, hint);
}

void THintWindow::ActivateHint(const TRect& rect, StringView hint) {
  SetCaption(hint);
  TRect r = rect;
  // Kept on the work area of the monitor the hint starts on.
  if (TMonitor* m = Screen->MonitorFromPoint(r.TopLeft())) {
    TRect work = m->WorkareaRect();
    if (r.Right > work.Right) r.Offset(work.Right - r.Right, 0);
    if (r.Bottom > work.Bottom) r.Offset(0, work.Bottom - r.Bottom);
    if (r.Left < work.Left) r.Offset(work.Left - r.Left, 0);
    if (r.Top < work.Top) r.Offset(0, work.Top - r.Top);
  }
  HWND h = Handle();
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  if (FFadeDuration > 0) StartFade();
  else {
    KillTimer(h, kFadeTimer);
    FFading = false;
    FAlpha = 255;
  }
  SetWindowPos(h, HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FVisible = true;
  FShowing = true;  // so that Visible = false hides it again
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  if (!HandleAllocated()) {
    FVisible = false;
    return;
  }
  KillTimer(FHandle, kFadeTimer);
  FFading = false;
  if (IsWindowVisible(FHandle))
    SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  FVisible = false;
  FShowing = false;
}

bool THintWindow::IsHintMsg(const MSG& msg) {
  UINT m = msg.message;
  return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || m == CM_ACTIVATE || m == CM_DEACTIVATE ||
         m == CM_APPKEYDOWN || m == CM_APPSYSCOMMAND || m == WM_COMMAND ||
         (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) ||
         (m >= WM_NCLBUTTONDOWN && m <= WM_NCXBUTTONDBLCLK);
}

void THintWindow::StartFade() {
  HWND h = Handle();
  SetWindowLongW(h, GWL_EXSTYLE, GetWindowLongW(h, GWL_EXSTYLE) | LONG(WS_EX_LAYERED));
  FAlpha = 0;
  SetLayeredWindowAttributes(h, 0, 0, LWA_ALPHA);
  FFading = true;
  FFadeStart = GetTickCount();
  SetTimer(h, kFadeTimer, kFadeInterval, nullptr);
}

void THintWindow::FadeStep() {
  if (!HandleAllocated()) return;
  DWORD elapsed = GetTickCount() - FFadeStart;
  int a = FFadeDuration > 0 ? int(std::min<DWORD>(255, elapsed * 255 / DWORD(FFadeDuration))) : 255;
  FAlpha = Byte(a);
  SetLayeredWindowAttributes(FHandle, 0, FAlpha, LWA_ALPHA);
  if (a >= 255 || !IsWindowVisible(FHandle)) {
    KillTimer(FHandle, kFadeTimer);
    FFading = false;
  }
}

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsClear);
  r.Left += 2;
  r.Top += 2;
  String text = Caption();
  DrawTextW(c->Handle(), text, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DrawTextBiDiModeFlagsReadingOnly());
}

void THintWindow::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST:
      // The mouse passes through to the window beneath.
      message.Result = HTTRANSPARENT;
      return;
    case WM_MOUSEACTIVATE:
      message.Result = MA_NOACTIVATE;
      return;
    case WM_TIMER:
      if (message.WParam == kFadeTimer) {
        FadeStep();
        message.Result = 0;
        return;
      }
      break;
    default: break;
  }
  TCustomControl::Dispatch(message);
}

}  // namespace vcl
