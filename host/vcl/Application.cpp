#include "host/vcl/Application.h"

#include <cstdio>
#include <string_view>

#include "host/classes/TypInfo.h"
#include "host/platform/Platform.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Hints.h"
#include "host/vcl/Screen.h"
#include "host/vcl/StdCtrls.h"
#include "host/win/WinUser.h"

namespace vcl {

const TClass TApplication::Class = TClass::Define<TApplication, TComponent>(u"TApplication");

namespace {

constexpr UINT_PTR kHintTimerId = 1;
constexpr const Char* kAppWindowClass = u"TApplication";

bool Headless() {
  return platform::HasCurrentBackend() ? std::string_view(platform::CurrentBackend().Name()) == "headless"
                                       : std::string_view(platform::CreateDefaultBackend()->Name()) == "headless";
}

bool IsKeyMessage(UINT m) {
  return m == WM_KEYDOWN || m == WM_SYSKEYDOWN || m == WM_KEYUP || m == WM_SYSKEYUP ||
         m == WM_CHAR || m == WM_SYSCHAR;
}

// The control whose hint applies at a control: the control itself or the first parent that
// shows hints.
TControl* GetHintControl(TControl* c) {
  while (c && !c->ShowHint()) c = c->Parent();
  if (c && c->ComponentState().Contains(csDesigning)) return nullptr;
  return c;
}

void ControlException(TObject* sender) { GetApplication()->HandleException(sender); }

}  // namespace

const TClass* HintWindowClass = &THintWindow::Class;

TApplication* GetApplication() {
  // Never freed: windows and forms may still reach it while the process ends.
  static TApplication* app = new TApplication(nullptr);
  return app;
}

String GetShortHint(StringView hint) {
  size_t bar = hint.find(u'|');
  return String(bar == StringView::npos ? hint : hint.substr(0, bar));
}

String GetLongHint(StringView hint) {
  size_t bar = hint.find(u'|');
  return String(bar == StringView::npos ? hint : hint.substr(bar + 1));
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  // Exceptions raised while a control handles a message end up here, not in the window
  // manager.
  SetControlExceptionHandler(&ControlException);
}

TApplication::~TApplication() {
  StopHintTimer();
  DestroyComponents();
  if (FHandle) DestroyWindow(FHandle);
}

void TApplication::Initialize() {
  FTerminate = false;
}

void TApplication::SetTitle(StringView v) {
  FTitle = String(v);
  if (FHandle) SetWindowText(FHandle, FTitle);
}

LRESULT TApplication::WndProcThunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TApplication* app = GetApplication();
  if (app->FHandle == hwnd) return app->AppWndProc(msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND TApplication::Handle() {
  if (!FHandle) {
    static bool registered = [] {
      WNDCLASSEXW wc;
      wc.lpfnWndProc = &TApplication::WndProcThunk;
      wc.lpszClassName = kAppWindowClass;
      return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    FHandle = CreateWindowExW(0, kAppWindowClass, FTitle.c_str(), WS_POPUP, 0, 0, 0, 0,
                              HWND_MESSAGE, nullptr, nullptr, nullptr);
  }
  return FHandle;
}

LRESULT TApplication::AppWndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kHintTimerId) {
        HintTimerExpired();
        return 0;
      }
      break;
    default: break;
  }
  return DefWindowProcW(FHandle, msg, wp, lp);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FMainForm) FMainForm = nullptr;
  if (component == FHintWindow) FHintWindow = nullptr;
  if (component == FHintControl) {
    // Its hint goes with it.
    FHintControl = nullptr;
    FHintActive = false;
    StopHintTimer();
    HideHint();
  }
  if (component == FMouseControl) FMouseControl = nullptr;
  if (component == FHintSuppressed) FHintSuppressed = nullptr;
}


void TApplication::EndCreateForm(TCustomForm* form, void** ref) {
  if (!form) return;
  // The first form created becomes the main form already while it is built (its OnCreate
  // may ask for it).
  bool first = !FMainForm;
  if (first) {
    FMainForm = form;
    FMainForm->FreeNotification(this);
  }
  try {
    form->AfterConstruction();
  } catch (...) {
    if (ref) *ref = nullptr;
    delete form;  // the main form is forgotten through its free notification
    throw;
  }
}

void TApplication::ModalStarted() { ++FModalLevel; }
void TApplication::ModalFinished() {
  if (FModalLevel > 0) --FModalLevel;
}

bool TApplication::HandleModalMessage() {
  MSG msg;
  if (ProcessMessage(msg)) return true;
  Idle(msg);
  if (FTerminate) return true;
  return WaitMessage() != 0;
}

void TApplication::Run() {
  if (FMainForm && FShowMainForm) {
    // A main form stored minimised or maximised shows in that state.
    FMainForm->Show();
  }
  while (!FTerminate) {
    MSG msg;
    if (ProcessMessage(msg)) continue;
    Idle(msg);
    if (FTerminate) break;
    if (!WaitMessage()) {
      // Nothing can ever arrive (a headless desktop with nothing due).
      break;
    }
  }
}

