// TTimer: a component that calls OnTimer every Interval milliseconds while it is Enabled. Its
// ticks are window timers of one hidden message-only window shared by every timer of the
// process, delivered through the message queue on the backend clock (virtual in the headless
// backend), so they arrive only while the message loop runs.
#pragma once
#include <cstdint>
#include <exception>
#include <functional>

#include "host/classes/Component.h"

namespace vcl {

struct WindowObject;

class TTimer : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TTimer(TComponent* owner);
  // Kills its window timer: a tick already in the queue is dropped.
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  // Milliseconds between ticks; 0 stops the ticks. Values below 10 tick every 10 ms.
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal value);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent value);

  // Whether a window timer runs for it now: Enabled, Interval above 0, OnTimer assigned and
  // not being designed.
  bool Ticking() const { return FTimerId != 0; }

 protected:
  // One tick: calls OnTimer. The timer may be freed by it; nothing of it is used afterwards.
  virtual void Timer();

 private:
  friend struct TTimerDispatch;
  // Kills the window timer and starts it again when it should run, so a change of Interval or
  // Enabled counts the interval afresh.
  void UpdateTimer();

  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
  std::uintptr_t FTimerId = 0;  // window timer id on the utility window; 0 when not running
};

// Where an exception that escapes OnTimer goes (the message loop goes on). The default handler
// writes its message to the standard error stream; nullptr restores it.
using TTimerErrorHandler = std::function<void(const std::exception_ptr& error)>;
void SetTimerErrorHandler(TTimerErrorHandler handler);

// The hidden window the timers tick on (nullptr until a timer first runs).
WindowObject* TimerUtilityWindow();

// Registers TTimer with the class registry, so window descriptions can hold timers.
void RegisterTimerClasses();

}  // namespace vcl
