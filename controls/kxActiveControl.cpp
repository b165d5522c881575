// Hover tracking and animated state transitions of TkxCustomActiveControl.
#include "controls/kxActiveControl.h"

#include <cstdint>

#include "draw/kxSystem.h"
#include "host/gdi/GdiDraw.h"
#include "host/rtl/ScopeGuards.h"
#include "host/vcl/Timers.h"
#include "host/win/WinUser.h"

namespace kx {

using namespace vcl;

TkxCustomActiveControl::TkxCustomActiveControl(TComponent* owner) : TkxCustomControl(owner) {}

TkxCustomActiveControl::~TkxCustomActiveControl() { StopMouseTimer(); }

// ---- state ---------------------------------------------------------------------------------

TkxsCtrlState TkxCustomActiveControl::GetCtrlState() {
  if (!Enabled()) return kxsDisabled;
  return FMouseIn ? kxsHot : kxsNormal;
}

bool TkxCustomActiveControl::AnimationServiceAvailable() { return IsBufferedAnimationAvailable(); }

bool TkxCustomActiveControl::CanAnimate() {
  if (ComponentState().Contains(csDesigning) || !Enabled() || !Visible() || !FAnimation)
    return false;
  TkxsCtrlState state = GetCtrlState();
  bool animatable = state == kxsNormal || state == kxsHot ||
                    (state == kxsFocused && AnimateFocusedState());
  return animatable && AnimationServiceAvailable();
}

// ---- mouse tracking --------------------------------------------------------------------------

void TkxCustomActiveControl::StartMouseTimer() {
  StopMouseTimer();
  FMouseTimer = std::make_unique<TTimer>(nullptr);
  FMouseTimer->SetInterval(kMouseTimerInterval);
  FMouseTimer->SetOnTimer(TNotifyEvent(this, &TkxCustomActiveControl::MouseTimerTick));
  FMouseTimer->SetEnabled(true);
}

void TkxCustomActiveControl::StopMouseTimer() {
  if (!FMouseTimer) return;
  FMouseTimer->SetEnabled(false);
  FMouseTimer.reset();
}

void TkxCustomActiveControl::MouseGone() {
  StopMouseTimer();
  FMouseIn = false;
  DoMouseLeave();
}

void TkxCustomActiveControl::MouseTimerTick(TObject*) {
  TPoint p;
  GetCursorPos(&p);
  HWND under = WindowFromPoint(p);
  // The timer is freed here; nothing of it is touched afterwards.
  if (!HandleAllocated() || under != Handle()) MouseGone();
}

void TkxCustomActiveControl::DoMouseEnter() {
  if (FAnimation && CanAnimate()) StartTransition();
  RePaintControl();
}

void TkxCustomActiveControl::DoMouseLeave() {
  if (FAnimation && CanAnimate()) StartTransition();
  RePaintControl();
}

void TkxCustomActiveControl::CMMouseEnter(TMessage& m) {
  TkxCustomControl::CMMouseEnter(m);
  if (FMouseIn) return;
  FMouseIn = true;
  StartMouseTimer();
  DoMouseEnter();
}

void TkxCustomActiveControl::CMMouseLeave(TMessage& m) {
  TkxCustomControl::CMMouseLeave(m);
  if (!FMouseIn) return;
  MouseGone();
  FOldCtrlState = GetCtrlState();
}

void TkxCustomActiveControl::MouseMove(TShiftState shift, int x, int y) {
  TkxCustomControl::MouseMove(shift, x, y);
  // Both far edges count as inside.
  bool inside = x >= 0 && x <= Width() && y >= 0 && y <= Height();
  if (!FMouseIn && inside) {
    FMouseIn = true;
    StartMouseTimer();
    DoMouseEnter();
  } else if (FMouseIn && !inside) {
    MouseGone();
  }
}

// ---- transitions -------------------------------------------------------------------------------

void TkxCustomActiveControl::StartTransition() {
  FCanAnimate = true;
  if (!HandleAllocated()) return;
  KillTimer(Handle(), kTransitionTimer);
  SetTimer(Handle(), kTransitionTimer, kTransitionWindow, nullptr);
}

void TkxCustomActiveControl::StopTransition() {
  FCanAnimate = false;
  if (!HandleAllocated()) return;
  KillTimer(Handle(), kTransitionTimer);
  if (AnimationServiceAvailable()) SystemFacts().BufferedPaintStopAllAnimations(Handle());
}

void TkxCustomActiveControl::Paint() {
  if (FCanAnimate && CanAnimate() && HandleAllocated()) {
    HDC dc = Canvas()->Handle();
    // A running transition shows its next frame; otherwise one is started from the last
    // look to the current one.
    if (SystemFacts().BufferedPaintRenderAnimation(Handle(), dc)) return;
    if (DrawAnimated(dc)) return;
    // No transition could be started: the control is painted as it is now.
  }
  TkxCustomControl::Paint();
}

void TkxCustomActiveControl::PaintStateInto(HDC dc, TkxsCtrlState state, bool composed) {
  int w = Width(), h = Height();
  if (w <= 0 || h <= 0 || !dc) return;
  if (composed) {
    TBitmap image;
    image.SetPixelFormat(pf32bit);
    image.SetSize(w, h);
    DrawBackground(image.Canvas());
    DrawControl(image.Canvas(), state);
    // The fade blends whole pixels: every pixel of the look is opaque.
    for (int y = 0; y < h; ++y) {
      auto* row = static_cast<std::uint32_t*>(image.ScanLine(y));
      for (int x = 0; x < w; ++x) row[x] |= 0xFF000000u;
    }
    BitBlt(dc, 0, 0, w, h, image.Canvas()->Handle(), 0, 0, SRCCOPY);
  } else {
    TCanvas canvas;
    canvas.SetHandle(dc);
    DrawBackground(&canvas);
    DrawControl(&canvas, state);
    canvas.SetHandle(nullptr);
  }
}

bool TkxCustomActiveControl::DrawAnimated(HDC dc) {
  if (!AnimationServiceAvailable() || !HandleAllocated()) return false;
  const TkxSystemFacts& service = SystemFacts();
  TkxsCtrlState state = GetCtrlState();
  BP_ANIMATIONPARAMS params;
  params.cbSize = sizeof(BP_ANIMATIONPARAMS);
  params.dwFlags = 0;
  params.style = BPAS_LINEAR;
  params.dwDuration = state != FOldCtrlState ? kFadeDuration : 0;
  TRect client = ClientRect();
  HDC from = nullptr, to = nullptr;
  HANIMATIONBUFFER animation = service.BeginBufferedAnimation(
      Handle(), dc, &client, BPBF_COMPATIBLEBITMAP, nullptr, &params, &from, &to);
  bool started = animation != nullptr;
  if (started) {
    bool composed = params.dwDuration != 0;
    PaintStateInto(from, FOldCtrlState, composed);
    PaintStateInto(to, state, composed);
    service.EndBufferedAnimation(animation, true);
  }
  FOldCtrlState = state;
  return started;
}

// ---- messages ------------------------------------------------------------------------------------

void TkxCustomActiveControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    TFlagScope painting(FInWMPaint);
    TkxCustomControl::Dispatch(m);
    return;
  }
  TkxCustomControl::Dispatch(m);
}

void TkxCustomActiveControl::WndProc(TMessage& m) {
  TkxCustomControl::WndProc(m);
  if (m.Msg == WM_TIMER && m.WParam == kTransitionTimer && HandleAllocated()) StopTransition();
}

void TkxCustomActiveControl::WMEraseBkgnd(TMessage& m) {
  // Erasing outside a paint means the window is drawn afresh: a fade over it would show a
  // stale start image.
  if (!FInWMPaint) FCanAnimate = false;
  TkxCustomControl::WMEraseBkgnd(m);
}

void TkxCustomActiveControl::WMMove(TMessage& m) {
  if (FTransparentBackground) FCanAnimate = false;
  TkxCustomControl::WMMove(m);
}

void TkxCustomActiveControl::WMParentBGChanged(TMessage& m) {
  if (FTransparentBackground) FCanAnimate = false;
  TkxCustomControl::WMParentBGChanged(m);
}

}  // namespace kx

#include "host/classes/TypInfo.h"

namespace kx {

const vcl::TClass TkxCustomActiveControl::Class =
    vcl::TClass::Define<TkxCustomActiveControl, TkxCustomControl>(u"TkxCustomActiveControl");

}  // namespace kx
