// Shared state of the control framework's source files.
#pragma once
#include "host/vcl/Controls.h"

namespace vcl::ctl {

// The control whose mouse capture is active (set by SetCaptureControl).
TControl*& CaptureControl();
// The anchors each alignment keeps fixed.
TAnchors AnchorAlign(TAlign align);
// The hint machinery's view of mouse messages (may be null).
THintMouseHook HintMouseHook();
// The popup-menu handler (may be null).
TPopupMenuHandler PopupMenuHandler();
// Whether the control and every parent up to the root (exclusive) is visible and enabled.
bool VisibleAndEnabledChain(const TControl* control);

}  // namespace vcl::ctl
