// PNG decoding and encoding through libpng.
//
// libpng reports errors by longjmp. The functions that call setjmp (ReadPngImage and
// WritePngImage) keep no object with a destructor in their own frame: everything they fill lives
// in a context owned by the caller, which frees the libpng state in every case and turns a
// failure into an exception. Callbacks never let a C++ exception cross libpng's C frames.
#include <png.h>

#include <bit>
#include <cstdio>
#include <cstring>

#include "host/gdi/Codecs.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

namespace {

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

String SourceLabel(StringView name) { return name.empty() ? String(u"(stream)") : String(name); }

[[noreturn]] void FailPng(StringView name, std::string_view reason) {
  throw EInvalidGraphic(u"PNG image '" + SourceLabel(name) + u"' is invalid: " +
                        Utf8ToString(reason));
}

inline std::uint32_t ReadBE32(const Byte* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
         p[3];
}

// Total length of the IDAT chunks, found by walking the chunk headers (no CRC checks: libpng
// does those). Used to refuse images whose declared size the data cannot possibly fill.
std::uint64_t IdatBytes(const Byte* data, size_t size) {
  std::uint64_t total = 0;
  size_t pos = 8;
  while (size - pos >= 8) {
    std::uint32_t len = ReadBE32(data + pos);
    const Byte* type = data + pos + 4;
    if (std::memcmp(type, "IDAT", 4) == 0) total += len;
    if (std::memcmp(type, "IEND", 4) == 0) break;
    if (std::uint64_t(len) + 12 > size - pos) {
      total += std::min<std::uint64_t>(len, size - pos - 8);  // truncated: count what is there
      break;
    }
    pos += size_t(len) + 12;
  }
  return total;
}

// Deflate cannot expand data by more than about 1032:1, so an image needing more raw bytes than
// this from its IDAT data is corrupt (and would otherwise cost a huge allocation first).
constexpr std::uint64_t kMaxInflateRatio = 1032;
constexpr std::uint64_t kInflateSlack = 65536;

struct PngReadContext {
  const Byte* Data = nullptr;
  size_t Size = 0;
  size_t Pos = 0;
  std::uint64_t Idat = 0;
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  TDecodedImage* Image = nullptr;
  char Error[256] = {};
};

void PNGCBAPI OnPngError(png_structp png, png_const_charp message) {
  auto* ctx = static_cast<PngReadContext*>(png_get_error_ptr(png));
  std::snprintf(ctx->Error, sizeof ctx->Error, "%s", message ? message : "unknown error");
  png_longjmp(png, 1);
}

void PNGCBAPI OnPngWarning(png_structp, png_const_charp) {}

void PNGCBAPI OnPngRead(png_structp png, png_bytep out, size_t count) {
  auto* ctx = static_cast<PngReadContext*>(png_get_io_ptr(png));
  if (count > ctx->Size - ctx->Pos) png_error(png, "unexpected end of data (truncated file)");
  std::memcpy(out, ctx->Data + ctx->Pos, count);
  ctx->Pos += count;
}

// Decodes into ctx.Image; false after a libpng error (reason in ctx.Error). Only the resize of
// the pixel vector may throw (std::bad_alloc), and it does so outside any libpng call.
bool ReadPngImage(PngReadContext& ctx) {
  png_structp png = ctx.Png;
  png_infop info = ctx.Info;
  if (setjmp(png_jmpbuf(png))) return false;

  png_set_read_fn(png, &ctx, OnPngRead);
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
#ifdef PNG_IGNORE_ADLER32
  // The chunk CRCs already guard the compressed data; the zlib checksum only costs time.
  png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
  png_read_info(png, info);

  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
  if (std::uint64_t(width) * height > std::uint64_t(kMaxImagePixels))
    png_error(png, "image too large (more than 256 Mpixel)");
  std::uint64_t rawBits = std::uint64_t(width) * height * png_get_channels(png, info) * depth;
  if (rawBits / 8 > ctx.Idat * kMaxInflateRatio + kInflateSlack)
    png_error(png, "image data far too short for the declared size");

  TDecodedImage& img = *ctx.Image;
  img.SourceBitDepth = depth;
  img.SourceColorType = colorType;
  img.Interlaced = interlace != PNG_INTERLACE_NONE;

  // Everything becomes 8-bit four-channel rows laid out as native 0xAARRGGBB words.
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (hasTrns) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_strip_16(png);  // the high byte, as the common decoders give
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || hasTrns;
  if constexpr (kLittleEndian) {
    png_set_bgr(png);  // B G R A in memory
    if (!hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  } else {
    if (hasAlpha)
      png_set_swap_alpha(png);  // A R G B in memory
    else
      png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  }
  int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4)
    png_error(png, "unexpected row layout after conversion");

  img.Pixels.resize(size_t(width) * size_t(height));
  img.Width = int(width);
  img.Height = int(height);
  // With interlace handling, every pass reads each row into its place in the full image.
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y)
      png_read_row(png, reinterpret_cast<png_bytep>(img.Pixels.data() + size_t(y) * width),
                   nullptr);
  png_read_end(png, nullptr);
  return true;
}

