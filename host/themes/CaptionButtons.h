// The caption buttons of a styled frame under the mouse: which one is hot and which one is
// held down, following non-client moves, presses, the tracking of a held button through the
// capture and its release. Both frame hooks (the form hook and the window-level frame hook)
// keep their buttons with it.
#pragma once
#include <functional>

#include "host/themes/StyledFrame.h"
#include "host/win/WinUser.h"

namespace vcl {

class TCaptionButtonTracker {
 public:
  // `changed` repaints the frame after the hot or pressed button changed.
  explicit TCaptionButtonTracker(std::function<void()> changed) : FChanged(std::move(changed)) {}

  // The button under the mouse and the one held down (HTCLOSE, ...; 0 for none).
  LRESULT Hot() const { return FHot; }
  LRESULT Pressed() const { return FPressed; }
  // Sets both and repaints when either changed.
  void Set(LRESULT hot, LRESULT pressed);

  // WM_NCMOUSEMOVE at hit-test code `hit`: a button under the mouse turns hot (while another
  // is held, only the held one), and the window is told when the mouse leaves the frame.
  // True when the mouse is over a caption button.
  bool NCMouseMove(HWND window, LRESULT hit);
  // The mouse left the frame: nothing stays hot unless a button is held.
  void MouseLeave();
  // WM_NCLBUTTONDOWN / WM_NCLBUTTONDBLCLK: a press on an enabled button holds it and captures
  // the mouse. True when the press was on a caption button (enabled or not): the hook answers
  // it instead of the default processing.
  bool NCButtonDown(HWND window, LRESULT hit, const TStyledFrameInfo& frame);
  // Whether a held button follows the mouse through this window's capture.
  bool Tracking(HWND window) const { return FPressed && GetCapture() == window; }
  // WM_MOUSEMOVE or, with `release`, WM_LBUTTONUP while Tracking, the hit-test code at the
  // pointer being `hit`: the held button shows pressed only while the mouse is over it; the
  // release lets go of it and returns it when the mouse is over it (its command is due), 0
  // otherwise.
  LRESULT Track(bool release, LRESULT hit);
  // WM_CAPTURECHANGED: a held button is let go without its command.
  void CaptureChanged();

 private:
  std::function<void()> FChanged;
  LRESULT FHot = 0;
  LRESULT FPressed = 0;
};

// The WM_SYSCOMMAND a released caption button sends (SC_CLOSE, SC_MINIMIZE or SC_RESTORE,
// SC_MAXIMIZE or SC_RESTORE, SC_CONTEXTHELP); 0 for a code that is not a caption button.
WPARAM CaptionButtonCommand(HWND window, LRESULT button);

}  // namespace vcl
