// GDI+ graphics: fills and strokes, antialiasing, gradients, paths, clipping, transforms and
// saved states, drawing into bitmaps, and refusal of invalid arguments.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "tests/gdi/test_gdiplus_support.h"

using namespace vcl;
using gptest::Canvas;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;

// Number of pixels that are neither the background nor the ink colour.
int PartialPixels(const Canvas& cv, std::uint32_t bg, std::uint32_t ink) {
  int n = 0;
  for (int y = 0; y < cv.H; ++y)
    for (int x = 0; x < cv.W; ++x) n += cv.At(x, y) != bg && cv.At(x, y) != ink;
  return n;
}

bool AnyInkOutside(const Canvas& cv, std::uint32_t bg, int x0, int y0, int x1, int y1) {
  for (int y = 0; y < cv.H; ++y)
    for (int x = 0; x < cv.W; ++x)
      if ((x < x0 || x >= x1 || y < y0 || y >= y1) && cv.At(x, y) != bg) return true;
  return false;
}

}  // namespace

TEST(GdiPlusGraphics, SolidFillCoversExactPixelsWithoutSmoothing) {
  for (PixelOffsetMode mode : {PixelOffsetModeDefault, PixelOffsetModeHalf}) {
    Canvas cv(10, 10);
    TGPGraphics g(cv.Dc);
    g.SetPixelOffsetMode(mode);
    TGPSolidBrush red(0xFFFF0000u);
    ASSERT_EQ(g.FillRectangle(&red, 2, 3, 4, 5), Ok);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) {
        bool in = x >= 2 && x < 6 && y >= 3 && y < 8;
        ASSERT_EQ(cv.At(x, y), in ? 0xFFFF0000u : kWhite) << x << "," << y << " mode " << mode;
      }
  }
}

TEST(GdiPlusGraphics, SmoothingModeDecidesAntialiasing) {
  auto draw = [](SmoothingMode mode, Canvas& cv) {
    TGPGraphics g(cv.Dc);
    g.SetSmoothingMode(mode);
    TGPSolidBrush black(kBlack);
    EXPECT_EQ(g.FillEllipse(&black, 3.3f, 2.7f, 20.0f, 13.0f), Ok);
    TGPPen pen(kBlack, 1.5f);
    EXPECT_EQ(g.DrawLine(&pen, 2.0f, 25.0f, 28.0f, 19.0f), Ok);
  };
  Canvas aliased(32, 32), smooth(32, 32);
  draw(SmoothingModeNone, aliased);
  draw(SmoothingModeAntiAlias, smooth);
  EXPECT_EQ(PartialPixels(aliased, kWhite, kBlack), 0);
  EXPECT_GT(PartialPixels(smooth, kWhite, kBlack), 20);
  EXPECT_EQ(aliased.At(13, 9), kBlack);
  EXPECT_EQ(smooth.At(13, 9), kBlack);
  EXPECT_EQ(smooth.At(0, 0), kWhite);
}

