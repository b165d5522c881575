// The hint window: a top-level pop-up that shows a control's hint near the mouse. It never
// takes the activation or the mouse, sizes itself to its text (CalcHintRect), stays on the
// monitor it is shown on, and can fade in (layered alpha driven by a window timer).
#pragma once
#include "host/vcl/Controls.h"

namespace vcl {

class THintWindow : public TCustomControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit THintWindow(TComponent* owner);
  ~THintWindow() override;

  // The size of the window for a hint (text laid out in at most maxWidth pixels; 0: the
  // monitor's width less a margin), as a rectangle at (0, 0).
  virtual TRect CalcHintRect(int maxWidth, StringView hint, void* data);
  // Shows the hint with the window's top-left at rect's top-left and its size from rect,
  // on top of every window, without activating it; kept inside the monitor's work area.
  virtual void ActivateHint(const TRect& rect, StringView hint);
  virtual void ActivateHintData(const TRect& rect, StringView hint, void* data);
  // Hides the window (the next ActivateHint shows it again).
  virtual void ReleaseHandle();
  // Whether a message should end the hint (keys, clicks, activation changes).
  virtual bool IsHintMsg(const MSG& msg);

  // Fading in over FadeDuration milliseconds (0: no fade).
  int FadeDuration() const { return FFadeDuration; }
  void SetFadeDuration(int ms) { FFadeDuration = ms; }
  // The opacity the fade has reached (255 when shown without fading).
  Byte CurrentAlpha() const { return FAlpha; }
  bool Fading() const { return FFading; }

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;

 private:
  void StartFade();
  void FadeStep();
  static constexpr UINT_PTR kFadeTimer = 1;
  static constexpr UINT kFadeInterval = 15;
  int FFadeDuration = 0;
  bool FFading = false;
  Byte FAlpha = 255;
  DWORD FFadeStart = 0;
};

}  // namespace vcl
