// TBitmap: pixel storage in DIB sections, formats, alpha formats, drawing, BMP files.
#include <algorithm>
#include <cstring>
#include <vector>

#include "host/gdi/Codecs.h"
#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiInternal.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/Graphic.h"
#include "host/graphics/GraphicsInternal.h"
#include "host/rtl/Streams.h"

namespace vcl {

using graphics_detail::BitmapWords;
using graphics_detail::TTempImage;

// ---- helpers --------------------------------------------------------------------------------

namespace {

constexpr int kMaxSide = 32768;
constexpr Int64 kMaxPixels = Int64(1) << 28;

int BppOf(TPixelFormat f) {
  switch (f) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    default: return 32;
  }
}

TPixelFormat FormatOf(const BitmapObject* b) {
  switch (b->BitsPerPixel) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    default: return b->IsDib ? pf32bit : pfDevice;
  }
}

String FormatName(TPixelFormat f) {
  static constexpr const char16_t* kNames[] = {u"pfDevice", u"pf1bit",  u"pf4bit",
                                               u"pf8bit",   u"pf15bit", u"pf16bit",
                                               u"pf24bit",  u"pf32bit", u"pfCustom"};
  return unsigned(f) <= unsigned(pfCustom) ? kNames[f] : u"?";
}

void CheckFormat(TPixelFormat f) {
  if (f == pf15bit || f == pf16bit || f == pfCustom || unsigned(f) > unsigned(pfCustom))
    throw EInvalidGraphicOperation(u"Pixel format " + FormatName(f) + u" is not supported");
}

void FillPalette(RGBQUAD* pal, int bpp) {
  auto set = [&](int i, int r, int g, int b) { pal[i] = {BYTE(b), BYTE(g), BYTE(r), 0}; };
  if (bpp == 1) {
    set(0, 0, 0, 0);
    set(1, 255, 255, 255);
  } else if (bpp == 4) {
    static constexpr int kVga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},
                                        {128, 128, 0},   {0, 0, 128},   {128, 0, 128},
                                        {0, 128, 128},   {192, 192, 192}, {128, 128, 128},
                                        {255, 0, 0},     {0, 255, 0},   {255, 255, 0},
                                        {0, 0, 255},     {255, 0, 255}, {0, 255, 255},
                                        {255, 255, 255}};
    for (int i = 0; i < 16; ++i) set(i, kVga[i][0], kVga[i][1], kVga[i][2]);
  } else if (bpp == 8) {
    int i = 0;
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) set(i++, r * 51, g * 51, b * 51);
    for (int k = 0; k < 40; ++k) {
      int v = (k * 255 + 19) / 39;
      set(i++, v, v, v);
    }
  }
}

// A zero-filled top-down DIB section of the format; raises when it cannot be made.
HBITMAP NewDib(int w, int h, TPixelFormat f) {
  if (w > kMaxSide || h > kMaxSide || Int64(w) * h > kMaxPixels)
    throw EInvalidGraphicOperation(u"Bitmap size " + S(std::to_string(w)) + u" x " +
                                   S(std::to_string(h)) + u" is too large");
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  int bpp = BppOf(f);
  bi.bmiHeader.biBitCount = WORD(bpp);
  if (bpp <= 8) FillPalette(bi.bmiColors, bpp);
  HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr);
  if (!b)
    throw EOutOfResources(u"Cannot create a " + S(std::to_string(w)) + u" x " +
                          S(std::to_string(h)) + u" bitmap");
  return b;
}

}  // namespace

// ---- the bitmap's canvas ----------------------------------------------------------------------

class TBitmap::TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    if (!FDC) return;
    HDC dc = FDC;
    SetHandle(nullptr);
    FDC = nullptr;
    DeleteDC(dc);
  }

 protected:
  void CreateHandle() override {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    if (FBitmap->FHandle) SelectObject(dc, FBitmap->FHandle);
    FDC = dc;
    SetHandle(dc);
  }

 private:
  TBitmap* FBitmap;
  HDC FDC = nullptr;
};

// ---- TBitmap ----------------------------------------------------------------------------------

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() {
  FCanvas.reset();
  if (FHandle) ReleaseGdiObject(AsGdiObj(FHandle));
}

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