TEST(GdiPlusGraphics, LinearGradientsHitTheirEndpointsAndMidpoint) {
  Canvas cv(256, 64);
  TGPGraphics g(cv.Dc);
  g.SetPixelOffsetMode(PixelOffsetModeHalf);
  TGPLinearGradientBrush h(TGPRectF{0, 0, 256, 16}, kBlack, kWhite, LinearGradientModeHorizontal);
  ASSERT_EQ(h.GetLastStatus(), Ok);
  ASSERT_EQ(g.FillRectangle(&h, 0, 0, 256, 16), Ok);
  EXPECT_LE(cv.Green(0, 5), 1);
  EXPECT_NEAR(cv.Green(128, 5), 128, 2);
  EXPECT_GE(cv.Green(255, 5), 254);
  EXPECT_EQ(cv.Red(64, 5), cv.Blue(64, 5));

  // Vertical, over 32 rows, red to blue.
  TGPLinearGradientBrush v(TGPRectF{0, 16, 20, 32}, 0xFFFF0000u, 0xFF0000FFu, LinearGradientModeVertical);
  ASSERT_EQ(g.FillRectangle(&v, 0, 16, 20, 32), Ok);
  EXPECT_GE(cv.Red(5, 16), 245);
  EXPECT_GE(cv.Blue(5, 47), 245);
  EXPECT_NEAR(cv.Red(5, 32), 127, 5);
  EXPECT_NEAR(cv.Blue(5, 32), 127, 5);

  // Beyond its rectangle the gradient repeats.
  TGPLinearGradientBrush tile(TGPRectF{0, 0, 10, 1}, kBlack, kWhite, LinearGradientModeHorizontal);
  ASSERT_EQ(g.FillRectangle(&tile, 0, 50, 30, 4), Ok);
  EXPECT_EQ(cv.Green(1, 51), cv.Green(11, 51));
  EXPECT_EQ(cv.Green(8, 51), cv.Green(28, 51));

  // Diagonal: the corners get the end colours, the other diagonal the middle.
  Canvas sq(100, 60);
  TGPGraphics gs(sq.Dc);
  gs.SetPixelOffsetMode(PixelOffsetModeHalf);
  TGPLinearGradientBrush d(TGPRectF{0, 0, 100, 60}, kBlack, kWhite, LinearGradientModeForwardDiagonal);
  ASSERT_EQ(gs.FillRectangle(&d, 0, 0, 100, 60), Ok);
  EXPECT_LE(sq.Green(0, 0), 3);
  EXPECT_GE(sq.Green(99, 59), 252);
  EXPECT_NEAR(sq.Green(99, 0), 128, 4);
  EXPECT_NEAR(sq.Green(0, 59), 128, 4);
  EXPECT_NEAR(sq.Green(50, 30), 128, 4);

  // Two points: colour 1 at the first, colour 2 at the second.
  Canvas pts(40, 4);
  TGPGraphics gp(pts.Dc);
  gp.SetPixelOffsetMode(PixelOffsetModeHalf);
  TGPLinearGradientBrush p(TGPPointF{30, 0}, TGPPointF{10, 0}, kBlack, kWhite);
  ASSERT_EQ(gp.FillRectangle(&p, 10, 0, 20, 4), Ok);
  EXPECT_GE(pts.Green(10, 1), 245);
  EXPECT_LE(pts.Green(29, 1), 10);
}

