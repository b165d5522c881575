// Painting: backgrounds in the control's colour, graphic children painted by their parent in
// z-order and clipped to their bounds, the parent's background beneath panels, double
// buffering, painting into another DC, and the panel's bevels and caption.
#include "host/gdi/GdiDraw.h"
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

using PaintTest = VclTest;

TEST_F(PaintTest, TheBackgroundIsTheControlsColour) {
  TTestRoot* root = MakeRoot(200, 100);
  auto* child = Make<TLogControl>(root, Bounds(50, 20, 40, 30));
  child->SetColor(clLime);
  Pump();
  EXPECT_EQ(Pixel(root, 5, 5), Rgb(clWhite));
  EXPECT_EQ(Pixel(root, 60, 30), Rgb(clLime));
  root->SetColor(clNavy);
  Pump();
  EXPECT_EQ(Pixel(root, 5, 5), Rgb(clNavy));
  EXPECT_EQ(Pixel(root, 60, 30), Rgb(clLime)) << "a colour of its own stays";
}

TEST_F(PaintTest, GraphicChildrenArePaintedByTheParentInZOrderAndClipped) {
  TTestRoot* root = MakeRoot(200, 100);
  auto* below = Make<TLogGraphic>(root, Bounds(10, 10, 40, 40));
  below->PaintColor = clRed;
  auto* above = Make<TLogGraphic>(root, Bounds(30, 30, 40, 40));
  above->PaintColor = clBlue;
  struct Wide : TLogGraphic {
    using TLogGraphic::TLogGraphic;
    void Paint() override {
      // Paints beyond its bounds; the parent clips it.
      Canvas()->Brush()->SetColor(clGreen);
      Canvas()->FillRect(Rect(-50, -50, 500, 500));
    }
  };
  auto* wide = new Wide(nullptr);
  wide->SetBounds(100, 10, 20, 20);
  wide->SetParent(root);
  Pump();
  EXPECT_EQ(Pixel(root, 15, 15), Rgb(clRed));
  EXPECT_EQ(Pixel(root, 35, 35), Rgb(clBlue)) << "the later control is on top";
  EXPECT_EQ(Pixel(root, 65, 65), Rgb(clBlue));
  EXPECT_EQ(Pixel(root, 110, 20), Rgb(clGreen));
  EXPECT_EQ(Pixel(root, 125, 20), Rgb(clWhite));
  EXPECT_EQ(Pixel(root, 95, 20), Rgb(clWhite));

  below->BringToFront();
  Pump();
  EXPECT_EQ(Pixel(root, 35, 35), Rgb(clRed));
  below->Hide();
  Pump();
  EXPECT_EQ(Pixel(root, 15, 15), Rgb(clWhite));
  EXPECT_EQ(Pixel(root, 35, 35), Rgb(clBlue));
  int before = above->Paints;
  above->SetBounds(130, 50, 10, 10);
  Pump();
  EXPECT_GT(above->Paints, before);
  EXPECT_EQ(Pixel(root, 35, 35), Rgb(clWhite)) << "the old place is repainted";
  EXPECT_EQ(Pixel(root, 135, 55), Rgb(clBlue));
}

TEST_F(PaintTest, AGraphicControlsCanvasOutsidePaintingDrawsOnTheParent) {
  TTestRoot* root = MakeRoot(200, 100);
  auto* g = Make<TLogGraphic>(root, Bounds(20, 20, 10, 10));
  Pump();
  g->Canvas()->Brush()->SetColor(clFuchsia);
  g->Canvas()->FillRect(Rect(0, 0, 100, 100));
  static_cast<TControlCanvas*>(g->Canvas())->FreeHandle();
  EXPECT_EQ(Pixel(root, 25, 25), Rgb(clFuchsia));
  EXPECT_EQ(Pixel(root, 35, 25), Rgb(clWhite)) << "clipped to the control";
  EXPECT_GT(g->Canvas()->TextWidth(u"Wide text"), 20);
}

TEST_F(PaintTest, PanelsShowTheirParentsBackgroundUnlessTheyPaintTheirOwn) {
  TTestRoot* root = MakeRoot(200, 100);
  root->SetColor(clYellow);
  auto* shape = Make<TLogGraphic>(root, Bounds(0, 0, 30, 30));
  shape->PaintColor = clRed;
  auto* panel = new TPanel(nullptr);
  panel->SetBounds(10, 10, 100, 60);
  panel->SetBevelOuter(bvNone);
  panel->SetParent(root);
  Pump();
  EXPECT_TRUE(panel->ParentBackground());
  EXPECT_EQ(Pixel(root, 50, 50), Rgb(clYellow));
  EXPECT_EQ(Pixel(root, 15, 15), Rgb(clRed)) << "graphic siblings beneath show through";
  panel->SetParentBackground(false);
  panel->SetColor(clTeal);
  Pump();
  EXPECT_EQ(Pixel(root, 50, 50), Rgb(clTeal));
  EXPECT_EQ(Pixel(root, 15, 15), Rgb(clTeal));
}

