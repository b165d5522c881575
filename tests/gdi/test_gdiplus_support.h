// Shared helpers of the GDI+ tests: a 32-bit canvas in a memory DC and pixel inspection.
#pragma once
#include <cstdint>

#include "host/gdi/GdiInternal.h"
#include "host/gdi/GdiPlus.h"

namespace gptest {

// A top-down 32-bit DIB section selected into a memory DC, filled with one premultiplied word.
struct Canvas {
  vcl::HDC Dc = nullptr;
  vcl::HBITMAP Bmp = nullptr;
  std::uint32_t* Bits = nullptr;
  int W = 0, H = 0;

  Canvas(int w, int h, std::uint32_t fill = 0xFFFFFFFFu) : W(w), H(h) {
    void* bits = nullptr;
    Bmp = vcl::CreateDIB32(w, h, &bits);
    Bits = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) Bits[i] = fill;
    Dc = vcl::CreateCompatibleDC(nullptr);
    vcl::SelectObject(Dc, Bmp);
  }
  ~Canvas() {
    vcl::DeleteDC(Dc);
    vcl::DeleteObject(Bmp);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  std::uint32_t At(int x, int y) const { return Bits[y * W + x]; }
  int Red(int x, int y) const { return int((At(x, y) >> 16) & 0xFF); }
  int Green(int x, int y) const { return int((At(x, y) >> 8) & 0xFF); }
  int Blue(int x, int y) const { return int(At(x, y) & 0xFF); }
  int Alpha(int x, int y) const { return int(At(x, y) >> 24); }
};

// A bitmap of the given format whose pixel (x, y) is f(x, y) (straight ARGB).
template <class F>
vcl::TGPBitmap* MakeBitmap(int w, int h, F&& f, vcl::PixelFormat format = vcl::PixelFormat32bppARGB) {
  auto* b = new vcl::TGPBitmap(w, h, format);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->SetPixel(x, y, f(x, y));
  return b;
}

inline vcl::ARGB Checker(int x, int y) { return ((x + y) & 1) ? 0xFFFFFFFFu : 0xFF000000u; }

}  // namespace gptest
