// TScrollBar and TUpDown: the wrappers of the "SCROLLBAR" and "msctls_updown32" classes.
#include "host/vcl/ComCtrls.h"

#include <algorithm>
#include <mutex>

#include "host/classes/TypInfo.h"
#include "host/rtl/NumFormat.h"
#include "host/vcl/ControlMessages.h"
#include "host/win/ctl/UpDown.h"

namespace vcl {

// ---- TScrollBar ---------------------------------------------------------------------------------

const TClass TScrollBar::Class = TClass::Define<TScrollBar, TWinControl>(u"TScrollBar", [](auto& c) {
  c.Property(u"Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal);
  c.Property(u"LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1);
  c.Property(u"Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
  c.Property(u"Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
  c.Property(u"PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0);
  c.Property(u"Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
  c.Property(u"SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1);
  c.Property(u"OnChange", &TScrollBar::FOnChange);
  c.Property(u"OnScroll", &TScrollBar::FOnScroll);
  c.Inherited(u"TabStop").Default(true);
});

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
  FWidth = 121;
  FHeight = 17;
  FTabStop = true;
  FControlStyle = TControlStyle{csFramed, csDoubleClicks, csOpaque};
}

void TScrollBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, u"SCROLLBAR");
  p.Style |= FKind == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScrollInfo();
}

void TScrollBar::UpdateScrollInfo() {
  if (!HandleAllocated()) return;
  // Set in full: a new scroll bar control has no range of its own.
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = FMin;
  si.nMax = FMax;
  si.nPage = UINT(FPageSize);
  si.nPos = FPosition;
  SetScrollInfo(Handle(), SB_CTL, &si, true);
}

void TScrollBar::SetKind(TScrollBarKind v) {
  if (v == FKind) return;
  FKind = v;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TScrollBar::SetPageSize(int v) {
  if (v < 0 || (FMax >= FMin && v > FMax - FMin + 1))
    throw EInvalidOperation(u"Scroll bar '" + Name() + u"': PageSize " + IntToStr(v) +
                            u" is out of range");
  FPageSize = v;
  FPosition = std::min(FPosition, std::max(FMin, FMax - std::max(FPageSize - 1, 0)));
  UpdateScrollInfo();
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min)
    throw EInvalidOperation(u"Scroll bar '" + Name() + u"': Min " + IntToStr(min) +
                            u" is above Max " + IntToStr(max));
  int top = std::max(min, max - std::max(FPageSize - 1, 0));
  position = std::clamp(position, min, top);
  bool changed = position != FPosition;
  FMin = min;
  FMax = max;
  FPosition = position;
  UpdateScrollInfo();
  if (changed) Change();
}

void TScrollBar::Change() { FOnChange(this); }

void TScrollBar::Scroll(TScrollCode code, int& pos) { FOnScroll(this, code, pos); }

void TScrollBar::Dispatch(TMessage& m) {
  if (m.Msg != CN_HSCROLL && m.Msg != CN_VSCROLL) {
    TWinControl::Dispatch(m);
    return;
  }
  WORD code = LOWORD(DWORD(m.WParam));
  int pos = FPosition;
  TScrollCode sc = scEndScroll;
  switch (code) {
    case SB_LINEUP: sc = scLineUp; pos -= FSmallChange; break;
    case SB_LINEDOWN: sc = scLineDown; pos += FSmallChange; break;
    case SB_PAGEUP: sc = scPageUp; pos -= FLargeChange; break;
    case SB_PAGEDOWN: sc = scPageDown; pos += FLargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      sc = code == SB_THUMBTRACK ? scTrack : scPosition;
      // The message carries 16 bits; the whole position is the scroll information's
      // tracking position (a drag) or position (set by whoever posted it), matched by the
      // low 16 bits.
      pos = int(HIWORD(DWORD(m.WParam)));
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS | SIF_POS;
      if (GetScrollInfo(Handle(), SB_CTL, &si)) {
        if (code == SB_THUMBTRACK && WORD(si.nTrackPos) == WORD(pos)) pos = si.nTrackPos;
        else if (WORD(si.nPos) == WORD(pos)) pos = si.nPos;
      }
      break;
    }
    case SB_TOP: sc = scTop; pos = FMin; break;
    case SB_BOTTOM: sc = scBottom; pos = FMax; break;
    default: break;
  }
  Scroll(sc, pos);
  if (sc != scEndScroll) SetPosition(pos);
  m.Result = 0;
}

// ---- TUpDown ------------------------------------------------------------------------------------

const TClass TCustomUpDown::Class =
    TClass::Define<TCustomUpDown, TWinControl>(u"TCustomUpDown", [](auto& c) {
      c.Property(u"AlignButton", &TCustomUpDown::AlignButton, &TCustomUpDown::SetAlignButton)
          .Default(udRight);
      c.Property(u"ArrowKeys", &TCustomUpDown::ArrowKeys, &TCustomUpDown::SetArrowKeys).Default(true);
      c.Property(u"Associate", &TCustomUpDown::Associate, &TCustomUpDown::SetAssociate);
      c.Property(u"Increment", &TCustomUpDown::Increment, &TCustomUpDown::SetIncrement).Default(1);
      c.Property(u"Max", &TCustomUpDown::Max, &TCustomUpDown::SetMax).Default(100);
      c.Property(u"Min", &TCustomUpDown::Min, &TCustomUpDown::SetMin).Default(0);
      c.Property(u"Orientation", &TCustomUpDown::Orientation, &TCustomUpDown::SetOrientation)
          .Default(udVertical);
      c.Property(u"Position", &TCustomUpDown::Position, &TCustomUpDown::SetPosition).Default(0);
      c.Property(u"Thousands", &TCustomUpDown::Thousands, &TCustomUpDown::SetThousands).Default(true);
      c.Property(u"Wrap", &TCustomUpDown::Wrap, &TCustomUpDown::SetWrap).Default(false);
      c.Property(u"OnChanging", &TCustomUpDown::FOnChanging);
      c.Property(u"OnClick", &TCustomUpDown::FOnClick);
    });
const TClass TUpDown::Class = TClass::Define<TUpDown, TCustomUpDown>(u"TUpDown");

TCustomUpDown::TCustomUpDown(TComponent* owner) : TWinControl(owner) {
  FWidth = 17;
  FHeight = 25;
  FControlStyle = TControlStyle{csOpaque};
}

void TCustomUpDown::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, u"msctls_updown32");
  p.Style |= UDS_SETBUDDYINT;
  if (FAssociate) p.Style |= FAlignButton == udLeft ? UDS_ALIGNLEFT : UDS_ALIGNRIGHT;
  if (FArrowKeys) p.Style |= UDS_ARROWKEYS;
  if (FOrientation == udHorizontal) p.Style |= UDS_HORZ;
  if (FWrap) p.Style |= UDS_WRAP;
  if (!FThousands) p.Style |= UDS_NOTHOUSANDS;
}

void TCustomUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  HWND h = Handle();
  SendMessageW(h, UDM_SETRANGE32, WPARAM(FMin), FMax);
  UDACCEL accel[3] = {{0, UINT(FIncrement)}, {2, UINT(FIncrement * 5)}, {5, UINT(FIncrement * 20)}};
  SendMessageW(h, UDM_SETACCEL, 3, reinterpret_cast<LPARAM>(accel));
  SendMessageW(h, UDM_SETPOS32, 0, FPosition);
  if (FAssociate) SendMessageW(h, UDM_SETBUDDY, reinterpret_cast<WPARAM>(FAssociate->Handle()), 0);
}

int TCustomUpDown::Position() const {
  if (!HandleAllocated()) return FPosition;
  return int(SendMessageW(HandleIfAllocated(), UDM_GETPOS32, 0, 0));
}

void TCustomUpDown::SetPosition(int v) {
  FPosition = std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax));
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETPOS32, 0, FPosition);
}

