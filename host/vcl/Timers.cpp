// TTimer over window timers of one hidden message-only window.
#include "host/vcl/Timers.h"

#include "host/vcl/UtilWindow.h"

#include <cstdio>
#include <unordered_map>

#include "host/classes/TypInfo.h"
#include "host/win/WinUser.h"

namespace vcl {

namespace {


struct TTimerState {
  HWND Window = nullptr;
  bool DestroyingWindow = false;  // we are destroying it ourselves
  std::unordered_map<UINT_PTR, TTimer*> Running;  // window timer id -> timer
  UINT_PTR NextId = 1;  // ids are never reused, so a stale tick finds no timer
  TTimerErrorHandler ErrorHandler;
};

TTimerState& State() {
  static TTimerState s;
  return s;
}

void ReportError(const std::exception_ptr& error) {
  TTimerState& s = State();
  if (s.ErrorHandler) {
    try {
      s.ErrorHandler(error);
    } catch (...) {
      // A failing handler must not take the message loop down either.
      std::fprintf(stderr, "timer error handler failed\n");
    }
    return;
  }
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "exception in OnTimer: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "exception in OnTimer\n");
  }
}

LRESULT UtilWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

HWND UtilityWindow() {
  TTimerState& s = State();
  if (s.Window && IsWindow(s.Window)) return s.Window;
  s.Window = AllocateHWnd(&UtilWndProc, 0, HWND_MESSAGE);
  return s.Window;
}

void ReleaseUtilityWindowIfIdle() {
  TTimerState& s = State();
  if (!s.Running.empty() || !s.Window) return;
  HWND w = s.Window;
  s.Window = nullptr;
  s.DestroyingWindow = true;
  DestroyWindow(w);
  s.DestroyingWindow = false;
}

}  // namespace

struct TTimerDispatch {
  static void Tick(UINT_PTR id) {
    TTimerState& s = State();
    auto it = s.Running.find(id);
    if (it == s.Running.end()) return;  // killed after the tick was taken from the queue
    TTimer* timer = it->second;
    if (timer->ComponentState().Contains(csDesigning)) return;
    try {
      timer->Timer();  // may free the timer: nothing of it is used afterwards
    } catch (...) {
      ReportError(std::current_exception());
    }
  }

  // Someone else destroyed the window: its timers are gone with it.
  static void WindowLost() {
    TTimerState& s = State();
    for (auto& [id, timer] : s.Running) timer->FTimerId = 0;
    s.Running.clear();
    s.Window = nullptr;
  }
};

namespace {

LRESULT UtilWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    TTimerDispatch::Tick(UINT_PTR(wp));
    return 0;
  }
  if (msg == WM_NCDESTROY && hwnd == State().Window && !State().DestroyingWindow)
    TTimerDispatch::WindowLost();
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

// ---- TTimer -------------------------------------------------------------------------------------

const TClass TTimer::Class = TClass::Define<TTimer, TComponent>(u"TTimer", [](auto& c) {
  c.Property(u"Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
  c.Property(u"Interval", &TTimer::Interval, &TTimer::SetInterval).Default(Cardinal(1000));
  c.Property(u"OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
});

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  FOnTimer = nullptr;
  FEnabled = false;
  UpdateTimer();
}

void TTimer::SetEnabled(bool value) {
  if (FEnabled == value) return;
  FEnabled = value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal value) {
  if (FInterval == value) return;
  FInterval = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent value) {
  FOnTimer = value;
  UpdateTimer();
}

void TTimer::Timer() { FOnTimer(this); }

void TTimer::UpdateTimer() {
  TTimerState& s = State();
  if (FTimerId) {
    if (s.Window) KillTimer(s.Window, FTimerId);
    s.Running.erase(FTimerId);
    FTimerId = 0;
  }
  bool run = FEnabled && FInterval > 0 && FOnTimer &&
             !ComponentState().Contains(csDesigning) && !ComponentState().Contains(csDestroying);
  if (run) {
    HWND w = UtilityWindow();
    UINT_PTR id = s.NextId++;
    UINT elapse = FInterval > USER_TIMER_MAXIMUM ? USER_TIMER_MAXIMUM : UINT(FInterval);
    if (!w || !SetTimer(w, id, elapse, nullptr)) {
      ReleaseUtilityWindowIfIdle();
      throw EOutOfResources(u"Not enough timers available (timer " + Name() + u")");
    }
    FTimerId = id;
    s.Running[id] = this;
  } else {
    ReleaseUtilityWindowIfIdle();
  }
}

// ---- process-wide -------------------------------------------------------------------------------

void SetTimerErrorHandler(TTimerErrorHandler handler) { State().ErrorHandler = std::move(handler); }

WindowObject* TimerUtilityWindow() {
  HWND w = State().Window;
  return w && IsWindow(w) ? w : nullptr;
}

void RegisterTimerClasses() {
  static const bool done = [] {
    RegisterClass(&TTimer::Class);
    return true;
  }();
  (void)done;
}

}  // namespace vcl