void TBitmap::ReplaceHandle(HBITMAP bitmap, TPixelFormat format) {
  FreeContext();
  if (FHandle) ReleaseGdiObject(AsGdiObj(FHandle));
  FHandle = bitmap;
  FPixelFormat = format;
  if (bitmap) {
    FWidth = bitmap->Width;
    FHeight = bitmap->Height;
  }
}

// Direct access to the rows: drawing not yet in the rows is flushed first, and the surface is
// told that its memory may change.
void TBitmap::BeginPixels() {
  if (FHandle && FHandle->Surface) cairo_surface_flush(FHandle->Surface);
}
void TBitmap::EndPixels() {
  if (FHandle && FHandle->Surface && !FHandle->IsShadow()) cairo_surface_mark_dirty(FHandle->Surface);
}

void TBitmap::Changed(TObject* sender) { TGraphic::Changed(sender); }

void TBitmap::CanvasChanged(TObject*) { Changed(this); }

int TBitmap::BitsPerPixel() const { return FHandle ? FHandle->BitsPerPixel : 0; }

int TBitmap::RowBytes() const {
  if (FHandle) return FHandle->Stride;
  return ((FWidth * BppOf(FPixelFormat) + 31) / 32) * 4;
}

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0)
    throw EInvalidGraphicOperation(u"Invalid bitmap size " + S(std::to_string(width)) + u" x " +
                                   S(std::to_string(height)));
  if (width == FWidth && height == FHeight) return;
  if (width == 0 || height == 0) {
    ReplaceHandle(nullptr, FPixelFormat);
    FWidth = width;
    FHeight = height;
    Changed(this);
    return;
  }
  HBITMAP nb = NewDib(width, height, FPixelFormat);
  if (FHandle) {
    BeginPixels();
    int rows = std::min(height, FHandle->Height);
    int bytes = (std::min(width, FHandle->Width) * FHandle->BitsPerPixel + 7) / 8;
    if (FHandle->BitsPerPixel == nb->BitsPerPixel) {
      for (int y = 0; y < rows; ++y) std::memcpy(BitmapRow(nb, y), BitmapRow(FHandle, y), size_t(bytes));
      if (nb->BitsPerPixel <= 8) nb->Palette = FHandle->Palette;
    }
  }
  ReplaceHandle(nb, FPixelFormat);
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat v) {
  if (v == FPixelFormat) return;
  CheckFormat(v);
  if (!FHandle || BppOf(v) == FHandle->BitsPerPixel) {
    FPixelFormat = v;
    Changed(this);
    return;
  }
  HBITMAP nb = NewDib(FWidth, FHeight, v);
  int stride = 0;
  const std::uint32_t* px = BitmapWords(FHandle, stride);
  if (px) {
    // Repacked through a contiguous 32-bit copy (the surface stride may be wider).
    std::vector<std::uint32_t> rows(size_t(FWidth) * size_t(FHeight));
    for (int y = 0; y < FHeight; ++y)
      std::memcpy(&rows[size_t(y) * FWidth], px + size_t(y) * stride, size_t(FWidth) * 4);
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = FWidth;
    bi.bmiHeader.biHeight = -FHeight;
    bi.bmiHeader.biBitCount = 32;
    SetDIBits(nullptr, nb, 0, UINT(FHeight), rows.data(), &bi, DIB_RGB_COLORS);
  }
  ReplaceHandle(nb, v);
  Changed(this);
}

void TBitmap::SetMonochrome(bool v) {
  if (v == Monochrome()) return;
  SetPixelFormat(v ? pf1bit : pfDevice);
}

void TBitmap::SetHandleType(TBitmapHandleType v) {
  if (v == HandleType()) return;
  SetPixelFormat(v == bmDDB ? pfDevice : pf32bit);
}

void TBitmap::SetAlphaFormat(TAlphaFormat v) {
  if (v == FAlphaFormat) return;
  if (FHandle && FHandle->BitsPerPixel == 32 &&
      (v == afPremultiplied || FAlphaFormat == afPremultiplied)) {
    BeginPixels();
    for (int y = 0; y < FHeight; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(BitmapRow(FHandle, y));
      if (v == afPremultiplied)
        PremultiplyRow(row, row, size_t(FWidth));
      else
        UnpremultiplyRow(row, row, size_t(FWidth));
    }
    EndPixels();
  }
  FAlphaFormat = v;
  Changed(this);
}