void TApplication::Terminate() {
  // The loop ends when it retrieves the quit message, after what is already queued.
  PostQuitMessage(0);
}

void TApplication::MainFormClosed() { Terminate(); }

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) {
    Idle(msg);
    if (!FTerminate) WaitMessage();
  }
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminate = true;
    return true;
  }
  try {
    if (msg.message == CM_RELEASE) {
      // A form asked to be freed once what was queued before had been handled.
      if (auto* form = dynamic_cast<TCustomForm*>(FindControl(msg.hwnd))) {
        delete form;
        return true;
      }
    }
    bool handled = false;
    OnMessage(msg, handled);
    if (!handled && !IsHintMsg(msg) && !IsKeyMsg(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::Idle(const MSG& msg) {
  try {
    DoMouseIdle();
    bool done = true;
    OnIdle(this, done);
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::HandleException(TObject* sender) {
  std::exception_ptr p = std::current_exception();
  if (!p) return;
  try {
    std::rethrow_exception(p);
  } catch (const EAbort&) {
    // Silent by design: it only unwinds.
  } catch (const std::exception& e) {
    if (OnException) OnException(sender, e);
    else ShowException(e);
  } catch (...) {
    std::runtime_error unknown("An exception of an unknown type reached the message loop");
    if (OnException) OnException(sender, unknown);
    else ShowException(unknown);
  }
}

void TApplication::SetActive(bool active) {
  if (active == FActive) return;
  FActive = active;
  if (active) OnActivate(this);
  else {
    CancelHint();
    OnDeactivate(this);
  }
}

bool TApplication::IsKeyMsg(MSG& msg) {
  // Dialog keys and accelerators go to the focused control first (which passes what it does
  // not use to its form: CM_DIALOGKEY, CM_DIALOGCHAR).
  return IsKeyMessage(msg.message) && IsControlKeyMsg(msg);
}

void TApplication::ShowException(const std::exception& e) {
  String text = Utf8ToString(e.what());
  if (!text.empty() && text.back() > u'.') text += u'.';
  String title = FTitle.empty() ? String(u"Error") : FTitle;
  if (Headless()) {
    std::fprintf(stderr, "%s: %s\n", StringToUtf8(title).c_str(), StringToUtf8(text).c_str());
    return;
  }
  ShowMessageBox(text, title);
}

// ---- hints --------------------------------------------------------------------------------------

void TApplication::SetShowHint(bool v) {
  if (v == FShowHint) return;
  FShowHint = v;
  if (!v) {
    CancelHint();
    delete FHintWindow;
    FHintWindow = nullptr;
  }
}

void TApplication::SetHintColor(TColor v) {
  FHintColor = v;
  if (FHintWindow) FHintWindow->SetColor(v);
}

void TApplication::SetHint(StringView v) {
  if (v == FHint) return;
  FHint = String(v);
  OnHint(this);
}

void TApplication::StartHintTimer(int ms, THintTimerMode mode) {
  StopHintTimer();
  FTimerMode = mode;
  FHintTimer = SetTimer(Handle(), kHintTimerId, UINT(std::max(ms, 1)), nullptr);
}

void TApplication::StopHintTimer() {
  if (FHintTimer && FHandle) KillTimer(FHandle, kHintTimerId);
  FHintTimer = 0;
  FTimerMode = THintTimerMode::None;
}

void TApplication::HintTimerExpired() {
  THintTimerMode mode = FTimerMode;
  StopHintTimer();
  TPoint p;
  GetCursorPos(&p);
  switch (mode) {
    case THintTimerMode::Show:
    case THintTimerMode::Reshow: ActivateHint(p); break;
    case THintTimerMode::Hide: HideHint(); break;
    default: break;
  }
}

void TApplication::HideHint() {
  if (FHintWindow && FHintWindow->HandleAllocated() && IsWindowVisible(FHintWindow->Handle()))
    FHintWindow->ReleaseHandle();
}

void TApplication::Watch(TComponent* c) {
  if (c) c->FreeNotification(this);
}

void TApplication::Unwatch(TComponent* c) {
  // One notification serves every field that refers to the component.
  if (c && c != FHintControl && c != FMouseControl && c != FHintSuppressed && c != FMainForm &&
      c != FHintWindow)
    c->RemoveFreeNotification(this);
}

void TApplication::SetHintSuppressed(TControl* c) {
  TControl* old = FHintSuppressed;
  FHintSuppressed = c;
  Watch(c);
  Unwatch(old);
}

void TApplication::CancelHint() {
  if (FHintControl) {
    HideHint();
    TControl* old = FHintControl;
    FHintControl = nullptr;
    Unwatch(old);
  }
  FHintActive = false;
  StopHintTimer();
}

void TApplication::HintMouseMessage(TControl* control, const TMessage& msg) {
  if (!FShowHint) return;
  TPoint p;
  GetCursorPos(&p);
  TControl* under = FindDragTarget(p, true);
  TControl* hc = GetHintControl(under);
  TControl* longHint = under;
  while (longHint && longHint->Hint().empty()) longHint = longHint->Parent();
  SetHint(longHint ? GetLongHint(longHint->Hint()) : String());
  if (hc != FHintSuppressed) SetHintSuppressed(nullptr);
  if (!hc || !hc->ShowHint() || hc == FHintSuppressed) {
    CancelHint();
    return;
  }
  if (hc == FHintControl && FHintCursorRect.Contains(p)) return;
  bool wasActive = FHintActive;
  int pause = wasActive ? FHintShortPause : FHintPause;
  hc->Perform(CM_HINTSHOWPAUSE, WPARAM(wasActive), reinterpret_cast<LPARAM>(&pause));
  CancelHint();
  FHintActive = wasActive;
  FHintControl = hc;
  Watch(hc);
  FHintCursorRect = hc->ClientToScreen(hc->ClientRect());
  StartHintTimer(pause, THintTimerMode::Show);
}

void TApplication::EnsureHintWindow(const TClass* cls) {
  if (!cls || !cls->InheritsFrom(&THintWindow::Class))
    throw EInvalidOperation(S("The hint window class ") +
                            (cls ? String(cls->ClassName()) : String(u"(none)")) +
                            u" does not descend from THintWindow");
  if (FHintWindow && FHintWindow->ClassType() == cls) return;
  delete FHintWindow;
  FHintWindow = nullptr;
  FHintWindow = static_cast<THintWindow*>(cls->Create(this));
  FHintWindow->SetColor(FHintColor);
}

void TApplication::ActivateHint(TPoint cursorPos) {
  TControl* control = GetHintControl(FindDragTarget(cursorPos, true));
  if (!control || !FShowHint) {
    CancelHint();
    return;
  }
  if (control != FHintControl) {
    TControl* old = FHintControl;
    FHintControl = control;
    Watch(control);
    Unwatch(old);
  }
  THintInfo info;
  info.HintControl = control;
  info.HintWindowClass = HintWindowClass;
  TMonitor* monitor = Screen->MonitorFromPoint(cursorPos);
  int ppi = monitor ? monitor->PixelsPerInch() : Screen->PixelsPerInch();
  // Below the pointer's arrow.
  info.HintPos = {cursorPos.X, cursorPos.Y + MulDiv(20, ppi, 96)};
  info.HintMaxWidth = monitor ? monitor->Width() : Screen->Width();
  info.HintColor = FHintColor;
  info.CursorRect = control->ClientRect();
  info.CursorPos = control->ScreenToClient(cursorPos);
  info.HintStr = GetShortHint(control->Hint());
  info.HideTimeout = FHintHidePause;
  bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow) OnShowHint(info.HintStr, canShow, info);
  // The control may have gone while it answered.
  if (FHintControl != control) return;
  FHintActive = canShow;
  if (canShow && !info.HintStr.empty()) {
    EnsureHintWindow(info.HintWindowClass ? info.HintWindowClass : &THintWindow::Class);
    if (FHintWindow->CurrentPPI() != ppi) FHintWindow->ScaleForPPI(ppi);
    FHintWindow->SetColor(info.HintColor);
    // The hint is drawn in the style of the control it describes: the StyleName of the control
    // or of its nearest parent that names one.
    const TControl* named = control;
    while (named && named->StyleName().empty()) named = named->Parent();
    FHintWindow->SetStyleName(named ? StringView(named->StyleName()) : StringView());
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    r.Offset(info.HintPos.X, info.HintPos.Y);
    FHintCursorRect = control->ClientToScreen(info.CursorRect);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    if (info.ReshowTimeout > 0) StartHintTimer(info.ReshowTimeout, THintTimerMode::Reshow);
    else if (info.HideTimeout > 0) StartHintTimer(info.HideTimeout, THintTimerMode::Hide);
    return;
  }
  if (info.ReshowTimeout > 0) StartHintTimer(info.ReshowTimeout, THintTimerMode::Reshow);
  else HideHint();
}

bool TApplication::IsHintMsg(const MSG& msg) {
  // Keys, clicks and activation changes end a shown or pending hint (the window class
  // decides which messages do).
  if (FHintControl || FHintActive) {
    bool ends = FHintWindow ? FHintWindow->IsHintMsg(msg)
                            : (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                                  (msg.message > WM_MOUSEMOVE && msg.message <= WM_MOUSELAST);
    if (ends) {
      // The control's hint stays away until the mouse has been over another control.
      SetHintSuppressed(FHintControl);
      CancelHint();
    }
  }
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
    TMessage m{msg.message, msg.wParam, msg.lParam, 0};
    HintMouseMessage(FindControl(msg.hwnd), m);
  }
  return false;
}

void TApplication::DoMouseIdle() {
  TPoint p;
  if (!GetCursorPos(&p)) return;
  TControl* control = FindDragTarget(p, true);
  if (control != FMouseControl) {
    TControl* old = FMouseControl;
    FMouseControl = control;
    Watch(control);
    Unwatch(old);
  }
  TControl* hc = control;
  while (hc && hc->Hint().empty()) hc = hc->Parent();
  SetHint(hc ? GetLongHint(hc->Hint()) : String());
}

}  // namespace vcl
