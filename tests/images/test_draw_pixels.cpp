// What reaches the pixels: the canvas entry points of the collection, the GDI+ target's
// clipping, DrawRect, DrawBitmapGP and the small helpers.
#include <memory>

#include "ImagesTest.h"
#include "images/kxGPImageCollection.h"

using namespace imgtest;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu,
                        kYellow = 0xFFFFFF00u;

// 30 x 30 with margins of 10: left column red, right column yellow, middle column green,
// except the centre cell, which is blue.
std::unique_ptr<TPngImage> SlicedPng() {
  return MakePng(30, 30, [](int x, int y) {
    if (x < 10) return kRed;
    if (x >= 20) return kYellow;
    return y >= 10 && y < 20 ? kBlue : kGreen;
  });
}

void SetMargins(TkxGPImageCollectionItem* item, int m) {
  item->Options()->SetLeftMargin(m);
  item->Options()->SetTopMargin(m);
  item->Options()->SetRightMargin(m);
  item->Options()->SetBottomMargin(m);
}

}  // namespace

TEST(DrawPixels, PlacementsReachTheCanvasInsideTheirRectangles) {
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = c.Images()->Add();
  item->SetPngImage(SolidPng(8, 4, kGreen).get());
  item->SetDrawStyle(idsStretch);
  TSurface s(60, 40);
  c.Draw(&s.Canvas, TRect(10, 5, 50, 35), 0, 1);
  EXPECT_EQ(s.At(10, 5), kGreen);
  EXPECT_EQ(s.At(49, 34), kGreen);
  EXPECT_EQ(s.Ink(TRect(10, 5, 50, 35)), 40 * 30);
  EXPECT_EQ(s.Ink(TRect(0, 0, 60, 40)), 40 * 30);

  // Not scaled: an 8 x 4 picture centred at scale 2 stays 8 x 4.
  TSurface t(40, 20);
  item->SetDrawStyle(idsCenter);
  item->SetScaled(false);
  c.Draw(&t.Canvas, TRect(0, 0, 40, 20), 0, 2);
  EXPECT_EQ(t.Ink(TRect(0, 0, 40, 20)), 8 * 4);
  EXPECT_EQ(t.At(16, 8), kGreen);
  item->SetScaled(true);
  TSurface u(40, 20);
  c.Draw(&u.Canvas, TRect(0, 0, 40, 20), 0, 2);
  EXPECT_EQ(u.Ink(TRect(0, 0, 40, 20)), 16 * 8);
  // Bad indexes and a missing canvas draw nothing.
  c.Draw(&u.Canvas, TRect(0, 0, 40, 20), 5, 1);
  c.Draw(nullptr, TRect(0, 0, 40, 20), 0, 1);
  EXPECT_EQ(u.Ink(TRect(0, 0, 40, 20)), 16 * 8);
}

TEST(DrawPixels, SlicesAreClippedAndTheCentreLeftOutOnRequest) {
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = c.Images()->Add();
  item->SetPngImage(SlicedPng().get());
  item->SetPixelOffsetModeHighQuality(true);
  SetMargins(item, 10);
  item->Options()->SetStretchBorder(true);

  // Into 60 x 40: corners 10 x 10, the blue centre stretched over (10, 10)-(50, 30).
  TSurface s(80, 50);
  c.Draw(&s.Canvas, TRect(0, 0, 60, 40), 0, 1);
  EXPECT_EQ(s.At(2, 2), kRed);
  EXPECT_EQ(s.At(57, 37), kYellow);
  EXPECT_EQ(s.At(30, 2), kGreen);
  EXPECT_EQ(s.At(30, 20), kBlue);
  EXPECT_EQ(s.At(12, 12), kBlue);
  EXPECT_EQ(s.Ink(TRect(60, 0, 80, 50)), 0);

  // Narrower than both margins: the right column shows from X + l on, nothing beyond the
  // destination.
  TSurface n(40, 50);
  c.Draw(&n.Canvas, TRect(0, 0, 15, 40), 0, 1);
  EXPECT_EQ(n.At(3, 20), kRed);
  EXPECT_EQ(n.At(9, 20), kRed);
  EXPECT_EQ(n.At(11, 20), kYellow);
  EXPECT_EQ(n.At(14, 2), kYellow);
  EXPECT_EQ(n.Ink(TRect(15, 0, 40, 50)), 0);

  // Only the border: the centre keeps what was there.
  item->Options()->SetDrawOnlyBorder(true);
  TSurface b(60, 40, 0xFF808080u);
  c.Draw(&b.Canvas, TRect(0, 0, 60, 40), 0, 1);
  EXPECT_EQ(b.At(30, 20), 0xFF808080u);
  EXPECT_EQ(b.At(30, 5), kGreen);
  // Only the centre, over everything.
  item->Options()->SetDrawOnlyBorder(false);
  item->Options()->SetDrawOnlyClient(true);
  TSurface o(60, 40);
  c.Draw(&o.Canvas, TRect(0, 0, 60, 40), 0, 1);
  EXPECT_EQ(o.At(1, 1), kBlue);
  EXPECT_EQ(o.At(58, 38), kBlue);
}

TEST(DrawPixels, ACallersClipSurvivesAndBoundsTheDrawing) {
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = c.Images()->Add();
  item->SetPngImage(SlicedPng().get());
  SetMargins(item, 10);
  item->Options()->SetStretch(false);  // a clipped, tiled centre
  TSurface s(100, 60);
  TGPGraphics g(s.Dc);
  g.SetClip(TGPRectF{0, 0, 40, 60});
  c.DrawToGraphic(&g, TRect(0, 0, 100, 60), 0, 1);
  TGPRectF bounds;
  g.GetClipBounds(&bounds);
  EXPECT_EQ(Str(bounds), Str({0, 0, 40, 60}));
  EXPECT_EQ(s.Ink(TRect(40, 0, 100, 60)), 0);
  EXPECT_EQ(s.At(30, 30), kBlue);
  EXPECT_EQ(s.At(2, 2), kRed);
}