void* TBitmap::ScanLine(int y) {
  if (!FHandle || y < 0 || y >= FHeight)
    throw EInvalidGraphicOperation(u"Scan line index " + S(std::to_string(y)) +
                                   u" out of range (bitmap height " +
                                   S(std::to_string(FHeight)) + u")");
  if (FPixelFormat == pfDevice) FPixelFormat = pf32bit;
  BeginPixels();
  EndPixels();
  return BitmapRow(FHandle, y);
}

// ---- transparency -------------------------------------------------------------------------

void TBitmap::SetTransparent(bool v) { TGraphic::SetTransparent(v); }

TColor TBitmap::TransparentColor() {
  if (FTransparentColor != clDefault && FTransparentMode == tmFixed)
    return TColor(ColorToRGB(FTransparentColor));
  if (Monochrome()) return clWhite;
  if (!FHandle) return clDefault;
  int stride = 0;
  const std::uint32_t* px = BitmapWords(FHandle, stride);
  if (!px) return clDefault;
  std::uint32_t p = px[size_t(FHeight - 1) * size_t(stride)];
  return TColor(RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p)));
}

void TBitmap::SetTransparentColor(TColor v) {
  if (v == FTransparentColor) return;
  FTransparentMode = v == clDefault ? tmAuto : tmFixed;
  FTransparentColor = v;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode v) {
  if (v == FTransparentMode) return;
  if (v == tmAuto) {
    SetTransparentColor(clDefault);
  } else {
    // Fixing the mode keeps the colour the bitmap has now.
    SetTransparentColor(TransparentColor());
  }
}

// ---- canvas and handle ----------------------------------------------------------------------

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(this);
    FCanvas->SetOnChange(TNotifyEvent(this, &TBitmap::CanvasChanged));
  }
  return FCanvas.get();
}

HBITMAP TBitmap::Handle() { return FHandle; }

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == FHandle) return;
  if (bitmap) {
    ReplaceHandle(bitmap, FormatOf(bitmap));
  } else {
    ReplaceHandle(nullptr, FPixelFormat);
    FWidth = FHeight = 0;
  }
  Changed(this);
}

void TBitmap::SetHandle(HBITMAP bitmap, TAlphaFormat alphaFormat) {
  FAlphaFormat = alphaFormat;
  if (bitmap == FHandle) {
    Changed(this);
    return;
  }
  SetHandle(bitmap);
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext();
  HBITMAP h = FHandle;
  FHandle = nullptr;
  FWidth = FHeight = 0;
  if (h) Changed(this);
  return h;
}

// ---- copying ----------------------------------------------------------------------------------

void TBitmap::Assign(TPersistent* source) {
  if (source == this) return;
  if (!source) {
    ReplaceHandle(nullptr, FPixelFormat);
    FWidth = FHeight = 0;
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    HBITMAP nb = nullptr;
    if (b->FHandle) {
      nb = NewDib(b->FWidth, b->FHeight, FormatOf(b->FHandle));
      b->BeginPixels();
      int bytes = std::min(nb->Stride, b->FHandle->Stride);
      for (int y = 0; y < b->FHeight; ++y)
        std::memcpy(BitmapRow(nb, y), BitmapRow(b->FHandle, y), size_t(bytes));
      if (nb->BitsPerPixel <= 8) nb->Palette = b->FHandle->Palette;
    }
    ReplaceHandle(nb, b->FPixelFormat);
    FWidth = b->FWidth;
    FHeight = b->FHeight;
    FAlphaFormat = b->FAlphaFormat;
    FTransparent = b->FTransparent;
    FTransparentMode = b->FTransparentMode;
    FTransparentColor = b->FTransparentColor;
    Changed(this);
    return;
  }
  auto* g = dynamic_cast<TGraphic*>(source);
  try {
    TGraphic::Assign(source);  // pictures that convert themselves (AssignTo)
  } catch (const EConvertError&) {
    if (!g) throw;
    // Any other picture is drawn into a transparent 32-bit bitmap of its size.
    ReplaceHandle(g->Empty() ? nullptr : NewDib(g->Width(), g->Height(), pf32bit), pf32bit);
    FWidth = g->Width();
    FHeight = g->Height();
    FAlphaFormat = afPremultiplied;
    if (!g->Empty()) Canvas()->Draw(0, 0, g);
    Changed(this);
  }
}