TEST(GdiPlusGraphics, RoundedRectanglePathStaysInsideItsBounds) {
  Canvas cv(60, 40);
  TGPGraphics g(cv.Dc);
  g.SetSmoothingMode(SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(PixelOffsetModeHalf);
  auto path = GPRoundRectPath(TGPRectF{10, 10, 40, 20}, 6);
  TGPRectF bounds;
  ASSERT_EQ(path->GetBounds(&bounds), Ok);
  EXPECT_NEAR(bounds.X, 10, 0.01);
  EXPECT_NEAR(bounds.Width, 40, 0.01);
  TGPSolidBrush black(kBlack);
  ASSERT_EQ(g.FillPath(&black, path.get()), Ok);
  EXPECT_FALSE(AnyInkOutside(cv, kWhite, 10, 10, 50, 30));
  EXPECT_EQ(cv.At(30, 20), kBlack);
  EXPECT_EQ(cv.At(10, 20), kBlack) << "straight edges are full";
  EXPECT_EQ(cv.At(10, 10), kWhite) << "the corner is cut";
  EXPECT_NE(cv.At(11, 12), kBlack) << "the arc passes through the corner cell";
  // Outline with an inset pen also stays inside.
  Canvas cv2(60, 40);
  TGPGraphics g2(cv2.Dc);
  g2.SetSmoothingMode(SmoothingModeAntiAlias);
  g2.SetPixelOffsetMode(PixelOffsetModeHalf);
  TGPPen pen(kBlack, 3);
  pen.SetAlignment(PenAlignmentInset);
  ASSERT_EQ(g2.DrawPath(&pen, path.get()), Ok);
  EXPECT_FALSE(AnyInkOutside(cv2, kWhite, 10, 10, 50, 30));
  EXPECT_EQ(cv2.At(30, 10), kBlack);
  EXPECT_EQ(cv2.At(30, 20), kWhite);
}

TEST(GdiPlusGraphics, PathsJoinArcsAndLinesIntoFigures) {
  TGPGraphicsPath p;
  p.AddArc(0.0f, 0.0f, 20.0f, 10.0f, 0, 90);  // from (20, 5) to (10, 10)
  p.AddLine(10.0f, 10.0f, 0.0f, 10.0f);
  p.CloseFigure();
  std::vector<TGPPointF> pts(size_t(p.GetPointCount()));
  std::vector<BYTE> types(pts.size());
  p.GetPathPoints(pts.data(), int(pts.size()));
  p.GetPathTypes(types.data(), int(types.size()));
  ASSERT_EQ(pts.size(), 6u);
  EXPECT_EQ(types[0], PathPointTypeStart);
  EXPECT_NEAR(pts[0].X, 20, 1e-4);
  EXPECT_NEAR(pts[0].Y, 5, 1e-4);
  EXPECT_EQ(types[1], PathPointTypeBezier);
  EXPECT_NEAR(pts[3].X, 10, 1e-4);
  EXPECT_NEAR(pts[3].Y, 10, 1e-4);
  EXPECT_EQ(types[5], PathPointTypeLine | PathPointTypeCloseSubpath);
  // An arc of an ellipse at 45 degrees lies on the ray, not at the parametric angle.
  TGPGraphicsPath q;
  q.AddArc(-20.0f, -10.0f, 40.0f, 20.0f, 45, 0.0f);
  TGPPointF last;
  q.GetLastPoint(&last);
  EXPECT_NEAR(last.X, last.Y, 1e-4);
  // A new closed figure after AddRectangle.
  p.AddRectangle(TGPRectF{0, 0, 5, 5});
  p.GetPathTypes(types.data(), 6);
  std::vector<BYTE> all(size_t(p.GetPointCount()));
  p.GetPathTypes(all.data(), int(all.size()));
  EXPECT_EQ(all[6], PathPointTypeStart);
  EXPECT_EQ(all.back(), PathPointTypeLine | PathPointTypeCloseSubpath);
}

TEST(GdiPlusGraphics, ClipRectanglesAndTheDcClipKeepDrawingInside) {
  Canvas cv(40, 40);
  TGPGraphics g(cv.Dc);
  TGPSolidBrush black(kBlack);
  ASSERT_EQ(g.SetClip(TGPRectF{5, 5, 20, 20}), Ok);
  ASSERT_EQ(g.SetClip(TGPRectF{15, 15, 30, 30}, CombineModeIntersect), Ok);
  ASSERT_EQ(g.ExcludeClip(TGPRect{18, 18, 2, 2}), Ok);
  TGPRectF b;
  g.GetClipBounds(&b);
  EXPECT_EQ(b, (TGPRectF{15, 15, 10, 10}));
  g.SetSmoothingMode(SmoothingModeAntiAlias);
  ASSERT_EQ(g.FillEllipse(&black, -50.0f, -50.0f, 200.0f, 200.0f), Ok);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      bool in = x >= 15 && x < 25 && y >= 15 && y < 25 && !(x >= 18 && x < 20 && y >= 18 && y < 20);
      ASSERT_EQ(cv.At(x, y), in ? kBlack : kWhite) << x << "," << y;
    }
  EXPECT_TRUE(g.IsVisible(16, 16));
  EXPECT_FALSE(g.IsVisible(18.5f, 18.5f));
  EXPECT_FALSE(g.IsVisible(5, 5));
  EXPECT_EQ(g.SetClip(TGPRectF{0, 0, 1, 1}, CombineModeUnion), NotImplemented);
  g.ResetClip();
  g.GetClipBounds(&b);
  EXPECT_GT(b.Width, 1e6);

  // The DC's own clip and origin: logical (0, 0) is surface (10, 5), clipped to 8 x 8.
  Canvas dc(40, 40);
  SetViewportOrgEx(dc.Dc, 10, 5, nullptr);
  IntersectClipRect(dc.Dc, 0, 0, 8, 8);
  TGPGraphics gd(dc.Dc);
  ASSERT_EQ(gd.FillRectangle(&black, -100, -100, 300, 300), Ok);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(dc.At(x, y), (x >= 10 && x < 18 && y >= 5 && y < 13) ? kBlack : kWhite) << x << "," << y;
  TGPRectF vis;
  gd.GetVisibleClipBounds(&vis);
  EXPECT_EQ(vis, (TGPRectF{0, 0, 8, 8}));
  // A change of the DC's clip after the graphics was made is honoured too.
  Canvas later(20, 20);
  TGPGraphics gl(later.Dc);
  gl.FillRectangle(&black, 0, 0, 2, 2);
  ExcludeClipRect(later.Dc, 0, 0, 10, 20);
  gl.FillRectangle(&black, 0, 5, 20, 2);
  EXPECT_EQ(later.At(0, 0), kBlack);
  EXPECT_EQ(later.At(5, 5), kWhite);
  EXPECT_EQ(later.At(15, 5), kBlack);
}

