// The stored form of an image list's images: the binary property "Bitmap".
//
// Layout (integers little-endian):
//   offset  size  contents
//   0       4     "KXIL"
//   4       2     format version, 1
//   6       2     flags: bit 0 set when a mask block follows the picture
//   8       4     image width  w (1..32768)
//   12      4     image height h (1..32768)
//   16      4     image count  n (0 or more)
//   20      4     byte length P of the picture
//   24      P     PNG, 8-bit RGBA with straight alpha: the images in a grid of
//                 c = min(n, 32768 / w) columns and r = ceil(n / c) rows, image i in cell
//                 (i mod c, i div c); its size is c*w x r*h (nothing when n is 0)
//   24+P    4     byte length M of the mask block (only with flag bit 0)
//   28+P    M     zlib stream of the masks over the same grid: r*h rows of ceil(c*w / 8) bytes,
//                 the leftmost pixel in the high bit, 1 = transparent
// Every length is checked against the data before it is used; a mismatch raises EReadError
// naming the image list and what is wrong.
//
// The images keep their exact pixels: the list holds premultiplied pixels, stored straight
// (un-premultiplied) in the PNG and premultiplied again when read, which gives back every
// pixel unchanged. The masks are stored as they are.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/gdi/Codecs.h"
#include "host/graphics/GraphicsInternal.h"
#include "host/graphics/ImgList.h"
#include "host/rtl/Streams.h"
#include "host/rtl/ZLib.h"

