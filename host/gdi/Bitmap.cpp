// Bitmaps: DIB sections, compatible and device-dependent bitmaps, row transfer.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "host/gdi/GdiInternal.h"

namespace vcl {

namespace {

constexpr long long kMaxPixels = 1LL << 28;  // 256 Mpixel: refuse anything larger

int StrideFor(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

bool ValidBpp(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32; }

BitmapObject* NewBitmap(int width, int height, int bpp, bool topDown) {
  if (width <= 0 || height <= 0 || !ValidBpp(bpp)) return nullptr;
  if ((long long)width * height > kMaxPixels) return nullptr;
  auto* b = new BitmapObject;
  b->Width = width;
  b->Height = height;
  b->BitsPerPixel = bpp;
  b->Stride = StrideFor(width, bpp);
  b->TopDown = topDown;
  b->Bits = static_cast<BYTE*>(std::calloc(size_t(b->Stride) * size_t(height), 1));
  if (!b->Bits) {
    delete b;
    return nullptr;
  }
  return b;
}

inline std::uint32_t PaletteWord(const RGBQUAD& q) {
  return 0xFF000000u | (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

// Reads pixel x of a native row as a 0xAARRGGBB word.
inline std::uint32_t ReadNative(const BitmapObject* b, const BYTE* row, int x) {
  switch (b->BitsPerPixel) {
    case 32: return reinterpret_cast<const std::uint32_t*>(row)[x];
    case 24: {
      const BYTE* p = row + x * 3;
      return 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    }
    default: {
      int bpp = b->BitsPerPixel;
      int bit = x * bpp;
      int shift = 8 - bpp - (bit & 7);
      int idx = (row[bit >> 3] >> shift) & ((1 << bpp) - 1);
      if (idx < int(b->Palette.size())) return PaletteWord(b->Palette[idx]);
      return 0xFF000000u;
    }
  }
}

int NearestPaletteIndex(const std::vector<RGBQUAD>& pal, std::uint32_t px) {
  int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, bl = px & 0xFF;
  int best = 0, bestD = std::numeric_limits<int>::max();
  for (size_t i = 0; i < pal.size(); ++i) {
    int dr = r - pal[i].rgbRed, dg = g - pal[i].rgbGreen, db = bl - pal[i].rgbBlue;
    int d = dr * dr + dg * dg + db * db;
    if (d < bestD) {
      bestD = d;
      best = int(i);
      if (d == 0) break;
    }
  }
  return best;
}

// lastPx caches the previous palette lookup; -1 (no 32-bit pixel has that value) means none.
inline void WriteNative(BitmapObject* b, BYTE* row, int x, std::uint32_t px, std::int64_t& lastPx,
                        int& lastIdx) {
  switch (b->BitsPerPixel) {
    case 32: reinterpret_cast<std::uint32_t*>(row)[x] = px; break;
    case 24: {
      BYTE* p = row + x * 3;
      p[0] = BYTE(px);
      p[1] = BYTE(px >> 8);
      p[2] = BYTE(px >> 16);
      break;
    }
    default: {
      if (std::int64_t(px) != lastPx) {
        lastPx = std::int64_t(px);
        lastIdx = NearestPaletteIndex(b->Palette, px);
      }
      int bpp = b->BitsPerPixel;
      int bit = x * bpp;
      int shift = 8 - bpp - (bit & 7);
      BYTE mask = BYTE(((1 << bpp) - 1) << shift);
      row[bit >> 3] = BYTE((row[bit >> 3] & ~mask) | ((lastIdx << shift) & mask));
      break;
    }
  }
}

void DefaultPalette(BitmapObject* b) {
  int n = 1 << b->BitsPerPixel;
  b->Palette.assign(size_t(n), RGBQUAD{});
  if (n == 2) {
    b->Palette[1] = {255, 255, 255, 0};
    return;
  }
  for (int i = 0; i < n; ++i) {
    BYTE v = BYTE(i * 255 / (n - 1));
    b->Palette[i] = {v, v, v, 0};
  }
}

}  // namespace

BitmapObject::~BitmapObject() {
  if (Surface) cairo_surface_destroy(Surface);
  std::free(Bits);
}

cairo_surface_t* BitmapSurface(BitmapObject* b) {
  if (!b) return nullptr;
  if (!b->Surface) {
    if (!b->IsShadow()) {
      b->Surface = cairo_image_surface_create_for_data(b->Bits, CAIRO_FORMAT_ARGB32, b->Width,
                                                       b->Height, b->Stride);
    } else {
      b->Surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, b->Width, b->Height);
    }
    if (cairo_surface_status(b->Surface) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(b->Surface);
      b->Surface = nullptr;
      return nullptr;
    }
  }
  if (b->IsShadow()) {
    cairo_surface_flush(b->Surface);
    int sw;
    std::uint32_t* dst = SurfacePixels(b->Surface, sw);
    for (int y = 0; y < b->Height; ++y) {
      const BYTE* row = BitmapRow(b, y);
      std::uint32_t* d = dst + size_t(y) * sw;
      if (b->BitsPerPixel == 32) {
        std::memcpy(d, row, size_t(b->Width) * 4);
      } else {
        for (int x = 0; x < b->Width; ++x) d[x] = ReadNative(b, row, x);
      }
    }
    cairo_surface_mark_dirty(b->Surface);
  }
  return b->Surface;
}

void StoreShadow(BitmapObject* b) {
  if (!b || !b->Surface || !b->IsShadow()) return;
  cairo_surface_flush(b->Surface);
  int sw;
  const std::uint32_t* src = SurfacePixels(b->Surface, sw);
  std::int64_t lastPx = -1;
  int lastIdx = 0;
  for (int y = 0; y < b->Height; ++y) {
    BYTE* row = BitmapRow(b, y);
    const std::uint32_t* s = src + size_t(y) * sw;
    if (b->BitsPerPixel == 32) {
      std::memcpy(row, s, size_t(b->Width) * 4);
    } else {
      for (int x = 0; x < b->Width; ++x) WriteNative(b, row, x, s[x], lastPx, lastIdx);
    }
  }
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, void*, DWORD) {
  if (bits) *bits = nullptr;
  if (!info) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return nullptr;
  if (h.biCompression == BI_BITFIELDS && h.biBitCount != 32) return nullptr;
  if (h.biHeight == std::numeric_limits<LONG>::min()) return nullptr;
  int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  BitmapObject* b = NewBitmap(h.biWidth, height, h.biBitCount, h.biHeight < 0);
  if (!b) return nullptr;
  b->IsDib = true;
  if (h.biBitCount <= 8) {
    int n = 1 << h.biBitCount;
    int used = h.biClrUsed ? int(std::min<DWORD>(h.biClrUsed, DWORD(n))) : n;
    b->Palette.assign(info->bmiColors, info->bmiColors + used);
    b->Palette.resize(size_t(n));
  }
  if (h.biCompression == BI_BITFIELDS) {
    std::memcpy(b->Masks, info->bmiColors, sizeof b->Masks);
  }
  if (bits) *bits = b->Bits;
  (void)usage;
  return b;
}

HBITMAP CreateDIB32(int width, int height, void** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biBitCount = 32;
  return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits);
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
  if (width == 0 || height == 0) {
    // Win32 hands out a 1x1 monochrome bitmap for an empty size; a 1x1 surface serves.
    width = height = 1;
  }
  return NewBitmap(width, height, 32, true);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
  if (planes != 1 || (bpp != 1 && bpp != 32)) return nullptr;
  BitmapObject* b = NewBitmap(width, height, int(bpp), true);
  if (!b) return nullptr;
  if (bpp == 1) DefaultPalette(b);
  if (bits) {
    // Device-dependent rows are WORD aligned.
    int srcStride = ((width * int(bpp) + 15) / 16) * 2;
    const BYTE* s = static_cast<const BYTE*>(bits);
    for (int y = 0; y < height; ++y)
      std::memcpy(BitmapRow(b, y), s + size_t(y) * srcStride, size_t(std::min(srcStride, b->Stride)));
  }
  return b;
}

int GetObject(HBITMAP b, BITMAP* out) {
  if (!b || !out) return 0;
  out->bmType = 0;
  out->bmWidth = b->Width;
  out->bmHeight = b->Height;
  out->bmWidthBytes = b->Stride;
  out->bmPlanes = 1;
  out->bmBitsPixel = WORD(b->BitsPerPixel);
  out->bmBits = b->IsDib ? b->Bits : nullptr;
  return sizeof(BITMAP);
}

int GetObject(HBITMAP b, DIBSECTION* out) {
  if (!b || !out) return 0;
  GetObject(b, &out->dsBm);
  if (!b->IsDib) return sizeof(BITMAP);
  out->dsBmih = BITMAPINFOHEADER{};
  out->dsBmih.biWidth = b->Width;
  out->dsBmih.biHeight = b->TopDown ? -b->Height : b->Height;
  out->dsBmih.biBitCount = WORD(b->BitsPerPixel);
  out->dsBmih.biCompression = (b->Masks[0] | b->Masks[1] | b->Masks[2]) ? BI_BITFIELDS : BI_RGB;
  out->dsBmih.biSizeImage = DWORD(b->Stride) * DWORD(b->Height);
  out->dsBmih.biClrUsed = b->BitsPerPixel <= 8 ? DWORD(1 << b->BitsPerPixel) : 0;
  std::memcpy(out->dsBitfields, b->Masks, sizeof b->Masks);
  return sizeof(DIBSECTION);
}

TSize GetBitmapDimension(HBITMAP b) { return b ? TSize{b->Width, b->Height} : TSize{}; }

bool GdiFlush() { return true; }

int GetDIBits(HDC, HBITMAP b, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT) {
  if (!b || !info) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (!bits) {
    if (h.biBitCount == 0) h.biBitCount = WORD(b->BitsPerPixel);
    h.biWidth = b->Width;
    h.biHeight = b->TopDown ? -b->Height : b->Height;
    h.biPlanes = 1;
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(StrideFor(b->Width, h.biBitCount)) * DWORD(b->Height);
    if (h.biBitCount <= 8 && !b->Palette.empty())
      std::memcpy(info->bmiColors, b->Palette.data(),
                  std::min<size_t>(b->Palette.size(), 256) * sizeof(RGBQUAD));
    return b->Height;
  }
  int bpp = h.biBitCount;
  if ((bpp != 24 && bpp != 32) || h.biWidth != b->Width) return 0;
  if (h.biCompression != BI_RGB) return 0;
  int absH = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  if (absH != b->Height) return 0;
  bool topDown = h.biHeight < 0;
  int dstStride = StrideFor(b->Width, bpp);
  BYTE* out = static_cast<BYTE*>(bits);
  UINT done = 0;
  // `start` counts scan lines from the bottom of the image, as in Win32.
  for (UINT i = 0; i < lines; ++i) {
    UINT fromBottom = start + i;
    if (fromBottom >= UINT(b->Height)) break;
    int y = b->Height - 1 - int(fromBottom);  // row index from the top
    const BYTE* srow = BitmapRow(b, y);
    // Bottom-up output holds the lowest requested line first; top-down output the highest.
    BYTE* drow = topDown ? out + size_t(int(lines) - 1 - int(i)) * dstStride
                         : out + size_t(i) * dstStride;
    for (int x = 0; x < b->Width; ++x) {
      std::uint32_t px = ReadNative(b, srow, x);
      if (bpp == 32) {
        reinterpret_cast<std::uint32_t*>(drow)[x] = px;
      } else {
        drow[x * 3] = BYTE(px);
        drow[x * 3 + 1] = BYTE(px >> 8);
        drow[x * 3 + 2] = BYTE(px >> 16);
      }
    }
    ++done;
  }
  return int(done);
}

int SetDIBits(HDC, HBITMAP b, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT) {
  if (!b || !info || !bits) return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  int bpp = h.biBitCount;
  if ((bpp != 24 && bpp != 32) || h.biWidth != b->Width || h.biCompression != BI_RGB) return 0;
  bool topDown = h.biHeight < 0;
  int srcStride = StrideFor(b->Width, bpp);
  const BYTE* in = static_cast<const BYTE*>(bits);
  std::int64_t lastPx = -1;
  int lastIdx = 0;
  UINT done = 0;
  for (UINT i = 0; i < lines; ++i) {
    UINT fromBottom = start + i;
    if (fromBottom >= UINT(b->Height)) break;
    int y = b->Height - 1 - int(fromBottom);
    const BYTE* srow = topDown ? in + size_t(int(lines) - 1 - int(i)) * srcStride
                               : in + size_t(i) * srcStride;
    BYTE* drow = BitmapRow(b, y);
    for (int x = 0; x < b->Width; ++x) {
      std::uint32_t px = bpp == 32 ? reinterpret_cast<const std::uint32_t*>(srow)[x]
                                   : 0xFF000000u | (std::uint32_t(srow[x * 3 + 2]) << 16) |
                                         (std::uint32_t(srow[x * 3 + 1]) << 8) | srow[x * 3];
      WriteNative(b, drow, x, px, lastPx, lastIdx);
    }
    ++done;
  }
  if (b->Surface && !b->IsShadow()) cairo_surface_mark_dirty(b->Surface);
  return int(done);
}

}  // namespace vcl
