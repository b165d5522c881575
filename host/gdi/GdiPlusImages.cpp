// GDI+ images: bitmaps, their pixel storage and the premultiplied drawing surface, pixel
// access (GetPixel/SetPixel, LockBits), cloning and the conversions between pixel formats.
#include <atomic>
#include <cstring>
#include <vector>

#include "host/gdi/Codecs.h"
#include "host/gdi/GdiPlusInternal.h"
#include "host/rtl/Streams.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

namespace {

int BytesPerPixel(PixelFormat f) { return f == PixelFormat24bppRGB ? 3 : 4; }

// Reads n pixels of a row in format f as words of f's kind.
void ReadFormatRow(const BYTE* row, PixelFormat f, int n, std::uint32_t* out) {
  if (f == PixelFormat24bppRGB) {
    for (int i = 0; i < n; ++i, row += 3)
      out[i] = 0xFF000000u | (std::uint32_t(row[2]) << 16) | (std::uint32_t(row[1]) << 8) | row[0];
  } else {
    std::memcpy(out, row, size_t(n) * 4);
    if (f == PixelFormat32bppRGB)
      for (int i = 0; i < n; ++i) out[i] |= 0xFF000000u;
  }
}

void WriteFormatRow(BYTE* row, PixelFormat f, int n, const std::uint32_t* in) {
  if (f == PixelFormat24bppRGB) {
    for (int i = 0; i < n; ++i, row += 3) {
      row[0] = BYTE(in[i]);
      row[1] = BYTE(in[i] >> 8);
      row[2] = BYTE(in[i] >> 16);
    }
  } else {
    std::memcpy(row, in, size_t(n) * 4);
  }
}

// Scratch words for row conversions (one row at a time; no per-pixel allocation).
std::vector<std::uint32_t>& RowScratch(size_t n) {
  thread_local std::vector<std::uint32_t> buf;
  if (buf.size() < n) buf.resize(n);
  return buf;
}

}  // namespace

GpWordKind WordKindOf(PixelFormat f) {
  if (f == PixelFormat32bppPARGB) return GpWordKind::Premultiplied;
  if (f == PixelFormat32bppARGB) return GpWordKind::Straight;
  return GpWordKind::Opaque;
}

bool IsSupportedFormat(PixelFormat f) {
  return f == PixelFormat32bppARGB || f == PixelFormat32bppPARGB || f == PixelFormat32bppRGB ||
         f == PixelFormat24bppRGB;
}

void ConvertWords(const std::uint32_t* src, GpWordKind from, std::uint32_t* dst, GpWordKind to,
                  size_t n) {
  if (from == to) {
    if (src != dst) std::memmove(dst, src, n * 4);
    return;
  }
  switch (from) {
    case GpWordKind::Straight:
      if (to == GpWordKind::Premultiplied) {
        PremultiplyRow(src, dst, n);
      } else {  // opaque: the colour stays, the alpha is dropped
        for (size_t i = 0; i < n; ++i) dst[i] = src[i] | 0xFF000000u;
      }
      break;
    case GpWordKind::Premultiplied:
      UnpremultiplyRow(src, dst, n);
      if (to == GpWordKind::Opaque)
        for (size_t i = 0; i < n; ++i) dst[i] |= 0xFF000000u;
      break;
    case GpWordKind::Opaque:
      for (size_t i = 0; i < n; ++i) dst[i] = src[i] | 0xFF000000u;
      break;
  }
}

// ---- GpImageData ---------------------------------------------------------------------------------

GpImageData::GpImageData() {
  static std::atomic<std::uint64_t> next{1};
  Uid = next++;
}

GpImageData::~GpImageData() {
  if (Surface) cairo_surface_destroy(Surface);
}