void TBitmap::AssignTo(TPersistent* dest) { TGraphic::AssignTo(dest); }

HBITMAP CreatePremultipliedCopy(TBitmap* bitmap) {
  if (!bitmap || bitmap->Empty() || !bitmap->Handle()) return nullptr;
  HBITMAP src = bitmap->Handle();
  int w = bitmap->Width(), h = bitmap->Height();
  std::uint32_t* out = nullptr;
  HBITMAP copy = CreateDIB32(w, h, reinterpret_cast<void**>(&out));
  if (!copy) throw EOutOfResources(u"Cannot create a temporary bitmap");
  int stride = 0;
  const std::uint32_t* px = BitmapWords(src, stride);
  int outStride = copy->Stride / 4;
  bool is32 = src->BitsPerPixel == 32;
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* s = px + size_t(y) * size_t(stride);
    std::uint32_t* d = out + size_t(y) * size_t(outStride);
    if (!is32 || bitmap->AlphaFormat() == afIgnored) {
      for (int x = 0; x < w; ++x) d[x] = s[x] | 0xFF000000u;
    } else if (bitmap->AlphaFormat() == afDefined) {
      PremultiplyRow(s, d, size_t(w));
    } else {
      std::memcpy(d, s, size_t(w) * 4);
    }
  }
  return copy;
}

// ---- drawing ----------------------------------------------------------------------------------

void TBitmap::Draw(TCanvas* canvas, const TRect& r) { DrawInto(canvas, r, 255); }

void TBitmap::DrawTransparent(TCanvas* canvas, const TRect& r, Byte opacity) {
  DrawInto(canvas, r, opacity);
}

void TBitmap::DrawInto(TCanvas* canvas, const TRect& r, Byte opacity) {
  if (Empty() || !FHandle || r.Width() <= 0 || r.Height() <= 0) return;
  HDC dst = canvas->HandleNoSelect();
  if (!dst) return;
  bool is32 = FHandle->BitsPerPixel == 32;
  bool alpha = is32 && FAlphaFormat != afIgnored;
  BLENDFUNCTION blend;
  blend.SourceConstantAlpha = opacity;
  if (!alpha && Transparent()) {
    // Keyed: the transparent colour becomes see-through, everything else opaque.
    TColor key = TransparentColor();
    std::uint32_t k = OpaquePixel(COLORREF(key)) & 0xFFFFFFu;
    TTempImage tmp(FWidth, FHeight);
    int stride = 0;
    const std::uint32_t* px = BitmapWords(FHandle, stride);
    for (int y = 0; y < FHeight; ++y) {
      const std::uint32_t* s = px + size_t(y) * size_t(stride);
      std::uint32_t* d = tmp.Row(y);
      for (int x = 0; x < FWidth; ++x) d[x] = (s[x] & 0xFFFFFFu) == k ? 0 : s[x] | 0xFF000000u;
    }
    tmp.Touch();
    blend.AlphaFormat = AC_SRC_ALPHA;
    AlphaBlend(dst, r.Left, r.Top, r.Width(), r.Height(), tmp.Dc, 0, 0, FWidth, FHeight, blend);
    return;
  }
  if (alpha && FAlphaFormat == afDefined) {
    HBITMAP copy = CreatePremultipliedCopy(this);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, copy);
    blend.AlphaFormat = AC_SRC_ALPHA;
    AlphaBlend(dst, r.Left, r.Top, r.Width(), r.Height(), dc, 0, 0, FWidth, FHeight, blend);
    DeleteDC(dc);
    DeleteObject(copy);
    return;
  }
  HDC src = Canvas()->HandleNoSelect();
  if (!src) return;
  if (!alpha && opacity == 255 && canvas->CopyMode() != cmSrcCopy) {
    StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, FWidth, FHeight,
               DWORD(canvas->CopyMode()));
    return;
  }
  // Premultiplied rows blend as they are; anything else is drawn opaque (alpha taken as 255).
  blend.AlphaFormat = alpha ? AC_SRC_ALPHA : 0;
  AlphaBlend(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, FWidth, FHeight, blend);
}

