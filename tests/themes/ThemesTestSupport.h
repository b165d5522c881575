// Helpers of the style engine tests: an off-screen canvas whose pixels can be read back.
#pragma once
#include <cstdint>

#include "host/gdi/Gdi.h"

namespace vcl::test {

// Magenta: a colour no style uses, so any pixel that differs from it was drawn.
constexpr std::uint32_t Backdrop = 0xFFFF00FFu;

class TCanvasBitmap {
 public:
  TCanvasBitmap(int w, int h) : FW(w), FH(h) {
    void* bits = nullptr;
    FBmp = CreateDIB32(w, h, &bits);
    FBits = static_cast<std::uint32_t*>(bits);
    FDc = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDc, FBmp);
    Clear();
  }
  ~TCanvasBitmap() {
    SelectObject(FDc, FOld);
    DeleteDC(FDc);
    DeleteObject(FBmp);
  }
  TCanvasBitmap(const TCanvasBitmap&) = delete;
  TCanvasBitmap& operator=(const TCanvasBitmap&) = delete;

  HDC Dc() const { return FDc; }
  void Clear(std::uint32_t c = Backdrop) {
    GdiFlush();
    for (int i = 0; i < FW * FH; ++i) FBits[i] = c;
  }
  // Premultiplied 0xAARRGGBB.
  std::uint32_t Pixel(int x, int y) const {
    GdiFlush();
    return FBits[y * FW + x];
  }
  // Pixels inside r that differ from the backdrop, and outside r.
  int ChangedIn(const TRect& r) const { return Count(r, true); }
  int ChangedOutside(const TRect& r) const { return Count(r, false); }

 private:
  int Count(const TRect& r, bool inside) const {
    GdiFlush();
    int n = 0;
    for (int y = 0; y < FH; ++y)
      for (int x = 0; x < FW; ++x)
        if (r.Contains(TPoint(x, y)) == inside && FBits[y * FW + x] != Backdrop) ++n;
    return n;
  }

  int FW, FH;
  HBITMAP FBmp;
  HBITMAP FOld;
  HDC FDc;
  std::uint32_t* FBits;
};

}  // namespace vcl::test
