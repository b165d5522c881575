// Shared by the menu sources of the framework only.
#pragma once
#include "host/vcl/Menus.h"

namespace vcl::menuimpl {

// Whether a pointer names a live menu item (item data coming back from a menu window).
bool IsLiveItem(const void* p);
// The menu font at a density, for measuring and drawing owner-drawn items.
HFONT MenuFont(UINT dpi);
// The hint procedure, when one is set.
void ShowHint(TMenuItem* item);

}  // namespace vcl::menuimpl
