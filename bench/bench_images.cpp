// The image layer: rescaling a virtual image list of 20 glyphs (what a change of pixel density
// costs it), drawing its glyphs, and nine-slice drawing of an image collection item.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "host/gdi/Gdi.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/ImgList.h"
#include "host/graphics/PngImage.h"
#include "images/kxGPImages.h"

using namespace vcl;
using namespace kx;

namespace {

struct TTarget {
  HDC Dc;
  HBITMAP Bmp;
  TCanvas Canvas;
  TTarget(int w, int h) {
    Bmp = CreateDIB32(w, h, nullptr);
    Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bmp);
    Canvas.SetHandle(Dc);
  }
  ~TTarget() {
    Canvas.SetHandle(nullptr);
    DeleteDC(Dc);
    DeleteObject(Bmp);
  }
};

// A 32-bit w x h bitmap of straight-alpha pixels f(x, y).
template <class F>
void Fill(TBitmap& b, int w, int h, F&& f) {
  b.SetPixelFormat(pf32bit);
  b.SetSize(w, h);
  b.SetAlphaFormat(afDefined);
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<std::uint32_t*>(b.ScanLine(y));
    for (int x = 0; x < w; ++x) row[x] = f(x, y);
  }
}

// 96 x 96 pictures with soft edges and fine detail, `n` of them in a 32-bit list.
std::unique_ptr<TImageList> SourceList(int n) {
  auto list = std::make_unique<TImageList>(96, 96, nullptr);
  list->SetColorDepth(cd32Bit);
  for (int i = 0; i < n; ++i) {
    TBitmap b;
    Fill(b, 96, 96, [i](int x, int y) {
      int dx = x - 48, dy = y - 48;
      bool inside = dx * dx + dy * dy < 44 * 44;
      return inside ? (((x + i) & 1) ? 0xFF2040C0u : 0xFFE0A020u) : 0u;
    });
    list->Add(&b, nullptr);
  }
  return list;
}

// Every iteration switches between 100 % and 150 %, so every iteration rebuilds the 20 glyphs.
void BM_VirtualImageList_Rescale20(benchmark::State& state) {
  auto src = SourceList(20);
  TkxGPVirtualImageList l(nullptr);
  l.SetDirectDraw(state.range(0) != 0);
  l.SetDefaultWidth(24);
  l.SetDefaultHeight(24);
  l.SetSourceImageList(src.get());
  bool big = false;
  for (auto _ : state) {
    big = !big;
    l.SetScaleFactor(big ? 1.5 : 1.0);
  }
  state.SetLabel(state.range(0) ? "direct draw" : "stored entries");
}
BENCHMARK(BM_VirtualImageList_Rescale20)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// One 36-pixel glyph as a control paints it: rendered from the 96-pixel source (direct) or the
// stored entry, enabled or disabled.
void BM_VirtualImageList_DrawGlyph(benchmark::State& state) {
  auto src = SourceList(4);
  TkxGPVirtualImageList l(nullptr);
  l.SetDirectDraw(state.range(0) != 0);
  l.SetDefaultWidth(24);
  l.SetDefaultHeight(24);
  l.SetScaleFactor(1.5);
  l.SetSourceImageList(src.get());
  TTarget t(64, 64);
  bool enabled = state.range(1) != 0;
  for (auto _ : state) l.Draw(&t.Canvas, 4, 4, 2, enabled);
}
BENCHMARK(BM_VirtualImageList_DrawGlyph)->Args({1, 1})->Args({1, 0})->Args({0, 1})->Args({0, 0});

// A 30 x 30 frame sliced by margins of 10 into a 300 x 120 destination at scale 1 and 2;
// stretched (9 draws) or with tiled edges and centre.
void BM_ImageCollection_NineSlice(benchmark::State& state) {
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = c.Images()->Add();
  TBitmap frame;
  Fill(frame, 30, 30, [](int x, int y) {
    return (x < 10 || x >= 20 || y < 10 || y >= 20) ? 0xFF1E3A5Fu : 0xC0D0E0F0u;
  });
  item->SetBitmap(&frame);
  TkxGPBitmapOptions* o = item->Options();
  o->SetLeftMargin(10);
  o->SetTopMargin(10);
  o->SetRightMargin(10);
  o->SetBottomMargin(10);
  bool tiled = state.range(1) != 0;
  o->SetStretch(!tiled);
  o->SetStretchBorder(!tiled);
  double scale = double(state.range(0));
  TTarget t(int(310 * scale), int(130 * scale));
  TRect dest = TRect::FromSize(5, 5, int(300 * scale), int(120 * scale));
  for (auto _ : state) c.Draw(&t.Canvas, dest, 0, scale);
  state.SetLabel(tiled ? "tiled" : "stretched");
}
BENCHMARK(BM_ImageCollection_NineSlice)->Args({1, 0})->Args({2, 0})->Args({1, 1})->Args({2, 1});

}  // namespace
