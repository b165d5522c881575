// BMP decoding and encoding. Every read is checked against the buffer; every failure raises
// EInvalidGraphic naming the source and the reason.
#include <bit>
#include <cstring>
#include <limits>

#include "host/gdi/Codecs.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12;
constexpr DWORD kBiAlphaBitfields = 6;
constexpr DWORD kBiJpeg = 4;
constexpr DWORD kBiPng = 5;
// RLE data can describe many pixels in few bytes (and end early, leaving the rest blank); an
// image needing more than this many pixels per byte of data is refused as a memory bomb.
constexpr std::uint64_t kMaxRlePixelsPerByte = 1024;
constexpr std::uint64_t kRlePixelSlack = 1 << 20;

inline std::uint16_t Le16(const Byte* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::uint32_t Le32(const Byte* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

class BmpDecoder {
 public:
  BmpDecoder(const Byte* data, size_t size, StringView name) : D(data), N(size), Name(name) {}
  TDecodedImage Decode();

 private:
  struct Channel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint64_t Max = 0;  // largest field value; 0 when the channel is absent
    std::uint32_t Get(std::uint32_t px, std::uint32_t absent) const {
      if (!Max) return absent;
      std::uint64_t v = (px & Mask) >> Shift;
      return Max == 255 ? std::uint32_t(v) : std::uint32_t((v * 255 + Max / 2) / Max);
    }
  };

  [[noreturn]] void Fail(std::string_view reason) const {
    throw EInvalidGraphic(u"BMP image '" + (Name.empty() ? String(u"(stream)") : String(Name)) +
                          u"' is invalid: " + Utf8ToString(reason));
  }
  // Throws unless [offset, offset + count) lies inside the data.
  void Need(std::uint64_t offset, std::uint64_t count, const char* what) const {
    if (offset > N || count > N - offset)
      Fail(std::string("truncated ") + what + " (needs " + std::to_string(offset + count) +
           " bytes, the data has " + std::to_string(N) + ")");
  }
  Channel MakeChannel(std::uint32_t mask, const char* name) const;
  void ReadHeaders();
  void DecodeRows(TDecodedImage& img);
  void DecodeRle(TDecodedImage& img);
  std::uint32_t PaletteColor(unsigned index) const {
    return index < Palette.size() ? Palette[index] : 0xFF000000u;
  }

  const Byte* D;
  size_t N;
  StringView Name;

  std::uint32_t HeaderSize = 0;
  int Width = 0;
  int Height = 0;  // absolute
  bool TopDown = false;
  int Bpp = 0;
  DWORD Compression = BI_RGB;
  std::vector<std::uint32_t> Palette;  // opaque 0xFFRRGGBB
  Channel R, G, B, A;
  bool UseMasks = false;
  size_t PixelOffset = 0;
};

BmpDecoder::Channel BmpDecoder::MakeChannel(std::uint32_t mask, const char* name) const {
  Channel c;
  if (Bpp == 16) mask &= 0xFFFF;
  c.Mask = mask;
  if (!mask) return c;
  while (!((mask >> c.Shift) & 1)) ++c.Shift;
  std::uint64_t field = std::uint64_t(mask) >> c.Shift;
  if (field & (field + 1)) Fail(std::string("the ") + name + " bit-field mask is not contiguous");
  c.Max = field;
  return c;
}

void BmpDecoder::ReadHeaders() {
  Need(0, kFileHeaderSize + 4, "file header");
  std::uint32_t offBits = Le32(D + 10);
  HeaderSize = Le32(D + kFileHeaderSize);
  const Byte* h = D + kFileHeaderSize;
  bool core = HeaderSize == kCoreHeaderSize;
  // OS/2 2.x headers are 16..64 bytes; Windows uses 40, 52, 56, 108 and 124.
  bool os2v2 = (HeaderSize >= 16 && HeaderSize < 40) || HeaderSize == 64;
  if (!core && !os2v2 && HeaderSize != 40 && HeaderSize != 52 && HeaderSize != 56 &&
      HeaderSize != 108 && HeaderSize != 124)
    Fail("unknown info header size " + std::to_string(HeaderSize));
  Need(kFileHeaderSize, HeaderSize, "info header");

  std::int64_t width, height;
  std::uint32_t clrUsed = 0;
  if (core) {
    width = Le16(h + 4);
    height = Le16(h + 6);
    Bpp = Le16(h + 10);
  } else {
    width = std::int32_t(Le32(h + 4));
    height = std::int32_t(Le32(h + 8));
    Bpp = Le16(h + 14);
    Compression = HeaderSize >= 20 ? Le32(h + 16) : BI_RGB;
    clrUsed = HeaderSize >= 36 ? Le32(h + 32) : 0;
  }
  if (height < 0) {
    TopDown = true;
    height = -height;
  }
  if (width <= 0 || height <= 0)
    Fail("invalid size " + std::to_string(width) + "x" + std::to_string(height));
  if (width > kMaxImageSide || height > kMaxImageSide || width * height > kMaxImagePixels)
    Fail("image too large (" + std::to_string(width) + "x" + std::to_string(height) + ")");
  Width = int(width);
  Height = int(height);

  if (Bpp != 1 && Bpp != 4 && Bpp != 8 && Bpp != 16 && Bpp != 24 && Bpp != 32)
    Fail("unsupported bit count " + std::to_string(Bpp));
  if (os2v2 && Compression >= BI_BITFIELDS)
    Fail("unsupported OS/2 compression " + std::to_string(Compression));
  switch (Compression) {
    case BI_RGB: break;
    case BI_RLE8:
      if (Bpp != 8) Fail("BI_RLE8 with bit count " + std::to_string(Bpp));
      break;
    case BI_RLE4:
      if (Bpp != 4) Fail("BI_RLE4 with bit count " + std::to_string(Bpp));
      break;
    case BI_BITFIELDS:
    case kBiAlphaBitfields:
      if (Bpp != 16 && Bpp != 32)
        Fail("bit-field masks with bit count " + std::to_string(Bpp));
      break;
    case kBiJpeg: Fail("embedded JPEG data is not supported");
    case kBiPng: Fail("embedded PNG data is not supported");
    default: Fail("unknown compression " + std::to_string(Compression));
  }
  if (TopDown && (Compression == BI_RLE8 || Compression == BI_RLE4))
    Fail("top-down rows cannot be RLE compressed");

  size_t tableOffset = kFileHeaderSize + HeaderSize;
  if (Compression == BI_BITFIELDS || Compression == kBiAlphaBitfields) {
    std::uint32_t masks[4] = {0, 0, 0, 0};
    int count = Compression == kBiAlphaBitfields ? 4 : 3;
    if (HeaderSize >= 52) {
      // V2 and later headers carry the masks (V3 and later the alpha mask too).
      for (int i = 0; i < 3; ++i) masks[i] = Le32(h + 40 + 4 * i);
      if (HeaderSize >= 56) masks[3] = Le32(h + 52);
    } else {
      Need(tableOffset, size_t(count) * 4, "bit-field masks");
      for (int i = 0; i < count; ++i) masks[i] = Le32(D + tableOffset + 4 * i);
      tableOffset += size_t(count) * 4;
    }
    R = MakeChannel(masks[0], "red");
    G = MakeChannel(masks[1], "green");
    B = MakeChannel(masks[2], "blue");
    A = MakeChannel(masks[3], "alpha");
    UseMasks = true;
  } else if (Bpp == 16) {
    R = MakeChannel(0x7C00, "red");
    G = MakeChannel(0x03E0, "green");
    B = MakeChannel(0x001F, "blue");
    UseMasks = true;
  }

  if (Bpp <= 8) {
    size_t entry = core ? 3 : 4;
    std::uint32_t maxColors = 1u << Bpp;
    std::uint32_t colors = clrUsed == 0 ? maxColors : std::min(clrUsed, maxColors);
    Need(tableOffset, size_t(colors) * entry, "colour table");
    Palette.resize(colors);
    for (std::uint32_t i = 0; i < colors; ++i) {
      const Byte* q = D + tableOffset + i * entry;
      Palette[i] = 0xFF000000u | (std::uint32_t(q[2]) << 16) | (std::uint32_t(q[1]) << 8) | q[0];
    }
    tableOffset += size_t(colors) * entry;
  }

  // Files with a zero offset are common enough: the pixels then follow the colour table.
  PixelOffset = offBits == 0 ? tableOffset : offBits;
  if (PixelOffset < kFileHeaderSize + HeaderSize || PixelOffset >= N)
    Fail("pixel data offset " + std::to_string(offBits) + " lies outside the data");
}

void BmpDecoder::DecodeRows(TDecodedImage& img) {
  std::uint64_t stride = ((std::uint64_t(Width) * Bpp + 31) / 32) * 4;
  Need(PixelOffset, stride * std::uint64_t(Height), "pixel data");
  img.Pixels.resize(size_t(Width) * size_t(Height));
  bool alphaBytes = Bpp == 32 && !UseMasks;  // BI_RGB: the fourth byte may be alpha
  // The usual 32-bit layout (B, G, R, then alpha or nothing) is copied row by row.
  bool native = std::endian::native == std::endian::little && Bpp == 32 &&
                (!UseMasks || (R.Mask == 0x00FF0000u && G.Mask == 0x0000FF00u &&
                               B.Mask == 0x000000FFu && (A.Mask == 0xFF000000u || !A.Mask)));
  std::uint32_t opaque = UseMasks && !A.Mask ? 0xFF000000u : 0;
  std::uint32_t anyAlpha = 0;
  for (int r = 0; r < Height; ++r) {
    const Byte* s = D + PixelOffset + size_t(r) * size_t(stride);
    int y = TopDown ? r : Height - 1 - r;
    std::uint32_t* d = img.Pixels.data() + size_t(y) * size_t(Width);
    switch (Bpp) {
      case 1:
      case 4:
      case 8: {
        int perByte = 8 / Bpp;
        unsigned mask = (1u << Bpp) - 1;
        for (int x = 0; x < Width; ++x) {
          int shift = 8 - Bpp * (x % perByte + 1);
          d[x] = PaletteColor((s[x / perByte] >> shift) & mask);
        }
        break;
      }
      case 24:
        for (int x = 0; x < Width; ++x, s += 3)
          d[x] = 0xFF000000u | (std::uint32_t(s[2]) << 16) | (std::uint32_t(s[1]) << 8) | s[0];
        break;
      case 32:
        if (native) {
          std::memcpy(d, s, size_t(Width) * 4);
          if (alphaBytes)
            for (int x = 0; x < Width; ++x) anyAlpha |= d[x];
          else if (opaque)
            for (int x = 0; x < Width; ++x) d[x] |= opaque;
          break;
        }
        if (alphaBytes) {
          for (int x = 0; x < Width; ++x) {
            std::uint32_t px = Le32(s + 4 * x);
            anyAlpha |= px & 0xFF000000u;
            d[x] = px;
          }
          break;
        }
        [[fallthrough]];
      case 16: {
        int bytes = Bpp / 8;
        for (int x = 0; x < Width; ++x) {
          std::uint32_t px = bytes == 4 ? Le32(s + 4 * x) : Le16(s + 2 * x);
          d[x] = (A.Get(px, 255) << 24) | (R.Get(px, 0) << 16) | (G.Get(px, 0) << 8) | B.Get(px, 0);
        }
        break;
      }
    }
  }
  // Writers that know nothing of alpha leave the fourth bytes zero: such an image is opaque.
  if (alphaBytes && !(anyAlpha & 0xFF000000u))
    for (std::uint32_t& px : img.Pixels) px |= 0xFF000000u;
}

void BmpDecoder::DecodeRle(TDecodedImage& img) {
  size_t pos = PixelOffset;
  if (std::uint64_t(Width) * std::uint64_t(Height) >
      std::uint64_t(N - pos) * kMaxRlePixelsPerByte + kRlePixelSlack)
    Fail("RLE data far too short for the declared size");
  img.Pixels.assign(size_t(Width) * size_t(Height), 0u);  // skipped pixels stay transparent
  bool rle4 = Compression == BI_RLE4;
  int x = 0, row = 0;  // row counts from the bottom
  auto put = [&](unsigned index) {
    if (x < Width && row < Height)
      img.Pixels[size_t(Height - 1 - row) * size_t(Width) + size_t(x)] = PaletteColor(index);
    ++x;
  };
  for (;;) {
    if (row >= Height) break;  // everything further would fall outside the image
    Need(pos, 2, "RLE data (no end-of-bitmap marker)");
    unsigned count = D[pos], value = D[pos + 1];
    pos += 2;
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i)
        put(rle4 ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      Need(pos, 2, "RLE delta");
      x += D[pos];
      row += D[pos + 1];
      pos += 2;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      size_t bytes = rle4 ? (value + 1) / 2 : value;
      Need(pos, bytes, "RLE absolute run");
      for (unsigned i = 0; i < value; ++i)
        put(rle4 ? ((i & 1) ? D[pos + i / 2] & 0x0F : D[pos + i / 2] >> 4) : D[pos + i]);
      pos += bytes + (bytes & 1);
    }
  }
}