Status GpImageData::Allocate(int width, int height, PixelFormat format) {
  if (width <= 0 || height <= 0 || width > kGpMaxImageSide || height > kGpMaxImageSide ||
      !IsSupportedFormat(format))
    return InvalidParameter;
  try {
    Own.assign(size_t(width) * size_t(height), WordKindOf(format) == GpWordKind::Opaque ? 0xFF000000u : 0u);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
  Width = width;
  Height = height;
  Format = format;
  return Ok;
}

void GpImageData::ReadStorage(int y, int x0, int n, std::uint32_t* out) {
  SyncStorage();
  if (Ext) {
    ReadFormatRow(Ext + std::ptrdiff_t(y) * ExtStride + std::ptrdiff_t(x0) * BytesPerPixel(Format),
                  Format, n, out);
  } else {
    std::memcpy(out, Own.data() + size_t(y) * Width + x0, size_t(n) * 4);
  }
}

void GpImageData::WriteStorage(int y, int x0, int n, const std::uint32_t* in) {
  SyncStorage();
  if (Ext) {
    WriteFormatRow(Ext + std::ptrdiff_t(y) * ExtStride + std::ptrdiff_t(x0) * BytesPerPixel(Format),
                   Format, n, in);
  } else {
    std::uint32_t* d = Own.data() + size_t(y) * Width + x0;
    std::memcpy(d, in, size_t(n) * 4);
    if (Kind() == GpWordKind::Opaque)
      for (int i = 0; i < n; ++i) d[i] |= 0xFF000000u;
  }
  StorageChanged();
}

void GpImageData::StorageChanged() {
  ++Version;
  if (SurfaceAliases)
    cairo_surface_mark_dirty(Surface);
  else
    SurfaceCurrent = false;
}

bool GpImageData::EnsureSurface() {
  if (Surface) return true;
  if (!Valid()) return false;
  if (!Ext && Format == PixelFormat32bppPARGB) {
    Surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(Own.data()),
                                                  CAIRO_FORMAT_ARGB32, Width, Height, Width * 4);
    SurfaceAliases = true;
  } else {
    Surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Width, Height);
    SurfaceAliases = false;
    SurfaceCurrent = false;
  }
  if (cairo_surface_status(Surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(Surface);
    Surface = nullptr;
    return false;
  }
  return true;
}

void GpImageData::FillSurfaceFromStorage() {
  cairo_surface_flush(Surface);
  int sw;
  std::uint32_t* dst = SurfacePixels(Surface, sw);
  GpWordKind k = Kind();
  for (int y = 0; y < Height; ++y) {
    std::uint32_t* d = dst + size_t(y) * sw;
    if (Ext) {
      ReadFormatRow(Ext + std::ptrdiff_t(y) * ExtStride, Format, Width, d);
      ConvertWords(d, k, d, GpWordKind::Premultiplied, size_t(Width));
    } else {
      ConvertWords(Own.data() + size_t(y) * Width, k, d, GpWordKind::Premultiplied, size_t(Width));
    }
  }
  cairo_surface_mark_dirty(Surface);
  SurfaceCurrent = true;
}

cairo_surface_t* GpImageData::SourceSurface() {
  if (!EnsureSurface()) return nullptr;
  if (SurfaceAliases) return Surface;
  // Wrapped memory may have changed behind our back; re-read it every time.
  if (Ext || !SurfaceCurrent) FillSurfaceFromStorage();
  return Surface;
}

cairo_surface_t* GpImageData::BeginTarget() { return SourceSurface(); }

void GpImageData::EndTarget() {
  if (!Surface) return;
  cairo_surface_flush(Surface);
  ++Version;
  if (SurfaceAliases) return;
  SurfaceCurrent = true;
  StorageCurrent = false;
  if (Ext) SyncStorage();
}

void GpImageData::SyncStorage() {
  if (StorageCurrent || !Surface) return;
  cairo_surface_flush(Surface);
  int sw;
  const std::uint32_t* src = SurfacePixels(Surface, sw);
  GpWordKind k = Kind();
  if (Ext) {
    auto& tmp = RowScratch(size_t(Width));
    for (int y = 0; y < Height; ++y) {
      ConvertWords(src + size_t(y) * sw, GpWordKind::Premultiplied, tmp.data(), k, size_t(Width));
      WriteFormatRow(Ext + std::ptrdiff_t(y) * ExtStride, Format, Width, tmp.data());
    }
  } else {
    for (int y = 0; y < Height; ++y)
      ConvertWords(src + size_t(y) * sw, GpWordKind::Premultiplied, Own.data() + size_t(y) * Width, k,
                   size_t(Width));
  }
  StorageCurrent = true;
}

// ---- TGPImageAttributes ----------------------------------------------------------------------------

