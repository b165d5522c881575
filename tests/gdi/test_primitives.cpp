// Shapes, lines, pixels, rectangles and regions: exact pixels.
#include <climits>

#include "DrawFixture.h"

using namespace kxtest;

namespace {
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
const std::uint32_t kBlack = Px(RGB(0, 0, 0));
const std::uint32_t kRed = Px(RGB(255, 0, 0));
const std::uint32_t kBlue = Px(RGB(0, 0, 255));
}  // namespace

TEST(Primitives, RectangleCoversLeftTopAndExcludesRightBottom) {
  Canvas c(40, 40);
  c.Pen(PS_SOLID, 1, RGB(0, 0, 0));
  c.Brush(CreateSolidBrush(RGB(255, 0, 0)));
  ASSERT_TRUE(Rectangle(c.Dc, 10, 10, 20, 20));
  EXPECT_EQ(c.Changed(kWhite), TRect(10, 10, 20, 20));
  for (int i = 10; i < 20; ++i) {
    EXPECT_EQ(c.At(i, 10), kBlack);
    EXPECT_EQ(c.At(i, 19), kBlack);
    EXPECT_EQ(c.At(10, i), kBlack);
    EXPECT_EQ(c.At(19, i), kBlack);
  }
  EXPECT_EQ(c.Count(kRed, {11, 11, 19, 19}), 64);
  // Reversed corners draw the same rectangle.
  c.Clear(kWhite);
  Rectangle(c.Dc, 20, 20, 10, 10);
  EXPECT_EQ(c.Changed(kWhite), TRect(10, 10, 20, 20));
  // Without a pen the fill loses its right column and bottom row.
  c.Clear(kWhite);
  SelectObject(c.Dc, AsPen(GetStockObject(NULL_PEN)));
  Rectangle(c.Dc, 10, 10, 20, 20);
  EXPECT_EQ(c.Changed(kWhite), TRect(10, 10, 19, 19));
  EXPECT_EQ(c.Count(kRed), 81);
  // DC_PEN follows SetDCPenColor.
  c.Clear(kWhite);
  SelectObject(c.Dc, AsPen(GetStockObject(DC_PEN)));
  SetDCPenColor(c.Dc, RGB(0, 0, 255));
  Rectangle(c.Dc, 10, 10, 20, 20);
  EXPECT_EQ(c.At(10, 15), kBlue);
  EXPECT_EQ(c.At(15, 15), kRed);
  // A hollow brush leaves the inside alone.
  c.Clear(kWhite);
  SelectObject(c.Dc, AsPen(GetStockObject(BLACK_PEN)));
  SelectObject(c.Dc, AsBrush(GetStockObject(NULL_BRUSH)));
  Rectangle(c.Dc, 10, 10, 20, 20);
  EXPECT_EQ(c.Count(kBlack), 36);
  EXPECT_EQ(c.Count(kWhite, {11, 11, 19, 19}), 64);
}

