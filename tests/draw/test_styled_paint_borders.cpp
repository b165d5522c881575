// Styled painting of selections, header sections, borders, focus rectangles, separators and
// 3D frames.
#include "PaintTest.h"
#include "draw/kxStyledPaintBorders.h"

using namespace vcl;
using namespace kx;
using namespace painttest;

namespace {

// Source-over of an opaque colour at constant alpha a onto an opaque backdrop, per channel.
std::uint32_t Blend(std::uint32_t src, std::uint32_t dst, int a) {
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    int s = int((src >> shift) & 0xFF), d = int((dst >> shift) & 0xFF);
    int v = (s * a + d * (255 - a) + 127) / 255;
    out |= std::uint32_t(v) << shift;
  }
  return out;
}

// The element drawn into a transparent layer, blended at alpha onto the backdrop.
void BlendedElement(TTarget& t, TCustomStyleServices* s, const TThemedElementDetails& d,
                    const TRect& r, Byte alpha) {
  TBitmap layer;
  gfxtest::Make32(layer, r.Width(), r.Height(), 0);
  s->DrawElement(layer.Canvas()->Handle(), d, TRect(0, 0, r.Width(), r.Height()));
  BLENDFUNCTION bf;
  bf.SourceConstantAlpha = alpha;
  bf.AlphaFormat = AC_SRC_ALPHA;
  AlphaBlend(t.Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(),
             layer.Canvas()->Handle(), 0, 0, r.Width(), r.Height(), bf);
}

// The dots of a focus ring along the top row from x0 to x1 (inclusive) in colour c.
std::string TopRow(TTarget& t, int y, int x0, int x1, std::uint32_t c) {
  std::string s;
  for (int x = x0; x <= x1; ++x) s += t.At(x, y) == c ? '#' : '.';
  return s;
}

}  // namespace

class StyledBorders : public PaintTest {};

TEST_F(StyledBorders, SelectionsPerStyle) {
  const TRect r(2, 2, 42, 20);
  // Custom style: the selected grid cell, blended.
  TCustomStyleServices* glow = Use(u"Glow");
  {
    TTarget got(50, 24, kBackdrop), want(50, 24, kBackdrop);
    DrawSelection(got.Canvas(), r, 120, nullptr);
    BlendedElement(want, glow, GetElementDetails(tgCellSelected), r, 120);
    EXPECT_TRUE(SameAs(got, want));
    EXPECT_GT(Painted(got), 0);
  }
  // The themed system look: the selected calendar cell.
  TCustomStyleServices* sys = Use(u"Windows");
  {
    TTarget got(50, 24, kBackdrop), want(50, 24, kBackdrop);
    DrawSelection(got.Canvas(), r, 255, nullptr);
    BlendedElement(want, sys, GetElementDetails(tmcGridCellBackgroundSelected), r, 255);
    EXPECT_TRUE(SameAs(got, want));
  }
  // Windows XP without a custom style, and the classic look: clHighlight at the alpha.
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 0)
      SetWindowsVersion(5, 1, 0);
    else
      UseClassic();
    TTarget got(50, 24, kBackdrop);
    DrawSelection(got.Canvas(), r, 100, nullptr);
    EXPECT_TRUE(gfxtest::Near(got.At(10, 10), Blend(Opaque(clHighlight), kBackdrop, 100), 1));
    EXPECT_EQ(got.At(1, 1), kBackdrop);
    EXPECT_EQ(PaintedExtent(got), r);
  }
}