Status TGPImageAttributes::SetWrapMode(WrapMode wrap, ARGB color, bool) {
  if (wrap < WrapModeTile || wrap > WrapModeClamp) return FLastStatus = InvalidParameter;
  FWrap = wrap;
  FWrapColor = color;
  return Ok;
}

// ---- TGPImage ---------------------------------------------------------------------------------------

TGPImage::TGPImage() : FData(std::make_unique<GpImageData>()) {}
TGPImage::~TGPImage() = default;

UINT TGPImage::GetWidth() const { return UINT(FData->Width); }
UINT TGPImage::GetHeight() const { return UINT(FData->Height); }
PixelFormat TGPImage::GetPixelFormat() const { return FData->Valid() ? FData->Format : PixelFormatUndefined; }
ImageType TGPImage::GetType() const { return FData->Valid() ? ImageTypeBitmap : ImageTypeUnknown; }

Status TGPImage::GetBounds(TGPRectF* srcRect, Unit* srcUnit) const {
  if (!srcRect || !srcUnit) return InvalidParameter;
  *srcRect = {0, 0, REAL(FData->Width), REAL(FData->Height)};
  *srcUnit = UnitPixel;
  return Ok;
}

TGPImage* TGPImage::Clone() const {
  return static_cast<const TGPBitmap*>(this)->Clone(TGPRect{0, 0, FData->Width, FData->Height},
                                                    PixelFormatDontCare);
}

// ---- TGPBitmap --------------------------------------------------------------------------------------

TGPBitmap::TGPBitmap() = default;
TGPBitmap::~TGPBitmap() = default;

TGPBitmap::TGPBitmap(int width, int height, PixelFormat format) {
  FLastStatus = FData->Allocate(width, height, format);
}

TGPBitmap::TGPBitmap(int width, int height, int stride, PixelFormat format, BYTE* scan0) {
  if (!scan0) {
    // As in the C API: no memory given means a bitmap of its own.
    FLastStatus = FData->Allocate(width, height, format);
    return;
  }
  long long minStride = (long long)width * BytesPerPixel(format);
  long long absStride = stride < 0 ? -(long long)stride : stride;
  if (width <= 0 || height <= 0 || width > kGpMaxImageSide || height > kGpMaxImageSide ||
      !IsSupportedFormat(format) || absStride < minStride) {
    FLastStatus = InvalidParameter;
    return;
  }
  FData->Width = width;
  FData->Height = height;
  FData->Format = format;
  FData->Ext = scan0;
  FData->ExtStride = stride;
}

