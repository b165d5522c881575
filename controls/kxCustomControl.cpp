// The paint pipeline of TkxCustomControl: buffered paints, background capture, the erase
// phase, repaint requests, background-change notifications, bounds and scaling.
#include "controls/kxCustomControl.h"

#include <optional>
#include <utility>
#include <vector>

#include "draw/kxGlow.h"
#include "draw/kxSystem.h"
#include "host/gdi/GdiDraw.h"
#include "host/rtl/ScopeGuards.h"
#include "host/win/WinUser.h"

namespace kx {

using namespace vcl;

namespace {

constexpr UINT_PTR kFluentRedrawTimer = 101;

bool HasUsableSize(const TBitmap* b, int width, int height) {
  return b && !b->Empty() && b->Width() == width && b->Height() == height;
}

}  // namespace

// ---- construction ------------------------------------------------------------------------------

TkxCustomControl::TkxCustomControl(TComponent* owner)
    : TCustomControl(owner), ParentBGBuffer(std::make_unique<TBitmap>()) {}

TkxCustomControl::~TkxCustomControl() = default;

// ---- properties ----------------------------------------------------------------------------------

void TkxCustomControl::SetStorePaintBuffer(bool value) {
  FStorePaintBuffer = value;
  // A buffer kept for the children goes when it is no longer kept; during a paint the paint
  // itself lets go of it at its end.
  if (!value && !FPainting) FPaintBuffer.reset();
}

void TkxCustomControl::SetTransparentBackground(bool value) { FTransparentBackground = value; }

bool TkxCustomControl::IsFluentUIOpaqueActive() const {
  return !ComponentState().Contains(csDesigning) && FFluentUIOpaque && IsWindows10() &&
         WindowsBuildNumber() >= 17134;
}

void TkxCustomControl::SetFluentUIOpaque(bool value) {
  if (FFluentUIOpaque == value) return;
  FFluentUIOpaque = value;
  TComponentState s = ComponentState();
  if (s.Contains(csDesigning) || s.Contains(csLoading) || s.Contains(csDestroying)) return;
  // The layered style is a creation parameter: the window is made again to take it.
  if (IsWindows10() && WindowsBuildNumber() >= 17134) Perform(CM_RECREATEWND, 0, 0);
}

void TkxCustomControl::SetDrawTextMode(TkxDrawTextMode value) {
  if (FDrawTextMode == value) return;
  FDrawTextMode = value;
  if (!ComponentState().Contains(csLoading)) RePaintControl();
}

TWinControl* TkxCustomControl::BackgroundSource() const {
  TWinControl* parent = Parent();
  if (FUseOnlyParentBackground && parent && parent->Parent()) return parent->Parent();
  return parent;
}

// ---- painting ----------------------------------------------------------------------------------

void TkxCustomControl::Paint() {
  int w = FDrawInClientRect ? ClientWidth() : Width();
  int h = FDrawInClientRect ? ClientHeight() : Height();
  // A paint asked for while the control paints (a repaint request from its own drawing) would
  // replace the buffer being drawn into; the running paint shows the control already.
  if (w <= 0 || h <= 0 || FPainting) return;
  TFlagScope painting(FPainting);
  if (!FStorePaintBuffer || !FPaintBuffer) FPaintBuffer = std::make_unique<TBitmap>();
  TFinally release([this] {
    if (!FStorePaintBuffer) FPaintBuffer.reset();
  });
  FPaintBuffer->SetSize(w, h);
  if (FTransparentBackground && !FStopEraseBackground) GetParentBG();
  TCanvas* buffer = FPaintBuffer->Canvas();
  DrawBackground(buffer);
  DrawControl(buffer, GetCtrlState());
  BitBlt(Canvas()->Handle(), 0, 0, w, h, buffer->Handle(), 0, 0, SRCCOPY);
}

void CaptureBackground(TControl* control, TCanvas* target, TkxBackgroundSource from,
                       TkxKeptImageUse kept) {
  if (!control || !target || !control->Parent()) return;
  TWinControl* parent = control->Parent();
  const bool fromGrandparent = from == kxbgParentOnly && parent->Parent();
  TWinControl* source = fromGrandparent ? parent->Parent() : parent;
  const int w = control->Width(), h = control->Height();
  auto* kxSource = dynamic_cast<TkxCustomControl*>(source);
  std::optional<TFlagScope> capturing;
  if (kxSource) capturing.emplace(kxSource->FGetControlBG);

  TRect copy = fromGrandparent ? parent->BoundsRect() : control->BoundsRect();
  auto* stored = dynamic_cast<TkxPaintBufferSource*>(source);
  if (stored && stored->StoresPaintBuffer() &&
      HasUsableSize(stored->StoredPaintBuffer(), source->ClientWidth(), source->ClientHeight())) {
    BitBlt(target->Handle(), 0, 0, w, h, stored->StoredPaintBuffer()->Canvas()->Handle(),
           copy.Left, copy.Top, SRCCOPY);
  } else if (kept == kxkiUseKept && kxSource && kxSource->FStorePaintBuffer &&
             HasUsableSize(kxSource->FPaintBuffer.get(), kxSource->Width(), kxSource->Height())) {
    BitBlt(target->Handle(), 0, 0, w, h, kxSource->FPaintBuffer->Canvas()->Handle(), copy.Left,
           copy.Top, SRCCOPY);
  } else if (fromGrandparent) {
    DrawParentImage(parent, target);
  } else {
    DrawParentImage(control, target);
  }
}

void TkxCustomControl::GetParentBG() {
  if (!FTransparentBackground) {
    FUpdateParentBuffer = false;
    if (!ParentBGBuffer->Empty()) ParentBGBuffer->SetSize(0, 0);
    return;
  }
  TWinControl* source = BackgroundSource();
  bool fromGrandparent = source && source != Parent();
  if (FBlurBackground && ParentBGBuffer->PixelFormat() != pf32bit)
    ParentBGBuffer->SetPixelFormat(pf32bit);
  int w = Width(), h = Height();
  if (w <= 0 || h <= 0) {
    // Nothing lies beneath a control without area; an old capture would only hold memory.
    if (!ParentBGBuffer->Empty()) ParentBGBuffer->SetSize(0, 0);
    FUpdateParentBuffer = false;
    return;
  }
  if (ParentBGBuffer->Width() != w || ParentBGBuffer->Height() != h) ParentBGBuffer->SetSize(w, h);

  CaptureBackground(this, ParentBGBuffer->Canvas(), fromGrandparent ? kxbgParentOnly : kxbgParent,
                    FUpdateParentBuffer ? kxkiPaintAfresh : kxkiUseKept);
  if (FBlurBackground) BlurBitmap(ParentBGBuffer.get(), FBlurBackgroundAmount);
  FUpdateParentBuffer = false;
}

void TkxCustomControl::DrawBackground(TCanvas* canvas) {
  if (!FTransparentBackground) return;
  if (ParentBGBuffer->Width() != Width() || ParentBGBuffer->Height() != Height()) GetParentBG();
  if (ParentBGBuffer->Empty()) return;
  TWinControl* source = BackgroundSource();
  bool fromStored = false;
  if (auto* k = dynamic_cast<TkxCustomControl*>(source)) fromStored = k->FStorePaintBuffer;
  else if (auto* s = dynamic_cast<TkxPaintBufferSource*>(source)) fromStored = s->StoresPaintBuffer();
  int x = fromStored ? FBackgroundLeft : 0, y = fromStored ? FBackgroundTop : 0;
  BitBlt(canvas->Handle(), x, y, ParentBGBuffer->Width(), ParentBGBuffer->Height(),
         ParentBGBuffer->Canvas()->Handle(), 0, 0, SRCCOPY);
}

TkxsCtrlState TkxCustomControl::GetCtrlState() { return Enabled() ? kxsNormal : kxsDisabled; }

bool TkxCustomControl::CanDrawOnBackground() {
  return !FForceDraw && !FromWMPaint && FDrawOnBackground &&
         !ControlState().Contains(csPaintCopy);
}

void TkxCustomControl::RePaintControl() {
  TFlagScope stop(FStopEraseBackground);
  TFlagScope force(FForceDraw);
  Repaint();
}

void TkxCustomControl::UpdateControls() {
  // Index order; the list is read afresh each step since a handler may change it.
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    if (auto* w = dynamic_cast<TWinControl*>(c))
      SendMessageW(w->Handle(), WM_PARENTBGCHANGED, 0, 0);
    else if (dynamic_cast<TGraphicControl*>(c))
      c->Perform(WM_PARENTBGCHANGED, 0, 0);
  }
}

