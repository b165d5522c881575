// TControl: bounds, visibility, font and colour inheritance, text, mouse handling and the
// message chain every control shares; size constraints, margins and the control canvas.
#include <algorithm>

#include "host/vcl/ControlsInternal.h"
#include "host/vcl/Touch.h"

namespace vcl {

namespace ctl {

TControl*& CaptureControl() {
  static TControl* c = nullptr;
  return c;
}

TAnchors AnchorAlign(TAlign align) {
  switch (align) {
    case alTop: return {akLeft, akTop, akRight};
    case alBottom: return {akLeft, akRight, akBottom};
    case alLeft: return {akLeft, akTop, akBottom};
    case alRight: return {akRight, akTop, akBottom};
    case alClient: return {akLeft, akTop, akRight, akBottom};
    default: return DefaultAnchors;
  }
}

namespace {
THintMouseHook GHintHook = nullptr;
TPopupMenuHandler GPopupHandler = nullptr;
TCursorResolver GCursorResolver = nullptr;
TControlExceptionHandler GExceptionHandler = nullptr;
}  // namespace

THintMouseHook HintMouseHook() { return GHintHook; }
TPopupMenuHandler PopupMenuHandler() { return GPopupHandler; }

bool VisibleAndEnabledChain(const TControl* control) {
  for (const TControl* c = control; c && c->Parent(); c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

}  // namespace ctl

void SetHintMouseHook(THintMouseHook hook) { ctl::GHintHook = hook; }
void SetPopupMenuHandler(TPopupMenuHandler handler) { ctl::GPopupHandler = handler; }
void SetCursorResolver(TCursorResolver resolver) { ctl::GCursorResolver = resolver; }
void SetControlExceptionHandler(TControlExceptionHandler handler) {
  ctl::GExceptionHandler = handler;
}
TControlExceptionHandler ControlExceptionHandler() { return ctl::GExceptionHandler; }

// ---- shift states ------------------------------------------------------------------------------

TShiftState KeysToShiftState(WORD keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (keyData & 0x20000000) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
  if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
  return s;
}

// ---- cursors ------------------------------------------------------------------------------------

HCURSOR CursorHandle(TCursor cursor) {
  if (ctl::GCursorResolver)
    if (HCURSOR h = ctl::GCursorResolver(cursor)) return h;
  int id = IDC_ARROW;
  switch (cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: id = IDC_WAIT; break;
    case crNo: case crNoDrop: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadCursorW(nullptr, id);
}

// ---- accelerators ---------------------------------------------------------------------------------

namespace {
Char UpperChar(Char c) {
  if (c >= u'a' && c <= u'z') return Char(c - u'a' + u'A');
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return Char(c - 0x20);
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return Char(c - 0x20);
  if (c >= 0x430 && c <= 0x44F) return Char(c - 0x20);
  return c;
}
}  // namespace

Char GetHotkey(StringView text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] == u'&') {
      ++i;
      continue;
    }
    return text[i + 1];
  }
  return 0;
}

bool IsAccel(Word key, StringView str) {
  Char hot = GetHotkey(str);
  return hot != 0 && UpperChar(hot) == UpperChar(Char(key));
}

String StripHotkey(StringView text) {
  String r;
  r.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        r += u'&';
        ++i;
      }
      continue;
    }
    r += text[i];
  }
  return r;
}

// ---- capture --------------------------------------------------------------------------------------

TControl* GetCaptureControl() {
  TControl*& c = ctl::CaptureControl();
  HWND cap = GetCapture();
  if (!cap) {
    c = nullptr;
    return nullptr;
  }
  if (c) {
    // A graphic control captures through its parent's window.
    TWinControl* owner = dynamic_cast<TWinControl*>(c);
    HWND via = owner ? owner->HandleIfAllocated()
                     : (c->Parent() ? c->Parent()->HandleIfAllocated() : nullptr);
    if (via == cap) return c;
  }
  c = nullptr;
  return FindControl(cap);
}

