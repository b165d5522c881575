// The engine's hook of the text edits (TCustomEdit and its descendants) under a custom style:
// the border and a memo's scroll bars in the style, the style's edit colours for the native
// edit's text and background (unless the control has csOverrideStylePaint and picks them).
#pragma once
#include "host/themes/ScrollingStyleHook.h"

namespace vcl {

class TEditStyleHook : public TScrollingStyleHook {
 public:
  explicit TEditStyleHook(TWinControl* control);

  // The style's window colour (seClient) and its edit text colour, normal or disabled (seFont).
  void UpdateColors() override;

 protected:
  // CN_CTLCOLOREDIT / CN_CTLCOLORSTATIC: answered with the colours of UpdateColors.
  void WndProc(TMessage& msg) override;
};

}  // namespace vcl
