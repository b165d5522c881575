// Text costs: a caption drawn the way buttons draw it, word-wrap measuring, text extents.
// "Cold" variants defeat the layout and run caches to show the cost of a first draw.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "host/gdi/GdiInternal.h"
#include "host/gdi/GdiText.h"

using namespace vcl;

namespace {

const char16_t* const kParagraph =
    u"The quick brown fox jumps over the lazy dog while the styled controls repaint their "
    u"captions. Word-wrapped labels measure their text with DT_CALCRECT before drawing it, "
    u"so measuring a paragraph must be cheap too; long paragraphs wrap at spaces and hyphens.";

struct Surface {
  explicit Surface(int dpi, int w = 400, int h = 200) {
    Bmp = CreateDIB32(w, h);
    Dc = CreateCompatibleDC(nullptr);
    SetDcDpi(Dc, dpi);
    SelectObject(Dc, Bmp);
    LOGFONTW lf;
    lf.lfHeight = -MulDiv(8, dpi, 72);
    const char16_t face[] = u"Tahoma";
    for (int i = 0; face[i]; ++i) lf.lfFaceName[i] = face[i];
    Font = CreateFontIndirectW(lf);
    SelectObject(Dc, Font);
    SetBkMode(Dc, TRANSPARENT);
  }
  ~Surface() {
    DeleteDC(Dc);
    DeleteObject(Font);
    DeleteObject(Bmp);
  }
  HBITMAP Bmp;
  HDC Dc;
  HFONT Font;
};

std::vector<String> Captions(int n) {
  std::vector<String> out;
  for (int i = 0; i < n; ++i) out.push_back(u"Button" + Utf8ToString(std::to_string(i)));
  return out;
}

void BM_DrawTextCaption(benchmark::State& state) {
  Surface s(int(state.range(0)));
  const String caption = u"Button1";
  for (auto _ : state) {
    TRect r{10, 10, 10 + 75 * int(state.range(0)) / 96, 10 + 25 * int(state.range(0)) / 96};
    benchmark::DoNotOptimize(DrawTextW(s.Dc, caption, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  }
}
BENCHMARK(BM_DrawTextCaption)->Arg(96)->Arg(192);

void BM_DrawTextCaptionCold(benchmark::State& state) {
  Surface s(96);
  const std::vector<String> captions = Captions(2048);  // more than the caches hold
  size_t i = 0;
  for (auto _ : state) {
    TRect r{10, 10, 85, 35};
    benchmark::DoNotOptimize(
        DrawTextW(s.Dc, captions[i++ % captions.size()], &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  }
}
BENCHMARK(BM_DrawTextCaptionCold);

void BM_CalcRectWordWrap(benchmark::State& state) {
  Surface s(96);
  const String text = kParagraph;
  for (auto _ : state) {
    TRect r{0, 0, 200, 0};
    benchmark::DoNotOptimize(DrawTextW(s.Dc, text, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX));
  }
}
BENCHMARK(BM_CalcRectWordWrap);

void BM_CalcRectWordWrapCold(benchmark::State& state) {
  Surface s(96);
  const String text = kParagraph;
  int width = 150;
  for (auto _ : state) {
    TRect r{0, 0, width, 0};
    width = width == 450 ? 150 : width + 1;  // 300 widths: more than the layout cache holds
    benchmark::DoNotOptimize(DrawTextW(s.Dc, text, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX));
  }
}
BENCHMARK(BM_CalcRectWordWrapCold);

void BM_DrawTextParagraph(benchmark::State& state) {
  Surface s(96);
  const String text = kParagraph;
  for (auto _ : state) {
    TRect r{0, 0, 200, 200};
    benchmark::DoNotOptimize(DrawTextW(s.Dc, text, &r, DT_WORDBREAK | DT_NOPREFIX));
  }
}
BENCHMARK(BM_DrawTextParagraph);

void BM_GetTextExtentPoint32W(benchmark::State& state) {
  Surface s(96);
  const String text = u"Button1";
  TSize size;
  for (auto _ : state) {
    GetTextExtentPoint32W(s.Dc, text.data(), int(text.size()), &size);
    benchmark::DoNotOptimize(size);
  }
}
BENCHMARK(BM_GetTextExtentPoint32W);

void BM_GetTextExtentPoint32WShaped(benchmark::State& state) {
  Surface s(96);
  const String text = u"\u041a\u043d\u043e\u043f\u043a\u04301";  // Cyrillic: shaped, cached run
  TSize size;
  for (auto _ : state) {
    GetTextExtentPoint32W(s.Dc, text.data(), int(text.size()), &size);
    benchmark::DoNotOptimize(size);
  }
}
BENCHMARK(BM_GetTextExtentPoint32WShaped);

void BM_TextOutW(benchmark::State& state) {
  Surface s(96);
  const String text = u"Button1";
  for (auto _ : state) benchmark::DoNotOptimize(TextOutW(s.Dc, 10, 10, text.data(), int(text.size())));
}
BENCHMARK(BM_TextOutW);

}  // namespace
