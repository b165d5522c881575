// TWinControl: the window of a control (created on demand, re-creatable), its children, the
// routing of window messages into the control's message chain, and painting.
#include <algorithm>

#include "host/gdi/DcGuards.h"
#include "host/gdi/GdiDraw.h"
#include "host/graphics/CanvasBinding.h"
#include "host/rtl/NumFormat.h"
#include "host/rtl/ScopeGuards.h"
#include "host/vcl/DragDrop.h"
#include "host/vcl/ControlsInternal.h"

namespace vcl {

namespace {

constexpr const Char* kControlProp = u"KxControl";

// The control whose window is being created: the class procedure attaches the window to it
// at the first message.
TWinControl* GCreationControl = nullptr;

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }

}  // namespace

// The procedure of every control window class: binds the new window to the control being
// created and hands the window on to the control's own procedure.
LRESULT InitWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWinControl* c = GCreationControl;
  if (!c) return DefWindowProcW(hwnd, msg, wp, lp);
  GCreationControl = nullptr;
  c->FHandle = hwnd;
  if (c->FDeadInstance) {
    FreeWndProcInstance(c->FDeadInstance);
    c->FDeadInstance = nullptr;
  }
  c->FObjectInstance = MakeWndProcInstance([c](HWND, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    TMessage message{m, w, l, 0};
    c->MainWndProc(message);
    return message.Result;
  });
  SetPropW(hwnd, kControlProp, c);
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, ProcToLong(c->FObjectInstance));
  return CallWindowProcW(c->FObjectInstance, hwnd, msg, wp, lp);
}

TWinControl* FindControl(HWND window) {
  if (!window || !IsWindow(window)) return nullptr;
  return static_cast<TWinControl*>(GetPropW(window, kControlProp));
}

TWinControl* FindVCLWindow(TPoint screenPos) {
  HWND h = WindowFromPoint(screenPos);
  while (h) {
    if (TWinControl* c = FindControl(h)) return c;
    h = GetParent(h);
  }
  return nullptr;
}

TControl* FindDragTarget(TPoint screenPos, bool allowDisabled) {
  TWinControl* w = FindVCLWindow(screenPos);
  if (!w) return nullptr;
  if (TControl* c = w->ControlAtPos(w->ScreenToClient(screenPos), allowDisabled)) return c;
  return w;
}

// ---- construction -----------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  FBrush = std::make_unique<TBrush>();
  FBrush->SetColor(FColor);
  FPadding = std::make_unique<TPadding>(this);
  FPadding->SetOnChange(TNotifyEvent(this, &TWinControl::PaddingChanged));
}

namespace {
// Frees the children of a control that is going away and detaches it from its parent.
void TearDown(TWinControl* self, std::vector<TControl*>& graphic,
              std::vector<TWinControl*>& windowed) {
  while (!windowed.empty() || !graphic.empty()) {
    TControl* c = !windowed.empty() ? static_cast<TControl*>(windowed.back()) : graphic.back();
    self->RemoveControl(c);
    delete c;
  }
}
}  // namespace

void TWinControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (ctl::CaptureControl() == this) SetCaptureControl(nullptr);
  if (FHandle) DestroyHandle();
  TearDown(this, FControls, FWinControls);
  if (FParent) FParent->RemoveControl(this);
}

TWinControl::~TWinControl() {
  if (FHandle) DestroyWindowHandle();
  TearDown(this, FControls, FWinControls);
  if (FParent) FParent->RemoveControl(this);
  if (FObjectInstance) FreeWndProcInstance(FObjectInstance);
  if (FDeadInstance) FreeWndProcInstance(FDeadInstance);
}

// ---- the window ---------------------------------------------------------------------------------

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND v) {
  if (FParentWindow == v) return;
  if (FParent) {
    FParentWindow = v;
    return;
  }
  if (FHandle && v) {
    FParentWindow = v;
    SetParent(nullptr);
    ::vcl::SetParent(FHandle, v);
    UpdateControlState();
    return;
  }
  DestroyHandle();
  FParentWindow = v;
  UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p = TCreateParams{};
  p.Caption = FText;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) {
    p.Style |= WS_CLIPCHILDREN;
    p.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!ComponentState().Contains(csDesigning) && !Enabled()) p.Style |= WS_DISABLED;
  if (FTabStop) p.Style |= WS_TABSTOP;
  if (UseRightToLeftReading()) p.ExStyle |= WS_EX_RTLREADING;
  if (UseRightToLeftScrollBar()) p.ExStyle |= WS_EX_LEFTSCROLLBAR;
  if (UseRightToLeftAlignment()) p.ExStyle |= WS_EX_RIGHT;
  p.X = FLeft;
  p.Y = FTop;
  p.Width = FWidth;
  p.Height = FHeight;
  p.WndParent = FParent ? FParent->FHandle : FParentWindow;
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WindowClass.lpfnWndProc = DefWindowProcW;
  p.WindowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  p.WinClassName = String(ClassName());
}