TEST(Primitives, WidePensAreCentredAndInsideFrameStaysInside) {
  Canvas c(60, 60);
  c.Brush(CreateSolidBrush(RGB(255, 0, 0)));
  c.Pen(PS_SOLID, 3, RGB(0, 0, 255));
  Rectangle(c.Dc, 10, 10, 30, 30);
  // The band is centred on the outline columns 10 and 29.
  EXPECT_EQ(c.Changed(kWhite), TRect(9, 9, 31, 31));
  for (int x : {9, 10, 11, 28, 29, 30}) EXPECT_EQ(c.At(x, 20), kBlue) << x;
  EXPECT_EQ(c.At(12, 20), kRed);
  EXPECT_EQ(c.At(27, 20), kRed);
  // Even widths put the extra pixel outside, symmetric on both sides.
  c.Clear(kWhite);
  c.Pen(PS_SOLID, 2, RGB(0, 0, 255));
  Rectangle(c.Dc, 10, 10, 30, 30);
  EXPECT_EQ(c.Changed(kWhite), TRect(9, 9, 31, 31));
  EXPECT_EQ(c.At(11, 20), kRed);
  EXPECT_EQ(c.At(28, 20), kRed);
  // PS_INSIDEFRAME keeps the band inside the rectangle.
  c.Clear(kWhite);
  c.Pen(PS_INSIDEFRAME, 3, RGB(0, 0, 255));
  Rectangle(c.Dc, 10, 10, 30, 30);
  EXPECT_EQ(c.Changed(kWhite), TRect(10, 10, 30, 30));
  for (int x : {10, 11, 12, 27, 28, 29}) EXPECT_EQ(c.At(x, 20), kBlue) << x;
  EXPECT_EQ(c.At(13, 20), kRed);
  // Wide ellipses stay symmetric.
  c.Clear(kWhite);
  c.Pen(PS_SOLID, 4, RGB(0, 0, 255));
  Ellipse(c.Dc, 10, 12, 41, 37);
  TRect box = c.Changed(kWhite);
  EXPECT_EQ(box, TRect(8, 10, 43, 39));
  EXPECT_TRUE(c.Symmetric(box, [&](std::uint32_t v) { return v == kBlue; }));
  EXPECT_TRUE(c.Symmetric(box, [&](std::uint32_t v) { return v == kRed; }));
}

TEST(Primitives, EllipseAndRoundRectAreSymmetricAndInside) {
  Canvas c(60, 50);
  c.Pen(PS_SOLID, 1, RGB(0, 0, 0));
  c.Brush(CreateSolidBrush(RGB(255, 0, 0)));
  for (TRect r : {TRect(10, 10, 31, 21), TRect(5, 5, 45, 45), TRect(20, 20, 23, 24), TRect(3, 7, 50, 12)}) {
    c.Clear(kWhite);
    Ellipse(c.Dc, r.Left, r.Top, r.Right, r.Bottom);
    EXPECT_EQ(c.Changed(kWhite), r) << r.Left << "," << r.Top;
    EXPECT_TRUE(c.Symmetric(r, [&](std::uint32_t v) { return v == kBlack; }));
    EXPECT_TRUE(c.Symmetric(r, [&](std::uint32_t v) { return v == kRed; }));
    // The outline is closed: every row has outline pixels at both ends.
    for (int y = r.Top; y < r.Bottom; ++y) {
      int x = r.Left;
      while (c.At(x, y) == kWhite) ++x;
      EXPECT_EQ(c.At(x, y), kBlack);
    }
  }
  // A 10x10 circle: 4 pixels on the top row, centred.
  c.Clear(kWhite);
  Ellipse(c.Dc, 10, 10, 20, 20);
  for (int x = 10; x < 20; ++x) EXPECT_EQ(c.At(x, 10) == kBlack, x >= 13 && x <= 16) << x;
  // Rounded rectangle: corners cut, straight edges reach the box.
  c.Clear(kWhite);
  RoundRect(c.Dc, 10, 10, 41, 31, 12, 8);
  TRect rr(10, 10, 41, 31);
  EXPECT_EQ(c.Changed(kWhite), rr);
  EXPECT_EQ(c.At(10, 10), kWhite);
  EXPECT_EQ(c.At(25, 10), kBlack);
  EXPECT_EQ(c.At(10, 20), kBlack);
  EXPECT_EQ(c.At(40, 20), kBlack);
  EXPECT_TRUE(c.Symmetric(rr, [&](std::uint32_t v) { return v == kBlack; }));
}