TEST_F(StyledBorders, ItemSelections) {
  const TRect r(0, 0, 40, 16);
  TCustomStyleServices* sky = Use(u"Sky");
  {
    // Custom, unfocused: the translucent selection at 175; focused: the cell itself.
    TTarget got(40, 16, kBackdrop), want(40, 16, kBackdrop);
    DrawItemSelection(got.Canvas(), r, false, false, nullptr);
    BlendedElement(want, sky, GetElementDetails(tgCellSelected), r, 175);
    EXPECT_TRUE(SameAs(got, want));
    TTarget focused(40, 16, kBackdrop), cell(40, 16, kBackdrop);
    DrawItemSelection(focused.Canvas(), r, false, true, nullptr);
    Element(cell, sky, GetElementDetails(tgCellSelected), r);
    EXPECT_TRUE(SameAs(focused, cell));
  }
  TCustomStyleServices* sys = Use(u"Windows");
  {
    TTarget got(40, 16, kBackdrop), want(40, 16, kBackdrop);
    DrawItemSelection(got.Canvas(), r, false, false, nullptr);
    Element(want, sys, GetElementDetails(tmcGridCellBackgroundSelectedNotFocused), r);
    EXPECT_TRUE(SameAs(got, want));
    TTarget focused(40, 16, kBackdrop), want2(40, 16, kBackdrop);
    DrawItemSelection(focused.Canvas(), r, true, false, nullptr);
    Element(want2, sys, GetElementDetails(tmcGridCellBackgroundSelected), r);
    EXPECT_TRUE(SameAs(focused, want2));
  }
  UseClassic();
  TTarget solid(40, 16, kBackdrop), faint(40, 16, kBackdrop), none(40, 16, kBackdrop);
  DrawItemSelection(solid.Canvas(), r, true, false, nullptr);
  DrawItemSelection(faint.Canvas(), r, false, false, nullptr);
  DrawItemSelection(none.Canvas(), TRect(5, 5, 5, 10), true, true, nullptr);
  EXPECT_EQ(solid.At(20, 8), Opaque(clHighlight));
  EXPECT_TRUE(gfxtest::Near(faint.At(20, 8), Blend(Opaque(clHighlight), kBackdrop, 200), 1));
  EXPECT_EQ(Painted(none), 0);
}

TEST_F(StyledBorders, HeaderSections) {
  TCustomStyleServices* s = Use(u"Windows10 Dark");
  const TThemedGrid parts[] = {tgFixedCellNormal, tgFixedCellHot, tgFixedCellPressed,
                               tgFixedCellHot};
  const TkxsCtrlState states[] = {kxsNormal, kxsHot, kxsPressed, kxsFocused};
  for (int i = 0; i < 4; ++i) {
    TTarget got(60, 22, kBackdrop), want(60, 22, kBackdrop);
    DrawHeaderSection(got.Canvas(), TRect(0, 0, 60, 22), states[i], nullptr);
    Element(want, s, GetElementDetails(parts[i]), TRect(0, 0, 60, 22));
    EXPECT_TRUE(SameAs(got, want)) << i;
  }
  UseClassic();
  TTarget raised(30, 20, kBackdrop), sunken(30, 20, kBackdrop);
  DrawHeaderSection(raised.Canvas(), TRect(0, 0, 30, 20), kxsNormal, nullptr);
  DrawHeaderSection(sunken.Canvas(), TRect(0, 0, 30, 20), kxsPressed, nullptr);
  EXPECT_EQ(raised.At(10, 10), Opaque(clBtnFace));
  EXPECT_EQ(raised.At(0, 10), Opaque(clBtnHighlight));
  EXPECT_EQ(raised.At(29, 10), Opaque(clBtnShadow));
  EXPECT_EQ(sunken.At(0, 10), Opaque(clBtnShadow));
  EXPECT_EQ(sunken.At(10, 19), Opaque(clBtnHighlight));
}

