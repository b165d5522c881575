// One-colour glyphs: their geometry at 100, 125, 150 and 200 %, the snapping of the scale,
// and which drop-down arrow each system and style gets.
#include "PaintTest.h"
#include "TestControls.h"
#include "draw/kxStyledPaintGlyphs.h"

using namespace vcl;
using namespace kx;
using namespace painttest;

namespace {

constexpr std::uint32_t kInk = 0xFFFFFFFFu, kPaper = 0xFF000000u;
const TRect kBox(0, 0, 40, 40);  // centre (20, 20)

template <class F>
TRect GlyphExtent(F&& draw) {
  TTarget t(40, 40, kPaper);
  draw(t.Canvas());
  return PaintedExtent(t, kPaper);
}

template <class F>
int GlyphPixels(F&& draw) {
  TTarget t(40, 40, kPaper);
  draw(t.Canvas());
  return Painted(t, kPaper);
}

}  // namespace

class StyledGlyphs : public PaintTest {};

TEST_F(StyledGlyphs, ScaleSnapping) {
  EXPECT_EQ(GlyphScale(0.5, true), 1.0);
  EXPECT_EQ(GlyphScale(0.5, false), 1.0);
  EXPECT_EQ(GlyphScale(1.25, true), 1.25);
  EXPECT_EQ(GlyphScale(1.5, true), 2.0);
  EXPECT_EQ(GlyphScale(1.75, true), 2.0);
  EXPECT_EQ(GlyphScale(1.99, true), 2.0);
  EXPECT_EQ(GlyphScale(2.0, true), 2.0);
  EXPECT_EQ(GlyphScale(1.5, false), 1.5);
}

TEST_F(StyledGlyphs, FilledArrowsAt100To200Percent) {
  auto down = [](double s) {
    return GlyphExtent([s](TCanvas* c) { DrawArrowGlyph(c, kBox, clWhite, s, kxadDown); });
  };
  EXPECT_EQ(down(1), TRect(17, 19, 24, 23));     // 4 lines, tip 2 below the centre
  EXPECT_EQ(down(0.8), TRect(17, 19, 24, 23));
  EXPECT_EQ(down(1.25), TRect(16, 18, 25, 23));  // 5 lines, tip 2 below
  EXPECT_EQ(down(1.5), TRect(15, 19, 26, 25));   // snapped to 2: 6 lines, tip 4 below
  EXPECT_EQ(down(2), TRect(15, 19, 26, 25));
  // A filled triangle: 1 + 3 + 5 + 7 pixels at 100 %.
  EXPECT_EQ(GlyphPixels([](TCanvas* c) { DrawArrowGlyph(c, kBox, clWhite, 1, kxadDown); }), 16);
  // The other directions turn the same triangle.
  EXPECT_EQ(GlyphExtent([](TCanvas* c) { DrawArrowGlyph(c, kBox, clWhite, 1, kxadUp); }),
            TRect(17, 18, 24, 22));
  EXPECT_EQ(GlyphExtent([](TCanvas* c) { DrawArrowGlyph(c, kBox, clWhite, 1, kxadLeft); }),
            TRect(18, 17, 22, 24));
  EXPECT_EQ(GlyphExtent([](TCanvas* c) { DrawArrowGlyph(c, kBox, clWhite, 1, kxadRight); }),
            TRect(19, 17, 23, 24));
  // The tip is one pixel: at 100 % the row below the widest one is 5 pixels narrower.
  TTarget t(40, 40, kPaper);
  DrawArrowGlyph(t.Canvas(), kBox, clWhite, 1, kxadDown);
  EXPECT_EQ(t.At(20, 22), kInk);
  EXPECT_EQ(t.At(19, 22), kPaper);
  EXPECT_EQ(t.At(17, 19), kInk);
}

