// The engine's hook of controls with non-client scroll bars (scroll boxes, frames): the scroll
// bars and the border in the control's style, the background in the style's version of the
// control's colour.
#pragma once
#include "host/themes/ControlStyleHooks.h"

namespace vcl {

class TScrollingStyleHook : public TMouseTrackControlStyleHook {
 public:
  explicit TScrollingStyleHook(TWinControl* control);

  // The style's version of the control's colour where its client follows the style (seClient),
  // else the control's colour.
  void UpdateColors() override;

 protected:
  void WndProc(TMessage& msg) override;
  // The border (PaintBorder), then the scroll bars and the size box between them.
  void PaintNC(TCanvas& canvas) override;
  // The parent's background for a control that shows it, else the colour of UpdateColors.
  void PaintBackground(TCanvas& canvas) override;
  // The window's border in the style, into a DC of the whole window: the style's edit border
  // with WS_EX_CLIENTEDGE, a line in its window-frame colour with WS_BORDER.
  virtual void PaintBorder(HDC windowDc);
};

}  // namespace vcl
