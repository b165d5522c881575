// Glow sheet: glowing captions and glyphs on a dark and a light panel, at 100 % and 200 %, as
// PNG files, to look at what the glow routines draw.
//
//   glowsheet OUTDIR    writes OUTDIR/glow-100.png and OUTDIR/glow-200.png
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "draw/kxDrawUtils.h"
#include "host/gdi/Codecs.h"
#include "host/gdi/GdiText.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/ImgList.h"
#include "host/graphics/PngImage.h"

using namespace vcl;
using namespace kx;

namespace {

constexpr int kPanelWidth = 360;
constexpr int kPanelHeight = 330;

struct TPanel {
  TColor Back, Text, Glow, Accent;
};

// A glyph without alpha: a white arrow on fuchsia, the fuchsia masked out.
void AddArrow(TImageList& list, int size) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(size, size);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, size, size));
  c->Brush()->SetColor(clWhite);
  c->Pen()->SetColor(clGray);
  const int m = size / 8, h = size / 2;
  const TPoint arrow[] = {{m, h - size / 8}, {h, h - size / 8}, {h, m}, {size - m, h},
                          {h, size - m},     {h, h + size / 8}, {m, h + size / 8}};
  c->Polygon(arrow);
  list.AddMasked(&b, clFuchsia);
}

// The sheet's artwork (a picture with alpha) resampled to `size` for a 32-bit list.
bool AddArtwork(TImageList& list, int size, const std::string& file) {
  TPngImage png;
  try {
    png.LoadFromFile(Utf8ToString(file));
  } catch (const Exception& e) {
    std::fprintf(stderr, "glowsheet: %s\n", e.what());
    return false;
  }
  TBitmap straight;
  straight.Assign(&png);
  straight.SetAlphaFormat(afPremultiplied);
  TBitmap scaled;
  scaled.SetPixelFormat(pf32bit);
  scaled.SetSize(size, size);
  ResampleBitmap(&straight, &scaled);
  list.Add(&scaled, nullptr);
  return true;
}

void DrawPanel(TCanvas* c, int left, int s, const TPanel& p, TImageList& arrows,
               TImageList& art, bool haveArt) {
  c->Brush()->SetColor(p.Back);
  c->FillRect(Rect(left, 0, left + kPanelWidth * s, kPanelHeight * s));
  c->Font()->SetName(u"Tahoma");
  c->Font()->SetPixelsPerInch(96 * s);
  c->Font()->SetSize(11);
  c->Font()->SetStyle({fsBold});
  c->Font()->SetColor(p.Text);
  const UINT f = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
  auto row = [&](int y) { return Rect(left + 16 * s, y * s, left + (kPanelWidth - 16) * s, (y + 30) * s); };

  DrawTextWithGlow(c, row(10), u"Intensive glow, size 7", f, 0, p.Glow, 7 * s, true, 255);
  DrawTextWithGlow(c, row(45), u"Soft glow, size 5", f, 0, p.Glow, 5 * s, false, 255);
  DrawTextWithGlow(c, row(80), u"Offset 3, accent colour", f, 3 * s, p.Accent, 4 * s, true, 220);
  c->Font()->SetStyle({});
  DrawTextWithGlow(c, row(115), u"Regular weight, half alpha", f, 0, p.Glow, 6 * s, true, 128);
  std::unique_ptr<TBitmap> cache;
  TRect narrow = Rect(left + 16 * s, 155 * s, left + 22 * s, 158 * s);
  for (int i = 0; i < 2; ++i)
    DrawTextWithGlowCached(cache, false, c, narrow, u"W", DT_SINGLELINE | DT_CENTER | DT_VCENTER,
                           0, p.Accent, 8 * s, true, 255);
  c->Font()->SetSize(9);
  DrawTextWithGlow(c, Rect(left + 50 * s, 150 * s, left + 340 * s, 165 * s),
                   u"<- cached, narrow rectangle widened", f, 0, p.Glow, 3 * s, false, 160);

  // Glyphs: with their glow, faded, and the artwork scaled.
  int x = left + 24 * s, y = 190 * s;
  DrawImageWithGlow(c, x, y, 255, 6 * s, p.Glow, 0, 0, &arrows);
  DrawImageWithGlow(c, x + 60 * s, y, 255, 6 * s, p.Accent, 2 * s, 0, &arrows);
  DrawImageWithAlpha(c, x + 120 * s, y, 80, 0, &arrows);
  if (haveArt) {
    DrawImageWithGlow(c, x + 170 * s, y - 8 * s, 255, 8 * s, p.Glow, 0, 0, &art);
    DrawImageWithAlpha(c, x + 240 * s, y - 8 * s, 90, 0, &art);
  }
  c->Font()->SetSize(9);
  c->Font()->SetColor(p.Text);
  DrawTextWithGlow(c, Rect(left + 16 * s, 285 * s, left + 344 * s, 315 * s),
                   u"glyph glow, offset, alpha 80, artwork glow, alpha 90",
                   DT_SINGLELINE | DT_VCENTER | DT_CENTER, 0, p.Glow, 2 * s, false, 200);
}

void Render(int s, const std::string& artFile, const std::string& path) {
  const int w = 2 * kPanelWidth * s, h = kPanelHeight * s;
  TBitmap sheet;
  sheet.SetPixelFormat(pf32bit);
  sheet.SetSize(w, h);
  TImageList arrows(32 * s, 32 * s);
  AddArrow(arrows, 32 * s);
  TImageList art(48 * s, 48 * s);
  art.SetColorDepth(cd32Bit);
  bool haveArt = AddArtwork(art, 48 * s, artFile);
  const TPanel dark{TColor(RGB(0x20, 0x24, 0x2A)), clWhite, TColor(RGB(0x00, 0x9C, 0xFF)),
                    TColor(RGB(0xFF, 0x8C, 0x1A))};
  const TPanel light{TColor(RGB(0xF4, 0xF4, 0xF4)), TColor(RGB(0x20, 0x20, 0x20)),
                     TColor(RGB(0x00, 0x78, 0xD7)), TColor(RGB(0xE0, 0x40, 0x10))};
  DrawPanel(sheet.Canvas(), 0, s, dark, arrows, art, haveArt);
  DrawPanel(sheet.Canvas(), kPanelWidth * s, s, light, arrows, art, haveArt);

  std::vector<std::uint32_t> rows(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    auto* src = static_cast<const std::uint32_t*>(sheet.ScanLine(y));
    for (int x = 0; x < w; ++x) rows[size_t(y) * w + x] = src[x] | 0xFF000000u;
  }
  std::vector<Byte> png = EncodePng(rows.data(), w, h, w);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: glowsheet OUTDIR\n");
    return 2;
  }
  std::filesystem::path out = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  try {
    for (int s : {1, 2}) {
      std::string file = (out / ("glow-" + std::to_string(s * 100) + ".png")).string();
      Render(s, KX_ARTWORK, file);
      std::printf("%s\n", file.c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "glowsheet: %s\n", e.what());
    return 1;
  }
  return 0;
}
