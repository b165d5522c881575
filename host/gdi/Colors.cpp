#include <cmath>
#include <cstdlib>

#include "host/gdi/Types.h"

namespace vcl {

namespace {

constexpr COLORREF Hex(std::uint32_t rgb) {
  return RGB(BYTE(rgb >> 16), BYTE(rgb >> 8), BYTE(rgb));
}

// Windows 10 defaults.
constexpr COLORREF kDefaultSysColors[COLOR_COUNT] = {
    Hex(0xC8C8C8), Hex(0x000000), Hex(0x99B4D1), Hex(0xBFCDDB), Hex(0xF0F0F0), Hex(0xFFFFFF),
    Hex(0x646464), Hex(0x000000), Hex(0x000000), Hex(0x000000), Hex(0xB4B4B4), Hex(0xF4F7FC),
    Hex(0xABABAB), Hex(0x0078D7), Hex(0xFFFFFF), Hex(0xF0F0F0), Hex(0xA0A0A0), Hex(0x6D6D6D),
    Hex(0x000000), Hex(0x000000), Hex(0xFFFFFF), Hex(0x696969), Hex(0xE3E3E3), Hex(0x000000),
    Hex(0xFFFFE1), Hex(0xB5B5B5), Hex(0x0066CC), Hex(0xB9D1EA), Hex(0xD7E4F2), Hex(0x3399FF),
    Hex(0xF0F0F0)};

COLORREF gSysColors[COLOR_COUNT] = {};
bool gSysColorsInit = false;

void EnsureInit() {
  if (!gSysColorsInit) {
    for (int i = 0; i < COLOR_COUNT; ++i) gSysColors[i] = kDefaultSysColors[i];
    gSysColorsInit = true;
  }
}

}  // namespace

COLORREF GetSysColor(int index) {
  if (index < 0 || index >= COLOR_COUNT) return 0;
  EnsureInit();
  return gSysColors[index];
}

void SetSysColor(int index, COLORREF value) {
  if (index < 0 || index >= COLOR_COUNT) return;
  EnsureInit();
  gSysColors[index] = value & 0xFFFFFF;
}

void ResetSysColors() { gSysColorsInit = false; }

COLORREF ColorToRGB(TColor color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  return COLORREF(color);
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  long long num = (long long)a * b;
  long long q = num / c;
  long long r = num % c;
  // Round half away from zero.
  if (2 * std::llabs(r) >= std::llabs((long long)c)) q += ((num < 0) != (c < 0)) ? -1 : 1;
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return int(q);
}

std::int64_t RoundHalfEven(double v) { return (std::int64_t)std::nearbyint(v); }

}  // namespace vcl