void TWinControl::CreateSubClass(TCreateParams& p, const Char* className) {
  WNDCLASSW wc;
  if (!GetClassInfoW(nullptr, className, &wc))
    throw EInvalidOperation(u"Control '" + Name() + u"': window class '" + String(className) +
                            u"' is not registered");
  UINT keep = p.WindowClass.style & (CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW);
  p.WindowClass = wc;
  p.WindowClass.style = (wc.style & ~(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS)) | keep;
  p.WindowClass.lpszClassName = nullptr;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (p.Style & WS_CHILD) {
    if (!p.WndParent && FParent) p.WndParent = FParent->Handle();
    if (!p.WndParent)
      throw EInvalidOperation(u"Control '" + (Name().empty() ? String(ClassName()) : Name()) +
                              u"' has no parent window");
  }
  FDefWndProc = p.WindowClass.lpfnWndProc ? p.WindowClass.lpfnWndProc : DefWindowProcW;
  WNDCLASSW existing;
  bool registered = GetClassInfoW(nullptr, p.WinClassName.c_str(), &existing);
  if (!registered || existing.lpfnWndProc != &InitWndProc) {
    if (registered) UnregisterClassW(p.WinClassName.c_str(), nullptr);
    WNDCLASSW wc = p.WindowClass;
    wc.lpfnWndProc = &InitWndProc;
    wc.lpszClassName = p.WinClassName.c_str();
    if (!RegisterClassW(&wc))
      throw EOSError(u"Control '" + Name() + u"': the window class '" + p.WinClassName +
                     u"' could not be registered");
  }
  CreateWindowHandle(p);
  if (!FHandle)
    throw EOSError(u"Control '" + Name() + u"': the window could not be created");
  FSavedText.clear();
  // The window now holds the text; keep FText for reading before the window answers.
  TRect r;
  GetWindowRect(FHandle, &r);
  if (HWND parent = GetParent(FHandle); parent && (GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(nullptr, parent, &r);
  UpdateBoundsRect(r);
  SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  static int nextId = 1;
  HMENU id = (p.Style & WS_CHILD) ? ChildId(nextId++ & 0x7FFF) : nullptr;
  HWND h = nullptr;
  {
    TValueScope<TWinControl*> creating(GCreationControl, this);
    h = CreateWindowExW(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y,
                        p.Width, p.Height, p.WndParent, id, nullptr, p.Param);
  }
  GCreationControl = nullptr;
  if (!h) FHandle = nullptr;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  if (FParent) SetWindowPos(FHandle, FParent->PrecedingWindow(this), 0, 0, 0, 0,
                            SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->UpdateAnchorRules();
  FShowing = false;
  // Children's windows, for those that show.
  for (TWinControl* w : std::vector<TWinControl*>(FWinControls)) w->UpdateShowing();
  if (FFocusAfterRecreate) {
    FFocusAfterRecreate = false;
    ::vcl::SetFocus(FHandle);
  }
  Realign();
}

HWND TWinControl::PrecedingWindow(TWinControl* child) const {
  auto it = std::find(FWinControls.begin(), FWinControls.end(), child);
  if (it == FWinControls.end()) return HWND_TOP;
  for (++it; it != FWinControls.end(); ++it)
    if ((*it)->FHandle) return (*it)->FHandle;
  return HWND_TOP;
}

void TWinControl::DestroyWnd() {
  // The text lives in the window; keep it for the next window.
  if (FHandle) FText = GetWindowText(FHandle);
  // Canvases holding a DC of this window let it go.
  if (auto* cc = dynamic_cast<TCustomControl*>(this))
    if (auto* canvas = dynamic_cast<TControlCanvas*>(cc->Canvas())) canvas->FreeHandle();
  for (TControl* c : FControls)
    if (auto* g = dynamic_cast<TGraphicControl*>(c))
      if (auto* canvas = dynamic_cast<TControlCanvas*>(g->Canvas())) canvas->FreeHandle();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState.Include(csDestroyingHandle);
  HWND h = FHandle;
  if (h) DestroyWindow(h);
  FControlState.Exclude(csDestroyingHandle);
  FHandle = nullptr;
  FShowing = false;
  FTrackingMouse = false;
  FMouseControl = nullptr;
  if (FObjectInstance) {
    FreeWndProcInstance(FObjectInstance);
    FObjectInstance = nullptr;
  }
  if (FDeadInstance) {
    FreeWndProcInstance(FDeadInstance);
    FDeadInstance = nullptr;
  }
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* w : std::vector<TWinControl*>(FWinControls)) w->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  if (FControlState.Contains(csRecreating)) return;
  FControlState.Include(csRecreating);
  TFinally recreated([this] { FControlState.Exclude(csRecreating); });
  {
    HWND focus = GetFocus();
    bool hadFocus = focus && (focus == FHandle || IsChild(FHandle, focus));
    TWinControl* focused = hadFocus ? FindControl(focus) : nullptr;
    bool showing = FShowing;
    DestroyHandle();
    if (focused && focused != this && ContainsControl(focused)) focused->FFocusAfterRecreate = true;
    else if (hadFocus) FFocusAfterRecreate = true;
    if (FParent || showing) {
      UpdateControlState();
      if (!FHandle) HandleNeeded();
    }
  }
}

void TWinControl::UpdateShowing() {
  bool show = FVisible && !FControlState.Contains(csReadingState) &&
              !ComponentState().Contains(csDestroying);
  if (show) {
    if (!FHandle) CreateHandle();
    for (TWinControl* w : std::vector<TWinControl*>(FWinControls)) w->UpdateShowing();
  }
  if (FHandle && FShowing != show) {
    FShowing = show;
    bool done = false;
    TFinally undo([&] {
      if (!done) FShowing = !show;
    });
    Perform(CM_SHOWINGCHANGED, 0, 0);
    done = true;
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* c = this;
  while (c->FParent) {
    c = c->FParent;
    if (!c->FShowing) return;
  }
  if (c == this && !FParentWindow) {
    // A parentless control shows only when it makes a window of its own.
    TCreateParams p;
    CreateParams(p);
    if (p.Style & WS_CHILD) return;
  }
  UpdateShowing();
}

bool TWinControl::IsShowing() const {
  if (!FVisible) return false;
  if (FParent) return FParent->IsShowing();
  return true;
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                   (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMRecreateWnd(TMessage&) { RecreateWnd(); }

// ---- children --------------------------------------------------------------------------------------

void TWinControl::SetParent(TWinControl* parent) {
  if (FParent == parent) return;
  if (!parent && FHandle && !FParentWindow) {
    // The window goes with the parent it was made for.
    DestroyHandle();
  }
  TControl::SetParent(parent);
}

TControl* TWinControl::Controls(int index) const {
  size_t i = size_t(index);
  if (index < 0 || i >= FControls.size() + FWinControls.size())
    throw EListError(u"Control index out of bounds (" + IntToStr(index) + u")");
  if (i < FControls.size()) return FControls[i];
  return FWinControls[i - FControls.size()];
}

void TWinControl::InsertControl(TControl* c) {
  if (!c || c->FParent == this) return;
  Perform(CM_CONTROLLISTCHANGING, WPARAM(c), 1);
  c->FParent = this;
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    FWinControls.push_back(w);
    FTabList.push_back(w);
  } else {
    FControls.push_back(c);
  }
  // A child starts at the parent's density, whatever it was made with.
  if (c->FCurrentPPI != FCurrentPPI && !c->ComponentState().Contains(csReading) && c->FScaled)
    c->ChangeScale(FCurrentPPI, c->FCurrentPPI, true);
  if (!c->ComponentState().Contains(csReading)) {
    c->UpdateParentProperties();
    c->Perform(CM_PARENTDOUBLEBUFFEREDCHANGED, 0, 0);
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      if (FHandle) w->UpdateControlState();
    } else if (FHandle) {
      c->Invalidate();
    }
    c->UpdateAnchorRules();
    AlignControl(c);
  }
  Perform(CM_CONTROLCHANGE, WPARAM(c), 1);
  Perform(CM_CONTROLLISTCHANGE, WPARAM(c), 1);
}

void TWinControl::RemoveControl(TControl* c) {
  if (!c || c->FParent != this) return;
  Perform(CM_CONTROLCHANGE, WPARAM(c), 0);
  if (FMouseControl == c) FMouseControl = nullptr;
  if (ctl::CaptureControl() == c) SetCaptureControl(nullptr);
  // The root forgets a focus that goes with the control.
  for (TWinControl* root = this; root; root = root->FParent) {
    if (root->FEnteredControl && c == root->FEnteredControl) root->FEnteredControl = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(c);
        w && root->FEnteredControl && w->ContainsControl(root->FEnteredControl))
      root->FEnteredControl = nullptr;
  }
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    if (w->FHandle && !w->FParentWindow) {
      HWND focus = GetFocus();
      if (focus && (focus == w->FHandle || IsChild(w->FHandle, focus)) && FHandle)
        ::vcl::SetFocus(FHandle);
      w->DestroyHandle();
    }
    FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), w), FWinControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
  } else {
    if (FHandle) c->InvalidateControl(c->FVisible, false);
    FControls.erase(std::remove(FControls.begin(), FControls.end(), c), FControls.end());
  }
  c->FParent = nullptr;
  c->FMouseInClient = false;
  Perform(CM_CONTROLLISTCHANGE, WPARAM(c), 0);
  if (!ComponentState().Contains(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(TControl* control) const {
  for (const TControl* c = control; c; c = c->FParent)
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls,
                                    bool allLevels) const {
  auto hit = [&](TControl* c) -> bool {
    if (!c->FVisible && !(c->ComponentState().Contains(csDesigning) &&
                          !c->FControlStyle.Contains(csNoDesignVisible)))
      return false;
    if (!allowDisabled && !c->Enabled()) return false;
    if (!c->BoundsRect().Contains(pos)) return false;
    TPoint local{pos.X - c->FLeft, pos.Y - c->FTop};
    return c->Perform(CM_HITTEST, 0, PointToLParam(local)) != 0;
  };
  if (allowWinControls)
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
      if (hit(*it)) {
        if (allLevels) {
          TPoint local = (*it)->ParentToClient(pos, const_cast<TWinControl*>(this));
          if (TControl* deeper = (*it)->ControlAtPos(local, allowDisabled, true, true)) return deeper;
        }
        return *it;
      }
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

TControl* TWinControl::FindChildControl(StringView controlName) const {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (detail::SameTextIgnoreCase(c->Name(), controlName)) return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& m) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->FWindowProc(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  TMessage m{msg, 0, 0, 0};
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    m.Result = 0;
    c->FWindowProc(m);
  }
}

void TWinControl::SetZOrder(bool topMost) {
  if (!FParent) {
    if (FHandle)
      SetWindowPos(FHandle, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  auto& list = FParent->FWinControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (topMost)
    list.push_back(this);
  else
    list.insert(list.begin(), this);
  if (FHandle)
    SetWindowPos(FHandle, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- geometry ----------------------------------------------------------------------------------------

TRect TWinControl::GetClientRect() const {
  if (FHandle) {
    TRect r;
    ::vcl::GetClientRect(FHandle, &r);
    return r;
  }
  // Without a window: the window's frame as its styles would make it.
  TCreateParams p;
  const_cast<TWinControl*>(this)->CreateParams(p);
  TRect frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, p.Style, false, p.ExStyle);
  int w = std::max(0, FWidth - frame.Width());
  int h = std::max(0, FHeight - frame.Height());
  if (p.Style & WS_VSCROLL) w = std::max(0, w - GetSystemMetrics(SM_CXVSCROLL));
  if (p.Style & WS_HSCROLL) h = std::max(0, h - GetSystemMetrics(SM_CYHSCROLL));
  return {0, 0, w, h};
}

TPoint TWinControl::GetClientOrigin() const {
  if (FHandle) {
    TPoint p{0, 0};
    ::vcl::ClientToScreen(FHandle, &p);
    return p;
  }
  return TControl::GetClientOrigin();
}

HDC TWinControl::GetDeviceContext(HWND& window) {
  window = Handle();
  return GetDC(window);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (!CheckNewSize(width, height)) return;
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  if (FHandle && !IsIconic(FHandle)) {
    // WM_WINDOWPOSCHANGED and WM_SIZE bring the new bounds back and realign.
    SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    bool resized = width != FWidth || height != FHeight;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    UpdateAnchorRules();
    if (resized) {
      Realign();
      if (!ComponentState().Contains(csLoading)) Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
  // The new bounds are taken before the default handling sends WM_MOVE and WM_SIZE, so their
  // handlers (and OnResize) see the new place and size.
  if (FHandle) {
    TRect r;
    GetWindowRect(FHandle, &r);
    if (HWND parent = GetParent(FHandle); parent && (GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD))
      MapWindowPoints(nullptr, parent, &r);
    if (r != BoundsRect()) {
      UpdateBoundsRect(r);
      if (!FAnchorMove) RequestAlign();
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMSize(TMessage& m) {
  DefaultHandler(m);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
  if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

// ---- text and state ------------------------------------------------------------------------------------

String TWinControl::GetText() const {
  if (FHandle) return GetWindowText(FHandle);
  return FText;
}

void TWinControl::SetTextValue(StringView v) {
  FText = String(v);
  if (FHandle) SetWindowText(FHandle, FText);
}

void TWinControl::SetEnabledValue(bool v) {
  if (FEnabled == v) return;
  FEnabled = v;
  if (FHandle) EnableWindow(FHandle, v);
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TWinControl::SetTabStop(bool v) {
  if (FTabStop == v) return;
  FTabStop = v;
  if (FHandle) {
    LONG style = GetWindowLongW(FHandle, GWL_STYLE);
    SetWindowLongW(FHandle, GWL_STYLE, v ? (style | LONG(WS_TABSTOP)) : (style & ~LONG(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::SetBorderWidth(int v) {
  v = std::max(v, 0);
  if (FBorderWidth == v) return;
  FBorderWidth = v;
  Realign();
  Invalidate();
}

void TWinControl::SetDoubleBuffered(bool v) {
  if (FDoubleBuffered == v && !FParentDoubleBuffered) return;
  FDoubleBuffered = v;
  FParentDoubleBuffered = false;
  NotifyControls(CM_PARENTDOUBLEBUFFEREDCHANGED);
  Perform(CM_DOUBLEBUFFEREDCHANGED, 0, 0);
}

void TWinControl::SetParentDoubleBuffered(bool v) {
  if (FParentDoubleBuffered == v) return;
  FParentDoubleBuffered = v;
  if (v) Perform(CM_PARENTDOUBLEBUFFEREDCHANGED, 0, 0);
}

void TWinControl::CMParentDoubleBufferedChanged(TMessage&) {
  if (!FParentDoubleBuffered || !FParent) return;
  if (FDoubleBuffered == FParent->FDoubleBuffered) return;
  FDoubleBuffered = FParent->FDoubleBuffered;
  NotifyControls(CM_PARENTDOUBLEBUFFEREDCHANGED);
  Perform(CM_DOUBLEBUFFEREDCHANGED, 0, 0);
}

void TWinControl::SetParentBackground(bool v) {
  if (ParentBackground() == v) return;
  if (v)
    FControlStyle.Include(csParentBackground);
  else
    FControlStyle.Exclude(csParentBackground);
  Invalidate();
}

void TWinControl::Notification(TComponent* component, TOperation operation) {
  TControl::Notification(component, operation);
}

// ---- message chain -------------------------------------------------------------------------------------

void TWinControl::MainWndProc(TMessage& m) {
  try {
    FWindowProc(m);
  } catch (...) {
    if (TControlExceptionHandler h = ControlExceptionHandler()) {
      h(this);
      return;
    }
    throw;
  }
  if (m.Msg == WM_NCDESTROY) {
    // The window is gone: the control keeps its state for the next window; the procedure
    // handle is freed once this call has returned.
    FHandle = nullptr;
    FShowing = false;
    FTrackingMouse = false;
    FMouseControl = nullptr;
    if (FObjectInstance) {
      if (FDeadInstance) FreeWndProcInstance(FDeadInstance);
      FDeadInstance = FObjectInstance;
      FObjectInstance = nullptr;
    }
  }
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case CN_KEYDOWN:
      // Esc cancels a running drag wherever the focus is.
      if (m.WParam == VK_ESCAPE && CancelDrag()) {
        m.Result = 1;
        return;
      }
      break;
    case WM_NCHITTEST:
      TControl::WndProc(m);
      if (m.Result == HTTRANSPARENT &&
          ControlAtPos(ScreenToClient(LParamToPoint(m.LParam)), false) != nullptr)
        m.Result = HTCLIENT;
      return;
    case WM_CANCELMODE:
      if (FHandle && GetCapture() == FHandle && ctl::CaptureControl() &&
          ctl::CaptureControl()->FParent == this)
        ctl::CaptureControl()->Perform(WM_CANCELMODE, 0, 0);
      break;
    default: break;
  }
  if (IsMouseMessage(m.Msg) && m.Msg != WM_MOUSEWHEEL && m.Msg != WM_MOUSEHWHEEL) {
    if (m.Msg == WM_MOUSEMOVE && FHandle) {
      if (!FTrackingMouse) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = FHandle;
        TrackMouseEvent(&tme);
        FTrackingMouse = true;
      }
      TPoint p = MousePos(m);
      TControl* now = nullptr;
      TControl* capture = ctl::CaptureControl();
      if (capture && capture->FParent == this && !dynamic_cast<TWinControl*>(capture))
        now = capture->BoundsRect().Contains(p) ? capture : nullptr;
      else if (ClientRect().Contains(p)) {
        now = ControlAtPos(p, true);
        if (!now) now = this;
      }
      UpdateMouseControl(now);
    }
    if (IsControlMouseMsg(m)) {
      // The window still does its default part (a right button's release asks for the
      // context menu).
      if (m.Result == 0 && FHandle) m.Result = DefWindowProcW(FHandle, m.Msg, m.WParam, m.LParam);
      return;
    }
  }
  TControl::WndProc(m);
}

void TWinControl::UpdateMouseControl(TControl* now) {
  TControl* old = FMouseControl;
  if (old == now) return;
  FMouseControl = now;
  if (old && (old == this || old->FParent == this))
    old->Perform(CM_MOUSELEAVE, 0, LPARAM(old));
  if (now && FMouseControl == now) now->Perform(CM_MOUSEENTER, 0, LPARAM(now));
}

void TWinControl::WMMouseLeave(TMessage& m) {
  FTrackingMouse = false;
  // A graphic child holding the capture keeps the mouse until it lets go.
  TControl* capture = ctl::CaptureControl();
  if (!(capture && capture == FMouseControl && capture != this)) UpdateMouseControl(nullptr);
  DefaultHandler(m);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TControl* target = nullptr;
  TPoint p = MousePos(m);
  if (FHandle && GetCapture() == FHandle) {
    // While this window has the mouse captured, only a graphic child holding the capture
    // through it gets the messages.
    TControl* capture = ctl::CaptureControl();
    if (capture && capture->FParent == this && !dynamic_cast<TWinControl*>(capture))
      target = capture;
  } else {
    target = ControlAtPos(p, false);
  }
  if (!target) return false;
  TPoint local{p.X - target->FLeft, p.Y - target->FTop};
  TMessage forwarded{m.Msg, m.WParam, PointToLParam(local), 0};
  target->FWindowProc(forwarded);
  m.Result = forwarded.Result;
  return true;
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_PRINTCLIENT: WMPrintClient(m); return;
    case WM_SIZE: WMSize(m); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(m); return;
    case WM_SETFOCUS: WMSetFocus(m); return;
    case WM_KILLFOCUS: WMKillFocus(m); return;
    case WM_SETCURSOR: WMSetCursor(m); return;
    case WM_MOUSEACTIVATE: WMMouseActivate(m); return;
    case WM_MOUSELEAVE: WMMouseLeave(m); return;
    case WM_CONTEXTMENU:
      // A graphic child under the point has the first say.
      if (m.LParam != -1) {
        TControl* c = ControlAtPos(ScreenToClient(LParamToPoint(m.LParam)), false);
        if (c && !dynamic_cast<TWinControl*>(c)) {
          m.Result = c->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
          if (m.Result != 0) return;
        }
      }
      TControl::Dispatch(m);
      return;
    case WM_NCDESTROY: WMNCDestroy(m); return;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR: WMKeyMessage(m); return;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: WMReflected(m); return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(m); return;
    case CN_CHAR:
    case CN_SYSCHAR: CNChar(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_CHILDKEY: CMChildKey(m); return;
    case CM_FOCUSCHANGED: CMFocusChanged(m); return;
    case CM_ENTER: CMEnter(m); return;
    case CM_EXIT: CMExit(m); return;
    case CM_RECREATEWND: CMRecreateWnd(m); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); return;
    case CM_PARENTDOUBLEBUFFEREDCHANGED: CMParentDoubleBufferedChanged(m); return;
    case CM_SHOWHINTCHANGED:
      TControl::Dispatch(m);
      NotifyControls(CM_PARENTSHOWHINTCHANGED);
      return;
    case CM_BIDIMODECHANGED:
      TControl::Dispatch(m);
      NotifyControls(CM_PARENTBIDIMODECHANGED);
      // The window's extended styles carry the reading order.
      if (FHandle) RecreateWnd();
      return;
    default: TControl::Dispatch(m); return;
  }
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (FHandle) {
    if (m.Msg >= CN_CTLCOLORMSGBOX && m.Msg <= CN_CTLCOLORSTATIC) {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(FFont->Color()));
      SetBkColor(dc, ColorToRGB(FBrush->Color()));
      m.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
      return;
    }
    if (m.Msg >= CM_BASE && m.Msg <= CN_NOTIFY + 0x100) {
      // Control notifications mean nothing to the window's default procedure.
      m.Result = 0;
      return;
    }
    m.Result = CallWindowProcW(FDefWndProc, FHandle, m.Msg, m.WParam, m.LParam);
    return;
  }
  TControl::DefaultHandler(m);
}

void TWinControl::WMReflected(TMessage& m) {
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: child = reinterpret_cast<HWND>(m.LParam); break;
    case WM_NOTIFY:
      if (auto* hdr = reinterpret_cast<const NMHDR*>(m.LParam)) child = hdr->hwndFrom;
      break;
    case WM_DRAWITEM:
      if (auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam); d && d->CtlType != ODT_MENU)
        child = d->hwndItem;
      break;
    case WM_MEASUREITEM:
      if (auto* mi = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.LParam);
          mi && mi->CtlType != ODT_MENU && FHandle)
        child = GetDlgItem(FHandle, int(mi->CtlID));
      break;
    default: break;
  }
  if (child && child != FHandle) {
    if (TWinControl* c = FindControl(child)) {
      m.Result = c->Perform(m.Msg + CN_BASE, m.WParam, m.LParam);
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMNCDestroy(TMessage& m) {
  DefaultHandler(m);
  if (FHandle) RemovePropW(FHandle, kControlProp);
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (DragSourceControl()) {
    // The drag shows its own cursor.
    m.Result = 1;
    return;
  }
  if (reinterpret_cast<HWND>(m.WParam) == FHandle && LOWORD(m.LParam) == HTCLIENT) {
    TCursor cursor = FCursor;
    TPoint p;
    GetCursorPos(&p);
    if (TControl* c = ControlAtPos(ScreenToClient(p), false); c && c->Cursor() != crDefault)
      cursor = c->Cursor();
    if (cursor != crDefault) {
      ::vcl::SetCursor(CursorHandle(cursor));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMMouseActivate(TMessage& m) {
  // The graphic child under the pointer is asked first, then this control; without an answer
  // the window manager's default asks the parent window.
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  TMouseButton button = mbLeft;
  switch (HIWORD(m.LParam)) {
    case WM_RBUTTONDOWN: button = mbRight; break;
    case WM_MBUTTONDOWN: button = mbMiddle; break;
    default: break;
  }
  TShiftState shift = KeyboardStateToShiftState();
  int hitTest = short(LOWORD(m.LParam));
  TMouseActivate answer = maDefault;
  if (hitTest == HTCLIENT)
    if (TControl* c = ControlAtPos(p, false); c && !dynamic_cast<TWinControl*>(c))
      answer = c->MouseActivate(button, shift, p.X - c->Left(), p.Y - c->Top(), hitTest);
  if (answer == maDefault) answer = MouseActivate(button, shift, p.X, p.Y, hitTest);
  if (answer == maDefault) {
    DefaultHandler(m);
    return;
  }
  m.Result = LRESULT(answer);
}

void TWinControl::CMEnabledChanged(TMessage& m) {
  if (!Enabled() && FHandle) {
    HWND focus = GetFocus();
    if (focus && (focus == FHandle || IsChild(FHandle, focus))) {
      if (TWinControl* root = TopParent(); root && root != this && root->FHandle)
        ::vcl::SetFocus(root->FHandle);
    }
  }
  if (FHandle) EnableWindow(FHandle, Enabled());
  TControl::CMEnabledChanged(m);
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!FVisible && FParent && FHandle) {
    HWND focus = GetFocus();
    if (focus && (focus == FHandle || IsChild(FHandle, focus)) && FParent->FHandle)
      ::vcl::SetFocus(FParent->FHandle);
  }
  if (!FVisible && FHandle && !FParent && !FParentWindow) {
    UpdateShowing();
    return;
  }
  UpdateControlState();
}

void TWinControl::CMFontChanged(TMessage& m) {
  if (FHandle) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
  TControl::CMFontChanged(m);
}

void TWinControl::CMColorChanged(TMessage& m) {
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
  TControl::CMColorChanged(m);
}

void TWinControl::CMTextChanged(TMessage& m) { TControl::CMTextChanged(m); }

void TWinControl::CMParentColorChanged(TMessage& m) { TControl::CMParentColorChanged(m); }

void TWinControl::CMParentBiDiModeChanged(TMessage& m) { TControl::CMParentBiDiModeChanged(m); }

// ---- painting ---------------------------------------------------------------------------------------

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::WMPaint(TMessage& m) {
  if (!FDoubleBuffered || m.WParam) {
    if (!FControlState.Contains(csCustomPaint) && FControls.empty()) {
      DefaultHandler(m);
      return;
    }
    PaintHandler(m);
    return;
  }
  TRect cr = ClientRect();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, std::max(cr.Right, 1), std::max(cr.Bottom, 1));
  HBITMAP old = SelectObject(mem, bmp);
  TFinally release([&] {
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    EndPaint(FHandle, &ps);
  });
  // wParam == lParam tells the erase handler that it paints into the buffer.
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), reinterpret_cast<LPARAM>(mem));
  TMessage inner{WM_PAINT, reinterpret_cast<WPARAM>(mem), 0, 0};
  WMPaint(inner);
  BitBlt(dc, 0, 0, cr.Right, cr.Bottom, mem, 0, 0, SRCCOPY);
}

void TWinControl::PaintHandler(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  PAINTSTRUCT ps;
  bool own = !dc;
  if (own) dc = BeginPaint(FHandle, &ps);
  TFinally endPaint([&] {
    if (own) EndPaint(FHandle, &ps);
  });
  if (FControls.empty()) {
    PaintWindow(dc);
  } else {
    TSavedDC saved(dc);
    int clip = SIMPLEREGION;
    for (TControl* c : FControls)
      if (c->FVisible && c->FControlStyle.Contains(csOpaque)) {
        clip = ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
        if (clip == NULLREGION) break;
      }
    if (clip != NULLREGION) PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
}

void TWinControl::PaintWindow(HDC dc) {
  if (FDefWndProc == DefWindowProcW || !FHandle) return;
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  size_t i = 0;
  if (first) {
    auto it = std::find(FControls.begin(), FControls.end(), first);
    i = it == FControls.end() ? 0 : size_t(it - FControls.begin());
  }
  // A copy: painting code may change the child list.
  std::vector<TControl*> list(FControls);
  for (; i < list.size(); ++i) {
    TControl* c = list[i];
    if (std::find(FControls.begin(), FControls.end(), c) == FControls.end()) continue;
    bool visible = c->FVisible || (c->ComponentState().Contains(csDesigning) &&
                                   !c->FControlStyle.Contains(csNoDesignVisible));
    if (!visible) continue;
    TRect r = c->BoundsRect();
    if (!RectVisible(dc, &r)) continue;
    if (FControlState.Contains(csPaintCopy)) c->FControlState.Include(csPaintCopy);
    TFinally copied([c] { c->FControlState.Exclude(csPaintCopy); });
    TSavedDC saved(dc);
    OffsetViewportOrgEx(dc, c->FLeft, c->FTop, nullptr);
    IntersectClipRect(dc, 0, 0, c->FWidth, c->FHeight);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (FParent && FControlStyle.Contains(csParentBackground)) {
    DrawParentBackground(dc);
  } else if (!FDoubleBuffered || m.WParam == WPARAM(m.LParam)) {
    TRect r = ClientRect();
    FillRect(dc, &r, FBrush->Handle());
  }
  m.Result = 1;
}

void TWinControl::DrawParentBackground(HDC dc) {
  if (!FParent) return;
  int saved = SaveDC(dc);
  TPoint origin{FLeft, FTop};
  if (FHandle && FParent->FHandle) {
    origin = {0, 0};
    MapWindowPoints(FHandle, FParent->FHandle, &origin, 1);
  }
  OffsetViewportOrgEx(dc, -origin.X, -origin.Y, nullptr);
  FParent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
  FParent->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  RestoreDC(dc, saved);
}

void TWinControl::WMPrintClient(TMessage& m) {
  if (!m.WParam) {
    DefaultHandler(m);
    return;
  }
  FControlState.Include(csPrintClient);
  TFinally printed([this] { FControlState.Exclude(csPrintClient); });
  TSavedDC saved(reinterpret_cast<HDC>(m.WParam));
  TMessage paint{WM_PAINT, m.WParam, 0, 0};
  PaintHandler(paint);
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  HandleNeeded();
  FControlState.Include(csPaintCopy);
  int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, x, y, nullptr);
  SendMessageW(FHandle, WM_PRINT, reinterpret_cast<WPARAM>(dc),
               PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  RestoreDC(dc, saved);
  FControlState.Exclude(csPaintCopy);
}

void TWinControl::PaintTo(TCanvas* canvas, int x, int y) {
  canvas->Lock();
  TFinally unlock([canvas] { canvas->Unlock(); });
  PaintTo(canvas->Handle(), x, y);
}

// ---- TGraphicControl ------------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FCanvas->FreeHandle(); }

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    WMPaint(m);
    return;
  }
  TControl::Dispatch(m);
}

void TGraphicControl::WMPaint(TMessage& m) {
  if (!m.WParam || ComponentState().Contains(csDestroying)) return;
  FCanvas->FreeHandle();
  TCanvasBinding bound(FCanvas.get(), reinterpret_cast<HDC>(m.WParam));
  FCanvas->UpdateTextFlags();
  Paint();
}

// ---- TCustomControl --------------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  FControlState.Include(csCustomPaint);
}

TCustomControl::~TCustomControl() { FCanvas->FreeHandle(); }

void TCustomControl::PaintWindow(HDC dc) {
  FCanvas->FreeHandle();
  TCanvasBinding bound(FCanvas.get(), dc);
  FCanvas->UpdateTextFlags();
  Paint();
}

}  // namespace vcl

namespace vcl {

// ---- stored descriptions -------------------------------------------------------------------------

void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  // The root lists its components that are not controls (and parentless controls) first.
  if (root == this) TComponent::GetChildren(proc, root);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == root) proc(c);
  }
}

void TWinControl::SetChildOrder(TComponent* child, int order) {
  auto* c = dynamic_cast<TControl*>(child);
  if (!c || c->FParent != this) return;
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    auto it = std::find(FWinControls.begin(), FWinControls.end(), w);
    FWinControls.erase(it);
    order = std::clamp(order - int(FControls.size()), 0, int(FWinControls.size()));
    FWinControls.insert(FWinControls.begin() + order, w);
  } else {
    auto it = std::find(FControls.begin(), FControls.end(), c);
    FControls.erase(it);
    order = std::clamp(order, 0, int(FControls.size()));
    FControls.insert(FControls.begin() + order, c);
  }
}

void TWinControl::ReadState(TReader& reader) {
  {
    DisableAlign();
    TFinally realign([this] { EnableAlign(); });
    TControl::ReadState(reader);
    FixupTabList();
  }
  if (FParent && FParent->FHandle) UpdateControlState();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  FixupTabList();
  Realign();
}

}  // namespace vcl
