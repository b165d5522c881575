// A window's frame in the style, at the level of the window manager: caption bar, icon, text
// and caption buttons (hot and pressed as the mouse moves and presses them, each carrying out
// its command when released over it), the frame's metrics and hit-testing, and the non-client
// scroll bars. A window without a caption or sizing frame of its own (a child window) keeps its
// border and gets only styled scroll bars.
//
// The engine does not register it for any class: the control framework's form hook paints
// forms with the same routines (StyledFrame.h), and a program may register it for a window
// class of its own with TStyleManager::RegisterSysStyleHook.
#pragma once
#include "host/themes/StyleHooks.h"
#include "host/themes/CaptionButtons.h"
#include "host/themes/StyledFrame.h"

namespace vcl {

class TSysFrameStyleHook : public TSysStyleHook {
 public:
  explicit TSysFrameStyleHook(HWND handle);

  // The window's frame as it is to be painted now.
  TStyledFrameInfo FrameInfo() const;
  // Whether the window has a frame the hook paints (top-level, with a caption or sizing frame).
  bool Framed() const;
  // The caption button under the mouse and the one held down (HTCLOSE, ...; 0 for none).
  LRESULT HotButton() const { return FButtons.Hot(); }
  LRESULT PressedButton() const { return FButtons.Pressed(); }

 protected:
  void WndProc(TMessage& msg) override;
  void PaintNC(TCanvas& canvas) override;

 private:
  LRESULT HitTest(TPoint screen) const;
  void PaintScrollBarsOnly(TMessage& msg);

  TCaptionButtonTracker FButtons;
  bool FActive;
};

}  // namespace vcl
