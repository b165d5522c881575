// The demo's drawing-core sheet, rendered headlessly: every section must reach the pixels at
// each density (text, decoded artwork, blended orbs, icon glyphs), with nothing thrown.
#include <gtest/gtest.h>

#include <cstdint>

#include "app/TestSheet.h"
#include "host/gdi/GdiText.h"

using namespace vcl;

namespace {

struct Rendered {
  int Width, Height, Dpi;
  std::uint32_t* Bits = nullptr;
  HBITMAP Bmp;
  HDC Dc;
  explicit Rendered(int dpi) : Dpi(dpi) {
    Width = MulDiv(app::kSheetWidth, dpi, 96);
    Height = MulDiv(app::kSheetHeight, dpi, 96);
    void* bits = nullptr;
    Bmp = CreateDIB32(Width, Height, &bits);
    Bits = static_cast<std::uint32_t*>(bits);
    Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bmp);
    SetDcDpi(Dc, dpi);
    app::PaintTestSheet(Dc, dpi);
    GdiFlush();
  }
  ~Rendered() {
    DeleteDC(Dc);
    DeleteObject(Bmp);
  }
  std::uint32_t At(int x96, int y96) const {
    return Bits[size_t(MulDiv(y96, Dpi, 96)) * Width + MulDiv(x96, Dpi, 96)];
  }
  // Pixels in a 96-DPI rectangle that differ from `background`.
  int Ink(int l, int t, int r, int b, std::uint32_t background) const {
    int n = 0;
    for (int y = MulDiv(t, Dpi, 96); y < MulDiv(b, Dpi, 96); ++y)
      for (int x = MulDiv(l, Dpi, 96); x < MulDiv(r, Dpi, 96); ++x)
        n += Bits[size_t(y) * Width + x] != background;
    return n;
  }
};

int Blue(std::uint32_t p) { return p & 0xFF; }
int Red(std::uint32_t p) { return (p >> 16) & 0xFF; }

}  // namespace

TEST(DemoSheet, EverySectionReachesThePixelsAtEachDensity) {
  for (int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    Rendered r(dpi);
    // Opaque everywhere: the sheet is shown as a window's contents.
    for (int i = 0; i < r.Width * r.Height; i += 97) ASSERT_EQ(r.Bits[i] >> 24, 0xFFu);
    // Title band with its white caption.
    EXPECT_EQ(r.At(2, 2), 0xFF1F2A3Au);
    EXPECT_GT(r.Ink(16, 4, 200, 30, 0xFF1F2A3A), 50);
    // The first orb is opaque blue at its centre; the third (alpha 80) lets the board through.
    std::uint32_t orb1 = r.At(236 + 8 + 28, 218 + 2 + 28), orb3 = r.At(236 + 152 + 28, 218 + 2 + 28);
    EXPECT_GT(Blue(orb1), 200);
    EXPECT_GT(Blue(orb1), Red(orb1) + 60);
    EXPECT_GT(Red(orb3), Red(orb1) + 40);
    // Decoded artwork: blue rim, white letter, transparent corner showing the board.
    EXPECT_GT(Blue(r.At(16 + 6 + 10, 314 + 7 + 48)), 100);
    EXPECT_EQ(r.At(16 + 1, 314 + 1), 0xFFCCCCCCu);  // first board cell
    // Text rows and the icon glyphs put ink on their backgrounds.
    EXPECT_GT(r.Ink(496, 66, 716, 84, 0xFFEEF3F8), 40);
    EXPECT_GT(r.Ink(496, 314, 900, 370, 0xFFF7F9FC), 400);
  }
}
