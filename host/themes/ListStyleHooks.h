// The engine's hook of list boxes under a custom style (ListStyleHooks.cpp).
#pragma once
#include "host/themes/ScrollingStyleHook.h"

namespace vcl {

// The border and scroll bars of scrolling controls, and the list's colours (the reflected
// WM_CTLCOLORLISTBOX) in the style's list-box colour and list-item text colour. The items paint
// themselves, so the hook does not erase the background.
class TListBoxStyleHook : public TScrollingStyleHook {
 public:
  explicit TListBoxStyleHook(TWinControl* control);
  void UpdateColors() override;

 protected:
  void WndProc(TMessage& msg) override;
};

}  // namespace vcl