void TkxCustomControl::FullUpdateControl() {
  TFlagScope full(FFullUpdating);
  RePaintControl();
  UpdateControls();
}

void TkxCustomControl::SetRedraw(bool value, bool update) {
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), WM_SETREDRAW, value ? 1 : 0, 0);
  if (value && update)
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// ---- messages ------------------------------------------------------------------------------------

void TkxCustomControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_MOVE: WMMove(m); return;
    case WM_PARENTBGCHANGED: WMParentBGChanged(m); return;
    case CM_STYLEELEMENTSCHANGED:
      TCustomControl::Dispatch(m);
      RePaintControl();
      return;
    default: TCustomControl::Dispatch(m);
  }
}

void TkxCustomControl::WndProc(TMessage& m) {
  TCustomControl::WndProc(m);
  if (m.Msg == WM_TIMER && m.WParam == kFluentRedrawTimer && IsFluentUIOpaqueActive() &&
      HandleAllocated()) {
    KillTimer(Handle(), kFluentRedrawTimer);
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  }
}

void TkxCustomControl::WMPaint(TMessage& m) {
  TFlagScope painting(FromWMPaint);
  TCustomControl::WMPaint(m);
}

void TkxCustomControl::WMEraseBkgnd(TMessage& m) {
  // The paint follows at once in every other case, and it draws the whole control; erasing
  // first would only flicker.
  if (CanDrawOnBackground()) PaintWindow(reinterpret_cast<HDC>(m.WParam));
  m.Result = 1;
}

