// Key identity from SDL: virtual-key code and scan code of an SDL key event.
#pragma once
#include <SDL2/SDL_keyboard.h>

#include "host/platform/VirtualKeys.h"

namespace vcl::platform {

struct SdlKey {
  std::uint16_t Vk = 0;  // left/right variants for modifiers; 0 when unknown
  KeyScanCode Scan;
};

// Character keys take their VK from the layout (the key that types 'z' is VK_Z wherever it
// sits); the other keys from their position. Keypad keys follow NumLock like Win32's.
SdlKey MapSdlKey(const SDL_Keysym& key, bool numLock);

}  // namespace vcl::platform
