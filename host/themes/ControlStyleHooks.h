// Style hooks of controls: a hook object attached to a windowed control while the style that
// paints it is a custom style. It sees every message of the control before the control (window
// messages and those sent with Perform alike), may answer them, pass them on to the control's
// own handling (CallDefaultProc), and paint the control's client area, background and frame in
// the style.
//
// The registry (TStyleManager::RegisterStyleHook) attaches hooks by chaining the control's
// WindowProc: the chain stays while the control lives, so a window re-created by RecreateWnd
// gets a new hook at its first message. A hook belongs to one window: Handle() never changes.
#pragma once
#include <memory>

#include "host/themes/StyleHooks.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Controls.h"

namespace vcl {

struct TControlHookLink;
namespace detail {
// Hands a message to what follows the hook in a control's chain (the control's own handling).
void CallNextInChain(TControlHookLink* link, TMessage& msg);
}  // namespace detail

class TStyleHook : public TStyleHookBase {
 public:
  explicit TStyleHook(TWinControl* control);
  ~TStyleHook() override;

  TWinControl* Control() const { return FControl; }

  // The control's own handling of the message (everything after the hook in the chain).
  LRESULT CallDefaultProc(TMessage& msg) override;
  using TStyleHookBase::CallDefaultProc;

  // The style that paints the control: StyleServices(Control()).
  TCustomStyleServices* StyleServices() const override;
  // Background and text colours: the style's window colours where the control's StyleElements
  // let the style colour its client (seClient) and its text (seFont), else the control's Color
  // and font colour.
  void UpdateColors() override;

  // The window's frame: WS_BORDER, WS_EX_CLIENTEDGE.
  bool HasBorder() const;
  bool HasClientEdge() const;
  // Whether the control's window has the keyboard focus.
  bool Focused() const;
  // Whether the control's StyleElements contain the element.
  bool StyleElementsContain(TStyleElement e) const;

 protected:
  // WM_PAINT taken over (OverridePaint): Paint, then the control's graphic children, as the
  // control paints them.
  void WndProc(TMessage& msg) override;
  // What the control's parent shows beneath the control, into dc (control client coordinates).
  void DrawParentBackground(HDC dc);
  // Paints the visible graphic children of the control into a DC of its client area.
  void PaintControls(HDC dc);

 private:
  friend struct TControlHookLink;
  TWinControl* FControl;
  TControlHookLink* FLink = nullptr;  // the chain that calls the hook; nullptr when made alone
};

// A hook that knows whether the mouse is over the control: entering is seen on the first mouse
// move (client or non-client), leaving on WM_MOUSELEAVE / WM_NCMOUSELEAVE / CM_MOUSELEAVE, and,
// where none of these comes (a window appearing under a still mouse, a capture elsewhere), by a
// hot-track timer that checks the cursor while the mouse is in.
class TMouseTrackControlStyleHook : public TStyleHook {
 public:
  explicit TMouseTrackControlStyleHook(TWinControl* control);
  ~TMouseTrackControlStyleHook() override;

  bool MouseInControl() const { return FMouseInControl; }
  // Whether the mouse entered over the non-client area and has not moved into the client area.
  bool MouseInNCArea() const { return FMouseInNCArea; }
  bool HotTrackTimerRunning() const { return FTimerRunning; }

  // The timer (on the control's window) and its period.
  static constexpr UINT_PTR HotTrackTimerId = 0xA7C1;
  static constexpr UINT HotTrackInterval = 100;

 protected:
  void WndProc(TMessage& msg) override;
  // The mouse came over the control / left it. Both repaint the client area and the frame.
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Whether the cursor is over the control's window (or a window inside it) now.
  virtual bool IsMouseInControl() const;
  void StartHotTrackTimer();
  void StopHotTrackTimer();

 private:
  void Enter(bool nonClient);
  void Leave();
  bool FMouseInControl = false;
  bool FMouseInNCArea = false;
  bool FTimerRunning = false;
};

template <class THook>
std::unique_ptr<TStyleHook> MakeStyleHook(TWinControl* control) {
  return std::make_unique<THook>(control);
}
// The hook class of THook: TStyleManager::RegisterStyleHook(TMyControl::Class,
// StyleHookClass<TMyHook>()).
template <class THook>
constexpr TStyleHookClass StyleHookClass() {
  return &MakeStyleHook<THook>;
}

}  // namespace vcl