TDecodedImage BmpDecoder::Decode() {
  if (!D || N < 2 || D[0] != 'B' || D[1] != 'M') Fail("not a BMP file (bad signature)");
  ReadHeaders();
  TDecodedImage img;
  img.Width = Width;
  img.Height = Height;
  img.SourceBitDepth = Bpp;
  img.SourceColorType = int(Compression);
  img.TopDown = TopDown;
  if (Compression == BI_RLE8 || Compression == BI_RLE4)
    DecodeRle(img);
  else
    DecodeRows(img);
  img.Transparency = ClassifyTransparency(img.Pixels.data(), img.Pixels.size());
  return img;
}

void Put16(std::vector<Byte>& out, size_t at, std::uint32_t v) {
  out[at] = Byte(v);
  out[at + 1] = Byte(v >> 8);
}
void Put32(std::vector<Byte>& out, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = Byte(v >> (8 * i));
}

}  // namespace

bool IsBmpSignature(const void* data, size_t size) {
  const auto* d = static_cast<const Byte*>(data);
  return d && size >= kFileHeaderSize + kCoreHeaderSize && d[0] == 'B' && d[1] == 'M';
}

TDecodedImage DecodeBmp(const void* data, size_t size, StringView sourceName) {
  return BmpDecoder(static_cast<const Byte*>(data), size, sourceName).Decode();
}