TEST_F(StyledGlyphs, ChevronsAt100To200Percent) {
  auto right = [](double s) {
    return GlyphExtent([s](TCanvas* c) { DrawChevronGlyph(c, kBox, clWhite, s, kxadRight); });
  };
  EXPECT_EQ(right(1), TRect(17, 17, 22, 24));    // strokes of 4, 2 passes, tip at x 21
  EXPECT_EQ(right(1.25), TRect(16, 16, 22, 25));  // strokes of 5, 2 passes, tip at x 21
  EXPECT_EQ(right(1.5), TRect(14, 13, 24, 28));   // snapped to 2: strokes of 8, 3 passes
  EXPECT_EQ(right(2), TRect(14, 13, 24, 28));
  // Pointing left: the tip round(2 x scale) + 1 left of the centre, strokes to the right.
  EXPECT_EQ(GlyphExtent([](TCanvas* c) { DrawChevronGlyph(c, kBox, clWhite, 1, kxadLeft); }),
            TRect(16, 17, 21, 24));
  TTarget t(40, 40, kPaper);
  DrawChevronGlyph(t.Canvas(), kBox, clWhite, 1, kxadRight);
  EXPECT_EQ(t.At(21, 20), kInk);  // tip
  EXPECT_EQ(t.At(20, 20), kInk);  // second pass
  EXPECT_EQ(t.At(19, 20), kPaper);
  EXPECT_EQ(t.At(18, 17), kInk);  // the upper stroke's end
}

// The ink in the extreme columns of a glyph: a glyph pointing right ends in a single tip pixel
// at its right edge and is widest at its left edge.
struct TEnds {
  int Left, Right;
};
template <class F>
TEnds ColumnEnds(F&& draw) {
  TTarget t(40, 40, kPaper);
  draw(t.Canvas());
  const TRect e = PaintedExtent(t, kPaper);
  TEnds ends{0, 0};
  for (int y = e.Top; y < e.Bottom; ++y) {
    ends.Left += t.At(e.Left, y) != kPaper;
    ends.Right += t.At(e.Right - 1, y) != kPaper;
  }
  return ends;
}

TEST_F(StyledGlyphs, ChevronAndArrowShareTheirDirections) {
  for (TkxArrowDirection d : {kxadLeft, kxadRight}) {
    const TEnds arrow = ColumnEnds([d](TCanvas* c) { DrawArrowGlyph(c, kBox, clWhite, 1, d); });
    const TEnds chevron =
        ColumnEnds([d](TCanvas* c) { DrawChevronGlyph(c, kBox, clWhite, 1, d); });
    const bool arrowRight = arrow.Right < arrow.Left;
    const bool chevronRight = chevron.Right < chevron.Left;
    EXPECT_EQ(arrowRight, d == kxadRight) << int(d);
    EXPECT_EQ(chevronRight, d == kxadRight) << int(d);
  }
  // A chevron has no up or down.
  EXPECT_EQ(GlyphPixels([](TCanvas* c) { DrawChevronGlyph(c, kBox, clWhite, 1, kxadUp); }), 0);
}

TEST_F(StyledGlyphs, DropDownArrowsAndCloseCrosses) {
  EXPECT_EQ(GlyphExtent([](TCanvas* c) { DrawDropDownArrow(c, kBox, clWhite, 1); }),
            TRect(16, 16, 25, 22));
  EXPECT_EQ(GlyphExtent([](TCanvas* c) { DrawDropDownArrow(c, kBox, clWhite, 2); }),
            TRect(12, 13, 29, 24));  // half-width 8, 3 lines, tip at y 23
  EXPECT_EQ(GlyphExtent([](TCanvas* c) { DrawCloseGlyph(c, kBox, clWhite, 1); }),
            TRect(16, 16, 25, 24));
  EXPECT_EQ(GlyphExtent([](TCanvas* c) { DrawCloseGlyph(c, kBox, clWhite, 1.5); }),
            TRect(14, 14, 28, 26));
  EXPECT_EQ(GlyphExtent([](TCanvas* c) { DrawCloseGlyph(c, kBox, clWhite, 2); }),
            TRect(12, 12, 31, 28));
  // Two crossing diagonals two pixels thick at 100 %.
  TTarget t(40, 40, kPaper);
  DrawCloseGlyph(t.Canvas(), kBox, clWhite, 1);
  EXPECT_EQ(t.At(16, 16), kInk);
  EXPECT_EQ(t.At(17, 16), kInk);
  EXPECT_EQ(t.At(18, 16), kPaper);
  EXPECT_EQ(t.At(16, 23), kInk);
  EXPECT_EQ(t.At(24, 23), kInk);
}