TEST_F(StyledBorders, EditAndComboBorders) {
  const TRect r(0, 0, 50, 20);
  TCustomStyleServices* sys = Use(u"Windows");
  auto framed = [&](auto draw, TCustomStyleServices* s, auto part, TkxsCtrlState st) {
    TTarget got(50, 20, kBackdrop), want(50, 20, kBackdrop);
    draw(got.Canvas(), r, st, nullptr);
    // A face-coloured 2-pixel frame under the element.
    HBRUSH b = CreateSolidBrush(s->ColorToRGB(clBtnFace));
    TRect f = r;
    FrameRect(want.Canvas()->Handle(), &f, b);
    f.Inflate(-1, -1);
    FrameRect(want.Canvas()->Handle(), &f, b);
    DeleteObject(b);
    Element(want, s, GetElementDetails(part), r);
    return SameAs(got, want);
  };
  auto edit = [&](TCustomStyleServices* s, TThemedEdit part, TkxsCtrlState st) {
    return framed(&DrawEditBorder, s, part, st);
  };
  EXPECT_TRUE(edit(sys, teEditBorderNoScrollNormal, kxsNormal));
  EXPECT_TRUE(edit(sys, teEditBorderNoScrollHot, kxsHot));
  EXPECT_TRUE(edit(sys, teEditBorderNoScrollFocused, kxsFocused));
  EXPECT_TRUE(edit(sys, teEditBorderNoScrollDisabled, kxsDisabled));
  // The combo border is the edit border except on Windows 11 with the system style.
  {
    TTarget a(50, 20, kBackdrop), b(50, 20, kBackdrop);
    DrawComboBorder(a.Canvas(), r, kxsFocused, nullptr);
    DrawEditBorder(b.Canvas(), r, kxsFocused, nullptr);
    EXPECT_TRUE(SameAs(a, b));
  }
  SetWindowsVersion(10, 0, 22631);
  EXPECT_TRUE(framed(&DrawComboBorder, sys, tcBorderHot, kxsHot));
  EXPECT_TRUE(framed(&DrawComboBorder, sys, tcBorderFocused, kxsFocused));
  EXPECT_TRUE(framed(&DrawComboBorder, sys, tcBorderDisabled, kxsDisabled));
  SetWindowsVersion(10, 0, 19045);
  // Custom styles show focus as hot.
  TCustomStyleServices* glow = Use(u"Glow");
  EXPECT_TRUE(edit(glow, teEditBorderNoScrollHot, kxsFocused));

  // Classic: two sunken rings.
  UseClassic();
  TTarget classic(50, 20, kBackdrop);
  DrawEditBorder(classic.Canvas(), r, kxsNormal, nullptr);
  EXPECT_EQ(classic.At(0, 10), Opaque(clBtnShadow));
  EXPECT_EQ(classic.At(49, 10), Opaque(clBtnHighlight));
  EXPECT_EQ(classic.At(1, 10), Opaque(cl3DDkShadow));
  EXPECT_EQ(classic.At(48, 10), Opaque(cl3DLight));
  EXPECT_EQ(classic.At(10, 2), kBackdrop);
}

TEST_F(StyledBorders, FlatBorderFollowsACustomStyle) {
  for (const char16_t* name : {u"Windows", u"Tablet Dark"}) {
    TCustomStyleServices* s = Use(name);
    TTarget t(20, 20, kBackdrop);
    DrawFlatBorder(t.Canvas(), TRect(0, 0, 20, 20), nullptr);
    EXPECT_EQ(t.At(0, 5), Opaque(s->ColorToRGB(clBtnShadow)));
    EXPECT_EQ(t.At(1, 5), Opaque(s->ColorToRGB(clWindow)));
    EXPECT_EQ(t.At(2, 5), kBackdrop);
  }
}

TEST_F(StyledBorders, DottedFocusRectangles) {
  const std::uint32_t ink = 0xFF000000u;
  // Even width and height: the dots start on the top-left pixel.
  {
    TTarget t(12, 8, 0xFFFFFFFFu);
    t.Canvas()->Font()->SetColor(clBlack);
    DrawFocusRectDotted(t.Canvas(), TRect(0, 0, 12, 8), 1);
    EXPECT_EQ(TopRow(t, 0, 0, 11, ink), "#.#.#.#.#.#.");
    // Around the corner the phase runs on: the right column continues the top row.
    EXPECT_EQ(t.At(11, 1), ink);
    EXPECT_NE(t.At(11, 2), ink);
    EXPECT_EQ(TopRow(t, 7, 0, 11, ink), ".#.#.#.#.#.#");
    EXPECT_EQ(t.At(5, 4), 0xFFFFFFFFu);
  }
  // An odd size: one pixel later.
  {
    TTarget t(11, 8, 0xFFFFFFFFu);
    t.Canvas()->Font()->SetColor(clBlack);
    DrawFocusRectDotted(t.Canvas(), TRect(0, 0, 11, 8), 1);
    EXPECT_EQ(TopRow(t, 0, 0, 10, ink), ".#.#.#.#.#.");
  }
  // Two rings from a scale of 1.5, one below.
  auto rings = [&](double scale) {
    TTarget t(20, 20, 0xFFFFFFFFu);
    DrawFocusRectDotted(t.Canvas(), TRect(0, 0, 20, 20), clBlack, scale);
    int inner = 0;
    for (int x = 1; x < 19; ++x) inner += t.At(x, 1) == ink;
    return inner;
  };
  EXPECT_EQ(rings(1.49), 0);
  EXPECT_GT(rings(1.5), 0);
  EXPECT_GT(rings(2), 0);
  // The DC twin draws the same dots in its colour.
  TTarget a(14, 10, 0xFFFFFFFFu), b(14, 10, 0xFFFFFFFFu);
  a.Canvas()->Font()->SetColor(clRed);
  DrawFocusRectDotted(a.Canvas(), TRect(1, 1, 13, 9), 1);
  DrawFocusRectDottedDC(b.Canvas()->Handle(), TRect(1, 1, 13, 9), clRed, 1);
  EXPECT_TRUE(SameAs(a, b));
  EXPECT_EQ(a.At(1, 1), Opaque(clRed));
}

