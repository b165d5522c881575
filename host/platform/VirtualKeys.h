// Win32 virtual-key codes, the key identity of every key event and key-state query.
#pragma once
#include <cstdint>

namespace vcl {

// Mouse buttons (key state only) and Ctrl+Break.
inline constexpr std::uint16_t VK_LBUTTON = 0x01;
inline constexpr std::uint16_t VK_RBUTTON = 0x02;
inline constexpr std::uint16_t VK_CANCEL = 0x03;
inline constexpr std::uint16_t VK_MBUTTON = 0x04;
inline constexpr std::uint16_t VK_XBUTTON1 = 0x05;
inline constexpr std::uint16_t VK_XBUTTON2 = 0x06;

// Editing and control.
inline constexpr std::uint16_t VK_BACK = 0x08;
inline constexpr std::uint16_t VK_TAB = 0x09;
inline constexpr std::uint16_t VK_CLEAR = 0x0C;
inline constexpr std::uint16_t VK_RETURN = 0x0D;
inline constexpr std::uint16_t VK_SHIFT = 0x10;
inline constexpr std::uint16_t VK_CONTROL = 0x11;
inline constexpr std::uint16_t VK_MENU = 0x12;
inline constexpr std::uint16_t VK_PAUSE = 0x13;
inline constexpr std::uint16_t VK_CAPITAL = 0x14;
inline constexpr std::uint16_t VK_KANA = 0x15;
inline constexpr std::uint16_t VK_HANGUL = 0x15;
inline constexpr std::uint16_t VK_JUNJA = 0x17;
inline constexpr std::uint16_t VK_FINAL = 0x18;
inline constexpr std::uint16_t VK_HANJA = 0x19;
inline constexpr std::uint16_t VK_KANJI = 0x19;
inline constexpr std::uint16_t VK_ESCAPE = 0x1B;
inline constexpr std::uint16_t VK_CONVERT = 0x1C;
inline constexpr std::uint16_t VK_NONCONVERT = 0x1D;
inline constexpr std::uint16_t VK_ACCEPT = 0x1E;
inline constexpr std::uint16_t VK_MODECHANGE = 0x1F;
inline constexpr std::uint16_t VK_SPACE = 0x20;

// Navigation.
inline constexpr std::uint16_t VK_PRIOR = 0x21;
inline constexpr std::uint16_t VK_NEXT = 0x22;
inline constexpr std::uint16_t VK_END = 0x23;
inline constexpr std::uint16_t VK_HOME = 0x24;
inline constexpr std::uint16_t VK_LEFT = 0x25;
inline constexpr std::uint16_t VK_UP = 0x26;
inline constexpr std::uint16_t VK_RIGHT = 0x27;
inline constexpr std::uint16_t VK_DOWN = 0x28;
inline constexpr std::uint16_t VK_SELECT = 0x29;
inline constexpr std::uint16_t VK_PRINT = 0x2A;
inline constexpr std::uint16_t VK_EXECUTE = 0x2B;
inline constexpr std::uint16_t VK_SNAPSHOT = 0x2C;
inline constexpr std::uint16_t VK_INSERT = 0x2D;
inline constexpr std::uint16_t VK_DELETE = 0x2E;
inline constexpr std::uint16_t VK_HELP = 0x2F;

// Digits and letters: their ASCII codes.
inline constexpr std::uint16_t VK_0 = 0x30;
inline constexpr std::uint16_t VK_1 = 0x31;
inline constexpr std::uint16_t VK_2 = 0x32;
inline constexpr std::uint16_t VK_3 = 0x33;
inline constexpr std::uint16_t VK_4 = 0x34;
inline constexpr std::uint16_t VK_5 = 0x35;
inline constexpr std::uint16_t VK_6 = 0x36;
inline constexpr std::uint16_t VK_7 = 0x37;
inline constexpr std::uint16_t VK_8 = 0x38;
inline constexpr std::uint16_t VK_9 = 0x39;
inline constexpr std::uint16_t VK_A = 0x41;
inline constexpr std::uint16_t VK_B = 0x42;
inline constexpr std::uint16_t VK_C = 0x43;
inline constexpr std::uint16_t VK_D = 0x44;
inline constexpr std::uint16_t VK_E = 0x45;
inline constexpr std::uint16_t VK_F = 0x46;
inline constexpr std::uint16_t VK_G = 0x47;
inline constexpr std::uint16_t VK_H = 0x48;
inline constexpr std::uint16_t VK_I = 0x49;
inline constexpr std::uint16_t VK_J = 0x4A;
inline constexpr std::uint16_t VK_K = 0x4B;
inline constexpr std::uint16_t VK_L = 0x4C;
inline constexpr std::uint16_t VK_M = 0x4D;
inline constexpr std::uint16_t VK_N = 0x4E;
inline constexpr std::uint16_t VK_O = 0x4F;
inline constexpr std::uint16_t VK_P = 0x50;
inline constexpr std::uint16_t VK_Q = 0x51;
inline constexpr std::uint16_t VK_R = 0x52;
inline constexpr std::uint16_t VK_S = 0x53;
inline constexpr std::uint16_t VK_T = 0x54;
inline constexpr std::uint16_t VK_U = 0x55;
inline constexpr std::uint16_t VK_V = 0x56;
inline constexpr std::uint16_t VK_W = 0x57;
inline constexpr std::uint16_t VK_X = 0x58;
inline constexpr std::uint16_t VK_Y = 0x59;
inline constexpr std::uint16_t VK_Z = 0x5A;

// Windows keys.
inline constexpr std::uint16_t VK_LWIN = 0x5B;
inline constexpr std::uint16_t VK_RWIN = 0x5C;
inline constexpr std::uint16_t VK_APPS = 0x5D;
inline constexpr std::uint16_t VK_SLEEP = 0x5F;

// Numeric keypad.
inline constexpr std::uint16_t VK_NUMPAD0 = 0x60;
inline constexpr std::uint16_t VK_NUMPAD1 = 0x61;
inline constexpr std::uint16_t VK_NUMPAD2 = 0x62;
inline constexpr std::uint16_t VK_NUMPAD3 = 0x63;
inline constexpr std::uint16_t VK_NUMPAD4 = 0x64;
inline constexpr std::uint16_t VK_NUMPAD5 = 0x65;
inline constexpr std::uint16_t VK_NUMPAD6 = 0x66;
inline constexpr std::uint16_t VK_NUMPAD7 = 0x67;
inline constexpr std::uint16_t VK_NUMPAD8 = 0x68;
inline constexpr std::uint16_t VK_NUMPAD9 = 0x69;
inline constexpr std::uint16_t VK_MULTIPLY = 0x6A;
inline constexpr std::uint16_t VK_ADD = 0x6B;
inline constexpr std::uint16_t VK_SEPARATOR = 0x6C;
inline constexpr std::uint16_t VK_SUBTRACT = 0x6D;
inline constexpr std::uint16_t VK_DECIMAL = 0x6E;
inline constexpr std::uint16_t VK_DIVIDE = 0x6F;

// Function keys.
inline constexpr std::uint16_t VK_F1 = 0x70;
inline constexpr std::uint16_t VK_F2 = 0x71;
inline constexpr std::uint16_t VK_F3 = 0x72;
inline constexpr std::uint16_t VK_F4 = 0x73;
inline constexpr std::uint16_t VK_F5 = 0x74;
inline constexpr std::uint16_t VK_F6 = 0x75;
inline constexpr std::uint16_t VK_F7 = 0x76;
inline constexpr std::uint16_t VK_F8 = 0x77;
inline constexpr std::uint16_t VK_F9 = 0x78;
inline constexpr std::uint16_t VK_F10 = 0x79;
inline constexpr std::uint16_t VK_F11 = 0x7A;
inline constexpr std::uint16_t VK_F12 = 0x7B;
inline constexpr std::uint16_t VK_F13 = 0x7C;
inline constexpr std::uint16_t VK_F14 = 0x7D;
inline constexpr std::uint16_t VK_F15 = 0x7E;
inline constexpr std::uint16_t VK_F16 = 0x7F;
inline constexpr std::uint16_t VK_F17 = 0x80;
inline constexpr std::uint16_t VK_F18 = 0x81;
inline constexpr std::uint16_t VK_F19 = 0x82;
inline constexpr std::uint16_t VK_F20 = 0x83;
inline constexpr std::uint16_t VK_F21 = 0x84;
inline constexpr std::uint16_t VK_F22 = 0x85;
inline constexpr std::uint16_t VK_F23 = 0x86;
inline constexpr std::uint16_t VK_F24 = 0x87;

// Locks, and the left/right variants of the modifiers (key state only: key events report
// VK_SHIFT, VK_CONTROL and VK_MENU, told apart by scan code and the extended flag).
inline constexpr std::uint16_t VK_NUMLOCK = 0x90;
inline constexpr std::uint16_t VK_SCROLL = 0x91;
inline constexpr std::uint16_t VK_LSHIFT = 0xA0;
inline constexpr std::uint16_t VK_RSHIFT = 0xA1;
inline constexpr std::uint16_t VK_LCONTROL = 0xA2;
inline constexpr std::uint16_t VK_RCONTROL = 0xA3;
inline constexpr std::uint16_t VK_LMENU = 0xA4;
inline constexpr std::uint16_t VK_RMENU = 0xA5;

// Browser and media keys.
inline constexpr std::uint16_t VK_BROWSER_BACK = 0xA6;
inline constexpr std::uint16_t VK_BROWSER_FORWARD = 0xA7;
inline constexpr std::uint16_t VK_BROWSER_REFRESH = 0xA8;
inline constexpr std::uint16_t VK_BROWSER_STOP = 0xA9;
inline constexpr std::uint16_t VK_BROWSER_SEARCH = 0xAA;
inline constexpr std::uint16_t VK_BROWSER_FAVORITES = 0xAB;
inline constexpr std::uint16_t VK_BROWSER_HOME = 0xAC;
inline constexpr std::uint16_t VK_VOLUME_MUTE = 0xAD;
inline constexpr std::uint16_t VK_VOLUME_DOWN = 0xAE;
inline constexpr std::uint16_t VK_VOLUME_UP = 0xAF;
inline constexpr std::uint16_t VK_MEDIA_NEXT_TRACK = 0xB0;
inline constexpr std::uint16_t VK_MEDIA_PREV_TRACK = 0xB1;
inline constexpr std::uint16_t VK_MEDIA_STOP = 0xB2;
inline constexpr std::uint16_t VK_MEDIA_PLAY_PAUSE = 0xB3;
inline constexpr std::uint16_t VK_LAUNCH_MAIL = 0xB4;
inline constexpr std::uint16_t VK_LAUNCH_MEDIA_SELECT = 0xB5;
inline constexpr std::uint16_t VK_LAUNCH_APP1 = 0xB6;
inline constexpr std::uint16_t VK_LAUNCH_APP2 = 0xB7;

// Punctuation (names after the US layout's characters).
inline constexpr std::uint16_t VK_OEM_1 = 0xBA;  // ; :
inline constexpr std::uint16_t VK_OEM_PLUS = 0xBB;  // = +
inline constexpr std::uint16_t VK_OEM_COMMA = 0xBC;  // , <
inline constexpr std::uint16_t VK_OEM_MINUS = 0xBD;  // - _
inline constexpr std::uint16_t VK_OEM_PERIOD = 0xBE;  // . >
inline constexpr std::uint16_t VK_OEM_2 = 0xBF;  // / ?
inline constexpr std::uint16_t VK_OEM_3 = 0xC0;  // ` ~
inline constexpr std::uint16_t VK_OEM_4 = 0xDB;  // [ {
inline constexpr std::uint16_t VK_OEM_5 = 0xDC;  // \ |
inline constexpr std::uint16_t VK_OEM_6 = 0xDD;  // ] }
inline constexpr std::uint16_t VK_OEM_7 = 0xDE;  // ' "
inline constexpr std::uint16_t VK_OEM_8 = 0xDF;
inline constexpr std::uint16_t VK_OEM_102 = 0xE2;  // < > beside left Shift

// Others.
inline constexpr std::uint16_t VK_PROCESSKEY = 0xE5;
inline constexpr std::uint16_t VK_PACKET = 0xE7;
inline constexpr std::uint16_t VK_ATTN = 0xF6;
inline constexpr std::uint16_t VK_CRSEL = 0xF7;
inline constexpr std::uint16_t VK_EXSEL = 0xF8;
inline constexpr std::uint16_t VK_EREOF = 0xF9;
inline constexpr std::uint16_t VK_PLAY = 0xFA;
inline constexpr std::uint16_t VK_ZOOM = 0xFB;
inline constexpr std::uint16_t VK_NONAME = 0xFC;
inline constexpr std::uint16_t VK_PA1 = 0xFD;
inline constexpr std::uint16_t VK_OEM_CLEAR = 0xFE;

}  // namespace vcl

namespace vcl::platform {

// A key's set-1 scan code as Win32 reports it for a US layout (Extended: E0 prefix).
struct KeyScanCode {
  std::uint16_t Scan = 0;
  bool Extended = false;
};
// The scan code of a VK (left variants for VK_SHIFT/VK_CONTROL/VK_MENU; numeric keypad digits
// and the keypad navigation keys share codes, told apart by Extended). {0, false} if none.
KeyScanCode VkToScanCode(std::uint16_t vk);
// VK_SHIFT/VK_CONTROL/VK_MENU for their left and right variants; other codes unchanged.
std::uint16_t GenericVk(std::uint16_t vk);
// The control character a key press produces (see Event::Text), or 0.
char32_t ControlCharForKey(std::uint16_t vk, std::uint8_t mods);

}  // namespace vcl::platform
