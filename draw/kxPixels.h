// Row access to the pixels of 32-bit bitmaps, shared by the drawing core's implementation
// (not part of its interface).
#pragma once
#include <cstddef>
#include <cstdint>

#include "host/graphics/Graphic.h"

namespace kx::detail {

// The rows of a bitmap as 32-bit words. Rows follow each other at a fixed distance, so one
// ScanLine call gives them all.
struct TPixelRows {
  std::uint32_t* First = nullptr;
  std::ptrdiff_t Stride = 0;  // in words
  int Width = 0;
  int Height = 0;
  std::uint32_t* Row(int y) const { return First + std::ptrdiff_t(y) * Stride; }
};

// The rows of a non-empty bitmap, which is made pf32bit first when it has another depth;
// false for nullptr or an empty bitmap.
inline bool Rows32(vcl::TBitmap* bitmap, TPixelRows& rows) {
  if (!bitmap || bitmap->Empty()) return false;
  if (bitmap->BitsPerPixel() != 32) bitmap->SetPixelFormat(vcl::pf32bit);
  rows.First = static_cast<std::uint32_t*>(bitmap->ScanLine(0));
  rows.Stride = bitmap->RowBytes() / 4;
  rows.Width = bitmap->Width();
  rows.Height = bitmap->Height();
  return true;
}

// The bitmap itself when it has 32 bits per pixel, else `copy` made a pf32bit copy of it (the
// caller's bitmap keeps its depth).
inline vcl::TBitmap* As32(vcl::TBitmap* bitmap, vcl::TBitmap& copy) {
  if (bitmap->BitsPerPixel() == 32) return bitmap;
  copy.Assign(bitmap);
  copy.SetPixelFormat(vcl::pf32bit);
  return &copy;
}

// A new pf32bit bitmap of the given size, every pixel 0 (transparent black).
inline void Make32(vcl::TBitmap& bitmap, int width, int height) {
  bitmap.SetPixelFormat(vcl::pf32bit);
  bitmap.SetSize(width, height);
}

}  // namespace kx::detail
