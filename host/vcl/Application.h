// The application: its message loop (Run, HandleMessage, ProcessMessages, OnMessage, OnIdle),
// the forms it creates (CreateForm, MainForm), the end of the program (Terminate), the
// handling of exceptions that reach the loop (OnException, ShowException), and the hint
// machinery: which control's hint shows when, in which hint window class.
#pragma once
#include <exception>

#include "host/classes/Component.h"
#include "host/vcl/Controls.h"
#include "host/win/WinTypes.h"

namespace vcl {

class TCustomForm;
class THintWindow;

// What a hint about to show looks like; CM_HINTSHOW passes it to the control (LParam points
// at a THintInfo), whose changes apply. A non-zero result cancels the hint.
struct THintInfo {
  TControl* HintControl = nullptr;
  const TClass* HintWindowClass = nullptr;
  TPoint HintPos;          // screen position of the hint window's top-left corner
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;        // client coordinates of HintControl: the hint stays while inside
  TPoint CursorPos;        // client coordinates of HintControl
  int ReshowTimeout = 0;   // > 0: show the hint again after this many milliseconds
  int HideTimeout = 0;     // the hint hides after this many milliseconds (HintHidePause)
  String HintStr;
  void* HintData = nullptr;
};

using TMessageEvent = TEvent<void(MSG& Msg, bool& Handled)>;
using TIdleEvent = TEvent<void(TObject* Sender, bool& Done)>;
using TExceptionEvent = TEvent<void(TObject* Sender, const std::exception& E)>;
using TShowHintEvent = TEvent<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// The class of the hint windows the application makes (THintWindow or a descendant).
extern const TClass* HintWindowClass;

class TApplication : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Prepares a run: clears Terminated (so a program, or a test, may run the loop again).
  void Initialize();

  // Creates a form owned by the application; the first form created becomes MainForm. `ref`
  // is set before the form reads its description, as handlers of OnCreate may use it.
  template <class T>
  void CreateForm(T*& ref) {
    ref = nullptr;
    T* form = nullptr;
    try {
      form = new T(this);
    } catch (...) {
      EndCreateForm(nullptr, nullptr);
      throw;
    }
    ref = form;
    EndCreateForm(form, reinterpret_cast<void**>(&ref));
  }
  template <class T>
  T* CreateForm() {
    T* f = nullptr;
    CreateForm(f);
    return f;
  }

  // Shows the main form and handles messages until the program is told to end (Terminate,
  // or the main form closes). A headless desktop on which nothing can happen any more (no
  // input, no message, no timer due) ends the loop too, as waiting would never end; then
  // Terminated stays false.
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminate; }
  // Handles every message waiting, then returns.
  void ProcessMessages();
  // Handles one message; with none waiting, idles (OnIdle, then waits for the next message).
  void HandleMessage();

  TCustomForm* MainForm() const { return FMainForm; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool v) { FShowMainForm = v; }
  bool MainFormOnTaskBar() const { return FMainFormOnTaskBar; }
  void SetMainFormOnTaskBar(bool v) { FMainFormOnTaskBar = v; }
  const String& Title() const { return FTitle; }
  void SetTitle(StringView v);
  // The application's own hidden window (hint timers, posted notifications).
  HWND Handle();
  bool Active() const { return FActive; }
  // Number of modal loops running.
  int ModalLevel() const { return FModalLevel; }
  void ModalStarted();
  void ModalFinished();

  // ---- exceptions ----
  // An exception reached the loop: OnException when set, else ShowException. EAbort is
  // silent.
  void HandleException(TObject* sender);
  // The default report: a message box on a real display, a line on the standard error
  // stream on a headless desktop.
  void ShowException(const std::exception& e);

  // ---- hints ----
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v);
  int HintPause() const { return FHintPause; }
  void SetHintPause(int v) { FHintPause = v; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int v) { FHintHidePause = v; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int v) { FHintShortPause = v; }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor v);
  // The hint text of the control under the mouse (its long part, after a '|').
  const String& Hint() const { return FHint; }
  void SetHint(StringView v);
  // Hides the hint and forgets the control it was about.
  void CancelHint();
  void HideHint();
  // Shows the hint of the control at a screen point at once.
  void ActivateHint(TPoint cursorPos);
  // The control under the mouse changed or the mouse moved over it (controls call this from
  // their mouse handling; the loop also watches every mouse message).
  void HintMouseMessage(TControl* control, const TMessage& msg);
  THintWindow* HintWindow() const { return FHintWindow; }
  TControl* HintControl() const { return FHintControl; }

  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TExceptionEvent OnException;
  TShowHintEvent OnShowHint;
  TNotifyEvent OnHint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // ---- framework hooks ----
  // The main form is closing: the program ends.
  void MainFormClosed();
  // The application became active or inactive (a form of it gained or lost the activation).
  void SetActive(bool active);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TCustomForm;
  // One message, or idling and waiting; false when nothing can ever arrive (a headless
  // desktop with no input, message or timer due).
  bool HandleModalMessage();
  // Builds the form from its stored description (the main form if it is the first); a form
  // whose description fails is freed and `ref` cleared before the error goes on.
  void EndCreateForm(TCustomForm* form, void** ref);
  bool ProcessMessage(MSG& msg);
  void Idle(const MSG& msg);
  bool IsKeyMsg(MSG& msg);
  bool IsHintMsg(const MSG& msg);
  void DoMouseIdle();
  static LRESULT WndProcThunk(HWND, UINT, WPARAM, LPARAM);
  LRESULT AppWndProc(UINT msg, WPARAM wp, LPARAM lp);

  // Hint state.
  enum class THintTimerMode { None, Show, Hide, Reshow };
  void Watch(TComponent* c);
  void Unwatch(TComponent* c);
  void SetHintSuppressed(TControl* c);
  void StartHintTimer(int ms, THintTimerMode mode);
  void StopHintTimer();
  void HintTimerExpired();
  void EnsureHintWindow(const TClass* cls);

  TCustomForm* FMainForm = nullptr;
  bool FTerminate = false;
  bool FShowMainForm = true;
  bool FMainFormOnTaskBar = false;
  bool FActive = false;
  int FModalLevel = 0;
  String FTitle;
  HWND FHandle = nullptr;

  bool FShowHint = true;
  int FHintPause = 500;
  int FHintHidePause = 2500;
  int FHintShortPause = 50;
  TColor FHintColor = clInfoBk;
  String FHint;
  THintWindow* FHintWindow = nullptr;
  TControl* FHintControl = nullptr;   // the control whose hint is pending or shown
  TControl* FMouseControl = nullptr;  // the control under the mouse
  TControl* FHintSuppressed = nullptr;  // a key or click ended its hint; not again until left
  bool FHintActive = false;           // a hint window is up (or just was: short pause)
  THintTimerMode FTimerMode = THintTimerMode::None;
  TRect FHintCursorRect;              // screen coordinates
  UINT_PTR FHintTimer = 0;
};

// The process-wide application, made on first use.
TApplication* GetApplication();
struct TApplicationAccess {
  TApplication* operator->() const { return GetApplication(); }
  operator TApplication*() const { return GetApplication(); }  // NOLINT(google-explicit-constructor)
};
inline constexpr TApplicationAccess Application{};

// The short part of a hint ("short|long" → "short") and the long part ("long"; the whole
// text when it has no '|').
String GetShortHint(StringView hint);
String GetLongHint(StringView hint);

}  // namespace vcl