struct PngWriteContext {
  std::vector<Byte>* Out = nullptr;
  const std::uint32_t* Pixels = nullptr;
  int Width = 0;
  int Height = 0;
  int StrideWords = 0;
  bool Alpha = false;
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  char Error[256] = {};
};

void PNGCBAPI OnPngWriteError(png_structp png, png_const_charp message) {
  auto* ctx = static_cast<PngWriteContext*>(png_get_error_ptr(png));
  std::snprintf(ctx->Error, sizeof ctx->Error, "%s", message ? message : "unknown error");
  png_longjmp(png, 1);
}

void PNGCBAPI OnPngWrite(png_structp png, png_bytep data, size_t count) {
  auto* ctx = static_cast<PngWriteContext*>(png_get_io_ptr(png));
  bool ok = true;
  try {
    ctx->Out->insert(ctx->Out->end(), data, data + count);
  } catch (...) {
    ok = false;
  }
  if (!ok) png_error(png, "out of memory");
}

void PNGCBAPI OnPngFlush(png_structp) {}

bool WritePngImage(PngWriteContext& ctx) {
  png_structp png = ctx.Png;
  png_infop info = ctx.Info;
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &ctx, OnPngWrite, OnPngFlush);
  png_set_IHDR(png, info, png_uint_32(ctx.Width), png_uint_32(ctx.Height), 8,
               ctx.Alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // The rows go in as they are: native 0xAARRGGBB words, the filler byte dropped for RGB.
  if constexpr (kLittleEndian) {
    png_set_bgr(png);
    if (!ctx.Alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
  } else {
    if (ctx.Alpha)
      png_set_swap_alpha(png);
    else
      png_set_filler(png, 0, PNG_FILLER_BEFORE);
  }
  for (int y = 0; y < ctx.Height; ++y)
    png_write_row(png, reinterpret_cast<png_const_bytep>(ctx.Pixels + size_t(y) * size_t(ctx.StrideWords)));
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool IsPngSignature(const void* data, size_t size) {
  return data && size >= 8 && png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) == 0;
}

TDecodedImage DecodePng(const void* data, size_t size, StringView sourceName) {
  if (!IsPngSignature(data, size)) FailPng(sourceName, "not a PNG file (bad signature)");
  TDecodedImage img;
  PngReadContext ctx;
  ctx.Data = static_cast<const Byte*>(data);
  ctx.Size = size;
  ctx.Idat = IdatBytes(ctx.Data, size);
  ctx.Image = &img;
  ctx.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &ctx, OnPngError, OnPngWarning);
  if (!ctx.Png) throw EOutOfMemory("PNG decoder: cannot create the libpng reader");
  struct Release {
    PngReadContext& C;
    ~Release() { png_destroy_read_struct(&C.Png, C.Info ? &C.Info : nullptr, nullptr); }
  } release{ctx};
  ctx.Info = png_create_info_struct(ctx.Png);
  if (!ctx.Info) throw EOutOfMemory("PNG decoder: cannot create the libpng info structure");
  if (!ReadPngImage(ctx)) FailPng(sourceName, ctx.Error);
  img.Transparency = ClassifyTransparency(img.Pixels.data(), img.Pixels.size());
  return img;
}

std::vector<Byte> EncodePng(const std::uint32_t* pixels, int width, int height,
                            int strideWords) {
  if (!pixels || width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
      strideWords < width)
    throw EInvalidGraphicOperation("EncodePng: invalid image (size " + std::to_string(width) +
                                   "x" + std::to_string(height) + ", stride " +
                                   std::to_string(strideWords) + ")");
  std::vector<Byte> out;
  PngWriteContext ctx;
  ctx.Out = &out;
  ctx.Pixels = pixels;
  ctx.Width = width;
  ctx.Height = height;
  ctx.StrideWords = strideWords;
  for (int y = 0; y < height && !ctx.Alpha; ++y) {
    const std::uint32_t* row = pixels + size_t(y) * size_t(strideWords);
    for (int x = 0; x < width; ++x)
      if ((row[x] >> 24) != 0xFF) {
        ctx.Alpha = true;
        break;
      }
  }
  ctx.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &ctx, OnPngWriteError, OnPngWarning);
  if (!ctx.Png) throw EOutOfMemory("PNG encoder: cannot create the libpng writer");
  struct Release {
    PngWriteContext& C;
    ~Release() { png_destroy_write_struct(&C.Png, C.Info ? &C.Info : nullptr); }
  } release{ctx};
  ctx.Info = png_create_info_struct(ctx.Png);
  if (!ctx.Info) throw EOutOfMemory("PNG encoder: cannot create the libpng info structure");
  if (!WritePngImage(ctx))
    throw EInvalidGraphicOperation(std::string("EncodePng: ") + ctx.Error);
  return out;
}

}  // namespace vcl
