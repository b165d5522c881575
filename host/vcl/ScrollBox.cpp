// Scrolling containers: scroll bars whose range follows the children, scrolling that moves
// the children, the scroll box, and frames read from their own stored descriptions.
#include <algorithm>

#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/rtl/NumFormat.h"
#include "host/rtl/Resources.h"
#include "host/vcl/ControlsInternal.h"

namespace vcl {

// ---- TControlScrollBar -------------------------------------------------------------------------

TControlScrollBar::TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind)
    : FControl(control), FKind(kind) {}

TPersistent* TControlScrollBar::GetOwner() const { return FControl; }

void TControlScrollBar::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TControlScrollBar*>(source)) {
    FIncrement = s->FIncrement;
    FMargin = s->FMargin;
    FTracking = s->FTracking;
    FVisible = s->FVisible;
    SetRange(s->FRange);
    SetPosition(s->FPosition);
    return;
  }
  TPersistent::Assign(source);
}

int TControlScrollBar::ControlSize() const {
  if (!FControl) return 0;
  TRect r = FControl->ClientRect();
  return FKind == sbHorizontal ? r.Width() : r.Height();
}

int TControlScrollBar::MaxPosition() const { return std::max(0, FRange - ControlSize()); }

bool TControlScrollBar::IsScrollBarVisible() const {
  if (!FControl || !FControl->HandleAllocated()) return FVisible && FRange > ControlSize();
  LONG style = GetWindowLongW(FControl->HandleIfAllocated(), GWL_STYLE);
  return (style & (FKind == sbHorizontal ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

void TControlScrollBar::SetMargin(int v) {
  FMargin = std::max(v, 0);
  if (FControl) FControl->UpdateScrollBars();
}

void TControlScrollBar::SetRangeValue(int v) { FRange = std::max(v, 0); }

void TControlScrollBar::SetRange(int v) {
  // A range set by hand ends automatic ranges.
  if (FControl && !FUpdatingRange) FControl->FAutoScroll = false;
  SetRangeValue(v);
  if (FControl) FControl->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool v) {
  if (FVisible == v) return;
  FVisible = v;
  if (FControl) FControl->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int v) {
  if (!FControl) {
    FPosition = v;
    return;
  }
  if (FControl->ComponentState().Contains(csReading)) {
    FPosition = v;
    return;
  }
  v = std::clamp(v, 0, MaxPosition());
  if (v != FPosition) {
    int old = FPosition;
    FPosition = v;
    if (FKind == sbHorizontal)
      FControl->ScrollBy(old - v, 0);
    else
      FControl->ScrollBy(0, old - v);
  }
  if (FControl->HandleAllocated())
    SetScrollPos(FControl->HandleIfAllocated(), FKind == sbHorizontal ? SB_HORZ : SB_VERT,
                 FPosition, true);
}

void TControlScrollBar::ScrollMessage(WORD code, int thumbPos) {
  int page = std::max(1, ControlSize());
  switch (code) {
    case SB_LINEUP: SetPosition(FPosition - FIncrement); break;
    case SB_LINEDOWN: SetPosition(FPosition + FIncrement); break;
    case SB_PAGEUP: SetPosition(FPosition - page); break;
    case SB_PAGEDOWN: SetPosition(FPosition + page); break;
    case SB_THUMBPOSITION: SetPosition(thumbPos); break;
    case SB_THUMBTRACK:
      if (FTracking) SetPosition(thumbPos);
      break;
    case SB_TOP: SetPosition(0); break;
    case SB_BOTTOM: SetPosition(MaxPosition()); break;
    default: break;
  }
}

// ---- TScrollingWinControl ------------------------------------------------------------------------

TScrollingWinControl::TScrollingWinControl(TComponent* owner) : TWinControl(owner) {
  FHorzScrollBar = std::make_unique<TControlScrollBar>(this, sbHorizontal);
  FVertScrollBar = std::make_unique<TControlScrollBar>(this, sbVertical);
  FControlStyle.Include(csAcceptsControls);
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool v) {
  if (FAutoScroll == v) return;
  FAutoScroll = v;
  if (v)
    UpdateScrollBars();
  else {
    FHorzScrollBar->SetRangeValue(0);
    FVertScrollBar->SetRangeValue(0);
    UpdateScrollBars();
  }
}

void TScrollingWinControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TScrollingWinControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScrollBars();
}

void TScrollingWinControl::CalcAutoRange() {
  if (!FAutoScroll || FAutoRangeCount > 0) return;
  int rangeX = 0, rangeY = 0, rightMargin = 0, bottomMargin = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    int r = c->Left() + c->Width() + (c->AlignWithMargins() ? c->Margins()->Right() : 0);
    int b = c->Top() + c->Height() + (c->AlignWithMargins() ? c->Margins()->Bottom() : 0);
    switch (c->Align()) {
      case alLeft: rangeX = std::max(rangeX, FHorzScrollBar->FPosition + r); break;
      case alTop: rangeY = std::max(rangeY, FVertScrollBar->FPosition + b); break;
      case alRight: rightMargin += c->Width(); break;
      case alBottom: bottomMargin += c->Height(); break;
      case alNone: {
        TAnchors a = c->Anchors();
        if ((a * TAnchors{akLeft, akRight}) == TAnchors{akLeft})
          rangeX = std::max(rangeX, FHorzScrollBar->FPosition + r);
        if ((a * TAnchors{akTop, akBottom}) == TAnchors{akTop})
          rangeY = std::max(rangeY, FVertScrollBar->FPosition + b);
        break;
      }
      default: break;
    }
  }
  FHorzScrollBar->SetRangeValue(rangeX + rightMargin + FHorzScrollBar->FMargin);
  FVertScrollBar->SetRangeValue(rangeY + bottomMargin + FVertScrollBar->FMargin);
}

void TScrollingWinControl::UpdateScrollBars() {
  if (FUpdatingScrollBars) return;
  TFlagScope updating(FUpdatingScrollBars);
  {
    CalcAutoRange();
    if (HandleAllocated()) {
      HWND h = HandleIfAllocated();
      // The client area without bars, then which bars the ranges need (a bar takes room from
      // the other direction, so decide twice).
      TRect cr;
      ::vcl::GetClientRect(h, &cr);
      LONG style = GetWindowLongW(h, GWL_STYLE);
      int fullW = cr.Width() + ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
      int fullH = cr.Height() + ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
      bool needH = FHorzScrollBar->FVisible && FHorzScrollBar->FRange > fullW;
      bool needV = FVertScrollBar->FVisible && FVertScrollBar->FRange > fullH;
      for (int pass = 0; pass < 2; ++pass) {
        int w = fullW - (needV ? GetSystemMetrics(SM_CXVSCROLL) : 0);
        int hh = fullH - (needH ? GetSystemMetrics(SM_CYHSCROLL) : 0);
        needH = FHorzScrollBar->FVisible && FHorzScrollBar->FRange > w;
        needV = FVertScrollBar->FVisible && FVertScrollBar->FRange > hh;
      }
      auto apply = [&](TControlScrollBar* bar, int which, bool need) {
        SCROLLINFO si;
        si.fMask = SIF_ALL;
        if (need) {
          si.nMin = 0;
          si.nMax = bar->FRange - 1;
          int extent = which == SB_HORZ ? fullW - (needV ? GetSystemMetrics(SM_CXVSCROLL) : 0)
                                        : fullH - (needH ? GetSystemMetrics(SM_CYHSCROLL) : 0);
          si.nPage = UINT(std::max(extent, 0));
          si.nPos = bar->FPosition;
        }
        ShowScrollBar(h, which, need);
        SetScrollInfo(h, which, &si, true);
      };
      apply(FHorzScrollBar.get(), SB_HORZ, needH);
      apply(FVertScrollBar.get(), SB_VERT, needV);
    }
    // Positions beyond the new ranges scroll back.
    for (TControlScrollBar* bar : {FHorzScrollBar.get(), FVertScrollBar.get()})
      if (bar->FPosition > bar->MaxPosition()) bar->SetPosition(bar->MaxPosition());
  }
}

void TScrollingWinControl::AlignControls(TControl* control, TRect& rect) {
  CalcAutoRange();
  // Aligned children fill the scrolled content, which is at least the client area.
  TRect client = ClientRect();
  rect = Bounds(-FHorzScrollBar->FPosition, -FVertScrollBar->FPosition,
                std::max(FHorzScrollBar->FRange, client.Width()),
                std::max(FVertScrollBar->FRange, client.Height()));
  {
    ++FAutoRangeCount;
    TFinally counted([this] { --FAutoRangeCount; });
    TWinControl::AlignControls(control, rect);
  }
  UpdateScrollBars();
}

void TScrollingWinControl::AdjustClientRect(TRect& rect) { TWinControl::AdjustClientRect(rect); }

void TScrollingWinControl::Resize() {
  UpdateScrollBars();
  TWinControl::Resize();
}

void TScrollingWinControl::ChangeScale(int M, int D, bool isDpiChange) {
  if (!FAutoScroll) {
    FHorzScrollBar->SetRangeValue(MulDiv(FHorzScrollBar->FRange, M, D));
    FVertScrollBar->SetRangeValue(MulDiv(FVertScrollBar->FRange, M, D));
  }
  FHorzScrollBar->FIncrement = std::max(1, MulDiv(FHorzScrollBar->FIncrement, M, D));
  FVertScrollBar->FIncrement = std::max(1, MulDiv(FVertScrollBar->FIncrement, M, D));
  TWinControl::ChangeScale(M, D, isDpiChange);
  UpdateScrollBars();
}

void TScrollingWinControl::ScrollInView(TControl* control) {
  if (!control || !control->Visible() || !ContainsControl(control) || control == this) return;
  TRect r = control->ClientRect();
  r.Left -= FHorzScrollBar->FMargin;
  r.Right += FHorzScrollBar->FMargin;
  r.Top -= FVertScrollBar->FMargin;
  r.Bottom += FVertScrollBar->FMargin;
  r = ScreenToClient(control->ClientToScreen(r));
  TRect client = ClientRect();
  if (r.Left < 0) {
    FHorzScrollBar->SetPosition(FHorzScrollBar->FPosition + r.Left);
  } else if (r.Right > client.Width()) {
    if (r.Width() > client.Width()) r.Right = r.Left + client.Width();
    FHorzScrollBar->SetPosition(FHorzScrollBar->FPosition + r.Right - client.Width());
  }
  if (r.Top < 0) {
    FVertScrollBar->SetPosition(FVertScrollBar->FPosition + r.Top);
  } else if (r.Bottom > client.Height()) {
    if (r.Height() > client.Height()) r.Bottom = r.Top + client.Height();
    FVertScrollBar->SetPosition(FVertScrollBar->FPosition + r.Bottom - client.Height());
  }
}

void TScrollingWinControl::AutoScrollInView(TControl* control) {
  if (control && !control->ComponentState().Contains(csLoading) &&
      !ComponentState().Contains(csLoading) && FAutoScroll)
    ScrollInView(control);
}

void TScrollingWinControl::WMScroll(TMessage& m) {
  TControlScrollBar* bar = m.Msg == WM_HSCROLL ? FHorzScrollBar.get() : FVertScrollBar.get();
  WORD code = LOWORD(m.WParam);
  int thumb = HIWORD(m.WParam);
  if ((code == SB_THUMBTRACK || code == SB_THUMBPOSITION) && HandleAllocated()) {
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    if (GetScrollInfo(HandleIfAllocated(), m.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si))
      thumb = si.nTrackPos;
  }
  bar->ScrollMessage(code, thumb);
  m.Result = 0;
}

void TScrollingWinControl::Dispatch(TMessage& m) {
  // Scroll messages from the window's own bars (lParam 0); a child scroll bar's go to it.
  if ((m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) && m.LParam == 0) {
    WMScroll(m);
    return;
  }
  TWinControl::Dispatch(m);
}

// ---- TScrollBox ----------------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                   csDoubleClicks, csPannable, csGestures};
  SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle v) {
  if (v != bsNone && v != bsSingle)
    throw EInvalidOperation(u"BorderStyle of '" + Name() +
                            u"': a scroll box has no border style " + EnumName(v));
  if (FBorderStyle == v) return;
  FBorderStyle = v;
  RecreateWnd();
  Realign();
}

