// Helpers of the styled painting tests: a fixture that pins the system version and restores
// the styling, references drawn straight through the style services or the classic GDI calls,
// and pixel comparisons.
#pragma once
#include "DrawTest.h"
#include "draw/kxStylingOptions.h"
#include "draw/kxSystem.h"
#include "host/gdi/GdiDraw.h"

namespace painttest {

using namespace vcl;
using drawtest::TTarget;

// A grey backdrop, so transparent parts of an element show.
constexpr std::uint32_t kBackdrop = 0xFF808080u;

class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override { kx::SetWindowsVersion(10, 0, 19045); }
  void TearDown() override {
    kx::SetWindowsVersion(10, 0, 19045);
    kx::ResetStylingOptions();
  }
  // Activates a style (with themes on).
  static TCustomStyleServices* Use(const char16_t* name) {
    TStyleManager::SetThemesEnabled(true);
    TStyleManager::SetStyle(name);
    return TStyleManager::ActiveStyle();
  }
  // The classic look: the system style with themes off.
  static void UseClassic() {
    TStyleManager::SetStyle(u"Windows");
    TStyleManager::SetThemesEnabled(false);
  }
  drawtest::TStyleGuard FGuard;
};

// The element drawn into r of a fresh w x h target.
inline void Element(TTarget& t, TCustomStyleServices* s, const TThemedElementDetails& d,
                    const TRect& r, int dpi = 96) {
  s->DrawElement(t.Canvas()->Handle(), d, r, nullptr, dpi);
}

// The number of pixels in which two targets differ.
inline int Differences(TTarget& a, TTarget& b) {
  int n = 0;
  for (int y = 0; y < a.H(); ++y)
    for (int x = 0; x < a.W(); ++x) n += a.At(x, y) != b.At(x, y);
  return n;
}

// The number of pixels that differ from the backdrop.
inline int Painted(TTarget& t, std::uint32_t backdrop = kBackdrop) {
  int n = 0;
  for (int y = 0; y < t.H(); ++y)
    for (int x = 0; x < t.W(); ++x) n += t.At(x, y) != backdrop;
  return n;
}

// The bounding box of the pixels that differ from the backdrop.
inline TRect PaintedExtent(TTarget& t, std::uint32_t backdrop = kBackdrop) {
  TRect r{t.W(), t.H(), -1, -1};
  for (int y = 0; y < t.H(); ++y)
    for (int x = 0; x < t.W(); ++x)
      if (t.At(x, y) != backdrop) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r.Right < 0 ? TRect{} : r;
}

// The opaque pixel word of a colour (system colours resolved).
inline std::uint32_t Opaque(TColor c) {
  COLORREF rgb = ColorToRGB(c);
  return 0xFF000000u | std::uint32_t(GetRValue(rgb)) << 16 | std::uint32_t(GetGValue(rgb)) << 8 |
         GetBValue(rgb);
}

inline ::testing::AssertionResult SameAs(TTarget& got, TTarget& want) {
  int n = Differences(got, want);
  if (n == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << n << " pixels differ";
}

}  // namespace painttest