TEST(GdiPlusGraphics, TransformsAndSavedStates) {
  Canvas cv(40, 40);
  TGPGraphics g(cv.Dc);
  TGPSolidBrush black(kBlack), red(0xFFFF0000u);
  GraphicsState s = g.Save();
  g.TranslateTransform(10, 20);
  g.ScaleTransform(2, 2);
  g.SetClip(TGPRectF{0, 0, 3, 3});
  g.SetInterpolationMode(InterpolationModeNearestNeighbor);
  ASSERT_EQ(g.FillRectangle(&black, 0, 0, 5, 5), Ok);  // surface (10..16, 20..26) after the clip
  EXPECT_EQ(cv.At(10, 20), kBlack);
  EXPECT_EQ(cv.At(15, 25), kBlack);
  EXPECT_EQ(cv.At(16, 20), kWhite);
  TGPMatrix m;
  g.GetTransform(&m);
  REAL e[6];
  m.GetElements(e);
  EXPECT_EQ(e[0], 2);
  EXPECT_EQ(e[4], 10);
  ASSERT_EQ(g.Restore(s), Ok);
  EXPECT_EQ(g.GetInterpolationMode(), InterpolationModeBilinear);
  g.GetTransform(&m);
  EXPECT_TRUE(m.IsIdentity());
  ASSERT_EQ(g.FillRectangle(&red, 30, 30, 2, 2), Ok);
  EXPECT_EQ(cv.At(31, 31), 0xFFFF0000u) << "the clip went with the restored state";
  EXPECT_EQ(g.Restore(s), InvalidParameter);
  EXPECT_EQ(g.ScaleTransform(0, 1), InvalidParameter);
  g.GetTransform(&m);
  EXPECT_TRUE(m.IsIdentity());
}

TEST(GdiPlusGraphics, DrawingIntoBitmapsAndCopyMode) {
  TGPBitmap b(8, 8, PixelFormat32bppARGB);
  {
    TGPGraphics g(&b);
    ASSERT_EQ(g.GetLastStatus(), Ok);
    TGPSolidBrush half(0x80FF0000u);
    ASSERT_EQ(g.FillRectangle(&half, 0, 0, 4, 8), Ok);
    ASSERT_EQ(g.Clear(0xFF00FF00u), Ok);  // Clear respects the clip
    g.SetCompositingMode(CompositingModeSourceCopy);
    TGPSolidBrush hole(0x00000000u);
    g.FillRectangle(&hole, 6, 6, 2, 2);
    g.SetCompositingMode(CompositingModeSourceOver);
    g.FillRectangle(&half, 0, 0, 2, 2);
    g.FillRectangle(&half, 7, 7, 1, 1);
  }
  ARGB c;
  b.GetPixel(5, 5, &c);
  EXPECT_EQ(c, 0xFF00FF00u);
  b.GetPixel(6, 6, &c);
  EXPECT_EQ(c, 0u) << "source copy replaced the pixels";
  b.GetPixel(7, 7, &c);
  EXPECT_EQ(c, 0x80FF0000u) << "straight alpha read back from a drawn ARGB bitmap";
  b.GetPixel(0, 0, &c);
  EXPECT_EQ(GetAlpha(c), 255);
  EXPECT_NEAR(GetRed(c), 128, 1);
  EXPECT_NEAR(GetGreen(c), 127, 1);
}

