#include "host/platform/VirtualKeys.h"

#include <array>

#include "host/platform/Platform.h"

namespace vcl::platform {

namespace {

struct ScanEntry {
  std::uint8_t Scan = 0;
  bool Extended = false;
};

// Set-1 scan codes of a US keyboard, indexed by VK.
constexpr std::array<ScanEntry, 256> BuildScanTable() {
  std::array<ScanEntry, 256> t{};
  auto set = [&t](std::uint16_t vk, std::uint8_t scan, bool ext = false) {
    t[vk] = {scan, ext};
  };
  set(VK_ESCAPE, 0x01);
  for (int i = 1; i <= 9; ++i) set(std::uint16_t(VK_0 + i), std::uint8_t(0x01 + i));
  set(VK_0, 0x0B);
  set(VK_OEM_MINUS, 0x0C);
  set(VK_OEM_PLUS, 0x0D);
  set(VK_BACK, 0x0E);
  set(VK_TAB, 0x0F);
  const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
  const std::uint8_t starts[] = {0x10, 0x1E, 0x2C};
  for (int r = 0; r < 3; ++r)
    for (int i = 0; rows[r][i]; ++i) set(std::uint16_t(rows[r][i]), std::uint8_t(starts[r] + i));
  set(VK_OEM_4, 0x1A);
  set(VK_OEM_6, 0x1B);
  set(VK_RETURN, 0x1C);
  set(VK_CONTROL, 0x1D);
  set(VK_LCONTROL, 0x1D);
  set(VK_RCONTROL, 0x1D, true);
  set(VK_OEM_1, 0x27);
  set(VK_OEM_7, 0x28);
  set(VK_OEM_3, 0x29);
  set(VK_SHIFT, 0x2A);
  set(VK_LSHIFT, 0x2A);
  set(VK_OEM_5, 0x2B);
  set(VK_OEM_COMMA, 0x33);
  set(VK_OEM_PERIOD, 0x34);
  set(VK_OEM_2, 0x35);
  set(VK_RSHIFT, 0x36);
  set(VK_MULTIPLY, 0x37);
  set(VK_MENU, 0x38);
  set(VK_LMENU, 0x38);
  set(VK_RMENU, 0x38, true);
  set(VK_SPACE, 0x39);
  set(VK_CAPITAL, 0x3A);
  for (int i = 0; i < 10; ++i) set(std::uint16_t(VK_F1 + i), std::uint8_t(0x3B + i));
  set(VK_NUMLOCK, 0x45, true);
  set(VK_PAUSE, 0x45);
  set(VK_SCROLL, 0x46);
  // Keypad digits (NumLock on) and the navigation keys they double as (NumLock off).
  set(VK_NUMPAD7, 0x47);
  set(VK_NUMPAD8, 0x48);
  set(VK_NUMPAD9, 0x49);
  set(VK_SUBTRACT, 0x4A);
  set(VK_NUMPAD4, 0x4B);
  set(VK_NUMPAD5, 0x4C);
  set(VK_CLEAR, 0x4C);
  set(VK_NUMPAD6, 0x4D);
  set(VK_ADD, 0x4E);
  set(VK_NUMPAD1, 0x4F);
  set(VK_NUMPAD2, 0x50);
  set(VK_NUMPAD3, 0x51);
  set(VK_NUMPAD0, 0x52);
  set(VK_DECIMAL, 0x53);
  set(VK_OEM_102, 0x56);
  set(VK_F11, 0x57);
  set(VK_F12, 0x58);
  for (int i = 0; i < 11; ++i) set(std::uint16_t(VK_F13 + i), std::uint8_t(0x64 + i));
  set(VK_F24, 0x76);
  // The dedicated navigation block: the keypad's codes with the E0 prefix.
  set(VK_HOME, 0x47, true);
  set(VK_UP, 0x48, true);
  set(VK_PRIOR, 0x49, true);
  set(VK_LEFT, 0x4B, true);
  set(VK_RIGHT, 0x4D, true);
  set(VK_END, 0x4F, true);
  set(VK_DOWN, 0x50, true);
  set(VK_NEXT, 0x51, true);
  set(VK_INSERT, 0x52, true);
  set(VK_DELETE, 0x53, true);
  set(VK_DIVIDE, 0x35, true);
  set(VK_SNAPSHOT, 0x37, true);
  set(VK_CANCEL, 0x46, true);
  set(VK_LWIN, 0x5B, true);
  set(VK_RWIN, 0x5C, true);
  set(VK_APPS, 0x5D, true);
  return t;
}

constexpr std::array<ScanEntry, 256> ScanTable = BuildScanTable();

}  // namespace

KeyScanCode VkToScanCode(std::uint16_t vk) {
  if (vk >= ScanTable.size()) return {};
  return {ScanTable[vk].Scan, ScanTable[vk].Extended};
}

std::uint16_t GenericVk(std::uint16_t vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return vk;
  }
}

char32_t ControlCharForKey(std::uint16_t vk, std::uint8_t mods) {
  // Alt combinations produce no control characters (with Ctrl it is AltGr, whose characters
  // come from the layout as text).
  if (mods & ModAlt) return 0;
  bool ctrl = (mods & ModCtrl) != 0;
  switch (vk) {
    case VK_BACK: return ctrl ? 0x7F : 0x08;
    case VK_TAB: return ctrl ? 0 : 0x09;
    case VK_RETURN: return ctrl ? 0x0A : 0x0D;
    case VK_ESCAPE: return 0x1B;
    default: break;
  }
  if (!ctrl) return 0;
  if (vk >= VK_A && vk <= VK_Z) return char32_t(vk - VK_A + 1);
  switch (vk) {
    case VK_OEM_4: return 0x1B;
    case VK_OEM_5: return 0x1C;
    case VK_OEM_6: return 0x1D;
    case VK_SPACE: return 0x20;
    default: return 0;
  }
}

}  // namespace vcl::platform