TEST_F(StyledGlyphs, MenuArrowsPerSystemStyleAndOption) {
  auto menu = [](const TComponent* control = nullptr) {
    return GlyphExtent([control](TCanvas* c) { DrawMenuArrow(c, kBox, clWhite, 1, control); });
  };
  const TRect modern(15, 15, 26, 22), triangle(17, 19, 24, 23), heavy(16, 15, 25, 22);
  // Windows 10 without a custom style: the modern chevron.
  Use(u"Windows");
  EXPECT_EQ(menu(), modern);
  TTarget t(40, 40, kPaper);
  DrawMenuArrow(t.Canvas(), kBox, clWhite, 1, nullptr);
  EXPECT_EQ(t.At(16, 16), kInk);   // the second line reaches the full half-width
  EXPECT_EQ(t.At(15, 15), kInk);
  EXPECT_EQ(t.At(16, 17), kInk);   // the first line ends one pixel short
  EXPECT_EQ(t.At(15, 17), kPaper);
  // Windows 7: the filled triangle; Windows 8: the heavy chevron.
  SetWindowsVersion(6, 1, 0);
  EXPECT_EQ(menu(), triangle);
  EXPECT_EQ(GlyphPixels([](TCanvas* c) { DrawMenuArrow(c, kBox, clWhite, 1, nullptr); }), 16);
  SetWindowsVersion(6, 2, 0);
  EXPECT_EQ(menu(), heavy);
  // A custom style whose name has "windows" in it is modern on any system; others are not.
  SetWindowsVersion(10, 0, 19045);
  Use(u"Glow");
  EXPECT_EQ(menu(), triangle);
  drawtest::TGlowControl w10(nullptr);
  w10.SetStyleName(u"Windows10 Dark");
  EXPECT_EQ(menu(&w10), modern);
  Use(u"Windows10");
  SetWindowsVersion(6, 1, 0);
  EXPECT_EQ(menu(), modern);
  // The modern-arrows option switches every arrow.
  Use(u"Glow");
  StylingOptions.ModernArrows = true;
  EXPECT_EQ(menu(), modern);
  // At 125 % the triangle grows with the scale plus a tenth.
  StylingOptions.ModernArrows = false;
  EXPECT_EQ(GlyphExtent([](TCanvas* c) { DrawMenuArrow(c, kBox, clWhite, 1.25, nullptr); }),
            TRect(16, 19, 25, 24));  // x = 1.35: rows 4 .. 0, the tip at y 23
}

TEST_F(StyledGlyphs, GlyphsLeaveTheCanvasPenAlone) {
  TTarget t(40, 40, kPaper);
  TCanvas* c = t.Canvas();
  c->Pen()->SetColor(clRed);
  c->MoveTo(0, 0);
  c->LineTo(5, 0);  // the canvas pen is selected now
  DrawChevronGlyph(c, kBox, clWhite, 1, kxadRight);
  DrawCloseGlyph(c, kBox, clWhite, 1);
  DrawMenuArrow(c, kBox, clWhite, 1, nullptr);
  c->MoveTo(0, 39);
  c->LineTo(5, 39);
  EXPECT_EQ(t.At(2, 39), Opaque(clRed));
}