TEST(Primitives, LinesExcludeTheirLastPixel) {
  Canvas c(40, 40);
  c.Pen(PS_SOLID, 1, RGB(0, 0, 0));
  TPoint old;
  MoveToEx(c.Dc, 5, 5, nullptr);
  ASSERT_TRUE(LineTo(c.Dc, 15, 5));
  EXPECT_EQ(c.Count(kBlack), 10);
  EXPECT_EQ(c.Changed(kWhite), TRect(5, 5, 15, 6));
  ASSERT_TRUE(GetCurrentPositionEx(c.Dc, &old));
  EXPECT_EQ(old, TPoint(15, 5));
  // Diagonal and steep lines, in both directions.
  c.Clear(kWhite);
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 10, 10);
  EXPECT_EQ(c.Count(kBlack), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(c.At(i, i), kBlack);
  EXPECT_EQ(c.At(10, 10), kWhite);
  c.Clear(kWhite);
  MoveToEx(c.Dc, 30, 30, &old);
  EXPECT_EQ(old, TPoint(10, 10));
  LineTo(c.Dc, 27, 10);
  EXPECT_EQ(c.Count(kBlack), 20);
  EXPECT_EQ(c.At(30, 30), kBlack);
  EXPECT_EQ(c.At(27, 10), kWhite);
  EXPECT_EQ(c.Changed(kWhite), TRect(27, 11, 31, 31));
  // A polyline leaves out only its final point.
  c.Clear(kWhite);
  TPoint pts[] = {{2, 2}, {12, 2}, {12, 12}};
  Polyline(c.Dc, pts, 3);
  EXPECT_EQ(c.Count(kBlack), 20);
  EXPECT_EQ(c.At(12, 2), kBlack);
  EXPECT_EQ(c.At(12, 12), kWhite);
}

TEST(Primitives, WideLinesHaveRoundCapsAndCentredBands) {
  Canvas c(60, 40);
  c.Pen(PS_SOLID, 5, RGB(0, 0, 255));
  MoveToEx(c.Dc, 10, 20, nullptr);
  LineTo(c.Dc, 40, 20);
  TRect b = c.Changed(kWhite);
  EXPECT_EQ(b, TRect(8, 18, 43, 23));
  EXPECT_EQ(c.Count(kBlue, {10, 18, 41, 23}), 31 * 5);
  EXPECT_EQ(c.At(8, 18), kWhite);  // round cap, not square
  EXPECT_EQ(c.At(8, 20), kBlue);
}

TEST(Primitives, DashedPensAndBackgroundMode) {
  Canvas c(40, 10);
  c.Pen(PS_DOT, 1, RGB(0, 0, 0));
  SetBkColor(c.Dc, RGB(255, 0, 0));
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 12, 0);
  const std::uint32_t expect[12] = {kBlack, kBlack, kBlack, kRed, kRed, kRed,
                                    kBlack, kBlack, kBlack, kRed, kRed, kRed};
  for (int x = 0; x < 12; ++x) EXPECT_EQ(c.At(x, 0), expect[x]) << x;
  SetBkMode(c.Dc, TRANSPARENT);
  MoveToEx(c.Dc, 0, 2, nullptr);
  LineTo(c.Dc, 12, 2);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(c.At(x, 2), expect[x] == kBlack ? kBlack : kWhite) << x;
  // Dashes: 18 on, 6 off.
  c.Pen(PS_DASH, 1, RGB(0, 0, 0));
  MoveToEx(c.Dc, 0, 4, nullptr);
  LineTo(c.Dc, 30, 4);
  EXPECT_EQ(c.Count(kBlack, {0, 4, 40, 5}), 18 + 6);
  EXPECT_EQ(c.At(17, 4), kBlack);
  EXPECT_EQ(c.At(18, 4), kWhite);
  EXPECT_EQ(c.At(24, 4), kBlack);
}