void TCustomUpDown::SetMin(int v) {
  FMin = v;
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, WPARAM(FMin), FMax);
}

void TCustomUpDown::SetMax(int v) {
  FMax = v;
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, WPARAM(FMin), FMax);
}

void TCustomUpDown::SetIncrement(int v) {
  if (v < 1)
    throw EInvalidOperation(u"Up-down '" + Name() + u"': Increment " + IntToStr(v) + u" is below 1");
  FIncrement = v;
  RecreateWnd();
}

void TCustomUpDown::SetAssociate(TWinControl* v) {
  if (v == FAssociate) return;
  if (v == this) throw EInvalidOperation(u"Up-down '" + Name() + u"' cannot be its own associate");
  if (FAssociate) {
    FAssociate->RemoveFreeNotification(this);
    if (HandleAllocated()) SendMessageW(Handle(), UDM_SETBUDDY, 0, 0);
  }
  FAssociate = v;
  if (FAssociate) FAssociate->FreeNotification(this);
  RecreateWnd();
}

void TCustomUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == FAssociate) {
    FAssociate = nullptr;
    if (HandleAllocated()) SendMessageW(Handle(), UDM_SETBUDDY, 0, 0);
  }
}

void TCustomUpDown::SetAlignButton(TUDAlignButton v) {
  if (v == FAlignButton) return;
  FAlignButton = v;
  RecreateWnd();
}

void TCustomUpDown::SetArrowKeys(bool v) {
  if (v == FArrowKeys) return;
  FArrowKeys = v;
  RecreateWnd();
}

void TCustomUpDown::SetOrientation(TUDOrientation v) {
  if (v == FOrientation) return;
  FOrientation = v;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TCustomUpDown::SetWrap(bool v) {
  if (v == FWrap) return;
  FWrap = v;
  RecreateWnd();
}

void TCustomUpDown::SetThousands(bool v) {
  if (v == FThousands) return;
  FThousands = v;
  RecreateWnd();
}

bool TCustomUpDown::CanChange() {
  bool allow = true;
  FOnChanging(this, allow);
  return allow;
}

void TCustomUpDown::Click(TUDBtnType button) { FOnClick(this, button); }

void TCustomUpDown::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      auto* nm = reinterpret_cast<NMUPDOWN*>(m.LParam);
      if (nm && nm->code == UDN_DELTAPOS) {
        m.Result = CanChange() ? 0 : 1;
        return;
      }
      TWinControl::Dispatch(m);
      return;
    }
    case CN_HSCROLL:
    case CN_VSCROLL:
      if (LOWORD(DWORD(m.WParam)) == SB_THUMBPOSITION) {
        int old = FPosition;
        FPosition = Position();
        if (FPosition != old) Click(FPosition > old ? btNext : btPrev);
      }
      m.Result = 0;
      return;
    default: TWinControl::Dispatch(m); return;
  }
}

void RegisterComCtrlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterControlClasses();
    RegisterClasses({&TScrollBar::Class, &TUpDown::Class});
  });
}

}  // namespace vcl
