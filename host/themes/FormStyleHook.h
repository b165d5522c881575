// The engine's hook of forms: the form's frame, caption and caption buttons painted in the
// form's style (StyledFrame.h), the style's frame metrics for the client area, hit-testing of
// caption, buttons and sizing borders, hot and pressed caption buttons that carry out their
// commands when released over them; the client area erased in the style's version of the
// form's colour. A form whose StyleElements lack seBorder, or any form while
// the style manager's FormBorderStyle is fbsSystemStyle, keeps the system frame.
#pragma once
#include "host/themes/ControlStyleHooks.h"
#include "host/themes/CaptionButtons.h"
#include "host/themes/StyledFrame.h"

namespace vcl {

class TCustomForm;

class TFormStyleHook : public TMouseTrackControlStyleHook {
 public:
  explicit TFormStyleHook(TWinControl* form);

  TCustomForm* Form() const;
  // The style's version of the form's colour where the client follows the style (seClient):
  // the background the hook erases the client area with.
  void UpdateColors() override;
  // Whether the frame is painted in the style now (see above; top-level windows with a caption
  // or sizing frame only).
  bool BorderFollowsStyle() const;
  // The frame as it is to be painted now.
  TStyledFrameInfo FrameInfo() const;
  // The caption button under the mouse and the one held down (HTCLOSE, HTMAXBUTTON,
  // HTMINBUTTON, HTHELP; 0 for none).
  LRESULT HotButton() const { return FButtons.Hot(); }
  LRESULT PressedButton() const { return FButtons.Pressed(); }
  bool FormActive() const { return FActive; }

 protected:
  void WndProc(TMessage& msg) override;
  void PaintNC(TCanvas& canvas) override;
  // Only a hot caption button needs repainting when the mouse goes.
  void MouseEnter() override {}
  void MouseLeave() override;

  // The caption buttons' commands (WM_SYSCOMMAND to the form); the size commands first clear
  // the hot and pressed button.
  virtual void Close();
  virtual void Help();
  virtual void Maximize();  // SC_RESTORE when zoomed, else SC_MAXIMIZE
  virtual void Minimize();  // SC_RESTORE when minimised, else SC_MINIMIZE
  virtual void Restore();

 private:
  LRESULT HitTest(TPoint screen) const;
  void CalcSize(TMessage& msg);
  void Command(LRESULT button);

  TCaptionButtonTracker FButtons;
  bool FActive;
};

}  // namespace vcl