TEST(Primitives, Rop2MixesAndXorTwiceRestores) {
  Canvas c(30, 30, Px(RGB(0x12, 0x34, 0x56)));
  c.Pen(PS_SOLID, 1, RGB(0xFF, 0x0F, 0x00));
  c.Brush(CreateSolidBrush(RGB(0x00, 0xF0, 0xFF)));
  EXPECT_EQ(SetROP2(c.Dc, R2_XORPEN), R2_COPYPEN);
  Rectangle(c.Dc, 5, 5, 20, 20);
  EXPECT_EQ(c.At(5, 5), Px(RGB(0x12 ^ 0xFF, 0x34 ^ 0x0F, 0x56)));
  EXPECT_EQ(c.At(10, 10), Px(RGB(0x12, 0x34 ^ 0xF0, 0x56 ^ 0xFF)));
  Rectangle(c.Dc, 5, 5, 20, 20);
  EXPECT_EQ(c.Count(Px(RGB(0x12, 0x34, 0x56))), 900);
  SetROP2(c.Dc, R2_NOT);
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 3, 0);
  EXPECT_EQ(c.At(1, 0), Px(RGB(0xED, 0xCB, 0xA9)));
  SetROP2(c.Dc, R2_MASKPEN);
  SetPixelV(c.Dc, 0, 29, RGB(1, 2, 3));  // SetPixel ignores the mix mode
  EXPECT_EQ(c.At(0, 29), Px(RGB(1, 2, 3)));
  SetROP2(c.Dc, R2_NOP);
  Ellipse(c.Dc, 0, 0, 30, 30);
  EXPECT_EQ(c.At(15, 15), Px(RGB(0x12, 0x34, 0x56)));
}

TEST(Primitives, PixelsAndTheirLimits) {
  Canvas c(20, 20);
  EXPECT_EQ(SetPixel(c.Dc, 3, 4, RGB(10, 20, 30)), RGB(10, 20, 30));
  EXPECT_EQ(c.At(3, 4), 0xFF0A141Eu);
  EXPECT_EQ(GetPixel(c.Dc, 3, 4), RGB(10, 20, 30));
  EXPECT_EQ(GetPixel(c.Dc, 20, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.Dc, -1, 0), CLR_INVALID);
  EXPECT_EQ(SetPixel(c.Dc, 0, 20, 0), CLR_INVALID);
  IntersectClipRect(c.Dc, 0, 0, 10, 10);
  EXPECT_EQ(GetPixel(c.Dc, 12, 2), CLR_INVALID);
  EXPECT_FALSE(SetPixelV(c.Dc, 12, 2, 0));
  EXPECT_EQ(c.At(12, 2), kWhite);
  EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

TEST(Primitives, FocusRectIsDottedAndDrawingItTwiceRestores) {
  Canvas c(30, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) c.Ref(x, y) = Px(RGB(x * 8, y * 8, 100));
  std::vector<std::uint32_t> before(c.Bits, c.Bits + 900);
  TRect r(4, 5, 14, 12);
  ASSERT_TRUE(DrawFocusRect(c.Dc, &r));
  int changed = 0;
  for (int i = 0; i < 900; ++i) changed += c.Bits[i] != before[size_t(i)];
  // Every second pixel of the 1-pixel frame (30 pixels long), in a fixed checkerboard.
  EXPECT_EQ(changed, 15);
  EXPECT_EQ(c.At(4, 5) != before[5 * 30 + 4], ((4 + 5) & 1) == 0);
  EXPECT_EQ(c.At(5, 5), Px(RGB(255 - 40, 255 - 40, 255 - 100)));
  EXPECT_EQ(c.At(8, 8), before[8 * 30 + 8]);
  DrawFocusRect(c.Dc, &r);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), c.Bits));
}

