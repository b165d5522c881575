// Style engine benchmarks: drawing a push-button face and a check box in every style, parsing
// each style, the engine's share of a style switch (first use of a style: parse, resolve and
// draw a hundred elements), and the painting of the engine's hooks: a window frame with its
// caption, and a popup-menu item.
#include <benchmark/benchmark.h>

#include "host/gdi/Gdi.h"
#include "host/rtl/Resources.h"
#include "host/themes/CustomStyle.h"
#include "host/themes/StyleFonts.h"
#include "host/themes/StyleManager.h"
#include "host/themes/StyledFrame.h"
#include "host/themes/StyledMenu.h"
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

// The seven styles the program carries ("Windows" and the six custom ones). Benchmarks are
// registered during static initialisation, before the embedded resources may be: the registry
// is asked only when a benchmark runs.
constexpr int CarriedStyles = 7;
void StyleArgs(benchmark::internal::Benchmark* b) { b->DenseRange(0, CarriedStyles - 1); }

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

// A whole frame (caption, text, icon, three buttons, borders) of an 800 x 600 window, as a frame
// hook paints it on WM_NCPAINT.
void BM_StyledFrame(benchmark::State& state) {
  TCustomStyleServices* s = StyleAt(int(state.range(0)));
  state.SetLabel(StringToUtf8(s->Name()));
  HBITMAP bmp = CreateDIB32(800, 600, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP old = SelectObject(dc, bmp);
  TStyledFrameInfo f;
  f.Size = {800, 600};
  f.Caption = u"Kexora VCL - HighDPI - Per-Control Styling - Demo";
  f.States[scbClose] = sbsHot;
  DrawStyledFrame(dc, s, f);
  for (auto _ : state) DrawStyledFrame(dc, s, f);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bmp);
}
BENCHMARK(BM_StyledFrame)->Apply(StyleArgs)->Unit(benchmark::kMicrosecond);

// One hot, checked popup-menu item with a shortcut and a sub-menu arrow.
void BM_StyledMenuItem(benchmark::State& state) {
  TCustomStyleServices* s = StyleAt(int(state.range(0)));
  state.SetLabel(StringToUtf8(s->Name()));
  TCanvas c;
  TStyledMenuItem item;
  item.Text = u"&Save as...";
  item.ShortCut = u"Ctrl+Shift+S";
  item.Hot = item.Checked = item.HasSubMenu = true;
  item.Rect = Bounds(2, 2, 220, 22);
  HFONT font = StyleFontHandle(s, sfkMenu, 96);
  DrawStyledMenuItem(c.dc, s, item, 96, font);
  for (auto _ : state) DrawStyledMenuItem(c.dc, s, item, 96, font);
}
BENCHMARK(BM_StyledMenuItem)->Apply(StyleArgs)->Unit(benchmark::kMicrosecond);

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
  std::vector<TPacked> all = PackedStyles();
  TPacked p = all[size_t(state.range(0)) % all.size()];
  state.SetLabel(StringToUtf8(p.Name));
  for (auto _ : state) {
    TStyleSource s = ParseStyleSource(UnpackStyle(p.Data.Data, p.Data.Size, p.Name), p.Name);
    benchmark::DoNotOptimize(s.Rules.data());
  }
}
BENCHMARK(BM_ParseStyle)->Apply(StyleArgs);

// First use of a style as a switch makes it: parse, then resolve and draw 100 elements.
void BM_FirstUseOfAStyle(benchmark::State& state) {
  std::vector<TPacked> all = PackedStyles();
  TPacked p = all[size_t(state.range(0)) % all.size()];
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