void SetCaptureControl(TControl* control) {
  ReleaseCapture();
  ctl::CaptureControl() = nullptr;
  if (!control) return;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (!w->HandleAllocated()) return;
    SetCapture(w->Handle());
    ctl::CaptureControl() = control;
    return;
  }
  if (control->Parent() && control->Parent()->HandleAllocated()) {
    SetCapture(control->Parent()->Handle());
    ctl::CaptureControl() = control;
  }
}

// ---- TSizeConstraints -------------------------------------------------------------------------------

void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(source)) {
    SetConstraints(s->FMinWidth, s->FMinHeight, s->FMaxWidth, s->FMaxHeight);
    return;
  }
  TPersistent::Assign(source);
}

TPersistent* TSizeConstraints::GetOwner() const { return FControl; }

void TSizeConstraints::SetConstraints(int minWidth, int minHeight, int maxWidth, int maxHeight) {
  minWidth = std::max(minWidth, 0);
  minHeight = std::max(minHeight, 0);
  maxWidth = std::max(maxWidth, 0);
  maxHeight = std::max(maxHeight, 0);
  // A maximum below the minimum would make every size illegal: the minimum wins.
  if (maxWidth > 0 && maxWidth < minWidth) maxWidth = minWidth;
  if (maxHeight > 0 && maxHeight < minHeight) maxHeight = minHeight;
  if (minWidth == FMinWidth && minHeight == FMinHeight && maxWidth == FMaxWidth &&
      maxHeight == FMaxHeight)
    return;
  FMinWidth = minWidth;
  FMinHeight = minHeight;
  FMaxWidth = maxWidth;
  FMaxHeight = maxHeight;
  Change();
}

void TSizeConstraints::SetMaxHeight(int v) {
  v = std::max(v, 0);
  SetConstraints(FMinWidth, v > 0 && v < FMinHeight ? v : FMinHeight, FMaxWidth, v);
}
void TSizeConstraints::SetMaxWidth(int v) {
  v = std::max(v, 0);
  SetConstraints(v > 0 && v < FMinWidth ? v : FMinWidth, FMinHeight, v, FMaxHeight);
}
void TSizeConstraints::SetMinHeight(int v) {
  v = std::max(v, 0);
  SetConstraints(FMinWidth, v, FMaxWidth, FMaxHeight > 0 && FMaxHeight < v ? v : FMaxHeight);
}
void TSizeConstraints::SetMinWidth(int v) {
  v = std::max(v, 0);
  SetConstraints(v, FMinHeight, FMaxWidth > 0 && FMaxWidth < v ? v : FMaxWidth, FMaxHeight);
}

void TSizeConstraints::Change() { FOnChange(this); }

// ---- TMargins ----------------------------------------------------------------------------------------

TMargins::TMargins(TControl* control) : TMargins(control, 3) {}
TMargins::TMargins(TControl* control, int value)
    : FControl(control), FLeft(value), FTop(value), FRight(value), FBottom(value) {}

void TMargins::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TMargins*>(source)) {
    SetBounds(s->FLeft, s->FTop, s->FRight, s->FBottom);
    return;
  }
  TPersistent::Assign(source);
}

TPersistent* TMargins::GetOwner() const { return FControl; }

void TMargins::SetBounds(int left, int top, int right, int bottom) {
  if (left == FLeft && top == FTop && right == FRight && bottom == FBottom) return;
  FLeft = left;
  FTop = top;
  FRight = right;
  FBottom = bottom;
  Change();
}
void TMargins::SetLeft(int v) { SetBounds(v, FTop, FRight, FBottom); }
void TMargins::SetTop(int v) { SetBounds(FLeft, v, FRight, FBottom); }
void TMargins::SetRight(int v) { SetBounds(FLeft, FTop, v, FBottom); }
void TMargins::SetBottom(int v) { SetBounds(FLeft, FTop, FRight, v); }