void TkxCustomControl::WMSize(TMessage& m) {
  TCustomControl::WMSize(m);
  if (FTransparentBackground || FStorePaintBuffer) {
    // A kept buffer must have the new size before the children copy from it.
    if (FStorePaintBuffer) Repaint();
    UpdateControls();
  }
}

void TkxCustomControl::WMMove(TMessage& m) {
  TCustomControl::Dispatch(m);
  if (FTransparentBackground) {
    GetParentBG();
    RePaintControl();
    UpdateControls();
  }
}

void TkxCustomControl::WMParentBGChanged(TMessage&) {
  if (!FTransparentBackground) return;
  GetParentBG();
  RePaintControl();
  UpdateControls();
}

void TkxCustomControl::CMEnabledChanged(TMessage& m) {
  TCustomControl::CMEnabledChanged(m);
  RePaintControl();
}

// ---- window, bounds, scaling ----------------------------------------------------------------------

void TkxCustomControl::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (IsFluentUIOpaqueActive()) params.ExStyle |= WS_EX_LAYERED;
}

void TkxCustomControl::CreateWnd() {
  TCustomControl::CreateWnd();
  if (!IsFluentUIOpaqueActive()) return;
  FTransparentBackground = false;
  SetLayeredWindowAttributes(Handle(), 0, 255, LWA_ALPHA);
  // One full redraw shortly after creation, once the layered window shows.
  if (Visible()) SetTimer(Handle(), kFluentRedrawTimer, 10, nullptr);
}

void TkxCustomControl::SetBounds(int left, int top, int width, int height) {
  std::vector<std::pair<TkxCustomControl*, bool>> children;
  if (ControlStyle().Contains(csAcceptsControls))
    for (int i = 0; i < ControlCount(); ++i)
      if (auto* k = dynamic_cast<TkxCustomControl*>(Controls(i))) {
        children.emplace_back(k, k->FForceDraw);
        k->FForceDraw = true;
      }
  TFinally restore([&children] {
    for (auto& [child, old] : children) child->FForceDraw = old;
  });
  TFlagScope force(FForceDraw);
  TCustomControl::SetBounds(left, top, width, height);
}

void TkxCustomControl::ScaleForPPI(int newPPI) {
  DisableAlign();
  TFinally realign([this] { EnableAlign(); });
  TCustomControl::ScaleForPPI(newPPI);
}

void TkxCustomControl::ChangeScale(int M, int D, bool isDpiChange) {
  double old = FScaleFactor;
  TCustomControl::ChangeScale(M, D, isDpiChange);
  if (M > 0 && D > 0) FScaleFactor = old * M / D;
  if (FScaleFactor != old && FOnChangeScale) FOnChangeScale(this);
}

}  // namespace kx