namespace vcl {

using graphics_detail::TImageCell;

namespace {

constexpr char kSignature[4] = {'K', 'X', 'I', 'L'};
constexpr std::uint16_t kVersion = 1;
constexpr std::uint16_t kHasMasks = 1;
constexpr int kMaxGridSide = 32768;

struct TGrid {
  int Cols = 0;
  int Rows = 0;
  int PixelWidth = 0;   // Cols * w
  int PixelHeight = 0;  // Rows * h
  int MaskStride = 0;   // bytes per mask row
};

bool MakeGrid(int w, int h, Int64 n, TGrid& g) {
  if (n <= 0) return true;
  g.Cols = int(std::min<Int64>(n, kMaxGridSide / w));
  Int64 rows = (n + g.Cols - 1) / g.Cols;
  if (rows * h > kMaxGridSide) return false;
  g.Rows = int(rows);
  g.PixelWidth = g.Cols * w;
  g.PixelHeight = g.Rows * h;
  g.MaskStride = (g.PixelWidth + 7) / 8;
  return true;
}

inline bool GetBit(const Byte* row, int x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }
inline void SetBit(Byte* row, int x) { row[x >> 3] = Byte(row[x >> 3] | (0x80 >> (x & 7))); }

}  // namespace

void TCustomImageList::WriteData(TStream* stream) {
  HIMAGELIST h = Handle();
  int n = ImageList_GetImageCount(h);
  TGrid grid;
  if (!MakeGrid(FWidth, FHeight, n, grid)) Error(u"too many images to store");
  bool masks = FMasked;
  std::vector<std::uint32_t> pixels(size_t(grid.PixelWidth) * size_t(grid.PixelHeight));
  std::vector<Byte> maskBits(masks ? size_t(grid.MaskStride) * size_t(grid.PixelHeight) : 0);
  for (int i = 0; i < n; ++i) {
    TImageCell cell;
    if (!graphics_detail::ExtractImageCell(h, i, cell)) Error(u"cannot read an image to store");
    int x0 = (i % grid.Cols) * FWidth, y0 = (i / grid.Cols) * FHeight;
    for (int y = 0; y < FHeight; ++y) {
      const auto* src = reinterpret_cast<const std::uint32_t*>(BitmapRow(cell.Image, y));
      UnpremultiplyRow(src, &pixels[size_t(y0 + y) * grid.PixelWidth + x0], size_t(FWidth));
      if (masks && cell.Mask) {
        const Byte* m = BitmapRow(cell.Mask, y);
        Byte* out = &maskBits[size_t(y0 + y) * grid.MaskStride];
        for (int x = 0; x < FWidth; ++x)
          if (GetBit(m, x)) SetBit(out, x0 + x);
      }
    }
  }
  std::vector<Byte> png;
  if (n > 0) png = EncodePng(pixels.data(), grid.PixelWidth, grid.PixelHeight, grid.PixelWidth);
  stream->WriteBuffer(kSignature, 4);
  stream->WriteData<std::uint16_t>(kVersion);
  stream->WriteData<std::uint16_t>(masks ? kHasMasks : 0);
  stream->WriteData<std::int32_t>(FWidth);
  stream->WriteData<std::int32_t>(FHeight);
  stream->WriteData<std::int32_t>(n);
  stream->WriteData<std::uint32_t>(std::uint32_t(png.size()));
  if (!png.empty()) stream->WriteBuffer(png.data(), Int64(png.size()));
  if (masks) {
    std::vector<Byte> z = ZCompress(maskBits.data(), maskBits.size());
    stream->WriteData<std::uint32_t>(std::uint32_t(z.size()));
    stream->WriteBuffer(z.data(), Int64(z.size()));
  }
}

void TCustomImageList::ReadData(TStream* stream) {
  String name = Name().empty() ? String(u"image list") : u"image list " + Name();
  auto fail = [&](const String& what) -> void { throw EReadError(name + u": " + what); };
  auto remaining = [&] { return stream->Size() - stream->Position(); };
  auto need = [&](Int64 bytes, const char16_t* what) {
    if (bytes > remaining()) fail(String(u"image data truncated (") + what + u")");
  };

  need(24, u"header");
  char sig[4];
  stream->ReadBuffer(sig, 4);
  if (std::memcmp(sig, kSignature, 4) != 0) fail(u"image data has an unknown signature");
  auto version = stream->ReadData<std::uint16_t>();
  if (version != kVersion)
    fail(u"unsupported image data version " + S(std::to_string(version)));
  auto flags = stream->ReadData<std::uint16_t>();
  int w = stream->ReadData<std::int32_t>();
  int h = stream->ReadData<std::int32_t>();
  int n = stream->ReadData<std::int32_t>();
  if (w < 1 || h < 1 || w > 32768 || h > 32768)
    fail(u"invalid image size " + S(std::to_string(w)) + u" x " + S(std::to_string(h)));
  TGrid grid;
  if (n < 0 || !MakeGrid(w, h, n, grid)) fail(u"invalid image count " + S(std::to_string(n)));
  std::uint32_t pngSize = stream->ReadData<std::uint32_t>();
  need(pngSize, u"picture");
  std::vector<Byte> png(pngSize);
  if (pngSize) stream->ReadBuffer(png.data(), pngSize);
  std::vector<Byte> maskBits;
  if (flags & kHasMasks) {
    need(4, u"mask length");
    std::uint32_t zSize = stream->ReadData<std::uint32_t>();
    need(zSize, u"masks");
    std::vector<Byte> z(zSize);
    if (zSize) stream->ReadBuffer(z.data(), zSize);
    size_t expected = size_t(grid.MaskStride) * size_t(grid.PixelHeight);
    try {
      maskBits = ZDecompress(z.data(), z.size(), expected, expected + 1);
    } catch (const EZLibError& e) {
      fail(u"corrupt masks: " + e.Message());
    }
    if (maskBits.size() != expected) fail(u"mask data has the wrong size");
  }
  TDecodedImage img;
  if (n > 0) {
    try {
      img = DecodePng(png.data(), png.size(), name);
    } catch (const EInvalidGraphic& e) {
      fail(u"corrupt picture: " + e.Message());
    }
    if (img.Width != grid.PixelWidth || img.Height != grid.PixelHeight)
      fail(u"picture size does not match the image count and size");
  }

  // Everything checked: the list takes the images.
  FreeHandle();
  FWidth = w;
  FHeight = h;
  CreateHandle();
  bool masks = !maskBits.empty() && FMasked;
  bool keepsAlpha = FColorDepth == cd32Bit;
  for (int i = 0; i < n; ++i) {
    int x0 = (i % grid.Cols) * w, y0 = (i / grid.Cols) * h;
    if (keepsAlpha) {
      // A wholly transparent image (only an alpha image can be one) is appended blank: added
      // as pixels, all-zero alpha would count as opaque black.
      bool blank = true;
      for (int y = 0; y < h && blank; ++y) {
        const std::uint32_t* row = &img.Pixels[size_t(y0 + y) * grid.PixelWidth + x0];
        blank = std::all_of(row, row + w, [](std::uint32_t p) { return p == 0; });
      }
      if (blank) {
        ImageList_SetImageCount(FHandle, UINT(i + 1));
        continue;
      }
    }
    TImageCell cell;
    std::uint32_t* bits = nullptr;
    cell.Image = CreateDIB32(w, h, reinterpret_cast<void**>(&bits));
    if (masks) cell.Mask = graphics_detail::CreateMonoDib(w, h);
    if (!cell.Image || (masks && !cell.Mask)) fail(u"out of memory");
    int stride = cell.Image->Stride / 4;
    for (int y = 0; y < h; ++y) {
      PremultiplyRow(&img.Pixels[size_t(y0 + y) * grid.PixelWidth + x0], bits + size_t(y) * stride,
                     size_t(w));
      if (masks) {
        const Byte* m = &maskBits[size_t(y0 + y) * grid.MaskStride];
        Byte* out = BitmapRow(cell.Mask, y);
        for (int x = 0; x < w; ++x)
          if (GetBit(m, x0 + x)) SetBit(out, x);
      }
    }
    if (ImageList_Add(FHandle, cell.Image, cell.Mask) < 0) fail(u"cannot add an image");
  }
  Change();
}

}  // namespace vcl
