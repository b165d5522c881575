// Helpers shared by the graphics classes' implementations (not part of the public interface).
#pragma once
#include <cstdint>

#include "host/gdi/GdiInternal.h"
#include "host/gdi/ImageList.h"
#include "host/rtl/SysUtils.h"

namespace vcl::graphics_detail {

// The pixels of a bitmap as 32-bit words (opaque for depths below 32) through its drawing
// surface, refreshed from the rows; strideWords receives the row stride. nullptr on failure.
inline const std::uint32_t* BitmapWords(HBITMAP b, int& strideWords) {
  cairo_surface_t* s = BitmapSurface(b);
  if (!s) return nullptr;
  cairo_surface_flush(s);
  return SurfacePixels(s, strideWords);
}

// A zero-filled 32-bit top-down DIB selected into its own memory DC; both freed with it.
class TTempImage {
 public:
  TTempImage(int w, int h) {
    Bmp = CreateDIB32(w, h, reinterpret_cast<void**>(&Px));
    if (!Bmp) throw EOutOfResources("Cannot create a temporary bitmap");
    Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bmp);
    Stride = Bmp->Stride / 4;
    Width = w;
    Height = h;
  }
  ~TTempImage() {
    if (Dc) DeleteDC(Dc);
    if (Bmp) DeleteObject(Bmp);
  }
  // Hands the bitmap to the caller (the DC goes).
  HBITMAP Release() {
    DeleteDC(Dc);
    Dc = nullptr;
    HBITMAP b = Bmp;
    Bmp = nullptr;
    return b;
  }
  TTempImage(const TTempImage&) = delete;
  TTempImage& operator=(const TTempImage&) = delete;

  std::uint32_t* Row(int y) const { return Px + size_t(y) * size_t(Stride); }
  // Pixels written directly must be announced before the DC draws from them again.
  void Touch() const {
    if (Bmp->Surface) cairo_surface_mark_dirty(Bmp->Surface);
  }

  HBITMAP Bmp = nullptr;
  HDC Dc = nullptr;
  std::uint32_t* Px = nullptr;
  int Stride = 0;
  int Width = 0;
  int Height = 0;
};

// A zero-filled top-down 1-bit DIB (palette black, white); nullptr when it cannot be made.
HBITMAP CreateMonoDib(int w, int h);

// One image of an image list: its premultiplied pixels in a top-down 32-bit DIB and, for a
// list with masks, its mask in a 1-bit DIB (1 = transparent). Owns both.
struct TImageCell {
  TImageCell() = default;
  ~TImageCell();
  TImageCell(const TImageCell&) = delete;
  TImageCell& operator=(const TImageCell&) = delete;
  HBITMAP Image = nullptr;
  HBITMAP Mask = nullptr;
};
// Copies image `index` of the list into `cell`; false for a bad list or index.
bool ExtractImageCell(HIMAGELIST list, int index, TImageCell& cell);

}  // namespace vcl::graphics_detail