int TMargins::ExplicitWidth() const {
  return FControl ? FControl->Width() + FLeft + FRight : FLeft + FRight;
}
int TMargins::ExplicitHeight() const {
  return FControl ? FControl->Height() + FTop + FBottom : FTop + FBottom;
}

void TMargins::Scale(int M, int D) {
  SetBounds(MulDiv(FLeft, M, D), MulDiv(FTop, M, D), MulDiv(FRight, M, D), MulDiv(FBottom, M, D));
}

void TMargins::Change() { FOnChange(this); }

// ---- TControlCanvas -----------------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control) {
  if (FControl == control) return;
  FreeHandle();
  FControl = control;
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  HDC dc = FDeviceContext;
  HWND wnd = FWindowHandle;
  FDeviceContext = nullptr;
  FWindowHandle = nullptr;
  if (HandleNoSelect() == dc) SetHandle(nullptr);
  ReleaseDC(wnd, dc);
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  FreeHandle();
  HWND wnd = nullptr;
  HDC dc = FControl->GetDeviceContext(wnd);
  if (!dc) return;
  FDeviceContext = dc;
  FWindowHandle = wnd;
  SetHandle(dc);
  UpdateTextFlags();
}

void TControlCanvas::UpdateTextFlags() {
  if (!FControl) return;
  int flags = TextFlags() & ~int(ETO_RTLREADING);
  if (FControl->UseRightToLeftReading()) flags |= int(ETO_RTLREADING);
  SetTextFlags(flags);
}

// ---- TControl: construction ---------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {
  RegisterControlClasses();
  FWindowProc = TWndMethod(this, &TControl::WndProc);
  FConstraints = std::make_unique<TSizeConstraints>(this);
  FConstraints->SetOnChange(TNotifyEvent(this, &TControl::ConstraintsChanged));
  FMargins = std::make_unique<TMargins>(this);
  FMargins->SetOnChange(TNotifyEvent(this, &TControl::MarginsChanged));
  FFont = std::make_unique<TFont>();
  FFont->SetOwner(this);
  FFont->SetOnChange(TNotifyEvent(this, &TControl::FontChanged));
  FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csGestures};
  FTouch = std::make_unique<TTouchManager>(this);
}

TControl::~TControl() {
  ctl::ForgetDragControl(this);
  if (ctl::CaptureControl() == this) SetCaptureControl(nullptr);
  if (FParent) FParent->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  ctl::ForgetDragControl(this);
  if (ctl::CaptureControl() == this) SetCaptureControl(nullptr);
  if (FParent) FParent->RemoveControl(this);
}

// ---- tree -----------------------------------------------------------------------------------------------

void TControl::SetParent(TWinControl* parent) {
  if (FParent == parent) return;
  if (parent == this) throw EInvalidOperation(u"Control '" + Name() + u"' cannot be its own parent");
  if (auto* self = dynamic_cast<TWinControl*>(this); self && parent && self->ContainsControl(parent))
    throw EInvalidOperation(u"Control '" + Name() + u"' cannot be a parent of its own parent");
  if (FParent) FParent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TWinControl* TControl::TopParent() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return const_cast<TWinControl*>(dynamic_cast<const TWinControl*>(c));
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* value) {
  if (!value) {
    SetParent(nullptr);
    return;
  }
  auto* parent = dynamic_cast<TWinControl*>(value);
  if (!parent)
    throw EInvalidOperation(u"Control '" + Name() + u"' cannot have the component '" +
                            value->Name() + u"' (" + String(value->ClassName()) +
                            u") as its parent");
  SetParent(parent);
}

// ---- bounds -------------------------------------------------------------------------------------------

bool TControl::CanResize(int& newWidth, int& newHeight) {
  bool resize = true;
  FOnCanResize(this, newWidth, newHeight, resize);
  return resize;
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
  FOnConstrainedResize(this, minWidth, minHeight, maxWidth, maxHeight);
}