TEST(Primitives, FillRectBrushesSystemColoursDcBrushHatchAndPattern) {
  Canvas c(32, 32);
  TRect r(2, 2, 6, 6);
  ASSERT_TRUE(FillRect(c.Dc, &r, SysColorBrushHandle(COLOR_BTNFACE)));
  EXPECT_EQ(c.At(2, 2), Px(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(c.At(6, 6), kWhite);
  EXPECT_EQ(c.Count(Px(GetSysColor(COLOR_BTNFACE))), 16);
  // DC_BRUSH follows SetDCBrushColor.
  SetDCBrushColor(c.Dc, RGB(1, 2, 3));
  FillRect(c.Dc, &r, AsBrush(GetStockObject(DC_BRUSH)));
  EXPECT_EQ(c.At(3, 3), Px(RGB(1, 2, 3)));
  // FillRect ignores the ROP2 mode.
  SetROP2(c.Dc, R2_XORPEN);
  FillRect(c.Dc, &r, AsBrush(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.At(3, 3), kBlack);
  EXPECT_EQ(FillRect(c.Dc, &r, nullptr), 0);
  // A hatch follows the brush origin; a transparent background keeps the pixels.
  HBRUSH hatch = c.Own(CreateHatchBrush(HS_VERTICAL, RGB(255, 0, 0)));
  TRect all(0, 8, 32, 16);
  SetBkColor(c.Dc, RGB(0, 0, 255));
  FillRect(c.Dc, &all, hatch);
  int col = -1;
  for (int x = 0; x < 8; ++x)
    if (c.At(x, 8) == kRed) col = x;
  ASSERT_GE(col, 0);
  EXPECT_EQ(c.At(col + 8, 15), kRed);
  EXPECT_EQ(c.Count(kRed, all), 4 * 8);
  EXPECT_EQ(c.Count(kBlue, all), 28 * 8);
  SetBrushOrgEx(c.Dc, 3, 0, nullptr);
  SetBkMode(c.Dc, TRANSPARENT);
  TRect row2(0, 16, 32, 24);
  FillRect(c.Dc, &row2, hatch);
  EXPECT_EQ(c.At((col + 3) % 8, 16), kRed);
  EXPECT_EQ(c.Count(kWhite, row2), 28 * 8);
  // A pattern brush repeats its bitmap from the brush origin.
  HBITMAP pat = CreateDIB32(2, 2);
  auto* pb = reinterpret_cast<std::uint32_t*>(pat->Bits);
  pb[0] = pb[3] = 0xFF00FF00u;
  pb[1] = pb[2] = 0x000000FFu;  // alpha is ignored: brushes paint opaque pixels
  HBRUSH pbrush = c.Own(CreatePatternBrush(pat));
  DeleteObject(pat);
  SetBrushOrgEx(c.Dc, 1, 0, nullptr);
  TRect pr(0, 24, 4, 26);
  FillRect(c.Dc, &pr, pbrush);
  EXPECT_EQ(c.At(1, 24), 0xFF00FF00u);
  EXPECT_EQ(c.At(0, 24), 0xFF0000FFu);
  EXPECT_EQ(c.At(0, 25), 0xFF00FF00u);
}

TEST(Primitives, FrameInvertAndRegions) {
  Canvas c(40, 40);
  TRect r(5, 5, 15, 12);
  HBRUSH red = c.Own(CreateSolidBrush(RGB(255, 0, 0)));
  ASSERT_TRUE(FrameRect(c.Dc, &r, red));
  EXPECT_EQ(c.Count(kRed), 2 * 10 + 2 * 5);
  EXPECT_EQ(c.Changed(kWhite), r);
  ASSERT_TRUE(InvertRect(c.Dc, &r));
  EXPECT_EQ(c.At(5, 5), Px(RGB(0, 255, 255)));
  EXPECT_EQ(c.At(7, 7), kBlack);

  c.Clear(kWhite);
  HRGN rgn = CreateRectRgn(10, 10, 30, 20);
  ASSERT_TRUE(FrameRgn(c.Dc, rgn, red, 2, 1));
  EXPECT_EQ(c.Changed(kWhite), TRect(10, 10, 30, 20));
  EXPECT_EQ(c.At(11, 15), kRed);
  EXPECT_EQ(c.At(12, 15), kWhite);
  EXPECT_EQ(c.At(20, 10), kRed);
  EXPECT_EQ(c.At(20, 11), kWhite);
  EXPECT_EQ(c.Count(kRed), 20 * 10 - 16 * 8);
  ASSERT_TRUE(FillRgn(c.Dc, rgn, AsBrush(GetStockObject(BLACK_BRUSH))));
  EXPECT_EQ(c.Count(kBlack), 200);
  ASSERT_TRUE(InvertRgn(c.Dc, rgn));
  EXPECT_EQ(c.Count(kWhite), 1600);
  c.Brush(CreateSolidBrush(RGB(0, 0, 255)));
  SetROP2(c.Dc, R2_MASKPEN);  // PaintRgn mixes the brush with the ROP2 mode
  ASSERT_TRUE(PaintRgn(c.Dc, rgn));
  EXPECT_EQ(c.Count(kBlue), 200);
  DeleteObject(rgn);
  // Regions are logical coordinates.
  c.Clear(kWhite);
  SetWindowOrgEx(c.Dc, 5, 5, nullptr);
  HRGN e = CreateEllipticRgn(10, 10, 20, 20);
  FillRgn(c.Dc, e, red);
  EXPECT_EQ(c.Changed(kWhite), TRect(5, 5, 15, 15));
  DeleteObject(e);
}

TEST(Primitives, PolygonFillModes) {
  Canvas c(60, 60);
  SelectObject(c.Dc, AsPen(GetStockObject(NULL_PEN)));
  c.Brush(CreateSolidBrush(RGB(255, 0, 0)));
  // A square with vertices on pixel centres fills one pixel short at right and bottom.
  TPoint sq[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  ASSERT_TRUE(Polygon(c.Dc, sq, 4));
  EXPECT_EQ(c.Changed(kWhite), TRect(0, 0, 10, 10));
  EXPECT_EQ(c.Count(kRed), 100);
  c.Clear(kWhite);
  TPoint star[] = {{30, 2}, {42, 50}, {6, 20}, {54, 20}, {18, 50}};
  EXPECT_EQ(GetPolyFillMode(c.Dc), ALTERNATE);
  Polygon(c.Dc, star, 5);
  EXPECT_EQ(c.At(30, 30), kWhite);  // the centre pentagon is outside with ALTERNATE
  EXPECT_EQ(c.At(30, 10), kRed);
  EXPECT_EQ(SetPolyFillMode(c.Dc, WINDING), ALTERNATE);
  Polygon(c.Dc, star, 5);
  EXPECT_EQ(c.At(30, 30), kRed);
  // Two rings of a PolyPolygon fill together: a square with a hole.
  c.Clear(kWhite);
  SetPolyFillMode(c.Dc, ALTERNATE);
  TPoint rings[] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {5, 5}, {15, 5}, {15, 15}, {5, 15}};
  int counts[] = {4, 4};
  ASSERT_TRUE(PolyPolygon(c.Dc, rings, counts, 2));
  EXPECT_EQ(c.Count(kRed), 400 - 100);
  EXPECT_EQ(c.At(10, 10), kWhite);
  EXPECT_FALSE(Polygon(c.Dc, sq, 1));
}

TEST(Primitives, ArcsChordsAndPiesFollowTheArcDirection) {
  Canvas c(60, 60);
  c.Pen(PS_SOLID, 1, RGB(0, 0, 0));
  c.Brush(CreateSolidBrush(RGB(255, 0, 0)));
  // Counter-clockwise from 3 o'clock to 12 o'clock: the upper-right quarter.
  ASSERT_TRUE(Pie(c.Dc, 10, 10, 50, 50, 60, 30, 30, 0));
  EXPECT_EQ(c.At(40, 20), kRed);
  EXPECT_EQ(c.At(20, 20), kWhite);
  EXPECT_EQ(c.At(40, 40), kWhite);
  EXPECT_EQ(c.At(30, 10), kBlack);  // top of the arc
  EXPECT_EQ(c.At(49, 29), kBlack);  // right end of the arc
  // Clockwise: the other three quarters.
  c.Clear(kWhite);
  EXPECT_EQ(SetArcDirection(c.Dc, AD_CLOCKWISE), AD_COUNTERCLOCKWISE);
  Pie(c.Dc, 10, 10, 50, 50, 60, 30, 30, 0);
  EXPECT_EQ(c.At(40, 20), kWhite);
  EXPECT_EQ(c.At(20, 20), kRed);
  EXPECT_EQ(c.At(40, 40), kRed);
  SetArcDirection(c.Dc, AD_COUNTERCLOCKWISE);
  // Chord from 3 to 9 o'clock counter-clockwise: the upper half, closed by a line.
  c.Clear(kWhite);
  Chord(c.Dc, 10, 10, 50, 50, 60, 30, 0, 30);
  EXPECT_EQ(c.At(30, 20), kRed);
  EXPECT_EQ(c.At(30, 40), kWhite);
  EXPECT_EQ(c.At(25, 30), kBlack);  // the closing chord
  // Arc draws the outline only.
  c.Clear(kWhite);
  Arc(c.Dc, 10, 10, 50, 50, 60, 30, 0, 30);
  EXPECT_EQ(c.Count(kRed), 0);
  EXPECT_EQ(c.At(30, 10), kBlack);
  EXPECT_EQ(c.At(30, 49), kWhite);
  EXPECT_EQ(c.Changed(kWhite).Top, 10);
  // Equal radials: the whole ellipse.
  c.Clear(kWhite);
  Arc(c.Dc, 10, 10, 50, 50, 60, 30, 60, 30);
  EXPECT_EQ(c.At(30, 49), kBlack);
  EXPECT_EQ(c.At(30, 10), kBlack);
}

TEST(Primitives, DrawingOnShadowedBitmapsReachesTheirBits) {
  // A 24-bit DIB is drawn through a 32-bit shadow written back after each call.
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 8;
  bi.bmiHeader.biHeight = 4;  // bottom-up
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits);
  ASSERT_NE(bmp, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bmp);
  TRect r(0, 0, 2, 1);
  HBRUSH b = CreateSolidBrush(RGB(10, 20, 30));
  FillRect(dc, &r, b);
  SetPixel(dc, 7, 3, RGB(1, 2, 3));
  auto* p = static_cast<BYTE*>(bits);
  int stride = 24;
  // Top row is the last stored row.
  EXPECT_EQ(p[3 * stride + 0], 30);
  EXPECT_EQ(p[3 * stride + 1], 20);
  EXPECT_EQ(p[3 * stride + 2], 10);
  EXPECT_EQ(p[7 * 3 + 2], 1);
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(10, 20, 30));
  DeleteDC(dc);
  DeleteObject(bmp);
  DeleteObject(b);
}

TEST(Primitives, ExtremeCoordinatesAreClippedWithoutOverflow) {
  Canvas c(50, 50);
  c.Pen(PS_SOLID, 7, RGB(0, 0, 0));
  c.Brush(CreateSolidBrush(RGB(255, 0, 0)));
  const int lo = INT_MIN, hi = INT_MAX;
  TRect huge(lo, lo, hi, hi);
  EXPECT_TRUE(Ellipse(c.Dc, lo, lo, hi, hi));
  EXPECT_TRUE(Rectangle(c.Dc, lo, lo, hi, hi));
  EXPECT_TRUE(RoundRect(c.Dc, lo, lo, hi, hi, hi, lo));
  EXPECT_TRUE(Pie(c.Dc, lo, lo, hi, hi, 0, lo, hi, 0));
  EXPECT_TRUE(Chord(c.Dc, lo, 0, hi, 40, lo, 0, hi, 40));
  TPoint pts[] = {{lo, lo}, {hi, 0}, {0, hi}};
  EXPECT_TRUE(Polygon(c.Dc, pts, 3));
  EXPECT_TRUE(Polyline(c.Dc, pts, 3));
  MoveToEx(c.Dc, lo, lo, nullptr);
  EXPECT_TRUE(LineTo(c.Dc, hi, hi));
  c.Pen(PS_DOT, 1, RGB(0, 0, 255));
  EXPECT_TRUE(Ellipse(c.Dc, lo, lo, hi, hi));
  EXPECT_TRUE(Arc(c.Dc, lo, lo, hi, hi, 0, 0, 1, 1));
  MoveToEx(c.Dc, lo, 7, nullptr);
  EXPECT_TRUE(LineTo(c.Dc, hi, 9));
  c.Pen(PS_SOLID, 1 << 30, RGB(0, 0, 0));
  MoveToEx(c.Dc, 10, 10, nullptr);
  EXPECT_TRUE(LineTo(c.Dc, 20, 20));
  EXPECT_EQ(c.At(0, 0), 0xFF000000u);
  EXPECT_TRUE(FillRect(c.Dc, &huge, AsBrush(GetStockObject(GRAY_BRUSH))));
  EXPECT_EQ(c.Count(Px(RGB(128, 128, 128))), 2500);
  EXPECT_TRUE(FrameRect(c.Dc, &huge, AsBrush(GetStockObject(BLACK_BRUSH))));
  EXPECT_TRUE(InvertRect(c.Dc, &huge));
  EXPECT_TRUE(DrawFocusRect(c.Dc, &huge));
  EXPECT_TRUE(PatBlt(c.Dc, lo, lo, hi, hi, PATCOPY));
  EXPECT_TRUE(BitBlt(c.Dc, lo, lo, hi, hi, c.Dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(StretchBlt(c.Dc, lo, lo, hi, hi, c.Dc, 0, 0, 50, 50, SRCCOPY));
  EXPECT_TRUE(StretchBlt(c.Dc, 0, 0, 50, 50, c.Dc, lo, lo, hi, hi, SRCCOPY));
  SetStretchBltMode(c.Dc, HALFTONE);
  EXPECT_TRUE(StretchBlt(c.Dc, 0, 0, 7, 50, c.Dc, -3, 0, 60, 50, SRCCOPY));
  EXPECT_TRUE(StretchBlt(c.Dc, hi, 0, lo, 50, c.Dc, 0, 0, 50, 50, SRCCOPY));
  EXPECT_FALSE(AlphaBlend(c.Dc, 0, 0, 50, 50, c.Dc, lo, lo, hi, hi, BLENDFUNCTION{}));
  EXPECT_TRUE(AlphaBlend(c.Dc, lo, lo, hi, hi, c.Dc, 0, 0, 50, 50, BLENDFUNCTION{}));
  EXPECT_TRUE(TransparentBlt(c.Dc, lo, lo, hi, hi, c.Dc, 0, 0, 50, 50, 0));
  TRIVERTEX v[3];
  v[0].x = lo, v[0].y = lo, v[1].x = hi, v[1].y = hi, v[2].x = lo, v[2].y = hi;
  v[1].Red = 0xFF00;
  GRADIENT_RECT gr{0, 1};
  GRADIENT_TRIANGLE gt{0, 1, 2};
  EXPECT_TRUE(GradientFill(c.Dc, v, 3, &gr, 1, GRADIENT_FILL_RECT_H));
  EXPECT_TRUE(GradientFill(c.Dc, v, 3, &gt, 1, GRADIENT_FILL_TRIANGLE));
  TRect r = huge;
  EXPECT_TRUE(DrawEdge(c.Dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST));
  const std::pair<UINT, UINT> controls[] = {
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED}, {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
      {DFC_BUTTON, DFCS_BUTTONPUSH},                 {DFC_SCROLL, DFCS_SCROLLUP},
      {DFC_SCROLL, DFCS_SCROLLSIZEGRIP},             {DFC_CAPTION, DFCS_CAPTIONCLOSE},
      {DFC_CAPTION, DFCS_CAPTIONHELP},               {DFC_MENU, DFCS_MENUBULLET}};
  for (auto [type, state] : controls) {
    r = TRect(-(1 << 29), -(1 << 29), 1 << 29, 1 << 29);
    EXPECT_TRUE(DrawFrameControl(c.Dc, &r, type, state)) << type << " " << state;
  }
}
