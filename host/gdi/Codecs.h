// Image codecs: PNG (through libpng) and BMP decoding and encoding, plus the conversions
// between decoded images and 32-bit DIB sections.
//
// A decoded image holds straight (not premultiplied) 0xAARRGGBB words, top row first, whatever
// the source format was. Corrupt, truncated or oversized input raises EInvalidGraphic whose
// message names the source and the reason; nothing is read outside the given buffer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/gdi/Gdi.h"
#include "host/rtl/System.h"

namespace vcl {

// How much of an image is see-through, judged from the decoded pixels (not from the chunks or
// masks the file declares): None when every alpha is 255, Bit when every alpha is 0 or 255 and
// some are 0, Partial when any alpha lies strictly between.
enum class TImageTransparency { None, Bit, Partial };

struct TDecodedImage {
  int Width = 0;
  int Height = 0;
  // Straight 0xAARRGGBB, top-down rows, Width * Height words.
  std::vector<std::uint32_t> Pixels;
  TImageTransparency Transparency = TImageTransparency::None;
  // PNG: bits per sample (1..16) and the colour type (0, 2, 3, 4, 6).
  // BMP: bits per pixel and the compression (BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS, ...).
  int SourceBitDepth = 0;
  int SourceColorType = 0;
  bool Interlaced = false;  // PNG: Adam7
  bool TopDown = true;      // BMP: rows were stored top row first (PNG: always true)

  bool Empty() const { return Width <= 0 || Height <= 0; }
  std::uint32_t Pixel(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
};

// Largest accepted image: each side at most this many pixels, and at most kMaxImagePixels.
constexpr int kMaxImageSide = 32768;
constexpr std::int64_t kMaxImagePixels = std::int64_t(1) << 28;  // 256 Mpixel

bool IsPngSignature(const void* data, size_t size);
bool IsBmpSignature(const void* data, size_t size);  // "BM" followed by room for the headers

// Every colour type and bit depth; palette and tRNS transparency become alpha; 16-bit samples
// keep their high byte (v >> 8); Adam7 is de-interlaced. Gamma,
// background and the other ancillary chunks are ignored. sourceName is used in messages.
TDecodedImage DecodePng(const void* data, size_t size, StringView sourceName = {});

// BITMAPFILEHEADER followed by an OS/2 core header, BITMAPINFOHEADER, V2/V3, V4 or V5 header;
// 1/4/8/16/24/32 bits per pixel, top-down or bottom-up, BI_RGB, BI_BITFIELDS (16 and 32 bits,
// alpha mask included), BI_ALPHABITFIELDS, BI_RLE8 and BI_RLE4. A 32-bit BI_RGB image whose
// fourth bytes are all zero is opaque; otherwise those bytes are its alpha. Pixels that RLE
// data skips are transparent black. sourceName is used in messages.
TDecodedImage DecodeBmp(const void* data, size_t size, StringView sourceName = {});

// Decodes whichever of the two formats the signature shows; anything else raises
// EInvalidGraphic ("unknown image format").
TDecodedImage DecodeImage(const void* data, size_t size, StringView sourceName = {});

// PNG of straight 0xAARRGGBB rows (strideWords words apart): 8-bit RGBA, or 8-bit RGB when every
// pixel is opaque. Invalid arguments raise EInvalidGraphicOperation.
std::vector<Byte> EncodePng(const std::uint32_t* straightPixels, int width, int height,
                            int strideWords);

// BMP of straight 0xAARRGGBB rows, bottom-up. bitCount 32 writes a BITMAPV4HEADER with
// BI_BITFIELDS masks (alpha included); 24 writes a BITMAPINFOHEADER with BI_RGB and drops alpha.
std::vector<Byte> EncodeBmp(const std::uint32_t* straightPixels, int width, int height,
                            int strideWords, int bitCount = 32);

// Premultiplied <-> straight alpha for count 0xAARRGGBB words, in place or from src to dst.
// Premultiply gives round(c * a / 255), i.e. (c * a + 127) / 255, exactly.
// Unpremultiply gives round(c * 255 / a), clamped to 255, i.e. (c * 255 + a / 2) / a; a
// zero alpha gives 0x00000000. Premultiply(Unpremultiply(p)) == p for every valid premultiplied p.
void PremultiplyRow(const std::uint32_t* src, std::uint32_t* dst, size_t count);
void UnpremultiplyRow(const std::uint32_t* src, std::uint32_t* dst, size_t count);
std::uint32_t PremultiplyPixel(std::uint32_t straight);
std::uint32_t UnpremultiplyPixel(std::uint32_t premultiplied);

// The transparency kind of straight (or premultiplied: only alpha is read) pixels.
TImageTransparency ClassifyTransparency(const std::uint32_t* pixels, size_t count);

// A top-down 32-bit DIB section holding the image, premultiplied when premultiplied is true
// (the drawing layer's pixel model) or straight otherwise. nullptr for an empty image.
HBITMAP CreateDibFromImage(const TDecodedImage& image, bool premultiplied);

// The pixels of any bitmap as a decoded image. For a 32-bit bitmap the words are taken as
// premultiplied (unpremultiplied into the result) when premultiplied is true, else as straight;
// other depths are opaque. An empty image for a null bitmap.
TDecodedImage ImageFromBitmap(HBITMAP bitmap, bool premultiplied);

}  // namespace vcl
