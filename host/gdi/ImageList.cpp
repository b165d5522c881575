// Image-list handles: storage of the images in one 32-bit DIB and one 1-bit mask DIB, adding
// from bitmaps, and drawing with masks, background colours, blending and per-pixel alpha.
#include "host/gdi/ImageList.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_set>
#include <vector>

#include "host/gdi/BlendKernels.h"
#include "host/gdi/GdiInternal.h"

namespace vcl {

struct ImageListObject {
  int Cx = 0;
  int Cy = 0;
  UINT Flags = 0;
  int Initial = 0;
  int Grow = 0;
  int Count = 0;
  int Capacity = 0;
  COLORREF Bk = CLR_NONE;
  HBITMAP Image = nullptr;   // top-down 32-bit DIB, Cx x Capacity * Cy, premultiplied
  HBITMAP Mask = nullptr;    // 1-bit DIB of the same size (ILC_MASK only); 1 = transparent
  std::vector<Byte> Alpha;   // per image: drawn with its per-pixel alpha

  bool HasMask() const { return (Flags & ILC_MASK) != 0; }
  bool KeepsAlpha() const { return (Flags & 0xFE) == ILC_COLOR32; }
};

namespace {

constexpr int kMaxSide = 32768;
constexpr int kMaxInitial = 1024;

// Live lists, so a destroyed or foreign handle is refused instead of dereferenced.
std::unordered_set<ImageListObject*>& Lists() {
  static std::unordered_set<ImageListObject*> lists;
  return lists;
}

ImageListObject* Valid(HIMAGELIST h) { return h && Lists().count(h) ? h : nullptr; }

// round(v * a / 255) for v, a in 0..255.
inline std::uint32_t Mul255(std::uint32_t v, std::uint32_t a) {
  std::uint32_t t = v * a + 128;
  return (t + (t >> 8)) >> 8;
}

// Premultiplied source-over: d = s + d * (255 - s.alpha) / 255 per channel (each product
// rounded like Mul255), saturating. Two channels at a time in 16-bit lanes.
inline std::uint32_t Over(std::uint32_t s, std::uint32_t d) {
  std::uint32_t inv = 255 - (s >> 24);
  if (inv == 0) return s;
  if (s == 0) return d;
  std::uint32_t rb = (d & 0x00FF00FFu) * inv + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  std::uint32_t ag = ((d >> 8) & 0x00FF00FFu) * inv + 0x00800080u;
  ag = ((ag + ((ag >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  rb += s & 0x00FF00FFu;
  ag += (s >> 8) & 0x00FF00FFu;
  // A lane above 255 (only from a source that is not validly premultiplied) saturates.
  std::uint32_t over = rb & 0x01000100u;
  rb = (rb | (over - (over >> 8))) & 0x00FF00FFu;
  over = ag & 0x01000100u;
  ag = (ag | (over - (over >> 8))) & 0x00FF00FFu;
  return rb | (ag << 8);
}

// Mixes quarters/4 of an opaque colour into a premultiplied pixel (the colour is weighted by
// the pixel's alpha, so the result stays premultiplied).
inline std::uint32_t MixColor(std::uint32_t p, COLORREF color, int quarters) {
  std::uint32_t a = p >> 24;
  std::uint32_t c[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
  std::uint32_t out = a << 24;
  for (int k = 0; k < 3; ++k) {
    std::uint32_t v = (p >> (8 * k)) & 0xFF;
    std::uint32_t mixed = (v * std::uint32_t(4 - quarters) + Mul255(c[k], a) * quarters + 2) / 4;
    out |= std::min(mixed, a) << (8 * k);
  }
  return out;
}

// Scales every channel of a premultiplied pixel by (4 - quarters) / 4.
inline std::uint32_t Fade(std::uint32_t p, int quarters) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= ((((p >> shift) & 0xFF) * std::uint32_t(4 - quarters) + 2) / 4) << shift;
  return out;
}

inline bool GetBit(const BYTE* row, int x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }
inline void SetBit(BYTE* row, int x, bool on) {
  BYTE m = BYTE(0x80 >> (x & 7));
  row[x >> 3] = on ? BYTE(row[x >> 3] | m) : BYTE(row[x >> 3] & ~m);
}

HBITMAP CreateMaskDib(int w, int h) {
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biBitCount = 1;
  bi.bmiColors[1] = {255, 255, 255, 0};
  return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr);
}

// Pending cairo drawing into the list's bitmap (someone may have selected it into a DC) must
// reach the bits before they are read, and changed bits must be announced to cairo.
void FlushImage(ImageListObject* il) {
  if (il->Image && il->Image->Surface) cairo_surface_flush(il->Image->Surface);
}
void TouchImage(ImageListObject* il) {
  if (il->Image && il->Image->Surface) cairo_surface_mark_dirty(il->Image->Surface);
}

std::uint32_t* CellPixels(ImageListObject* il, int i) {
  return reinterpret_cast<std::uint32_t*>(il->Image->Bits) +
         size_t(i) * size_t(il->Cy) * size_t(il->Image->Stride / 4);
}
BYTE* MaskRow(ImageListObject* il, int i, int y) {
  return il->Mask->Bits + (size_t(i) * size_t(il->Cy) + size_t(y)) * size_t(il->Mask->Stride);
}
size_t CellBytes(const ImageListObject* il) { return size_t(il->Cy) * size_t(il->Image->Stride); }
size_t MaskCellBytes(const ImageListObject* il) {
  return size_t(il->Cy) * size_t(il->Mask->Stride);
}

void FreeStorage(ImageListObject* il) {
  if (il->Image) DeleteObject(il->Image);
  if (il->Mask) DeleteObject(il->Mask);
  il->Image = il->Mask = nullptr;
  il->Capacity = 0;
  il->Count = 0;
  il->Alpha.clear();
}

// Makes room for n images, enlarging by at least the grow amount.
bool Reserve(ImageListObject* il, int n) {
  if (n <= il->Capacity) return true;
  int cap = il->Capacity == 0 ? std::clamp(il->Initial, 1, kMaxInitial)
                              : il->Capacity + std::max({il->Grow, 4, il->Capacity / 2});
  cap = std::max(cap, n);
  if (std::int64_t(cap) * il->Cy > std::numeric_limits<int>::max()) return false;
  HBITMAP img = CreateDIB32(il->Cx, cap * il->Cy);
  if (!img) return false;
  HBITMAP mask = nullptr;
  if (il->HasMask()) {
    mask = CreateMaskDib(il->Cx, cap * il->Cy);
    if (!mask) {
      DeleteObject(img);
      return false;
    }
  }
  if (il->Image) {
    FlushImage(il);
    std::memcpy(img->Bits, il->Image->Bits, CellBytes(il) * size_t(il->Count));
    if (mask) std::memcpy(mask->Bits, il->Mask->Bits, MaskCellBytes(il) * size_t(il->Count));
    DeleteObject(il->Image);
    if (il->Mask) DeleteObject(il->Mask);
  }
  il->Image = img;
  il->Mask = mask;
  il->Capacity = cap;
  il->Alpha.resize(size_t(cap), 0);
  return true;
}

// 32-bit view of a bitmap's pixels (premultiplied words; opaque for lower depths).
struct SourcePixels {
  const std::uint32_t* Px = nullptr;
  int Stride = 0;
  int Width = 0;
  int Height = 0;
  bool Is32 = false;
  std::uint32_t At(int x, int y) const { return Px[size_t(y) * size_t(Stride) + size_t(x)]; }
};

SourcePixels ReadSource(HBITMAP b) {
  SourcePixels s;
  cairo_surface_t* surface = BitmapSurface(b);
  if (!surface) return s;
  cairo_surface_flush(surface);
  s.Px = SurfacePixels(surface, s.Stride);
  s.Width = b->Width;
  s.Height = b->Height;
  s.Is32 = b->BitsPerPixel == 32;
  return s;
}

enum class MaskFrom { None, Bitmap, Color };

struct MaskSource {
  MaskFrom Kind = MaskFrom::None;
  HBITMAP Bitmap = nullptr;
  SourcePixels Pixels;          // of Bitmap, unless it is 1-bit
  std::uint32_t Key = 0;        // 0x00RRGGBB for MaskFrom::Color

  // A set (transparent) mask pixel: a 1 bit of a monochrome mask, white in any other.
  bool Set(int x, int y) const {
    if (x >= Bitmap->Width || y >= Bitmap->Height) return false;
    if (Bitmap->BitsPerPixel == 1) return GetBit(BitmapRow(Bitmap, y), x);
    return (Pixels.At(x, y) & 0xFFFFFFu) == 0xFFFFFFu;
  }
};

// Stores column `col` of the source into slot i.
void StoreCell(ImageListObject* il, int i, const SourcePixels& src, int col,
               const MaskSource& mask) {
  std::uint32_t* cell = CellPixels(il, i);
  int stride = il->Image->Stride / 4;
  int x0 = col * il->Cx;
  int rows = std::min(il->Cy, src.Height);
  bool anyAlpha = false, notOpaque = false;
  for (int y = 0; y < il->Cy; ++y)
    for (int x = 0; x < il->Cx; ++x) {
      std::uint32_t p = y < rows ? src.At(x0 + x, y) : 0;
      cell[size_t(y) * stride + x] = p;
      if (y < rows) {
        anyAlpha |= (p >> 24) != 0;
        notOpaque |= (p >> 24) != 0xFF;
      }
    }
  // A 32-bit image whose alpha bytes are all zero was never meant to have alpha.
  bool alpha = il->KeepsAlpha() && src.Is32 && anyAlpha && notOpaque;
  for (int y = 0; y < il->Cy; ++y) {
    BYTE* mrow = il->HasMask() ? MaskRow(il, i, y) : nullptr;
    for (int x = 0; x < il->Cx; ++x) {
      std::uint32_t& p = cell[size_t(y) * stride + x];
      bool outside = y >= rows;
      bool m = false;
      switch (mask.Kind) {
        case MaskFrom::Bitmap: m = outside || mask.Set(x0 + x, y); break;
        case MaskFrom::Color: m = outside || (p & 0xFFFFFFu) == mask.Key; break;
        case MaskFrom::None: m = outside || (alpha && (p >> 24) == 0); break;
      }
      if (!alpha) p |= 0xFF000000u;
      if (mask.Kind == MaskFrom::Color && m) {
        if (alpha || (!il->HasMask() && il->KeepsAlpha()))
          p = 0;  // see-through by alpha
        else if (il->HasMask())
          p = 0xFF000000u;
      }
      if (mrow) SetBit(mrow, x, m);
    }
  }
  // Colour-keyed pixels of a list without a mask turn an opaque image into an alpha one.
  if (!alpha && mask.Kind == MaskFrom::Color && !il->HasMask() && il->KeepsAlpha()) alpha = true;
  il->Alpha[size_t(i)] = alpha;
}

bool OwnBitmap(ImageListObject* il, HBITMAP b) { return b && (b == il->Image || b == il->Mask); }

// Adds every image of the bitmap (or replaces image `replace` by its first one).
int AddFrom(ImageListObject* il, HBITMAP image, MaskSource mask, int replace = -1) {
  if (!image || image->Width < il->Cx || OwnBitmap(il, image) || OwnBitmap(il, mask.Bitmap))
    return -1;
  int n = replace >= 0 ? 1 : image->Width / il->Cx;
  int first = replace >= 0 ? replace : il->Count;
  if (replace < 0 && !Reserve(il, il->Count + n)) return -1;
  SourcePixels src = ReadSource(image);
  if (!src.Px) return -1;
  if (mask.Kind == MaskFrom::Bitmap && mask.Bitmap->BitsPerPixel != 1) {
    mask.Pixels = ReadSource(mask.Bitmap);
    if (!mask.Pixels.Px) return -1;
  }
  FlushImage(il);
  for (int k = 0; k < n; ++k) StoreCell(il, first + k, src, k, mask);
  TouchImage(il);
  if (replace < 0) il->Count += n;
  return first;
}

MaskSource MaskOf(HBITMAP mask) {
  MaskSource m;
  if (mask) {
    m.Kind = MaskFrom::Bitmap;
    m.Bitmap = mask;
  }
  return m;
}

void CopyCell(ImageListObject* il, int to, int from) {
  std::memmove(CellPixels(il, to), CellPixels(il, from), CellBytes(il));
  if (il->Mask) std::memmove(MaskRow(il, to, 0), MaskRow(il, from, 0), MaskCellBytes(il));
  il->Alpha[size_t(to)] = il->Alpha[size_t(from)];
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide) return nullptr;
  auto* il = new ImageListObject;
  il->Cx = cx;
  il->Cy = cy;
  il->Flags = flags;
  il->Initial = std::max(initial, 0);
  il->Grow = std::max(grow, 0);
  Lists().insert(il);
  return il;
}

bool ImageList_Destroy(HIMAGELIST himl) {
  ImageListObject* il = Valid(himl);
  if (!il) return false;
  Lists().erase(il);
  FreeStorage(il);
  delete il;
  return true;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST himl) {
  ImageListObject* il = Valid(himl);
  if (!il) return nullptr;
  HIMAGELIST copy = ImageList_Create(il->Cx, il->Cy, il->Flags, std::max(il->Count, 1), il->Grow);
  if (!copy) return nullptr;
  copy->Bk = il->Bk;
  if (il->Count > 0) {
    if (!Reserve(copy, il->Count)) {
      ImageList_Destroy(copy);
      return nullptr;
    }
    FlushImage(il);
    std::memcpy(copy->Image->Bits, il->Image->Bits, CellBytes(il) * size_t(il->Count));
    if (il->Mask) std::memcpy(copy->Mask->Bits, il->Mask->Bits, MaskCellBytes(il) * size_t(il->Count));
    std::copy(il->Alpha.begin(), il->Alpha.begin() + il->Count, copy->Alpha.begin());
    copy->Count = il->Count;
  }
  return copy;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask) {
  ImageListObject* il = Valid(himl);
  return il ? AddFrom(il, image, MaskOf(mask)) : -1;
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF maskColor) {
  ImageListObject* il = Valid(himl);
  if (!il || !image) return -1;
  MaskSource m;
  m.Kind = MaskFrom::Color;
  if (maskColor == CLR_DEFAULT) {
    SourcePixels src = ReadSource(image);
    if (!src.Px) return -1;
    m.Key = src.At(0, 0) & 0xFFFFFFu;
  } else {
    m.Key = OpaquePixel(maskColor) & 0xFFFFFFu;
  }
  return AddFrom(il, image, m);
}

bool ImageList_Replace(HIMAGELIST himl, int i, HBITMAP image, HBITMAP mask) {
  ImageListObject* il = Valid(himl);
  if (!il || i < 0 || i >= il->Count) return false;
  return AddFrom(il, image, MaskOf(mask), i) == i;
}

bool ImageList_Remove(HIMAGELIST himl, int i) {
  ImageListObject* il = Valid(himl);
  if (!il) return false;
  if (i == -1) {
    il->Count = 0;
    return true;
  }
  if (i < 0 || i >= il->Count) return false;
  FlushImage(il);
  for (int k = i; k + 1 < il->Count; ++k) CopyCell(il, k, k + 1);
  TouchImage(il);
  --il->Count;
  return true;
}

int ImageList_GetImageCount(HIMAGELIST himl) {
  ImageListObject* il = Valid(himl);
  return il ? il->Count : 0;
}

bool ImageList_SetImageCount(HIMAGELIST himl, UINT count) {
  ImageListObject* il = Valid(himl);
  if (!il || count > UINT(kMaxSide) * 64) return false;
  int n = int(count);
  if (n > il->Count) {
    if (!Reserve(il, n)) return false;
    FlushImage(il);
    std::memset(CellPixels(il, il->Count), 0, CellBytes(il) * size_t(n - il->Count));
    if (il->Mask) std::memset(MaskRow(il, il->Count, 0), 0xFF, MaskCellBytes(il) * size_t(n - il->Count));
    std::fill(il->Alpha.begin() + il->Count, il->Alpha.begin() + n, Byte(il->KeepsAlpha()));
    TouchImage(il);
  }
  il->Count = n;
  return true;
}

bool ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
  ImageListObject* il = Valid(himl);
  if (!il || !cx || !cy) return false;
  *cx = il->Cx;
  *cy = il->Cy;
  return true;
}

bool ImageList_SetIconSize(HIMAGELIST himl, int cx, int cy) {
  ImageListObject* il = Valid(himl);
  if (!il || cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide) return false;
  FreeStorage(il);
  il->Cx = cx;
  il->Cy = cy;
  return true;
}

bool ImageList_Copy(HIMAGELIST dst, int iDst, HIMAGELIST src, int iSrc, UINT flags) {
  ImageListObject* il = Valid(dst);
  if (!il || dst != src || iDst < 0 || iSrc < 0 || iDst >= il->Count || iSrc >= il->Count)
    return false;
  if (iDst == iSrc) return true;
  FlushImage(il);
  if (flags & ILCF_SWAP) {
    // Through a spare slot past the end.
    if (!Reserve(il, il->Count + 1)) return false;
    CopyCell(il, il->Count, iDst);
    CopyCell(il, iDst, iSrc);
    CopyCell(il, iSrc, il->Count);
  } else {
    CopyCell(il, iDst, iSrc);
  }
  TouchImage(il);
  return true;
}

bool ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* info) {
  ImageListObject* il = Valid(himl);
  if (!il || !info || i < 0 || i >= il->Count) return false;
  info->hbmImage = il->Image;
  info->hbmMask = il->Mask;
  info->rcImage = Bounds(0, i * il->Cy, il->Cx, il->Cy);
  return true;
}

COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF color) {
  ImageListObject* il = Valid(himl);
  if (!il) return CLR_NONE;
  COLORREF old = il->Bk;
  il->Bk = color;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST himl) {
  ImageListObject* il = Valid(himl);
  return il ? il->Bk : CLR_NONE;
}

bool ImageList_Draw(HIMAGELIST himl, int i, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(himl, i, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

bool ImageList_DrawEx(HIMAGELIST himl, int i, HDC dc, int x, int y, int dx, int dy,
                      COLORREF rgbBk, COLORREF rgbFg, UINT style) {
  ImageListObject* il = Valid(himl);
  if (!il || !dc || i < 0 || i >= il->Count) return false;
  int w = dx > 0 ? std::min(dx, il->Cx) : il->Cx;
  int h = dy > 0 ? std::min(dy, il->Cy) : il->Cy;
  COLORREF bk = rgbBk == CLR_DEFAULT ? il->Bk : rgbBk;
  bool transparent = (style & ILD_TRANSPARENT) || bk == CLR_NONE;
  std::uint32_t bkPx = OpaquePixel(bk);
  int quarters = (style & ILD_BLEND50) ? 2 : (style & ILD_BLEND25) ? 1 : 0;
  bool fade = quarters && rgbFg == CLR_NONE;
  COLORREF fg = rgbFg == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : rgbFg;
  bool alpha = il->Alpha[size_t(i)] != 0;
  bool drawMask = (style & ILD_MASK) != 0;
  bool useMask = il->HasMask() && !(style & ILD_IMAGE);

  TPoint off = dc->Offset();
  std::int64_t left = std::int64_t(x) + off.X, top = std::int64_t(y) + off.Y;
  constexpr std::int64_t kFar = std::int64_t(1) << 30;  // beyond any surface
  if (left <= -kFar || top <= -kFar || left >= kFar || top >= kFar) return true;
  TRect dest = Bounds(int(left), int(top), w, h);
  cairo_surface_t* surface = dc->BeginDraw();
  if (!surface) return false;
  FlushImage(il);
  int sw;
  std::uint32_t* dpx = SurfacePixels(surface, sw);
  const std::uint32_t* cell = CellPixels(il, i);
  int cellStride = il->Image->Stride / 4;

  ForEachClipRect(dc->Clip(), dest, [&](const TRect& r) {
    for (int yy = r.Top; yy < r.Bottom; ++yy) {
      int sy = yy - dest.Top;
      const std::uint32_t* srow = cell + size_t(sy) * size_t(cellStride);
      const BYTE* mrow = il->Mask ? MaskRow(il, i, sy) : nullptr;
      std::uint32_t* drow = dpx + size_t(yy) * size_t(sw);
      if (alpha && transparent && !drawMask && !quarters) {
        // The common glyph draw: plain source-over, a row at a time.
        BlendRow(drow + r.Left, srow + (r.Left - dest.Left), r.Width(), TBlendMode::PerPixel, 255);
        continue;
      }
      for (int xx = r.Left; xx < r.Right; ++xx) {
        int sx = xx - dest.Left;
        std::uint32_t s = srow[sx];
        std::uint32_t& d = drow[xx];
        bool masked = mrow ? GetBit(mrow, sx) : (alpha && (s >> 24) == 0);
        if (drawMask) {
          if (!masked)
            d = 0xFF000000u;
          else if (!(style & ILD_TRANSPARENT))
            d = 0xFFFFFFFFu;
          continue;
        }
        if (!alpha && useMask && masked) {
          if (!transparent) d = bkPx;
          continue;
        }
        if (quarters) s = fade ? Fade(s, quarters) : MixColor(s, fg, quarters);
        if (alpha || fade)
          d = Over(s, transparent ? d : bkPx);
        else
          d = s;
      }
    }
  });
  dc->EndDraw();
  return true;
}

}  // namespace vcl
