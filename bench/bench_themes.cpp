// Style engine benchmarks: drawing a push-button face and a check box in every style, parsing
// each style, and the engine's share of a style switch (first use of a style: parse, resolve
// and draw a hundred elements).
#include <benchmark/benchmark.h>

#include "host/gdi/Gdi.h"
#include "host/rtl/Resources.h"
#include "host/themes/CustomStyle.h"
#include "host/themes/StyleManager.h"
#include "host/themes/format/ElementModel.h"
#include "host/themes/format/StyleFormat.h"

using namespace vcl;

namespace {

struct TCanvas {
  TCanvas() {
    bmp = CreateDIB32(400, 200, nullptr);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bmp);
  }
  ~TCanvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  HBITMAP bmp, old;
  HDC dc;
};

TCustomStyleServices* StyleAt(int i) {
  std::vector<String> names = TStyleManager::StyleNames();
  return TStyleManager::GetStyle(names[size_t(i) % names.size()]);
}

void StyleArgs(benchmark::internal::Benchmark* b) {
  int n = int(TStyleManager::StyleNames().size());
  for (int i = 0; i < n; ++i) b->Arg(i);
}

void DrawDetail(benchmark::State& state, TThemedElementDetails d, TRect r, int dpi) {
  TCustomStyleServices* s = StyleAt(int(state.range(0)));
  state.SetLabel(StringToUtf8(s->Name()));
  TCanvas c;
  s->DrawElement(c.dc, d, r, nullptr, dpi);  // parse and resolve outside the loop
  for (auto _ : state) s->DrawElement(c.dc, d, r, nullptr, dpi);
}

void BM_PushButtonFace(benchmark::State& state) {
  DrawDetail(state, GetElementDetails(tbPushButtonHot), Bounds(10, 10, 75, 25), 96);
}
BENCHMARK(BM_PushButtonFace)->Apply(StyleArgs);

void BM_PushButtonFace200(benchmark::State& state) {
  DrawDetail(state, GetElementDetails(tbPushButtonHot), Bounds(10, 10, 150, 50), 192);
}
BENCHMARK(BM_PushButtonFace200)->Apply(StyleArgs);

void BM_CheckBox(benchmark::State& state) {
  DrawDetail(state, GetElementDetails(tbCheckBoxCheckedNormal), Bounds(10, 10, 13, 13), 96);
}
BENCHMARK(BM_CheckBox)->Apply(StyleArgs);

void BM_CheckBox200(benchmark::State& state) {
  DrawDetail(state, GetElementDetails(tbCheckBoxCheckedNormal), Bounds(10, 10, 26, 26), 192);
}
BENCHMARK(BM_CheckBox200)->Apply(StyleArgs);

struct TPacked {
  String Name;
  ResourceData Data;
};
std::vector<TPacked> PackedStyles() {
  std::vector<TPacked> out;
  ResourceData d;
  if (FindResource(u"KXSYSSTYLE", u"Windows", d)) out.push_back({u"Windows", d});
  for (const String& n : ResourceNames(u"VCLSTYLE"))
    if (FindResource(u"VCLSTYLE", n, d)) out.push_back({n, d});
  return out;
}

void BM_ParseStyle(benchmark::State& state) {
  TPacked p = PackedStyles()[size_t(state.range(0))];
  state.SetLabel(StringToUtf8(p.Name));
  for (auto _ : state) {
    TStyleSource s = ParseStyleSource(UnpackStyle(p.Data.Data, p.Data.Size, p.Name), p.Name);
    benchmark::DoNotOptimize(s.Rules.data());
  }
}
BENCHMARK(BM_ParseStyle)->Apply(StyleArgs);

// First use of a style as a switch makes it: parse, then resolve and draw 100 elements.
void BM_FirstUseOfAStyle(benchmark::State& state) {
  TPacked p = PackedStyles()[size_t(state.range(0))];
  state.SetLabel(StringToUtf8(p.Name));
  TCanvas c;
  auto rows = ElementEntries();
  for (auto _ : state) {
    auto style = TCustomStyle::LoadDeferred(p.Data.Data, p.Data.Size, p.Name);
    for (int i = 0; i < 100; ++i)
      style->DrawElement(c.dc, DetailsOfEntry(int(i * rows.size() / 100)), Bounds(0, 0, 75, 25));
  }
}
BENCHMARK(BM_FirstUseOfAStyle)->Apply(StyleArgs)->Unit(benchmark::kMicrosecond);

}  // namespace
