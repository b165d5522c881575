// GDI+ subset: scaled image drawing and icon-font glyphs, as the image collection, the virtual
// image list and the icon font use them (a graphics object per draw, like the library).
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "host/gdi/GdiInternal.h"
#include "host/gdi/GdiPlus.h"

using namespace vcl;

namespace {

struct Target {
  HDC Dc;
  HBITMAP Bmp;
  explicit Target(int w, int h) {
    void* bits = nullptr;
    Bmp = CreateDIB32(w, h, &bits);
    Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bmp);
  }
  ~Target() {
    DeleteDC(Dc);
    DeleteObject(Bmp);
  }
};

// A 96 x 96 picture with soft edges and fine detail.
std::unique_ptr<TGPBitmap> Picture() {
  auto b = std::make_unique<TGPBitmap>(96, 96, PixelFormat32bppARGB);
  TGPGraphics g(b.get());
  g.SetSmoothingMode(SmoothingModeAntiAlias);
  TGPSolidBrush red(0xFFD03030u);
  g.FillEllipse(&red, 8.0f, 8.0f, 80.0f, 80.0f);
  TGPPen pen(0xC0000000u, 2);
  for (int i = 0; i < 96; i += 6) g.DrawLine(&pen, 0, i, 96, 96 - i);
  return b;
}

// cold: the picture changes before every draw, so no resampled result can be reused.
void DrawScaled(benchmark::State& state, int size, InterpolationMode mode, PixelOffsetMode pom, bool cold = false) {
  auto pic = Picture();
  Target t(256, 256);
  ARGB px = 0;
  for (auto _ : state) {
    if (cold) pic->SetPixel(0, 0, ++px | 0xFF000000u);
    TGPGraphics g(t.Dc);
    g.SetSmoothingMode(SmoothingModeHighQuality);
    g.SetInterpolationMode(mode);
    g.SetPixelOffsetMode(pom);
    g.DrawImage(pic.get(), TGPRect{4, 4, size, size});
  }
}

void BM_GdiPlus_DrawImage96To24_HighQualityBicubic(benchmark::State& state) {
  DrawScaled(state, 24, InterpolationModeHighQualityBicubic, PixelOffsetModeHighQuality);
}
BENCHMARK(BM_GdiPlus_DrawImage96To24_HighQualityBicubic);

void BM_GdiPlus_DrawImage96To24_HighQualityBicubic_Cold(benchmark::State& state) {
  DrawScaled(state, 24, InterpolationModeHighQualityBicubic, PixelOffsetModeHighQuality, true);
}
BENCHMARK(BM_GdiPlus_DrawImage96To24_HighQualityBicubic_Cold);

void BM_GdiPlus_DrawImage96To192_Bilinear_Cold(benchmark::State& state) {
  DrawScaled(state, 192, InterpolationModeBilinear, PixelOffsetModeDefault, true);
}
BENCHMARK(BM_GdiPlus_DrawImage96To192_Bilinear_Cold);

void BM_GdiPlus_DrawImage96To192_Bilinear(benchmark::State& state) {
  DrawScaled(state, 192, InterpolationModeBilinear, PixelOffsetModeDefault);
}
BENCHMARK(BM_GdiPlus_DrawImage96To192_Bilinear);

void BM_GdiPlus_DrawImage96To192_HighQualityBicubic(benchmark::State& state) {
  DrawScaled(state, 192, InterpolationModeHighQualityBicubic, PixelOffsetModeHighQuality);
}
BENCHMARK(BM_GdiPlus_DrawImage96To192_HighQualityBicubic);

void BM_GdiPlus_DrawImage96Unscaled(benchmark::State& state) {
  DrawScaled(state, 96, InterpolationModeHighQualityBicubic, PixelOffsetModeHighQuality);
}
BENCHMARK(BM_GdiPlus_DrawImage96Unscaled);

// The virtual image list over a 32-bit image list: the rows are wrapped anew for every draw.
void BM_GdiPlus_DrawWrappedRows96To24(benchmark::State& state) {
  auto pic = Picture();
  BitmapData d;
  pic->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &d);
  std::vector<std::uint32_t> rows(static_cast<std::uint32_t*>(d.Scan0),
                                  static_cast<std::uint32_t*>(d.Scan0) + 96 * 96);
  pic->UnlockBits(&d);
  Target t(64, 64);
  for (auto _ : state) {
    TGPBitmap wrapped(96, 96, -96 * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(rows.data() + 95 * 96));
    TGPGraphics g(t.Dc);
    g.SetSmoothingMode(SmoothingModeHighQuality);
    g.SetInterpolationMode(InterpolationModeHighQuality);
    g.DrawImage(&wrapped, TGPRect{4, 4, 24, 24});
  }
}
BENCHMARK(BM_GdiPlus_DrawWrappedRows96To24);

TGPPrivateFontCollection* IconFonts() {
  static TGPPrivateFontCollection* c = [] {
    auto* fonts = new TGPPrivateFontCollection;
    std::ifstream f("/usr/share/fonts/truetype/font-awesome/fontawesome-webfont.ttf", std::ios::binary);
    std::vector<char> data{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    fonts->AddMemoryFont(data.data(), int(data.size()));
    return fonts;
  }();
  return c;
}

// One icon glyph at 16 px the way the icon font draws it: graphics, family, font, brush and
// format made for the call.
void BM_GdiPlus_DrawIconGlyph16(benchmark::State& state) {
  TGPPrivateFontCollection* fonts = IconFonts();
  Target t(64, 64);
  const Char glyph[] = {Char(0xF015), 0};
  for (auto _ : state) {
    TGPGraphics g(t.Dc);
    g.SetSmoothingMode(SmoothingModeHighQuality);
    g.SetPixelOffsetMode(PixelOffsetModeHalf);
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    TGPFontFamily family(u"FontAwesome", fonts);
    TGPFont font(&family, 16, FontStyleRegular, UnitPixel);
    TGPSolidBrush brush(0xFF202020u);
    TGPStringFormat format(StringFormatFlagsNoClip);
    format.SetAlignment(StringAlignmentCenter);
    g.DrawString(glyph, 1, &font, TGPRectF{4, 4, 20, 16}, &format, &brush);
  }
}
BENCHMARK(BM_GdiPlus_DrawIconGlyph16);

// A caption in a system family (Pango layout).
void BM_GdiPlus_DrawStringTahoma(benchmark::State& state) {
  Target t(200, 40);
  TGPFont font(u"Tahoma", 11, FontStyleRegular, UnitPixel);
  TGPSolidBrush brush(0xFF000000u);
  TGPGraphics g(t.Dc);
  for (auto _ : state) g.DrawString(u"Advanced pager caption", -1, &font, TGPRectF{0, 0, 200, 20}, nullptr, &brush);
}
BENCHMARK(BM_GdiPlus_DrawStringTahoma);

// The same with a new text every time (no cached layout).
void BM_GdiPlus_DrawStringTahoma_Cold(benchmark::State& state) {
  Target t(200, 40);
  TGPFont font(u"Tahoma", 11, FontStyleRegular, UnitPixel);
  TGPSolidBrush brush(0xFF000000u);
  TGPGraphics g(t.Dc);
  String text = u"Advanced pager caption 0000";
  int n = 0;
  for (auto _ : state) {
    int v = ++n;
    for (size_t i = text.size(); i-- > text.size() - 4; v /= 10) text[i] = Char(u'0' + v % 10);
    g.DrawString(text, &font, TGPRectF{0, 0, 200, 20}, nullptr, &brush);
  }
}
BENCHMARK(BM_GdiPlus_DrawStringTahoma_Cold);

}  // namespace
