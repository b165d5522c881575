// Presenting back buffers and starting the SDL backend. SDL runs on its dummy driver unless
// SDL_VIDEODRIVER says otherwise (e.g. SDL_VIDEODRIVER=x11 under xvfb-run for real X costs).
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdlib>

#include "host/platform/headless/HeadlessBackend.h"
#include "host/platform/sdl/SdlBackend.h"

namespace {

using namespace vcl::platform;

SurfaceId PaintedSurface(Backend& b, int w, int h) {
  SurfaceParams p;
  p.Bounds = Rect::FromSize(20, 20, w, h);
  SurfaceId s = b.CreateSurface(p);
  cairo_t* cr = cairo_create(b.BackBuffer(s));
  cairo_set_source_rgb(cr, 0.2, 0.4, 0.6);
  cairo_paint(cr);
  cairo_destroy(cr);
  return s;
}

std::unique_ptr<SdlBackend> Sdl(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  try {
    return std::make_unique<SdlBackend>();
  } catch (const EPlatformError& e) {
    state.SkipWithError(e.what());
    return nullptr;
  }
}

// range(0): 0 = the whole 1280x800 surface, 1 = one 120x24 area (a button's repaint).
void Present(benchmark::State& state, Backend& b, SurfaceId s) {
  Rect area = state.range(0) == 0 ? Rect{0, 0, 1280, 800} : Rect::FromSize(300, 200, 120, 24);
  for (auto _ : state) b.Present(s, std::span<const Rect>(&area, 1));
  state.SetBytesProcessed(state.iterations() * std::int64_t(area.Width()) * area.Height() * 4);
}

void BM_HeadlessPresent(benchmark::State& state) {
  HeadlessBackend b;
  SurfaceId s = PaintedSurface(b, 1280, 800);
  b.Show(s);
  Present(state, b, s);
}
BENCHMARK(BM_HeadlessPresent)->Arg(0)->Arg(1);

void BM_SdlPresent(benchmark::State& state) {
  auto b = Sdl(state);
  if (!b) return;
  SurfaceId s = PaintedSurface(*b, 1280, 800);
  b->Show(s);
  Present(state, *b, s);
}
BENCHMARK(BM_SdlPresent)->Arg(0)->Arg(1);

// Backend start, an 800x600 window painted, presented and shown, then torn down.
void BM_SdlFirstWindow(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  for (auto _ : state) {
    auto b = Sdl(state);
    if (!b) return;
    SurfaceId s = PaintedSurface(*b, 800, 600);
    b->Present(s);
    b->Show(s);
    Event e;
    while (b->PollEvent(e)) {
    }
  }
}
BENCHMARK(BM_SdlFirstWindow)->Unit(benchmark::kMillisecond);

}  // namespace
