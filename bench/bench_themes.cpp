// Style engine benchmarks: drawing a push-button face and a check box in every style, parsing
// each style, the engine's share of a style switch (first use of a style: parse, resolve and
// draw a hundred elements), and the painting of the engine's hooks: a window frame with its
// caption, and a popup-menu item; switching the application's style with a hundred controls
// alive (hooks attached or removed, every control told, frames recalculated, all repainted).
#include <benchmark/benchmark.h>

#include "host/gdi/Gdi.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/rtl/Resources.h"
#include "host/themes/CustomStyle.h"
#include "host/themes/StyleElementCache.h"
#include "host/themes/StyleFonts.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "host/vcl/StdCtrls.h"
#include "host/themes/StyledFrame.h"
#include "host/themes/StyledMenu.h"
#include "host/themes/format/ElementModel.h"
#include "host/themes/format/StyleFormat.h"

using namespace vcl;

namespace {

struct TBenchCanvas {
  TBenchCanvas() {
    bmp = CreateDIB32(400, 200, nullptr);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bmp);
  }
  ~TBenchCanvas() {
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
  TBenchCanvas c;
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

// The first paint of an element at a size: the recipe rendered, then blitted (the element
// cache emptied before every paint).
void DrawDetailCold(benchmark::State& state, TThemedElementDetails d, TRect r, int dpi) {
  TCustomStyleServices* s = StyleAt(int(state.range(0)));
  state.SetLabel(StringToUtf8(s->Name()));
  TBenchCanvas c;
  s->DrawElement(c.dc, d, r, nullptr, dpi);
  for (auto _ : state) {
    TStyleElementCache::Instance().Clear();
    s->DrawElement(c.dc, d, r, nullptr, dpi);
  }
}

void BM_PushButtonFaceCold(benchmark::State& state) {
  DrawDetailCold(state, GetElementDetails(tbPushButtonHot), Bounds(10, 10, 75, 25), 96);
}
BENCHMARK(BM_PushButtonFaceCold)->Apply(StyleArgs);

void BM_PushButtonFaceCold200(benchmark::State& state) {
  DrawDetailCold(state, GetElementDetails(tbPushButtonHot), Bounds(10, 10, 150, 50), 192);
}
BENCHMARK(BM_PushButtonFaceCold200)->Apply(StyleArgs);

void BM_CheckBoxCold200(benchmark::State& state) {
  DrawDetailCold(state, GetElementDetails(tbCheckBoxCheckedNormal), Bounds(10, 10, 26, 26), 192);
}
BENCHMARK(BM_CheckBoxCold200)->Apply(StyleArgs);

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
  TBenchCanvas c;
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
  TBenchCanvas c;
  auto rows = ElementEntries();
  for (auto _ : state) {
    auto style = TCustomStyle::LoadDeferred(p.Data.Data, p.Data.Size, p.Name);
    for (int i = 0; i < 100; ++i)
      style->DrawElement(c.dc, DetailsOfEntry(int(i * rows.size() / 100)), Bounds(0, 0, 75, 25),
                         nullptr, 96);
  }
}
BENCHMARK(BM_FirstUseOfAStyle)->Apply(StyleArgs)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// A shown 800 x 600 form holding 100 controls: 40 panels, 40 buttons and 20 scroll boxes (the
// form and the boxes have the engine's hooks), 10 of the boxes with a style name of their own.
struct TSwitchScene {
  TForm* Form = nullptr;
  TSwitchScene() {
    if (!platform::HasCurrentBackend()) platform::SetCurrentBackend(std::make_unique<platform::HeadlessBackend>());
    RegisterStdControlClasses();
    Application->Initialize();
    Form = new TForm(nullptr);
    Form->SetPosition(poDesigned);
    Form->SetBounds(50, 50, 800, 600);
    for (int i = 0; i < 100; ++i) {
      TControl* c;
      if (i % 5 < 2) c = new TPanel(Form);
      else if (i % 5 < 4) c = new TButton(Form);
      else {
        auto* box = new TScrollBox(Form);
        if (i % 10 == 9) box->SetStyleName(u"Windows10 Dark");
        c = box;
      }
      c->SetBounds(10 + (i % 10) * 78, 10 + (i / 10) * 56, 70, 48);
      c->SetParent(Form);
    }
    Form->Show();
    Application->ProcessMessages();
  }
  ~TSwitchScene() {
    TStyleManager::SetStyle(u"Windows");
    delete Form;
    Application->ProcessMessages();
  }
};

// One switch between two styles and the repaint it causes; range 0: between two custom styles
// (hooks kept), range 1: between a custom style and the system style (hooks made and removed).
void BM_StyleSwitchWith100Controls(benchmark::State& state) {
  TSwitchScene scene;
  const char16_t* styles[2][2] = {{u"Glow", u"Sky"}, {u"Glow", u"Windows"}};
  auto& pair = styles[state.range(0)];
  state.SetLabel(state.range(0) ? "custom <-> system" : "custom <-> custom");
  // Both styles parsed and drawn once before measuring.
  for (const char16_t* s : pair) {
    TStyleManager::SetStyle(s);
    Application->ProcessMessages();
  }
  int i = 0;
  for (auto _ : state) {
    TStyleManager::SetStyle(pair[i++ & 1]);
    Application->ProcessMessages();
  }
}
BENCHMARK(BM_StyleSwitchWith100Controls)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

}  // namespace
