// Drawing-core benchmarks: the stack blur on 256 x 64 at several radii (the time per pixel must
// not grow with the radius), colourising a mask, and a glowing caption drawn with its halo
// built every time versus kept in a cache.
#include <benchmark/benchmark.h>

#include <memory>

#include "draw/kxDrawUtils.h"
#include "host/gdi/GdiText.h"
#include "host/graphics/Canvas.h"

using namespace vcl;
using namespace kx;

namespace {

void Noise(TBitmap& b, int w, int h) {
  b.SetPixelFormat(pf32bit);
  b.SetSize(w, h);
  std::uint32_t seed = 12345;
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<std::uint32_t*>(b.ScanLine(y));
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      row[x] = seed;
    }
  }
}

void BM_BlurBitmap(benchmark::State& state) {
  const int r = int(state.range(0));
  TBitmap b;
  Noise(b, 256, 64);
  for (auto _ : state) {
    BlurBitmap(&b, r);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 256 * 64);  // items/s: pixels per second
}
BENCHMARK(BM_BlurBitmap)->Arg(3)->Arg(7)->Arg(20)->Arg(255);

void BM_ColorizeGlowMask(benchmark::State& state) {
  TBitmap b;
  Noise(b, 256, 64);
  for (auto _ : state) {
    ColorizeGlowMask(&b, 7, clHighlight);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 256 * 64);
}
BENCHMARK(BM_ColorizeGlowMask);

// A 120 x 30 caption glowing with the default options, at 100 % or 200 %.
struct TCaption {
  TBitmap Target;
  TRect R;
  int Scale;
  explicit TCaption(int scale) : Scale(scale) {
    Target.SetPixelFormat(pf32bit);
    Target.SetSize(160 * scale, 50 * scale);
    TCanvas* c = Target.Canvas();
    c->Font()->SetName(u"Tahoma");
    c->Font()->SetPixelsPerInch(96 * scale);
    c->Font()->SetSize(9);
    R = Rect(20 * scale, 10 * scale, 140 * scale, 40 * scale);
  }
};

constexpr UINT kFormat = DT_SINGLELINE | DT_CENTER | DT_VCENTER;

void BM_TextGlowUncached(benchmark::State& state) {
  TCaption cap(int(state.range(0)));
  for (auto _ : state)
    DrawTextWithGlow(cap.Target.Canvas(), cap.R, u"Glowing button", kFormat, 0, clHighlight,
                     7 * cap.Scale, true, 255);
}
BENCHMARK(BM_TextGlowUncached)->Arg(1)->Arg(2);

void BM_TextGlowCached(benchmark::State& state) {
  TCaption cap(int(state.range(0)));
  std::unique_ptr<TBitmap> cache;
  for (auto _ : state)
    DrawTextWithGlowCached(cache, false, cap.Target.Canvas(), cap.R, u"Glowing button", kFormat,
                           0, clHighlight, 7 * cap.Scale, true, 255);
}
BENCHMARK(BM_TextGlowCached)->Arg(1)->Arg(2);

}  // namespace
