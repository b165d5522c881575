// Helpers of the drawing-core tests (beside the graphics tests' bitmap helpers): pixels and
// channels, a target canvas whose pixels are read back, fonts, and a guard that restores the
// style registry.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "../graphics/GraphicsTest.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/Graphic.h"
#include "host/themes/StyleManager.h"

namespace drawtest {

using namespace vcl;
using gfxtest::Hex;
using gfxtest::Make32;
using gfxtest::Px;
using gfxtest::TCounter;

inline std::vector<std::uint32_t> Pixels(TBitmap& b) {
  std::vector<std::uint32_t> v;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) v.push_back(Px(b, x, y));
  return v;
}

inline int Chan(std::uint32_t p, int shift) { return int((p >> shift) & 0xFF); }
inline int Red(std::uint32_t p) { return Chan(p, 16); }
inline int Green(std::uint32_t p) { return Chan(p, 8); }
inline int Blue(std::uint32_t p) { return Chan(p, 0); }
inline int Alpha(std::uint32_t p) { return Chan(p, 24); }

// An opaque target of w x h pixels filled with `backdrop`, drawn on through its canvas.
struct TTarget {
  TBitmap Bitmap;
  TTarget(int w, int h, std::uint32_t backdrop = 0xFF000000u) { Make32(Bitmap, w, h, backdrop); }
  TCanvas* Canvas() { return Bitmap.Canvas(); }
  std::uint32_t At(int x, int y) { return Px(Bitmap, x, y); }
  int W() const { return Bitmap.Width(); }
  int H() const { return Bitmap.Height(); }
  // Sum of a channel over a rectangle (the whole target by default).
  long Sum(int shift, TRect r = {}) {
    if (r.IsEmpty()) r = Rect(0, 0, W(), H());
    long s = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) s += Chan(At(x, y), shift);
    return s;
  }
  // Pixels whose channel is non-zero.
  int Count(int shift) {
    int n = 0;
    for (int y = 0; y < H(); ++y)
      for (int x = 0; x < W(); ++x) n += Chan(At(x, y), shift) != 0;
    return n;
  }
  // The bounding box of pixels whose channel is non-zero.
  TRect Extent(int shift) {
    TRect r{W(), H(), -1, -1};
    for (int y = 0; y < H(); ++y)
      for (int x = 0; x < W(); ++x)
        if (Chan(At(x, y), shift)) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r.Right < 0 ? TRect{} : r;
  }
};

// A font for text tests: Tahoma, `height` pixels, in `color`.
inline void UseFont(TCanvas* c, int height, TColor color, bool bold = false) {
  c->Font()->SetName(u"Tahoma");
  c->Font()->SetHeight(height);
  c->Font()->SetColor(color);
  c->Font()->SetStyle(bold ? TFontStyles{fsBold} : TFontStyles{});
}

// Restores the active style and the themes switch when a test ends.
struct TStyleGuard {
  ~TStyleGuard() {
    TStyleManager::SetThemesEnabled(true);
    TStyleManager::SetStyle(u"Windows");
  }
};

}  // namespace drawtest