TEST_F(PaintTest, PanelBevelsUseTheClassicEdgesAndShrinkTheClientArea) {
  TTestRoot* root = MakeRoot(200, 100);
  auto* panel = new TPanel(nullptr);
  panel->SetBounds(10, 10, 100, 60);
  panel->SetParentBackground(false);
  panel->SetColor(clSilver);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(3);
  panel->SetParent(root);
  auto* client = Make<TLogGraphic>(panel, Bounds(0, 0, 1, 1));
  client->SetAlign(alClient);
  client->Hide();
  Pump();
  EXPECT_EQ(panel->FrameWidth(), 7);
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  auto rgb = [](COLORREF c) { return Rgb(TColor(c)); };
  // Outer raised bevel: light above, shadow below.
  EXPECT_EQ(Pixel(root, 50, 10), rgb(light));
  EXPECT_EQ(Pixel(root, 50, 11), rgb(light));
  EXPECT_EQ(Pixel(root, 50, 69), rgb(shadow));
  // Border in the panel's colour, then the inner lowered bevel: shadow above.
  EXPECT_EQ(Pixel(root, 50, 13), Rgb(clSilver));
  EXPECT_EQ(Pixel(root, 50, 15), rgb(shadow));
  EXPECT_EQ(Pixel(root, 50, 64), rgb(light));
  client->Show();
  EXPECT_EQ(client->BoundsRect(), Rect(7, 7, 93, 53));
}

TEST_F(PaintTest, APanelCaptionIsDrawnWhereItsAlignmentSays) {
  TTestRoot* root = MakeRoot(300, 100);
  auto* panel = new TPanel(nullptr);
  panel->SetBounds(0, 0, 300, 40);
  panel->SetParentBackground(false);
  panel->SetColor(clWhite);
  panel->SetBevelOuter(bvNone);
  panel->Font()->SetColor(clBlack);
  panel->SetCaption(u"MMMM");
  panel->SetAlignment(taLeftJustify);
  panel->SetParent(root);
  Pump();
  auto inkIn = [&](int x0, int x1) {
    int n = 0;
    for (int x = x0; x < x1; ++x)
      for (int y = 0; y < 40; ++y)
        if (Pixel(root, x, y) != Rgb(clWhite)) ++n;
    return n;
  };
  EXPECT_GT(inkIn(0, 60), 0);
  EXPECT_EQ(inkIn(120, 300), 0);
  panel->SetAlignment(taRightJustify);
  Pump();
  EXPECT_EQ(inkIn(0, 200), 0);
  EXPECT_GT(inkIn(240, 300), 0);
  panel->SetShowCaption(false);
  Pump();
  EXPECT_EQ(inkIn(0, 300), 0);
}

TEST_F(PaintTest, DoubleBufferedPaintingLooksTheSame) {
  TTestRoot* root = MakeRoot(200, 100);
  auto* box = Make<TLogControl>(root, Bounds(10, 10, 100, 60));
  box->SetColor(clAqua);
  auto* g = Make<TLogGraphic>(box, Bounds(5, 5, 20, 20));
  g->PaintColor = clMaroon;
  box->SetDoubleBuffered(true);
  Pump();
  EXPECT_EQ(Pixel(root, 50, 50), Rgb(clAqua));
  EXPECT_EQ(Pixel(root, 20, 20), Rgb(clMaroon));
  auto* inner = Make<TLogControl>(box, Bounds(50, 5, 10, 10));
  EXPECT_TRUE(inner->DoubleBuffered()) << "inherited with ParentDoubleBuffered";
  box->SetDoubleBuffered(false);
  EXPECT_FALSE(inner->DoubleBuffered());
}

TEST_F(PaintTest, PaintToDrawsTheControlAndItsChildrenIntoAnotherDC) {
  TTestRoot* root = MakeRoot(200, 100);
  auto* box = Make<TLogControl>(root, Bounds(10, 10, 60, 40));
  box->SetColor(clOlive);
  auto* g = Make<TLogGraphic>(box, Bounds(5, 5, 10, 10));
  g->PaintColor = clRed;
  auto* w = Make<TLogControl>(box, Bounds(30, 5, 10, 10));
  w->SetColor(clBlue);
  Pump();
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HBITMAP bmp = CreateDIB32(100, 100);
  HBITMAP old = SelectObject(mem, bmp);
  box->PaintTo(mem, 20, 20);
  EXPECT_EQ(GetPixel(mem, 21, 21) & 0xFFFFFF, ColorToRGB(clOlive));
  EXPECT_EQ(GetPixel(mem, 27, 27) & 0xFFFFFF, ColorToRGB(clRed));
  EXPECT_EQ(GetPixel(mem, 52, 27) & 0xFFFFFF, ColorToRGB(clBlue));
  EXPECT_EQ(GetPixel(mem, 85, 85) & 0xFFFFFF, 0u);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

}  // namespace
}  // namespace vcl::vcltest
