#include "host/platform/sdl/SdlKeys.h"

namespace vcl::platform {

namespace {

// The VK of a key by position on a US keyboard.
std::uint16_t PositionalVk(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return std::uint16_t(VK_A + (sc - SDL_SCANCODE_A));
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return std::uint16_t(VK_1 + (sc - SDL_SCANCODE_1));
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return std::uint16_t(VK_F1 + (sc - SDL_SCANCODE_F1));
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return std::uint16_t(VK_F13 + (sc - SDL_SCANCODE_F13));
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return std::uint16_t(VK_NUMPAD1 + (sc - SDL_SCANCODE_KP_1));
  switch (sc) {
    case SDL_SCANCODE_0: return VK_0;
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_KP_COMMA: return VK_SEPARATOR;
    case SDL_SCANCODE_APPLICATION:
    case SDL_SCANCODE_MENU: return VK_APPS;
    case SDL_SCANCODE_HELP: return VK_HELP;
    case SDL_SCANCODE_SELECT: return VK_SELECT;
    case SDL_SCANCODE_EXECUTE: return VK_EXECUTE;
    case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
    case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
    case SDL_SCANCODE_LALT: return VK_LMENU;
    case SDL_SCANCODE_RALT: return VK_RMENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    case SDL_SCANCODE_MUTE:
    case SDL_SCANCODE_AUDIOMUTE: return VK_VOLUME_MUTE;
    case SDL_SCANCODE_VOLUMEUP: return VK_VOLUME_UP;
    case SDL_SCANCODE_VOLUMEDOWN: return VK_VOLUME_DOWN;
    case SDL_SCANCODE_AUDIONEXT: return VK_MEDIA_NEXT_TRACK;
    case SDL_SCANCODE_AUDIOPREV: return VK_MEDIA_PREV_TRACK;
    case SDL_SCANCODE_AUDIOSTOP: return VK_MEDIA_STOP;
    case SDL_SCANCODE_AUDIOPLAY: return VK_MEDIA_PLAY_PAUSE;
    case SDL_SCANCODE_MEDIASELECT: return VK_LAUNCH_MEDIA_SELECT;
    case SDL_SCANCODE_MAIL: return VK_LAUNCH_MAIL;
    case SDL_SCANCODE_CALCULATOR: return VK_LAUNCH_APP2;
    case SDL_SCANCODE_COMPUTER: return VK_LAUNCH_APP1;
    case SDL_SCANCODE_WWW:
    case SDL_SCANCODE_AC_HOME: return VK_BROWSER_HOME;
    case SDL_SCANCODE_AC_SEARCH: return VK_BROWSER_SEARCH;
    case SDL_SCANCODE_AC_BACK: return VK_BROWSER_BACK;
    case SDL_SCANCODE_AC_FORWARD: return VK_BROWSER_FORWARD;
    case SDL_SCANCODE_AC_STOP: return VK_BROWSER_STOP;
    case SDL_SCANCODE_AC_REFRESH: return VK_BROWSER_REFRESH;
    case SDL_SCANCODE_AC_BOOKMARKS: return VK_BROWSER_FAVORITES;
    case SDL_SCANCODE_SLEEP: return VK_SLEEP;
    default: return 0;
  }
}

// The keypad's navigation meaning while NumLock is off.
std::uint16_t KeypadNavigationVk(std::uint16_t vk) {
  switch (vk) {
    case VK_NUMPAD0: return VK_INSERT;
    case VK_NUMPAD1: return VK_END;
    case VK_NUMPAD2: return VK_DOWN;
    case VK_NUMPAD3: return VK_NEXT;
    case VK_NUMPAD4: return VK_LEFT;
    case VK_NUMPAD5: return VK_CLEAR;
    case VK_NUMPAD6: return VK_RIGHT;
    case VK_NUMPAD7: return VK_HOME;
    case VK_NUMPAD8: return VK_UP;
    case VK_NUMPAD9: return VK_PRIOR;
    case VK_DECIMAL: return VK_DELETE;
    default: return vk;
  }
}

// The VK of the character a layout puts on a key, for the characters of the US layout.
std::uint16_t CharacterVk(SDL_Keycode kc) {
  if (kc >= 'a' && kc <= 'z') return std::uint16_t(VK_A + (kc - 'a'));
  if (kc >= '0' && kc <= '9') return std::uint16_t(VK_0 + (kc - '0'));
  switch (kc) {
    case ';': return VK_OEM_1;
    case '=': return VK_OEM_PLUS;
    case ',': return VK_OEM_COMMA;
    case '-': return VK_OEM_MINUS;
    case '.': return VK_OEM_PERIOD;
    case '/': return VK_OEM_2;
    case '`': return VK_OEM_3;
    case '[': return VK_OEM_4;
    case '\\': return VK_OEM_5;
    case ']': return VK_OEM_6;
    case '\'': return VK_OEM_7;
    default: return 0;
  }
}

}  // namespace

SdlKey MapSdlKey(const SDL_Keysym& key, bool numLock) {
  SdlKey out;
  std::uint16_t pos = PositionalVk(key.scancode);
  if (pos == 0) return out;
  out.Scan = VkToScanCode(pos);
  out.Vk = pos;
  bool characterKey = (key.scancode >= SDL_SCANCODE_A && key.scancode <= SDL_SCANCODE_0) ||
                      (key.scancode >= SDL_SCANCODE_MINUS && key.scancode <= SDL_SCANCODE_SLASH) ||
                      key.scancode == SDL_SCANCODE_NONUSBACKSLASH;
  if (characterKey)
    if (std::uint16_t vk = CharacterVk(key.sym)) out.Vk = vk;
  if (!numLock) out.Vk = KeypadNavigationVk(out.Vk);
  if (key.scancode == SDL_SCANCODE_KP_ENTER) out.Scan.Extended = true;
  return out;
}

}  // namespace vcl::platform
