// TkxCustomActiveControl: the base of the controls that react to the mouse (buttons, check
// boxes, radio buttons, colour buttons, the advanced combo box). On top of the paint pipeline
// of TkxCustomControl it tracks whether the mouse is over the control, reports the hot state,
// and can cross-fade from the old look to the new one when the state changes (Animation),
// through the host's buffered-animation service.
//
// Leaving is noticed three ways: CM_MOUSELEAVE, a mouse move outside the bounds while the
// mouse is captured, and a 100 ms timer that looks at the window under the cursor while the
// mouse is inside (a fast move onto another window may bring no leave message at all).
#pragma once
#include <memory>

#include "controls/kxCustomControl.h"

namespace vcl {
class TTimer;
}

namespace kx {

class TkxCustomActiveControl : public TkxCustomControl {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TkxCustomActiveControl(vcl::TComponent* owner);
  ~TkxCustomActiveControl() override;

  // Fade between states; subclasses publish it as Animation.
  bool Animation() const { return FAnimation; }
  void SetAnimation(bool value) { FAnimation = value; }
  // Whether the control counts the mouse as over it.
  bool MouseIn() const { return FMouseIn; }
  // The state the next transition starts from: set by each animated paint and when the mouse
  // leaves, not by ordinary paints.
  TkxsCtrlState OldCtrlState() const { return FOldCtrlState; }

  void Dispatch(vcl::TMessage& message) override;

  // Period of the leave-detection timer, and how long a requested transition may run.
  static constexpr unsigned kMouseTimerInterval = 100;
  static constexpr unsigned kTransitionWindow = 350;
  static constexpr unsigned kFadeDuration = 150;
  // Window timer that ends the transition window.
  static constexpr vcl::UINT_PTR kTransitionTimer = 1;

 protected:
  // Handler of the leave-detection timer: the mouse has gone when the window under the cursor
  // is not the control's own.
  virtual void MouseTimerTick(vcl::TObject* sender);
  // The mouse entered or left: a transition when one may run, then RePaintControl.
  virtual void DoMouseEnter();
  virtual void DoMouseLeave();
  // Whether the current state may be animated: not designing, enabled, visible, Animation
  // set, the state normal, hot, or focused with AnimateFocusedState, and the service there.
  virtual bool CanAnimate();
  // Whether the focused state fades too; buttons answer whether they can be focused.
  virtual bool AnimateFocusedState() { return false; }
  // Paints one transition from FOldCtrlState to the current state through the service; false
  // when no transition could be started (the caller then paints as usual).
  virtual bool DrawAnimated(vcl::HDC dc);

  // kxsDisabled when not enabled, kxsHot while the mouse is in, else kxsNormal.
  TkxsCtrlState GetCtrlState() override;
  void Paint() override;
  void MouseMove(vcl::TShiftState shift, int x, int y) override;
  void WndProc(vcl::TMessage& message) override;
  void CMMouseEnter(vcl::TMessage& message) override;
  void CMMouseLeave(vcl::TMessage& message) override;
  void WMEraseBkgnd(vcl::TMessage& message) override;
  void WMMove(vcl::TMessage& message) override;
  void WMParentBGChanged(vcl::TMessage& message) override;

  // Requests a transition: the next paints fade, for at most kTransitionWindow ms.
  void StartTransition();
  // Ends a requested or running transition at once: the next paint shows the current state
  // without fading (a state set by code, such as a button put down, is shown as it is).
  void StopTransition();
  // Whether the service's functions are there to call.
  static bool AnimationServiceAvailable();

  bool FMouseIn = false;
  TkxsCtrlState FOldCtrlState = kxsNormal;

 private:
  void StartMouseTimer();
  void StopMouseTimer();
  // The mouse is no longer over the control.
  void MouseGone();
  // Paints `state` into a context of the service, composed off screen for a fade.
  void PaintStateInto(vcl::HDC dc, TkxsCtrlState state, bool composed);

  std::unique_ptr<vcl::TTimer> FMouseTimer;
  bool FCanAnimate = false;
  bool FAnimation = false;
  bool FInWMPaint = false;
};

}  // namespace kx
