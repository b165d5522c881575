// TPngImage.
#include "host/graphics/PngImage.h"

#include <cstring>
#include <string>

#include "host/gdi/Codecs.h"
#include "host/gdi/GdiDraw.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/GraphicsInternal.h"
#include "host/rtl/Streams.h"

namespace vcl {

using graphics_detail::BitmapWords;

namespace {

std::uint32_t BigEndian32(const Byte* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
         p[3];
}

// Length of the PNG at the start of data: up to and including the IEND chunk, or everything
// when no complete IEND chunk is found (the decoder then reports what is wrong).
size_t PngLength(const std::vector<Byte>& data) {
  size_t pos = 8;
  while (pos + 12 <= data.size()) {
    std::uint64_t next = std::uint64_t(pos) + 12 + BigEndian32(&data[pos]);
    if (next > data.size()) break;
    bool end = std::memcmp(&data[pos + 4], "IEND", 4) == 0;
    pos = size_t(next);
    if (end) return pos;
  }
  return data.size();
}

TPngTransparencyMode ModeOf(Byte colorType, const std::uint32_t* px, size_t count) {
  if (colorType == COLOR_RGBALPHA || colorType == COLOR_GRAYSCALEALPHA) return ptmPartial;
  switch (ClassifyTransparency(px, count)) {
    case TImageTransparency::Partial: return ptmPartial;
    case TImageTransparency::Bit: return ptmBit;
    default: return ptmNone;
  }
}

}  // namespace

TPngImage::TPngImage() = default;

TPngImage::~TPngImage() { FreeDrawCache(); }

void TPngImage::FreeDrawCache() {
  if (FDrawDC) DeleteDC(FDrawDC);
  if (FDrawBitmap) DeleteObject(FDrawBitmap);
  FDrawDC = nullptr;
  FDrawBitmap = nullptr;
}

void TPngImage::SetPixels(int width, int height, std::vector<std::uint32_t> pixels,
                          Byte colorType, Byte bitDepth, std::vector<Byte> file) {
  FreeDrawCache();
  FWidth = width;
  FHeight = height;
  FPixels = std::move(pixels);
  FFile = std::move(file);
  FColorType = colorType;
  FBitDepth = bitDepth;
  FMode = ModeOf(colorType, FPixels.data(), FPixels.size());
  Changed(this);
}

std::uint32_t TPngImage::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0;
  return FPixels[size_t(y) * size_t(FWidth) + size_t(x)];
}

void TPngImage::SetSize(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide ||
      Int64(width) * height > kMaxImagePixels)
    throw EInvalidGraphicOperation(u"Invalid PNG size " + S(std::to_string(width)) + u" x " +
                                   S(std::to_string(height)));
  if (width == 0 || height == 0) {
    SetPixels(0, 0, {}, COLOR_RGBALPHA, 8, {});
    return;
  }
  SetPixels(width, height, std::vector<std::uint32_t>(size_t(width) * size_t(height), 0u),
            COLOR_RGBALPHA, 8, {});
}

// ---- files ------------------------------------------------------------------------------------

void TPngImage::LoadFromStream(TStream* stream) {
  Int64 start = stream->Position();
  Int64 avail = stream->Size() - start;
  String name = SourceName().empty() ? String(u"PNG stream") : SourceName();
  if (avail <= 0) throw EInvalidGraphic(name + u": no PNG data");
  std::vector<Byte> data(static_cast<size_t>(avail));
  stream->ReadBuffer(data.data(), avail);
  size_t length = PngLength(data);
  TDecodedImage img;
  try {
    img = DecodePng(data.data(), length, name);
  } catch (...) {
    stream->SetPosition(start);
    throw;
  }
  stream->SetPosition(start + Int64(length));
  data.resize(length);
  SetPixels(img.Width, img.Height, std::move(img.Pixels), Byte(img.SourceColorType),
            Byte(img.SourceBitDepth), std::move(data));
}

void TPngImage::SaveToStream(TStream* stream) {
  if (Empty()) return;
  if (!FFile.empty()) {
    stream->WriteBuffer(FFile.data(), Int64(FFile.size()));
    return;
  }
  std::vector<Byte> png = EncodePng(FPixels.data(), FWidth, FHeight, FWidth);
  stream->WriteBuffer(png.data(), Int64(png.size()));
}

// ---- conversion -----------------------------------------------------------------------------