bool TControl::CheckNewSize(int& newWidth, int& newHeight) {
  int w = newWidth, h = newHeight;
  if (!CanResize(w, h)) return false;
  if (FAutoSize && !ComponentState().Contains(csLoading)) {
    int aw = w, ah = h;
    if (CanAutoSize(aw, ah)) {
      w = aw;
      h = ah;
    }
  }
  int minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
  int maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && w > maxW) w = maxW;
  if (minW > 0 && w < minW) w = minW;
  if (maxH > 0 && h > maxH) h = maxH;
  if (minH > 0 && h < minH) h = minH;
  // Negative sizes are meaningless and would break the window manager's arithmetic.
  newWidth = std::max(w, 0);
  newHeight = std::max(h, 0);
  return true;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (!CheckNewSize(width, height)) return;
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  bool resized = width != FWidth || height != FHeight;
  InvalidateControl(FVisible, false);
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (resized && !ComponentState().Contains(csLoading)) Resize();
}

void TControl::UpdateBoundsRect(const TRect& r) {
  FLeft = r.Left;
  FTop = r.Top;
  FWidth = r.Width();
  FHeight = r.Height();
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (FAnchorMove || ComponentState().Contains(csLoading)) return;
  if (FAnchors == DefaultAnchors) {
    FOriginalParentSize = {};
    return;
  }
  if (FAnchors.Contains(akRight))
    FAnchorRules.X = FAnchors.Contains(akLeft) ? FWidth : FLeft;
  else
    FAnchorRules.X = FLeft + FWidth / 2;
  if (FAnchors.Contains(akBottom))
    FAnchorRules.Y = FAnchors.Contains(akTop) ? FHeight : FTop;
  else
    FAnchorRules.Y = FTop + FHeight / 2;
  if (FParent) {
    TRect pr = FParent->ClientRect();
    FOriginalParentSize = {pr.Right, pr.Bottom};
  }
}

void TControl::Resize() { FOnResize(this); }

void TControl::SetClientWidth(int v) { SetWidth(FWidth - ClientWidth() + v); }
void TControl::SetClientHeight(int v) { SetHeight(FHeight - ClientHeight() + v); }

TPoint TControl::GetClientOrigin() const {
  if (!FParent) return {FLeft, FTop};
  TPoint p = FParent->ClientOrigin();
  return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}
TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}
TRect TControl::ClientToScreen(const TRect& r) const {
  return {ClientToScreen(r.TopLeft()), ClientToScreen(r.BottomRight())};
}
TRect TControl::ScreenToClient(const TRect& r) const {
  return {ScreenToClient(r.TopLeft()), ScreenToClient(r.BottomRight())};
}

TPoint TControl::ClientToParent(TPoint p, TWinControl* ancestor) const {
  if (!ancestor) ancestor = FParent;
  if (!ancestor) throw EInvalidOperation(u"Control '" + Name() + u"' has no parent window");
  TPoint s = ClientToScreen(p);
  return ancestor->ScreenToClient(s);
}
TPoint TControl::ParentToClient(TPoint p, TWinControl* ancestor) const {
  if (!ancestor) ancestor = FParent;
  if (!ancestor) throw EInvalidOperation(u"Control '" + Name() + u"' has no parent window");
  return ScreenToClient(ancestor->ClientToScreen(p));
}

// ---- layout properties ---------------------------------------------------------------------------

void TControl::SetAlign(TAlign v) {
  if (FAlign != v) {
    TAlign old = FAlign;
    FAlign = v;
    FAnchors = ctl::AnchorAlign(v);
    bool loading = ComponentState().Contains(csLoading);
    if (!loading && v != alCustom && old != alCustom) {
      bool oldVertical = old == alTop || old == alBottom;
      bool newHorizontal = v == alLeft || v == alRight;
      // Turning a top or bottom bar into a left or right one (and back) keeps its thickness.
      if (oldVertical == newHorizontal && old != alNone && old != alClient && v != alNone &&
          v != alClient)
        SetBounds(FLeft, FTop, FHeight, FWidth);
      else
        AdjustSize();
    }
    UpdateAnchorRules();
  }
  RequestAlign();
}

