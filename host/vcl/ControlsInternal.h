// Shared state of the control framework's source files.
#pragma once
#include "host/rtl/ScopeGuards.h"
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
// A mouse message to the source of the running drag (host/vcl/DragDrop.cpp); true when the
// drag used it and the control must not handle it.
bool DragSourceMessage(TControl* control, TMessage& message);
// A control being destroyed leaves the running drag.
void ForgetDragControl(TControl* control);

}  // namespace vcl::ctl