// ---- files ------------------------------------------------------------------------------------

void TBitmap::LoadFromStream(TStream* stream) {
  Int64 start = stream->Position();
  Int64 avail = stream->Size() - start;
  if (avail <= 0) throw EInvalidGraphic(u"Bitmap data is empty");
  std::vector<Byte> data(static_cast<size_t>(avail));
  stream->ReadBuffer(data.data(), avail);
  // The file header's size, when plausible, says where the file ends.
  size_t length = data.size();
  if (data.size() >= 6 && data[0] == 'B' && data[1] == 'M') {
    std::uint32_t bf = std::uint32_t(data[2]) | (std::uint32_t(data[3]) << 8) |
                       (std::uint32_t(data[4]) << 16) | (std::uint32_t(data[5]) << 24);
    if (bf >= 26 && bf <= data.size()) length = bf;
  }
  TDecodedImage img;
  try {
    img = DecodeBmp(data.data(), length, SourceName().empty() ? StringView(u"bitmap stream") : StringView(SourceName()));
  } catch (...) {
    stream->SetPosition(start);
    throw;
  }
  stream->SetPosition(start + Int64(length));
  TPixelFormat format = img.SourceBitDepth == 32 ? pf32bit : pf24bit;
  HBITMAP nb = NewDib(img.Width, img.Height, format);
  for (int y = 0; y < img.Height; ++y) {
    const std::uint32_t* s = &img.Pixels[size_t(y) * size_t(img.Width)];
    BYTE* d = BitmapRow(nb, y);
    if (format == pf32bit) {
      std::memcpy(d, s, size_t(img.Width) * 4);
    } else {
      for (int x = 0; x < img.Width; ++x) {
        d[3 * x] = BYTE(s[x]);
        d[3 * x + 1] = BYTE(s[x] >> 8);
        d[3 * x + 2] = BYTE(s[x] >> 16);
      }
    }
  }
  ReplaceHandle(nb, format);
  FAlphaFormat = afIgnored;
  Changed(this);
}

void TBitmap::SaveToStream(TStream* stream) {
  if (Empty() || !FHandle) return;
  int stride = 0;
  const std::uint32_t* px = BitmapWords(FHandle, stride);
  if (!px) return;
  std::vector<Byte> file;
  if (FHandle->BitsPerPixel == 32 && FAlphaFormat == afPremultiplied) {
    std::vector<std::uint32_t> straight(size_t(FWidth) * size_t(FHeight));
    for (int y = 0; y < FHeight; ++y)
      UnpremultiplyRow(px + size_t(y) * stride, &straight[size_t(y) * FWidth], size_t(FWidth));
    file = EncodeBmp(straight.data(), FWidth, FHeight, FWidth, 32);
  } else {
    file = EncodeBmp(px, FWidth, FHeight, stride, FHandle->BitsPerPixel == 32 ? 32 : 24);
  }
  stream->WriteBuffer(file.data(), Int64(file.size()));
}

// The stored form: a 32-bit byte count, then the BMP file.
void TBitmap::ReadData(TStream* stream) {
  std::uint32_t size = stream->ReadData<std::uint32_t>();
  Int64 avail = stream->Size() - stream->Position();
  if (Int64(size) > avail)
    throw EInvalidGraphic(u"Bitmap data is truncated: " + S(std::to_string(size)) +
                          u" bytes announced, " + S(std::to_string(avail)) + u" present");
  if (size == 0) {
    Assign(nullptr);
    return;
  }
  std::vector<Byte> bytes(size);
  stream->ReadBuffer(bytes.data(), size);
  TBytesStream file(std::move(bytes));
  LoadFromStream(&file);
}

void TBitmap::WriteData(TStream* stream) {
  TBytesStream file;
  SaveToStream(&file);
  stream->WriteData<std::uint32_t>(std::uint32_t(file.Size()));
  stream->WriteBuffer(file.Bytes().data(), file.Size());
}

}  // namespace vcl