TEST(GdiPlusGraphics, PensDrawLinesAndDashes) {
  Canvas cv(30, 12);
  TGPGraphics g(cv.Dc);
  TGPPen pen(kBlack, 1);
  ASSERT_EQ(g.DrawLine(&pen, 0, 5, 20, 5), Ok);  // integer centres: row 5 exactly
  for (int x = 0; x < 20; ++x) EXPECT_EQ(cv.At(x, 5), kBlack) << x;
  EXPECT_EQ(cv.At(5, 4), kWhite);
  EXPECT_EQ(cv.At(5, 6), kWhite);
  pen.SetWidth(2);
  pen.SetDashStyle(DashStyleDash);  // 6 on, 2 off
  ASSERT_EQ(g.DrawLine(&pen, 0.0f, 9.0f, 30.0f, 9.0f), Ok);
  EXPECT_EQ(cv.At(2, 9), kBlack);
  EXPECT_EQ(cv.At(7, 9), kWhite);
  EXPECT_EQ(cv.At(9, 9), kBlack);
  // A rectangle outline covers x..x+w inclusive with a one-pixel pen.
  Canvas r(12, 12);
  TGPGraphics gr(r.Dc);
  TGPPen one(kBlack, 1);
  ASSERT_EQ(gr.DrawRectangle(&one, 2, 2, 5, 5), Ok);
  EXPECT_EQ(r.At(2, 2), kBlack);
  EXPECT_EQ(r.At(7, 7), kBlack);
  EXPECT_EQ(r.At(4, 4), kWhite);
  EXPECT_EQ(r.At(8, 8), kWhite);
}

TEST(GdiPlusGraphics, InvalidArgumentsGiveStatusCodes) {
  Canvas cv(8, 8);
  TGPGraphics g(cv.Dc);
  TGPSolidBrush b(kBlack);
  TGPPen p(kBlack);
  EXPECT_EQ(g.FillRectangle(nullptr, 0, 0, 1, 1), InvalidParameter);
  EXPECT_EQ(g.DrawLine(nullptr, 0, 0, 1, 1), InvalidParameter);
  EXPECT_EQ(g.FillPath(&b, nullptr), InvalidParameter);
  EXPECT_EQ(g.FillPolygon(&b, nullptr, 3), InvalidParameter);
  TGPPointF two[2] = {{0, 0}, {1, 1}};
  EXPECT_EQ(g.FillPolygon(&b, two, 2), InvalidParameter);
  EXPECT_EQ(g.FillRectangle(&b, TGPRectF{0, 0, INFINITY, 1}), InvalidParameter);
  EXPECT_EQ(g.SetInterpolationMode(InterpolationMode(42)), InvalidParameter);
  EXPECT_EQ(g.SetClip(static_cast<const TGPGraphicsPath*>(nullptr)), InvalidParameter);
  TGPLinearGradientBrush flat(TGPRectF{0, 0, 0, 5}, kBlack, kWhite, LinearGradientModeHorizontal);
  EXPECT_EQ(flat.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(g.FillRectangle(&flat, 0, 0, 4, 4), InvalidParameter);
  EXPECT_EQ(cv.At(1, 1), kWhite);
  TGPPen neg(kBlack, -2);
  EXPECT_EQ(neg.GetLastStatus(), InvalidParameter);
  TGPGraphicsPath path;
  EXPECT_EQ(path.AddArc(0, 0, 0, 5, 0, 90), InvalidParameter);
  EXPECT_EQ(path.AddBeziers(two, 2), InvalidParameter);
  TGPGraphics noDc(static_cast<HDC>(nullptr));
  EXPECT_EQ(noDc.GetLastStatus(), InvalidParameter);
  TGPMatrix singular(0, 0, 0, 0, 0, 0);
  EXPECT_EQ(g.SetTransform(&singular), InvalidParameter);
  EXPECT_EQ(singular.Invert(), InvalidParameter);
}