void TControl::SetAnchors(TAnchors v) {
  if (FAnchors == v) return;
  FAnchors = v;
  UpdateAnchorRules();
}

void TControl::SetAlignWithMargins(bool v) {
  if (FAlignWithMargins == v) return;
  FAlignWithMargins = v;
  RequestAlign();
}

void TControl::SetAutoSize(bool v) {
  if (FAutoSize == v) return;
  FAutoSize = v;
  if (v) AdjustSize();
}

void TControl::AdjustSize() {
  if (ComponentState().Contains(csLoading)) return;
  SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TControl::ConstraintsChanged(TObject*) { AdjustSize(); }

void TControl::MarginsChanged(TObject*) {
  if (FAlignWithMargins) RequestAlign();
}

// ---- visibility ------------------------------------------------------------------------------------

void TControl::SetVisible(bool v) {
  if (FVisible == v) return;
  VisibleChanging();
  FVisible = v;
  Perform(CM_VISIBLECHANGED, WPARAM(v), 0);
  RequestAlign();
}

bool TControl::IsShowing() const {
  if (!FVisible) return false;
  return !FParent || FParent->IsShowing();
}

void TControl::SetEnabledValue(bool v) {
  if (FEnabled == v) return;
  FEnabled = v;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

// ---- font and colour ----------------------------------------------------------------------------------

void TControl::FontChanged(TObject*) {
  if (!FUpdatingParentFont) FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetColor(TColor v) {
  if (FColor == v && !FParentColor) return;
  FColor = v;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool v) {
  if (FParentFont == v) return;
  FParentFont = v;
  if (v && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetParentColor(bool v) {
  if (FParentColor == v) return;
  FParentColor = v;
  if (v && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::UpdateParentProperties() {
  Perform(CM_PARENTCOLORCHANGED, 0, 0);
  Perform(CM_PARENTFONTCHANGED, 0, 0);
  Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
  Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

namespace {
// The controls inside a container follow its StyleName unless they name their own: each is told
// once and repainted.
void NotifySubtreeOfStyle(TControl* c) {
  c->Perform(CM_STYLECHANGED, 0, 0);
  c->Invalidate();
  if (auto* w = dynamic_cast<TWinControl*>(c))
    for (int i = 0; i < w->ControlCount(); ++i) NotifySubtreeOfStyle(w->Controls(i));
}
}  // namespace

void TControl::SetStyleName(StringView v) {
  if (FStyleName == v) return;
  FStyleName = String(v);
  Perform(CM_STYLENAMECHANGED, 0, 0);
  NotifySubtreeOfStyle(this);
}

void TControl::SetStyleElements(TStyleElements v) {
  if (FStyleElements == v) return;
  FStyleElements = v;
  Perform(CM_STYLEELEMENTSCHANGED, 0, 0);
  Invalidate();
}

void TControl::SetCursor(TCursor v) {
  if (FCursor == v) return;
  FCursor = v;
  Perform(CM_CURSORCHANGED, 0, 0);
}

// ---- text ---------------------------------------------------------------------------------------------

void TControl::SetText(StringView v) {
  if (GetText() == v) return;
  SetTextValue(v);
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetTextValue(StringView v) { FText = String(v); }

void TControl::SetName(StringView value) {
  // A caption that is the name (a new control's empty caption included) follows the name,
  // except while a description is read.
  auto loading = [](const TComponent* c) {
    return c && (c->ComponentState().Contains(csLoading) || c->ComponentState().Contains(csReading));
  };
  bool follow = FControlStyle.Contains(csSetCaption) && GetText() == Name() && !loading(this) &&
                !loading(Owner());
  TComponent::SetName(value);
  if (follow) SetText(Name());
}

// ---- hints, popup menu, reading order --------------------------------------------------------------

void TControl::SetShowHint(bool v) {
  if (FShowHint == v && !FParentShowHint) return;
  FShowHint = v;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool v) {
  if (FParentShowHint == v) return;
  FParentShowHint = v;
  if (v && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetPopupMenuComponent(TComponent* menu) {
  if (menu == FPopupMenu) return;
  if (menu) {
    const TClass* popup = GetClass(u"TPopupMenu");
    if (!popup || !menu->InheritsFrom(popup))
      throw EInvalidOperation(u"PopupMenu of '" + Name() + u"': '" + menu->Name() + u"' (" +
                              String(menu->ClassName()) + u") is not a popup menu");
  }
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = menu;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TControl::SetBiDiMode(TBiDiMode v) {
  if (FBiDiMode == v && !FParentBiDiMode) return;
  FBiDiMode = v;
  FParentBiDiMode = false;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool v) {
  if (FParentBiDiMode == v) return;
  FParentBiDiMode = v;
  if (v && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

UINT TControl::DrawTextBiDiModeFlags(UINT flags) const {
  if (UseRightToLeftAlignment()) {
    if ((flags & DT_RIGHT) == DT_RIGHT)
      flags &= ~DT_RIGHT;
    else if ((flags & DT_CENTER) == 0)
      flags |= DT_RIGHT;
  }
  return flags | DrawTextBiDiModeFlagsReadingOnly();
}

UINT TControl::DrawTextBiDiModeFlagsReadingOnly() const {
  return UseRightToLeftReading() ? DT_RTLREADING : 0;
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

// ---- messages ------------------------------------------------------------------------------------------

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  FWindowProc(m);
  return m.Result;
}

void TControl::SetWindowProc(const TWndMethod& proc) {
  FWindowProc = proc ? proc : TWndMethod(this, &TControl::WndProc);
}

void TControl::WndProc(TMessage& m) {
  if ((m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) || m.Msg == WM_CANCELMODE) {
    // While this control is dragged, the drag has the mouse.
    if (ctl::DragSourceMessage(this, m)) return;
  }
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) {
    if (THintMouseHook hook = ctl::HintMouseHook()) hook(this, m);
    switch (m.Msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (FDragMode == dmAutomatic && !ComponentState().Contains(csDesigning)) {
          BeginDrag(false);
          return;
        }
        FControlState.Include(csLButtonDown);
        break;
      case WM_LBUTTONUP: FControlState.Exclude(csLButtonDown); break;
      default: break;
    }
  }
  Dispatch(m);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: WMMouseButton(m); return;
    case WM_MOUSEMOVE: WMMouseMove(m); return;
    case WM_MOUSEWHEEL: WMMouseWheel(m); return;
    case WM_CONTEXTMENU: WMContextMenu(m); return;
    case WM_CANCELMODE: WMCancelMode(m); return;
    case CM_MOUSEWHEEL: CMMouseWheel(m); return;
    case CM_MOUSEENTER: CMMouseEnter(m); return;
    case CM_MOUSELEAVE: CMMouseLeave(m); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); return;
    case CM_FONTCHANGED: CMFontChanged(m); return;
    case CM_COLORCHANGED: CMColorChanged(m); return;
    case CM_TEXTCHANGED: CMTextChanged(m); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(m); return;
    case CM_PARENTBIDIMODECHANGED: CMParentBiDiModeChanged(m); return;
    case CM_HITTEST: CMHitTest(m); return;
    default: DefaultHandler(m); return;
  }
}

void TControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_GETTEXT: {
      String t = GetText();
      auto* buf = reinterpret_cast<Char*>(m.LParam);
      if (!buf || m.WParam == 0) {
        m.Result = 0;
        return;
      }
      size_t n = std::min<size_t>(t.size(), size_t(m.WParam) - 1);
      std::copy_n(t.data(), n, buf);
      buf[n] = 0;
      m.Result = LRESULT(n);
      return;
    }
    case WM_GETTEXTLENGTH: m.Result = LRESULT(GetText().size()); return;
    case WM_SETTEXT: {
      auto* t = reinterpret_cast<const Char*>(m.LParam);
      SetTextValue(t ? StringView(t) : StringView());
      m.Result = 1;
      return;
    }
    default: m.Result = 0; return;
  }
}

// ---- painting ------------------------------------------------------------------------------------------

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || !FParent || !FParent->HandleAllocated()) return;
  TRect r = BoundsRect();
  InvalidateRect(FParent->Handle(), &r,
                 !(isOpaque || FParent->ControlStyle().Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::SetZOrder(bool topMost) {
  if (!FParent) return;
  auto& list = FParent->FControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (topMost)
    list.push_back(this);
  else
    list.insert(list.begin(), this);
  Invalidate();
}

HDC TControl::GetDeviceContext(HWND& window) {
  if (!FParent) throw EInvalidOperation(u"Control '" + Name() + u"' has no parent window");
  window = FParent->Handle();
  HDC dc = GetDCEx(window, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!dc) return nullptr;
  SetViewportOrgEx(dc, FLeft, FTop, nullptr);
  IntersectClipRect(dc, 0, 0, FWidth, FHeight);
  return dc;
}

// ---- mouse ---------------------------------------------------------------------------------------------

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool v) {
  if (MouseCapture() == v) return;
  SetCaptureControl(v ? this : nullptr);
}

void TControl::Click() { FOnClick(this); }
void TControl::DblClick() { FOnDblClick(this); }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  FOnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) { FOnMouseMove(this, shift, x, y); }
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  FOnMouseUp(this, button, shift, x, y);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (FOnMouseWheel) FOnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  if (!handled) {
    if (wheelDelta < 0)
      handled = DoMouseWheelDown(shift, mousePos);
    else if (wheelDelta > 0)
      handled = DoMouseWheelUp(shift, mousePos);
  }
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  FOnMouseWheelDown(this, shift, mousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  FOnMouseWheelUp(this, shift, mousePos, handled);
  return handled;
}

void TControl::DoContextPopup(TPoint mousePos, bool& handled) {
  FOnContextPopup(this, mousePos, handled);
}

void TControl::WMMouseButton(TMessage& m) {
  DefaultHandler(m);
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TPoint p = MousePos(m);
  TShiftState shift = KeysToShiftState(MouseKeys(m));
  TMouseButton button = mbLeft;
  bool down = false, dbl = false;
  switch (m.Msg) {
    case WM_LBUTTONDOWN: down = true; break;
    case WM_LBUTTONDBLCLK: down = dbl = true; break;
    case WM_RBUTTONDOWN: button = mbRight; down = true; break;
    case WM_RBUTTONDBLCLK: button = mbRight; down = dbl = true; break;
    case WM_MBUTTONDOWN: button = mbMiddle; down = true; break;
    case WM_MBUTTONDBLCLK: button = mbMiddle; down = dbl = true; break;
    case WM_RBUTTONUP: button = mbRight; break;
    case WM_MBUTTONUP: button = mbMiddle; break;
    default: break;
  }
  if (dbl) shift.Include(ssDouble);
  if (down) {
    if (button == mbLeft) {
      if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
      if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
      if (dbl && FControlStyle.Contains(csDoubleClicks)) DblClick();
    }
    MouseDown(button, shift, p.X, p.Y);
    return;
  }
  if (button == mbLeft) {
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
    if (FControlState.Contains(csClicked)) {
      FControlState.Exclude(csClicked);
      if (ClientRect().Contains(p)) Click();
    }
  }
  MouseUp(button, shift, p.X, p.Y);
}

void TControl::WMMouseMove(TMessage& m) {
  DefaultHandler(m);
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TPoint p = MousePos(m);
  MouseMove(KeysToShiftState(MouseKeys(m)), p.X, p.Y);
}

void TControl::WMMouseWheel(TMessage& m) {
  // The wheel goes to the control as CM_MOUSEWHEEL; unused, the default handling passes it on
  // to the parent.
  m.Result = Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
  if (m.Result == 0) DefaultHandler(m);
}

void TControl::CMMouseWheel(TMessage& m) {
  TShiftState shift = KeysToShiftState(LOWORD(m.WParam));
  int delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
  TPoint screen = LParamToPoint(m.LParam);
  m.Result = DoMouseWheel(shift, delta, screen) ? 1 : 0;
  if (m.Result == 0 && FParent && !dynamic_cast<TWinControl*>(this))
    m.Result = FParent->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
}

void TControl::WMContextMenu(TMessage& m) {
  TPoint screen = LParamToPoint(m.LParam);
  bool keyboard = m.LParam == -1;
  TPoint client = keyboard ? TPoint{-1, -1} : ScreenToClient(screen);
  bool handled = false;
  DoContextPopup(client, handled);
  if (handled) {
    m.Result = 1;
    return;
  }
  if (FPopupMenu) {
    if (TPopupMenuHandler h = ctl::PopupMenuHandler()) {
      if (keyboard) screen = ClientToScreen(TPoint{0, 0});
      if (h(this, FPopupMenu, screen)) {
        m.Result = 1;
        return;
      }
    }
  }
  DefaultHandler(m);
}

TMouseActivate TControl::MouseActivate(TMouseButton button, TShiftState shift, int x, int y,
                                      int hitTest) {
  TMouseActivate result = maDefault;
  FOnMouseActivate(this, button, shift, x, y, hitTest, result);
  return result;
}

void TControl::SetTouch(TTouchManager* v) { FTouch->Assign(v); }

void TControl::WMCancelMode(TMessage& m) {
  if (MouseCapture()) {
    SetMouseCapture(false);
    FControlState.Exclude(csClicked);
    FControlState.Exclude(csLButtonDown);
  }
  DefaultHandler(m);
}

void TControl::CMMouseEnter(TMessage& m) {
  TControl* target = m.LParam ? reinterpret_cast<TControl*>(m.LParam) : this;
  if (target == this && !FMouseInClient) {
    FMouseInClient = true;
    FOnMouseEnter(this);
  }
  if (FParent) FParent->Perform(CM_MOUSEENTER, 0, LPARAM(target));
}

void TControl::CMMouseLeave(TMessage& m) {
  TControl* target = m.LParam ? reinterpret_cast<TControl*>(m.LParam) : this;
  if (target == this && FMouseInClient) {
    FMouseInClient = false;
    FOnMouseLeave(this);
  }
  if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, LPARAM(target));
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque)); }

void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMTextChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& m) {
  if (!FParentFont || !FParent) return;
  // wParam non-zero: lParam is the font to take (a parent passing on a font of its own).
  TFont* source = m.WParam ? reinterpret_cast<TFont*>(m.LParam) : FParent->Font();
  TFlagScope updating(FUpdatingParentFont);
  FFont->Assign(source);
}

void TControl::CMParentColorChanged(TMessage& m) {
  if (!FParentColor || !FParent) return;
  TColor c = m.WParam ? TColor(m.LParam) : FParent->Color();
  if (c == FColor) return;
  FColor = c;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!FParentShowHint || !FParent) return;
  if (FShowHint == FParent->ShowHint()) return;
  FShowHint = FParent->ShowHint();
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!FParentBiDiMode || !FParent) return;
  if (FBiDiMode == FParent->BiDiMode()) return;
  FBiDiMode = FParent->BiDiMode();
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::CMHitTest(TMessage& m) { m.Result = HTCLIENT; }

// ---- components ----------------------------------------------------------------------------------

void TControl::ReadState(TReader& reader) {
  {
    FControlState.Include(csReadingState);
    TFinally read([this] { FControlState.Exclude(csReadingState); });
    TComponent::ReadState(reader);
  }
  if (FParent) UpdateParentProperties();
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateAnchorRules();
  if (FAutoSize) AdjustSize();
}

}  // namespace vcl