void TPngImage::Assign(TPersistent* source) {
  if (source == this) return;
  if (!source) {
    SetPixels(0, 0, {}, COLOR_RGBALPHA, 8, {});
    return;
  }
  if (auto* p = dynamic_cast<TPngImage*>(source)) {
    SetPixels(p->FWidth, p->FHeight, p->FPixels, p->FColorType, p->FBitDepth, p->FFile);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    if (b->Empty() || !b->Handle()) {
      SetPixels(0, 0, {}, COLOR_RGBALPHA, 8, {});
      return;
    }
    int w = b->Width(), h = b->Height(), stride;
    const std::uint32_t* px = BitmapWords(b->Handle(), stride);
    if (!px) throw EInvalidGraphicOperation(u"Cannot read the bitmap's pixels");
    std::vector<std::uint32_t> out(size_t(w) * size_t(h));
    bool alpha = b->BitsPerPixel() == 32 && b->AlphaFormat() != afIgnored;
    bool keyed = !alpha && b->Transparent();
    std::uint32_t key = 0;
    if (keyed) key = OpaquePixel(COLORREF(b->TransparentColor())) & 0xFFFFFFu;
    bool opaque = true;
    for (int y = 0; y < h; ++y) {
      const std::uint32_t* s = px + size_t(y) * size_t(stride);
      std::uint32_t* d = &out[size_t(y) * size_t(w)];
      if (alpha && b->AlphaFormat() == afPremultiplied)
        UnpremultiplyRow(s, d, size_t(w));
      else if (alpha)
        std::memcpy(d, s, size_t(w) * 4);
      else
        for (int x = 0; x < w; ++x)
          d[x] = keyed && (s[x] & 0xFFFFFFu) == key ? 0u : s[x] | 0xFF000000u;
      for (int x = 0; x < w && opaque; ++x) opaque = (d[x] >> 24) == 0xFF;
    }
    // The colour type the picture would be saved with.
    SetPixels(w, h, std::move(out), opaque ? COLOR_RGB : COLOR_RGBALPHA, 8, {});
    return;
  }
  TGraphic::Assign(source);
}

void TPngImage::AssignTo(TPersistent* dest) {
  auto* b = dynamic_cast<TBitmap*>(dest);
  if (!b) {
    TGraphic::AssignTo(dest);
    return;
  }
  if (Empty()) {
    b->Assign(nullptr);
    return;
  }
  std::uint32_t* bits = nullptr;
  HBITMAP h = CreateDIB32(FWidth, FHeight, reinterpret_cast<void**>(&bits));
  if (!h) throw EOutOfResources(u"Cannot create a bitmap for the PNG image");
  int stride = h->Stride / 4;
  bool opaque = FMode == ptmNone;
  for (int y = 0; y < FHeight; ++y) {
    const std::uint32_t* s = &FPixels[size_t(y) * size_t(FWidth)];
    std::uint32_t* d = bits + size_t(y) * size_t(stride);
    if (opaque)
      for (int x = 0; x < FWidth; ++x) d[x] = s[x] | 0xFF000000u;
    else
      std::memcpy(d, s, size_t(FWidth) * 4);
  }
  b->SetHandle(h, opaque ? afIgnored : afDefined);
}

// ---- drawing ----------------------------------------------------------------------------------

void TPngImage::Draw(TCanvas* canvas, const TRect& r) { DrawInto(canvas, r, 255); }

void TPngImage::DrawTransparent(TCanvas* canvas, const TRect& r, Byte opacity) {
  DrawInto(canvas, r, opacity);
}

void TPngImage::DrawInto(TCanvas* canvas, const TRect& r, Byte opacity) {
  if (Empty() || r.Width() <= 0 || r.Height() <= 0) return;
  HDC dst = canvas->HandleNoSelect();
  if (!dst) return;
  if (!FDrawBitmap) {
    std::uint32_t* bits = nullptr;
    FDrawBitmap = CreateDIB32(FWidth, FHeight, reinterpret_cast<void**>(&bits));
    if (!FDrawBitmap) throw EOutOfResources(u"Cannot create a bitmap for the PNG image");
    int stride = FDrawBitmap->Stride / 4;
    for (int y = 0; y < FHeight; ++y)
      PremultiplyRow(&FPixels[size_t(y) * size_t(FWidth)], bits + size_t(y) * size_t(stride),
                     size_t(FWidth));
    FDrawDC = CreateCompatibleDC(nullptr);
    SelectObject(FDrawDC, FDrawBitmap);
  }
  BLENDFUNCTION blend;
  blend.SourceConstantAlpha = opacity;
  blend.AlphaFormat = FMode == ptmNone ? 0 : AC_SRC_ALPHA;
  AlphaBlend(dst, r.Left, r.Top, r.Width(), r.Height(), FDrawDC, 0, 0, FWidth, FHeight, blend);
}

}  // namespace vcl
