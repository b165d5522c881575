// A memory DC on a 32-bit top-down DIB for drawing tests, owning the objects it selects.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiInternal.h"

namespace kxtest {

using namespace vcl;

// Premultiplied opaque pixel of a COLORREF.
inline std::uint32_t Px(COLORREF c) { return OpaquePixel(c); }

class Canvas {
 public:
  Canvas(int w, int h, std::uint32_t fill = 0xFFFFFFFFu) : W(w), H(h) {
    Dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    Bmp = CreateDIB32(w, h, &bits);
    Bits = static_cast<std::uint32_t*>(bits);
    SelectObject(Dc, Bmp);
    Clear(fill);
  }
  ~Canvas() {
    SelectObject(Dc, AsPen(GetStockObject(BLACK_PEN)));
    SelectObject(Dc, AsBrush(GetStockObject(WHITE_BRUSH)));
    DeleteDC(Dc);
    DeleteObject(Bmp);
    for (HGDIOBJ o : Owned) EXPECT_TRUE(DeleteObject(o));
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void Clear(std::uint32_t v) { std::fill(Bits, Bits + size_t(W) * H, v); }
  std::uint32_t At(int x, int y) const { return Bits[size_t(y) * W + x]; }
  std::uint32_t& Ref(int x, int y) { return Bits[size_t(y) * W + x]; }

  // Creates and selects; the canvas deletes them.
  HPEN Pen(int style, int width, COLORREF c) {
    HPEN p = CreatePen(style, width, c);
    Owned.push_back(p);
    SelectObject(Dc, p);
    return p;
  }
  HBRUSH Brush(HBRUSH b) {
    Owned.push_back(b);
    SelectObject(Dc, b);
    return b;
  }
  template <class T>
  T Own(T obj) {
    Owned.push_back(obj);
    return obj;
  }

  // Pixels equal to v inside r (surface coordinates).
  int Count(std::uint32_t v, TRect r) const {
    int n = 0;
    for (int y = std::max(0, r.Top); y < std::min(H, r.Bottom); ++y)
      for (int x = std::max(0, r.Left); x < std::min(W, r.Right); ++x) n += At(x, y) == v;
    return n;
  }
  int Count(std::uint32_t v) const { return Count(v, {0, 0, W, H}); }
  // Bounding box of the pixels different from bg (empty when none).
  TRect Changed(std::uint32_t bg) const {
    TRect b{W, H, 0, 0};
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (At(x, y) != bg) b = {std::min(b.Left, x), std::min(b.Top, y), std::max(b.Right, x + 1),
                                 std::max(b.Bottom, y + 1)};
    return b.IsEmpty() ? TRect{} : b;
  }
  // True when the pixels of `pred` form a set symmetric about the centre of box.
  bool Symmetric(const TRect& box, const std::function<bool(std::uint32_t)>& pred) const {
    for (int y = box.Top; y < box.Bottom; ++y)
      for (int x = box.Left; x < box.Right; ++x) {
        bool a = pred(At(x, y));
        if (a != pred(At(box.Left + box.Right - 1 - x, y))) return false;
        if (a != pred(At(x, box.Top + box.Bottom - 1 - y))) return false;
      }
    return true;
  }

  int W, H;
  HDC Dc;
  HBITMAP Bmp;
  std::uint32_t* Bits;
  std::vector<HGDIOBJ> Owned;
};

}  // namespace kxtest