TEST(DrawPixels, DrawRectStretchesAPartOfThePicture) {
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = c.Images()->Add();
  item->SetPngImage(SlicedPng().get());
  TSurface s(50, 50);
  // The blue centre cell, stretched into 40 x 40.
  c.DrawRect(&s.Canvas, TRect(5, 5, 45, 45), TRect(10, 10, 20, 20), 0);
  EXPECT_EQ(s.At(6, 6), kBlue);
  EXPECT_EQ(s.At(44, 44), kBlue);
  EXPECT_EQ(s.Ink(TRect(0, 0, 50, 50)), 40 * 40);
  // An empty source rectangle or a bad index draws nothing.
  TSurface t(50, 50);
  c.DrawRect(&t.Canvas, TRect(5, 5, 45, 45), TRect(10, 10, 10, 20), 0);
  c.DrawRect(&t.Canvas, TRect(5, 5, 45, 45), TRect(10, 10, 20, 20), 1);
  EXPECT_EQ(t.Ink(TRect(0, 0, 50, 50)), 0);
}

TEST(DrawPixels, BitmapsThroughGdiPlusKeepTheirAlpha) {
  // Straight alpha, premultiplied rows and a 24-bit bitmap, each stretched 2 x 2 -> 20 x 20.
  auto fill = [](TBitmap& b, std::uint32_t word) {
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) static_cast<std::uint32_t*>(b.ScanLine(y))[x] = word;
  };
  TBitmap straight;
  straight.SetPixelFormat(pf32bit);
  straight.SetSize(2, 2);
  straight.SetAlphaFormat(afDefined);
  fill(straight, 0x80FF0000u);
  TBitmap premul;
  premul.SetPixelFormat(pf32bit);
  premul.SetSize(2, 2);
  premul.SetAlphaFormat(afPremultiplied);
  fill(premul, 0x80800000u);
  TBitmap rgb;
  rgb.SetPixelFormat(pf24bit);
  rgb.SetSize(2, 2);
  rgb.Canvas()->Brush()->SetColor(clBlue);
  rgb.Canvas()->FillRect(TRect(0, 0, 2, 2));
  for (bool hqOffset : {true, false}) {
    TSurface s(70, 20);
    DrawBitmapGP(s.Dc, TRect(0, 0, 20, 20), &straight, hqOffset);
    DrawBitmapGP(s.Dc, TRect(25, 0, 45, 20), &premul, hqOffset);
    DrawBitmapGP(s.Dc, TRect(50, 0, 70, 20), &rgb, hqOffset);
    EXPECT_TRUE(Near(s.At(10, 10), 0x80800000u, 1)) << Hex(s.At(10, 10));
    EXPECT_TRUE(Near(s.At(35, 10), 0x80800000u, 1)) << Hex(s.At(35, 10));
    EXPECT_EQ(s.At(60, 10), kBlue);
  }
  TSurface none(10, 10);
  DrawBitmapGP(none.Dc, TRect(0, 0, 10, 10), nullptr);
  TBitmap empty;
  DrawBitmapGP(none.Dc, TRect(0, 0, 10, 10), &empty);
  EXPECT_EQ(none.Ink(TRect(0, 0, 10, 10)), 0);
}

TEST(DrawPixels, Helpers) {
  EXPECT_EQ(ColorToGPColor(clNone, 255), 0u);
  EXPECT_EQ(ColorToGPColor(clRed, 128), 0x80FF0000u);
  EXPECT_EQ(ColorToGPColor(TColor(0x00332211), 255), 0xFF112233u);
  COLORREF w = ColorToRGB(clWindow);
  EXPECT_EQ(ColorToGPColor(clWindow, 7), MakeColor(7, GetRValue(w), GetGValue(w), GetBValue(w)));
  TGPRectF r = RectToGPRectF(TRect(3, 4, 10, 20));
  EXPECT_EQ(Str(r), "(3,4,7,16)");
  InflateGPRectF(r, 1.5f, -2);
  EXPECT_EQ(Str(r), "(1.5,6,10,12)");
  EXPECT_EQ(kxRound(2.5), 2);
  EXPECT_EQ(kxRound(3.5), 4);
  EXPECT_EQ(kxRound(-2.5), -2);
  EXPECT_EQ(kxRound(std::nan("")), 0);
  EXPECT_EQ(kxTrunc(-2.7), -2);
  EXPECT_EQ(kxTrunc(1e20), 0);

  // Options: the margin setters announce themselves, the flags do not; Assign copies values.
  TkxGPBitmapOptions o;
  int changes = 0;
  struct TCounter : TObject {
    int* N;
    void Hit(TObject*) { ++*N; }
  } counter;
  counter.N = &changes;
  o.SetOnChange(TNotifyEvent(&counter, &TCounter::Hit));
  o.SetLeftMargin(1);
  o.SetTopMargin(1);
  o.SetRightMargin(1);
  o.SetBottomMargin(1);
  o.SetLeftMargin(1);
  o.SetStretch(false);
  o.SetDrawOnlyClient(true);
  EXPECT_EQ(changes, 5);
  TkxGPBitmapOptions copy;
  copy.Assign(&o);
  EXPECT_EQ(copy.BottomMargin(), 1);
  EXPECT_FALSE(copy.Stretch());
  EXPECT_TRUE(copy.DrawOnlyClient());
  EXPECT_FALSE(bool(copy.OnChange()));
  EXPECT_EQ(changes, 5);
}
