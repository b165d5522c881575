// Codec helpers shared by the PNG and BMP codecs: alpha conversions, transparency
// classification, and decoded images <-> DIB sections.
#include "host/gdi/Codecs.h"

#include <cstring>

#include "host/gdi/GdiInternal.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

namespace {

// round(v * a / 255) for v, a in 0..255, without a division.
inline std::uint32_t Mul255(std::uint32_t v, std::uint32_t a) {
  std::uint32_t t = v * a + 128;
  return (t + (t >> 8)) >> 8;
}

inline std::uint32_t UnpremulChannel(std::uint32_t c, std::uint32_t a) {
  if (c >= a) return 255;
  return (c * 255 + a / 2) / a;
}

}  // namespace

std::uint32_t PremultiplyPixel(std::uint32_t p) {
  std::uint32_t a = p >> 24;
  if (a == 255) return p;
  if (a == 0) return 0;
  return (a << 24) | (Mul255((p >> 16) & 0xFF, a) << 16) | (Mul255((p >> 8) & 0xFF, a) << 8) |
         Mul255(p & 0xFF, a);
}

std::uint32_t UnpremultiplyPixel(std::uint32_t p) {
  std::uint32_t a = p >> 24;
  if (a == 255) return p;
  if (a == 0) return 0;
  return (a << 24) | (UnpremulChannel((p >> 16) & 0xFF, a) << 16) |
         (UnpremulChannel((p >> 8) & 0xFF, a) << 8) | UnpremulChannel(p & 0xFF, a);
}

void PremultiplyRow(const std::uint32_t* src, std::uint32_t* dst, size_t count) {
  for (size_t i = 0; i < count; ++i) dst[i] = PremultiplyPixel(src[i]);
}

void UnpremultiplyRow(const std::uint32_t* src, std::uint32_t* dst, size_t count) {
  for (size_t i = 0; i < count; ++i) dst[i] = UnpremultiplyPixel(src[i]);
}

TImageTransparency ClassifyTransparency(const std::uint32_t* pixels, size_t count) {
  bool anyZero = false;
  for (size_t i = 0; i < count; ++i) {
    std::uint32_t a = pixels[i] >> 24;
    if (a == 255) continue;
    if (a != 0) return TImageTransparency::Partial;
    anyZero = true;
  }
  return anyZero ? TImageTransparency::Bit : TImageTransparency::None;
}

TDecodedImage DecodeImage(const void* data, size_t size, StringView sourceName) {
  if (IsPngSignature(data, size)) return DecodePng(data, size, sourceName);
  // Any "BM" start goes to the BMP decoder, so a truncated BMP is reported as one.
  const auto* d = static_cast<const Byte*>(data);
  if (d && size >= 2 && d[0] == 'B' && d[1] == 'M') return DecodeBmp(data, size, sourceName);
  String name = sourceName.empty() ? String(u"(stream)") : String(sourceName);
  throw EInvalidGraphic(u"Image '" + name + u"': unknown image format (neither PNG nor BMP)");
}

HBITMAP CreateDibFromImage(const TDecodedImage& image, bool premultiplied) {
  if (image.Empty() || image.Pixels.size() < size_t(image.Width) * size_t(image.Height))
    return nullptr;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIB32(image.Width, image.Height, &bits);
  if (!bmp) return nullptr;
  auto* out = static_cast<std::uint32_t*>(bits);
  int strideWords = bmp->Stride / 4;
  for (int y = 0; y < image.Height; ++y) {
    const std::uint32_t* s = image.Pixels.data() + size_t(y) * size_t(image.Width);
    std::uint32_t* d = out + size_t(y) * size_t(strideWords);
    if (premultiplied)
      PremultiplyRow(s, d, size_t(image.Width));
    else
      std::memcpy(d, s, size_t(image.Width) * 4);
  }
  return bmp;
}

TDecodedImage ImageFromBitmap(HBITMAP bmp, bool premultiplied) {
  TDecodedImage img;
  if (!bmp || bmp->Width <= 0 || bmp->Height <= 0) return img;
  img.Width = bmp->Width;
  img.Height = bmp->Height;
  img.SourceBitDepth = bmp->BitsPerPixel;
  img.TopDown = bmp->TopDown;
  img.Pixels.resize(size_t(img.Width) * size_t(img.Height));
  if (bmp->BitsPerPixel == 32) {
    if (bmp->Surface) cairo_surface_flush(bmp->Surface);
    for (int y = 0; y < img.Height; ++y) {
      const auto* s = reinterpret_cast<const std::uint32_t*>(BitmapRow(bmp, y));
      std::uint32_t* d = img.Pixels.data() + size_t(y) * size_t(img.Width);
      if (premultiplied)
        UnpremultiplyRow(s, d, size_t(img.Width));
      else
        std::memcpy(d, s, size_t(img.Width) * 4);
    }
  } else {
    // Lower depths are read through the bitmap's 32-bit drawing surface (opaque words).
    cairo_surface_t* s = BitmapSurface(bmp);
    if (!s) return TDecodedImage{};
    int sw;
    const std::uint32_t* px = SurfacePixels(s, sw);
    for (int y = 0; y < img.Height; ++y)
      std::memcpy(img.Pixels.data() + size_t(y) * size_t(img.Width), px + size_t(y) * size_t(sw),
                  size_t(img.Width) * 4);
  }
  img.Transparency = ClassifyTransparency(img.Pixels.data(), img.Pixels.size());
  return img;
}

}  // namespace vcl