TGPBitmap::TGPBitmap(HBITMAP hbm, void*) {
  if (!hbm) {
    FLastStatus = InvalidParameter;
    return;
  }
  int w = hbm->Width, h = hbm->Height;
  if (FData->Allocate(w, h, PixelFormat32bppRGB) != Ok) {
    FLastStatus = InvalidParameter;
    return;
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biBitCount = 32;
  if (GetDIBits(nullptr, hbm, 0, UINT(h), FData->Own.data(), &bi, DIB_RGB_COLORS) != h) {
    FData = std::make_unique<GpImageData>();
    FLastStatus = Win32Error;
    return;
  }
  for (auto& w32 : FData->Own) w32 |= 0xFF000000u;
}

namespace {

// Decodes a PNG or BMP file image into owned straight pixels (opaque images as 32bppRGB).
Status LoadEncoded(GpImageData& d, const void* data, size_t size) {
  if (!data || size == 0) return InvalidParameter;
  if (!IsPngSignature(data, size) && !IsBmpSignature(data, size)) return UnknownImageFormat;
  try {
    TDecodedImage img = DecodeImage(data, size);
    if (img.Empty() || img.Width > kGpMaxImageSide || img.Height > kGpMaxImageSide) return InvalidParameter;
    PixelFormat f = img.Transparency == TImageTransparency::None ? PixelFormat32bppRGB : PixelFormat32bppARGB;
    if (Status s = d.Allocate(img.Width, img.Height, f); s != Ok) return s;
    std::memcpy(d.Own.data(), img.Pixels.data(), d.Own.size() * 4);
    if (f == PixelFormat32bppRGB)
      for (auto& w : d.Own) w |= 0xFF000000u;
    return Ok;
  } catch (const EInvalidGraphic&) {
    return InvalidParameter;  // corrupt or truncated data
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

}  // namespace

TGPBitmap* TGPBitmap::FromData(const void* data, size_t size) {
  auto* b = new TGPBitmap;
  b->FLastStatus = LoadEncoded(*b->FData, data, size);
  if (b->FLastStatus != Ok) b->FData = std::make_unique<GpImageData>();
  return b;
}

TGPBitmap::TGPBitmap(TStream* stream) {
  if (!stream) {
    FLastStatus = InvalidParameter;
    return;
  }
  std::vector<BYTE> bytes;
  try {
    BYTE chunk[65536];
    for (;;) {
      Int64 n = stream->Read(chunk, sizeof chunk);
      if (n <= 0) break;
      bytes.insert(bytes.end(), chunk, chunk + n);
    }
  } catch (const EStreamError&) {
    FLastStatus = Win32Error;
    return;
  }
  FLastStatus = LoadEncoded(*FData, bytes.data(), bytes.size());
  if (FLastStatus != Ok) FData = std::make_unique<GpImageData>();
}

Status TGPBitmap::GetPixel(int x, int y, ARGB* color) const {
  GpImageData* d = FData.get();
  if (!color || !d->Valid() || x < 0 || y < 0 || x >= d->Width || y >= d->Height) return InvalidParameter;
  if (d->Locked) return WrongState;
  std::uint32_t w;
  d->ReadStorage(y, x, 1, &w);
  ConvertWords(&w, d->Kind(), &w, GpWordKind::Straight, 1);
  *color = w;
  return Ok;
}

Status TGPBitmap::SetPixel(int x, int y, ARGB color) {
  GpImageData* d = FData.get();
  if (!d->Valid() || x < 0 || y < 0 || x >= d->Width || y >= d->Height) return InvalidParameter;
  if (d->Locked) return WrongState;
  std::uint32_t w = color;
  ConvertWords(&w, GpWordKind::Straight, &w, d->Kind(), 1);
  d->WriteStorage(y, x, 1, &w);
  return Ok;
}

Status TGPBitmap::LockBits(const TGPRect* rect, UINT flags, PixelFormat format, BitmapData* data) {
  GpImageData* d = FData.get();
  if (!data || !d->Valid()) return InvalidParameter;
  if (d->Locked) return WrongState;
  TGPRect r = rect ? *rect : TGPRect{0, 0, d->Width, d->Height};
  if (r.Width <= 0 || r.Height <= 0 || r.X < 0 || r.Y < 0 || r.X > d->Width - r.Width ||
      r.Y > d->Height - r.Height)
    return InvalidParameter;
  if (!(flags & (ImageLockModeRead | ImageLockModeWrite)) || !IsSupportedFormat(format))
    return InvalidParameter;
  bool user = (flags & ImageLockModeUserInputBuf) != 0;
  int bpp = BytesPerPixel(format);
  if (user) {
    long long absStride = data->Stride < 0 ? -(long long)data->Stride : data->Stride;
    if (!data->Scan0 || absStride < (long long)r.Width * bpp) return InvalidParameter;
  }
  d->SyncStorage();
  d->LockRect = r;
  d->LockFlags = flags;
  d->LockFormat = format;
  d->LockBuffer.reset();
  // In place when the caller's format is the storage format of owned words.
  d->LockInPlace = !user && !d->Ext && format == d->Format && format != PixelFormat24bppRGB;
  if (d->LockInPlace) {
    d->LockScan0 = d->Own.data() + size_t(r.Y) * d->Width + r.X;
    d->LockStride = d->Width * 4;
  } else if (user) {
    d->LockScan0 = data->Scan0;
    d->LockStride = data->Stride;
  } else {
    int stride = (r.Width * bpp + 3) & ~3;
    try {
      d->LockBuffer.reset(new BYTE[size_t(stride) * size_t(r.Height)]);
    } catch (const std::bad_alloc&) {
      return OutOfMemory;
    }
    d->LockScan0 = d->LockBuffer.get();
    d->LockStride = stride;
  }
  if (!d->LockInPlace && (flags & ImageLockModeRead)) {
    auto& tmp = RowScratch(size_t(r.Width));
    for (int y = 0; y < r.Height; ++y) {
      d->ReadStorage(r.Y + y, r.X, r.Width, tmp.data());
      ConvertWords(tmp.data(), d->Kind(), tmp.data(), WordKindOf(format), size_t(r.Width));
      WriteFormatRow(static_cast<BYTE*>(d->LockScan0) + std::ptrdiff_t(y) * d->LockStride, format,
                     r.Width, tmp.data());
    }
  }
  d->Locked = true;
  data->Width = UINT(r.Width);
  data->Height = UINT(r.Height);
  data->Stride = d->LockStride;
  data->PixelFormat = format;
  data->Scan0 = d->LockScan0;
  data->Reserved = 0;
  return Ok;
}

Status TGPBitmap::UnlockBits(BitmapData* data) {
  GpImageData* d = FData.get();
  if (!data) return InvalidParameter;
  if (!d->Locked) return WrongState;
  d->Locked = false;
  const TGPRect& r = d->LockRect;
  if (d->LockFlags & ImageLockModeWrite) {
    if (d->LockInPlace) {
      if (d->Kind() == GpWordKind::Opaque)
        for (int y = 0; y < r.Height; ++y) {
          std::uint32_t* row = d->Own.data() + size_t(r.Y + y) * d->Width + r.X;
          for (int x = 0; x < r.Width; ++x) row[x] |= 0xFF000000u;
        }
      d->StorageChanged();
    } else {
      auto& tmp = RowScratch(size_t(r.Width));
      for (int y = 0; y < r.Height; ++y) {
        ReadFormatRow(static_cast<const BYTE*>(d->LockScan0) + std::ptrdiff_t(y) * d->LockStride,
                      d->LockFormat, r.Width, tmp.data());
        ConvertWords(tmp.data(), WordKindOf(d->LockFormat), tmp.data(), d->Kind(), size_t(r.Width));
        d->WriteStorage(r.Y + y, r.X, r.Width, tmp.data());
      }
    }
  }
  d->LockBuffer.reset();
  d->LockScan0 = nullptr;
  return Ok;
}

TGPBitmap* TGPBitmap::Clone(const TGPRect& rect, PixelFormat format) const {
  GpImageData* d = FData.get();
  auto* b = new TGPBitmap;
  if (format == PixelFormatDontCare) format = d->Format;
  if (!d->Valid() || rect.Width <= 0 || rect.Height <= 0 || rect.X < 0 || rect.Y < 0 ||
      rect.X > d->Width - rect.Width || rect.Y > d->Height - rect.Height || !IsSupportedFormat(format)) {
    b->FLastStatus = InvalidParameter;
    return b;
  }
  if (d->Locked) {
    b->FLastStatus = WrongState;
    return b;
  }
  b->FLastStatus = b->FData->Allocate(rect.Width, rect.Height, format);
  if (b->FLastStatus != Ok) return b;
  GpImageData* n = b->FData.get();
  for (int y = 0; y < rect.Height; ++y) {
    std::uint32_t* dst = n->Own.data() + size_t(y) * rect.Width;
    d->ReadStorage(rect.Y + y, rect.X, rect.Width, dst);
    ConvertWords(dst, d->Kind(), dst, n->Kind(), size_t(rect.Width));
  }
  return b;
}

TGPBitmap* TGPBitmap::Clone(const TGPRectF& rect, PixelFormat format) const {
  return Clone(TGPRect{int(rect.X), int(rect.Y), int(rect.Width), int(rect.Height)}, format);
}

TGPImage* TGPBitmap::Clone() const { return Clone(TGPRect{0, 0, FData->Width, FData->Height}, PixelFormatDontCare); }

Status TGPBitmap::GetHBITMAP(ARGB background, HBITMAP* out) const {
  if (!out) return InvalidParameter;
  *out = nullptr;
  GpImageData* d = FData.get();
  if (!d->Valid()) return InvalidParameter;
  if (d->Locked) return WrongState;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIB32(d->Width, d->Height, &bits);
  if (!bmp) return OutOfMemory;
  cairo_surface_t* src = d->SourceSurface();
  cairo_surface_t* dst = BitmapSurface(bmp);
  if (!src || !dst) {
    DeleteObject(bmp);
    return OutOfMemory;
  }
  cairo_t* cr = cairo_create(dst);
  SetColorSource(cr, background);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_set_source_surface(cr, src, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(dst);
  *out = bmp;
  return Ok;
}

}  // namespace vcl