TEST_F(StyledBorders, SeparatorsBlendShadowAndHighlight) {
  TCustomStyleServices* s = Use(u"Glow");
  const std::uint32_t shadow = Opaque(s->ColorToRGB(clBtnShadow));
  const std::uint32_t light = Opaque(s->ColorToRGB(clBtnHighlight));
  TTarget h(30, 10, kBackdrop);
  DrawHorzSeparator(h.Canvas(), TRect(5, 3, 25, 9), nullptr);
  EXPECT_TRUE(gfxtest::Near(h.At(10, 3), Blend(shadow, kBackdrop, 125), 1));
  EXPECT_TRUE(gfxtest::Near(h.At(10, 4), Blend(light, kBackdrop, 125), 1));
  EXPECT_EQ(PaintedExtent(h), TRect(5, 3, 25, 5));

  TTarget v(30, 20, kBackdrop), vr(30, 20, kBackdrop);
  DrawVertSeparator(v.Canvas(), TRect(5, 2, 25, 18), nullptr);
  DrawVertSeparator(vr.Canvas(), TRect(5, 2, 25, 18), nullptr, true);
  EXPECT_EQ(PaintedExtent(v), TRect(5, 2, 7, 18));
  EXPECT_EQ(PaintedExtent(vr), TRect(23, 2, 25, 18));
  EXPECT_TRUE(gfxtest::Near(vr.At(23, 10), Blend(shadow, kBackdrop, 125), 1));
  EXPECT_TRUE(gfxtest::Near(vr.At(24, 10), Blend(light, kBackdrop, 125), 1));

  // Classic: the system colours.
  UseClassic();
  TTarget c(30, 10, kBackdrop);
  DrawHorzSeparator(c.Canvas(), TRect(0, 0, 30, 2), nullptr);
  EXPECT_TRUE(gfxtest::Near(c.At(3, 0), Blend(Opaque(clBtnShadow), kBackdrop, 125), 1));
}

TEST_F(StyledBorders, Frame3DDrawsOneRingAndShrinks) {
  TTarget t(10, 8, kBackdrop);
  TRect r(1, 1, 9, 7);
  DrawFrame3D(t.Canvas(), r, clWhite, clBlack);
  EXPECT_EQ(r, TRect(2, 2, 8, 6));
  EXPECT_EQ(t.At(1, 1), 0xFFFFFFFFu);  // top-left corner
  EXPECT_EQ(t.At(8, 1), 0xFF000000u);  // top-right corner belongs to the bottom-right colour
  EXPECT_EQ(t.At(1, 6), 0xFF000000u);  // and so does the bottom-left one
  EXPECT_EQ(t.At(1, 3), 0xFFFFFFFFu);
  EXPECT_EQ(t.At(9, 3), kBackdrop);    // right edge one pixel inside the exclusive edge
  EXPECT_EQ(t.At(8, 3), 0xFF000000u);
  EXPECT_EQ(t.At(7, 3), kBackdrop);
  EXPECT_EQ(t.At(4, 6), 0xFF000000u);
  EXPECT_EQ(t.At(4, 7), kBackdrop);
  EXPECT_EQ(t.At(3, 3), kBackdrop);
}