void TScrollBox::CreateParams(TCreateParams& p) {
  TScrollingWinControl::CreateParams(p);
  if (FBorderStyle == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::WMEraseBkgnd(TMessage& m) { TScrollingWinControl::WMEraseBkgnd(m); }

// ---- frames ---------------------------------------------------------------------------------------

bool InitInheritedComponent(TComponent* instance, const TClass* rootAncestor) {
  std::vector<const TClass*> chain;
  for (const TClass* c = instance->ClassType(); c && c != rootAncestor; c = c->ClassParent())
    chain.push_back(c);
  bool found = false;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    ResourceData data;
    String name((*it)->ClassName());
    if (!FindResource(RT_RCDATA, name, data)) continue;
    TFormObject form = ParseForm({data.Data, data.Size}, name);
    // An instance that has a name keeps it (a frame placed on a window); one without takes
    // the stored name, made unique among its owner's components (several frames of a class).
    if (!instance->Name().empty()) {
      form.Name = instance->Name();
    } else if (TComponent* owner = instance->Owner(); owner && !form.Name.empty()) {
      String base = form.Name, unique = base;
      for (int n = 1; owner->FindComponent(unique); ++n) unique = base + u"_" + IntToStr(n);
      form.Name = unique;
    }
    TReader reader(name);
    reader.ReadRootComponent(form, instance);
    found = true;
  }
  return found;
}

TCustomFrame::TCustomFrame(TComponent* owner) : TScrollingWinControl(owner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                   csDoubleClicks, csParentBackground, csPannable, csGestures};
  SetBounds(0, 0, 320, 240);
}

void TCustomFrame::InitFrame() {
  if (FInitialized) return;
  FInitialized = true;
  InitInheritedComponent(this, &TFrame::Class);
}

void TCustomFrame::SetParent(TWinControl* parent) {
  if (parent && !ComponentState().Contains(csReading) && !ComponentState().Contains(csLoading))
    InitFrame();
  TScrollingWinControl::SetParent(parent);
}

void TCustomFrame::ReadState(TReader& reader) {
  InitFrame();
  TScrollingWinControl::ReadState(reader);
}

}  // namespace vcl
