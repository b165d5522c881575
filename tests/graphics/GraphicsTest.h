// Helpers of the graphics tests: bitmaps with known pixels and pixel read-back.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/graphics/Canvas.h"
#include "host/graphics/Graphic.h"

namespace gfxtest {

using namespace vcl;

// A pf32bit bitmap of the given size whose rows hold `fill` (as stored, whatever AlphaFormat).
inline void Make32(TBitmap& b, int w, int h, std::uint32_t fill = 0) {
  b.SetPixelFormat(pf32bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<std::uint32_t*>(b.ScanLine(y));
    for (int x = 0; x < w; ++x) row[x] = fill;
  }
}

inline std::uint32_t& Px(TBitmap& b, int x, int y) {
  return static_cast<std::uint32_t*>(b.ScanLine(y))[x];
}

inline std::string Hex(std::uint32_t v) {
  char s[16];
  std::snprintf(s, sizeof s, "%08X", v);
  return s;
}

// Channel-wise comparison with a tolerance, for blended results.
inline ::testing::AssertionResult Near(std::uint32_t got, std::uint32_t want, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    int a = int((got >> shift) & 0xFF), b = int((want >> shift) & 0xFF);
    if (a - b > tolerance || b - a > tolerance)
      return ::testing::AssertionFailure() << "got " << Hex(got) << ", want " << Hex(want)
                                           << " (+-" << tolerance << ")";
  }
  return ::testing::AssertionSuccess();
}

// Counts notifications.
class TCounter : public TObject {
 public:
  void Hit(TObject*) { ++Count; }
  TNotifyEvent Event() { return TNotifyEvent(this, &TCounter::Hit); }
  int Count = 0;
};

}  // namespace gfxtest
