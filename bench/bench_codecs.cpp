// Codec and image-list speed: PNG decoding of a toolbar-sized RGBA image, BMP decoding of a
// large 32-bit image, and drawing a 16x16 alpha image from an image list.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "host/gdi/Codecs.h"
#include "host/gdi/Gdi.h"
#include "host/gdi/ImageList.h"

using namespace vcl;

namespace {

// A smooth RGBA image with varied alpha, so the PNG filters and deflate see realistic data.
std::vector<std::uint32_t> TestPixels(int w, int h) {
  std::vector<std::uint32_t> px(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t a = std::uint32_t(255 - (x + y) * 255 / (w + h));
      std::uint32_t r = std::uint32_t(x * 255 / w), g = std::uint32_t(y * 255 / h);
      std::uint32_t b = std::uint32_t((x * y) & 0xFF);
      px[size_t(y) * w + x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  return px;
}

void BM_DecodePng96Rgba(benchmark::State& state) {
  std::vector<std::uint32_t> px = TestPixels(96, 96);
  std::vector<Byte> png = EncodePng(px.data(), 96, 96, 96);
  for (auto _ : state) {
    TDecodedImage img = DecodePng(png.data(), png.size());
    benchmark::DoNotOptimize(img.Pixels.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * 96 * 96 * 4);
}
BENCHMARK(BM_DecodePng96Rgba);

void BM_DecodeBmp782x450x32(benchmark::State& state) {
  std::vector<std::uint32_t> px = TestPixels(782, 450);
  std::vector<Byte> bmp = EncodeBmp(px.data(), 782, 450, 782, 32);
  for (auto _ : state) {
    TDecodedImage img = DecodeBmp(bmp.data(), bmp.size());
    benchmark::DoNotOptimize(img.Pixels.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * 782 * 450 * 4);
}
BENCHMARK(BM_DecodeBmp782x450x32);

void BM_ImageListDrawAlpha16(benchmark::State& state) {
  std::vector<std::uint32_t> px = TestPixels(16, 16);
  TDecodedImage img;
  img.Width = img.Height = 16;
  img.Pixels = px;
  HBITMAP bmp = CreateDibFromImage(img, true);
  HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
  ImageList_Add(il, bmp, nullptr);
  HBITMAP target = CreateDIB32(64, 64);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, target);
  for (auto _ : state) ImageList_Draw(il, 0, dc, 8, 8, ILD_TRANSPARENT);
  DeleteDC(dc);
  DeleteObject(target);
  ImageList_Destroy(il);
  DeleteObject(bmp);
}
BENCHMARK(BM_ImageListDrawAlpha16);

}  // namespace