std::vector<Byte> EncodeBmp(const std::uint32_t* pixels, int width, int height, int strideWords,
                            int bitCount) {
  if (!pixels || width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
      std::int64_t(width) * height > kMaxImagePixels || strideWords < width ||
      (bitCount != 24 && bitCount != 32))
    throw EInvalidGraphicOperation("EncodeBmp: invalid image (size " + std::to_string(width) +
                                   "x" + std::to_string(height) + ", stride " +
                                   std::to_string(strideWords) + ", bit count " +
                                   std::to_string(bitCount) + ")");
  size_t headerSize = bitCount == 32 ? 108 : 40;
  size_t stride = ((size_t(width) * size_t(bitCount) + 31) / 32) * 4;
  size_t offBits = kFileHeaderSize + headerSize;
  size_t fileSize = offBits + stride * size_t(height);
  std::vector<Byte> out(fileSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, std::uint32_t(fileSize));
  Put32(out, 10, std::uint32_t(offBits));
  size_t h = kFileHeaderSize;
  Put32(out, h, std::uint32_t(headerSize));
  Put32(out, h + 4, std::uint32_t(width));
  Put32(out, h + 8, std::uint32_t(height));  // bottom-up
  Put16(out, h + 12, 1);
  Put16(out, h + 14, std::uint32_t(bitCount));
  Put32(out, h + 16, bitCount == 32 ? BI_BITFIELDS : BI_RGB);
  Put32(out, h + 20, std::uint32_t(stride * size_t(height)));
  Put32(out, h + 24, 3780);  // 96 DPI
  Put32(out, h + 28, 3780);
  if (bitCount == 32) {
    Put32(out, h + 40, 0x00FF0000u);
    Put32(out, h + 44, 0x0000FF00u);
    Put32(out, h + 48, 0x000000FFu);
    Put32(out, h + 52, 0xFF000000u);
    Put32(out, h + 56, 0x73524742u);  // 'sRGB'
  }
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* s = pixels + size_t(y) * size_t(strideWords);
    Byte* d = out.data() + offBits + size_t(height - 1 - y) * stride;
    if (bitCount == 32) {
      for (int x = 0; x < width; ++x, d += 4) {
        std::uint32_t px = s[x];
        d[0] = Byte(px);
        d[1] = Byte(px >> 8);
        d[2] = Byte(px >> 16);
        d[3] = Byte(px >> 24);
      }
    } else {
      for (int x = 0; x < width; ++x, d += 3) {
        std::uint32_t px = s[x];
        d[0] = Byte(px);
        d[1] = Byte(px >> 8);
        d[2] = Byte(px >> 16);
      }
    }
  }
  return out;
}

}  // namespace vcl
