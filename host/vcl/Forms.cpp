#include "host/vcl/Forms.h"

#include <algorithm>

#include "host/classes/TypInfo.h"
#include "host/graphics/CanvasBinding.h"
#include "host/rtl/ScopeGuards.h"
#include "host/vcl/Application.h"
#include "host/vcl/Screen.h"

namespace vcl {

const TClass TCustomForm::Class = TClass::Define<TCustomForm, TScrollingWinControl>(
    u"TCustomForm", [](auto& c) {
      c.Property(u"ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
      c.Property(u"BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
          .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
      c.Property(u"BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle)
          .Default(bsSizeable);
      // The client size is stored (not the outer size): it does not depend on the frame.
      c.Property(
          u"ClientHeight", [](const TCustomForm& f) { return f.ClientHeight(); },
          [](TCustomForm& f, int v) {
            if (f.ComponentState().Contains(csLoading)) f.FStoredClientHeight = v;
            else f.SetClientHeight(v);
          });
      c.Property(
          u"ClientWidth", [](const TCustomForm& f) { return f.ClientWidth(); },
          [](TCustomForm& f, int v) {
            if (f.ComponentState().Contains(csLoading)) f.FStoredClientWidth = v;
            else f.SetClientWidth(v);
          });
      c.Property(u"DefaultMonitor", &TCustomForm::DefaultMonitor, &TCustomForm::SetDefaultMonitor)
          .Default(dmActiveForm);
      c.Property(u"FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
      c.Property(u"KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
      c.Property(u"PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
      c.Property(u"Position", &TCustomForm::Position, &TCustomForm::SetPosition)
          .Default(poDefaultPosOnly);
      c.Property(u"WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState)
          .Default(wsNormal);
      c.Inherited(u"Visible").Default(false);
      c.Inherited(u"ParentColor").Default(false);
      c.Inherited(u"ParentFont").Default(false);
      c.Property(u"OnActivate", &TCustomForm::OnActivate);
      c.Property(u"OnClose", &TCustomForm::OnClose);
      c.Property(u"OnCloseQuery", &TCustomForm::OnCloseQuery);
      c.Property(u"OnCreate", &TCustomForm::OnCreate);
      c.Property(u"OnDeactivate", &TCustomForm::OnDeactivate);
      c.Property(u"OnDestroy", &TCustomForm::OnDestroy);
      c.Property(u"OnHide", &TCustomForm::OnHide);
      c.Property(u"OnPaint", &TCustomForm::OnPaint);
      c.Property(u"OnShow", &TCustomForm::OnShow);
    });

const TClass TForm::Class = TClass::Define<TForm, TCustomForm>(u"TForm");

namespace {

// The control of a window or of the nearest window above it that is one.
TWinControl* ControlOfWindow(HWND h) {
  while (h) {
    if (TWinControl* c = FindControl(h)) return c;
    h = (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr;
  }
  return nullptr;
}

TRect CenteredIn(const TRect& area, int w, int h) {
  int x = area.Left + (area.Width() - w) / 2;
  int y = area.Top + (area.Height() - h) / 2;
  // A form larger than the area keeps its caption reachable.
  x = std::max(x, area.Left);
  y = std::max(y, area.Top);
  return TRect::FromSize(x, y, w, h);
}

}  // namespace

TCustomForm* GetParentForm(TControl* control, bool topForm) {
  TCustomForm* found = nullptr;
  for (TControl* c = control; c; c = c->Parent()) {
    if (auto* f = dynamic_cast<TCustomForm*>(c)) {
      found = f;
      if (!topForm) return f;
    }
  }
  return found;
}

// ---- construction --------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csDoubleClicks};
  FVisible = false;
  FParentFont = false;
  FParentColor = false;
  FParentShowHint = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
  FLeft = 0;
  FTop = 0;
  FWidth = 320;
  FHeight = 240;
  FFormState.Include(fsCreating);
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  Screen->RemoveForm(this);
}

void TCustomForm::AfterConstruction() {
  if (FConstructed) return;
  FConstructed = true;
  const TClass* root = InheritsFrom(&TForm::Class) ? &TForm::Class : &TCustomForm::Class;
  InitInheritedComponent(this, root);
  ScaleToMonitor();
  FFormState.Exclude(fsCreating);
  DoCreate();
  if (FVisible && !Showing()) {
    // A description that stores Visible = True shows the form as soon as it is made.
    FVisible = false;
    Show();
  }
}

void TCustomForm::BeforeDestruction() {
  if (!ComponentState().Contains(csDestroying)) DoDestroy();
  TScrollingWinControl::BeforeDestruction();
}

void TCustomForm::Loaded() {
  ApplyStoredClientSize();
  TScrollingWinControl::Loaded();
}

void TCustomForm::ApplyStoredClientSize() {
  if (FStoredClientWidth >= 0) SetClientWidth(FStoredClientWidth);
  if (FStoredClientHeight >= 0) SetClientHeight(FStoredClientHeight);
  FStoredClientWidth = FStoredClientHeight = -1;
}

void TCustomForm::DoCreate() { OnCreate(this); }
void TCustomForm::DoDestroy() { OnDestroy(this); }
void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }
void TCustomForm::DoClose(TCloseAction& action) { OnClose(this, action); }
void TCustomForm::Activate() { OnActivate(this); }
void TCustomForm::Deactivate() { OnDeactivate(this); }

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TScrollingWinControl::Notification(component, operation);
  if (operation == opRemove && component == FActiveControl) FActiveControl = nullptr;
}

// ---- appearance ----------------------------------------------------------------------------------

void TCustomForm::FrameStyle(DWORD& style, DWORD& exStyle) const {
  switch (FBorderStyle) {
    case bsNone: style |= Parent() ? 0 : WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: style |= WS_CAPTION; break;
    case bsSizeable:
    case bsSizeToolWin: style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      style |= (Parent() ? 0 : WS_POPUP) | WS_CAPTION;
      exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) exStyle |= WS_EX_TOOLWINDOW;
  if ((style & WS_CAPTION) == WS_CAPTION) {
    if (FBorderIcons.Contains(biSystemMenu)) style |= WS_SYSMENU;
    // Minimise and maximise boxes exist on main-window frames only.
    bool boxes = FBorderStyle == bsSingle || FBorderStyle == bsSizeable;
    if (boxes && FBorderIcons.Contains(biMinimize)) style |= WS_MINIMIZEBOX;
    if (boxes && FBorderIcons.Contains(biMaximize)) style |= WS_MAXIMIZEBOX;
    if (FBorderIcons.Contains(biHelp) &&
        (FBorderStyle == bsDialog || !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))))
      exStyle |= WS_EX_CONTEXTHELP;
  }
  if (FFormStyle == fsStayOnTop && !Parent()) exStyle |= WS_EX_TOPMOST;
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TScrollingWinControl::CreateParams(params);
  DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  DWORD ex = 0;
  if (Parent()) style |= WS_CHILD | (params.Style & (WS_DISABLED | WS_VISIBLE));
  FrameStyle(style, ex);
  if (!Parent() && !Enabled()) style |= WS_DISABLED;
  params.Style = style;
  params.ExStyle = ex;
  if (!Parent()) {
    // Shown through ShowWindow when the form becomes visible.
    params.Style &= ~WS_VISIBLE;
    TCustomForm* main = Application->MainForm();
    params.WndParent = nullptr;
    if (main && main != this && main->HandleAllocated()) params.WndParent = main->Handle();
    if (main == this || (!main && Application->MainFormOnTaskBar())) params.ExStyle |= WS_EX_APPWINDOW;
    if (!FPositioned) {
      if (FPosition == poDefault || FPosition == poDefaultPosOnly) params.X = params.Y = CW_USEDEFAULT;
      if (FPosition == poDefault || FPosition == poDefaultSizeOnly)
        params.Width = params.Height = CW_USEDEFAULT;
    }
  }
}

void TCustomForm::CreateWnd() {
  // The client size the form was given, worked out from the standard frame.
  const TRect designed = GetClientRect();
  TScrollingWinControl::CreateWnd();
  if (!Parent()) {
    // The window manager may have chosen the place (default positions): the bounds follow.
    TRect r;
    GetWindowRect(FHandle, &r);
    if (r != BoundsRect()) UpdateBoundsRect(r);
    if (FIcon) SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon));
    // The window's frame may differ from the standard one (a style paints its own): the client
    // area keeps the size it was given, the window grows or shrinks around it.
    if (!IsIconic(FHandle) && FWindowState == wsNormal) {
      if (ClientWidth() != designed.Width()) SetClientWidth(designed.Width());
      if (ClientHeight() != designed.Height()) SetClientHeight(designed.Height());
    }
  }
}

TRect TCustomForm::GetClientRect() const {
  if (HandleAllocated() && !IsIconic(FHandle)) return TScrollingWinControl::GetClientRect();
  // Without a window: the bounds less the frame the window will have.
  DWORD style = Parent() ? WS_CHILD : 0, ex = 0;
  FrameStyle(style, ex);
  TRect frame(0, 0, 0, 0);
  AdjustWindowRectExForDpi(&frame, style, false, ex, UINT(FCurrentPPI));
  return {0, 0, std::max(0, FWidth - frame.Width()), std::max(0, FHeight - frame.Height())};
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (v == FBorderStyle) return;
  int cw = ClientWidth(), ch = ClientHeight();
  FBorderStyle = v;
  if (HandleAllocated() && !Parent()) RecreateWnd();
  // The client area keeps its size; the frame around it changes.
  if (!ComponentState().Contains(csLoading)) {
    SetClientWidth(cw);
    SetClientHeight(ch);
  }
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  if (v == FBorderIcons) return;
  FBorderIcons = v;
  if (HandleAllocated() && !Parent()) RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
  if (v == FFormStyle) return;
  if (v == fsMDIChild || v == fsMDIForm)
    throw EInvalidOperation(S("Form '") + Name() + u"': multiple-document forms are not supported");
  FFormStyle = v;
  if (HandleAllocated() && !Parent())
    SetWindowPos(FHandle, v == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetPosition(TPosition v) { FPosition = v; }

TWindowState TCustomForm::WindowState() const {
  if (HandleAllocated() && IsWindowVisible(FHandle)) {
    if (IsIconic(FHandle)) return wsMinimized;
    if (IsZoomed(FHandle)) return wsMaximized;
    return wsNormal;
  }
  return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState v) {
  FWindowState = v;
  if (HandleAllocated() && !Parent() && IsWindowVisible(FHandle)) {
    static constexpr int kShow[] = {SW_RESTORE, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    ShowWindow(FHandle, kShow[v]);
  }
}

void TCustomForm::SetIcon(HICON v) {
  FIcon = v;
  if (HandleAllocated()) SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(v));
}

TMonitor* TCustomForm::Monitor() {
  if (HandleAllocated()) return Screen->MonitorFromWindow(FHandle);
  return Screen->MonitorFromRect(BoundsRect());
}

// ---- density --------------------------------------------------------------------------------------

void TCustomForm::SetPixelsPerInch(int v) {
  if (v < 24 || v > 960)
    throw EPropertyError(S("Form '") + Name() + u"': PixelsPerInch " + Utf8ToString(std::to_string(v)) +
                         u" is not a density from 24 to 960");
  FPixelsPerInch = v;
  // While the description is read, the coordinates that follow are at this density.
  if (ComponentState().Contains(csLoading) || !HandleAllocated()) FCurrentPPI = v;
}

TMonitor* TCustomForm::TargetMonitor() {
  TCustomForm* main = Application->MainForm();
  auto formMonitor = [](TCustomForm* f) -> TMonitor* {
    return f && f->HandleAllocated() ? Screen->MonitorFromWindow(f->Handle()) : nullptr;
  };
  TMonitor* m = nullptr;
  switch (FPosition) {
    case poMainFormCenter:
      if (main != this) m = formMonitor(main);
      break;
    case poOwnerFormCenter:
      m = formMonitor(dynamic_cast<TCustomForm*>(Owner()));
      if (!m && main != this) m = formMonitor(main);
      break;
    case poScreenCenter:
    case poDesktopCenter:
    case poDefault:
    case poDefaultPosOnly:
      switch (FDefaultMonitor) {
        case dmMainForm:
          if (main != this) m = formMonitor(main);
          break;
        case dmActiveForm: {
          TCustomForm* active = Screen->ActiveForm();
          if (active != this) m = formMonitor(active);
          if (!m && main != this) m = formMonitor(main);
          break;
        }
        default: break;
      }
      if (!m) m = Screen->PrimaryMonitor();
      break;
    default: break;
  }
  if (!m) m = HandleAllocated() ? Screen->MonitorFromWindow(FHandle) : Screen->MonitorFromRect(BoundsRect());
  return m;
}

void TCustomForm::ScaleToMonitor() {
  if (!Scaled() || Parent()) return;
  TMonitor* m = TargetMonitor();
  int ppi = m ? m->PixelsPerInch() : Screen->PixelsPerInch();
  if (ppi != FCurrentPPI) ScaleForPPI(ppi);
}

void TCustomForm::ScaleForPPI(int newPPI) {
  if (newPPI <= 0) return;
  TScrollingWinControl::ScaleForPPI(newPPI);
  FCurrentPPI = newPPI;
  FPixelsPerInch = newPPI;
}

void TCustomForm::ScaleControlBounds(int M, int D) {
  if (Parent()) {
    TScrollingWinControl::ScaleControlBounds(M, D);
    return;
  }
  // A top-level form keeps its place; its client area scales (ChangeScale applies it once
  // the constraints are scaled). At a density change the window manager's rectangle applies.
}

void TCustomForm::ChangeScale(int M, int D, bool isDpiChange) {
  if (Parent() || M == D) {
    TScrollingWinControl::ChangeScale(M, D, isDpiChange);
    return;
  }
  int cw = MulDiv(ClientWidth(), M, D), ch = MulDiv(ClientHeight(), M, D);
  DisableAlign();
  TFinally realign([this] { EnableAlign(); });
  TScrollingWinControl::ChangeScale(M, D, isDpiChange);
  if (FScalingBounds) {
    // The frame at the density the form has now (a density change has set it already).
    int ppi = FCurrentPPI;
    DWORD style = 0, ex = 0;
    FrameStyle(style, ex);
    TRect frame(0, 0, 0, 0);
    AdjustWindowRectExForDpi(&frame, style, false, ex, UINT(ppi));
    SetBounds(FLeft, FTop, cw + frame.Width(), ch + frame.Height());
  }
}

void TCustomForm::WMDpiChanged(TMessage& m) {
  int ppi = HIWORD(m.WParam);
  auto* r = reinterpret_cast<const TRect*>(m.LParam);
  m.Result = 0;
  if (Scaled() && ppi != FCurrentPPI && !FInDpiChange) {
    TFlagScope changing(FInDpiChange);
    DisableAlign();
    TFinally realign([this] { EnableAlign(); });
    {
      TFlagScope keepBounds(FScalingBounds, false);
      ScaleForPPI(ppi);
    }
    if (r)
      SetWindowPos(FHandle, nullptr, r->Left, r->Top, r->Width(), r->Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  } else if (r) {
    SetWindowPos(FHandle, nullptr, r->Left, r->Top, r->Width(), r->Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

void TCustomForm::WMGetMinMaxInfo(TMessage& m) {
  DefaultHandler(m);
  auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
  if (!mmi) return;
  TSizeConstraints* c = Constraints();
  if (c->MinWidth() > 0) mmi->ptMinTrackSize.X = std::max<int>(mmi->ptMinTrackSize.X, c->MinWidth());
  if (c->MinHeight() > 0) mmi->ptMinTrackSize.Y = std::max<int>(mmi->ptMinTrackSize.Y, c->MinHeight());
  if (c->MaxWidth() > 0) {
    mmi->ptMaxTrackSize.X = std::min<int>(mmi->ptMaxTrackSize.X, c->MaxWidth());
    mmi->ptMaxSize.X = std::min<int>(mmi->ptMaxSize.X, c->MaxWidth());
  }
  if (c->MaxHeight() > 0) {
    mmi->ptMaxTrackSize.Y = std::min<int>(mmi->ptMaxTrackSize.Y, c->MaxHeight());
    mmi->ptMaxSize.Y = std::min<int>(mmi->ptMaxSize.Y, c->MaxHeight());
  }
  m.Result = 0;
}

// ---- showing --------------------------------------------------------------------------------------

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::BringToFront() {
  if (!HandleAllocated() || Parent()) {
    TScrollingWinControl::BringToFront();
    return;
  }
  if (IsWindowVisible(FHandle)) {
    SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetActiveWindow(FHandle);
  }
}

void TCustomForm::VisibleChanging() {
  if (FFormState.Contains(fsModal) && FVisible && !ComponentState().Contains(csDestroying))
    throw EInvalidOperation(S("Form '") + Name() + u"': a modal form cannot be hidden; set ModalResult");
}

void TCustomForm::PlaceForm() {
  TRect r = BoundsRect();
  const int w = r.Width(), h = r.Height();
  auto overForm = [&](TCustomForm* f) -> bool {
    if (!f || f == this || !f->HandleAllocated() || !IsWindowVisible(f->Handle())) return false;
    TRect fr;
    GetWindowRect(f->Handle(), &fr);
    r = CenteredIn(fr, w, h);
    // Kept on the work area of that form's monitor.
    if (TMonitor* m = Screen->MonitorFromWindow(f->Handle())) {
      TRect work = m->WorkareaRect();
      r.Offset(std::min(0, work.Right - r.Right), std::min(0, work.Bottom - r.Bottom));
      r.Offset(std::max(0, work.Left - r.Left), std::max(0, work.Top - r.Top));
    }
    return true;
  };
  switch (FPosition) {
    case poScreenCenter: {
      TMonitor* m = TargetMonitor();
      r = CenteredIn(m ? m->WorkareaRect() : Screen->WorkAreaRect(), w, h);
      break;
    }
    case poDesktopCenter: r = CenteredIn(Screen->DesktopRect(), w, h); break;
    case poMainFormCenter:
      if (!overForm(Application->MainForm())) r = CenteredIn(Screen->WorkAreaRect(), w, h);
      break;
    case poOwnerFormCenter:
      if (!overForm(dynamic_cast<TCustomForm*>(Owner())) && !overForm(Application->MainForm()))
        r = CenteredIn(Screen->WorkAreaRect(), w, h);
      break;
    default: return;
  }
  if (r != BoundsRect()) SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TCustomForm::CMShowingChanged(TMessage& message) {
  if (Parent()) {
    TScrollingWinControl::CMShowingChanged(message);
    return;
  }
  HWND h = Handle();
  if (Showing()) {
    {
      FFormState.Include(fsShowing);
      TFinally shown([this] { FFormState.Exclude(fsShowing); });
      DoShow();
      if (!FPositioned) {
        FPositioned = true;
        PlaceForm();
      }
    }
    int cmd = SW_SHOWNORMAL;
    if (FWindowState == wsMinimized) cmd = SW_SHOWMINIMIZED;
    else if (FWindowState == wsMaximized) cmd = SW_SHOWMAXIMIZED;
    ShowWindow(h, cmd);
    if (FWindowState != wsMinimized) SetActiveWindow(h);
  } else {
    DoHide();
    FWindowState = WindowState();
    if (IsWindowVisible(h)) ShowWindow(h, SW_HIDE);
  }
}

// ---- activation and focus -------------------------------------------------------------------------

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == FActiveControl) return;
  bool loading = ComponentState().Contains(csLoading);
  if (control && (control == this || GetParentForm(control, false) != this ||
                  (!loading && FVisible && !control->CanFocus())))
    throw EInvalidOperation(S("Form '") + Name() + u"': cannot make '" + control->Name() +
                            u"' the active control (not on the form, or disabled or invisible)");
  if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
  FActiveControl = control;
  if (FActiveControl) FActiveControl->FreeNotification(this);
  if (!loading && FActive && control && control->CanFocus()) ::vcl::SetFocus(control->Handle());
}

void TCustomForm::FocusChanged(TWinControl* control) {
  if (!control || control == this || !ContainsControl(control)) return;
  if (control == FActiveControl) return;
  if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
  FActiveControl = control;
  FActiveControl->FreeNotification(this);
}

void TCustomForm::SetFocusToActiveControl() {
  if (!HandleAllocated()) return;
  if (FActiveControl && FActiveControl->CanFocus()) {
    ::vcl::SetFocus(FActiveControl->Handle());
    return;
  }
  TWinControl* first = FindNextControl(nullptr, true, true, false);
  if (first && first->CanFocus()) {
    FocusChanged(first);
    ::vcl::SetFocus(first->Handle());
    return;
  }
  ::vcl::SetFocus(FHandle);
}

bool TCustomForm::CanFocus() const {
  if (Parent()) return TScrollingWinControl::CanFocus();
  return FVisible && Enabled();
}

void TCustomForm::SetFocus() {
  if (Parent()) {
    TScrollingWinControl::SetFocus();
    return;
  }
  if (!CanFocus())
    throw EInvalidOperation(S("Cannot focus a disabled or invisible window (form '") + Name() + u"')");
  if (GetActiveWindow() != Handle()) SetActiveWindow(FHandle);
  else SetFocusToActiveControl();
}

void TCustomForm::WMActivate(TMessage& m) {
  bool active = LOWORD(m.WParam) != WA_INACTIVE;
  m.Result = 0;
  if (active) {
    FActive = true;
    FFormState.Include(fsActivated);
    Screen->SetActiveForm(this);
    Application->SetActive(true);
    if (!HIWORD(m.WParam)) SetFocusToActiveControl();  // not while minimised
    Activate();
  } else {
    if (TWinControl* c = ControlOfWindow(GetFocus())) FocusChanged(c);
    FActive = false;
    Deactivate();
    if (Screen->ActiveForm() == this) Screen->SetActiveForm(nullptr);
  }
}

void TCustomForm::WMSizeState(TMessage& m) {
  // A hidden window keeps the state it is to show in.
  if (Parent() || !IsWindowVisible(FHandle)) return;
  if (m.WParam == SIZE_MINIMIZED) FWindowState = wsMinimized;
  else if (m.WParam == SIZE_MAXIMIZED) FWindowState = wsMaximized;
  else if (m.WParam == SIZE_RESTORED) FWindowState = wsNormal;
}

// ---- keyboard ---------------------------------------------------------------------------------------

void TCustomForm::CMDialogKey(TMessage& message) {
  Word key = KeyCharCode(message);
  TShiftState shift = KeyDataToShiftState(KeyData(message));
  if (!shift.Contains(ssAlt) && !shift.Contains(ssCtrl)) {
    TWinControl* current = ControlOfWindow(GetFocus());
    if (!current || !ContainsControl(current) || current == this) current = FActiveControl;
    switch (key) {
      case VK_TAB:
        SelectNext(current, !shift.Contains(ssShift), true);
        message.Result = 1;
        return;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        // Arrows move within the group of the focused control (its parent's children).
        if (current && current != this && current->Parent()) {
          current->Parent()->SelectNext(current, key == VK_RIGHT || key == VK_DOWN, false);
          message.Result = 1;
          return;
        }
        break;
      default: break;
    }
  }
  TScrollingWinControl::CMDialogKey(message);
}

// ---- closing ----------------------------------------------------------------------------------------

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application->MainForm() == this) {
    Application->MainFormClosed();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() { PostMessageW(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  switch (action) {
    case caNone: FModalResult = mrNone; break;
    case caFree: Release(); break;
    default: break;
  }
}

namespace {

// The enabled, visible top-level windows of the application other than `except`; they are
// disabled while a modal form runs.
struct TTaskWindows {
  HWND Except;
  std::vector<HWND> List;
};

BOOL DisableWindow(HWND h, LPARAM lp) {
  auto* t = reinterpret_cast<TTaskWindows*>(lp);
  if (h != t->Except && IsWindowVisible(h) && IsWindowEnabled(h) &&
      !(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_NOACTIVATE)) {
    t->List.push_back(h);
  }
  return true;
}

}  // namespace

TModalResult TCustomForm::ShowModal() {
  if (FVisible || !Enabled() || FFormState.Contains(fsModal) || Parent())
    throw ECannotShowModal(S("Cannot make a visible window modal (form '") + Name() + u"')");
  if (GetCapture()) SendMessageW(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState.Include(fsModal);
  HWND previous = GetActiveWindow();
  Application->ModalStarted();
  TTaskWindows disabled{Handle(), {}};
  EnumWindows(&DisableWindow, reinterpret_cast<LPARAM>(&disabled));
  for (HWND h : disabled.List) EnableWindow(h, false);
  TModalResult result = mrNone;
  auto restore = [&] {
    for (HWND h : disabled.List)
      if (IsWindow(h)) EnableWindow(h, true);
    Application->ModalFinished();
    FFormState.Exclude(fsModal);
  };
  try {
    Show();
    try {
      Perform(CM_ACTIVATE, 0, 0);
      FModalResult = mrNone;
      do {
        if (!Application->HandleModalMessage()) {
          // Nothing can ever happen any more (a headless desktop): the loop gives up.
          FModalResult = mrCancel;
        } else if (Application->Terminated()) {
          FModalResult = mrCancel;
        } else if (FModalResult != mrNone) {
          CloseModal();
        }
      } while (FModalResult == mrNone);
      result = FModalResult;
      Perform(CM_DEACTIVATE, 0, 0);
    } catch (...) {
      FFormState.Exclude(fsModal);
      if (HandleAllocated()) Hide();
      throw;
    }
    FFormState.Exclude(fsModal);
    Hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  if (previous && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
  return result;
}

// ---- painting ---------------------------------------------------------------------------------------

void TCustomForm::Paint() { OnPaint(this); }

void TCustomForm::PaintWindow(HDC dc) {
  TCanvasBinding bound(FCanvas.get(), dc);
  Paint();
}

// ---- messages ---------------------------------------------------------------------------------------

void TCustomForm::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CLOSE:
      Close();
      message.Result = 0;
      return;
    case WM_ACTIVATE:
      if (!Parent()) {
        WMActivate(message);
        return;
      }
      break;
    case WM_ACTIVATEAPP:
      Application->SetActive(message.WParam != 0);
      break;
    case WM_GETMINMAXINFO:
      WMGetMinMaxInfo(message);
      return;
    case WM_DPICHANGED:
      WMDpiChanged(message);
      return;
    case WM_SIZE:
      WMSizeState(message);
      break;
    case WM_SETFOCUS:
      // The form's own window got the focus: it goes on to the active control.
      if (!Parent() && FActiveControl && FActiveControl != this && FActiveControl->CanFocus() &&
          FActiveControl->HandleAllocated()) {
        ::vcl::SetFocus(FActiveControl->Handle());
        return;
      }
      break;
    case CM_FOCUSCHANGED: {
      auto* c = dynamic_cast<TWinControl*>(reinterpret_cast<TControl*>(message.LParam));
      FocusChanged(c);
      if (!Parent()) Screen->FocusChanged(c);
      break;
    }
    case CM_RELEASE:
      // Freed by the message loop when it retrieves the posted message (nothing of the
      // form's window procedure runs after that); a sent one is posted.
      PostMessageW(FHandle, CM_RELEASE, 0, 0);
      return;
    case CM_ACTIVATE:
    case CM_DEACTIVATE:
      message.Result = 0;
      return;
    default: break;
  }
  TScrollingWinControl::Dispatch(message);
}

}  // namespace vcl
